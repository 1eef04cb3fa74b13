#include "frontend/fltk/ControlWidgets.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace tamsel::fltk {

namespace {

constexpr Fl_Labeltype kLiteralLabel = FL_FREE_LABELTYPE;

void DrawLiteral(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    const char saved = fl_draw_shortcut;
    fl_draw_shortcut = 0;
    fl_font(label->font, label->size);
    fl_color(label->color);
    fl_draw(label->value, x, y, w, h, align, label->image, 0);
    fl_draw_shortcut = saved;
}

void MeasureLiteral(const Fl_Label* label, int& w, int& h) {
    const char saved = fl_draw_shortcut;
    fl_draw_shortcut = 0;
    fl_font(label->font, label->size);
    fl_measure(label->value, w, h, 0);
    fl_draw_shortcut = saved;
}

bool IsEnter(int key) { return key == FL_Enter || key == FL_KP_Enter; }

}  // namespace

Fl_Labeltype LiteralLabelType() {
    static const bool registered = [] {
        Fl::set_labeltype(kLiteralLabel, DrawLiteral, MeasureLiteral);
        return true;
    }();
    (void)registered;
    return kLiteralLabel;
}

CommandButton::CommandButton(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {}

int CommandButton::handle(int event) {
    if (event == FL_KEYBOARD && Fl::focus() == this && IsEnter(Fl::event_key()) &&
        !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META))) {
        simulate_key_action();
        do_callback();
        return 1;
    }
    return Fl_Button::handle(event);
}

DirectoryBrowser::DirectoryBrowser(int x, int y, int w, int h) : Fl_Hold_Browser(x, y, w, h) {
    format_char(0);  // entries are folder names, never formatting codes
}

int DirectoryBrowser::handle(int event) {
    if (event == FL_KEYBOARD && IsEnter(Fl::event_key()) && value() > 0) {
        opening_ = true;
        do_callback();
        opening_ = false;
        return 1;
    }
    return Fl_Hold_Browser::handle(event);
}

bool MenuEntries::Set(const std::vector<std::string>& texts, Fl_Font font, Fl_Fontsize size) {
    if (!items_.empty() && texts == texts_) return false;
    texts_ = texts;
    items_.assign(texts_.size() + 1, Fl_Menu_Item{});
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        Fl_Menu_Item& item = items_[i];
        item.text = texts_[i].c_str();
        item.labeltype_ = LiteralLabelType();
        item.labelfont_ = font;
        item.labelsize_ = size;
        item.labelcolor_ = FL_FOREGROUND_COLOR;
    }
    return true;
}

}  // namespace tamsel::fltk
