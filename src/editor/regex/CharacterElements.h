// Elements that test the text itself: literal runs, classes, boundaries and
// back-references. None of them nests other elements, except a class that
// holds shorthand or POSIX classes, which it only asks about one character.
#pragma once

#include <bitset>
#include <string>
#include <utility>
#include <vector>

#include "editor/regex/ElxInterface.h"
#include "platform/common/AsciiCase.h"

// Matches the empty string; an empty pattern or branch, or a dropped atom.
class CEmptyElxT final : public ElxInterface {
public:
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
};

namespace regex {
// Which way an element reads: rightward, or leftward for a right-to-left search.
// In the regex namespace: the program links other enums named Direction.
enum class Direction { leftToRight, rightToLeft };
}  // namespace regex
enum class CaseMode { exact, ignoreAsciiCase };

// A run of literal characters; with ignoreAsciiCase only A-Z and a-z fold.
class CStringElxT final : public ElxInterface {
public:
    CStringElxT(std::u16string characters, regex::Direction direction, CaseMode caseMode);
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    const std::u16string& characters() const { return m_characters; }
    regex::Direction direction() const { return m_direction; }

private:
    std::u16string m_characters;
    regex::Direction m_direction;
    CaseMode m_caseMode;
};

// A one-unit test: the unit after the position (right-to-left: before it).
class CClassElx : public ElxInterface {
public:
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    virtual bool contains(char16_t unit) const = 0;
    regex::Direction direction() const { return m_direction; }

protected:
    explicit CClassElx(regex::Direction direction) : m_direction(direction) {}

private:
    regex::Direction m_direction;
};

enum class Polarity { positive, negative };

// A bracket class, ".", or a shorthand class. Membership is tested over the
// ranges, then the single characters, then the nested classes; for the first
// 256 units, which most texts mostly hold, a table kept up to date by every
// add answers at once.
class CRangeElxT final : public CClassElx {
public:
    CRangeElxT(regex::Direction direction, Polarity polarity);
    void addRange(char16_t low, char16_t high);
    void addCharacter(char16_t unit);
    void addNested(const CClassElx* element);
    // Adds the other case of every ASCII letter the class holds.
    void addOtherCases();
    bool contains(char16_t unit) const override;
    bool collectFirstUnits(FirstUnits& first) const override;

private:
    bool holdsDirectly(char16_t unit) const;

    std::vector<std::pair<char16_t, char16_t>> m_ranges;
    std::u16string m_characters;
    std::vector<const CClassElx*> m_nested;  // owned by the pattern
    std::bitset<256> m_lowMembers;           // membership before the polarity, units 0-255
    bool m_positive;
};

// "[:name:]": a C-locale character class; an unknown name never matches.
class CPosixElxT final : public CClassElx {
public:
    using Classifier = bool (*)(char16_t);
    // name includes its final colon, as in "alpha:".
    CPosixElxT(std::u16string_view name, Polarity polarity, regex::Direction direction);
    bool contains(char16_t unit) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    bool known() const { return m_classifier != nullptr; }

private:
    Classifier m_classifier = nullptr;
    bool m_positive;
};

// Kinds of CBoundaryElxT.
enum class BoundaryKind {
    textStart = 0,             // "\A", "^"
    textEnd = 1,               // "\z", "$"
    textEndBeforeNewline = 2,  // "\Z"
    lineStart = 3,             // "^" with multiLine
    lineEnd = 4,               // "$" with multiLine
    wordStart = 5,             // no syntax makes it
    wordEnd = 6,               // no syntax makes it
    wordBoundary = 7,          // "\b", "\B" negated
};

class CBoundaryElxT final : public ElxInterface {
public:
    CBoundaryElxT(BoundaryKind kind, Polarity polarity) : m_kind(kind), m_positive(polarity == Polarity::positive) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    // What match answers, without a context to change.
    bool holds(const MatchContext& context) const { return test(context) == m_positive; }

private:
    bool test(const MatchContext& context) const;
    BoundaryKind m_kind;
    bool m_positive;
};

// "\G" with the global option: true where the current search began.
class CGlobalElxT final : public ElxInterface {
public:
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
};

// "\n", "\k<name>": the latest capture of a group, compared as a literal run.
// The number is fixed when the compile ends; -3 (a name no group has) never matches.
class CBackrefElxT final : public ElxInterface {
public:
    CBackrefElxT(int number, regex::Direction direction, CaseMode caseMode)
        : m_number(number), m_direction(direction), m_caseMode(caseMode) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void setNumber(int number) { m_number = number; }
    int number() const { return m_number; }

private:
    int m_number;
    regex::Direction m_direction;
    CaseMode m_caseMode;
};

// ASCII-only helpers shared by the elements and the compiler.
bool isWordUnit(char16_t unit);
