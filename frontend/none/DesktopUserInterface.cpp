#include "frontend/DesktopUserInterface.h"

#include <stdexcept>

namespace tamsel {

// A build without a desktop front end: only the scripted one can show the programs' windows.
std::unique_ptr<UserInterface> OpenDesktopUserInterface() {
    throw std::runtime_error("no desktop front end in this build; run with TAMSEL_UI=script:FILE");
}

}  // namespace tamsel
