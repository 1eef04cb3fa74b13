#include "frontend/win32/NativeUserInterface.h"

#include <algorithm>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/win32/CaptionFit.h"
#include "frontend/win32/FormWindow.h"
#include "frontend/win32/NativeStyles.h"
#include "platform/win32/WideText.h"

namespace tamsel::win32 {

namespace {

constexpr const wchar_t* kFormWindowClass = L"TamselOrryForm";

LRESULT CALLBACK FormWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->Handle() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may unwind through Windows' own frames: a failure ends the message loop, and Run
    // raises it again.
    try {
        return form->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        form->Ui().Fail(std::current_exception());
        return 0;
    }
}

}  // namespace

const wchar_t* FormWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = FormWindowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        // The program's own icon (resource 1) in the title bar and the task bar.
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        if (windowClass.hIcon == nullptr)
            windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFormWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    return kFormWindowClass;
}

NativeUserInterface::NativeUserInterface() {
    HDC screen = GetDC(nullptr);
    if (screen != nullptr) {
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        if (dpi > 0) dotsPerInch_ = dpi;
        ReleaseDC(nullptr, screen);
    }
}

// The windows go before the fonts and brushes they use.
NativeUserInterface::~NativeUserInterface() { windows_.clear(); }

HFONT NativeUserInterface::Font(const FontSpec& request) {
    for (const CachedFont& cached : fonts_) {
        if (cached.request.face == request.face && cached.request.points == request.points &&
            cached.request.bold == request.bold) {
            return cached.font.Get();
        }
    }
    LOGFONTW description{};
    description.lfHeight = FontHeight(request.points, dotsPerInch_);
    description.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Utf8ToWide(request.face);
    lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
    fonts_.push_back(CachedFont{request, GdiObject<HFONT>(CreateFontIndirectW(&description))});
    return fonts_.back().font.Get();
}

HBRUSH NativeUserInterface::Brush(std::int32_t rgb) {
    for (const CachedBrush& cached : brushes_) {
        if (cached.rgb == rgb) return cached.brush.Get();
    }
    const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    brushes_.push_back(CachedBrush{rgb, GdiObject<HBRUSH>(CreateSolidBrush(colour))});
    return brushes_.back().brush.Get();
}

void NativeUserInterface::SyncAll() {
    if (app_ == nullptr) return;
    const std::vector<Form*>& forms = app_->Forms();
    // Windows of forms that were unloaded go.
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const std::unique_ptr<FormWindow>& window) {
                                      Form& form = window->GetForm();
                                      return app_->Ended() || !form.Loaded() ||
                                             std::find(forms.begin(), forms.end(), &form) ==
                                                 forms.end();
                                  }),
                   windows_.end());
    if (app_->Ended()) return;
    for (Form* form : forms) {
        auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [&](const auto& window) { return &window->GetForm() == form; });
        if (found == windows_.end()) {
            if (!form->Visible()) continue;  // a window is made when the form is first shown
            // Later windows belong to the first one: they stay above it and go with it.
            HWND owner = windows_.empty() ? nullptr : windows_.front()->Handle();
            windows_.push_back(std::make_unique<FormWindow>(*this, *app_, *form, owner));
            found = windows_.end() - 1;
        }
        (*found)->Sync();
        FitCaptions((*found)->Handle());
    }
}

void NativeUserInterface::Fail(std::exception_ptr failure) {
    if (!failure_) failure_ = failure;
    PostQuitMessage(1);
}

void NativeUserInterface::Run(Application& app) {
    app_ = &app;
    SyncAll();
    MSG message{};
    while (!app.Ended() && !failure_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        // Tab, Enter and Esc move between and press the controls of the window, as in a dialog.
        HWND top = GetAncestor(message.hwnd, GA_ROOT);
        const bool ours = std::any_of(windows_.begin(), windows_.end(),
                                      [&](const auto& window) { return window->Handle() == top; });
        if (ours && IsDialogMessageW(top, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    windows_.clear();
    app_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
}

MsgResult NativeUserInterface::ShowMessageBox(const MessageBoxSpec& request) {
    // What the handler changed before the box (a caption, say) is on screen while it shows.
    SyncAll();
    HWND owner = GetActiveWindow();
    const int pressed = MessageBoxW(owner, Utf8ToWide(request.text).c_str(),
                                    Utf8ToWide(request.title).c_str(), MessageBoxFlags(request));
    return ResultOfButtonId(pressed);
}

void NativeUserInterface::Ended(int exitStatus) {
    (void)exitStatus;
    // Wakes the message loop, which then sees that the program has ended.
    PostMessageW(nullptr, WM_NULL, 0, 0);
}

}  // namespace tamsel::win32
