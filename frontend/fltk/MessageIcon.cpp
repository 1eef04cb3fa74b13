#include "frontend/fltk/MessageIcon.h"

#include <FL/fl_draw.H>

namespace tamsel::fltk {

// X11 headers define None as a macro, so the icons are named by what they show.
bool ShowsIcon(MsgIcon icon) {
    return icon == MsgIcon::Critical || icon == MsgIcon::Question || icon == MsgIcon::Exclamation ||
           icon == MsgIcon::Information;
}

MessageIcon::MessageIcon(int x, int y, int size, MsgIcon icon)
    : Fl_Widget(x, y, size, size), icon_(icon) {}

void MessageIcon::draw() {
    const int s = w();
    const char* mark = "";
    Fl_Color markColor = FL_WHITE;
    switch (icon_) {
        case MsgIcon::Critical:
            fl_color(fl_rgb_color(0xD0, 0x20, 0x20));
            fl_pie(x(), y(), s, s, 0, 360);
            fl_color(FL_WHITE);
            fl_line_style(FL_SOLID, s / 8 > 0 ? s / 8 : 1);
            fl_line(x() + s / 3, y() + s / 3, x() + 2 * s / 3, y() + 2 * s / 3);
            fl_line(x() + 2 * s / 3, y() + s / 3, x() + s / 3, y() + 2 * s / 3);
            fl_line_style(0);
            return;
        case MsgIcon::Question:
        case MsgIcon::Information:
            fl_color(fl_rgb_color(0x20, 0x50, 0xC0));
            fl_pie(x(), y(), s, s, 0, 360);
            mark = icon_ == MsgIcon::Question ? "?" : "i";
            break;
        case MsgIcon::Exclamation:
            fl_color(fl_rgb_color(0xF0, 0xC0, 0x20));
            fl_polygon(x() + s / 2, y(), x() + s - 1, y() + s - 1, x(), y() + s - 1);
            fl_color(FL_BLACK);
            fl_loop(x() + s / 2, y(), x() + s - 1, y() + s - 1, x(), y() + s - 1);
            mark = "!";
            markColor = FL_BLACK;
            break;
        default:
            return;  // no icon
    }
    fl_color(markColor);
    fl_font(FL_HELVETICA_BOLD, s * 2 / 3);
    fl_draw(mark, x(), y() + s / 8, s, s, FL_ALIGN_CENTER, nullptr, 0);
}

}  // namespace tamsel::fltk
