#include "editor/regex/MatchContext.h"

void MatchContext::openCapture(int group, int start, int counter) {
    int entry = captureCount();
    captures.insert(captures.end(), {group, start, -1, counter});
    if (group >= 0 && group < static_cast<int>(groupTable.size())) groupTable[static_cast<std::size_t>(group)] = entry;
}

void MatchContext::truncateCaptures(int count) {
    if (count < 0 || count >= captureCount()) return;
    captures.resize(static_cast<std::size_t>(count) * 4);
    for (std::size_t g = 0; g < groupTable.size(); ++g) {
        if (groupTable[g] < count) continue;
        int entry = count - 1;
        while (entry >= 0 && captureField(entry, 0) != static_cast<int>(g)) --entry;
        groupTable[g] = entry;
    }
}
