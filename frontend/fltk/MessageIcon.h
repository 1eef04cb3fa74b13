#pragma once

#include <FL/Fl_Widget.H>

#include "common/ui/MessageBox.h"

namespace tamsel::fltk {

// The icon of a message box: a red circle with a cross, a blue circle with "?" or "i", or a
// yellow triangle with "!".
// Whether a message box with this icon shows one at all.
bool ShowsIcon(MsgIcon icon);

class MessageIcon : public Fl_Widget {
  public:
    MessageIcon(int x, int y, int size, MsgIcon icon);
    void draw() override;

  private:
    MsgIcon icon_;
};

}  // namespace tamsel::fltk
