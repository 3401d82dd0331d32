#include "ui/main/main_window.h"

#include "app/version.h"
#include "model/presentations.h"
#include "model/text.h"
#include "platform/process.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/file_names.h"
#include "ui/common/latin1.h"
#include "ui/common/message_box_prompter.h"
#include "ui/common/placed.h"
#include "ui/common/preview_widget.h"
#include "ui/common/twips.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/check_panel.h"
#include "ui/dialogs/colour_tools.h"
#include "ui/dialogs/edit_selected_dialog.h"
#include "ui/main/file_commands.h"
#include "ui/main/history_window.h"
#include "ui/main/notice_bar.h"
#include "ui/main/panel_items.h"
#include "ui/main/preview_navigator.h"
#include "ui/main/theme_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>
#include <iostream>

namespace tintwell {

namespace {

// Design geometry of the preview frame, in twips.
// How long a note on what a change did stays in the status bar.
constexpr int status_message_ms = 15000;
constexpr int picture2_left = 2760;
constexpr int picture2_top = 120;
constexpr int picture1_offset = 20;

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

// What the readers and commands report to the window through the document.
class MainWindow::View : public ThemeView
{
public:
    explicit View(MainWindow& window)
        : m_window(window)
    {
    }

    void clear_presentations() override { m_window.m_panel->presentation_list()->clear(); }
    void add_presentation(std::string_view name) override
    {
        m_window.m_panel->presentation_list()->addItem(from_latin1(name));
    }
    // The presentation commands of the Edit menu; Undo, Redo and History stay available.
    void set_edit_menu_enabled(bool enabled) override
    {
        for (QAction* item : m_window.m_presentation_actions) {
            item->setEnabled(enabled);
        }
    }
    void set_locale_version_enabled(bool enabled) override
    {
        m_window.m_panel->set_locale_version_enabled(enabled);
    }
    void metadata_changed(const ThemeMetadata& metadata) override
    {
        m_window.m_panel->show_metadata(metadata);
    }
    void nosel() override { m_window.nosel(); }
    void reset_search() override { m_window.m_panel->reset_search(); }
    void focus_title() override { m_window.m_panel->focus_title(); }
    void clear_preview() override
    {
        m_window.m_navigator->clear_selection();
        m_window.m_preview->update();
    }
    void busy_on() override { tintwell::busy_on(); }
    void busy_off() override { tintwell::busy_off(); }

private:
    MainWindow& m_window;
};

MainWindow::MainWindow(const QString& pending_open, const QString& settings_path, QWidget* parent)
    : QMainWindow(parent)
    , m_theme(new OpenTheme(this))
    , m_message_boxes(std::make_unique<MessageBoxPrompter>(this))
    , m_view(std::make_unique<View>(*this))
    , m_settings_path(settings_path)
{
    setObjectName("f1");
    m_pending_open = pending_open;
    m_pending_open.remove(QChar('"'));
    // A path relative to the folder the program was started in would name another file, or
    // none, when the recent-file entry is used in a later run.
    if (!m_pending_open.isEmpty()) {
        m_pending_open = QDir::cleanPath(QFileInfo(m_pending_open).absoluteFilePath());
    }
    document().attach(m_message_boxes.get(), m_view.get());
    m_editors.set_edit_sink(
        [this](DocumentEdit edit, std::string what) { m_theme->push_edit(std::move(edit), what); });
    m_editors.set_status_sink([this](const std::string& text) {
        statusBar()->showMessage(from_latin1(text), status_message_ms);
    });

    build_controls();
    build_menus();
    connect(m_preview, &PreviewWidget::file_dropped, m_files, &FileCommands::loadole);
    connect(m_files, &FileCommands::started_afresh, this, &MainWindow::start_afresh);
    connect(m_files, &FileCommands::theme_begun, m_panel, &ThemePanel::Command2_Click);
    connect(m_theme, &OpenTheme::modified_changed, this, &MainWindow::setWindowModified);
    connect(m_theme, &OpenTheme::presentations_changed, this, &MainWindow::list_presentations);
    connect(m_theme, &OpenTheme::rows_changed, this, &MainWindow::rows_changed);
    m_navigator = new PreviewNavigator(*m_theme,
        { this, m_preview, m_preview_frame, m_scroll_bar, m_code_menu,
            menuBar()->findChild<QMenu*>("mpref") });
    connect(m_panel, &ThemePanel::presentation_pressed, m_navigator,
        &PreviewNavigator::jump_to_presentation);
    connect(m_panel, &ThemePanel::search_found, m_navigator, &PreviewNavigator::show_found);
    connect(
        m_navigator, &PreviewNavigator::selection_changed, this, &MainWindow::show_selected_code);
    connect(m_navigator, &PreviewNavigator::open_requested, this, &MainWindow::p1_DblClick);
    connect(
        m_select_all_action, &QAction::triggered, m_navigator, &PreviewNavigator::select_all_shown);
    connect(m_navigator, &PreviewNavigator::status_bar_toggled, this, &MainWindow::Form_Resize);
    CheckPanel* check_panel = build_check_panel();
    m_panel_items = new PanelItems(
        *this, m_history_window->toggle_action(), *check_panel, *new ColourTools(*this));

    m_border_pref_action->setChecked(true);
    m_settings = loaddata(to_bytes(m_settings_path), std::cerr);
    m_border_pref_action->setChecked(m_settings.border_pref);
    document().border_pref = m_settings.border_pref;
    m_panel->show_code_check()->setChecked(m_settings.show_code);
    m_code_box->setVisible(m_settings.show_code);
    const ViewSettings view =
        load_view_settings(view_settings_path(to_bytes(m_settings_path)), std::cerr);
    m_navigator->apply_view_settings(view);
    m_panel_items->set_compare_list_width(view.compare_list_width);
    m_panel_items->set_map_place(view.map_window);
    m_files->show_recent();

    resize(px(15450), px(11200));
    cent(*this);
    keep_title_bar_on_screen(*this);
    m_files->cap(QString());
    document().file_name = untitled_file_name;
    for (QWidget* area : { centralWidget(), static_cast<QWidget*>(menuBar()) }) {
        for (QWidget* box : area->findChildren<QLineEdit*>()) {
            box->installEventFilter(this);
        }
        for (QWidget* box : area->findChildren<QPlainTextEdit*>()) {
            box->installEventFilter(this);
        }
    }
}

MainWindow::~MainWindow()
{
    // Deleting the history clears it, which would report a change to those who follow it (this
    // window among them) after the theme they read is gone.
    m_theme->history().disconnect();
    m_theme->disconnect();
    document().attach(nullptr, nullptr);
}

QString MainWindow::default_settings_path()
{
    QString folder = from_bytes(platform::settings_folder());
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/system";
    }
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

    m_panel = new ThemePanel(*this, central);

    m_preview_frame =
        placed<QWidget>(central, "Picture2", tw_rect(picture2_left, picture2_top, 12090, 9360));
    m_preview_frame->setAutoFillBackground(true);
    QPalette frame_palette = m_preview_frame->palette();
    frame_palette.setColor(QPalette::Window, QColor(224, 224, 224));
    m_preview_frame->setPalette(frame_palette);
    m_preview = new PreviewWidget(document(), m_preview_frame);
    m_preview->setGeometry(tw_rect(picture1_offset, picture1_offset, 11712, 11550));
    m_notice_bar = new NoticeBar(m_preview_frame);

    m_scroll_bar = placed<QScrollBar>(central, "vs", tw_rect(14892, 504, 228, 8028), Qt::Vertical);
    m_scroll_bar->setRange(0, 1);

    m_code_box = placed<QPlainTextEdit>(central, "Text5", tw_rect(2760, 9600, 12132, 972));
    m_code_box->setFont(QFont("Courier", 9));
    m_code_box->setReadOnly(true);
    m_code_box->hide();

    connect(m_panel, &ThemePanel::show_code_clicked, this, &MainWindow::Check2_MouseUp);
    connect(m_preview, &PreviewWidget::sample_double_clicked, this, &MainWindow::p1_DblClick);
    connect(m_preview, &PreviewWidget::sample_hovered, m_panel, &ThemePanel::p1_MouseMove);
}

void MainWindow::build_menus()
{
    QMenu* file_menu = menuBar()->addMenu("File");
    file_menu->setObjectName("mfile");
    m_files = new FileCommands(*this, m_settings.recent,
        { file_menu, m_panel->title_edit(), m_panel->description_edit(),
            m_panel->presentation_list(), m_notice_bar });

    QMenu* edit_menu = menuBar()->addMenu("Edit");
    edit_menu->setObjectName("medit");
    QAction* undo_action = m_theme->history().createUndoAction(this, "Undo");
    undo_action->setObjectName("undo");
    undo_action->setShortcut(QKeySequence::Undo);
    QAction* redo_action = m_theme->history().createRedoAction(this, "Redo");
    redo_action->setObjectName("redo");
    redo_action->setShortcuts({ QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y") });
    m_history_window = new HistoryWindow(m_theme->history(), this);
    edit_menu->addActions({ undo_action, redo_action, m_history_window->toggle_action() });
    edit_menu->addSeparator();
    // Ctrl+A stays Select All of a text box that has the keys; elsewhere it selects the samples.
    m_select_all_action = edit_menu->addAction("Select All");
    m_select_all_action->setObjectName("select_all");
    m_select_all_action->setShortcut(QKeySequence::SelectAll);
    QAction* edit_selected = edit_menu->addAction("Edit Selected Styles...");
    edit_selected->setObjectName("edit_selected");
    edit_selected->setShortcut(QKeySequence("Ctrl+E"));
    connect(edit_selected, &QAction::triggered, this, &MainWindow::edit_selected_styles);
    edit_menu->addSeparator();
    const std::array<const char*, 2> edit_captions = { "Add Presentations",
        "Remove Presentations" };
    for (std::size_t i = 0; i < m_presentation_actions.size(); ++i) {
        m_presentation_actions[i] = edit_menu->addAction(edit_captions[i]);
        m_presentation_actions[i]->setObjectName(QString("med_%1").arg(i));
    }

    QMenu* preference_menu = menuBar()->addMenu("Preference");
    preference_menu->setObjectName("mpref");
    m_border_pref_action =
        preference_menu->addAction("Set Border to 0.3 when Border Color does not exist");
    m_border_pref_action->setObjectName("mset_0");
    m_border_pref_action->setCheckable(true);
    connect(m_border_pref_action, &QAction::triggered, this, &MainWindow::mset_Click);

    QMenu* help_menu = menuBar()->addMenu("Help");
    help_menu->setObjectName("mhelp");
    m_help_actions[slot(HelpCommand::CheckForUpdates)] = help_menu->addAction("Check for Updates");
    help_menu->addSeparator()->setObjectName("mhlp_1");
    m_help_actions[slot(HelpCommand::Manual)] = help_menu->addAction("Manual");
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
    // Offered here only while several styles are selected; one is edited by a double click.
    QAction* edit_selected_code = m_code_menu->addAction("Edit Selected Styles...");
    edit_selected_code->setObjectName("edit_selected_code");
    connect(edit_selected_code, &QAction::triggered, this, &MainWindow::edit_selected_styles);
    connect(m_code_menu, &QMenu::aboutToShow, this, [this, edit_selected_code] {
        edit_selected_code->setVisible(m_theme->selection().count() > 1);
    });
}

CheckPanel* MainWindow::build_check_panel()
{
    auto* check_panel = new CheckPanel(*this);
    auto* check_action = new QAction("Check Theme", this);
    check_action->setObjectName("check_theme");
    check_action->setShortcut(QKeySequence(Qt::Key_F7));
    menuBar()->insertAction(menuBar()->findChild<QMenu*>("mhelp")->menuAction(), check_action);
    connect(check_action, &QAction::triggered, check_panel, &CheckPanel::toggle);
    return check_panel;
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
    document().attach(prompter ? prompter : m_message_boxes.get(), m_view.get());
}

// What Undo, Redo or a cancelled dialog changed.

void MainWindow::rows_changed()
{
    if (!document().valid_row(document().cur_row)) {
        // The selected style is gone: nothing is selected and the code box shows nothing.
        document().cur_row = 0;
        nosel();
        m_code_shown = false;
        m_code_box->clear();
    }
    redraw_keeping_scroll();
    if (m_code_shown) {
        show_selected_code();
    }
}

// The preview's side of the window, done by its navigator.

void MainWindow::p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos)
{
    m_navigator->press(row, button, global_pos);
}

void MainWindow::scroll_into_view(int row)
{
    m_navigator->scroll_into_view(row);
}

void MainWindow::relayout_preview()
{
    m_navigator->relayout_preview();
}

void MainWindow::plot(PlotMode mode)
{
    m_navigator->plot(mode);
}

void MainWindow::redraw_keeping_scroll()
{
    m_navigator->redraw_keeping_scroll();
}

void MainWindow::set_filter_text(const QString& text)
{
    m_navigator->set_filter_text(text);
}

QString MainWindow::filter_text() const
{
    return m_navigator->filter_text();
}

void MainWindow::start_afresh()
{
    m_navigator->start_afresh();
    m_notice_bar->show_notices({});
    m_code_shown = false;
    m_code_box->clear();
    focus_preview();
}

void MainWindow::focus_preview()
{
    const QWidget* focused = QApplication::focusWidget();
    const bool in_text_box = qobject_cast<const QLineEdit*>(focused) != nullptr
        || qobject_cast<const QPlainTextEdit*>(focused) != nullptr;
    if (in_text_box && m_text_box_clicked) {
        return;
    }
    m_preview->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Only the text boxes are watched. Focus that comes back with the window or after a menu or
    // dialog keeps what the box's focus came from.
    if (event->type() == QEvent::FocusIn) {
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::MouseFocusReason:
            m_text_box_clicked = true;
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
        case Qt::MenuBarFocusReason:
            break;
        default:
            m_text_box_clicked = false;
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::show_selected_code()
{
    m_code_shown = document().valid_row(document().cur_row);
    const Document& doc = document();
    m_code_box->setPlainText(display_text(
        m_code_shown ? selected_code(doc.rows[static_cast<std::size_t>(doc.cur_row)]) : ""));
}

// The effects of the readers and commands on the window.

void MainWindow::nosel()
{
    m_navigator->clear_selection();
}

void MainWindow::select_rows(const std::vector<int>& rows, int current)
{
    m_navigator->select_rows(rows, current);
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
    m_resize_plot = PlotMode::KeepSamples;
    if (m_pending_open.isEmpty()) {
        return;
    }
    const QString path = m_pending_open;
    m_pending_open.clear();
    m_files->open_file(path);
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
    // The scroll bar stands over the frame's right edge: the samples are laid out in the part
    // left of it, so the last column can always be seen.
    const int w1 = tw(m_preview_frame->width()) - vs_width - 120;
    if (w1 > 30) {
        m_preview->resize(px(w1), m_preview->height());
    }
    // The status bar, when shown, takes its height from the preview frame.
    const int frame_height = window_height - picture2_top - (!m_code_box->isHidden() ? 2000 : 1100)
        - m_navigator->status_bar_height();
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
    tintwell::busy_on();
    plot(m_resize_plot);
    m_resize_plot = PlotMode::KeepSamples;
    tintwell::busy_off();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (document().modified) {
        const YesNoCancel answer = document().prompter().ask_yes_no_cancel("Save file?");
        if (answer == YesNoCancel::Yes) {
            m_files->mf_Click(FileCommand::Save);
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
    savedata(to_bytes(m_settings_path), current_settings(), document().prompter());
    ViewSettings view = m_navigator->view_settings();
    view.compare_list_width = m_panel_items->compare_list_width();
    view.map_window = m_panel_items->map_place();
    save_view_settings(view_settings_path(to_bytes(m_settings_path)), view);
}

Settings MainWindow::current_settings() const
{
    Settings settings = m_settings;
    settings.border_pref = m_border_pref_action->isChecked();
    settings.show_code = m_panel->show_code_check()->isChecked();
    return settings;
}

// Preference menu.

void MainWindow::mset_Click()
{
    document().border_pref = m_border_pref_action->isChecked();
}

// Presentation list, preview, selection and search.

void MainWindow::show_presentations()
{
    DocumentEdit rebuild;
    rebuild.set_presentations(presentation_list(document()), rebuilt_presentation_list(document()));
    if (!rebuild.empty()) {
        rebuild.apply(document());
        m_theme->own_change_made(std::move(rebuild));
    }
    list_presentations();
}

void MainWindow::list_presentations()
{
    m_panel->list_presentations();
}

void MainWindow::p1_DblClick(int row)
{
    if (!document().valid_row(row)) {
        return;
    }
    document().cur_row = row;
    StyleRow& style = document().rows[static_cast<std::size_t>(row)];
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
    } else if (m_panel->edit_text_checked()) {
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
        const OpenTheme::StepScope step(*m_theme);
        if (kind == EditorKind::SportFitness) {
            m_theme->refresh_colours(row);
        }
        applied = m_editors.open(kind, this, document(), row);
        if (kind != EditorKind::Style) {
            m_theme->refresh_colours(row);
        }
    }
    if (applied
        || (document().valid_row(row)
            && document().rows[static_cast<std::size_t>(row)].style_text() != before)) {
        m_style_changed = true;
    }
    if (m_style_changed) {
        redraw_keeping_scroll();
    }
    show_selected_code();
}

void MainWindow::edit_selected_styles()
{
    const RowSelection& selection = m_theme->selection();
    std::vector<int> rows = selection.rows();
    if (rows.empty()) {
        statusBar()->showMessage("Select the styles to edit first", status_message_ms);
        return;
    }
    EditSelectedDialog dialog(*this, std::move(rows), this);
    cent(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    redraw_keeping_scroll();
    if (m_code_shown) {
        show_selected_code();
    }
}

void MainWindow::Check2_MouseUp()
{
    m_code_box->setVisible(m_panel->show_code_check()->isChecked());
    Form_Resize();
}

} // namespace tintwell
