#include "model/catalogue.h"
#include "model/text.h"
#include "theme_fixture.h"

#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

TEST(Catalogue, CarZumoPolygonsMatchWholeNamesOnly)
{
    Document doc;
    struct Case
    {
        std::string name;
        bool polygon;
        std::string trimmed;
    };
    const Case cases[] = { { "WATER ", true, "WATER" }, { "WATER AREA", false, "WATER AREA" },
        { "MISC WATER AREA", true, "MISC WATER AREA" }, { " BEACH", true, "BEACH" },
        { "water", false, "water" }, { "ROAD INTERSTATE", false, "ROAD INTERSTATE" },
        { "", false, "" }, { "PARK,RWY HSRFC", true, "PARK,RWY HSRFC" } };
    for (auto c : cases) {
        EXPECT_EQ(pgon(doc, c.name), c.polygon) << c.trimmed;
        EXPECT_EQ(c.name, c.trimmed);
    }
}

TEST(Catalogue, SportFitnessPolygonsMatchAnyPart)
{
    Document doc;
    RecordingView view;
    doc.attach(nullptr, &view);
    doc.kind = ThemeKind::SportFitness;
    struct Case
    {
        std::string name;
        bool polygon;
    };
    const Case cases[] = { { "URBAN_LAND", true }, { "urban land", true }, { "BOG", true },
        { "LAND", true }, { "EA,PAR", true }, { "", true }, { "INTERSTATE", false },
        { "MJR_HWY ", false } };
    for (auto c : cases) {
        view.edit_menu = -1;
        EXPECT_EQ(pgon(doc, c.name), c.polygon) << c.name;
        EXPECT_EQ(view.edit_menu, c.polygon ? 0 : -1) << c.name;
    }
    std::string name = "MISC_AREA";
    EXPECT_EQ(nwf_pgns(doc, name), 2);
    EXPECT_EQ(name, "MISC AREA");
}

TEST(Catalogue, ListsHaveTheirFullLength)
{
    EXPECT_EQ(car_zumo_polygon_items().size(), 16u);
    EXPECT_EQ(car_zumo_line_items().size(), 33u);
    EXPECT_EQ(nwf_polygon_items().size(), 34u);
    const auto lines = text::split(get_nwlines(), "\r\n");
    EXPECT_EQ(lines.size(), 141u); // 140 names, each followed by CR LF
    EXPECT_EQ(lines.front(), "INTERSTATE");
    EXPECT_EQ(lines[139], "MDB TRK LT BLUE");
    // Every Car & Zumo polygon of the dialog is a polygon for the preview.
    Document doc;
    for (const auto& item : car_zumo_polygon_items()) {
        std::string name = text::replace(item, "_", " ");
        EXPECT_TRUE(pgon(doc, name)) << item;
    }
}

} // namespace
