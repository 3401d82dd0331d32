#include "map/map_draw.h"

#include "render/arrow.h"
#include "render/preview.h"

#include <algorithm>
#include <cmath>

namespace tintwell::map {

namespace {

constexpr ColourValue no_land = 0xE6E6E6;
// No pen wider than this is drawn, so that a huge scale in a theme costs no more than a wide one.
constexpr double widest = 1000;
// A thin line is hard to point at; it counts out to this many pixels.
constexpr double nearest_hit = 3;

std::vector<CanvasPointF> pixels_of(const SceneFeature& feature, const MapView& view)
{
    std::vector<CanvasPointF> points;
    points.reserve(feature.points.size());
    for (const ScenePoint& p : feature.points) {
        points.push_back(view.to_pixels(p));
    }
    return points;
}

// Cuts the line into dashes `on` long with gaps `off` long, in pixels along it.
std::vector<std::vector<CanvasPointF>> dashes_of(
    const std::vector<CanvasPointF>& line, double on, double off)
{
    std::vector<std::vector<CanvasPointF>> dashes;
    if (!(on > 0) || !(off > 0)) {
        return dashes;
    }
    bool drawing = true;
    double left = on;
    std::vector<CanvasPointF> dash = { line.front() };
    for (std::size_t i = 1; i < line.size(); ++i) {
        CanvasPointF from = line[i - 1];
        const CanvasPointF to = line[i];
        double length = std::hypot(to.x - from.x, to.y - from.y);
        while (length > left) {
            const double t = left / length;
            from = { from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t };
            length -= left;
            if (drawing) {
                dash.push_back(from);
                dashes.push_back(std::move(dash));
            }
            dash = { from };
            drawing = !drawing;
            left = drawing ? on : off;
            if (dashes.size() > 100'000) {
                return dashes;
            }
        }
        left -= length;
        dash.push_back(to);
    }
    if (drawing && dash.size() > 1) {
        dashes.push_back(std::move(dash));
    }
    return dashes;
}

double distance_to_segment(CanvasPointF p, CanvasPointF a, CanvasPointF b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

template <typename Point> bool inside(const std::vector<Point>& shape, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = shape.size() - 1; i < shape.size(); j = i++) {
        const double xi = shape[i].x;
        const double yi = shape[i].y;
        const double xj = shape[j].x;
        const double yj = shape[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
            in = !in;
        }
    }
    return in;
}

ArrowPoints arrow_of(const SceneFeature& feature, const MapItem& item, const MapView& view)
{
    const CanvasPointF at = view.to_pixels(feature.points[0]);
    const CanvasPointF toward = view.to_pixels(feature.points[1]);
    return arrow_points_at(
        at.x, at.y, toward.x - at.x, toward.y - at.y, std::min(item.width * view.zoom, widest));
}

void draw_item(
    Canvas& canvas, const SceneFeature& feature, const MapItem& item, const MapView& view)
{
    if (item.pass == MapPass::Arrow) {
        draw_arrow_points(canvas, arrow_of(feature, item, view), item.colour, item.edge,
            static_cast<float>(std::min(item.pen * view.zoom, widest)));
        return;
    }
    const auto points = pixels_of(feature, view);
    if (item.pass == MapPass::Fill) {
        canvas.fill_shape(points, item.colour, item.alpha);
        return;
    }
    const double width = std::min(item.width * view.zoom, widest);
    if (item.pass == MapPass::Dashes) {
        const double dash = std::max(3 * width, 4.0);
        for (const auto& piece : dashes_of(points, dash, dash)) {
            canvas.stroke(piece, width, item.colour, item.alpha);
        }
        return;
    }
    canvas.stroke(points, width, item.colour, item.alpha);
}

// False when nothing of the item can reach the canvas, which then skips it: a zoomed map draws
// only the part it shows.
bool reaches_canvas(
    const Canvas& canvas, const SceneFeature& feature, const MapItem& item, const MapView& view)
{
    double left = feature.points.front().x;
    double right = left;
    double top = feature.points.front().y;
    double bottom = top;
    for (const ScenePoint& p : feature.points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // An arrow's glyph reaches 2.5 units from its point; a line half its width from its middle.
    const double margin = std::min(
        (item.pass == MapPass::Arrow ? 3 : 0.5) * item.width * view.zoom + item.pen * view.zoom + 2,
        2 * widest);
    const CanvasPointF from = view.to_pixels({ left, top });
    const CanvasPointF to = view.to_pixels({ right, bottom });
    const double width = canvas.width_px() / canvas.scale();
    const double height = canvas.height_px() / canvas.scale();
    return to.x + margin >= 0 && from.x - margin <= width && to.y + margin >= 0
        && from.y - margin <= height;
}

} // namespace

double clamp_map_zoom(double zoom)
{
    return std::isnan(zoom) ? 1 : std::clamp(zoom, min_map_zoom, max_map_zoom);
}

void MapView::zoom_at(double new_zoom, double x, double y)
{
    const ScenePoint fixed = to_scene(x, y);
    zoom = clamp_map_zoom(new_zoom);
    origin = { fixed.x - x / zoom, fixed.y - y / zoom };
}

MapView fit_view(const Scene& scene, double width_px, double height_px)
{
    MapView view;
    if (!(scene.width > 0) || !(scene.height > 0) || !(width_px > 0) || !(height_px > 0)) {
        return view;
    }
    view.zoom = clamp_map_zoom(std::min(width_px / scene.width, height_px / scene.height));
    view.origin = { scene.width / 2 - width_px / 2 / view.zoom,
        scene.height / 2 - height_px / 2 / view.zoom };
    return view;
}

void draw_map(Canvas& canvas, const Scene& scene, const MapPlan& plan, const MapView& view,
    colour::Vision vision)
{
    const ColourMap kept = canvas.colour_map();
    canvas.set_colour_map(vision_map(vision));
    canvas.state.scale_mode = ScaleMode::Pixels;
    canvas.state.back_color = plan.background >= 0 ? plan.background : no_land;
    canvas.cls();
    {
        const Canvas::DrawingScope scope(canvas);
        // The land's own area lies on ground of its colour already; filling it again would only
        // cost time.
        bool ground_only = true;
        for (const MapItem& item : plan.items) {
            if (item.feature < 0
                || static_cast<std::size_t>(item.feature) >= scene.features.size()) {
                continue;
            }
            if (ground_only && item.pass == MapPass::Fill && item.colour == plan.background) {
                continue;
            }
            ground_only = false;
            const SceneFeature& feature = scene.features[static_cast<std::size_t>(item.feature)];
            if (reaches_canvas(canvas, feature, item, view)) {
                draw_item(canvas, feature, item, view);
            }
        }
    }
    canvas.set_colour_map(kept);
}

MapHit hit_test(const Scene& scene, const MapPlan& plan, const MapView& view, double x, double y)
{
    const CanvasPointF at { x, y };
    for (auto it = plan.items.rbegin(); it != plan.items.rend(); ++it) {
        const MapItem& item = *it;
        if (item.feature < 0 || static_cast<std::size_t>(item.feature) >= scene.features.size()
            || item.colour < 0) {
            continue;
        }
        const SceneFeature& feature = scene.features[static_cast<std::size_t>(item.feature)];
        bool hit = false;
        if (item.pass == MapPass::Arrow) {
            const ArrowPoints glyph = arrow_of(feature, item, view);
            hit = inside(std::vector<CanvasPoint>(glyph.begin(), glyph.end()), x, y);
        } else if (item.pass == MapPass::Fill) {
            hit = inside(feature.points, view.to_scene(x, y).x, view.to_scene(x, y).y);
        } else {
            const auto points = pixels_of(feature, view);
            const double reach = std::max(item.width * view.zoom / 2, nearest_hit);
            for (std::size_t i = 1; i < points.size() && !hit; ++i) {
                hit = distance_to_segment(at, points[i - 1], points[i]) <= reach;
            }
        }
        if (hit) {
            return { item.feature, item.row };
        }
    }
    return {};
}

} // namespace tintwell::map
