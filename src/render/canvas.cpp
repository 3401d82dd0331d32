#include "render/canvas.h"

#include <algorithm>
#include <cmath>

namespace tintwell {

namespace {

// Far beyond any canvas, yet small enough that sums of a few of them stay inside an int.
constexpr double coordinate_limit = 1 << 26;

} // namespace

int round_even(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value > coordinate_limit) {
        return static_cast<int>(coordinate_limit);
    }
    if (value < -coordinate_limit) {
        return -static_cast<int>(coordinate_limit);
    }
    return static_cast<int>(std::nearbyint(value));
}

Canvas::Canvas(int width_px, int height_px)
    : m_width_px(width_px > 0 ? width_px : 0)
    , m_height_px(height_px > 0 ? height_px : 0)
{
}

void Canvas::set_scale(double scale)
{
    if (!(scale >= 1.0 / 16 && scale <= 64) || scale == m_scale) {
        return;
    }
    m_scale = scale;
    scale_changed();
}

// At scale 1 these are exactly the plain conversions: multiplying by 1.0 changes no value.
double Canvas::to_pixels(double value) const
{
    const double scaled = value * m_scale;
    return state.scale_mode == ScaleMode::Twips ? scaled / twips_per_pixel : scaled;
}

double Canvas::from_pixels(double pixels) const
{
    const double unscaled = pixels / m_scale;
    return state.scale_mode == ScaleMode::Twips ? unscaled * twips_per_pixel : unscaled;
}

int Canvas::pen_pixels(int width) const
{
    return std::max(round_even(std::max(width, 1) * m_scale), 1);
}

CanvasPoint Canvas::image_point(const CanvasPoint& point) const
{
    return { round_even(point.x * m_scale), round_even(point.y * m_scale) };
}

double Canvas::scale_width() const
{
    return from_pixels(m_width_px);
}

double Canvas::scale_height() const
{
    return from_pixels(m_height_px);
}

template <typename Draw> void Canvas::with_mapped_state(Draw draw)
{
    if (!m_colour_map) {
        draw();
        return;
    }
    const ColourMap& seen = m_colour_map;
    const auto map = [&seen](ColourValue colour) { return colour < 0 ? colour : seen(colour); };
    const ColourValue back = state.back_color;
    const ColourValue fore = state.fore_color;
    const ColourValue fill = state.fill_color;
    state.back_color = map(back);
    state.fore_color = map(fore);
    state.fill_color = map(fill);
    draw();
    state.back_color = back;
    state.fore_color = fore;
    state.fill_color = fill;
}

void Canvas::cls()
{
    if (state.back_color >= 0) {
        with_mapped_state([this] { do_cls(); });
    }
    state.current_x = 0;
    state.current_y = 0;
}

void Canvas::clear_picture()
{
    do_clear_picture();
}

void Canvas::line(double x1, double y1, double x2, double y2, ColourValue colour, LineForm form)
{
    if (colour < 0) {
        return;
    }
    do_line(x1, y1, x2, y2, m_colour_map ? m_colour_map(colour) : colour, form);
}

void Canvas::translucent_box(
    double x1, double y1, double x2, double y2, ColourValue colour, int alpha)
{
    if (colour < 0) {
        return;
    }
    alpha = std::clamp(alpha, 0, 255);
    if (alpha == 255) {
        line(x1, y1, x2, y2, colour, LineForm::FilledBox);
        return;
    }
    do_translucent_box(x1, y1, x2, y2, m_colour_map ? m_colour_map(colour) : colour, alpha);
}

void Canvas::polygon(std::span<const CanvasPoint> points)
{
    if (points.size() < 2) {
        return;
    }
    with_mapped_state([this, points] { do_polygon(points); });
}

namespace {

bool all_finite(std::span<const CanvasPointF> points)
{
    return std::all_of(points.begin(), points.end(),
        [](const CanvasPointF& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

} // namespace

void Canvas::stroke(
    std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha)
{
    if (colour < 0 || alpha <= 0 || points.size() < 2 || !(width > 0) || !std::isfinite(width)
        || !all_finite(points)) {
        return;
    }
    do_stroke(points, width, m_colour_map ? m_colour_map(colour) : colour, std::min(alpha, 255));
}

void Canvas::fill_shape(std::span<const CanvasPointF> points, ColourValue colour, int alpha)
{
    if (colour < 0 || alpha <= 0 || points.size() < 3 || !all_finite(points)) {
        return;
    }
    do_fill_shape(points, m_colour_map ? m_colour_map(colour) : colour, std::min(alpha, 255));
}

void Canvas::print(std::string_view text)
{
    if (state.fore_color < 0 || text.empty()) {
        return;
    }
    with_mapped_state([this, text] { do_print(text); });
}

double Canvas::text_width(std::string_view text)
{
    return from_pixels(do_text_width(text));
}

double Canvas::text_height(std::string_view text)
{
    return from_pixels(do_text_height(text));
}

void Canvas::paint_picture(const Canvas& source, double x, double y)
{
    do_paint_picture(source, x, y);
}

} // namespace tintwell
