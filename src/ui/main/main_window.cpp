#include "ui/main/main_window.h"

#include "colour/colour_codes.h"
#include "model/new_theme.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"
#include "ui/dialogs/add_elements_dialog.h"
#include "ui/main/file_dialogs.h"
#include "ui/main/message_box_prompter.h"
#include "ui/main/owner_drawn_button.h"
#include "ui/main/preview_widget.h"
#include "ui/main/twips.h"

#include <QAction>
#include <QApplication>
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
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <new>

namespace tintwell {

namespace {

const char* const app_version = "6.1";
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

std::string latin1(const QString& text)
{
    return text.toLatin1().toStdString();
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

QString display_text(const std::string& code)
{
    return QString::fromLatin1(text::replace(code, "\r\n", "\n"));
}

} // namespace

MainWindow::MainWindow(const QString& pending_open, const QString& settings_path, QWidget* parent)
    : QMainWindow(parent)
    , m_message_boxes(std::make_unique<MessageBoxPrompter>(this))
    , m_prompter(m_message_boxes.get())
    , m_qt_dialogs(std::make_unique<QtFileDialogs>())
    , m_dialogs(m_qt_dialogs.get())
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
    m_doc.attach(m_prompter, this);
    set_element_chooser(nullptr);

    build_controls();
    build_menus();

    mset[0]->setChecked(true);
    m_settings = loaddata(to_bytes(m_settings_path));
    mset[0]->setChecked(m_settings.border_pref);
    m_doc.border_pref = m_settings.border_pref;
    Check2->setChecked(m_settings.show_code);
    Text5->setVisible(m_settings.show_code);
    show_recent();

    resize(px(15450), px(11200));
    const QRect screen_area = screen()->availableGeometry();
    move(screen_area.left() + std::max(0, (screen_area.width() - width()) / 2),
        screen_area.top() + std::max(0, (screen_area.height() - height()) / 2));
    cap(QString());
    m_doc.file_name = untitled_file_name;
}

MainWindow::~MainWindow()
{
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

    Command2 = new QPushButton("+", central);
    Command2->setObjectName("Command2");
    Command2->setGeometry(tw_rect(468, 336, 372, 324));
    Label1 = new QLabel("Add Line/Polygon", central);
    Label1->setObjectName("Label1");
    Label1->setGeometry(tw_rect(984, 384, 1608, 312));
    Check1 = new QCheckBox("Edit Text", central);
    Check1->setObjectName("Check1");
    Check1->setGeometry(tw_rect(744, 900, 1296, 324));

    const std::array<const char*, 5> label_captions = { "Presentations", "Title", "Description",
        "Locality", "Version" };
    const std::array<QRect, 5> label_rects = { tw_rect(300, 1464, 2076, 312),
        tw_rect(300, 3360, 2076, 312), tw_rect(240, 4200, 2076, 312), tw_rect(240, 6120, 2076, 312),
        tw_rect(300, 7080, 2076, 312) };
    for (std::size_t i = 0; i < Label2.size(); ++i) {
        Label2[i] = new QLabel(label_captions[i], central);
        Label2[i]->setObjectName(QString("Label2_%1").arg(i));
        Label2[i]->setGeometry(label_rects[i]);
    }
    List1 = new QListWidget(central);
    List1->setObjectName("List1");
    List1->setGeometry(tw_rect(168, 1860, 2316, 1368));
    List1->setSelectionMode(QAbstractItemView::NoSelection);
    List1->setFocusPolicy(Qt::NoFocus);

    title = new QLineEdit(central);
    title->setObjectName("title");
    title->setGeometry(tw_rect(120, 3720, 2436, 396));
    Text3 = new QPlainTextEdit(central);
    Text3->setObjectName("Text3");
    Text3->setGeometry(tw_rect(120, 4560, 2436, 1356));
    Text3->setTabChangesFocus(true);
    Text1 = new QLineEdit(central);
    Text1->setObjectName("Text1");
    Text1->setGeometry(tw_rect(120, 6480, 2436, 468));
    Text2 = new QLineEdit(central);
    Text2->setObjectName("Text2");
    Text2->setGeometry(tw_rect(696, 7560, 1272, 468));

    Check2 = new QCheckBox("Show Code", central);
    Check2->setObjectName("Check2");
    Check2->setGeometry(tw_rect(720, 8400, 1332, 252));
    Label3 = new QLabel("UPDATE AVAILABLE", central);
    Label3->setObjectName("Label3");
    Label3->setGeometry(tw_rect(168, 8880, 2412, 312));
    Label3->setFont(QFont("MS Sans Serif", 8));
    Label3->hide();

    Shape1 = new QFrame(central);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(tw_rect(240, 9360, 2052, 1092));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(1);
    Text4 = new QLineEdit(central);
    Text4->setObjectName("Text4");
    Text4->setGeometry(tw_rect(360, 9480, 1800, 336));
    Text4->setStyleSheet("QLineEdit { background-color: white; }");
    command1 = new OwnerDrawnButton("Search", central);
    command1->setObjectName("command1");
    command1->setGeometry(tw_rect(720, 9960, 1188, 360));
    command1->draw_button("Search", 0);

    Picture2 = new QWidget(central);
    Picture2->setObjectName("Picture2");
    Picture2->setGeometry(tw_rect(picture2_left, picture2_top, 12090, 9360));
    Picture2->setAutoFillBackground(true);
    QPalette frame_palette = Picture2->palette();
    frame_palette.setColor(QPalette::Window, QColor(224, 224, 224));
    Picture2->setPalette(frame_palette);
    Picture1 = new PreviewWidget(m_doc, Picture2);
    Picture1->setGeometry(tw_rect(picture1_offset, picture1_offset, 11712, 11550));

    vs = new QScrollBar(Qt::Vertical, central);
    vs->setObjectName("vs");
    vs->setGeometry(tw_rect(14892, 504, 228, 8028));
    vs->setRange(0, 1);

    Text5 = new QPlainTextEdit(central);
    Text5->setObjectName("Text5");
    Text5->setGeometry(tw_rect(2760, 9600, 12132, 972));
    Text5->setFont(QFont("Courier", 9));
    Text5->setReadOnly(true);
    Text5->hide();

    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(Check2, &QCheckBox::clicked, this, &MainWindow::Check2_MouseUp);
    connect(command1, &OwnerDrawnButton::clicked, this, &MainWindow::command1_Click);
    connect(vs, &QScrollBar::valueChanged, this, &MainWindow::vs_Scroll);
    connect(Picture1, &PreviewWidget::sample_pressed, this, &MainWindow::p1_MouseDown);
    connect(Picture1, &PreviewWidget::sample_double_clicked, this, &MainWindow::p1_DblClick);
    connect(Picture1, &PreviewWidget::sample_hovered, this, &MainWindow::p1_MouseMove);
    connect(Picture1, &PreviewWidget::empty_pressed, this, &MainWindow::Picture1_MouseDown);
    connect(Picture1, &PreviewWidget::file_dropped, this, &MainWindow::loadole);

    connect(title, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_doc.metadata.title = latin1(text); });
    connect(Text3, &QPlainTextEdit::textChanged, this,
        [this] { m_doc.metadata.description = latin1(Text3->toPlainText()); });
    connect(Text1, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_doc.metadata.locale = latin1(text); });
    connect(Text2, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_doc.metadata.version = latin1(text); });
    title->installEventFilter(this);
    Text3->installEventFilter(this);
    Text4->installEventFilter(this);
}

void MainWindow::build_menus()
{
    mfile = menuBar()->addMenu("File");
    mfile->setObjectName("mfile");
    const std::array<const char*, 12> captions = { "New Car && Zumo Theme",
        "New Sport && Fitness Theme", "-", "Open", "-", "Save", "-", "About", "-", "Print", "-",
        "Exit" };
    for (int i = 0; i < static_cast<int>(mf.size()); ++i) {
        QAction* action = nullptr;
        if (i < 12 && std::string_view(captions[static_cast<std::size_t>(i)]) == "-") {
            action = mfile->addSeparator();
        } else {
            action = mfile->addAction(i < 12 ? captions[static_cast<std::size_t>(i)] : "");
            connect(action, &QAction::triggered, this, [this, i] { mf_Click(i); });
        }
        action->setObjectName(QString("mf_%1").arg(i));
        mf[static_cast<std::size_t>(i)] = action;
    }
    mf[5]->setShortcut(QKeySequence("Ctrl+S"));
    mf[9]->setShortcut(QKeySequence("Ctrl+P"));
    mf[9]->setEnabled(false);
    mf[7]->setEnabled(false);
    connect(mfile, &QMenu::aboutToShow, this,
        [this] { mf[7]->setEnabled(m_editors.has(EditorKind::About)); });

    medit = menuBar()->addMenu("Edit");
    medit->setObjectName("medit");
    med[0] = medit->addAction("Add Presentations");
    med[1] = medit->addAction("Remove Presentations");
    mpref = menuBar()->addMenu("Preference");
    mpref->setObjectName("mpref");
    mset[0] = mpref->addAction("Set Border to 0.3 when Border Color does not exist");
    mset[0]->setCheckable(true);
    connect(mset[0], &QAction::triggered, this, &MainWindow::mset_Click);
    mhelp = menuBar()->addMenu("Help");
    mhelp->setObjectName("mhelp");
    mhlp[0] = mhelp->addAction("Check for Updates");
    mhlp[1] = mhelp->addSeparator();
    mhlp[2] = mhelp->addAction("Manual");

    mcode = new QMenu("mcode", this);
    mcode->setObjectName("mcode");
    mcod2[1] = mcode->addAction("Copy Code");
    mcod2[2] = mcode->addSeparator();
    mcod2[3] = mcode->addAction("Add BG/FG Width");
    mcod2[4] = mcode->addAction("Remove BG/FG Width");

    for (std::size_t i = 0; i < med.size(); ++i) {
        med[i]->setObjectName(QString("med_%1").arg(i));
    }
    mset[0]->setObjectName("mset_0");
    for (std::size_t i = 0; i < mhlp.size(); ++i) {
        mhlp[i]->setObjectName(QString("mhlp_%1").arg(i));
    }
    for (std::size_t i = 1; i < mcod2.size(); ++i) {
        mcod2[i]->setObjectName(QString("mcod2_%1").arg(i));
    }
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
        dialog.move(screen()->availableGeometry().center() - dialog.rect().center());
        dialog.exec();
        return dialog.selection();
    };
}

// The effects of the readers and commands on the window.

void MainWindow::clear_presentations()
{
    List1->clear();
}

void MainWindow::add_presentation(std::string_view name)
{
    List1->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

void MainWindow::set_edit_menu_enabled(bool enabled)
{
    medit->setEnabled(enabled);
}

void MainWindow::set_locale_version_enabled(bool enabled)
{
    Text1->setEnabled(enabled);
    Text2->setEnabled(enabled);
}

void MainWindow::metadata_changed(const ThemeMetadata& metadata)
{
    const QSignalBlocker block_title(title);
    const QSignalBlocker block_description(Text3);
    const QSignalBlocker block_locale(Text1);
    const QSignalBlocker block_version(Text2);
    title->setText(QString::fromLatin1(metadata.title));
    Text3->setPlainText(display_text(metadata.description));
    Text1->setText(QString::fromLatin1(metadata.locale));
    Text2->setText(QString::fromLatin1(metadata.version));
}

void MainWindow::nosel()
{
    Picture1->hide_frame();
}

void MainWindow::reset_search()
{
    m_search_pos = 0;
}

void MainWindow::focus_title()
{
    title->setFocus();
}

void MainWindow::clear_preview()
{
    Picture1->hide_frame();
    Picture1->update();
}

void MainWindow::busy_on()
{
    if (m_busy++ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void MainWindow::busy_off()
{
    if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
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
    busy_on();
    updatmf(path);
    read_theme_file(path);
    plot(-1);
    busy_off();
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
    const int vs_width = tw(vs->width());
    const int w = window_width - picture2_left - 330;
    vs->move(px(window_width - 330 - vs_width), vs->y());
    if (w > 30) {
        Picture2->resize(px(w), Picture2->height());
        vs->move(vs->x(), Picture2->y());
    }
    const int w1 = tw(Picture2->width()) - 120;
    if (w1 > 30) {
        Picture1->resize(px(w1), Picture1->height());
    }
    const int frame_height = window_height - picture2_top - (!Text5->isHidden() ? 2000 : 1100);
    if (frame_height > 0) {
        Picture2->resize(Picture2->width(), px(frame_height));
    }
    Text5->setGeometry(Text5->x(), Picture2->y() + Picture2->height() + px(50), Picture2->width(),
        Text5->height());
    if (Picture2->height() > px(120)) {
        Picture1->resize(Picture1->width(), Picture2->height() - px(120));
    }
    vs->resize(vs->width(), Picture2->height());
    busy_on();
    plot(m_plot_arg);
    busy_off();
}

void MainWindow::cap(const QString& path)
{
    setWindowTitle(QString("Tintwell ") + app_version + " " + path.toLower());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_doc.modified) {
        const YesNoCancel answer = m_prompter->ask_yes_no_cancel("Save file?");
        if (answer == YesNoCancel::Yes) {
            mf_Click(5);
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
}

Settings MainWindow::current_settings() const
{
    Settings settings = m_settings;
    settings.border_pref = mset[0]->isChecked();
    settings.show_code = Check2->isChecked();
    return settings;
}

// File menu.

void MainWindow::mf_Click(int index)
{
    switch (index) {
    case 0:
    case 1:
        new_theme(index);
        break;
    case 3:
        open_command();
        break;
    case 5:
        save_command();
        break;
    case 7:
        m_editors.open(EditorKind::About, this, m_doc, m_doc.cur_row);
        break;
    case 11:
        close();
        break;
    default:
        if (index >= 12 && index <= 18) {
            reopen(index);
        }
        break;
    }
}

void MainWindow::new_theme(int index)
{
    const ThemeKind old_kind = m_doc.kind;
    const bool old_theme_open = m_doc.theme_open;
    const bool old_edit_enabled = medit->isEnabled();
    const ThemeKind kind = index == 1 ? ThemeKind::SportFitness : ThemeKind::CarZumo;
    const bool car_zumo = kind == ThemeKind::CarZumo;
    m_doc.kind = kind;
    medit->setEnabled(car_zumo);
    m_doc.theme_open = true;
    if (!newproject(m_doc)) {
        // The user saves first: the open theme stays exactly as it was, kind included.
        m_doc.kind = old_kind;
        m_doc.theme_open = old_theme_open;
        medit->setEnabled(old_edit_enabled);
        return;
    }
    set_locale_version_enabled(car_zumo);
    cap(QString());
    Command2_Click();
}

void MainWindow::open_command()
{
    if (m_doc.modified && m_prompter->ask_yes_no("Save Current file?")) {
        return;
    }
    const QString path = m_dialogs->open_path(this, from_bytes(m_doc.file_name), open_filter);
    if (path.isEmpty() || path == "*.osm") {
        return;
    }
    load_into_preview(path);
}

void MainWindow::load_into_preview(const QString& path)
{
    busy_on();
    const OpenTheme kept = keep_open_theme();
    List1->clear();
    updatmf(path);
    m_doc.metadata.title.clear();
    title->clear();
    if (read_theme_file(path)) {
        plot(-1);
    } else {
        restore_open_theme(kept);
    }
    busy_off();
}

bool MainWindow::read_theme_file(const QString& path)
{
    try {
        std::string content = loadbinary2(m_doc, to_bytes(path));
        cap(path);
        return parse(m_doc, std::move(content));
    } catch (const std::bad_alloc&) {
        // The reader leaves the open theme's rows as they were; the callers put back the rest,
        // as for a rejected file.
        m_prompter->message(to_bytes(path) + ": not enough memory to read it");
        return false;
    }
}

MainWindow::OpenTheme MainWindow::keep_open_theme() const
{
    OpenTheme kept { m_doc.kind, m_doc.modified, m_doc.metadata, m_doc.file_name, windowTitle(),
        {} };
    for (int i = 0; i < List1->count(); ++i) {
        kept.presentations << List1->item(i)->text();
    }
    return kept;
}

// A rejected file leaves the rows of the open theme in place; without this they would go on
// under the rejected file's name and metadata, and the next Save would write them there.
void MainWindow::restore_open_theme(const OpenTheme& kept)
{
    m_doc.kind = kept.kind;
    m_doc.modified = kept.modified;
    m_doc.metadata = kept.metadata;
    m_doc.file_name = kept.file_name;
    metadata_changed(m_doc.metadata);
    setWindowTitle(kept.caption);
    List1->clear();
    List1->addItems(kept.presentations);
}

void MainWindow::save_command()
{
    if (m_doc.row_count() < 1) {
        m_prompter->message("No data to save");
        return;
    }
    if (title->text().trimmed().isEmpty()) {
        m_prompter->message("Theme needs a Title");
        title->setFocus();
        return;
    }
    if (Text3->toPlainText().trimmed().isEmpty()) {
        m_prompter->message("Theme needs a description");
        Text3->setFocus();
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
        m_doc.file_name = to_bytes(path);
        cap(path);
    }
}

void MainWindow::reopen(int index)
{
    if (!newproject(m_doc)) {
        return;
    }
    plot(-1);
    const std::size_t slot = static_cast<std::size_t>(index - 12);
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
    busy_on();
    const bool read = read_theme_file(path);
    if (read) {
        plot(-1);
        updatmf(path);
    }
    busy_off();
}

void MainWindow::loadole(const QString& path)
{
    const QString lower_path = path.toLower();
    if (!lower_path.endsWith(".kmtf") || lower_path == from_bytes(m_doc.file_name).toLower()) {
        return;
    }
    if (m_doc.modified && m_prompter->ask_yes_no("Save Current file?")) {
        return;
    }
    busy_on();
    const OpenTheme kept = keep_open_theme();
    updatmf(path);
    List1->clear();
    const bool read = read_theme_file(path);
    if (!read) {
        restore_open_theme(kept);
    }
    plot(-1);
    busy_off();
    if (read) {
        m_doc.file_name = to_bytes(path);
        m_doc.modified = false;
    }
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

void MainWindow::show_recent()
{
    for (std::size_t i = 0; i < m_settings.recent.size(); ++i) {
        QAction* entry = mf[12 + i];
        const QString path = from_bytes(m_settings.recent[i]);
        entry->setText(QString(path).replace("&", "&&"));
        entry->setData(path);
        entry->setVisible(!path.isEmpty());
    }
}

void MainWindow::refresh_recent_enabled()
{
    for (std::size_t i = 0; i < m_settings.recent.size(); ++i) {
        mf[12 + i]->setEnabled(QFileInfo(from_bytes(m_settings.recent[i])).isFile());
    }
}

void MainWindow::mset_Click()
{
    m_doc.border_pref = mset[0]->isChecked();
}

// Presentation list, preview, selection and search.

void MainWindow::show_presentations()
{
    for (std::size_t i = 0; i < 6 && i < m_doc.pres_names.size(); ++i) {
        m_doc.pres_names[i].clear();
    }
    if (m_doc.kind == ThemeKind::SportFitness) {
        return;
    }
    std::vector<int> order;
    for (const StyleRow& row : m_doc.rows) {
        const int index = std::clamp((row.pres_code - row.pres_code % 10) / 10, 0, 5);
        if (std::find(order.begin(), order.end(), index) == order.end()) {
            order.push_back(index);
        }
    }
    m_doc.pres_names.resize(std::max<std::size_t>(m_doc.pres_names.size(), order.size()));
    for (std::size_t j = 0; j < order.size(); ++j) {
        m_doc.pres_names[j] = pres_catalogue[static_cast<std::size_t>(order[j])];
    }
    m_doc.pres_count = static_cast<int>(order.size());
    List1->clear();
    for (std::size_t j = 0; j < order.size(); ++j) {
        List1->addItem(QString::fromLatin1(m_doc.pres_names[j]));
    }
}

void MainWindow::plot(int mode)
{
    Picture1->plot(mode, tw(Picture2->height()));
    if (mode == 0) {
        m_plot_arg = 1;
    }
    const ScrollRange& range = Picture1->preview().scroll;
    if (m_doc.row_count() > 0) {
        const QSignalBlocker block(vs);
        vs->setRange(0, static_cast<int>(std::max<std::int64_t>(range.max, 1)));
        vs->setPageStep(static_cast<int>(std::max<std::int64_t>(range.large_change, 1)));
        vs->setSingleStep(static_cast<int>(std::max<std::int64_t>(range.small_change, 1)));
        vs->setValue(static_cast<int>(range.value));
    }
    vs_Scroll();
}

void MainWindow::vs_Scroll()
{
    const double spread = std::abs(tw(Picture2->height()) - tw(Picture1->height()));
    const double max = std::max(vs->maximum(), 1);
    const int offset = static_cast<int>(std::lround(spread * vs->value() / max));
    Picture1->move(Picture1->x(), -px(offset));
}

void MainWindow::p1_MouseDown(int row, Qt::MouseButton button, QPoint global_pos)
{
    if (!m_doc.valid_row(row)) {
        return;
    }
    m_doc.cur_row = row;
    const std::string code =
        text::replace("<STYLE " + m_doc.rows[static_cast<std::size_t>(row)].style_text, "  ", " ");
    Text5->setPlainText(display_text(code));
    place_frame_around(row, 40, 40);
    if (button == Qt::RightButton) {
        mcode->popup(global_pos);
    }
}

void MainWindow::place_frame_around(int row, int extra_width, int extra_height)
{
    const auto& rows = Picture1->preview().layout().rows;
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        return;
    }
    const TwipRect& box = rows[static_cast<std::size_t>(row)].box;
    Picture1->show_frame({ box.left - 20, box.top - 20, box.width + extra_width,
        box.height + preview_metrics::caption_height + extra_height });
}

void MainWindow::p1_MouseMove(int)
{
    if (btn_hover()) {
        command1->draw_button(QString(), 0);
    }
}

void MainWindow::p1_DblClick(int row)
{
    if (!m_doc.valid_row(row)) {
        return;
    }
    m_doc.cur_row = row;
    StyleRow& style = m_doc.rows[static_cast<std::size_t>(row)];
    const std::string code = text::lower(style.style_text);
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
    } else if (Check1->isChecked()) {
        kind = EditorKind::StyleText;
    }
    if (!m_editors.has(kind)) {
        return;
    }

    const std::string before = style.style_text;
    if (kind == EditorKind::SportFitness) {
        get_colsfromcode(m_doc, row);
    }
    const bool applied = m_editors.open(kind, this, m_doc, row);
    if (kind != EditorKind::Style) {
        get_colsfromcode(m_doc, row);
    }
    if (applied
        || (m_doc.valid_row(row)
            && m_doc.rows[static_cast<std::size_t>(row)].style_text != before)) {
        m_style_changed = true;
    }
    const int v = vs->value();
    if (m_style_changed) {
        plot(v);
    }
    vs->setValue(v);
    if (kind != EditorKind::SportFitness && m_doc.valid_row(row)) {
        Text5->setPlainText(display_text(m_doc.rows[static_cast<std::size_t>(row)].style_text));
    }
}

void MainWindow::Picture1_MouseDown()
{
    nosel();
}

void MainWindow::command1_Click()
{
    const std::string q = text::upper(text::trim(latin1(Text4->text())));
    if (q.empty()) {
        return;
    }
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
        for (int r = std::max(m_search_pos, 0); r < m_doc.row_count(); ++r) {
            if (text::contains(m_doc.rows[static_cast<std::size_t>(r)].field_name, q)) {
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
        Text4->setFocus();
        return;
    }
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
    const auto& rows = Picture1->preview().layout().rows;
    const int shown = std::max(row - 1, 0);
    if (shown >= static_cast<int>(rows.size())) {
        return;
    }
    const double top = static_cast<double>(rows[static_cast<std::size_t>(shown)].box.top);
    const double height = std::max(tw(Picture1->height()), 1);
    vs->setValue(static_cast<int>(std::lround(top / height * vs->maximum())));
}

void MainWindow::Command2_Click()
{
    if (!m_doc.theme_open) {
        m_prompter->message("Select New Theme type. File,New ...");
        return;
    }
    const ElementSelection selection = m_choose_elements(m_doc);
    nosel();
    add_element(m_doc, selection);
    show_presentations();
    plot(-1);
}

void MainWindow::Check2_MouseUp()
{
    Text5->setVisible(Check2->isChecked());
    Form_Resize();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Text4) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            command1_Click();
            return true;
        }
        if (!key->text().isEmpty()) {
            m_search_pos = 0;
        }
        return false;
    }
    if ((watched == title || watched == Text3) && !key->text().isEmpty()
        && key->text().at(0).isPrint()) {
        const QString typed = upper_typed(key->text());
        if (typed == key->text()) {
            return false;
        }
        if (watched == title) {
            title->insert(typed);
        } else {
            Text3->insertPlainText(typed);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tintwell
