#include "../model/edit_snapshot.h"
#include "../model/theme_fixture.h"
#include "analysis/style_batch_edit.h"
#include "model/text.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

using namespace tintwell;
using namespace tintwell::test;

namespace {

using colour::Rgb;

// GUIDANCE: a water area, a road with a border, a railway without one, and a route arrow
// without night colours; BROWSE: the road again.
const std::string car_text = car_zumo_theme(
    presentation("GUIDANCE",
        coloured_style("MAP_WATER", "1E90FF", "203040")
            + cz_style("MAP_ROAD_HWY_MJR", " scale=\"1.2\" border=\".4\"",
                cz_primary("F2A65A", "7A4A2A") + cz_secondary("8C5A2B", "2A1A10"))
            + cz_style("MAP_ROAD_RAILRD", " scale=\"1\"", cz_primary("6E6E6E", "303030"))
            + cz_style("MAP_ROUTE_ARROW", " scale=\"2\"", cz_primary("FF00FF", "")))
    + presentation("BROWSE",
        cz_style("MAP_ROAD_HWY_MJR", " scale=\"2\" border=\".4\"",
            cz_primary("F2A65A", "7A4A2A") + cz_secondary("8C5A2B", "2A1A10"))));

// A road with widths and a trail with a background width and one colour only.
const std::string sport_text = sf_theme(
    "<style field=\"mpm_road_clr\" bg_width=\"3\" fg_width=\"2\"><color><primary day=\"#ff1e90ff\" "
    "night=\"#ff1e90ff\"/><secondary day=\"#801e90ff\" night=\"#00101010\"/></color></style>"
    "<style field=\"mpm_water_clr\"><color><primary day=\"#ff9ec5f0\" night=\"#ff3f4e74\"/>"
    "</color></style>"
    "<style field=\"mpm_trail_clr\" bg_width=\"5\"><color><primary day=\"#ff8b5a2b\"/></color>"
    "</style>");

std::vector<int> every_row(const Document& doc)
{
    std::vector<int> rows;
    for (int r = 0; r < doc.row_count(); ++r) {
        rows.push_back(r);
    }
    return rows;
}

std::vector<PropertyChange> parsed(const std::vector<std::string>& texts)
{
    std::vector<PropertyChange> changes;
    for (const std::string& t : texts) {
        const ParsedChange p = parse_property_change(t);
        EXPECT_TRUE(p.change.has_value()) << t << ": " << p.message;
        if (p.change) {
            changes.push_back(*p.change);
        }
    }
    return changes;
}

struct BatchCase
{
    const char* what;
    bool car;
    std::vector<std::string> changes;
    int styles;
    int skipped;
    // (row, cell, value after) for the cells that must change; rows not named keep every cell.
    std::vector<std::tuple<int, StyleCell, std::string>> cells;
};

class StyleBatchEditCase : public testing::TestWithParam<BatchCase>
{
};

TEST_P(StyleBatchEditCase, ChangesOnlyWhatAppliesAndUndoGivesEveryByteBack)
{
    const BatchCase& c = GetParam();
    Loaded loaded;
    ASSERT_TRUE(loaded.load(c.car ? car_text : sport_text));
    Document& doc = loaded.doc;
    const Snapshot before(doc);
    const std::vector<PropertyChange> changes = parsed(c.changes);
    const StyleBatchEdit result = edit_styles(doc, every_row(doc), changes);
    ASSERT_EQ(result.refusal, "") << c.what;
    EXPECT_EQ(result.styles, c.styles) << c.what;
    EXPECT_EQ(result.skipped, c.skipped) << c.what;
    EXPECT_EQ(result.description, batch_step_name(c.styles));
    expect_same(Snapshot(doc), before, std::string(c.what) + ": made without a change");

    result.edit.apply(doc);
    for (const auto& [row, cell, value] : c.cells) {
        EXPECT_EQ(doc.rows.at(static_cast<std::size_t>(row)).get(cell), value)
            << c.what << ", row " << row;
    }
    for (int r = 0; r < doc.row_count(); ++r) {
        const StyleRow& now = doc.rows[static_cast<std::size_t>(r)];
        const bool named = std::any_of(c.cells.begin(), c.cells.end(),
            [&](const auto& cell) { return std::get<0>(cell) == r; });
        if (!named) {
            EXPECT_TRUE(now == before.rows[static_cast<std::size_t>(r)]) << c.what << ", row " << r;
            continue;
        }
        // The saved text says what the cells say.
        for (const auto& [row, cell, value] : c.cells) {
            if (row == r && cell != StyleCell::StyleText) {
                EXPECT_TRUE(text::contains(text::upper(now.style_text()), text::upper(value)))
                    << c.what << ", row " << r << ": " << now.style_text();
            }
        }
    }
    result.edit.revert(doc);
    expect_same(Snapshot(doc), before, std::string(c.what) + ": undone");
}

using enum StyleCell;

INSTANTIATE_TEST_SUITE_P(Changes, StyleBatchEditCase,
    testing::Values(BatchCase { "a colour set on every body by day", true, { "day=#102030" }, 5, 0,
                        { { 0, PriDay, "102030" }, { 1, PriDay, "102030" }, { 2, PriDay, "102030" },
                            { 3, PriDay, "102030" }, { 4, PriDay, "102030" } } },
        // The arrow has no night colour: it is not given one.
        BatchCase { "night set", true, { "night=000000" }, 4, 1,
            { { 0, PriNight, "000000" }, { 1, PriNight, "000000" }, { 2, PriNight, "000000" },
                { 4, PriNight, "000000" } } },
        // Areas have no scale; an empty change list element does not count as applied.
        BatchCase { "scale times 1.2", true, { "scale=times:1.2" }, 4, 1,
            { { 1, Scale, "1.44" }, { 2, Scale, "1.2" }, { 3, Scale, "2.4" },
                { 4, Scale, "2.4" } } },
        // Only the roads have a border; a railway and an area are passed over.
        BatchCase { "border plus and its colour", true,
            { "border=plus:0.15", "border-day=#00FF00" }, 2, 3,
            { { 1, Border, "0.55" }, { 1, SecDay, "00FF00" }, { 4, Border, "0.55" },
                { 4, SecDay, "00FF00" } } },
        // Widths only where the style has them; below -1 becomes -1; the trail's text gains the
        // FG width it lacked, and none of its missing colours.
        BatchCase { "widths", false, { "bg-width=plus:2", "fg-width=times:-3" }, 2, 1,
            { { 0, BgWidth, "5" }, { 0, FgWidth, "-1" }, { 2, BgWidth, "7" },
                { 2, FgWidth, "0" } } },
        BatchCase { "sport colours keep their transparency", false, { "border-day=#123456" }, 1, 2,
            { { 0, SecDay, "123456" } } }));

TEST(StyleBatchEdit, WidthChangeWritesNoEmptyColour)
{
    Loaded loaded;
    ASSERT_TRUE(loaded.load(sport_text));
    const auto changes = parsed({ "bg-width=9", "day=darker:5" });
    const StyleBatchEdit result = edit_styles(loaded.doc, every_row(loaded.doc), changes);
    result.edit.apply(loaded.doc);
    const std::string code = text::lower(loaded.doc.rows[2].style_text());
    EXPECT_FALSE(text::contains(code, "\"#\"")) << code;
    EXPECT_TRUE(text::contains(code, "bg_width=\"9\"")) << code;
    EXPECT_TRUE(text::contains(text::lower(loaded.doc.rows[0].style_text()), "#801e90ff"));
}

TEST(StyleBatchEdit, OutOfRangeValueRefusesEverythingNamingTheStyle)
{
    struct Row
    {
        bool car;
        std::string change;
        std::string named;
    };
    const std::vector<Row> rows = {
        { true, "scale=times:1.5", "scale 3 for ROUTE ARROW in GUIDANCE is out of range" },
        { true, "scale=0", "scale 0 for ROAD HWY MJR in GUIDANCE" },
        { true, "border=times:7", "border 2.8 for ROAD HWY MJR in GUIDANCE" },
        { false, "fg-width=plus:199", "fg-width 201 for ROAD " },
        { false, "bg-width=times:1e308", "bg-width" },
    };
    for (const Row& r : rows) {
        Loaded loaded;
        ASSERT_TRUE(loaded.load(r.car ? car_text : sport_text));
        const Snapshot before(loaded.doc);
        // A change that alone would be accepted comes first: nothing at all is made.
        const auto changes = parsed({ "day=lighter:10", r.change });
        const StyleBatchEdit result = edit_styles(loaded.doc, every_row(loaded.doc), changes);
        EXPECT_TRUE(text::contains(result.refusal, r.named)) << r.change << ": " << result.refusal;
        EXPECT_EQ(result.styles, 0) << r.change;
        EXPECT_TRUE(result.edit.empty()) << r.change;
        result.edit.apply(loaded.doc);
        expect_same(Snapshot(loaded.doc), before, r.change);
    }
}

TEST(StyleBatchEdit, AdjustsInLchAndBringsColoursIntoSrgb)
{
    struct Row
    {
        std::string colour;
        std::string change;
        double lightness;
        double hue_turn;
    };
    // In gamut the lightness moves by the amount; blue made much lighter leaves sRGB and loses
    // chroma instead of its lightness or hue. A hue turned keeps the lightness.
    const std::vector<Row> rows = {
        { "1E90FF", "day=lighter:10", 10, 0 },
        { "1E90FF", "day=darker:20", -20, 0 },
        { "0000FF", "day=lighter:40", 40, 0 },
        { "FFFF00", "day=darker:30", -30, 0 },
        { "F2A65A", "day=hue:180", 0, 180 },
        { "FF00FF", "day=hue:-90", 0, -90 },
    };
    for (const Row& r : rows) {
        Loaded loaded;
        ASSERT_TRUE(loaded.load(sf_theme("<style field=\"mpm_water_clr\"><color><primary day=\"#ff"
            + r.colour + "\"/></color></style>")));
        const auto changes = parsed({ r.change });
        const StyleBatchEdit result = edit_styles(loaded.doc, every_row(loaded.doc), changes);
        ASSERT_EQ(result.styles, 1) << r.change;
        result.edit.apply(loaded.doc);
        const auto now = colour::parse_rgb(loaded.doc.rows[0].pri_day());
        ASSERT_TRUE(now.has_value());
        const colour::Lab was = colour::to_lab(*colour::parse_rgb(r.colour));
        const colour::Lab is = colour::to_lab(*now);
        EXPECT_NEAR(is.L - was.L, r.lightness, 0.6) << r.colour << " " << r.change;
        const double hue_was = std::atan2(was.b, was.a);
        const double hue_is = std::atan2(is.b, is.a);
        EXPECT_NEAR(std::remainder(hue_is - hue_was - r.hue_turn * std::numbers::pi / 180,
                        2 * std::numbers::pi),
            0, 0.06)
            << r.colour << " " << r.change;
    }
}

TEST(StyleBatchEdit, ParsesEveryFormAndSaysWhatDoesNotRead)
{
    struct Row
    {
        std::string text;
        std::optional<PropertyChange> change;
    };
    using enum StyleProperty;
    using enum ChangeOperation;
    const std::vector<Row> rows = {
        { "day=#1e90ff", PropertyChange { BodyDay, Set, 0, { 0x1E, 0x90, 0xFF } } },
        { " Border-Night = ff102030 ",
            PropertyChange { BorderNight, Set, 0, { 0x10, 0x20, 0x30 } } },
        { "night=lighter:10", PropertyChange { BodyNight, Lighter, 10, {} } },
        { "border-day=desaturate:2.5", PropertyChange { BorderDay, Desaturate, 2.5, {} } },
        { "day=hue:-30", PropertyChange { BodyDay, Hue, -30, {} } },
        { "scale=times:1.2", PropertyChange { Scale, Times, 1.2, {} } },
        { "fg-width=plus:+2", PropertyChange { FgWidth, Plus, 2, {} } },
        { "bg-width=-1", PropertyChange { BgWidth, Set, -1, {} } },
        { "day", std::nullopt },
        { "colour=#000000", std::nullopt },
        { "day=12345", std::nullopt },
        { "day=times:2", std::nullopt },
        { "scale=lighter:2", std::nullopt },
        { "scale=1.2x", std::nullopt },
        { "scale=nan", std::nullopt },
        { "scale=times:inf", std::nullopt },
        { "scale=plus:", std::nullopt },
        { "day=brighter:3", std::nullopt },
    };
    for (const Row& r : rows) {
        const ParsedChange p = parse_property_change(r.text);
        EXPECT_EQ(p.change, r.change) << r.text;
        EXPECT_EQ(p.message.empty(), r.change.has_value()) << r.text;
        if (!r.change) {
            EXPECT_TRUE(text::contains(p.message, r.text)) << p.message;
        }
    }
}

} // namespace

// Past some thousands of rows the work is shared among processors: each row must still come out
// as it does alone, and the refusal must name the first style in the table's order.
TEST(StyleBatchEdit, ManyStylesComeOutAsEachAloneAndTheFirstRefusalIsNamed)
{
    constexpr int count = 30000;
    std::string styles;
    for (int k = 0; k < count; ++k) {
        const std::string field = k == 21000 ? "MAP_ROUTE_ARROW"
            : k == 27000                     ? "MAP_WATER"
                                             : "MAP_PARK";
        const std::string scale = k == 21000 || k == 27000 ? " scale=\"2\"" : " scale=\"1\"";
        char day[7];
        std::snprintf(day, sizeof day, "%06X", (k * 2654435761U) & 0xFFFFFFU);
        styles += cz_style(field, scale, cz_primary(day, "203040"));
    }
    Loaded loaded;
    ASSERT_TRUE(loaded.load(car_zumo_theme(presentation("GUIDANCE", styles))));
    ASSERT_EQ(loaded.doc.row_count(), count);

    const auto lighter = parsed({ "day=lighter:10", "night=hue:30" });
    const StyleBatchEdit result = edit_styles(loaded.doc, every_row(loaded.doc), lighter);
    ASSERT_EQ(result.refusal, "");
    std::vector<EditedStyle> alone;
    for (int r = 0; r < count; r += 97) {
        alone.push_back(edited_style(loaded.doc, r, lighter));
    }
    result.edit.apply(loaded.doc);
    for (int r = 0, k = 0; r < count; r += 97, ++k) {
        ASSERT_TRUE(alone[static_cast<std::size_t>(k)].row.has_value()) << r;
        EXPECT_EQ(
            loaded.doc.rows[static_cast<std::size_t>(r)], *alone[static_cast<std::size_t>(k)].row)
            << r;
    }
    result.edit.revert(loaded.doc);

    const StyleBatchEdit refused =
        edit_styles(loaded.doc, every_row(loaded.doc), parsed({ "scale=times:1.5" }));
    EXPECT_TRUE(text::contains(refused.refusal, "ROUTE ARROW")) << refused.refusal;
    EXPECT_TRUE(refused.edit.empty());
}
