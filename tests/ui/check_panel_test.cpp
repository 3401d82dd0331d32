#include "model/document_edit.h"
#include "model/prompter.h"
#include "qt_test_support.h"
#include "render/preview.h"
#include "render/qt/qt_canvas.h"
#include "ui/common/preview_widget.h"
#include "ui/dialogs/check_panel.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/theme_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>
#include <cmath>
#include <functional>
#include <memory>

using namespace tintwell;

namespace {

// ui_check.kmtf as the checker lists it, worst first, one line a group. Rows: 0 LAND, 1 ROAD
// RESIDENTIAL, 2 ROAD INTERSTATE, 3 PARK, 4 RTE ACTV LEG in GUIDANCE; 5 ROAD RESIDENTIAL in BROWSE.
const QStringList expected_severities = { "error", "warning", "warning", "info" };
const char* const park_digits = "PARK at line 32: the colour \"#12345\" is not six";
const char* const residential_at_night = "ROAD RESIDENTIAL is hard to see on LAND at night";
const char* const route_like_interstate = "RTE ACTV LEG looks like ROAD INTERSTATE";

QTreeView* findings_view(const MainWindow& window)
{
    return child<QTreeView>(*child<CheckPanel>(window, "check_panel"), "findings");
}

QStringList column(const MainWindow& window, int column)
{
    const QAbstractItemModel* model = findings_view(window)->model();
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r) {
        texts << model->index(r, column).data().toString();
    }
    return texts;
}

// The listed finding whose reason holds `text`, or an invalid index.
QModelIndex finding(const MainWindow& window, const QString& text)
{
    const QAbstractItemModel* model = findings_view(window)->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 3).data().toString().contains(text)) {
            return model->index(r, 0);
        }
    }
    return {};
}

QImage preview_shot(MainWindow& window)
{
    return window.preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool in_view(MainWindow& window, int row)
{
    const QRect box = window.preview()->box_rect(row).translated(window.preview()->pos());
    return window.preview()->parentWidget()->rect().contains(box);
}

} // namespace

class CheckPanelTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;

    // A small window, two samples to a line and two lines in view, with the test theme open
    // and the panel opened by its key.
    std::unique_ptr<MainWindow> checked_window()
    {
        auto window = std::make_unique<MainWindow>(QString(), m_dir->filePath("tintwell.dat"));
        window->set_prompter(&m_prompter);
        window->panel().set_element_chooser([](Document&) { return ElementSelection {}; });
        window->resize(400, 300);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qFatal("the window does not become active");
        }
        const QString path = m_dir->filePath("Check.kmtf");
        QFile::copy(QString(TINTWELL_TEST_DATA) + "/ui_check.kmtf", path);
        window->files().loadole(path);
        QTest::keyClick(window.get(), Qt::Key_F7);
        return window;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = RecordingPrompter();
    }

    void listsFindingsWorstFirstWithTheirColours()
    {
        auto window = checked_window();
        QVERIFY(child<CheckPanel>(*window, "check_panel")->isVisible());
        QCOMPARE(child<QLabel>(*window, "summary")->text(), QString("1 error, 3 warnings, 1 info"));
        QCOMPARE(column(*window, 0), expected_severities);
        QVERIFY(column(*window, 3).at(0).startsWith(park_digits));
        // The residential road is hard to see in both presentations: one group, opening to the
        // two findings, GUIDANCE's first.
        QCOMPARE(column(*window, 2),
            QStringList({ "GUIDANCE", "2 presentations", "GUIDANCE", "GUIDANCE" }));
        const QModelIndex group = finding(*window, residential_at_night);
        QVERIFY(group.data().toString() == "warning");
        QVERIFY(group.siblingAtColumn(3).data().toString().contains("in 2 presentations"));
        const QAbstractItemModel* model = findings_view(*window)->model();
        QCOMPARE(model->rowCount(group), 2);
        QCOMPARE(model->index(0, 2, group).data().toString(), QString("GUIDANCE"));
        QCOMPARE(model->index(1, 2, group).data().toString(), QString("BROWSE"));

        const QModelIndex residential = finding(*window, residential_at_night);
        QVERIFY(residential.isValid());
        const auto swatches =
            residential.siblingAtColumn(1).data(Qt::DecorationRole).value<QPixmap>().toImage();
        QCOMPARE(swatches.pixelColor(7, 7), QColor(0x26, 0x26, 0x26));
        QCOMPARE(swatches.pixelColor(swatches.width() - 7, 7), QColor(0x20, 0x20, 0x20));
        QVERIFY(m_prompter.messages.empty());
    }

    void clickingAFindingSelectsItsSample_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<int>>("held");
        QTest::addColumn<QList<int>>("filtered");
        QTest::addColumn<bool>("in_view_before");
        // The group holds the road of both presentations: both are shown, with their land.
        QTest::newRow("a road on its land")
            << residential_at_night << 1 << QList<int> { 0, 1, 5 } << QList<int> {} << true;
        // Its sample is on the third line, out of view until the click.
        QTest::newRow("a route below the view")
            << route_like_interstate << 4 << QList<int> { 2, 4 } << QList<int> {} << false;
        QTest::newRow("a fault of the file names one style")
            << park_digits << 3 << QList<int> { 3 } << QList<int> {} << true;
        QTest::newRow("rows filtered before come back filtered")
            << route_like_interstate << 4 << QList<int> { 2, 4 } << QList<int> { 5, 4, 1 } << true;
    }

    void clickingAFindingSelectsItsSample()
    {
        QFETCH(QString, reason);
        QFETCH(int, row);
        QFETCH(QList<int>, held);
        QFETCH(QList<int>, filtered);
        QFETCH(bool, in_view_before);
        auto window = checked_window();
        Preview& preview = window->preview()->preview();
        if (!filtered.isEmpty()) {
            preview.show_only({ filtered.begin(), filtered.end() });
            window->relayout_preview();
        }
        QCOMPARE(in_view(*window, row), in_view_before);
        QTreeView* view = findings_view(*window);
        const QPoint at = view->visualRect(finding(*window, reason)).center();

        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(preview.shown_rows());
        QCOMPARE(*preview.shown_rows(), std::vector<int>(held.begin(), held.end()));
        QCOMPARE(window->document().cur_row, row);
        QVERIFY(window->preview()->frame_visible());
        QVERIFY(in_view(*window, row));

        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
        if (filtered.isEmpty()) {
            QVERIFY(!preview.shown_rows());
        } else {
            QCOMPARE(*preview.shown_rows(), std::vector<int>(filtered.begin(), filtered.end()));
        }
        QCOMPARE(window->document().cur_row, row);
        QVERIFY(window->preview()->frame_visible());
        const auto frame = preview.layout().frame_around(row);
        QVERIFY(frame);
        QCOMPARE(preview.shape4.rect.top, frame->top);
        QVERIFY(in_view(*window, row));
        const std::string field(
            window->document().rows[static_cast<std::size_t>(row)].field_name());
        QVERIFY(child<QPlainTextEdit>(*window, "Text5")
                    ->toPlainText()
                    .contains(QString::fromStdString(field)));
    }

    void followsEveryChangeUndoIncluded()
    {
        auto window = checked_window();
        QUndoStack& history = window->history();
        const auto apply = [&](int row, const char* day, const char* night) {
            const StyleRow before = window->document().rows[static_cast<std::size_t>(row)];
            StyleRow after = before;
            after.set_pri_day(day);
            after.set_pri_night(night);
            DocumentEdit edit;
            edit.replace_row(row, before, after);
            window->theme().push_edit(std::move(edit), "Apply");
            window->redraw_keeping_scroll();
            QCoreApplication::processEvents();
        };

        // A route nudged still looks like the interstate: the list stays on it, newly measured.
        QTreeView* view = findings_view(*window);
        view->setCurrentIndex(finding(*window, route_like_interstate));
        const QString measured = view->currentIndex().siblingAtColumn(3).data().toString();
        apply(4, "E4382A", "E4382A");
        QVERIFY(view->currentIndex().siblingAtColumn(3).data().toString().startsWith(
            route_like_interstate));
        QVERIFY(view->currentIndex().siblingAtColumn(3).data().toString() != measured);

        const struct
        {
            const char* name;
            std::function<void()> change;
            bool residential_listed;
            int count;
        } steps[] = {
            // BROWSE's road stays hard to see; its group is left with that one finding.
            { "an edit through the window", [&] { apply(1, "909090", "F0F0F0"); }, false, 4 },
            { "Undo", [&] { child<QAction>(*window, "undo")->trigger(); }, true, 4 },
            { "Redo", [&] { history.redo(); }, false, 4 },
            { "another theme opened",
                [&] {
                    const QString path = m_dir->filePath("Other.kmtf");
                    QFile::copy(QString(TINTWELL_TEST_DATA) + "/ui_car_zumo.kmtf", path);
                    window->files().loadole(path);
                },
                false, -1 },
        };
        for (const auto& step : steps) {
            step.change();
            // The list is brought up to date once the window's events have run.
            QCoreApplication::processEvents();
            QVERIFY2(finding(*window, residential_at_night).isValid() == step.residential_listed,
                step.name);
            if (step.count >= 0) {
                QCOMPARE(view->model()->rowCount(), step.count);
            }
            // The marks follow the findings.
            const auto& marks = window->preview()->preview().marks;
            QCOMPARE(marks.size(), static_cast<std::size_t>(window->document().row_count()));
            QCOMPARE(marks[1] == SampleMark::Warning, step.residential_listed);
        }
        QVERIFY(!finding(*window, route_like_interstate).isValid());
    }

    void fixMendsAGroupAsOneStepThatUndoes_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QList<int>>("rows");
        // Both presentations' roads take one colour, in one step named for the group.
        QTest::newRow("a road too dark on its land in two presentations")
            << residential_at_night << "Fix ROAD RESIDENTIAL at night (2 presentations)"
            << QList<int> { 1, 5 };
        QTest::newRow("a fault of the file has no colour to set")
            << park_digits << QString() << QList<int> {};
    }

    void fixMendsAGroupAsOneStepThatUndoes()
    {
        QFETCH(QString, reason);
        QFETCH(QString, step);
        QFETCH(QList<int>, rows);
        auto window = checked_window();
        QUndoStack& history = window->history();
        auto* panel = child<CheckPanel>(*window, "check_panel");
        auto* fix = child<QPushButton>(*panel, "fix");
        QTreeView* view = findings_view(*window);
        const std::vector<StyleRow> before = window->document().rows;

        view->setCurrentIndex(finding(*window, reason));
        const QString shown = child<QLabel>(*panel, "fix_text")->text();
        QCOMPARE(fix->isEnabled(), !step.isEmpty());
        if (step.isEmpty()) {
            QVERIFY(shown.startsWith("No fix: "));
            QTest::mouseClick(fix, Qt::LeftButton);
            QCOMPARE(history.count(), 0);
            return;
        }
        // The current and proposed colours, and the contrast before and after.
        QVERIFY2(shown.startsWith("contrast 1:1 to ") && shown.endsWith(", needs 1.5:1"),
            qPrintable(shown));
        const QImage current = child<QLabel>(*panel, "fix_before")->pixmap().toImage();
        const QImage proposed = child<QLabel>(*panel, "fix_after")->pixmap().toImage();
        QCOMPARE(current.pixelColor(current.rect().center()), QColor(0x26, 0x26, 0x26));
        const QColor colour = proposed.pixelColor(proposed.rect().center());
        QVERIFY(colour != QColor(0x26, 0x26, 0x26));

        QTest::mouseClick(fix, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(history.count(), 1);
        QCOMPARE(history.undoText(), step);
        QVERIFY(!finding(*window, reason).isValid());
        for (const int row : rows) {
            const std::string night(
                window->document().rows[static_cast<std::size_t>(row)].pri_night());
            QCOMPARE("#" + QString::fromStdString(night).toUpper(),
                colour.name(QColor::HexRgb).toUpper());
        }
        QCOMPARE(view->model()->rowCount(), 3);

        child<QAction>(*window, "undo")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(window->document().rows == before);
        const QModelIndex back = finding(*window, reason);
        QVERIFY(back.isValid());
        QCOMPARE(view->model()->rowCount(back), rows.size());
    }

    void fixAllShownMendsWhatTheFiltersKeepInOneStep()
    {
        auto window = checked_window();
        QUndoStack& history = window->history();
        auto* panel = child<CheckPanel>(*window, "check_panel");
        QTreeView* view = findings_view(*window);
        const std::vector<StyleRow> before = window->document().rows;

        // Warnings at night: the road; the route and the interstate's border are by day and at
        // night, which a night filter keeps too, but the border's group is info.
        child<QComboBox>(*panel, "severity_filter")->setCurrentIndex(2);
        child<QComboBox>(*panel, "time_filter")->setCurrentIndex(2);
        QCOMPARE(column(*window, 0), QStringList({ "warning", "warning" }));
        QVERIFY(child<QLabel>(*panel, "summary")->text().endsWith("; 2 of 4 groups shown"));
        child<QComboBox>(*panel, "rule_filter")->setCurrentText("route-like-road");
        QCOMPARE(view->model()->rowCount(), 1);
        child<QComboBox>(*panel, "rule_filter")->setCurrentIndex(0);

        QTest::mouseClick(child<QPushButton>(*panel, "fix_all"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(history.count(), 1);
        QCOMPARE(history.undoText(), QString("Fix All Shown"));
        // No colour of the route's hue is 20 apart from the interstate: it stays, and is said.
        QCOMPARE(
            window->statusBar()->currentMessage(), QString("Fixed 1 group; 1 could not be fixed"));
        QVERIFY(column(*window, 3).at(0).startsWith(route_like_interstate));
        QCOMPARE(view->model()->rowCount(), 1);
        // The info group was not shown, so it is left as it was.
        child<QComboBox>(*panel, "severity_filter")->setCurrentIndex(0);
        child<QComboBox>(*panel, "time_filter")->setCurrentIndex(0);
        QCOMPARE(column(*window, 0), QStringList({ "error", "warning", "info" }));
        QCOMPARE(window->document().rows[2].sec_day(), before[2].sec_day());

        history.undo();
        QCoreApplication::processEvents();
        QVERIFY(window->document().rows == before);
        QCOMPARE(column(*window, 0), expected_severities);
    }

    void sortsByEachColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("rules");
        QTest::newRow("severity, least first")
            << 0 << QStringList { "border-like-body", "line-on-land", "route-like-road", "" };
        QTest::newRow("presentation")
            << 2 << QStringList { "line-on-land", "", "route-like-road", "border-like-body" };
        QTest::newRow("rule, in the manual's order")
            << 5 << QStringList { "line-on-land", "route-like-road", "border-like-body", "" };
    }

    void sortsByEachColumn()
    {
        QFETCH(int, column);
        QFETCH(QStringList, rules);
        auto window = checked_window();
        QTreeView* view = findings_view(*window);
        view->sortByColumn(column, Qt::AscendingOrder);
        QStringList ids = ::column(*window, 5);
        QCOMPARE(ids.size(), rules.size());
        for (int i = 0; i < ids.size(); ++i) {
            if (!rules[i].isEmpty()) {
                QCOMPARE(ids[i], rules[i]);
            }
        }
    }

    void marksAndSimulateChangeOnlyWhatTheyShow_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("choice");
        QTest::newRow("design size, protanopia") << 1.0 << 1;
        QTest::newRow("zoomed in, deuteranopia") << 2.0 << 2;
        QTest::newRow("zoomed out, tritanopia") << 0.5 << 3;
    }

    void marksAndSimulateChangeOnlyWhatTheyShow()
    {
        QFETCH(double, zoom);
        QFETCH(int, choice);
        auto window = checked_window();
        window->resize(1000, 900);
        window->preview()->preview().set_zoom(zoom);
        window->relayout_preview();
        auto* marks = child<QCheckBox>(*window, "marks");
        auto* simulate = child<QComboBox>(*window, "simulate");
        const QImage marked = preview_shot(*window);
        marks->setChecked(false);
        const QImage plain = preview_shot(*window);

        // Each sample with a finding has the colour of its worst in its top-right corner; the
        // land has none. Nothing else differs from the preview without marks.
        const std::vector<SampleMark> expected = { SampleMark::None, SampleMark::Warning,
            SampleMark::Info, SampleMark::Error, SampleMark::Warning, SampleMark::Warning };
        const int size = std::max(static_cast<int>(std::nearbyint(5 * zoom)), 2);
        const auto in_a_marked_corner = [&](int x, int y) {
            for (int row = 0; row < 6; ++row) {
                const QRect box = window->preview()->box_rect(row);
                if (expected[static_cast<std::size_t>(row)] != SampleMark::None && y >= box.top()
                    && x <= box.right() && box.right() - x + y - box.top() < size) {
                    return true;
                }
            }
            return false;
        };
        for (int row = 0; row < 6; ++row) {
            const auto mark = expected[static_cast<std::size_t>(row)];
            QCOMPARE(marked.pixelColor(window->preview()->box_rect(row).topRight()),
                to_qcolor(mark == SampleMark::None ? sample_back_color : mark_colour(mark)));
        }
        for (int y = 0; y < marked.height(); ++y) {
            for (int x = 0; x < marked.width(); ++x) {
                QVERIFY(marked.pixel(x, y) == plain.pixel(x, y) || in_a_marked_corner(x, y));
            }
        }

        // Inside the body of the interstate's day band.
        const QPoint body = window->preview()->box_rect(2).topLeft()
            + QPoint(static_cast<int>(20 * zoom), static_cast<int>(9 * zoom));
        QCOMPARE(plain.pixelColor(body), QColor(0xE0, 0x30, 0x1E));
        simulate->setCurrentIndex(choice);
        const auto vision = static_cast<colour::Vision>(simulate->currentData().toInt());
        QCOMPARE(preview_shot(*window).pixelColor(body), to_qcolor(seen_with(0x1E30E0, vision)));
        QVERIFY(seen_with(0x1E30E0, vision) != 0x1E30E0);
        simulate->setCurrentIndex(0);
        QCOMPARE(preview_shot(*window), plain);
        marks->setChecked(true);
        QCOMPARE(preview_shot(*window), marked);
        // Closed, the panel leaves the preview exactly as it is without it.
        simulate->setCurrentIndex(choice);
        child<CheckPanel>(*window, "check_panel")->close();
        QCOMPARE(preview_shot(*window), plain);
    }
};

TINTWELL_QTEST_MAIN(CheckPanelTest)

#include "check_panel_test.moc"
