// uiauto: drives the windows of a running program from outside, as a person would, for the
// tests that run the programs under Wine. Each argument group is one step; the steps run in
// order and the first failing one ends uiauto with status 1 and a message on stderr.
//
//   wait WINDOW                      until a visible, enabled top-level window has this caption
//   gone WINDOW                      until no window has this caption
//   click WINDOW CONTROL             click a button (posted, so a modal box it opens does not
//   block) settext WINDOW CONTROL TEXT      replace the text of an edit or combo box pick WINDOW
//   CONTROL ITEM         choose an entry of a combo box's list open WINDOW CONTROL ITEM
//   double-click an entry of a list box read WINDOW CONTROL              print the text of a
//   control list WINDOW CONTROL              print the entries of a list or combo box, one a line
//   enabled WINDOW                   print 1 or 0: whether the window takes input
//   enabledctl WINDOW CONTROL        print 1 or 0 for a control
//   answer TITLE BUTTON TEXT         wait for a message box with this title, print its text,
//                                    check that it contains TEXT ("" for any; \n for CR LF),
//                                    press BUTTON
//   close WINDOW                     the close box (WM_CLOSE)
//   press WINDOW KEY                 a key (enter, escape, tab, space) pressed on the control
//                                    that has the focus in that window's thread
//   dump WINDOW                      print each control: id, class, text
//   hold FILE SECONDS                keep FILE open without sharing for SECONDS
//
// CONTROL is the control's caption ("&Install"), "#ID" for its control id, or "CLASS:N" for the
// N-th child of that window class ("Edit:1"). Captions are compared exactly; button texts of
// message boxes without their "&". Waits give up after 20 s.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 20000;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "uiauto: %s\n", message.c_str());
    std::exit(1);
}

// The text as the window itself reports it: GetWindowText would read only the caption stored
// for a window of another process, not the text of an edit or combo box.
std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &got);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WithoutAmpersands(const std::string& text) {
    std::string plain;
    for (char c : text) {
        if (c != '&') plain += c;
    }
    return plain;
}

struct TopLevelSearch {
    std::string caption;
    bool dialogOnly;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    if (!IsWindowVisible(window) || TextOf(window) != search->caption) return TRUE;
    if (search->dialogOnly && ClassOf(window) != "#32770") return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindWindowByCaption(const std::string& caption, bool dialogOnly = false) {
    TopLevelSearch search{caption, dialogOnly, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const std::string& caption, bool dialogOnly = false, bool needEnabled = true) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowByCaption(caption, dialogOnly);
        if (window != nullptr && (!needEnabled || IsWindowEnabled(window))) return window;
        if (GetTickCount() - start > kTimeoutMs) Fail("no window \"" + caption + "\"");
        Sleep(50);
    }
}

struct ChildSearch {
    std::string target;
    HWND found;
    int seen;
};

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    std::printf("#%d %s \"%s\"%s\n", GetDlgCtrlID(child), ClassOf(child).c_str(),
                TextOf(child).c_str(), IsWindowEnabled(child) ? "" : " (disabled)");
    return TRUE;
}

BOOL CALLBACK FindChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    const std::string& target = search->target;
    if (target.size() > 1 && target[0] == '#') {
        if (GetDlgCtrlID(child) == std::atoi(target.c_str() + 1)) search->found = child;
    } else if (const std::size_t colon = target.rfind(':');
               colon != std::string::npos && colon + 1 < target.size() &&
               std::isdigit(static_cast<unsigned char>(target[colon + 1]))) {
        if (_stricmp(ClassOf(child).c_str(), target.substr(0, colon).c_str()) == 0 &&
            ++search->seen == std::atoi(target.c_str() + colon + 1)) {
            search->found = child;
        }
    } else if (TextOf(child) == target || WithoutAmpersands(TextOf(child)) == target) {
        search->found = child;
    }
    return search->found == nullptr;
}

HWND FindControl(HWND window, const std::string& target) {
    ChildSearch search{target, nullptr, 0};
    EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        Fail("no control \"" + target + "\" in \"" + TextOf(window) + "\"");
    return search.found;
}

void Notify(HWND control, WORD code) {
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

void Click(HWND button) {
    if (!IsWindowEnabled(button)) Fail("\"" + TextOf(button) + "\" is disabled");
    Notify(button, BN_CLICKED);
}

// The entries of a list or combo box. Asked in UTF-16: Wine passes a list's text to another
// process correctly only in that form.
std::vector<std::string> Entries(HWND control) {
    const bool combo = _stricmp(ClassOf(control).c_str(), "ComboBox") == 0;
    const LRESULT count = SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    std::vector<std::string> entries;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        if (length < 0) Fail("cannot read entry " + std::to_string(i) + " of the list");
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                     reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(wcslen(wide.c_str()));
        std::string text(wide.size() * 2 + 1, '\0');
        const int got =
            WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(),
                                static_cast<int>(text.size()), nullptr, nullptr);
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        entries.push_back(text);
    }
    return entries;
}

int IndexOf(HWND control, const std::string& item) {
    const auto entries = Entries(control);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == item) return static_cast<int>(i);
    }
    Fail("no entry \"" + item + "\" in the list");
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Answer(const std::string& title, const std::string& button, const std::string& expected) {
    HWND box = WaitForWindow(title, true, false);
    HWND text = GetDlgItem(box, 0xFFFF);  // the text of a message box
    const std::string shown = text != nullptr ? TextOf(text) : std::string();
    std::printf("%s\n", shown.c_str());
    std::fflush(stdout);
    if (!expected.empty() && shown.find(Unescape(expected)) == std::string::npos) {
        Fail("message box \"" + title + "\" says \"" + shown + "\", not \"" + expected + "\"");
    }
    Click(FindControl(box, button));
    const DWORD start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start > kTimeoutMs) Fail("message box \"" + title + "\" stays open");
        Sleep(50);
    }
}

void Hold(const std::string& path, int seconds) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot open " + path);
    std::printf("holding %s\n", path.c_str());
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    CloseHandle(file);
}

// Posts the key's down and up messages to the control that has the focus, as the keyboard
// would: the program's message loop sees them as typed.
void Press(HWND window, const std::string& key) {
    UINT code = 0;
    if (key == "enter") code = VK_RETURN;
    if (key == "escape") code = VK_ESCAPE;
    if (key == "tab") code = VK_TAB;
    if (key == "space") code = VK_SPACE;
    if (code == 0) Fail("unknown key \"" + key + "\"");
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) &&
        thread.hwndFocus != nullptr) {
        target = thread.hwndFocus;
    }
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, code, scan | 1);
    PostMessageA(target, WM_KEYUP, code, scan | 1 | (1L << 30) | (1L << 31));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto need = [&](std::size_t i, std::size_t count) {
        if (i + count >= args.size() + 1)
            Fail("\"" + args[i] + "\" needs " + std::to_string(count) + " arguments");
    };
    for (std::size_t i = 0; i < args.size();) {
        const std::string& step = args[i];
        if (step == "wait") {
            need(i, 1);
            WaitForWindow(args[i + 1]);
            i += 2;
        } else if (step == "gone") {
            need(i, 1);
            const DWORD start = GetTickCount();
            while (FindWindowByCaption(args[i + 1]) != nullptr) {
                if (GetTickCount() - start > kTimeoutMs) Fail("\"" + args[i + 1] + "\" stays");
                Sleep(50);
            }
            i += 2;
        } else if (step == "click") {
            need(i, 2);
            Click(FindControl(WaitForWindow(args[i + 1]), args[i + 2]));
            i += 3;
        } else if (step == "settext") {
            need(i, 3);
            HWND control = FindControl(WaitForWindow(args[i + 1]), args[i + 2]);
            SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[i + 3].c_str()));
            i += 4;
        } else if (step == "pick") {
            need(i, 3);
            HWND control = FindControl(WaitForWindow(args[i + 1]), args[i + 2]);
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(IndexOf(control, args[i + 3])),
                         0);
            Notify(control, CBN_SELCHANGE);
            i += 4;
        } else if (step == "open") {
            need(i, 3);
            HWND control = FindControl(WaitForWindow(args[i + 1]), args[i + 2]);
            SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(IndexOf(control, args[i + 3])),
                         0);
            Notify(control, LBN_DBLCLK);
            i += 4;
        } else if (step == "read") {
            need(i, 2);
            std::printf(
                "%s\n",
                TextOf(FindControl(WaitForWindow(args[i + 1], false, false), args[i + 2])).c_str());
            i += 3;
        } else if (step == "list") {
            need(i, 2);
            for (const auto& entry :
                 Entries(FindControl(WaitForWindow(args[i + 1], false, false), args[i + 2]))) {
                std::printf("%s\n", entry.c_str());
            }
            i += 3;
        } else if (step == "enabled") {
            need(i, 1);
            std::printf("%d\n", IsWindowEnabled(WaitForWindow(args[i + 1], false, false)) ? 1 : 0);
            i += 2;
        } else if (step == "enabledctl") {
            need(i, 2);
            HWND window = WaitForWindow(args[i + 1], false, false);
            std::printf("%d\n", IsWindowEnabled(FindControl(window, args[i + 2])) ? 1 : 0);
            i += 3;
        } else if (step == "answer") {
            need(i, 3);
            Answer(args[i + 1], args[i + 2], args[i + 3]);
            i += 4;
        } else if (step == "close") {
            need(i, 1);
            PostMessageA(WaitForWindow(args[i + 1], false, false), WM_CLOSE, 0, 0);
            i += 2;
        } else if (step == "press") {
            need(i, 2);
            Press(WaitForWindow(args[i + 1]), args[i + 2]);
            i += 3;
        } else if (step == "dump") {
            need(i, 1);
            EnumChildWindows(WaitForWindow(args[i + 1], false, false), PrintChild, 0);
            i += 2;
        } else if (step == "hold") {
            need(i, 2);
            Hold(args[i + 1], std::atoi(args[i + 2].c_str()));
            i += 3;
        } else {
            Fail("unknown step \"" + step + "\"");
        }
        std::fflush(stdout);
    }
    return 0;
}
