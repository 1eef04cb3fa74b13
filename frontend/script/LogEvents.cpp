#include "frontend/script/LogEvents.h"

#include <utility>
#include <vector>

#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"

namespace tamsel::script {

namespace {

// Controls without a caption log "enabled" only when they are disabled.
void AddDisabled(LogObject& state, const Control& control) {
    if (!control.enabled) state.Add("enabled", false);
}

// A directory list shows the levels of its path, then the subdirectories of the last one.
std::vector<std::string> DirectoryListEntries(const DirListBox& dirs) {
    std::vector<std::string> entries = dirs.Levels();
    for (auto& sub : dirs.SubDirectories()) entries.push_back(std::move(sub));
    return entries;
}

}  // namespace

LogObject ControlState(const Control& control) {
    LogObject state;
    switch (control.Kind()) {
        case ControlKind::Label:
        case ControlKind::CommandButton:
            state.Add("caption", control.caption).Add("enabled", control.enabled);
            break;
        case ControlKind::ComboBox:
            state.Add("text", control.caption).Add("list", control.list);
            AddDisabled(state, control);
            break;
        case ControlKind::TextBox:
            state.Add("text", control.caption);
            AddDisabled(state, control);
            break;
        case ControlKind::DriveListBox:
            if (const auto* drives = dynamic_cast<const DriveListBox*>(&control))
                state.Add("drive", drives->Drive()).Add("list", drives->Entries());
            AddDisabled(state, control);
            break;
        case ControlKind::DirListBox:
            if (const auto* dirs = dynamic_cast<const DirListBox*>(&control))
                state.Add("path", dirs->Path()).Add("list", DirectoryListEntries(*dirs));
            AddDisabled(state, control);
            break;
        case ControlKind::Shape:
            break;
    }
    if (!control.visible) state.Add("visible", false);
    return state;
}

LogObject WindowEvent(const Form& form) {
    LogObject controls;
    for (const Control* control : form.Controls())
        controls.Add(control->Name(), ControlState(*control));
    LogObject event;
    event.Add("event", "window")
        .Add("name", form.Name())
        .Add("caption", form.caption)
        .Add("enabled", form.enabled)
        .Add("controls", controls);
    return event;
}

LogObject MessageBoxEvent(const MessageBoxSpec& request) {
    LogObject event;
    event.Add("event", "msgbox")
        .Add("title", request.title)
        .Add("text", request.text)
        .Add("buttons", ButtonsName(request.buttons))
        .Add("icon", IconName(request.icon))
        .Add("default", ResultName(ButtonResult(request.buttons, request.defaultButton)));
    return event;
}

LogObject AnswerEvent(MsgResult button) {
    LogObject event;
    event.Add("event", "answer").Add("button", ResultName(button));
    return event;
}

LogObject StartEvent(const std::string& commandLine) {
    LogObject event;
    event.Add("event", "start").Add("command", commandLine);
    return event;
}

LogObject ErrorEvent(const std::string& message) {
    LogObject event;
    event.Add("event", "error").Add("message", message);
    return event;
}

LogObject ExitEvent(int status) {
    LogObject event;
    event.Add("event", "exit").Add("status", status);
    return event;
}

}  // namespace tamsel::script
