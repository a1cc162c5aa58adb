// Compile options of a regular expression, and the outcomes the engine reports
// instead of throwing. Options are bit flags so that they combine as the find
// pane's check boxes do.
#pragma once

#include <string_view>

namespace regex {

enum Option : int {
    singleLine = 0x01,   // "." also matches LF
    multiLine = 0x02,    // "^" and "$" at every line start and end
    global = 0x04,       // "\G" is recognised; without it "\G" is empty
    ignoreCase = 0x08,   // ASCII letters only
    rightToLeft = 0x10,  // search backwards; every element matches leftwards
    extended = 0x20,     // white space skipped and "#" comments, inside brackets too
};

// The options an inline group "(?imsg-imsg)" may change.
inline constexpr int kInlineOptions = singleLine | multiLine | global | ignoreCase;

// Unbounded repeat count ("*", "+", "{n,}").
inline constexpr int kUnbounded = 2147483647;

// Nesting of groups the compiler accepts; deeper patterns compile to nothing,
// so that neither the parser nor the matcher recurses as deep as a pattern asks.
inline constexpr int kMaxNesting = 200;

// Group numbers given by digit names above this are taken as plain names: a
// number like "(?<99999999>a)" would otherwise size every match's tables.
inline constexpr int kMaxGroupNumber = 9999;

}  // namespace regex

// Why a compile produced no top element. Compiling accepts any text; only
// limits that protect the program make a pattern unusable.
enum class RegexError {
    none,
    nestingTooDeep,
};

// How a search ended. Reaching a limit counts as "not found" for every caller,
// but says so, so that a find pane can tell the user why.
enum class MatchStatus {
    found,
    notFound,
    stepLimit,       // backtracking took too many steps
    recursionLimit,  // a recursion nested too deeply (e.g. a pattern starting with "(?R)")
};

// The user-facing description of each value.
std::u16string_view describe(RegexError error);
std::u16string_view describe(MatchStatus status);
