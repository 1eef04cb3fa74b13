#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "platform/Platform.h"

namespace tamsel {

// Creates a program's main form (and any forms it owns) on an application and a platform.
using MainFormFactory = std::function<std::unique_ptr<Form>(Application&, Platform&)>;

// Runs a program: opens the platform and the front end that TAMSEL_UI chooses ("script:FILE"
// for the scripted front end, otherwise the desktop one), makes the main form, shows it (its
// load event runs first and may end the program), runs the event loop and returns the exit
// status. failureTitle titles the message box that reports a failure that ends the program.
// A platform or front end that cannot be opened is reported on stderr with status 1.
int RunProgram(const std::string& failureTitle, const MainFormFactory& makeMainForm);

}  // namespace tamsel
