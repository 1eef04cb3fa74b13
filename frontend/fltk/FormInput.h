#pragma once

#include <string>

namespace tamsel {
class Control;
class DirListBox;
class DriveListBox;
}  // namespace tamsel

namespace tamsel::fltk {

// Where the widgets of a window send the user's input. The window that implements it passes
// the input on to the program's window model.
class FormInput {
  public:
    virtual ~FormInput() = default;
    virtual void Click(Control& button) = 0;
    virtual void SetText(Control& control, const std::string& text) = 0;
    virtual void PickDrive(DriveListBox& box, const std::string& entry) = 0;
    virtual void OpenDirectory(DirListBox& box, const std::string& path) = 0;
};

}  // namespace tamsel::fltk
