#include "frontend/DesktopUserInterface.h"

#include "frontend/win32/NativeUserInterface.h"

namespace tamsel {

std::unique_ptr<UserInterface> OpenDesktopUserInterface() {
    return std::make_unique<win32::NativeUserInterface>();
}

}  // namespace tamsel
