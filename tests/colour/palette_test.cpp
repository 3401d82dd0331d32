#include "colour/palette.h"

#include <gtest/gtest.h>

using namespace tintwell;

namespace {

TEST(Palette, BlocksInGreenBlueRedOrderThenGreys)
{
    struct Case
    {
        int block;
        ColourValue colour;
        const char* tool_tip;
    };
    const Case cases[] = {
        { 0, 0x000000, "#000000" },
        { 7, 0x0000FF, "#FF0000" }, // red runs innermost
        { 8, 0x390000, "#000039" }, // then blue
        { 40, 0x003000, "#003000" }, // then green
        { 17, 0x7B0020, "#20007B" },
        { 239, 0xFFFFFF, "#FFFFFF" },
        { 240, 0x101010, "" },
        { 253, 0xE6E6E6, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(col256()[c.block].colour, c.colour);
        EXPECT_EQ(col256()[c.block].tool_tip, c.tool_tip);
    }
}

TEST(Palette, BlackAndWhiteOccurOnceAndGridIsSixteenWide)
{
    int black = 0;
    int white = 0;
    for (const auto& block : col256()) {
        black += block.colour == 0;
        white += block.colour == 0xFFFFFF;
    }
    EXPECT_EQ(black, 1);
    EXPECT_EQ(white, 1);
    EXPECT_EQ(palette_column(17), 1);
    EXPECT_EQ(palette_row(17), 1);
    EXPECT_EQ(palette_column(253), 13);
    EXPECT_EQ(palette_row(253), 15);
}

TEST(Palette, MembershipIsExactlyThePaletteColours)
{
    struct Case
    {
        ColourValue colour;
        bool member;
    };
    const Case cases[] = {
        { 0x000020, true }, // red level 20: lost by a test that reads red against blue levels
        { 0x0000D5, true }, { 0x390000, true }, // blue level 39
        { 0xBD00FF, true }, { 0xE6E6E6, true }, // grey ramp
        { 0x7B0000 | 0x00CA00 | 0x6A, true },
        { 0x000039, false }, // 39 is a blue level, not a red one
        { 0x200000, false }, // 20 is a red level, not a blue one
        { 0x000300, false }, // "03" straddles the green levels 00 and 30 in the joined list
        { 0x000001, false }, { 0x808080, false },
        { 0x01000000 | 0xFFFFFF, true }, // the top byte is not part of the colour
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colour);
        EXPECT_EQ(shades_(c.colour), c.member);
    }
    for (const auto& block : col256()) {
        EXPECT_TRUE(shades_(block.colour));
    }
}

TEST(ShadeLadder, BandWidthRoundsToNearestAtLeastOne)
{
    EXPECT_EQ(ladder_band_width(3000), 12); // 11.72
    EXPECT_EQ(ladder_band_width(2520), 10); // 9.84
    EXPECT_EQ(ladder_band_width(384), 2); // 1.5 goes to the even neighbour
    EXPECT_EQ(ladder_band_width(640), 2); // 2.5 likewise
    EXPECT_EQ(ladder_band_width(10), 1);
    EXPECT_EQ(ladder_band_width(0), 1);
}

TEST(ShadeLadder, WhiteBlackAndAColour)
{
    const auto white = shade_ladder(0xFFFFFF);
    for (int k = 127; k < 256; ++k) {
        EXPECT_EQ(white[k], 0xFFFFFF) << k;
    }
    // 255 - Int(255 / 150 * 127) = 255 - 215 = 40: about 15 %.
    EXPECT_EQ(white[0], 0x282828);
    for (int k = 1; k < 128; ++k) {
        EXPECT_GE(white[k] & 0xFF, white[k - 1] & 0xFF);
    }

    const auto black = shade_ladder(0);
    for (int k = 0; k < 129; ++k) {
        EXPECT_EQ(black[k], 0) << k;
    }
    EXPECT_EQ(black[255], 0xFFFFFF);
    EXPECT_EQ(black[129] & 0xFF, 2); // 255 / 127 per band

    // Every channel reaches 255 in the last band, whatever the base.
    for (const ColourValue base : { 0x0000FF, 0x123456, 0x7F7F7F, 0xFE0001 }) {
        const auto ladder = shade_ladder(base);
        EXPECT_EQ(ladder[127], base);
        EXPECT_EQ(ladder[128], base);
        EXPECT_EQ(ladder[255], 0xFFFFFF) << base;
    }
    EXPECT_EQ(shade_ladder(0x0000FF)[0], 0x000028);
}

} // namespace
