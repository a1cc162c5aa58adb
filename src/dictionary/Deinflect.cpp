#include "dictionary/Deinflect.h"

#include <string_view>

std::u16string deinflect(const std::u16string& word) {
    const std::size_t n = word.size();
    if (n <= 3) return word;
    const std::u16string stem = word.substr(0, n - 3);
    const std::u16string_view s = std::u16string_view(word).substr(n - 3);
    const std::u16string_view tail = s.substr(1);  // s1 s2
    const char16_t s0 = s[0];
    const char16_t last = stem.back();
    const std::u16string withS0 = stem + s0;

    if (tail == u"ly") return s0 == u'i' ? stem + u"y" : withS0;
    if (s == u"ied") return stem + u"y";
    if (s == u"ked" && last == u'c') return stem;
    if (tail == u"ed") return s0 == last ? stem : withS0;
    if (s == u"ing") return stem;
    if (s[2] == u's' && s[1] != u'e') return word.substr(0, n - 1);
    if (s == u"ies") return stem + u"y";
    if (s == u"oes") return stem + u"o";
    if (s == u"ves") return stem + u"f";
    if (tail == u"es") return withS0;
    if (s == u"est") {
        if (last == u'i') return stem.substr(0, stem.size() - 1) + u"y";
        if (stem.size() >= 2 && stem[stem.size() - 2] == last) return stem.substr(0, stem.size() - 1);
        return stem;
    }
    if (tail == u"er") {
        if (s0 == u'i') return stem + u"y";
        return s0 == last ? stem : withS0;
    }
    return word;
}
