#include "model/text.h"

#include <gtest/gtest.h>

using namespace tintwell::text;

TEST(Text, InstrIsOneBasedAndClampsItsStart)
{
    struct Case
    {
        std::string_view hay, needle;
        std::size_t start, expected;
    };
    const Case cases[] = {
        { "abcabc", "b", 1, 2 },
        { "abcabc", "b", 3, 5 },
        { "abcabc", "b", 6, 0 },
        { "abcabc", "x", 1, 0 },
        { "abc", "b", 0, 2 }, // a start of 0 counts as 1
        { "abc", "b", 99, 0 }, // past the end: not found, no read out of range
        { "", "a", 1, 0 },
        { "abc", "", 1, 1 },
        { "abc", "abcd", 1, 0 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(instr(c.hay, c.needle, c.start), c.expected) << c.hay << " / " << c.needle;
    }
}

TEST(Text, MidLeftRightNeverReadOutOfRange)
{
    EXPECT_EQ(mid("abcdef", 3), "cdef");
    EXPECT_EQ(mid("abcdef", 3, 2), "cd");
    EXPECT_EQ(mid("abcdef", 0, 2), "ab");
    EXPECT_EQ(mid("abcdef", 6, 99), "f");
    EXPECT_EQ(mid("abcdef", 7), "");
    EXPECT_EQ(mid("abcdef", 1000, 3), "");
    EXPECT_EQ(left("abc", 10), "abc");
    EXPECT_EQ(right("abc", 2), "bc");
    EXPECT_EQ(right("abc", 10), "abc");
}

TEST(Text, ReplaceIsOnePassAndCaseSensitive)
{
    // Three blanks with "  " -> " " leave two: the output is not searched again.
    EXPECT_EQ(replace("a   b", "  ", " "), "a  b");
    EXPECT_EQ(replace("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(replace("Field FIELD", "FIELD", "x"), "Field x");
    EXPECT_EQ(replace("abc", "", "x"), "abc");
    EXPECT_EQ(replace("a=b", "=", "=="), "a==b");
    EXPECT_EQ(remove("\"a\"\"", "\""), "a");
}

TEST(Text, SplitKeepsEmptyPieces)
{
    EXPECT_EQ(split("a,b,,c,", ","), (std::vector<std::string> { "a", "b", "", "c", "" }));
    EXPECT_EQ(split("", ","), (std::vector<std::string> { "" }));
    EXPECT_EQ(split("x<STYLEy<STYLE", "<STYLE"), (std::vector<std::string> { "x", "y", "" }));
}

TEST(Text, TrimRemovesBlanksOnly)
{
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim(" GUIDANCE \r"), "GUIDANCE \r");
    EXPECT_EQ(trim("\tx\t"), "\tx\t");
    EXPECT_EQ(trim("    "), "");
}

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(upper("abz_AZ09\xe9"), "ABZ_AZ09\xe9");
    EXPECT_EQ(lower("ABZ_az09\xc9"), "abz_az09\xc9");
}

TEST(Text, ValReadsTheNumberAtTheStart)
{
    struct Case
    {
        std::string_view in;
        double expected;
    };
    const Case cases[] = {
        { ".3", 0.3 },
        { "1.5", 1.5 },
        { "  2.5x", 2.5 },
        { "-1", -1.0 },
        { "abc", 0.0 },
        { "", 0.0 },
        { ".", 0.0 },
        { "1e2", 100.0 },
        { "7e", 7.0 },
        { "1.2.3", 1.2 },
        { "99999999999999999999999999999", 1e29 },
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(val(c.in), c.expected) << c.in;
    }
}

TEST(Text, Latin1BecomesUtf8)
{
    EXPECT_EQ(latin1_to_utf8("\xa3)*("), "\xc2\xa3)*(");
    EXPECT_EQ(latin1_to_utf8("\xff"), "\xc3\xbf");
    EXPECT_EQ(latin1_to_utf8("plain"), "plain");
}
