#include "frontend/fltk/PixelLayout.h"

#include <algorithm>
#include <cmath>

namespace tamsel::fltk {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kSnapTolerance = 0.05;
constexpr double kLowestPlausibleDpi = 48.0;
constexpr double kHighestPlausibleDpi = 600.0;

int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

PixelScale::PixelScale(double pixelsPerInch) : pixelsPerInch_(pixelsPerInch) {}

PixelScale PixelScale::ForReportedDpi(double reportedDpi) {
    if (!std::isfinite(reportedDpi) || reportedDpi < kLowestPlausibleDpi ||
        reportedDpi > kHighestPlausibleDpi) {
        return PixelScale();
    }
    if (std::abs(reportedDpi / kStandardPixelsPerInch - 1.0) <= kSnapTolerance) {
        return PixelScale();
    }
    return PixelScale(reportedDpi);
}

int PixelScale::FromTwips(int twips) const { return Round(twips * pixelsPerInch_ / kTwipsPerInch); }

PixelRect PixelScale::FromTwips(const TwipsRect& rect) const {
    // Edges are converted, not sizes, so that controls that touch in twips touch in pixels.
    const int left = FromTwips(rect.left);
    const int top = FromTwips(rect.top);
    return {left, top, FromTwips(rect.left + rect.width) - left,
            FromTwips(rect.top + rect.height) - top};
}

int PixelScale::FontPixels(double points) const {
    return std::max(1, Round(points * pixelsPerInch_ / kPointsPerInch));
}

PixelRect CentredIn(const PixelRect& area, int width, int height) {
    const int x = area.x + std::max(0, (area.w - width) / 2);
    const int y = area.y + std::max(0, (area.h - height) / 2);
    return {x, y, width, height};
}

}  // namespace tamsel::fltk
