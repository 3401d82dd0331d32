#include "model/lint_scan.h"
#include "model/text.h"
#include "theme_fixture.h"

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
                { "cut-off", 22, "", "</GARMIN_MAP_THEME>" } } },
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
