#pragma once
// One of the instance's communication lists (radio, phone or megaphone): at most one entry
// per name, each entry a plain value. Game threads change it, recalculations write their
// results into it, audio threads read it. Every change republishes the whole list as an
// immutable snapshot under the list's own mutex, so a reader takes one pointer under that
// mutex and then sees every entry, computed fields included, in one consistent state, with
// no copy of the entries and no allocation on its side.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace Tralvonic {

// Entry has a member `Communication` whose `Name` keys the list; lists that recalculations
// write into also have a comparable member `Reception`.
template <class Entry> class CommunicationList {
public:
    using Snapshot = std::shared_ptr<const std::vector<Entry>>;

    CommunicationList() : _published(std::make_shared<const std::vector<Entry>>()) {}
    CommunicationList(const CommunicationList&) = delete;
    CommunicationList& operator=(const CommunicationList&) = delete;

    // The list as last published; never null.
    Snapshot Entries() const {
        std::lock_guard lock(_mutex);
        return _published;
    }

    std::size_t Count() const { return Entries()->size(); }

    bool TryGet(std::string_view name, Entry& entry) const {
        const auto entries = Entries();
        const auto found = Find(*entries, name);
        if (found == entries->end()) {
            return false;
        }
        entry = *found;
        return true;
    }

    enum class Stored { Added, Updated, Full };

    // Applies `update(stored)` to the entry with `entry`'s name, or appends `entry` when there
    // is none and the list holds fewer than `capacity` entries.
    template <class Update> Stored AddOrUpdate(Entry entry, std::size_t capacity, Update&& update) {
        Snapshot previous;
        std::lock_guard lock(_mutex);
        auto entries = *_published;
        auto found = Find(entries, entry.Communication.Name);
        Stored stored = Stored::Updated;
        if (found != entries.end()) {
            update(*found);
        } else if (entries.size() < capacity) {
            entries.push_back(std::move(entry));
            stored = Stored::Added;
        } else {
            return Stored::Full;
        }
        previous = Publish(std::move(entries));
        return stored;
    }

    // Removes the entry with that name and hands it back.
    std::optional<Entry> Remove(std::string_view name) {
        Snapshot previous;
        std::lock_guard lock(_mutex);
        auto entries = *_published;
        auto found = Find(entries, name);
        if (found == entries.end()) {
            return std::nullopt;
        }
        std::optional<Entry> removed(std::move(*found));
        entries.erase(found);
        previous = Publish(std::move(entries));
        return removed;
    }

    // Stores what a recalculation worked out for entries of the snapshot `computedFrom`:
    // (index in that snapshot, reception) pairs. Entries removed meanwhile are skipped. When
    // nothing differs from what is stored, nothing is published: the usual case of a
    // recalculation, which then costs no copy of the list.
    template <class Reception>
    void WriteReceptions(const Snapshot& computedFrom,
                         const std::vector<std::pair<std::size_t, Reception>>& results) {
        if (results.empty()) {
            return;
        }
        Snapshot previous;
        std::lock_guard lock(_mutex);
        const bool isUnchangedList = _published == computedFrom;
        // The stored entry a result belongs to, in `entries`; end() when it is gone.
        const auto storedFor = [&](auto& entries, std::size_t index) {
            if (isUnchangedList) {
                return entries.begin() + static_cast<std::ptrdiff_t>(index);
            }
            return Find(entries, (*computedFrom)[index].Communication.Name);
        };
        const bool differs = std::any_of(results.begin(), results.end(), [&](const auto& result) {
            const auto stored = storedFor(*_published, result.first);
            return stored != _published->end() && !(stored->Reception == result.second);
        });
        if (!differs) {
            return;
        }
        auto entries = *_published;
        for (const auto& [index, reception] : results) {
            if (const auto stored = storedFor(entries, index); stored != entries.end()) {
                stored->Reception = reception;
            }
        }
        previous = Publish(std::move(entries));
    }

    // The same for one entry, found by name.
    template <class Reception> void WriteReception(std::string_view name, const Reception& reception) {
        Snapshot previous;
        std::lock_guard lock(_mutex);
        const auto stored = Find(*_published, name);
        if (stored == _published->end() || stored->Reception == reception) {
            return;
        }
        auto entries = *_published;
        Find(entries, name)->Reception = reception;
        previous = Publish(std::move(entries));
    }

private:
    template <class Entries> static auto Find(Entries& entries, std::string_view name) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const Entry& entry) { return entry.Communication.Name == name; });
    }

    // Swaps the new list in and hands the old one back, so that it dies after the lock is
    // released (it is declared before the lock in every caller).
    Snapshot Publish(std::vector<Entry> entries) {
        return std::exchange(_published, std::make_shared<const std::vector<Entry>>(std::move(entries)));
    }

    mutable std::mutex _mutex;
    Snapshot _published;
};

} // namespace Tralvonic
