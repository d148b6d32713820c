#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// A sequence that grows in fixed chunks and never moves what it holds, so
// that growing never needs the old and the new storage at once (as a
// vector's doubling does). Only what the store needs: append, drop the
// last, index.
template <typename T, unsigned kChunkBits = 10>
class ChunkedVector {
  public:
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](size_t i) { return chunks_[i >> kChunkBits][i & kMask]; }
    const T& operator[](size_t i) const { return chunks_[i >> kChunkBits][i & kMask]; }

    // May throw std::bad_alloc; the sequence is then unchanged.
    void push_back(const T& value) {
        if ((size_ & kMask) == 0 && (size_ >> kChunkBits) == chunks_.size()) {
            AddChunk();
        }
        (*this)[size_] = value;
        ++size_;
    }
    void pop_back() { --size_; }
    void clear() {
        chunks_.clear();
        size_ = 0;
    }

  private:
    [[gnu::noinline]] void AddChunk() {
        chunks_.reserve(chunks_.size() + 1);
        chunks_.push_back(std::make_unique_for_overwrite<T[]>(kChunk));
    }

    static constexpr size_t kChunk = size_t{1} << kChunkBits;
    static constexpr size_t kMask = kChunk - 1;

    std::vector<std::unique_ptr<T[]>> chunks_;
    size_t size_ = 0;
};
