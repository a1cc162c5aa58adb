// Where Ctrl+Left, Ctrl+Right, Ctrl+Backspace, Ctrl+Delete and a double click
// stop in text that mixes English and Japanese.
//
// A word is a run of one character class: ASCII letters with "_"; ASCII
// digits; one other ASCII character repeated; kanji (a run that starts with
// one goes on over any unit from U+4E00 up); katakana (on over U+30A0 to
// U+4DFF, so a long-vowel mark or a kanji suffix stays with it); hiragana.
// Every other non-ASCII unit is a word by itself. TAB, space, CR and LF
// separate words.
//
// Both functions accept any position (clamped to the text) and answer a
// position inside it; wordRight never goes back and wordLeft never forward.
#pragma once

#include <string_view>

#include "platform/win32.h"

int wordLeft(std::u16string_view text, int position);
int wordRight(std::u16string_view text, int position);

// The editor's default word-break procedure, with the codes of the edit
// control's: WB_LEFT and the "move" and "break" codes to the left (0, 4, 6)
// answer wordLeft, those to the right (1, 5, 7) wordRight, and
// WB_ISDELIMITER (2) whether the character at position is a space.
int defaultWordBreakProc(LPWSTR text, int position, int length, int code);
