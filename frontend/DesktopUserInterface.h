#pragma once

#include <memory>

#include "common/ui/UserInterface.h"

namespace tamsel {

// The desktop front end of this build: real windows on the platform's screen. Throws
// std::runtime_error with a message for the user when no screen can be used.
std::unique_ptr<UserInterface> OpenDesktopUserInterface();

}  // namespace tamsel
