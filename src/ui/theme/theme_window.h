#pragma once

#include "render/preview.h"
#include "ui/common/menu_commands.h"
#include "ui/theme/open_theme.h"

#include <QPoint>
#include <QString>
#include <Qt>
#include <vector>

class QAction;
class QMainWindow;
class QUndoStack;

namespace tintwell {

class EditorLauncher;
class PreviewWidget;

/// What the panels, dialogs and menu commands ask of the window that shows the open theme:
/// the theme itself, its preview, the selection and the code box. They hold this and never the
/// window's own class, so the window's folder and theirs include each other one way only.
class ThemeWindow
{
public:
    virtual ~ThemeWindow() = default;

    virtual OpenTheme& theme() = 0;
    Document& document() { return theme().document(); }
    /// The open theme's history; its clean state is the theme as last saved or opened.
    QUndoStack& history() { return theme().history(); }
    /// The window itself: the parent of dialogs, where panels are placed, its menu bar.
    virtual QMainWindow& host() = 0;
    virtual PreviewWidget* preview() const = 0;
    /// The style editors the window opens on a sample.
    virtual EditorLauncher& editors() = 0;

    virtual QAction* action(EditCommand command) const = 0;
    virtual QAction* action(CodeCommand command) const = 0;
    virtual QAction* action(HelpCommand command) const = 0;

    /// A press on row's sample: the row is selected, framed and its text shown in the code box;
    /// the right button opens the code menu at `global_pos`. Nothing for a row not in the table.
    virtual void p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos) = 0;
    /// Opens row's editor as a double click on its sample does. Nothing for a row not in the
    /// table.
    virtual void p1_DblClick(int row) = 0;
    /// No style selected: the frame goes.
    virtual void nosel() = 0;
    /// Selects the styles of `rows` together (rows outside the table are left out), `current`
    /// framed as the one the code box shows (the first of them when it is not one of them) and
    /// scrolled into view. Styles the filter hides are selected all the same.
    virtual void select_rows(const std::vector<int>& rows, int current) = 0;
    /// Scrolls the least that brings row's sample and caption into view; nothing when the row
    /// is not shown.
    virtual void scroll_into_view(int row) = 0;
    /// Lays the preview out again after its zoom or shown rows changed, without drawing the
    /// samples again, and gives the scroll bar the new range.
    virtual void relayout_preview() = 0;
    /// Lays the preview out again after a change and redraws it, keeping the scroll position.
    virtual void plot(PlotMode mode) = 0;
    /// Redraws the preview and keeps the scroll position.
    virtual void redraw_keeping_scroll() = 0;

    /// True while the code box shows the selected style's text.
    virtual bool code_shown() const = 0;
    /// Shows the selected style's text in the code box; empties it when no row is selected.
    virtual void show_selected_code() = 0;
    /// The filter text above the preview, as if typed into its box: only the styles it keeps
    /// are shown (names, field names, presentations, a colour or "~" and a colour near one);
    /// an empty text shows every style.
    virtual void set_filter_text(const QString& text) = 0;
    virtual QString filter_text() const = 0;

    /// Rebuilds the presentation list from the rows (inside the step being gathered) and shows
    /// it.
    virtual void show_presentations() = 0;
    /// Shows the presentation list as the theme holds it.
    virtual void list_presentations() = 0;
};

} // namespace tintwell
