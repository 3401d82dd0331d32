#include "ui/common/busy_pointer.h"
#include "ui/common/colour_chart.h"
#include "ui/common/qt_colour.h"
#include "ui/common/window_place.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tintwell {

namespace {

// How many busy_on calls are not yet matched: a busy_off too many must not take away a pointer
// that someone else set.
int busy_depth = 0;

} // namespace

void busy_on()
{
    if (busy_depth++ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void busy_off()
{
    if (busy_depth > 0 && --busy_depth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void cent(QWidget& window)
{
    const QWidget* parent = window.parentWidget();
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect place = window.frameGeometry();
    place.moveCenter(screen->availableGeometry().center());
    window.move(place.topLeft());
}

void keep_title_bar_on_screen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect place = window.frameGeometry();
    window.move(std::max(place.left(), area.left()), std::max(place.top(), area.top()));
}

QImage colour_chart(QSize size, int grey_columns)
{
    QImage image(size, QImage::Format_RGB32);
    const int last_row = std::max(image.height() - 1, 1);
    for (int y = 0; y < image.height(); ++y) {
        const double lightness = 1.0 - static_cast<double>(y) / last_row;
        for (int x = 0; x < image.width(); ++x) {
            if (x >= image.width() - grey_columns) {
                const int g = 255 - y * 255 / last_row;
                image.setPixelColor(x, y, QColor(g, g, g));
                continue;
            }
            const double hue = static_cast<double>(x) / image.width();
            image.setPixelColor(x, y,
                QColor::fromHslF(static_cast<float>(hue), 1.0f, static_cast<float>(lightness)));
        }
    }
    return image;
}

ColourChart::ColourChart(QSize size, int grey_columns, QWidget* parent)
    : QWidget(parent)
    , m_chart(colour_chart(size, grey_columns))
{
    setFixedSize(m_chart.size());
    setMouseTracking(true);
}

QColor ColourChart::colour_at(QPoint point) const
{
    return m_chart.valid(point) ? m_chart.pixelColor(point) : QColor(Qt::black);
}

void ColourChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_chart);
}

void ColourChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit pressed(event->position().toPoint());
    }
}

void ColourChart::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position().toPoint(), event->buttons());
}

QPixmap swatch_icon(const QColor& colour, int size)
{
    const QString key = QString("swatch %1 %2").arg(colour.name()).arg(size);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    pixmap = QPixmap(size, size);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(swatch_outline);
    painter.drawRect(0, 0, size - 1, size - 1);
    painter.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace tintwell
