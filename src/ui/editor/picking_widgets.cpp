#include "ui/editor/picking_widgets.h"

#include "ui/common/busy_pointer.h"
#include "ui/common/colour_chart.h"
#include "ui/common/editing_keys.h"
#include "ui/common/latin1.h"
#include "ui/common/qt_colour.h"
#include "ui/common/twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace tintwell {

namespace {

constexpr int block_twips = 192;
constexpr int frame_gap_twips = 10;
constexpr int ladder_width = 2520;
constexpr int ladder_height = 192;
constexpr int pointer_width = 120;
constexpr int pointer_height = 150;
constexpr int thumb_width = 120;
constexpr int track_height = 240;

// The pointer over the shade ladder: a thin upright bar with notches, so the band under it is
// easy to see.
QCursor ladder_cursor()
{
    QPixmap image(15, 23);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(7, 1, 7, 21);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(7, 0, 7, 22);
    p.drawLine(3, 0, 11, 0);
    p.drawLine(3, 22, 11, 22);
    p.drawLine(4, 11, 10, 11);
    p.end();
    return QCursor(image, 7, 11);
}

// A frame drawn over other widgets without taking their mouse events.
QFrame* outline(QWidget* parent, const char* name, const char* colour)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setStyleSheet(QString("border: 2px solid %1; background: transparent;").arg(colour));
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->hide();
    return frame;
}

} // namespace

ImageBox::ImageBox(const QImage* image, QWidget* parent)
    : QWidget(parent)
    , m_image(image)
{
    setMouseTracking(true);
}

void ImageBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, *m_image);
    if (m_framed) {
        p.setPen(QColor(160, 160, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ImageBox::mousePressEvent(QMouseEvent* e)
{
    emit pressed(e->position().toPoint(), e->buttons());
}

void ImageBox::mouseMoveEvent(QMouseEvent* e)
{
    emit moved(e->position().toPoint(), e->buttons());
}

void ImageBox::mouseReleaseEvent(QMouseEvent* e)
{
    emit released(e->position().toPoint());
}

PaletteGrid::PaletteGrid(QWidget* parent)
    : QWidget(parent)
    , m_frame(nullptr)
{
    const int rows = (palette_size + palette_columns - 1) / palette_columns;
    resize(px(palette_columns * block_twips) + 2 * margin(), px(rows * block_twips) + 2 * margin());
    const auto& blocks = col256();
    for (int i = 0; i < palette_size; ++i) {
        auto* block = new QLabel(this);
        block->setObjectName(QString("Labc_%1").arg(i));
        block->setGeometry(tw_rect(
            palette_column(i) * block_twips, palette_row(i) * block_twips, block_twips, block_twips)
                               .translated(margin(), margin()));
        block->setAutoFillBackground(true);
        paint_swatch(*block, to_qcolor(blocks[static_cast<std::size_t>(i)].colour));
        if (!blocks[static_cast<std::size_t>(i)].tool_tip.empty()) {
            block->setToolTip(from_latin1(blocks[static_cast<std::size_t>(i)].tool_tip));
        }
        block->installEventFilter(this);
        m_blocks[static_cast<std::size_t>(i)] = block;
    }
    m_frame = outline(this, "Shape12", "white");
    m_frame->resize(px(block_twips + 2 * frame_gap_twips), px(block_twips + 2 * frame_gap_twips));
}

int PaletteGrid::margin()
{
    return px(frame_gap_twips) + 1;
}

void PaletteGrid::frame_block(int index)
{
    m_frame->move(block(index)->pos() - QPoint(px(frame_gap_twips), px(frame_gap_twips)));
    m_frame->show();
    m_frame->raise();
}

void PaletteGrid::hide_frame()
{
    m_frame->hide();
}

bool PaletteGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const auto found = std::find(m_blocks.begin(), m_blocks.end(), watched);
        if (found != m_blocks.end()) {
            emit picked(static_cast<int>(found - m_blocks.begin()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

ShadeLadder::ShadeLadder(QWidget* parent)
    : QWidget(parent)
    , m_image(px(ladder_width), px(ladder_height), QImage::Format_RGB32)
{
    resize(px(ladder_width), px(ladder_height + pointer_height));
    m_image.fill(Qt::white);
    auto* picture = new ImageBox(&m_image, this);
    picture->setObjectName("Picture5");
    picture->setGeometry(tw_rect(0, 0, ladder_width, ladder_height));
    picture->setCursor(ladder_cursor());
    connect(picture, &ImageBox::moved, this, [this](QPoint at, Qt::MouseButtons buttons) {
        const ColourValue c = colour_at(at);
        if ((buttons & Qt::LeftButton) && c != -1) {
            emit dragged_over(c);
        }
    });
    connect(picture, &ImageBox::pressed, this, &ShadeLadder::pressed);
    connect(picture, &ImageBox::released, this, &ShadeLadder::released_at);
    m_picture = picture;

    m_pointer = new QFrame(this);
    m_pointer->setObjectName("pointer1");
    m_pointer->setStyleSheet("background: #202020;");
    m_pointer->setGeometry(tw_rect(0, ladder_height, pointer_width, pointer_height));
    m_pointer->installEventFilter(this);
}

void ShadeLadder::paint(ColourValue base)
{
    BusyPointer busy;
    const auto bands = shade_ladder(base);
    const int w = ladder_band_width(ladder_width);
    QPainter p(&m_image);
    p.scale(1.0 / twips_in_pixel, 1.0 / twips_in_pixel);
    for (int k = 0; k < ladder_bands; ++k) {
        p.fillRect(QRectF(k * w, 0, w, ladder_height * 2), to_qcolor(bands[k]));
    }
    p.end();
    m_picture->update();
    m_pointer->move(px(ladder_width / 2 - pointer_width / 2), m_pointer->y());
}

ColourValue ShadeLadder::colour_at(QPoint at) const
{
    return m_image.valid(at) ? colour_value(m_image.pixelColor(at)) : -1;
}

ColourValue ShadeLadder::move_pointer(int left_twips)
{
    const int left = std::clamp(left_twips / 15 * 15, 0, ladder_width - pointer_width);
    m_pointer->move(px(left), m_pointer->y());
    return colour_at(QPoint(px(left + pointer_width / 2), px(100)));
}

void ShadeLadder::centre_pointer_on(int x)
{
    const int left = std::clamp(tw(x) - pointer_width / 2, 0, ladder_width - pointer_width);
    m_pointer->move(px(left), m_pointer->y());
}

bool ShadeLadder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pointer) {
        return QWidget::eventFilter(watched, event);
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
        emit pressed();
    } else if (type == QEvent::MouseMove) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton) {
            const QPoint at = m_pointer->mapToParent(mouse->position().toPoint());
            emit pointer_dragged(tw(at.x() - m_picture->x()) - pointer_width / 2);
        }
    } else if (type == QEvent::MouseButtonRelease) {
        emit pointer_released();
    } else {
        return QWidget::eventFilter(watched, event);
    }
    return true;
}

ValueSlider::ValueSlider(int index, QWidget* parent)
    : QFrame(parent)
    , m_thumb(new QFrame(this))
{
    setObjectName(QString("pc4_%1").arg(index));
    setFrameShape(QFrame::StyledPanel);
    resize(px(travel + thumb_width), px(track_height));
    m_thumb->setObjectName(QString("scrol_%1").arg(index));
    m_thumb->setGeometry(tw_rect(0, 0, thumb_width, track_height));
    m_thumb->setStyleSheet("background: #3060a0;");
    m_thumb->installEventFilter(this);
}

int ValueSlider::place_thumb(int left_twips)
{
    const int left = std::clamp(left_twips, 0, travel);
    m_thumb->move(px(left), 0);
    return left;
}

bool ValueSlider::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_thumb) {
        return QFrame::eventFilter(watched, event);
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
        emit pressed();
        return false;
    }
    if (type == QEvent::MouseMove) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton) {
            const QPoint at = m_thumb->mapToParent(mouse->position().toPoint());
            emit dragged(tw(at.x()) - thumb_width / 2);
        }
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        emit released();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

HexBox::HexBox(QWidget* parent)
    : QLineEdit(parent)
{
    // Pasted or dropped text passes no key filter; only hex digits may reach the style.
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]*"), this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& s) {
        const QString up = s.toUpper();
        if (up != s) {
            setText(up);
        }
        setCursorPosition(static_cast<int>(text().size()));
    });
}

void HexBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || event->matches(QKeySequence::Undo)
        || event->matches(QKeySequence::Redo) || is_editing_key(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool taken = enter || key == Qt::Key_Backspace || key == Qt::Key_Delete
        || (event->text().size() == 1
            && QString("ABCDEF0123456789").contains(event->text().toUpper()));
    if (!taken) {
        event->accept();
        return;
    }
    emit typed();
    if (enter) {
        emit entered();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void connect_colour_pickers(QObject* context, PaletteGrid* palette, ColourChart* chart,
    std::function<void(colour::Rgb)> take)
{
    QObject::connect(palette, &PaletteGrid::picked, context, [palette, take](int block) {
        take(palette_rgb(block));
        palette->frame_block(block);
    });
    QObject::connect(chart, &ColourChart::pressed, context,
        [chart, take](QPoint at) { take(to_rgb(chart->colour_at(at))); });
    QObject::connect(
        chart, &ColourChart::moved, context, [chart, take](QPoint at, Qt::MouseButtons held) {
            if ((held & Qt::LeftButton) && chart->contains(at)) {
                take(to_rgb(chart->colour_at(at)));
            }
        });
}

} // namespace tintwell
