#include "analysis/lint_scan.h"
#include "model/text.h"
#include "../model/theme_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

struct Issue
{
    std::string rule;
    int line;
    std::string element;
    std::string detail;

    bool operator==(const Issue&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Issue& i)
{
    return out << i.rule << "@" << i.line << " " << i.element << " " << i.detail;
}

std::vector<Issue> issues(const StructureScan& scan)
{
    std::vector<Issue> out;
    for (const auto& i : scan.issues) {
        out.push_back({ std::string(i.rule->id), i.line, std::string(i.element),
            i.first_line != 0 ? std::to_string(i.first_line) : std::string(i.detail) });
    }
    return out;
}

// Lines 1-10 are the head and metadata, 11-12 open GUIDANCE; each style takes six lines with the
// blank line before it, so the n-th style of the first presentation opens at 14 + 6 (n - 1) and
// its primary colours are two lines further down.
const std::string land = coloured_style("MAP_LAND", "F2EFE9", "616070");
const std::string road = coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "555555");

std::string cut_before(const std::string& text, const std::string& mark)
{
    return text.substr(0, text.find(mark));
}

TEST(LintScan, FindsFaultsWithTheirLines)
{
    const std::string whole = car_zumo_theme(presentation("GUIDANCE", land + road));
    const std::string unclosed =
        car_zumo_theme(presentation("GUIDANCE", cut_before(land, "</STYLE>") + road));
    const struct
    {
        const char* name;
        ThemeKind kind;
        std::string text;
        std::vector<Issue> expected;
    } cases[] = {
        { "a whole theme", ThemeKind::CarZumo, whole, {} },
        // Cut in the road's day colour: the style, the colour and the file are unfinished.
        { "a theme cut off halfway", ThemeKind::CarZumo, cut_before(whole, "909090\"") + "90",
            { { "unclosed-style", 20, "ROAD RESIDENTIAL", "</STYLE>" },
                { "colour-digits", 22, "ROAD RESIDENTIAL", "#90" },
                { "cut-off", 22, "ROAD RESIDENTIAL", "</GARMIN_MAP_THEME>" } } },
        { "a style without its closing tag", ThemeKind::CarZumo, unclosed,
            { { "unclosed-style", 14, "LAND", "</STYLE>" } } },
        { "colours with too few and too many digits, NONE and no # accepted", ThemeKind::CarZumo,
            car_zumo_theme(presentation("GUIDANCE",
                coloured_style("MAP_LAND", "F2EFE", "616070FF")
                    + cz_style("MAP_PARK", "", "<PRIMARY day=\"NONE\" night=\"GG0000\"/>\r\n")
                    + cz_style(
                        "MAP_WATER", "", "<PRIMARY day=\"F2EFE9\" night=\"#616070\"/>\r\n"))),
            { { "colour-digits", 16, "LAND", "#F2EFE" },
                { "colour-digits", 16, "LAND", "#616070FF" },
                { "colour-digits", 22, "PARK", "GG0000" } } },
        { "an element twice in one presentation, and once in another", ThemeKind::CarZumo,
            car_zumo_theme(
                presentation("GUIDANCE", land + road + land) + presentation("BROWSE", land)),
            { { "duplicate-element", 26, "LAND", "14" } } },
        { "names the catalogue does not know", ThemeKind::CarZumo,
            car_zumo_theme(presentation("GUIDANCE", land)
                + presentation("NIGHT DRIVE", coloured_style("MAP_ROAD_MOTORWAY_CLR", "909090"))),
            { { "unknown-presentation", 21, "NIGHT DRIVE", "" },
                { "unknown-element", 24, "ROAD MOTORWAY", "Car & Zumo" } } },
        { "a border without a secondary colour; with one, or of 0, it is fine", ThemeKind::CarZumo,
            car_zumo_theme(presentation("GUIDANCE",
                coloured_style("MAP_ROAD_HWY_MJR", "F08C00", "", "", "", "1.5")
                    + coloured_style("MAP_ROAD_HWY_MNR", "F08C00", "", "804000", "", "1")
                    + coloured_style("MAP_ROAD_ARTERIAL", "F08C00", "", "", "", "0"))),
            { { "border-without-colour", 14, "ROAD HWY MJR", "1.5" } } },
        { "sport & fitness colours take eight digits", ThemeKind::SportFitness,
            sf_theme("<style field=\"mpm_land_clr\"><color><primary day=\"#fff2efe9\" "
                     "night=\"#f2efe9\"/></color></style>"),
            { { "colour-digits", 3, "LAND", "#f2efe9" } } },
        { "a sport & fitness theme cut off after a style", ThemeKind::SportFitness,
            cut_before(sf_theme("<style field=\"mpm_mjr_hwy_clr\"><color><primary "
                                "day=\"#fff2efe9\"/></color></style>\r\n<style"),
                "\r\n<style"),
            { { "cut-off", 3, "", "</garmin_map_theme>" } } },
        { "an unclosed metadata element", ThemeKind::CarZumo,
            car_zumo_theme(
                presentation("GUIDANCE", land), text::replace(metadata_block(), "</Minor>", "")),
            { { "unclosed-metadata", 9, "", "<Minor>" } } },
        { "metadata closed only after the styles, with an open title", ThemeKind::CarZumo,
            car_zumo_theme(presentation("GUIDANCE", land),
                text::replace(
                    text::replace(metadata_block(), "</TITLE>", ""), "</METADATA>\r\n", ""))
                + "</METADATA>",
            { { "unclosed-metadata", 3, "", "<METADATA>" },
                { "unclosed-metadata", 4, "", "<TITLE>" } } },
        { "a colour named without a value is found on its own line", ThemeKind::CarZumo,
            "<GARMIN_MAP_THEME>\n<PRESENTATION ID=\"GUIDANCE\">\n<STYLELIST>\n"
            "<STYLE field=\"MAP_LAND\">\n<COLOR><PRIMARY\nday/></COLOR></STYLE>\n"
            "</STYLELIST></PRESENTATION></GARMIN_MAP_THEME>\n",
            { { "colour-digits", 6, "LAND", "" } } },
        { "a style's list closing inside its tag ends the style", ThemeKind::CarZumo,
            "<GARMIN_MAP_THEME><PRESENTATION ID=\"GUIDANCE\"><STYLELIST>"
            "<STYLE field=\"MAP_LAND</STYLELIST>\"><COLOR><PRIMARY day=\"#12\"/></COLOR></STYLE>"
            "</PRESENTATION></GARMIN_MAP_THEME>",
            { { "unclosed-style", 1, "LAND", "</STYLE>" }, { "colour-digits", 1, "", "#12" } } },
        { "the last field attribute names a style", ThemeKind::CarZumo,
            "<GARMIN_MAP_THEME><PRESENTATION ID=\"GUIDANCE\"><STYLELIST>"
            "<STYLE field=\"MAP_WATER\" field=\"MAP_LAND\"><COLOR><PRIMARY day=\"#12\"/></COLOR>"
            "</STYLE></STYLELIST></PRESENTATION></GARMIN_MAP_THEME>",
            { { "colour-digits", 1, "LAND", "#12" } } },
        { "lines ended by CR alone", ThemeKind::CarZumo,
            "<GARMIN_MAP_THEME>\r<PRESENTATION ID=\"GUIDANCE\">\r<STYLELIST>\r"
            "<STYLE field=\"MAP_LAND\">\r<COLOR><PRIMARY day=\"#12\"/></COLOR></STYLE>\r"
            "</STYLELIST></PRESENTATION></GARMIN_MAP_THEME>\r",
            { { "colour-digits", 5, "LAND", "#12" } } },
    };
    for (const auto& c : cases) {
        const StructureScan scan = scan_structure(c.text, c.kind);
        EXPECT_EQ(issues(scan), c.expected) << c.name;
        // The quick scan for what saving changes finds those issues of the whole scan.
        std::vector<Issue> changes;
        for (const Issue& i : c.expected) {
            if (lint_rule(i.rule).changes_on_save) {
                changes.push_back(i);
            }
        }
        EXPECT_EQ(issues(scan_structure(c.text, c.kind, ScanScope::SaveChanges)), changes)
            << c.name;
        // Findings point at rows only when the scan counts the styles as the reader does.
        Loaded loaded;
        if (loaded.load(c.text)) {
            EXPECT_EQ(scan.style_lines.size(), loaded.doc.rows.size()) << c.name;
        }
    }
}

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// A file with a fault in every style keeps the first findings_per_rule issues of each rule, in
// line order, and counts the rest by rule: what is held stays bounded whatever the file holds.
TEST(LintScan, KeepsAThousandIssuesOfEachRuleAndCountsTheRest)
{
    const std::string head = "<METADATA><TITLE>T</TITLE></METADATA><COLOR>";
    using More = std::vector<std::pair<std::string, std::size_t>>;
    const struct
    {
        const char* name;
        std::string text;
        std::size_t issues;
        More more;
        int first_line = 2;
    } cases[] = {
        { "bare style tags, each unclosed",
            head + "<PRESENTATION ID=\"GUIDANCE\">\n" + repeated("<STYLE\n", 1500), 1001,
            { { "unclosed-style", 500 } } },
        { "bare presentation tags, each unknown", head + repeated("<PRESENTATION\n", 1200), 1001,
            { { "unknown-presentation", 200 } }, 1 },
        { "one element over and over, each style with a short colour and no closing tag",
            head + "<PRESENTATION ID=\"GUIDANCE\">\n"
                + repeated("<STYLE FIELD=\"MAP_WATER_CLR\"><PRIMARY DAY=\"#12\"/>\n", 1300)
                + "</PRESENTATION></GARMIN_MAP_THEME>",
            3000,
            { { "unclosed-style", 300 }, { "colour-digits", 300 }, { "duplicate-element", 299 } } },
        { "just under the limit",
            head + "<PRESENTATION ID=\"GUIDANCE\">\n" + repeated("<STYLE\n", 999)
                + "</GARMIN_MAP_THEME>",
            999, {} },
    };
    for (const auto& c : cases) {
        const StructureScan scan = scan_structure(c.text, ThemeKind::CarZumo);
        EXPECT_EQ(scan.issues.size(), c.issues) << c.name;
        More more;
        for (const auto& [rule, count] : scan.more) {
            more.emplace_back(std::string(rule->id), count);
        }
        auto expected = c.more;
        std::sort(expected.begin(), expected.end());
        std::sort(more.begin(), more.end());
        EXPECT_EQ(more, expected) << c.name;
        EXPECT_TRUE(std::is_sorted(scan.issues.begin(), scan.issues.end(),
            [](const StructureIssue& a, const StructureIssue& b) { return a.line < b.line; }))
            << c.name;
        // The first issues are kept, not the last.
        ASSERT_FALSE(scan.issues.empty()) << c.name;
        EXPECT_EQ(scan.issues.front().line, c.first_line) << c.name;
    }
    // Each issue names its presentation; a name of megabytes is cut as the reader cuts it.
    const std::string long_name(3000000, 'N');
    const StructureScan scan = scan_structure(head + "<PRESENTATION ID=\"" + long_name + "\">\n"
            + repeated("<STYLE FIELD=\"MAP_WATER_CLR\"></STYLE>\n", 3) + "</GARMIN_MAP_THEME>",
        ThemeKind::CarZumo);
    ASSERT_EQ(issues(scan).size(), 3u);
    for (const auto& issue : scan.issues) {
        EXPECT_EQ(issue.presentation, long_name.substr(0, longest_pres_name));
    }
}

// A name in a rule's group that the catalogue does not know would never be checked.
TEST(LintScan, RuleGroupsNameOnlyCatalogueElements)
{
    for (const auto& group : lint_groups()) {
        for (const auto name : group.car_zumo) {
            EXPECT_TRUE(known_element(ThemeKind::CarZumo, name)) << name;
        }
        for (const auto name : group.sport_fitness) {
            EXPECT_TRUE(known_element(ThemeKind::SportFitness, name)) << name;
        }
    }
}

} // namespace
