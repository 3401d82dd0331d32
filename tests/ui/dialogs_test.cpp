#include "app/version.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/text.h"
#include "qt_test_support.h"
#include "ui/common/colour_chart.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/preview_widget.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/dialogs/presentation_dialog.h"
#include "ui/dialogs/sport_style_dialog.h"
#include "ui/dialogs/style_text_dialog.h"
#include "ui/dialogs/updates_dialog.h"
#include "ui/dialogs/web_pages.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace tintwell;

namespace {

const std::string q = "\"";

StyleRow cz_row(const std::string& pres, const std::string& field, const std::string& border)
{
    StyleRow r;
    r.set_pres_name(pres);
    r.set_field_name(field);
    r.set_border(border);
    r.pres_code = get_pcode(pres, border);
    r.set_pri_day("A0B0C0");
    r.set_pri_night("-1");
    return r;
}

QString indexed(const char* array, std::size_t index)
{
    return QString("%1_%2").arg(array).arg(index);
}

void click(OwnerDrawnButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
}

void choose(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    list->setCurrentItem(found.first());
}

QString data_file(const char* name)
{
    return QString(TINTWELL_TEST_DATA) + "/" + name;
}

// Answers the next modal dialog: waits for it to show, then hands it to `answer`. Gives up after
// a few seconds, so a dialog that never opens fails the test instead of hanging it.
void answer_modal(const std::function<void(QWidget*)>& answer, bool& answered)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, tries, &answered] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && ++*tries < 300) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (dialog) {
            answered = true;
            answer(dialog);
        }
    });
    poll->start(10);
}

// Catches the pages the dialogs hand to the browser.
class PageCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

    RecordingPrompter prompter;
    Document doc;

private slots:
    void init()
    {
        prompter = RecordingPrompter();
        doc = Document();
        doc.attach(&prompter, nullptr);
    }

    void presentations_add_page()
    {
        for (int i = 0; i < 12; ++i) {
            const std::string number = std::to_string(i);
            doc.rows.push_back(
                cz_row(i < 6 ? "GUIDANCE" : "BROWSE", "F" + number, i % 2 ? "1" : ""));
        }
        PresentationDialog dialog(doc, PresentationMode::Add);
        QCOMPARE(dialog.windowTitle(), QString("Add & Remove Presentations"));
        QVERIFY(!child<QFrame>(&dialog, "Frame1")->isHidden());
        QVERIFY(child<QFrame>(&dialog, "Frame2")->isHidden());
        QCOMPARE(child<QListWidget>(&dialog, "List2")->count(), 2);

        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_0"), Qt::LeftButton);
        choose(child<QListWidget>(&dialog, "List1"), "GUIDANCE");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_0"), Qt::LeftButton);
        choose(child<QListWidget>(&dialog, "List1"), "TRAFFIC");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_0"), Qt::LeftButton);
        choose(child<QListWidget>(&dialog, "List1"), "TRAFFIC");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_0"), Qt::LeftButton);
        choose(child<QListWidget>(&dialog, "List1"), "PEDESTRIAN");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_0"), Qt::LeftButton);
        QCOMPARE(prompter.messages,
            (std::vector<std::string> {
                "Please select a PRESENTATION", "Already exists", "Already added" }));
        QCOMPARE(child<QListWidget>(&dialog, "List3")->count(), 2);

        dialog.show();
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(doc.row_count(), 36);
        QCOMPARE(doc.rows[13].pres_name(), std::string("TRAFFIC"));
        QCOMPARE(doc.rows[13].pres_code, std::int16_t(21));
        QCOMPARE(doc.rows[24].pres_code, std::int16_t(50));
        QCOMPARE(doc.pres_count, 4);
        QVERIFY(doc.modified);
    }

    void presentations_apply_without_adding_stays_open()
    {
        doc.rows.push_back(cz_row("GUIDANCE", "A", ""));
        PresentationDialog dialog(doc, PresentationMode::Add);
        dialog.show();
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(prompter.messages, std::vector<std::string> { "Please click ADD" });
        QVERIFY(dialog.isVisible());
        QCOMPARE(doc.row_count(), 1);
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_1"), Qt::LeftButton);
        QCOMPARE(prompter.messages.back(), std::string("Please select"));
    }

    void presentations_remove_page()
    {
        for (const char* pres : { "GUIDANCE", "BROWSE", "GUIDANCE", "BROWSE" }) {
            doc.rows.push_back(cz_row(pres, pres, ""));
        }
        PresentationDialog dialog(doc, PresentationMode::Remove);
        QVERIFY(child<QFrame>(&dialog, "Frame1")->isHidden());
        QVERIFY(!child<QFrame>(&dialog, "Frame2")->isHidden());
        QCOMPARE(child<QFrame>(&dialog, "Frame2")->pos(), child<QFrame>(&dialog, "Frame1")->pos());
        QCOMPARE(child<QListWidget>(&dialog, "List4")->count(), 2);

        choose(child<QListWidget>(&dialog, "List4"), "BROWSE");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_3"), Qt::LeftButton);
        QCOMPARE(child<QListWidget>(&dialog, "List4")->count(), 1);
        choose(child<QListWidget>(&dialog, "List4"), "GUIDANCE");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_3"), Qt::LeftButton);
        QCOMPARE(prompter.messages,
            std::vector<std::string> {
                "Can not remove project.\r\n\r\nUse 'New' to start new project.\r\n" });
        QCOMPARE(child<QListWidget>(&dialog, "List4")->count(), 1);

        dialog.show();
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(doc.row_count(), 2);
        QCOMPARE(doc.rows[0].pres_name(), std::string("GUIDANCE"));
        QCOMPARE(doc.rows[1].pres_name(), std::string("GUIDANCE"));
        QCOMPARE(doc.pres_names, std::vector<std::string> { "GUIDANCE" });
    }

    void presentations_cancel_changes_nothing()
    {
        doc.rows.push_back(cz_row("GUIDANCE", "A", ""));
        doc.rows.push_back(cz_row("BROWSE", "B", ""));
        const auto before = doc.rows;
        PresentationDialog dialog(doc, PresentationMode::Remove);
        choose(child<QListWidget>(&dialog, "List4"), "BROWSE");
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2_3"), Qt::LeftButton);
        dialog.show();
        click(child<OwnerDrawnButton>(&dialog, "command1_0"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(doc.rows == before);
        QVERIFY(!doc.modified);
    }

    void style_text_stores_valid_colours()
    {
        StyleRow row = cz_row("GUIDANCE", "MAP_WATER", "");
        row.set_style_text("FIELD = " + q + "MAP_WATER" + q + " SCALE=" + q + "1" + q
            + " >\r\n <COLOR>\r\n<PRIMARY DAY = " + q + "#CECECE" + q
            + "/>\r\n </COLOR >\r\n</STYLE>\r\n");
        doc.rows.push_back(row);
        StyleTextDialog dialog(doc, 0);
        QCOMPARE(dialog.windowTitle(), QString("Edit Text"));
        QVERIFY(child<QPlainTextEdit>(&dialog, "Text1")->toPlainText().startsWith("<STYLE FIELD"));

        QString text = child<QPlainTextEdit>(&dialog, "Text1")->toPlainText();
        text.replace(
            "<PRIMARY DAY = \"#CECECE\"/>", "<PRIMARY DAY = \"#00FF00\" NIGHT=\"#003300\"/>");
        child<QPlainTextEdit>(&dialog, "Text1")->setPlainText(text);
        dialog.show();
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QVERIFY(prompter.messages.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(doc.rows[0].pri_day(), std::string("00FF00"));
        QCOMPARE(doc.rows[0].pri_night(), std::string("003300"));
        QVERIFY(doc.rows[0].style_text().find("NIGHT=\"#003300\"/>\r\n") != std::string::npos);
        QVERIFY(doc.rows[0].style_text().rfind("FIELD", 0) == 0);
    }

    void style_text_errors_keep_the_dialog_open_data()
    {
        QTest::addColumn<QString>("primary");
        QTest::addColumn<QString>("error");
        QTest::newRow("five digits") << "<PRIMARY DAY=\"#00FF0\" NIGHT=\"#003300\"/>"
                                     << "00FF0 length <> 6";
        QTest::newRow("letter beyond F") << "<PRIMARY DAY=\"#00FG00\" NIGHT=\"#003300\"/>"
                                         << "Hex Error 00FG00";
        QTest::newRow("bad night") << "<PRIMARY DAY=\"#00FF00\" NIGHT=\"#0033G0\"/>"
                                   << "Hex Error 0033G0";
    }

    void style_text_errors_keep_the_dialog_open()
    {
        QFETCH(QString, primary);
        QFETCH(QString, error);
        StyleRow row = cz_row("GUIDANCE", "MAP_WATER", "");
        row.set_style_text("FIELD=\"MAP_WATER\" >\n<COLOR>\n<PRIMARY DAY=\"#111111\" />\n</COLOR>");
        doc.rows.push_back(row);
        const StyleRow before = doc.rows[0];
        StyleTextDialog dialog(doc, 0);
        child<QPlainTextEdit>(&dialog, "Text1")
            ->setPlainText("<STYLE FIELD=\"MAP_WATER\" >\n<COLOR>\n" + primary + "\n</COLOR>");
        dialog.show();
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(
            prompter.messages, std::vector<std::string> { "Error:\r\n\r\n" + error.toStdString() });
        QVERIFY(dialog.isVisible());
        QVERIFY(doc.rows[0] == before);
    }

    void sport_style_opens_with_four_slots()
    {
        StyleRow row;
        row.set_field_name("MPM_TRAIL_CLR");
        row.set_bg_width("3");
        row.set_fg_width("7");
        row.set_style_text("field=\"MPM_TRAIL_CLR\" bg_width=\"3\" fg_width=\"7\"><color><primary "
                           "day=\"#ff8b5a2b\" night=\"#ff102030\"/><secondary day=\"#00404040\" "
                           "night=\"#00101010\"/></color></style>");
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "TRAIL");
        QCOMPARE(dialog.windowTitle(), QString("Tintwell TRAIL"));
        const char* transp[] = { "FF", "00", "FF", "00" };
        const char* colour[] = { "8B5A2B", "404040", "102030", "101010" };
        for (std::size_t k = 0; k < 4; ++k) {
            QCOMPARE(child<QLineEdit>(&dialog, indexed("Text3", k))->text(), QString(transp[k]));
            QCOMPARE(child<QLineEdit>(&dialog, indexed("Text2", k))->text(), QString(colour[k]));
        }
        QCOMPARE(child<QLabel>(&dialog, "Label2_0")->palette().color(QPalette::Window),
            QColor(0x8b, 0x5a, 0x2b));
        QCOMPARE(child<ColourChart>(&dialog, "p5")->size(), QSize(234, 237));
        QCOMPARE(child<QLineEdit>(&dialog, "Text1_0")->text(), QString("3"));

        dialog.show();
        // Keys: "g" is discarded, "a" goes in as "A".
        child<QLineEdit>(&dialog, "Text2_0")->clear();
        child<QLineEdit>(&dialog, "Text2_0")->setFocus();
        QTest::keyClicks(child<QLineEdit>(&dialog, "Text2_0"), "g1a");
        QCOMPARE(child<QLineEdit>(&dialog, "Text2_0")->text(), QString("1A"));
        child<QLineEdit>(&dialog, "Text3_2")->clear();
        QTest::keyClicks(child<QLineEdit>(&dialog, "Text3_2"), "zaf9");
        QCOMPARE(child<QLineEdit>(&dialog, "Text3_2")->text(), QString("AF"));
        QTest::keyClicks(child<QLineEdit>(&dialog, "Text2_1"), "0");
        QTest::keyClick(child<QLineEdit>(&dialog, "Text2_1"), Qt::Key_Return);
        QCOMPARE(prompter.messages, std::vector<std::string> { "Max length=6 characters" });
        QCOMPARE(child<QLineEdit>(&dialog, "Text2_1")->text(), QString("404040"));

        // Swatch 3, then the chart: only the secondary night colour changes.
        QTest::mouseClick(child<QLabel>(&dialog, "Label2_3"), Qt::LeftButton);
        QCOMPARE(dialog.sel_swatch(), SportColourSlot::SecondaryNight);
        QVERIFY(child<QFrame>(&dialog, "Shape2")
                    ->geometry()
                    .contains(child<QLabel>(&dialog, "Label2_3")->geometry()));
        const QPoint spot(5, 118);
        QTest::mouseMove(child<ColourChart>(&dialog, "p5"), spot);
        QTest::mouseClick(child<ColourChart>(&dialog, "p5"), Qt::LeftButton, {}, spot);
        const QColor picked = child<ColourChart>(&dialog, "p5")->colour_at(spot);
        QCOMPARE(child<QLineEdit>(&dialog, "Text2_3")->text(), picked.name().mid(1).toUpper());
        QCOMPARE(child<QLabel>(&dialog, "Label2_3")->palette().color(QPalette::Window), picked);
        QCOMPARE(child<QLineEdit>(&dialog, "Text2_2")->text(), QString("102030"));
        QCOMPARE(dialog.working()[3], ("00" + picked.name().mid(1).toUpper()).toStdString());
    }

    void sport_style_apply_widths_data()
    {
        QTest::addColumn<QString>("fg");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("closes");
        QTest::newRow("250 is out of range") << "250"
                                             << "7" << false;
        QTest::newRow("-5 becomes -1") << "-5"
                                       << "-1" << true;
        QTest::newRow("200 is the top") << "200"
                                        << "200" << true;
    }

    void sport_style_apply_widths()
    {
        QFETCH(QString, fg);
        QFETCH(QString, stored);
        QFETCH(bool, closes);
        StyleRow row;
        row.set_bg_width("3");
        row.set_fg_width("7");
        row.set_style_text(
            "field=\"MPM_X\" bg_width=\"3\" fg_width=\"7\"><color><primary day=\"#ff000001\" "
            "night=\"#ff000003\"/><secondary day=\"#00000002\" "
            "night=\"#00000004\"/></color></style>");
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        child<QLineEdit>(&dialog, "Text1_1")->setText(fg);
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(doc.rows[0].fg_width(), stored.toStdString());
        QCOMPARE(dialog.isVisible(), !closes);
        if (!closes) {
            QCOMPARE(
                prompter.messages, std::vector<std::string> { "Max Range currently set to 200" });
            QCOMPARE(dialog.focusWidget(), child<QLineEdit>(&dialog, "Text1_1"));
            return;
        }
        QCOMPARE(doc.rows[0].style_text(),
            "field=\"MPM_X\" BG_WIDTH=\"3\" FG_WIDTH=\"" + stored.toStdString()
                + "\"><color><primary day=\"#FF000001\" night=\"#FF000003\"/><secondary "
                  "day=\"#00000002\" night=\"#00000004\"/></color></style>");
        QCOMPARE(doc.rows[0].sec_night(), std::string("00000004"));
        QVERIFY(doc.modified);
    }

    void sport_style_writes_whole_colours_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("transparency");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("written");
        QTest::newRow("short colour gets leading zeros") << 0 << "FF"
                                                         << "12AB"
                                                         << "#FF0012AB";
        QTest::newRow("empty colour is black") << 0 << "00"
                                               << ""
                                               << "#00000000";
        QTest::newRow("one-digit transparency") << 0 << "F"
                                                << "123456"
                                                << "#0F123456";
        QTest::newRow("no transparency stays six digits") << 0 << ""
                                                          << "123456"
                                                          << "#123456";
        QTest::newRow("empty slot stays empty") << 3 << ""
                                                << ""
                                                << "night=\"#\"/></color>";
    }

    void sport_style_writes_whole_colours()
    {
        QFETCH(int, slot);
        QFETCH(QString, transparency);
        QFETCH(QString, colour);
        QFETCH(QString, written);
        StyleRow row;
        row.set_style_text(
            "field=\"MPM_X\" bg_width=\"3\" fg_width=\"7\"><color><primary day=\"#ff000001\" "
            "night=\"#ff000003\"/><secondary day=\"#00000002\" "
            "night=\"#00000004\"/></color></style>");
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        const auto k = static_cast<std::size_t>(slot);
        child<QLineEdit>(&dialog, indexed("Text3", k))->setText(transparency);
        child<QLineEdit>(&dialog, indexed("Text2", k))->setText(colour);
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QVERIFY(prompter.messages.empty());
        QVERIFY(!dialog.isVisible());
        QVERIFY2(doc.rows[0].style_text().find(written.toStdString()) != std::string::npos,
            std::string(doc.rows[0].style_text()).c_str());
    }

    void sport_style_keystrokes_change_nothing_until_apply()
    {
        StyleRow row;
        row.set_style_text("field=\"MPM_X\" bg_width=\"3\"><color><primary day=\"#ff000001\" "
                           "night=\"#ff000003\"/></color></style>");
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        const std::string before(doc.rows[0].style_text());
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        QTest::keyClicks(child<QLineEdit>(&dialog, "Text2_0"), "12");
        QTest::keyClick(child<QLineEdit>(&dialog, "Text2_0"), Qt::Key_Return);
        // The theme's unsaved state is its history's to say; typing in a dialog is not a change.
        QVERIFY(!doc.modified);
        click(child<OwnerDrawnButton>(&dialog, "command1_0"));
        QVERIFY(!doc.modified);
        QCOMPARE(std::string(doc.rows[0].style_text()), before);
    }

    void sport_style_long_colour_is_cut_before_apply()
    {
        StyleRow row;
        row.set_style_text("field=\"MPM_X\" bg_width=\"3\"><color><primary day=\"#ff000001\" "
                           "night=\"#ff000003\"/></color></style>");
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        child<QLineEdit>(&dialog, "Text2_2")->setFocus();
        QTest::keyClicks(child<QLineEdit>(&dialog, "Text2_2"), "7");
        QCOMPARE(child<QLineEdit>(&dialog, "Text2_2")->text(), QString("0000037"));
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(prompter.messages, std::vector<std::string> { "Max length=6 characters" });
        QVERIFY(dialog.isVisible());
        QCOMPARE(child<QLineEdit>(&dialog, "Text2_2")->text(), QString("000003"));
        QCOMPARE(doc.rows[0].style_text(), row.style_text());
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QVERIFY(!dialog.isVisible());
        QVERIFY(doc.rows[0].style_text().find("night=\"#FF000003\"") != std::string::npos);
    }

    void sport_style_bad_transparency_is_refused_data()
    {
        QTest::addColumn<int>("slot");
        QTest::newRow("secondary day") << 1;
        // The night transparencies reach the file as well.
        QTest::newRow("secondary night") << 3;
    }

    void sport_style_bad_transparency_is_refused()
    {
        QFETCH(int, slot);
        StyleRow row;
        row.set_style_text(
            "field=\"X\" bg_width=\"1\"><color><primary day=\"#ff000001\"/></color>");
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        child<QLineEdit>(&dialog, indexed("Text3", static_cast<std::size_t>(slot)))->setText("0g");
        click(child<OwnerDrawnButton>(&dialog, "command1_1"));
        QCOMPARE(prompter.messages, std::vector<std::string> { "Invalid HEX :0G" });
        QVERIFY(dialog.isVisible());
        QCOMPARE(doc.rows[0].style_text(), row.style_text());
    }

    void updates_dialog()
    {
        PageCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        UpdatesDialog dialog;
        dialog.show();
        QCOMPARE(child<QLabel>(&dialog, "Label2")->text(),
            QString("Current Version:") + program_version);
        QCOMPARE(
            child<QLabel>(&dialog, "Label1")->text(), QString("Click here to check for update"));
        QVERIFY(!child<QPushButton>(&dialog, "Command1")->isEnabled());
        QVERIFY(!chkupdate());
        QTest::mouseClick(child<QLabel>(&dialog, "Label1"), Qt::LeftButton);
        QVERIFY(child<QLabel>(&dialog, "Label1")->isHidden());
        QCOMPARE(child<QLabel>(&dialog, "Label3")->text(), QString("No update available"));
        QVERIFY(!child<QPushButton>(&dialog, "Command1")->isEnabled());
        QTest::mouseClick(child<QPushButton>(&dialog, "Command2"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(catcher.opened.isEmpty());

        AboutDialog about;
        about.show();
        QCOMPARE(about.Label1->text(), QString("Version ") + program_version);
        QCOMPARE(about.Label10->text(), QString("Alpha "));
        // Read as one line: "Alpha Version" and the version.
        QVERIFY(about.Label1->x() - about.Label10->geometry().right() <= 2);
        QCOMPARE(about.Label1->y(), about.Label10->y());
        QTest::mouseClick(about.Label2, Qt::LeftButton);
        QCOMPARE(catcher.opened, QList<QUrl> { QUrl(maker_site) });
        QDesktopServices::unsetUrlHandler("https");
    }

    void main_window_code_menu()
    {
        QTemporaryDir folder;
        MainWindow window("", folder.filePath("tintwell.dat"));
        window.set_prompter(&prompter);
        connect_dialog_menus(window);
        Document& d = window.document();
        StyleRow row = cz_row("GUIDANCE", "MPM_TRAIL_CLR", "");
        row.set_style_text("FIELD=\"MPM_TRAIL_CLR\"><COLOR>");
        d.rows = { row };
        d.cur_row = 0;

        child<QAction>(&window, "mcod2_1")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("FIELD=\"MPM_TRAIL_CLR\"><COLOR>"));

        child<QAction>(&window, "mcod2_3")->trigger();
        QCOMPARE(d.rows[0].style_text(),
            std::string("FIELD=\"MPM_TRAIL_CLR\" BG_WIDTH=\"-1\" FG_WIDTH=\"50\"><COLOR>"));
        QCOMPARE(child<QPlainTextEdit>(&window, "Text5")->toPlainText(),
            QString::fromStdString("<STYLE " + std::string(d.rows[0].style_text())));
        QVERIFY(d.modified);
        child<QAction>(&window, "mcod2_3")->trigger();
        child<QAction>(&window, "mcod2_4")->trigger();
        child<QAction>(&window, "mcod2_4")->trigger();
        QCOMPARE(prompter.messages,
            (std::vector<std::string> {
                "Already contains BG & FG WIDTH.", "Does not contain BG & FG WIDTH." }));
        QCOMPARE(d.rows[0].style_text(), std::string("FIELD=\"MPM_TRAIL_CLR\" ><COLOR>"));

        d.rows.clear();
        child<QAction>(&window, "med_1")->trigger();
        QCOMPARE(prompter.messages.back(), std::string("No elements"));
        QVERIFY(window.editors().has(EditorKind::SportFitness));
        QVERIFY(window.editors().has(EditorKind::StyleText));
    }

    void edit_menu_adds_and_removes_presentations_through_the_dialog()
    {
        QTemporaryDir folder;
        MainWindow window("", folder.filePath("tintwell.dat"));
        window.set_prompter(&prompter);
        connect_dialog_menus(window);
        window.show();
        window.files().loadole(data_file("ui_car_zumo.kmtf"));
        Document& d = window.document();
        const int rows = d.row_count();
        QVERIFY(rows > 0);
        QCOMPARE(child<QListWidget>(&window, "List1")->count(), 2);

        bool answered = false;
        answer_modal(
            [](QWidget* shown) {
                auto* dialog = qobject_cast<PresentationDialog*>(shown);
                QVERIFY(dialog);
                QVERIFY(child<QFrame>(dialog, "Frame1")->isVisible());
                choose(child<QListWidget>(dialog, "List1"), "TRAFFIC");
                QTest::mouseClick(child<QPushButton>(dialog, "Command2_0"), Qt::LeftButton);
                click(child<OwnerDrawnButton>(dialog, "command1_1"));
            },
            answered);
        child<QAction>(&window, "med_0")->trigger();
        QVERIFY(answered);
        QVERIFY(prompter.messages.empty());
        QCOMPARE(d.row_count(), 2 * rows);
        QCOMPARE(d.rows[static_cast<std::size_t>(rows)].pres_name(), std::string("TRAFFIC"));
        QVERIFY(d.modified);
        QCOMPARE(child<QListWidget>(&window, "List1")->count(), 3);
        QCOMPARE(child<QListWidget>(&window, "List1")->item(2)->text(), QString("TRAFFIC"));
        QCOMPARE(window.preview()->preview().layout().rows.size(), std::size_t(2 * rows));

        answered = false;
        answer_modal(
            [](QWidget* shown) {
                auto* dialog = qobject_cast<PresentationDialog*>(shown);
                QVERIFY(dialog);
                QVERIFY(child<QFrame>(dialog, "Frame2")->isVisible());
                choose(child<QListWidget>(dialog, "List4"), "TRAFFIC");
                QTest::mouseClick(child<QPushButton>(dialog, "Command2_3"), Qt::LeftButton);
                click(child<OwnerDrawnButton>(dialog, "command1_1"));
            },
            answered);
        child<QAction>(&window, "med_1")->trigger();
        QVERIFY(answered);
        QCOMPARE(d.row_count(), rows);
        QCOMPARE(child<QListWidget>(&window, "List1")->count(), 2);
        QVERIFY(std::none_of(d.rows.begin(), d.rows.end(),
            [](const StyleRow& r) { return r.pres_name() == "TRAFFIC"; }));
    }

    void every_change_goes_to_the_edit_sink_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("description");
        QTest::newRow("Edit Text") << 0 << "Edit Text WATER";
        QTest::newRow("Sport & Fitness Apply") << 1 << "Apply TRAIL";
        QTest::newRow("Add Presentations") << 2 << "Add Presentation";
        QTest::newRow("Remove Presentations") << 3 << "Remove Presentation";
        QTest::newRow("Add BG/FG Width") << 4 << "Add BG/FG Width";
        QTest::newRow("Remove BG/FG Width") << 5 << "Remove BG/FG Width";
    }

    // The sink the main window sets on its launcher receives each change as one edit, and the
    // theme is left as it was until the sink applies it.
    void every_change_goes_to_the_edit_sink()
    {
        QFETCH(int, command);
        QFETCH(QString, description);
        QTemporaryDir folder;
        MainWindow window("", folder.filePath("tintwell.dat"));
        window.set_prompter(&prompter);
        connect_dialog_menus(window);
        std::vector<std::pair<DocumentEdit, std::string>> handed;
        window.editors().set_edit_sink([&](DocumentEdit edit, std::string what) {
            handed.emplace_back(std::move(edit), std::move(what));
        });
        Document& d = window.document();
        StyleRow water = cz_row("GUIDANCE", "MAP_WATER", "");
        water.set_elem_name("WATER");
        water.set_style_text("FIELD=\"MAP_WATER\" >\r\n<COLOR>\r\n<PRIMARY DAY=\"#111111\" />\r\n");
        StyleRow trail;
        trail.set_elem_name("TRAIL");
        trail.set_field_name("MPM_TRAIL_CLR");
        trail.set_style_text(
            "field=\"MPM_TRAIL_CLR\"><color><primary day=\"#ff8b5a2b\"/></color></style>");
        if (command == 1 || command == 5) {
            d.kind = ThemeKind::SportFitness;
            trail.set_style_text(text::replace(trail.style_text(), "\">", "\" bg_width=\"3\">"));
            trail.set_bg_width("3");
        }
        d.rows = command == 1 || command >= 4
            ? std::vector<StyleRow> { trail }
            : std::vector<StyleRow> { water, cz_row("BROWSE", "B", "") };
        d.cur_row = 0;
        const auto opened = d.rows;
        bool answered = false;
        answer_modal(
            [command](QWidget* shown) {
                if (command == 0) {
                    child<QPlainTextEdit>(shown, "Text1")
                        ->setPlainText(
                            "<STYLE FIELD=\"MAP_WATER\" >\n<COLOR>\n<PRIMARY DAY=\"#00FF00\" />\n");
                } else if (command == 1) {
                    child<QLineEdit>(shown, "Text1_1")->setText("7");
                } else if (command == 2) {
                    choose(child<QListWidget>(shown, "List1"), "TRAFFIC");
                    QTest::mouseClick(child<QPushButton>(shown, "Command2_0"), Qt::LeftButton);
                } else {
                    choose(child<QListWidget>(shown, "List4"), "BROWSE");
                    QTest::mouseClick(child<QPushButton>(shown, "Command2_3"), Qt::LeftButton);
                }
                click(child<OwnerDrawnButton>(shown, "command1_1"));
            },
            answered);
        switch (command) {
        case 0:
            window.editors().open(EditorKind::StyleText, &window, d, 0);
            break;
        case 1:
            window.editors().open(EditorKind::SportFitness, &window, d, 0);
            break;
        case 2:
        case 3:
            child<QAction>(&window, QString("med_%1").arg(command - 2))->trigger();
            break;
        default:
            child<QAction>(&window, QString("mcod2_%1").arg(command - 1))->trigger();
        }
        QCOMPARE(answered, command < 4);
        QVERIFY(prompter.messages.empty());
        QCOMPARE(handed.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(handed[0].second), description);
        QVERIFY(d.rows == opened);
        QVERIFY(!d.modified);
        handed[0].first.apply(d);
        QVERIFY(!(d.rows == opened));
        handed[0].first.revert(d);
        QVERIFY(d.rows == opened);
    }

    void hover_look_leaves_the_buttons_over_the_dialog()
    {
        StyleRow row = cz_row("GUIDANCE", "MAP_WATER", "");
        row.set_style_text("FIELD=\"MAP_WATER\">");
        doc.rows.push_back(row);
        PresentationDialog presentations(doc, PresentationMode::Add);
        StyleTextDialog text(doc, 0);
        SportStyleDialog sport(doc, 0, "X");
        for (QDialog* dialog : std::initializer_list<QDialog*> { &presentations, &text, &sport }) {
            dialog->show();
            for (OwnerDrawnButton* button : { child<OwnerDrawnButton>(dialog, "command1_0"),
                     child<OwnerDrawnButton>(dialog, "command1_1") }) {
                const QColor normal = button->back_colour();
                // The button hands its move on to the dialog too; it must keep its hover look.
                QMouseEvent over(QEvent::MouseMove, QPointF(5, 5),
                    button->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(button, &over);
                QVERIFY(button->back_colour() != normal);
                // Straight onto the dialog, with no leave event for the button in between.
                QMouseEvent away(QEvent::MouseMove, QPointF(2, 2),
                    dialog->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(dialog, &away);
                QCOMPARE(button->back_colour(), normal);
            }
            dialog->hide();
        }
    }

    void manual_opens_as_a_local_file()
    {
        PageCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        const QString manual = QCoreApplication::applicationDirPath() + "/manual.html";
        const bool made = !QFileInfo::exists(manual);
        if (made) {
            QFile file(manual);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        open_manual();
        QCOMPARE(catcher.opened.size(), 1);
        QVERIFY(catcher.opened.first().isLocalFile());
        QVERIFY(catcher.opened.first().toLocalFile().endsWith("manual.html"));
        if (made) {
            QFile::remove(manual);
        }
        QDesktopServices::unsetUrlHandler("file");
    }
};

TINTWELL_QTEST_MAIN(DialogsTest)

#include "dialogs_test.moc"
