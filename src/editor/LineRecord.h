// One entry of a document's line table: where a line starts, plus the layout
// that the editor view keeps beside it so that it need not be stored twice.
#pragma once

#include <cstdint>
#include <vector>

struct LineRecord {
    // Offset of the line's first character; in the closing record, the text length.
    std::int32_t start = 0;
    // Index of the line's first visual row (written by the view).
    std::int32_t firstRow = 0;
    // Number of visual rows of the line (written by the view).
    std::int32_t rowCount = 1;
    // Columns at which the line's visual rows start, closed by the line's
    // length; written by the view, empty until it lays the line out.
    std::vector<std::int32_t> wrapList;
};
