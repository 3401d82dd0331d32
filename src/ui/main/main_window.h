#pragma once

#include "model/add_element.h"
#include "model/document.h"
#include "model/theme_view.h"
#include "render/preview.h"
#include "render/style_filter.h"
#include "ui/main/editor_launcher.h"
#include "ui/main/menu_commands.h"
#include "ui/main/read_progress.h"
#include "ui/main/settings.h"
#include "ui/main/view_settings.h"

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QScrollBar;
class QStatusBar;
class QUndoStack;
class QWheelEvent;

namespace tintwell {

class CheckPanel;
class FileDialogs;
class NoticeBar;
class OwnerDrawnButton;
class PreviewWidget;

/// `f1`, the program's window: the open theme, its metadata fields, presentation list, element
/// search, preview and menus. It shows the core's messages and questions and receives the
/// readers' effects on the window. Every change to the open theme is one step of its history
/// (Edit, Undo and Redo; the History window); opening or starting a theme begins a new one.
class MainWindow : public QMainWindow, public ThemeView
{
    Q_OBJECT
public:
    /// `pending_open`: a theme path from the command line (double quotes are removed, a relative
    /// path is taken from the current folder), opened when the window first becomes active. The
    /// settings file is read from `settings_path`.
    MainWindow(
        const QString& pending_open, const QString& settings_path, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Where the settings file lives: "system/tintwell.dat" in the per-user configuration
    /// folder; the folder is created when missing.
    static QString default_settings_path();

    Document& document() { return m_doc; }
    PreviewWidget* preview() const { return m_preview; }
    EditorLauncher& editors() { return m_editors; }
    const RecentFiles& recent() const { return m_settings.recent; }
    int search_pos() const { return m_search_pos; }
    /// The open theme's history; its clean state is the theme as last saved or opened.
    QUndoStack& history() const { return *m_history; }

    QAction* action(FileCommand command) const;
    QAction* action(EditCommand command) const;
    QAction* action(CodeCommand command) const;
    QAction* action(HelpCommand command) const;

    /// Replaces the message boxes (tests answer through a recorder). Not owned.
    void set_prompter(Prompter* prompter);
    /// Replaces the Open and Save dialogs. Not owned.
    void set_file_dialogs(FileDialogs* dialogs);
    /// Replaces the Add Elements dialog: returns the chosen entries for the document. Null
    /// brings the dialog back.
    void set_element_chooser(std::function<ElementSelection(Document&)> chooser);
    /// How long a theme is read before "Reading FILE..." shows (half a second).
    void set_read_progress_delay(std::chrono::milliseconds delay) { m_read_progress_delay = delay; }

    /// Makes `edit` one step of the theme's history named `description` ("Apply ROAD
    /// INTERSTATE"): applies it and keeps it for Undo and Redo. While a StepScope is open the
    /// edit joins that scope's step instead. An empty edit makes no step. The caller redraws
    /// what the edit changed, as after any change; Undo and Redo redraw by themselves.
    void push_edit(DocumentEdit edit, const std::string& description);

    /// Gathers into one step everything that changes the theme while it lives: the edits handed
    /// to push_edit, and what the window changes on its own around a dialog (a row's colours
    /// refreshed from its text, the presentation list rebuilt). The step is named after the
    /// first edit handed on. When nothing was handed on (the dialog was cancelled), the window's
    /// own changes are taken back, so the theme is exactly as before. Scopes nest; the
    /// outermost one makes the step.
    class StepScope
    {
    public:
        explicit StepScope(MainWindow& window);
        ~StepScope();
        StepScope(const StepScope&) = delete;
        StepScope& operator=(const StepScope&) = delete;

    private:
        MainWindow& m_window;
    };

    /// Redraws the preview and keeps the scroll position.
    void redraw_keeping_scroll();
    /// Lays the preview out again after its zoom or shown rows changed, without drawing the
    /// samples again, and gives the scroll bar the new range.
    void relayout_preview();
    /// Scrolls the least that brings row's sample and caption into view; nothing when the row
    /// is not shown.
    void scroll_into_view(int row);
    /// Shows `code` (a style text) in the code box.
    void set_code_text(const std::string& code);
    /// True while the code box shows the selected style's text.
    bool code_shown() const { return m_code_shown; }
    /// Shows the selected style's text in the code box, as a press on its sample does; empties
    /// the box when no row is selected. The box goes on showing that style's text after every
    /// change to it (an editor's Apply, Undo, Redo) until a theme is opened or started.
    void show_selected_code();

    /// Shows only the styles a filter text keeps, as if it were typed into the filter box above
    /// the preview: names, field names and presentations holding the text, a colour ("#1e90ff",
    /// "1E90FF") or the colours near one ("~#1e90ff"). An empty or blank text shows every style.
    /// The filter is applied again after every change to the theme until it is cleared or a
    /// theme is opened or started.
    void set_filter_text(const QString& text);
    QString filter_text() const;
    /// Selects style row `row` as a press on its sample does (selection frame, code box) and
    /// scrolls the preview so that the sample shows. A row the filter hides clears the filter
    /// first. Returns false, changing nothing, for a row that is not in the theme.
    bool select_row(int row);
    /// The zoom of the samples: min_zoom to max_zoom, 1 at the design size.
    double zoom() const;
    /// Sets the zoom (limited to its range) and lays the preview out again, keeping the
    /// selected sample, or the one at the top, where it was on the screen.
    void set_zoom(double zoom);

    // ThemeView
    void clear_presentations() override;
    void add_presentation(std::string_view name) override;
    /// The presentation commands of the Edit menu; Undo, Redo and History stay available.
    void set_edit_menu_enabled(bool enabled) override;
    void set_locale_version_enabled(bool enabled) override;
    void metadata_changed(const ThemeMetadata& metadata) override;
    void nosel() override;
    void reset_search() override;
    void focus_title() override;
    void clear_preview() override;
    void busy_on() override;
    void busy_off() override;

    void Form_Activate();
    void Form_Resize();
    void cap(const QString& path);
    void mf_Click(FileCommand command);
    /// Reopens recent entry `slot` (0 is the most recent).
    void open_recent(std::size_t slot);
    void mset_Click();
    void loadole(const QString& path);
    void updatmf(const QString& path);
    /// Rebuilds the presentation list from the rows and shows it.
    void show_presentations();
    /// Shows the presentation list as the theme holds it (a Car & Zumo theme's; a Sport & Fitness
    /// theme keeps the entry its reader listed).
    void list_presentations();
    void plot(int mode);
    void p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos);
    void p1_MouseMove(int row);
    void p1_DblClick(int row);
    void Picture1_MouseDown();
    void vs_Scroll();
    void command1_Click();
    void Command2_Click();
    void Check2_MouseUp();
    /// A press on a presentation of the list: the preview scrolls so that the presentation's
    /// first sample (with its heading) is at the top.
    void List1_Click(const QString& presentation);

signals:
    /// Another theme is open, with a history of its own: read from `path`, or begun with New
    /// (`path` empty).
    void theme_replaced(const QString& path);
    /// The theme was written to `path`.
    void theme_saved(const QString& path);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The metadata fields; a field's keystrokes in a row make one step.
    enum class MetadataField { Title, Description, Locale, Version };

    void build_controls();
    void build_menus();
    void build_history();
    void build_check_panel();
    void new_theme(FileCommand command);
    void open_command();
    void save_command();
    /// Every way of opening a file ends here: Open, a recent entry, a drop and the command line.
    /// A theme that is read replaces the open one and goes to the top of the recent files; a
    /// rejected file leaves the open theme exactly as it was and is dropped from the recent
    /// files; one whose reading the user cancelled leaves the open theme too, without a message,
    /// and stays in the recent files. Returns true when the file was read.
    bool open_file(const QString& path);
    /// Reads the file into the document. A file that memory cannot hold is reported as
    /// "FILE: not enough memory to read it" and counts as rejected. `notices` gets what saving
    /// the file read would change.
    bool read_theme_file(
        const QString& path, QStringList& notices, const ReadProgress& progress = {});
    /// Asks "Save Current file?" when there are unsaved changes. Yes runs the Save command and
    /// returns true: the caller stops, leaving the open theme as it is.
    bool save_first();
    /// The user changed one of the metadata fields.
    void metadata_edited(MetadataField field, const QString& text);
    /// What a rejected file must not take from the open theme: its kind, unsaved state,
    /// metadata, name, caption and presentation list.
    struct OpenTheme
    {
        ThemeKind kind;
        bool theme_open;
        bool modified;
        ThemeMetadata metadata;
        std::string file_name;
        QString caption;
        QStringList presentations;
    };
    OpenTheme keep_open_theme() const;
    void restore_open_theme(const OpenTheme& kept);
    void forget_recent(const QString& path);
    void show_recent();
    void refresh_recent_enabled();
    void place_frame_around(int row, int extra_width, int extra_height);
    void scroll_to_row(int row);
    void Form_Unload();
    Settings current_settings() const;
    ViewSettings current_view_settings() const;

    // Moving through the preview: scrolling, keys, zoom and the filter (preview_navigation.cpp).
    void build_navigation();
    void apply_view_settings(const ViewSettings& settings);
    /// Wheel and key events of the preview and its scroll bar, and keys of the filter box; true
    /// when taken.
    bool navigation_event(QObject* watched, QEvent* event);
    void preview_wheel(const QWheelEvent& wheel);
    bool preview_key(const QKeyEvent& key);
    bool filter_key(const QKeyEvent& key);
    /// A theme opened or started: every style shown from the top, nothing selected.
    void start_afresh();
    /// The filter applied to the table as it is now, for the next layout.
    void filter_for_plot();
    void filter_edited();
    void prepare_filter();
    /// The preview's scroll range taken by the scroll bar, at `value` (kept within it).
    void take_scroll_range(int value);
    /// The frame follows the selected row after a layout: around it while it shows.
    void follow_selection();
    void show_status();
    bool selection_shown() const;
    /// Selects a row as a press does and scrolls it into view.
    void select(int row);
    void move_selection(Neighbour direction);
    void open_code_menu_at_selection();
    void zoom_by(int steps, std::optional<std::int64_t> at = std::nullopt);
    /// The new zoom, keeping the sample at `at` (twips from the top of the preview), or the
    /// selected one, or the one at the top, where it is on the screen.
    void show_zoom(double zoom, std::optional<std::int64_t> at = std::nullopt);
    /// Height of the preview frame in twips: what the preview shows at a time.
    std::int64_t visible_height() const;
    /// The preview's scroll position as twips from its top.
    std::int64_t scroll_offset() const;
    void scroll_to_offset(std::int64_t offset);
    void scroll_by(double twips);
    /// Twips the status bar takes from the window's height, 0 when it is hidden.
    int status_bar_height() const;

    // The history.
    void push_step(std::vector<DocumentEdit> parts, const std::string& description, int merge_id);
    /// A change the window made on its own, already applied: it joins the step being gathered.
    void own_change_made(DocumentEdit edit);
    void end_step();
    /// A new theme: no steps, nothing to save.
    void clear_history();
    /// `modified` and the caption's mark follow the history's clean state.
    void follow_history();
    /// After Undo, Redo or a jump in the History window: shows what the steps passed changed.
    void history_moved(int index);
    void refresh_colours(int row);

    Document m_doc;
    std::unique_ptr<Prompter> m_message_boxes;
    Prompter* m_prompter;
    std::unique_ptr<FileDialogs> m_qt_dialogs;
    FileDialogs* m_dialogs;
    std::function<ElementSelection(Document&)> m_choose_elements;
    EditorLauncher m_editors;
    Settings m_settings;
    QString m_settings_path;
    QString m_pending_open;
    std::chrono::milliseconds m_read_progress_delay = read_progress_delay;
    int m_plot_arg = 0;
    int m_search_pos = 0;
    bool m_style_changed = false;
    bool m_unloaded = false;
    /// A style is selected (cur_row); its frame shows whenever its sample does.
    bool m_selected = false;
    /// The code box shows the text of cur_row.
    bool m_code_shown = false;
    StyleFilter m_style_filter;
    QTimer* m_filter_idle = nullptr;
    /// Ctrl+wheel turns not yet counted as a zoom step, in eighths of a degree.
    int m_zoom_wheel = 0;

    QUndoStack* m_history;
    QWidget* m_history_window = nullptr;
    /// The step being gathered by the open StepScopes.
    struct PendingStep
    {
        int depth = 0;
        std::vector<DocumentEdit> parts;
        std::string description;
        bool handed_on = false;
    };
    PendingStep m_pending;
    /// The history's index the window shows; pushes and clears move it without redrawing.
    int m_shown_index = 0;
    bool m_quiet_history = false;
    /// Counts focus changes into a metadata field, so typing there again later is a step of
    /// its own.
    int m_typing_run = 0;

    // Controls; each keeps its design name as its objectName.
    QPushButton* m_add_elements_button;
    QLabel* m_add_elements_label;
    QCheckBox* m_edit_text_check;
    std::array<QLabel*, 5> m_field_labels {};
    QListWidget* m_presentation_list;
    QLineEdit* m_title_edit;
    QPlainTextEdit* m_description_edit;
    QLineEdit* m_locale_edit;
    QLineEdit* m_version_edit;
    QCheckBox* m_show_code_check;
    QLabel* m_update_label;
    QFrame* m_search_frame;
    QLineEdit* m_search_edit;
    OwnerDrawnButton* m_search_button;
    QWidget* m_preview_frame;
    PreviewWidget* m_preview;
    NoticeBar* m_notice_bar;
    QScrollBar* m_scroll_bar;
    QPlainTextEdit* m_code_box;
    QLineEdit* m_filter_edit = nullptr;
    QStatusBar* m_status_bar = nullptr;
    QLabel* m_filter_count = nullptr;
    QLabel* m_zoom_label = nullptr;

    QMenu* m_file_menu;
    QMenu* m_edit_menu;
    QMenu* m_preference_menu;
    QMenu* m_help_menu;
    QMenu* m_code_menu;
    QMenu* m_view_menu = nullptr;
    QAction* m_status_bar_action = nullptr;
    std::array<QAction*, 7> m_file_actions {};
    std::array<QAction*, 7> m_recent_actions {};
    std::array<QAction*, 2> m_presentation_actions {};
    std::array<QAction*, 5> m_code_actions {};
    std::array<QAction*, 2> m_help_actions {};
    QAction* m_border_pref_action;
    QAction* m_undo_action;
    QAction* m_redo_action;
    QAction* m_history_action;
    /// "Check Theme" (F7) and the panel it opens.
    QAction* m_check_action;
    CheckPanel* m_check_panel;
};

} // namespace tintwell
