#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "common/ui/MessageBox.h"

namespace tamsel {
class Control;
class Form;
}  // namespace tamsel

namespace tamsel::script {

// The events of the scripted front end's log, one JSON object each.

// The whole state of a window and its controls, keyed by control name.
nlohmann::ordered_json WindowEvent(const Form& form);
// The state of one control: what its kind shows on screen.
nlohmann::ordered_json ControlState(const Control& control);
nlohmann::ordered_json MessageBoxEvent(const MessageBoxSpec& spec);
nlohmann::ordered_json AnswerEvent(MsgResult button);
nlohmann::ordered_json StartEvent(const std::string& commandLine);
nlohmann::ordered_json ErrorEvent(const std::string& message);
nlohmann::ordered_json ExitEvent(int status);

}  // namespace tamsel::script
