#pragma once

#include "frontend/win32/NativeHandles.h"

namespace tamsel::win32 {

// Makes every caption of a form window's labels and buttons readable whole, when the design's
// rectangle is too small for it in the font the screen gives (fonts differ between systems and
// DPI settings, so a caption that fits on one may not on another):
//  - a label that needs more room widens to the right, into space that no other control and
//    no edge of the window takes;
//  - a caption that still does not fit is drawn in a smaller size of its font, down to three
//    quarters of the design size; the face and weight stay.
// Controls whose caption fits are left as they are. Fonts made here live until the program
// ends.
void FitCaptions(HWND form);

}  // namespace tamsel::win32
