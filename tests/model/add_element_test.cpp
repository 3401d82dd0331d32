#include "model/add_element.h"
#include "model/prompter.h"
#include "model/reader.h"
#include "model/writer.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

StyleRow row_of(const std::string& field, std::int16_t pres_code)
{
    StyleRow row;
    row.set_field_name(field);
    row.pres_code = pres_code;
    return row;
}

// A Car & Zumo theme with GUIDANCE, BROWSE and TRAFFIC rows in catalogue order.
Document car_zumo_theme(RecordingPrompter& prompter)
{
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.kind = ThemeKind::CarZumo;
    doc.theme_open = true;
    doc.rows = { row_of("MAP_ROAD_ALLY_CLR", 0), row_of("MAP_MISC_WATER_AREA_CLR", 1),
        row_of("MAP_WATER_CLR", 11), row_of("MAP_TRK_CLR", 20) };
    return doc;
}

TEST(AddElement, InterstateToBrowseLandsAfterGuidanceAndBeforeBorderedBrowseRows)
{
    RecordingPrompter prompter;
    Document doc = car_zumo_theme(prompter);
    bool keep_open = true;
    const auto selection = newelement_add(doc, { 1, { "ROAD_INTERSTATE" }, {} }, keep_open);
    EXPECT_FALSE(keep_open);
    EXPECT_EQ(selection.presentation, "1BROWSE");
    add_element(doc, selection);

    ASSERT_EQ(doc.row_count(), 5);
    const StyleRow& row = doc.rows[2];
    EXPECT_EQ(row.field_name(), "MAP_ROAD_INTERSTATE_CLR");
    EXPECT_EQ(row.elem_name(), "ROAD INTERSTATE");
    EXPECT_EQ(row.pres_code, 10);
    EXPECT_EQ(row.pres_name(), "BROWSE");
    EXPECT_EQ(row.pri_day(), "CECECE");
    EXPECT_EQ(row.pri_night(), "FFFF00");
    EXPECT_EQ(row.sec_day(), "");
    EXPECT_EQ(row.sec_night(), "000000");
    EXPECT_EQ(row.border(), "");
    EXPECT_EQ(row.scale(), "");
    EXPECT_EQ(row.style_text().rfind("field=ROAD_INTERSTATE >\r\n<COLOR>", 0), 0u);
    EXPECT_EQ(doc.rows[3].field_name(), "MAP_WATER_CLR");
    EXPECT_TRUE(doc.modified);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST(AddElement, PolygonGetsBorderScaleAndSecondaryDefaults)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    bool keep_open = true;
    add_element(doc, newelement_add(doc, { 0, {}, { "WATER" } }, keep_open));
    ASSERT_EQ(doc.row_count(), 1);
    const StyleRow& row = doc.rows[0];
    EXPECT_EQ(row.pres_code, 1);
    EXPECT_EQ(row.scale(), "1");
    EXPECT_EQ(row.border(), ".6");
    EXPECT_EQ(row.sec_day(), "0a0a0a");
    EXPECT_EQ(row.elem_name(), "WATER");
    EXPECT_NE(row.style_text().find("<SECONDARY  day=\"#0A0A0A\" night=\"#000000\" />"),
        std::string::npos);
}

TEST(AddElement, SportFitnessRowsCarryTransparencyAndPolygonsSortBehindLines)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.kind = ThemeKind::SportFitness;
    bool keep_open = true;
    const auto selection =
        newelement_add(doc, { -1, { "MJR HWY" }, { "BUILDING SHADOW" } }, keep_open);
    EXPECT_FALSE(keep_open);
    EXPECT_EQ(selection.presentation, "");
    add_element(doc, selection);
    add_element(doc, newelement_add(doc, { -1, { "TRK" }, {} }, keep_open));

    ASSERT_EQ(doc.row_count(), 3);
    EXPECT_EQ(doc.rows[0].field_name(), "MPM_MJR_HWY_CLR");
    EXPECT_EQ(doc.rows[0].elem_name(), " MJR HWY ");
    EXPECT_EQ(doc.rows[0].pri_day(), "ffCECECE");
    EXPECT_EQ(doc.rows[0].sec_day(), "FFFFFFFF");
    EXPECT_EQ(doc.rows[1].field_name(), "MPM_TRK_CLR");
    const StyleRow& polygon = doc.rows[2];
    EXPECT_EQ(polygon.field_name(), "MPM_BUILDING_SHADOW_CLR");
    EXPECT_EQ(polygon.elem_name(), "BUILDING SHADOW");
    EXPECT_EQ(polygon.style_text().rfind("field=\"MPM_BUILDING_SHADOW_CLR\" >", 0), 0u);
    EXPECT_EQ(polygon.pres_code, 1);
    EXPECT_EQ(polygon.sec_day(), "FF0a0a0a");
    EXPECT_EQ(polygon.border(), "ff");
    EXPECT_EQ(polygon.pres_name(), "");
    EXPECT_NE(polygon.style_text().find("day=\"#ff0a0a0a\""), std::string::npos);
}

// A Sport & Fitness theme holding only polygons added here must be recognised when read back.
TEST(AddElement, SportFitnessPolygonsSurviveSavingAndReading)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.kind = ThemeKind::SportFitness;
    doc.metadata.title = "T";
    doc.metadata.description = "D";
    bool keep_open = true;
    add_element(
        doc, newelement_add(doc, { -1, {}, { "BUILDING SHADOW", "URBAN LAND" } }, keep_open));
    ASSERT_EQ(doc.row_count(), 2);

    RecordingPrompter reader_prompter;
    Document back;
    back.attach(&reader_prompter, nullptr);
    ASSERT_TRUE(parse(back, sport_fitness_text(doc)));
    EXPECT_TRUE(reader_prompter.messages.empty());
    EXPECT_EQ(back.kind, ThemeKind::SportFitness);
    ASSERT_EQ(back.row_count(), 2);
    EXPECT_EQ(back.rows[0].field_name(), "MPM_BUILDING_SHADOW_CLR");
    EXPECT_EQ(back.rows[1].field_name(), "MPM_URBAN_LAND_CLR");
    EXPECT_EQ(back.rows[0].pri_day(), "cecece");

    // Chosen again, a polygon is reported by its saved name; LAND is new although URBAN LAND
    // holds it.
    const auto again = newelement_add(doc, { -1, {}, { "BUILDING SHADOW", "LAND" } }, keep_open);
    EXPECT_EQ(again.polygons, "MPM_LAND_CLR\r\n");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "Already contains \r\n\r\nMPM_BUILDING_SHADOW_CLR\r\n");
}

struct ExistsCase
{
    const char* what;
    std::string entry;
    int pres_index;
    bool expected;
};

void PrintTo(const ExistsCase& c, std::ostream* os)
{
    *os << c.what;
}

class ElemExists : public testing::TestWithParam<ExistsCase>
{
};

TEST_P(ElemExists, MatchesByPresentationTensAndSubstring)
{
    RecordingPrompter prompter;
    const Document doc = car_zumo_theme(prompter);
    EXPECT_EQ(elem_exists(doc, GetParam().entry, GetParam().pres_index), GetParam().expected)
        << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(CarZumo, ElemExists,
    testing::Values(ExistsCase { "bordered row counts for its presentation", "WATER", 1, true },
        ExistsCase { "substring of MISC_WATER_AREA counts", "WATER", 0, true },
        ExistsCase { "other presentation does not count", "ROAD_ALLY", 1, false },
        ExistsCase { "unknown name", "BEACH", 0, false },
        ExistsCase { "traffic rows", "TRK", 2, true }));

TEST(AddElement, AlreadyPresentIsReportedFirstAndTheNewOnesAreStillAdded)
{
    RecordingPrompter prompter;
    Document doc = car_zumo_theme(prompter);
    bool keep_open = false;
    const auto selection =
        newelement_add(doc, { 0, { "ROAD_ALLY", "TRK" }, { "BEACH", "WATER" } }, keep_open);
    EXPECT_FALSE(keep_open);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "GUIDANCE already has \r\n\r\nROAD_ALLY\r\nWATER\r\n");
    EXPECT_EQ(selection.lines, "TRK\r\n");
    EXPECT_EQ(selection.polygons, "BEACH\r\n");
}

TEST(AddElement, SportFitnessSecondRunReportsAlreadyContainsAndKeepsDialogOpen)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.kind = ThemeKind::SportFitness;
    bool keep_open = true;
    add_element(doc, newelement_add(doc, { -1, { "MJR HWY" }, {} }, keep_open));
    const auto again = newelement_add(doc, { -1, { "MJR HWY" }, {} }, keep_open);
    EXPECT_TRUE(keep_open);
    EXPECT_TRUE(again.empty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "Already contains \r\n\r\nMPM_MJR_HWY_CLR\r\n");
    EXPECT_EQ(doc.row_count(), 1);
}

struct RefusalCase
{
    const char* what;
    ThemeKind kind;
    ElementChoice choice;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.what;
}

class AddRefusal : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(AddRefusal, KeepsDialogOpenWithMessage)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.kind = GetParam().kind;
    bool keep_open = false;
    const auto selection = newelement_add(doc, GetParam().choice, keep_open);
    EXPECT_TRUE(keep_open) << GetParam().what;
    EXPECT_TRUE(selection.empty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Messages, AddRefusal,
    testing::Values(RefusalCase { "no presentation", ThemeKind::CarZumo, { -1, { "TRK" }, {} },
                        "Please select a Presentation" },
        RefusalCase { "presentation out of range", ThemeKind::CarZumo, { 6, { "TRK" }, {} },
            "Please select a Presentation" },
        RefusalCase { "nothing chosen", ThemeKind::CarZumo, { 2, {}, {} },
            "Please select a line or polygon." },
        RefusalCase { "nothing chosen, no presentation needed", ThemeKind::SportFitness,
            { -1, {}, {} }, "Please select a line or polygon." }));

TEST(AddElement, EmptySelectionChangesNothing)
{
    RecordingPrompter prompter;
    Document doc = car_zumo_theme(prompter);
    const auto before = doc.rows;
    add_element(doc, {});
    EXPECT_EQ(doc.rows, before);
    EXPECT_FALSE(doc.modified);
}

TEST(AddElement, SortKeepsFileOrderInsideOnePresentationCode)
{
    Document doc;
    doc.rows = { row_of("A", 11), row_of("B", 0), row_of("C", 11), row_of("D", 0),
        row_of("E", 10) };
    sort_rows(doc);
    std::string order;
    for (const auto& row : doc.rows) {
        order += row.field_name();
    }
    EXPECT_EQ(order, "BDEAC");
}

TEST(AddElement, SportFitnessLineEntriesAreUpperCasedWithUnderscores)
{
    EXPECT_EQ(line_entry(ThemeKind::SportFitness, "LS sub cbl"), "MPM_LS_SUB_CBL_CLR");
    EXPECT_EQ(line_entry(ThemeKind::CarZumo, "ROAD_RAMP"), "ROAD_RAMP");
    EXPECT_EQ(line_list_items(ThemeKind::SportFitness).size(), 140u);
    EXPECT_EQ(polygon_list_items(ThemeKind::SportFitness).size(), 34u);
    EXPECT_EQ(line_list_items(ThemeKind::CarZumo).size(), 33u);
}

} // namespace
} // namespace tintwell
