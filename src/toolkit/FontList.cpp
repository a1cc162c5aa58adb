#include "toolkit/FontList.h"

namespace {

int addFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* fonts = reinterpret_cast<std::map<std::u16string, std::vector<LOGFONTW>>*>(param);
    (*fonts)[font->lfFaceName].push_back(*font);
    return 1;
}

}  // namespace

const FontList& FontList::instance() {
    static const FontList list;
    return list;
}

FontList::FontList() {
    HDC screen = GetDC(nullptr);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen, &all, addFont, reinterpret_cast<LPARAM>(&fonts_), 0);
    ReleaseDC(nullptr, screen);
}

const LOGFONTW* FontList::find(const std::u16string& name) const {
    auto it = fonts_.find(name);
    return it == fonts_.end() || it->second.empty() ? nullptr : &it->second.front();
}
