// What the layer's own controls need of image lists beyond the Win32 calls.
// Internal to src/platform.
#pragma once

#include "platform/api/ImageList.h"

namespace veltrix::platform::controls {

enum class Look { Normal, Greyed };

// Draws a cell over what is there (masked pixels stay); Greyed is the look of
// a disabled control's glyph.
BOOL drawImage(HIMAGELIST list, int index, HDC dc, int x, int y, Look look);

}  // namespace veltrix::platform::controls
