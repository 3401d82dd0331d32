#pragma once

#include "model/row_selection.h"
#include "render/preview.h"
#include "render/style_filter.h"
#include "ui/main/view_settings.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QScrollBar;
class QStatusBar;
class QTimer;
class QWheelEvent;
class QWidget;

namespace tintwell {

class OpenTheme;
class PreviewWidget;

/// Moving through the main window's preview: the scroll bar, the wheel and the keys, the
/// selected samples and the frame of the current one, the jump to a presentation, the zoom, the
/// filter box above the preview and the status bar below it. It changes no style: it reads the
/// open theme's rows and moves its selection (`cur_row` and the set of selected styles).
///
/// Selecting several styles: Ctrl+click adds or removes a sample, Shift+click takes the samples
/// from the last one clicked to this one in the order the preview shows them (Ctrl+Shift adds
/// them), a drag from off the samples draws a band that selects every sample and caption it
/// touches (with Ctrl, besides those selected before), Ctrl+A selects every sample shown and
/// Escape selects none. Styles the filter hides stay selected and come back with it; a plain
/// click, a key or the search select one style again.
class PreviewNavigator : public QObject
{
    Q_OBJECT
public:
    /// The parts of the window the navigator moves. It adds a View menu to the window's menu bar
    /// before `view_menu_before`, the filter box at the bar's right and the status bar.
    struct Parts
    {
        QMainWindow* window;
        PreviewWidget* preview;
        /// The frame the preview scrolls in; its height is what shows at a time.
        QWidget* frame;
        QScrollBar* scroll_bar;
        /// Opened on the selected sample by the right button and the menu key.
        QMenu* code_menu;
        QMenu* view_menu_before;
    };
    PreviewNavigator(OpenTheme& theme, const Parts& parts);

    /// Lays the preview out again after a change and redraws it, keeping the scroll position;
    /// only a theme opened or started (PlotMode::Fresh after start_afresh) begins at the top.
    void plot(PlotMode mode);
    /// Lays the preview out again after its zoom or shown rows changed, without drawing the
    /// samples again, and gives the scroll bar the new range.
    void relayout_preview();
    /// Redraws the preview and keeps the scroll position.
    void redraw_keeping_scroll();
    /// A theme opened or started: every style shown from the top, nothing selected, the filter
    /// box empty.
    void start_afresh();

    /// A press on row's sample: the row becomes the selected one and is framed; the right button
    /// opens the code menu at `global_pos`. Nothing for a row not in the table.
    void press(int row, Qt::MouseButton button, QPoint global_pos);
    /// A press on row's sample with keys held: Ctrl and Shift change the set of selected styles
    /// as the class says; the right button on a sample of several selected keeps them and makes
    /// it the current one. Without keys, as `press`.
    void click(int row, Qt::MouseButton button, QPoint global_pos, Qt::KeyboardModifiers keys);
    /// Nothing selected: the frame goes.
    void clear_selection();
    /// Selects every sample the preview shows (what the filter keeps); the current style stays
    /// current when it is one of them.
    void select_all_shown();
    /// Selects the styles of `rows` (rows outside the table are left out), `current` (one of
    /// them; the first when it is not) framed and brought into view; none of them selects
    /// nothing. Styles the filter hides are selected all the same.
    void select_rows(const std::vector<int>& rows, int current);
    /// Selects style row `row` as a press on its sample does and scrolls the preview so that
    /// the sample shows. A row the filter hides clears the filter first. Returns false, changing
    /// nothing, for a row that is not in the theme.
    bool select_row(int row);
    /// A row the element search found: selected and framed a little wider than a press does,
    /// with the sample before it brought to the top. A row the filter hides clears the filter.
    void show_found(int row);
    /// Scrolls the least that brings row's sample and caption into view; nothing when the row
    /// is not shown.
    void scroll_into_view(int row);
    /// Scrolls so that the presentation's first sample (with its heading) is at the top; a name
    /// as the list shows it, blanks around it ignored.
    void jump_to_presentation(const QString& presentation);

    /// Shows only the styles a filter text keeps, as if it were typed into the filter box: names,
    /// field names and presentations holding the text, a colour ("#1e90ff", "1E90FF") or the
    /// colours near one ("~#1e90ff"). An empty or blank text shows every style. The filter is
    /// applied again after every change to the theme until it is cleared or a theme is opened
    /// or started.
    void set_filter_text(const QString& text);
    QString filter_text() const;
    /// The zoom of the samples: min_zoom to max_zoom, 1 at the design size.
    double zoom() const;
    /// Sets the zoom (limited to its range) and lays the preview out again, keeping what is at
    /// the middle of the frame where it was on the screen.
    void set_zoom(double zoom);

    ViewSettings view_settings() const;
    void apply_view_settings(const ViewSettings& settings);
    /// Twips the status bar takes from the window's height, 0 when it is hidden.
    int status_bar_height() const;

signals:
    /// A press, a key or the search selected another style (`cur_row`).
    void selection_changed();
    /// Enter on the selected sample: open its editor, as a double click does.
    void open_requested(int row);
    /// The status bar was shown or hidden: the window lays its parts out again.
    void status_bar_toggled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_view_menu(QMainWindow& window, QMenu* before);
    void build_filter_box(QMainWindow& window);
    void preview_wheel(const QWheelEvent& wheel);
    bool preview_key(const QKeyEvent& key);
    bool filter_key(const QKeyEvent& key);
    void select(int row);
    void move_selection(Neighbour direction);
    /// Shift+arrow: the selection grows or shrinks to the neighbour, from the sample it began at.
    void extend_selection(Neighbour direction);
    /// The samples the band spans, besides those selected when it began with Ctrl.
    void band_dragged(const TwipRect& rect, Qt::KeyboardModifiers keys);
    /// The set of selected styles changed: the current one is framed (or the frame goes when
    /// none is selected), the samples and the status bar are drawn again.
    void selection_moved();
    bool selection_shown() const;
    void place_frame_around(int row, int extra_width, int extra_height);
    /// The frame follows the selected row after a layout: around it while it shows.
    void follow_selection();
    void open_code_menu_at_selection();
    void zoom_by(int steps, std::optional<QPoint> at = std::nullopt);
    /// The new zoom, keeping the point `at` (twips of the preview; the middle of what shows when
    /// none is given) where it is on the screen: the sample there, or the first of its line,
    /// stays at the same height, at the same place within it.
    void show_zoom(double zoom, std::optional<QPoint> at = std::nullopt);
    /// The filter applied to the table as it is now, for the next layout.
    void filter_for_plot();
    void filter_edited();
    void prepare_filter();
    void show_status();
    /// The status bar names the selected style, or nothing when none is selected.
    void show_selected_style();
    /// Height of the preview frame in twips: what the preview shows at a time.
    std::int64_t visible_height() const;
    /// The preview's scroll position as twips from its top.
    std::int64_t scroll_offset() const;
    void scroll_to_offset(std::int64_t offset);
    void scroll_by(double twips);
    /// The preview's scroll range taken by the scroll bar, at `value` (kept within it).
    void take_scroll_range(int value);
    void vs_Scroll();
    /// The sample before `row` brought to the top, so that row shows with a little of what
    /// precedes it.
    void scroll_to_row(int row);

    OpenTheme& m_theme;
    PreviewWidget* m_preview;
    QWidget* m_frame;
    QScrollBar* m_scroll_bar;
    QMenu* m_code_menu;
    /// What was selected when a band drag with Ctrl began; the band adds to it.
    RowSelection m_band_base;
    bool m_band_started = false;
    StyleFilter m_style_filter;
    QTimer* m_filter_idle = nullptr;
    /// Ctrl+wheel turns not yet counted as a zoom step, in eighths of a degree.
    int m_zoom_wheel = 0;
    QLineEdit* m_filter_edit = nullptr;
    QStatusBar* m_status_bar = nullptr;
    QLabel* m_filter_count = nullptr;
    /// Names the selected style and its colours.
    QLabel* m_selection_label = nullptr;
    QLabel* m_zoom_label = nullptr;
    QAction* m_status_bar_action = nullptr;
};

} // namespace tintwell
