// Every caption of a label or a button fits its control: the three forms as the native front end
// creates them, and the programs' message boxes as Windows lays them out. The text is measured
// with the font the control draws it in, against the control's client rectangle, at the DPI
// the session runs at (TAMSEL_EXPECT_DPI names it, so that a setting that did not take effect
// is noticed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/ui/Application.h"
#include "frontend/win32/CaptionFit.h"
#include "frontend/win32/FormWindow.h"
#include "frontend/win32/NativeUserInterface.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsHeaders.h"
#include "setup/Installer.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

namespace tamsel::win32 {
namespace {

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// "Label1 needs 120x26, has 117x17" for a caption that does not fit; "" when it fits. A label
// wraps its text at word boundaries within its width, as the static control draws it; a button
// draws one line inside its raised edges.
std::string Clipping(HWND control) {
    const bool label = _wcsicmp(ClassOf(control).c_str(), L"Static") == 0;
    const std::wstring text = TextOf(control);
    if ((!label && _wcsicmp(ClassOf(control).c_str(), L"Button") != 0) || text.empty()) return "";
    RECT client{};
    GetClientRect(control, &client);
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (label ? DT_WORDBREAK : DT_SINGLELINE);
    if (label && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
    if (!label) InflateRect(&client, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    RECT needed{0, 0, client.right - client.left, 0};
    HDC dc = GetDC(control);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    DrawTextW(dc, text.c_str(), -1, &needed, format);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (needed.right <= width && needed.bottom <= height) return "";
    return WideToUtf8(text) + " needs " + std::to_string(needed.right) + "x" +
           std::to_string(needed.bottom) + ", has " + std::to_string(width) + "x" +
           std::to_string(height);
}

BOOL CALLBACK CollectClipping(HWND child, LPARAM data) {
    const std::string found = Clipping(child);
    if (!found.empty()) reinterpret_cast<std::vector<std::string>*>(data)->push_back(found);
    return TRUE;
}

std::vector<std::string> ClippedCaptions(HWND window) {
    std::vector<std::string> clipped;
    EnumChildWindows(window, CollectClipping, reinterpret_cast<LPARAM>(&clipped));
    return clipped;
}

class CaptionFit : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* expected = std::getenv("TAMSEL_EXPECT_DPI")) {
            ASSERT_EQ(std::atoi(expected), ui_.DotsPerInch());
        }
    }

    std::vector<std::string> ClippedIn(Form& form, HWND owner = nullptr) {
        windows_.push_back(std::make_unique<FormWindow>(ui_, app_, form, owner));
        // As the front end brings a window in line with its form.
        windows_.back()->Sync();
        FitCaptions(windows_.back()->Handle());
        return ClippedCaptions(windows_.back()->Handle());
    }

    NativeUserInterface ui_;
    Application app_{ui_, "caption test"};
    std::unique_ptr<Platform> platform_ = OpenPlatform();
    std::vector<std::unique_ptr<FormWindow>> windows_;
};

TEST_F(CaptionFit, TheFormsShowEveryCaptionWhole) {
    Installer installer(app_, *platform_);
    Remove remove(app_, *platform_);
    EXPECT_EQ(std::vector<std::string>(), ClippedIn(installer)) << "Installer";
    EXPECT_EQ(std::vector<std::string>(),
              ClippedIn(installer.DirectoryChooser(), windows_.front()->Handle()))
        << "ChooseDirFRM";
    EXPECT_EQ(std::vector<std::string>(), ClippedIn(remove)) << "Remove";
    windows_.clear();
}

// A message box is measured as it becomes active, with its layout done, and then answered
// with its first button.
std::vector<std::string> boxClipping;
int boxesSeen = 0;

LRESULT CALLBACK MeasureActivatedBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (ClassOf(box) == L"#32770") {
            ++boxesSeen;
            for (const std::string& found : ClippedCaptions(box)) {
                boxClipping.push_back(WideToUtf8(TextOf(box)) + ": " + found);
            }
            HWND button = FindWindowExW(box, nullptr, L"Button", nullptr);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CaptionFit, TheMessageBoxesShowEveryCaptionWhole) {
    // The widest texts, with and without an icon and a second button.
    const std::vector<MessageBoxSpec> boxes = {
        {"Tamsel Orry Setup Completed!",
         "Tamsel Orry Setup has finished.\r\nDo you want to run Tamsel Orry now?",
         MsgButtons::YesNo, MsgIcon::None, 1},
        {"Tamsel Orry Install",
         "ERROR: Windows Scripting Host not found.\r\nWindows Scripting Host is required for "
         "this application.\r\nGo to http://www.tamselorry.example/TamselOrry.asp for more "
         "information.",
         MsgButtons::OK, MsgIcon::Exclamation, 1},
        {removal::kCompletionTitle, removal::kCompletionText, MsgButtons::OK, MsgIcon::None, 1},
    };
    HHOOK hook = SetWindowsHookExW(WH_CBT, MeasureActivatedBox, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    for (const MessageBoxSpec& box : boxes) ui_.ShowMessageBox(box);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(static_cast<int>(boxes.size()), boxesSeen);
    EXPECT_EQ(std::vector<std::string>(), boxClipping);
}

}  // namespace
}  // namespace tamsel::win32
