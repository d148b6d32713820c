#include "ini/name_index.h"

#include <utility>

void NameIndex::Add(int number, size_t hash) {
    if ((count_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> grown(slots_.empty() ? 16 : slots_.size() * 2, Slot{0, 0});
        grown.swap(slots_);
        for (const Slot& slot : grown) {
            if (slot.number != 0) {
                Place(slot);
            }
        }
    }
    Place(Slot{number + 1, static_cast<std::uint32_t>(hash)});
    ++count_;
}

void NameIndex::Place(Slot slot) {
    const size_t mask = slots_.size() - 1;
    size_t at = slot.tag & mask;
    while (slots_[at].number != 0) {
        at = (at + 1) & mask;
    }
    slots_[at] = slot;
}
