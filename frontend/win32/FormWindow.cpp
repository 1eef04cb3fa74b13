#include "frontend/win32/FormWindow.h"

#include <algorithm>
#include <stdexcept>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"
#include "common/ui/UserActions.h"
#include "frontend/win32/NativeStyles.h"
#include "frontend/win32/NativeUserInterface.h"
#include "platform/win32/WideText.h"

namespace tamsel::win32 {

namespace {

constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which Enter and Esc send
constexpr int kDropDownItems = 8;     // how many entries an open drop-down list shows

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return WideToUtf8(text);
}

std::string ComboEntry(HWND combo, LRESULT index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return std::string();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return WideToUtf8(text);
}

struct ChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

ChildClass ClassOf(const Control& control) {
    switch (control.Kind()) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::CommandButton:
            return {L"BUTTON",
                    static_cast<DWORD>(WS_TABSTOP |
                                       (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                    0};
        case ControlKind::ComboBox:
            return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
        case ControlKind::TextBox:
            return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::DriveListBox:
            return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::DirListBox:
            return {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Shape:
            return {L"STATIC", SS_LEFT, 0};
    }
    return {L"STATIC", SS_LEFT, 0};
}

// The path of a directory list's level: the root ("C:\") and the levels below it joined.
std::string JoinLevels(const std::vector<std::string>& levels, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        if (!path.empty() && path.back() != '\\') path += '\\';
        path += levels[i];
    }
    return path;
}

}  // namespace

FormWindow::FormWindow(NativeUserInterface& ui, Application& app, Form& form, HWND owner)
    : ui_(ui), app_(app), form_(form) {
    const WindowStyles styles = StylesOf(form);
    const int dpi = ui.DotsPerInch();
    RECT frame{0, 0, TwipsToPixels(form.clientWidthTwips, dpi),
               TwipsToPixels(form.clientHeightTwips, dpi)};
    AdjustWindowRectEx(&frame, styles.style, FALSE, styles.extendedStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int left = CW_USEDEFAULT;
    int top = CW_USEDEFAULT;
    if (form.centred) {
        left = work.left + std::max(0, static_cast<int>((work.right - work.left - width) / 2));
        top = work.top + std::max(0, static_cast<int>((work.bottom - work.top - height) / 2));
    }
    HWND window = CreateWindowExW(styles.extendedStyle, FormWindowClass(),
                                  Utf8ToWide(form.caption).c_str(), styles.style, left, top, width,
                                  height, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (window == nullptr)
        throw std::runtime_error("cannot create the window \"" + form.caption + "\"");
    window_ = WindowHandle(window);
    if (!form.closeBox) {
        // A fixed dialog without a close box: the system menu's Close item goes too.
        RemoveMenu(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
    }
    CreateControls();
}

void FormWindow::CreateControls() {
    const int dpi = ui_.DotsPerInch();
    int id = kFirstControlId;
    // Created in tab order: the order of the child windows is the order Tab visits them.
    for (Control* control : form_.Controls()) {
        const ChildClass kind = ClassOf(*control);
        const TwipsRect& rect = control->Rect();
        int height = TwipsToPixels(rect.height, dpi);
        if (std::wstring(kind.className) == L"COMBOBOX") height *= kDropDownItems;
        HWND child = CreateWindowExW(kind.extendedStyle, kind.className, L"", WS_CHILD | kind.style,
                                     TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
                                     TwipsToPixels(rect.width, dpi), height, window_.Get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
        if (child == nullptr)
            throw std::runtime_error("cannot create the control " + control->Name());
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.Font(control->font)), FALSE);
        ControlView view;
        view.control = control;
        view.window = child;
        view.id = id++;
        views_.push_back(view);
    }
}

void FormWindow::SetTextIfChanged(HWND window, const std::string& text) {
    if (WindowText(window) != text) SetWindowTextW(window, Utf8ToWide(text).c_str());
}

void FormWindow::Sync() {
    syncing_ = true;
    SetTextIfChanged(window_.Get(), form_.caption);
    for (ControlView& view : views_) SyncControl(view);
    if ((IsWindowEnabled(window_.Get()) != FALSE) != form_.enabled) {
        EnableWindow(window_.Get(), form_.enabled ? TRUE : FALSE);
    }
    const bool visible = form_.Visible();
    if (visible && !IsWindowVisible(window_.Get())) {
        ShowWindow(window_.Get(), SW_SHOWNORMAL);
        if (!shownOnce_ && !views_.empty()) {
            // The first control of the tab order that takes the focus has it.
            for (const ControlView& view : views_) {
                if ((GetWindowLongW(view.window, GWL_STYLE) & WS_TABSTOP) != 0 &&
                    IsWindowEnabled(view.window) && IsWindowVisible(view.window)) {
                    SetFocus(view.window);
                    break;
                }
            }
        }
        shownOnce_ = true;
        SetForegroundWindow(window_.Get());
    } else if (!visible && IsWindowVisible(window_.Get())) {
        ShowWindow(window_.Get(), SW_HIDE);
    }
    syncing_ = false;
}

void FormWindow::SyncControl(ControlView& view) {
    Control& control = *view.control;
    if ((IsWindowVisible(view.window) != FALSE) != control.visible) {
        ShowWindow(view.window, control.visible ? SW_SHOWNA : SW_HIDE);
    }
    if ((IsWindowEnabled(view.window) != FALSE) != control.enabled) {
        EnableWindow(view.window, control.enabled ? TRUE : FALSE);
    }
    switch (control.Kind()) {
        case ControlKind::Label:
        case ControlKind::CommandButton:
        case ControlKind::TextBox:
            SetTextIfChanged(view.window, control.caption);
            break;
        case ControlKind::ComboBox:
            if (view.shownList != control.list) {
                SendMessageW(view.window, CB_RESETCONTENT, 0, 0);
                for (const std::string& entry : control.list) {
                    SendMessageW(view.window, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(Utf8ToWide(entry).c_str()));
                }
                view.shownList = control.list;
            }
            SetTextIfChanged(view.window, control.caption);
            break;
        case ControlKind::DriveListBox: {
            auto& box = static_cast<DriveListBox&>(control);
            const std::vector<std::string> entries = box.Entries();
            if (view.shownList != entries) {
                SendMessageW(view.window, CB_RESETCONTENT, 0, 0);
                for (const std::string& entry : entries) {
                    SendMessageW(view.window, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(Utf8ToWide(entry).c_str()));
                }
                view.shownList = entries;
            }
            const auto current = std::find(entries.begin(), entries.end(), box.Drive());
            const LRESULT index = current == entries.end() ? -1 : current - entries.begin();
            if (SendMessageW(view.window, CB_GETCURSEL, 0, 0) != index) {
                SendMessageW(view.window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            }
            break;
        }
        case ControlKind::DirListBox:
            SyncDirectoryList(view);
            break;
        case ControlKind::Shape:
            break;  // painted in its fill colour (WM_CTLCOLORSTATIC)
    }
}

void FormWindow::SyncDirectoryList(ControlView& view) {
    auto& box = static_cast<DirListBox&>(*view.control);
    if (view.shownPath == box.Path() && !view.entryPaths.empty()) return;
    // The levels of the current path, each indented one step more, then its subdirectories
    // one step below the last level; the last level is the selected entry.
    const std::vector<std::string> levels = box.Levels();
    std::vector<std::string> shown;
    view.entryPaths.clear();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        shown.push_back(std::string(2 * i, ' ') + levels[i]);
        view.entryPaths.push_back(JoinLevels(levels, i + 1));
    }
    const std::string indent(2 * levels.size(), ' ');
    for (const std::string& name : box.SubDirectories()) {
        shown.push_back(indent + name);
        std::string path = box.Path();
        if (!path.empty() && path.back() != '\\') path += '\\';
        view.entryPaths.push_back(path + name);
    }
    SendMessageW(view.window, WM_SETREDRAW, FALSE, 0);
    SendMessageW(view.window, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : shown) {
        SendMessageW(view.window, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf8ToWide(entry).c_str()));
    }
    if (!levels.empty()) SendMessageW(view.window, LB_SETCURSEL, levels.size() - 1, 0);
    SendMessageW(view.window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view.window, nullptr, TRUE);
    view.shownList = shown;
    view.shownPath = box.Path();
}

void FormWindow::PullTypedText() {
    for (ControlView& view : views_) {
        const ControlKind kind = view.control->Kind();
        if (kind != ControlKind::ComboBox && kind != ControlKind::TextBox) continue;
        const std::string typed = WindowText(view.window);
        if (typed != view.control->caption) user_actions::SetText(form_, *view.control, typed);
    }
}

FormWindow::ControlView* FormWindow::ViewById(int id) {
    for (ControlView& view : views_) {
        if (view.id == id) return &view;
    }
    return nullptr;
}

FormWindow::ControlView* FormWindow::ViewWithRole(bool defaultRole) {
    for (ControlView& view : views_) {
        if (view.control->Kind() == ControlKind::CommandButton &&
            (defaultRole ? view.control->isDefault : view.control->isCancel)) {
            return &view;
        }
    }
    return nullptr;
}

void FormWindow::OnCommand(int id, int code, HWND from) {
    // Input that reaches a window Windows has disabled (a message box is open over it, or the
    // program disabled it) is dropped, as the screen itself would drop it.
    if (syncing_ || !IsWindowEnabled(window_.Get())) return;
    ControlView* view = nullptr;
    if (id == IDOK || id == IDCANCEL) {
        // Enter or Esc, as the dialog keyboard handling reports them (no control has these
        // ids). Enter on a focused command button that is not drawn as the default comes as a
        // bare IDOK: it presses the focused button, as a person expects. Enter anywhere else,
        // and Esc, press the form's default or cancel button, if it has one.
        const HWND focused = from != nullptr ? from : GetFocus();
        for (ControlView& candidate : views_) {
            if (id == IDOK && candidate.window == focused &&
                candidate.control->Kind() == ControlKind::CommandButton) {
                view = &candidate;
            }
        }
        if (view == nullptr) view = ViewWithRole(id == IDOK);
        if (view == nullptr) return;
        code = BN_CLICKED;
    } else {
        view = ViewById(id);
    }
    if (view == nullptr) return;
    Control& control = *view->control;
    switch (control.Kind()) {
        case ControlKind::CommandButton:
            if (code != BN_CLICKED) return;
            PullTypedText();
            user_actions::Click(app_, form_, control);
            break;
        case ControlKind::TextBox:
            if (code != EN_CHANGE) return;
            user_actions::SetText(form_, control, WindowText(view->window));
            break;
        case ControlKind::ComboBox:
            if (code == CBN_EDITCHANGE) {
                user_actions::SetText(form_, control, WindowText(view->window));
            } else if (code == CBN_SELCHANGE) {
                const LRESULT index = SendMessageW(view->window, CB_GETCURSEL, 0, 0);
                if (index == CB_ERR) return;
                user_actions::SetText(form_, control, ComboEntry(view->window, index));
            } else {
                return;
            }
            break;
        case ControlKind::DriveListBox: {
            if (code != CBN_SELCHANGE) return;
            const LRESULT index = SendMessageW(view->window, CB_GETCURSEL, 0, 0);
            if (index == CB_ERR) return;
            PullTypedText();
            user_actions::PickDrive(app_, form_, static_cast<DriveListBox&>(control),
                                    ComboEntry(view->window, index));
            break;
        }
        case ControlKind::DirListBox: {
            if (code != LBN_DBLCLK) return;
            const LRESULT index = SendMessageW(view->window, LB_GETCURSEL, 0, 0);
            if (index < 0 || static_cast<std::size_t>(index) >= view->entryPaths.size()) return;
            PullTypedText();
            const std::string path = view->entryPaths[static_cast<std::size_t>(index)];
            user_actions::OpenDirectory(app_, form_, static_cast<DirListBox&>(control), path);
            view->entryPaths.clear();  // drawn afresh, whether or not the path changed
            break;
        }
        case ControlKind::Label:
        case ControlKind::Shape:
            return;
    }
    ui_.SyncAll();
}

LRESULT FormWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CLOSE:
            PullTypedText();
            user_actions::Close(app_, form_);
            ui_.SyncAll();
            return 0;
        case WM_CTLCOLORSTATIC: {
            const HWND child = reinterpret_cast<HWND>(lParam);
            for (const ControlView& view : views_) {
                if (view.window == child && view.control->Kind() == ControlKind::Shape &&
                    view.control->fillColor >= 0) {
                    return reinterpret_cast<LRESULT>(ui_.Brush(view.control->fillColor));
                }
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tamsel::win32
