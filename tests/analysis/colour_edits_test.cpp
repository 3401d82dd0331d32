#include "../model/edit_snapshot.h"
#include "../model/theme_fixture.h"
#include "analysis/colour_edits.h"
#include "model/style_apply.h"
#include "model/style_code.h"
#include "model/text.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tintwell;
using namespace tintwell::test;

namespace {

using colour::Rgb;
using enum ColourSlot;

constexpr Rgb blue { 0x1E, 0x90, 0xFF };
constexpr Rgb navy { 0x00, 0x00, 0xFF };

std::string water(const std::string& day)
{
    return cz_style("MAP_WATER", " scale=\"1\"", cz_primary(day, "203040"));
}
std::string road(
    const std::string& night, const std::string& border, const std::string& border_night)
{
    return cz_style("MAP_ROAD_HWY_MJR", " scale=\"1.2\" border=\".4\"",
        cz_primary("FFFFFF", night) + cz_secondary(border, border_night));
}
const std::string park = cz_style("MAP_PARK", " scale=\"1\"", cz_primary("C8E6B0", "505C5A"));

// GUIDANCE and BROWSE each hold a water area with the blue by day, a road with the blue at night
// and as both border colours, and a park without it.
std::string car_theme(const std::function<std::string(const char* pres, ColourSlot)>& colour)
{
    std::string presentations;
    for (const char* pres : { "GUIDANCE", "BROWSE" }) {
        const auto at = [&](ColourSlot slot) { return colour(pres, slot); };
        presentations += presentation(
            pres, water(at(BodyDay)) + road(at(BodyNight), at(BorderDay), at(BorderNight)) + park);
    }
    return car_zumo_theme(presentations);
}

// A road with widths (the Sport & Fitness editor's) and a water area without (the style
// editor's); the blue by day in both, at night and as the border by day on the road.
const std::string sport_theme = sf_theme(
    "<style field=\"mpm_road_clr\" bg_width=\"3\" fg_width=\"2\"><color><primary day=\"#ff1e90ff\" "
    "night=\"#ff1e90ff\"/><secondary day=\"#801e90ff\" night=\"#00101010\"/></color></style>"
    "<style field=\"mpm_water_clr\"><color><primary day=\"#ff1e90ff\" night=\"#ff3f4e74\"/>"
    "<secondary day=\"#00404040\" night=\"#00101010\"/></color></style>");

// Each row whose cell in `slots` (and `presentation`, when given) holds the blue, changed through
// the editor that edits it, one row at a time, with its boxes holding the row's own values.
void through_editors(Document& doc, const std::vector<ColourSlot>& slots, const std::string& pres)
{
    for (int r = 0; r < doc.row_count(); ++r) {
        const StyleRow row = doc.rows[static_cast<std::size_t>(r)];
        StyleRow changed = row;
        bool any = false;
        for (const ColourSlot slot : slots) {
            if ((pres.empty() || row.pres_name() == pres)
                && colour::parse_rgb(slot_text(row, slot)) == blue) {
                changed.set(slot_cell(slot), "0000FF");
                any = true;
            }
        }
        if (!any) {
            continue;
        }
        if (doc.kind == ThemeKind::SportFitness
            && text::contains(text::lower(row.style_text()), "bg_width")) {
            std::array<std::string, 4> fields = nwf_slot_colours(row.style_text());
            for (const auto& [slot, k] : { std::pair { BodyDay, 0 }, { BorderDay, 1 },
                     { BodyNight, 2 }, { BorderNight, 3 } }) {
                if (slot_text(changed, slot) != slot_text(row, slot)) {
                    fields[k] = fields[k].substr(0, 2) + "0000FF";
                }
                fields[k] = text::upper(fields[k]);
            }
            nwf_apply_edit(doc, r, row.bg_width(), row.fg_width(), fields).apply(doc);
            continue;
        }
        AppliedValues values;
        values.night_colours = row.pri_night() != "-1";
        values.scale_text = row.scale();
        values.border_text = row.border();
        values.pri_day = changed.pri_day();
        values.sec_day = changed.sec_day();
        values.pri_night = changed.pri_night();
        values.sec_night = changed.sec_night();
        style_apply_edit(doc, r, applied_style(doc.kind, row, values), false).apply(doc);
    }
}

std::string car_blue_everywhere()
{
    return car_theme([](const char*, ColourSlot) { return "1E90FF"; });
}

const struct
{
    const char* name;
    bool sport;
    ScopeTimes times;
    ScopeParts parts;
    // Plain text, not a string member: GCC 12 takes strings in a static table of aggregates for
    // uninitialised in an optimised build.
    const char* presentation;
    std::vector<ColourSlot> slots;
    int styles;
} replace_cases[] = {
    { "everywhere", false, ScopeTimes::DayAndNight, ScopeParts::BodyAndBorder, "",
        { BodyDay, BodyNight, BorderDay, BorderNight }, 4 },
    { "by day", false, ScopeTimes::Day, ScopeParts::BodyAndBorder, "", { BodyDay, BorderDay }, 4 },
    { "at night", false, ScopeTimes::Night, ScopeParts::BodyAndBorder, "",
        { BodyNight, BorderNight }, 2 },
    { "border only", false, ScopeTimes::DayAndNight, ScopeParts::Border, "",
        { BorderDay, BorderNight }, 2 },
    { "body at night", false, ScopeTimes::Night, ScopeParts::Body, "", { BodyNight }, 2 },
    { "body by day in one presentation", false, ScopeTimes::Day, ScopeParts::Body, " browse",
        { BodyDay }, 1 },
    { "Sport & Fitness everywhere", true, ScopeTimes::DayAndNight, ScopeParts::BodyAndBorder, "",
        { BodyDay, BodyNight, BorderDay, BorderNight }, 2 },
    { "Sport & Fitness border only", true, ScopeTimes::DayAndNight, ScopeParts::Border, "",
        { BorderDay, BorderNight }, 1 },
};

// The saved file has the new colour in every cell of the scope and nothing else changes: the same
// bytes and style texts as changing the rows one at a time in their editors.
TEST(ReplaceColour, ChangesTheScopeAsTheEditorsDoRowByRow)
{
    for (const auto& c : replace_cases) {
        SCOPED_TRACE(c.name);
        const ColourScope scope { c.times, c.parts, c.presentation };
        Loaded replaced, edited, expected;
        const std::string theme = c.sport ? sport_theme : car_blue_everywhere();
        ASSERT_TRUE(replaced.load(theme));
        ASSERT_TRUE(edited.load(theme));
        ASSERT_TRUE(expected.load(car_theme([&](const char* pres, ColourSlot slot) {
            const bool in =
                scope.presentation.empty() || text::contains(scope.presentation, text::lower(pres));
            return in && std::find(c.slots.begin(), c.slots.end(), slot) != c.slots.end()
                ? "0000FF"
                : "1E90FF";
        })));
        const Snapshot opened(replaced.doc);
        EXPECT_EQ(styles_to_replace(replaced.doc, blue, scope), c.styles);
        const ColourEdit edit = replace_colour(replaced.doc, blue, navy, scope);
        EXPECT_EQ(edit.styles, c.styles);
        EXPECT_EQ(edit.description, "Replace #1E90FF");
        edit.edit.apply(replaced.doc);
        through_editors(edited.doc, c.slots, scope.presentation.empty() ? "" : "BROWSE");

        const std::string bytes = Snapshot(replaced.doc).bytes;
        EXPECT_NE(bytes, opened.bytes);
        EXPECT_EQ(bytes, Snapshot(edited.doc).bytes);
        if (!c.sport) {
            EXPECT_EQ(bytes, Snapshot(expected.doc).bytes);
        }
        for (int r = 0; r < replaced.doc.row_count(); ++r) {
            EXPECT_EQ(replaced.row(r).style_text(), edited.row(r).style_text()) << r;
        }
    }
}

// Where an editor would lose or add something, only the colour changes: the saved bytes are those
// of the same file with the digits replaced.
TEST(ReplaceColour, KeepsWhatAnEditorWouldLoseOrAdd)
{
    const struct
    {
        const char* name;
        std::string text;
    } cases[] = {
        { "a primary transparency other than ff",
            sf_theme("<style field=\"mpm_water_clr\"><color><primary day=\"#801e90ff\" "
                     "night=\"#ff203040\"/><secondary day=\"#00404040\" night=\"#00101010\"/>"
                     "</color></style>") },
        { "no primary night colour, a border one",
            sf_theme("<style field=\"mpm_water_clr\" visible=\"1\"><color><primary "
                     "day=\"#ff1e90ff\"/><secondary day=\"#ff1e90ff\" night=\"#00101010\"/>"
                     "</color></style>") },
        { "a border without night colour",
            car_zumo_theme(presentation("GUIDANCE",
                cz_style("MAP_ROAD_HWY_MJR", " scale=\"1\" border=\".4\"",
                    cz_primary("1E90FF", "203040") + "<SECONDARY day = \"#404040\"/>\r\n"))) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded replaced, expected;
        ASSERT_TRUE(replaced.load(c.text));
        ASSERT_TRUE(expected.load(
            text::replace(text::replace(c.text, "1e90ff", "0000ff"), "1E90FF", "0000FF")));
        const ColourEdit edit = replace_colour(replaced.doc, blue, navy);
        ASSERT_EQ(edit.styles, 1);
        edit.edit.apply(replaced.doc);
        EXPECT_EQ(Snapshot(replaced.doc).bytes, Snapshot(expected.doc).bytes);
    }
}

const std::string car_paste_theme = car_zumo_theme(presentation("GUIDANCE",
    cz_style("MAP_ROAD_HWY_MJR", " scale=\"1\" border=\".4\"",
        cz_primary("112233", "445566") + cz_secondary("778899", "AABBCC"))
        + cz_style("MAP_ROAD_TRAIL", " scale=\"1\"", cz_primary("FFFFFF", "000000"))
        + cz_style("MAP_WATER", " scale=\"1\"", cz_primary("1E90FF", ""))));

const std::string sport_paste_theme =
    sf_theme("<style field=\"mpm_road_clr\"><color><primary day=\"#ff112233\" night=\"#ff445566\"/>"
             "<secondary day=\"#80778899\" night=\"#00aabbcc\"/></color></style>"
             "<style field=\"mpm_water_clr\"><color><primary day=\"#ff1e90ff\" "
             "night=\"#ff203040\"/><secondary day=\"#00404040\" night=\"#ff101010\"/></color>"
             "</style>");

// Onto row 1 or 2 of a theme, the colours of row 0 of one: the four cells of the target and, for
// a Sport & Fitness target, its colours as its text writes them.
TEST(PasteColours, SetsOnlyThePartsTheTargetHas)
{
    const struct
    {
        const char* name;
        const std::string& from;
        const std::string& onto;
        int row;
        std::array<std::string, 4> cells; // body day, body night, border day, border night
        std::array<std::string, 4> written;
    } cases[] = {
        { "a line without border", car_paste_theme, car_paste_theme, 1,
            { "112233", "445566", "", "" }, {} },
        { "a polygon without night colour", car_paste_theme, car_paste_theme, 2,
            { "112233", "-1", "", "" }, {} },
        { "a Sport & Fitness style, with the transparency", sport_paste_theme, sport_paste_theme, 1,
            { "112233", "445566", "778899", "aabbcc" },
            { "ff112233", "80778899", "ff445566", "00aabbcc" } },
        { "a Sport & Fitness style keeps its own transparency", car_paste_theme, sport_paste_theme,
            1, { "112233", "445566", "778899", "aabbcc" },
            { "ff112233", "00778899", "ff445566", "ffaabbcc" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded from, onto;
        ASSERT_TRUE(from.load(c.from));
        ASSERT_TRUE(onto.load(c.onto));
        const ColourEdit edit = paste_colours(onto.doc, c.row, copy_colours(from.doc, 0));
        ASSERT_EQ(edit.styles, 1);
        edit.edit.apply(onto.doc);
        const StyleRow& r = onto.row(static_cast<std::size_t>(c.row));
        EXPECT_EQ(
            (std::array<std::string, 4> { std::string(r.pri_day()), std::string(r.pri_night()),
                std::string(r.sec_day()), std::string(r.sec_night()) }),
            c.cells);
        if (onto.doc.kind == ThemeKind::SportFitness) {
            Loaded saved;
            ASSERT_TRUE(saved.load(sport_fitness_text(onto.doc)));
            const StyleRow& s = saved.row(static_cast<std::size_t>(c.row));
            EXPECT_EQ(nwf_slot_colours(s.style_text()), c.written);
            EXPECT_EQ(s.border(), r.border())
                << "the transparency of the border as the reader keeps it";
        }
    }
    Loaded theme;
    ASSERT_TRUE(theme.load(car_paste_theme));
    EXPECT_TRUE(paste_colours(theme.doc, 0, copy_colours(theme.doc, 0)).edit.empty());
    EXPECT_TRUE(paste_colours(theme.doc, 3, copy_colours(theme.doc, 0)).edit.empty());
}

const std::string car_blue = car_blue_everywhere();
const std::string car_near = car_theme([](const char* pres, ColourSlot slot) {
    return std::string(pres) == "BROWSE" && slot == BodyDay ? "1E90FE" : "1E90FF";
});

ColourEdit merge_the_pair(const Document& doc)
{
    const std::vector<ColourInUse> colours = colours_in_use(doc);
    const std::vector<NearDuplicate> pairs = near_duplicates(colours);
    EXPECT_EQ(pairs.size(), 1u);
    return merge_colours(doc, colours, pairs.at(0));
}

ColourEdit paste_row_0_on_1(const Document& doc)
{
    return paste_colours(doc, 1, copy_colours(doc, 0));
}

// Undo of each operation gives back the theme exactly: rows, presentation list and saved bytes.
TEST(ColourEdits, RevertGivesBackTheSavedBytes)
{
    const struct
    {
        const char* name;
        const std::string& theme;
        std::function<ColourEdit(const Document&)> make;
        int styles;
    } operations[] = {
        { "Replace #1E90FF", car_blue,
            [](const Document& doc) {
                return replace_colour(
                    doc, blue, navy, { ScopeTimes::Night, ScopeParts::BodyAndBorder, "" });
            },
            2 },
        { "Replace #1E90FF", sport_theme,
            [](const Document& doc) { return replace_colour(doc, blue, navy); }, 2 },
        { "Merge #1E90FE into #1E90FF", car_near, merge_the_pair, 1 },
        { "Paste Colours onto ROAD TRAIL", car_paste_theme, paste_row_0_on_1, 1 },
        { "Paste Colours onto WATER", sport_paste_theme, paste_row_0_on_1, 1 },
    };
    for (const auto& op : operations) {
        SCOPED_TRACE(op.name);
        Loaded loaded;
        ASSERT_TRUE(loaded.load(op.theme));
        Document& doc = loaded.doc;
        const Snapshot opened(doc);
        const ColourEdit edit = op.make(doc);
        EXPECT_EQ(edit.description, op.name);
        EXPECT_EQ(edit.styles, op.styles);
        edit.edit.apply(doc);
        const Snapshot changed(doc);
        EXPECT_NE(changed.bytes, opened.bytes);
        edit.edit.revert(doc);
        expect_same(Snapshot(doc), opened, "undone");
        edit.edit.apply(doc);
        expect_same(Snapshot(doc), changed, "redone");
    }
}

} // namespace
