// The colours of a theme in the window: the Colours panel's lines, their users and the filter a
// click sets, Replace through its dialog, Merge of near duplicates, and Copy and Paste Colours of
// the code pop-up, each one step of the history whose Undo gives back the saved bytes.
#include "colour/palette.h"
#include "model/prompter.h"
#include "model/writer.h"
#include "ui/common/colour_chart.h"
#include "ui/dialogs/colours_panel.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/main/main_window.h"
#include "ui/main/preview_widget.h"

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

template <typename T> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no %s", name);
    }
    return found;
}

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

void choose(QWidget& dialog, const char* box, const QString& entry)
{
    auto* combo = child<QComboBox>(dialog, box);
    const int index = combo->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    combo->setCurrentIndex(index);
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
    return { QString::fromStdString(row.pri_day), QString::fromStdString(row.pri_night),
        QString::fromStdString(row.sec_day), QString::fromStdString(row.sec_night) };
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
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qWarning("the window did not show");
        }
        QString path = file.isEmpty() ? m_dir->filePath("blues.kmtf") : m_dir->filePath(file);
        if (file.isEmpty()) {
            QFile theme(path);
            theme.open(QIODevice::WriteOnly);
            theme.write(blues_theme());
        } else {
            QFile::copy(QString(TINTWELL_TEST_DATA) + "/" + file, path);
        }
        window->loadole(path);
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

    void panelListsTheColoursTheirUsersAndFollowsEveryChange()
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
        QCOMPARE(child<QLabel>(*panel, "colour_count")->text(), QString("6 colours"));
        child<QComboBox>(*panel, "colour_order")->setCurrentIndex(1);
        QCOMPARE(column(*list, 0).first(), QString("#000000"));
        QCOMPARE(column(*list, 0).size(), lines.size());

        // The tool tip names each user with its presentation and what it colours.
        const QRect water =
            list->visualRect(list->model()->index(column(*list, 0).indexOf("#1E90FF"), 0));
        QHelpEvent help(
            QEvent::ToolTip, water.center(), list->viewport()->mapToGlobal(water.center()));
        QApplication::sendEvent(list->viewport(), &help);
        QTRY_VERIFY(QToolTip::text().startsWith("#1E90FF: 4 uses\n"));
        const QString users = QToolTip::text();
        QToolTip::hideText();
        QVERIFY2(users.contains("(GUIDANCE): fill day\n"), qPrintable(users));
        QVERIFY2(users.contains("(GUIDANCE): line night, border day\n"), qPrintable(users));
        QVERIFY2(users.endsWith("(BROWSE): fill day"), qPrintable(users));

        // A click shows the colour's styles.
        click_line(*panel, "#1E90FF");
        QCOMPARE(window->filter_text(), QString("#1E90FF"));
        QCOMPARE(window->preview()->preview().layout().order, (std::vector<int> { 0, 1, 3 }));

        // Every change reads the colours again, Undo and Redo too; opening another theme too.
        const auto uses_of = [&](const QString& hex) {
            const int line = column(*list, 0).indexOf(hex);
            return line < 0 ? 0 : list->model()->index(line, 1).data().toInt();
        };
        StyleRow park = window->document().rows[2];
        park.pri_day = "1E90FF";
        DocumentEdit edit;
        edit.replace_row(2, window->document().rows[2], park);
        window->push_edit(std::move(edit), "Park");
        QCOMPARE(uses_of("#1E90FF"), 5);
        QCOMPARE(uses_of("#C8E6B0"), 0);
        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(uses_of("#1E90FF"), 4);
        // A hidden panel catches up when it shows again.
        panel->close();
        child<QAction>(*window, "redo")->trigger();
        QVERIFY(open_panel(*window));
        QCOMPARE(uses_of("#1E90FF"), 5);
        window->loadole(QString(TINTWELL_TEST_DATA) + "/ui_sport_fitness.kmtf");
        QCOMPARE(uses_of("#1E90FF"), 0);
        QCOMPARE(uses_of("#2040C0"), 1);

        // The window keeps its layout and caption beside the panel and once it is closed.
        QCOMPARE(frame->geometry(), frame_place);
        panel->close();
        window->loadole(m_dir->filePath("blues.kmtf"));
        QCOMPARE(frame->geometry(), frame_place);
        QCOMPARE(window->windowTitle(), caption);
    }

    void replaceThroughTheDialogIsOneStep_data()
    {
        QTest::addColumn<QString>("times");
        QTest::addColumn<QString>("parts");
        QTest::addColumn<QString>("presentation");
        // "hex" types 000080, "palette" takes block 7 (FF0000), "field" the colour field's
        // middle, "escape" types and cancels.
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("count");
        // The rows whose cells change, and the cells of the road (row 1) afterwards.
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QList<int>>("road_slots");
        QTest::newRow("everywhere, typed")
            << "Day and night"
            << "Line/fill and border"
            << "All presentations"
            << "hex"
            << "3 styles will change" << QList<int> { 0, 1, 3 } << QList<int> { 1, 2 };
        QTest::newRow("day borders, palette")
            << "Day"
            << "Border"
            << "All presentations"
            << "palette"
            << "1 style will change" << QList<int> { 1 } << QList<int> { 2 };
        QTest::newRow("night line/fill, field")
            << "Night"
            << "Line/fill"
            << "All presentations"
            << "field"
            << "1 style will change" << QList<int> { 1 } << QList<int> { 1 };
        QTest::newRow("one presentation")
            << "Day and night"
            << "Line/fill and border"
            << "BROWSE"
            << "hex"
            << "1 style will change" << QList<int> { 3 } << QList<int> {};
        QTest::newRow("Escape") << "Day and night"
                                << "Line/fill and border"
                                << "All presentations"
                                << "escape"
                                << "3 styles will change" << QList<int> {} << QList<int> {};
    }

    void replaceThroughTheDialogIsOneStep()
    {
        QFETCH(QString, times);
        QFETCH(QString, parts);
        QFETCH(QString, presentation);
        QFETCH(QString, pick);
        QFETCH(QString, count);
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, road_slots);
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
            choose(*dialog, "scope_times", times);
            choose(*dialog, "scope_parts", parts);
            choose(*dialog, "scope_presentation", presentation);
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

        if (rows.isEmpty()) {
            QVERIFY(window->document().rows == before);
            QCOMPARE(window->history().count(), 0);
            return;
        }
        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->history().undoText(), QString("Replace #1E90FF"));
        const QString new_hex = picked.mid(1);
        for (int r = 0; r < int(before.size()); ++r) {
            const QStringList was = cells(before[std::size_t(r)]);
            const QStringList now = cells(window->document().rows[std::size_t(r)]);
            for (int slot = 0; slot < 4; ++slot) {
                const bool changed = rows.contains(r)
                    && (r == 1 ? road_slots.contains(slot) : was[slot] == "1E90FF");
                QCOMPARE(now[slot], changed ? new_hex : was[slot]);
            }
        }
        // The list and the filter follow the colour; the new one is the selected line.
        QTableView* list = colour_list(*panel);
        QCOMPARE(list->model()->index(list->currentIndex().row(), 0).data().toString(), picked);
        QCOMPARE(window->filter_text(), rows.size() == 3 ? picked : QString("#1E90FF"));

        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
        QVERIFY(!window->document().modified);
        QVERIFY(column(*list, 0).contains("#1E90FF"));
    }

    void mergeReplacesTheRarerNearDuplicate()
    {
        auto window = opened();
        ColoursPanel* panel = open_panel(*window);
        QVERIFY(panel);
        auto* pairs = child<QTreeWidget>(*panel, "near_list");
        // Worked out only once their page shows.
        QCOMPARE(pairs->topLevelItemCount(), 0);
        const std::string bytes = saved_bytes(*window);
        child<QTabWidget>(*panel, "colour_pages")->setCurrentIndex(1);
        QCOMPARE(pairs->topLevelItemCount(), 1);
        QCOMPARE(pairs->topLevelItem(0)->text(0), QString("#1E90FF 4 uses"));
        QCOMPARE(pairs->topLevelItem(0)->text(1), QString("#1E90FE 1 use"));

        QTest::mouseClick(child<QPushButton>(*panel, "merge"), Qt::LeftButton);
        QCOMPARE(window->document().rows[4].pri_day, std::string("1E90FF"));
        QCOMPARE(window->history().count(), 1);
        QCOMPARE(window->history().undoText(), QString("Merge #1E90FE into #1E90FF"));
        QCOMPARE(pairs->topLevelItemCount(), 0);
        QVERIFY(!child<QPushButton>(*panel, "merge")->isEnabled());
        QCOMPARE(child<QLabel>(*panel, "colour_count")->text(), QString("5 colours"));

        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
        QCOMPARE(pairs->topLevelItemCount(), 1);
    }

    void copyAndPasteColoursThroughThePopUp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("clipboard");
        // The road's four colours onto a line without a border: only the line takes them.
        QTest::newRow("line") << "" << 1 << 4 << QStringList { "F2A65A", "1E90FF", "", "" }
                              << "line/fill day #F2A65A\nline/fill night #1E90FF\n"
                                 "border day #1E90FF\nborder night #000000";
        QTest::newRow("polygon") << "" << 1 << 2 << QStringList { "F2A65A", "1E90FF", "", "" }
                                 << "line/fill day #F2A65A\nline/fill night #1E90FF\n"
                                    "border day #1E90FF\nborder night #000000";
        QTest::newRow("sport & fitness") << "ui_sport_fitness.kmtf" << 0 << 2
                                         << QStringList { "2040c0", "102040", "404040", "101010" }
                                         << "line/fill day #2040C0\nline/fill night #102040\n"
                                            "border day #404040\nborder night #101010";
    }

    void copyAndPasteColoursThroughThePopUp()
    {
        QFETCH(QString, file);
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(QStringList, expected);
        QFETCH(QString, clipboard);
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
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
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
        QVERIFY(pasted.style_text != target.style_text);
        child<QAction>(*window, "undo")->trigger();
        QCOMPARE(saved_bytes(*window), bytes);
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
    ColoursTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "colours_test.moc"
