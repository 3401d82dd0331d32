#include "model/reader.h"
#include "theme_fixture.h"

#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

struct NwfCase
{
    const char* what;
    std::string style; // everything after "<style "
    std::vector<std::string> cells; // field, elem, bg, fg, pri_day, pri_night, sec_day, sec_night,
                                    // border, nwf_border
};

class SportFitnessStyle : public testing::TestWithParam<NwfCase> { };

TEST_P(SportFitnessStyle, ReadsTheCells)
{
    const NwfCase& c = GetParam();
    Loaded l;
    ASSERT_TRUE(l.load(sf_theme("<style " + c.style)));
    ASSERT_EQ(l.doc.kind, ThemeKind::SportFitness);
    ASSERT_EQ(l.doc.row_count(), 1);
    const StyleRow& r = l.row(0);
    const std::string_view cells[] = { r.field_name(), r.elem_name(), r.bg_width(), r.fg_width(),
        r.pri_day(), r.pri_night(), r.sec_day(), r.sec_night(), r.border(), r.nwf_border() };
    const std::vector<std::string> got(std::begin(cells), std::end(cells));
    EXPECT_EQ(got, c.cells);
    EXPECT_EQ(r.scale(), "1");
    EXPECT_EQ(r.pres_code, 0);
    EXPECT_EQ(r.pres_name(), "Sport & Fitness");
}

INSTANTIATE_TEST_SUITE_P(Cells, SportFitnessStyle,
    testing::Values(
        NwfCase { "widths, with the blank before them kept in the name",
            "field=\"mpm_road_clr\" bg_width=\"3\" fg_width=\"2\"><color><primary "
            "day=\"#ffaabbcc\"/></color></style>",
            { "MPM_ROAD_CLR", "ROAD ", "3", "2", "aabbcc", "-1", "", "", "", "" } },
        NwfCase { "transparency digits of both secondary colours",
            "field=\"mpm_water_clr\"><color><primary day=\"#ff112233\" night=\"#ff445566\"/>"
            "<secondary day=\"#80cecece\" night=\"#ff0a0a0a\"/></color></style>",
            { "MPM_WATER_CLR", "WATER", "", "", "112233", "445566", "cecece", "0a0a0a", "80",
                "ff" } },
        NwfCase { "upper-case colours and names are read lower-case, underscores stay",
            "FIELD=\"MPM_MJR_HWY_CLR\" FG_WIDTH=\"7\"><COLOR><PRIMARY DAY=\"#FFABCDEF\"/>"
            "</COLOR></STYLE>",
            { "MPM_MJR_HWY_CLR", "MJR_HWY ", "", "7", "abcdef", "-1", "", "", "", "" } },
        NwfCase { "a secondary without day or # in its night",
            "field=\"mpm_x_clr\"><color><primary day=\"#ff010203\"/><secondary "
            "night=\"none\"/></color></style>",
            { "MPM_X_CLR", "X", "", "", "010203", "-1", "", "", "", "" } },
        NwfCase { "widths in either order: the name ends before the first of them",
            "field=\"mpm_road_clr\" fg_width=\"2\" bg_width=\"3\"><color></color></style>",
            { "MPM_ROAD_CLR", "ROAD ", "3", "2", "", "", "", "", "", "" } },
        NwfCase { "values without # are kept from 4 characters after day and night",
            "field=\"mpm_x_clr\"><color><primary day=\"aabbcc\"/><secondary day=\"#80cecece\" "
            "night=\"none\"/></color></style>",
            { "MPM_X_CLR", "X", "", "", "aabbcc/", "-1", "cecece", "", "80", "" } },
        NwfCase { "a primary night without #",
            "field=\"mpm_x_clr\"><color><primary day=\"#ff010203\" night=\"none\"/></color>"
            "</style>",
            { "MPM_X_CLR", "X", "", "", "010203", "t=none/", "", "", "", "" } }),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SportFitnessReader, TheListEndIsNotPartOfTheLastStyle)
{
    Loaded l;
    ASSERT_TRUE(l.load(sf_theme("<style field=\"mpm_a_clr\"><color><primary day=\"#ff010203\"/>"
                                "</color></style><style field=\"mpm_b_clr\"><color><primary "
                                "day=\"#ff040506\"/></color></style>")));
    ASSERT_EQ(l.doc.row_count(), 2);
    EXPECT_EQ(l.row(1).style_text(),
        "field=\"MPM_B_CLR\"><color><primary day=\"#ff040506\"/></color></style>");
}

TEST(SportFitnessReader, WindowSeesOneListItemAndDisabledFields)
{
    Loaded l;
    RecordingView view;
    l.doc.attach(&l.prompter, &view);
    ASSERT_TRUE(l.load(sf_theme("<style field=\"mpm_a_clr\"><color></color></style>")));
    EXPECT_EQ(view.presentations, (std::vector<std::string> { "Sport & Fitness" }));
    EXPECT_EQ(view.edit_menu, 0);
    EXPECT_EQ(view.locale_version, 0);
    EXPECT_EQ(view.shown.title, "TRAIL");
}

TEST(SportFitnessReader, PiecesWithoutATagAreSkippedAndNothingCarriesOver)
{
    Loaded l;
    ASSERT_TRUE(l.load(sf_theme(
        "<style field=\"mpm_a_clr\" bg_width=\"5\"><color><primary day=\"#ff010203\" "
        "night=\"#ff040506\"/></color></style>"
        "<style field=mpm_b_clr><color></color></style>" // no quotes in the opening tag
        "<style no name here</style>"
        "<style field no closing")));
    ASSERT_EQ(l.doc.row_count(), 2);
    const StyleRow& b = l.row(1);
    EXPECT_EQ(b.field_name(), "");
    EXPECT_EQ(b.bg_width(), "");
    EXPECT_EQ(b.pri_day(), "");
    EXPECT_EQ(b.pri_night(), "");
    EXPECT_EQ(l.messages(), (std::vector<std::string> { "Can't find type!" }));
}

TEST(SportFitnessReader, ManyStylesAreReadWhole)
{
    std::string styles;
    for (int i = 0; i < 1500; ++i) {
        styles += "<style field=\"mpm_s" + std::to_string(i)
            + "_clr\"><color><primary day=\"#ff010203\" night=\"#ff040506\"/></color></style>";
    }
    Loaded l;
    ASSERT_TRUE(l.load(sf_theme(styles)));
    ASSERT_EQ(l.doc.row_count(), 1500);
    EXPECT_EQ(l.row(1499).field_name(), "MPM_S1499_CLR");
}

TEST(SportFitnessReader, NoStylesAndLowerCaseFieldNames)
{
    Loaded empty;
    ASSERT_TRUE(empty.load(sf_theme("<!-- mpm_ nothing --><color>")));
    EXPECT_EQ(empty.doc.row_count(), 0);
    EXPECT_EQ(empty.messages(), (std::vector<std::string> { "No polygons or lines found" }));

    // Field names in lower case are recognised as a Sport & Fitness theme.
    Loaded lower;
    ASSERT_TRUE(lower.load(sf_theme("<style field=\"mpm_road_clr\"><color></color></style>")));
    EXPECT_EQ(lower.doc.kind, ThemeKind::SportFitness);
}

TEST(SportFitnessReader, TruncatedInputNeverFails)
{
    const std::string full = sf_theme(
        "<style field=\"mpm_road_clr\" bg_width=\"3\" fg_width=\"2\"><color><primary "
        "day=\"#ffaabbcc\" night=\"#ff010203\"/><secondary day=\"#80cecece\" "
        "night=\"#ff0a0a0a\"/></color></style>");
    for (std::size_t n = 0; n <= full.size(); ++n) {
        Loaded l;
        l.load(full.substr(0, n));
        EXPECT_LE(l.doc.row_count(), 1);
    }
}

} // namespace
