// One editor theme read from its XML element: padding, background picture,
// the five themed colour slots and the line spacing. Reading and applying
// are separate so that a theme can be checked without a window.
//
// A theme element is a "Theme" element, or its "TextEditor" child when it has
// one. Attributes that are missing leave the editor's setting as it was,
// except "backgroundImage": a theme without it shows no picture.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

class Element;
class TextEditor;

// One side of a "padding" value: pixels, or a percentage of the client size.
struct ThemePadding {
    int value = 0;
    bool percent = false;
};

struct EditorTheme {
    // Top, right, bottom, left.
    std::optional<std::array<ThemePadding, 4>> padding;
    // Empty: no picture.
    std::u16string backgroundImage;
    // Slots 0 to 4: background, text, highlight, highlight text, find background.
    std::array<std::optional<COLORREF>, 5> colors;
    std::optional<int> lineSpacing;

    // Reads element, or its "TextEditor" child when it has one.
    static EditorTheme read(const Element& element);
    // Padding (then the percentage margins from the current client size),
    // picture, colours in slot order, line spacing. A relative picture path is
    // taken from baseDirectory (the program folder) when one is given.
    void applyTo(TextEditor& editor, const std::u16string& baseDirectory = {}) const;
};

// "#RRGGBB" (hexadecimal, either case) as a COLORREF; black for anything
// that does not start with "#" or is a single character.
COLORREF parseThemeColor(std::u16string_view text);
// Four values separated by single spaces, each an integer optionally followed
// by "%"; nothing when there are not exactly four.
std::optional<std::array<ThemePadding, 4>> parseThemePadding(std::u16string_view text);
// The "Theme" elements of a theme list document, in document order.
std::vector<const Element*> themeElements(const Element& root);
// Applies theme n of the list to the lyrics editor, then to the second editor
// (which may be null), and asks both to re-wrap by posting a resize with their
// current client size. A list without themes gives the lyrics editor
// near-white text on black and changes nothing else. False when n is out of
// range (nothing changes then).
bool applyThemeFromList(const Element& root, int n, TextEditor& lyrics, TextEditor* second,
                        const std::u16string& baseDirectory = {});
