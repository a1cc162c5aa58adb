// Elements that run another element without keeping its backtracking state:
// look-around assertions, atomic groups and conditionals.
#pragma once

#include <string>

#include "editor/regex/CharacterElements.h"
#include "editor/regex/ElxInterface.h"

// Look-ahead and look-behind (the body of a look-behind is compiled
// right-to-left, so it may have any length). Never moves the position;
// captures made inside a positive assertion stay until it is backtracked.
class CAssertElxT final : public ElxInterface {
public:
    CAssertElxT(const ElxInterface* element, Polarity polarity)
        : m_element(element), m_positive(polarity == Polarity::positive) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;

private:
    const ElxInterface* m_element;
    bool m_positive;
};

// "(?>...)": the first way its body matches, with no other way afterwards.
class CIndependentElxT final : public ElxInterface {
public:
    explicit CIndependentElxT(const ElxInterface* element) : m_element(element) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;

private:
    const ElxInterface* m_element;
};

// "(?(test)yes|no)". A group test (number >= 0) asks whether the group has been
// entered; otherwise the assertion decides (none counts as true).
class CConditionElxT final : public ElxInterface {
public:
    CConditionElxT(int number, std::u16string testText, const ElxInterface* assertion, const ElxInterface* yes,
                   const ElxInterface* no)
        : m_number(number), m_testText(std::move(testText)), m_assertion(assertion), m_yes(yes), m_no(no) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;

    const std::u16string& testText() const { return m_testText; }
    bool testsByText() const { return m_number < 0 && !m_testText.empty(); }
    // Turns a test by text into a test of group `number`.
    void makeGroupTest(int number) {
        m_number = number;
        m_assertion = nullptr;
    }

private:
    int m_number;
    std::u16string m_testText;
    const ElxInterface* m_assertion;
    const ElxInterface* m_yes;
    const ElxInterface* m_no;  // may be none
};
