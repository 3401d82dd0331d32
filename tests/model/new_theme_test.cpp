#include "model/new_theme.h"
#include "theme_fixture.h"

#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

struct NewTheme : testing::Test
{
    RecordingPrompter prompter;
    RecordingView view;
    Document doc;
    NewTheme()
    {
        doc.attach(&prompter, &view);
        doc.rows.resize(3);
        doc.pres_count = 2;
        doc.file_name = "/tmp/x.kmtf";
        doc.metadata = { "T", "D", "L", "2.0" };
    }
};

TEST_F(NewTheme, YesToSaveProjectKeepsTheTheme)
{
    doc.modified = true;
    prompter.yes_no_answers = { true };
    EXPECT_FALSE(newproject(doc));
    EXPECT_EQ(prompter.questions, (std::vector<std::string> { "Save project?" }));
    EXPECT_EQ(doc.row_count(), 3);
    EXPECT_TRUE(doc.modified);
}

TEST_F(NewTheme, NoEmptiesIt)
{
    doc.modified = true;
    prompter.yes_no_answers = { false };
    EXPECT_TRUE(newproject(doc));
    EXPECT_EQ(doc.row_count(), 0);
    EXPECT_EQ(doc.pres_count, 0);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.file_name, "untitled.kmtf");
    EXPECT_EQ(view.shown, (ThemeMetadata { "", "", "", "1.00" }));
    EXPECT_EQ(view.clears, 1);
}

TEST_F(NewTheme, UnmodifiedAsksNothing)
{
    EXPECT_TRUE(newproject(doc));
    EXPECT_TRUE(prompter.questions.empty());
}

TEST_F(NewTheme, CarZumoStyleText)
{
    doc.rows[0] = StyleRow {};
    StyleRow& r = doc.rows[0];
    r.set_scale("1");
    r.set_border(".6");
    r.set_pri_day("cecece");
    r.set_pri_night("FFFF00");
    r.set_sec_day("0a0a0a");
    r.set_sec_night("000000");
    EXPECT_EQ(newcode(doc, 0, "MAP_WATER_CLR"),
        "field=MAP_WATER_CLR scale=\"1\" border=\".6\" >\r\n<COLOR>\r\n"
        "<PRIMARY  day=\"#CECECE\" night=\"#FFFF00\" />\r\n"
        "<SECONDARY  day=\"#0A0A0A\" night=\"#000000\" />\r\n</COLOR>\r\n</STYLE>");
    r.set_border({});
    r.set_scale({});
    EXPECT_EQ(newcode(doc, 0, "E"),
        "field=E >\r\n<COLOR>\r\n<PRIMARY  day=\"#CECECE\" night=\"#FFFF00\" />\r\n"
        "</COLOR>\r\n</STYLE>");
    EXPECT_EQ(newcode(doc, 7, "E"), "");
}

TEST_F(NewTheme, SportFitnessStyleTextReadsBack)
{
    doc.kind = ThemeKind::SportFitness;
    doc.rows[0] = StyleRow {};
    StyleRow& r = doc.rows[0];
    r.set_pri_day("ffCECECE");
    r.set_pri_night("ffFFFF00");
    r.set_sec_day("FFFFFFFF");
    r.set_sec_night("ff000000");
    const std::string code = newcode(doc, 0, "MPM_MJR_HWY_CLR");
    EXPECT_EQ(code,
        "field=\"MPM_MJR_HWY_CLR\" ><color><primary  day=\"#ffcecece\" night=\"#ffffff00\" />"
        "<secondary  day=\"#ffffffff\" night=\"#ff000000\" /></color></style>");
    EXPECT_EQ(r.border(), "ff");

    Loaded back;
    ASSERT_TRUE(back.load(sf_theme("<style " + code)));
    EXPECT_EQ(back.row(0).pri_day(), "cecece");
    EXPECT_EQ(back.row(0).pri_night(), "ffff00");
    EXPECT_EQ(back.row(0).sec_night(), "000000");
    EXPECT_EQ(back.row(0).border(), "ff");
}

} // namespace
