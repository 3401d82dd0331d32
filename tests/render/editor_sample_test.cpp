#include "render/editor_sample.h"
#include "render/recording_canvas.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace tintwell;

namespace {

SampleInput line_input()
{
    SampleInput in;
    in.field_name = "MPM_ROAD_INTERSTATE_CLR";
    in.ed_pri_day = "FF0000";
    in.ed_sec_day = "0000FF";
    in.ed_pri_night = "00FF00";
    in.ed_sec_night = "";
    in.border_text = "0.5";
    in.scale_text = "1";
    in.width = 9450;
    in.height = 3000;
    return in;
}

TEST(EditorSample, LineGeometryForBorderHalfAndScaleOne)
{
    EditorSample s;
    plot_line(line_input(), s);
    EXPECT_EQ(s.form, EditorSample::Form::Line);
    EXPECT_EQ(s.scale_.rect, (SampleRect { 200, 1100, 9050, 800 }));
    EXPECT_EQ(s.bord[0].rect, (SampleRect { 200, 700, 9050, 460 }));
    EXPECT_EQ(s.bord[1].rect, (SampleRect { 200, 1840, 9050, 400 }));
    EXPECT_EQ(s.Shape1.rect.top, 700);
    EXPECT_EQ(s.Shape1.rect.bottom(), 2300);
    EXPECT_EQ(s.scale_.colour, 0x0000FF);
    EXPECT_EQ(s.bord[0].colour, 0xFF0000);
    EXPECT_TRUE(s.bord[0].visible && s.bord[1].visible && s.Shape1.visible);
}

TEST(EditorSample, FormsAndColoursByModeAndKind)
{
    struct Case
    {
        const char* name;
        void (*change)(SampleInput&);
        EditorSample::Form form;
        ColourValue body;
        bool borders;
    };
    const Case cases[] = {
        { "a line with an empty scale stays a line", [](SampleInput& in) { in.scale_text = ""; },
            EditorSample::Form::Line, 0x0000FF, true },
        { "area shows its fill by day in a Car & Zumo theme",
            [](SampleInput& in) {
                in.is_pgon = true;
                in.scale_text = "";
            },
            EditorSample::Form::Polygon, 0x0000FF, false },
        { "night body and borders", [](SampleInput& in) { in.night_mode = 1; },
            EditorSample::Form::Line, 0x00FF00, true },
        { "border off hides the bars", [](SampleInput& in) { in.border_on = false; },
            EditorSample::Form::Line, 0x0000FF, false },
        { "Sport & Fitness bars follow the border colour",
            [](SampleInput& in) {
                in.kind = ThemeKind::SportFitness;
                in.border_on = false;
            },
            EditorSample::Form::Line, 0x0000FF, true },
        { "Sport & Fitness without border colour",
            [](SampleInput& in) {
                in.kind = ThemeKind::SportFitness;
                in.ed_sec_day = "";
            },
            EditorSample::Form::Line, 0x0000FF, false },
        { "rail", [](SampleInput& in) { in.field_name = "MAP_RAILRD"; }, EditorSample::Form::Rail,
            0x0000FF, true },
        { "unreadable colour keeps the last one", [](SampleInput& in) { in.ed_pri_day = "-1"; },
            EditorSample::Form::Line, 0x123456, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SampleInput in = line_input();
        c.change(in);
        EditorSample s;
        s.scale_.colour = 0x123456;
        plot_line(in, s);
        EXPECT_EQ(s.form, c.form);
        EXPECT_EQ(s.scale_.colour, c.body);
        EXPECT_EQ(s.bord[0].visible, c.borders);
        EXPECT_EQ(s.bord[1].visible, c.borders);
    }
}

TEST(EditorSample, AreaFillsThePictureLessMargins)
{
    SampleInput in = line_input();
    in.is_pgon = true;
    in.scale_text = "";
    EditorSample s;
    plot_line(in, s);
    EXPECT_TRUE(s.is_pgon);
    EXPECT_EQ(s.scale_.rect, (SampleRect { 200, 200, 9050, 2600 }));
}

TEST(EditorSample, ALineOrRailWithoutAScaleIsDrawnAtScaleOne)
{
    for (const char* field : { "MAP_DPTH_CNTR_MJR_CLR", "MAP_ROAD_RAILRD_CLR" }) {
        SCOPED_TRACE(field);
        SampleInput in = line_input();
        in.field_name = field;
        EditorSample scaled;
        plot_line(in, scaled);
        in.scale_text = " ";
        EditorSample unscaled;
        plot_line(in, unscaled);
        EXPECT_FALSE(unscaled.is_pgon);
        EXPECT_EQ(unscaled.form, scaled.form);
        EXPECT_EQ(unscaled.scale_.rect, scaled.scale_.rect);
        EXPECT_EQ(unscaled.scale_.rect.height, 800);
    }
}

TEST(EditorSample, SportFitnessAreaShowsItsFillFramedInItsBorder)
{
    struct Case
    {
        const char* name;
        int night_mode;
        const char* border;
        ColourValue fill;
        ColourValue frame; // -1: no frame
    };
    for (const Case& c : { Case { "day", 0, "0000FF", 0x0000FF, 0xFF0000 },
             Case { "night", 1, "0000FF", 0x00FF00, 0x808080 },
             Case { "no border colour by day", 0, "", 0x0000FF, -1 } }) {
        SCOPED_TRACE(c.name);
        SampleInput in = line_input();
        in.kind = ThemeKind::SportFitness;
        in.is_pgon = true;
        in.scale_text = "1";
        in.ed_sec_day = c.border;
        in.ed_sec_night = "808080";
        EditorSample s;
        in.night_mode = c.night_mode;
        plot_line(in, s);
        EXPECT_EQ(s.form, EditorSample::Form::Polygon);
        RecordingCanvas canvas(630, 200);
        draw_editor_sample(canvas, s);
        std::vector<std::pair<ColourValue, SampleRect>> drawn;
        for (const CanvasOp& op : canvas.of_kind(CanvasOp::Kind::Line)) {
            drawn.push_back({ op.colour,
                SampleRect { static_cast<int>(op.x1), static_cast<int>(op.y1),
                    static_cast<int>(op.x2 - op.x1) + 15, static_cast<int>(op.y2 - op.y1) + 15 } });
        }
        const SampleRect area { 200, 200, 9050, 2600 };
        const SampleRect inner { 320, 320, 8810, 2360 };
        if (c.frame < 0) {
            EXPECT_EQ(drawn, (decltype(drawn) { { c.fill, area } }));
        } else {
            EXPECT_EQ(drawn, (decltype(drawn) { { c.frame, area }, { c.fill, inner } }));
        }
    }
}

TEST(EditorSample, RailIsThreeBarsSideBySideWithoutMarkers)
{
    SampleInput in = line_input();
    in.field_name = "MPM_TRAIL_CLR";
    in.width = 3400;
    EditorSample s;
    s.marker_visible = { true, true };
    plot_line(in, s);
    EXPECT_EQ(s.bord[0].rect, (SampleRect { 200, 1100, 1000, 800 }));
    EXPECT_EQ(s.scale_.rect, (SampleRect { 1200, 1100, 1000, 800 }));
    EXPECT_EQ(s.bord[1].rect, (SampleRect { 2200, 1100, 1000, 800 }));
    EXPECT_FALSE(s.marker_visible[0] || s.marker_visible[1]);
}

TEST(EditorSample, RailSideBarsFollowItsBorderColour)
{
    SampleInput in = line_input();
    in.field_name = "MPM_TRAIL_CLR";
    EditorSample s;
    plot_line(in, s);
    EXPECT_TRUE(s.bord[0].visible && s.bord[1].visible);
    EXPECT_EQ(s.bord[0].colour, 0xFF0000);
    // The border colour cleared (or never set): no side bars in the last colour they had.
    for (const char* none : { "", "-1" }) {
        in.ed_sec_day = none;
        plot_line(in, s);
        EXPECT_FALSE(s.bord[0].visible || s.bord[1].visible) << none;
        EXPECT_TRUE(s.scale_.visible);
    }
}

TEST(EditorSample, MarkersCentreOnTheBarBeingColoured)
{
    EditorSample s;
    SampleInput in = line_input();
    plot_line(in, s);
    s.marker_visible = { true, true };
    plot_markers(1, s, 390);
    EXPECT_EQ(s.marker_top[0], 1100 + 400 - 195);
    EXPECT_FALSE(s.marker_visible[1]);

    plot_markers(0, s, 390);
    EXPECT_EQ(s.marker_top[0], 700 + 230 - 195);
    EXPECT_EQ(s.marker_top[1], 1840 + 200 - 195);
    EXPECT_TRUE(s.marker_visible[0] && s.marker_visible[1]);

    for (const char* field : { "MPM_ROUTE_ARRW_CLR", "MAP_RAILRD" }) {
        in.field_name = field;
        EditorSample other;
        plot_line(in, other);
        other.marker_top = { 5, 6 };
        plot_markers(0, other, 390);
        EXPECT_EQ(other.marker_top[0], 5) << field;
        EXPECT_EQ(other.marker_top[1], 6) << field;
    }
}

TEST(EditorSample, DrawsBordersThenBodyThenOutline)
{
    EditorSample s;
    plot_line(line_input(), s);
    RecordingCanvas canvas(630, 200);
    draw_editor_sample(canvas, s);
    const auto lines = canvas.of_kind(CanvasOp::Kind::Line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(canvas.ops.front().kind, CanvasOp::Kind::Cls);
    EXPECT_EQ(canvas.ops.front().state.back_color, 0xF0F0F0);
    EXPECT_EQ(lines[2].colour, 0x0000FF);
    EXPECT_EQ(lines[2].y1, 1100);
    EXPECT_EQ(lines[3].form, LineForm::Box);
    EXPECT_EQ(lines[3].y2, 2300 - 15);
}

TEST(EditorSample, AnArrowWithoutAScaleIsDrawnAtScaleOne)
{
    RecordingCanvas scaled(630, 489);
    plotarw(scaled, "FF0000", "000000", "1", "0.5", ThemeKind::CarZumo);
    RecordingCanvas unscaled(630, 489);
    plotarw(unscaled, "FF0000", "000000", "", "0.5", ThemeKind::CarZumo);
    const auto polygons = unscaled.of_kind(CanvasOp::Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].points, scaled.of_kind(CanvasOp::Kind::Polygon).at(0).points);
}

TEST(EditorSample, ArrowSizeAndOutlineFollowScaleAndBorder)
{
    RecordingCanvas canvas(630, 489);
    plotarw(canvas, "FF0000", "000000", "1", "0.5", ThemeKind::CarZumo);
    const auto polygons = canvas.of_kind(CanvasOp::Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].state.fill_color, 0x0000FF);
    // k = 3.5 - 1: u = 630 / 6 / 2.5 = 42, o = 315 - 3u = 189; the arrow spans u + o to 5u + o.
    EXPECT_EQ(polygons[0].points[6].x, 231);
    EXPECT_EQ(polygons[0].points[1].x, 399);
    const auto edges = canvas.of_kind(CanvasOp::Kind::Line);
    ASSERT_EQ(edges.size(), 7u);
    EXPECT_EQ(edges[0].state.draw_width, 3); // b = 1
}

} // namespace

// The working colours of a Sport & Fitness style carry their transparency digits: the sample
// draws each bar with that opacity; a Car & Zumo colour of eight digits is not read so.
TEST(EditorSample, SportFitnessBarsKeepTheirOpacity)
{
    for (const auto& [kind, border, alpha] : { std::tuple(ThemeKind::SportFitness, "00404040", 0),
             std::tuple(ThemeKind::SportFitness, "80404040", 128),
             std::tuple(ThemeKind::SportFitness, "404040", 255),
             std::tuple(ThemeKind::CarZumo, "404040", 255) }) {
        SCOPED_TRACE(border);
        SampleInput in = line_input();
        in.kind = kind;
        in.is_pgon = true;
        in.ed_pri_day = kind == ThemeKind::SportFitness ? "ff0000ff" : "0000ff";
        in.ed_sec_day = border;
        EditorSample s;
        plot_line(in, s);
        EXPECT_EQ(s.bord[0].alpha, kind == ThemeKind::SportFitness ? alpha : 255);
        EXPECT_EQ(s.scale_.alpha, 255);
        RecordingCanvas canvas(630, 489);
        draw_editor_sample(canvas, s);
        const auto translucent = canvas.of_kind(CanvasOp::Kind::TranslucentBox);
        EXPECT_EQ(translucent.size(), kind == ThemeKind::SportFitness && alpha < 255 ? 1U : 0U);
    }
}
