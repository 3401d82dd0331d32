#pragma once

#include "model/document.h"
#include "model/reader.h"
#include "ui/common/menu_commands.h"
#include "ui/main/settings.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <cstddef>
#include <memory>

class QAction;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;

namespace tintwell {

class FileDialogs;
class NoticeBar;
class OpenTheme;
class ThemeWindow;

/// The File menu's commands on the open theme: New, Open, Compare With, Save, About, Exit and
/// the recent files, and the other ways a file is opened (a drop, the command line). Its
/// questions and messages go through the theme's prompter, its file choices through the
/// FileDialogs.
class FileCommands : public QObject
{
    Q_OBJECT
public:
    /// The window's parts the commands read or fill: the File menu they build, the title and
    /// description a save needs, the presentation list and the notice bar a file read changes.
    struct Parts
    {
        QMenu* file_menu;
        QLineEdit* title;
        QPlainTextEdit* description;
        QListWidget* presentation_list;
        NoticeBar* notice_bar;
    };
    /// `recent` is the settings' list of recent files, which the commands keep up to date.
    FileCommands(ThemeWindow& window, RecentFiles& recent, const Parts& parts);
    ~FileCommands() override;

    QAction* action(FileCommand command) const;
    const RecentFiles& recent() const { return m_recent; }
    /// Replaces the Open and Save dialogs. Not owned; null brings the toolkit's dialogs back.
    void set_file_dialogs(FileDialogs* dialogs);

    void mf_Click(FileCommand command);
    /// Ctrl+S: writes the theme over the file it was read from or last saved to, with no dialog
    /// and no question about overwriting, after the same title and description checks as Save;
    /// an untitled theme goes through Save instead.
    void save_to_file();
    /// Reopens recent entry `slot` (0 is the most recent).
    void open_recent(std::size_t slot);
    /// A file dropped on the preview: a theme file other than the open one is opened, after
    /// the question about unsaved changes.
    void loadole(const QString& path);
    /// Every way of opening a file ends here: Open, a recent entry, a drop and the command line.
    /// A theme that is read replaces the open one and goes to the top of the recent files; a
    /// rejected file leaves the open theme exactly as it was and is dropped from the recent
    /// files; one whose reading the user cancelled leaves the open theme too, without a message,
    /// and stays in the recent files. Returns true when the file was read.
    bool open_file(const QString& path);
    /// How long a theme is read before "Reading FILE..." shows (half a second).
    void set_read_progress_delay(std::chrono::milliseconds delay) { m_read_progress_delay = delay; }
    /// The caption for a theme at `path` (empty: a new theme), with the unsaved-changes mark.
    void cap(const QString& path);
    /// Shows the recent files in the menu, each greyed when its file is gone.
    void show_recent();

signals:
    /// Another theme is shown: from the top, nothing selected, no code and no notices.
    void started_afresh();
    /// New began a theme: the window offers its first elements.
    void theme_begun();

private:
    void build_file_menu(QMenu* menu);
    Document& doc() const;
    void new_theme(FileCommand command);
    void open_command();
    void save_command();
    /// The checks every save makes first: rows to save, a title and a description. A missing
    /// one is named, with the focus put on its box.
    bool ready_to_save();
    /// After a theme was written to `path`: not modified, named after the file, at the top of
    /// the recent files.
    void saved_to(const QString& path);
    /// Reads the file into the document. A file that memory cannot hold is reported as
    /// "FILE: not enough memory to read it" and counts as rejected. `notices` gets what saving
    /// the file read would change.
    bool read_theme_file(
        const QString& path, QStringList& notices, const ReadProgress& progress = {});
    /// Asks "Save Current file?" when there are unsaved changes. Yes runs the Save command and
    /// returns true: the caller stops, leaving the open theme as it is.
    bool save_first();
    /// A path that joins the recent files (at the top) and names the caption; empty only tidies
    /// the list after an entry was cleared.
    void updatmf(const QString& path);
    void forget_recent(const QString& path);
    void refresh_recent_enabled();

    /// What a rejected file must not take from the open theme: its kind, metadata, name, caption
    /// and presentation list.
    struct KeptTheme
    {
        ThemeKind kind;
        bool theme_open;
        ThemeMetadata metadata;
        std::string file_name;
        QString caption;
        QStringList presentations;
    };
    KeptTheme keep_open_theme() const;
    void restore_open_theme(const KeptTheme& kept);

    ThemeWindow& m_window;
    OpenTheme& m_theme;
    RecentFiles& m_recent;
    Parts m_parts;
    std::unique_ptr<FileDialogs> m_qt_dialogs;
    FileDialogs* m_dialogs;
    std::array<QAction*, 7> m_file_actions {};
    std::chrono::milliseconds m_read_progress_delay { 500 };
    std::array<QAction*, 7> m_recent_actions {};
    /// The open theme was read from or saved to a file (`file_name`); a new theme has none.
    bool m_has_file = false;
};

} // namespace tintwell
