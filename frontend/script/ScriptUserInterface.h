#pragma once

#include <memory>
#include <string>

#include "common/ui/UserInterface.h"

namespace tamsel {

// The scripted front end: no window is drawn; the lines of a script play the user, and every
// window state, message box, answer, started process, error and the exit status are appended
// to a JSON-lines log when one is named. See README "Scripted front end".
//
// Throws FrontEndError from Run or ShowMessageBox when the script names something that is not
// on screen or runs out while the program waits.
std::unique_ptr<UserInterface> OpenScriptUserInterface(const std::string& scriptPath,
                                                       const std::string& logPath);

}  // namespace tamsel
