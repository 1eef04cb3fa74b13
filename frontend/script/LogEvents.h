#pragma once

#include <string>

#include "common/ui/MessageBox.h"
#include "frontend/script/EventLog.h"

namespace tamsel {
class Control;
class Form;
}  // namespace tamsel

namespace tamsel::script {

// The events of the scripted front end's log, one JSON object each.

// The whole state of a window and its controls, keyed by control name.
LogObject WindowEvent(const Form& form);
// The state of one control: what its kind shows on screen.
LogObject ControlState(const Control& control);
LogObject MessageBoxEvent(const MessageBoxSpec& request);
LogObject AnswerEvent(MsgResult button);
LogObject StartEvent(const std::string& commandLine);
LogObject ErrorEvent(const std::string& message);
LogObject ExitEvent(int status);

}  // namespace tamsel::script
