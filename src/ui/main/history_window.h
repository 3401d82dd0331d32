#pragma once

#include <QWidget>

class QAction;
class QUndoStack;

namespace tintwell {

/// "History": the steps of the open theme's history; a press on one goes back or forward to
/// it. Its checkable action (Edit > History, View > History) shows and hides it and follows it
/// when it is closed (its Close button, Escape).
class HistoryWindow : public QWidget
{
public:
    /// A tool window of `owner`, placed over the right of it when first shown.
    HistoryWindow(QUndoStack& history, QWidget* owner);

    QAction* toggle_action() const { return m_action; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void toggled(bool shown);

    QWidget* m_owner;
    QAction* m_action;
};

} // namespace tintwell
