#include "ui/main/file_commands.h"

#include "app/version.h"
#include "analysis/theme_lint.h"
#include "model/new_theme.h"
#include "model/open_style.h"
#include "model/reader.h"
#include "model/writer.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/file_names.h"
#include "ui/dialogs/compare_window.h"
#include "ui/main/notice_bar.h"
#include "ui/main/read_progress.h"
#include "ui/theme/editor_launcher.h"
#include "ui/theme/theme_window.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <algorithm>
#include <new>

namespace tintwell {

namespace {

const QString open_filter = "Garmin Themes (*.kmtf)";
const QString save_filter = "Garmin Theme File (kmtf) (*.kmtf)";

std::size_t slot(FileCommand command)
{
    return static_cast<std::size_t>(command);
}

} // namespace

FileCommands::FileCommands(ThemeWindow& window, RecentFiles& recent, const Parts& parts)
    : QObject(&window.host())
    , m_window(window)
    , m_theme(window.theme())
    , m_recent(recent)
    , m_parts(parts)
    , m_qt_dialogs(std::make_unique<QtFileDialogs>())
    , m_dialogs(m_qt_dialogs.get())
{
    build_file_menu(parts.file_menu);
}

FileCommands::~FileCommands() = default;

void FileCommands::build_file_menu(QMenu* menu)
{
    // The items are named by their place in the menu, separators and recent entries included.
    int place = 0;
    const auto name_next = [&place](QAction* item) {
        item->setObjectName(QString("mf_%1").arg(place++));
        return item;
    };
    const auto add_file_item = [&](const char* caption, FileCommand command) {
        QAction* item = name_next(menu->addAction(caption));
        m_file_actions[slot(command)] = item;
        connect(item, &QAction::triggered, this, [this, command] { mf_Click(command); });
    };
    const auto add_separator = [&] { name_next(menu->addSeparator()); };
    add_file_item("New Car && Zumo Theme", FileCommand::NewCarZumo);
    add_file_item("New Sport && Fitness Theme", FileCommand::NewSportFitness);
    add_separator();
    add_file_item("Open", FileCommand::Open);
    // Outside the numbered items, so that each keeps its name.
    QAction* compare_item = menu->addAction("Compare With\u2026");
    compare_item->setObjectName("compare_with");
    connect(
        compare_item, &QAction::triggered, this, [this] { compare_with(m_window, *m_dialogs); });
    add_separator();
    add_file_item("Save", FileCommand::Save);
    add_separator();
    add_file_item("About", FileCommand::About);
    add_separator();
    add_file_item("Print", FileCommand::Print);
    add_separator();
    add_file_item("Exit", FileCommand::Exit);
    for (std::size_t i = 0; i < m_recent_actions.size(); ++i) {
        m_recent_actions[i] = name_next(menu->addAction(QString()));
        connect(m_recent_actions[i], &QAction::triggered, this, [this, i] { open_recent(i); });
    }
    action(FileCommand::Open)->setShortcut(QKeySequence::Open);
    // Save keeps its dialog; Ctrl+S saves to the theme's own file, as editors do.
    action(FileCommand::Save)->setShortcut(QKeySequence("Ctrl+Shift+S"));
    action(FileCommand::Print)->setShortcut(QKeySequence("Ctrl+P"));
    action(FileCommand::Exit)->setShortcut(QKeySequence("Ctrl+Q"));
    auto* save_to_file_action = new QAction("Save to File", &m_window.host());
    save_to_file_action->setObjectName("save_to_file");
    save_to_file_action->setShortcut(QKeySequence("Ctrl+S"));
    m_window.host().addAction(save_to_file_action);
    connect(save_to_file_action, &QAction::triggered, this, &FileCommands::save_to_file);
    action(FileCommand::Print)->setEnabled(false);
    action(FileCommand::About)->setEnabled(false);
    connect(menu, &QMenu::aboutToShow, this, [this] {
        action(FileCommand::About)->setEnabled(m_window.editors().has(EditorKind::About));
    });
}

QAction* FileCommands::action(FileCommand command) const
{
    return m_file_actions[slot(command)];
}

void FileCommands::set_file_dialogs(FileDialogs* dialogs)
{
    m_dialogs = dialogs ? dialogs : m_qt_dialogs.get();
}

Document& FileCommands::doc() const
{
    return m_theme.document();
}

void FileCommands::mf_Click(FileCommand command)
{
    switch (command) {
    case FileCommand::NewCarZumo:
    case FileCommand::NewSportFitness:
        new_theme(command);
        break;
    case FileCommand::Open:
        open_command();
        break;
    case FileCommand::Save:
        save_command();
        break;
    case FileCommand::About:
        m_window.editors().open(EditorKind::About, &m_window.host(), doc(), doc().cur_row);
        break;
    case FileCommand::Print:
        break;
    case FileCommand::Exit:
        m_window.host().close();
        break;
    }
}

void FileCommands::new_theme(FileCommand command)
{
    const ThemeKind old_kind = doc().kind;
    const bool old_theme_open = doc().theme_open;
    const bool old_edit_enabled = m_window.action(EditCommand::AddPresentations)->isEnabled();
    const ThemeKind kind =
        command == FileCommand::NewSportFitness ? ThemeKind::SportFitness : ThemeKind::CarZumo;
    const bool car_zumo = kind == ThemeKind::CarZumo;
    doc().kind = kind;
    doc().view().set_edit_menu_enabled(car_zumo);
    doc().theme_open = true;
    if (!newproject(doc())) {
        // The user saves first: the open theme stays exactly as it was, kind included.
        doc().kind = old_kind;
        doc().theme_open = old_theme_open;
        doc().view().set_edit_menu_enabled(old_edit_enabled);
        save_command();
        return;
    }
    emit started_afresh();
    m_has_file = false;
    m_theme.clear_history();
    doc().view().set_locale_version_enabled(car_zumo);
    cap(QString());
    emit m_theme.theme_replaced(QString());
    emit theme_begun();
}

bool FileCommands::save_first()
{
    if (!doc().modified || !doc().prompter().ask_yes_no("Save Current file?")) {
        return false;
    }
    save_command();
    return true;
}

void FileCommands::open_command()
{
    if (save_first()) {
        return;
    }
    const QString path =
        m_dialogs->open_path(&m_window.host(), from_bytes(doc().file_name), open_filter);
    if (path.isEmpty() || path == "*.osm") {
        return;
    }
    open_file(path);
}

bool FileCommands::open_file(const QString& path)
{
    tintwell::busy_on();
    const KeptTheme kept = keep_open_theme();
    QStringList notices;
    bool read = false;
    bool cancelled = false;
    {
        ReadProgressDialog progress(&m_window.host(), path, m_read_progress_delay);
        read = read_theme_file(path, notices, progress.callback());
        cancelled = progress.cancelled();
    }
    if (read) {
        m_has_file = true;
        m_theme.clear_history();
        emit started_afresh();
        m_parts.notice_bar->show_notices(notices);
        m_window.plot(PlotMode::Fresh);
        updatmf(path);
        emit m_theme.theme_replaced(path);
    } else {
        restore_open_theme(kept);
        // A file whose reading the user stopped is fine: it stays among the recent files.
        if (!cancelled) {
            forget_recent(path);
        }
        release_freed_memory();
    }
    tintwell::busy_off();
    return read;
}

bool FileCommands::read_theme_file(
    const QString& path, QStringList& notices, const ReadProgress& progress)
{
    try {
        const bool read = open_theme(
            doc(), to_bytes(path),
            [&](std::string_view bytes, ThemeKind kind) {
                notices.clear();
                for (const Finding& f : save_findings(bytes, kind)) {
                    notices << from_bytes(save_notice(f, kind));
                }
            },
            progress);
        if (!read) {
            return false;
        }
        // Part of reading: the history starts from the shortened colours.
        shorten_day_colours(doc());
        return true;
    } catch (const std::bad_alloc&) {
        // The reader leaves the open theme's rows as they were; the callers put back the rest,
        // as for a rejected file.
        doc().prompter().message(to_bytes(path) + ": not enough memory to read it");
        return false;
    }
}

FileCommands::KeptTheme FileCommands::keep_open_theme() const
{
    KeptTheme kept { doc().kind, doc().theme_open, doc().metadata, doc().file_name,
        m_window.host().windowTitle(), {} };
    for (int i = 0; i < m_parts.presentation_list->count(); ++i) {
        kept.presentations << m_parts.presentation_list->item(i)->text();
    }
    return kept;
}

// A rejected file leaves the rows of the open theme in place; without this they would go on
// under the rejected file's name and metadata, and the next Save would write them there.
void FileCommands::restore_open_theme(const KeptTheme& kept)
{
    doc().kind = kept.kind;
    doc().theme_open = kept.theme_open;
    m_theme.follow_history();
    doc().metadata = kept.metadata;
    doc().file_name = kept.file_name;
    doc().view().metadata_changed(doc().metadata);
    m_window.host().setWindowTitle(kept.caption);
    m_parts.presentation_list->clear();
    m_parts.presentation_list->addItems(kept.presentations);
}

bool FileCommands::ready_to_save()
{
    if (doc().row_count() < 1) {
        doc().prompter().message("No data to save");
        return false;
    }
    if (m_parts.title->text().trimmed().isEmpty()) {
        doc().prompter().message("Theme needs a Title");
        m_parts.title->setFocus();
        return false;
    }
    if (m_parts.description->toPlainText().trimmed().isEmpty()) {
        doc().prompter().message("Theme needs a description");
        m_parts.description->setFocus();
        return false;
    }
    return true;
}

void FileCommands::saved_to(const QString& path)
{
    m_theme.mark_saved();
    doc().file_name = to_bytes(path);
    m_has_file = true;
    updatmf(path);
    emit m_theme.theme_saved(path);
}

void FileCommands::save_to_file()
{
    if (!m_has_file) {
        save_command();
        return;
    }
    if (!ready_to_save()) {
        return;
    }
    const QString path = from_bytes(doc().file_name);
    if (save_in_place(doc(), doc().file_name)) {
        saved_to(path);
    }
}

void FileCommands::save_command()
{
    if (!ready_to_save()) {
        return;
    }
    const QString current = from_bytes(doc().file_name);
    QString path = m_dialogs->save_path(&m_window.host(), current, current, save_filter);
    if (path.isEmpty()) {
        return;
    }
    if (!path.toLower().contains(".kmtf")) {
        path += ".kmtf";
    }
    // The theme takes the new name only once it is written there; declining to overwrite
    // leaves it under its old name.
    if (save_code(doc(), to_bytes(path))) {
        saved_to(path);
    }
}

void FileCommands::open_recent(std::size_t slot)
{
    const QString path = from_bytes(m_recent[slot]);
    if (path.isEmpty()) {
        return;
    }
    if (!QFileInfo(path).isFile()) {
        doc().prompter().message("Cannot find " + to_bytes(path));
        m_recent[slot].clear();
        updatmf(QString());
        return;
    }
    if (save_first()) {
        return;
    }
    open_file(path);
}

void FileCommands::loadole(const QString& path)
{
    const QString lower_path = path.toLower();
    if (!lower_path.endsWith(".kmtf") || lower_path == from_bytes(doc().file_name).toLower()) {
        return;
    }
    if (save_first()) {
        return;
    }
    open_file(path);
}

void FileCommands::updatmf(const QString& path)
{
    if (path.isEmpty()) {
        tintwell::updatmf(m_recent, {});
        show_recent();
        // The entries moved up: each item takes the greying of the file it now names.
        refresh_recent_enabled();
        return;
    }
    cap(path);
    tintwell::updatmf(m_recent, to_bytes(path));
    show_recent();
    refresh_recent_enabled();
}

void FileCommands::forget_recent(const QString& path)
{
    const std::string bytes = to_bytes(path);
    const auto listed = std::find(m_recent.begin(), m_recent.end(), bytes);
    if (listed == m_recent.end()) {
        return;
    }
    std::replace(m_recent.begin(), m_recent.end(), bytes, std::string());
    updatmf(QString());
}

void FileCommands::show_recent()
{
    for (std::size_t i = 0; i < m_recent.size(); ++i) {
        QAction* entry = m_recent_actions[i];
        const QString path = from_bytes(m_recent[i]);
        entry->setText(QString(path).replace("&", "&&"));
        entry->setData(path);
        entry->setVisible(!path.isEmpty());
    }
}

void FileCommands::refresh_recent_enabled()
{
    for (std::size_t i = 0; i < m_recent.size(); ++i) {
        m_recent_actions[i]->setEnabled(QFileInfo(from_bytes(m_recent[i])).isFile());
    }
}

void FileCommands::cap(const QString& path)
{
    // "[*]" is where the window shows its unsaved-changes mark; one in the path is doubled so
    // that it shows as written.
    const QString shown = path.toLower().replace("[*]", "[*][*]");
    m_window.host().setWindowTitle(QString("Tintwell ") + program_version + " " + shown + "[*]");
}

} // namespace tintwell
