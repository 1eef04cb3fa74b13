#include "frontend/fltk/MessageDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>
#include <vector>

#include "frontend/fltk/ControlWidgets.h"
#include "frontend/fltk/MessageIcon.h"

namespace tamsel::fltk {

namespace {

// Sizes at 96 pixels per inch, after the layout of Windows message boxes.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr double kTextPoints = 8.25;

// The window of the box; it knows the answer given so far.
class DialogWindow : public Fl_Double_Window {
  public:
    DialogWindow(int w, int h, std::optional<MsgResult> escape)
        : Fl_Double_Window(w, h), escape_(escape) {
        callback(&DialogWindow::CloseBox, this);
    }
    int handle(int event) override {
        if (event == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
            if (escape_) Answer(*escape_);
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }
    void Answer(MsgResult result) {
        answer_ = result;
        hide();
    }
    const std::optional<MsgResult>& Answered() const { return answer_; }

  private:
    static void CloseBox(Fl_Widget*, void* self) {
        auto* window = static_cast<DialogWindow*>(self);
        if (window->escape_) window->Answer(*window->escape_);
    }
    std::optional<MsgResult> escape_;
    std::optional<MsgResult> answer_;
};

struct ButtonChoice {
    DialogWindow* window;
    MsgResult result;
};

void ButtonPressed(Fl_Widget*, void* data) {
    auto* choice = static_cast<ButtonChoice*>(data);
    choice->window->Answer(choice->result);
}

}  // namespace

std::string DisplayLines(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

std::optional<MsgResult> EscapeResult(MsgButtons buttons) {
    if (HasButton(buttons, MsgResult::Cancel)) return MsgResult::Cancel;
    if (buttons == MsgButtons::OK) return MsgResult::OK;
    return std::nullopt;
}

std::string ButtonCaption(MsgResult result) {
    // OK and Cancel are reached by Enter and Esc; the others by their first letter.
    const std::string name = ResultName(result);
    return result == MsgResult::OK || result == MsgResult::Cancel ? name : "&" + name;
}

MessageDialog::MessageDialog(const MessageBoxSpec& request, const PixelScale& scale)
    : request_(request), scale_(scale) {}

MsgResult MessageDialog::Run(const std::optional<PixelRect>& owner, const GeometryLog& log) {
    const auto px = [this](int standardPixels) { return scale_.FromTwips(standardPixels * 15); };
    const std::vector<MsgResult> results = ButtonResults(request_.buttons);
    const int defaultIndex =
        (request_.defaultButton >= 1 && request_.defaultButton <= static_cast<int>(results.size()))
            ? request_.defaultButton - 1
            : 0;
    const std::string text = DisplayLines(request_.text);
    const int textSize = scale_.FontPixels(kTextPoints);

    int textW = 0;
    int textH = 0;
    fl_font(FL_HELVETICA, textSize);
    fl_measure(text.c_str(), textW, textH, 0);
    const bool hasIcon = ShowsIcon(request_.icon);
    const int iconSpace = hasIcon ? px(kIconSize + kMargin) : 0;
    const int contentH = std::max(textH, hasIcon ? px(kIconSize) : 0);
    const int buttonsW = static_cast<int>(results.size()) * px(kButtonWidth) +
                         static_cast<int>(results.size() - 1) * px(kButtonGap);
    const int width = std::max(iconSpace + textW, buttonsW) + 2 * px(kMargin);
    const int height = px(kMargin) + contentH + px(kMargin) + px(kButtonHeight) + px(kMargin);

    auto window = std::make_unique<DialogWindow>(width, height, EscapeResult(request_.buttons));
    window->copy_label(request_.title.c_str());
    if (hasIcon) new MessageIcon(px(kMargin), px(kMargin), px(kIconSize), request_.icon);
    auto* textBox =
        new Fl_Box(px(kMargin) + iconSpace, px(kMargin) + (contentH - textH) / 2, textW, textH);
    textBox->box(FL_NO_BOX);
    textBox->labeltype(LiteralLabelType());
    textBox->labelfont(FL_HELVETICA);
    textBox->labelsize(textSize);
    textBox->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
    textBox->copy_label(text.c_str());

    std::vector<ButtonChoice> choices;
    choices.reserve(results.size());
    std::vector<CommandButton*> buttons;
    int bx = (width - buttonsW) / 2;
    const int by = height - px(kMargin) - px(kButtonHeight);
    for (MsgResult result : results) {
        choices.push_back({window.get(), result});
        auto* button = new CommandButton(bx, by, px(kButtonWidth), px(kButtonHeight));
        button->copy_label(ButtonCaption(result).c_str());
        button->labelsize(textSize);
        button->callback(&ButtonPressed, &choices.back());
        buttons.push_back(button);
        bx += px(kButtonWidth) + px(kButtonGap);
    }
    window->end();
    window->size_range(width, height, width, height);
    window->set_modal();

    PixelRect area;
    Fl::screen_work_area(area.x, area.y, area.w, area.h, 0);
    PixelRect at = CentredIn(owner ? *owner : area, width, height);
    at.x = std::clamp(at.x, area.x, std::max(area.x, area.x + area.w - width));
    at.y = std::clamp(at.y, area.y, std::max(area.y, area.y + area.h - height));
    window->position(at.x, at.y);
    window->show();
    buttons[static_cast<std::size_t>(defaultIndex)]->take_focus();

    std::vector<NamedRect> buttonRects;
    std::vector<std::string> resultNames;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const CommandButton& b = *buttons[i];
        buttonRects.push_back({b.label(), {b.x(), b.y(), b.w(), b.h()}});
        resultNames.push_back(ResultName(results[i]));
    }
    log.MessageBoxShown(request_.title, request_.text, IconName(request_.icon),
                        {at.x, at.y, width, height}, buttonRects, resultNames, defaultIndex);

    while (!window->Answered() && window->shown()) Fl::wait();
    window->hide();
    Fl::flush();
    // A box that vanished without an answer (the display went away) counts as its escape, or
    // as its default button when it has none.
    if (window->Answered()) return *window->Answered();
    const auto escape = EscapeResult(request_.buttons);
    return escape ? *escape : results[static_cast<std::size_t>(defaultIndex)];
}

}  // namespace tamsel::fltk
