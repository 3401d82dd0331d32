#pragma once

#include "render/canvas.h"
#include "render/preview.h"

#include <QFont>
#include <QImage>
#include <memory>

namespace tintwell {

/// The canvas of the program: a retained QImage (RGB, 96 dots per inch) drawn with QPainter,
/// antialiasing off, so one-pixel pens and box edges land on whole pixels. Box corners and
/// segment ends are inclusive; twips convert to the nearest image pixel. At a scale above 1 the
/// image is drawn at that resolution (not enlarged afterwards), so it stays sharp.
class QtCanvas : public Canvas
{
public:
    QtCanvas(int width_px, int height_px);

    /// The retained image; valid until the canvas is destroyed.
    const QImage& image() const { return m_image; }

protected:
    void scale_changed() override;
    void do_cls() override;
    void do_line(
        double x1, double y1, double x2, double y2, ColourValue colour, LineForm form) override;
    void do_polygon(std::span<const CanvasPoint> points) override;
    void do_translucent_box(
        double x1, double y1, double x2, double y2, ColourValue colour, int alpha) override;
    void do_stroke(std::span<const CanvasPointF> points, double width, ColourValue colour) override;
    void do_fill_shape(std::span<const CanvasPointF> points, ColourValue colour) override;
    void do_print(std::string_view text) override;
    double do_text_width(std::string_view text) override;
    double do_text_height(std::string_view text) override;
    void do_paint_picture(const Canvas& source, double x, double y) override;

private:
    const QFont& font();

    QImage m_image;
    CanvasFont m_font_key;
    QFont m_font;
    bool m_font_ready = false;
};

/// Makes QtCanvas objects, for `Preview` and `SampleCache`.
CanvasFactory qt_canvas_factory();

/// The colour of a ColourValue (0x00BBGGRR).
QColor to_qcolor(ColourValue value);

} // namespace tintwell
