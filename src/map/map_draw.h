#pragma once

#include "colour/colour_science.h"
#include "map/map_plan.h"
#include "map/scene.h"
#include "render/canvas.h"

// Drawing a planned map on a canvas, and finding what lies under a point of it.
namespace tintwell::map {

/// Smallest and largest zoom of a map; 1 draws a scene unit as a pixel.
inline constexpr double min_map_zoom = 0.1;
inline constexpr double max_map_zoom = 16;

/// The zoom limited to [min_map_zoom, max_map_zoom]; 1 for a value that is not a number.
double clamp_map_zoom(double zoom);

/// The part of the scene a canvas shows: a scene point p is at pixel (p − origin) × zoom.
struct MapView
{
    double zoom = 1;
    ScenePoint origin;

    CanvasPointF to_pixels(const ScenePoint& p) const
    {
        return { (p.x - origin.x) * zoom, (p.y - origin.y) * zoom };
    }
    ScenePoint to_scene(double x, double y) const
    {
        return { x / zoom + origin.x, y / zoom + origin.y };
    }
    /// Zooms to `zoom` (limited) keeping the scene point under pixel (x, y) where it is.
    void zoom_at(double zoom, double x, double y);
};

/// The view that shows the whole scene centred on a canvas of this size in pixels.
MapView fit_view(const Scene& scene, double width_px, double height_px);

/// Draws the planned map over the whole canvas, as `vision` sees it: the land's colour (or a
/// light grey when the theme has none) everywhere, then every step of the plan. Widths are the
/// plan's times the view's zoom. Leaves the canvas in pixels, with the colour map it had.
void draw_map(Canvas& canvas, const Scene& scene, const MapPlan& plan, const MapView& view,
    colour::Vision vision = colour::Vision::Normal);

/// What the map shows at a point.
struct MapHit
{
    int feature = -1;
    int row = -1;

    bool operator==(const MapHit&) const = default;
};

/// The topmost feature drawn under pixel (x, y) of a canvas drawn with `view`, and the style row
/// it is drawn with; a line counts out to half its width, and at least 3 pixels, from its middle.
/// Nothing (-1, -1) where only the background shows.
MapHit hit_test(const Scene& scene, const MapPlan& plan, const MapView& view, double x, double y);

} // namespace tintwell::map
