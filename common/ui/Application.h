#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/ui/MessageBox.h"
#include "common/ui/UserInterface.h"

namespace tamsel {

class Form;
class System;

// Exit statuses of the programs.
namespace exit_status {
inline constexpr int kNormal = 0;
inline constexpr int kFailure = 1;              // after a failure report
inline constexpr int kMissingPrerequisite = 2;  // the Windows Script Host is missing
inline constexpr int kFrontEnd = 3;             // the scripted front end could not go on
}  // namespace exit_status

// One running program: its forms, its front end and whether it has ended.
class Application {
  public:
    // failureTitle: the title of the message box that reports a failure that ends the program.
    Application(UserInterface& ui, std::string failureTitle);

    UserInterface& Ui() { return ui_; }

    MsgResult MsgBox(const MessageBoxSpec& request) { return ui_.ShowMessageBox(request); }

    // Ends the program: every form goes and the event loop stops. The first status given
    // stays.
    void End(int status);
    bool Ended() const { return ended_; }
    int ExitStatus() const { return exitStatus_; }

    // Runs an event handler. A RuntimeError that leaves it is reported in a message box with
    // its number and description, and the program ends with status 1.
    void Dispatch(const std::function<void()>& handler);
    // Reports a failure and ends the program with status 1.
    void ReportFailure(int number, const std::string& description);

    // Starts a process through the system, telling the front end first.
    void StartProcess(System& system, const std::string& commandLine);

    // Forms register themselves; the active form is the most recently shown visible form.
    void Register(Form& form);
    void Unregister(Form& form);
    void Activated(Form& form);
    void Hidden(Form& form);
    Form* ActiveForm() const;
    const std::vector<Form*>& Forms() const { return forms_; }
    // Called when a form unloads: ends the program when no form is left loaded.
    void FormUnloaded();

  private:
    UserInterface& ui_;
    std::string failureTitle_;
    bool ended_ = false;
    int exitStatus_ = exit_status::kNormal;
    std::vector<Form*> forms_;       // registered forms
    std::vector<Form*> activation_;  // visible forms, most recently activated last
};

}  // namespace tamsel
