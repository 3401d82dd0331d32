#include "map/map_draw.h"
#include "map/map_plan.h"
#include "map/scene.h"
#include "model/catalogue.h"
#include "raster_canvas.h"
#include "render/preview.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tintwell::map {
namespace {

using colour::Vision;

std::string blanks(std::string name)
{
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

TEST(SceneText, ReadsWhatItCanAndSaysWhatItPassedOver)
{
    const struct
    {
        const char* name;
        std::string text;
        std::size_t features;
        std::vector<int> problem_lines;
    } cases[] = {
        { "plain", "scene 10 20 A town\r\narea LAND LAND 0,0 10,0 10,20\n", 1, {} },
        { "comments and blanks", "# about\n\n  line TRK TRK 0,0 1,1 # today\n", 1, {} },
        { "unknown word", "circle LAND LAND 0,0 1,1 2,2\nline TRK TRK 0,0 1,1", 1, { 1 } },
        { "area of two points", "area LAND LAND 0,0 1,1", 0, { 1 } },
        { "arrow of three", "arrow RTE_ARRW - 0,0 1,1 2,2", 0, { 1 } },
        { "not numbers", "line TRK TRK 0,0 x,1\nline TRK TRK nan,1 2,2\nline TRK TRK 1e999,1 2,2",
            0, { 1, 2, 3 } },
        { "no comma", "line TRK TRK 0 1", 0, { 1 } },
        { "names only", "line TRK", 0, { 1 } },
        { "size not positive", "scene 0 10\nscene 10\nscene -1 4 x", 0, { 1, 2, 3 } },
        { "empty", "", 0, {} },
    };
    for (const auto& c : cases) {
        std::vector<SceneProblem> problems;
        const Scene scene = read_scene(c.text, &problems);
        EXPECT_EQ(scene.features.size(), c.features) << c.name;
        std::vector<int> lines;
        for (const SceneProblem& p : problems) {
            lines.push_back(p.line);
        }
        EXPECT_EQ(lines, c.problem_lines) << c.name;
    }
    const Scene scene = read_scene("scene 10 20 Salt  Bay\nline road_hwy_mjr mjr_hwy 0,0 1.5,-2\n");
    EXPECT_EQ(scene.name, "Salt Bay");
    ASSERT_EQ(scene.features.size(), 1u);
    EXPECT_EQ(scene.features[0].car_zumo, "ROAD HWY MJR");
    EXPECT_EQ(scene.features[0].sport, "MJR HWY");
    EXPECT_EQ(scene.features[0].points[1], (ScenePoint { 1.5, -2 }));
}

// Every feature of the town names an element of each kind's catalogue of its own shape, and
// every Car & Zumo area and line a device draws on the map is in the town.
TEST(TownScene, NamesCatalogueElementsAndHasEveryMapElement)
{
    std::vector<SceneProblem> problems;
    const Scene town = read_scene(town_scene_text(), &problems);
    EXPECT_TRUE(problems.empty()) << problems.front().line << ": " << problems.front().text;
    EXPECT_GT(town.width, 0);

    std::set<std::string> areas;
    std::set<std::string> lines;
    for (const auto& name : car_zumo_polygon_items()) {
        areas.insert(blanks(name));
    }
    for (const auto& name : car_zumo_line_items()) {
        lines.insert(blanks(name));
    }
    std::set<std::string> sport_areas;
    for (const auto& name : nwf_polygon_items()) {
        sport_areas.insert(name);
    }
    const std::string& sport_lines = get_nwlines();

    std::set<std::string> used;
    for (const SceneFeature& f : town.features) {
        const bool area = f.shape == FeatureShape::Area;
        EXPECT_EQ((area ? areas : lines).count(f.car_zumo), 1u)
            << "line " << f.source_line << ": " << f.car_zumo;
        if (!f.sport.empty()) {
            EXPECT_TRUE(area ? sport_areas.count(f.sport) == 1
                             : sport_lines.find(f.sport + "\r\n") != std::string::npos)
                << "line " << f.source_line << ": " << f.sport;
        }
        for (const ScenePoint& p : f.points) {
            EXPECT_TRUE(p.x >= 0 && p.x <= town.width && p.y >= 0 && p.y <= town.height)
                << "line " << f.source_line;
        }
        used.insert(f.car_zumo);
    }
    for (const auto& name : areas) {
        EXPECT_EQ(used.count(name), 1u) << name;
    }
    for (const auto& name : lines) {
        if (name != "LEGEND") {
            EXPECT_EQ(used.count(name), 1u) << name;
        }
    }
}

StyleRow style(std::string element, std::string day, std::string night = "-1",
    std::string border_day = "", std::string border_night = "", std::string scale = "",
    std::string border = "")
{
    StyleRow r;
    r.set_elem_name(element);
    r.set_pri_day(day);
    r.set_pri_night(night);
    r.set_sec_day(border_day);
    r.set_sec_night(border_night);
    r.set_scale(scale);
    r.set_border(border);
    r.pres_code = border.empty() ? 0 : 1;
    return r;
}

// A small map whose every pixel is known: water and woods beside each other, an interstate
// running down, a residential street across it (written after it in the text, so only the
// drawing order puts it under), the active route across the interstate, an arrow on the route.
const char* const probe_scene = "scene 100 100 probes\n"
                                "area LAND LAND 0,0 100,0 100,100 0,100\n"
                                "area WATER WATER 10,10 40,10 40,40 10,40\n"
                                "area WOODS WOODS 60,10 90,10 90,40 60,40\n"
                                "line ROAD_INTERSTATE INTERSTATE 50,0 50,100\n"
                                "line RTE_ACTV_LEG ACTV_RTE_LEG 0,70 100,70\n"
                                "line ROAD_RESIDENTIAL RESIDENTIAL 0,85 100,85\n"
                                "arrow RTE_ARRW - 20,55 30,55\n";

struct ProbeTheme
{
    Document doc;
    ProbeTheme()
    {
        // No WOODS style: the woods are not drawn.
        doc.rows = {
            style("LAND", "F0EAD6", "202020"),
            style("WATER", "9EC5F0", "3F4E74"),
            style("ROAD INTERSTATE", "E0526A", "6A2030", "902030", "401010", "2", "1"),
            style("ROAD RESIDENTIAL", "FFFFFF"),
            style("RTE ACTV LEG", "C020A0", "FF80E0", "", "", "1.5"),
            style("RTE ARRW", "2060E0", "80A0FF", "FFFFFF", "000000", "3", "0"),
        };
    }
};

TEST(MapDrawing, ProbesGiveTheThemesColours)
{
    ProbeTheme theme;
    const Scene scene = read_scene(probe_scene);
    const struct
    {
        int x;
        int y;
        ColourValue day;
        ColourValue night;
        const char* what;
    } probes[] = {
        { 25, 25, 0xF0C59E, 0x744E3F, "water" },
        { 75, 25, 0xD6EAF0, 0x202020, "woods not set: land shows" },
        { 50, 30, 0x6A52E0, 0x30206A, "interstate body" },
        // Scale 2 is a body 8 pixels wide, border 1 a strip of 4 on each side.
        { 45, 30, 0x302090, 0x101040, "interstate border" },
        { 50, 85, 0x6A52E0, 0x30206A, "interstate over the lesser street" },
        { 10, 85, 0xFFFFFF, 0xFFFFFF, "street without a night colour keeps its day one" },
        { 50, 70, 0xA020C0, 0xE080FF, "route over the interstate" },
        { 25, 55, 0xE06020, 0xFFA080, "arrow" },
    };
    for (const bool night : { false, true }) {
        const MapPlan plan = plan_map(theme.doc, scene, { "", night });
        for (const Vision vision : { Vision::Normal, Vision::Deuteranopia }) {
            RasterCanvas canvas(100, 100);
            draw_map(canvas, scene, plan, MapView {}, vision);
            for (const auto& p : probes) {
                EXPECT_EQ(canvas.at(p.x, p.y), seen_with(night ? p.night : p.day, vision))
                    << p.what << (night ? " at night, " : " by day, ")
                    << colour::vision_name(vision);
            }
        }
    }
}

TEST(MapDrawing, WidthsFollowTheThemeAndTheZoom)
{
    ProbeTheme theme;
    const Scene scene = read_scene(probe_scene);
    const MapPlan plan = plan_map(theme.doc, scene, {});
    RasterCanvas canvas(200, 200);
    MapView view;
    view.zoom = 2;
    draw_map(canvas, scene, plan, view);
    // At zoom 2 the interstate's body is 16 pixels, its borders 8: 84..115 across x = 100.
    const auto across = [&](int x) { return canvas.at(x, 60); };
    EXPECT_EQ(across(83), 0xD6EAF0);
    EXPECT_EQ(across(84), 0x302090);
    EXPECT_EQ(across(91), 0x302090);
    EXPECT_EQ(across(92), 0x6A52E0);
    EXPECT_EQ(across(107), 0x6A52E0);
    EXPECT_EQ(across(108), 0x302090);
    EXPECT_EQ(across(115), 0x302090);
    EXPECT_EQ(across(116), 0xD6EAF0);
}

TEST(MapPlan, OrderAndLegend)
{
    Document doc;
    doc.rows = { style("LAND", "F0EAD6"),
        style("ROAD INTERSTATE", "E0526A", "-1", "902030", "", "2", "1"),
        style("ROAD RESIDENTIAL", "FFFFFF", "-1", "CCCCCC", "", "1", "0.5"),
        style("ROAD RAMP", "FFAA00", "-1", "AA5500", "", "1", "0.5"),
        style("RTE ACTV LEG", "C020A0"), style("RTE INACTV LEG", "8020A0"),
        style("ROAD RAILRD", "333333", "-1", "FFFFFF") };
    const Scene& town = town_scene();
    const MapPlan plan = plan_map(doc, town, {});

    // Every border of the roads lies under every body of them, the lesser road under the
    // greater, and every route step over every road step.
    const auto element = [&](const MapItem& item) {
        return town.features[static_cast<std::size_t>(item.feature)].car_zumo;
    };
    std::size_t last_casing = 0;
    std::size_t first_body = plan.items.size();
    std::size_t last_road = 0;
    std::size_t first_route = plan.items.size();
    std::vector<std::string> bodies;
    for (std::size_t i = 0; i < plan.items.size(); ++i) {
        const MapItem& item = plan.items[i];
        const std::string name = element(item);
        if (name.rfind("ROAD ", 0) == 0 && name != "ROAD RAILRD") {
            last_road = i;
            if (item.pass == MapPass::Casing) {
                last_casing = i;
            } else {
                first_body = std::min(first_body, i);
                if (bodies.empty() || bodies.back() != name) {
                    bodies.push_back(name);
                }
            }
        }
        if (name.rfind("RTE ", 0) == 0) {
            first_route = std::min(first_route, i);
        }
    }
    EXPECT_LT(last_casing, first_body);
    EXPECT_EQ(
        bodies, (std::vector<std::string> { "ROAD RESIDENTIAL", "ROAD RAMP", "ROAD INTERSTATE" }));
    EXPECT_LT(last_road, first_route);
    EXPECT_EQ(element(plan.items.back()), "RTE ACTV LEG");

    const auto state_of = [&](const std::string& name) {
        for (const LegendEntry& e : plan.legend) {
            if (e.element == name) {
                return e.state;
            }
        }
        ADD_FAILURE() << name << " is not in the legend";
        return LegendState::Drawn;
    };
    EXPECT_EQ(state_of("ROAD INTERSTATE"), LegendState::Drawn);
    EXPECT_EQ(state_of("WOODS"), LegendState::NotSet);
    EXPECT_EQ(state_of("LEGEND"), LegendState::NotInScene);
    EXPECT_EQ(std::count_if(plan.items.begin(), plan.items.end(),
                  [&](const MapItem& item) { return element(item) == "WOODS"; }),
        0);
}

TEST(MapPlan, PresentationsAndSportWidths)
{
    Document doc;
    StyleRow guidance = style("WATER", "0000FF");
    StyleRow browse = style("WATER", "00FF00");
    browse.pres_code = 10;
    doc.rows = { guidance, browse };
    const Scene scene = read_scene("area WATER WATER 0,0 9,0 9,9");
    EXPECT_EQ(map_presentations(doc), (std::vector<std::string> { "GUIDANCE", "BROWSE" }));
    EXPECT_EQ(plan_map(doc, scene, {}).items.at(0).colour, 0xFF0000);
    EXPECT_EQ(plan_map(doc, scene, { "BROWSE", false }).items.at(0).colour, 0x00FF00);
    EXPECT_TRUE(plan_map(doc, scene, { "PEDESTRIAN", false }).items.empty());

    Document sport;
    sport.kind = ThemeKind::SportFitness;
    StyleRow hwy = style("MJR HWY", "FFF2A65A", "FF7A4A2A", "FF8C5A2B");
    hwy.set_bg_width("2");
    hwy.set_fg_width("4");
    hwy.set_style_text("<STYLE FIELD=\"MPM_MJR_HWY_CLR\" BG_WIDTH=\"2\" FG_WIDTH=\"4\">");
    sport.rows = { hwy };
    const Scene road = read_scene("line ROAD_HWY_MJR MJR_HWY 0,0 9,9\nline ROAD_ALLY - 0,0 9,0");
    const MapPlan plan = plan_map(sport, road, {});
    ASSERT_EQ(plan.items.size(), 2u);
    // Strips of 1.5 × 2 on each side of a body of 1.5 × 4 pixels; the alley has no element.
    EXPECT_EQ(plan.items[0].pass, MapPass::Casing);
    EXPECT_DOUBLE_EQ(plan.items[0].width, 12);
    EXPECT_EQ(plan.items[0].colour, 0x2B5A8C);
    EXPECT_DOUBLE_EQ(plan.items[1].width, 6);
    EXPECT_EQ(plan.items[1].colour, 0x5AA6F2);
}

// A Sport & Fitness colour is drawn with its transparency digits: a clear water shows the land
// under it, a half-clear one the two mixed, an opaque one itself; night colours take their own.
TEST(MapDrawing, SportFitnessColoursKeepTheirTransparency)
{
    const Scene scene = read_scene("scene 20 20 clear\narea LAND LAND 0,0 20,0 20,20 0,20\n"
                                   "area WATER WATER 5,5 15,5 15,15 5,15\n");
    const struct
    {
        const char* day;
        const char* night;
        ColourValue day_seen;
        ColourValue night_seen;
    } cases[] = {
        { "000000FF", "FF0000FF", 0xFFFFFF, 0xFF0000 },
        { "800000FF", "00FF0000", 0xFF7F7F, 0x000000 },
        { "FF00FF00", "80FF0000", 0x00FF00, 0x000080 },
    };
    for (const auto& c : cases) {
        Document sport;
        sport.kind = ThemeKind::SportFitness;
        StyleRow land = style("LAND", "FFFFFFFF", "FF000000");
        land.set_style_text("<style field=\"mpm_land_clr\"><color><primary day=\"#ffffffff\" "
                            "night=\"#ff000000\"/></color></style>");
        StyleRow water = style("WATER", c.day, c.night);
        water.set_style_text(std::string("<style field=\"mpm_water_clr\"><color><primary day=\"#")
            + c.day + "\" night=\"#" + c.night + "\"/></color></style>");
        sport.rows = { land, water };
        for (const bool night : { false, true }) {
            RasterCanvas canvas(20, 20);
            draw_map(canvas, scene, plan_map(sport, scene, { "", night }), MapView {});
            EXPECT_EQ(canvas.at(10, 10), night ? c.night_seen : c.day_seen)
                << c.day << " " << c.night << (night ? " at night" : " by day");
        }
    }
}

TEST(MapHitTest, GivesTheTopmostFeaturesRow)
{
    ProbeTheme theme;
    const Scene scene = read_scene(probe_scene);
    const MapPlan plan = plan_map(theme.doc, scene, {});
    MapView view;
    view.zoom = 2;
    const struct
    {
        double x;
        double y;
        int feature;
        int row;
    } hits[] = {
        { 50, 50, 1, 1 }, // water
        { 150, 50, 0, 0 }, // woods are not drawn: the land
        { 100, 60, 3, 2 }, // interstate
        { 100, 140, 4, 4 }, // route over the interstate
        { 60, 170, 5, 3 }, // street
        { 100, 170, 3, 2 }, // interstate over the street
        { 50, 110, 6, 5 }, // arrow over the route
    };
    for (const auto& h : hits) {
        EXPECT_EQ(hit_test(scene, plan, view, h.x, h.y), (MapHit { h.feature, h.row }))
            << h.x << "," << h.y;
    }
    Document empty;
    EXPECT_EQ(hit_test(scene, plan_map(empty, scene, {}), view, 50, 50), MapHit {});
}

TEST(MapView, FitsAndZoomsAboutAPoint)
{
    const Scene scene = read_scene("scene 200 100 x");
    const MapView fit = fit_view(scene, 400, 400);
    EXPECT_DOUBLE_EQ(fit.zoom, 2);
    EXPECT_DOUBLE_EQ(fit.to_pixels({ 100, 50 }).y, 200);
    MapView view = fit;
    const ScenePoint under = view.to_scene(123, 77);
    view.zoom_at(5, 123, 77);
    EXPECT_DOUBLE_EQ(view.to_scene(123, 77).x, under.x);
    EXPECT_DOUBLE_EQ(view.to_scene(123, 77).y, under.y);
    view.zoom_at(1e9, 0, 0);
    EXPECT_EQ(view.zoom, max_map_zoom);
    EXPECT_EQ(fit_view(scene, 0, -5).zoom, 1);
}

} // namespace
} // namespace tintwell::map
