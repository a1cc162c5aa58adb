// Character advances of one font, measured once per character and summed,
// so that laying out a line costs time in proportion to its length. The edit
// control draws each character at these advances (ExtTextOutW with widths),
// so what it measures is exactly what it shows.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform::controls {

class CharWidths {
public:
    // Forgets every width: the font changed.
    void reset() { widths_.clear(); }
    // x of every boundary of text (size text.size() + 1) in the font selected
    // into dc. The second unit of a surrogate pair adds nothing: the pair's
    // width belongs to its first unit.
    std::vector<int> advances(HDC dc, const std::u16string& text);

private:
    std::unordered_map<char32_t, int> widths_;
};

}  // namespace veltrix::platform::controls
