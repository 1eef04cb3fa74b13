#pragma once

#include <string>
#include <vector>

#include "common/ui/Control.h"

namespace tamsel {

class Application;

enum class BorderStyle { FixedSingle, FixedDialog, Sizable };

// A window: its design-time properties, its controls in tab order and its run-time state.
// Subclasses add their controls in the constructor and their handlers; front ends show the
// visible forms and report input through UserActions.
class Form {
  public:
    Form(Application& app, std::string name);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    Application& App() { return app_; }

    std::string caption;
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
    BorderStyle border = BorderStyle::Sizable;
    bool minButton = true;
    bool maxButton = true;
    bool closeBox = true;
    bool centred = true;
    bool enabled = true;

    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }

    // Controls in tab order.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* Find(const std::string& name) const;

    // Loads the form when it is not loaded yet (OnLoad runs once), then makes it visible.
    void Show();
    // Loads the form without showing it (OnLoad runs once).
    void Load();
    void Hide();
    // Hides and unloads the form; the application ends when no form is left loaded.
    void Unload();

    // The load event; runs before the form is first shown.
    virtual void OnLoad() {}
    // The close box: unloads the form unless a subclass says otherwise.
    virtual void OnCloseBox() { Unload(); }

  protected:
    void AddControl(Control& control) { controls_.push_back(&control); }

  private:
    Application& app_;
    std::string name_;
    bool loaded_ = false;
    bool visible_ = false;
    std::vector<Control*> controls_;
};

}  // namespace tamsel
