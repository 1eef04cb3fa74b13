#include "common/ui/UserActions.h"

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"
#include "platform/RuntimeError.h"

namespace tamsel::user_actions {

namespace {

bool TakesInput(const Application& app, const Form& form, const Control& control) {
    return !app.Ended() && form.Visible() && form.enabled && control.enabled && control.visible;
}

// A drive or directory that the list cannot show is reported the way the list itself reports
// it, and the list keeps what it showed.
void ReportListError(Application& app, const Form& form, const RuntimeError& error) {
    MessageBoxSpec request;
    request.title = form.caption;
    request.text = error.Description();
    request.buttons = MsgButtons::OK;
    request.icon = MsgIcon::Exclamation;
    app.MsgBox(request);
}

}  // namespace

void Click(Application& app, Form& form, Control& button) {
    if (!TakesInput(app, form, button) || !button.onClick) return;
    app.Dispatch(button.onClick);
}

void SetText(Form& form, Control& control, const std::string& text) {
    if (!form.Visible() || !form.enabled || !control.enabled) return;
    control.caption = text;
}

void PickDrive(Application& app, Form& form, DriveListBox& box, const std::string& drive) {
    if (!TakesInput(app, form, box)) return;
    app.Dispatch([&] {
        try {
            box.SetDrive(drive);
        } catch (const RuntimeError& error) {
            if (error.Number() != err::kDeviceUnavailable && error.Number() != err::kDiskNotReady &&
                error.Number() != err::kPathNotFound) {
                throw;
            }
            ReportListError(app, form, error);
        }
    });
}

void OpenDirectory(Application& app, Form& form, DirListBox& box, const std::string& path) {
    if (!TakesInput(app, form, box)) return;
    app.Dispatch([&] {
        try {
            box.SetPath(path);
        } catch (const RuntimeError& error) {
            if (error.Number() != err::kPathNotFound && error.Number() != err::kDiskNotReady) throw;
            ReportListError(app, form, error);
        }
    });
}

void Close(Application& app, Form& form) {
    if (app.Ended() || !form.Visible() || !form.enabled || !form.closeBox) return;
    app.Dispatch([&] { form.OnCloseBox(); });
}

}  // namespace tamsel::user_actions
