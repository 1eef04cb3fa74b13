#include "frontend/script/LogEvents.h"

#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"

namespace tamsel::script {

using nlohmann::ordered_json;

namespace {

ordered_json ListOf(const std::vector<std::string>& entries) {
    ordered_json list = ordered_json::array();
    for (const auto& entry : entries) list.push_back(entry);
    return list;
}

// Controls without a caption log "enabled" only when they are disabled.
void AddDisabled(ordered_json& state, const Control& control) {
    if (!control.enabled) state["enabled"] = false;
}

}  // namespace

ordered_json ControlState(const Control& control) {
    ordered_json state = ordered_json::object();
    switch (control.Kind()) {
        case ControlKind::Label:
        case ControlKind::CommandButton:
            state["caption"] = control.caption;
            state["enabled"] = control.enabled;
            break;
        case ControlKind::ComboBox:
            state["text"] = control.caption;
            state["list"] = ListOf(control.list);
            AddDisabled(state, control);
            break;
        case ControlKind::TextBox:
            state["text"] = control.caption;
            AddDisabled(state, control);
            break;
        case ControlKind::DriveListBox:
            if (const auto* drives = dynamic_cast<const DriveListBox*>(&control)) {
                state["drive"] = drives->Drive();
                state["list"] = ListOf(drives->Entries());
            }
            AddDisabled(state, control);
            break;
        case ControlKind::DirListBox:
            if (const auto* dirs = dynamic_cast<const DirListBox*>(&control)) {
                state["path"] = dirs->Path();
                ordered_json list = ListOf(dirs->Levels());
                for (const auto& sub : dirs->SubDirectories()) list.push_back(sub);
                state["list"] = std::move(list);
            }
            AddDisabled(state, control);
            break;
        case ControlKind::Shape:
            break;
    }
    if (!control.visible) state["visible"] = false;
    return state;
}

ordered_json WindowEvent(const Form& form) {
    ordered_json controls = ordered_json::object();
    for (const Control* control : form.Controls())
        controls[control->Name()] = ControlState(*control);
    ordered_json event;
    event["event"] = "window";
    event["name"] = form.Name();
    event["caption"] = form.caption;
    event["enabled"] = form.enabled;
    event["controls"] = std::move(controls);
    return event;
}

ordered_json MessageBoxEvent(const MessageBoxSpec& spec) {
    ordered_json event;
    event["event"] = "msgbox";
    event["title"] = spec.title;
    event["text"] = spec.text;
    event["buttons"] = ButtonsName(spec.buttons);
    event["icon"] = IconName(spec.icon);
    event["default"] = ResultName(ButtonResult(spec.buttons, spec.defaultButton));
    return event;
}

ordered_json AnswerEvent(MsgResult button) {
    ordered_json event;
    event["event"] = "answer";
    event["button"] = ResultName(button);
    return event;
}

ordered_json StartEvent(const std::string& commandLine) {
    ordered_json event;
    event["event"] = "start";
    event["command"] = commandLine;
    return event;
}

ordered_json ErrorEvent(const std::string& message) {
    ordered_json event;
    event["event"] = "error";
    event["message"] = message;
    return event;
}

ordered_json ExitEvent(int status) {
    ordered_json event;
    event["event"] = "exit";
    event["status"] = status;
    return event;
}

}  // namespace tamsel::script
