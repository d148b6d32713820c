#include "ini/text_arena.h"

#include <cstring>
#include <new>

namespace {

constexpr size_t kMaxBlocks = size_t{1} << 16;  // 32-bit offsets

}  // namespace

std::uint32_t TextArena::AllocateBlock(size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t spans = size <= kLargeStretch ? 1 : (size + kBlockSize - 1) / kBlockSize;
    if (spans > kMaxBlocks - blocks_.size()) {
        throw std::bad_alloc();
    }
    const size_t first = blocks_.size();
    blocks_.reserve(first + spans);
    owned_.reserve(owned_.size() + 1);
    auto memory = std::make_unique_for_overwrite<char[]>(size <= kLargeStretch ? kBlockSize : size);
    for (size_t i = 0; i < spans; ++i) {
        blocks_.push_back(memory.get() + i * kBlockSize);
    }
    owned_.push_back(std::move(memory));
    if (size <= kLargeStretch) {
        shared_ = first;
        used_ = size;
    }
    return static_cast<std::uint32_t>(first << kBlockBits);
}

std::uint32_t TextArena::Keep(std::string_view text) {
    std::uint32_t offset = Allocate(text.size());
    if (!text.empty()) {
        std::memcpy(At(offset), text.data(), text.size());
    }
    return offset;
}

void TextArena::Clear() {
    blocks_.clear();
    owned_.clear();
    shared_ = 0;
    used_ = kBlockSize;
}
