#include "common/ui/UserActions.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>

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
    app.MsgBox({form.caption, error.Description(), MsgButtons::OK, MsgIcon::Exclamation});
}

// Changes what a list shows, as the user's own action: an error whose number is among
// `reported` is reported and the list keeps what it showed; any other ends the program.
void DispatchListChange(Application& app, Form& form, Control& box,
                        const std::function<void()>& change,
                        std::initializer_list<std::int32_t> reported) {
    if (!TakesInput(app, form, box)) return;
    app.Dispatch([&] {
        try {
            change();
        } catch (const RuntimeError& error) {
            if (std::find(reported.begin(), reported.end(), error.Number()) == reported.end()) {
                throw;
            }
            ReportListError(app, form, error);
        }
    });
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
    DispatchListChange(app, form, box, [&] { box.SetDrive(drive); },
                       {err::kDeviceUnavailable, err::kDiskNotReady, err::kPathNotFound});
}

void OpenDirectory(Application& app, Form& form, DirListBox& box, const std::string& path) {
    DispatchListChange(app, form, box, [&] { box.SetPath(path); },
                       {err::kPathNotFound, err::kDiskNotReady});
}

void Close(Application& app, Form& form) {
    if (app.Ended() || !form.Visible() || !form.enabled || !form.closeBox) return;
    app.Dispatch([&] { form.OnCloseBox(); });
}

}  // namespace tamsel::user_actions
