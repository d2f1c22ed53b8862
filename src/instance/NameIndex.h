#pragma once
// Items looked up by name in one hash table, built once per recalculation so that no step
// scans a snapshot per name. The first item with a name wins, as a scan would find it.
// Open addressing in one allocation: built for every bulk update, it must cost little more
// than hashing the names. Holds pointers into the range it was built from, which must
// outlive it.

#include <bit>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace Tralvonic {

template <class Item> class NameIndex {
public:
    NameIndex() = default;
    template <class Range, class NameOf> NameIndex(const Range& items, NameOf&& nameOf) {
        const auto count = static_cast<std::size_t>(std::size(items));
        if (count == 0) {
            return;
        }
        // At most half full, so probe sequences stay short.
        _slots.resize(std::bit_ceil(count * 2));
        _mask = _slots.size() - 1;
        for (const Item& item : items) {
            const std::string_view name(nameOf(item));
            Slot& slot = _slots[Probe(name)];
            if (slot.Found == nullptr) {
                slot = Slot{name, &item};
            }
        }
    }

    // Null when no item has that name.
    const Item* Find(std::string_view name) const {
        if (_slots.empty()) {
            return nullptr;
        }
        return _slots[Probe(name)].Found;
    }

private:
    struct Slot {
        std::string_view Name;
        const Item* Found = nullptr;
    };

    // The slot holding `name`, or the empty one where it would go.
    std::size_t Probe(std::string_view name) const {
        for (std::size_t index = std::hash<std::string_view>{}(name)&_mask;; index = (index + 1) & _mask) {
            const Slot& slot = _slots[index];
            if (slot.Found == nullptr || slot.Name == name) {
                return index;
            }
        }
    }

    std::vector<Slot> _slots;
    std::size_t _mask = 0;
};

} // namespace Tralvonic
