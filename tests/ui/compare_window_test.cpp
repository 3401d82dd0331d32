#include "model/add_element.h"
#include "qt_test_support.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/preview_widget.h"
#include "ui/common/twips.h"
#include "ui/dialogs/compare_window.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/theme_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <deque>
#include <memory>
#include <tuple>

using namespace tintwell;

namespace {

// Answers the Open and Save dialogs from a script; an empty script answers Cancel.
class ScriptedDialogs : public FileDialogs
{
public:
    std::deque<QString> answers;
    int shown = 0;

    QString open_path(QWidget*, const QString&, const QString&) override { return next(); }
    QString save_path(QWidget*, const QString&, const QString&, const QString&) override
    {
        return next();
    }

private:
    QString next()
    {
        ++shown;
        QString answer = answers.empty() ? QString() : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
};

QString data_file(const QString& name)
{
    return name.isEmpty() ? name : QString(TINTWELL_TEST_DATA) + "/" + name;
}

QStringList lines_of(const CompareWindow& compare)
{
    QStringList lines;
    const auto* list = compare.findChild<QListWidget*>("changes");
    for (int i = 0; i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}

// True when pixels of `colour` lie round the sample box and caption of `row`.
bool marked(PreviewWidget& preview, int row, QColor colour)
{
    const auto frame = *preview.preview().layout().frame_around(row);
    const QImage shot = preview.grab().toImage();
    for (auto y = px(frame.top - 15.0); y <= px(frame.bottom() + 15.0); ++y) {
        for (auto x = px(frame.left - 15.0); x <= px(frame.right() + 15.0); ++x) {
            if (shot.valid(x, y) && shot.pixelColor(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

// A Car & Zumo theme of GUIDANCE rows MAP_ROW_<first> to MAP_ROW_<last>; MAP_ROW_<red> is red.
QByteArray long_theme(int first, int last, int red)
{
    QByteArray text = "<GARMIN_MAP_THEME><METADATA><TITLE>Long</TITLE><DESCRIPTION>Long"
                      "</DESCRIPTION></METADATA><PRESENTATION ID=\"GUIDANCE\"><STYLELIST>\r\n";
    for (int n = first; n <= last; ++n) {
        text += QString("<STYLE field = \"MAP_ROW_%1\" scale=\"1\" >\r\n<COLOR>\r\n<PRIMARY day = "
                        "\"%2\" night=\"#102040\"/>\r\n</COLOR>\r\n</STYLE>\r\n")
                    .arg(n)
                    .arg(n == red ? "#FF0000" : "#2040C0")
                    .toLatin1();
    }
    return text + "</STYLELIST></PRESENTATION></GARMIN_MAP_THEME>\r\n";
}

// A Car & Zumo theme of `guidance` GUIDANCE rows and `browse` BROWSE rows; the BROWSE row
// numbered `red` is red.
QByteArray two_presentations(int guidance, int browse, int red)
{
    QByteArray text = "<GARMIN_MAP_THEME><METADATA><TITLE>Two</TITLE><DESCRIPTION>Two"
                      "</DESCRIPTION></METADATA>";
    for (const auto& [name, count] :
        { std::pair("GUIDANCE", guidance), std::pair("BROWSE", browse) }) {
        text += QString("<PRESENTATION ID=\"%1\"><STYLELIST>\r\n").arg(name).toLatin1();
        for (int n = 0; n < count; ++n) {
            text += QString("<STYLE field = \"MAP_ROW_%1\" scale=\"1\" >\r\n<COLOR>\r\n<PRIMARY "
                            "day = \"%2\" night=\"#102040\"/>\r\n</COLOR>\r\n</STYLE>\r\n")
                        .arg(n)
                        .arg(name == QString("BROWSE") && n == red ? "#FF0000" : "#2040C0")
                        .toLatin1();
        }
        text += "</STYLELIST></PRESENTATION>";
    }
    return text + "</GARMIN_MAP_THEME>\r\n";
}

} // namespace

class CompareWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    ScriptedDialogs m_dialogs;

    std::unique_ptr<MainWindow> open_window(const QString& file)
    {
        auto window = std::make_unique<MainWindow>(QString(), m_dir->filePath("tintwell.dat"));
        window->set_prompter(&m_prompter);
        window->files().set_file_dialogs(&m_dialogs);
        window->panel().set_element_chooser([](Document&) { return ElementSelection {}; });
        window->show();
        if (!file.isEmpty()) {
            m_dialogs.answers.push_back(file);
            window->findChild<QAction*>("mf_3")->trigger();
        }
        return window;
    }

    // File, Compare With, answering the dialog with `other`.
    CompareWindow* compare(MainWindow& window, const QString& other)
    {
        m_dialogs.answers.push_back(other);
        window.findChild<QAction*>("compare_with")->trigger();
        return window.findChild<CompareWindow*>("compare");
    }

    QByteArray save_as(MainWindow& window, const QString& name)
    {
        m_dialogs.answers.push_back(m_dir->filePath(name));
        window.findChild<QAction*>("mf_5")->trigger();
        QFile file(m_dir->filePath(name));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    static void click_line(CompareWindow& compare, int line)
    {
        auto* list = compare.findChild<QListWidget*>("changes");
        list->scrollToItem(list->item(line));
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(line)).center());
        QCOMPARE(list->currentRow(), line);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = RecordingPrompter();
        m_dialogs = ScriptedDialogs();
    }

    // The changes are listed and marked, choosing one frames its rows in both previews, and
    // none of it, filtering and closing included, touches the open theme.
    void listsMarksAndFramesTheChangesAndChangesNothing()
    {
        auto window = open_window(data_file("ui_car_zumo.kmtf"));
        const QByteArray saved = save_as(*window, "before.kmtf");
        CompareWindow* compare = this->compare(*window, data_file("ui_compare_other.kmtf"));
        QVERIFY(compare && compare->isVisible() && compare->isWindow());
        QCOMPARE(lines_of(*compare),
            QStringList({ "metadata title: \"WINDOW SAMPLE\" -> \"WINDOW SAMPLE TWO\"",
                "WATER (GUIDANCE): body by day 2040C0 -> 0000FF",
                "MISC WATER AREA (GUIDANCE): removed", "PARK (BROWSE): scale 1 -> 2",
                "RAILROAD (TRAFFIC): added" }));
        QCOMPARE(compare->findChild<QLabel*>("summary")->text(), QString("5 changes"));

        // Changed samples are framed on both sides, removed and added ones marked on theirs.
        PreviewWidget* open = compare->open_preview();
        PreviewWidget* other = compare->other_preview();
        const QColor changed(230, 126, 0);
        const QColor added(0, 150, 60);
        const QColor removed(210, 30, 30);
        const std::vector<std::tuple<PreviewWidget*, int, QColor>> marks = { { open, 0, changed },
            { open, 1, {} }, { open, 2, removed }, { open, 3, {} }, { open, 4, changed },
            { other, 0, changed }, { other, 1, {} }, { other, 2, {} }, { other, 3, changed },
            { other, 4, added } };
        for (const auto& [preview, row, want] : marks) {
            for (const QColor& mark : { changed, added, removed }) {
                QCOMPARE(marked(*preview, row, mark), mark == want);
            }
        }
        // Line, row in the open theme, row in the other (-1: none framed).
        const std::vector<std::array<int, 3>> framed = { { 0, -1, -1 }, { 1, 0, 0 }, { 2, 2, -1 },
            { 3, 4, 3 }, { 4, -1, 4 } };
        for (const auto& [line, row_a, row_b] : framed) {
            click_line(*compare, line);
            for (const auto& [preview, row] : { std::pair(open, row_a), std::pair(other, row_b) }) {
                QCOMPARE(preview->frame_visible(), row >= 0);
                QVERIFY(row < 0
                    || preview->preview().shape4.rect
                        == *preview->preview().layout().frame_around(row));
            }
        }
        // A sample finds its line: the park of the other theme is the fourth change.
        QTest::mouseClick(other, Qt::LeftButton, {}, other->box_rect(3).center());
        QCOMPARE(compare->findChild<QListWidget*>("changes")->currentRow(), 3);
        QCOMPARE(open->preview().shape4.rect, *open->preview().layout().frame_around(4));
        QTest::mouseClick(other, Qt::LeftButton, {}, other->box_rect(4).center());

        auto* changed_only = compare->findChild<QCheckBox*>("changed_only");
        QTest::mouseClick(changed_only, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(*open->preview().shown_rows(), (std::vector<int> { 0, 2, 4 }));
        QCOMPARE(*other->preview().shown_rows(), (std::vector<int> { 0, 3, 4 }));
        // The chosen line still frames its row, now laid out without the unchanged ones.
        QCOMPARE(other->preview().shape4.rect, *other->preview().layout().frame_around(4));
        QTest::mouseClick(changed_only, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(open->preview().shown_rows() == nullptr && open->preview().layout().shown(1));

        QCOMPARE(window->history().count(), 0);
        QVERIFY(!window->document().modified);
        QCOMPARE(save_as(*window, "after.kmtf"), saved);

        // Another theme opened in the main window is compared in its turn.
        for (const auto& [file, summary] :
            { std::pair("ui_sport_fitness.kmtf",
                  "A Sport & Fitness theme cannot be compared with a Car & Zumo theme."),
                std::pair("ui_compare_other.kmtf", "The themes are the same.") }) {
            m_dialogs.answers.push_back(data_file(file));
            window->findChild<QAction*>("mf_3")->trigger();
            QCOMPARE(compare->findChild<QLabel*>("summary")->text(), QString(summary));
            QVERIFY(lines_of(*compare).isEmpty());
            QVERIFY(!compare->findChild<QPushButton*>("take_change")->isEnabled());
        }
    }

    void previewsScrollTogetherByMatchedRows()
    {
        // The other theme lacks the first 40 rows, so each element stands much higher in it.
        for (const auto& [name, text] : { std::pair("open.kmtf", long_theme(0, 199, -1)),
                 std::pair("other.kmtf", long_theme(40, 199, 120)) }) {
            QFile file(m_dir->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        }
        auto window = open_window(m_dir->filePath("open.kmtf"));
        CompareWindow* compare = this->compare(*window, m_dir->filePath("other.kmtf"));
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        PreviewWidget* open = compare->open_preview();
        // Top of a row's sample in the view of its preview.
        const auto top = [](PreviewWidget* preview, int row) {
            const auto& laid = preview->preview().layout().rows[static_cast<std::size_t>(row)];
            return px(static_cast<double>(laid.box.top)) + preview->y();
        };
        // The changed row is far down both previews: both scroll to it, level with each other.
        click_line(*compare, 40);
        QVERIFY(top(open, 120) > 0 && top(open, 120) < 100);
        QCOMPARE(top(compare->other_preview(), 80), top(open, 120));

        // Scrolling one side brings samples of the other level with their matches.
        QScrollBar* bar =
            qobject_cast<QScrollArea*>(open->parentWidget()->parentWidget())->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        int level = 0;
        for (int row = 40; row < 200; ++row) {
            const int y = top(open, row);
            level += y >= 0 && y < open->parentWidget()->height()
                && top(compare->other_preview(), row - 40) == y;
        }
        QVERIFY(level > 0);
    }

    void takeThisChangeIsOneStepThatUndoTakesBack_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("other");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("undo");
        QTest::addColumn<int>("rows");
        const QString car = "ui_car_zumo.kmtf";
        const QString car_other = "ui_compare_other.kmtf";
        QTest::newRow("metadata") << car << car_other << 0 << "Undo Take change Title" << 5;
        QTest::newRow("changed") << car << car_other << 1 << "Undo Take change GUIDANCE MAP_WATER"
                                 << 5;
        QTest::newRow("removed") << car << car_other << 2
                                 << "Undo Take change GUIDANCE MAP_MISC_WATER_AREA" << 4;
        QTest::newRow("added") << car << car_other << 4 << "Undo Take change TRAFFIC MAP_RAILROAD"
                               << 6;
        QTest::newRow("sport & fitness")
            << "ui_sport_fitness.kmtf"
            << "ui_compare_sport_other.kmtf" << 0 << "Undo Take change MPM_WATER_CLR" << 3;
    }

    void takeThisChangeIsOneStepThatUndoTakesBack()
    {
        QFETCH(QString, open);
        QFETCH(QString, other);
        QFETCH(int, line);
        QFETCH(QString, undo);
        QFETCH(int, rows);
        auto window = open_window(data_file(open));
        const QByteArray saved = save_as(*window, "before.kmtf");
        const auto listed = [&window] {
            QStringList names;
            for (const auto* item :
                window->findChild<QListWidget*>("List1")->findItems("*", Qt::MatchWildcard)) {
                names << item->text().trimmed();
            }
            return names;
        };
        const QStringList presentations = listed();
        CompareWindow* compare = this->compare(*window, data_file(other));
        const QStringList before = lines_of(*compare);
        auto* take = compare->findChild<QPushButton*>("take_change");
        QVERIFY(!take->isEnabled());
        click_line(*compare, line);
        QTest::mouseClick(take, Qt::LeftButton);

        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->findChild<QAction*>("undo")->text(), undo);
        QVERIFY(window->document().modified);
        QCOMPARE(window->document().row_count(), rows);
        // Compared again: the change taken is gone, the others stay.
        QStringList left = before;
        left.removeAt(line);
        QCOMPARE(lines_of(*compare), left);
        QCOMPARE(compare->open_preview()->preview().layout().rows.size(), std::size_t(rows));
        QCOMPARE(window->preview()->preview().layout().rows.size(), std::size_t(rows));
        // The list shows the presentations, one the open theme lacked included.
        const Document& doc = window->document();
        QStringList names;
        for (int i = 0; doc.kind == ThemeKind::CarZumo && i < doc.pres_count; ++i) {
            names << QString::fromStdString(doc.pres_names[static_cast<std::size_t>(i)]).trimmed();
        }
        QVERIFY(doc.kind != ThemeKind::CarZumo || listed() == names);

        window->findChild<QAction*>("undo")->trigger();
        QCOMPARE(lines_of(*compare), before);
        QCOMPARE(listed(), presentations);
        QCOMPARE(save_as(*window, "undone.kmtf"), saved);
        QVERIFY(m_prompter.messages.empty());
    }

    // Take All Changes gives the open theme every listed change as one step, rows taken in and
    // out included (each moves the rows after it); Undo takes the whole step back.
    void takeAllChangesIsOneStep_data()
    {
        QTest::addColumn<QByteArray>("open");
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QString>("undo");
        const auto file = [](const char* name) {
            QFile data(data_file(name));
            data.open(QIODevice::ReadOnly);
            return data.readAll();
        };
        QTest::newRow("metadata, changed, removed, added")
            << file("ui_car_zumo.kmtf") << file("ui_compare_other.kmtf")
            << "Undo Take all 5 changes";
        QTest::newRow("sport & fitness")
            << file("ui_sport_fitness.kmtf") << file("ui_compare_sport_other.kmtf")
            << "Undo Take all 2 changes";
        QTest::newRow("forty removed before a changed row")
            << long_theme(0, 199, -1) << long_theme(40, 199, 120) << "Undo Take all 43 changes";
        QTest::newRow("forty added before a changed row")
            << long_theme(40, 199, -1) << long_theme(0, 199, 120) << "Undo Take all 43 changes";
    }

    void takeAllChangesIsOneStep()
    {
        QFETCH(QByteArray, open);
        QFETCH(QByteArray, other);
        QFETCH(QString, undo);
        for (const auto& [name, text] :
            { std::pair("open.kmtf", open), std::pair("other.kmtf", other) }) {
            QFile file(m_dir->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        }
        auto window = open_window(m_dir->filePath("open.kmtf"));
        const QByteArray saved = save_as(*window, "before.kmtf");
        CompareWindow* compare = this->compare(*window, m_dir->filePath("other.kmtf"));
        auto* take_all = compare->findChild<QPushButton*>("take_all");
        QVERIFY(take_all->isEnabled());
        // A Sport & Fitness theme has one list: its elements are named without a presentation.
        QVERIFY(!lines_of(*compare).join('\n').contains("(Sport & Fitness)"));
        QTest::mouseClick(take_all, Qt::LeftButton);

        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->findChild<QAction*>("undo")->text(), undo);
        QCOMPARE(
            compare->findChild<QLabel*>("summary")->text(), QString("The themes are the same."));
        QVERIFY(!take_all->isEnabled());
        QCOMPARE(window->preview()->preview().layout().rows.size(), window->document().rows.size());
        QVERIFY(m_prompter.messages.empty());

        window->findChild<QAction*>("undo")->trigger();
        QCOMPARE(save_as(*window, "undone.kmtf"), saved);
    }

    // No line of the list is cut off; the list's pane is widened with the splitter, and the
    // next compare window, in a later run too, opens with the width last set.
    void listLinesShowWholeAndThePaneKeepsItsWidth()
    {
        auto window = open_window(data_file("ui_car_zumo.kmtf"));
        CompareWindow* compare = this->compare(*window, data_file("ui_compare_other.kmtf"));
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        auto* list = compare->findChild<QListWidget*>("changes");
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            QVERIFY(list->visualItemRect(item).width()
                >= list->fontMetrics().horizontalAdvance(item->text()));
        }
        const int before = compare->list_width();
        auto* splitter = compare->findChild<QSplitter*>("compare_splitter");
        QSplitterHandle* handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(120, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(120, 0));
        const int widened = compare->list_width();
        QVERIFY(widened > before + 60);

        compare->close();
        QVERIFY(window->close());
        auto later = open_window(data_file("ui_car_zumo.kmtf"));
        CompareWindow* again = this->compare(*later, data_file("ui_compare_other.kmtf"));
        QCOMPARE(again->list_width(), widened);
    }

    // A change far into a presentation is shown with that presentation's heading above it when
    // both fit in the preview.
    void jumpingToAChangeShowsItsPresentationHeading()
    {
        for (const auto& [name, text] : { std::pair("open.kmtf", two_presentations(120, 30, -1)),
                 std::pair("other.kmtf", two_presentations(120, 30, 12)) }) {
            QFile file(m_dir->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        }
        auto window = open_window(m_dir->filePath("open.kmtf"));
        CompareWindow* compare = this->compare(*window, m_dir->filePath("other.kmtf"));
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        click_line(*compare, 0);
        for (PreviewWidget* preview : { compare->open_preview(), compare->other_preview() }) {
            const PreviewLayout& layout = preview->preview().layout();
            // Every presentation has its heading, the first one too.
            QCOMPARE(layout.rules.size(), std::size_t(2));
            const int row = 120 + 12;
            auto* area = qobject_cast<QScrollArea*>(preview->parentWidget()->parentWidget());
            const int top = area->verticalScrollBar()->value();
            const int bottom = top + area->viewport()->height();
            // The heading stands on the rule, half its height above it.
            QVERIFY(px(static_cast<double>(layout.rules[1] - 150)) >= top);
            QVERIFY(px(static_cast<double>(layout.rows[row].caption.bottom())) <= bottom);
        }
    }

    void refusesWhatCannotBeCompared_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("other");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<QString>("message");
        QTest::newRow("no theme open")
            << ""
            << "ui_car_zumo.kmtf" << 0
            << "Open or start a theme first, then compare it with another.";
        QTest::newRow("other kind")
            << "ui_car_zumo.kmtf"
            << "ui_sport_fitness.kmtf" << 2
            << "A Car & Zumo theme cannot be compared with a Sport & Fitness theme.";
        QTest::newRow("not a theme")
            << "ui_car_zumo.kmtf"
            << "README.md" << 2
            << data_file("README.md") + " is not a theme.\nFile not a Garmin kmtf file.";
        QTest::newRow("cancelled") << "ui_car_zumo.kmtf"
                                   << "" << 2 << "";
    }

    void refusesWhatCannotBeCompared()
    {
        QFETCH(QString, open);
        QFETCH(QString, other);
        QFETCH(int, dialogs);
        QFETCH(QString, message);
        auto window = open_window(data_file(open));
        const std::vector<StyleRow> rows = window->document().rows;
        // The item stands right under Open, outside the numbered items.
        const QList<QAction*> items = window->findChild<QMenu*>("mfile")->actions();
        QCOMPARE(items.indexOf(window->findChild<QAction*>("compare_with")),
            items.indexOf(window->findChild<QAction*>("mf_3")) + 1);

        QCOMPARE(this->compare(*window, data_file(other)), nullptr);
        QCOMPARE(m_dialogs.shown, dialogs);
        QCOMPARE(QString::fromStdString(m_prompter.messages.empty() ? "" : m_prompter.messages[0]),
            message);
        QVERIFY(m_prompter.messages.size() <= 1 && window->document().rows == rows);
    }
};

TINTWELL_QTEST_MAIN(CompareWindowTest)

#include "compare_window_test.moc"
