#pragma once

#include <optional>
#include <string>

#include "common/ui/MessageBox.h"
#include "frontend/fltk/GeometryLog.h"
#include "frontend/fltk/PixelLayout.h"

namespace tamsel::fltk {

// A modal message box drawn as Windows draws one: the icon at the left, the text beside it,
// the buttons centred below, the default button with the focus. Enter presses the focused
// button; Esc and the close box answer Cancel, or OK when OK is the only button, and do
// nothing when the box has neither.
class MessageDialog {
  public:
    MessageDialog(const MessageBoxSpec& request, const PixelScale& scale);

    // Shows the box centred over the owner (over the screen without one), waits for the answer
    // and closes the box.
    MsgResult Run(const std::optional<PixelRect>& owner, const GeometryLog& log);

  private:
    MessageBoxSpec request_;
    PixelScale scale_;
};

// The text of a message box as it is drawn: lines that were joined by CR LF (or a lone CR or
// LF) joined by LF.
std::string DisplayLines(const std::string& text);
// The answer that Esc and the close box give, if the button set has one.
std::optional<MsgResult> EscapeResult(MsgButtons buttons);
// The caption of the button that gives a result, with its access key.
std::string ButtonCaption(MsgResult result);

}  // namespace tamsel::fltk
