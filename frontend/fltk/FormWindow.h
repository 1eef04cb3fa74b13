#pragma once

#include <FL/Fl_Double_Window.H>

#include <exception>
#include <memory>
#include <vector>

#include "frontend/fltk/ControlViews.h"
#include "frontend/fltk/FormInput.h"
#include "frontend/fltk/GeometryLog.h"
#include "frontend/fltk/PixelLayout.h"

namespace tamsel {
class Application;
class Form;
}  // namespace tamsel

namespace tamsel::fltk {

// What a window tells the front end that owns it.
class WindowHost {
  public:
    virtual ~WindowHost() = default;
    // The user's input went to the program, which may have changed any window.
    virtual void InputHandled() = 0;
    // A failure that the program did not report itself; the event loop raises it again.
    virtual void InputFailed(std::exception_ptr failure) = 0;
};

// The on-screen window of one form: its client area at the form's size, a widget per control
// in tab order, the form's border style and the keyboard roles of its buttons. Input goes to
// the program through user_actions, and only while the form is still loaded.
class FormWindow : public Fl_Double_Window, private FormInput {
  public:
    FormWindow(Application& app, Form& form, const PixelScale& scale, WindowHost& host);

    // The form; use only while it is registered with the application.
    Form& Model() const { return form_; }
    // Takes the caption, the enabled state and every control's state from the form.
    void Refresh();
    // Shows the window (centred the first time, when the form asks for it), gives the focus to
    // the first control that takes it and writes the layout to the log.
    void ShowOnScreen(const GeometryLog& log);

    int handle(int event) override;

  private:
    bool FormLoaded() const;
    Control* ButtonWithRole(bool defaultRole) const;
    template <typename Action>
    void Deliver(Action action);

    void Click(Control& button) override;
    void SetText(Control& control, const std::string& text) override;
    void PickDrive(DriveListBox& box, const std::string& entry) override;
    void OpenDirectory(DirListBox& box, const std::string& path) override;
    static void CloseBox(Fl_Widget* widget, void* self);

    Application& app_;
    Form& form_;
    WindowHost& host_;
    PixelScale scale_;
    std::vector<std::unique_ptr<ControlView>> views_;
    bool placed_ = false;
};

}  // namespace tamsel::fltk
