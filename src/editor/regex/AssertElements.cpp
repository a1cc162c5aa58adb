#include "editor/regex/AssertElements.h"

#include <memory>

#include "editor/regex/FirstUnits.h"
#include "editor/regex/MatchContext.h"

bool CAssertElxT::match(MatchContext& context) const {
    int before = context.position;
    std::size_t stackSize = context.stack.size();
    int captureCount = context.captureCount();
    bool matched = m_element->match(context);
    context.position = before;
    context.stack.resize(stackSize);
    if (matched != m_positive) {
        context.truncateCaptures(captureCount);
        return false;
    }
    context.push(captureCount);
    return true;
}

bool CAssertElxT::matchNext(MatchContext& context) const {
    context.truncateCaptures(context.pop());
    return false;
}

bool CIndependentElxT::match(MatchContext& context) const {
    int before = context.position;
    std::size_t stackSize = context.stack.size();
    int captureCount = context.captureCount();
    if (!m_element->match(context)) return false;
    context.stack.resize(stackSize);
    context.push(before);
    context.push(captureCount);
    return true;
}

bool CIndependentElxT::matchNext(MatchContext& context) const {
    int captureCount = context.pop();
    context.position = context.pop();
    context.truncateCaptures(captureCount);
    return false;
}

bool CConditionElxT::match(MatchContext& context) const {
    int captureCount = context.captureCount();
    bool yes = true;
    if (m_number >= 0) {
        yes = context.latestCapture(m_number) >= 0;
    } else if (m_assertion != nullptr) {
        int before = context.position;
        std::size_t stackSize = context.stack.size();
        yes = m_assertion->match(context);
        context.position = before;
        context.stack.resize(stackSize);
    }
    const ElxInterface* branch = yes ? m_yes : m_no;
    if (branch != nullptr && !branch->match(context)) {
        context.truncateCaptures(captureCount);
        return false;
    }
    context.push(captureCount);
    context.push(yes ? 1 : 0);
    return true;
}

bool CConditionElxT::matchNext(MatchContext& context) const {
    int yes = context.pop();
    int captureCount = context.pop();
    const ElxInterface* branch = yes ? m_yes : m_no;
    if (branch != nullptr && branch->matchNext(context)) {
        context.push(captureCount);
        context.push(yes);
        return true;
    }
    context.truncateCaptures(captureCount);
    return false;
}

// ---- first units

bool CAssertElxT::collectFirstUnits(FirstUnits&) const {
    return true;  // consumes nothing; what follows decides
}

bool CIndependentElxT::collectFirstUnits(FirstUnits& first) const { return m_element->collectFirstUnits(first); }

bool CConditionElxT::collectFirstUnits(FirstUnits& first) const {
    bool empty = m_yes == nullptr || m_yes->collectFirstUnits(first);
    empty = m_no == nullptr || m_no->collectFirstUnits(first) || empty;
    return empty;
}

// ---- limiting backtracking
// A body that is run once and not retried may end anywhere: nothing after it
// is known from inside.

namespace {

void limitOpenEnded(const ElxInterface* element) {
    if (element == nullptr) return;
    auto unknown = std::make_unique<FirstUnits>();
    unknown->any = true;
    element->limitBacktracking(*unknown);
}

}  // namespace

void CAssertElxT::limitBacktracking(const FirstUnits&) const { limitOpenEnded(m_element); }

void CIndependentElxT::limitBacktracking(const FirstUnits&) const { limitOpenEnded(m_element); }

void CConditionElxT::limitBacktracking(const FirstUnits& follow) const {
    limitOpenEnded(m_assertion);
    if (m_yes != nullptr) m_yes->limitBacktracking(follow);
    if (m_no != nullptr) m_no->limitBacktracking(follow);
}
