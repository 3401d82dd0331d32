#include "model/add_element.h"
#include "model/prompter.h"
#include "ui/dialogs/compare_window.h"
#include "ui/main/file_dialogs.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_widget.h"
#include "ui/main/twips.h"

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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <deque>
#include <memory>

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
        if (answers.empty()) {
            return {};
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

QString data_file(const QString& name)
{
    return QString(TINTWELL_TEST_DATA) + "/" + name;
}

QStringList lines_of(const QListWidget& list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) {
        lines << list.item(i)->text();
    }
    return lines;
}

// Pixels of exactly `colour` round the sample box and caption of `row`.
int pixels_of(PreviewWidget& preview, int row, QColor colour)
{
    const auto frame = preview.preview().layout().frame_around(row);
    if (!frame) {
        return 0;
    }
    const QImage shot = preview.grab().toImage();
    const QRect area =
        QRect(px(static_cast<double>(frame->left)), px(static_cast<double>(frame->top)),
            px(static_cast<double>(frame->width)), px(static_cast<double>(frame->height)))
            .adjusted(-1, -1, 1, 1);
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += shot.valid(x, y) && shot.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// A Car & Zumo theme of `count` GUIDANCE rows named MAP_ROW_<n>, from `first` on; row MAP_ROW_
// `changed` is red.
QByteArray long_theme(int first, int count, int changed)
{
    QByteArray text = "<?xml version=\"1.0\"?>\r\n<GARMIN_MAP_THEME>\r\n<METADATA>\r\n"
                      "<TITLE>Long</TITLE>\r\n<DESCRIPTION>Long</DESCRIPTION>\r\n</METADATA>\r\n"
                      "<PRESENTATION ID=\"GUIDANCE\" >\r\n<STYLELIST>\r\n";
    for (int n = first; n < first + count; ++n) {
        const QString colour = n == changed ? "#FF0000" : "#2040C0";
        text += QString("<STYLE field = \"MAP_ROW_%1\" scale=\"1\" >\r\n <COLOR>\r\n"
                        "<PRIMARY day = \"%2\" night=\"#102040\"/>\r\n </COLOR >\r\n</STYLE>\r\n")
                    .arg(n)
                    .arg(colour)
                    .toLatin1();
    }
    return text + "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>\r\n";
}

const QStringList car_zumo_lines = {
    "metadata title: \"WINDOW SAMPLE\" -> \"WINDOW SAMPLE TWO\"",
    "GUIDANCE MAP_WATER: body by day 2040C0 -> 0000FF",
    "GUIDANCE MAP_MISC_WATER_AREA: removed",
    "BROWSE MAP_PARK: scale 1 -> 2",
    "BROWSE MAP_RAILROAD: added",
};

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
        window->set_file_dialogs(&m_dialogs);
        window->set_element_chooser([](Document&) { return ElementSelection {}; });
        window->show();
        if (!file.isEmpty()) {
            m_dialogs.answers.push_back(file);
            window->findChild<QAction*>("mf_3")->trigger();
        }
        return window;
    }

    CompareWindow* compare(MainWindow& window, const QString& other)
    {
        m_dialogs.answers.push_back(other);
        window.findChild<QAction*>("compare_with")->trigger();
        return window.findChild<CompareWindow*>("compare");
    }

    QByteArray save_as(MainWindow& window, const QString& name)
    {
        const QString path = m_dir->filePath(name);
        m_dialogs.answers.push_back(path);
        window.findChild<QAction*>("mf_5")->trigger();
        QFile file(path);
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

    void listsAndMarksTheChanges_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("summary");
        QTest::newRow("car & zumo") << "ui_car_zumo.kmtf"
                                    << "ui_compare_other.kmtf" << car_zumo_lines << "5 changes";
        QTest::newRow("sport & fitness")
            << "ui_sport_fitness.kmtf"
            << "ui_compare_sport_other.kmtf"
            << QStringList { "MPM_WATER_CLR: body by night 102040 -> 000080",
                   "MPM_RAILROAD_CLR: added" }
            << "2 changes";
        QTest::newRow("same") << "ui_car_zumo.kmtf"
                              << "ui_car_zumo.kmtf" << QStringList {} << "The themes are the same.";
    }

    void listsAndMarksTheChanges()
    {
        QFETCH(QString, open);
        QFETCH(QString, other);
        QFETCH(QStringList, lines);
        QFETCH(QString, summary);
        auto window = open_window(data_file(open));
        CompareWindow* compare = this->compare(*window, data_file(other));
        QVERIFY(compare && compare->isVisible() && compare->isWindow());
        QCOMPARE(lines_of(*compare->findChild<QListWidget*>("changes")), lines);
        QCOMPARE(compare->findChild<QLabel*>("summary")->text(), summary);
        QVERIFY(m_prompter.messages.empty());

        // Changed samples are framed on both sides, a row only in one theme is marked on its
        // side, and nothing else carries a mark.
        const QColor changed(230, 126, 0);
        const QColor added(0, 150, 60);
        const QColor removed(210, 30, 30);
        const std::array<PreviewWidget*, 2> previews = { compare->open_preview(),
            compare->other_preview() };
        std::array<std::vector<QColor>, 2> expected;
        for (std::size_t side = 0; side < 2; ++side) {
            expected[side].resize(previews[side]->preview().layout().rows.size());
        }
        for (const RowChange& change : compare->comparison().rows) {
            const bool both = change.kind == RowChangeKind::Changed;
            if (change.row_a >= 0) {
                expected[0][static_cast<std::size_t>(change.row_a)] = both ? changed : removed;
            }
            if (change.row_b >= 0) {
                expected[1][static_cast<std::size_t>(change.row_b)] = both ? changed : added;
            }
        }
        for (std::size_t side = 0; side < 2; ++side) {
            const auto& rows = previews[side]->preview().layout().rows;
            for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
                const QColor want = expected[side][static_cast<std::size_t>(row)];
                for (const QColor& mark : { changed, added, removed }) {
                    const int found = pixels_of(*previews[side], row, mark);
                    QVERIFY2(mark == want ? found > 40 : found == 0,
                        qPrintable(QString("side %1 row %2 %3: %4 pixels")
                                       .arg(side)
                                       .arg(row)
                                       .arg(mark.name())
                                       .arg(found)));
                }
            }
        }
    }

    // Choosing a change frames its rows in both previews; choosing, filtering and closing leave
    // the open theme exactly as it was.
    void choosingAChangeFramesItsRowsAndChangesNothing()
    {
        auto window = open_window(data_file("ui_car_zumo.kmtf"));
        const QByteArray saved = save_as(*window, "before.kmtf");
        CompareWindow* compare = this->compare(*window, data_file("ui_compare_other.kmtf"));
        QVERIFY(compare);
        // Line, row in the open theme, row in the other (-1: none framed).
        const std::vector<std::array<int, 3>> framed = { { 0, -1, -1 }, { 1, 0, 0 }, { 2, 2, -1 },
            { 3, 4, 3 }, { 4, -1, 4 } };
        for (const auto& [line, row_a, row_b] : framed) {
            click_line(*compare, line);
            for (const auto& [preview, row] : { std::pair(compare->open_preview(), row_a),
                     std::pair(compare->other_preview(), row_b) }) {
                QCOMPARE(preview->frame_visible(), row >= 0);
                if (row >= 0) {
                    QCOMPARE(preview->preview().shape4.rect,
                        *preview->preview().layout().frame_around(row));
                }
            }
        }

        // A sample finds its line: the park of the other theme is the fourth change.
        auto* list = compare->findChild<QListWidget*>("changes");
        QTest::mouseClick(compare->other_preview(), Qt::LeftButton, {},
            compare->other_preview()->box_rect(3).center());
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(compare->open_preview()->preview().shape4.rect,
            *compare->open_preview()->preview().layout().frame_around(4));
        QTest::mouseClick(compare->other_preview(), Qt::LeftButton, {},
            compare->other_preview()->box_rect(4).center());

        auto* changed_only = compare->findChild<QCheckBox*>("changed_only");
        QTest::mouseClick(changed_only, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(changed_only->isChecked());
        QCOMPARE(*compare->open_preview()->preview().shown_rows(), (std::vector<int> { 0, 2, 4 }));
        QCOMPARE(*compare->other_preview()->preview().shown_rows(), (std::vector<int> { 0, 3, 4 }));
        QVERIFY(!compare->open_preview()->preview().layout().shown(1));
        // The chosen line still frames its row, now shown without the unchanged ones.
        QCOMPARE(compare->other_preview()->preview().shape4.rect,
            *compare->other_preview()->preview().layout().frame_around(4));
        QTest::mouseClick(changed_only, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(compare->open_preview()->preview().shown_rows() == nullptr);
        QVERIFY(compare->open_preview()->preview().layout().shown(1));

        compare->close();
        QCOMPARE(window->history().count(), 0);
        QVERIFY(!window->document().modified);
        QCOMPARE(save_as(*window, "after.kmtf"), saved);
    }

    void previewsScrollTogetherByMatchedRows()
    {
        // The other theme lacks the first 40 rows and changes MAP_ROW_120, so each element
        // stands much higher in it.
        const QString open = m_dir->filePath("open.kmtf");
        const QString other = m_dir->filePath("other.kmtf");
        for (const auto& [path, text] : { std::pair(open, long_theme(0, 200, -1)),
                 std::pair(other, long_theme(40, 160, 120)) }) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        auto window = open_window(open);
        CompareWindow* compare = this->compare(*window, other);
        QVERIFY(compare);
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        auto* list = compare->findChild<QListWidget*>("changes");
        QCOMPARE(list->count(), 41);

        const auto top_of = [&](PreviewWidget* preview, int row) {
            const auto& box = preview->preview().layout().rows[static_cast<std::size_t>(row)].box;
            return px(static_cast<double>(box.top)) + preview->y();
        };
        // The changed row is far down both previews: both scroll to it, level with each other.
        click_line(*compare, 40);
        QVERIFY(top_of(compare->open_preview(), 120) > 0);
        QVERIFY(top_of(compare->open_preview(), 120) < 100);
        QCOMPARE(top_of(compare->other_preview(), 80), top_of(compare->open_preview(), 120));

        // Scrolling one side brings the samples of the other level with their matches.
        QScrollBar* open_bar =
            qobject_cast<QScrollArea*>(compare->open_preview()->parentWidget()->parentWidget())
                ->verticalScrollBar();
        open_bar->setValue(open_bar->maximum() / 2);
        const int view_height = compare->open_preview()->parentWidget()->height();
        int level = 0;
        for (int row = 40; row < 200; ++row) {
            const int top = top_of(compare->open_preview(), row);
            if (top >= 0 && top < view_height
                && top_of(compare->other_preview(), row - 40) == top) {
                ++level;
            }
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
        QTest::newRow("metadata") << "ui_car_zumo.kmtf"
                                  << "ui_compare_other.kmtf" << 0 << "Undo Take change Title" << 5;
        QTest::newRow("changed row")
            << "ui_car_zumo.kmtf"
            << "ui_compare_other.kmtf" << 1 << "Undo Take change GUIDANCE MAP_WATER" << 5;
        QTest::newRow("removed row")
            << "ui_car_zumo.kmtf"
            << "ui_compare_other.kmtf" << 2 << "Undo Take change GUIDANCE MAP_MISC_WATER_AREA" << 4;
        QTest::newRow("added row")
            << "ui_car_zumo.kmtf"
            << "ui_compare_other.kmtf" << 4 << "Undo Take change BROWSE MAP_RAILROAD" << 6;
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
        CompareWindow* compare = this->compare(*window, data_file(other));
        QVERIFY(compare);
        auto* list = compare->findChild<QListWidget*>("changes");
        const QStringList before = lines_of(*list);
        auto* take = compare->findChild<QPushButton*>("take_change");
        QVERIFY(!take->isEnabled());
        click_line(*compare, line);
        QTest::mouseClick(take, Qt::LeftButton);

        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->findChild<QAction*>("undo")->text(), undo);
        QVERIFY(window->document().modified);
        QCOMPARE(window->document().row_count(), rows);
        // Compared again: the change taken is gone and the rest are as they were.
        QStringList left = before;
        left.removeAt(line);
        QCOMPARE(lines_of(*list), left);
        QCOMPARE(compare->open_preview()->preview().layout().rows.size(),
            static_cast<std::size_t>(rows));

        window->findChild<QAction*>("undo")->trigger();
        QCOMPARE(lines_of(*list), before);
        QVERIFY(!window->document().modified);
        QCOMPARE(save_as(*window, "undone.kmtf"), saved);
        QVERIFY(m_prompter.messages.empty());
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
        auto window = open_window(open.isEmpty() ? QString() : data_file(open));
        const std::vector<StyleRow> rows = window->document().rows;
        const ThemeKind kind = window->document().kind;
        // The item stands right under Open; the numbered items keep their names.
        const QList<QAction*> items = window->findChild<QMenu*>("mfile")->actions();
        QCOMPARE(items.indexOf(window->findChild<QAction*>("compare_with")),
            items.indexOf(window->findChild<QAction*>("mf_3")) + 1);
        QCOMPARE(
            window->findChild<QAction*>("compare_with")->text(), QString("Compare With\u2026"));

        QCOMPARE(this->compare(*window, other.isEmpty() ? QString() : data_file(other)), nullptr);
        QCOMPARE(m_dialogs.shown, dialogs);
        QCOMPARE(m_prompter.messages,
            message.isEmpty() ? std::vector<std::string> {}
                              : std::vector<std::string> { message.toStdString() });
        QVERIFY(window->document().rows == rows && window->document().kind == kind);
        QCOMPARE(window->history().count(), 0);
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName("tintwell");
    CompareWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "compare_window_test.moc"
