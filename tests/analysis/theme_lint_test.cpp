#include "../model/theme_fixture.h"
#include "analysis/theme_lint.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

using namespace tintwell;
using namespace tintwell::test;
using colour::Vision;

namespace {

// A presentation every rule passes, for normal eyes and the three deficiencies, by day and at
// night; the major highway passes on land only through its dark border.
const std::string clean_styles = coloured_style("MAP_LAND", "F2EFE9", "202020")
    + coloured_style("MAP_URBAN_LAND", "E0DDD5", "2A2A2A")
    + coloured_style("MAP_WATER", "8EC1F0", "1B3A5C")
    + coloured_style("MAP_PARK", "B7E0A0", "2D4A2D")
    + coloured_style("MAP_ROAD_INTERSTATE", "E0301E", "FF6040")
    + coloured_style("MAP_ROAD_HWY_MJR", "F08C00", "B06000", "804000", "FFC080", "1")
    + coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "707070")
    + coloured_style("MAP_RTE_ACTV_LEG", "0040FF", "4080FF")
    + coloured_style("MAP_DPTH_CNTR_MJR", "2050A0", "80A0E0");

struct Found
{
    std::string rule;
    std::string presentation;
    std::string first;
    std::string second;
    Period period;
    Vision vision;
    Severity severity;
    std::string ground_from = {};

    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& f)
{
    return out << f.rule << " " << f.presentation << " " << f.first << "/" << f.second << " "
               << period_name(f.period) << " " << colour::vision_name(f.vision) << " "
               << severity_name(f.severity) << " " << f.ground_from;
}

std::vector<Found> found(const std::vector<Finding>& findings)
{
    std::vector<Found> out;
    for (const auto& f : findings) {
        out.push_back({ std::string(f.rule->id), f.presentation, f.first, f.second, f.period,
            f.vision, f.severity, f.ground_from });
    }
    return out;
}

// Everything a finding shows, for comparing two checks of the same document.
std::vector<std::string> shown(const std::vector<Finding>& findings)
{
    std::vector<std::string> out;
    for (const auto& f : findings) {
        out.push_back(describe(f) + " rows " + std::to_string(f.first_row) + ","
            + std::to_string(f.second_row) + " line " + std::to_string(f.line) + " "
            + severity_name(f.severity));
    }
    return out;
}

TEST(ThemeLint, FindsWhatMakesTheMapHardToRead)
{
    const std::string land = coloured_style("MAP_LAND", "F2EFE9", "616070");
    const struct
    {
        const char* name;
        std::string theme;
        std::vector<Found> expected;
    } cases[] = {
        { "a theme with no finding", car_zumo_theme(presentation("GUIDANCE", clean_styles)), {} },
        { "a road that vanishes on the land at night",
            car_zumo_theme(presentation(
                "GUIDANCE", land + coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "555555"))),
            { { "line-on-land", "GUIDANCE", "ROAD RESIDENTIAL", "LAND", Period::Night,
                Vision::Normal, Severity::Warning } } },
        { "a line is seen by the better of its body and its border",
            car_zumo_theme(presentation("GUIDANCE",
                coloured_style("MAP_LAND", "F2EFE9")
                    + coloured_style("MAP_ROAD_HWY_MJR", "F08C00", "", "F2EFE9", "", "1"))),
            { { "main-line-on-land", "GUIDANCE", "ROAD HWY MJR", "LAND", Period::DayAndNight,
                Vision::Normal, Severity::Warning } } },
        // Neither has a night colour: at night both keep their day colours, one finding.
        { "a route that looks like a motorway",
            car_zumo_theme(presentation("GUIDANCE",
                coloured_style("MAP_LAND", "F2EFE9")
                    + coloured_style("MAP_ROAD_INTERSTATE", "E0301E")
                    + coloured_style("MAP_RTE_ACTV_LEG", "E8402A"))),
            { { "route-like-road", "GUIDANCE", "RTE ACTV LEG", "ROAD INTERSTATE",
                Period::DayAndNight, Vision::Normal, Severity::Warning } } },
        { "green and tan that only deuteranopia confuses",
            car_zumo_theme(presentation("GUIDANCE",
                coloured_style("MAP_LAND", "C8B48C") + coloured_style("MAP_PARK", "20D88C"))),
            { { "area-on-land", "GUIDANCE", "PARK", "LAND", Period::DayAndNight,
                Vision::Deuteranopia, Severity::Info } } },
        { "a presentation without land is checked on the first presentation's land",
            car_zumo_theme(presentation("GUIDANCE", clean_styles)
                + presentation(
                    "BROWSE", coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "262626"))),
            { { "line-on-land", "BROWSE", "ROAD RESIDENTIAL", "LAND", Period::Night, Vision::Normal,
                  Severity::Warning, "GUIDANCE" },
                { "line-on-land", "BROWSE", "ROAD RESIDENTIAL", "URBAN LAND", Period::Night,
                    Vision::Normal, Severity::Warning, "GUIDANCE" } } },
        // Sport & Fitness names; a secondary colour with "00" transparency is no border.
        { "sport & fitness text on its outline, and a clear border that does not help",
            sf_theme("<style field=\"mpm_land_clr\"><color><primary day=\"#fff2efe9\" "
                     "night=\"#ff202020\"/></color></style>"
                     "<style field=\"mpm_residential_clr\"><color><primary day=\"#ffeae6de\" "
                     "night=\"#ff909090\"/><secondary day=\"#00000000\" "
                     "night=\"#00000000\"/></color></style>"
                     "<style field=\"mpm_txt_clr\"><color><primary day=\"#ff303030\" "
                     "night=\"#ffe0e0e0\"/></color></style>"
                     "<style field=\"mpm_labl_otln_clr\"><color><primary day=\"#ffffffff\" "
                     "night=\"#ff909090\"/></color></style>"),
            { { "line-on-land", "", "RESIDENTIAL", "LAND", Period::Day, Vision::Normal,
                  Severity::Warning },
                { "text-outline", "", "TXT", "LABL OTLN", Period::Night, Vision::Normal,
                    Severity::Warning } } },
    };
    for (const auto& c : cases) {
        Loaded loaded;
        ASSERT_TRUE(loaded.load(c.theme)) << c.name;
        ThemeChecker checker;
        EXPECT_EQ(found(checker.update(loaded.doc)), c.expected) << c.name;
    }
}

TEST(ThemeLint, FindingNamesElementsColoursRowsAndLine)
{
    const std::string text = car_zumo_theme(presentation("GUIDANCE",
        coloured_style("MAP_LAND", "F2EFE9", "616070")
            + coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "555555")));
    Loaded loaded;
    ASSERT_TRUE(loaded.load(text));
    ThemeChecker checker;
    checker.read_file(text, loaded.doc);
    const auto& findings = checker.update(loaded.doc);
    ASSERT_EQ(findings.size(), 1u);
    const Finding& f = findings[0];
    EXPECT_EQ(
        f.reason, "ROAD RESIDENTIAL is hard to see on LAND at night: contrast 1.2:1, needs 1.5:1");
    EXPECT_EQ(f.first_colour, colour::parse_rgb("555555"));
    EXPECT_EQ(f.second_colour, colour::parse_rgb("616070"));
    EXPECT_EQ(f.first_row, 1);
    EXPECT_EQ(f.second_row, 0);
    EXPECT_NEAR(f.value, 1.2125, 0.0001);
    EXPECT_EQ(f.threshold, 1.5);
    // The road's style opens on the file's 20th line; once edited, the file's lines no longer
    // apply.
    EXPECT_EQ(f.line, 20);
    loaded.doc.modified = true;
    EXPECT_EQ(checker.update(loaded.doc).at(0).line, 0);
}

TEST(ThemeLint, RecheckAfterEditsMatchesAFreshCheck)
{
    Loaded loaded;
    ASSERT_TRUE(loaded.load(car_zumo_theme(presentation("GUIDANCE", clean_styles)
        + presentation("BROWSE", clean_styles)
        + presentation("TRAFFIC", coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "262626")))));
    Document& doc = loaded.doc;
    const auto row_of = [&](const std::string& pres, const std::string& field) {
        for (int r = 0; r < doc.row_count(); ++r) {
            if (doc.rows[r].pres_name() == pres && doc.rows[r].field_name() == field) {
                return r;
            }
        }
        return -1;
    };
    const std::string old_land_night(doc.rows[row_of("GUIDANCE", "MAP_LAND")].pri_night());
    const struct
    {
        const char* edit;
        std::function<void()> apply;
        int rechecked;
    } edits[] = {
        { "nothing", [] {}, 0 },
        { "a road of BROWSE",
            [&] { doc.rows[row_of("BROWSE", "MAP_ROAD_INTERSTATE")].set_pri_day("F2EFE9"); }, 1 },
        // TRAFFIC has no land of its own and uses GUIDANCE's.
        { "the land of GUIDANCE",
            [&] { doc.rows[row_of("GUIDANCE", "MAP_LAND")].set_pri_night("262626"); }, 2 },
        { "undone", [&] { doc.rows[row_of("GUIDANCE", "MAP_LAND")].set_pri_night(old_land_night); },
            2 },
        { "a row inserted at the top moves every row",
            [&] {
                StyleRow row = doc.rows[row_of("GUIDANCE", "MAP_ROAD_RESIDENTIAL")];
                row.set_field_name("MAP_ROAD_COLLECTOR");
                row.set_pri_day("8A8A8A");
                doc.rows.insert(doc.rows.begin(), row);
            },
            3 },
        { "TRAFFIC gets land of its own",
            [&] {
                StyleRow row = doc.rows[row_of("GUIDANCE", "MAP_LAND")];
                row.set_pres_name("TRAFFIC");
                doc.rows.push_back(row);
            },
            1 },
        { "BROWSE removed",
            [&] {
                std::erase_if(
                    doc.rows, [](const StyleRow& r) { return r.pres_name() == "BROWSE"; });
            },
            1 },
    };
    ThemeChecker checker;
    checker.update(doc);
    for (const auto& e : edits) {
        e.apply();
        doc.modified = true;
        const auto incremental = shown(checker.update(doc));
        EXPECT_EQ(checker.rechecked(), e.rechecked) << e.edit;
        ThemeChecker fresh;
        EXPECT_EQ(incremental, shown(fresh.update(doc))) << e.edit;
        // A single check that keeps nothing finds the same, in the same order, whatever the
        // checker held before.
        std::vector<Finding> each;
        checker.check_each(doc, [&](Finding&& f) { each.push_back(std::move(f)); });
        EXPECT_EQ(shown(each), incremental) << e.edit;
        checker.update(doc);
    }
}

// The manual lists every rule with its threshold and severities, so users can look a finding up.
TEST(ThemeLint, ManualListsEveryRule)
{
    std::ifstream in(TINTWELL_MANUAL);
    std::stringstream manual;
    manual << in.rdbuf();
    for (const auto& rule : lint_rules()) {
        std::ostringstream row;
        row << "<td><code>" << rule.id << "</code></td>";
        const auto at = manual.str().find(row.str());
        ASSERT_NE(at, std::string::npos) << rule.id;
        const std::string line = manual.str().substr(at, manual.str().find("</tr>", at) - at);
        EXPECT_NE(line.find(severity_name(rule.severity)), std::string::npos) << rule.id;
        if (rule.measure != Measure::Structure) {
            std::ostringstream threshold;
            threshold << "<td>" << rule.threshold;
            EXPECT_NE(line.find(threshold.str()), std::string::npos) << rule.id;
        }
    }
}

} // namespace
