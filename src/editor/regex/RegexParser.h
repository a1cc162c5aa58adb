// The second stage of compiling: a recursive-descent parser over the token list
// that builds the element tree into a RegexPattern. Recursion follows the
// pattern's group nesting only, which is capped at regex::kMaxNesting.
#pragma once

#include <string_view>

class RegexPattern;

// Compiles `pattern` into `target` (already cleared). Never throws.
void parseRegexPattern(RegexPattern& target, std::u16string_view pattern, int options);
