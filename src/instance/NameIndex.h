#pragma once
// Items looked up by name in one hash map, built once per recalculation so that no step
// scans a snapshot per name. The first item with a name wins, as a scan would find it.
// Holds pointers into the range it was built from, which must outlive it.

#include <cstddef>
#include <string_view>
#include <unordered_map>

namespace Tralvonic {

template <class Item> class NameIndex {
public:
    NameIndex() = default;
    template <class Range, class NameOf> NameIndex(const Range& items, NameOf&& nameOf) {
        _items.reserve(static_cast<std::size_t>(std::size(items)));
        for (const Item& item : items) {
            _items.try_emplace(std::string_view(nameOf(item)), &item);
        }
    }

    // Null when no item has that name.
    const Item* Find(std::string_view name) const {
        if (_items.empty()) {
            return nullptr;
        }
        const auto found = _items.find(name);
        return found != _items.end() ? found->second : nullptr;
    }

private:
    std::unordered_map<std::string_view, const Item*> _items;
};

} // namespace Tralvonic
