// One edit the editor made, with everything needed to take it back and to
// make it again.
#pragma once

#include <string>

// Kind::Insert: text was put into an empty range, nothing was taken out.
// Kind::Replace: a non-empty range was replaced, or deleted (empty new text).
struct EditRecord {
    enum class Kind { Insert = 0, Replace = 1 };

    Kind kind = Kind::Insert;
    // Start of the edited range.
    int position = 0;
    // The caret just before the edit; undo puts it back there.
    int caretBefore = 0;
    std::u16string newText;
    // Empty for Kind::Insert.
    std::u16string oldText;
};
