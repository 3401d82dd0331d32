#include "model/text.h"

#include <functional>
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

// Texts of every length up to a few blocks of sixteen, drawn from a tiny alphabet so that partial
// matches are everywhere: the fast search must give what std::string_view::find gives, from any
// start, near the ends of the text and across block boundaries.
// Also the case-blind search, against the standard search in the lowered text.
TEST(Text, FindLiteralAgreesWithTheStandardSearch)
{
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    const char alphabet[] = "aB<";
    for (std::size_t length = 0; length <= 70; ++length) {
        for (int round = 0; round < 12; ++round) {
            std::string hay;
            for (std::size_t i = 0; i < length; ++i) {
                hay += alphabet[next() % 3];
            }
            for (std::size_t k = 1; k <= 5; ++k) {
                std::string needle;
                if (length >= k && round % 2 == 0) {
                    needle = hay.substr(length - k); // a match that ends the text
                } else {
                    for (std::size_t i = 0; i < k; ++i) {
                        needle += alphabet[next() % 3];
                    }
                }
                for (std::size_t pos = 0; pos <= length + 1; ++pos) {
                    ASSERT_EQ(
                        find_literal(hay, needle, pos), std::string_view(hay).find(needle, pos))
                        << '"' << hay << "\" / \"" << needle << "\" from " << pos;
                    const std::string small = lower(needle);
                    ASSERT_EQ(find_folded(hay, small, pos),
                        pos > hay.size() ? std::string_view::npos : lower(hay).find(small, pos))
                        << '"' << hay << "\" / \"" << small << "\" from " << pos;
                }
            }
        }
    }
}

TEST(Text, ReplaceInPlaceIsTheSamePass)
{
    struct Case
    {
        std::string text, find, with;
    };
    const Case cases[] = {
        { "a   b", "  ", " " },
        { "a    =b", " =", "=" },
        { "=   x", "= ", "=" },
        { "x>  >  y", "> ", ">" },
        { "\t\ta\t", "\t", "" },
        { "aaaa", "aa", "a" },
        { "MAJORMINOR", "MAJOR", "" },
        { "abc", "x", "yy" },
        { "abab", "ab", "xyz" },
        { "", "a", "" },
    };
    for (const auto& c : cases) {
        std::string s = c.text;
        const bool found = replace_in(s, c.find, c.with);
        EXPECT_EQ(s, replace(c.text, c.find, c.with)) << c.text << " / " << c.find;
        EXPECT_EQ(found, c.text.find(c.find) != std::string::npos) << c.text;
    }
    // The pattern may be a view into the text being changed.
    std::string s = "x--y--z";
    replace_in(s, std::string_view(s).substr(1, 2), "");
    EXPECT_EQ(s, "xyz");
}

TEST(Text, SplitKeepsEmptyPieces)
{
    EXPECT_EQ(split("a,b,,c,", ","), (std::vector<std::string> { "a", "b", "", "c", "" }));
    EXPECT_EQ(split("", ","), (std::vector<std::string> { "" }));
    EXPECT_EQ(split("x<STYLEy<STYLE", "<STYLE"), (std::vector<std::string> { "x", "y", "" }));
    // The readers split into views; the pieces must be the same.
    for (const char* s : { "a,b,,c,", "", ",", "abc", ",,x" }) {
        const auto views = split_views(s, ",");
        EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), split(s, ",")) << s;
    }
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
        { " .3", 0.3 },
        { "-.5", -0.5 },
        { "+2", 2.0 },
        { "\t1", 0.0 }, // only blanks are skipped
        { "1,5", 1.0 }, // a comma is not a decimal point, whatever the desktop's locale
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

namespace {

// The spacing rules pass by pass, as they are stated.
std::string spacing_pass_by_pass(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] != ' ' && s[i] != '\t') {
            out += s[i++];
            continue;
        }
        std::size_t end = i;
        while (end < s.size() && (s[end] == ' ' || s[end] == '\t')) {
            ++end;
        }
        if (!((i > 0 && s[i - 1] == '=') || (end < s.size() && s[end] == '='))) {
            out.append(s.substr(i, end - i));
        }
        i = end;
    }
    out = replace(out, "\t", "");
    while (replace_in(out, "  ", " ")) { }
    return out;
}

std::string tag_spacing_pass_by_pass(std::string_view s)
{
    return replace(replace(replace(s, "  ", " "), "> ", ">"), ">  ", ">");
}

std::string fused_tag_spacing(std::string s)
{
    s.resize(fold_tag_spacing(s));
    return s;
}

std::string fused_spacing(std::string s)
{
    fold_spacing(s);
    return s;
}

// Every text over `alphabet` up to `longest` characters, then random texts long enough for the
// sixteen-byte blocks, with runs of every length crossing their edges.
template <class Check> void every_text(std::string_view alphabet, std::size_t longest, Check check)
{
    std::string s;
    const std::function<void()> grow = [&] {
        check(s);
        if (s.size() == longest) {
            return;
        }
        for (const char c : alphabet) {
            s.push_back(c);
            grow();
            s.pop_back();
        }
    };
    grow();
    unsigned seed = 99;
    for (int round = 0; round < 20000; ++round) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t length = (seed >> 8) % 90;
        std::string t;
        while (t.size() < length) {
            seed = seed * 1103515245u + 12345u;
            const char c = alphabet[(seed >> 16) % alphabet.size()];
            t.append((seed >> 4) % 4 == 0 ? (seed >> 20) % 7 : 1, c);
        }
        check(t);
    }
}

} // namespace

TEST(Text, SpacingFoldInOnePassGivesThePassesResult)
{
    every_text(" \t=a", 8, [](const std::string& s) {
        ASSERT_EQ(fused_spacing(s), spacing_pass_by_pass(s)) << '"' << s << '"';
    });
    every_text(" >a", 9, [](const std::string& s) {
        ASSERT_EQ(fused_tag_spacing(s), tag_spacing_pass_by_pass(s)) << '"' << s << '"';
    });
    // Any number of blanks and TABs beside "=" goes, not just up to three.
    EXPECT_EQ(fused_spacing("scale \t    =  \t  \"2\"  x"), "scale=\"2\" x");
    // Folding the letters on the way equals folding them afterwards: the bytes beside A-Z and
    // a-z and those above 127 stay as they are, in the sixteen-byte blocks as elsewhere.
    every_text(" \t=aZ`{@[\xe1", 5, [](const std::string& s) {
        const std::string spaced = spacing_pass_by_pass(s);
        for (const auto& [fold, expected] : { std::pair(LetterCase::Upper, upper(spaced)),
                 std::pair(LetterCase::Lower, lower(spaced)) }) {
            std::string folded = s;
            fold_spacing(folded, fold);
            ASSERT_EQ(folded, expected) << '"' << s << '"';
        }
    });
}
