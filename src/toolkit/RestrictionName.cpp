#include "toolkit/RestrictionName.h"

#include <algorithm>

bool RestrictionName::isFileNameRefused(char16_t c) {
    return std::u16string_view(u"\"*/:<>?\\|").find(c) != std::u16string_view::npos;
}

bool RestrictionName::isPathRefused(char16_t c) {
    return std::u16string_view(u"\"<>|").find(c) != std::u16string_view::npos;
}

bool RestrictionName::refuses(char16_t c) const {
    return (fileName_ && isFileNameRefused(c)) || (path_ && isPathRefused(c));
}

std::u16string RestrictionName::cleanPaste(std::u16string text) const {
    if (path_) std::replace_if(text.begin(), text.end(), isPathRefused, u' ');
    if (fileName_) {
        auto refused = std::find_if(text.begin(), text.end(), isFileNameRefused);
        text.erase(refused, text.end());
    }
    return text;
}
