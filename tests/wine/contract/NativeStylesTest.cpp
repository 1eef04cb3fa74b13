// What the native front end makes of the window model's design values.
#include <gtest/gtest.h>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/win32/NativeStyles.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {
namespace {

class NoScreen : public UserInterface {
  public:
    void Run(Application&) override {}
    MsgResult ShowMessageBox(const MessageBoxSpec&) override { return MsgResult::OK; }
};

TEST(NativeStyles, SizesBordersAndBoxesBecomeWindowStyles) {
    EXPECT_EQ(318, TwipsToPixels(4770, 96));  // the Installer's client width
    EXPECT_EQ(477, TwipsToPixels(4770, 144));
    EXPECT_EQ(-13, FontHeight(9.75, 96));
    EXPECT_EQ(-11, FontHeight(8.25, 96));

    NoScreen screen;
    Application app(screen, "test");
    Form form(app, "Installer");
    constexpr std::uint32_t kBoxes = WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    struct Row {
        BorderStyle border;
        bool boxes;
        bool closeBox;
        std::uint32_t style;  // of WS_THICKFRAME, WS_SYSMENU and the two boxes
        std::uint32_t extended;
    };
    const Row rows[] = {
        {BorderStyle::FixedSingle, false, true, WS_SYSMENU, 0},
        {BorderStyle::Sizable, true, true, WS_THICKFRAME | WS_SYSMENU | kBoxes, 0},
        {BorderStyle::FixedDialog, true, false, 0, WS_EX_DLGMODALFRAME},
    };
    for (const Row& row : rows) {
        form.border = row.border;
        form.minButton = form.maxButton = row.boxes;
        form.closeBox = row.closeBox;
        const WindowStyles styles = StylesOf(form);
        EXPECT_EQ(styles.style & (WS_THICKFRAME | WS_SYSMENU | kBoxes), row.style);
        EXPECT_EQ(styles.extendedStyle & WS_EX_DLGMODALFRAME, row.extended);
    }
}

TEST(NativeStyles, MessageBoxesKeepTheirButtonsIconAndDefault) {
    MessageBoxSpec finished;
    finished.buttons = MsgButtons::YesNo;
    EXPECT_EQ(static_cast<std::uint32_t>(MB_YESNO | MB_DEFBUTTON1), MessageBoxFlags(finished));
    MessageBoxSpec failure;
    failure.buttons = MsgButtons::YesNoCancel;
    failure.icon = MsgIcon::Critical;
    failure.defaultButton = 3;
    EXPECT_EQ(static_cast<std::uint32_t>(MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON3),
              MessageBoxFlags(failure));
    failure.icon = MsgIcon::Exclamation;
    failure.buttons = MsgButtons::OK;
    failure.defaultButton = 1;
    EXPECT_EQ(static_cast<std::uint32_t>(MB_OK | MB_ICONEXCLAMATION), MessageBoxFlags(failure));
    EXPECT_EQ(MsgResult::Yes, ResultOfButtonId(IDYES));
    EXPECT_EQ(MsgResult::No, ResultOfButtonId(IDNO));
    EXPECT_EQ(MsgResult::Cancel, ResultOfButtonId(IDCANCEL));
}

}  // namespace
}  // namespace tamsel::win32
