#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Text kept in blocks that never move, so that a stretch keeps its place
// however much is added later. A stretch is named by a 32-bit offset: its
// block's number in the high bits, its place in the block in the low bits.
// Small stretches share blocks; a large one gets an allocation of its own
// size, which takes as many block numbers as it spans.
class TextArena {
  public:
    // Room for size bytes in one piece; its offset. Throws std::bad_alloc
    // when memory or the 4 GiB of offsets run out.
    std::uint32_t Allocate(size_t size) {
        if (size != 0 && size <= kLargeStretch && used_ + size <= kBlockSize) {
            auto offset = static_cast<std::uint32_t>((shared_ << kBlockBits) | used_);
            used_ += size;
            return offset;
        }
        return AllocateBlock(size);
    }
    // Keeps a copy of the text; its offset.
    std::uint32_t Keep(std::string_view text);

    char* At(std::uint32_t offset) { return blocks_[offset >> kBlockBits] + (offset & kBlockMask); }
    const char* At(std::uint32_t offset) const {
        return blocks_[offset >> kBlockBits] + (offset & kBlockMask);
    }
    std::string_view View(std::uint32_t offset, std::uint32_t length) const {
        return length == 0 ? std::string_view() : std::string_view(At(offset), length);
    }

    void Clear();

  private:
    std::uint32_t AllocateBlock(size_t size);

    static constexpr unsigned kBlockBits = 16;
    static constexpr size_t kBlockSize = size_t{1} << kBlockBits;
    static constexpr std::uint32_t kBlockMask = kBlockSize - 1;
    // Larger stretches get an allocation of their own, so that a shared
    // block never loses more than this at its end.
    static constexpr size_t kLargeStretch = kBlockSize / 16;

    std::vector<char*> blocks_;  // by block number
    std::vector<std::unique_ptr<char[]>> owned_;
    size_t shared_ = 0;         // number of the block that small stretches share
    size_t used_ = kBlockSize;  // bytes taken in it; full until there is one
};
