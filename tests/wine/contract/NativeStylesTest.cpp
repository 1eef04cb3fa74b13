// What the native front end makes of the window model's design values.
#include <gtest/gtest.h>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/win32/NativeStyles.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {
namespace {

TEST(NativeStyles, TwipsAndPointsScaleWithTheScreen) {
    EXPECT_EQ(318, TwipsToPixels(4770, 96));  // the Installer's client width
    EXPECT_EQ(477, TwipsToPixels(4770, 144));
    EXPECT_EQ(-13, FontHeight(9.75, 96));
    EXPECT_EQ(-11, FontHeight(8.25, 96));
}

class NoScreen : public UserInterface {
  public:
    void Run(Application&) override {}
    MsgResult ShowMessageBox(const MessageBoxSpec&) override { return MsgResult::OK; }
};

TEST(NativeStyles, BorderStylesAndBoxesBecomeWindowStyles) {
    NoScreen screen;
    Application app(screen, "test");
    Form form(app, "Installer");
    form.border = BorderStyle::FixedSingle;
    form.minButton = false;
    form.maxButton = false;
    WindowStyles styles = StylesOf(form);
    EXPECT_EQ(0u, styles.style & WS_THICKFRAME);  // not resizable
    EXPECT_NE(0u, styles.style & WS_SYSMENU);     // the close box
    EXPECT_EQ(0u, styles.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    form.border = BorderStyle::Sizable;
    form.minButton = form.maxButton = true;
    styles = StylesOf(form);
    EXPECT_NE(0u, styles.style & WS_THICKFRAME);
    EXPECT_EQ(static_cast<std::uint32_t>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              styles.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    form.border = BorderStyle::FixedDialog;
    form.closeBox = false;
    styles = StylesOf(form);
    EXPECT_NE(0u, styles.extendedStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(0u, styles.style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}

TEST(NativeStyles, MessageBoxesKeepTheirButtonsIconAndDefault) {
    MessageBoxSpec finished;
    finished.buttons = MsgButtons::YesNo;
    EXPECT_EQ(static_cast<std::uint32_t>(MB_YESNO | MB_DEFBUTTON1), MessageBoxFlags(finished));
    MessageBoxSpec missingHost;
    missingHost.icon = MsgIcon::Exclamation;
    EXPECT_EQ(static_cast<std::uint32_t>(MB_OK | MB_ICONEXCLAMATION), MessageBoxFlags(missingHost));
    MessageBoxSpec failure;
    failure.buttons = MsgButtons::YesNoCancel;
    failure.icon = MsgIcon::Critical;
    failure.defaultButton = 3;
    EXPECT_EQ(static_cast<std::uint32_t>(MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON3),
              MessageBoxFlags(failure));
    EXPECT_EQ(MsgResult::Yes, ResultOfButtonId(IDYES));
    EXPECT_EQ(MsgResult::No, ResultOfButtonId(IDNO));
    EXPECT_EQ(MsgResult::Cancel, ResultOfButtonId(IDCANCEL));
}

}  // namespace
}  // namespace tamsel::win32
