#include "frontend/DesktopUserInterface.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <stdexcept>
#include <string>

#include "frontend/fltk/FltkUserInterface.h"
#include "frontend/fltk/GeometryLog.h"
#include "frontend/fltk/PixelLayout.h"

namespace tamsel {

namespace {

// The windows were designed for "MS Sans Serif" and Arial-like widths: with the wider default
// sans-serif face their labels would wrap and button captions would be cut. Fontconfig maps
// Arial to a face of the same widths where it has one (Liberation Sans, Arimo, Nimbus Sans).
void UseArialWidths() {
    Fl::set_font(FL_HELVETICA, " Arial");
    Fl::set_font(FL_HELVETICA_BOLD, "BArial");
}

}  // namespace

std::unique_ptr<UserInterface> OpenDesktopUserInterface() {
    // FLTK ends the process when it cannot open the display; opening it here first turns that
    // into an error the program can report.
    if (fl_display == nullptr) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            const char* name = XDisplayName(nullptr);
            throw std::runtime_error(std::string("no display: cannot open the X display \"") +
                                     (name != nullptr ? name : "") +
                                     "\"; set DISPLAY, or run with TAMSEL_UI=script:FILE");
        }
        fl_open_display(display);
    }
    UseArialWidths();
    float horizontal = 0;
    float vertical = 0;
    Fl::screen_dpi(horizontal, vertical, 0);
    Fl::visual(FL_DOUBLE | FL_INDEX);
    return std::make_unique<fltk::FltkUserInterface>(fltk::PixelScale::ForReportedDpi(horizontal),
                                                     fltk::GeometryLog::FromEnvironment());
}

}  // namespace tamsel
