#include "colour/colour_science.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace tintwell::colour;

namespace {

std::vector<std::vector<std::string>> read_csv(const std::string& name)
{
    std::ifstream in(std::string(TINTWELL_TEST_DATA) + "/" + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream s(line);
        for (std::string cell; std::getline(s, cell, ',');) {
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST(ColourScience, ReadsColoursAsThemesWriteThem)
{
    const struct
    {
        const char* text;
        std::optional<Rgb> colour;
    } cases[] = {
        { "1E90FF", Rgb { 0x1e, 0x90, 0xff } },
        { "#1e90ff", Rgb { 0x1e, 0x90, 0xff } },
        { " 1e90ff ", Rgb { 0x1e, 0x90, 0xff } },
        { "801e90ff", Rgb { 0x1e, 0x90, 0xff } }, // transparency prefix ignored
        { "#ff000000", Rgb { 0, 0, 0 } },
        { "-1", std::nullopt },
        { "", std::nullopt },
        { "#", std::nullopt },
        { "12345", std::nullopt },
        { "1234567", std::nullopt },
        { "GG0000", std::nullopt },
        { "zz1e90ff", std::nullopt },
        { "1e 0ff", std::nullopt },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_rgb(c.text), c.colour) << c.text;
    }
    EXPECT_EQ(to_hex({ 0x1e, 0x90, 0xff }), "1E90FF");
    EXPECT_EQ(to_hex({ 0, 0, 0x0a }), "00000A");
}

TEST(ColourScience, ContrastRatioFollowsWcag)
{
    const Rgb black { 0, 0, 0 };
    const Rgb white { 255, 255, 255 };
    EXPECT_DOUBLE_EQ(contrast_ratio(black, white), 21.0);
    EXPECT_DOUBLE_EQ(contrast_ratio(white, black), 21.0);
    EXPECT_DOUBLE_EQ(contrast_ratio(*parse_rgb("1E90FF"), *parse_rgb("1E90FF")), 1.0);
    // #767676 is the lightest grey that reaches 4.5:1 on white.
    EXPECT_NEAR(contrast_ratio(*parse_rgb("767676"), white), 4.54, 0.005);
    EXPECT_LT(contrast_ratio(*parse_rgb("777777"), white), 4.5);
}

TEST(ColourScience, Ciede2000MatchesSharmaWuDalal)
{
    const auto rows = read_csv("ciede2000_sharma2005.csv");
    ASSERT_EQ(rows.size(), 34u);
    for (const auto& r : rows) {
        const Lab a { std::stod(r[0]), std::stod(r[1]), std::stod(r[2]) };
        const Lab b { std::stod(r[3]), std::stod(r[4]), std::stod(r[5]) };
        const double expected = std::stod(r[6]);
        EXPECT_NEAR(delta_e2000(a, b), expected, 0.00005) << r[0] << ',' << r[1] << ',' << r[2];
        EXPECT_NEAR(delta_e2000(b, a), expected, 0.00005);
    }
}

TEST(ColourScience, LabOfSrgbColours)
{
    const Lab white = to_lab({ 255, 255, 255 });
    EXPECT_NEAR(white.L, 100.0, 0.01);
    EXPECT_NEAR(white.a, 0.0, 0.01);
    EXPECT_NEAR(white.b, 0.0, 0.01);
    const Lab black = to_lab({ 0, 0, 0 });
    EXPECT_NEAR(black.L, 0.0, 0.01);
    // sRGB red in D50 Lab (Bradford-adapted, as ICC profiles give it).
    const Lab red = to_lab({ 255, 0, 0 });
    EXPECT_NEAR(red.L, 54.29, 0.1);
    EXPECT_NEAR(red.a, 80.80, 0.3);
    EXPECT_NEAR(red.b, 69.89, 0.3);
    EXPECT_DOUBLE_EQ(delta_e2000(Rgb { 10, 20, 30 }, Rgb { 10, 20, 30 }), 0.0);
    EXPECT_GT(delta_e2000(Rgb { 255, 0, 0 }, Rgb { 0, 255, 0 }), 50.0);
}

// The bounds that spare the full difference must never change its answer: colours scattered
// round each reference, many of them close to the limit, and references through the whole Lab
// range: saturated blues, where the rotation term weighs most, greys, where hue means nothing,
// and forty more at random.
TEST(ColourScience, NearColoursAnswersAsTheFullDifference)
{
    std::uint32_t seed = 7;
    const auto next = [&seed](double spread) {
        seed = seed * 1664525U + 1013904223U;
        return (static_cast<double>(seed >> 8) / (1 << 24) - 0.5) * 2 * spread;
    };
    std::vector<Lab> references { Lab { 55.0, -8.0, -55.0 }, Lab { 50.0, 0.0, 0.0 },
        Lab { 100.0, 0.0, 0.0 }, Lab { 87.0, -80.0, 75.0 }, Lab { 30.0, 60.0, -100.0 },
        Lab { 5.0, 2.0, -3.0 } };
    for (int i = 0; i < 40; ++i) {
        const double chroma = i % 4 == 0 ? 1 : 128;
        references.push_back({ 50 + next(50), next(chroma), next(chroma) });
    }
    int near_count = 0;
    int far_count = 0;
    for (const double difference : { 2.0, 10.0 }) {
        for (const Lab& reference : references) {
            const NearColours near(reference, difference);
            std::vector<Lab> others;
            for (int i = 0; i < 3000; ++i) {
                const double spread = (i % 4 + 1) * difference;
                others.push_back({ reference.L + next(spread), reference.a + next(spread * 3),
                    reference.b + next(spread * 3) });
            }
            std::vector<std::uint8_t> marks(others.size(), 2);
            near.mark(LabTable(others), marks);
            for (std::size_t i = 0; i < others.size(); ++i) {
                const Lab& other = others[i];
                const bool expected = delta_e2000(reference, other) < difference;
                ASSERT_EQ(marks[i], expected ? 1 : 0)
                    << reference.L << ',' << reference.a << ',' << reference.b << " to " << other.L
                    << ',' << other.a << ',' << other.b;
                if (i % 16 == 0) {
                    ASSERT_EQ(near.near(other), expected) << i;
                }
                (expected ? near_count : far_count) += 1;
            }
        }
    }
    EXPECT_GT(near_count, 20000);
    EXPECT_GT(far_count, 20000);
}

// The pairs found through the grid are exactly those that comparing every colour with every
// other finds, with the same differences, on sets shaped to strain the bounds: blues, where the
// hue rotation term is largest; greys and near-greys, where a* is stretched most; colours packed
// into a corner of the cube; random colours; colours of middling and high chroma, where the
// stretch of a* falls fastest; copies of one colour; and Lab values out of range.
TEST(ColourScience, NearPairsAreThoseOfComparingEveryPair)
{
    std::uint32_t seed = 11;
    const auto next = [&seed](int range) {
        seed = seed * 1664525U + 1013904223U;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    };
    const auto rgb_set = [&](auto make, int count) {
        std::vector<Rgb> rgbs;
        for (int i = 0; i < count; ++i) {
            rgbs.push_back(make());
        }
        return to_lab(rgbs);
    };
    const auto byte = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    std::vector<Lab> wild;
    for (int i = 0; i < 800; ++i) {
        wild.push_back(
            { next(400) - 150.0 + next(100) / 100.0, next(600) - 300.0, next(60) - 30.0 });
    }
    wild.push_back({ std::nan(""), 0, 0 });
    wild.push_back({ 50, std::numeric_limits<double>::infinity(), 0 });
    const struct
    {
        const char* name;
        std::vector<Lab> labs;
        std::vector<double> differences;
    } cases[] = {
        { "random colours",
            rgb_set(
                [&] {
                    return Rgb { byte(next(256)), byte(next(256)), byte(next(256)) };
                },
                1500),
            { 2, 10, 40 } },
        { "saturated blues",
            rgb_set(
                [&] {
                    return Rgb { byte(next(60)), byte(next(70)), byte(190 + next(66)) };
                },
                1200),
            { 2, 5 } },
        { "greys and near-greys",
            rgb_set(
                [&] {
                    const int v = next(256);
                    return Rgb { byte(v + next(7) - 3), byte(v + next(7) - 3),
                        byte(v + next(7) - 3) };
                },
                1200),
            { 2, 0.5 } },
        { "a dense corner and pure colours",
            rgb_set(
                [&] {
                    const int corner = next(4);
                    return corner == 0
                        ? Rgb { byte(255 - next(20)), byte(next(20)), byte(next(20)) }
                        : corner == 1 ? Rgb { byte(next(20)), byte(255 - next(20)), byte(next(20)) }
                        : corner == 2
                        ? Rgb { byte(255 - next(20)), byte(next(20)), byte(255 - next(20)) }
                        : Rgb { byte(next(12)), byte(next(12)), byte(next(12)) };
                },
                1200),
            { 2 } },
        { "middling and high chroma, where the a* stretch bound narrows the reach",
            [&] {
                std::vector<Lab> labs;
                for (int i = 0; i < 1000; ++i) {
                    const double chroma = 15 + next(6000) / 100.0;
                    const double hue = next(36000) / 100.0 * 3.14159265358979 / 180;
                    labs.push_back({ 30 + next(4000) / 100.0, chroma * std::cos(hue),
                        chroma * std::sin(hue) });
                }
                return labs;
            }(),
            { 2, 5 } },
        { "copies of one colour", std::vector<Lab>(40, Lab { 50, 20, -30 }), { 2 } },
        { "Lab values out of range", wild, { 2, 30 } },
        { "one colour", { Lab { 50, 0, 0 } }, { 2 } },
    };
    for (const auto& c : cases) {
        const LabTable table(c.labs);
        for (const double difference : c.differences) {
            std::vector<std::tuple<std::size_t, std::size_t, double>> expected;
            for (std::size_t i = 0; i < c.labs.size(); ++i) {
                for (std::size_t j = i + 1; j < c.labs.size(); ++j) {
                    const double d = delta_e2000(c.labs[i], c.labs[j]);
                    if (d < difference) {
                        expected.emplace_back(i, j, d);
                    }
                }
            }
            std::vector<std::tuple<std::size_t, std::size_t, double>> found;
            for (const NearPair& pair : near_pairs(table, difference)) {
                found.emplace_back(pair.first, pair.second, pair.difference);
            }
            std::sort(found.begin(), found.end());
            EXPECT_EQ(found, expected) << c.name << " below " << difference;
            EXPECT_TRUE(c.labs.size() < 100 || !expected.empty()) << c.name;
        }
    }
}

TEST(ColourScience, ManyColoursConvertAsOneAtATime)
{
    std::vector<Rgb> colours;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        colours.push_back(Rgb::from_packed(i * 2654435761U));
    }
    const std::vector<Lab> labs = to_lab(colours);
    ASSERT_EQ(labs.size(), colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Lab one = to_lab(colours[i]);
        ASSERT_EQ(labs[i].L, one.L);
        ASSERT_EQ(labs[i].a, one.a);
        ASSERT_EQ(labs[i].b, one.b);
    }
    EXPECT_TRUE(to_lab(std::span<const Rgb> {}).empty());
}

// The conversions work colours out themselves on this build, and to the last bit as Little CMS
// does: any difference would move a checker's value or a searched colour. Colours at the knee of
// the sRGB curve and the corners of the cube, Lab colours on the edges of the gamut (just inside
// and outside each corner), past the ranges and not a number, then many at random.
TEST(ColourScience, OwnLabArithmeticGivesLittleCmsResults)
{
    ASSERT_TRUE(own_lab_arithmetic());
    std::vector<Rgb> colours;
    for (const std::uint8_t v : { 0, 1, 2, 9, 10, 11, 12, 127, 128, 254, 255 }) {
        colours.push_back({ v, v, v });
        colours.push_back({ v, 0, 0 });
        colours.push_back({ 0, v, 0 });
        colours.push_back({ 0, 0, v });
        colours.push_back({ 255, v, 255 });
    }
    std::uint64_t state = 0x9E3779B97F4A7C15U;
    const auto next = [&] {
        state = state * 6364136223846793005U + 1442695040888963407U;
        return static_cast<std::uint32_t>(state >> 32);
    };
    for (int k = 0; k < 100000; ++k) {
        colours.push_back(Rgb::from_packed(next()));
    }
    std::vector<Lab> labs;
    for (const Rgb c : colours) {
        const Lab own = to_lab(c);
        const Lab cms = cms_to_lab(c);
        ASSERT_EQ(own.L, cms.L) << to_hex(c);
        ASSERT_EQ(own.a, cms.a) << to_hex(c);
        ASSERT_EQ(own.b, cms.b) << to_hex(c);
        // Just inside and outside the colour, where rounding or the gamut's edge decide.
        for (const double shift : { -1e-9, 1e-9, -0.01, 0.01, -0.5, 0.5 }) {
            labs.push_back({ own.L + shift, own.a - shift, own.b + shift });
        }
    }
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Lab edge : { Lab { 0, 0, 0 }, Lab { 100, 0, 0 }, Lab { -3, 0, 0 },
             Lab { 103, 0, 0 }, Lab { 50, 129, -129 }, Lab { 50, -200, 200 },
             Lab { nan, 0, 0 }, Lab { 50, nan, 0 }, Lab { 50, 0, nan } }) {
        labs.push_back(edge);
    }
    for (int k = 0; k < 100000; ++k) {
        labs.push_back({ next() % 12000 / 100.0 - 10, next() % 30000 / 100.0 - 150,
            next() % 30000 / 100.0 - 150 });
    }
    int inside = 0;
    for (const Lab& lab : labs) {
        const auto own = from_lab(lab);
        ASSERT_EQ(own, cms_from_lab(lab)) << lab.L << " " << lab.a << " " << lab.b;
        inside += own.has_value();
    }
    EXPECT_GT(inside, 300000);
    EXPECT_FALSE(from_lab({ nan, 0, 0 }));
}

// The colour on the edge of sRGB by halving the share of chroma kept, fourteen times.
std::optional<Rgb> halved_into_srgb(const Lab& lab)
{
    if (const auto inside = from_lab(lab)) {
        return inside;
    }
    if (!from_lab({ lab.L, 0, 0 })) {
        return std::nullopt;
    }
    double low = 0;
    double high = 1;
    for (int round = 0; round < 14; ++round) {
        const double share = (low + high) / 2;
        (from_lab({ lab.L, lab.a * share, lab.b * share }) ? low : high) = share;
    }
    return from_lab({ lab.L, lab.a * low, lab.b * low });
}

TEST(ColourScience, ReducingChromaFindsTheEdgeOfSrgb)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Lab> labs { { 50, 0, 0 }, { 50, 200, 0 }, { 50, 0, -200 }, { 97, 80, 90 },
        { 3, -60, -60 }, { 100, 30, 0 }, { 101, 0, 0 }, { -1, 10, 10 }, { nan, 50, 0 },
        { 50, nan, 0 } };
    std::uint64_t state = 0x2545F4914F6CDD1DU;
    const auto next = [&] {
        state = state * 6364136223846793005U + 1442695040888963407U;
        return static_cast<std::uint32_t>(state >> 32);
    };
    for (int k = 0; k < 20000; ++k) {
        labs.push_back({ next() % 10400 / 100.0 - 2, next() % 32000 / 100.0 - 160,
            next() % 32000 / 100.0 - 160 });
    }
    const auto found = from_lab_reducing_chroma(labs);
    ASSERT_EQ(found.size(), labs.size());
    EXPECT_EQ(found[0], from_lab(labs[0]));
    int differ = 0;
    for (std::size_t k = 0; k < labs.size(); ++k) {
        const auto halved = halved_into_srgb(labs[k]);
        ASSERT_EQ(found[k].has_value(), halved.has_value()) << k;
        // Where the gamut's edge is ragged in single precision, the two may stop a step apart.
        differ += found[k] != halved;
    }
    EXPECT_LE(differ, static_cast<int>(labs.size() / 1000));
    for (const std::size_t outside : { 6, 7, 8, 9 }) {
        EXPECT_FALSE(found[outside]) << outside;
    }
}

double encode(double linear)
{
    const double c = std::clamp(linear, 0.0, 1.0);
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

TEST(ColourScience, DeficienciesUseMachadoMatrices)
{
    const std::map<std::string, Vision> visions { { "protanopia", Vision::Protanopia },
        { "deuteranopia", Vision::Deuteranopia }, { "tritanopia", Vision::Tritanopia } };
    // A pure primary picks one column of the matrix: the published figures, channel by channel.
    const std::array<Rgb, 3> primaries { Rgb { 255, 0, 0 }, Rgb { 0, 255, 0 }, Rgb { 0, 0, 255 } };
    const auto rows = read_csv("cvd_machado2009.csv");
    ASSERT_EQ(rows.size(), 9u);
    for (const auto& r : rows) {
        const Vision vision = visions.at(r[0]);
        const int out_channel = std::stoi(r[1]) - 1;
        for (int column = 0; column < 3; ++column) {
            const Rgb seen = simulate(primaries[static_cast<std::size_t>(column)], vision);
            const std::array<std::uint8_t, 3> channels { seen.r, seen.g, seen.b };
            const double expected = std::round(encode(std::stod(r[2 + column])) * 255.0);
            EXPECT_NEAR(channels[static_cast<std::size_t>(out_channel)], expected, 0.5)
                << r[0] << " row " << r[1] << " column " << column;
        }
    }
    for (const auto& [name, vision] : visions) {
        for (const std::uint8_t level : { 0, 64, 128, 200, 255 }) {
            const Rgb grey { level, level, level };
            const Rgb seen = simulate(grey, vision);
            EXPECT_NEAR(seen.r, level, 2) << name;
            EXPECT_NEAR(seen.g, level, 2) << name;
            EXPECT_NEAR(seen.b, level, 2) << name;
        }
        EXPECT_STREQ(vision_name(vision), name.c_str());
    }
    EXPECT_EQ(simulate({ 1, 2, 3 }, Vision::Normal), (Rgb { 1, 2, 3 }));
    // Red and green, far apart to most eyes, come close without red or green cones.
    const Rgb red { 200, 40, 40 };
    const Rgb green { 90, 140, 40 };
    EXPECT_LT(
        delta_e2000(simulate(red, Vision::Deuteranopia), simulate(green, Vision::Deuteranopia)),
        delta_e2000(red, green) / 2);
}

} // namespace
