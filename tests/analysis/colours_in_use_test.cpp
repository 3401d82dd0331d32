#include "../model/theme_fixture.h"
#include "analysis/colours_in_use.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace tintwell;
using namespace tintwell::test;

namespace {

std::string hex(const ColourInUse& c)
{
    return colour::to_hex(c.colour);
}

TEST(ColoursInUse, CountsEveryCellOfEachColourByRoleAndTime)
{
    Loaded theme;
    ASSERT_TRUE(theme.load(car_zumo_theme(
        presentation("GUIDANCE",
            cz_style("MAP_WATER", " scale=\"1\"", cz_primary("9EC5F0", "3F4E74"))
                + cz_style("MAP_ROAD", " border=\"1\"",
                    cz_primary("FFFFFF", "3F4E74") + cz_secondary("9ec5f0", "000000"))
                + cz_style("MAP_PARK", "", cz_primary("C8E6B0", "")))
        + presentation("BROWSE",
            cz_style("MAP_TRAIL", " border=\"1\"",
                cz_primary("ffffff", "000000") + "<SECONDARY/>\r\n")))));
    // A row added in the program keeps lower case and, in a Sport & Fitness style, a prefix.
    StyleRow added = colour_row("", "", "ff9ec5f0", "-1", "zz", "");
    theme.doc.rows.push_back(added);

    const struct
    {
        const char* colour;
        std::array<int, 4> counts; // body day, body night, border day, border night
        std::vector<ColourUse> uses;
    } expected[] = {
        { "9EC5F0", { 2, 0, 1, 0 },
            { { 0, ColourSlot::BodyDay }, { 1, ColourSlot::BorderDay },
                { 4, ColourSlot::BodyDay } } },
        { "000000", { 0, 1, 0, 1 },
            { { 1, ColourSlot::BorderNight }, { 3, ColourSlot::BodyNight } } },
        { "3F4E74", { 0, 2, 0, 0 },
            { { 0, ColourSlot::BodyNight }, { 1, ColourSlot::BodyNight } } },
        { "FFFFFF", { 2, 0, 0, 0 }, { { 1, ColourSlot::BodyDay }, { 3, ColourSlot::BodyDay } } },
        { "C8E6B0", { 1, 0, 0, 0 }, { { 2, ColourSlot::BodyDay } } },
    };
    const std::vector<ColourInUse> colours = colours_in_use(theme.doc);
    ASSERT_EQ(colours.size(), std::size(expected));
    for (std::size_t i = 0; i < colours.size(); ++i) {
        SCOPED_TRACE(expected[i].colour);
        EXPECT_EQ(hex(colours[i]), expected[i].colour);
        EXPECT_EQ(colours[i].counts, expected[i].counts);
        EXPECT_EQ(colours[i].uses, expected[i].uses);
        EXPECT_EQ(colours[i].transparent, 0);
    }
}

TEST(ColoursInUse, SportFitnessPrefixesAreNotPartOfTheColour)
{
    Loaded theme;
    ASSERT_TRUE(theme.load(sf_theme(
        "<style field=\"mpm_water_clr\"><color><primary day=\"#ff404040\" night=\"#80404040\"/>"
        "<secondary day=\"#00404040\" night=\"#ff101010\"/></color></style>"
        "<style field=\"mpm_road_clr\"><color><primary day=\"#ff101010\"/>"
        "<secondary day=\"#ff404040\" night=\"#00101010\"/></color></style>")));
    const std::vector<ColourInUse> colours = colours_in_use(theme.doc);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(hex(colours[0]), "404040");
    EXPECT_EQ(colours[0].counts, (std::array<int, 4> { 1, 1, 2, 0 }));
    EXPECT_EQ(colours[0].transparent, 1);
    EXPECT_EQ(hex(colours[1]), "101010");
    EXPECT_EQ(colours[1].counts, (std::array<int, 4> { 1, 0, 0, 2 }));
    EXPECT_EQ(colours[1].transparent, 1);
}

TEST(ColoursInUse, Orders)
{
    Document doc;
    // Uses: C0C0C0 three times, 00FF00 and FF0000 twice (ties by RRGGBB), the rest once.
    for (const char* day : { "C0C0C0", "C0C0C0", "C0C0C0", "FF0000", "FF0000", "00FF00", "00FF00",
             "000000", "FFFFFF", "0000FF", "FF00FF", "FFFF00", "800000", "808080" }) {
        doc.rows.push_back(colour_row("", "", day, "-1"));
    }
    const struct
    {
        ColourOrder order;
        std::vector<std::string> colours;
    } cases[] = {
        { ColourOrder::Uses,
            { "C0C0C0", "00FF00", "FF0000", "000000", "0000FF", "800000", "808080", "FF00FF",
                "FFFF00", "FFFFFF" } },
        // Greys dark to light, then red (dark before bright), yellow, green, blue, magenta.
        { ColourOrder::Hue,
            { "000000", "808080", "C0C0C0", "FFFFFF", "800000", "FF0000", "FFFF00", "00FF00",
                "0000FF", "FF00FF" } },
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const ColourInUse& colour : colours_in_use(doc, c.order)) {
            got.push_back(hex(colour));
        }
        EXPECT_EQ(got, c.colours) << static_cast<int>(c.order);
    }
}

ColourInUse used(std::uint32_t rrggbb, int uses, int first_row)
{
    ColourInUse c;
    c.colour = colour::Rgb::from_packed(rrggbb);
    for (int i = 0; i < uses; ++i) {
        c.uses.push_back({ first_row + i, ColourSlot::BodyDay });
    }
    return c;
}

TEST(NearDuplicates, KeepsTheMoreUsedOrTheFirstUsed)
{
    // 8C5A2B and 8B5A2B differ by about 0.3; 3F4E74 and 435174 by about 1.3; 000000 and 0D0D0D
    // by 2.11, just too far.
    const std::vector<ColourInUse> colours = { used(0x8B5A2B, 1, 0), used(0x8C5A2B, 3, 5),
        used(0x435174, 1, 2), used(0x3F4E74, 1, 7), used(0x000000, 9, 1), used(0x0D0D0D, 1, 3) };
    const std::vector<NearDuplicate> pairs = near_duplicates(colours);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].kept, 1u);
    EXPECT_EQ(pairs[0].merged, 0u);
    EXPECT_NEAR(pairs[0].delta_e, colour::delta_e2000(colours[0].colour, colours[1].colour), 1e-9);
    EXPECT_EQ(pairs[1].kept, 2u); // equal uses: the one used first in the theme stays
    EXPECT_EQ(pairs[1].merged, 3u);
    EXPECT_LT(pairs[0].delta_e, pairs[1].delta_e);
}

// Pairs come closest first and equally close ones by position, as the report and the window list
// them: copies of three colours (every copy 0 from its own colour's others, and each as far from
// every copy of another colour), and random colours whose differences differ in every digit.
TEST(NearDuplicates, ClosestFirstAndEquallyCloseByPosition)
{
    std::vector<ColourInUse> copies;
    constexpr std::uint32_t three[] = { 0x8B5A2B, 0x8C5A2B, 0x8B5B2B };
    for (int i = 0; i < 12; ++i) {
        copies.push_back(used(three[i % 3], 1 + i % 2, i));
    }
    std::mt19937 random(3);
    std::vector<ColourInUse> spread;
    for (int i = 0; i < 1500; ++i) {
        spread.push_back(used(random() & 0xFFFFFF, 1 + i % 3, i));
    }
    for (const auto& colours : { copies, spread }) {
        std::size_t expected = 0;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            for (std::size_t j = i + 1; j < colours.size(); ++j) {
                expected +=
                    colour::delta_e2000(colours[i].colour, colours[j].colour) < near_duplicate_limit
                    ? 1
                    : 0;
            }
        }
        const std::vector<NearDuplicate> pairs = near_duplicates(colours);
        EXPECT_EQ(pairs.size(), expected);
        EXPECT_GT(pairs.size(), 30u);
        const auto not_before = [](const NearDuplicate& a, const NearDuplicate& b) {
            return a.delta_e != b.delta_e
                ? a.delta_e > b.delta_e
                : std::pair(a.kept, a.merged) >= std::pair(b.kept, b.merged);
        };
        EXPECT_EQ(std::adjacent_find(pairs.begin(), pairs.end(), not_before), pairs.end());
    }
}

// The search skips pairs too far apart in lightness or a*b* to be near; it must never skip one
// that is. Clusters of close colours all over the gamut, saturated blues (where the hue rotation
// term of CIEDE2000 is largest) and the extremes of lightness, against every pair.
TEST(NearDuplicates, FindsEveryPairThatComparingAllPairsFinds)
{
    std::mt19937 random(14);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> step(-6, 6);
    std::set<std::uint32_t> packed;
    const auto add = [&](int r, int g, int b) {
        const auto clamp = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
        packed.insert(clamp(r) << 16 | clamp(g) << 8 | clamp(b));
    };
    for (int cluster = 0; cluster < 60; ++cluster) {
        const int r = any(random), g = any(random), b = cluster % 4 == 0 ? 255 : any(random);
        for (int i = 0; i < 8; ++i) {
            add(r + step(random), g + step(random), b + step(random));
        }
    }
    for (int v = 0; v < 12; ++v) {
        add(v, v, v + step(random) / 2);
        add(255 - v, 255 - v, 255 - v);
    }
    std::vector<ColourInUse> colours;
    for (const std::uint32_t p : packed) {
        colours.push_back(used(p, 1, static_cast<int>(colours.size())));
    }
    for (const double limit : { near_duplicate_limit, 5.0 }) {
        std::set<std::pair<std::size_t, std::size_t>> expected;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            for (std::size_t j = i + 1; j < colours.size(); ++j) {
                if (colour::delta_e2000(colours[i].colour, colours[j].colour) < limit) {
                    expected.emplace(i, j);
                }
            }
        }
        std::set<std::pair<std::size_t, std::size_t>> found;
        for (const NearDuplicate& pair : near_duplicates(colours, limit)) {
            found.emplace(std::min(pair.kept, pair.merged), std::max(pair.kept, pair.merged));
        }
        EXPECT_GT(expected.size(), 50u) << limit;
        EXPECT_EQ(found, expected) << limit;
    }
}

} // namespace
