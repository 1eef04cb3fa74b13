#include "frontend/fltk/ControlViews.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>

#include <cstring>
#include <string>
#include <vector>

#include "common/ui/ListControls.h"
#include "frontend/fltk/ControlWidgets.h"

namespace tamsel::fltk {

namespace {

Fl_Font FontOf(const FontSpec& design) {
    Fl_Font font = FL_HELVETICA;  // the sans-serif face stands in for "MS Sans Serif"
    if (design.face.find("Courier") != std::string::npos) font = FL_COURIER;
    if (design.face.find("Times") != std::string::npos) font = FL_TIMES;
    return design.bold ? font + FL_BOLD : font;
}

Fl_Color ColorOf(std::int32_t rgb) {
    return fl_rgb_color(static_cast<uchar>((rgb >> 16) & 0xFF),
                        static_cast<uchar>((rgb >> 8) & 0xFF), static_cast<uchar>(rgb & 0xFF));
}

// Sets an input's text when it differs, so that typing is not disturbed by a refresh.
void SetInputText(Fl_Input_& input, const std::string& text) {
    const char* shown = input.value();
    if (shown == nullptr || text != shown) input.value(text.c_str());
}

// Copies a label's text when it differs.
void SetLabelText(Fl_Widget& widget, const std::string& text) {
    const char* shown = widget.label();
    if (shown != nullptr && text == shown) return;
    widget.copy_label(text.c_str());
    widget.redraw_label();
}

class LabelView : public ControlView {
  public:
    LabelView(Control& control, const PixelRect& r, int fontPixels, FormInput& input)
        : ControlView(control, input), box_(new Fl_Box(r.x, r.y, r.w, r.h)) {
        box_->box(FL_NO_BOX);
        box_->labeltype(LiteralLabelType());
        box_->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
        box_->labelfont(FontOf(control.font));
        box_->labelsize(fontPixels);
    }
    Fl_Widget& Widget() const override { return *box_; }
    void Refresh() override {
        ControlView::Refresh();
        SetLabelText(*box_, control_.caption);
    }

  private:
    Fl_Box* box_;
};

class ButtonView : public ControlView {
  public:
    ButtonView(Control& control, const PixelRect& r, int fontPixels, FormInput& input)
        : ControlView(control, input), button_(new CommandButton(r.x, r.y, r.w, r.h)) {
        button_->labelfont(FontOf(control.font));
        button_->labelsize(fontPixels);
        button_->callback(&ButtonView::Clicked, this);
    }
    Fl_Widget& Widget() const override { return *button_; }
    void Refresh() override {
        ControlView::Refresh();
        SetLabelText(*button_, control_.caption);
    }

  private:
    static void Clicked(Fl_Widget*, void* self) {
        auto* view = static_cast<ButtonView*>(self);
        view->input_.Click(view->control_);
    }
    CommandButton* button_;
};

class ComboView : public ControlView {
  public:
    ComboView(Control& control, const PixelRect& r, int fontPixels, FormInput& input)
        : ControlView(control, input), choice_(new Fl_Input_Choice(r.x, r.y, r.w, r.h)) {
        font_ = FontOf(control.font);
        fontPixels_ = fontPixels;
        choice_->textfont(font_);
        choice_->textsize(fontPixels);
        choice_->input()->when(FL_WHEN_CHANGED);
        choice_->input()->callback(&ComboView::Typed, this);
        choice_->menubutton()->callback(&ComboView::Picked, this);
    }
    Fl_Widget& Widget() const override { return *choice_; }
    void Refresh() override {
        ControlView::Refresh();
        if (entries_.Set(control_.list, font_, fontPixels_)) {
            choice_->menubutton()->menu(entries_.Items());
        }
        SetInputText(*choice_->input(), control_.caption);
    }

  private:
    static void Typed(Fl_Widget*, void* self) {
        auto* view = static_cast<ComboView*>(self);
        view->input_.SetText(view->control_, view->choice_->input()->value());
    }
    static void Picked(Fl_Widget*, void* self) {
        auto* view = static_cast<ComboView*>(self);
        const int index = view->choice_->menubutton()->value();
        const auto& texts = view->entries_.Texts();
        if (index < 0 || index >= static_cast<int>(texts.size())) return;
        const std::string text = texts[static_cast<std::size_t>(index)];
        view->choice_->input()->value(text.c_str());
        view->input_.SetText(view->control_, text);
    }
    Fl_Input_Choice* choice_;
    MenuEntries entries_;
    Fl_Font font_;
    int fontPixels_;
};

class TextView : public ControlView {
  public:
    TextView(Control& control, const PixelRect& r, int fontPixels, FormInput& input)
        : ControlView(control, input), text_(new Fl_Input(r.x, r.y, r.w, r.h)) {
        text_->textfont(FontOf(control.font));
        text_->textsize(fontPixels);
        text_->when(FL_WHEN_CHANGED);
        text_->callback(&TextView::Typed, this);
    }
    Fl_Widget& Widget() const override { return *text_; }
    void Refresh() override {
        ControlView::Refresh();
        SetInputText(*text_, control_.caption);
    }

  private:
    static void Typed(Fl_Widget*, void* self) {
        auto* view = static_cast<TextView*>(self);
        view->input_.SetText(view->control_, view->text_->value());
    }
    Fl_Input* text_;
};

class DriveView : public ControlView {
  public:
    DriveView(DriveListBox& box, const PixelRect& r, int fontPixels, FormInput& input)
        : ControlView(box, input), box_(box), choice_(new Fl_Choice(r.x, r.y, r.w, r.h)) {
        font_ = FontOf(box.font);
        fontPixels_ = fontPixels;
        choice_->textfont(font_);
        choice_->textsize(fontPixels);
        choice_->callback(&DriveView::Picked, this);
    }
    Fl_Widget& Widget() const override { return *choice_; }
    void Refresh() override {
        ControlView::Refresh();
        if (entries_.Set(box_.Entries(), font_, fontPixels_)) choice_->menu(entries_.Items());
        const std::string current = box_.Drive();
        const auto& texts = entries_.Texts();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (texts[i] == current && choice_->value() != static_cast<int>(i)) {
                choice_->value(static_cast<int>(i));
            }
        }
    }

  private:
    static void Picked(Fl_Widget*, void* self) {
        auto* view = static_cast<DriveView*>(self);
        const int index = view->choice_->value();
        const auto& texts = view->entries_.Texts();
        if (index < 0 || index >= static_cast<int>(texts.size())) return;
        // A copy: the pick may change the list's entries.
        const std::string entry = texts[static_cast<std::size_t>(index)];
        view->input_.PickDrive(view->box_, entry);
    }
    DriveListBox& box_;
    Fl_Choice* choice_;
    MenuEntries entries_;
    Fl_Font font_;
    int fontPixels_;
};

// The levels of the current path, each one step further in, then its subdirectories one step
// further still; the current level is selected.
class DirView : public ControlView {
  public:
    DirView(DirListBox& box, const PixelRect& r, int fontPixels, FormInput& input)
        : ControlView(box, input), box_(box), browser_(new DirectoryBrowser(r.x, r.y, r.w, r.h)) {
        browser_->textfont(FontOf(box.font));
        browser_->textsize(fontPixels);
        browser_->when(FL_WHEN_RELEASE_ALWAYS);
        browser_->callback(&DirView::Chosen, this);
    }
    Fl_Widget& Widget() const override { return *browser_; }
    void Refresh() override {
        ControlView::Refresh();
        if (filled_ && box_.Path() == shownPath_) return;
        filled_ = true;
        shownPath_ = box_.Path();
        browser_->clear();
        paths_.clear();
        const auto levels = box_.Levels();
        std::string path;
        for (std::size_t depth = 0; depth < levels.size(); ++depth) {
            if (depth == 1) {
                path += levels[depth];  // the root already ends in "\"
            } else if (depth > 1) {
                path += "\\" + levels[depth];
            } else {
                path = levels[depth];
            }
            Add(depth, levels[depth], path);
        }
        for (const std::string& name : box_.SubDirectories()) {
            const bool root = !shownPath_.empty() && shownPath_.back() == '\\';
            Add(levels.size(), name, shownPath_ + (root ? "" : "\\") + name);
        }
        if (!levels.empty()) {
            browser_->value(static_cast<int>(levels.size()));
            browser_->middleline(static_cast<int>(levels.size()));
        }
    }

  private:
    void Add(std::size_t depth, const std::string& name, const std::string& path) {
        browser_->add((std::string(depth * 2, ' ') + name).c_str());
        paths_.push_back(path);
    }
    static void Chosen(Fl_Widget*, void* self) {
        auto* view = static_cast<DirView*>(self);
        const bool doubleClick = Fl::event() == FL_RELEASE && Fl::event_clicks() > 0;
        if (!doubleClick && !view->browser_->Opening()) return;  // selecting alone opens nothing
        const int line = view->browser_->value();
        if (line < 1 || line > static_cast<int>(view->paths_.size())) return;
        const std::string path = view->paths_[static_cast<std::size_t>(line - 1)];
        view->input_.OpenDirectory(view->box_, path);
    }
    DirListBox& box_;
    DirectoryBrowser* browser_;
    bool filled_ = false;
    std::string shownPath_;
    std::vector<std::string> paths_;  // the path each line opens
};

class ShapeView : public ControlView {
  public:
    ShapeView(Control& control, const PixelRect& r, FormInput& input)
        : ControlView(control, input), box_(new Fl_Box(r.x, r.y, r.w, r.h)) {}
    Fl_Widget& Widget() const override { return *box_; }
    void Refresh() override {
        ControlView::Refresh();
        if (control_.fillColor >= 0) {
            box_->box(FL_BORDER_BOX);
            box_->color(ColorOf(control_.fillColor));
        } else {
            box_->box(FL_BORDER_FRAME);
        }
    }

  private:
    Fl_Box* box_;
};

}  // namespace

void ControlView::Refresh() {
    Fl_Widget& widget = Widget();
    if (control_.visible && !widget.visible()) widget.show();
    if (!control_.visible && widget.visible()) widget.hide();
    if (control_.enabled && !widget.active()) widget.activate();
    if (!control_.enabled && widget.active()) widget.deactivate();
}

std::unique_ptr<ControlView> MakeControlView(Control& control, const PixelScale& scale,
                                             FormInput& input) {
    const PixelRect r = scale.FromTwips(control.Rect());
    const int fontPixels = scale.FontPixels(control.font.points);
    switch (control.Kind()) {
        case ControlKind::Label:
            return std::make_unique<LabelView>(control, r, fontPixels, input);
        case ControlKind::CommandButton:
            return std::make_unique<ButtonView>(control, r, fontPixels, input);
        case ControlKind::ComboBox:
            return std::make_unique<ComboView>(control, r, fontPixels, input);
        case ControlKind::TextBox:
            return std::make_unique<TextView>(control, r, fontPixels, input);
        case ControlKind::DriveListBox:
            if (auto* drives = dynamic_cast<DriveListBox*>(&control)) {
                return std::make_unique<DriveView>(*drives, r, fontPixels, input);
            }
            break;
        case ControlKind::DirListBox:
            if (auto* dirs = dynamic_cast<DirListBox*>(&control)) {
                return std::make_unique<DirView>(*dirs, r, fontPixels, input);
            }
            break;
        case ControlKind::Shape:
            return std::make_unique<ShapeView>(control, r, input);
    }
    // A list kind without its list behind it can only be drawn as an outline.
    return std::make_unique<ShapeView>(control, r, input);
}

}  // namespace tamsel::fltk
