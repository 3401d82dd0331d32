#include "render/arrow.h"

#include <algorithm>
#include <cmath>

namespace tintwell {

namespace {

constexpr ColourValue white = 0xFFFFFF;
constexpr ColourValue edge_colour = 0x32C8C8; // RGB(200,200,50)
constexpr int widest_pen = 1000;

// The arithmetic is single precision, as the sizes are, so that points falling on a half round
// the same way on every platform.
ArrowPoints arrow_points(float u, float o)
{
    const auto at = [&](float x, float y) {
        return CanvasPoint { round_even(x + o), round_even(y + o) };
    };
    return { at(3 * u, u / 2), at(5 * u, 2.5f * u), at(4 * u, 2.5f * u), at(4 * u, 4 * u),
        at(2 * u, 4 * u), at(2 * u, 2.5f * u), at(u, 2.5f * u) };
}

void fill_and_outline(
    Canvas& canvas, const ArrowPoints& points, ColourValue fill, ColourValue border, float pen)
{
    CanvasState& s = canvas.state;
    s.draw_width = 1;
    s.fill_style = FillStyle::Solid;
    if (fill >= 0) {
        s.fill_color = fill;
    }
    s.draw_style = DrawStyle::Invisible;
    s.fore_color = fill == white ? 0 : edge_colour;
    s.draw_width = 1;
    // Without a fill colour the polygon would take whatever fill the canvas held before.
    if (fill >= 0) {
        canvas.polygon(points);
    }
    s.fill_color = 0;
    s.draw_style = DrawStyle::Solid;
    if (pen > 1) {
        s.draw_width = std::clamp(round_even(pen), 1, widest_pen);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const CanvasPoint& from = points[i];
            const CanvasPoint& to = points[(i + 1) % points.size()];
            canvas.line(from.x, from.y, to.x, to.y, border);
        }
    }
}

} // namespace

ArrowPoints arrow_points_at(double x, double y, double dx, double dy, double u)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(u)) {
        x = y = u = 0;
    }
    double length = std::hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) {
        dx = 0;
        dy = -1;
        length = 1;
    }
    // Along the tip's direction and across it; the glyph's own y axis points from tip to tail.
    const double ax = dx / length;
    const double ay = dy / length;
    // The corners of arrow_points in units, upright, around the glyph's middle (3, 2.25).
    constexpr std::array<std::array<double, 2>, 7> upright = { { { 3, 0.5 }, { 5, 2.5 }, { 4, 2.5 },
        { 4, 4 }, { 2, 4 }, { 2, 2.5 }, { 1, 2.5 } } };
    ArrowPoints turned {};
    for (std::size_t i = 0; i < upright.size(); ++i) {
        const double across = (upright[i][0] - 3) * u;
        const double back = (upright[i][1] - 2.25) * u;
        turned[i] = { round_even(x - ay * across - ax * back),
            round_even(y + ax * across - ay * back) };
    }
    return turned;
}

void draw_arrow_points(
    Canvas& canvas, const ArrowPoints& points, ColourValue fill, ColourValue border, float pen)
{
    canvas.state.scale_mode = ScaleMode::Pixels;
    fill_and_outline(canvas, points, fill, border, pen);
}

ArrowPoints draw_arrow(Canvas& canvas, ColourValue fill, ColourValue border, float& k, float& b)
{
    canvas.state.scale_mode = ScaleMode::Pixels;
    canvas.state.auto_redraw = true;
    canvas.cls();
    canvas.clear_picture();
    if (k == 0) {
        k = 0.5f;
    }
    const float width = static_cast<float>(canvas.scale_width());
    const float u = width / 6 / k;
    const float o = width / 2 - 3 * u;
    const ArrowPoints points = arrow_points(u, o);
    fill_and_outline(canvas, points, fill, border, b > 0 ? 2 * b + 1 : 0);
    return points;
}

ArrowPoints draw_arrow_small(
    Canvas& canvas, ColourValue fill, ColourValue border, float& k, float& b)
{
    canvas.state.scale_mode = ScaleMode::Pixels;
    canvas.state.auto_redraw = true;
    const float width = static_cast<float>(canvas.scale_width());
    const float u = width / 10 / k;
    const float o = width - 6 * u;
    const ArrowPoints points = arrow_points(u, o);
    fill_and_outline(canvas, points, fill, border, b > 0 ? b + 1 : 0);
    return points;
}

} // namespace tintwell
