#pragma once

#include <string>

#include "common/ui/Control.h"

namespace tamsel::fltk {

// A rectangle in screen pixels: left, top, width, height.
struct PixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// How design units (twips, points) become pixels on one screen. A twip is 1/1440 inch, so at
// the usual 96 pixels per inch 15 twips make one pixel.
class PixelScale {
  public:
    static constexpr double kStandardPixelsPerInch = 96.0;

    explicit PixelScale(double pixelsPerInch = kStandardPixelsPerInch);

    // The scale for the resolution a screen reports. Servers without a known physical size
    // report nonsense or a value close to 96; anything within 5 % of 96, and anything that is
    // not a plausible resolution at all, gives the standard scale, so that windows are not
    // blurred by a scale of 0.98.
    static PixelScale ForReportedDpi(double reportedDpi);

    double PixelsPerInch() const { return pixelsPerInch_; }
    int FromTwips(int twips) const;
    PixelRect FromTwips(const TwipsRect& rect) const;
    // A font size in pixels for a size in points (1/72 inch).
    int FontPixels(double points) const;

  private:
    double pixelsPerInch_;
};

// The position that centres a window of the given size in an area of the screen; a window
// larger than the area is placed at the area's top left corner so that its title stays
// reachable.
PixelRect CentredIn(const PixelRect& area, int width, int height);

}  // namespace tamsel::fltk
