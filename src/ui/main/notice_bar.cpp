#include "ui/main/notice_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace tintwell {

NoticeBar::NoticeBar(QWidget* parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
    , m_close(new QToolButton(this))
{
    setObjectName("notice_bar");
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 244, 196));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    m_text->setObjectName("notice_text");
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_close->setObjectName("notice_close");
    m_close->setText(QString::fromUtf8("\u00d7"));
    m_close->setToolTip(tr("Close"));
    m_close->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_close, 0, Qt::AlignTop);

    connect(m_close, &QToolButton::clicked, this, &QWidget::hide);
    parent->installEventFilter(this);
    hide();
}

void NoticeBar::show_notices(const QStringList& lines)
{
    m_text->setText(lines.join('\n'));
    if (lines.isEmpty()) {
        hide();
        return;
    }
    fit_to_parent();
    raise();
    show();
}

QString NoticeBar::text() const
{
    return m_text->text();
}

bool NoticeBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        fit_to_parent();
    }
    return QFrame::eventFilter(watched, event);
}

void NoticeBar::fit_to_parent()
{
    const int width = parentWidget()->width();
    setFixedWidth(width);
    setFixedHeight(
        layout()->hasHeightForWidth() ? layout()->heightForWidth(width) : sizeHint().height());
    move(0, 0);
}

} // namespace tintwell
