#include "render/arrow.h"
#include "render/recording_canvas.h"

#include <gtest/gtest.h>

using namespace tintwell;
using Kind = CanvasOp::Kind;

namespace {

constexpr ColourValue red = 0x0000FF;
constexpr ColourValue blue = 0xFF0000;
constexpr ColourValue white = 0xFFFFFF;

TEST(DrawArrow, SixtyFourPixelsWideWithKOne)
{
    RecordingCanvas canvas(64, 60);
    float k = 1;
    float b = 0;
    const ArrowPoints points = draw_arrow(canvas, red, blue, k, b);
    // u = 10.67 and o = 0: the arrow spans x 10.67..53.33 and y 5.33..42.67, rounded.
    const ArrowPoints expected = { { { 32, 5 }, { 53, 27 }, { 43, 27 }, { 43, 43 }, { 21, 43 },
        { 21, 27 }, { 11, 27 } } };
    EXPECT_EQ(points, expected);
    ASSERT_EQ(canvas.ops.size(), 3U);
    EXPECT_EQ(canvas.ops[0].kind, Kind::Cls);
    EXPECT_EQ(canvas.ops[1].kind, Kind::ClearPicture);
    const CanvasOp& polygon = canvas.ops[2];
    EXPECT_EQ(polygon.kind, Kind::Polygon);
    EXPECT_EQ(polygon.points, std::vector<CanvasPoint>(expected.begin(), expected.end()));
    EXPECT_EQ(polygon.state.fill_color, red);
    EXPECT_EQ(polygon.state.fill_style, FillStyle::Solid);
    EXPECT_EQ(polygon.state.draw_style, DrawStyle::Invisible);
    EXPECT_EQ(canvas.state.scale_mode, ScaleMode::Pixels);
    EXPECT_EQ(canvas.state.draw_style, DrawStyle::Solid);
    EXPECT_EQ(canvas.state.fill_color, 0);
}

TEST(DrawArrow, KZeroBecomesHalfInTheCallersVariable)
{
    RecordingCanvas canvas(64, 60);
    float k = 0;
    float b = 0;
    const ArrowPoints points = draw_arrow(canvas, red, blue, k, b);
    EXPECT_EQ(k, 0.5f);
    // Twice the size of k = 1, centred: the tip at (32, 32 - 3 × 21.33 + 10.67).
    EXPECT_EQ(points[0], (CanvasPoint { 32, -21 }));
}

struct OutlineCase
{
    const char* what;
    bool small;
    float b;
    ColourValue fill;
    int pen; // 0: no outline
    ColourValue edge;
};

class ArrowOutline : public testing::TestWithParam<OutlineCase>
{
};

TEST_P(ArrowOutline, PenAndEdgeColour)
{
    const OutlineCase& c = GetParam();
    RecordingCanvas canvas(64, 60);
    float k = 1;
    float b = c.b;
    const ArrowPoints points = c.small ? draw_arrow_small(canvas, c.fill, blue, k, b)
                                       : draw_arrow(canvas, c.fill, blue, k, b);
    const auto polygons = canvas.of_kind(Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1U);
    EXPECT_EQ(polygons[0].state.fore_color, c.edge);
    const auto segments = canvas.of_kind(Kind::Line);
    if (c.pen == 0) {
        EXPECT_TRUE(segments.empty());
        return;
    }
    ASSERT_EQ(segments.size(), 7U);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].state.draw_width, c.pen);
        EXPECT_EQ(segments[i].colour, blue);
        EXPECT_EQ(segments[i].form, LineForm::Segment);
        EXPECT_EQ(segments[i].x1, points[i].x);
        EXPECT_EQ(segments[i].y2, points[(i + 1) % 7].y);
    }
    EXPECT_EQ(segments.back().x2, points[0].x) << "the outline closes at the tip";
}

INSTANTIATE_TEST_SUITE_P(Table, ArrowOutline,
    testing::Values(OutlineCase { "no border", false, 0, red, 0, 0x32C8C8 },
        OutlineCase { "large, border 1: 2b + 1", false, 1, red, 3, 0x32C8C8 },
        OutlineCase { "small, border 1: b + 1", true, 1, red, 2, 0x32C8C8 },
        OutlineCase { "large, border 2", false, 2, red, 5, 0x32C8C8 },
        OutlineCase { "white fill gets a black edge", false, 1, white, 3, 0 },
        OutlineCase { "negative border draws no outline", true, -1, red, 0, 0x32C8C8 },
        OutlineCase { "large, border 0.25: a pen of 1.5 rounds to 2, not down to 1", false, 0.25f,
            red, 2, 0x32C8C8 },
        OutlineCase { "small, border 0.25: a pen of 1.25 still outlines, one pixel wide", true,
            0.25f, red, 1, 0x32C8C8 },
        OutlineCase {
            "small, border 0.5: a pen of 1.5 rounds to 2", true, 0.5f, red, 2, 0x32C8C8 }),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(DrawArrow, PointsHalfwayBetweenPixelsRoundToEven)
{
    // 60 wide with k = 4: u = 2.5 and o = 22.5, so 4u + o = 32.5 and 2u + o = 27.5 exactly.
    RecordingCanvas canvas(60, 60);
    float k = 4;
    float b = 0;
    const ArrowPoints points = draw_arrow(canvas, red, blue, k, b);
    const ArrowPoints expected = { { { 30, 24 }, { 35, 29 }, { 32, 29 }, { 32, 32 }, { 28, 32 },
        { 28, 29 }, { 25, 29 } } };
    EXPECT_EQ(points, expected);
}

TEST(DrawArrow, OnATallCanvasTheWidthSizesAndCentresBothAxes)
{
    // 30 wide, 90 high: u = 5 and o = 0 for x and y alike, so the arrow sits at the top.
    RecordingCanvas canvas(30, 90);
    float k = 1;
    float b = 0;
    const ArrowPoints points = draw_arrow(canvas, red, blue, k, b);
    const ArrowPoints expected = { { { 15, 2 }, { 25, 12 }, { 20, 12 }, { 20, 20 }, { 10, 20 },
        { 10, 12 }, { 5, 12 } } };
    EXPECT_EQ(points, expected);
}

TEST(DrawArrowSmall, LowerRightOverWhatIsThere)
{
    RecordingCanvas canvas(64, 60);
    float k = 1;
    float b = 0;
    const ArrowPoints points = draw_arrow_small(canvas, red, blue, k, b);
    EXPECT_TRUE(canvas.of_kind(Kind::Cls).empty());
    // u = 6.4, o = 25.6: the tip at (44.8, 28.8).
    EXPECT_EQ(points[0], (CanvasPoint { 45, 29 }));
    EXPECT_EQ(points[3], (CanvasPoint { 51, 51 }));
    EXPECT_EQ(k, 1.0f);
}

TEST(DrawArrow, WithoutAFillColourOnlyTheOutlineIsDrawn)
{
    RecordingCanvas canvas(64, 60);
    float k = 1;
    float b = 1;
    draw_arrow(canvas, -1, blue, k, b);
    EXPECT_TRUE(canvas.of_kind(Kind::Polygon).empty());
    EXPECT_EQ(canvas.of_kind(Kind::Line).size(), 7U);
}

TEST(DrawArrow, AbsurdSizesStayInRange)
{
    RecordingCanvas canvas(64, 60);
    float k = 1e-30f;
    float b = 1e30f;
    const ArrowPoints points = draw_arrow(canvas, red, blue, k, b);
    for (const CanvasPoint& p : points) {
        EXPECT_LE(std::abs(p.x), 1 << 26);
        EXPECT_LE(std::abs(p.y), 1 << 26);
    }
    EXPECT_LE(canvas.of_kind(Kind::Line).at(0).state.draw_width, 1000);
}

} // namespace
