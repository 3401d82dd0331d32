#include "ui/common/preview_widget.h"

#include "render/qt/qt_canvas.h"
#include "ui/common/message_box_prompter.h"
#include "ui/common/twips.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace tintwell {

namespace {

const char* const sample_tooltip = " Double Click to Edit ";

} // namespace

PreviewWidget::PreviewWidget(Document& doc, QWidget* parent)
    : QWidget(parent)
    , m_doc(doc)
    , m_preview(qt_canvas_factory())
{
    setObjectName("Picture1");
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewWidget::plot(PlotMode mode, int visible_height)
{
    m_preview.plot(m_doc, mode, tw(width()), visible_height);
    take_height();
}

void PreviewWidget::relayout(int visible_height)
{
    m_preview.relayout(m_doc, tw(width()), visible_height);
    take_height();
}

void PreviewWidget::set_zoom(double zoom, int visible_height)
{
    m_preview.set_zoom(zoom);
    relayout(visible_height);
}

void PreviewWidget::take_height()
{
    // Rounded up, so the last line of captions is not cut off by a part of a pixel.
    const auto height_px = static_cast<int>(std::min<std::int64_t>(
        (m_preview.layout().container_height + twips_in_pixel - 1) / twips_in_pixel,
        QWIDGETSIZE_MAX));
    resize(width(), height_px);
    update();
}

int PreviewWidget::row_at(QPoint pos) const
{
    return m_preview.layout().hit_test(tw(pos.x()), tw(pos.y()));
}

QRect PreviewWidget::box_rect(int row) const
{
    const auto& rows = m_preview.layout().rows;
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        return {};
    }
    const TwipRect& box = rows[static_cast<std::size_t>(row)].box;
    return QRect(px(static_cast<double>(box.left)), px(static_cast<double>(box.top)),
        px(static_cast<double>(box.width)), px(static_cast<double>(box.height)));
}

void PreviewWidget::show_frame(const TwipRect& rect)
{
    m_preview.shape4.rect = rect;
    m_preview.shape4.visible = true;
    update();
}

void PreviewWidget::hide_frame()
{
    if (m_preview.shape4.visible) {
        m_preview.shape4.visible = false;
        update();
    }
}

void PreviewWidget::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    if (area.isEmpty()) {
        return;
    }
    // Drawn at the screen's own density, so samples and text stay sharp on it.
    const double ratio = devicePixelRatioF();
    QtCanvas canvas(static_cast<int>(std::ceil(area.width() * ratio)),
        static_cast<int>(std::ceil(area.height() * ratio)));
    canvas.set_scale(ratio);
    const TwipRect visible { tw(area.left()), tw(area.top()), tw(area.width()), tw(area.height()) };
    paint_preview(canvas, m_doc, m_preview, visible);
    QImage image = canvas.image();
    image.setDevicePixelRatio(ratio);
    QPainter painter(this);
    painter.drawImage(area.topLeft(), image);
}

void PreviewWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int row = row_at(pos);
    if (row >= 0) {
        emit sample_pressed(
            row, event->button(), event->globalPosition().toPoint(), event->modifiers());
        return;
    }
    if (m_band_enabled && event->button() == Qt::LeftButton) {
        m_band_armed = true;
        m_band_origin = pos;
        m_band_modifiers = event->modifiers();
    }
    const auto& layout = m_preview.layout();
    if (layout.hit_test_caption(tw(pos.x()), tw(pos.y())) < 0) {
        emit empty_pressed(event->modifiers());
    }
}

void PreviewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_band_armed && event->button() == Qt::LeftButton) {
        m_band_armed = false;
        if (m_band_scroll != nullptr) {
            m_band_scroll->stop();
        }
        if (m_band != nullptr && m_band->isVisible()) {
            m_band->hide();
            emit band_finished();
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void PreviewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int row = row_at(event->position().toPoint());
    if (row >= 0 && event->button() == Qt::LeftButton) {
        emit sample_double_clicked(row);
    }
}

void PreviewWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_band_armed && (event->buttons() & Qt::LeftButton)) {
        const bool drawn = m_band != nullptr && m_band->isVisible();
        // A press that shakes a little is still a click on the empty preview.
        if (drawn || (pos - m_band_origin).manhattanLength() >= QApplication::startDragDistance()) {
            draw_band(pos);
            m_band_pointer = event->globalPosition().toPoint();
            follow_band_pointer(pos);
        }
        return;
    }
    const int row = row_at(pos);
    if (row >= 0) {
        emit sample_hovered(row);
    }
    QWidget::mouseMoveEvent(event);
}

void PreviewWidget::draw_band(QPoint pos)
{
    if (m_band == nullptr) {
        m_band = new QRubberBand(QRubberBand::Rectangle, this);
        m_band->setObjectName("rubber_band");
    }
    const QRect band = QRect(m_band_origin, pos).normalized();
    m_band->setGeometry(band);
    m_band->show();
    emit band_dragged(
        TwipRect { tw(band.left()), tw(band.top()), tw(band.width() + 1), tw(band.height() + 1) },
        m_band_modifiers);
}

void PreviewWidget::follow_band_pointer(QPoint pos)
{
    const QWidget* sight = parentWidget();
    if (sight == nullptr) {
        return;
    }
    const int y = mapToParent(pos).y();
    m_band_beyond = y < 0 ? y : std::max(y - sight->height(), 0);
    if (m_band_beyond == 0) {
        if (m_band_scroll != nullptr) {
            m_band_scroll->stop();
        }
        return;
    }
    if (m_band_scroll == nullptr) {
        m_band_scroll = new QTimer(this);
        m_band_scroll->setInterval(30);
        connect(m_band_scroll, &QTimer::timeout, this, [this] {
            if (!m_band_armed) {
                m_band_scroll->stop();
                return;
            }
            // Faster the further out the pointer is; the band then reaches where the pointer
            // now stands over the scrolled preview.
            emit band_scroll_wanted(std::clamp(m_band_beyond, -60, 60));
            const QPoint pos = mapFromGlobal(m_band_pointer);
            draw_band(pos);
            follow_band_pointer(pos);
        });
    }
    if (!m_band_scroll->isActive()) {
        m_band_scroll->start();
    }
}

bool PreviewWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = row_at(help->pos());
        if (!m_doc.valid_row(row)) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const std::string_view pres_name = m_doc.rows[static_cast<std::size_t>(row)].pres_name();
        QToolTip::showText(help->globalPos(),
            pres_name.empty() ? QString(sample_tooltip) : to_qstring(pres_name), this,
            box_rect(row));
        return true;
    }
    return QWidget::event(event);
}

void PreviewWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void PreviewWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void PreviewWidget::dropEvent(QDropEvent* event)
{
    const auto urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    emit file_dropped(urls.constFirst().toLocalFile());
}

} // namespace tintwell
