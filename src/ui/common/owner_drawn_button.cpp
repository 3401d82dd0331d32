#include "ui/common/owner_drawn_button.h"

#include "ui/common/twips.h"

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
    draw_button(caption, ButtonLook::Normal);
}

void OwnerDrawnButton::draw_button(const QString& caption_arg, ButtonLook look, ButtonFont font)
{
    QString caption = caption_arg;
    if (look == ButtonLook::Normal && !btn_hover() && caption.isEmpty() && m_back == normal_back) {
        return;
    }
    if (look == ButtonLook::Hover && m_back == hover_back) {
        return;
    }
    int size = font == ButtonFont::Small ? 8 : 10;
    btn_hover() = false;
    if (caption.isEmpty()) {
        caption = m_tag;
    }
    switch (look) {
    case ButtonLook::Normal:
        m_fore = QColor(Qt::black);
        m_back = normal_back;
        break;
    case ButtonLook::Hover:
        m_fore = light_blue;
        m_back = hover_back;
        btn_hover() = true;
        break;
    case ButtonLook::Disabled:
        m_back = QColor(240, 240, 240);
        m_fore = QColor(180, 180, 180);
        break;
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
    draw_button(QString(), ButtonLook::Hover);
    // Taken here, so the window's own move handler, which resets every hover look, never sees
    // a move over a button.
    event->accept();
}

void OwnerDrawnButton::leaveEvent(QEvent* event)
{
    if (btn_hover()) {
        draw_button(QString(), ButtonLook::Normal);
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

namespace {

class LookReset : public QObject
{
public:
    LookReset(QWidget& window, std::vector<OwnerDrawnButton*> buttons)
        : QObject(&window)
        , m_buttons(std::move(buttons))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::MouseMove) {
            for (OwnerDrawnButton* button : m_buttons) {
                button->draw_button(QString(), ButtonLook::Normal);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::vector<OwnerDrawnButton*> m_buttons;
};

} // namespace

void reset_looks_on_move(QWidget& window, std::vector<OwnerDrawnButton*> buttons)
{
    new LookReset(window, std::move(buttons));
}

} // namespace tintwell
