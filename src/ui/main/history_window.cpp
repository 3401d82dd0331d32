#include "ui/main/history_window.h"

#include "ui/common/tool_panel.h"
#include "ui/common/twips.h"

#include <QAction>
#include <QSignalBlocker>
#include <QStyle>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>
#include <algorithm>

namespace tintwell {

HistoryWindow::HistoryWindow(QUndoStack& history, QWidget* owner)
    : QWidget(owner, Qt::Tool)
    , m_owner(owner)
    , m_action(new QAction("History", owner))
{
    setObjectName("history_window");
    setWindowTitle("History");
    auto* steps = new QUndoView(&history, this);
    steps->setObjectName("history_view");
    steps->setEmptyLabel("Start");
    steps->setCleanIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(steps);
    add_close_controls(*this, *layout);
    resize(px(4200), px(6300));

    m_action->setObjectName("history");
    m_action->setCheckable(true);
    connect(m_action, &QAction::toggled, this, &HistoryWindow::toggled);
}

void HistoryWindow::toggled(bool shown)
{
    if (!shown) {
        hide();
        return;
    }
    if (!isVisible()) {
        // Over the right of the preview, where it hides no control of the left panel.
        move(m_owner->mapToGlobal(
            QPoint(std::max(0, m_owner->width() - width() - px(600)), px(600))));
    }
    show();
    raise();
}

void HistoryWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    const QSignalBlocker block(m_action);
    m_action->setChecked(true);
}

void HistoryWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    const QSignalBlocker block(m_action);
    m_action->setChecked(false);
}

} // namespace tintwell
