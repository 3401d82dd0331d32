#pragma once

#include "analysis/theme_compare.h"
#include "model/document.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QSplitter;

namespace tintwell {

class FileDialogs;
class ThemeWindow;
class PreviewWidget;

/// `compare`: the open theme of the main window beside another theme. The two previews scroll
/// together, matched samples level with each other; changed samples are framed, and rows only
/// in one theme marked, in both. The list beside them has one line per change, in the words of
/// the --diff report; choosing one frames its rows in both previews and scrolls to them.
/// "Changed only" shows only the rows that differ. "Take this change" gives the open theme the
/// other theme's side of the chosen change as one step of its history, "Take All Changes" every
/// listed change as one step. The list names elements as the preview does, its pane can be
/// widened with the splitter beside it, and jumping to a change shows the heading of its
/// presentation with it when both fit. The comparison is made
/// again after every change of the open theme, undo included, and with the theme the main window
/// opens or starts next.
class CompareWindow : public QWidget
{
    Q_OBJECT
public:
    /// `other` is the theme read from `other_path`, of the open theme's kind.
    CompareWindow(ThemeWindow& main, Document other, const QString& other_path);

    /// Compares the open theme with the other one again and shows the result, keeping the chosen
    /// line of the list (or the one that took its place) and the scroll positions.
    void refresh();
    /// Gives the open theme the other theme's side of the chosen change, as one step.
    void take_selected();
    /// Gives the open theme the other theme's side of every listed change, as one step. A
    /// change that no longer fits after the others were taken is left, with a message.
    void take_all();

    /// Width of the list's pane in pixels; a width of 0 or less leaves it as it is.
    int list_width() const;
    void set_list_width(int width);

signals:
    /// The user moved the splitter beside the list's pane.
    void list_width_changed(int width);

public:
    const ThemeComparison& comparison() const { return m_comparison; }
    /// The previews of the open theme and of the other one.
    PreviewWidget* open_preview() const { return m_previews[0]; }
    PreviewWidget* other_preview() const { return m_previews[1]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The two sides: the open theme (A) and the other one (B).
    enum Side : std::size_t { Open = 0, Other = 1 };
    /// How a sample is marked.
    enum class Mark : std::uint8_t { None, Changed, Added, Removed };

    void build_controls();
    void fill_list();
    /// Frames the rows of list line `line` (-1 for none) and, when `scroll`, brings them into view.
    void show_change(int line, bool scroll);
    void sample_pressed(Side side, int row);
    /// Sets the rows a side shows: the marked ones under "Changed only", else all; the next
    /// layout takes them.
    void set_shown_rows(Side side);
    /// Lays both sides out again with the rows they show.
    void apply_filter();
    /// Scrolls the side opposite `from` so that its sample matched with the topmost one shown on
    /// `from` stands level with it.
    void follow_scroll(Side from);
    void scroll_to_row(Side side, int row);
    void frame_row(Side side, int row);
    void fit_preview(Side side);
    /// The row of the other side matched with `row`, or -1.
    int partner(Side side, int row) const;
    /// The line of the list for a row of `side`, or -1.
    int line_of(Side side, int row) const;
    /// The row change a list line shows, or null for a metadata line or none.
    const RowChange* row_change(int line) const;
    QString tip(Side side, int row) const;
    /// The element of a row change as the preview names it.
    std::string display_element(const RowChange& change) const;
    /// Takes every change of `m_comparison` that does not move rows, then the first that does;
    /// false when none could be taken.
    bool take_some(const std::string& description);
    int visible_height(Side side) const;

    ThemeWindow& m_main;
    /// The other theme as read; the comparison and the changes taken read it.
    Document m_other;
    QString m_other_path;
    ThemeComparison m_comparison;
    /// What each preview draws: copies, since drawing a preview may rewrite cells of its table.
    std::array<Document, 2> m_shown;
    std::array<std::vector<Mark>, 2> m_marks;
    std::array<std::vector<int>, 2> m_lines;
    /// For each row of the other theme, the open theme's row matched with it, or -1.
    std::vector<int> m_match_of_other;
    bool m_following = false;

    QLabel* m_summary;
    QListWidget* m_change_list;
    QCheckBox* m_changed_only;
    QPushButton* m_take_button;
    QPushButton* m_take_all_button;
    QSplitter* m_splitter;
    std::array<QLabel*, 2> m_names {};
    std::array<QScrollArea*, 2> m_areas {};
    std::array<PreviewWidget*, 2> m_previews {};
};

/// File, Compare With: asks through `dialogs` for another theme, reads it into a document of its
/// own and opens a compare window for it beside `main`. Without an open theme, for a file that
/// is not a theme and for a theme of the other kind it shows a message (through the main
/// window's prompter) and opens nothing; a cancelled dialog does nothing. The open theme is not
/// touched. Returns the window, which `main` owns and which is deleted when it closes, or null.
CompareWindow* compare_with(ThemeWindow& main, FileDialogs& dialogs);

} // namespace tintwell
