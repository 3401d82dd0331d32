#include "ui/main/owner_drawn_button.h"

#include "ui/main/twips.h"

#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

namespace tintwell {

bool& btn_hover()
{
    static bool hover = false;
    return hover;
}

namespace {

const QColor normal_back(230, 230, 230);
const QColor hover_back(250, 250, 250);
const QColor light_blue(0, 0, 255);

// Below this the caption would be unreadable whatever the box width.
constexpr int smallest_font = 1;

} // namespace

OwnerDrawnButton::OwnerDrawnButton(const QString& caption, QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    draw_button(caption, 0);
}

void OwnerDrawnButton::draw_button(const QString& caption_arg, int state)
{
    const int look = std::abs(state) % 10;
    QString caption = caption_arg;
    if (look == 0 && !btn_hover() && caption.isEmpty() && m_back == normal_back) {
        return;
    }
    if (look == 1 && m_back == hover_back) {
        return;
    }
    int size = state > 9 ? 8 : 10;
    btn_hover() = false;
    if (caption.isEmpty()) {
        caption = m_tag;
    }
    m_fore = (look == 0 || look == 7) ? QColor(Qt::black) : light_blue;
    if (look == 0 || look == 7) {
        m_back = normal_back;
    } else if (state == 1 || state == 11) {
        m_back = hover_back;
        btn_hover() = true;
    } else if (state == 15) {
        m_back = QColor(255, 200, 200);
        btn_hover() = true;
    } else if (state == 12) {
        m_back = QColor(240, 240, 240);
        m_fore = QColor(180, 180, 180);
    }
    if (!m_back.isValid()) {
        m_back = normal_back;
    }

    // Shrink the caption until it fits, and also while it would touch the edges.
    const int box_width = tw(width());
    auto caption_width = [&](int points) {
        QFont font("Arial");
        font.setPointSize(points);
        return tw(QFontMetrics(font).horizontalAdvance(caption));
    };
    int w = caption_width(size);
    while ((size > 6 && w > box_width) || (size > smallest_font && std::abs(box_width - w) < 40)) {
        --size;
        w = caption_width(size);
    }
    m_font_size = size;
    m_tag = caption;
    update();
}

void OwnerDrawnButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_back);
    QFont font("Arial");
    font.setPointSize(m_font_size);
    painter.setFont(font);
    painter.setPen(m_fore);
    painter.drawText(rect(), Qt::AlignCenter, m_tag);
}

void OwnerDrawnButton::mouseMoveEvent(QMouseEvent* event)
{
    draw_button(QString(), 1);
    // Taken here, so the window's own move handler, which resets every hover look, never sees
    // a move over a button.
    event->accept();
}

void OwnerDrawnButton::leaveEvent(QEvent* event)
{
    if (btn_hover()) {
        draw_button(QString(), 0);
    }
    m_pressed = false;
    QWidget::leaveEvent(event);
}

void OwnerDrawnButton::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void OwnerDrawnButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click) {
        emit clicked();
    }
}

} // namespace tintwell
