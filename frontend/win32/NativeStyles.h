#pragma once

#include <cstdint>

#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "common/ui/MessageBox.h"

namespace tamsel::win32 {

// How the window model's design values become Windows' own: twips to pixels at the screen's
// dots per inch, border styles to window styles, message boxes to MessageBoxA flags.

// Pixels for a length in twips (1440 to the inch) at the given dots per inch, rounded.
int TwipsToPixels(int twips, int dotsPerInch);

// The height of a font of this many points at the given dots per inch, as LOGFONT wants it
// (negative: the character height without internal leading).
int FontHeight(double points, int dotsPerInch);

struct WindowStyles {
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
};
// The styles of a form's top-level window: its border, its minimise, maximise and close boxes.
WindowStyles StylesOf(const Form& form);

// MessageBoxA's flags for a message box: buttons, icon and default button.
std::uint32_t MessageBoxFlags(const MessageBoxSpec& request);
// The result for the button id that MessageBoxA returned (IDOK, IDYES, ...).
MsgResult ResultOfButtonId(int id);

}  // namespace tamsel::win32
