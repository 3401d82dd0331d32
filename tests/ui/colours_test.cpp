// The colours of a theme in the window: the Colours panel's lines, their users and the filter a
// click sets, Replace through its dialog, Merge of near duplicates, and Copy and Paste Colours of
// the code pop-up, each one step of the history whose Undo gives back the saved bytes.
#include "model/prompter.h"
#include "model/writer.h"
#include "qt_test_support.h"
#include "render/preview.h"
#include "ui/common/colour_chart.h"
#include "ui/common/preview_widget.h"
#include "ui/dialogs/colours_panel.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QUndoStack>
#include <functional>
#include <memory>

using namespace tintwell;

namespace {

// A Car & Zumo theme in two presentations. #1E90FF is used four times (water by day twice, the
// road's night line and day border), #1E90FE once (one colour typed twice a little apart).
QByteArray blues_theme()
{
    const auto style = [](const char* field, const char* attributes, const char* primary,
                           const char* secondary) {
        QByteArray text = QByteArray("<STYLE field = \"") + field + "\" " + attributes
            + " >\n <COLOR>\n<PRIMARY " + primary + "/>\n";
        if (*secondary != '\0') {
            text += QByteArray("<SECONDARY ") + secondary + "/>\n";
        }
        return text + " </COLOR >\n</STYLE>\n";
    };
    QByteArray text = "<GARMIN_MAP_THEME>\n<METADATA>\n<TITLE>Blues</TITLE>\n"
                      "<DESCRIPTION>Colours in use</DESCRIPTION>\n<LOCALELIST>\n<locale>Global"
                      "</locale>\n</LOCALELIST>\n<Version><Major>1</Major><Minor>00</Minor>"
                      "</Version>\n</METADATA>\n<PRESENTATION ID=\"GUIDANCE\" >\n<STYLELIST>\n";
    text += style("MAP_WATER", "scale=\"1\"", "day = \"#1E90FF\" night=\"#104E8B\"", "");
    text += style("MAP_ROAD_HWY_MJR", "scale=\"1.5\" border=\".6\"",
        "day = \"#F2A65A\" night=\"#1E90FF\"", "day = \"#1E90FF\" night=\"#000000\"");
    text += style("MAP_PARK", "scale=\"1\"", "day = \"#C8E6B0\" night=\"#000000\"", "");
    text += "</STYLELIST>\n</PRESENTATION>\n<PRESENTATION ID=\"BROWSE\" >\n<STYLELIST>\n";
    text += style("MAP_WATER", "scale=\"1\"", "day = \"#1E90FF\" night=\"#104E8B\"", "");
    text += style("MAP_ROAD_RESIDENTIAL", "scale=\"1\"", "day = \"#1E90FE\" night=\"#000000\"", "");
    text += "</STYLELIST>\n</PRESENTATION>\n</GARMIN_MAP_THEME>\n";
    return text.replace("\n", "\r\n");
}

// The bytes Save would write now.
std::string saved_bytes(MainWindow& window)
{
    Document copy = window.document();
    return copy.kind == ThemeKind::CarZumo ? car_zumo_text(copy) : sport_fitness_text(copy);
}

// Runs `answer` on the modal dialog that the next call shows.
void on_dialog(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] { answer(QApplication::activeModalWidget()); });
}

QStringList column(const QTableView& list, int col)
{
    QStringList texts;
    for (int r = 0; r < list.model()->rowCount(); ++r) {
        texts << list.model()->index(r, col).data().toString();
    }
    return texts;
}

// The cells of a style's colours, in the order of the style editor's swatches.
QStringList cells(const StyleRow& row)
{
    return { QString::fromLatin1(row.pri_day()), QString::fromLatin1(row.pri_night()),
        QString::fromLatin1(row.sec_day()), QString::fromLatin1(row.sec_night()) };
}

} // namespace

class ColoursTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;

    std::unique_ptr<MainWindow> opened(const QString& file = QString())
    {
        auto window =
            std::make_unique<MainWindow>(QString(), m_dir->filePath("system/tintwell.dat"));
        window->set_prompter(&m_prompter);
        connect_dialog_menus(*window);
        window->resize(900, 600);
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
        QFile theme(m_dir->filePath(file.isEmpty() ? "blues.kmtf" : file));
        theme.open(QIODevice::WriteOnly);
        if (file.isEmpty()) {
            theme.write(blues_theme());
        } else {
            QFile data(QString(TINTWELL_TEST_DATA) + "/" + file);
            data.open(QIODevice::ReadOnly);
            theme.write(data.readAll());
        }
        theme.close();
        window->files().loadole(theme.fileName());
        return window;
    }

    static ColoursPanel* open_panel(MainWindow& window)
    {
        child<QAction>(window, "colours")->trigger();
        auto* panel = child<ColoursPanel>(window, "colours_panel");
        return panel->isVisible() ? panel : nullptr;
    }

    static QTableView* colour_list(ColoursPanel& panel)
    {
        return child<QTableView>(panel, "colour_list");
    }

    static void click_line(ColoursPanel& panel, const QString& hex)
    {
        QTableView* list = colour_list(panel);
        const int line = column(*list, 0).indexOf(hex);
        QVERIFY2(line >= 0, qPrintable(hex));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
            list->visualRect(list->model()->index(line, 1)).center());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        m_prompter = RecordingPrompter();
    }

    void panelListsTheColoursTheirUsersMergesAndFollowsEveryChange()
    {
        auto window = opened();
        auto* frame = child<QWidget>(*window, "Picture2");
        const QRect frame_place = frame->geometry();
        const QString caption = window->windowTitle();
        ColoursPanel* panel = open_panel(*window);
        QVERIFY(panel);
        QTableView* list = colour_list(*panel);

        // Most used first, equal uses by RRGGBB; slot columns empty where there is no use.
        const QStringList lines = { "#1E90FF 4 2 1 1 ", "#000000 3  2  1", "#104E8B 2  2  ",
            "#1E90FE 1 1   ", "#C8E6B0 1 1   ", "#F2A65A 1 1   " };
        QStringList shown;
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            QStringList line;
            for (int c = 0; c < list->model()->columnCount(); ++c) {
                line << list->model()->index(r, c).data().toString();
            }
            shown << line.join(' ');
        }
        QCOMPARE(shown, lines);
        child<QComboBox>(*panel, "colour_order")->setCurrentIndex(1);
        QCOMPARE(column(*list, 0).first(), QString("#000000"));

        // The tool tip names each user with its presentation and what it colours.
        const QRect water =
            list->visualRect(list->model()->index(column(*list, 0).indexOf("#1E90FF"), 0));
        QHelpEvent help(
            QEvent::ToolTip, water.center(), list->viewport()->mapToGlobal(water.center()));
        QApplication::sendEvent(list->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(),
            QString("#1E90FF: 4 uses\nWATER (GUIDANCE): fill day\n"
                    "ROAD HWY MJR (GUIDANCE): line night, border day\nWATER (BROWSE): fill day"));
        QToolTip::hideText();

        // A click shows the colour's styles.
        click_line(*panel, "#1E90FF");
        QCOMPARE(window->filter_text(), QString("#1E90FF"));
        QCOMPARE(window->preview()->preview().layout().order, (std::vector<int> { 0, 1, 3 }));

        // Merge, on the page whose pairs are worked out only once it shows, is one step. The
        // lists follow every change, Undo and Redo included, a hidden panel once it shows again,
        // and another theme opened.
        const auto uses_of = [&](const QString& hex) {
            const int line = column(*list, 0).indexOf(hex);
            return line < 0 ? 0 : list->model()->index(line, 1).data().toInt();
        };
        const std::string bytes = saved_bytes(*window);
        auto* pairs = child<QTreeWidget>(*panel, "near_list");
        QCOMPARE(pairs->topLevelItemCount(), 0);
        child<QTabWidget>(*panel, "colour_pages")->setCurrentIndex(1);
        QCOMPARE(pairs->topLevelItemCount(), 1);
        QCOMPARE(pairs->topLevelItem(0)->text(0) + ", " + pairs->topLevelItem(0)->text(1),
            QString("#1E90FF 4 uses, #1E90FE 1 use"));
        QTest::mouseClick(child<QPushButton>(*panel, "merge"), Qt::LeftButton);
        QCOMPARE(window->document().rows[4].pri_day(), std::string("1E90FF"));
        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->history().undoText(), QString("Merge #1E90FE into #1E90FF"));
        QCOMPARE(uses_of("#1E90FF"), 5);
        QCOMPARE(pairs->topLevelItemCount(), 0);
        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
        QCOMPARE(uses_of("#1E90FF"), 4);
        QCOMPARE(pairs->topLevelItemCount(), 1);
        panel->close();
        child<QAction>(*window, "redo")->trigger();
        QVERIFY(open_panel(*window));
        QCOMPARE(uses_of("#1E90FF"), 5);
        window->files().loadole(QString(TINTWELL_TEST_DATA) + "/ui_sport_fitness.kmtf");
        QCOMPARE(uses_of("#1E90FF"), 0);
        QCOMPARE(uses_of("#2040C0"), 1);

        // The window keeps its layout and caption beside the panel and once it is closed.
        QCOMPARE(frame->geometry(), frame_place);
        panel->close();
        window->files().loadole(m_dir->filePath("blues.kmtf"));
        QCOMPARE(frame->geometry(), frame_place);
        QCOMPARE(window->windowTitle(), caption);
    }

    void replaceThroughTheDialogIsOneStep_data()
    {
        // The entries of the day-or-night and line/fill-or-border choices (0 both, 1 day or
        // line/fill, 2 night or border) and the presentation; how the colour is picked ("hex"
        // types 000080, "palette" takes block 7, "field" the colour field's middle, "escape"
        // types and cancels); the count shown; the cells that change, as row * 4 + slot (line/fill
        // day, night, border day, night).
        for (const char* name : { "times", "parts" }) {
            QTest::addColumn<int>(name);
        }
        for (const char* name : { "presentation", "pick", "count" }) {
            QTest::addColumn<QString>(name);
        }
        QTest::addColumn<QList<int>>("changed");
        const QString all = "All presentations";
        QTest::newRow("everywhere, typed") << 0 << 0 << all << "hex"
                                           << "3 styles will change" << QList<int> { 0, 5, 6, 12 };
        QTest::newRow("day borders, palette") << 1 << 2 << all << "palette"
                                              << "1 style will change" << QList<int> { 6 };
        QTest::newRow("night line/fill, field") << 2 << 1 << all << "field"
                                                << "1 style will change" << QList<int> { 5 };
        QTest::newRow("one presentation") << 0 << 0 << "BROWSE"
                                          << "hex"
                                          << "1 style will change" << QList<int> { 12 };
        QTest::newRow("Escape") << 0 << 0 << all << "escape"
                                << "3 styles will change" << QList<int> {};
    }

    void replaceThroughTheDialogIsOneStep()
    {
        QFETCH(int, times);
        QFETCH(int, parts);
        QFETCH(QString, presentation);
        QFETCH(QString, pick);
        QFETCH(QString, count);
        QFETCH(QList<int>, changed);
        auto window = opened();
        ColoursPanel* panel = open_panel(*window);
        QVERIFY(panel);
        const std::vector<StyleRow> before = window->document().rows;
        const std::string bytes = saved_bytes(*window);
        click_line(*panel, "#1E90FF");

        QString shown_count;
        bool replace_enabled = false;
        QString picked;
        on_dialog([&](QWidget* dialog) {
            if (dialog == nullptr) {
                return;
            }
            child<QComboBox>(*dialog, "scope_times")->setCurrentIndex(times);
            child<QComboBox>(*dialog, "scope_parts")->setCurrentIndex(parts);
            auto* shown_in = child<QComboBox>(*dialog, "scope_presentation");
            shown_in->setCurrentIndex(shown_in->findText(presentation));
            auto* hex = child<QLineEdit>(*dialog, "hex");
            if (pick == "palette") {
                QTest::mouseClick(child<QWidget>(*dialog, "Labc_7"), Qt::LeftButton);
            } else if (pick == "field") {
                auto* field = child<ColourChart>(*dialog, "colour_field");
                QTest::mouseClick(field, Qt::LeftButton, {}, field->rect().center());
            } else {
                hex->selectAll();
                QTest::keyClicks(hex, "000080");
            }
            picked = "#" + hex->text();
            shown_count = child<QLabel>(*dialog, "count")->text();
            auto* ok = child<QDialogButtonBox>(*dialog, "buttons")->button(QDialogButtonBox::Ok);
            replace_enabled = ok->isEnabled();
            if (pick == "escape") {
                QTest::keyClick(hex, Qt::Key_Escape);
            } else {
                QTest::keyClick(hex, Qt::Key_Return);
            }
        });
        QTest::mouseClick(child<QPushButton>(*panel, "replace"), Qt::LeftButton);
        QCOMPARE(shown_count, count);
        QVERIFY(replace_enabled);
        QVERIFY(!QApplication::activeModalWidget());

        if (changed.isEmpty()) {
            QVERIFY(window->document().rows == before);
            QCOMPARE(window->history().count(), 0);
            return;
        }
        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->history().undoText(), QString("Replace #1E90FF"));
        bool still_used = false;
        for (int r = 0; r < int(before.size()); ++r) {
            const QStringList now = cells(window->document().rows[std::size_t(r)]);
            for (int slot = 0; slot < 4; ++slot) {
                const QString was = cells(before[std::size_t(r)])[slot];
                QCOMPARE(now[slot], changed.contains(r * 4 + slot) ? picked.mid(1) : was);
                still_used = still_used || now[slot] == "1E90FF";
            }
        }
        // The new colour is the selected line; a filter on the old one follows it once no style
        // uses the old one.
        QTableView* list = colour_list(*panel);
        QCOMPARE(list->model()->index(list->currentIndex().row(), 0).data().toString(), picked);
        QCOMPARE(window->filter_text(), still_used ? QString("#1E90FF") : picked);

        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
        QVERIFY(!window->document().modified);
        QVERIFY(column(*list, 0).contains("#1E90FF"));
    }

    void copyAndPasteColoursThroughThePopUp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");
        QTest::addColumn<QStringList>("expected");
        // The road's four colours onto a line without a border: only the line takes them.
        QTest::newRow("line") << "" << 1 << 4 << QStringList { "F2A65A", "1E90FF", "", "" };
        QTest::newRow("polygon") << "" << 1 << 2 << QStringList { "F2A65A", "1E90FF", "", "" };
        QTest::newRow("sport & fitness") << "ui_sport_fitness.kmtf" << 0 << 2
                                         << QStringList { "2040c0", "102040", "404040", "101010" };
    }

    void copyAndPasteColoursThroughThePopUp()
    {
        QFETCH(QString, file);
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(QStringList, expected);
        auto window = opened(file);
        auto* menu = child<QMenu>(*window, "mcode");
        auto* copy = child<QAction>(*window, "copy_colours");
        auto* paste = child<QAction>(*window, "paste_colours");
        // After the items the pop-up always had.
        const QList<QAction*> items = menu->actions();
        QVERIFY(items.indexOf(copy) > items.indexOf(child<QAction>(*window, "mcod2_4")));
        QCOMPARE(items.indexOf(paste), items.indexOf(copy) + 1);
        QVERIFY(!paste->isEnabled());
        const std::string bytes = saved_bytes(*window);
        const StyleRow source = window->document().rows[std::size_t(from)];
        const StyleRow target = window->document().rows[std::size_t(onto)];

        const auto right_click = [&](int row) {
            QTest::mouseClick(
                window->preview(), Qt::RightButton, {}, window->preview()->box_rect(row).center());
            QVERIFY(menu->isVisible());
        };
        right_click(from);
        copy->trigger();
        menu->close();
        QVERIFY(paste->isEnabled());
        if (file.isEmpty()) {
            QCOMPARE(QApplication::clipboard()->text(),
                QString("line/fill day #F2A65A\nline/fill night #1E90FF\nborder day #1E90FF\n"
                        "border night #000000"));
        }
        right_click(onto);
        paste->trigger();
        menu->close();

        const StyleRow& pasted = window->document().rows[std::size_t(onto)];
        QStringList now = cells(pasted);
        // A Sport & Fitness cell keeps its transparency prefix, when it has one.
        for (QString& cell : now) {
            cell = cell.right(6);
        }
        QCOMPARE(now, expected);
        QVERIFY(window->document().rows[std::size_t(from)] == source);
        QCOMPARE(window->history().count(), 1);
        QVERIFY(window->history().undoText().startsWith("Paste Colours onto "));
        QVERIFY(pasted.style_text() != target.style_text());
        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
    }
    void makeNightColoursIsOneStepUndoneToTheSavedBytes_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<QList<int>>("in_scope");
        // ui_check.kmtf: 0 LAND, 1 ROAD RESIDENTIAL, 2 ROAD INTERSTATE, 3 PARK, 4 RTE ACTV LEG in
        // GUIDANCE; 5 ROAD RESIDENTIAL in BROWSE.
        QTest::newRow("whole theme") << 0 << QList<int> { 0, 1, 2, 3, 4, 5 };
        QTest::newRow("one presentation") << 1 << QList<int> { 5 };
        QTest::newRow("the styles the filter keeps") << 2 << QList<int> { 1, 4 };
        QTest::newRow("the selected style") << 3 << QList<int> { 1 };
    }

    void makeNightColoursIsOneStepUndoneToTheSavedBytes()
    {
        QFETCH(int, scope);
        QFETCH(QList<int>, in_scope);
        auto window = opened("ui_check.kmtf");
        window->preview()->preview().show_only({ 1, 4 });
        window->relayout_preview();
        window->p1_MouseDown(1, Qt::LeftButton, QPoint());
        const std::vector<StyleRow> before = window->document().rows;
        const std::string bytes = saved_bytes(*window);

        bool samples_follow = false;
        on_dialog([&](QWidget* dialog) {
            if (dialog == nullptr) {
                return;
            }
            child<QComboBox>(*dialog, "scope")->setCurrentIndex(scope);
            child<QComboBox>(*dialog, "presentation")->setCurrentText("BROWSE");
            QCoreApplication::processEvents();
            const QImage now = child<QLabel>(*dialog, "before")->pixmap().toImage();
            const QImage made = child<QLabel>(*dialog, "after")->pixmap().toImage();
            // The samples show the styles that change (BROWSE's road, or GUIDANCE's when the
            // scope holds none of BROWSE's), and a darker land at once where the land changes.
            child<QSlider>(*dialog, "land_lightness")->setValue(8);
            QCoreApplication::processEvents();
            const QImage darker = child<QLabel>(*dialog, "after")->pixmap().toImage();
            samples_follow = made != now && (scope != 0 || darker != made)
                && now == child<QLabel>(*dialog, "before")->pixmap().toImage();
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        child<QAction>(*window, "make_night_colours")->trigger();
        QVERIFY(samples_follow);

        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->history().undoText(), QString("Make Night Colours"));
        const std::vector<StyleRow>& after = window->document().rows;
        bool changed = false;
        for (std::size_t row = 0; row < after.size(); ++row) {
            const bool differs = after[row].pri_night() != before[row].pri_night()
                || after[row].sec_night() != before[row].sec_night();
            QVERIFY2(!differs || in_scope.contains(static_cast<int>(row)),
                qPrintable(QString("row %1 is out of scope").arg(row)));
            changed = changed || differs;
        }
        QVERIFY(changed);

        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
    }
};

TINTWELL_QTEST_MAIN(ColoursTest)

#include "colours_test.moc"
