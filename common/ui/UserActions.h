#pragma once

#include <string>

namespace tamsel {

class Application;
class Control;
class DirListBox;
class DriveListBox;
class Form;

// The user's input, as every front end reports it. Each action does what the same input does
// on screen: input to a disabled form or control does nothing. Handlers run through
// Application::Dispatch, so a failure ends the program with its report.
namespace user_actions {

void Click(Application& app, Form& form, Control& button);
// Replaces the text of an editable control (combo box or text box).
void SetText(Form& form, Control& control, const std::string& text);
// Picks a drive in a drive list; a drive that cannot be used is reported and the list keeps
// its drive.
void PickDrive(Application& app, Form& form, DriveListBox& box, const std::string& drive);
// Opens a directory in a directory list, as a double-click does.
void OpenDirectory(Application& app, Form& form, DirListBox& box, const std::string& path);
// The close box of a form.
void Close(Application& app, Form& form);

}  // namespace user_actions

}  // namespace tamsel
