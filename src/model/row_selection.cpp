#include "model/row_selection.h"

#include <algorithm>
#include <cstddef>

namespace tintwell {

void RowSelection::clear()
{
    m_flags.clear();
    m_count = 0;
    m_anchor = -1;
}

void RowSelection::set(int row, bool selected)
{
    if (row < 0 || contains(row) == selected) {
        return;
    }
    const auto at = static_cast<std::size_t>(row);
    if (at >= m_flags.size()) {
        m_flags.resize(at + 1, false);
    }
    m_flags[at] = selected;
    m_count += selected ? 1 : -1;
}

void RowSelection::add(const std::vector<int>& rows)
{
    if (rows.empty()) {
        return;
    }
    // One growth for the whole list rather than one per row.
    const int last = *std::max_element(rows.begin(), rows.end());
    if (last >= static_cast<int>(m_flags.size())) {
        m_flags.resize(static_cast<std::size_t>(last) + 1, false);
    }
    for (const int row : rows) {
        set(row, true);
    }
}

std::vector<int> RowSelection::rows() const
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(m_count));
    for (std::size_t row = 0; row < m_flags.size() && rows.size() < rows.capacity(); ++row) {
        if (m_flags[row]) {
            rows.push_back(static_cast<int>(row));
        }
    }
    return rows;
}

int RowSelection::first() const
{
    if (m_count == 0) {
        return -1;
    }
    const auto found = std::find(m_flags.begin(), m_flags.end(), true);
    return static_cast<int>(found - m_flags.begin());
}

void RowSelection::follow(const std::vector<int>& origins)
{
    std::vector<bool> moved(origins.size(), false);
    int count = 0;
    int anchor = -1;
    for (std::size_t row = 0; row < origins.size(); ++row) {
        const int from = origins[row];
        if (contains(from)) {
            moved[row] = true;
            ++count;
        }
        if (from >= 0 && from == m_anchor) {
            anchor = static_cast<int>(row);
        }
    }
    m_flags = std::move(moved);
    m_count = count;
    m_anchor = anchor;
}

void RowSelection::keep_below(int row_count)
{
    const auto size = static_cast<std::size_t>(std::max(row_count, 0));
    if (m_flags.size() > size) {
        m_count -= static_cast<int>(
            std::count(m_flags.begin() + static_cast<std::ptrdiff_t>(size), m_flags.end(), true));
        m_flags.resize(size);
    }
    if (m_anchor >= row_count) {
        m_anchor = -1;
    }
}

} // namespace tintwell
