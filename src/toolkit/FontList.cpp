#include "toolkit/FontList.h"

#include "platform/api/GdiHandles.h"

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
    const ClientDC screen(nullptr);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen.get(), &all, addFont, reinterpret_cast<LPARAM>(&fonts_), 0);
}

const LOGFONTW* FontList::find(const std::u16string& name) const {
    auto it = fonts_.find(name);
    return it == fonts_.end() || it->second.empty() ? nullptr : &it->second.front();
}
