#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QBoxLayout;
class QPushButton;
class QWidget;

namespace tintwell {

/// Gives a panel beside the main window its own ways to close: a "Close" button (objectName
/// "close") at the right of a new last line of `layout`, and Escape while the panel has the
/// focus. Closing hides the panel, or deletes it when it deletes itself on close.
QPushButton* add_close_controls(QWidget& panel, QBoxLayout& layout);

/// A checkable menu item that follows panels: checked while any panel it watches is shown.
/// Choosing it checked runs `open`; choosing it unchecked closes every panel it watches.
class PanelToggle : public QObject
{
public:
    PanelToggle(QAction* action, std::function<void()> open);

    /// Follows `panel` from now on (a panel made later, or one more of a kind); watching one
    /// twice or a null one does nothing.
    void watch(QWidget* panel);
    /// What a menu-bar item does: closes the panels when one is shown, else runs `open`.
    void toggle();
    bool any_shown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chosen(bool checked);
    void follow();

    QAction* m_action;
    std::function<void()> m_open;
    std::vector<QPointer<QWidget>> m_panels;
};

} // namespace tintwell
