#pragma once

#include "colour/colour_codes.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tintwell {

/// Twips per pixel: 1440 twips to the inch at 96 dots per inch.
inline constexpr int twips_per_pixel = 15;

/// Unit of a canvas's coordinates.
enum class ScaleMode { Twips = 1, Pixels = 3 };

/// How `Canvas::line` uses its two points.
enum class LineForm { Segment, Box, FilledBox };

/// 0: polygons are filled with the fill colour; 1: they are not filled.
enum class FillStyle { Solid = 0, Transparent = 1 };

/// 0: outlines are drawn; 5: no outline is drawn.
enum class DrawStyle { Solid = 0, Invisible = 5 };

/// A point of a polygon, in pixels.
struct CanvasPoint
{
    int x = 0;
    int y = 0;

    bool operator==(const CanvasPoint&) const = default;
};

/// A point of a stroke or a filled shape, in pixels of the drawing; may be fractional.
struct CanvasPointF
{
    double x = 0;
    double y = 0;

    bool operator==(const CanvasPointF&) const = default;
};

struct CanvasFont
{
    std::string name = "Arial";
    /// Points; converted to pixels at 96 dots per inch.
    double size = 7.8;
    bool bold = false;

    bool operator==(const CanvasFont&) const = default;
};

/// Turns every colour a canvas is asked to draw into the colour it puts down.
using ColourMap = std::function<ColourValue(ColourValue)>;

/// The drawing state of a canvas. Every value stays in force for all later operations until it
/// is changed.
struct CanvasState
{
    /// Drawing goes to a retained image. Every canvas here retains what is drawn; the flag is
    /// kept because the renderers set it.
    bool auto_redraw = false;
    ScaleMode scale_mode = ScaleMode::Twips;
    ColourValue back_color = 0xFFFFFF;
    /// Pen colour of polygon outlines and of text.
    ColourValue fore_color = 0;
    /// Brush colour of polygon interiors.
    ColourValue fill_color = 0;
    FillStyle fill_style = FillStyle::Transparent;
    /// Pen width in pixels whatever the scale mode; 1 is a hairline. Values below 1 count as 1.
    int draw_width = 1;
    DrawStyle draw_style = DrawStyle::Solid;
    CanvasFont font;
    /// Top-left of the next `print`, in the current unit.
    double current_x = 0;
    double current_y = 0;

    bool operator==(const CanvasState&) const = default;
};

/// The immediate-mode drawing surface every renderer draws on: a retained image of a fixed size
/// in whole pixels with a persistent drawing state. Coordinates are in the current scale mode and
/// may be fractional; twips convert to pixels at 15 to one, to the nearest pixel. A negative colour
/// means "no colour": an operation given one draws nothing.
///
/// A canvas may hold more image pixels than the pixels its drawing speaks of: with a scale of 2
/// (a zoomed sample, or a screen of twice the usual density) every pixel of the drawing is 2 × 2
/// image pixels, and coordinates, pen widths and fonts are turned into image pixels only at the
/// moment of drawing, so edges stay sharp. Scale 1 is the plain case.
class Canvas
{
public:
    /// The size is in image pixels.
    Canvas(int width_px, int height_px);
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CanvasState state;

    /// Size of the image in image pixels.
    int width_px() const { return m_width_px; }
    int height_px() const { return m_height_px; }
    /// Image pixels to a pixel of the drawing; 1 unless set.
    double scale() const { return m_scale; }
    /// Sets the scale; a value that is not a number between 1/16 and 64 leaves it as it was.
    void set_scale(double scale);
    /// Every colour drawn from now on (back, pen, fill, text and line colours) goes through
    /// `map` first; pictures painted on the canvas are taken as they are. An empty map draws
    /// the colours as given.
    void set_colour_map(ColourMap map) { m_colour_map = std::move(map); }
    const ColourMap& colour_map() const { return m_colour_map; }
    /// Outer size in twips of the drawing.
    double width_twips() const { return m_width_px * twips_per_pixel / m_scale; }
    double height_twips() const { return m_height_px * twips_per_pixel / m_scale; }
    /// Inner drawable size in the current unit.
    double scale_width() const;
    double scale_height() const;

    /// Many operations in a row: while a scope lives, a canvas may keep what it draws with ready
    /// from one operation to the next (the Qt canvas keeps one painter open) instead of setting
    /// it up for each. The image is whole once the outermost scope ends. Scopes may nest.
    class DrawingScope
    {
    public:
        explicit DrawingScope(Canvas& canvas)
            : m_canvas(canvas)
        {
            if (m_canvas.m_open_scopes++ == 0) {
                m_canvas.open_drawing();
            }
        }
        ~DrawingScope()
        {
            if (--m_canvas.m_open_scopes == 0) {
                m_canvas.close_drawing();
            }
        }
        DrawingScope(const DrawingScope&) = delete;
        DrawingScope& operator=(const DrawingScope&) = delete;

    private:
        Canvas& m_canvas;
    };

    /// Puts the drawing state back to a fresh canvas's.
    void reset_state() { state = CanvasState(); }

    /// Fills the whole canvas with the back colour and moves the text position to (0, 0).
    void cls();
    /// Removes the background picture. No canvas here holds one; recorded for the tests.
    void clear_picture();
    /// A segment, a box outline or a filled box between two inclusive corners, in `colour`, with
    /// the current pen width and style (a filled box ignores both, and the fill state).
    void line(double x1, double y1, double x2, double y2, ColourValue colour,
        LineForm form = LineForm::Segment);
    /// A filled box between two inclusive corners in `colour` with an opacity of `alpha` (0 to
    /// 255, limited to that range) over a small light checkerboard, as transparency is shown: 255
    /// is exactly the filled box of `line`, 0 the checkerboard alone. The squares of the
    /// checkerboard are `checker_size` pixels of the drawing, counted from the canvas's top-left.
    void translucent_box(double x1, double y1, double x2, double y2, ColourValue colour, int alpha);
    /// Fills the closed polygon (pixel coordinates, alternate rule) with the fill colour unless
    /// the fill style is transparent, then strokes its outline with the fore colour, pen width
    /// and style. Fewer than two points draw nothing.
    void polygon(std::span<const CanvasPoint> points);
    /// Strokes the open line through `points` (pixels of the drawing) in `colour`, `width` pixels
    /// wide with round ends and joins, smoothed at its edges. The drawing state is not used. A
    /// width that is not a positive number, fewer than two points or a point that is not a
    /// finite number draw nothing; a width below one image pixel draws one image pixel wide.
    /// `alpha` is the opacity, 0 (nothing is drawn) to 255; a translucent line is blended once
    /// over what lies under it.
    void stroke(
        std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha = 255);
    /// Fills the closed shape through `points` (pixels of the drawing, alternate rule) in
    /// `colour`, smoothed at its edges, without an outline. The drawing state is not used. Fewer
    /// than three points or a point that is not a finite number draw nothing.
    void fill_shape(std::span<const CanvasPointF> points, ColourValue colour, int alpha = 255);
    /// Draws the text in the fore colour with the current font, its top-left at the current
    /// position. The position does not move.
    void print(std::string_view text);
    /// Size of the text in the current font, in the current unit.
    double text_width(std::string_view text);
    double text_height(std::string_view text);
    /// Copies the whole of `source` with its top-left at (x, y) in the current unit.
    void paint_picture(const Canvas& source, double x, double y);

    /// A length in the current unit as image pixels (fractional).
    double to_pixels(double value) const;
    /// A length in image pixels as the current unit.
    double from_pixels(double pixels) const;
    /// A pen width of the drawing state (pixels of the drawing) in whole image pixels, at least 1.
    int pen_pixels(int width) const;

protected:
    // Coordinates as the caller gave them, in the current unit (polygon points in pixels);
    // colours are never negative here.
    virtual void do_cls() = 0;
    virtual void do_clear_picture() { }
    virtual void do_line(
        double x1, double y1, double x2, double y2, ColourValue colour, LineForm form) = 0;
    /// Points in pixels of the drawing; `image_point` turns one into image pixels.
    virtual void do_polygon(std::span<const CanvasPoint> points) = 0;
    /// `alpha` is 0 to 254 here.
    virtual void do_translucent_box(
        double x1, double y1, double x2, double y2, ColourValue colour, int alpha) = 0;
    /// Points in pixels of the drawing, all finite; width positive and finite.
    /// `alpha` is 1 to 255 here.
    virtual void do_stroke(
        std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha) = 0;
    virtual void do_fill_shape(
        std::span<const CanvasPointF> points, ColourValue colour, int alpha) = 0;
    virtual void do_print(std::string_view text) = 0;
    /// Width and height of the text in image pixels.
    virtual double do_text_width(std::string_view text) = 0;
    virtual double do_text_height(std::string_view text) = 0;
    virtual void do_paint_picture(const Canvas& source, double x, double y) = 0;

    CanvasPoint image_point(const CanvasPoint& point) const;
    /// Called after the scale changed.
    virtual void scale_changed() { }
    /// The first DrawingScope begins and the last one ends.
    virtual void open_drawing() { }
    virtual void close_drawing() { }
    /// True while a DrawingScope lives.
    bool drawing_open() const { return m_open_scopes > 0; }

private:
    /// Runs `draw` with the state's colours as the colour map gives them.
    template <typename Draw> void with_mapped_state(Draw draw);

    int m_width_px;
    int m_height_px;
    double m_scale = 1;
    ColourMap m_colour_map;
    int m_open_scopes = 0;
};

/// Side of a square of the transparency checkerboard, in pixels of the drawing, and its two
/// colours.
inline constexpr int checker_size = 4;
inline constexpr ColourValue checker_light = 0xFFFFFF;
inline constexpr ColourValue checker_dark = 0xD6D6D6; // RGB(214,214,214)

/// Rounds to the nearest integer, halves to even, saturating far outside the range a canvas can
/// use (so a huge or infinite coordinate never overflows).
int round_even(double value);

} // namespace tintwell
