#include "colour/colour_codes.h"

#include <gtest/gtest.h>

using namespace tintwell;

namespace {

TEST(ColourCodes, RevHexNormalisesItsArgument)
{
    struct Case
    {
        std::string in;
        ThemeKind kind;
        std::string result;
        std::string rewritten;
    };
    const Case cases[] = {
        { "A0B0C0", ThemeKind::CarZumo, "C0B0A0", "A0B0C0" },
        { " ff8000 ", ThemeKind::CarZumo, "0080ff", "ff8000" },
        { "ffA0B0C0", ThemeKind::SportFitness, "C0B0A0", "A0B0C0" },
        { "ffA0B0C0", ThemeKind::CarZumo, "C0A0ff", "ffA0B0C0" },
        { "FF", ThemeKind::CarZumo, "FF0000", "0000FF" },
        { "", ThemeKind::CarZumo, "000000", "000000" },
        { "-1", ThemeKind::CarZumo, "-10000", "0000-1" },
        // Blanks go before the length is looked at, and the prefix before the padding.
        { " A0B0C0 ", ThemeKind::SportFitness, "C0B0A0", "A0B0C0" },
        { "1234567", ThemeKind::SportFitness, "674503", "034567" },
    };
    for (auto c : cases) {
        EXPECT_EQ(rev_hex(c.in, c.kind), c.result);
        EXPECT_EQ(c.in, c.rewritten);
    }
}

TEST(ColourCodes, ValuesAndTexts)
{
    EXPECT_EQ(value_to_hex(255, ThemeKind::CarZumo), "FF0000");
    EXPECT_EQ(value_to_hex(0, ThemeKind::CarZumo), "000000");
    EXPECT_EQ(value_to_hex(0x123456, ThemeKind::CarZumo), "563412");
    EXPECT_EQ(hex_to_value("0000FF", ThemeKind::CarZumo), 0xFF0000);
    EXPECT_EQ(hex_to_value("ff0000", ThemeKind::CarZumo), 0xFF);
    EXPECT_EQ(hex_to_value("ff112233", ThemeKind::SportFitness), 0x332211);
    // Round trip over a spread of colours.
    for (ColourValue v = 0; v <= 0xFFFFFF; v += 0x0F0F0F) {
        EXPECT_EQ(hex_to_value(value_to_hex(v, ThemeKind::CarZumo), ThemeKind::CarZumo), v);
    }
    for (const char* bad : { "-1", "GGGGGG", "12 456", "+12345" }) {
        EXPECT_FALSE(hex_to_value(bad, ThemeKind::CarZumo).has_value()) << bad;
    }
}

TEST(ColourCodes, CToRGBSplitsTheBytes)
{
    int r = -1, g = -1, b = -1;
    EXPECT_TRUE(CToRGB(0x123456, r, g, b));
    EXPECT_EQ(r, 0x56);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x12);
    EXPECT_TRUE(CToRGB(-1, r, g, b)); // the top byte is ignored
    EXPECT_EQ(r + g + b, 3 * 255);
}

TEST(ColourCodes, ColourOfOneAttribute)
{
    EXPECT_EQ(get_colfromtxt("=\"#ffA0B0C0\" night=\"#ff000000\""), "ffA0B0C0");
    EXPECT_EQ(get_colfromtxt("A0B0C0\" x"), "A0B0C0");
    EXPECT_EQ(get_colfromtxt("#\""), "");
    EXPECT_FALSE(get_colfromtxt("").has_value());
    EXPECT_FALSE(get_colfromtxt("=#A0B0C0").has_value());
}

struct RowFixture
{
    Document doc;
    RowFixture()
    {
        doc.kind = ThemeKind::SportFitness;
        doc.rows.resize(1);
        StyleRow& r = doc.rows[0];
        r.set_pri_day("p1");
        r.set_pri_night("p2");
        r.set_sec_day("s1");
        r.set_sec_night("s2");
        r.set_border("b1");
        r.set_nwf_border("b2");
    }
    std::vector<std::string> cells() const
    {
        const StyleRow& r = doc.rows[0];
        const std::string_view texts[] = { r.pri_day(), r.pri_night(), r.sec_day(), r.sec_night(),
            r.border(), r.nwf_border() };
        return { std::begin(texts), std::end(texts) };
    }
};

struct FromCode : RowFixture, testing::Test { };

TEST_F(FromCode, RefreshesColoursAndPrefixes)
{
    struct Case
    {
        const char* what;
        std::string style_text;
        std::vector<std::string> cells;
    };
    const Case cases[] = {
        { "six digits count as opaque, eight keep their prefix",
            "field=\"X\"><color><primary day=\"#A0B0C0\" night=\"#ff010203\"/><secondary "
            "day=\"#ffd0d0d0\" night=\"#00C0D0E0\"/></color></style>",
            { "A0B0C0", "010203", "d0d0d0", "C0D0E0", "ff", "00" } },
        { "no secondary leaves its cells",
            "field=\"X\"><color><primary day=\"#A0B0C0\" night=\"#ff010203\"/></color>",
            { "A0B0C0", "010203", "s1", "s2", "b1", "b2" } },
        { "a missing night stops after the day",
            "field=\"X\"><color><primary day=\"#A0B0C0\"/><secondary day=\"#ff111111\" "
            "night=\"#ff222222\"/></color>",
            { "A0B0C0", "p2", "s1", "s2", "b1", "b2" } },
        { "the secondary does not reuse the primary texts",
            "<primary day=\"#ff010101\" night=\"#ff020202\"/><secondary />",
            { "010101", "020202", "s1", "s2", "b1", "b2" } },
        { "no quotes: nothing stored", "<primary day=#ff010101 night=#ff020202/>",
            { "p1", "p2", "s1", "s2", "b1", "b2" } },
        { "an element name needs its blank: <primary/> is passed over",
            "<primary/><secondary day=\"#00111111\" night=\"#ff222222\"/>",
            { "p1", "p2", "111111", "222222", "00", "ff" } },
    };
    for (const auto& c : cases) {
        RowFixture fresh;
        fresh.doc.rows[0].set_style_text(c.style_text);
        get_colsfromcode(fresh.doc, 0);
        EXPECT_EQ(fresh.cells(), c.cells) << c.what;
    }
}

TEST_F(FromCode, InvalidRowsAreLeftAlone)
{
    get_colsfromcode(doc, -1);
    get_colsfromcode(doc, 1);
    EXPECT_EQ(cells()[0], "p1");
}

} // namespace
