#pragma once

#include "model/add_element.h"
#include "model/document.h"
#include "model/theme_view.h"
#include "render/preview.h"
#include "ui/common/menu_commands.h"
#include "ui/main/settings.h"
#include "ui/main/view_settings.h"
#include "ui/theme/edit_command.h"
#include "ui/theme/editor_launcher.h"
#include "ui/theme/open_theme.h"
#include "ui/theme/theme_window.h"

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace tintwell {

class CheckPanel;
class HistoryWindow;
class FileCommands;
class NoticeBar;
class PanelItems;
class PreviewNavigator;
class ThemePanel;
class OwnerDrawnButton;
class PreviewWidget;

/// `f1`, the program's window: it shows the open theme with its metadata fields, presentation
/// list, element search, preview and menus. It shows the core's messages and questions and
/// receives the readers' effects on the window. Every change to the open theme is one step of
/// its history (Edit, Undo and Redo; the History window); opening or starting a theme begins a
/// new one.
class MainWindow : public QMainWindow, public ThemeWindow
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

    // ThemeWindow
    OpenTheme& theme() override { return *m_theme; }
    QMainWindow& host() override { return *this; }
    PreviewWidget* preview() const override { return m_preview; }
    EditorLauncher& editors() override { return m_editors; }
    QAction* action(EditCommand command) const override;
    QAction* action(CodeCommand command) const override;
    QAction* action(HelpCommand command) const override;
    void p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos) override;
    void scroll_into_view(int row) override;
    void relayout_preview() override;
    void plot(PlotMode mode) override;
    void redraw_keeping_scroll() override;
    bool code_shown() const override { return m_code_shown; }
    /// The box goes on showing the selected style's text after every change to it (an editor's
    /// Apply, Undo, Redo) until a theme is opened or started.
    void show_selected_code() override;
    void set_filter_text(const QString& text) override;
    QString filter_text() const override;
    void show_presentations() override;
    /// Shows the presentation list as the theme holds it (a Car & Zumo theme's; a Sport & Fitness
    /// theme keeps the entry its reader listed).
    void list_presentations() override;
    /// No style selected: the frame goes.
    void nosel() override;
    void select_rows(const std::vector<int>& rows, int current) override;

    using ThemeWindow::action;
    /// Scrolling, selection, zoom and the filter of the preview.
    PreviewNavigator& navigator() const { return *m_navigator; }
    /// New, Open, Save, the recent files and the other ways a file is opened.
    FileCommands& files() const { return *m_files; }
    /// The presentation list, the metadata fields and the element search.
    ThemePanel& panel() const { return *m_panel; }

    /// Replaces the message boxes (tests answer through a recorder). Not owned.
    void set_prompter(Prompter* prompter);

    void Form_Activate();
    void Form_Resize();
    void mset_Click();
    void p1_DblClick(int row) override;
    void Check2_MouseUp();
    /// Edit > "Edit Selected Styles...": one change for every selected style, as one step of
    /// the history. Only a note in the status bar when nothing is selected.
    void edit_selected_styles();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void build_menus();
    CheckPanel* build_check_panel();
    void Form_Unload();
    Settings current_settings() const;

    /// A theme opened or started: every style shown from the top, nothing selected, no code,
    /// and the keys go to the preview.
    void start_afresh();
    /// The preview takes the keyboard focus, unless the user clicked into a text box that has it.
    void focus_preview();

    /// After Undo, Redo or a cancelled dialog changed the rows: the selection goes with a
    /// style that is gone, the preview and the code box show the rows as they are.
    void rows_changed();

    class View;

    OpenTheme* m_theme;
    std::unique_ptr<Prompter> m_message_boxes;
    std::unique_ptr<View> m_view;
    EditorLauncher m_editors;
    Settings m_settings;
    QString m_settings_path;
    QString m_pending_open;
    /// How a resize redraws: afresh until the window has shown the theme once.
    PlotMode m_resize_plot = PlotMode::Fresh;
    bool m_style_changed = false;
    bool m_unloaded = false;
    /// The code box shows the text of cur_row.
    bool m_code_shown = false;
    /// The text box that has the focus got it from a click.
    bool m_text_box_clicked = false;
    ThemePanel* m_panel = nullptr;
    PreviewNavigator* m_navigator = nullptr;
    FileCommands* m_files = nullptr;
    PanelItems* m_panel_items = nullptr;

    HistoryWindow* m_history_window = nullptr;

    // Controls; each keeps its design name as its objectName.
    QWidget* m_preview_frame;
    PreviewWidget* m_preview;
    NoticeBar* m_notice_bar;
    QScrollBar* m_scroll_bar;
    QPlainTextEdit* m_code_box;

    QMenu* m_code_menu;
    std::array<QAction*, 2> m_presentation_actions {};
    std::array<QAction*, 5> m_code_actions {};
    std::array<QAction*, 2> m_help_actions {};
    QAction* m_border_pref_action;
    QAction* m_select_all_action;
};

} // namespace tintwell
