#include "editor/regex/StructureElements.h"

#include <memory>

#include "editor/regex/FirstUnits.h"
#include "editor/regex/MatchContext.h"

// ---- CListElxT

CListElxT::CListElxT(std::vector<const ElxInterface*> elements, regex::Direction direction)
    : m_elements(std::move(elements)), m_direction(direction) {}

const ElxInterface* CListElxT::nth(std::size_t i) const {
    return m_direction == regex::Direction::rightToLeft ? m_elements[m_elements.size() - 1 - i] : m_elements[i];
}

bool CListElxT::forward(MatchContext& context, std::size_t done) const {
    while (done < m_elements.size()) {
        if (nth(done)->match(context)) {
            ++done;
            continue;
        }
        // Ask the elements already matched, nearest first, for another way.
        for (;;) {
            if (done == 0) return false;
            context.step();
            if (nth(done - 1)->matchNext(context)) break;
            --done;
        }
    }
    return true;
}

bool CListElxT::match(MatchContext& context) const { return forward(context, 0); }

bool CListElxT::matchNext(MatchContext& context) const {
    std::size_t done = m_elements.size();
    for (;;) {
        if (done == 0) return false;
        context.step();
        if (nth(done - 1)->matchNext(context)) break;
        --done;
    }
    return forward(context, done);
}

// ---- CAlternativeElxT

bool CAlternativeElxT::tryFrom(MatchContext& context, std::size_t first) const {
    for (std::size_t i = first; i < m_branches.size(); ++i) {
        if (m_branches[i]->match(context)) {
            context.push(static_cast<int>(i));
            return true;
        }
        context.step();
    }
    return false;
}

bool CAlternativeElxT::match(MatchContext& context) const { return tryFrom(context, 0); }

bool CAlternativeElxT::matchNext(MatchContext& context) const {
    std::size_t taken = static_cast<std::size_t>(context.pop());
    if (taken >= m_branches.size()) return false;
    if (m_branches[taken]->matchNext(context)) {
        context.push(static_cast<int>(taken));
        return true;
    }
    return tryFrom(context, taken + 1);
}

// ---- CBracketElxT
// Capture fields: 0 group, 1 start, 2 end (-1 while open), 3 depth counter.

bool CBracketElxT::match(MatchContext& context) const {
    int entry = context.latestCapture(m_number);
    if (m_side == BracketSide::opening) {
        if (entry >= 0 && context.captureField(entry, 2) == -1)
            --context.captureField(entry, 3);
        else
            context.openCapture(m_number, context.position, 0);
        return true;
    }
    if (entry < 0) return true;
    if (context.captureField(entry, 3) < 0) {
        ++context.captureField(entry, 3);
    } else {
        context.captureField(entry, 2) = context.position;
        context.captureField(entry, 3) = context.closingCounter++;
    }
    return true;
}

bool CBracketElxT::matchNext(MatchContext& context) const {
    int entry = context.latestCapture(m_number);
    if (entry < 0) return false;
    if (m_side == BracketSide::opening) {
        if (context.captureField(entry, 3) < 0)
            ++context.captureField(entry, 3);
        else
            context.truncateCaptures(entry);
        return false;
    }
    if (context.captureField(entry, 2) == -1) {
        --context.captureField(entry, 3);
    } else {
        context.captureField(entry, 2) = -1;
        context.captureField(entry, 3) = 0;
    }
    return false;
}

// ---- CDelegateElxT

bool CDelegateElxT::match(MatchContext& context) const {
    if (m_target == nullptr) return true;
    RecursionGuard guard(context);
    context.step();
    return m_target->match(context);
}

bool CDelegateElxT::matchNext(MatchContext& context) const {
    if (m_target == nullptr) return false;
    RecursionGuard guard(context);
    context.step();
    return m_target->matchNext(context);
}

// ---- first units

bool CListElxT::collectFirstUnits(FirstUnits& first) const {
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (!nth(i)->collectFirstUnits(first)) return false;
    }
    return true;
}

bool CAlternativeElxT::collectFirstUnits(FirstUnits& first) const {
    bool empty = false;
    for (const ElxInterface* branch : m_branches) empty = branch->collectFirstUnits(first) || empty;
    return empty;
}

bool CBracketElxT::collectFirstUnits(FirstUnits&) const { return true; }

bool CDelegateElxT::collectFirstUnits(FirstUnits& first) const {
    // Following the target could loop; a recursion start is left open.
    first.any = true;
    return true;
}

// ---- limiting backtracking

void CListElxT::limitBacktracking(const FirstUnits& follow) const {
    // Walks from the last element matched to the first, carrying what can come
    // after each: the next element's first units, and beyond it when that one
    // can match empty.
    auto after = std::make_unique<FirstUnits>(follow);
    for (std::size_t i = m_elements.size(); i-- > 0;) {
        const ElxInterface* element = nth(i);
        element->limitBacktracking(*after);
        auto before = std::make_unique<FirstUnits>();
        if (element->collectFirstUnits(*before)) {
            before->units |= after->units;
            before->any = before->any || after->any;
        }
        after = std::move(before);
    }
}

void CAlternativeElxT::limitBacktracking(const FirstUnits& follow) const {
    for (const ElxInterface* branch : m_branches) branch->limitBacktracking(follow);
}
