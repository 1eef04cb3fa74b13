#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tamsel {

// A rectangle in twips (1/1440 inch): left, top, width, height.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind { Label, CommandButton, ComboBox, TextBox, DriveListBox, DirListBox, Shape };

struct FontSpec {
    std::string face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
};

// One control of a window: its design-time properties and its run-time state. Front ends draw
// controls from this state and report the user's input through UserActions.
class Control {
  public:
    Control(std::string name, ControlKind kind, TwipsRect rect)
        : name_(std::move(name)), kind_(kind), rect_(rect) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    const TwipsRect& Rect() const { return rect_; }

    // The caption of a label or button; the text of a combo box or text box.
    std::string caption;
    bool enabled = true;
    bool visible = true;
    FontSpec font;
    // A combo box's drop-down list.
    std::vector<std::string> list;
    // A shape's fill colour as 0xRRGGBB; a shape with no fill keeps -1.
    std::int32_t fillColor = -1;
    // Keyboard roles of a command button: Enter (default) or Esc (cancel).
    bool isDefault = false;
    bool isCancel = false;

    // The handler of a button's click; empty for other controls.
    std::function<void()> onClick;
    // The handler of a change (drive or directory list); empty when none is attached.
    std::function<void()> onChange;

  private:
    std::string name_;
    ControlKind kind_;
    TwipsRect rect_;
};

}  // namespace tamsel
