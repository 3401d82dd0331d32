#pragma once

#include "analysis/colour_edits.h"
#include "analysis/colours_in_use.h"

#include <QWidget>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QUndoStack;

namespace tintwell {

class ColourListModel;
class ThemeWindow;

/// "Colours": a tool window beside the main window with every colour of the open theme, one line
/// each with its swatch, hex value and uses (line/fill and border, day and night), most used
/// first or by hue. Hovering a line lists the styles that use the colour; clicking it shows only
/// those styles in the preview (the filter box shows the colour). "Replace..." (button and
/// context menu) changes a colour in the cells the user chooses, and the second page lists the
/// near duplicates with "Merge"; each is one step of the window's history. The lists follow every
/// change of the theme, Undo and Redo included, and a theme opened or started.
class ColoursPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ColoursPanel(ThemeWindow& window);
    ~ColoursPanel() override;

    /// Shows the panel (at the right of the main window the first time) and brings it to the
    /// front.
    void open();

    /// The colours the list shows, in its order.
    const std::vector<ColourInUse>& colours() const { return m_colours; }
    /// The near-duplicate pairs the second page shows (positions in `colours()`); worked out
    /// only once that page is shown.
    const std::vector<NearDuplicate>& near_duplicates() const { return m_pairs; }

    /// Opens the Replace dialog on the colour of the current line; the change it asks for is
    /// one step.
    void replace_current();
    /// Merges the current near-duplicate pair: the rarer colour becomes the more used one.
    void merge_current();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build_colour_page();
    void build_near_page();
    /// Sorts the list in the order chosen, keeping the current colour selected.
    void order_changed();
    /// The context menu of the colour list at `at` (viewport pixels).
    void show_colour_menu(QPoint at);
    /// The theme changed: the lists are read again now when the panel shows, or when it is next
    /// shown.
    void theme_changed();
    void history_moved(int index);
    void read_colours();
    void show_near_duplicates();
    /// The line of the list showing `colour`; -1 when the theme no longer uses it.
    int line_of(colour::Rgb colour) const;
    int current_line() const;
    void select_line(int line);
    /// Filters the preview to the colour's styles and selects them all.
    void colour_clicked(int line);
    /// The text of the users of a colour, for its tool tip.
    QString users_text(const ColourInUse& colour) const;
    /// Makes the edit one step of the history and shows it. A filter that showed `from`, which
    /// no style uses any more, follows it to `to`.
    void take_edit(ColourEdit edit, colour::Rgb from, colour::Rgb to);

    ThemeWindow& m_window;
    /// The window's history, kept apart: when the window goes, its history is cleared after the
    /// window's own members are gone.
    const QUndoStack& m_history;
    std::vector<ColourInUse> m_colours;
    std::vector<NearDuplicate> m_pairs;
    bool m_colours_stale = true;
    bool m_pairs_stale = true;
    /// The history's index the lists show.
    int m_history_index = 0;
    bool m_placed = false;

    QTabWidget* m_pages;
    QComboBox* m_order_box;
    QTableView* m_colour_list;
    ColourListModel* m_model;
    QLabel* m_colour_count;
    QPushButton* m_replace_button;
    QTreeWidget* m_pair_list;
    QLabel* m_pair_count;
    QPushButton* m_merge_button;
};

} // namespace tintwell
