#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Finds numbered names by hash: open addressing with linear probing, at
// most half full. Each slot keeps part of its name's hash, so that most
// mismatches are settled without looking at the name.
class NameIndex {
  public:
    // The number whose name (as nameOf(number) gives it) equals name, or -1.
    template <typename NameOf>
    int Find(std::string_view name, size_t hash, NameOf nameOf) const {
        if (slots_.empty()) {
            return -1;
        }
        const auto tag = static_cast<std::uint32_t>(hash);
        const size_t mask = slots_.size() - 1;
        for (size_t at = tag & mask; slots_[at].number != 0; at = (at + 1) & mask) {
            if (slots_[at].tag == tag && nameOf(slots_[at].number - 1) == name) {
                return slots_[at].number - 1;
            }
        }
        return -1;
    }

    // Adds a number whose name is not in the index yet. May throw
    // std::bad_alloc; the index is then unchanged.
    void Add(int number, size_t hash);

  private:
    struct Slot {
        std::int32_t number;  // number + 1; 0 marks a free slot
        std::uint32_t tag;
    };

    void Place(Slot slot);

    std::vector<Slot> slots_;
    size_t count_ = 0;
};
