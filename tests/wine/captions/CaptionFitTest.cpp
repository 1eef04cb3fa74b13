// Every caption of a label or a button fits its control in the three forms as the native front
// end creates them, measured in the control's font at the session's DPI (TAMSEL_EXPECT_DPI names
// it, so that a setting that did not take effect is noticed). Windows sizes message boxes itself.
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
#include "uninstall/Remove.h"

namespace tamsel::win32 {
namespace {

// "Label1 needs 120x26, has 117x17" for a caption that does not fit; "" when it fits. A label
// wraps its text at word boundaries within its width, as the static control draws it; a button
// draws one line inside its raised edges.
std::string Clipping(HWND control) {
    wchar_t kind[64] = {};
    GetClassNameW(control, kind, 64);
    const bool label = _wcsicmp(kind, L"Static") == 0;
    std::wstring text(GetWindowTextLengthW(control) + 1, L'\0');
    text.resize(GetWindowTextW(control, text.data(), static_cast<int>(text.size())));
    if ((!label && _wcsicmp(kind, L"Button") != 0) || text.empty()) return "";
    RECT client{};
    GetClientRect(control, &client);
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (label ? DT_WORDBREAK : DT_SINGLELINE);
    if (label && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
    if (!label) InflateRect(&client, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    RECT needed{0, 0, width, 0};
    HDC dc = GetDC(control);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    DrawTextW(dc, text.c_str(), -1, &needed, format);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    if (needed.right <= width && needed.bottom <= height) return "";
    return WideToUtf8(text) + " needs " + std::to_string(needed.right) + "x" +
           std::to_string(needed.bottom) + ", has " + std::to_string(width) + "x" +
           std::to_string(height);
}

TEST(CaptionFit, TheFormsShowEveryCaptionWhole) {
    NativeUserInterface ui;
    if (const char* expected = std::getenv("TAMSEL_EXPECT_DPI")) {
        ASSERT_EQ(std::atoi(expected), ui.DotsPerInch());
    }
    Application app(ui, "caption test");
    const std::unique_ptr<Platform> platform = OpenPlatform();
    Installer installer(app, *platform);
    Remove remove(app, *platform);
    std::vector<std::unique_ptr<FormWindow>> windows;
    const auto clippedIn = [&](Form& form, HWND owner) {
        windows.push_back(std::make_unique<FormWindow>(ui, app, form, owner));
        // As the front end brings a window in line with its form.
        windows.back()->Sync();
        FitCaptions(windows.back()->Handle());
        std::vector<std::string> clipped;
        for (HWND child = GetWindow(windows.back()->Handle(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (const std::string found = Clipping(child); !found.empty()) clipped.push_back(found);
        }
        return clipped;
    };
    const std::vector<std::string> none;
    EXPECT_EQ(clippedIn(installer, nullptr), none) << "Installer";
    EXPECT_EQ(clippedIn(installer.DirectoryChooser(), windows.front()->Handle()), none)
        << "ChooseDirFRM";
    EXPECT_EQ(clippedIn(remove, nullptr), none) << "Remove";
}

}  // namespace
}  // namespace tamsel::win32
