#pragma once

#include <string>
#include <vector>

#include "frontend/win32/NativeHandles.h"

namespace tamsel {
class Application;
class Control;
class Form;
}  // namespace tamsel

namespace tamsel::win32 {

class NativeUserInterface;

// The native window of one form and the child windows of its controls. Sync draws the form's
// current state (captions, lists, enabled and visible states); the user's input on the window
// goes to the window model through UserActions.
class FormWindow {
  public:
    FormWindow(NativeUserInterface& ui, Application& app, Form& form, HWND owner);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    Form& GetForm() const { return form_; }
    NativeUserInterface& Ui() const { return ui_; }
    HWND Handle() const { return window_.Get(); }

    // Brings the window in line with the form.
    void Sync();

    // The window procedure's work for this window.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    struct ControlView {
        Control* control = nullptr;
        HWND window = nullptr;
        int id = 0;
        std::vector<std::string> shownList;   // combo, drive and directory lists as shown
        std::vector<std::string> entryPaths;  // a directory list: the path of each entry
        std::string shownPath;
    };

    void CreateControls();
    void SyncControl(ControlView& view);
    void SyncDirectoryList(ControlView& view);
    void SetTextIfChanged(HWND window, const std::string& text);
    // Copies what the user typed into editable controls to the model, so that a handler sees
    // it.
    void PullTypedText();
    void OnCommand(int id, int code, HWND from);
    ControlView* ViewById(int id);
    ControlView* ViewWithRole(bool defaultRole);

    NativeUserInterface& ui_;
    Application& app_;
    Form& form_;
    WindowHandle window_;
    std::vector<ControlView> views_;
    bool syncing_ = false;
    bool shownOnce_ = false;
};

}  // namespace tamsel::win32
