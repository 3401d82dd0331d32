#pragma once

#include "render/canvas.h"

#include <array>

namespace tintwell {

/// The seven corners of the last arrow drawn (pixels): the tip, then clockwise.
using ArrowPoints = std::array<CanvasPoint, 7>;

/// Clears the canvas and draws the route arrow centred on it, in pixel units: filled with
/// `fill` without an edge, then outlined in `border` with a pen 2b + 1 pixels wide when b > 0.
/// `k` divides the size (the arrow is 2/3 × width / k wide); a k of 0 becomes 0.5, also in the
/// caller's variable. A fill or border below 0 is not drawn. Leaves the canvas in pixels.
ArrowPoints draw_arrow(Canvas& canvas, ColourValue fill, ColourValue border, float& k, float& b);

/// Draws a smaller arrow (0.4 × width / k wide) in the lower right corner over what the canvas
/// holds, outlined with a pen b + 1 pixels wide when b > 0. A k of 0 is used as it is. Leaves
/// the canvas in pixels.
ArrowPoints draw_arrow_small(
    Canvas& canvas, ColourValue fill, ColourValue border, float& k, float& b);

/// The seven corners of the arrow glyph drawn on a map: `u` pixels to its unit (the glyph is 4u
/// wide and 3.5u long), its middle at (x, y), its tip pointing along (dx, dy) (up when that is no
/// direction). Coordinates that are not finite give the glyph at (0, 0).
ArrowPoints arrow_points_at(double x, double y, double dx, double dy, double u);

/// Fills the glyph through `points` with `fill` without an edge, then outlines it in `border`
/// with a pen `pen` pixels wide when the pen is wider than 1, as the preview's arrows are drawn.
/// Draws in pixel units and leaves the canvas in them.
void draw_arrow_points(
    Canvas& canvas, const ArrowPoints& points, ColourValue fill, ColourValue border, float pen);

} // namespace tintwell
