// Drawing steps the toolkit's widgets share: filled rounded shapes and
// one-line text placed in a rectangle. All colours are 0x00BBGGRR.
#pragma once

#include <string>

#include "toolkit/Graphics.h"

namespace widget_paint {

// The palette of the painted widgets: light faces, blue accents.
inline constexpr COLORREF kFace = 0xFBFBFB;
inline constexpr COLORREF kFaceBorder = 0xB4B4B4;
inline constexpr COLORREF kHoverFace = 0xFCF2E6;
inline constexpr COLORREF kHoverBorder = 0xE0A050;
inline constexpr COLORREF kPressedFace = 0xF5DEC4;
inline constexpr COLORREF kPressedBorder = 0xAA5A00;
inline constexpr COLORREF kPressedOutsideFace = 0xEEEEEE;
inline constexpr COLORREF kAccent = 0xD77800;
inline constexpr COLORREF kDisabledFace = 0xF2F2F2;
inline constexpr COLORREF kDisabledBorder = 0xD4D4D4;
inline constexpr COLORREF kDisabledText = 0xA0A0A0;
inline constexpr COLORREF kTrack = 0xD6D6D6;

// A rounded rectangle filled with fill and outlined with a pen of penWidth
// in border (no outline when penWidth is 0).
void fillRoundRect(Graphics& g, int x, int y, int width, int height, int radius, COLORREF fill, COLORREF border,
                   int penWidth = 1);
void fillEllipse(Graphics& g, int x, int y, int width, int height, COLORREF fill, COLORREF border);

enum class Align { Left, Centre };
// One line of text in the rectangle, vertically centred, in the current font
// and text colour, on a transparent background.
void drawLine(Graphics& g, const std::u16string& text, int x, int y, int width, int height, Align align);

// The font with another weight.
LOGFONTW withWeight(const LOGFONTW& font, LONG weight);

}  // namespace widget_paint
