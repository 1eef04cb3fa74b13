#include "common/ui/Form.h"

#include "common/ui/Application.h"

namespace tamsel {

Form::Form(Application& app, std::string name) : app_(app), name_(std::move(name)) {}

Control* Form::Find(const std::string& name) const {
    for (Control* control : controls_) {
        if (control->Name() == name) return control;
    }
    return nullptr;
}

void Form::Load() {
    if (loaded_) return;
    loaded_ = true;
    app_.Register(*this);
    OnLoad();
}

void Form::Show() {
    Load();
    if (app_.Ended() || !loaded_) return;  // the load event may have ended the program
    visible_ = true;
    app_.Activated(*this);
}

void Form::Hide() {
    visible_ = false;
    app_.Hidden(*this);
}

void Form::Unload() {
    if (!loaded_) return;
    visible_ = false;
    loaded_ = false;
    app_.Unregister(*this);
    app_.FormUnloaded();
}

}  // namespace tamsel
