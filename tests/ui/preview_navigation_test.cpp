// Moving through the main window's preview with real wheel, key and click events: scrolling,
// the selection moved by the keys, the presentation list, the zoom, the filter box, and Escape
// and Select All in every dialog.
#include "long_theme.h"
#include "model/document_edit.h"
#include "model/prompter.h"
#include "qt_test_support.h"
#include "ui/common/message_box_prompter.h"
#include "ui/common/preview_widget.h"
#include "ui/common/twips.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/editor/style_editor.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_navigator.h"
#include "ui/main/theme_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <memory>

using namespace tintwell;

namespace {

constexpr int per_presentation = long_theme_per_presentation;

void wheel(QWidget* target, QPoint angle, QPoint pixels = {}, Qt::KeyboardModifiers keys = {})
{
    const QPointF at = QRectF(target->rect()).center();
    QWheelEvent event(
        at, target->mapToGlobal(at), pixels, angle, Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// A key as a keyboard sends it: Ctrl+A carries the control character 1, Escape the character 27.
void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers keys = {})
{
    const QString text(QChar(key == Qt::Key_Escape ? 27 : 1));
    QKeyEvent event(QEvent::KeyPress, key, keys, text);
    QApplication::sendEvent(target, &event);
}

// Runs `answer` on the modal dialog that the next call shows.
void on_dialog(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] { answer(QApplication::activeModalWidget()); });
}

} // namespace

class PreviewNavigationTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;

    QString settings_path() const { return m_dir->filePath("system/tintwell.dat"); }

    QString theme_file(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir->filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }

    // The long theme opened in a shown, active window of 900 × 600 pixels.
    std::unique_ptr<MainWindow> opened()
    {
        return window_with_long_theme(*m_dir, m_prompter, QSize(900, 600));
    }

    static const PreviewLayout& layout(MainWindow& window)
    {
        return window.preview()->preview().layout();
    }

    static QPoint centre(MainWindow& window, int row)
    {
        return window.preview()->box_rect(row).center();
    }

    // Twips of the preview scrolled out of sight above its frame.
    static std::int64_t scrolled(MainWindow& window) { return -tw(window.preview()->y()); }

    static bool in_sight(MainWindow& window, int row)
    {
        const TwipRect box = layout(window).rows[std::size_t(row)].box;
        const std::int64_t top = scrolled(window);
        return box.top >= top
            && box.bottom() <= top + tw(child<QWidget>(window, "Picture2")->height());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        m_prompter = RecordingPrompter();
    }

    void wheelAndKeysScrollByTheirSteps_data()
    {
        // An event on a part of the preview, sent `times` times, and the move it makes in
        // notches (the scroll bar's small step, at most a third of the frame), pages and twips.
        for (const char* column :
            { "target", "angle", "pixels", "times", "key", "notches", "pages", "twips" }) {
            column == std::string("target") ? QTest::addColumn<QString>(column)
                                            : QTest::addColumn<int>(column);
        }
        QTest::newRow("notch down") << "Picture1" << -120 << 0 << 1 << 0 << 1 << 0 << 0;
        QTest::newRow("notch up at the edge") << "Picture2" << 120 << 0 << 1 << 0 << -1 << 0 << 0;
        QTest::newRow("eight fine turns") << "Picture1" << -15 << 0 << 8 << 0 << 1 << 0 << 0;
        QTest::newRow("touchpad pixels") << "Picture1" << -40 << -40 << 1 << 0 << 0 << 0 << 600;
        QTest::newRow("on the scroll bar") << "vs" << -120 << 0 << 1 << 0 << 1 << 0 << 0;
        QTest::newRow("Page Down")
            << "Picture1" << 0 << 0 << 1 << int(Qt::Key_PageDown) << 0 << 1 << 0;
        QTest::newRow("Page Up") << "Picture1" << 0 << 0 << 1 << int(Qt::Key_PageUp) << 0 << -1
                                 << 0;
        QTest::newRow("End") << "Picture1" << 0 << 0 << 1 << int(Qt::Key_End) << 0 << 999 << 0;
        QTest::newRow("Home") << "Picture1" << 0 << 0 << 1 << int(Qt::Key_Home) << 0 << -999 << 0;
    }

    void wheelAndKeysScrollByTheirSteps()
    {
        QFETCH(QString, target);
        QFETCH(int, angle);
        QFETCH(int, pixels);
        QFETCH(int, times);
        QFETCH(int, key);
        QFETCH(int, notches);
        QFETCH(int, pages);
        QFETCH(int, twips);
        auto window = opened();
        auto* bar = child<QScrollBar>(*window, "vs");
        const int page = tw(child<QWidget>(*window, "Picture2")->height());
        const int notch = std::min(bar->singleStep(), page / 3);
        bar->setValue(bar->maximum() / 2);
        QWidget* part = child<QWidget>(*window, target.toLatin1());
        part->setFocus();
        for (int i = 0; i < times; ++i) {
            key != 0 ? QTest::keyClick(part, Qt::Key(key))
                     : wheel(part, { 0, angle }, { 0, pixels });
        }
        const int expected = std::clamp(
            bar->maximum() / 2 + notches * notch + pages * page + twips, 0, bar->maximum());
        // The value counts twips; the preview moves by whole pixels.
        QVERIFY(std::abs(bar->value() - expected) <= twips_in_pixel);
        QVERIFY(std::abs(scrolled(*window) - expected) <= 2 * twips_in_pixel);
    }

    void keysMoveTheSelectionAndOpenItsEditorAndMenu()
    {
        auto window = opened();
        QWidget* preview = window->preview();
        QTest::mouseClick(preview, Qt::LeftButton, {}, centre(*window, 0));
        QCOMPARE(window->document().cur_row, 0);
        const auto& rows = layout(*window).rows;
        int per_line = 0;
        while (rows[std::size_t(per_line)].box.top == rows[0].box.top) {
            ++per_line;
        }
        const std::vector<std::pair<Qt::Key, int>> steps = { { Qt::Key_Right, 1 },
            { Qt::Key_Down, 1 + per_line }, { Qt::Key_Left, per_line }, { Qt::Key_Up, 0 } };
        for (const auto& [key, row] : steps) {
            QTest::keyClick(preview, key);
            QCOMPARE(window->document().cur_row, row);
            QCOMPARE(window->preview()->preview().shape4.rect, *layout(*window).frame_around(row));
        }
        // Down all the way: every sample it lands on is scrolled into sight, across the
        // presentations.
        int last = 0;
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(preview, Qt::Key_Down);
            QVERIFY(window->document().cur_row >= last);
            last = window->document().cur_row;
            QVERIFY2(in_sight(*window, last), qPrintable(QString::number(last)));
        }
        QVERIFY(last >= 2 * per_presentation);
        QVERIFY(find_code(*window).contains("MAP_"));

        // Enter opens the editor a double click opens; the code box shows what it applied.
        std::vector<int> opened_rows;
        window->editors().register_editor(EditorKind::Style, [&](QWidget*, Document& doc, int row) {
            opened_rows.push_back(row);
            doc.rows[std::size_t(row)].set_style_text(
                std::string(doc.rows[std::size_t(row)].style_text()) + " APPLIED");
            return true;
        });
        QTest::keyClick(preview, Qt::Key_Return);
        QCOMPARE(opened_rows, std::vector<int> { last });
        QVERIFY(find_code(*window).endsWith(" APPLIED"));

        auto* menu = child<QMenu>(*window, "mcode");
        for (const auto& [key, keys] : { std::pair { Qt::Key_Menu, Qt::NoModifier },
                 std::pair { Qt::Key_F10, Qt::ShiftModifier } }) {
            QTest::keyClick(preview, key, keys);
            QVERIFY(menu->isVisible());
            QVERIFY(menu->geometry().contains(
                preview->mapToGlobal(window->preview()->box_rect(last).center()) + QPoint(1, 1)));
            menu->close();
        }
    }

    void redrawsKeepTheScrollAndSelectionAndOpeningGoesToTheTop()
    {
        auto window = opened();
        auto* bar = child<QScrollBar>(*window, "vs");
        bar->setValue(bar->maximum() / 2);
        // A residential road in sight, a line the widths can be added to.
        int road = 2;
        while (!in_sight(*window, road)) {
            road += 3;
        }
        QTest::mouseClick(window->preview(), Qt::LeftButton, {}, centre(*window, road));
        const int value = bar->value();
        auto* code = child<QPlainTextEdit>(*window, "Text5");

        QTest::mouseClick(child<QCheckBox>(*window, "Check2"), Qt::LeftButton);
        QCOMPARE(bar->value(), value);
        child<QAction>(*window, "mcod2_3")->trigger();
        QVERIFY(code->toPlainText().contains("BG_WIDTH"));
        QCOMPARE(bar->value(), value);
        child<QAction>(*window, "undo")->trigger();
        QVERIFY(!code->toPlainText().contains("BG_WIDTH"));
        QVERIFY(code->toPlainText().startsWith("<STYLE "));
        QCOMPARE(bar->value(), value);
        QCOMPARE(window->document().cur_row, road);
        QCOMPARE(window->preview()->preview().shape4.rect, *layout(*window).frame_around(road));
        QVERIFY(window->preview()->frame_visible());

        // Ctrl+A with the letter's text selects in the title; it types no capital A.
        auto* title = child<QLineEdit>(*window, "title");
        QTest::keyClick(title, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(title->selectedText(), QString("LONG"));

        window->files().loadole(theme_file("other.kmtf", long_theme()));
        QCOMPARE(bar->value(), 0);
        QVERIFY(code->toPlainText().isEmpty());
        QVERIFY(!window->preview()->frame_visible());
    }

    void presentationClickBringsItsFirstSampleToTheTop()
    {
        auto window = opened();
        QVERIFY(window->preview()->preview().headings);
        auto* list = child<QListWidget>(*window, "List1");
        for (const char* name : { "BROWSE", "GUIDANCE", "TRAFFIC" }) {
            QListWidgetItem* item = list->findItems(name, Qt::MatchContains).value(0);
            QVERIFY(item);
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            // The first sample is in sight near the top, with the heading on the rule above it.
            const int first = layout(*window).first_row_of(window->document(), name);
            const std::int64_t box_top = layout(*window).rows[std::size_t(first)].box.top;
            const std::int64_t most =
                tw(window->preview()->height()) - tw(child<QWidget>(*window, "Picture2")->height());
            QVERIFY2(in_sight(*window, first), name);
            QVERIFY2(scrolled(*window) == most || box_top - scrolled(*window) < 600, name);
            QVERIFY2(std::max<std::int64_t>(box_top - 250, 0) >= scrolled(*window), name);
        }
    }

    void filterBoxKeepsCountsAndGivesWayToSearch()
    {
        auto window = opened();
        const int all = 3 * per_presentation;
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        auto* filter = child<QLineEdit>(*window, "filter");
        QVERIFY(filter->hasFocus());
        QCOMPARE(filter->placeholderText(), QString("Filter styles"));
        // Whole inside the window, at its right edge.
        const QRect box(filter->mapTo(window.get(), QPoint()), filter->size());
        QVERIFY2(window->rect().contains(box), qPrintable(QString::number(box.right())));
        const std::vector<std::pair<const char*, int>> texts = { { "water", per_presentation },
            { "#1e90ff", 3 }, { "residential", per_presentation }, { "nothing", 0 },
            { "  ", all } };
        for (const auto& [text, kept] : texts) {
            filter->selectAll();
            QTest::keyClick(filter, Qt::Key_Backspace);
            QTest::keyClicks(filter, text);
            QCOMPARE(int(layout(*window).order.size()), kept);
            QCOMPARE(child<QLabel>(*window, "filter_count")->text(),
                kept == all ? QString() : QString("%1 of %2 styles").arg(kept).arg(all));
        }

        // The filter follows every change, Undo too; the near colour as well, though it keeps
        // what it learnt of the theme's colours from one keystroke to the next.
        for (const char* text : { "1e90ff", "~#1e90ff" }) {
            window->set_filter_text(text);
            const int before = int(layout(*window).order.size());
            StyleRow changed = window->document().rows[0];
            changed.set_pri_day("1E90FF");
            DocumentEdit edit;
            edit.replace_row(0, window->document().rows[0], changed);
            window->theme().push_edit(std::move(edit), "Colour");
            window->redraw_keeping_scroll();
            QCOMPARE(int(layout(*window).order.size()), before + 1);
            child<QAction>(*window, "undo")->trigger();
            QCOMPARE(int(layout(*window).order.size()), before);
        }

        // Search goes through every style: a hidden one clears the filter and is framed.
        window->set_filter_text("water");
        QTest::keyClicks(child<QLineEdit>(*window, "Text4"), "park");
        QTest::keyClick(child<QLineEdit>(*window, "Text4"), Qt::Key_Return);
        QVERIFY(window->filter_text().isEmpty());
        QCOMPARE(window->panel().search_pos(), 2);
        QCOMPARE(
            window->preview()->preview().shape4.rect.left, layout(*window).rows[1].box.left - 20);

        // A selection the filter hides comes back with its frame when the filter is cleared.
        window->set_filter_text("residential");
        QVERIFY(!window->preview()->frame_visible());
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Escape);
        QVERIFY(window->filter_text().isEmpty());
        QVERIFY(window->preview()->frame_visible());
        QCOMPARE(window->document().cur_row, 1);

        window->set_filter_text("water");
        QVERIFY(!window->navigator().select_row(all));
        QVERIFY(window->navigator().select_row(2 * per_presentation + 2));
        QVERIFY(window->filter_text().isEmpty());
        QVERIFY(in_sight(*window, 2 * per_presentation + 2));

        // A style found among the filtered ones is brought into sight, whatever is hidden
        // before it.
        window->set_filter_text("park");
        const int traffic_park = 2 * per_presentation + 1;
        child<QLineEdit>(*window, "Text4")->clear();
        QTest::keyClicks(child<QLineEdit>(*window, "Text4"), "park");
        for (int found = 1; found <= traffic_park; found += 3) {
            QTest::keyClick(child<QLineEdit>(*window, "Text4"), Qt::Key_Return);
        }
        QCOMPARE(window->document().cur_row, traffic_park);
        QVERIFY(in_sight(*window, traffic_park));
        QCOMPARE(window->filter_text(), QString("park"));

        // A new theme shows everything again and nothing in the code box.
        window->panel().set_element_chooser([](Document&) { return ElementSelection {}; });
        child<QAction>(*window, "mf_0")->trigger();
        QVERIFY(window->filter_text().isEmpty());
        QVERIFY(find_code(*window).isEmpty());
    }

    void zoomStepsAndIsKeptBesideTheSettings()
    {
        {
            auto window = opened();
            QWidget* preview = window->preview();
            // Ctrl with a key, a Ctrl+wheel turn, or a zoom set, and the percent it leaves.
            struct Step
            {
                int key;
                int angle;
                double zoom;
                int percent;
            };
            const std::vector<Step> steps = { { Qt::Key_Plus, 0, 0, 110 },
                { Qt::Key_Equal, 0, 0, 125 }, { Qt::Key_Minus, 0, 0, 110 },
                { Qt::Key_0, 0, 0, 100 }, { 0, 240, 0, 125 }, { 0, -60, 0, 125 },
                { 0, -60, 0, 110 }, { 0, 0, 9, 400 }, { 0, 0, 0.1, 50 }, { 0, 0, 2, 200 } };
            for (const Step& step : steps) {
                if (step.key != 0) {
                    QTest::keyClick(preview, Qt::Key(step.key), Qt::ControlModifier);
                } else if (step.angle != 0) {
                    wheel(preview, { 0, step.angle }, {}, Qt::ControlModifier);
                } else {
                    window->navigator().set_zoom(step.zoom);
                }
                QCOMPARE(int(std::lround(window->navigator().zoom() * 100)), step.percent);
                QCOMPARE(child<QLabel>(*window, "zoom_label")->text(),
                    QString("%1 %").arg(step.percent));
            }
            // A press frames the sample at the zoom.
            QTest::mouseClick(preview, Qt::LeftButton, {}, centre(*window, 3));
            QCOMPARE(window->preview()->preview().shape4.rect.height,
                std::llround((900 + 600 + 40) * 2.0));
            // Without the status bar the preview frame has the height of the window's layout.
            auto* frame = child<QWidget>(*window, "Picture2");
            const int with_bar = frame->height();
            child<QAction>(*window, "status_bar")->trigger();
            QVERIFY(child<QWidget>(*window, "status_bar")->isHidden());
            QCOMPARE(frame->height() - with_bar,
                child<QWidget>(*window, "status_bar")->sizeHint().height());
            QVERIFY(window->close());
        }
        QFile view(m_dir->filePath("system/view.ini"));
        QVERIFY(view.open(QIODevice::ReadOnly));
        QCOMPARE(view.readAll(), QByteArray("zoom=200\r\nstatus_bar=0\r\n"));
        MainWindow again(QString(), settings_path());
        QCOMPARE(again.navigator().zoom(), 2.0);
        QVERIFY(child<QWidget>(again, "status_bar")->isHidden());
    }

    void everySampleCanBeScrolledFullyIntoView_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("width");
        for (const int percent : { 50, 67, 75, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400 }) {
            for (const int width : { 640, 900, 1030, 1333 }) {
                QTest::addRow("%d %% at %d px", percent, width) << percent << width;
            }
        }
    }
    // Every sample with its caption lies left of the scroll bar, inside the frame, and the
    // scroll bar reaches the last one.
    void everySampleCanBeScrolledFullyIntoView()
    {
        QFETCH(int, percent);
        QFETCH(int, width);
        auto window = opened();
        window->resize(width, 600);
        QTest::qWait(0);
        window->navigator().set_zoom(percent / 100.0);
        auto* frame = child<QWidget>(*window, "Picture2");
        auto* bar = child<QScrollBar>(*window, "vs");
        const int frame_right = frame->mapTo(window.get(), QPoint(frame->width(), 0)).x();
        const int bar_left = bar->mapTo(window.get(), QPoint(0, 0)).x();
        const int room = std::min(frame_right, bar_left);
        const PreviewLayout& laid = layout(*window);
        std::int64_t lowest = 0;
        for (const int row : laid.order) {
            const PreviewRow& r = laid.rows[std::size_t(row)];
            const std::int64_t right = std::max(r.box.right(), r.caption.right());
            const int right_px = window->preview()->mapTo(window.get(), QPoint(0, 0)).x()
                + int(std::ceil(double(right) / 15));
            QVERIFY2(right_px <= room,
                qPrintable(
                    QString("row %1 ends at %2 px, room to %3").arg(row).arg(right_px).arg(room)));
            lowest = std::max(lowest, r.caption.bottom());
        }
        bar->setValue(bar->maximum());
        QVERIFY2(lowest <= scrolled(*window) + tw(frame->height()),
            qPrintable(QString("lowest caption at %1, shown to %2")
                           .arg(lowest)
                           .arg(scrolled(*window) + tw(frame->height()))));
    }

    void zoomKeepsThePointWhereItWas_data()
    {
        QTest::addColumn<bool>("by_wheel");
        QTest::addColumn<int>("steps");
        QTest::newRow("Ctrl++ keeps the middle") << false << 1;
        QTest::newRow("Ctrl+- keeps the middle") << false << -1;
        QTest::newRow("wheel up keeps the point under the pointer") << true << 1;
        QTest::newRow("wheel down keeps the point under the pointer") << true << -1;
    }

    // The sample at the middle of the frame (keys) or under the pointer (wheel) stays at the same
    // height on the screen, its middle where it was.
    void zoomKeepsThePointWhereItWas()
    {
        QFETCH(bool, by_wheel);
        QFETCH(int, steps);
        auto window = opened();
        window->navigator().set_zoom(1.25);
        QWidget* preview = window->preview();
        auto* bar = child<QScrollBar>(*window, "vs");
        const std::int64_t frame_height = tw(child<QWidget>(*window, "Picture2")->height());
        // A sample half-way down the theme, across the middle of the preview's width, its middle
        // brought to the middle of the frame.
        const std::int64_t across = tw(preview->width()) / 2;
        int row = layout(*window).order[layout(*window).order.size() / 2];
        while (row >= 0) {
            const TwipRect& box = layout(*window).rows[std::size_t(row)].box;
            if (layout(*window).hit_test(across, box.top) >= 0) {
                row = layout(*window).hit_test(across, box.top);
                break;
            }
            row = layout(*window).neighbour(row, Neighbour::Down);
        }
        QVERIFY(row >= 0);
        const auto middle = [&](int r) {
            const TwipRect& box = layout(*window).rows[std::size_t(r)].box;
            return box.top + box.height / 2;
        };
        const double spread = double(tw(preview->height()) - frame_height);
        bar->setValue(int(std::lround((middle(row) - frame_height / 2) * bar->maximum() / spread)));
        // Under the pointer: a sample in the line above the middle one.
        int target = row;
        if (by_wheel) {
            target = layout(*window).neighbour(row, Neighbour::Up);
            QVERIFY(target >= 0);
        }
        const std::int64_t on_screen = middle(target) - scrolled(*window);
        QVERIFY(on_screen > 0 && on_screen < frame_height);
        if (by_wheel) {
            const QRect box = window->preview()->box_rect(target);
            const QPointF at(box.center());
            QWheelEvent turn(at, preview->mapToGlobal(at), {}, { 0, 120 * steps }, Qt::NoButton,
                Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(preview, &turn);
        } else {
            QTest::keyClick(preview, steps > 0 ? Qt::Key_Plus : Qt::Key_Minus, Qt::ControlModifier);
        }
        QVERIFY(window->navigator().zoom() != 1.25);
        const std::int64_t now = middle(target) - scrolled(*window);
        QVERIFY2(std::llabs(now - on_screen) <= 30,
            qPrintable(QString("was %1 twips down the frame, now %2").arg(on_screen).arg(now)));
    }

    // When nothing else is shown there, the status bar names the selected style: presentation,
    // element and its day and night colours.
    void statusBarNamesTheSelectedStyle()
    {
        auto window = opened();
        auto* named = child<QLabel>(*window, "selection_label");
        QVERIFY(named->text().isEmpty());
        QTest::mouseClick(window->preview(), Qt::LeftButton, {}, centre(*window, 4));
        QCOMPARE(named->text(), QString("GUIDANCE, PARK: day #1E90FF, night #101010"));
        QTest::keyClick(window->preview(), Qt::Key_Right);
        QCOMPARE(named->text(), QString("GUIDANCE, ROAD RESIDENTIAL: day #152535, night #101010"));
        window->navigator().clear_selection();
        QVERIFY(named->text().isEmpty());
    }

    void escapeCancelsAndSelectAllSelectsInEveryDialog_data()
    {
        QTest::addColumn<QString>("opened_by");
        QTest::addColumn<int>("row");
        // Text boxes holding text that Ctrl+A is tried in, at least.
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("file");
        QTest::newRow("style editor") << "double click" << 1 << 4 << "ui_car_zumo.kmtf";
        QTest::newRow("edit text") << "edit text" << 0 << 0 << "ui_car_zumo.kmtf";
        QTest::newRow("sport & fitness editor")
            << "double click" << 1 << 10 << "ui_sport_fitness.kmtf";
        QTest::newRow("add elements") << "Command2" << 0 << 0 << "";
        QTest::newRow("add presentations") << "med_0" << 0 << 0 << "";
        QTest::newRow("remove presentations") << "med_1" << 0 << 0 << "";
        QTest::newRow("updates") << "mhlp_0" << 0 << 0 << "";
        QTest::newRow("about") << "mf_7" << 0 << 0 << "";
    }

    void escapeCancelsAndSelectAllSelectsInEveryDialog()
    {
        QFETCH(QString, opened_by);
        QFETCH(int, row);
        QFETCH(int, boxes);
        QFETCH(QString, file);
        auto window = opened();
        if (!file.isEmpty()) {
            QFile::copy(QString(TINTWELL_TEST_DATA) + "/" + file, m_dir->filePath(file));
            window->files().loadole(m_dir->filePath(file));
        }
        const std::vector<StyleRow> rows = window->document().rows;
        const int steps = window->history().count();
        window->panel().set_element_chooser(nullptr);
        int tried = 0;
        QStringList not_selected;
        bool closed = false;
        on_dialog([&](QWidget* dialog) {
            if (dialog == nullptr) {
                return;
            }
            QWidget* first = nullptr;
            for (QLineEdit* box : dialog->findChildren<QLineEdit*>()) {
                if (box->isVisible() && box->isEnabled() && !box->text().isEmpty()) {
                    box->setFocus();
                    box->deselect();
                    press(box, Qt::Key_A, Qt::ControlModifier);
                    if (box->selectedText() != box->text()) {
                        not_selected << box->objectName();
                    }
                    first = first ? first : box;
                    ++tried;
                }
            }
            press(first ? first : dialog, Qt::Key_Escape);
            closed = !dialog->isVisible();
            if (!closed) {
                dialog->close();
            }
        });
        child<QCheckBox>(*window, "Check1")->setChecked(opened_by == "edit text");
        if (opened_by == "double click" || opened_by == "edit text") {
            QTest::mouseDClick(window->preview(), Qt::LeftButton, {}, centre(*window, row));
        } else if (opened_by == "Command2") {
            child<QPushButton>(*window, "Command2")->click();
        } else if (opened_by == "mf_7") {
            window->files().mf_Click(FileCommand::About);
        } else {
            child<QAction>(*window, opened_by.toLatin1())->trigger();
        }
        QVERIFY(closed);
        QCOMPARE(not_selected, QStringList());
        QVERIFY(tried >= boxes);
        QVERIFY(window->document().rows == rows);
        QCOMPARE(window->history().count(), steps);
        QVERIFY(!window->document().modified);
    }

    void yesNoQuestionWaitsForAnAnswer()
    {
        MessageBoxPrompter prompter(nullptr);
        bool still_open = false;
        on_dialog([&](QWidget* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            still_open = box->isVisible();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        QVERIFY(!prompter.ask_yes_no("Save Current file?"));
        QVERIFY(still_open);
    }

private:
    static QString find_code(MainWindow& window)
    {
        return child<QPlainTextEdit>(window, "Text5")->toPlainText();
    }
};

TINTWELL_QTEST_MAIN(PreviewNavigationTest)

#include "preview_navigation_test.moc"
