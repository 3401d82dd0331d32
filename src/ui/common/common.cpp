#include "ui/common/busy_pointer.h"
#include "ui/common/colour_chart.h"
#include "ui/common/window_place.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tintwell {

void busy_on()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void busy_off()
{
    QApplication::restoreOverrideCursor();
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

} // namespace tintwell
