#include "frontend/fltk/FormWindow.h"

#include <FL/Fl.H>

#include <algorithm>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"
#include "common/ui/UserActions.h"

namespace tamsel::fltk {

namespace {

bool IsEnter(int key) { return key == FL_Enter || key == FL_KP_Enter; }

}  // namespace

FormWindow::FormWindow(Application& app, Form& form, const PixelScale& scale, WindowHost& host)
    : Fl_Double_Window(scale.FromTwips(form.clientWidthTwips),
                       scale.FromTwips(form.clientHeightTwips)),
      app_(app),
      form_(form),
      host_(host),
      scale_(scale) {
    copy_label(form.caption.c_str());
    // Widgets are made in tab order, which is also the order FLTK moves the focus in.
    for (Control* control : form.Controls())
        views_.push_back(MakeControlView(*control, scale, *this));
    end();
    if (form.border == BorderStyle::Sizable) {
        // Resizable, but the controls keep their places, as on Windows: with no resizable
        // widget FLTK moves no child when the window changes size.
        resizable(nullptr);
        size_range(1, 1);
    } else {
        // A fixed border. X11 offers no portable way to drop the minimise and maximise boxes;
        // equal minimum and maximum sizes make window managers drop maximise at least.
        size_range(w(), h(), w(), h());
    }
    callback(&FormWindow::CloseBox, this);
}

bool FormWindow::FormLoaded() const {
    const auto& forms = app_.Forms();
    return std::find(forms.begin(), forms.end(), &form_) != forms.end() && form_.Loaded();
}

void FormWindow::Refresh() {
    if (!FormLoaded()) return;
    if (label() == nullptr || form_.caption != label()) copy_label(form_.caption.c_str());
    // A disabled form takes no input, as a window disabled under another one on Windows.
    if (form_.enabled && !active()) activate();
    if (!form_.enabled && active()) deactivate();
    for (auto& view : views_) view->Refresh();
}

void FormWindow::ShowOnScreen(const GeometryLog& log) {
    if (!placed_) {
        placed_ = true;
        if (form_.centred) {
            PixelRect area;
            Fl::screen_work_area(area.x, area.y, area.w, area.h, 0);
            const PixelRect at = CentredIn(area, w(), h());
            position(at.x, at.y);
        }
    }
    show();
    for (auto& view : views_) {
        Fl_Widget& widget = view->Widget();
        if (widget.visible() && widget.active() && widget.take_focus()) break;
    }
    std::vector<NamedRect> controls;
    for (const auto& view : views_) {
        const Fl_Widget& widget = view->Widget();
        controls.push_back(
            {view->Model().Name(), {widget.x(), widget.y(), widget.w(), widget.h()}});
    }
    log.WindowShown(form_.Name(), form_.caption, {x(), y(), w(), h()}, scale_.PixelsPerInch(),
                    controls);
}

Control* FormWindow::ButtonWithRole(bool defaultRole) const {
    for (Control* control : form_.Controls()) {
        if (control->Kind() != ControlKind::CommandButton) continue;
        if (defaultRole ? control->isDefault : control->isCancel) return control;
    }
    return nullptr;
}

int FormWindow::handle(int event) {
    // Enter and Esc that no focused control took go to the buttons with those roles. Esc never
    // closes the window by itself, as FLTK would otherwise do.
    if (event == FL_SHORTCUT && FormLoaded()) {
        const int key = Fl::event_key();
        if (IsEnter(key) || key == FL_Escape) {
            if (Control* button = ButtonWithRole(IsEnter(key))) Click(*button);
            return key == FL_Escape ? 1 : (ButtonWithRole(true) != nullptr);
        }
    }
    return Fl_Double_Window::handle(event);
}

template <typename Action>
void FormWindow::Deliver(Action action) {
    if (!FormLoaded()) return;
    try {
        action();
    } catch (...) {
        host_.InputFailed(std::current_exception());
    }
    host_.InputHandled();
}

void FormWindow::Click(Control& button) {
    Deliver([&] { user_actions::Click(app_, form_, button); });
}

void FormWindow::SetText(Control& control, const std::string& text) {
    Deliver([&] { user_actions::SetText(form_, control, text); });
}

void FormWindow::PickDrive(DriveListBox& box, const std::string& entry) {
    Deliver([&] { user_actions::PickDrive(app_, form_, box, entry); });
}

void FormWindow::OpenDirectory(DirListBox& box, const std::string& path) {
    Deliver([&] { user_actions::OpenDirectory(app_, form_, box, path); });
}

void FormWindow::CloseBox(Fl_Widget*, void* self) {
    auto* window = static_cast<FormWindow*>(self);
    // FLTK also calls this for Esc; only the close box closes.
    if ((Fl::event() == FL_SHORTCUT || Fl::event() == FL_KEYBOARD) &&
        Fl::event_key() == FL_Escape) {
        return;
    }
    window->Deliver([window] { user_actions::Close(window->app_, window->form_); });
}

}  // namespace tamsel::fltk
