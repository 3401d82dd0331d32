#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tintwell {

/// Small integer ids for keys, in the order they are first met: the keys by id and an
/// open-addressing table of ids, some 30 bytes a key where a map of nodes takes well over a
/// hundred, and no allocation for each key. `Traits` gives `hash(key)` and `equal(a, b)`.
template <typename Key, typename Traits> class IdTable
{
public:
    /// The key's id; the next one for a key not met before.
    int id(Key key)
    {
        if (4 * (m_keys.size() + 1) > 3 * m_slots.size()) {
            grow();
        }
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = Traits::hash(key) & mask;; at = (at + 1) & mask) {
            const int found = m_slots[at];
            if (found < 0) {
                m_slots[at] = static_cast<int>(m_keys.size());
                m_keys.push_back(key);
                return m_slots[at];
            }
            if (Traits::equal(m_keys[static_cast<std::size_t>(found)], key)) {
                return found;
            }
        }
    }
    int size() const { return static_cast<int>(m_keys.size()); }

private:
    void grow()
    {
        m_slots.assign(std::max<std::size_t>(16, 2 * m_slots.size()), -1);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t id = 0; id < m_keys.size(); ++id) {
            std::size_t at = Traits::hash(m_keys[id]) & mask;
            while (m_slots[at] >= 0) {
                at = (at + 1) & mask;
            }
            m_slots[at] = static_cast<int>(id);
        }
    }

    std::vector<Key> m_keys;
    // The id of the key in each slot, -1 in a free one.
    std::vector<int> m_slots;
};

/// A 64-bit value's bits mixed, for a hash.
inline std::size_t mixed(std::uint64_t h)
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
}

/// Traits of an IdTable of 64-bit words.
struct WordTraits
{
    static std::size_t hash(std::uint64_t key) { return mixed(key); }
    static bool equal(std::uint64_t a, std::uint64_t b) { return a == b; }
};

} // namespace tintwell
