#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

// The records of a cache file found by a 64-bit hash of their key: one array of (hash,
// record) pairs, sorted once, rather than a node of a hash table per record (hundreds of
// small allocations at every start, for a table asked a few hundred times).
class RecordIndex {
public:
    using Entry = std::pair<std::uint64_t, std::size_t>;

    RecordIndex() = default;
    // hashOf(i) is record i's hash, for i below count.
    template <class HashOf>
    RecordIndex(std::size_t count, HashOf hashOf)
    {
        m_entries.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            m_entries.emplace_back(hashOf(i), i);
        // Records of one hash stay in file order: the first of them is the one that counts.
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const Entry& a, const Entry& b) { return a.first < b.first; });
    }

    // The records of this hash, in file order.
    std::span<const Entry> of(std::uint64_t hash) const
    {
        const auto first = std::lower_bound(m_entries.begin(), m_entries.end(), hash,
                                            [](const Entry& e, std::uint64_t h) { return e.first < h; });
        auto last = first;
        while (last != m_entries.end() && last->first == hash)
            ++last;
        return {first, last};
    }

private:
    std::vector<Entry> m_entries;
};
