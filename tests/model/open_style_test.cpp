#include "model/open_style.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

StyleRow style(std::string_view code, std::string_view pri_day, std::string_view sec_day,
    std::string_view scale, std::string_view border)
{
    StyleRow r;
    r.set_elem_name("TRAIL EDGE");
    r.set_field_name("MPM_TRAIL_EDGE_CLR");
    r.set_style_text(code);
    r.set_pri_day(pri_day);
    r.set_sec_day(sec_day);
    r.set_pri_night("FFFF00");
    r.set_sec_night("000000");
    r.set_scale(scale);
    r.set_border(border);
    return r;
}

StyleRow area(StyleRow r)
{
    r.set_elem_name("WATER");
    r.set_field_name("MAP_WATER_CLR");
    return r;
}

struct OpenCase
{
    const char* name;
    ThemeKind kind;
    StyleRow row;
    StyleForm form;
    bool has_border;
    bool night_colours;
    WorkingColours colours;
    const char* border;
    const char* scale;
};

class OpenStyle : public testing::TestWithParam<OpenCase>
{
};

TEST_P(OpenStyle, WorkingCopyIsNormalisedAndTheThemeStaysAsItWas)
{
    const OpenCase& c = GetParam();
    Document doc;
    doc.kind = c.kind;
    doc.rows = { c.row };
    const Document before = doc;
    const auto opened = open_style(doc, 0);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->form, c.form);
    EXPECT_EQ(opened->has_border, c.has_border);
    EXPECT_EQ(opened->night_colours, c.night_colours);
    EXPECT_EQ(opened->colours, c.colours);
    EXPECT_EQ(opened->row.border(), c.border);
    EXPECT_EQ(opened->row.scale(), c.scale);
    EXPECT_EQ(doc.rows, before.rows) << "opening a style changes nothing in the theme";
}

const auto car = ThemeKind::CarZumo;
const auto sport = ThemeKind::SportFitness;

INSTANTIATE_TEST_SUITE_P(Styles, OpenStyle,
    testing::Values(
        // A line with both colours and night ones: short colours read with leading zeros.
        OpenCase { "line", car,
            style("<PRIMARY day=\"#FFF\" night=\"#FFFF00\"/><SECONDARY day=\"#000000\" "
                  "night=\"#000000\"/> scale=\"1\"",
                "FFF", "112233", "1", ".6"),
            StyleForm::Line, true, true, { "000FFF", "112233", "FFFF00", "000000" }, ".6", "1" },
        // A line drawn with its secondary colour and no border takes its scale as border.
        OpenCase { "secondary without border", car,
            style("<SECONDARY day=\"#112233\"/> SCALE=\"2\"", "445566", "112233", "2", ""),
            StyleForm::Line, true, false, { "445566", "112233", "FFFF00", "000000" }, "2", "2" },
        // A line with a border of 0 has no border colour to pick.
        OpenCase { "line without border", car,
            style("<PRIMARY day=\"#445566\"/> SCALE=\"1\"", "445566", "112233", "1", ""),
            StyleForm::Line, false, false, { "445566", "", "FFFF00", "000000" }, "0", "1" },
        // An area element is an area; its fill keeps the text the row holds.
        OpenCase { "area", car, area(style("<PRIMARY day=\"#ABC\"/>", "ABC", "0a0a0a", "", ".6")),
            StyleForm::Area, true, false, { "ABC", "0a0a0a", "FFFF00", "000000" }, ".6", "" },
        // A line written without a scale, as a newly added one is, stays a line and keeps its
        // empty scale.
        OpenCase { "line without scale", car,
            style("<PRIMARY day=\"#CECECE\" night=\"#FFFF00\" />", "CECECE", "", "", ""),
            StyleForm::Line, false, true, { "CECECE", "", "FFFF00", "000000" }, "0", "" },
        OpenCase { "arrow", car,
            style(
                "ROUTE ARRW <PRIMARY day=\"#E0301E\"/> SCALE=\"1\"", "E0301E", "20D88C", "1", ".5"),
            StyleForm::Arrow, true, false, { "E0301E", "20D88C", "FFFF00", "000000" }, ".5", "1" },
        // A long day colour is read without its prefix; the night colour keeps its own.
        OpenCase { "sport line", sport,
            style("field=\"ROAD\" <primary day=\"#ff112233\" night=\"#ffFFFF00\"/>", "ff112233",
                "80778899", "3", "ff"),
            StyleForm::Line, true, true, { "112233", "778899", "FFFF00", "000000" }, "ff", "1" },
        OpenCase { "sport line without border", sport,
            style("field=\"ROAD\" <primary day=\"#ff112233\"/>", "112233", "778899", "", "00"),
            StyleForm::Line, false, false, { "112233", "778899", "FFFF00", "000000" }, "00", "1" }),
    [](const testing::TestParamInfo<OpenCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            ch = ch == ' ' ? '_' : ch;
        }
        return name;
    });

TEST(OpenStyle, ARowOutsideTheTableOpensNothing)
{
    Document doc;
    doc.rows = { style("", "112233", "", "1", "") };
    EXPECT_FALSE(open_style(doc, -1));
    EXPECT_FALSE(open_style(doc, 1));
}

TEST(DayColours, OnlyLongDayColoursLoseTheirPrefixAndTheEditTakesItBack)
{
    struct Case
    {
        const char* pri_day;
        const char* sec_day;
        const char* short_pri;
        const char* short_sec;
    };
    const Case cases[] = {
        { "ff112233", "80778899", "112233", "778899" },
        { "112233", "", "112233", "" },
        { "0x123456", "ABCDEF", "123456", "ABCDEF" },
        { "1234567", "", "34567", "" },
    };
    Document doc;
    for (const Case& c : cases) {
        StyleRow r = style("", c.pri_day, c.sec_day, "1", "");
        r.set_pri_night("ff445566");
        doc.rows.push_back(r);
    }
    const Document before = doc;
    const DocumentEdit edit = day_colour_edit(doc);
    edit.apply(doc);
    for (std::size_t i = 0; i < doc.rows.size(); ++i) {
        EXPECT_EQ(doc.rows[i].pri_day(), cases[i].short_pri) << i;
        EXPECT_EQ(doc.rows[i].sec_day(), cases[i].short_sec) << i;
        EXPECT_EQ(doc.rows[i].pri_night(), "ff445566") << "night colours keep their prefix";
    }
    EXPECT_TRUE(day_colour_edit(doc).empty()) << "a shortened table needs no more";
    edit.revert(doc);
    EXPECT_EQ(doc.rows, before.rows);
    Document read = before;
    shorten_day_colours(read);
    edit.apply(doc);
    EXPECT_EQ(read.rows, doc.rows) << "reading and editing shorten alike";
}

} // namespace
} // namespace tintwell
