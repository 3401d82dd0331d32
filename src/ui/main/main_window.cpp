#include "ui/main/main_window.h"

#include "app/version.h"
#include "colour/colour_codes.h"
#include "colour/theme_lint.h"
#include "model/new_theme.h"
#include "model/presentations.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/editing_keys.h"
#include "ui/common/latin1.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/add_elements_dialog.h"
#include "ui/dialogs/check_panel.h"
#include "ui/dialogs/colour_tools.h"
#include "ui/dialogs/compare_window.h"
#include "ui/main/edit_command.h"
#include "ui/main/file_dialogs.h"
#include "ui/main/message_box_prompter.h"
#include "ui/main/notice_bar.h"
#include "ui/main/owner_drawn_button.h"
#include "ui/main/preview_widget.h"
#include "ui/main/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <new>

namespace tintwell {

namespace {

const QString open_filter = "Garmin Themes (*.kmtf)";
const QString save_filter = "Garmin Theme File (kmtf) (*.kmtf)";

// Design geometry of the preview frame, in twips.
constexpr int picture2_left = 2760;
constexpr int picture2_top = 120;
constexpr int picture1_offset = 20;

std::string to_bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString from_bytes(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Typed letters become capitals: a-z and the small letters of Latin-1 (not the division sign,
// and not the y with diaeresis, which has no Latin-1 capital). Everything else stays as typed.
QString upper_typed(const QString& typed)
{
    QString out = typed;
    for (QChar& c : out) {
        const char16_t code = c.unicode();
        if ((code >= u'a' && code <= u'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) {
            c = QChar(static_cast<char16_t>(code - 32));
        }
    }
    return out;
}

// A style or description text as a text box shows it: line breaks as single LFs.
QString display_text(const std::string& code)
{
    return from_latin1(text::replace(code, "\r\n", "\n"));
}

// The keys of Undo and Redo, which the theme's history takes even from a metadata field.
bool history_key(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo)
        || key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)
        || key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

// A control made, named and placed (pixels) as designed; `args` come before its parent.
template <typename Control, typename... Args>
Control* placed(QWidget* parent, const QString& name, QRect place, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

// What the code box shows for a selected style.
std::string selected_code(const StyleRow& row)
{
    return text::replace("<STYLE " + std::string(row.style_text()), "  ", " ");
}

template <typename Command> std::size_t slot(Command command)
{
    return static_cast<std::size_t>(command);
}

} // namespace

MainWindow::MainWindow(const QString& pending_open, const QString& settings_path, QWidget* parent)
    : QMainWindow(parent)
    , m_message_boxes(std::make_unique<MessageBoxPrompter>(this))
    , m_prompter(m_message_boxes.get())
    , m_qt_dialogs(std::make_unique<QtFileDialogs>())
    , m_dialogs(m_qt_dialogs.get())
    , m_settings_path(settings_path)
    , m_history(new QUndoStack(this))
{
    setObjectName("f1");
    m_pending_open = pending_open;
    m_pending_open.remove(QChar('"'));
    // A path relative to the folder the program was started in would name another file, or
    // none, when the recent-file entry is used in a later run.
    if (!m_pending_open.isEmpty()) {
        m_pending_open = QDir::cleanPath(QFileInfo(m_pending_open).absoluteFilePath());
    }
    m_doc.attach(m_prompter, this);
    set_element_chooser(nullptr);
    m_editors.set_edit_sink(
        [this](DocumentEdit edit, std::string what) { push_edit(std::move(edit), what); });

    build_controls();
    build_menus();
    build_history();
    build_navigation();
    build_check_panel();
    new ColourTools(*this);

    m_border_pref_action->setChecked(true);
    m_settings = loaddata(to_bytes(m_settings_path), std::cerr);
    m_border_pref_action->setChecked(m_settings.border_pref);
    m_doc.border_pref = m_settings.border_pref;
    m_show_code_check->setChecked(m_settings.show_code);
    m_code_box->setVisible(m_settings.show_code);
    apply_view_settings(
        load_view_settings(view_settings_path(to_bytes(m_settings_path)), std::cerr));
    show_recent();

    resize(px(15450), px(11200));
    cent(*this);
    keep_title_bar_on_screen(*this);
    cap(QString());
    m_doc.file_name = untitled_file_name;
}

MainWindow::~MainWindow()
{
    // Deleting the history clears it, which would report a change to those who follow it (this
    // window among them) after the theme they read is gone.
    m_history->disconnect();
    m_doc.attach(nullptr, nullptr);
}

QString MainWindow::default_settings_path()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/system";
    QDir().mkpath(folder);
    return folder + "/tintwell.dat";
}

void MainWindow::build_controls()
{
    auto* central = new QWidget(this);
    central->setObjectName("client");
    setCentralWidget(central);
    QFont arial("Arial");
    arial.setPointSize(9);
    central->setFont(arial);

    m_add_elements_button =
        placed<QPushButton>(central, "Command2", tw_rect(468, 336, 372, 324), "+");
    m_add_elements_label =
        placed<QLabel>(central, "Label1", tw_rect(984, 384, 1608, 312), "Add Line/Polygon");
    m_edit_text_check =
        placed<QCheckBox>(central, "Check1", tw_rect(744, 900, 1296, 324), "Edit Text");

    const std::array<const char*, 5> label_captions = { "Presentations", "Title", "Description",
        "Locality", "Version" };
    const std::array<QRect, 5> label_rects = { tw_rect(300, 1464, 2076, 312),
        tw_rect(300, 3360, 2076, 312), tw_rect(240, 4200, 2076, 312), tw_rect(240, 6120, 2076, 312),
        tw_rect(300, 7080, 2076, 312) };
    for (std::size_t i = 0; i < m_field_labels.size(); ++i) {
        m_field_labels[i] =
            placed<QLabel>(central, QString("Label2_%1").arg(i), label_rects[i], label_captions[i]);
    }
    m_presentation_list = placed<QListWidget>(central, "List1", tw_rect(168, 1860, 2316, 1368));
    m_presentation_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_presentation_list->setFocusPolicy(Qt::NoFocus);

    m_title_edit = placed<QLineEdit>(central, "title", tw_rect(120, 3720, 2436, 396));
    m_description_edit = placed<QPlainTextEdit>(central, "Text3", tw_rect(120, 4560, 2436, 1356));
    m_description_edit->setTabChangesFocus(true);
    // Its typing is a step of the theme's history; a second history of its own would disagree.
    m_description_edit->setUndoRedoEnabled(false);
    m_locale_edit = placed<QLineEdit>(central, "Text1", tw_rect(120, 6480, 2436, 468));
    m_version_edit = placed<QLineEdit>(central, "Text2", tw_rect(696, 7560, 1272, 468));

    m_show_code_check =
        placed<QCheckBox>(central, "Check2", tw_rect(720, 8400, 1332, 252), "Show Code");
    m_update_label =
        placed<QLabel>(central, "Label3", tw_rect(168, 8880, 2412, 312), "UPDATE AVAILABLE");
    m_update_label->setFont(QFont("MS Sans Serif", 8));
    m_update_label->hide();

    m_search_frame = placed<QFrame>(central, "Shape1", tw_rect(240, 9360, 2052, 1092));
    m_search_frame->setFrameShape(QFrame::Box);
    m_search_frame->setLineWidth(1);
    m_search_edit = placed<QLineEdit>(central, "Text4", tw_rect(360, 9480, 1800, 336));
    m_search_edit->setStyleSheet("QLineEdit { background-color: white; }");
    m_search_button =
        placed<OwnerDrawnButton>(central, "command1", tw_rect(720, 9960, 1188, 360), "Search");
    m_search_button->draw_button("Search", 0);

    m_preview_frame =
        placed<QWidget>(central, "Picture2", tw_rect(picture2_left, picture2_top, 12090, 9360));
    m_preview_frame->setAutoFillBackground(true);
    QPalette frame_palette = m_preview_frame->palette();
    frame_palette.setColor(QPalette::Window, QColor(224, 224, 224));
    m_preview_frame->setPalette(frame_palette);
    m_preview = new PreviewWidget(m_doc, m_preview_frame);
    m_preview->setGeometry(tw_rect(picture1_offset, picture1_offset, 11712, 11550));
    m_notice_bar = new NoticeBar(m_preview_frame);

    m_scroll_bar = placed<QScrollBar>(central, "vs", tw_rect(14892, 504, 228, 8028), Qt::Vertical);
    m_scroll_bar->setRange(0, 1);

    m_code_box = placed<QPlainTextEdit>(central, "Text5", tw_rect(2760, 9600, 12132, 972));
    m_code_box->setFont(QFont("Courier", 9));
    m_code_box->setReadOnly(true);
    m_code_box->hide();

    connect(m_add_elements_button, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(m_show_code_check, &QCheckBox::clicked, this, &MainWindow::Check2_MouseUp);
    connect(m_search_button, &OwnerDrawnButton::clicked, this, &MainWindow::command1_Click);
    connect(m_scroll_bar, &QScrollBar::valueChanged, this, &MainWindow::vs_Scroll);
    connect(m_preview, &PreviewWidget::sample_pressed, this, &MainWindow::p1_MouseDown);
    connect(m_preview, &PreviewWidget::sample_double_clicked, this, &MainWindow::p1_DblClick);
    connect(m_preview, &PreviewWidget::sample_hovered, this, &MainWindow::p1_MouseMove);
    connect(m_preview, &PreviewWidget::empty_pressed, this, &MainWindow::Picture1_MouseDown);
    connect(m_preview, &PreviewWidget::file_dropped, this, &MainWindow::loadole);

    connect(m_title_edit, &QLineEdit::textChanged, this,
        [this](const QString& text) { metadata_edited(MetadataField::Title, text); });
    connect(m_description_edit, &QPlainTextEdit::textChanged, this,
        [this] { metadata_edited(MetadataField::Description, m_description_edit->toPlainText()); });
    connect(m_locale_edit, &QLineEdit::textChanged, this,
        [this](const QString& text) { metadata_edited(MetadataField::Locale, text); });
    connect(m_version_edit, &QLineEdit::textChanged, this,
        [this](const QString& text) { metadata_edited(MetadataField::Version, text); });
    for (QWidget* field : std::initializer_list<QWidget*> {
             m_title_edit, m_description_edit, m_locale_edit, m_version_edit, m_search_edit }) {
        field->installEventFilter(this);
    }
}

void MainWindow::build_menus()
{
    m_file_menu = menuBar()->addMenu("File");
    m_file_menu->setObjectName("mfile");
    // The items are named by their place in the menu, separators and recent entries included.
    int place = 0;
    const auto name_next = [&place](QAction* item) {
        item->setObjectName(QString("mf_%1").arg(place++));
        return item;
    };
    const auto add_file_item = [&](const char* caption, FileCommand command) {
        QAction* item = name_next(m_file_menu->addAction(caption));
        m_file_actions[slot(command)] = item;
        connect(item, &QAction::triggered, this, [this, command] { mf_Click(command); });
    };
    const auto add_separator = [&] { name_next(m_file_menu->addSeparator()); };
    add_file_item("New Car && Zumo Theme", FileCommand::NewCarZumo);
    add_file_item("New Sport && Fitness Theme", FileCommand::NewSportFitness);
    add_separator();
    add_file_item("Open", FileCommand::Open);
    // Outside the numbered items, so that each keeps its name.
    QAction* compare_item = m_file_menu->addAction("Compare With\u2026");
    compare_item->setObjectName("compare_with");
    connect(compare_item, &QAction::triggered, this, [this] { compare_with(*this, *m_dialogs); });
    add_separator();
    add_file_item("Save", FileCommand::Save);
    add_separator();
    add_file_item("About", FileCommand::About);
    add_separator();
    add_file_item("Print", FileCommand::Print);
    add_separator();
    add_file_item("Exit", FileCommand::Exit);
    for (std::size_t i = 0; i < m_recent_actions.size(); ++i) {
        m_recent_actions[i] = name_next(m_file_menu->addAction(QString()));
        connect(m_recent_actions[i], &QAction::triggered, this, [this, i] { open_recent(i); });
    }
    action(FileCommand::Save)->setShortcut(QKeySequence("Ctrl+S"));
    action(FileCommand::Print)->setShortcut(QKeySequence("Ctrl+P"));
    action(FileCommand::Print)->setEnabled(false);
    action(FileCommand::About)->setEnabled(false);
    connect(m_file_menu, &QMenu::aboutToShow, this,
        [this] { action(FileCommand::About)->setEnabled(m_editors.has(EditorKind::About)); });

    m_edit_menu = menuBar()->addMenu("Edit");
    m_edit_menu->setObjectName("medit");
    m_undo_action = m_history->createUndoAction(this, "Undo");
    m_undo_action->setObjectName("undo");
    m_undo_action->setShortcut(QKeySequence::Undo);
    m_redo_action = m_history->createRedoAction(this, "Redo");
    m_redo_action->setObjectName("redo");
    m_redo_action->setShortcuts({ QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y") });
    m_history_action = new QAction("History", this);
    m_history_action->setObjectName("history");
    m_history_action->setCheckable(true);
    m_edit_menu->addActions({ m_undo_action, m_redo_action, m_history_action });
    m_edit_menu->addSeparator();
    const std::array<const char*, 2> edit_captions = { "Add Presentations",
        "Remove Presentations" };
    for (std::size_t i = 0; i < m_presentation_actions.size(); ++i) {
        m_presentation_actions[i] = m_edit_menu->addAction(edit_captions[i]);
        m_presentation_actions[i]->setObjectName(QString("med_%1").arg(i));
    }

    m_preference_menu = menuBar()->addMenu("Preference");
    m_preference_menu->setObjectName("mpref");
    m_border_pref_action =
        m_preference_menu->addAction("Set Border to 0.3 when Border Color does not exist");
    m_border_pref_action->setObjectName("mset_0");
    m_border_pref_action->setCheckable(true);
    connect(m_border_pref_action, &QAction::triggered, this, &MainWindow::mset_Click);

    m_help_menu = menuBar()->addMenu("Help");
    m_help_menu->setObjectName("mhelp");
    m_help_actions[slot(HelpCommand::CheckForUpdates)] =
        m_help_menu->addAction("Check for Updates");
    m_help_menu->addSeparator()->setObjectName("mhlp_1");
    m_help_actions[slot(HelpCommand::Manual)] = m_help_menu->addAction("Manual");
    action(HelpCommand::CheckForUpdates)->setObjectName("mhlp_0");
    action(HelpCommand::Manual)->setObjectName("mhlp_2");

    m_code_menu = new QMenu("mcode", this);
    m_code_menu->setObjectName("mcode");
    m_code_actions[slot(CodeCommand::CopyCode)] = m_code_menu->addAction("Copy Code");
    m_code_menu->addSeparator()->setObjectName("mcod2_2");
    m_code_actions[slot(CodeCommand::AddWidth)] = m_code_menu->addAction("Add BG/FG Width");
    m_code_actions[slot(CodeCommand::RemoveWidth)] = m_code_menu->addAction("Remove BG/FG Width");
    action(CodeCommand::CopyCode)->setObjectName("mcod2_1");
    action(CodeCommand::AddWidth)->setObjectName("mcod2_3");
    action(CodeCommand::RemoveWidth)->setObjectName("mcod2_4");
    m_code_menu->addSeparator();
    m_code_actions[slot(CodeCommand::CopyColours)] = m_code_menu->addAction("Copy Colours");
    m_code_actions[slot(CodeCommand::PasteColours)] = m_code_menu->addAction("Paste Colours");
    action(CodeCommand::CopyColours)->setObjectName("copy_colours");
    action(CodeCommand::PasteColours)->setObjectName("paste_colours");
}

void MainWindow::build_history()
{
    m_history_window = new QWidget(this, Qt::Tool);
    m_history_window->setObjectName("history_window");
    m_history_window->setWindowTitle("History");
    auto* steps = new QUndoView(m_history, m_history_window);
    steps->setObjectName("history_view");
    steps->setEmptyLabel("Start");
    steps->setCleanIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    auto* layout = new QVBoxLayout(m_history_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(steps);
    m_history_window->resize(px(4200), px(6300));
    m_history_window->installEventFilter(this);

    connect(m_history_action, &QAction::toggled, this, [this](bool shown) {
        if (!shown) {
            m_history_window->hide();
            return;
        }
        if (!m_history_window->isVisible()) {
            // Over the right of the preview, where it hides no control of the left panel.
            m_history_window->move(mapToGlobal(
                QPoint(std::max(0, width() - m_history_window->width() - px(600)), px(600))));
        }
        m_history_window->show();
        m_history_window->raise();
    });
    connect(m_history, &QUndoStack::cleanChanged, this, &MainWindow::follow_history);
    connect(m_history, &QUndoStack::indexChanged, this, &MainWindow::history_moved);
}

void MainWindow::build_check_panel()
{
    m_check_panel = new CheckPanel(*this);
    m_check_action = new QAction("Check Theme", this);
    m_check_action->setObjectName("check_theme");
    m_check_action->setShortcut(QKeySequence(Qt::Key_F7));
    menuBar()->insertAction(m_help_menu->menuAction(), m_check_action);
    connect(m_check_action, &QAction::triggered, m_check_panel, &CheckPanel::open);
}

QAction* MainWindow::action(FileCommand command) const
{
    return m_file_actions[slot(command)];
}

QAction* MainWindow::action(EditCommand command) const
{
    return m_presentation_actions[slot(command)];
}

QAction* MainWindow::action(CodeCommand command) const
{
    return m_code_actions[slot(command)];
}

QAction* MainWindow::action(HelpCommand command) const
{
    return m_help_actions[slot(command)];
}

void MainWindow::set_prompter(Prompter* prompter)
{
    m_prompter = prompter ? prompter : m_message_boxes.get();
    m_doc.attach(m_prompter, this);
}

void MainWindow::set_file_dialogs(FileDialogs* dialogs)
{
    m_dialogs = dialogs ? dialogs : m_qt_dialogs.get();
}

void MainWindow::set_element_chooser(std::function<ElementSelection(Document&)> chooser)
{
    if (chooser) {
        m_choose_elements = std::move(chooser);
        return;
    }
    m_choose_elements = [this](Document& doc) {
        AddElementsDialog dialog(doc, this);
        cent(dialog);
        dialog.exec();
        return dialog.selection();
    };
}

// The theme's history.

void MainWindow::push_edit(DocumentEdit edit, const std::string& description)
{
    if (edit.empty()) {
        return;
    }
    edit.apply(m_doc);
    if (m_pending.depth > 0) {
        if (!m_pending.handed_on) {
            m_pending.description = description;
            m_pending.handed_on = true;
        }
        m_pending.parts.push_back(std::move(edit));
        return;
    }
    std::vector<DocumentEdit> parts;
    parts.push_back(std::move(edit));
    push_step(std::move(parts), description, -1);
}

void MainWindow::push_step(
    std::vector<DocumentEdit> parts, const std::string& description, int merge_id)
{
    m_quiet_history = true;
    // Element names may end in blanks, which a menu item would show as a gap.
    m_history->push(new DocumentEditCommand(
        m_doc, std::move(parts), from_latin1(description).trimmed(), merge_id));
    m_quiet_history = false;
    m_shown_index = m_history->index();
    follow_history();
}

void MainWindow::own_change_made(DocumentEdit edit)
{
    if (m_pending.depth > 0 && !edit.empty()) {
        m_pending.parts.push_back(std::move(edit));
    }
}

MainWindow::StepScope::StepScope(MainWindow& window)
    : m_window(window)
{
    ++m_window.m_pending.depth;
}

MainWindow::StepScope::~StepScope()
{
    m_window.end_step();
}

void MainWindow::end_step()
{
    if (--m_pending.depth > 0) {
        return;
    }
    PendingStep step = std::move(m_pending);
    m_pending = PendingStep();
    if (step.handed_on) {
        push_step(std::move(step.parts), step.description, -1);
        return;
    }
    bool rows = false;
    bool presentations = false;
    for (auto part = step.parts.rbegin(); part != step.parts.rend(); ++part) {
        part->revert(m_doc);
        rows = rows || part->changes_rows();
        presentations = presentations || part->changes_presentations();
    }
    if (presentations) {
        list_presentations();
    }
    if (rows) {
        redraw_keeping_scroll();
    }
    // A dialog may have marked the theme modified while the user typed in it.
    follow_history();
}

void MainWindow::clear_history()
{
    m_quiet_history = true;
    m_history->clear();
    m_quiet_history = false;
    m_shown_index = 0;
    follow_history();
}

void MainWindow::follow_history()
{
    const bool unsaved = !m_history->isClean();
    m_doc.modified = unsaved;
    setWindowModified(unsaved);
}

void MainWindow::history_moved(int index)
{
    if (m_quiet_history) {
        return;
    }
    bool rows = false;
    bool presentations = false;
    for (int i = std::min(index, m_shown_index); i < std::max(index, m_shown_index); ++i) {
        if (const auto* step = dynamic_cast<const DocumentEditCommand*>(m_history->command(i))) {
            rows = rows || step->changes_rows();
            presentations = presentations || step->changes_presentations();
        }
    }
    m_shown_index = index;
    if (presentations) {
        list_presentations();
    }
    if (rows) {
        if (!m_doc.valid_row(m_doc.cur_row)) {
            // The selected style is gone: nothing is selected and the code box shows nothing.
            m_doc.cur_row = 0;
            nosel();
            m_code_shown = false;
            m_code_box->clear();
        }
        redraw_keeping_scroll();
        if (m_code_shown) {
            show_selected_code();
        }
    }
    follow_history();
}

void MainWindow::redraw_keeping_scroll()
{
    const int v = m_scroll_bar->value();
    plot(v);
    m_scroll_bar->setValue(v);
}

void MainWindow::set_code_text(const std::string& code)
{
    m_code_box->setPlainText(display_text(code));
}

void MainWindow::show_selected_code()
{
    m_code_shown = m_doc.valid_row(m_doc.cur_row);
    set_code_text(
        m_code_shown ? selected_code(m_doc.rows[static_cast<std::size_t>(m_doc.cur_row)]) : "");
}

void MainWindow::refresh_colours(int row)
{
    if (!m_doc.valid_row(row)) {
        return;
    }
    const StyleRow before = m_doc.rows[static_cast<std::size_t>(row)];
    get_colsfromcode(m_doc, row);
    DocumentEdit refresh;
    refresh.replace_row(row, before, m_doc.rows[static_cast<std::size_t>(row)]);
    own_change_made(std::move(refresh));
}

void MainWindow::metadata_edited(MetadataField field, const QString& text)
{
    // The fields are filled with their signals blocked when a theme is read, saved or stepped
    // through, so only the user's edits get here.
    struct FieldStep
    {
        std::string ThemeMetadata::*value;
        const char* description;
    };
    static constexpr std::array<FieldStep, 4> steps = { { { &ThemeMetadata::title, "Change Title" },
        { &ThemeMetadata::description, "Change Description" },
        { &ThemeMetadata::locale, "Change Locality" },
        { &ThemeMetadata::version, "Change Version" } } };
    const FieldStep& step = steps[static_cast<std::size_t>(field)];
    ThemeMetadata metadata = m_doc.metadata;
    metadata.*step.value = to_latin1(text);
    DocumentEdit edit = metadata_edit(m_doc, metadata);
    if (edit.empty()) {
        return;
    }
    if (m_pending.depth > 0) {
        push_edit(std::move(edit), step.description);
        return;
    }
    edit.apply(m_doc);
    // Without a theme there is nothing to save or to take back.
    if (!m_doc.theme_open) {
        return;
    }
    std::vector<DocumentEdit> parts;
    parts.push_back(std::move(edit));
    const int field_count = static_cast<int>(steps.size());
    push_step(
        std::move(parts), step.description, m_typing_run * field_count + static_cast<int>(field));
}

// The effects of the readers and commands on the window.

void MainWindow::clear_presentations()
{
    m_presentation_list->clear();
}

void MainWindow::add_presentation(std::string_view name)
{
    m_presentation_list->addItem(from_latin1(name));
}

void MainWindow::set_edit_menu_enabled(bool enabled)
{
    for (QAction* item : m_presentation_actions) {
        item->setEnabled(enabled);
    }
}

void MainWindow::set_locale_version_enabled(bool enabled)
{
    m_locale_edit->setEnabled(enabled);
    m_version_edit->setEnabled(enabled);
}

void MainWindow::metadata_changed(const ThemeMetadata& metadata)
{
    // A field that already shows the value keeps its cursor: undoing or typing into another
    // field must not move it.
    const auto show = [](QLineEdit* field, const std::string& value) {
        const QString text = from_latin1(value);
        if (field->text() != text) {
            const QSignalBlocker block(field);
            field->setText(text);
        }
    };
    show(m_title_edit, metadata.title);
    show(m_locale_edit, metadata.locale);
    show(m_version_edit, metadata.version);
    const QString description = display_text(metadata.description);
    if (m_description_edit->toPlainText() != description) {
        const QSignalBlocker block(m_description_edit);
        m_description_edit->setPlainText(description);
    }
}

void MainWindow::nosel()
{
    m_selected = false;
    m_preview->hide_frame();
}

void MainWindow::reset_search()
{
    m_search_pos = 0;
}

void MainWindow::focus_title()
{
    m_title_edit->setFocus();
}

void MainWindow::clear_preview()
{
    m_selected = false;
    m_preview->hide_frame();
    m_preview->update();
}

void MainWindow::busy_on()
{
    tintwell::busy_on();
}

void MainWindow::busy_off()
{
    tintwell::busy_off();
}

// Window life.

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Some platforms never activate a window (offscreen, no window manager); the first show
    // stands in for the first activation there.
    if (!m_pending_open.isEmpty()) {
        QTimer::singleShot(0, this, &MainWindow::Form_Activate);
    }
}

void MainWindow::Form_Activate()
{
    m_plot_arg = 1;
    if (m_pending_open.isEmpty()) {
        return;
    }
    const QString path = m_pending_open;
    m_pending_open.clear();
    open_file(path);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainWindow::Form_Resize()
{
    const int window_width = tw(frameGeometry().width());
    const int window_height = tw(frameGeometry().height());
    const int vs_width = tw(m_scroll_bar->width());
    const int w = window_width - picture2_left - 330;
    m_scroll_bar->move(px(window_width - 330 - vs_width), m_scroll_bar->y());
    if (w > 30) {
        m_preview_frame->resize(px(w), m_preview_frame->height());
        m_scroll_bar->move(m_scroll_bar->x(), m_preview_frame->y());
    }
    const int w1 = tw(m_preview_frame->width()) - 120;
    if (w1 > 30) {
        m_preview->resize(px(w1), m_preview->height());
    }
    // The status bar, when shown, takes its height from the preview frame.
    const int frame_height = window_height - picture2_top - (!m_code_box->isHidden() ? 2000 : 1100)
        - status_bar_height();
    if (frame_height > 0) {
        m_preview_frame->resize(m_preview_frame->width(), px(frame_height));
    }
    m_code_box->setGeometry(m_code_box->x(),
        m_preview_frame->y() + m_preview_frame->height() + px(50), m_preview_frame->width(),
        m_code_box->height());
    if (m_preview_frame->height() > px(120)) {
        m_preview->resize(m_preview->width(), m_preview_frame->height() - px(120));
    }
    m_scroll_bar->resize(m_scroll_bar->width(), m_preview_frame->height());
    busy_on();
    plot(m_plot_arg);
    busy_off();
}

void MainWindow::cap(const QString& path)
{
    // "[*]" is where the window shows its unsaved-changes mark; one in the path is doubled so
    // that it shows as written.
    const QString shown = path.toLower().replace("[*]", "[*][*]");
    setWindowTitle(QString("Tintwell ") + program_version + " " + shown + "[*]");
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_doc.modified) {
        const YesNoCancel answer = m_prompter->ask_yes_no_cancel("Save file?");
        if (answer == YesNoCancel::Yes) {
            mf_Click(FileCommand::Save);
            event->ignore();
            return;
        }
        if (answer == YesNoCancel::Cancel) {
            event->ignore();
            return;
        }
    }
    Form_Unload();
    event->accept();
}

void MainWindow::Form_Unload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    savedata(to_bytes(m_settings_path), current_settings(), *m_prompter);
    save_view_settings(view_settings_path(to_bytes(m_settings_path)), current_view_settings());
}

Settings MainWindow::current_settings() const
{
    Settings settings = m_settings;
    settings.border_pref = m_border_pref_action->isChecked();
    settings.show_code = m_show_code_check->isChecked();
    return settings;
}

// File menu.

void MainWindow::mf_Click(FileCommand command)
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
        m_editors.open(EditorKind::About, this, m_doc, m_doc.cur_row);
        break;
    case FileCommand::Print:
        break;
    case FileCommand::Exit:
        close();
        break;
    }
}

void MainWindow::new_theme(FileCommand command)
{
    const ThemeKind old_kind = m_doc.kind;
    const bool old_theme_open = m_doc.theme_open;
    const bool old_edit_enabled = action(EditCommand::AddPresentations)->isEnabled();
    const ThemeKind kind =
        command == FileCommand::NewSportFitness ? ThemeKind::SportFitness : ThemeKind::CarZumo;
    const bool car_zumo = kind == ThemeKind::CarZumo;
    m_doc.kind = kind;
    set_edit_menu_enabled(car_zumo);
    m_doc.theme_open = true;
    if (!newproject(m_doc)) {
        // The user saves first: the open theme stays exactly as it was, kind included.
        m_doc.kind = old_kind;
        m_doc.theme_open = old_theme_open;
        set_edit_menu_enabled(old_edit_enabled);
        save_command();
        return;
    }
    start_afresh();
    clear_history();
    set_locale_version_enabled(car_zumo);
    cap(QString());
    emit theme_replaced(QString());
    Command2_Click();
}

bool MainWindow::save_first()
{
    if (!m_doc.modified || !m_prompter->ask_yes_no("Save Current file?")) {
        return false;
    }
    save_command();
    return true;
}

void MainWindow::open_command()
{
    if (save_first()) {
        return;
    }
    const QString path = m_dialogs->open_path(this, from_bytes(m_doc.file_name), open_filter);
    if (path.isEmpty() || path == "*.osm") {
        return;
    }
    open_file(path);
}

bool MainWindow::open_file(const QString& path)
{
    busy_on();
    const OpenTheme kept = keep_open_theme();
    QStringList notices;
    bool read = false;
    bool cancelled = false;
    {
        ReadProgressDialog progress(this, path, m_read_progress_delay);
        read = read_theme_file(path, notices, progress.callback());
        cancelled = progress.cancelled();
    }
    if (read) {
        clear_history();
        start_afresh();
        m_notice_bar->show_notices(notices);
        plot(-1);
        updatmf(path);
        emit theme_replaced(path);
    } else {
        restore_open_theme(kept);
        if (!cancelled) {
            forget_recent(path);
        }
        release_freed_memory();
    }
    busy_off();
    return read;
}

bool MainWindow::read_theme_file(
    const QString& path, QStringList& notices, const ReadProgress& progress)
{
    try {
        return open_theme(
            m_doc, to_bytes(path),
            [&](std::string_view bytes, ThemeKind kind) {
                for (const Finding& f : save_findings(bytes, kind)) {
                    notices << from_bytes(describe(f));
                }
            },
            progress);
    } catch (const std::bad_alloc&) {
        // The reader leaves the open theme's rows as they were; the callers put back the rest,
        // as for a rejected file.
        m_prompter->message(to_bytes(path) + ": not enough memory to read it");
        return false;
    }
}

MainWindow::OpenTheme MainWindow::keep_open_theme() const
{
    OpenTheme kept { m_doc.kind, m_doc.theme_open, m_doc.modified, m_doc.metadata, m_doc.file_name,
        windowTitle(), {} };
    for (int i = 0; i < m_presentation_list->count(); ++i) {
        kept.presentations << m_presentation_list->item(i)->text();
    }
    return kept;
}

// A rejected file leaves the rows of the open theme in place; without this they would go on
// under the rejected file's name and metadata, and the next Save would write them there.
void MainWindow::restore_open_theme(const OpenTheme& kept)
{
    m_doc.kind = kept.kind;
    m_doc.theme_open = kept.theme_open;
    m_doc.modified = kept.modified;
    m_doc.metadata = kept.metadata;
    m_doc.file_name = kept.file_name;
    metadata_changed(m_doc.metadata);
    setWindowTitle(kept.caption);
    m_presentation_list->clear();
    m_presentation_list->addItems(kept.presentations);
}

void MainWindow::save_command()
{
    if (m_doc.row_count() < 1) {
        m_prompter->message("No data to save");
        return;
    }
    if (m_title_edit->text().trimmed().isEmpty()) {
        m_prompter->message("Theme needs a Title");
        m_title_edit->setFocus();
        return;
    }
    if (m_description_edit->toPlainText().trimmed().isEmpty()) {
        m_prompter->message("Theme needs a description");
        m_description_edit->setFocus();
        return;
    }
    const QString current = from_bytes(m_doc.file_name);
    QString path = m_dialogs->save_path(this, current, current, save_filter);
    if (path.isEmpty()) {
        return;
    }
    if (!path.toLower().contains(".kmtf")) {
        path += ".kmtf";
    }
    // The theme takes the new name only once it is written there; declining to overwrite
    // leaves it under its old name.
    if (save_code(m_doc, to_bytes(path))) {
        m_history->setClean();
        m_doc.file_name = to_bytes(path);
        updatmf(path);
        emit theme_saved(path);
    }
}

void MainWindow::open_recent(std::size_t slot)
{
    const QString path = from_bytes(m_settings.recent[slot]);
    if (path.isEmpty()) {
        return;
    }
    if (!QFileInfo(path).isFile()) {
        m_prompter->message("Cannot find " + to_bytes(path));
        m_settings.recent[slot].clear();
        updatmf(QString());
        return;
    }
    if (save_first()) {
        return;
    }
    open_file(path);
}

void MainWindow::loadole(const QString& path)
{
    const QString lower_path = path.toLower();
    if (!lower_path.endsWith(".kmtf") || lower_path == from_bytes(m_doc.file_name).toLower()) {
        return;
    }
    if (save_first()) {
        return;
    }
    open_file(path);
}

void MainWindow::updatmf(const QString& path)
{
    if (path.isEmpty()) {
        tintwell::updatmf(m_settings.recent, {});
        show_recent();
        // The entries moved up: each item takes the greying of the file it now names.
        refresh_recent_enabled();
        return;
    }
    cap(path);
    tintwell::updatmf(m_settings.recent, to_bytes(path));
    show_recent();
    refresh_recent_enabled();
}

void MainWindow::forget_recent(const QString& path)
{
    const std::string bytes = to_bytes(path);
    const auto listed = std::find(m_settings.recent.begin(), m_settings.recent.end(), bytes);
    if (listed == m_settings.recent.end()) {
        return;
    }
    std::replace(m_settings.recent.begin(), m_settings.recent.end(), bytes, std::string());
    updatmf(QString());
}

void MainWindow::show_recent()
{
    for (std::size_t i = 0; i < m_settings.recent.size(); ++i) {
        QAction* entry = m_recent_actions[i];
        const QString path = from_bytes(m_settings.recent[i]);
        entry->setText(QString(path).replace("&", "&&"));
        entry->setData(path);
        entry->setVisible(!path.isEmpty());
    }
}

void MainWindow::refresh_recent_enabled()
{
    for (std::size_t i = 0; i < m_settings.recent.size(); ++i) {
        m_recent_actions[i]->setEnabled(QFileInfo(from_bytes(m_settings.recent[i])).isFile());
    }
}

void MainWindow::mset_Click()
{
    m_doc.border_pref = m_border_pref_action->isChecked();
}

// Presentation list, preview, selection and search.

void MainWindow::show_presentations()
{
    DocumentEdit rebuild;
    rebuild.set_presentations(presentation_list(m_doc), rebuilt_presentation_list(m_doc));
    if (!rebuild.empty()) {
        rebuild.apply(m_doc);
        own_change_made(std::move(rebuild));
    }
    list_presentations();
}

void MainWindow::list_presentations()
{
    // A Sport & Fitness theme keeps the entry its reader listed. A name as read may end in a CR,
    // which the list would show as a gap.
    if (m_doc.kind == ThemeKind::SportFitness) {
        return;
    }
    m_presentation_list->clear();
    const auto count = std::min<std::size_t>(
        m_doc.pres_names.size(), static_cast<std::size_t>(std::max(m_doc.pres_count, 0)));
    for (std::size_t j = 0; j < count; ++j) {
        m_presentation_list->addItem(from_latin1(m_doc.pres_names[j]).trimmed());
    }
}

// A redraw keeps the scroll position; only a theme opened or started begins at the top.
void MainWindow::plot(int mode)
{
    const int kept = m_scroll_bar->value();
    // A redraw follows every change to the table; typing in the filter box changes nothing.
    m_style_filter.forget();
    m_filter_idle->start();
    filter_for_plot();
    m_preview->plot(mode, visible_height());
    if (mode == 0) {
        m_plot_arg = 1;
    }
    take_scroll_range(kept);
    follow_selection();
    show_status();
}

void MainWindow::relayout_preview()
{
    m_preview->relayout(visible_height());
    take_scroll_range(m_scroll_bar->value());
}

void MainWindow::vs_Scroll()
{
    m_preview->move(m_preview->x(), -px(static_cast<double>(scroll_offset())));
}

void MainWindow::p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos)
{
    if (!m_doc.valid_row(row)) {
        return;
    }
    m_doc.cur_row = row;
    show_selected_code();
    place_frame_around(row, 40, 40);
    if (button == Qt::RightButton) {
        m_code_menu->popup(global_pos);
    }
}

void MainWindow::place_frame_around(int row, int extra_width, int extra_height)
{
    const auto frame = m_preview->preview().layout().frame_around(row, extra_width, extra_height);
    if (!frame) {
        return;
    }
    m_selected = true;
    m_preview->show_frame(*frame);
}

void MainWindow::p1_MouseMove(int)
{
    if (btn_hover()) {
        m_search_button->draw_button(QString(), 0);
    }
}

void MainWindow::p1_DblClick(int row)
{
    if (!m_doc.valid_row(row)) {
        return;
    }
    m_doc.cur_row = row;
    StyleRow& style = m_doc.rows[static_cast<std::size_t>(row)];
    const std::string code = text::lower(style.style_text());
    int width_kind = 0;
    if (text::contains(code, "width")) {
        width_kind = -1;
    }
    if (text::contains(code, "bg_width") || text::contains(code, "fg_width")) {
        width_kind = 1;
    }
    EditorKind kind = EditorKind::Style;
    if (width_kind == 1) {
        kind = EditorKind::SportFitness;
    } else if (m_edit_text_check->isChecked()) {
        kind = EditorKind::StyleText;
    }
    if (!m_editors.has(kind)) {
        return;
    }

    const std::string before(style.style_text());
    bool applied = false;
    {
        // The colours refreshed from the text around the editor belong to its step, or go
        // back with a cancelled editor.
        const StepScope step(*this);
        if (kind == EditorKind::SportFitness) {
            refresh_colours(row);
        }
        applied = m_editors.open(kind, this, m_doc, row);
        if (kind != EditorKind::Style) {
            refresh_colours(row);
        }
    }
    if (applied
        || (m_doc.valid_row(row)
            && m_doc.rows[static_cast<std::size_t>(row)].style_text() != before)) {
        m_style_changed = true;
    }
    if (m_style_changed) {
        redraw_keeping_scroll();
    }
    show_selected_code();
}

void MainWindow::Picture1_MouseDown()
{
    nosel();
}

void MainWindow::command1_Click()
{
    const std::string q = text::upper(text::trim(to_latin1(m_search_edit->text())));
    if (q.empty()) {
        return;
    }
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
        for (int r = std::max(m_search_pos, 0); r < m_doc.row_count(); ++r) {
            if (text::contains(m_doc.rows[static_cast<std::size_t>(r)].field_name(), q)) {
                found = r;
                break;
            }
        }
        if (found >= 0 || m_search_pos == 0) {
            break;
        }
        m_search_pos = 0;
    }
    if (found < 0) {
        m_prompter->message("Not found");
        m_search_pos = 0;
        m_search_edit->setFocus();
        return;
    }
    // The search goes through every style; one the filter hides is shown by clearing the filter.
    if (!m_preview->preview().layout().shown(found)) {
        set_filter_text(QString());
    }
    // The framed style is the selected one, for the keys, the code box and the code pop-up.
    m_doc.cur_row = found;
    show_selected_code();
    place_frame_around(found, 44, 42);
    m_search_pos = found + 1;
    if (m_search_pos > m_doc.row_count() - 1) {
        m_search_pos = 0;
    }
    scroll_to_row(found);
}

void MainWindow::scroll_to_row(int row)
{
    // The sample just before the found one is brought to the top, so the found one shows
    // with a little of what precedes it.
    const PreviewLayout& layout = m_preview->preview().layout();
    if (!layout.shown(row)) {
        return;
    }
    const int before = layout.neighbour(row, Neighbour::Left);
    const int shown = before >= 0 ? before : row;
    const double top = static_cast<double>(layout.rows[static_cast<std::size_t>(shown)].box.top);
    const double height = std::max(tw(m_preview->height()), 1);
    m_scroll_bar->setValue(static_cast<int>(std::lround(top / height * m_scroll_bar->maximum())));
}

void MainWindow::Command2_Click()
{
    if (!m_doc.theme_open) {
        m_prompter->message("Select New Theme type. File,New ...");
        return;
    }
    const StepScope step(*this);
    const ElementSelection selection = m_choose_elements(m_doc);
    nosel();
    if (!selection.empty()) {
        push_edit(add_element_edit(m_doc, selection), "Add Elements");
    }
    show_presentations();
    plot(-1);
}

void MainWindow::Check2_MouseUp()
{
    m_code_box->setVisible(m_show_code_check->isChecked());
    Form_Resize();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (navigation_event(watched, event)) {
        return true;
    }
    if (watched == m_history_window
        && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        const QSignalBlocker block(m_history_action);
        m_history_action->setChecked(event->type() == QEvent::Show);
        return false;
    }
    const bool metadata_field = watched == m_title_edit || watched == m_description_edit
        || watched == m_locale_edit || watched == m_version_edit;
    if (metadata_field && event->type() == QEvent::FocusIn) {
        ++m_typing_run;
    }
    if (metadata_field && event->type() == QEvent::ShortcutOverride
        && history_key(*static_cast<QKeyEvent*>(event))) {
        // Left to the window's Undo and Redo: the field's typing is a step of the theme.
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_search_edit) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            command1_Click();
            return true;
        }
        if (!key->text().isEmpty()) {
            m_search_pos = 0;
        }
        return false;
    }
    if ((watched == m_title_edit || watched == m_description_edit) && !is_editing_key(*key)
        && !key->text().isEmpty() && key->text().at(0).isPrint()) {
        const QString typed = upper_typed(key->text());
        if (typed == key->text()) {
            return false;
        }
        if (watched == m_title_edit) {
            m_title_edit->insert(typed);
        } else {
            m_description_edit->insertPlainText(typed);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tintwell
