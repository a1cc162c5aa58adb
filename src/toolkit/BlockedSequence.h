// An indexed sequence kept as a list of bounded blocks, so that inserting or
// removing in the middle of a long sequence (the sentence rows of a long audio
// book) moves at most one block's elements plus one start offset per block,
// instead of every later element.
//
// Invariants: no block is empty; no block holds more than kBlockLimit
// elements; starts_[i] is the index of the first element of blocks_[i], so
// starts_[0] == 0 and starts_[i + 1] == starts_[i] + blocks_[i].size().
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

template <typename T>
class BlockedSequence {
public:
    static constexpr std::size_t kBlockLimit = 512;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void clear() {
        blocks_.clear();
        starts_.clear();
        size_ = 0;
    }

    // index must be below size().
    T& operator[](std::size_t index) {
        const std::size_t b = blockOf(index);
        return blocks_[b][index - starts_[b]];
    }
    const T& operator[](std::size_t index) const {
        const std::size_t b = blockOf(index);
        return blocks_[b][index - starts_[b]];
    }

    // index may equal size() (append).
    void insert(std::size_t index, T value) {
        if (blocks_.empty() || (index >= size_ && blocks_.back().size() >= kBlockLimit)) {
            // Appending opens a fresh block rather than splitting a full one,
            // so rows added in order fill their blocks.
            blocks_.emplace_back();
            blocks_.back().reserve(kBlockLimit);
            starts_.push_back(size_);
        }
        std::size_t b = index >= size_ ? blocks_.size() - 1 : blockOf(index);
        if (blocks_[b].size() >= kBlockLimit) {
            split(b);
            if (index - starts_[b] > blocks_[b].size()) ++b;
        }
        auto& block = blocks_[b];
        block.insert(block.begin() + static_cast<std::ptrdiff_t>(index - starts_[b]), std::move(value));
        ++size_;
        for (std::size_t i = b + 1; i < starts_.size(); ++i) ++starts_[i];
    }

    void push_back(T value) { insert(size_, std::move(value)); }

    // index must be below size().
    void erase(std::size_t index) {
        const std::size_t b = blockOf(index);
        auto& block = blocks_[b];
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(index - starts_[b]));
        --size_;
        if (block.empty()) {
            blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
            starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(b));
            for (std::size_t i = b; i < starts_.size(); ++i) --starts_[i];
        } else {
            for (std::size_t i = b + 1; i < starts_.size(); ++i) --starts_[i];
        }
    }

    // Calls f(element) for index first .. last - 1 in order.
    template <typename F>
    void forRange(std::size_t first, std::size_t last, F&& f) const {
        if (first >= last || first >= size_) return;
        last = std::min(last, size_);
        std::size_t b = blockOf(first);
        std::size_t i = first - starts_[b];
        for (std::size_t n = first; n < last; ++n) {
            if (i == blocks_[b].size()) {
                ++b;
                i = 0;
            }
            f(blocks_[b][i++]);
        }
    }

    std::size_t blockCount() const { return blocks_.size(); }

private:
    std::size_t blockOf(std::size_t index) const {
        const auto it = std::upper_bound(starts_.begin(), starts_.end(), index);
        return static_cast<std::size_t>(it - starts_.begin()) - 1;
    }

    void split(std::size_t b) {
        auto& block = blocks_[b];
        const std::size_t half = block.size() / 2;
        std::vector<T> tail;
        tail.reserve(kBlockLimit);
        std::move(block.begin() + static_cast<std::ptrdiff_t>(half), block.end(), std::back_inserter(tail));
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(half), block.end());
        const std::size_t tailStart = starts_[b] + half;
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1), std::move(tail));
        starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b + 1), tailStart);
    }

    std::vector<std::vector<T>> blocks_;
    std::vector<std::size_t> starts_;
    std::size_t size_ = 0;
};
