#include "../model/edit_snapshot.h"
#include "../model/theme_fixture.h"
#include "analysis/theme_compare.h"
#include "model/add_element.h"
#include "model/text.h"
#include "model/writer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace tintwell;
using namespace tintwell::test;

namespace {

const char* value_name(RowValue value)
{
    constexpr const char* names[] = { "body_day", "body_night", "border_day", "border_night",
        "scale", "border", "night_border", "bg_width", "fg_width", "style_text" };
    return names[static_cast<int>(value)];
}

// One line per change: "changed GUIDANCE/MAP_ROAD#1 a=2 b=2 scale:1>1.5", "added ... at=4".
std::vector<std::string> describe(const ThemeComparison& diff)
{
    std::vector<std::string> lines;
    constexpr const char* fields[] = { "title", "description", "locale", "version" };
    for (const MetadataChange& m : diff.metadata) {
        lines.push_back(std::string(fields[static_cast<int>(m.field)]) + ":" + m.from + ">" + m.to);
    }
    constexpr const char* kinds[] = { "removed", "added", "changed" };
    for (const RowChange& c : diff.rows) {
        std::string line = std::string(kinds[static_cast<int>(c.kind)]) + " " + c.pres_name + "/"
            + c.field_name + "#" + std::to_string(c.occurrence) + " a=" + std::to_string(c.row_a)
            + " b=" + std::to_string(c.row_b);
        if (c.kind == RowChangeKind::OnlyInB) {
            line += " at=" + std::to_string(c.insert_at);
        }
        for (const ValueChange& v : c.values) {
            line += std::string(" ") + value_name(v.value);
            if (v.value != RowValue::StyleText) {
                line += ":" + v.from + ">" + v.to;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string road(const std::string& scale, const std::string& day)
{
    return cz_style("MAP_ROAD", " scale=\"" + scale + "\" border=\"1\"",
        cz_primary(day, "5A5A5A") + cz_secondary("8C5A2B", "2A1A10"));
}

const std::string water = cz_style("MAP_WATER", "", cz_primary("9EC5F0", "3F4E74"));
const std::string park = cz_style("MAP_PARK", "", cz_primary("C8E6B0", "505C5A"));
const std::string trail = cz_style("MAP_TRAIL", "", cz_primary("8B5A2B", ""));

// Rows 0-4 GUIDANCE: water, road, road, park; rows 4-5 BROWSE: water, park.
std::string car_theme(
    const std::string& guidance, const std::string& browse, const std::string& title = "Test")
{
    return car_zumo_theme(
        presentation("GUIDANCE", guidance) + presentation("BROWSE", browse), metadata_block(title));
}

const std::string a_guidance = water + road("1", "FFFFFF") + road("1", "F2A65A") + park;
const std::string a_browse = water + park;

std::string sf_style(const std::string& attributes, const std::string& secondary_day)
{
    return "<style field=\"mpm_road_clr\"" + attributes
        + "><color><primary day=\"#ff9ec5f0\" night=\"#ff3f4e74\"/><secondary day=\"#"
        + secondary_day + "\" night=\"#ff101010\"/></color></style>";
}

struct Case
{
    const char* name;
    std::string a;
    std::string b;
    std::vector<std::string> changes;
};

// Forty elements in A; in B spelt in lower case with blanks around, in the opposite order, and
// three of them recoloured: the names are numbered in a table that grows as they come.
Case many_elements()
{
    Case c { "many elements spelt otherwise", "", "", {} };
    std::string a_styles;
    std::string b_styles;
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        const bool recoloured = i % 13 == 5;
        a_styles += cz_style("MAP_E" + n, "", cz_primary("1020" + std::to_string(10 + i), ""));
        b_styles = cz_style(" map_e" + n + " ", "",
                       cz_primary(recoloured ? "FFFFFF" : "1020" + std::to_string(10 + i), ""))
            + b_styles;
        if (recoloured) {
            c.changes.push_back("changed GUIDANCE/MAP_E" + n + "#0 a=" + n + " b="
                + std::to_string(39 - i) + " body_day:1020" + std::to_string(10 + i) + ">FFFFFF");
        }
    }
    c.a = car_zumo_theme(presentation("GUIDANCE", a_styles));
    c.b = car_zumo_theme(presentation(" guidance", b_styles));
    return c;
}

std::vector<Case> cases()
{
    const std::string a = car_theme(a_guidance, a_browse);
    return {
        many_elements(),
        { "a colour changed by day only", a,
            car_theme(cz_style("MAP_WATER", "", cz_primary("0000ff", "3F4E74"))
                    + road("1", "FFFFFF") + road("1", "F2A65A") + park,
                a_browse),
            { "changed GUIDANCE/MAP_WATER#0 a=0 b=0 body_day:9EC5F0>0000FF" } },
        { "the second of a repeated element", a,
            car_theme(water + road("1", "FFFFFF") + road("1.5", "F2A65A") + park, a_browse),
            { "changed GUIDANCE/MAP_ROAD#1 a=2 b=2 scale:1>1.5" } },
        { "a row moved to another presentation", a,
            car_theme(water + road("1", "FFFFFF") + road("1", "F2A65A"), a_browse + park),
            { "removed GUIDANCE/MAP_PARK#0 a=3 b=-1", "added BROWSE/MAP_PARK#1 a=-1 b=5 at=6" } },
        { "rows added and removed", a,
            car_theme(road("1", "FFFFFF") + trail + road("1", "F2A65A") + park,
                a_browse + cz_style("MAP_BEACH", "", cz_primary("FFEEAA", ""))),
            { "removed GUIDANCE/MAP_WATER#0 a=0 b=-1", "added GUIDANCE/MAP_TRAIL#0 a=-1 b=1 at=2",
                "added BROWSE/MAP_BEACH#0 a=-1 b=6 at=6" } },
        { "a presentation only one theme has", a,
            a.substr(0, a.find("</GARMIN")) + presentation("TRAFFIC", trail)
                + "</GARMIN_MAP_THEME>\r\n",
            { "added TRAFFIC/MAP_TRAIL#0 a=-1 b=6 at=6" } },
        { "order within a presentation and layout do not count", a,
            car_theme(a_guidance, "\t" + park + "\r\n\r\n" + water), {} },
        { "metadata", a, car_theme(a_guidance, a_browse, "Other"), { "title:TEST>OTHER" } },
        { "Sport & Fitness border transparency", sf_theme(sf_style("", "00404040")),
            sf_theme(sf_style("", "ff404040")),
            { "changed /MPM_ROAD_CLR#0 a=0 b=0 border:00>ff" } },
        { "Sport & Fitness widths and a text-only change",
            sf_theme(sf_style(" bg_width=\"3\"", "ff404040") + sf_style("", "ff404040")),
            sf_theme(sf_style(" bg_width=\"4\" fg_width=\"2\"", "ff404040")
                + sf_style(" visible=\"1\"", "ff404040") + sf_style("", "ff404040")),
            { "changed /MPM_ROAD_CLR#0 a=0 b=0 bg_width:3>4 fg_width:>2",
                "changed /MPM_ROAD_CLR#1 a=1 b=1 style_text",
                "added /MPM_ROAD_CLR#2 a=-1 b=2 at=2" } },
    };
}

TEST(CompareThemes, ListsEachChangeWithItsRowsInBothThemes)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        Loaded a, b;
        ASSERT_TRUE(a.load(c.a));
        ASSERT_TRUE(b.load(c.b));
        const ThemeComparison diff = compare_themes(a.doc, b.doc);
        EXPECT_EQ(describe(diff), c.changes);
        EXPECT_EQ(diff.same(), c.changes.empty());
    }
}

// The report walks the changes once to tell whether any row differs and again to print them,
// and stops where it is told: each walk gives what the whole comparison lists.
TEST(CompareThemes, AWalkGivesTheSameRowsEachTimeAndStopsWhenTold)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        Loaded a, b;
        ASSERT_TRUE(a.load(c.a));
        ASSERT_TRUE(b.load(c.b));
        const ThemeComparison whole = compare_themes(a.doc, b.doc);
        const RowChangeWalk walk(a.doc, b.doc);
        EXPECT_EQ(walk.any(), !whole.rows.empty());
        int visits = 0;
        walk.visit([&](const RowChange&) { return ++visits < 2; });
        EXPECT_EQ(visits, std::min<int>(2, static_cast<int>(whole.rows.size())));
        for (int time = 0; time < 2; ++time) {
            ThemeComparison walked;
            walked.metadata = whole.metadata;
            walk.visit([&](const RowChange& change) {
                walked.rows.push_back(change);
                return true;
            });
            EXPECT_EQ(describe(walked), describe(whole)) << "walk " << time;
        }
        EXPECT_EQ(walk.matches(), whole.matches);

        // Reading folds the case of names, but rows made in the program may keep theirs.
        Document spelt = b.doc;
        for (StyleRow& row : spelt.rows) {
            row.set_field_name(" " + text::lower(row.field_name()) + "\t");
            row.set_pres_name(text::lower(row.pres_name()));
        }
        EXPECT_EQ(describe(compare_themes(a.doc, spelt)).size(), c.changes.size());
    }
    Loaded car, sport;
    ASSERT_TRUE(car.load(car_theme(a_guidance, a_browse)));
    ASSERT_TRUE(sport.load(sf_theme(sf_style("", "00404040"))));
    const RowChangeWalk across(car.doc, sport.doc);
    EXPECT_FALSE(across.any());
    EXPECT_EQ(comparison_error(car.doc, sport.doc),
        "A Car & Zumo theme cannot be compared with a Sport & Fitness theme.");
}

// Taking every change, one at a time as the window offers them, makes A compare the same as B;
// undoing the edits in reverse gives back A's rows, presentations and saved bytes exactly.
TEST(CompareThemes, TakingEveryChangeGivesBAndUndoingGivesA)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        Loaded a, b;
        ASSERT_TRUE(a.load(c.a));
        ASSERT_TRUE(b.load(c.b));
        const Snapshot opened(a.doc);
        std::vector<DocumentEdit> undo;
        std::vector<std::string> steps;
        ThemeComparison diff = compare_themes(a.doc, b.doc);
        for (const MetadataChange& m : diff.metadata) {
            steps.push_back(take_change_description(m));
            undo.push_back(*take_change(a.doc, m));
            undo.back().apply(a.doc);
            EXPECT_FALSE(take_change(a.doc, m)) << "taken already";
        }
        for (; !diff.rows.empty(); diff = compare_themes(a.doc, b.doc)) {
            const auto edit = take_change(a.doc, b.doc, diff.rows.front());
            ASSERT_TRUE(edit);
            steps.push_back(take_change_description(diff.rows.front()));
            edit->apply(a.doc);
            undo.push_back(*edit);
            ASSERT_LE(undo.size(), 10u);
        }
        EXPECT_TRUE(compare_themes(a.doc, b.doc).same());

        if (c.name == std::string("metadata")) {
            EXPECT_EQ(steps, std::vector<std::string> { "Take change Title" });
        }
        if (c.name == std::string("a presentation only one theme has")) {
            EXPECT_EQ(steps, std::vector<std::string> { "Take change TRAFFIC MAP_TRAIL" });
            EXPECT_EQ(a.doc.pres_names.back(), "TRAFFIC");
            EXPECT_EQ(a.doc.pres_count, 3);
        }
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
            it->revert(a.doc);
        }
        expect_same(Snapshot(a.doc), opened, "all undone");
    }
}

// An open theme with elements added in the program compares the same as the file it was saved
// to: added rows keep lower-case and prefixed colours and their own style texts.
TEST(CompareThemes, AnEditedThemeIsTheSameAsItsSavedFile)
{
    for (const bool car : { true, false }) {
        SCOPED_TRACE(car ? "Car & Zumo" : "Sport & Fitness");
        Loaded open, saved;
        ASSERT_TRUE(
            open.load(car ? car_theme(a_guidance, a_browse) : sf_theme(sf_style("", "00404040"))));
        ElementSelection selection;
        selection.lines = car ? "ROAD_ARTERIAL\r\n" : "MPM_TRAIL_CLR\r\n";
        selection.polygons = car ? "BEACH\r\n" : "MPM_BEACH_CLR\r\n";
        selection.presentation = car ? "1BROWSE" : "";
        add_element(open.doc, selection);
        ASSERT_TRUE(saved.load(car ? car_zumo_text(open.doc) : sport_fitness_text(open.doc)));
        ASSERT_EQ(saved.doc.row_count(), open.doc.row_count());
        EXPECT_EQ(describe(compare_themes(open.doc, saved.doc)), std::vector<std::string> {});
    }
}

} // namespace
