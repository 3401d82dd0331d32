#pragma once

#include "analysis/colour_fix.h"
#include "analysis/finding_groups.h"
#include "analysis/theme_lint.h"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QModelIndex;
class QPushButton;
class QTimer;
class QTreeView;

namespace tintwell {

class FindingsFilter;
class FindingsModel;
class ThemeWindow;
class PreviewWidget;

/// "Check Theme": a tool window beside the main window listing what the theme checker finds in
/// the open theme (faults of the file as read, and colours that are hard to see or to tell
/// apart), the most serious first. Findings of one rule, time of day, vision and element are one
/// group across presentations and grounds, which opens to its members; the list sorts by any
/// column and keeps only the severity, rule and time of day chosen. A finding clicked selects its
/// sample as a press on it does, a group the samples of all its findings with the first one
/// framed, and the framed one is scrolled into view; while the button is
/// held the preview shows only the elements it is about. For a contrast or colour-difference
/// group, the panel shows the nearest colour that meets the rule and "Fix" sets it as one step of
/// the history; "Fix All Shown" does so for every group listed, as one step. While the panel is
/// open, samples with a finding carry a mark ("Marks") and the preview may be drawn as seen with a
/// colour-vision deficiency ("Simulate"); closed, it leaves the preview exactly as it is without
/// it.
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

    /// Every group found, the most serious first (the list may show them sorted and filtered
    /// otherwise); valid until the next refresh.
    const std::vector<FindingGroup>& groups() const { return m_groups; }

    /// Sets the colours of the fix shown for the current group as one step of the history named
    /// for it, as "Fix" does. Nothing when the current group has no fix.
    void fix_current();
    /// Fixes every group the list shows as one step of the history, "Fix All Shown", each
    /// against the theme as the fixes before it left it; a group that cannot be fixed is left as
    /// it is. Returns how many groups were fixed; the status bar says it, and how many were left.
    int fix_all_shown();

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
    void show_summary();
    /// The list keeps only what the severity, rule and time choosers let through.
    void filter_changed();
    /// The group and member (-1 for the group itself) of an index of the list.
    std::pair<int, int> item_at(const QModelIndex& index) const;
    /// The sample an item is about: the first element of its first finding, or its second when
    /// it has no first; -1 when it names no row of the theme.
    int subject_row(int group, int member) const;
    /// Selects the item's sample as a press on it does; `reveal` scrolls it into view.
    void select(int group, int member, bool reveal);
    /// The button went down on an item: its sample is selected and the preview shows only the
    /// elements of its findings until `let_go`.
    void hold(int group, int member);
    void let_go();
    /// Works out the fix of the current group and shows it, or why there is none.
    void show_fix();

    ThemeWindow& m_window;
    QPointer<PreviewWidget> m_preview;
    ThemeChecker m_checker;
    std::vector<FindingGroup> m_groups;
    /// What makes the findings listed the same ones from one refresh to the next.
    std::vector<std::string> m_keys;
    /// The fix shown, for the group `m_fix_group` names, as the theme stands now.
    std::optional<FixProposal> m_fix;
    int m_fix_group = -1;
    /// Where the open theme was read from or written to, and whether the checker has still to
    /// read it.
    QString m_file;
    bool m_file_pending = false;
    /// While the button is held on an item: its sample, and the rows the preview showed before
    /// (none: every row).
    int m_held_row = -1;
    std::optional<std::vector<int>> m_kept_rows;
    bool m_holding = false;
    /// Shown; a closed panel neither checks nor marks.
    bool m_open = false;
    /// The list is being filled again; its current row moving is not the user's.
    bool m_filling = false;

    QTimer* m_refresh_timer;
    FindingsModel* m_model;
    FindingsFilter* m_filter;
    QCheckBox* m_marks_box;
    QComboBox* m_simulate_box;
    QComboBox* m_severity_box;
    QComboBox* m_rule_box;
    QComboBox* m_time_box;
    QLabel* m_summary;
    QTreeView* m_list;
    QLabel* m_fix_before;
    QLabel* m_fix_after;
    QLabel* m_fix_text;
    QPushButton* m_fix_button;
    QPushButton* m_fix_all_button;
};

} // namespace tintwell
