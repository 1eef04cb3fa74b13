#pragma once

#include <FL/Fl_Widget.H>

#include <memory>

#include "common/ui/Control.h"
#include "frontend/fltk/FormInput.h"
#include "frontend/fltk/PixelLayout.h"

namespace tamsel::fltk {

// The widget that shows one control of a window. It is made at the control's rectangle inside
// the window that is being built (the current FLTK group), takes its state from the control on
// each Refresh and passes the user's input to a FormInput. The widget belongs to the window;
// the view only points at it.
class ControlView {
  public:
    ControlView(Control& control, FormInput& input) : control_(control), input_(input) {}
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& Model() const { return control_; }
    virtual Fl_Widget& Widget() const = 0;
    // Brings the widget in line with the control; touches the widget only where they differ,
    // so that the user's cursor and selection survive.
    virtual void Refresh();

  protected:
    Control& control_;
    FormInput& input_;
};

// Makes the view for a control of any kind, with the widget at the control's pixel rectangle.
std::unique_ptr<ControlView> MakeControlView(Control& control, const PixelScale& scale,
                                             FormInput& input);

}  // namespace tamsel::fltk
