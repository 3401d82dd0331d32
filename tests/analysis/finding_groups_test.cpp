#include "../model/theme_fixture.h"
#include "analysis/finding_groups.h"

#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

std::vector<FindingGroup> grouped(const std::string& text)
{
    Loaded loaded;
    EXPECT_TRUE(loaded.load(text));
    ThemeChecker checker;
    checker.read_file(text, loaded.doc);
    FindingGrouper grouper;
    for (const Finding& f : checker.file_findings()) {
        grouper.add(Finding(f));
    }
    checker.check_each(loaded.doc, [&](Finding&& f) { grouper.add(std::move(f)); });
    return grouper.take();
}

} // namespace

// One line per rule, time, vision and element, whatever the presentations and grounds: the
// members keep every pair, the line is the first member's style, the values their range.
TEST(FindingGroups, OneLinePerRuleTimeVisionAndElement)
{
    const std::string lands = coloured_style("MAP_LAND", "F2EFE9", "616070")
        + coloured_style("MAP_URBAN_LAND", "E0DDD5", "5E5C6B");
    const auto road = [](const char* night) {
        return coloured_style("MAP_ROAD_RESIDENTIAL", "909090", night);
    };
    const struct
    {
        const char* name;
        std::string theme;
        std::vector<std::string> lines;
        std::vector<std::size_t> sizes;
    } cases[] = {
        { "one presentation, one ground: as the finding alone reads",
            car_zumo_theme(presentation(
                "GUIDANCE", coloured_style("MAP_LAND", "F2EFE9", "616070") + road("555555"))),
            { "GUIDANCE: ROAD RESIDENTIAL is hard to see on LAND at night: contrast 1.2:1, needs "
              "1.5:1 (ROAD RESIDENTIAL #555555, LAND #616070)" },
            { 1 } },
        { "two grounds of one presentation",
            car_zumo_theme(presentation("GUIDANCE", lands + road("555555"))),
            { "GUIDANCE: ROAD RESIDENTIAL is hard to see on LAND and URBAN LAND at night: "
              "contrast 1.1-1.2:1, needs 1.5:1" },
            { 2 } },
        { "three presentations, two grounds, a range of values",
            car_zumo_theme(presentation("GUIDANCE", lands + road("555555"))
                + presentation("BROWSE", lands + road("505050"))
                + presentation("TRAFFIC", lands + road("5A5A5A"))),
            { "ROAD RESIDENTIAL is hard to see on LAND and URBAN LAND at night in 3 "
              "presentations: contrast 1-1.3:1, needs 1.5:1" },
            { 6 } },
        // Structure findings stay one to a line; a time of day apart is a group apart.
        { "structure findings, and day apart from night",
            car_zumo_theme(presentation("GUIDANCE", lands + road("555555") + road("555555"))
                + presentation(
                    "BROWSE", lands + coloured_style("MAP_ROAD_RESIDENTIAL", "F2EFE9", "202020"))),
            { "ROAD RESIDENTIAL is in GUIDANCE twice: at line 26 and again at line 32",
                "GUIDANCE: ROAD RESIDENTIAL is hard to see on LAND and URBAN LAND at night: "
                "contrast 1.1-1.2:1, needs 1.5:1",
                "BROWSE: ROAD RESIDENTIAL is hard to see on LAND and URBAN LAND by day: "
                "contrast 1-1.1:1, needs 1.5:1" },
            { 1, 2, 2 } },
    };
    for (const auto& c : cases) {
        const auto groups = grouped(c.theme);
        std::vector<std::string> lines;
        std::vector<std::size_t> sizes;
        for (const auto& g : groups) {
            lines.push_back(describe(g));
            sizes.push_back(g.size());
            int lowest = 0;
            for (const Finding& f : g.members) {
                if (f.line > 0 && (lowest == 0 || f.line < lowest)) {
                    lowest = f.line;
                }
            }
            EXPECT_EQ(g.line, lowest) << c.name;
        }
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(sizes, c.sizes) << c.name;
    }
}
