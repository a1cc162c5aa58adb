// A sequence kept in one block with a movable gap, so that a run of
// insertions and deletions near one place costs the distance between them,
// not a shift of everything behind them.
//
// Invariants: m_body.size() == size() + m_gapLength; the elements are
// m_body[0, m_gapStart) followed by m_body[m_gapStart + m_gapLength, end),
// and what the gap holds is of no meaning. compacted() drops the gap into
// the body's spare capacity (m_gapLength 0, the gap "at the end"), which is
// what lets a std::u16string body be handed out as the whole text.
//
// Pointers from range() and compacted() stay valid until the next change or
// the next range() or compacted() call: each may move the gap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>

template <typename Container>
class GapBuffer {
public:
    using value_type = typename Container::value_type;

    GapBuffer() = default;
    explicit GapBuffer(Container body) { assign(std::move(body)); }

    std::size_t size() const { return m_body.size() - m_gapLength; }
    bool empty() const { return size() == 0; }

    const value_type& operator[](std::size_t index) const { return m_body[physical(index)]; }
    value_type& operator[](std::size_t index) { return m_body[physical(index)]; }

    // Takes body as the whole sequence, with no gap yet.
    void assign(Container body) {
        m_body = std::move(body);
        m_gapStart = m_body.size();
        m_gapLength = 0;
    }
    void clear() { assign(Container{}); }

    void insert(std::size_t position, const value_type* values, std::size_t count) {
        if (count == 0) return;
        makeRoom(position, count);
        std::copy(values, values + count, m_body.begin() + static_cast<std::ptrdiff_t>(position));
        m_gapStart += count;
        m_gapLength -= count;
    }
    void insert(std::size_t position, value_type value) {
        makeRoom(position, 1);
        m_body[position] = std::move(value);
        ++m_gapStart;
        --m_gapLength;
    }
    void erase(std::size_t position, std::size_t count) {
        if (count == 0) return;
        moveGap(position);
        m_gapLength += count;
    }

    // Copies [position, position + count) out without moving the gap.
    template <typename Output>
    void copyTo(std::size_t position, std::size_t count, Output out) const {
        const std::size_t end = position + count;
        auto body = m_body.begin();
        if (position < m_gapStart) {
            const std::size_t before = std::min(end, m_gapStart);
            out = std::copy(body + static_cast<std::ptrdiff_t>(position), body + static_cast<std::ptrdiff_t>(before),
                            out);
            position = before;
        }
        if (position < end) {
            std::copy(body + static_cast<std::ptrdiff_t>(position + m_gapLength),
                      body + static_cast<std::ptrdiff_t>(end + m_gapLength), out);
        }
    }

    // [position, position + count) as one run, the gap moved to whichever of
    // the range's edges is nearer when it lies inside.
    const value_type* range(std::size_t position, std::size_t count) {
        if (position < m_gapStart && position + count > m_gapStart) {
            moveGap(m_gapStart - position <= position + count - m_gapStart ? position : position + count);
        }
        if (m_body.empty()) return nullptr;
        return m_body.data() + physical(position);
    }

    // The whole sequence as one container: the gap goes to the end and into
    // the spare capacity, where the next insertion finds it again.
    const Container& compacted() {
        moveGap(size());
        m_body.resize(size());
        m_gapLength = 0;
        return m_body;
    }

private:
    // Room for a few thousand keystrokes, more for big buffers, so that the
    // gap is seldom regrown; a regrowth moves the tail once.
    static constexpr std::size_t kMinimumGap = 256;
    static constexpr std::size_t kMaximumGrowth = std::size_t{1} << 20;

    std::size_t physical(std::size_t index) const { return index < m_gapStart ? index : index + m_gapLength; }

    void moveGap(std::size_t position) {
        if (m_gapLength == 0) {
            m_gapStart = position;
            return;
        }
        auto body = m_body.begin();
        const auto gapStart = static_cast<std::ptrdiff_t>(m_gapStart);
        const auto gapLength = static_cast<std::ptrdiff_t>(m_gapLength);
        const auto to = static_cast<std::ptrdiff_t>(position);
        if (position < m_gapStart) {
            std::move_backward(body + to, body + gapStart, body + gapStart + gapLength);
        } else if (position > m_gapStart) {
            std::move(body + gapStart + gapLength, body + to + gapLength, body + gapStart);
        }
        m_gapStart = position;
    }

    void makeRoom(std::size_t position, std::size_t count) {
        if (m_gapLength < count) {
            moveGap(size());
            const std::size_t length = size();
            const std::size_t gap = count + std::clamp(length / 8, kMinimumGap, kMaximumGrowth);
            m_body.resize(length + gap);
            m_gapLength = gap;
        }
        moveGap(position);
    }

    Container m_body;
    std::size_t m_gapStart = 0;
    std::size_t m_gapLength = 0;
};
