#include "editor/regex/RepeatElements.h"

#include "editor/regex/FirstUnits.h"
#include "editor/regex/MatchContext.h"

// ---- CRepeatElxT

bool CRepeatElxT::forward(MatchContext& context, int done) const
{
    while (done < m_count) {
        context.step(); // "(?:(?:){999999}){999999}" must not run unbounded
        if (m_element->match(context)) {
            ++done;
            continue;
        }
        for (;;) {
            if (done == 0)
                return false;
            context.step();
            if (m_element->matchNext(context))
                break;
            --done;
        }
    }
    return true;
}

bool CRepeatElxT::retry(MatchContext& context) const
{
    int done = m_count;
    for (;;) {
        if (done == 0)
            return false;
        context.step();
        if (m_element->matchNext(context))
            break;
        --done;
    }
    return forward(context, done);
}

bool CRepeatElxT::match(MatchContext& context) const
{
    return forward(context, 0);
}

bool CRepeatElxT::matchNext(MatchContext& context) const
{
    return retry(context);
}

// ---- CGreedyElxT

int CGreedyElxT::addIterations(MatchContext& context, int extra) const
{
    while (extra < m_extra) {
        context.step();
        int before = context.position;
        if (!m_element->match(context))
            break;
        if (context.position == before) {
            bool moved = false;
            while (m_element->matchNext(context)) {
                context.step();
                if (context.position != before) {
                    moved = true;
                    break;
                }
            }
            if (!moved)
                break; // the failed matchNext took the iteration back
        }
        ++extra;
    }
    return extra;
}

bool CGreedyElxT::matchAll(MatchContext& context) const
{
    if (!forward(context, 0))
        return false;
    context.push(addIterations(context, 0));
    return true;
}

bool CGreedyElxT::match(MatchContext& context) const
{
    return matchAll(context);
}

bool CGreedyElxT::matchNext(MatchContext& context) const
{
    int extra = context.pop();
    if (extra > 0) {
        context.step();
        context.push(m_element->matchNext(context) ? extra : extra - 1);
        return true;
    }
    if (!retry(context))
        return false;
    context.push(addIterations(context, 0));
    return true;
}

// ---- CReluctantElxT
// Stack per extra iteration: [iteration's state][position before it]; then the count.

bool CReluctantElxT::match(MatchContext& context) const
{
    if (!forward(context, 0))
        return false;
    context.push(0);
    return true;
}

bool CReluctantElxT::matchNext(MatchContext& context) const
{
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
            if (!m_element->matchNext(context))
                break;
            moved = context.position != before;
        }
        if (moved) {
            context.push(before);
            context.push(count);
            return true;
        }
        --count;
    }
    if (!retry(context))
        return false;
    context.push(0);
    return true;
}

// ---- CPossessiveElxT

bool CPossessiveElxT::match(MatchContext& context) const
{
    int before = context.position;
    std::size_t stackSize = context.stack.size();
    int captureCount = context.captureCount();
    if (!matchAll(context))
        return false;
    context.stack.resize(stackSize);
    context.push(before);
    context.push(captureCount);
    return true;
}

bool CPossessiveElxT::matchNext(MatchContext& context) const
{
    int captureCount = context.pop();
    context.position = context.pop();
    context.truncateCaptures(captureCount);
    return false;
}

// ---- first units

bool CRepeatElxT::collectFirstUnits(FirstUnits& first) const
{
    if (m_count == 0)
        return true;
    return m_element->collectFirstUnits(first);
}

bool CGreedyElxT::collectFirstUnits(FirstUnits& first) const
{
    bool empty = m_element->collectFirstUnits(first);
    return empty || m_count == 0;
}

bool CReluctantElxT::collectFirstUnits(FirstUnits& first) const
{
    bool empty = m_element->collectFirstUnits(first);
    return empty || m_count == 0;
}
