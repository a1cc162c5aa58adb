// One compiled regular expression: compile turns a pattern text into an
// immutable tree of elements; match searches a text with it, forwards or (with
// rightToLeft) backwards; replaceMatches builds a new text from a "$" template.
//
// Texts are UTF-16 and positions are code units: a surrogate pair is two units
// and "." takes one of them. Case folding and the shorthand classes know ASCII
// only; a Japanese character is never a word character.
//
// Errors are values: compile accepts any text (see RegexError for the limits
// that leave a pattern without a top element), and a search that reaches a
// step or recursion limit ends as "not found" with the reason in its result.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/regex/ElxInterface.h"
#include "editor/regex/FirstUnits.h"
#include "editor/regex/LiteralAfterRun.h"
#include "editor/regex/MatchBudget.h"
#include "editor/regex/MatchContext.h"
#include "editor/regex/MatchResult.h"
#include "editor/regex/RegexOptions.h"

class CBoundaryElxT;
class RegexParser;

class RegexPattern {
public:
    RegexPattern() = default;
    explicit RegexPattern(std::u16string_view pattern, int options = 0) { compile(pattern, options); }
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;
    RegexPattern(RegexPattern&&) noexcept;
    RegexPattern& operator=(RegexPattern&&) noexcept;
    ~RegexPattern();

    // Destroys what the pattern held and compiles anew. A null pattern leaves
    // it without a top element; the text runs to its NUL.
    void compile(const char16_t* pattern, int options);
    void compile(std::u16string_view pattern, int options);

    bool hasTopElement() const { return m_top != nullptr; }
    RegexError error() const { return m_error; }
    int options() const { return m_options; }
    int highestGroup() const { return m_highest; }
    // The number of the first named group called `name` (ASCII case ignored), or -1.
    int groupNumberOf(std::u16string_view name) const;

    void setMatchLimits(const MatchLimits& limits) { m_limits = limits; }
    const MatchLimits& matchLimits() const { return m_limits; }

    // Sets a context up for searching `text` (which must outlive it) from
    // `start`: below 0 means the text's start (right-to-left: its end); beyond
    // the length, nothing can be found forwards (right-to-left: the end).
    void prepareMatch(std::u16string_view text, int start, MatchContext& context) const;
    MatchContext prepareMatch(std::u16string_view text, int start) const;

    // The next match from the context's position; the context is left ready for
    // the one after, so repeated calls walk through all matches. An empty match
    // moves the next search one unit on. The search may spend the pattern's
    // step limit.
    MatchResult match(MatchContext& context) const;
    // The same, spending the steps of a budget shared by a whole operation;
    // once the budget is used up every search ends with its status.
    MatchResult match(MatchContext& context, MatchBudget& budget) const;
    // A budget of the pattern's step limit, for one operation's searches.
    MatchBudget makeBudget() const { return MatchBudget(m_limits.maxSteps); }
    // One search with a temporary context; the pointer form runs to the NUL.
    MatchResult match(std::u16string_view text, int start = -1) const;
    MatchResult match(const char16_t* text, int start = -1) const;

    // Replaces up to `count` matches (-1: all) found from `start` by the
    // template, in which "$$", "$&", "$`", "$'", "$+", "$_", "$n" and "${name}"
    // refer to the match. Text outside the matches is kept whole. All the
    // searches share one budget of the step limit; when a limit ends them
    // early, the rest is kept unchanged and *outcome says why.
    std::u16string replaceMatches(std::u16string_view text, std::u16string_view replacement, int start = -1,
                                  int count = -1, MatchStatus* outcome = nullptr) const;

private:
    friend class RegexParser;
    friend void parseRegexPattern(RegexPattern&, std::u16string_view, int);

    struct GroupEntry {
        int number;
        const ElxInterface* sequence;
    };
    struct NamedGroup {
        std::u16string name;
        int number;
    };

    void clear();
    // Moves the context to the next position where a match can start; false
    // when there is none (the pattern always consumes a unit at its start).
    bool skipToPossibleStart(MatchContext& context, bool backwards) const;
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        auto element = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = element.get();
        m_elements.push_back(std::move(element));
        return raw;
    }

    const ElxInterface* m_top = nullptr;
    int m_options = 0;
    std::vector<std::unique_ptr<ElxInterface>> m_elements;
    std::vector<GroupEntry> m_groups;
    std::vector<NamedGroup> m_namedGroups;
    int m_highest = 0;
    int m_nesting = 0;  // deepest group nesting, to share the call budget among recursions
    std::array<const ElxInterface*, 17> m_stock{};
    RegexError m_error = RegexError::none;
    // Units a match can start with; none when any position may match.
    std::unique_ptr<FirstUnits> m_first;
    // When they are only one or two (a literal, a letter in both cases), they
    // are searched for several units at a time.
    std::optional<std::array<char16_t, 2>> m_firstPair;
    // The boundary a pattern such as "\bword" tests first, tested before a
    // start position is set up; else none.
    const CBoundaryElxT* m_leadingBoundary = nullptr;
    // Forward patterns that begin with a run of class units and a literal; else none.
    std::unique_ptr<LiteralAfterRun> m_literalAfterRun;
    MatchLimits m_limits;
};
