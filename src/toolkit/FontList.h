// The installed fonts, listed once on first use: face name to the font
// descriptions of that face.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/win32.h"

class FontList {
public:
    static const FontList& instance();
    // The first description of that face, or null.
    const LOGFONTW* find(const std::u16string& name) const;
    const std::map<std::u16string, std::vector<LOGFONTW>>& fonts() const { return fonts_; }

private:
    FontList();
    std::map<std::u16string, std::vector<LOGFONTW>> fonts_;
};
