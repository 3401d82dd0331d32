// Several styles selected in the main window's preview with real clicks, drags and keys: which
// styles each gesture selects, the selection through filtering, zooming, Undo and Redo, and
// what the Colours panel, Check Theme and Paste Colours do with it.
#include "long_theme.h"
#include "model/presentations.h"
#include "model/prompter.h"
#include "qt_test_support.h"
#include "ui/common/preview_widget.h"
#include "ui/common/twips.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/editor/style_editor.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_navigator.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>
#include <set>

using namespace tintwell;

namespace {

void send_mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
    Qt::MouseButtons held, Qt::KeyboardModifiers keys)
{
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, keys);
    QApplication::sendEvent(target, &event);
}

std::vector<int> to_vector(const QList<int>& rows)
{
    return { rows.begin(), rows.end() };
}

} // namespace

class SelectionTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;

    std::unique_ptr<MainWindow> opened()
    {
        return window_with_long_theme(*m_dir, m_prompter, QSize(900, 700));
    }

    static const PreviewLayout& layout(MainWindow& window)
    {
        return window.preview()->preview().layout();
    }

    // The samples on the first line of the preview.
    static int columns(MainWindow& window)
    {
        const auto& rows = layout(window).rows;
        int n = 0;
        while (rows[std::size_t(n)].box.top == rows[0].box.top) {
            ++n;
        }
        return n;
    }

    // "r1c2": the sample in line 1, column 2 of the first presentation.
    static int cell(MainWindow& window, const QString& name)
    {
        const int line = name.mid(1, name.indexOf('c') - 1).toInt();
        return line * columns(window) + name.mid(name.indexOf('c') + 1).toInt();
    }

    // A point just left of the sample's box, in the gap between it and the one before: on no
    // sample and no caption.
    static QPoint gap_before(MainWindow& window, int row)
    {
        const QRect box = window.preview()->box_rect(row);
        const QPoint at(box.left() - 3, box.top() + 2);
        const auto& laid = layout(window);
        if (laid.hit_test(tw(at.x()), tw(at.y())) >= 0
            || laid.hit_test_caption(tw(at.x()), tw(at.y())) >= 0) {
            qFatal("the gap is not empty");
        }
        return at;
    }

    static void band(MainWindow& window, QPoint from, QPoint to, Qt::KeyboardModifiers keys)
    {
        QWidget* preview = window.preview();
        send_mouse(preview, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, keys);
        send_mouse(preview, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton, keys);
        send_mouse(preview, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, keys);
        send_mouse(preview, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, keys);
    }

    // One gesture: "click r0c1", "ctrl r0c1", "shift r0c1", "ctrlshift r0c1", "right r0c1",
    // "band r0c1 r1c2" and "ctrlband ..." (from the gap before the first to the middle of the
    // second), "empty" (a click in the gap before the first sample), "ctrl+a", "esc",
    // "shift+left" (and right, up, down).
    void perform(MainWindow& window, const QString& gesture)
    {
        const QStringList words = gesture.split(' ');
        QWidget* preview = window.preview();
        const QString& kind = words[0];
        if (kind == "ctrl+a") {
            child<QAction>(window, "select_all")->trigger();
            return;
        }
        if (kind == "esc") {
            preview->setFocus();
            QTest::keyClick(preview, Qt::Key_Escape);
            return;
        }
        if (kind.startsWith("shift+")) {
            const QString arrow = kind.mid(6);
            const Qt::Key key = arrow == "left" ? Qt::Key_Left
                : arrow == "right"              ? Qt::Key_Right
                : arrow == "up"                 ? Qt::Key_Up
                                                : Qt::Key_Down;
            preview->setFocus();
            QTest::keyClick(preview, key, Qt::ShiftModifier);
            return;
        }
        if (kind == "empty") {
            QTest::mouseClick(preview, Qt::LeftButton, {}, gap_before(window, 0));
            return;
        }
        const int row = cell(window, words[1]);
        if (kind == "band" || kind == "ctrlband") {
            band(window, gap_before(window, row),
                window.preview()->box_rect(cell(window, words[2])).center(),
                kind == "band" ? Qt::NoModifier : Qt::ControlModifier);
            return;
        }
        const QPoint at = window.preview()->box_rect(row).center();
        if (kind == "right") {
            QTest::mousePress(preview, Qt::RightButton, {}, at);
            child<QMenu>(window, "mcode")->close();
            return;
        }
        Qt::KeyboardModifiers keys;
        if (kind.startsWith("ctrl")) {
            keys |= Qt::ControlModifier;
        }
        if (kind.endsWith("shift")) {
            keys |= Qt::ShiftModifier;
        }
        QTest::mouseClick(preview, Qt::LeftButton, keys, at);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        m_prompter = RecordingPrompter();
    }

    void gesturesSelectStyles_data()
    {
        QTest::addColumn<QStringList>("gestures");
        // The samples selected afterwards, by cell; "all" for every style.
        QTest::addColumn<QStringList>("selected");
        // The framed one; empty for none.
        QTest::addColumn<QString>("current");

        QTest::newRow("a click selects one")
            << QStringList { "ctrl r0c0", "click r0c2" } << QStringList { "r0c2" } << "r0c2";
        QTest::newRow("ctrl adds") << QStringList { "click r0c0", "ctrl r1c3" }
                                   << QStringList { "r0c0", "r1c3" } << "r1c3";
        // Taking the framed one out frames another that is still selected.
        QTest::newRow("ctrl takes the framed one out") << QStringList { "click r0c0", "ctrl r0c3",
            "ctrl r0c3" } << QStringList { "r0c0" } << "r0c0";
        QTest::newRow("ctrl takes the last one out")
            << QStringList { "click r0c1", "ctrl r0c1" } << QStringList {} << "";
        // A range in the order the preview shows, across the end of a line.
        QTest::newRow("shift over a line end")
            << QStringList { "click r0c2", "shift r1c1" } << QStringList { "r0c2..r1c1" } << "r1c1";
        QTest::newRow("shift backwards")
            << QStringList { "click r1c1", "shift r0c2" } << QStringList { "r0c2..r1c1" } << "r0c2";
        // The range starts at the sample clicked last, and replaces what was selected.
        QTest::newRow("shift from the last ctrl click")
            << QStringList { "click r0c0", "ctrl r1c0", "shift r1c2" }
            << QStringList { "r1c0..r1c2" } << "r1c2";
        QTest::newRow("a second shift keeps the start")
            << QStringList { "click r0c1", "shift r0c3", "shift r0c2" }
            << QStringList { "r0c1..r0c2" } << "r0c2";
        QTest::newRow("ctrl shift adds a range")
            << QStringList { "click r0c0", "ctrl r1c0", "ctrlshift r1c2" }
            << QStringList { "r0c0", "r1c0..r1c2" } << "r1c2";
        // The band takes what it touches on both lines, no more.
        QTest::newRow("band over two lines")
            << QStringList { "band r0c1 r1c2" } << QStringList { "r0c1..r0c2", "r1c1..r1c2" }
            << "r0c1";
        QTest::newRow("band replaces") << QStringList { "click r2c0", "band r0c1 r0c2" }
                                       << QStringList { "r0c1..r0c2" } << "r0c1";
        QTest::newRow("ctrl band adds") << QStringList { "click r2c0", "ctrlband r0c1 r0c2" }
                                        << QStringList { "r2c0", "r0c1..r0c2" } << "r2c0";
        QTest::newRow("a click off the samples selects none")
            << QStringList { "click r0c0", "ctrl r0c1", "empty" } << QStringList {} << "";
        QTest::newRow("escape selects none")
            << QStringList { "click r0c0", "ctrl r0c1", "esc" } << QStringList {} << "";
        QTest::newRow("ctrl a selects every style")
            << QStringList { "click r1c1", "ctrl+a" } << QStringList { "all" } << "r1c1";
        // The pop-up on one of several selected keeps them all for its commands.
        QTest::newRow("right button on a selected one")
            << QStringList { "click r0c0", "ctrl r0c2", "right r0c0" }
            << QStringList { "r0c0", "r0c2" } << "r0c0";
        // Shift and the arrows grow and shrink the range from the sample clicked last.
        QTest::newRow("shift arrows") << QStringList { "click r0c1", "shift+right", "shift+right",
            "shift+down", "shift+left" }
                                      << QStringList { "r0c1..r1c2" } << "r1c2";
        QTest::newRow("shift arrow back over the start")
            << QStringList { "click r1c1", "shift+up" } << QStringList { "r0c1..r1c1" } << "r0c1";
        QTest::newRow("right button elsewhere")
            << QStringList { "click r0c0", "ctrl r0c2", "right r1c0" } << QStringList { "r1c0" }
            << "r1c0";
    }

    void gesturesSelectStyles()
    {
        QFETCH(QStringList, gestures);
        QFETCH(QStringList, selected);
        QFETCH(QString, current);
        auto window = opened();
        for (const QString& gesture : gestures) {
            perform(*window, gesture);
        }
        std::set<int> expected;
        for (const QString& cells : selected) {
            if (cells == "all") {
                for (int row = 0; row < window->document().row_count(); ++row) {
                    expected.insert(row);
                }
                continue;
            }
            const QStringList ends = cells.split("..");
            for (int row = cell(*window, ends.front()); row <= cell(*window, ends.back()); ++row) {
                expected.insert(row);
            }
        }
        const RowSelection& selection = window->theme().selection();
        QCOMPARE(selection.rows(), std::vector<int>(expected.begin(), expected.end()));
        QCOMPARE(window->preview()->frame_visible(), !current.isEmpty());
        if (!current.isEmpty()) {
            QCOMPARE(window->document().cur_row, cell(*window, current));
            const auto frame = layout(*window).frame_around(cell(*window, current));
            QCOMPARE(window->preview()->preview().shape4.rect.top, frame->top);
        }
        const QString status = child<QLabel>(*window, "selection_label")->text();
        if (expected.size() > 1) {
            QCOMPARE(status, QString("%1 styles selected").arg(expected.size()));
        } else {
            QVERIFY(!status.contains("selected"));
        }
    }

    // Held below the preview, the band scrolls it and takes in the samples that come into sight.
    void bandScrollsAtTheEdge()
    {
        auto window = opened();
        PreviewWidget* preview = window->preview();
        auto* scroll_bar = child<QScrollBar>(*window, "vs");
        QCOMPARE(scroll_bar->value(), 0);
        const QWidget* sight = preview->parentWidget();
        // The first sample of the first column wholly out of sight below.
        const auto& laid = layout(*window);
        int out_of_sight = -1;
        for (const int row : laid.order) {
            const auto& box = laid.rows[std::size_t(row)].box;
            if (box.left == laid.rows[0].box.left && box.top > tw(sight->height())) {
                out_of_sight = row;
                break;
            }
        }
        QVERIFY(out_of_sight > 0);
        const QPoint from = gap_before(*window, 0);
        const QPoint below(from.x() + 40, sight->height() + 30);
        send_mouse(preview, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, {});
        send_mouse(preview, QEvent::MouseMove, below, Qt::NoButton, Qt::LeftButton, {});
        QTRY_VERIFY(scroll_bar->value() > 0);
        QTRY_VERIFY(window->theme().selection().contains(out_of_sight));
        // Back in sight the scrolling stops; letting go keeps what the band took.
        const QPoint inside = preview->mapFromParent(QPoint(below.x(), sight->height() / 2));
        send_mouse(preview, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton, {});
        const int stopped = scroll_bar->value();
        QTest::qWait(100);
        QCOMPARE(scroll_bar->value(), stopped);
        send_mouse(preview, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton, {});
        QVERIFY(window->theme().selection().contains(0));
        QVERIFY(window->theme().selection().count() > 1);
    }

    // Styles the filter hides stay selected, say so and come back; zooming keeps them.
    void selectionOutlivesFilterAndZoom()
    {
        auto window = opened();
        perform(*window, "click r0c0");
        perform(*window, "ctrl r0c1");
        perform(*window, "ctrl r0c4");
        const std::vector<int> chosen = { 0, 1, 4 };
        QCOMPARE(window->theme().selection().rows(), chosen);
        // Only the styles of #1E90FF: the fifth of each presentation.
        window->set_filter_text("#1E90FF");
        QCOMPARE(window->theme().selection().rows(), chosen);
        QCOMPARE(child<QLabel>(*window, "selection_label")->text(),
            QString("3 styles selected, 2 of them hidden by the filter"));
        // Ctrl+A selects what the filter keeps, and only that.
        perform(*window, "ctrl+a");
        QCOMPARE(window->theme().selection().rows(), (std::vector<int> { 4, 49, 94 }));
        QCOMPARE(window->document().cur_row, 4);
        perform(*window, "click r0c4");
        perform(*window, "ctrl+a");
        window->set_filter_text(QString());
        window->navigator().set_zoom(2);
        QCOMPARE(window->theme().selection().rows(), (std::vector<int> { 4, 49, 94 }));
        QCOMPARE(child<QLabel>(*window, "selection_label")->text(), QString("3 styles selected"));
        QVERIFY(window->preview()->frame_visible());
    }

    void selectionFollowsStylesThroughUndo_data()
    {
        // Selected before the step (the first is framed); selected after the step, after Undo
        // and after Redo, and the framed row after each.
        QTest::addColumn<QString>("step");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QList<int>>("after_step");
        QTest::addColumn<QList<int>>("after_undo");
        QTest::addColumn<QList<int>>("after_redo");
        QTest::addColumn<QList<int>>("framed");

        // The styles of BROWSE and TRAFFIC move up when GUIDANCE goes, and back with Undo.
        QTest::newRow("rows removed before the selection")
            << "remove GUIDANCE" << QList<int> { 100, 50 } << QList<int> { 5, 55 }
            << QList<int> { 50, 100 } << QList<int> { 5, 55 } << QList<int> { 55, 100, 55 };
        // A removed style leaves the selection; Undo brings it back unselected.
        QTest::newRow("a selected style removed")
            << "remove BROWSE" << QList<int> { 50, 3, 100 } << QList<int> { 3, 55 }
            << QList<int> { 3, 100 } << QList<int> { 3, 55 } << QList<int> { 3, 3, 3 };
    }

    void selectionFollowsStylesThroughUndo()
    {
        QFETCH(QString, step);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after_step);
        QFETCH(QList<int>, after_undo);
        QFETCH(QList<int>, after_redo);
        QFETCH(QList<int>, framed);
        auto window = opened();
        OpenTheme& theme = window->theme();
        const std::string presentation = step.section(' ', 1).toStdString();
        window->select_rows(to_vector(before), before.front());
        theme.push_edit(*remove_presentations_edit(window->document(), { presentation }), "Remove");
        window->plot(PlotMode::Fresh);
        QCOMPARE(theme.selection().rows(), to_vector(after_step));
        QCOMPARE(window->document().cur_row, framed[0]);
        theme.history().undo();
        QCOMPARE(theme.selection().rows(), to_vector(after_undo));
        QCOMPARE(window->document().cur_row, framed[1]);
        theme.history().redo();
        QCOMPARE(theme.selection().rows(), to_vector(after_redo));
        QCOMPARE(window->document().cur_row, framed[2]);
        QVERIFY(window->preview()->frame_visible());
        QCOMPARE(child<QLabel>(*window, "selection_label")->text(),
            QString("%1 styles selected").arg(after_redo.size()));
    }
    // Styles Undo removes (the copies a step added) leave the selection, and Redo does not
    // bring them back into it.
    void aStyleRemovedByUndoLeavesTheSelection()
    {
        auto window = opened();
        OpenTheme& theme = window->theme();
        theme.push_edit(add_presentations_edit(window->document(), { "NIGHTLIFE" }), "Add");
        window->plot(PlotMode::Fresh);
        const int copy = 3 * long_theme_per_presentation + 3;
        window->select_rows({ 3, copy }, copy);
        theme.history().undo();
        QCOMPARE(theme.selection().rows(), (std::vector<int> { 3 }));
        QCOMPARE(window->document().cur_row, 3);
        QVERIFY(window->preview()->frame_visible());
        QCOMPARE(window->document().row_count(), copy - 3);
        theme.history().redo();
        QCOMPARE(theme.selection().rows(), (std::vector<int> { 3 }));
        QCOMPARE(window->document().cur_row, 3);
    }
};

TINTWELL_QTEST_MAIN(SelectionTest)
#include "selection_test.moc"
