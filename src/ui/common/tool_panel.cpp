#include "ui/common/tool_panel.h"

#include <QAction>
#include <QBoxLayout>
#include <QEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QWidget>
#include <algorithm>

namespace tintwell {

QPushButton* add_close_controls(QWidget& panel, QBoxLayout& layout)
{
    auto* close = new QPushButton("Close", &panel);
    close->setObjectName("close");
    close->setAutoDefault(false);
    auto* line = new QHBoxLayout;
    line->addStretch();
    line->addWidget(close);
    layout.addLayout(line);
    QObject::connect(close, &QPushButton::clicked, &panel, &QWidget::close);
    // Only while the panel's own window is active: Escape in the main window keeps its meaning.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &panel);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, &panel, &QWidget::close);
    return close;
}

PanelToggle::PanelToggle(QAction* action, std::function<void()> open)
    : QObject(action)
    , m_action(action)
    , m_open(std::move(open))
{
    m_action->setCheckable(true);
    connect(m_action, &QAction::triggered, this, &PanelToggle::chosen);
}

void PanelToggle::watch(QWidget* panel)
{
    if (panel == nullptr
        || std::find(m_panels.begin(), m_panels.end(), QPointer<QWidget>(panel))
            != m_panels.end()) {
        follow();
        return;
    }
    m_panels.emplace_back(panel);
    panel->installEventFilter(this);
    // A panel deleted on close is gone without hiding first when its owner goes.
    connect(panel, &QObject::destroyed, this, &PanelToggle::follow, Qt::QueuedConnection);
    follow();
}

bool PanelToggle::any_shown() const
{
    return std::any_of(m_panels.begin(), m_panels.end(),
        [](const QPointer<QWidget>& panel) { return panel && panel->isVisible(); });
}

void PanelToggle::toggle()
{
    chosen(!any_shown());
}

void PanelToggle::chosen(bool checked)
{
    if (checked) {
        m_open();
    } else {
        for (const QPointer<QWidget>& panel : std::vector(m_panels)) {
            if (panel) {
                panel->close();
            }
        }
    }
    follow();
}

void PanelToggle::follow()
{
    std::erase_if(m_panels, [](const QPointer<QWidget>& panel) { return panel.isNull(); });
    const QSignalBlocker block(m_action);
    m_action->setChecked(any_shown());
}

bool PanelToggle::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        // The panel is not yet (or no longer) visible while its own event is sent.
        const QSignalBlocker block(m_action);
        m_action->setChecked(event->type() == QEvent::Show || any_shown());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tintwell
