#include "editor/regex/RepeatElements.h"

#include <cstdint>
#include <memory>

#include "editor/regex/CharacterElements.h"
#include "editor/regex/FirstUnits.h"
#include "editor/regex/MatchContext.h"

namespace {

// An iteration is followed by another iteration or by what follows the repeat.
void limitIterations(const ElxInterface& element, const FirstUnits& follow) {
    auto next = std::make_unique<FirstUnits>(follow);
    element.collectFirstUnits(*next);
    element.limitBacktracking(*next);
}

bool sharesAUnit(const FirstUnits& follow, const CClassElx& unitClass) {
    for (std::uint32_t unit = 0; unit < follow.units.size(); ++unit) {
        if (follow.units.test(unit) && unitClass.contains(static_cast<char16_t>(unit))) return true;
    }
    return false;
}

int stepOf(const CClassElx& unitClass) { return unitClass.direction() == regex::Direction::rightToLeft ? -1 : 1; }

}  // namespace

// ---- CRepeatElxT

bool CRepeatElxT::forward(MatchContext& context, int done) const {
    while (done < m_count) {
        context.step();  // "(?:(?:){999999}){999999}" must not run unbounded
        if (m_element->match(context)) {
            ++done;
            continue;
        }
        for (;;) {
            if (done == 0) return false;
            context.step();
            if (m_element->matchNext(context)) break;
            --done;
        }
    }
    return true;
}

bool CRepeatElxT::retry(MatchContext& context) const {
    int done = m_count;
    for (;;) {
        if (done == 0) return false;
        context.step();
        if (m_element->matchNext(context)) break;
        --done;
    }
    return forward(context, done);
}

bool CRepeatElxT::match(MatchContext& context) const { return forward(context, 0); }

bool CRepeatElxT::matchNext(MatchContext& context) const { return retry(context); }

// ---- CGreedyElxT

CGreedyElxT::CGreedyElxT(const ElxInterface* element, int minimum, int extra)
    : CRepeatElxT(element, minimum), m_extra(extra), m_unitClass(dynamic_cast<const CClassElx*>(element)) {}

int CGreedyElxT::unitRun(const MatchContext& context) const {
    const std::int64_t most = static_cast<std::int64_t>(m_count) + m_extra;
    const int from = context.position;
    int to = from;
    if (m_unitClass->direction() == regex::Direction::rightToLeft) {
        if (from <= 0 || from > context.length) return 0;
        const int limit = most < from ? from - static_cast<int>(most) : 0;
        while (to > limit && m_unitClass->contains(context.at(to - 1))) --to;
        return from - to;
    }
    if (from < 0 || from >= context.length) return 0;
    const int limit = most < context.length - from ? from + static_cast<int>(most) : context.length;
    while (to < limit && m_unitClass->contains(context.at(to))) ++to;
    return to - from;
}

int CGreedyElxT::addIterations(MatchContext& context, int extra) const {
    while (extra < m_extra) {
        context.step();
        int before = context.position;
        if (!m_element->match(context)) break;
        if (context.position == before) {
            bool moved = false;
            while (m_element->matchNext(context)) {
                context.step();
                if (context.position != before) {
                    moved = true;
                    break;
                }
            }
            if (!moved) break;  // the failed matchNext took the iteration back
        }
        ++extra;
    }
    return extra;
}

bool CGreedyElxT::matchAll(MatchContext& context) const {
    if (m_unitClass != nullptr) {
        // The same steps as one iteration at a time: one per unit and the last try.
        const int run = unitRun(context);
        context.step();
        context.spend(run);
        if (run < m_count) return false;
        context.position += stepOf(*m_unitClass) * run;
        context.push(run - m_count);
        return true;
    }
    if (!forward(context, 0)) return false;
    context.push(addIterations(context, 0));
    return true;
}

bool CGreedyElxT::match(MatchContext& context) const { return matchAll(context); }

bool CGreedyElxT::matchNext(MatchContext& context) const {
    int extra = context.pop();
    if (m_unitClass != nullptr) {
        context.step();
        const int step = stepOf(*m_unitClass);
        if (extra > 0 && m_givesBack) {
            context.position -= step;
            context.push(extra - 1);
            return true;
        }
        context.position -= step * (m_count + extra);
        return false;
    }
    if (extra > 0) {
        context.step();
        context.push(m_element->matchNext(context) ? extra : extra - 1);
        return true;
    }
    if (!retry(context)) return false;
    context.push(addIterations(context, 0));
    return true;
}

// ---- CReluctantElxT
// Stack per extra iteration: [iteration's state][position before it]; then the count.

bool CReluctantElxT::match(MatchContext& context) const {
    if (!forward(context, 0)) return false;
    context.push(0);
    return true;
}

bool CReluctantElxT::matchNext(MatchContext& context) const {
    int count = context.pop();
    if (count < m_extra) {
        context.step();
        int before = context.position;
        if (m_element->match(context)) {
            bool moved = context.position != before;
            while (!moved && m_element->matchNext(context)) {
                context.step();
                moved = context.position != before;
            }
            if (moved) {
                context.push(before);
                context.push(count + 1);
                return true;
            }
        }
    }
    while (count > 0) {
        int before = context.pop();
        bool moved = false;
        while (!moved) {
            context.step();
            if (!m_element->matchNext(context)) break;
            moved = context.position != before;
        }
        if (moved) {
            context.push(before);
            context.push(count);
            return true;
        }
        --count;
    }
    if (!retry(context)) return false;
    context.push(0);
    return true;
}

// ---- CPossessiveElxT

bool CPossessiveElxT::match(MatchContext& context) const {
    int before = context.position;
    std::size_t stackSize = context.stack.size();
    int captureCount = context.captureCount();
    if (!matchAll(context)) return false;
    context.stack.resize(stackSize);
    context.push(before);
    context.push(captureCount);
    return true;
}

bool CPossessiveElxT::matchNext(MatchContext& context) const {
    int captureCount = context.pop();
    context.position = context.pop();
    context.truncateCaptures(captureCount);
    return false;
}

// ---- first units

bool CRepeatElxT::collectFirstUnits(FirstUnits& first) const {
    if (m_count == 0) return true;
    return m_element->collectFirstUnits(first);
}

bool CGreedyElxT::collectFirstUnits(FirstUnits& first) const {
    bool empty = m_element->collectFirstUnits(first);
    return empty || m_count == 0;
}

bool CReluctantElxT::collectFirstUnits(FirstUnits& first) const {
    bool empty = m_element->collectFirstUnits(first);
    return empty || m_count == 0;
}

// ---- limiting backtracking

void CRepeatElxT::limitBacktracking(const FirstUnits& follow) const { limitIterations(*m_element, follow); }

void CGreedyElxT::limitBacktracking(const FirstUnits& follow) const {
    if (m_unitClass == nullptr) {
        limitIterations(*m_element, follow);
        return;
    }
    // One unit given back is a unit of the class, which whatever follows must
    // then begin with; when it cannot, the shorter ways all fail there.
    const bool needed = follow.any || sharesAUnit(follow, *m_unitClass);
    m_givesBack = m_settled ? m_givesBack || needed : needed;
    m_settled = true;
}

void CReluctantElxT::limitBacktracking(const FirstUnits& follow) const { limitIterations(*m_element, follow); }

void CPossessiveElxT::limitBacktracking(const FirstUnits&) const {
    // Its iterations end where it stops adding them, never retried from outside.
    auto unknown = std::make_unique<FirstUnits>();
    unknown->any = true;
    limitIterations(*m_element, *unknown);
}
