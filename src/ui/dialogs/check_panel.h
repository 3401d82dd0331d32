#pragma once

#include "analysis/theme_lint.h"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;
class QTreeView;

namespace tintwell {

class FindingsModel;
class ThemeWindow;
class PreviewWidget;

/// "Check Theme": a tool window beside the main window listing what the theme checker finds in
/// the open theme (faults of the file as read, and colours that are hard to see or to tell
/// apart), the most serious first. A finding clicked selects its sample as a press on it does
/// and scrolls it into view; while the button is held the preview shows only the finding's two
/// elements. While the panel is open, samples with a finding carry a mark ("Marks") and the
/// preview may be drawn as seen with a colour-vision deficiency ("Simulate"); closed, it leaves
/// the preview exactly as it is without it.
class CheckPanel : public QWidget
{
    Q_OBJECT
public:
    /// A hidden panel that follows `window`'s theme: its history, New, Open and Save.
    explicit CheckPanel(ThemeWindow& window);
    ~CheckPanel() override;

    /// Shows the panel, or brings it to the front, with its findings up to date.
    void open();
    /// What the menu-bar item does: closes the panel when it is shown, else opens it.
    void toggle();

    /// Brings the findings, the marks and the list up to date now. After a change this happens
    /// by itself once the window's events have run; a closed panel does nothing.
    void refresh();

    /// The findings listed, the most serious first; valid until the next refresh.
    const std::vector<const Finding*>& findings() const { return m_listed; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The theme now comes from `path` (none for a new theme): its file is read again at the
    /// next refresh.
    void file_changed(const QString& path);
    void schedule_refresh();
    void show_marks();
    void show_vision();
    /// The sample a finding is about: its first element, or its second when it has no first;
    /// -1 when it names no row of the theme.
    int subject_row(int listed) const;
    /// Selects the finding's sample as a press on it does; `reveal` scrolls it into view.
    void select(int listed, bool reveal);
    /// The button went down on a finding: its sample is selected and the preview shows only
    /// its elements until `let_go`.
    void hold(int listed);
    void let_go();

    /// What makes a listed finding the same one from one refresh to the next.
    struct FindingKey
    {
        const LintRule* rule;
        int first_row;
        int second_row;
        Period period;
        colour::Vision vision;

        bool operator==(const FindingKey&) const = default;
    };

    ThemeWindow& m_window;
    QPointer<PreviewWidget> m_preview;
    ThemeChecker m_checker;
    std::vector<const Finding*> m_listed;
    std::vector<FindingKey> m_keys;
    /// Where the open theme was read from or written to, and whether the checker has still to
    /// read it.
    QString m_file;
    bool m_file_pending = false;
    /// While the button is held on a finding: its sample, and the rows the preview showed
    /// before (none: every row).
    int m_held_row = -1;
    std::optional<std::vector<int>> m_kept_rows;
    bool m_holding = false;
    /// Shown; a closed panel neither checks nor marks.
    bool m_open = false;
    /// The list is being filled again; its current row moving is not the user's.
    bool m_filling = false;

    QTimer* m_refresh_timer;
    FindingsModel* m_model;
    QCheckBox* m_marks_box;
    QComboBox* m_simulate_box;
    QLabel* m_summary;
    QTreeView* m_list;
};

} // namespace tintwell
