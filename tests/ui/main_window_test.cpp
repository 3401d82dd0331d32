#include "app/version.h"
#include "model/add_element.h"
#include "model/prompter.h"
#include "qt_test_support.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/preview_widget.h"
#include "ui/common/twips.h"
#include "ui/dialogs/add_elements_dialog.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/dialogs/web_pages.h"
#include "ui/editor/style_editor.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/theme_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QUndoStack>
#include <QUndoView>
#include <QWindow>
#include <deque>
#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace tintwell;

namespace {

// Answers the Open and Save dialogs from a script; an empty script answers Cancel.
class ScriptedDialogs : public FileDialogs
{
public:
    std::deque<QString> answers;
    QStringList filters;
    QStringList default_names;
    int shown = 0;

    QString open_path(QWidget*, const QString&, const QString& filter) override
    {
        return next(filter);
    }
    QString save_path(
        QWidget*, const QString&, const QString& default_name, const QString& filter) override
    {
        default_names << default_name;
        return next(filter);
    }

private:
    QString next(const QString& filter)
    {
        ++shown;
        filters << filter;
        if (answers.empty()) {
            return {};
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

QString data_file(const char* name)
{
    return QString(TINTWELL_TEST_DATA) + "/" + name;
}

// Item `index` of a menu of the main window ("mf" is File, "med" Edit, "mcod2" the code pop-up).
QAction* menu_item(const QObject& window, const char* menu, int index)
{
    return child<QAction>(window, (QString(menu) + "_" + QString::number(index)).toLatin1());
}

// The caption as the window system shows it, with the unsaved-changes mark when there is one.
QString caption(QWidget& window)
{
    window.winId();
    return window.windowHandle()->title();
}

QByteArray read_all(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Runs `answer` on the next modal dialog, once it shows; `answered` tells whether one showed.
void answer_dialog(std::function<void(QWidget*)> answer, bool& answered)
{
    answered = false;
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, tries, &answered] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr && ++*tries < 300) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (dialog != nullptr) {
            answered = true;
            const QPointer<QWidget> shown = dialog;
            answer(dialog);
            // An answer that failed half-way leaves the dialog open; the test goes on and fails.
            if (shown != nullptr && shown->isVisible()) {
                shown->close();
            }
        }
    });
    poll->start(10);
}

void choose(QListWidget* list, const QString& entry)
{
    QListWidgetItem* item = list->findItems(entry, Qt::MatchExactly).value(0);
    QVERIFY2(item, qPrintable(entry));
    list->setCurrentItem(item);
    item->setSelected(true);
}

void press(QWidget* dialog, const char* button)
{
    QTest::mouseClick(child<QWidget>(*dialog, button), Qt::LeftButton, {}, QPoint(3, 3));
}

// Every kind of change a user makes to a theme, through the window's own menus and dialogs.
enum class Step {
    Title,
    Description,
    Locale,
    Version,
    AddPresentation,
    RemovePresentation,
    StyleApply,
    StyleCancel,
    EditText,
    AddElements,
    SportApply,
    SportCancel,
    AddWidth,
    RemoveWidth,
};

struct ScenarioStep
{
    Step step;
    int row;
    /// The Undo item's text after the step; empty when the step must leave no step behind.
    const char* undo;
};

struct Scenario
{
    const char* name;
    const char* file;
    std::vector<ScenarioStep> steps;
};

const std::vector<Scenario>& scenarios()
{
    static const std::vector<Scenario> all = {
        { "car & zumo", "ui_car_zumo.kmtf",
            {
                { Step::Title, 0, "Undo Change Title" },
                { Step::AddPresentation, 0, "Undo Add Presentation" },
                // Applied to the copy in TRAFFIC as well: one step for both rows.
                { Step::StyleApply, 1, "Undo Apply ROAD HWY MJR to 2 presentations" },
                { Step::StyleCancel, 3, "" },
                // The text names a colour the way only the refresh after the editor reads.
                { Step::EditText, 0, "Undo Edit Text WATER" },
                { Step::AddElements, 0, "Undo Add Elements" },
                { Step::Description, 0, "Undo Change Description" },
                { Step::RemovePresentation, 0, "Undo Remove Presentation" },
                { Step::Locale, 0, "Undo Change Locality" },
                { Step::Version, 0, "Undo Change Version" },
            } },
        // Its width style has six-digit colours, which opening the Sport & Fitness editor reads
        // into the row afresh.
        { "sport & fitness", "ui_sport_six_digits.kmtf",
            {
                { Step::AddWidth, 2, "Undo Add BG/FG Width" },
                { Step::SportCancel, 1, "" },
                { Step::SportApply, 1, "Undo Apply MJR_HWY" },
                { Step::Title, 0, "Undo Change Title" },
                { Step::StyleApply, 0, "Undo Apply WATER" },
                { Step::RemoveWidth, 1, "Undo Remove BG/FG Width" },
                { Step::AddElements, 0, "Undo Add Elements" },
                { Step::Description, 0, "Undo Change Description" },
            } },
    };
    return all;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    ScriptedDialogs m_dialogs;

    QString settings_path() const { return m_dir->filePath("system/tintwell.dat"); }

    std::unique_ptr<MainWindow> make_window(const QString& pending = {})
    {
        auto window = std::make_unique<MainWindow>(pending, settings_path());
        window->set_prompter(&m_prompter);
        window->files().set_file_dialogs(&m_dialogs);
        // The real dialog only where a test drives it; elsewhere "+" chooses nothing.
        window->panel().set_element_chooser([](Document&) { return ElementSelection {}; });
        return window;
    }

    // A copy of a test theme in the temporary folder, so tests may delete or overwrite it.
    QString copy_of(const char* name, const QString& as)
    {
        const QString path = m_dir->filePath(as);
        QFile::remove(path);
        QFile::copy(data_file(name), path);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    static void open(MainWindow& window, ScriptedDialogs& dialogs, const QString& path)
    {
        dialogs.answers.push_back(path);
        menu_item(window, "mf", 3)->trigger();
    }

    // Key presses carrying text, as a keyboard sends them (also for letters QTest has no key for).
    static void type_text(QWidget* widget, const QString& typed)
    {
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
        }
    }

    static QStringList list_items(MainWindow& window)
    {
        QStringList items;
        auto* list = child<QListWidget>(window, "List1");
        for (int i = 0; i < list->count(); ++i) {
            items << list->item(i)->text().trimmed();
        }
        return items;
    }

    static QPoint box_centre(MainWindow& window, int row)
    {
        return window.preview()->box_rect(row).center();
    }

    // Saves through File, Save under `name` in the test folder and returns the bytes written.
    QByteArray save_as(MainWindow& window, const char* name)
    {
        const QString path = m_dir->filePath(name);
        m_dialogs.answers.push_back(path);
        menu_item(window, "mf", 5)->trigger();
        return read_all(path);
    }

    // Takes one step of a scenario through the window's menus, mouse and dialogs.
    void take_step(MainWindow& window, const ScenarioStep& step)
    {
        const bool car_zumo = window.document().kind == ThemeKind::CarZumo;
        const auto double_click = [&] {
            QTest::mouseDClick(window.preview(), Qt::LeftButton, {}, box_centre(window, step.row));
        };
        bool answered = true;
        switch (step.step) {
        case Step::Title:
            QTest::keyClicks(child<QLineEdit>(window, "title"), " 2");
            break;
        case Step::Description:
            QTest::keyClicks(child<QPlainTextEdit>(window, "Text3"), "MORE ");
            break;
        case Step::Locale:
            QTest::keyClicks(child<QLineEdit>(window, "Text1"), "-EU");
            break;
        case Step::Version:
            child<QLineEdit>(window, "Text2")->end(false);
            QTest::keyClick(child<QLineEdit>(window, "Text2"), Qt::Key_Backspace);
            QTest::keyClicks(child<QLineEdit>(window, "Text2"), "5");
            break;
        case Step::AddPresentation:
        case Step::RemovePresentation: {
            const bool adding = step.step == Step::AddPresentation;
            answer_dialog(
                [adding](QWidget* dialog) {
                    choose(child<QListWidget>(*dialog, adding ? "List1" : "List4"), "TRAFFIC");
                    press(dialog, adding ? "Command2_0" : "Command2_3");
                    press(dialog, "command1_1");
                },
                answered);
            menu_item(window, "med", adding ? 0 : 1)->trigger();
            break;
        }
        case Step::StyleApply:
        case Step::StyleCancel:
            answer_dialog(
                [apply = step.step == Step::StyleApply](QWidget* dialog) {
                    press(dialog, "Labc_239");
                    press(dialog, apply ? "command1_1" : "command1_0");
                },
                answered);
            double_click();
            break;
        case Step::EditText:
            child<QCheckBox>(window, "Check1")->setChecked(true);
            answer_dialog(
                [](QWidget* dialog) {
                    child<QPlainTextEdit>(*dialog, "Text1")
                        ->setPlainText("<STYLE FIELD=\"MAP_WATER\" >\n<COLOR>\n"
                                       "<PRIMARY DAY=\"#00FF00\" NIGHT=\"#003300\" />\n"
                                       "primary day=\"#123456\" night=\"#654321\" />\n");
                    press(dialog, "command1_1");
                },
                answered);
            double_click();
            child<QCheckBox>(window, "Check1")->setChecked(false);
            break;
        case Step::AddElements:
            window.panel().set_element_chooser(nullptr);
            answer_dialog(
                [car_zumo](QWidget* shown) {
                    auto* dialog = qobject_cast<AddElementsDialog*>(shown);
                    QVERIFY(dialog);
                    if (car_zumo) {
                        child<QListWidget>(dialog, "List3")->setCurrentRow(1);
                    }
                    choose(child<QListWidget>(dialog, "List1"),
                        car_zumo ? "ROAD_INTERSTATE" : "INTERSTATE");
                    QTest::mouseClick(
                        child<OwnerDrawnButton>(dialog, "command1_1"), Qt::LeftButton);
                },
                answered);
            child<QPushButton>(window, "Command2")->click();
            break;
        case Step::SportApply:
        case Step::SportCancel:
            answer_dialog(
                [apply = step.step == Step::SportApply](QWidget* dialog) {
                    child<QLineEdit>(*dialog, "Text1_1")->setText("7");
                    press(dialog, apply ? "command1_1" : "command1_0");
                },
                answered);
            double_click();
            break;
        case Step::AddWidth:
        case Step::RemoveWidth:
            QTest::mouseClick(window.preview(), Qt::LeftButton, {}, box_centre(window, step.row));
            menu_item(window, "mcod2", step.step == Step::AddWidth ? 3 : 4)->trigger();
            break;
        }
        QVERIFY(answered);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        m_prompter = RecordingPrompter();
        m_dialogs = ScriptedDialogs();
        btn_hover() = false;
    }

    void startsWithPathFromCommandLine()
    {
        const QString path = copy_of("ui_car_zumo.kmtf", "Start Theme.kmtf");
        auto window = make_window("\"" + path + "\"");
        QCOMPARE(caption(*window), QString("Tintwell ") + program_version + " ");
        window->show();
        QTRY_COMPARE(window->document().row_count(), 5);
        QCOMPARE(caption(*window), QString("Tintwell ") + program_version + " " + path.toLower());
        QCOMPARE(QString::fromStdString(window->files().recent()[0]), path);
        QCOMPARE(child<QListWidget>(*window, "List1")->count(), 2);
        QCOMPARE(child<QLineEdit>(*window, "title")->text(), QString("WINDOW SAMPLE"));
        QCOMPARE(menu_item(*window, "mf", 12)->text(), path);

        // The water polygon is drawn in its day colour inside its sample box.
        const QImage shot = window->preview()->grab().toImage();
        const QPoint inside = window->preview()->box_rect(0).topLeft() + QPoint(20, 20);
        QCOMPARE(shot.pixelColor(inside), QColor(0x20, 0x40, 0xC0));
        QVERIFY(m_prompter.messages.empty());
        // The busy pointer is back to normal once the theme is shown.
        QVERIFY(!QApplication::overrideCursor());
    }

    void relativePathFromCommandLineIsRememberedInFull()
    {
        const QString path = copy_of("ui_car_zumo.kmtf", "Relative.kmtf");
        const QString started_in = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        auto window = make_window("\"./system/../Relative.kmtf\"");
        QDir::setCurrent(started_in);
        window->show();
        QTRY_COMPARE(window->document().row_count(), 5);
        QCOMPARE(QString::fromStdString(window->files().recent()[0]), path);
        QVERIFY(menu_item(*window, "mf", 12)->isEnabled());
        QCOMPARE(caption(*window), QString("Tintwell ") + program_version + " " + path.toLower());
    }

    void controlsSitAtDesignGeometry()
    {
        auto window = make_window();
        QCOMPARE(window->objectName(), QString("f1"));
        const std::vector<std::pair<const char*, QRect>> design = {
            { "Command2", tw_rect(468, 336, 372, 324) }, { "Label1", tw_rect(984, 384, 1608, 312) },
            { "Check1", tw_rect(744, 900, 1296, 324) },
            { "Label2_0", tw_rect(300, 1464, 2076, 312) },
            { "List1", tw_rect(168, 1860, 2316, 1368) },
            { "Label2_1", tw_rect(300, 3360, 2076, 312) },
            { "title", tw_rect(120, 3720, 2436, 396) },
            { "Label2_2", tw_rect(240, 4200, 2076, 312) },
            { "Text3", tw_rect(120, 4560, 2436, 1356) },
            { "Label2_3", tw_rect(240, 6120, 2076, 312) },
            { "Text1", tw_rect(120, 6480, 2436, 468) },
            { "Label2_4", tw_rect(300, 7080, 2076, 312) },
            { "Text2", tw_rect(696, 7560, 1272, 468) }, { "Check2", tw_rect(720, 8400, 1332, 252) },
            { "Label3", tw_rect(168, 8880, 2412, 312) },
            { "Shape1", tw_rect(240, 9360, 2052, 1092) },
            { "Text4", tw_rect(360, 9480, 1800, 336) },
            { "command1", tw_rect(720, 9960, 1188, 360) }
        };
        for (const auto& [name, rect] : design) {
            auto* control = window->findChild<QWidget*>(name);
            QVERIFY2(control, name);
            QCOMPARE(control->geometry(), rect);
        }
        const std::vector<std::pair<const char*, QString>> captions = {
            { "Label1", "Add Line/Polygon" }, { "Label2_0", "Presentations" },
            { "Label2_1", "Title" }, { "Label2_2", "Description" }, { "Label2_3", "Locality" },
            { "Label2_4", "Version" }, { "Label3", "UPDATE AVAILABLE" }
        };
        for (const auto& [name, caption] : captions) {
            QCOMPARE(window->findChild<QLabel*>(name)->text(), caption);
        }
        QCOMPARE(child<QPushButton>(*window, "Command2")->text(), QString("+"));
        QCOMPARE(child<QCheckBox>(*window, "Check1")->text(), QString("Edit Text"));
        QCOMPARE(child<QCheckBox>(*window, "Check2")->text(), QString("Show Code"));
        QCOMPARE(child<OwnerDrawnButton>(*window, "command1")->caption(), QString("Search"));
        QVERIFY(child<QLabel>(*window, "Label3")->isHidden());
        QCOMPARE(window->findChild<QWidget*>("Picture1")->parentWidget(),
            window->findChild<QWidget*>("Picture2"));
        QStringList file_items;
        for (int i = 0; i < 12; ++i) {
            QAction* item = menu_item(*window, "mf", i);
            file_items << (item->isSeparator() ? QString("-") : item->text());
        }
        QCOMPARE(file_items,
            QStringList({ "New Car && Zumo Theme", "New Sport && Fitness Theme", "-", "Open", "-",
                "Save", "-", "About", "-", "Print", "-", "Exit" }));
        QCOMPARE(menu_item(*window, "mf", 5)->shortcut(), QKeySequence("Ctrl+Shift+S"));
        QCOMPARE(menu_item(*window, "med", 0)->text() + "|" + menu_item(*window, "med", 1)->text(),
            QString("Add Presentations|Remove Presentations"));
        QCOMPARE(menu_item(*window, "mset", 0)->text(),
            QString("Set Border to 0.3 when Border Color does not exist"));
        QVERIFY(menu_item(*window, "mset", 0)->isCheckable()
            && menu_item(*window, "mset", 0)->isChecked());
        QCOMPARE(
            menu_item(*window, "mhlp", 0)->text() + "|" + menu_item(*window, "mhlp", 2)->text(),
            QString("Check for Updates|Manual"));
        QVERIFY(menu_item(*window, "mhlp", 1)->isSeparator());
        QCOMPARE(
            menu_item(*window, "mcod2", 3)->text() + "|" + menu_item(*window, "mcod2", 4)->text(),
            QString("Add BG/FG Width|Remove BG/FG Width"));
        const QStringList menus = { child<QMenu>(*window, "mfile")->title(),
            child<QMenu>(*window, "medit")->title(), child<QMenu>(*window, "mpref")->title(),
            child<QMenu>(*window, "mhelp")->title() };
        QCOMPARE(menus, QStringList({ "File", "Edit", "Preference", "Help" }));
        // Undo, Redo and the History window come before the presentation commands, and the
        // colour commands last.
        QStringList edit_items;
        for (const QAction* item : child<QMenu>(*window, "medit")->actions()) {
            edit_items << (item->isSeparator() ? QString("-") : item->text());
        }
        QCOMPARE(edit_items,
            QStringList({ "Undo", "Redo", "History", "-", "Select All", "Edit Selected Styles...",
                "-", "Add Presentations", "Remove Presentations", "-", "Make Night Colours..." }));
        QVERIFY(!menu_item(*window, "mf", 9)->isEnabled());
        QCOMPARE(menu_item(*window, "mf", 9)->shortcut(), QKeySequence("Ctrl+P"));
        QVERIFY(menu_item(*window, "mcod2", 1)->text() == "Copy Code"
            && menu_item(*window, "mcod2", 2)->isSeparator());
    }

    void resizeGivesThePreviewTheCodeBoxHeight()
    {
        auto window = make_window();
        window->show();
        window->resize(900, 700);
        const int without = child<QWidget>(*window, "Picture2")->height();
        QTest::mouseClick(child<QCheckBox>(*window, "Check2"), Qt::LeftButton);
        QVERIFY(child<QCheckBox>(*window, "Check2")->isChecked());
        QVERIFY(child<QPlainTextEdit>(*window, "Text5")->isVisible());
        QCOMPARE(without - child<QWidget>(*window, "Picture2")->height(), px(900));
        QCOMPARE(child<QPlainTextEdit>(*window, "Text5")->y(),
            child<QWidget>(*window, "Picture2")->geometry().bottom() + 1 + px(50));
        QCOMPARE(child<QPlainTextEdit>(*window, "Text5")->width(),
            child<QWidget>(*window, "Picture2")->width());
        QCOMPARE(child<QScrollBar>(*window, "vs")->height(),
            child<QWidget>(*window, "Picture2")->height());
        QCOMPARE(child<QScrollBar>(*window, "vs")->geometry().right() + 1,
            px(tw(window->frameGeometry().width()) - 330));
    }

    void narrowWindowKeepsTheFrameWidthButMovesTheScrollBar()
    {
        auto window = make_window();
        window->show();
        window->resize(900, 700);
        const int frame_width = child<QWidget>(*window, "Picture2")->width();
        window->resize(px(2760 + 330 + 30) - 10, 700);
        QVERIFY(tw(window->frameGeometry().width()) - 2760 - 330 <= 30);
        QCOMPARE(child<QWidget>(*window, "Picture2")->width(), frame_width);
        QCOMPARE(child<QScrollBar>(*window, "vs")->geometry().right() + 1,
            px(tw(window->frameGeometry().width()) - 330));
    }

    void newThemeOfEachKind_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("car_zumo");
        QTest::newRow("car & zumo") << 0 << true;
        QTest::newRow("sport & fitness") << 1 << false;
    }

    void newThemeOfEachKind()
    {
        QFETCH(int, item);
        QFETCH(bool, car_zumo);
        auto window = make_window();
        int asked = 0;
        window->panel().set_element_chooser([&](Document&) {
            ++asked;
            return ElementSelection {};
        });
        // Start from the other kind so each flag has to change.
        menu_item(*window, "mf", car_zumo ? 1 : 0)->trigger();
        asked = 0;
        menu_item(*window, "mf", item)->trigger();
        QCOMPARE(asked, 1);
        // The presentation commands are Car & Zumo only; Undo and Redo stay in reach.
        QCOMPARE(menu_item(*window, "med", 0)->isEnabled(), car_zumo);
        QCOMPARE(menu_item(*window, "med", 1)->isEnabled(), car_zumo);
        QVERIFY(child<QMenu>(*window, "medit")->isEnabled());
        QCOMPARE(child<QLineEdit>(*window, "Text1")->isEnabled(), car_zumo);
        QCOMPARE(child<QLineEdit>(*window, "Text2")->isEnabled(), car_zumo);
        QCOMPARE(child<QLineEdit>(*window, "Text2")->text(), QString("1.00"));
        QCOMPARE(window->document().kind, car_zumo ? ThemeKind::CarZumo : ThemeKind::SportFitness);
    }

    void newThemeDeclinedKeepsTheOpenTheme()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "keep.kmtf"));
        window->document().modified = true;
        m_prompter.yes_no_answers = { true };
        menu_item(*window, "mf", 1)->trigger();
        QCOMPARE(m_prompter.questions.back(), std::string("Save project?"));
        QCOMPARE(window->document().kind, ThemeKind::CarZumo);
        QCOMPARE(window->document().row_count(), 5);
        QVERIFY(menu_item(*window, "med", 0)->isEnabled());
    }

    void plusWithoutThemeAsksForNew()
    {
        auto window = make_window();
        window->panel().Command2_Click();
        QCOMPARE(m_prompter.messages,
            std::vector<std::string> { "Select New Theme type. File,New ..." });
    }

    void addInterstateToBrowseThroughTheDialog()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "add.kmtf"));
        window->panel().set_element_chooser(nullptr);
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<AddElementsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QString("newelement"));
            QCOMPARE(dialog->windowTitle(), QString("Add Elements"));
            child<QListWidget>(dialog, "List3")->setCurrentRow(1);
            child<QListWidget>(dialog, "List1")
                ->findItems("ROAD_INTERSTATE", Qt::MatchExactly)
                .constFirst()
                ->setSelected(true);
            QTest::mouseClick(child<OwnerDrawnButton>(dialog, "command1_1"), Qt::LeftButton);
            driven = true;
        });
        window->panel().Command2_Click();
        QVERIFY(driven);
        const auto& rows = window->document().rows;
        QCOMPARE(rows.size(), std::size_t(6));
        // After every GUIDANCE row and the other BROWSE rows without a border.
        QCOMPARE(rows[5].field_name(), std::string("MAP_ROAD_INTERSTATE_CLR"));
        QCOMPARE(rows[5].pres_code, 10);
        QCOMPARE(rows[5].elem_name(), std::string("ROAD INTERSTATE"));
        for (std::size_t r = 0; r < 3; ++r) {
            QVERIFY(rows[r].pres_code < 10);
        }
        QCOMPARE(window->preview()->preview().layout().rows.size(), std::size_t(6));
        QCOMPARE(child<QListWidget>(*window, "List1")->count(), 2);
        QCOMPARE(child<QListWidget>(*window, "List1")->item(1)->text(), QString("BROWSE"));
        QVERIFY(window->document().modified);
    }

    void alreadyHasMessageThenNewOnesAdded()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "already.kmtf"));
        window->panel().set_element_chooser(nullptr);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<AddElementsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            child<QListWidget>(dialog, "List3")->setCurrentRow(0);
            child<QListWidget>(dialog, "List2")
                ->findItems("WATER", Qt::MatchExactly)
                .constFirst()
                ->setSelected(true);
            child<QListWidget>(dialog, "List2")
                ->findItems("BEACH", Qt::MatchExactly)
                .constFirst()
                ->setSelected(true);
            QTest::mouseClick(child<OwnerDrawnButton>(dialog, "command1_1"), Qt::LeftButton);
        });
        window->panel().Command2_Click();
        QCOMPARE(m_prompter.messages,
            std::vector<std::string> { "GUIDANCE already has \r\n\r\nWATER\r\n" });
        QCOMPARE(window->document().row_count(), 6);
        QCOMPARE(window->document().rows[3].field_name(), std::string("MAP_BEACH_CLR"));
    }

    void addElementsOpensWithNothingLookingChosen()
    {
        Document doc;
        AddElementsDialog dialog(doc);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (QListWidget* list : { child<QListWidget>(dialog, "List3"),
                 child<QListWidget>(dialog, "List1"), child<QListWidget>(dialog, "List2") }) {
            QVERIFY2(!list->hasFocus(), qPrintable(list->objectName()));
            QVERIFY(list->currentItem() == nullptr);
        }
        QTest::mouseClick(child<QListWidget>(dialog, "List3")->viewport(), Qt::LeftButton, {},
            child<QListWidget>(dialog, "List3")
                ->visualItemRect(child<QListWidget>(dialog, "List3")->item(1))
                .center());
        QCOMPARE(child<QListWidget>(dialog, "List3")->selectedItems().size(), 1);
    }

    void selectAllAndCancel()
    {
        Document doc;
        doc.kind = ThemeKind::SportFitness;
        AddElementsDialog dialog(doc);
        QCOMPARE(child<QListWidget>(dialog, "List3")->count(), 0);
        QCOMPARE(child<QListWidget>(dialog, "List1")->count(), 140);
        QTest::mouseClick(child<QCheckBox>(dialog, "Check1_1"), Qt::LeftButton);
        QCOMPARE(child<QListWidget>(dialog, "List2")->selectedItems().size(), 34);
        QTest::mouseClick(child<QCheckBox>(dialog, "Check1_1"), Qt::LeftButton);
        QCOMPARE(child<QListWidget>(dialog, "List2")->selectedItems().size(), 0);
        QCOMPARE(child<QListWidget>(dialog, "List1")->selectionMode(),
            QAbstractItemView::ExtendedSelection);
        child<QListWidget>(dialog, "List1")->item(0)->setSelected(true);
        QTest::mouseClick(child<OwnerDrawnButton>(dialog, "command1_0"), Qt::LeftButton);
        QVERIFY(dialog.selection().empty());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void pressSelectsAndShowsCode()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "press.kmtf"));
        window->show();
        QTest::mouseClick(window->preview(), Qt::LeftButton, {}, box_centre(*window, 1));
        QCOMPARE(window->document().cur_row, 1);
        QVERIFY(child<QPlainTextEdit>(*window, "Text5")
                    ->toPlainText()
                    .startsWith("<STYLE FIELD=\"MAP_ROAD_HWY_MJR\""));
        QVERIFY(window->preview()->frame_visible());
        const TwipRect frame = window->preview()->preview().shape4.rect;
        const TwipRect box = window->preview()->preview().layout().rows[1].box;
        QCOMPARE(frame.left, box.left - 20);
        QCOMPARE(frame.height, box.height + 600 + 40);

        QTest::mouseClick(window->preview(), Qt::LeftButton, {},
            QPoint(window->preview()->width() - 5, window->preview()->height() - 5));
        QVERIFY(!window->preview()->frame_visible());

        QTimer::singleShot(0, [&] {
            QVERIFY(child<QMenu>(*window, "mcode")->isVisible());
            child<QMenu>(*window, "mcode")->close();
        });
        QTest::mouseClick(window->preview(), Qt::RightButton, {}, box_centre(*window, 2));
        QTRY_VERIFY(!child<QMenu>(*window, "mcode")->isVisible());
        QCOMPARE(window->document().cur_row, 2);
    }

    void sampleToolTipsNameThePresentation_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("add_polygon");
        QTest::addColumn<QString>("tip");
        QTest::newRow("car & zumo row") << "ui_car_zumo.kmtf" << false << "GUIDANCE";
        QTest::newRow("sport & fitness row")
            << "ui_sport_fitness.kmtf" << false << "Sport & Fitness";
        QTest::newRow("row without presentation")
            << "ui_sport_fitness.kmtf" << true << " Double Click to Edit ";
    }

    void sampleToolTipsNameThePresentation()
    {
        QFETCH(QString, file);
        QFETCH(bool, add_polygon);
        QFETCH(QString, tip);
        auto window = make_window();
        open(*window, m_dialogs, copy_of(file.toLatin1().constData(), "tip.kmtf"));
        int row = 0;
        if (add_polygon) {
            window->panel().set_element_chooser([](Document& doc) {
                bool keep_open = true;
                return newelement_add(doc, { -1, {}, { "BOG" } }, keep_open);
            });
            window->panel().Command2_Click();
            row = window->document().row_count() - 1;
            QCOMPARE(window->document().rows[std::size_t(row)].elem_name(), std::string("BOG"));
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QPoint at = box_centre(*window, row);
        QHelpEvent help(QEvent::ToolTip, at, window->preview()->mapToGlobal(at));
        QApplication::sendEvent(window->preview(), &help);
        QTRY_COMPARE(QToolTip::text(), tip);
        QToolTip::hideText();
    }

    void doubleClickOpensTheEditorForTheRow_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("edit_text");
        QTest::addColumn<int>("kind");
        QTest::newRow("style editor") << "ui_car_zumo.kmtf" << 0 << false << int(EditorKind::Style);
        QTest::newRow("text editor when Edit Text")
            << "ui_car_zumo.kmtf" << 0 << true << int(EditorKind::StyleText);
        QTest::newRow("widths go to the sport editor whatever Edit Text shows")
            << "ui_sport_fitness.kmtf" << 1 << true << int(EditorKind::SportFitness);
        QTest::newRow("sport style without widths")
            << "ui_sport_fitness.kmtf" << 0 << false << int(EditorKind::Style);
    }

    void doubleClickOpensTheEditorForTheRow()
    {
        QFETCH(QString, file);
        QFETCH(int, row);
        QFETCH(bool, edit_text);
        QFETCH(int, kind);
        auto window = make_window();
        open(*window, m_dialogs, copy_of(file.toLatin1().constData(), "dbl.kmtf"));
        window->show();
        child<QCheckBox>(*window, "Check1")->setChecked(edit_text);

        // Nothing is registered yet: nothing opens and nothing breaks.
        QTest::mouseDClick(window->preview(), Qt::LeftButton, {}, box_centre(*window, row));
        QCOMPARE(window->document().cur_row, row);

        std::vector<std::pair<int, int>> opened;
        for (EditorKind each :
            { EditorKind::Style, EditorKind::StyleText, EditorKind::SportFitness }) {
            window->editors().register_editor(each, [&, each](QWidget*, Document& doc, int r) {
                opened.emplace_back(int(each), r);
                StyleRow& edited = doc.rows[static_cast<std::size_t>(r)];
                edited.set_style_text(std::string(edited.style_text()) + " ");
                return true;
            });
        }
        QTest::mouseDClick(window->preview(), Qt::LeftButton, {}, box_centre(*window, row));
        QCOMPARE(opened.size(), std::size_t(1));
        QCOMPARE(opened[0], std::make_pair(kind, row));
    }

    void searchStepsWrapsAndSaysNotFound()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "search.kmtf"));
        window->show();
        window->resize(700, 400);
        QTest::keyClicks(child<QLineEdit>(*window, "Text4"), "water");
        const std::vector<int> expected = { 0, 2, 0 };
        for (int found : expected) {
            QTest::keyClick(child<QLineEdit>(*window, "Text4"), Qt::Key_Return);
            QCOMPARE(window->panel().search_pos(), found + 1);
            QCOMPARE(window->preview()->preview().shape4.rect.left,
                window->preview()->preview().layout().rows[std::size_t(found)].box.left - 20);
        }
        QTest::keyClicks(child<QLineEdit>(*window, "Text4"), "_");
        QCOMPARE(window->panel().search_pos(), 0);

        child<QLineEdit>(*window, "Text4")->setText("park");
        QTest::mouseClick(child<OwnerDrawnButton>(*window, "command1"), Qt::LeftButton);
        // PARK is the last row: the next search starts from the top, and the sample is shown.
        QCOMPARE(window->panel().search_pos(), 0);
        const QRect box = window->preview()->box_rect(4).translated(window->preview()->pos());
        QVERIFY(child<QWidget>(*window, "Picture2")->rect().intersects(box));

        child<QLineEdit>(*window, "Text4")->setText("nothing");
        QTest::mouseClick(child<OwnerDrawnButton>(*window, "command1"), Qt::LeftButton);
        QCOMPARE(m_prompter.messages, std::vector<std::string> { "Not found" });
        QCOMPARE(window->panel().search_pos(), 0);
    }

    void saveChecks_data()
    {
        QTest::addColumn<bool>("with_rows");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty table") << false << "T"
                                     << "D"
                                     << "No data to save";
        QTest::newRow("title of blanks") << true << "   "
                                         << "D"
                                         << "Theme needs a Title";
        QTest::newRow("no description") << true << "T"
                                        << " "
                                        << "Theme needs a description";
    }

    void saveChecks()
    {
        QFETCH(bool, with_rows);
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(QString, message);
        auto window = make_window();
        if (with_rows) {
            open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "checks.kmtf"));
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        child<QLineEdit>(*window, "title")->setText(title);
        child<QPlainTextEdit>(*window, "Text3")->setPlainText(description);
        m_dialogs.shown = 0;
        menu_item(*window, "mf", 5)->trigger();
        QCOMPARE(m_prompter.messages, std::vector<std::string> { message.toStdString() });
        QCOMPARE(m_dialogs.shown, 0);
        if (message == "Theme needs a Title") {
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(*window, "title"));
        } else if (message == "Theme needs a description") {
            QCOMPARE(QApplication::focusWidget(), child<QPlainTextEdit>(*window, "Text3"));
        }
    }

    void ctrlSSavesToTheThemesOwnFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("title");
        // Where Ctrl+S writes: the file read, the file saved to last, or (untitled) through the
        // Save dialog; a refused save writes nothing.
        QTest::newRow("read from a file") << "opened"
                                          << "RENAMED";
        QTest::newRow("saved under another name") << "saved as"
                                                  << "RENAMED";
        QTest::newRow("untitled") << "new"
                                  << "RENAMED";
        QTest::newRow("title missing") << "opened"
                                       << " ";
    }

    void ctrlSSavesToTheThemesOwnFile()
    {
        QFETCH(QString, how);
        QFETCH(QString, title);
        auto window = make_window();
        window->panel().set_element_chooser([](Document&) {
            return ElementSelection { "ROAD_DIM\r\n", "", "0GUIDANCE" };
        });
        const QString opened = copy_of("ui_car_zumo.kmtf", "own.kmtf");
        const QString other = m_dir->filePath("other.kmtf");
        if (how == "new") {
            menu_item(*window, "mf", 0)->trigger();
            child<QPlainTextEdit>(*window, "Text3")->setPlainText("D");
        } else {
            open(*window, m_dialogs, opened);
        }
        if (how == "saved as") {
            m_dialogs.answers.push_back(other);
            menu_item(*window, "mf", 5)->trigger();
            QVERIFY(QFile::exists(other));
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        child<QLineEdit>(*window, "title")->setText(title);
        m_dialogs.shown = 0;
        m_prompter.questions.clear();
        if (how == "new") {
            m_dialogs.answers.push_back(other);
        }
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);

        const bool refused = title.trimmed().isEmpty();
        QCOMPARE(m_dialogs.shown, how == "new" ? 1 : 0);
        QVERIFY(m_prompter.questions.empty());
        QCOMPARE(m_prompter.messages,
            refused ? std::vector<std::string> { "Theme needs a Title" }
                    : std::vector<std::string> {});
        QCOMPARE(window->document().modified, refused);
        const QString target = how == "opened" ? opened : other;
        QCOMPARE(read_all(target).contains("<TITLE>RENAMED</TITLE>"), !refused);
        if (how != "opened") {
            QCOMPARE(read_all(opened), read_all(data_file("ui_car_zumo.kmtf")));
        }
        QCOMPARE(
            QString::fromStdString(window->document().file_name), how == "opened" ? opened : other);

        // Save keeps its dialog, now on Ctrl+Shift+S; Ctrl+Q runs Exit.
        m_dialogs.shown = 0;
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_dialogs.shown, refused ? 0 : 1);
        window->document().modified = false;
        QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window->isVisible());
    }

    // Without a browser to show it, Help, Manual says so and gives the manual's path.
    void manualThatCannotBeShownSaysWhereItIs()
    {
        const QString manual = QCoreApplication::applicationDirPath() + "/manual.html";
        const bool made = !QFileInfo::exists(manual);
        if (made) {
            QFile file(manual);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString where = QDir::toNativeSeparators(QFileInfo(manual).canonicalFilePath());
        QList<QUrl> shown;
        set_page_opener([&](const QUrl& url) {
            shown << url;
            return false;
        });
        auto window = make_window();
        connect_dialog_menus(*window);
        menu_item(*window, "mhlp", 2)->trigger();
        set_page_opener({});
        if (made) {
            QFile::remove(manual);
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(m_prompter.messages,
            std::vector<std::string> { "The manual could not be opened: no web browser is set up "
                                       "to show it.\r\n\r\nOpen this file in a web browser:\r\n"
                + to_latin1(where) });
    }

    void previewHasTheKeysAfterATheme_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("clicked_title");
        QTest::newRow("command line") << "command line" << false;
        QTest::newRow("File, Open") << "open" << false;
        QTest::newRow("File, New") << "new" << false;
        QTest::newRow("File, Open after a click in the title") << "open" << true;
    }

    // Right after a theme is opened or started the arrow keys move the selection, unless the
    // user had clicked into a text box, which keeps the keys.
    void previewHasTheKeysAfterATheme()
    {
        QFETCH(QString, how);
        QFETCH(bool, clicked_title);
        const QString path = copy_of("ui_car_zumo.kmtf", "keys.kmtf");
        auto window = make_window(how == "command line" ? path : QString());
        window->panel().set_element_chooser([](Document&) {
            return ElementSelection { "ROAD_DIM\r\n", "", "0GUIDANCE" };
        });
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* title = child<QLineEdit>(*window, "title");
        if (clicked_title) {
            QTest::mouseClick(title, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), title);
        }
        if (how == "open") {
            open(*window, m_dialogs, path);
        } else if (how == "new") {
            menu_item(*window, "mf", 0)->trigger();
        }
        QTRY_VERIFY(window->document().row_count() > 0);
        QWidget* expected = clicked_title ? static_cast<QWidget*>(title) : window->preview();
        QTRY_COMPARE(QApplication::focusWidget(), expected);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(window->preview()->frame_visible(), !clicked_title);
    }

    void saveAddsTheSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "plain"
                                      << "plain.kmtf";
        QTest::newRow("extension in capitals stays") << "LOUD.KMTF"
                                                     << "LOUD.KMTF";
        QTest::newRow("extension anywhere counts") << "odd.kmtf.txt"
                                                   << "odd.kmtf.txt";
    }

    void saveAddsTheSuffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "suffix.kmtf"));
        window->document().modified = true;
        m_dialogs.answers.push_back(m_dialog_path(typed));
        menu_item(*window, "mf", 5)->trigger();
        QVERIFY(QFile::exists(m_dialog_path(written)));
        QCOMPARE(m_dialogs.filters.back(), QString("Garmin Theme File (kmtf) (*.kmtf)"));
        QCOMPARE(m_dialogs.default_names.back(), m_dialog_path("suffix.kmtf"));
        QCOMPARE(caption(*window),
            QString("Tintwell ") + program_version + " " + m_dialog_path(written).toLower());
        QCOMPARE(menu_item(*window, "mf", 12)->data().toString(), m_dialog_path(written));
        QVERIFY(!window->document().modified);
        QVERIFY(m_prompter.questions.empty());
    }

    void declinedOverwriteKeepsFileAndName()
    {
        auto window = make_window();
        const QString path = copy_of("ui_car_zumo.kmtf", "over.kmtf");
        const QString other = copy_of("ui_sport_fitness.kmtf", "other.kmtf");
        open(*window, m_dialogs, path);
        window->document().modified = true;
        m_dialogs.answers.push_back(other);
        m_prompter.yes_no_answers = { false };
        menu_item(*window, "mf", 5)->trigger();
        QCOMPARE(m_prompter.questions, std::vector<std::string> { "Overwrite existing file?" });
        QCOMPARE(read_all(other), read_all(data_file("ui_sport_fitness.kmtf")));
        QCOMPARE(QString::fromStdString(window->document().file_name), path);
        QVERIFY(window->document().modified);
    }

    void openAsksWhenThereAreUnsavedChanges()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "first.kmtf"));
        QCOMPARE(m_dialogs.filters.back(), QString("Garmin Themes (*.kmtf)"));
        window->document().modified = true;
        m_prompter.yes_no_answers = { false };
        open(*window, m_dialogs, copy_of("ui_sport_fitness.kmtf", "second.kmtf"));
        QCOMPARE(m_prompter.questions, std::vector<std::string> { "Save Current file?" });
        QCOMPARE(window->document().kind, ThemeKind::SportFitness);
    }

    void editingMetadataMarksTheThemeModified_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("title") << "title";
        QTest::newRow("description") << "Text3";
        QTest::newRow("locale") << "Text1";
        QTest::newRow("version") << "Text2";
    }

    void editingMetadataMarksTheThemeModified()
    {
        QFETCH(QString, field);
        auto window = make_window();
        window->show();
        QWidget* edit = window->findChild<QWidget*>(field);
        QTest::keyClicks(edit, "9");
        QVERIFY2(!window->document().modified, "without a theme there is nothing to save");
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "meta.kmtf"));
        QVERIFY(!window->document().modified);
        QTest::keyClicks(edit, "9");
        QVERIFY(window->document().modified);

        // Closing, Open and New each ask before the edit could be lost.
        m_prompter.yes_no_cancel_answers = { YesNoCancel::Cancel };
        QVERIFY(!window->close());
        m_prompter.yes_no_answers = { false, false };
        menu_item(*window, "mf", 3)->trigger();
        menu_item(*window, "mf", 0)->trigger();
        QCOMPARE(m_prompter.questions,
            (std::vector<std::string> { "Save file?", "Save Current file?", "Save project?" }));
    }

    void yesToSaveFirstSavesAndKeepsTheTheme_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("question");
        QTest::newRow("new") << "new"
                             << "Save project?";
        QTest::newRow("open") << "open"
                              << "Save Current file?";
        QTest::newRow("recent entry") << "recent"
                                      << "Save Current file?";
        QTest::newRow("drop") << "drop"
                              << "Save Current file?";
    }

    void yesToSaveFirstSavesAndKeepsTheTheme()
    {
        QFETCH(QString, how);
        QFETCH(QString, question);
        auto window = make_window();
        int chosen = 0;
        window->panel().set_element_chooser([&](Document&) {
            ++chosen;
            return ElementSelection {};
        });
        const QString other = copy_of("ui_sport_fitness.kmtf", "other.kmtf");
        open(*window, m_dialogs, other);
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "mine.kmtf"));
        window->show();
        QTest::keyClicks(child<QLineEdit>(*window, "title"), " 2");
        const auto rows = window->document().rows;
        const QString saved = m_dir->filePath("saved.kmtf");
        m_dialogs.answers = { saved };
        m_dialogs.shown = 0;
        m_prompter.yes_no_answers = { true };
        if (how == "new") {
            menu_item(*window, "mf", 0)->trigger();
        } else if (how == "open") {
            menu_item(*window, "mf", 3)->trigger();
        } else if (how == "recent") {
            QCOMPARE(menu_item(*window, "mf", 13)->data().toString(), other);
            menu_item(*window, "mf", 13)->trigger();
        } else {
            window->files().loadole(other);
        }
        QCOMPARE(m_prompter.questions, std::vector<std::string> { question.toStdString() });
        // The Save dialog, and no other.
        QCOMPARE(m_dialogs.shown, 1);
        QCOMPARE(m_dialogs.filters.back(), QString("Garmin Theme File (kmtf) (*.kmtf)"));
        QCOMPARE(chosen, 0);
        QVERIFY(read_all(saved).contains("<TITLE>WINDOW SAMPLE 2</TITLE>"));
        QCOMPARE(window->document().rows, rows);
        QCOMPARE(window->document().kind, ThemeKind::CarZumo);
        QVERIFY(!window->document().modified);
        QCOMPARE(caption(*window), QString("Tintwell ") + program_version + " " + saved.toLower());
        // Saved files go to the top of the recent files.
        QCOMPARE(QString::fromStdString(window->files().recent()[0]), saved);
        QCOMPARE(menu_item(*window, "mf", 12)->data().toString(), saved);
    }

    // A file that saving would change says so above the preview, with the line, until the bar is
    // closed or another theme replaces it; reading itself is as before.
    void fileThatSavingWouldChangeSaysSoOnOpening()
    {
        QFile source(data_file("ui_car_zumo.kmtf"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray whole = source.readAll();
        const QString cut = m_dir->filePath("cut.kmtf");
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(whole.left(whole.lastIndexOf("</STYLE>")));
        out.close();
        // The cut text ends with the line break before the last "</STYLE>": that is its last line.
        const auto cut_line = whole.left(whole.lastIndexOf("</STYLE>")).count('\n');

        auto window = make_window();
        window->show();
        auto* bar = window->findChild<QFrame*>("notice_bar");
        QVERIFY(bar);
        QVERIFY(!bar->isVisible());
        open(*window, m_dialogs, cut);
        QCOMPARE(window->document().row_count(), 5);
        QVERIFY(bar->isVisible());
        auto* text = window->findChild<QLabel*>("notice_text");
        QCOMPARE(text->text(),
            QString("This file ends at line %1 inside a style; saving keeps only the styles read "
                    "so far")
                .arg(cut_line));
        QCOMPARE(bar->width(), bar->parentWidget()->width());

        // Cut between two styles: no style is lost, but the rest of the file is.
        const int after_styles = whole.lastIndexOf("</STYLE>") + 8;
        const QString between = m_dir->filePath("between.kmtf");
        QFile out2(between);
        QVERIFY(out2.open(QIODevice::WriteOnly));
        out2.write(whole.left(after_styles));
        out2.close();
        open(*window, m_dialogs, between);
        QCOMPARE(text->text(),
            QString("This file ends at line %1 before its closing tag </GARMIN_MAP_THEME>; saving "
                    "keeps only the styles read so far")
                .arg(whole.left(after_styles).count('\n') + 1));
        open(*window, m_dialogs, cut);

        window->findChild<QToolButton*>("notice_close")->click();
        QVERIFY(!bar->isVisible());
        open(*window, m_dialogs, cut);
        QVERIFY(bar->isVisible());
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "whole.kmtf"));
        QVERIFY(!bar->isVisible());
    }

    void rejectedFileLeavesTheOpenThemeAsItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QByteArray no_presentation = "<garmin_map_theme><metadata><title>Other</title>"
                                           "</metadata><style field=\"X\"><color></color></style>";
        QTest::newRow("open, no presentation") << "open" << no_presentation << "No Presentation";
        QTest::newRow("open, not a theme")
            << "open" << QByteArray("hello") << "File not a Garmin kmtf file.";
        QTest::newRow("dropped, no presentation") << "drop" << no_presentation << "No Presentation";
        QTest::newRow("recent entry, not a theme")
            << "recent" << QByteArray("hello") << "File not a Garmin kmtf file.";
        QTest::newRow("command line, no presentation")
            << "command line" << no_presentation << "No Presentation";
    }

    void rejectedFileLeavesTheOpenThemeAsItWas()
    {
        QFETCH(QString, how);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        // The rejected file was a theme before, so it stands in the recent files.
        const QString other = copy_of("ui_car_zumo.kmtf", "other.kmtf");
        auto window = make_window(how == "command line" ? other : QString());
        open(*window, m_dialogs, other);
        const QString path = copy_of("ui_sport_fitness.kmtf", "mine.kmtf");
        open(*window, m_dialogs, path);
        // An unsaved change, made as the user makes one: a step of the history.
        child<QLineEdit>(*window, "title")->setText("CHANGED");
        QVERIFY(window->document().modified);
        const QString shown = caption(*window);
        const ThemeMetadata metadata = window->document().metadata;
        const auto rows = window->document().rows;
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        m_prompter.yes_no_answers = { false };
        window->show();
        if (how == "drop") {
            window->files().loadole(other);
        } else if (how == "recent") {
            menu_item(*window, "mf", 13)->trigger();
        } else if (how == "open") {
            open(*window, m_dialogs, other);
        }
        QTRY_COMPARE(m_prompter.messages, std::vector<std::string> { message.toStdString() });
        QCOMPARE(window->document().rows, rows);
        QCOMPARE(window->document().kind, ThemeKind::SportFitness);
        QVERIFY(window->document().modified);
        QCOMPARE(QString::fromStdString(window->document().file_name), path);
        QCOMPARE(caption(*window), shown);
        QCOMPARE(window->document().metadata, metadata);
        QCOMPARE(child<QLineEdit>(*window, "title")->text(), QString::fromLatin1(metadata.title));
        QCOMPARE(child<QListWidget>(*window, "List1")->count(), 1);
        const RecentFiles recent = window->files().recent();
        QCOMPARE(recent[0], path.toStdString());
        QVERIFY(std::find(recent.begin(), recent.end(), other.toStdString()) == recent.end());
        QVERIFY(!menu_item(*window, "mf", 13)->isVisible());
        // Closing still asks about the unsaved changes.
        m_prompter.yes_no_cancel_answers = { YesNoCancel::Cancel };
        QVERIFY(!window->close());
        QCOMPARE(m_prompter.questions.back(), std::string("Save file?"));
    }

    void recentFilesKeepSevenMoveUpAndForgetVanished()
    {
        auto window = make_window();
        QStringList paths;
        for (int i = 0; i < 8; ++i) {
            paths << copy_of("ui_car_zumo.kmtf", QString("r%1.kmtf").arg(i));
            open(*window, m_dialogs, paths.back());
        }
        auto entries = [&] {
            QStringList list;
            for (int i = 12; i <= 18; ++i) {
                list << menu_item(*window, "mf", i)->data().toString();
            }
            return list;
        };
        QCOMPARE(entries(),
            QStringList({ paths[7], paths[6], paths[5], paths[4], paths[3], paths[2], paths[1] }));

        // Reopening the fourth entry moves it to the top; the three above it move down.
        menu_item(*window, "mf", 15)->trigger();
        QCOMPARE(entries(),
            QStringList({ paths[4], paths[7], paths[6], paths[5], paths[3], paths[2], paths[1] }));
        QCOMPARE(
            caption(*window), QString("Tintwell ") + program_version + " " + paths[4].toLower());

        // A file deleted meanwhile is greyed after the next open...
        QFile::remove(paths[6]);
        open(*window, m_dialogs, paths[3]);
        QCOMPARE(menu_item(*window, "mf", 15)->data().toString(), paths[6]);
        QVERIFY(!menu_item(*window, "mf", 15)->isEnabled());
        QVERIFY(menu_item(*window, "mf", 14)->isEnabled());

        // ...and reopening it says so and closes the gap.
        window->files().open_recent(3);
        QCOMPARE(m_prompter.messages.back(), "Cannot find " + paths[6].toStdString());
        QCOMPARE(window->document().row_count(), 5);
        QCOMPARE(
            caption(*window), QString("Tintwell ") + program_version + " " + paths[3].toLower());
        QCOMPARE(entries(),
            QStringList({ paths[3], paths[4], paths[7], paths[5], paths[2], paths[1], QString() }));
        QVERIFY(!menu_item(*window, "mf", 18)->isVisible());
        // The entries that moved up are not greyed for the file that vanished.
        for (int i = 12; i <= 17; ++i) {
            QVERIFY2(menu_item(*window, "mf", i)->isEnabled(), qPrintable(QString::number(i)));
        }
    }

    void settingsFileBytesAfterClosing()
    {
        const QString path = copy_of("ui_car_zumo.kmtf", "kept.kmtf");
        {
            auto window = make_window();
            window->show();
            open(*window, m_dialogs, path);
            menu_item(*window, "mset", 0)->trigger();
            QVERIFY(!window->document().border_pref);
            QTest::mouseClick(child<QCheckBox>(*window, "Check2"), Qt::LeftButton);
            QVERIFY(window->close());
        }
        const QByteArray expected = QByteArray("\xA3)*(\r\n") + path.toUtf8()
            + "\r\n\r\n\r\n\r\n\r\n\r\n\r\nFalse\r\n1\r\n";
        QCOMPARE(read_all(settings_path()), expected);

        auto again = make_window();
        QVERIFY(!menu_item(*again, "mset", 0)->isChecked());
        QVERIFY(!again->document().border_pref);
        QVERIFY(child<QCheckBox>(*again, "Check2")->isChecked());
        QCOMPARE(menu_item(*again, "mf", 12)->data().toString(), path);
    }

    // A pipe or folder where a settings file belongs: the window starts (reading the pipe would
    // wait for ever), says nothing in a box, and leaves both in place when it closes.
    void settingsFilesThatAreNotFiles_data()
    {
        QTest::addColumn<bool>("pipe_for_settings");
        QTest::newRow("pipe for tintwell.dat, folder for view.ini") << true;
        QTest::newRow("folder for tintwell.dat, pipe for view.ini") << false;
    }

    void settingsFilesThatAreNotFiles()
    {
        QFETCH(bool, pipe_for_settings);
        const QString view_path = m_dir->filePath("system/view.ini");
        const QString pipe = pipe_for_settings ? settings_path() : view_path;
        const QString folder = pipe_for_settings ? view_path : settings_path();
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(QDir().mkdir(folder));
        {
            auto window = make_window();
            window->show();
            QVERIFY(window->close());
        }
        QCOMPARE(m_prompter.messages, std::vector<std::string> {});
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile() && !QFileInfo(pipe).isDir());
        QVERIFY(QFileInfo(folder).isDir());
    }

    void saveFileQuestionOnClose_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("save_dialogs");
        QTest::newRow("yes saves and stays open") << int(YesNoCancel::Yes) << false << 1;
        QTest::newRow("no closes") << int(YesNoCancel::No) << true << 0;
        QTest::newRow("cancel stays open") << int(YesNoCancel::Cancel) << false << 0;
    }

    void saveFileQuestionOnClose()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(int, save_dialogs);
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "close.kmtf"));
        window->show();
        window->document().modified = true;
        m_dialogs.shown = 0;
        m_prompter.yes_no_cancel_answers = { YesNoCancel(answer) };
        QCOMPARE(window->close(), closes);
        QCOMPARE(m_prompter.questions, std::vector<std::string> { "Save file?" });
        QCOMPARE(m_dialogs.shown, save_dialogs);
        QCOMPARE(QFile::exists(settings_path()), closes);
    }

    void dropRules_data()
    {
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("answer_yes");
        QTest::addColumn<bool>("loads");
        QTest::newRow("other theme") << "drop.kmtf" << false << false << true;
        QTest::newRow("capital extension") << "DROP2.KMTF" << false << false << true;
        QTest::newRow("other extension") << "drop.txt" << false << false << false;
        QTest::newRow("the open file") << "open.kmtf" << false << false << false;
        QTest::newRow("unsaved, yes keeps") << "drop.kmtf" << true << true << false;
        QTest::newRow("unsaved, no loads") << "drop.kmtf" << true << false << true;
    }

    void dropRules()
    {
        QFETCH(QString, dropped);
        QFETCH(bool, modified);
        QFETCH(bool, answer_yes);
        QFETCH(bool, loads);
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "open.kmtf"));
        window->show();
        const QString path = copy_of("ui_sport_fitness.kmtf", dropped);
        window->document().modified = modified;
        m_prompter.yes_no_answers = { answer_yes };

        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(path) });
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(window->preview(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(window->preview(), &drop);

        QCOMPARE(window->document().kind == ThemeKind::SportFitness, loads);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_prompter.questions.size(), std::size_t(modified ? 1 : 0));
        if (loads) {
            QCOMPARE(QString::fromStdString(window->document().file_name), path);
            QVERIFY(!window->document().modified);
            QCOMPARE(QString::fromStdString(window->files().recent()[0]), path);
        }
    }

    void titleAndDescriptionUpperCaseLettersOnly()
    {
        auto window = make_window();
        window->show();
        type_text(child<QLineEdit>(*window, "title"), QString::fromUtf8("a_b é1ÿ"));
        QCOMPARE(child<QLineEdit>(*window, "title")->text(), QString::fromUtf8("A_B É1ÿ"));
        QCOMPARE(window->document().metadata.title,
            std::string("A_B \xC9"
                        "1\xFF"));
        QTest::keyClicks(child<QPlainTextEdit>(*window, "Text3"), "x-y");
        QCOMPARE(child<QPlainTextEdit>(*window, "Text3")->toPlainText(), QString("X-Y"));
        QCOMPARE(window->document().metadata.description, std::string("X-Y"));
    }

    void searchButtonHoverAndFit()
    {
        auto window = make_window();
        window->show();
        OwnerDrawnButton* button = child<OwnerDrawnButton>(*window, "command1");
        QCOMPARE(button->back_colour(), QColor(230, 230, 230));
        QTest::mouseMove(button, QPoint(5, 5));
        QTRY_COMPARE(button->back_colour(), QColor(250, 250, 250));
        QVERIFY(btn_hover());
        QCOMPARE(button->caption_colour(), QColor(0, 0, 255));
        window->panel().p1_MouseMove(0);
        QCOMPARE(button->back_colour(), QColor(230, 230, 230));
        QVERIFY(!btn_hover());

        OwnerDrawnButton narrow("A caption far too long for the box");
        narrow.resize(px(600), px(360));
        narrow.draw_button("A caption far too long for the box", ButtonLook::Normal);
        QCOMPARE(narrow.font_size(), 6);
        narrow.draw_button(QString(), ButtonLook::Disabled, ButtonFont::Small);
        QCOMPARE(narrow.caption(), QString("A caption far too long for the box"));
        QCOMPARE(narrow.caption_colour(), QColor(180, 180, 180));
    }

    void everyKindOfStepUndoesToTheOpenedBytes_data()
    {
        QTest::addColumn<int>("scenario");
        for (std::size_t i = 0; i < scenarios().size(); ++i) {
            QTest::newRow(scenarios()[i].name) << int(i);
        }
    }

    // Each row takes every kind of step a theme of its kind allows, then undoes all of them and
    // redoes all of them through the Edit menu: the saved bytes must be those of the theme as
    // opened, then those of the changed theme.
    void everyKindOfStepUndoesToTheOpenedBytes()
    {
        QFETCH(int, scenario);
        const Scenario& plan = scenarios()[std::size_t(scenario)];
        auto window = make_window();
        connect_dialog_menus(*window);
        register_style_editor(window->editors());
        open(*window, m_dialogs, copy_of(plan.file, "theme.kmtf"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const Document& doc = window->document();
        const auto opened_rows = doc.rows;
        const PresentationList opened_list = presentation_list(doc);
        const QStringList opened_items = list_items(*window);
        const QByteArray opened = save_as(*window, "opened.kmtf");
        QUndoStack& history = window->history();
        QAction* undo = child<QAction>(*window, "undo");
        QAction* redo = child<QAction>(*window, "redo");

        int steps = 0;
        for (const ScenarioStep& step : plan.steps) {
            take_step(*window, step);
            if (*step.undo != 0) {
                ++steps;
                QCOMPARE(undo->text(), QString(step.undo));
            }
            QCOMPARE(history.count(), steps);
        }
        QCOMPARE(m_prompter.messages, std::vector<std::string> {});
        QVERIFY(doc.modified);
        const QByteArray changed = save_as(*window, "changed.kmtf");
        QVERIFY(changed != opened);
        const auto changed_rows = doc.rows;

        for (int i = 0; i < steps; ++i) {
            undo->trigger();
        }
        QVERIFY(!undo->isEnabled());
        QCOMPARE(doc.rows, opened_rows);
        QVERIFY(presentation_list(doc) == opened_list);
        QCOMPARE(list_items(*window), opened_items);
        QCOMPARE(window->preview()->preview().layout().rows.size(), opened_rows.size());
        QCOMPARE(save_as(*window, "undone.kmtf"), opened);

        for (int i = 0; i < steps; ++i) {
            redo->trigger();
        }
        QVERIFY(!redo->isEnabled());
        QCOMPARE(doc.rows, changed_rows);
        QCOMPARE(save_as(*window, "redone.kmtf"), changed);

        // Another theme, opened or new, starts a history of its own.
        open(*window, m_dialogs, copy_of(plan.file, "again.kmtf"));
        QCOMPARE(history.count(), 0);
        QVERIFY(!undo->isEnabled());
        QTest::keyClicks(child<QLineEdit>(*window, "title"), "X");
        window->panel().set_element_chooser([](Document&) { return ElementSelection {}; });
        m_prompter.yes_no_answers = { false };
        menu_item(*window, "mf", 0)->trigger();
        QCOMPARE(m_prompter.questions, std::vector<std::string> { "Save project?" });
        QCOMPARE(history.count(), 0);
    }

    void applyToAllPresentationsSaysHowFarItReached_data()
    {
        QTest::addColumn<bool>("to_all");
        QTest::addColumn<QString>("undo");
        QTest::addColumn<QString>("status");
        QTest::newRow("to all") << true << "Undo Apply ROAD ARTERIAL to 4 presentations"
                                << "ROAD ARTERIAL changed in 4 presentations; 2 had other values. "
                                   "Undo: Ctrl+Z";
        QTest::newRow("its own") << false << "Undo Apply ROAD ARTERIAL"
                                 << "ROAD ARTERIAL changed. Undo: Ctrl+Z";
    }

    // GUIDANCE's arterial is applied while BROWSE holds the same values, TRAFFIC its own colour
    // and PEDESTRIAN the style twice, once with its own border: two presentations lose theirs.
    void applyToAllPresentationsSaysHowFarItReached()
    {
        QFETCH(bool, to_all);
        QFETCH(QString, undo);
        QFETCH(QString, status);
        const auto style = [](const char* day, const char* border) {
            return QString(
                "<STYLE field = \"MAP_ROAD_ARTERIAL_CLR\" scale=\"1\" border=\"%2\" >\r\n"
                "<COLOR>\r\n<PRIMARY day = \"#%1\" night=\"#202020\"/>\r\n"
                "<SECONDARY day = \"#000000\" night=\"#000000\"/>\r\n</COLOR >\r\n"
                "</STYLE>\r\n")
                .arg(day, border);
        };
        const auto presentation = [](const char* name, const QString& styles) {
            return QString("<PRESENTATION ID=\"%1\" >\r\n<STYLELIST>\r\n%2</STYLELIST>\r\n"
                           "</PRESENTATION>\r\n")
                .arg(name, styles);
        };
        const QString path = m_dir->filePath("arterials.kmtf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(("<GARMIN_MAP_THEME>\r\n<METADATA>\r\n<TITLE>ARTERIALS</TITLE>\r\n"
                    "<DESCRIPTION>A</DESCRIPTION>\r\n</METADATA>\r\n"
            + presentation("GUIDANCE", style("F0F0F0", "1"))
            + presentation("BROWSE", style("F0F0F0", "1"))
            + presentation("TRAFFIC", style("FF0000", "1"))
            + presentation("PEDESTRIAN", style("F0F0F0", "1") + style("F0F0F0", ".5"))
            + "</GARMIN_MAP_THEME>\r\n")
                       .toLatin1());
        file.close();

        auto window = make_window();
        register_style_editor(window->editors());
        open(*window, m_dialogs, path);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        bool answered = false;
        answer_dialog(
            [to_all](QWidget* dialog) {
                if (!to_all) {
                    child<QCheckBox>(*dialog, "applyall")->setChecked(false);
                }
                press(dialog, "Labc_239");
                press(dialog, "command1_1");
            },
            answered);
        QTest::mouseDClick(window->preview(), Qt::LeftButton, {}, box_centre(*window, 0));
        QVERIFY(answered);
        QCOMPARE(child<QAction>(*window, "undo")->text(), undo);
        QCOMPARE(window->statusBar()->currentMessage(), status);
        const Document& doc = window->document();
        QCOMPARE(doc.rows[2].pri_day() == doc.rows[0].pri_day(), to_all);
    }

    // Unsaved changes show as the caption's mark and set `modified`; undoing back to the saved
    // theme clears both, so closing asks nothing. Keystrokes in one field make one step.
    void historyFollowsTheSavedStateAndTheCaption()
    {
        auto window = make_window();
        open(*window, m_dialogs, copy_of("ui_car_zumo.kmtf", "Shown.kmtf"));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QUndoStack& history = window->history();
        auto* title = child<QLineEdit>(*window, "title");
        auto* description = child<QPlainTextEdit>(*window, "Text3");
        const QString opened_description = description->toPlainText();

        title->setFocus();
        QTest::keyClicks(title, "ab");
        QCOMPARE(history.count(), 1);
        // Typing in the field again after the focus was elsewhere is a step of its own.
        description->setFocus();
        title->setFocus();
        QTest::keyClicks(title, "c");
        QTest::keyClicks(description, "d");
        QCOMPARE(history.count(), 3);
        QCOMPARE(child<QAction>(*window, "undo")->text(), QString("Undo Change Description"));
        QVERIFY(window->document().modified);
        QVERIFY(caption(*window).endsWith(".kmtf*"));
        // Typed back to where it began, the step is gone.
        QTest::keyClick(description, Qt::Key_Backspace);
        QCOMPARE(history.count(), 2);

        const QByteArray saved = save_as(*window, "saved.kmtf");
        QVERIFY(saved.contains("<TITLE>WINDOW SAMPLEABC</TITLE>"));
        const QString saved_caption =
            QString("Tintwell ") + program_version + " " + m_dir->filePath("saved.kmtf").toLower();
        QCOMPARE(caption(*window), saved_caption);
        QVERIFY(!window->document().modified);

        // A keystroke after the save does not join the saved step; the Undo key takes it back
        // from within the field.
        QTest::keyClicks(title, "e");
        QCOMPARE(history.count(), 3);
        QCOMPARE(caption(*window), saved_caption + "*");
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(title->text(), QString("WINDOW SAMPLEABC"));
        QVERIFY(!window->document().modified);
        QCOMPARE(caption(*window), saved_caption);

        // The History window lists every step; choosing the start goes back to the theme as
        // opened, and the Redo keys come forward again.
        child<QAction>(*window, "history")->trigger();
        auto* steps = child<QUndoView>(*window, "history_view");
        QVERIFY(steps->isVisible());
        QCOMPARE(steps->model()->rowCount(), 4);
        QTest::mouseClick(steps->viewport(), Qt::LeftButton, {},
            steps->visualRect(steps->model()->index(0, 0)).center());
        QCOMPARE(history.index(), 0);
        QCOMPARE(title->text(), QString("WINDOW SAMPLE"));
        QCOMPARE(description->toPlainText(), opened_description);
        QVERIFY(window->document().modified);
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(title, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(history.index(), 2);
        QVERIFY(!window->document().modified);
        steps->window()->close();
        QVERIFY(!child<QAction>(*window, "history")->isChecked());

        QVERIFY(window->close());
        QCOMPARE(m_prompter.questions, std::vector<std::string> {});
    }

private:
    QString m_dialog_path(const QString& name) const { return m_dir->filePath(name); }
};

TINTWELL_QTEST_MAIN(MainWindowTest)

#include "main_window_test.moc"
