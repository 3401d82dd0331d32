#include "model/style_code.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

struct Edit : ::testing::Test
{
    RecordingPrompter prompter;
    Document doc;
    Edit() { doc.attach(&prompter, nullptr); }
    StyleRow& use(const std::string& style_text, const std::string& field = "MPM_TRAIL_CLR")
    {
        StyleRow r;
        r.set_style_text(style_text);
        r.set_field_name(field);
        r.set_pri_day("111111");
        r.set_pri_night("222222");
        r.set_sec_day("333333");
        r.set_sec_night("444444");
        r.set_scale("1");
        doc.rows = { r };
        doc.cur_row = 0;
        return doc.rows[0];
    }
};

// --- Add / Remove BG/FG Width ---------------------------------------------------------------

using Widths = Edit;

TEST_F(Widths, AddInsertsBothAttributesBeforeTheFirstCloseAndRemoveLeavesTheBlankBeforeThem)
{
    const std::string original =
        "field=\"MPM_TRAIL_CLR\"><color><primary day=\"#ff8b5a2b\"/></color></style>";
    auto& row = use(original);
    ASSERT_TRUE(add_bg_fg_width(doc, 0, false));
    EXPECT_EQ(row.style_text(),
        "field=\"MPM_TRAIL_CLR\" BG_WIDTH=\"-1\" FG_WIDTH=\"50\"><color><primary "
        "day=\"#ff8b5a2b\"/></color></style>");
    EXPECT_EQ(row.bg_width(), "-1");
    EXPECT_EQ(row.fg_width(), "50");
    EXPECT_TRUE(doc.modified);

    EXPECT_FALSE(add_bg_fg_width(doc, 0, false));
    EXPECT_EQ(prompter.messages, std::vector<std::string> { "Already contains BG & FG WIDTH." });

    ASSERT_TRUE(remove_bg_fg_width(doc, 0));
    EXPECT_EQ(row.style_text(),
        "field=\"MPM_TRAIL_CLR\" ><color><primary day=\"#ff8b5a2b\"/></color></style>");
    EXPECT_EQ(row.bg_width(), "");
    EXPECT_EQ(row.fg_width(), "");
}

TEST_F(Widths, RemoveTakesOutLowerCaseAttributesAsReadFromAFileAndKeepsOthers)
{
    auto& row = use("field=\"MPM_MJR_HWY_CLR\" bg_width=\"80\" fg_width=\"4\" extra=\"x\"><color>");
    ASSERT_TRUE(remove_bg_fg_width(doc, 0));
    EXPECT_EQ(row.style_text(), "field=\"MPM_MJR_HWY_CLR\" extra=\"x\"><color>");
}

struct Refusal
{
    std::string style_text;
    std::string field;
    bool polygon;
    std::string message;
};

class AddRefusals : public Edit, public ::testing::WithParamInterface<Refusal>
{
};

TEST_P(AddRefusals, ShowTheirMessageAndChangeNothing)
{
    const auto& c = GetParam();
    const StyleRow before = use(c.style_text, c.field);
    EXPECT_FALSE(add_bg_fg_width(doc, 0, c.polygon));
    EXPECT_EQ(prompter.messages, std::vector<std::string> { c.message });
    EXPECT_EQ(doc.rows[0], before);
    EXPECT_FALSE(doc.modified);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddRefusals,
    ::testing::Values(Refusal { "field=\"X\"", "X", false, "error" },
        Refusal { "FIELD=\"X\" SCALE=\"1\">", "X", false, "Contains BORDER/SCALE. Cannot apply." },
        Refusal { "FIELD=\"X\" BORDER=\"1\">", "X", false, "Contains BORDER/SCALE. Cannot apply." },
        Refusal { "field=\"x\" bg_width=\"3\">", "X", false, "Already contains BG & FG WIDTH." },
        // A file may give only the inner width; a second FG_WIDTH would make the tag invalid.
        Refusal { "field=\"x\" fg_width=\"1\">", "X", false, "Already contains BG & FG WIDTH." },
        // Names after the first in the polygon list are found behind their comma.
        Refusal { "field=\"x\">", "MPM_URBAN LAND_CLR", false, "URBAN LAND is a polygon." },
        Refusal { "field=\"x\">", "MPM_TRAIL_CLR", true, "This is a polygon." }));

TEST_F(Widths, RemoveWithoutWidthsOrOnABadRowRefuses)
{
    use("field=\"x\">");
    EXPECT_FALSE(remove_bg_fg_width(doc, 0));
    EXPECT_FALSE(remove_bg_fg_width(doc, 5));
    EXPECT_FALSE(add_bg_fg_width(doc, -1, false));
    EXPECT_EQ(prompter.messages, std::vector<std::string> { "Does not contain BG & FG WIDTH." });
    EXPECT_FALSE(doc.modified);
}

// --- Style text editor ----------------------------------------------------------------------

const std::string q = "\"";

std::string car_text(const std::string& primary, const std::string& secondary = "")
{
    std::string s = "<STYLE FIELD = " + q + "MAP_WATER" + q + " SCALE=" + q + "2" + q
        + " BORDER=" + q + ".3" + q + " >\r\n <COLOR>\r\n" + primary + "\r\n";
    if (!secondary.empty()) {
        s += secondary + "\r\n";
    }
    return s + " </COLOR >\r\n</STYLE>\r\n";
}

std::string element(const std::string& name, const std::string& day, const std::string& night)
{
    return "<" + name + " DAY = " + q + "#" + day + q + " NIGHT=" + q + "#" + night + q + "/>";
}

using StyleText = Edit;

TEST_F(StyleText, ValidTextStoresAllValuesAndTheTextWithoutItsOpening)
{
    auto& row = use("old");
    const std::string text =
        car_text(element("PRIMARY", "00FF00", "003300"), element("SECONDARY", "0000ff", "101010"));
    ASSERT_EQ(pcode(doc, 0, text), "");
    EXPECT_EQ(row.pri_day(), "00FF00");
    EXPECT_EQ(row.pri_night(), "003300");
    EXPECT_EQ(row.sec_day(), "0000ff");
    EXPECT_EQ(row.sec_night(), "101010");
    EXPECT_EQ(row.scale(), "2");
    EXPECT_EQ(row.border(), ".3");
    EXPECT_EQ(row.style_text(), text.substr(7));
    EXPECT_TRUE(doc.modified);
}

struct Fault
{
    std::string text;
    std::string error;
};

class StyleTextFaults : public Edit, public ::testing::WithParamInterface<Fault>
{
};

TEST_P(StyleTextFaults, GiveTheFirstProblemAndStoreNothing)
{
    const StyleRow before = use("old");
    EXPECT_EQ(pcode(doc, 0, GetParam().text), GetParam().error);
    EXPECT_EQ(doc.rows[0], before);
    EXPECT_FALSE(doc.modified);
}

INSTANTIATE_TEST_SUITE_P(Cases, StyleTextFaults,
    ::testing::Values(
        Fault { car_text(element("PRIMARY", "00FF0", "003300")), "00FF0 length <> 6" },
        Fault { car_text(element("PRIMARY", "00FG00", "003300")), "Hex Error 00FG00" },
        // Every colour is tested, not only the primary day one.
        Fault { car_text(element("PRIMARY", "00FF00", "00330Z")), "Hex Error 00330Z" },
        Fault { car_text(element("PRIMARY", "00FF00", "003300"),
                    element("SECONDARY", "X00000", "000000")),
            "Hex Error X00000" },
        Fault { car_text(element("PRIMARY", "00FF00", "003300"),
                    element("SECONDARY", "000000", "0000-1")),
            "Hex Error 0000-1" },
        // A scale that is the last attribute before ">" has no blank behind its quote.
        Fault { "<STYLE FIELD=\"X\" SCALE=\"2\">\r\n", "\"2\">\r?" },
        // A day value that nothing ends.
        Fault { "<PRIMARY DAY=\"#00FF00\"\n", "00FF00?" }));

TEST_F(StyleTextFaults, DayOnlyElementAsTheWriterWritesItIsStored)
{
    // A style whose night colour is -1 is saved with a day value only, closed by "/>"; read back
    // upper-cased, its text must apply unchanged.
    auto& row = use("old");
    ASSERT_EQ(pcode(doc, 0,
                  "<STYLE FIELD = \"MAP_PARK\" SCALE=\"2\" >\r\n<COLOR>\r\n<PRIMARY DAY = "
                  "\"#CECECE\"/>\r\n</COLOR >\r\n</STYLE>\r\n"),
        "");
    EXPECT_EQ(row.pri_day(), "CECECE");
    EXPECT_EQ(row.pri_night(), "222222");
    EXPECT_EQ(row.scale(), "2");
}

TEST_F(StyleTextFaults, LowerCaseNamesAreNotReadButTheTextIsStored)
{
    auto& row = use("old");
    const std::string text = "<style field=\"x\"><color><primary day=\"#zzzzzz\"/></color>";
    ASSERT_EQ(pcode(doc, 0, text), "");
    EXPECT_EQ(row.pri_day(), "111111");
    EXPECT_EQ(row.style_text(), text);
}

TEST_F(StyleTextFaults, OneLineTextKeepsPrimaryAndSecondaryApart)
{
    auto& row = use("old");
    ASSERT_EQ(pcode(doc, 0,
                  "FIELD=\"X\"> <PRIMARY DAY=\"#00FF00\" /><SECONDARY DAY=\"#0000FF\" "
                  "NIGHT=\"#000011\"/>"),
        "");
    EXPECT_EQ(row.pri_day(), "00FF00");
    EXPECT_EQ(row.pri_night(), "222222");
    EXPECT_EQ(row.sec_day(), "0000FF");
    EXPECT_EQ(row.sec_night(), "000011");
}

TEST(Hx, TestsTheFirstSixCharactersOnly)
{
    EXPECT_FALSE(hx("00ff0aZZ"));
    EXPECT_TRUE(hx("00fg0a"));
    EXPECT_FALSE(hx(""));
}

// --- Sport & Fitness style editor -----------------------------------------------------------

TEST(NwfSlots, ReadsFourColoursAndTreatsSixDigitsAsOpaque)
{
    const auto slots = nwf_slot_colours(
        "field=\"X\"  bg_width=\"1\"><color><primary day=\"#ffA0B0C0\" night=\"#ff010203\"/>"
        "<secondary day=\"#00c0d0e0\" night=\"112233\"/></color></style>");
    EXPECT_EQ(
        slots, (std::array<std::string, 4> { "ffA0B0C0", "00c0d0e0", "ff010203", "ff112233" }));
    EXPECT_EQ(nwf_slot_colours("field=\"X\"><color><primary day=\"#ff000000\"/></color>"),
        (std::array<std::string, 4> { "ff000000", "", "", "" }));
}

TEST(NwfWidth, RangeIsMinusOneTo200)
{
    const std::pair<const char*, std::optional<int>> cases[] = { { "250", std::nullopt },
        { "201", std::nullopt }, { "200", 200 }, { "-5", -1 }, { "", 0 }, { "abc", 0 },
        { "12.6", 13 }, { "-1", -1 }, { "1e9", std::nullopt } };
    for (const auto& [typed, expected] : cases) {
        EXPECT_EQ(nwf_width(typed), expected) << typed;
    }
}

TEST(NwfStyle, WritesWidthsAndColoursInTheFixedOrder)
{
    EXPECT_EQ(nwf_style_text("field=\"MPM_X\"", "-1", "50",
                  { "ff000001", "00000002", "ff000003", "00000004" }),
        "field=\"MPM_X\" BG_WIDTH=\"-1\" FG_WIDTH=\"50\"><color><primary day=\"#ff000001\" "
        "night=\"#ff000003\"/><secondary day=\"#00000002\" night=\"#00000004\"/></color></style>");
}

} // namespace
} // namespace tintwell
