// The parts of the desktop front end that need no display: twips and points to pixels, the
// placing of windows, and the texts and keys of message boxes.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

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
    const PixelScale high = PixelScale::ForReportedDpi(192.0);
    EXPECT_EQ(high.FromTwips(4770), 636);
    EXPECT_EQ(high.FontPixels(9.75), 26);
    // Close to 96, so that windows are not resized by a pixel or two, or nonsense from a server
    // that does not know its screen's size: the standard scale.
    for (double reported : {93.0, 0.0, 10000.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_DOUBLE_EQ(PixelScale::ForReportedDpi(reported).PixelsPerInch(), 96.0) << reported;
    }
}

std::vector<int> Corners(const PixelRect& r) { return {r.x, r.y, r.w, r.h}; }

TEST(CentredInTest, CentresInTheAreaAndKeepsAnOversizedWindowReachable) {
    // The screen's work area below a panel, or an owner window elsewhere on the screen.
    const PixelRect area{60, 24, 1280, 1000};
    EXPECT_EQ(Corners(CentredIn(area, 318, 166)), (std::vector{60 + 481, 24 + 417, 318, 166}));
    // A window larger than the area starts at its corner, never above or left of it.
    EXPECT_EQ(Corners(CentredIn(area, 2000, 1200)), (std::vector{60, 24, 2000, 1200}));
}

TEST(MessageDialogTextTest, LineEndsAndEscapeAnswersCancelOrALoneOkAndNothingElse) {
    EXPECT_EQ(DisplayLines("a\rb\r\nc\r"), "a\nb\nc\n");
    EXPECT_EQ(EscapeResult(MsgButtons::OK), MsgResult::OK);
    EXPECT_EQ(EscapeResult(MsgButtons::YesNoCancel), MsgResult::Cancel);
    // Without a Cancel, Esc must not choose an answer for the user ("No" to the finish box
    // of Setup).
    EXPECT_FALSE(EscapeResult(MsgButtons::YesNo).has_value());
}

}  // namespace
}  // namespace tamsel::fltk
