// Differential checking against PCRE2 (16-bit units, no UTF, so both engines
// see the same code units), on patterns from the subset whose meaning the two
// engines share. Used by the cross-check test and the fuzz target.
//
// The subset leaves out, on purpose, what this engine defines differently:
// repeats of elements that can match in more than one way (a greedy repeat
// here keeps its iteration count when its last iteration backtracks), repeats
// of elements that can match empty, carriage returns in subjects (line ends
// differ), final line feeds under multiLine (PCRE2's "^" does not match after
// them; sharedSubject drops them), look-behinds of varying length (PCRE2 refuses
// them), recursion, and vertical tab and form feed in subjects ("\s" here
// leaves them out forwards).
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/regex/RegexPattern.h"

// Supplies choices: pick(n) gives a number in [0, n).
using ChoiceSource = std::function<int(int)>;

class PatternGenerator {
public:
    explicit PatternGenerator(ChoiceSource pick) : m_pick(std::move(pick)) {}

    std::u16string pattern() {
        m_closedGroups = 0;
        m_openGroups = 0;
        return alternative(0);
    }

    std::u16string subject() {
        static const char16_t units[] = u"abcAB 1_-\n日本.";
        std::u16string text;
        int length = m_pick(14);
        for (int i = 0; i < length; ++i) text.push_back(units[m_pick(static_cast<int>(std::size(units)) - 1)]);
        return text;
    }

    int options() {
        int options = 0;
        if (m_pick(3) == 0) options |= regex::ignoreCase;
        if (m_pick(4) == 0) options |= regex::singleLine;
        if (m_pick(4) == 0) options |= regex::multiLine;
        return options;
    }

private:
    std::u16string literal() {
        static const char16_t units[] = u"abcA日 -";
        return std::u16string(1, units[m_pick(static_cast<int>(std::size(units)) - 1)]);
    }

    std::u16string literalString() {
        std::u16string text;
        for (int n = 1 + m_pick(3); n > 0; --n) text += literal();
        return text;
    }

    std::u16string quantifier() {
        static const char16_t* const forms[] = {u"*", u"+", u"?", u"{2}", u"{1,3}", u"{0,2}", u"{2,}"};
        std::u16string q = forms[m_pick(7)];
        int mode = m_pick(4);
        if (mode == 1)
            q += u"?";
        else if (mode == 2)
            q += u"+";
        return q;
    }

    // An element with exactly one way to match and never empty.
    std::u16string singleWayAtom() {
        switch (m_pick(9)) {
            case 0:
            case 1:
                return literal();
            case 2:
                return u".";
            case 3: {
                static const char16_t* const classes[] = {u"[ab]", u"[^a]", u"[a-c]", u"[\\d_]", u"[^ \\n]", u"[日本]"};
                return classes[m_pick(6)];
            }
            case 4: {
                static const char16_t* const shorthands[] = {u"\\d", u"\\w", u"\\W", u"\\s", u"\\S", u"\\D"};
                return shorthands[m_pick(6)];
            }
            case 5:
                return u"(?:" + literalString() + u")";
            case 6: {
                ++m_openGroups;
                std::u16string g = u"(" + literalString() + u")";
                ++m_closedGroups;
                return g;
            }
            default:
                return literal();
        }
    }

    std::u16string item(int depth) {
        int kind = m_pick(depth >= 2 ? 3 : 10);
        if (kind <= 1) return singleWayAtom() + (m_pick(2) ? quantifier() : u"");
        if (kind == 2) {
            static const char16_t* const anchors[] = {u"\\b", u"\\B", u"^", u"$", u"\\A", u"\\z", u"\\Z"};
            return anchors[m_pick(7)];
        }
        switch (kind) {
            case 3: {
                ++m_openGroups;
                std::u16string body = alternative(depth + 1);
                ++m_closedGroups;
                return u"(" + body + u")";
            }
            case 4:
                return u"(?:" + alternative(depth + 1) + u")";
            case 5:
                return (m_pick(2) ? u"(?=" : u"(?!") + alternative(depth + 1) + u")";
            case 6:
                return u"(?>" + alternative(depth + 1) + u")";
            case 7:
                return (m_pick(2) ? u"(?<=" : u"(?<!") + literalString() + u")";
            case 8:
                // Only groups already closed, so that both engines agree on unset ones.
                if (m_closedGroups > 0 && m_closedGroups == m_openGroups)
                    return u"\\" + std::u16string(1, static_cast<char16_t>(u'1' + m_pick(std::min(m_closedGroups, 9))));
                return literal();
            default:
                if (m_closedGroups > 0 && m_closedGroups == m_openGroups) {
                    std::u16string test(1, static_cast<char16_t>(u'1' + m_pick(std::min(m_closedGroups, 9))));
                    return u"(?(" + test + u")" + literalString() + u"|" + literalString() + u")";
                }
                return literal();
        }
    }

    std::u16string list(int depth) {
        std::u16string text;
        for (int n = m_pick(4); n >= 0; --n) text += item(depth);
        return text;
    }

    std::u16string alternative(int depth) {
        std::u16string text = list(depth);
        for (int branches = 0; branches < 3 && depth < 3 && m_pick(4) == 0; ++branches) text += u"|" + list(depth);
        return text;
    }

    ChoiceSource m_pick;
    int m_closedGroups = 0;
    int m_openGroups = 0;
};

// A subject both engines read alike under `options`: with multiLine, a final
// line feeds are dropped.
inline std::u16string sharedSubject(std::u16string subject, int options) {
    while ((options & regex::multiLine) && !subject.empty() && subject.back() == u'\n') subject.pop_back();
    return subject;
}

// The groups PCRE2 finds, in groupsOf's layout, or nullopt when PCRE2 cannot
// judge (compile error, its own match limit).
inline std::optional<std::vector<int>> pcreGroups(std::u16string_view pattern, int options, std::u16string_view subject,
                                                  int start) {
    // Without its optimisations: PCRE2 10.42 loses matches through them (auto-possessifying
    // "-{1,3}" before "(x){0,2}+", and a start-of-match shortcut past a look-ahead).
    uint32_t flags = PCRE2_DOLLAR_ENDONLY | PCRE2_NO_AUTO_POSSESS | PCRE2_NO_START_OPTIMIZE;
    if (options & regex::ignoreCase) flags |= PCRE2_CASELESS;
    if (options & regex::singleLine) flags |= PCRE2_DOTALL;
    if (options & regex::multiLine) flags |= PCRE2_MULTILINE;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags, &error, &offset, nullptr);
    if (code == nullptr) return std::nullopt;
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                         static_cast<PCRE2_SIZE>(start), 0, data, nullptr);
    std::optional<std::vector<int>> result;
    if (rc == PCRE2_ERROR_NOMATCH) {
        result = std::vector<int>{};
    } else if (rc > 0) {
        uint32_t groups = 0;
        pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
        PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data);
        std::vector<int> spans;
        for (uint32_t g = 0; g <= groups; ++g) {
            bool set = static_cast<int>(g) < rc && vector[2 * g] != PCRE2_UNSET;
            spans.push_back(set ? static_cast<int>(vector[2 * g]) : -1);
            spans.push_back(set ? static_cast<int>(vector[2 * g + 1]) : -1);
        }
        result = std::move(spans);
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return result;
}

// The groups this engine finds, or nullopt when it stopped at a limit.
inline std::optional<std::vector<int>> ownGroups(std::u16string_view pattern, int options, std::u16string_view subject,
                                                 int start, const MatchLimits& limits = {}) {
    RegexPattern compiled(pattern, options);
    compiled.setMatchLimits(limits);
    MatchResult result = compiled.match(subject, start);
    if (result.status() == MatchStatus::stepLimit || result.status() == MatchStatus::recursionLimit)
        return std::nullopt;
    if (!result.found()) return std::vector<int>{};
    return std::vector<int>(result.entries().begin() + 2, result.entries().end());
}
