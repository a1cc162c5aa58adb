// Elements that arrange others: sequences, alternatives, the brackets of a
// capturing group and recursions. Children are owned by the pattern; these
// hold plain pointers to them.
#pragma once

#include <string>
#include <vector>

#include "editor/regex/CharacterElements.h"
#include "editor/regex/ElxInterface.h"

// A sequence, matched with full backtracking: when an element fails, the ones
// before it are asked for another way, nearest first. Right-to-left lists are
// matched from their last element to their first.
class CListElxT final : public ElxInterface {
public:
    CListElxT(std::vector<const ElxInterface*> elements, regex::Direction direction);
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;
    // The elements in the order they are matched.
    std::size_t size() const { return m_elements.size(); }
    const ElxInterface* nth(std::size_t i) const;
    regex::Direction direction() const { return m_direction; }

private:
    // Matches elements from `done` on; false with all of them undone.
    bool forward(MatchContext& context, std::size_t done) const;

    std::vector<const ElxInterface*> m_elements;
    regex::Direction m_direction;
};

// Branches tried in order; the index of the one that matched is pushed.
class CAlternativeElxT final : public ElxInterface {
public:
    explicit CAlternativeElxT(std::vector<const ElxInterface*> branches) : m_branches(std::move(branches)) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    void limitBacktracking(const FirstUnits& follow) const override;

private:
    bool tryFrom(MatchContext& context, std::size_t first) const;
    std::vector<const ElxInterface*> m_branches;
};

enum class BracketSide { opening, closing };

// One bracket of a capturing group. The side that is matched first opens a
// capture entry; the other closes it. A group re-entered by recursion while its
// capture is open only counts the depth, so the outermost entry keeps its ends.
class CBracketElxT final : public ElxInterface {
public:
    CBracketElxT(int number, BracketSide side, std::u16string name = {})
        : m_number(number), m_side(side), m_name(std::move(name)) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;
    int number() const { return m_number; }
    void setNumber(int number) { m_number = number; }
    const std::u16string& name() const { return m_name; }

private:
    int m_number;
    BracketSide m_side;
    std::u16string m_name;
};

// A recursion: behaves as its target. Without a target it matches empty.
// Each entry is counted against the context's recursion limit.
class CDelegateElxT final : public ElxInterface {
public:
    CDelegateElxT(int number, std::u16string name) : m_number(number), m_name(std::move(name)) {}
    bool match(MatchContext& context) const override;
    bool matchNext(MatchContext& context) const override;
    bool collectFirstUnits(FirstUnits& first) const override;

    int number() const { return m_number; }
    const std::u16string& name() const { return m_name; }
    void resolve(const ElxInterface* target, int number) {
        m_target = target;
        m_number = number;
    }

private:
    const ElxInterface* m_target = nullptr;
    int m_number;  // -3 while it is still a name
    std::u16string m_name;
};
