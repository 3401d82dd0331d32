#include "../model/theme_fixture.h"
#include "analysis/colour_fix.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

std::vector<FindingGroup> groups_of(const Document& doc)
{
    ThemeChecker checker;
    FindingGrouper grouper;
    checker.check_each(doc, [&](Finding&& f) { grouper.add(std::move(f)); });
    return grouper.take();
}

std::vector<std::string> lines_of(const std::vector<FindingGroup>& groups)
{
    std::vector<std::string> out;
    for (const auto& g : groups) {
        out.push_back(describe(g));
    }
    return out;
}

} // namespace

// Each theme has one group to fix: the fix reaches the rule's threshold against every ground with
// the smallest change it can find, the group is gone after it and nothing new is found; where no
// colour can reach it, the fix says why and changes nothing.
TEST(ColourFix, ReachesTheThresholdOrSaysWhyNot)
{
    const struct
    {
        const char* name;
        std::string styles;
        std::string step;
        bool fixable;
        std::string refusal;
    } cases[] = {
        { "a residential road dark on the land at night, in two presentations",
            coloured_style("MAP_LAND", "F2EFE9", "616070")
                + coloured_style("MAP_URBAN_LAND", "E0DDD5", "5E5C6B")
                + coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "555555"),
            "Fix ROAD RESIDENTIAL at night (2 presentations)", true, "" },
        // Pure blue cannot get lighter or darker without leaving sRGB: only less chroma helps.
        { "a blue interstate on grey land",
            coloured_style("MAP_LAND", "777777") + coloured_style("MAP_ROAD_INTERSTATE", "0000FF"),
            "Fix ROAD INTERSTATE by day and at night (2 presentations)", true, "" },
        // 3:1 against black and a light grey at once: no lightness has both.
        { "grounds that leave no room",
            coloured_style("MAP_LAND", "000000") + coloured_style("MAP_URBAN_LAND", "A0A0A0")
                + coloured_style("MAP_ROAD_INTERSTATE", "555555"),
            "Fix ROAD INTERSTATE by day and at night (2 presentations)", false,
            "no colour of ROAD INTERSTATE's hue reaches 3:1 against every ground" },
        // Only the black land fails; every colour light enough for it fails the urban land.
        { "a fix that would break another ground",
            coloured_style("MAP_LAND", "000000") + coloured_style("MAP_URBAN_LAND", "A0A0A0")
                + coloured_style("MAP_ROAD_INTERSTATE", "505050"),
            "Fix ROAD INTERSTATE by day and at night (2 presentations)", false,
            "every colour near ROAD INTERSTATE's that reaches it makes another of its findings "
            "worse" },
    };
    for (const auto& c : cases) {
        Loaded loaded;
        ASSERT_TRUE(loaded.load(
            car_zumo_theme(presentation("GUIDANCE", c.styles) + presentation("BROWSE", c.styles))))
            << c.name;
        Document& doc = loaded.doc;
        const auto groups = groups_of(doc);
        ASSERT_EQ(groups.size(), 1u) << c.name << "\n" << testing::PrintToString(lines_of(groups));
        const FixProposal fix = propose_fix(doc, groups.front());
        EXPECT_EQ(fix.description, c.step) << c.name;
        EXPECT_EQ(fix.fixable(), c.fixable) << c.name;
        EXPECT_EQ(fix.refusal, c.refusal) << c.name;
        if (!fix.fixable()) {
            EXPECT_EQ(fix_edit(doc, fix).styles, 0) << c.name;
            continue;
        }
        EXPECT_GE(fix.worst_after, fix.threshold) << c.name;
        EXPECT_LT(fix.worst_before, fix.threshold) << c.name;
        const ColourEdit edit = fix_edit(doc, fix);
        EXPECT_EQ(edit.description, c.step) << c.name;
        EXPECT_EQ(edit.styles, 2) << c.name;
        edit.edit.apply(doc);
        EXPECT_EQ(lines_of(groups_of(doc)), std::vector<std::string> {}) << c.name;
        // Near the style's own colour, not simply the farthest from the ground.
        for (std::size_t k = 0; k < fix.colours.size(); ++k) {
            const double change = colour::delta_e2000(fix.before[k], fix.colours[k].colour);
            EXPECT_LT(change,
                std::min(colour::delta_e2000(fix.before[k], colour::Rgb { 0, 0, 0 }),
                    colour::delta_e2000(fix.before[k], colour::Rgb { 255, 255, 255 })))
                << c.name;
        }
    }
}

// Searching for a contrast passes over lightnesses whose CIE Y lies well inside the band of
// luminances too near a ground, without converting a colour; that holds only while any colour of
// a lightness has a relative luminance within 0.021 of its Y. Colours all over the gamut, the
// saturated yellows and blues farthest from it included.
TEST(ColourFix, RelativeLuminanceStaysNearTheYOfItsLightness)
{
    std::uint64_t state = 0x2545F4914F6CDD1DU;
    const auto next = [&](double low, double high) {
        state = state * 6364136223846793005U + 1442695040888963407U;
        return low + (high - low) * static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    int inside = 0;
    double widest = 0;
    for (int k = 0; k < 400000; ++k) {
        const colour::Lab lab { next(0, 100), next(-130, 130), next(-130, 130) };
        const auto rgb = colour::from_lab(lab);
        if (!rgb) {
            continue;
        }
        ++inside;
        const double f = (lab.L + 16) / 116;
        const double y = f > 24.0 / 116 ? f * f * f : (f - 16.0 / 116) * (108.0 / 841);
        widest = std::max(widest, std::fabs(colour::relative_luminance(*rgb) - y));
    }
    EXPECT_GT(inside, 20000);
    EXPECT_LT(widest, 0.021);
    EXPECT_GT(widest, 0.01);
}
