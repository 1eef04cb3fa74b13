#pragma once

#include "common/ui/Control.h"

namespace tamsel {

// The font of the bold labels of Setup's windows.
inline FontSpec BoldLabelFont() {
    FontSpec font;
    font.face = "MS Sans Serif";
    font.points = 9.75;
    font.bold = true;
    return font;
}

}  // namespace tamsel
