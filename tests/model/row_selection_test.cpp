// The preview's selection follows its styles when an edit puts the rows in a new order, and
// comes back as far as it can when the edit is undone.
#include "model/document_edit.h"
#include "model/row_selection.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tintwell;

namespace {

struct FollowCase
{
    const char* what;
    int table_size;
    /// The new order as `DocumentEdit::reorder` takes it (-1 for a row brought in).
    std::vector<int> order;
    std::vector<int> selected;
    int anchor;
    std::vector<int> after_apply;
    int anchor_after_apply;
    std::vector<int> after_revert;
    int anchor_after_revert;
};

class SelectionFollows : public ::testing::TestWithParam<FollowCase>
{
};

TEST_P(SelectionFollows, ApplyAndRevertOfAReorder)
{
    const FollowCase& c = GetParam();
    const std::vector<StyleRow> table(static_cast<std::size_t>(c.table_size));
    int added = 0;
    for (const int from : c.order) {
        added += from < 0 ? 1 : 0;
    }
    DocumentEdit edit;
    edit.reorder(table, c.order, std::vector<StyleRow>(static_cast<std::size_t>(added)));
    RowSelection selection;
    selection.add(c.selected);
    selection.set_anchor(c.anchor);

    const auto forward = edit.row_origins();
    ASSERT_TRUE(forward.has_value());
    selection.follow(*forward);
    EXPECT_EQ(selection.rows(), c.after_apply);
    EXPECT_EQ(selection.count(), static_cast<int>(c.after_apply.size()));
    EXPECT_EQ(selection.anchor(), c.anchor_after_apply);

    const auto backward = edit.row_origins(true);
    ASSERT_TRUE(backward.has_value());
    EXPECT_EQ(backward->size(), static_cast<std::size_t>(c.table_size));
    selection.follow(*backward);
    EXPECT_EQ(selection.rows(), c.after_revert);
    EXPECT_EQ(selection.count(), static_cast<int>(c.after_revert.size()));
    EXPECT_EQ(selection.anchor(), c.anchor_after_revert);
}

const FollowCase follow_cases[] = {
    // Rows added before the selection push it down; undo brings it back up.
    { "insert_before", 3, { -1, -1, 0, 1, 2 }, { 0, 2 }, 2, { 2, 4 }, 4, { 0, 2 }, 2 },
    // A removed style leaves the selection; undo brings the style back unselected.
    { "remove_selected", 3, { 0, 2 }, { 1, 2 }, 1, { 1 }, -1, { 2 }, -1 },
    // Removing the last rows must not leave flags past the end of the table.
    { "remove_tail", 4, { 0, 1 }, { 1, 3 }, 3, { 1 }, -1, { 1 }, -1 },
    { "reverse", 3, { 2, 1, 0 }, { 0 }, 0, { 2 }, 2, { 0 }, 0 },
    // Rows inserted between selected ones come in unselected.
    { "insert_between", 2, { 0, -1, 1 }, { 0, 1 }, -1, { 0, 2 }, -1, { 0, 1 }, -1 },
};

INSTANTIATE_TEST_SUITE_P(Reorders, SelectionFollows, ::testing::ValuesIn(follow_cases),
    [](const auto& info) { return info.param.what; });

TEST(RowSelection, EditsThatKeepEveryRowInPlaceGiveNoOrigins)
{
    const std::vector<StyleRow> table(3);
    DocumentEdit same;
    same.reorder(table, { 0, 1, 2 }, {});
    EXPECT_FALSE(same.row_origins().has_value());
    DocumentEdit cells;
    StyleRow changed;
    changed.set_scale("2");
    cells.replace_row(1, table[1], changed);
    EXPECT_FALSE(cells.row_origins(true).has_value());
}

TEST(RowSelection, CountStaysRightThroughRepeatsOutOfRangeRowsAndShrinking)
{
    RowSelection selection;
    selection.add({ 5, 5, 2, 9 });
    selection.set(-3, true);
    selection.set(2, true);
    EXPECT_EQ(selection.count(), 3);
    EXPECT_FALSE(selection.contains(-3));
    EXPECT_FALSE(selection.contains(100));
    selection.set(5, false);
    selection.set(5, false);
    EXPECT_EQ(selection.rows(), (std::vector<int> { 2, 9 }));
    selection.set_anchor(9);
    selection.keep_below(6);
    EXPECT_EQ(selection.rows(), (std::vector<int> { 2 }));
    EXPECT_EQ(selection.count(), 1);
    EXPECT_EQ(selection.anchor(), -1);
    EXPECT_EQ(selection.first(), 2);
}

} // namespace
