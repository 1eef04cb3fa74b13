#include "frontend/script/ScriptUserInterface.h"

#include <cstdio>
#include <utility>

#include "common/ui/Application.h"
#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"
#include "common/ui/UserActions.h"
#include "frontend/script/EventLog.h"
#include "frontend/script/LogEvents.h"
#include "frontend/script/Script.h"

namespace tamsel {

namespace {

using script::CommandKind;
using script::ScriptCommand;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string At(const ScriptCommand& command) {
    return "line " + std::to_string(command.line.number) + " (" + command.line.text + "): ";
}

class ScriptUserInterface final : public UserInterface {
  public:
    ScriptUserInterface(script::Script script, const std::string& logPath)
        : script_(std::move(script)), log_(logPath) {}

    void Run(Application& app) override {
        while (!app.Ended()) {
            try {
                PlayNextLine(app);
            } catch (const FrontEndError&) {
                app.End(exit_status::kFrontEnd);
            }
        }
    }

    MsgResult ShowMessageBox(const MessageBoxSpec& request) override {
        // The program has ended: nothing is on screen any more and the exit event stays last.
        if (exitLogged_) return ButtonResult(request.buttons, request.defaultButton);
        log_.Write(script::MessageBoxEvent(request));
        const ScriptCommand command = NextCommand("message box " + Quoted(request.title));
        if (command.kind != CommandKind::Answer) {
            Fail(At(command) + "message box " + Quoted(request.title) +
                 " is on screen and waits for 'answer BUTTON'");
        }
        MsgResult result = MsgResult::OK;
        if (!ParseResult(command.target, result) || !HasButton(request.buttons, result)) {
            Fail(At(command) + "message box " + Quoted(request.title) + " has no button " +
                 Quoted(command.target) + " (its buttons: " + ButtonsName(request.buttons) + ")");
        }
        log_.Write(script::AnswerEvent(result));
        return result;
    }

    void ProcessStarting(const std::string& commandLine) override {
        if (exitLogged_) return;
        log_.Write(script::StartEvent(commandLine));
    }

    void Ended(int exitStatus) override {
        if (exitLogged_) return;
        exitLogged_ = true;
        log_.Write(script::ExitEvent(exitStatus));
    }

  private:
    // Logs the error, tells the person running the script, and stops the program's current
    // work by throwing: the caller of Run or of the program entry ends it with status 3.
    [[noreturn]] void Fail(const std::string& message) {
        log_.Write(script::ErrorEvent(message));
        std::fputs(("script: " + message + "\n").c_str(), stderr);
        throw FrontEndError(message);
    }

    // The next command of the script; what waits for it names itself in the message when the
    // script has run out.
    ScriptCommand NextCommand(const std::string& waiting) {
        const auto line = script_.Next();
        if (!line) Fail("the script ran out while " + waiting + " waits for the user");
        std::string problem;
        auto command = script::ParseCommand(*line, &problem);
        if (!command) {
            Fail("line " + std::to_string(line->number) + " (" + line->text + "): " + problem);
        }
        return *command;
    }

    // A control of the active window that is on screen and of one of the given kinds.
    Control& FindOnScreen(const Form& form, const ScriptCommand& command, ControlKind kind,
                          ControlKind otherKind, const char* what) {
        Control* control = form.Find(command.target);
        if (control == nullptr || !control->visible ||
            (control->Kind() != kind && control->Kind() != otherKind)) {
            Fail(At(command) + "window " + Quoted(form.Name()) + " shows no " + what + " " +
                 Quoted(command.target));
        }
        return *control;
    }

    template <typename ListBox>
    ListBox& FindListBox(const Form& form, const ScriptCommand& command, const char* what) {
        for (Control* control : form.Controls()) {
            auto* box = dynamic_cast<ListBox*>(control);
            if (box != nullptr && box->visible) return *box;
        }
        Fail(At(command) + "window " + Quoted(form.Name()) + " shows no " + what);
    }

    void PlayNextLine(Application& app) {
        Form* form = app.ActiveForm();
        if (form != nullptr) log_.Write(script::WindowEvent(*form));
        const ScriptCommand command =
            NextCommand(form != nullptr ? "window " + Quoted(form->Name()) : "the program");
        if (command.kind == CommandKind::Answer) {
            Fail(At(command) + "no message box is on screen");
        }
        if (form == nullptr) Fail(At(command) + "no window is on screen");

        switch (command.kind) {
            case CommandKind::Click: {
                Control& button = FindOnScreen(*form, command, ControlKind::CommandButton,
                                               ControlKind::CommandButton, "command button");
                user_actions::Click(app, *form, button);
                break;
            }
            case CommandKind::Set: {
                Control& field = FindOnScreen(*form, command, ControlKind::ComboBox,
                                              ControlKind::TextBox, "editable control");
                user_actions::SetText(*form, field, command.argument);
                break;
            }
            case CommandKind::Drive:
                user_actions::PickDrive(app, *form,
                                        FindListBox<DriveListBox>(*form, command, "drive list"),
                                        command.argument);
                break;
            case CommandKind::Open:
                user_actions::OpenDirectory(
                    app, *form, FindListBox<DirListBox>(*form, command, "directory list"),
                    command.argument);
                break;
            case CommandKind::Close:
                if (!form->closeBox) {
                    Fail(At(command) + "window " + Quoted(form->Name()) + " has no close box");
                }
                user_actions::Close(app, *form);
                break;
            case CommandKind::Answer:
                break;
        }
    }

    script::Script script_;
    script::EventLog log_;
    bool exitLogged_ = false;
};

}  // namespace

std::unique_ptr<UserInterface> OpenScriptUserInterface(const std::string& scriptPath,
                                                       const std::string& logPath) {
    return std::make_unique<ScriptUserInterface>(script::Script::FromFile(scriptPath), logPath);
}

}  // namespace tamsel
