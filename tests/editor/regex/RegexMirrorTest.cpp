// Right-to-left matching checked against forward matching: searching text T
// backwards with pattern P must find the mirror image of searching reversed T
// forwards with P mirrored (sequences reversed, look-ahead and look-behind
// swapped, "\A" and "\z" swapped). Forward matching is itself cross-checked
// with PCRE2, so this covers the backward direction, which PCRE2 lacks.
#include <algorithm>
#include <random>

#include "RegexTestSupport.h"

using namespace regex;

namespace {

class MirrorGenerator {
public:
    explicit MirrorGenerator(std::mt19937& random) : m_random(random) {}

    // Fills both renderings of one random pattern.
    void pattern(std::u16string& forward, std::u16string& mirrored) { sequence(0, forward, mirrored); }

private:
    int pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    void sequence(int depth, std::u16string& forward, std::u16string& mirrored) {
        std::vector<std::pair<std::u16string, std::u16string>> items;
        for (int n = 1 + pick(4); n > 0; --n) {
            std::u16string f, m;
            item(depth, f, m);
            items.emplace_back(f, m);
        }
        for (const auto& it : items) forward += it.first;
        for (auto it = items.rbegin(); it != items.rend(); ++it) mirrored += it->second;
    }

    void alternative(int depth, std::u16string& forward, std::u16string& mirrored) {
        sequence(depth, forward, mirrored);
        while (pick(3) == 0) {
            forward += u"|";
            mirrored += u"|";
            sequence(depth, forward, mirrored);
        }
    }

    void wrap(int depth, std::u16string_view openForward, std::u16string_view openMirrored, std::u16string& forward,
              std::u16string& mirrored) {
        forward += openForward;
        mirrored += openMirrored;
        alternative(depth + 1, forward, mirrored);
        forward += u")";
        mirrored += u")";
    }

    void item(int depth, std::u16string& forward, std::u16string& mirrored) {
        static const char16_t* const atoms[] = {u"a", u"b", u"日", u" ", u"[ab]", u"[^a]", u".", u"\\w", u"\\s"};
        static const char16_t* const quantifiers[] = {u"*", u"+", u"?", u"{2}", u"{1,2}", u"*?", u"+?", u"*+"};
        int kind = pick(depth >= 2 ? 2 : 9);
        std::u16string f, m;
        switch (kind) {
            case 0:
            case 1:
                f = m = atoms[pick(9)];
                break;
            case 2:
                wrap(depth, u"(?:", u"(?:", f, m);
                break;
            case 3:
                wrap(depth, u"(?>", u"(?>", f, m);
                break;
            case 4:
                wrap(depth, u"(?=", u"(?<=", f, m);
                break;
            case 5:
                wrap(depth, u"(?<!", u"(?!", f, m);
                break;
            case 6:
                f = u"\\A";
                m = u"\\z";
                break;
            case 7:
                f = m = u"\\b";
                break;
            default:
                wrap(depth, u"(?:", u"(?:", f, m);
                break;
        }
        if (kind != 6 && kind != 7 && kind != 4 && kind != 5 && pick(2) == 0) {
            std::u16string q = quantifiers[pick(8)];
            f = u"(?:" + f + u")" + q;
            m = u"(?:" + m + u")" + q;
        }
        forward += f;
        mirrored += m;
    }

    std::mt19937& m_random;
};

TEST(RegexMirror, BackwardSearchIsTheMirrorOfForwardSearch) {
    std::mt19937 random(61803);
    MirrorGenerator generator(random);
    const char16_t units[] = u"ab日 b";
    int withText = 0;
    for (int round = 0; round < 3000; ++round) {
        std::u16string forward, mirrored;
        generator.pattern(forward, mirrored);
        int options = random() % 2 ? ignoreCase : 0;
        RegexPattern backwards(forward, options | rightToLeft);
        RegexPattern mirror(mirrored, options);
        std::u16string text;
        for (int n = static_cast<int>(random() % 10); n > 0; --n) text.push_back(units[random() % 5]);
        std::u16string reversed(text.rbegin(), text.rend());
        const int length = static_cast<int>(text.size());
        auto ours = allMatches(backwards, text);
        auto theirs = allMatches(mirror, reversed);
        for (auto& [start, end] : theirs) std::tie(start, end) = std::pair(length - end, length - start);
        EXPECT_EQ(ours, theirs) << "pattern \"" << utf8(forward) << "\" mirrored \"" << utf8(mirrored) << "\" text \""
                                << utf8(text) << "\"";
        if (std::any_of(ours.begin(), ours.end(), [](auto span) { return span.first != span.second; })) ++withText;
    }
    // Most rounds must find something that is not empty, or the check says little.
    EXPECT_GT(withText, 300);
}

}  // namespace
