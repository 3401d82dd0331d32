#pragma once

#include "render/canvas.h"

#include <string>
#include <vector>

namespace tintwell {

/// One drawing operation as a recording canvas saw it, with the state it ran in.
struct CanvasOp
{
    enum class Kind {
        Cls,
        ClearPicture,
        Line,
        TranslucentBox,
        Polygon,
        Stroke,
        FillShape,
        Print,
        PaintPicture
    };
    Kind kind = Kind::Cls;
    /// Line: the two corners; PaintPicture and Print: the top-left in x1, y1. In the unit of
    /// `state.scale_mode`.
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    ColourValue colour = 0;
    /// TranslucentBox: the opacity, 0 to 254; Stroke and FillShape: 1 to 255.
    int alpha = 255;
    LineForm form = LineForm::Segment;
    std::vector<CanvasPoint> points;
    /// Stroke and FillShape: the points in pixels of the drawing; Stroke: its width in `x1`.
    std::vector<CanvasPointF> points_f;
    std::string text;
    CanvasState state;
    /// PaintPicture: the source canvas.
    const Canvas* source = nullptr;
};

/// A canvas that draws nothing and keeps every operation, for tests and measurements. Text in the
/// default font size is measured as 6 pixels per character and 12 pixels high; other sizes in
/// proportion.
class RecordingCanvas : public Canvas
{
public:
    using Canvas::Canvas;

    std::vector<CanvasOp> ops;

    /// The operations of one kind, in order.
    std::vector<CanvasOp> of_kind(CanvasOp::Kind kind) const;

protected:
    void do_cls() override;
    void do_clear_picture() override;
    void do_line(
        double x1, double y1, double x2, double y2, ColourValue colour, LineForm form) override;
    void do_polygon(std::span<const CanvasPoint> points) override;
    void do_translucent_box(
        double x1, double y1, double x2, double y2, ColourValue colour, int alpha) override;
    void do_stroke(
        std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha) override;
    void do_fill_shape(
        std::span<const CanvasPointF> points, ColourValue colour, int alpha) override;
    void do_print(std::string_view text) override;
    double do_text_width(std::string_view text) override;
    double do_text_height(std::string_view text) override;
    void do_paint_picture(const Canvas& source, double x, double y) override;

private:
    double font_factor() const;
};

} // namespace tintwell
