#include "render/qt/qt_canvas.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPolygon>
#include <QPolygonF>
#include <QVarLengthArray>
#include <algorithm>

namespace tintwell {

namespace {

// 96 dots per inch, so that point sizes become the pixel sizes the design assumes.
constexpr int dots_per_meter = 3780;

QString to_qstring(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void begin(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

} // namespace

QColor to_qcolor(ColourValue value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QtCanvas::QtCanvas(int width_px, int height_px)
    : Canvas(width_px, height_px)
    , m_image(std::max(width_px, 1), std::max(height_px, 1), QImage::Format_RGB32)
{
    m_image.setDotsPerMeterX(dots_per_meter);
    m_image.setDotsPerMeterY(dots_per_meter);
    m_image.fill(to_qcolor(state.back_color));
}

QtCanvas::~QtCanvas() = default;

const QFont& QtCanvas::font()
{
    if (!m_font_ready || !(m_font_key == state.font)) {
        m_font = QFont(QString::fromStdString(state.font.name));
        // The image is at 96 dots per inch whatever its scale, so the font grows with it.
        m_font.setPointSizeF((state.font.size > 0 ? state.font.size : 1) * scale());
        m_font.setWeight(state.font.bold ? QFont::Bold : QFont::Normal);
        m_font_key = state.font;
        m_font_ready = true;
    }
    return m_font;
}

void QtCanvas::scale_changed()
{
    m_font_ready = false;
}

QPainter& QtCanvas::shape_painter()
{
    if (!m_shape_painter) {
        m_shape_painter = std::make_unique<QPainter>(&m_image);
        m_shape_painter->setRenderHint(QPainter::Antialiasing, true);
    }
    return *m_shape_painter;
}

void QtCanvas::shape_done()
{
    if (!drawing_open()) {
        m_shape_painter.reset();
    }
}

void QtCanvas::end_shapes()
{
    m_shape_painter.reset();
}

void QtCanvas::close_drawing()
{
    end_shapes();
}

void QtCanvas::do_cls()
{
    end_shapes();
    m_image.fill(to_qcolor(state.back_color));
}

void QtCanvas::do_translucent_box(
    double x1, double y1, double x2, double y2, ColourValue colour, int alpha)
{
    end_shapes();
    int ax = round_even(to_pixels(x1));
    int ay = round_even(to_pixels(y1));
    int bx = round_even(to_pixels(x2));
    int by = round_even(to_pixels(y2));
    if (ax > bx) {
        std::swap(ax, bx);
    }
    if (ay > by) {
        std::swap(ay, by);
    }
    const QRect box(QPoint(ax, ay), QPoint(bx, by));
    QPainter painter(&m_image);
    begin(painter);
    painter.setClipRect(box);
    painter.fillRect(box, to_qcolor(checker_light));
    // The squares lie on a grid from the image's top-left, so neighbouring boxes match up.
    const int size = std::max(round_even(checker_size * scale()), 1);
    const QColor dark = to_qcolor(checker_dark);
    for (int y = box.top() / size * size; y <= box.bottom(); y += size) {
        for (int x = box.left() / size * size; x <= box.right(); x += size) {
            if ((x / size + y / size) % 2 == 1) {
                painter.fillRect(QRect(x, y, size, size), dark);
            }
        }
    }
    QColor fill = to_qcolor(colour);
    fill.setAlpha(alpha);
    painter.fillRect(box, fill);
}

void QtCanvas::do_line(
    double x1, double y1, double x2, double y2, ColourValue colour, LineForm form)
{
    end_shapes();
    int ax = round_even(to_pixels(x1));
    int ay = round_even(to_pixels(y1));
    int bx = round_even(to_pixels(x2));
    int by = round_even(to_pixels(y2));
    QPainter painter(&m_image);
    begin(painter);
    const QColor c = to_qcolor(colour);
    if (form == LineForm::FilledBox) {
        if (ax > bx) {
            std::swap(ax, bx);
        }
        if (ay > by) {
            std::swap(ay, by);
        }
        painter.fillRect(QRect(QPoint(ax, ay), QPoint(bx, by)), c);
        return;
    }
    if (state.draw_style == DrawStyle::Invisible) {
        return;
    }
    const int width = pen_pixels(state.draw_width);
    // A hairline with square caps covers both end pixels; wider pens end round, as GDI's do.
    QPen pen(c, width, Qt::SolidLine, width == 1 ? Qt::SquareCap : Qt::RoundCap,
        width == 1 ? Qt::MiterJoin : Qt::RoundJoin);
    if (width == 1) {
        pen.setWidth(0);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (form == LineForm::Segment) {
        painter.drawLine(QPoint(ax, ay), QPoint(bx, by));
        return;
    }
    if (ax > bx) {
        std::swap(ax, bx);
    }
    if (ay > by) {
        std::swap(ay, by);
    }
    painter.drawRect(QRect(ax, ay, bx - ax, by - ay));
}

void QtCanvas::do_polygon(std::span<const CanvasPoint> points)
{
    end_shapes();
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const CanvasPoint& p : points) {
        const CanvasPoint at = image_point(p);
        polygon << QPoint(at.x, at.y);
    }
    QPainter painter(&m_image);
    begin(painter);
    if (state.fill_style == FillStyle::Solid && state.fill_color >= 0) {
        painter.setBrush(to_qcolor(state.fill_color));
    } else {
        painter.setBrush(Qt::NoBrush);
    }
    if (state.draw_style == DrawStyle::Invisible || state.fore_color < 0) {
        painter.setPen(Qt::NoPen);
    } else {
        const int width = pen_pixels(state.draw_width);
        painter.setPen(QPen(to_qcolor(state.fore_color), width == 1 ? 0 : width, Qt::SolidLine,
            Qt::RoundCap, Qt::RoundJoin));
    }
    painter.drawPolygon(polygon, Qt::OddEvenFill);
}

namespace {

QPolygonF image_polygon(std::span<const CanvasPointF> points, double scale)
{
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const CanvasPointF& p : points) {
        polygon << QPointF(p.x * scale, p.y * scale);
    }
    return polygon;
}

} // namespace

// Strokes and shapes are the map's: smoothed, unlike the pixel-exact boxes of the samples.
//
// A stroke with round ends and joins is drawn as its segments with flat ends, then a round dot
// of the line's width on every point. Together they cover what the round-joined outline
// covers, but the raster engine fills flat-ended segments with its quick line rasteriser and a
// round-joined outline only with its general path filler, several times slower on long lines.
// The dots on the inner points also close the faint seams where two flat ends meet.
void QtCanvas::do_stroke(
    std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha)
{
    const double s = scale();
    const double pen = std::max(width * s, 1.0);
    QColor c = to_qcolor(colour);
    if (alpha < 255) {
        // Pieces and dots would each blend where they overlap: a translucent line is one
        // round-joined outline, slower but blended once.
        c.setAlpha(alpha);
        QPolygonF line;
        for (const CanvasPointF& p : points) {
            line << QPointF(p.x * s, p.y * s);
        }
        QPainter& painter = shape_painter();
        painter.setPen(QPen(c, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(line);
        shape_done();
        return;
    }
    QVarLengthArray<QLineF, 64> segments;
    for (std::size_t i = 1; i < points.size(); ++i) {
        segments.append(
            QLineF(points[i - 1].x * s, points[i - 1].y * s, points[i].x * s, points[i].y * s));
    }
    QPainter& painter = shape_painter();
    painter.setPen(QPen(c, pen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawLines(segments.data(), static_cast<int>(segments.size()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(c);
    for (const CanvasPointF& p : points) {
        painter.drawEllipse(QPointF(p.x * s, p.y * s), pen / 2, pen / 2);
    }
    shape_done();
}

void QtCanvas::do_fill_shape(std::span<const CanvasPointF> points, ColourValue colour, int alpha)
{
    QPainter& painter = shape_painter();
    painter.setPen(Qt::NoPen);
    QColor c = to_qcolor(colour);
    c.setAlpha(alpha);
    painter.setBrush(c);
    painter.drawPolygon(image_polygon(points, scale()), Qt::OddEvenFill);
    shape_done();
}

void QtCanvas::do_print(std::string_view text)
{
    end_shapes();
    const QFont& f = font();
    const QFontMetricsF metrics(f, &m_image);
    QPainter painter(&m_image);
    painter.setFont(f);
    painter.setPen(to_qcolor(state.fore_color));
    painter.drawText(
        QPointF(to_pixels(state.current_x), to_pixels(state.current_y) + metrics.ascent()),
        to_qstring(text));
}

double QtCanvas::do_text_width(std::string_view text)
{
    return QFontMetricsF(font(), &m_image).horizontalAdvance(to_qstring(text));
}

double QtCanvas::do_text_height(std::string_view)
{
    return QFontMetricsF(font(), &m_image).height();
}

void QtCanvas::do_paint_picture(const Canvas& source, double x, double y)
{
    end_shapes();
    const auto* qt_source = dynamic_cast<const QtCanvas*>(&source);
    if (qt_source == nullptr) {
        return;
    }
    QPainter painter(&m_image);
    painter.drawImage(
        QPoint(round_even(to_pixels(x)), round_even(to_pixels(y))), qt_source->image());
}

CanvasFactory qt_canvas_factory()
{
    return [](int width_px, int height_px) -> std::unique_ptr<Canvas> {
        return std::make_unique<QtCanvas>(width_px, height_px);
    };
}

} // namespace tintwell
