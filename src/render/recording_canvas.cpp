#include "render/recording_canvas.h"

namespace tintwell {

std::vector<CanvasOp> RecordingCanvas::of_kind(CanvasOp::Kind kind) const
{
    std::vector<CanvasOp> found;
    for (const CanvasOp& op : ops) {
        if (op.kind == kind) {
            found.push_back(op);
        }
    }
    return found;
}

void RecordingCanvas::do_cls()
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::Cls;
    op.colour = state.back_color;
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_clear_picture()
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::ClearPicture;
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_translucent_box(
    double x1, double y1, double x2, double y2, ColourValue colour, int alpha)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::TranslucentBox;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.colour = colour;
    op.alpha = alpha;
    op.form = LineForm::FilledBox;
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_line(
    double x1, double y1, double x2, double y2, ColourValue colour, LineForm form)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::Line;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.colour = colour;
    op.form = form;
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_polygon(std::span<const CanvasPoint> points)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::Polygon;
    op.points.assign(points.begin(), points.end());
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_stroke(
    std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::Stroke;
    op.points_f.assign(points.begin(), points.end());
    op.x1 = width;
    op.colour = colour;
    op.alpha = alpha;
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_fill_shape(
    std::span<const CanvasPointF> points, ColourValue colour, int alpha)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::FillShape;
    op.points_f.assign(points.begin(), points.end());
    op.colour = colour;
    op.alpha = alpha;
    op.state = state;
    ops.push_back(std::move(op));
}

void RecordingCanvas::do_print(std::string_view text)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::Print;
    op.x1 = state.current_x;
    op.y1 = state.current_y;
    op.colour = state.fore_color;
    op.text = std::string(text);
    op.state = state;
    ops.push_back(std::move(op));
}

double RecordingCanvas::do_text_width(std::string_view text)
{
    return 6.0 * static_cast<double>(text.size()) * font_factor();
}

double RecordingCanvas::do_text_height(std::string_view)
{
    return 12.0 * font_factor();
}

double RecordingCanvas::font_factor() const
{
    return state.font.size / CanvasFont().size * scale();
}

void RecordingCanvas::do_paint_picture(const Canvas& source, double x, double y)
{
    CanvasOp op;
    op.kind = CanvasOp::Kind::PaintPicture;
    op.x1 = x;
    op.y1 = y;
    op.source = &source;
    op.state = state;
    ops.push_back(std::move(op));
}

} // namespace tintwell
