#include "frontend/fltk/FltkUserInterface.h"

#include <FL/Fl.H>

#include <algorithm>
#include <utility>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/fltk/MessageDialog.h"

namespace tamsel::fltk {

FltkUserInterface::FltkUserInterface(PixelScale scale, GeometryLog log)
    : scale_(scale), log_(std::move(log)) {}

FltkUserInterface::~FltkUserInterface() { CloseAll(); }

void FltkUserInterface::InputFailed(std::exception_ptr failure) {
    if (!failure_) failure_ = failure;
}

FormWindow* FltkUserInterface::WindowOf(const Form* form) const {
    for (FormWindow* window : windows_) {
        if (&window->Model() == form) return window;
    }
    return nullptr;
}

void FltkUserInterface::Sync(bool mayDelete) {
    if (app_ == nullptr) return;
    const auto& forms = app_->Forms();
    // Windows of forms that went away are hidden at once and deleted by the outer loop. Their
    // forms are compared by address only: an unloaded form may no longer exist.
    for (auto it = windows_.begin(); it != windows_.end();) {
        FormWindow* window = *it;
        const bool loaded = std::find(forms.begin(), forms.end(), &window->Model()) != forms.end();
        if (!loaded || !window->Model().Visible() || app_->Ended()) window->hide();
        if (!loaded && mayDelete) {
            delete window;
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
    if (app_->Ended()) return;
    for (Form* form : forms) {
        if (!form->Visible()) continue;
        FormWindow* window = WindowOf(form);
        if (window == nullptr) {
            window = new FormWindow(*app_, *form, scale_, *this);
            windows_.push_back(window);
        }
        window->Refresh();
        if (!window->shown()) window->ShowOnScreen(log_);
    }
    // The active form's window comes to the front when another form became active.
    const Form* active = app_->ActiveForm();
    if (active != raised_) {
        raised_ = active;
        if (FormWindow* window = WindowOf(active)) window->show();
    }
}

void FltkUserInterface::Run(Application& app) {
    app_ = &app;
    dirty_ = true;
    while (!app.Ended()) {
        if (dirty_) {
            dirty_ = false;
            Sync(true);
        }
        if (failure_) {
            CloseAll();
            std::rethrow_exception(std::exchange(failure_, nullptr));
        }
        if (app.Ended()) break;
        const bool anyShown = std::any_of(windows_.begin(), windows_.end(),
                                          [](FormWindow* w) { return w->shown() != 0; });
        if (!anyShown) {
            // Nothing on screen and no way for the user to end the program: stop rather than
            // leave an invisible process behind.
            CloseAll();
            throw FrontEndError("the program has no window on the screen any more");
        }
        Fl::wait();
    }
    CloseAll();
}

void FltkUserInterface::CloseAll() {
    for (FormWindow* window : windows_) {
        window->hide();
        delete window;
    }
    windows_.clear();
    raised_ = nullptr;
    Fl::flush();
}

MsgResult FltkUserInterface::ShowMessageBox(const MessageBoxSpec& request) {
    // The windows show what the program has done so far (a new caption, say) behind the box.
    Sync(false);
    std::optional<PixelRect> owner;
    if (app_ != nullptr && !app_->Ended()) {
        if (FormWindow* window = WindowOf(app_->ActiveForm())) {
            if (window->shown())
                owner = PixelRect{window->x(), window->y(), window->w(), window->h()};
        }
    }
    MessageDialog dialog(request, scale_);
    const MsgResult result = dialog.Run(owner, log_);
    dirty_ = true;
    return result;
}

}  // namespace tamsel::fltk
