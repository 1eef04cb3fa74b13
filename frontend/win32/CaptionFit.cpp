#include "frontend/win32/CaptionFit.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace tamsel::win32 {

namespace {

// The smaller fonts made for captions; windows use them until the program ends.
std::vector<GdiObject<HFONT>>& SmallerFonts() {
    static std::vector<GdiObject<HFONT>> fonts;
    return fonts;
}

struct Caption {
    HWND control;
    bool label;  // a static control; otherwise a push button
    std::wstring text;
};

// The room the caption takes in the control's font: a label wraps at words within the given
// width, a button's caption is one line.
SIZE Needed(const Caption& caption, HFONT font, LONG width) {
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    if (caption.label) {
        format |= DT_WORDBREAK;
        if ((GetWindowLongW(caption.control, GWL_STYLE) & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
    } else {
        format |= DT_SINGLELINE;
    }
    RECT rect{0, 0, width, 0};
    HDC dc = GetDC(caption.control);
    const HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, caption.text.c_str(), -1, &rect, format);
    SelectObject(dc, previous);
    ReleaseDC(caption.control, dc);
    return SIZE{rect.right, rect.bottom};
}

// The room inside the control that its caption may take: a button's raised edge takes some.
RECT Room(const Caption& caption) {
    RECT room{};
    GetClientRect(caption.control, &room);
    if (!caption.label) {
        InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    }
    return room;
}

bool Fits(const Caption& caption, HFONT font) {
    const RECT room = Room(caption);
    const SIZE needed = Needed(caption, font, room.right - room.left);
    return needed.cx <= room.right - room.left && needed.cy <= room.bottom - room.top;
}

RECT RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Widens a label to the width its caption needs on one line, when that space is free.
void Widen(const Caption& caption, HFONT font) {
    HWND form = GetParent(caption.control);
    RECT rect = RectInParent(caption.control);
    RECT client{};
    GetClientRect(form, &client);
    const SIZE line = Needed(caption, font, SHRT_MAX);  // the caption unwrapped
    RECT wider = rect;
    wider.right = rect.left + line.cx;
    // The window's edge keeps the margin the label keeps on its left.
    if (wider.right > client.right - rect.left) return;
    for (HWND other = GetWindow(form, GW_CHILD); other != nullptr;
         other = GetWindow(other, GW_HWNDNEXT)) {
        RECT overlap{};
        const RECT otherRect = RectInParent(other);
        // Whether the control itself is shown: the window may not be shown yet.
        const bool shown = (GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE) != 0;
        if (other != caption.control && shown && IntersectRect(&overlap, &wider, &otherRect)) {
            return;
        }
    }
    SetWindowPos(caption.control, nullptr, 0, 0, wider.right - wider.left, wider.bottom - wider.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Steps the font down one pixel at a time until the caption fits, down to three quarters of
// its size.
void Shrink(const Caption& caption, HFONT font) {
    LOGFONTW description{};
    if (GetObjectW(font, sizeof description, &description) == 0) return;
    const LONG size = std::labs(description.lfHeight);
    const LONG smallest = (size * 3 + 3) / 4;
    for (LONG height = size - 1; height >= smallest && height > 0; --height) {
        description.lfHeight = description.lfHeight < 0 ? -height : height;
        HFONT smaller = CreateFontIndirectW(&description);
        if (smaller == nullptr) return;
        SmallerFonts().emplace_back(smaller);
        if (Fits(caption, smaller) || height == smallest) {
            SendMessageW(caption.control, WM_SETFONT, reinterpret_cast<WPARAM>(smaller), TRUE);
            return;
        }
    }
}

}  // namespace

void FitCaptions(HWND form) {
    for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        const bool label = _wcsicmp(kind, L"Static") == 0;
        if (!label && _wcsicmp(kind, L"Button") != 0) continue;
        Caption caption{child, label, std::wstring()};
        caption.text.resize(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1);
        caption.text.resize(static_cast<std::size_t>(
            GetWindowTextW(child, caption.text.data(), static_cast<int>(caption.text.size()))));
        if (caption.text.empty()) continue;
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        if (font == nullptr) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        if (Fits(caption, font)) continue;
        if (label) Widen(caption, font);
        if (!Fits(caption, font)) Shrink(caption, font);
    }
}

}  // namespace tamsel::win32
