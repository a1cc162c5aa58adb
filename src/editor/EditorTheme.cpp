#include "editor/EditorTheme.h"

#include "editor/TextEditor.h"
#include "xml/Element.h"

namespace {

constexpr const char16_t* kColorKeys[5] = {u"backgroundColor", u"textColor", u"highlightColor", u"highlightTextColor",
                                           u"findBackgroundColor"};

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool isAbsolute(const std::u16string& path) {
    return (!path.empty() && (path[0] == u'/' || path[0] == u'\\')) || (path.size() > 1 && path[1] == u':');
}

}  // namespace

COLORREF parseThemeColor(std::u16string_view text) {
    if (text.size() < 2 || text[0] != u'#') return RGB(0, 0, 0);
    std::uint32_t value = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) break;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::optional<std::array<ThemePadding, 4>> parseThemePadding(std::u16string_view text) {
    std::array<ThemePadding, 4> sides{};
    std::size_t count = 0;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t space = text.find(u' ', from);
        if (space == std::u16string_view::npos) space = text.size();
        if (count == 4) return std::nullopt;
        std::u16string_view part = text.substr(from, space - from);
        ThemePadding side;
        if (!part.empty() && part.back() == u'%') {
            side.percent = true;
            part.remove_suffix(1);
        }
        side.value = parseDecimal(part);
        sides[count++] = side;
        from = space + 1;
    }
    if (count != 4) return std::nullopt;
    return sides;
}

EditorTheme EditorTheme::read(const Element& element) {
    const Element* source = &element;
    for (const Element* child = element.firstChild(); child; child = child->next()) {
        if (child->getName() == u"TextEditor") {
            source = child;
            break;
        }
    }
    EditorTheme theme;
    if (source->hasAttribute(u"padding")) theme.padding = parseThemePadding(source->getAttribute(u"padding"));
    theme.backgroundImage = source->getAttribute(u"backgroundImage");
    for (std::size_t slot = 0; slot < theme.colors.size(); ++slot) {
        if (source->hasAttribute(kColorKeys[slot])) {
            theme.colors[slot] = parseThemeColor(source->getAttribute(kColorKeys[slot]));
        }
    }
    if (source->hasAttribute(u"LineSpacing")) theme.lineSpacing = source->getIntAttribute(u"LineSpacing", 4);
    return theme;
}

void EditorTheme::applyTo(TextEditor& editor, const std::u16string& baseDirectory) const {
    if (padding) {
        // Top, right, bottom, left in the attribute; left, top, right, bottom in the editor.
        const std::array<ThemePadding, 4>& p = *padding;
        EditorSides margins = editor.margins();
        EditorSides percent = editor.padding();
        auto side = [](const ThemePadding& value, int& margin, int& share) {
            if (value.percent) {
                share = value.value;
            } else {
                margin = value.value < 0 ? 0 : value.value;
                share = 0;
            }
        };
        side(p[0], margins.top, percent.top);
        side(p[1], margins.right, percent.right);
        side(p[2], margins.bottom, percent.bottom);
        side(p[3], margins.left, percent.left);
        editor.setMargins(margins);
        editor.setPadding(percent);
    }
    if (backgroundImage.empty()) {
        editor.setBackgroundImage(u"");
    } else {
        std::u16string path = backgroundImage;
        if (!baseDirectory.empty() && !isAbsolute(path)) {
            path = baseDirectory + (baseDirectory.back() == u'/' ? u"" : u"/") + path;
        }
        editor.setBackgroundImage(path);
    }
    for (std::size_t slot = 0; slot < colors.size(); ++slot) {
        if (colors[slot]) editor.setColor(static_cast<ColorSlot>(slot), *colors[slot]);
    }
    if (lineSpacing) editor.setLineSpacing(*lineSpacing);
}

std::vector<const Element*> themeElements(const Element& root) {
    std::vector<Element*> found;
    if (root.getName() == u"Theme") found.push_back(const_cast<Element*>(&root));
    root.getElementsByTagName(u"Theme", found);
    return {found.begin(), found.end()};
}

bool applyThemeFromList(const Element& root, int n, TextEditor& lyrics, TextEditor* second,
                        const std::u16string& baseDirectory) {
    const std::vector<const Element*> themes = themeElements(root);
    if (themes.empty()) {
        lyrics.setColor(ColorSlot::Text, RGB(250, 255, 250));
        lyrics.setColor(ColorSlot::Background, RGB(0, 0, 0));
        return true;
    }
    if (n < 0 || n >= static_cast<int>(themes.size())) return false;
    const EditorTheme theme = EditorTheme::read(*themes[static_cast<std::size_t>(n)]);
    for (TextEditor* editor : {&lyrics, second}) {
        if (!editor) continue;
        theme.applyTo(*editor, baseDirectory);
        if (HWND window = editor->getHandle()) {
            RECT client{};
            GetClientRect(window, &client);
            PostMessageW(window, WM_SIZE, 0, MAKELPARAM(client.right - client.left, client.bottom - client.top));
        }
    }
    return true;
}
