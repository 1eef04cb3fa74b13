#pragma once

#include <string>
#include <vector>

#include "frontend/fltk/PixelLayout.h"

namespace tamsel::fltk {

// A widget's name and where it is, in pixels relative to its window's client area.
struct NamedRect {
    std::string name;
    PixelRect rect;
};

// Where the windows and message boxes appear, for tests and for people checking a layout:
// when TAMSEL_UI_GEOMETRY_LOG names a file, each time a window or message box is shown one
// JSON line is appended with its screen rectangle and the rectangles of its widgets.
class GeometryLog {
  public:
    // The log that the environment names; a log without a file writes nothing.
    static GeometryLog FromEnvironment();
    explicit GeometryLog(std::string path) : path_(std::move(path)) {}

    void WindowShown(const std::string& form, const std::string& caption, const PixelRect& window,
                     double pixelsPerInch, const std::vector<NamedRect>& controls) const;
    // buttons: by their captions, with the result each gives; defaultButton is 0-based.
    void MessageBoxShown(const std::string& title, const std::string& text, const std::string& icon,
                         const PixelRect& window, const std::vector<NamedRect>& buttons,
                         const std::vector<std::string>& results, int defaultButton) const;

  private:
    std::string path_;
};

}  // namespace tamsel::fltk
