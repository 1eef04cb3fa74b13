// The parts of the desktop front end that need no display: twips and points to pixels, the
// placing of windows, and the texts and keys of message boxes.
#include <gtest/gtest.h>

#include <limits>

#include "frontend/fltk/MessageDialog.h"
#include "frontend/fltk/PixelLayout.h"

namespace tamsel::fltk {
namespace {

TEST(PixelScaleTest, RoundsEdgesAndUsesOnlyAPlausibleReportedResolution) {
    const PixelScale scale;
    // Edges are rounded, not sizes: two controls that touch in twips touch in pixels.
    const PixelRect left = scale.FromTwips(TwipsRect{0, 0, 1007, 300});
    const PixelRect right = scale.FromTwips(TwipsRect{1007, 0, 1007, 300});
    EXPECT_EQ(left.x + left.w, right.x);
    EXPECT_EQ(scale.FontPixels(8.25), 11);
    // Close to 96: the standard scale, so that windows are not resized by a pixel or two.
    EXPECT_DOUBLE_EQ(PixelScale::ForReportedDpi(93.0).PixelsPerInch(), 96.0);
    const PixelScale high = PixelScale::ForReportedDpi(192.0);
    EXPECT_EQ(high.FromTwips(4770), 636);
    EXPECT_EQ(high.FontPixels(9.75), 26);
    // Nonsense from a server that does not know its screen's size.
    for (double nonsense : {0.0, -5.0, 10000.0, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()}) {
        EXPECT_DOUBLE_EQ(PixelScale::ForReportedDpi(nonsense).PixelsPerInch(), 96.0) << nonsense;
    }
}

TEST(CentredInTest, CentresInTheAreaAndKeepsAnOversizedWindowReachable) {
    const PixelRect area{0, 24, 1280, 1000};
    const PixelRect at = CentredIn(area, 318, 166);
    EXPECT_EQ(at.x, 481);
    EXPECT_EQ(at.y, 24 + 417);
    EXPECT_EQ(at.w, 318);
    // A window larger than the area starts at its corner, never above or left of it.
    const PixelRect big = CentredIn(area, 2000, 1200);
    EXPECT_EQ(big.x, 0);
    EXPECT_EQ(big.y, 24);
    // Centred over an owner window elsewhere on the screen.
    const PixelRect over = CentredIn(PixelRect{100, 200, 300, 100}, 200, 80);
    EXPECT_EQ(over.x, 150);
    EXPECT_EQ(over.y, 210);
}

TEST(MessageDialogTextTest, LineEndsAndEscapeAnswersCancelOrALoneOkAndNothingElse) {
    EXPECT_EQ(DisplayLines("a\rb\r\nc\r"), "a\nb\nc\n");
    EXPECT_EQ(EscapeResult(MsgButtons::OK), MsgResult::OK);
    EXPECT_EQ(EscapeResult(MsgButtons::OKCancel), MsgResult::Cancel);
    EXPECT_EQ(EscapeResult(MsgButtons::YesNoCancel), MsgResult::Cancel);
    // Without a Cancel, Esc must not choose an answer for the user ("No" to the finish box
    // of Setup, "Abort" to a failure).
    EXPECT_FALSE(EscapeResult(MsgButtons::YesNo).has_value());
    EXPECT_FALSE(EscapeResult(MsgButtons::AbortRetryIgnore).has_value());
}

}  // namespace
}  // namespace tamsel::fltk
