#pragma once

#include "render/canvas.h"
#include "render/preview.h"

#include <QFont>
#include <QImage>
#include <memory>

class QPainter;

namespace tintwell {

/// The canvas of the program: a retained QImage (RGB, 96 dots per inch) drawn with QPainter,
/// antialiasing off, so one-pixel pens and box edges land on whole pixels. Box corners and
/// segment ends are inclusive; twips convert to the nearest image pixel. At a scale above 1 the
/// image is drawn at that resolution (not enlarged afterwards), so it stays sharp. Strokes and
/// filled shapes are smoothed; inside a DrawingScope they share one painter.
class QtCanvas : public Canvas
{
public:
    QtCanvas(int width_px, int height_px);
    ~QtCanvas() override;

    /// The retained image; valid until the canvas is destroyed.
    const QImage& image() const { return m_image; }

protected:
    void scale_changed() override;
    void close_drawing() override;
    void do_cls() override;
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
    const QFont& font();
    /// The smoothing painter of strokes and shapes: the scope's open one, or a new one.
    QPainter& shape_painter();
    /// Ends the shape painter unless a scope keeps it.
    void shape_done();
    /// Ends the shape painter before another painter or a fill takes the image.
    void end_shapes();

    QImage m_image;
    // After the image, so it ends before the image goes.
    std::unique_ptr<QPainter> m_shape_painter;
    CanvasFont m_font_key;
    QFont m_font;
    bool m_font_ready = false;
};

/// Makes QtCanvas objects, for `Preview` and `SampleCache`.
CanvasFactory qt_canvas_factory();

/// The colour of a ColourValue (0x00BBGGRR).
QColor to_qcolor(ColourValue value);

} // namespace tintwell
