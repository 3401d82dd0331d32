// Inputs the reader fuzz target turned up, and the agreement it checks between the fast text
// primitives and the plain library forms, written out for the cases that are easy to get wrong:
// matches on either side of a 16-byte block, the last possible start, starts past the end.
#include "model/text.h"
#include "theme_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

using namespace tintwell;

namespace {

// A text of `size` bytes of filler with `needle` written at `at`.
std::string text_with(std::size_t size, std::string_view needle, std::size_t at)
{
    std::string s(size, '.');
    s.replace(at, needle.size(), needle);
    return s;
}

} // namespace

TEST(FuzzRegression, FindLiteralAgreesWithFindAtEveryPlaceAndStart)
{
    // A needle whose first and last bytes also occur alone, so near misses are tried too.
    for (const std::string_view needle : { "=", "> ", "<STYLE", "</stylelist", "<PRESENTATION" }) {
        for (std::size_t size = needle.size(); size <= 48; ++size) {
            for (std::size_t at = 0; at + needle.size() <= size; ++at) {
                std::string hay = text_with(size, needle, at);
                hay[0] = needle.front();
                hay[size - 1] = needle.back();
                for (std::size_t pos = 0; pos <= size + 1; ++pos) {
                    ASSERT_EQ(text::find_literal(hay, needle, pos),
                        std::string_view(hay).find(needle, pos))
                        << "needle " << needle << " size " << size << " at " << at << " pos "
                        << pos;
                }
            }
        }
    }
}

TEST(FuzzRegression, FindLiteralEdgeCases)
{
    struct Case
    {
        std::string_view hay, needle;
        std::size_t pos;
    };
    const Case cases[] = {
        { "", "", 0 },
        { "", "", 1 },
        { "abc", "", 3 },
        { "abc", "", 4 },
        { "", "a", 0 },
        { "ab", "abc", 0 },
        { "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "ab", 0 },
        { "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "aab", 31 },
        { "  =  =  =  =  =  =  =  =  =  =  =", " =", 30 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::find_literal(c.hay, c.needle, c.pos), c.hay.find(c.needle, c.pos))
            << '"' << c.hay << "\" / \"" << c.needle << "\" from " << c.pos;
    }
}

TEST(FuzzRegression, ReplaceInMatchesReplace)
{
    struct Case
    {
        std::string_view text, find, with;
    };
    const Case cases[] = {
        // Found by the fuzz target: an empty replacement that points nowhere was copied from.
        { "\r <COLOR><l>\r<PRESENTATION ID=\"", ">\r", std::string_view() },
        { "a  =   = b", " =", "=" },
        { "   ", "  ", " " }, // single pass: three blanks become two
        { "xx", "x", "yy" }, // growing replacement
        { "abab", "ab", "" },
        { "abc", "", "z" },
        { "", "a", "b" },
        { "> >  >   ", "> ", ">" },
    };
    for (const auto& c : cases) {
        std::string in_place(c.text);
        const bool found = text::replace_in(in_place, c.find, c.with);
        EXPECT_EQ(in_place, text::replace(c.text, c.find, c.with)) << c.text << " / " << c.find;
        EXPECT_EQ(found, !c.find.empty() && c.text.find(c.find) != std::string_view::npos);
    }
}

TEST(FuzzRegression, ReplaceInWithAPatternTakenFromTheTextItself)
{
    std::string s = "=== = ===";
    const std::string expected = text::replace(s, std::string_view(s).substr(0, 2), "-");
    text::replace_in(s, std::string_view(s).substr(0, 2), "-");
    EXPECT_EQ(s, expected);
}

TEST(FuzzRegression, SplitViewsMatchesSplit)
{
    for (const std::string_view s :
        { "", "<STYLE", "a<STYLE", "<STYLE<STYLEb", "a<STYLEb<STYLE" }) {
        const auto copies = text::split(s, "<STYLE");
        const auto views = text::split_views(s, "<STYLE");
        ASSERT_EQ(views.size(), copies.size()) << s;
        for (std::size_t i = 0; i < views.size(); ++i) {
            EXPECT_EQ(views[i], copies[i]) << s << " piece " << i;
        }
    }
}

TEST(FuzzRegression, CaseFoldingInPlaceTouchesOnlyAsciiLetters)
{
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    std::string up = all;
    std::string down = all;
    text::upper_in(up);
    text::lower_in(down);
    for (int c = 0; c < 256; ++c) {
        const auto i = static_cast<std::size_t>(c);
        EXPECT_EQ(static_cast<unsigned char>(up[i]), c >= 'a' && c <= 'z' ? c - 32 : c) << c;
        EXPECT_EQ(static_cast<unsigned char>(down[i]), c >= 'A' && c <= 'Z' ? c + 32 : c) << c;
    }
    // The Sport & Fitness reader relies on this: folding up first changes nothing after folding
    // down.
    std::string both = all;
    text::upper_in(both);
    text::lower_in(both);
    EXPECT_EQ(both, down);
}

// Themes whose saves kept changing: each is saved, read and saved again twice, and the second and
// third saves must be the same bytes.
TEST(FuzzRegression, SavingSettles)
{
    struct Case
    {
        const char* what;
        std::string text;
    };
    const std::string styles = "<PRESENTATION ID=\"RUN\" >\r\n<STYLELIST>\r\n<STYLE field=\"A\">"
                               "<COLOR><PRIMARY day=\"#F0C060\"/></COLOR></STYLE>\r\n";
    const Case cases[] = {
        { "a title without its closing tag takes the word DESCRIPTION in; the description was "
          "then read from there, taking its own opening tag in with every save",
            "<METADATA>\r\n<TITLE>Lake\r\n<DESCRIPTION>Soft</DESCRIPTION>\r\n</METADATA>\r\n"
                + styles },
        { "a run of blanks in a title, a field name or a presentation name was halved by every "
          "read",
            "<METADATA><TITLE>L         ake</TITLE></METADATA>"
            "<PRESENTATION ID=\"RUN                 X\" >\r\n<STYLELIST>\r\n"
            "<STYLE field=\"A                 B\"><COLOR></COLOR></STYLE>" },
        { "and in a Sport & Fitness style, which is written back as read",
            "<metadata><title>T</title></metadata><stylelist><style field=\"mpm_a_clr\" "
            "bg_width=\"3\"                 fg_width=\"2\"><color></color></style></stylelist>" },
        { "a border of \"<STYL\", a line break and \"E\" was saved as \"<STYLE\" without its line "
          "break and read as a new style",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"MBORDER=<STYL\nE FIELD=\">\r\n</STYLE>" },
        { "a Sport & Fitness title with \"Presentation\" in it was saved upper-case and read back "
          "as an empty Car & Zumo theme",
            "<metadata><title>Presentation Trail</title></metadata><stylelist><style "
            "field=\"mpm_a_clr\"><color></color></style></stylelist>" },
        { "a secondary day without \"#\" was saved with one, read as empty the next time, and "
          "the secondary was then dropped, so the border became .3 a save later",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"MAP_A\" border=\"1\"><COLOR><SECONDARY day=\"/x\"/></COLOR></STYLE>" },
        { "a colour without \"#\" is saved as it stands, and a secondary tag inside it was read "
          "as the style's secondary",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"MAP_A\"><COLOR><PRIMARY day=\"<SECONDARY day=/x\"/>"
            "<SECONDARY day=\"/y\"/></COLOR></STYLE>" },
        { "a day colour of NIGHT= was read as holding the night attribute, whose value then "
          "changed from save to save",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"MAP_A\"><COLOR><PRIMARY day=\"#NIGHT=\" night=\"#\"/>"
            "<SECONDARY day=\"#NIGHT=\" night=\"#\"/></COLOR></STYLE>" },
        { "a night colour kept as it stands held the word SECONDARY, and the next read took the "
          "secondary colours from there",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"MAP_A\"><COLOR><PRIMARY day=\"#FF0000\" night=\"80SECONDARY "
            "DAYGARMIN\"/><SECONDARY day=\"#X1\"/></COLOR></STYLE>" },
        { "a field name holding PRIMARY DAY took the tag's border into the day colour, kept as "
          "it stands, and the border and colour fed each other from save to save",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"<PRIMARY DAYXXSECONDARY\" border=\"1\"><COLOR></COLOR></STYLE>" },
        { "a field name holding PRIMARY DAY BORDER gave a border that saving wrote after it, "
          "and the next read took the primary colour from there",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field\"PRIMARY DAY BORDER\"#>" },
        { "a border of SCAL, a line break and E=BORDER was saved without its line break, and "
          "read back as a scale",
            "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n"
            "<STYLE field=\"A\" border=\"SCAL\rE=BORDER\"></STYLE>" },
        { "a border value holding SCALE= was read as the scale, which saving wrote before the "
          "border, and the next read took the border from the scale",
            "<COLOR<PRESENTATION<STYLEBORDER\"SCALE=BORDERMETADATATITLEfield/METADATA" },
        { "a border value of SECONDARY was read as the secondary element once the primary colour "
          "that held BORDER= had been saved",
            "METADATA<TITLE>T</TITLE>/METADATA<PRESENTATION<STYLEfield\"\"PRIMARYday "
            "border=secondary<COLOR>" },
        { "a title holding /METADATA ended the metadata there on the next reading, which then "
          "lost the description and saved its default",
            "<METADATA><TITLE>T/METADATA X</TITLE><DESCRIPTION>D</DESCRIPTION></METADATA><COLOR>"
            "<PRESENTATION ID=\"A\">\r\n<STYLE field=\"A\"></STYLE>" },
        { "a Sport & Fitness style tag holding <presentation was saved upper-case, and the theme "
          "then read as Car & Zumo",
            "METADATATITLE/METADATA<style \"mpm_<COLOR<PReSENTATION<STYLEfield>" },
    };
    for (const auto& c : cases) {
        for (const bool border_pref : { true, false }) {
            const auto saves = test::three_saves(c.text, border_pref);
            ASSERT_EQ(saves.size(), 3u) << c.what;
            EXPECT_EQ(saves[1], saves[2]) << c.what;
        }
    }
}
