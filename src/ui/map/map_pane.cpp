#include "ui/map/map_pane.h"

#include "map/scene.h"
#include "render/qt/qt_canvas.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

namespace tintwell {

namespace {

// One wheel notch or one Ctrl++ zooms by this much.
constexpr double zoom_step = 1.25;
// An arrow key moves the view by this many pixels.
constexpr double key_pan = 40;
// A press that moves less than this is a click, not a drag.
constexpr double drag_start = 4;

} // namespace

MapPane::MapPane(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("map_pane");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

MapPane::~MapPane() = default;

void MapPane::show_plan(map::MapPlan plan, colour::Vision vision)
{
    m_plan = std::move(plan);
    m_vision = vision;
    view_changed();
}

void MapPane::view_changed()
{
    m_canvas_stale = true;
    update();
}

void MapPane::zoom_by(double factor, QPointF at)
{
    m_view.zoom_at(m_view.zoom * factor, at.x(), at.y());
    view_changed();
}

void MapPane::fit()
{
    m_view = map::fit_view(map::town_scene(), width(), height());
    m_fitted = true;
    view_changed();
}

void MapPane::actual_size()
{
    m_view.zoom_at(1, width() / 2.0, height() / 2.0);
    view_changed();
}

void MapPane::pan_by(double dx, double dy)
{
    m_view.origin.x -= dx / m_view.zoom;
    m_view.origin.y -= dy / m_view.zoom;
    view_changed();
}

map::MapHit MapPane::hit_at(QPointF at) const
{
    return map::hit_test(map::town_scene(), m_plan, m_view, at.x(), at.y());
}

void MapPane::paintEvent(QPaintEvent*)
{
    const double ratio = devicePixelRatioF();
    const int image_width = static_cast<int>(std::ceil(width() * ratio));
    const int image_height = static_cast<int>(std::ceil(height() * ratio));
    if (!m_canvas || m_canvas->width_px() != image_width || m_canvas->height_px() != image_height) {
        m_canvas = std::make_unique<QtCanvas>(image_width, image_height);
        m_canvas->set_scale(ratio);
        m_canvas_stale = true;
    }
    if (m_canvas_stale) {
        map::draw_map(*m_canvas, map::town_scene(), m_plan, m_view, m_vision);
        m_canvas_stale = false;
    }
    QPainter painter(this);
    painter.drawImage(QRectF(rect()), m_canvas->image());
}

void MapPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_fitted && width() > 0 && height() > 0) {
        fit();
    }
    view_changed();
}

void MapPane::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // A hidden map keeps no picture: it is drawn afresh when shown.
    m_canvas.reset();
}

bool MapPane::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const map::MapHit hit = hit_at(help->pos());
        const QString text = hit.row >= 0 && m_describe ? m_describe(hit.row) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void MapPane::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) {
        zoom_by(std::pow(zoom_step, notches), event->position());
    }
    event->accept();
}

void MapPane::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        pan_by(key_pan, 0);
        break;
    case Qt::Key_Right:
        pan_by(-key_pan, 0);
        break;
    case Qt::Key_Up:
        pan_by(0, key_pan);
        break;
    case Qt::Key_Down:
        pan_by(0, -key_pan);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void MapPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_press = event->position();
    m_last = event->position();
    m_dragged = false;
}

void MapPane::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_press) {
        return;
    }
    const QPointF moved = event->position() - *m_press;
    if (!m_dragged && std::hypot(moved.x(), moved.y()) < drag_start) {
        return;
    }
    if (!m_dragged) {
        m_dragged = true;
        setCursor(Qt::ClosedHandCursor);
    }
    const QPointF step = event->position() - m_last;
    m_last = event->position();
    pan_by(step.x(), step.y());
}

void MapPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_press) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool clicked = !m_dragged;
    m_press.reset();
    m_dragged = false;
    unsetCursor();
    if (clicked) {
        const map::MapHit hit = hit_at(event->position());
        if (hit.row >= 0) {
            emit row_clicked(hit.row);
        }
    }
}

void MapPane::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const map::MapHit hit = hit_at(event->position());
    if (hit.row >= 0) {
        emit row_double_clicked(hit.row);
    }
}

} // namespace tintwell
