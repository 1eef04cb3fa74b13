#include "frontend/win32/NativeStyles.h"

#include <cmath>

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

int TwipsToPixels(int twips, int dotsPerInch) { return MulDiv(twips, dotsPerInch, 1440); }

int FontHeight(double points, int dotsPerInch) {
    return -static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}

WindowStyles StylesOf(const Form& form) {
    WindowStyles styles;
    switch (form.border) {
        case BorderStyle::Sizable:
            styles.style = WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
            break;
        case BorderStyle::FixedSingle:
            styles.style = WS_OVERLAPPED | WS_CAPTION;
            break;
        case BorderStyle::FixedDialog:
            styles.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
            styles.extendedStyle = WS_EX_DLGMODALFRAME;
            break;
    }
    // The system menu carries the close box; the minimise and maximise boxes need it too.
    if (form.closeBox) styles.style |= WS_SYSMENU;
    if (form.closeBox && form.minButton) styles.style |= WS_MINIMIZEBOX;
    if (form.closeBox && form.maxButton) styles.style |= WS_MAXIMIZEBOX;
    styles.style |= WS_CLIPCHILDREN;
    return styles;
}

std::uint32_t MessageBoxFlags(const MessageBoxSpec& request) {
    std::uint32_t flags = 0;
    switch (request.buttons) {
        case MsgButtons::OK:
            flags = MB_OK;
            break;
        case MsgButtons::OKCancel:
            flags = MB_OKCANCEL;
            break;
        case MsgButtons::YesNo:
            flags = MB_YESNO;
            break;
        case MsgButtons::YesNoCancel:
            flags = MB_YESNOCANCEL;
            break;
        case MsgButtons::RetryCancel:
            flags = MB_RETRYCANCEL;
            break;
        case MsgButtons::AbortRetryIgnore:
            flags = MB_ABORTRETRYIGNORE;
            break;
    }
    switch (request.icon) {
        case MsgIcon::None:
            break;
        case MsgIcon::Critical:
            flags |= MB_ICONHAND;
            break;
        case MsgIcon::Question:
            flags |= MB_ICONQUESTION;
            break;
        case MsgIcon::Exclamation:
            flags |= MB_ICONEXCLAMATION;
            break;
        case MsgIcon::Information:
            flags |= MB_ICONASTERISK;
            break;
    }
    switch (request.defaultButton) {
        case 2:
            flags |= MB_DEFBUTTON2;
            break;
        case 3:
            flags |= MB_DEFBUTTON3;
            break;
        default:
            flags |= MB_DEFBUTTON1;
            break;
    }
    return flags;
}

MsgResult ResultOfButtonId(int id) {
    switch (id) {
        case IDCANCEL:
            return MsgResult::Cancel;
        case IDABORT:
            return MsgResult::Abort;
        case IDRETRY:
            return MsgResult::Retry;
        case IDIGNORE:
            return MsgResult::Ignore;
        case IDYES:
            return MsgResult::Yes;
        case IDNO:
            return MsgResult::No;
        default:
            return MsgResult::OK;
    }
}

}  // namespace tamsel::win32
