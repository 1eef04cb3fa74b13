// What the native front end makes of the window model's design values.
#include <gtest/gtest.h>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/win32/NativeStyles.h"
#include "platform/win32/WindowsHeaders.h"
#include "support/RecordingMessageBoxes.h"

namespace tamsel::win32 {
namespace {

TEST(NativeStyles, TwipsAndPointsScaleWithTheScreen) {
    EXPECT_EQ(318, TwipsToPixels(4770, 96));  // the Installer's client width
    EXPECT_EQ(477, TwipsToPixels(4770, 144));
    EXPECT_EQ(-13, FontHeight(9.75, 96));
    EXPECT_EQ(-11, FontHeight(8.25, 96));
}

TEST(NativeStyles, BorderStylesAndBoxesBecomeWindowStyles) {
    test::SilentUserInterface screen;
    Application app(screen, "test");
    Form form(app, "Installer");
    // The resizing frame, the close box and the minimise and maximise boxes.
    constexpr std::uint32_t kFrame = WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const auto frame = [&form] { return StylesOf(form).style & kFrame; };
    form.border = BorderStyle::FixedSingle;
    form.minButton = form.maxButton = false;
    EXPECT_EQ(static_cast<std::uint32_t>(WS_SYSMENU), frame());
    form.border = BorderStyle::Sizable;
    form.minButton = form.maxButton = true;
    EXPECT_EQ(kFrame, frame());
    // Without its close box a window has no minimise and maximise boxes either.
    form.border = BorderStyle::FixedDialog;
    form.closeBox = false;
    EXPECT_NE(0u, StylesOf(form).extendedStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(0u, frame());
}

TEST(NativeStyles, MessageBoxesKeepTheirButtonsIconAndDefault) {
    EXPECT_EQ(static_cast<std::uint32_t>(MB_YESNO | MB_DEFBUTTON1),
              MessageBoxFlags({"", "", MsgButtons::YesNo}));
    EXPECT_EQ(static_cast<std::uint32_t>(MB_OK | MB_ICONEXCLAMATION),
              MessageBoxFlags({"", "", MsgButtons::OK, MsgIcon::Exclamation}));
    EXPECT_EQ(static_cast<std::uint32_t>(MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON3),
              MessageBoxFlags({"", "", MsgButtons::YesNoCancel, MsgIcon::Critical, 3}));
    EXPECT_EQ(MsgResult::Yes, ResultOfButtonId(IDYES));
    EXPECT_EQ(MsgResult::No, ResultOfButtonId(IDNO));
    EXPECT_EQ(MsgResult::Cancel, ResultOfButtonId(IDCANCEL));
}

}  // namespace
}  // namespace tamsel::win32
