#include "model/style_row.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tintwell;

// Texts that differ from cell to cell: the twelve before the style text come to `leading`
// bytes, the style text has `last`.
std::vector<std::string> sample_texts(std::size_t leading, std::size_t last)
{
    std::vector<std::string> texts;
    for (std::size_t cell = 0; cell < style_cell_count; ++cell) {
        texts.emplace_back(std::string(1, static_cast<char>('a' + cell)));
    }
    // The bytes past one a cell are spread over every cell but the style text.
    const std::size_t extra = leading > 12 ? leading - 12 : 0;
    for (std::size_t cell = 0, k = 0; cell < style_cell_count; ++cell) {
        if (static_cast<StyleCell>(cell) != StyleCell::StyleText) {
            const std::size_t more = extra / 12 + (k++ < extra % 12 ? 1 : 0);
            texts[cell].append(more, static_cast<char>('A' + cell));
        }
    }
    texts[static_cast<std::size_t>(StyleCell::StyleText)].assign(last, 'S');
    return texts;
}

StyleRow row_of(const std::vector<std::string>& texts)
{
    StyleTexts views;
    for (std::size_t cell = 0; cell < style_cell_count; ++cell) {
        views[cell] = texts[cell];
    }
    StyleRow row;
    row.pres_code = 21;
    row.assign(views);
    return row;
}

void expect_texts(const StyleRow& row, const std::vector<std::string>& texts)
{
    for (std::size_t cell = 0; cell < style_cell_count; ++cell) {
        EXPECT_EQ(row.get(static_cast<StyleCell>(cell)), texts[cell]) << "cell " << cell;
    }
}

struct Shape
{
    const char* name;
    std::size_t leading;
    std::size_t last;

    friend void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.name; }
};

class StyleRowShape : public testing::TestWithParam<Shape>
{
};

// The short cells of a usual style, the most one-byte offsets hold, the first that need four,
// and cells past 64 KiB, which offsets of two bytes would cut.
INSTANTIATE_TEST_SUITE_P(Shapes, StyleRowShape,
    testing::Values(Shape { "short", 12, 0 }, Shape { "short_long_text", 12, 70000 },
        Shape { "narrow_limit", 255, 30 }, Shape { "wide", 256, 30 },
        Shape { "huge_cells", 70000 + 12, 70000 }),
    [](const auto& info) { return std::string(info.param.name); });

// Every cell set alone comes back, the others stay, in either offset format and across it.
TEST_P(StyleRowShape, EachSetChangesOnlyItsCell)
{
    const std::vector<std::string> texts = sample_texts(GetParam().leading, GetParam().last);
    const StyleRow row = row_of(texts);
    expect_texts(row, texts);
    for (const std::string& value : { std::string(), std::string("x"), std::string(300, 'w') }) {
        for (std::size_t cell = 0; cell < style_cell_count; ++cell) {
            StyleRow changed = row;
            changed.set(static_cast<StyleCell>(cell), value);
            std::vector<std::string> wanted = texts;
            wanted[cell] = value;
            expect_texts(changed, wanted);
            // A row whose texts went there by another way is the same row.
            EXPECT_EQ(changed, row_of(wanted));
            expect_texts(row, texts);
        }
    }
}

// A value that views the row's own texts, of the same or of another cell.
TEST_P(StyleRowShape, SetTakesAViewOfTheRowItself)
{
    const std::vector<std::string> texts = sample_texts(GetParam().leading, GetParam().last);
    for (std::size_t to = 0; to < style_cell_count; ++to) {
        for (std::size_t from = 0; from < style_cell_count; ++from) {
            for (const std::size_t cut : { 0, 1 }) {
                StyleRow row = row_of(texts);
                const std::string_view source = row.get(static_cast<StyleCell>(from));
                row.set(static_cast<StyleCell>(to), source.substr(std::min(cut, source.size())));
                std::vector<std::string> wanted = texts;
                wanted[to] = texts[from].substr(std::min(cut, texts[from].size()));
                expect_texts(row, wanted);
            }
        }
    }
}

TEST(StyleRow, CopyMoveEqualityAndEmpty)
{
    const std::vector<std::string> texts = sample_texts(300, 40);
    const StyleRow row = row_of(texts);
    StyleRow copy = row;
    copy.set_pri_day("123456");
    expect_texts(row, texts);
    EXPECT_NE(copy, row);
    StyleRow moved = std::move(copy);
    EXPECT_EQ(moved.pri_day(), "123456");
    EXPECT_EQ(copy.texts(), StyleTexts {});

    // The same characters split differently between two cells are other texts.
    StyleRow split_ab;
    split_ab.set_pri_day("AB");
    StyleRow split_a_b;
    split_a_b.set_pri_day("A");
    split_a_b.set_pri_night("B");
    EXPECT_NE(split_ab, split_a_b);

    // Emptied cell by cell, a row is the empty row again.
    StyleRow emptied = row;
    emptied.pres_code = 0;
    for (std::size_t cell = 0; cell < style_cell_count; ++cell) {
        EXPECT_NE(emptied, StyleRow {});
        emptied.set(static_cast<StyleCell>(cell), {});
    }
    EXPECT_EQ(emptied, StyleRow {});
}

} // namespace

TEST(StyleRow, OverwriteStaysInsideItsCell)
{
    struct Case
    {
        std::size_t at;
        std::string_view bytes;
        std::string_view wanted;
    };
    const Case cases[] = {
        { 0, "AB", "ABcdef" },
        { 4, "EF", "abcdEF" },
        { 5, "XY", "abcdef" }, // would pass the end
        { 7, "X", "abcdef" },
        { 2, "", "abcdef" },
        { std::string_view::npos, "X", "abcdef" },
    };
    for (const Case& c : cases) {
        StyleRow row;
        row.set_elem_name("NAME");
        row.set_pri_day("abcdef");
        row.set_style_text("<STYLE/>");
        row.overwrite(StyleCell::PriDay, c.at, c.bytes);
        EXPECT_EQ(row.pri_day(), c.wanted) << c.at << " " << c.bytes;
        EXPECT_EQ(row.elem_name(), "NAME");
        EXPECT_EQ(row.style_text(), "<STYLE/>");
    }
    // A view of the row's own text.
    StyleRow row;
    row.set_pri_day("abcdef");
    row.set_sec_day("123456");
    row.overwrite(StyleCell::PriDay, 1, row.sec_day().substr(0, 3));
    EXPECT_EQ(row.pri_day(), "a123ef");
}

TEST(StyleRow, AssigningOverARowOfTheSameSizeGivesTheOtherRow)
{
    const StyleRow first = row_of(sample_texts(300, 40));
    StyleRow other = first;
    other.overwrite(StyleCell::StyleText, 3, "XYZ");
    other.pres_code = 31;
    StyleRow target = first;
    target = other;
    EXPECT_EQ(target, other);
    target = first;
    EXPECT_EQ(target, first);
    // Texts of the same total size split otherwise between the cells.
    StyleRow split;
    split.set_pri_day("AB");
    StyleRow moved;
    moved.set_pri_night("AB");
    split = moved;
    EXPECT_EQ(split.pri_day(), "");
    EXPECT_EQ(split.pri_night(), "AB");
}
