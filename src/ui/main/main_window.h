#pragma once

#include "model/add_element.h"
#include "model/document.h"
#include "model/theme_view.h"
#include "ui/main/editor_launcher.h"
#include "ui/main/settings.h"

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

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

class FileDialogs;
class OwnerDrawnButton;
class PreviewWidget;

/// `f1`, the program's window: the open theme, its metadata fields, presentation list, element
/// search, preview and menus. It shows the core's messages and questions and receives the
/// readers' effects on the window.
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
    PreviewWidget* preview() const { return Picture1; }
    EditorLauncher& editors() { return m_editors; }
    const RecentFiles& recent() const { return m_settings.recent; }
    int search_pos() const { return m_search_pos; }

    /// Replaces the message boxes (tests answer through a recorder). Not owned.
    void set_prompter(Prompter* prompter);
    /// Replaces the Open and Save dialogs. Not owned.
    void set_file_dialogs(FileDialogs* dialogs);
    /// Replaces the Add Elements dialog: returns the chosen entries for the document. Null
    /// brings the dialog back.
    void set_element_chooser(std::function<ElementSelection(Document&)> chooser);

    // ThemeView
    void clear_presentations() override;
    void add_presentation(std::string_view name) override;
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
    void mf_Click(int index);
    void mset_Click();
    void loadole(const QString& path);
    void updatmf(const QString& path);
    void show_presentations();
    void plot(int mode);
    void p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos);
    void p1_MouseMove(int row);
    void p1_DblClick(int row);
    void Picture1_MouseDown();
    void vs_Scroll();
    void command1_Click();
    void Command2_Click();
    void Check2_MouseUp();

    // Controls, named as in the design.
    QPushButton* Command2;
    QLabel* Label1;
    QCheckBox* Check1;
    std::array<QLabel*, 5> Label2;
    QListWidget* List1;
    QLineEdit* title;
    QPlainTextEdit* Text3;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QCheckBox* Check2;
    QLabel* Label3;
    QFrame* Shape1;
    QLineEdit* Text4;
    OwnerDrawnButton* command1;
    QWidget* Picture2;
    PreviewWidget* Picture1;
    QScrollBar* vs;
    QPlainTextEdit* Text5;

    QMenu* mfile;
    QMenu* medit;
    QMenu* mpref;
    QMenu* mhelp;
    QMenu* mcode;
    /// File items 0 to 18; separators included, 12 to 18 are the recent files.
    std::array<QAction*, 19> mf {};
    std::array<QAction*, 2> med {};
    std::array<QAction*, 1> mset {};
    std::array<QAction*, 3> mhlp {};
    /// Items 1 to 4; 0 is unused.
    std::array<QAction*, 5> mcod2 {};

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void build_menus();
    void new_theme(int index);
    void open_command();
    void save_command();
    void reopen(int index);
    void load_into_preview(const QString& path);
    /// loadbinary2, the caption and parse. A file that memory cannot hold is reported as
    /// "FILE: not enough memory to read it" and counts as rejected.
    bool read_theme_file(const QString& path);
    /// What a rejected file must not take from the open theme: its kind, unsaved state,
    /// metadata, name, caption and presentation list.
    struct OpenTheme
    {
        ThemeKind kind;
        bool modified;
        ThemeMetadata metadata;
        std::string file_name;
        QString caption;
        QStringList presentations;
    };
    OpenTheme keep_open_theme() const;
    void restore_open_theme(const OpenTheme& kept);
    void show_recent();
    void refresh_recent_enabled();
    void place_frame_around(int row, int extra_width, int extra_height);
    void scroll_to_row(int row);
    void Form_Unload();
    Settings current_settings() const;

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
    int m_plot_arg = 0;
    int m_search_pos = 0;
    int m_busy = 0;
    bool m_style_changed = false;
    bool m_unloaded = false;
};

} // namespace tintwell
