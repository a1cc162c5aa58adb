#include "editor/Partition.h"

#include <algorithm>

void Partition::clear() {
    m_starts.clear();
    m_stepPart = 0;
    m_stepLength = 0;
}

void Partition::assign(std::vector<int> startsWithClosing) {
    m_starts.assign(std::move(startsWithClosing));
    m_stepPart = parts();
    m_stepLength = 0;
}

void Partition::applyStepTo(int part) {
    part = std::min(part, parts());
    if (m_stepLength != 0) {
        for (int i = m_stepPart + 1; i <= part; ++i) m_starts[static_cast<std::size_t>(i)] += m_stepLength;
    }
    m_stepPart = std::max(m_stepPart, part);
    if (m_stepPart == parts()) m_stepLength = 0;
}

void Partition::withdrawStepTo(int part) {
    if (m_stepLength != 0) {
        for (int i = part + 1; i <= m_stepPart; ++i) m_starts[static_cast<std::size_t>(i)] -= m_stepLength;
    }
    m_stepPart = part;
}

void Partition::shiftAfter(int part, int delta) {
    if (delta == 0 || empty() || part >= parts()) return;
    part = std::max(part, 0);
    if (m_stepLength == 0 || part >= m_stepPart) {
        // The new step begins where the pending one has got to (or here).
        applyStepTo(part);
        if (m_stepLength == 0) m_stepPart = part;
        m_stepLength += delta;
    } else if (part >= m_stepPart - parts() / 10) {
        // A little before the step: take the step back to here.
        withdrawStepTo(part);
        m_stepLength += delta;
    } else {
        applyStepTo(parts());
        m_stepPart = part;
        m_stepLength = delta;
    }
    if (m_stepPart >= parts()) m_stepLength = 0;
}

void Partition::insertPart(int part, int value) {
    if (m_stepPart < part) applyStepTo(part);
    m_starts.insert(static_cast<std::size_t>(part), value);
    ++m_stepPart;
}

void Partition::removePart(int part) {
    if (part > m_stepPart) applyStepTo(part);
    --m_stepPart;
    m_starts.erase(static_cast<std::size_t>(part), 1);
}

int Partition::partOf(int value) const {
    if (parts() <= 1) return 0;
    const int hint = std::min(m_lastPart, parts() - 1);
    if (start(hint) <= value && (hint == parts() - 1 || value < start(hint + 1))) return hint;
    // The first entry greater than value, among 1..parts() - 1.
    int low = 1;
    int high = parts();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (start(middle) <= value) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    m_lastPart = low - 1;
    return m_lastPart;
}
