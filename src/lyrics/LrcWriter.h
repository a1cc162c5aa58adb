// Writing timed lyrics as an LRC file, with long sentences wrapped to the
// display width of a portable player.
#pragma once

#include <string>
#include <vector>

#include "audio/LyricsInfoManager.h"

// Splits a text into display lines: characters up to U+0080 count fontSize / 2,
// all others fontSize; a line breaks after its last space where it can. Never
// returns an empty list.
std::vector<std::u16string> wrapLyricLine(const std::u16string& text, int fontSize, int width);

// The tag of a time in milliseconds: "[mm:ss<separator>hh]", or "[mm:ss]" with
// an empty separator.
std::u16string lrcTimeTag(std::uint32_t milliseconds, const std::u16string& separator);

// Writes the manager's texts to the chosen path with its extension replaced by
// ".lrc", in the selected format. False (and nothing written) without a named
// format, without texts, or when the file cannot be written.
bool writeLrc(const LyricsInfoManager& manager, const std::u16string& chosenPath);

// The name the save dialog's choice stands for: ".lrc.lrc" becomes ".lrc".
std::u16string lrcFileNameFromChoice(std::u16string chosen);
