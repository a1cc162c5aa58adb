// Cutting text out of web pages by the markers around it. The downloaders
// read pages that are not well-formed markup, so they find known strings
// rather than parse: each helper here runs in time linear in its input,
// whatever the page holds.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Told the closing marker of a text whose opening marker is there but not its
// closing one, for a reader that reports a page it cannot read.
using MissingMarker = std::function<void(const std::u16string& marker)>;

// The text between the first `open` at or after `from` and the first `close`
// after it; empty when either is missing, and then, when only `close` is,
// missing(close) is called.
std::u16string textBetween(std::u16string_view text, std::u16string_view open, std::u16string_view close,
                           std::size_t from = 0, const MissingMarker& missing = {});

// Every occurrence of `from` (non-empty), left to right and not overlapping,
// replaced by `to`, in one pass.
std::u16string replaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to);

// The part of text from `begin` up to `end`, where either may be npos or past
// the text (meaning its end).
std::u16string_view slice(std::u16string_view text, std::size_t begin, std::size_t end);

// Text meant for a log line, cut to at most `limit` characters with a note of
// how long it was, so that a huge page cannot flood a log.
std::u16string excerpt(std::u16string_view text, std::size_t limit);
