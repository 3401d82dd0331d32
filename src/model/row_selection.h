#pragma once

#include <vector>

namespace tintwell {

/// The styles picked out in the preview: one flag for each row of the table, so that asking
/// about a row costs the same with one style selected as with every style of a large theme.
/// Rows outside the table are never selected; asking about them, or picking them, is harmless.
/// The anchor is the row a range of rows is taken from (the last one clicked), -1 when none.
class RowSelection
{
public:
    bool contains(int row) const
    {
        return row >= 0 && row < static_cast<int>(m_flags.size())
            && m_flags[static_cast<std::size_t>(row)];
    }
    int count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    int anchor() const { return m_anchor; }
    void set_anchor(int row) { m_anchor = row < 0 ? -1 : row; }

    /// Nothing selected, no anchor.
    void clear();
    /// Selects `row` or leaves it out; nothing for a negative row.
    void set(int row, bool selected);
    /// Adds every row of `rows` (any order, repeats allowed).
    void add(const std::vector<int>& rows);
    /// The selected rows, in increasing order.
    std::vector<int> rows() const;
    /// The first selected row, or -1.
    int first() const;

    /// The rows were put in a new order: `origins` gives for each new row its position before
    /// (-1 for a row brought in). Selected rows move with their styles; rows that are gone leave
    /// the selection, and the anchor goes with its row.
    void follow(const std::vector<int>& origins);
    /// Only rows below `row_count` stay selected: the table has that many rows now.
    void keep_below(int row_count);

private:
    std::vector<bool> m_flags;
    int m_count = 0;
    int m_anchor = -1;
};

} // namespace tintwell
