#include "editor/regex/LiteralAfterRun.h"

#include <algorithm>

#include "editor/regex/AssertElements.h"
#include "editor/regex/CharacterElements.h"
#include "editor/regex/FirstUnits.h"
#include "editor/regex/RepeatElements.h"
#include "editor/regex/StructureElements.h"
#include "xml/Utf16Search.h"

namespace {

enum class Lead { goesOn, literal, unusable };

bool forward(regex::Direction direction) { return direction == regex::Direction::leftToRight; }

// Walks the elements a match begins with, adding what each may consume to
// `run`, up to the first literal.
Lead walk(const ElxInterface& element, FirstUnits& run, FirstUnits& literal) {
    if (const auto* list = dynamic_cast<const CListElxT*>(&element)) {
        if (!forward(list->direction())) return Lead::unusable;
        for (std::size_t i = 0; i < list->size(); ++i) {
            Lead lead = walk(*list->nth(i), run, literal);
            if (lead != Lead::goesOn) return lead;
        }
        return Lead::goesOn;
    }
    // Consume nothing: they only test or record the position.
    const ElxInterface* e = &element;
    if (dynamic_cast<const CBracketElxT*>(e) != nullptr || dynamic_cast<const CBoundaryElxT*>(e) != nullptr ||
        dynamic_cast<const CGlobalElxT*>(e) != nullptr || dynamic_cast<const CAssertElxT*>(e) != nullptr ||
        dynamic_cast<const CEmptyElxT*>(e) != nullptr)
        return Lead::goesOn;
    const ElxInterface* unitElement = &element;
    if (const auto* repeat = dynamic_cast<const CRepeatElxT*>(&element)) unitElement = repeat->element();
    if (const auto* unitClass = dynamic_cast<const CClassElx*>(unitElement)) {
        if (!forward(unitClass->direction())) return Lead::unusable;
        unitClass->collectFirstUnits(run);
        return Lead::goesOn;
    }
    if (const auto* string = dynamic_cast<const CStringElxT*>(&element)) {
        if (!forward(string->direction())) return Lead::unusable;
        if (string->characters().empty()) return Lead::goesOn;
        string->collectFirstUnits(literal);
        return Lead::literal;
    }
    return Lead::unusable;
}

}  // namespace

std::unique_ptr<LiteralAfterRun> LiteralAfterRun::of(const ElxInterface& top) {
    auto run = std::make_unique<FirstUnits>();
    auto literal = std::make_unique<FirstUnits>();
    if (walk(top, *run, *literal) != Lead::literal || run->any || literal->any) return nullptr;
    // Without a run the first units already say all; a literal unit the run
    // could also take would not mark where the run ends.
    if (run->units.none() || (run->units & literal->units).any()) return nullptr;
    auto filter = std::make_unique<LiteralAfterRun>();
    filter->m_run = run->units;
    filter->m_literal = literal->units;
    filter->m_literalPair = unitPairOf(literal->units);
    return filter;
}

int LiteralAfterRun::nextStart(std::u16string_view text, int from, int& knownUntil) const {
    if (from < knownUntil) return from;
    const int length = static_cast<int>(text.size());
    int literalAt = std::max(from, 0);
    if (m_literalPair) {
        const char16_t* units = text.data();
        const auto [a, b] = *m_literalPair;
        literalAt = static_cast<int>(xml::findEither(units + literalAt, units + length, a, b) - units);
    } else {
        while (literalAt < length && !m_literal.test(text[static_cast<std::size_t>(literalAt)])) ++literalAt;
    }
    if (literalAt >= length) return length + 1;
    // Starts before the run that ends at the literal end their own runs on a
    // unit that is not the literal's (this is its first occurrence).
    int start = literalAt;
    while (start > from && m_run.test(text[static_cast<std::size_t>(start) - 1])) --start;
    knownUntil = literalAt + 1;
    return start;
}
