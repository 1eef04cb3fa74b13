// uiauto: drives the windows of a running program from outside, as a person would, for the
// tests that run the programs under Wine. Each argument group is one step; the steps run in
// order and the first failing one ends uiauto with status 1 and a message on stderr.
//
//   wait WINDOW                 until a visible, enabled top-level window has this caption
//   click WINDOW CONTROL        click a button (posted: a modal box it opens does not block)
//   settext WINDOW CONTROL TEXT replace the text of an edit or combo box
//   open WINDOW CONTROL ITEM    double-click an entry of a list box
//   read WINDOW CONTROL         print the text of a control
//   list WINDOW CONTROL         print the entries of a list box, one a line
//   enabled WINDOW              print 1 or 0: whether the window takes input
//   enabledctl WINDOW CONTROL   print 1 or 0 for a control
//   answer TITLE BUTTON         wait for a message box with this title, print its text, press
//                               BUTTON
//   press WINDOW KEY            press enter or escape on the control that has the focus
//   hold FILE SECONDS           keep FILE open without sharing for SECONDS
//
// CONTROL is "CLASS:N" for the N-th child of that window class ("Edit:1"), or else the control's
// caption, compared exactly ("&Install", "&Yes"). Waits give up after 20 s.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
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
    DWORD_PTR length = 0;  // stays 0 when the window does not answer
    SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::string text(length + 1, '\0');
    SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Calls `until` every 50 ms until it gives a window; fails with `what` after the time limit.
HWND Poll(const std::function<HWND()>& until, const std::string& what) {
    for (const DWORD start = GetTickCount();; Sleep(50)) {
        if (HWND found = until()) return found;
        if (GetTickCount() - start > kTimeoutMs) Fail(what);
    }
}

// The first window that match accepts: a top-level window, or a child of parent when given.
// Polling calls it again when a window goes away while it looks.
HWND FindWhere(HWND parent, const std::function<bool(HWND)>& match) {
    HWND window = GetWindow(parent == nullptr ? GetDesktopWindow() : parent, GW_CHILD);
    while (window != nullptr && !match(window)) window = GetWindow(window, GW_HWNDNEXT);
    return window;
}

// A visible top-level window with this caption (of a message box only, when dialogOnly),
// enabled too when needEnabled.
HWND WaitForWindow(const std::string& caption, bool dialogOnly = false, bool needEnabled = true) {
    return Poll(
        [&] {
            return FindWhere(nullptr, [&](HWND window) {
                return IsWindowVisible(window) && TextOf(window) == caption &&
                       (!dialogOnly || ClassOf(window) == "#32770") &&
                       (!needEnabled || IsWindowEnabled(window));
            });
        },
        "no window \"" + caption + "\"");
}

HWND FindControl(HWND window, const std::string& target) {
    const std::size_t colon = target.rfind(':');
    int seen = 0;
    HWND found = FindWhere(window, [&](HWND child) {
        if (colon == std::string::npos) return TextOf(child) == target;
        return _stricmp(ClassOf(child).c_str(), target.substr(0, colon).c_str()) == 0 &&
               ++seen == std::atoi(target.c_str() + colon + 1);
    });
    if (found == nullptr) Fail("no control \"" + target + "\" in \"" + TextOf(window) + "\"");
    return found;
}

void Notify(HWND control, WORD code) {
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

void Click(HWND button) {
    if (!IsWindowEnabled(button)) Fail("\"" + TextOf(button) + "\" is disabled");
    Notify(button, BN_CLICKED);
}

// Prints the entries of a list box, one a line. Asked in UTF-16: Wine passes a list's text to
// another process correctly only in that form.
void PrintEntries(HWND list) {
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (length < 0) Fail("cannot read entry " + std::to_string(i) + " of the list");
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        char text[2 * MAX_PATH] = {};
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
        std::puts(text);
    }
}

void Answer(const std::string& title, const std::string& button) {
    HWND box = WaitForWindow(title, true, false);
    std::puts(TextOf(GetDlgItem(box, 0xFFFF)).c_str());  // a message box's text
    Click(FindControl(box, button));
    Poll([&] { return IsWindow(box) ? nullptr : box; }, "message box \"" + title + "\" stays open");
}

// Posts the key's down and up messages to the control that has the focus, as the keyboard
// would: the program's message loop sees them as typed.
void Press(HWND window, const std::string& key) {
    if (key != "enter" && key != "escape") Fail("unknown key \"" + key + "\"");
    const UINT code = key == "enter" ? VK_RETURN : VK_ESCAPE;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    const bool focus = GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) &&
                       thread.hwndFocus != nullptr;
    HWND target = focus ? thread.hwndFocus : window;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, code, scan | 1);
    PostMessageA(target, WM_KEYUP, code, scan | 1 | (1L << 30) | (1L << 31));
}

void Hold(const std::string& path, int seconds) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot open " + path);
    std::printf("holding %s\n", path.c_str());
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    CloseHandle(file);
}

// Double-clicks an entry of a list box (found without regard to case).
void Open(HWND list, const std::string& item) {
    const LRESULT entry =
        SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(item.c_str()));
    if (entry == LB_ERR) Fail("no entry \"" + item + "\" in the list");
    SendMessageA(list, LB_SETCURSEL, entry, 0);
    Notify(list, LBN_DBLCLK);
}

using Args = std::vector<std::string>;
struct Step {
    std::size_t arguments;
    std::function<void(const Args&)> run;
};

// The control a[1] of the window a[0]: one to act on, in a window that takes input, or one to
// look at, in a window that may be disabled.
HWND Active(const Args& a) { return FindControl(WaitForWindow(a[0]), a[1]); }
HWND Shown(const Args& a) { return FindControl(WaitForWindow(a[0], false, false), a[1]); }

void PrintEnabled(HWND window) { std::puts(IsWindowEnabled(window) ? "1" : "0"); }

const std::map<std::string, Step> kSteps = {
    {"wait", {1, [](const Args& a) { WaitForWindow(a[0]); }}},
    {"click", {2, [](const Args& a) { Click(Active(a)); }}},
    {"settext",
     {3,
      [](const Args& a) {
          SendMessageA(Active(a), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()));
      }}},
    {"open", {3, [](const Args& a) { Open(Active(a), a[2]); }}},
    {"read", {2, [](const Args& a) { std::puts(TextOf(Shown(a)).c_str()); }}},
    {"list", {2, [](const Args& a) { PrintEntries(Shown(a)); }}},
    {"enabled", {1, [](const Args& a) { PrintEnabled(WaitForWindow(a[0], false, false)); }}},
    {"enabledctl", {2, [](const Args& a) { PrintEnabled(Shown(a)); }}},
    {"answer", {2, [](const Args& a) { Answer(a[0], a[1]); }}},
    {"press", {2, [](const Args& a) { Press(WaitForWindow(a[0]), a[1]); }}},
    {"hold", {2, [](const Args& a) { Hold(a[0], std::atoi(a[1].c_str())); }}},
};

}  // namespace

int main(int argc, char** argv) {
    const Args args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size();) {
        const auto step = kSteps.find(args[i]);
        if (step == kSteps.end()) Fail("unknown step \"" + args[i] + "\"");
        const std::size_t count = step->second.arguments;
        if (i + count >= args.size()) {
            Fail("\"" + args[i] + "\" needs " + std::to_string(count) + " arguments");
        }
        step->second.run(Args(args.begin() + i + 1, args.begin() + i + 1 + count));
        std::fflush(stdout);
        i += count + 1;
    }
    return 0;
}
