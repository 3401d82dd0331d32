#include "model/document.h"
#include "model/reader.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/dialogs/presentation_dialog.h"
#include "ui/dialogs/sport_style_dialog.h"
#include "ui/dialogs/style_text_dialog.h"
#include "ui/dialogs/updates_dialog.h"
#include "ui/dialogs/web_pages.h"
#include "ui/main/main_window.h"
#include "ui/main/owner_drawn_button.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace tintwell;

namespace {

const std::string q = "\"";

StyleRow cz_row(const std::string& pres, const std::string& field, const std::string& border)
{
    StyleRow r;
    r.pres_name = pres;
    r.field_name = field;
    r.border = border;
    r.pres_code = get_pcode(pres, border);
    r.pri_day = "A0B0C0";
    r.pri_night = "-1";
    return r;
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
            doc.rows.push_back(cz_row(i < 6 ? "GUIDANCE" : "BROWSE", "F" + std::to_string(i),
                i % 2 ? "1" : ""));
        }
        PresentationDialog dialog(doc, 0);
        QCOMPARE(dialog.windowTitle(), QString("Add & bRemove Presentations"));
        QVERIFY(!dialog.Frame1->isHidden());
        QVERIFY(dialog.Frame2->isHidden());
        QCOMPARE(dialog.List2->count(), 2);

        QTest::mouseClick(dialog.Command2[0], Qt::LeftButton);
        choose(dialog.List1, "GUIDANCE");
        QTest::mouseClick(dialog.Command2[0], Qt::LeftButton);
        choose(dialog.List1, "TRAFFIC");
        QTest::mouseClick(dialog.Command2[0], Qt::LeftButton);
        choose(dialog.List1, "TRAFFIC");
        QTest::mouseClick(dialog.Command2[0], Qt::LeftButton);
        choose(dialog.List1, "PEDESTRIAN");
        QTest::mouseClick(dialog.Command2[0], Qt::LeftButton);
        QCOMPARE(prompter.messages,
            (std::vector<std::string> { "Please select a PRESENTATION", "Already exists", "Already added" }));
        QCOMPARE(dialog.List3->count(), 2);

        dialog.show();
        click(dialog.command1[1]);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(doc.row_count(), 36);
        QCOMPARE(doc.rows[13].pres_name, std::string("TRAFFIC"));
        QCOMPARE(doc.rows[13].pres_code, std::int16_t(21));
        QCOMPARE(doc.rows[24].pres_code, std::int16_t(50));
        QCOMPARE(doc.pres_count, 4);
        QVERIFY(doc.modified);
    }

    void presentations_apply_without_adding_stays_open()
    {
        doc.rows.push_back(cz_row("GUIDANCE", "A", ""));
        PresentationDialog dialog(doc, 0);
        dialog.show();
        click(dialog.command1[1]);
        QCOMPARE(prompter.messages, std::vector<std::string> { "Please click ADD" });
        QVERIFY(dialog.isVisible());
        QCOMPARE(doc.row_count(), 1);
        QTest::mouseClick(dialog.Command2[1], Qt::LeftButton);
        QCOMPARE(prompter.messages.back(), std::string("Please select"));
    }

    void presentations_remove_page()
    {
        for (const char* pres : { "GUIDANCE", "BROWSE", "GUIDANCE", "BROWSE" }) {
            doc.rows.push_back(cz_row(pres, pres, ""));
        }
        PresentationDialog dialog(doc, 1);
        QVERIFY(dialog.Frame1->isHidden());
        QVERIFY(!dialog.Frame2->isHidden());
        QCOMPARE(dialog.Frame2->pos(), dialog.Frame1->pos());
        QCOMPARE(dialog.List4->count(), 2);

        choose(dialog.List4, "BROWSE");
        QTest::mouseClick(dialog.Command2[3], Qt::LeftButton);
        QCOMPARE(dialog.List4->count(), 1);
        choose(dialog.List4, "GUIDANCE");
        QTest::mouseClick(dialog.Command2[3], Qt::LeftButton);
        QCOMPARE(prompter.messages,
            std::vector<std::string> { "Can not remove project.\r\n\r\nUse 'New' to start new project.\r\n" });
        QCOMPARE(dialog.List4->count(), 1);

        dialog.show();
        click(dialog.command1[1]);
        QCOMPARE(doc.row_count(), 2);
        QCOMPARE(doc.rows[0].pres_name, std::string("GUIDANCE"));
        QCOMPARE(doc.rows[1].pres_name, std::string("GUIDANCE"));
        QCOMPARE(doc.pres_names, std::vector<std::string> { "GUIDANCE" });
    }

    void presentations_cancel_changes_nothing()
    {
        doc.rows.push_back(cz_row("GUIDANCE", "A", ""));
        doc.rows.push_back(cz_row("BROWSE", "B", ""));
        const auto before = doc.rows;
        PresentationDialog dialog(doc, 1);
        choose(dialog.List4, "BROWSE");
        QTest::mouseClick(dialog.Command2[3], Qt::LeftButton);
        dialog.show();
        click(dialog.command1[0]);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(doc.rows == before);
        QVERIFY(!doc.modified);
    }

    void style_text_stores_valid_colours()
    {
        StyleRow row = cz_row("GUIDANCE", "MAP_WATER", "");
        row.style_text = "FIELD = " + q + "MAP_WATER" + q + " SCALE=" + q + "1" + q + " >\r\n <COLOR>\r\n<PRIMARY DAY = " + q + "#CECECE" + q + "/>\r\n </COLOR >\r\n</STYLE>\r\n";
        doc.rows.push_back(row);
        StyleTextDialog dialog(doc, 0);
        QCOMPARE(dialog.windowTitle(), QString("Edit Text"));
        QVERIFY(dialog.Text1->toPlainText().startsWith("<STYLE FIELD"));

        QString text = dialog.Text1->toPlainText();
        text.replace("<PRIMARY DAY = \"#CECECE\"/>", "<PRIMARY DAY = \"#00FF00\" NIGHT=\"#003300\"/>");
        dialog.Text1->setPlainText(text);
        dialog.show();
        click(dialog.command1[1]);
        QVERIFY(prompter.messages.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(doc.rows[0].pri_day, std::string("00FF00"));
        QCOMPARE(doc.rows[0].pri_night, std::string("003300"));
        QVERIFY(doc.rows[0].style_text.find("NIGHT=\"#003300\"/>\r\n") != std::string::npos);
        QVERIFY(doc.rows[0].style_text.rfind("FIELD", 0) == 0);
    }

    void style_text_errors_keep_the_dialog_open_data()
    {
        QTest::addColumn<QString>("primary");
        QTest::addColumn<QString>("error");
        QTest::newRow("five digits") << "<PRIMARY DAY=\"#00FF0\" NIGHT=\"#003300\"/>" << "00FF0 length <> 6";
        QTest::newRow("letter beyond F") << "<PRIMARY DAY=\"#00FG00\" NIGHT=\"#003300\"/>" << "Hex Error 00FG00";
        QTest::newRow("bad night") << "<PRIMARY DAY=\"#00FF00\" NIGHT=\"#0033G0\"/>" << "Hex Error 0033G0";
    }

    void style_text_errors_keep_the_dialog_open()
    {
        QFETCH(QString, primary);
        QFETCH(QString, error);
        StyleRow row = cz_row("GUIDANCE", "MAP_WATER", "");
        row.style_text = "FIELD=\"MAP_WATER\" >\n<COLOR>\n<PRIMARY DAY=\"#111111\" />\n</COLOR>";
        doc.rows.push_back(row);
        const StyleRow before = doc.rows[0];
        StyleTextDialog dialog(doc, 0);
        dialog.Text1->setPlainText("<STYLE FIELD=\"MAP_WATER\" >\n<COLOR>\n" + primary + "\n</COLOR>");
        dialog.show();
        click(dialog.command1[1]);
        QCOMPARE(prompter.messages,
            std::vector<std::string> { "Error:\r\n\r\n" + error.toStdString() });
        QVERIFY(dialog.isVisible());
        QVERIFY(doc.rows[0] == before);
    }

    void sport_style_opens_with_four_slots()
    {
        StyleRow row;
        row.field_name = "MPM_TRAIL_CLR";
        row.bg_width = "3";
        row.fg_width = "7";
        row.style_text = "field=\"MPM_TRAIL_CLR\" bg_width=\"3\" fg_width=\"7\"><color><primary "
                         "day=\"#ff8b5a2b\" night=\"#ff102030\"/><secondary day=\"#00404040\" "
                         "night=\"#00101010\"/></color></style>";
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "TRAIL");
        QCOMPARE(dialog.windowTitle(), QString("Tintwell TRAIL"));
        const char* transp[] = { "FF", "00", "FF", "00" };
        const char* colour[] = { "8B5A2B", "404040", "102030", "101010" };
        for (std::size_t k = 0; k < 4; ++k) {
            QCOMPARE(dialog.Text3[k]->text(), QString(transp[k]));
            QCOMPARE(dialog.Text2[k]->text(), QString(colour[k]));
        }
        QCOMPARE(dialog.Label2[0]->palette().color(QPalette::Window), QColor(0x8b, 0x5a, 0x2b));
        QCOMPARE(dialog.p5->size(), QSize(234, 237));
        QCOMPARE(dialog.Text1[0]->text(), QString("3"));

        dialog.show();
        // Keys: "g" is discarded, "a" goes in as "A".
        dialog.Text2[0]->clear();
        dialog.Text2[0]->setFocus();
        QTest::keyClicks(dialog.Text2[0], "g1a");
        QCOMPARE(dialog.Text2[0]->text(), QString("1A"));
        dialog.Text3[2]->clear();
        QTest::keyClicks(dialog.Text3[2], "zaf9");
        QCOMPARE(dialog.Text3[2]->text(), QString("AF"));
        QTest::keyClicks(dialog.Text2[1], "0");
        QTest::keyClick(dialog.Text2[1], Qt::Key_Return);
        QCOMPARE(prompter.messages, std::vector<std::string> { "Max length=6 characters" });
        QCOMPARE(dialog.Text2[1]->text(), QString("404040"));

        // Swatch 3, then the chart: only the secondary night colour changes.
        QTest::mouseClick(dialog.Label2[3], Qt::LeftButton);
        QCOMPARE(dialog.sel_swatch(), 3);
        QVERIFY(dialog.Shape2->geometry().contains(dialog.Label2[3]->geometry()));
        const QPoint spot(5, 118);
        QTest::mouseMove(dialog.p5, spot);
        QTest::mouseClick(dialog.p5, Qt::LeftButton, {}, spot);
        const QColor picked = dialog.p5->colour_at(spot);
        QCOMPARE(dialog.Text2[3]->text(), picked.name().mid(1).toUpper());
        QCOMPARE(dialog.Label2[3]->palette().color(QPalette::Window), picked);
        QCOMPARE(dialog.Text2[2]->text(), QString("102030"));
        QCOMPARE(dialog.working()[3], ("00" + picked.name().mid(1).toUpper()).toStdString());
    }

    void sport_style_apply_widths_data()
    {
        QTest::addColumn<QString>("fg");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("closes");
        QTest::newRow("250 is out of range") << "250" << "7" << false;
        QTest::newRow("-5 becomes -1") << "-5" << "-1" << true;
        QTest::newRow("200 is the top") << "200" << "200" << true;
    }

    void sport_style_apply_widths()
    {
        QFETCH(QString, fg);
        QFETCH(QString, stored);
        QFETCH(bool, closes);
        StyleRow row;
        row.bg_width = "3";
        row.fg_width = "7";
        row.style_text = "field=\"MPM_X\" bg_width=\"3\" fg_width=\"7\"><color><primary day=\"#ff000001\" "
                         "night=\"#ff000003\"/><secondary day=\"#00000002\" night=\"#00000004\"/></color></style>";
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        dialog.Text1[1]->setText(fg);
        click(dialog.command1[1]);
        QCOMPARE(doc.rows[0].fg_width, stored.toStdString());
        QCOMPARE(dialog.isVisible(), !closes);
        if (!closes) {
            QCOMPARE(prompter.messages, std::vector<std::string> { "Max Range currently set to 200" });
            QCOMPARE(dialog.focusWidget(), dialog.Text1[1]);
            return;
        }
        QCOMPARE(doc.rows[0].style_text,
            "field=\"MPM_X\" BG_WIDTH=\"3\" FG_WIDTH=\"" + stored.toStdString()
                + "\"><color><primary day=\"#FF000001\" night=\"#FF000003\"/><secondary "
                  "day=\"#00000002\" night=\"#00000004\"/></color></style>");
        QCOMPARE(doc.rows[0].sec_night, std::string("00000004"));
        QVERIFY(doc.modified);
    }

    void sport_style_bad_transparency_is_refused()
    {
        StyleRow row;
        row.style_text = "field=\"X\" bg_width=\"1\"><color><primary day=\"#ff000001\"/></color>";
        doc.kind = ThemeKind::SportFitness;
        doc.rows.push_back(row);
        SportStyleDialog dialog(doc, 0, "X");
        dialog.show();
        dialog.Text3[1]->setText("0g");
        click(dialog.command1[1]);
        QCOMPARE(prompter.messages, std::vector<std::string> { "Invalid HEX :0G" });
        QVERIFY(dialog.isVisible());
        QCOMPARE(doc.rows[0].style_text, row.style_text);
    }

    void updates_dialog()
    {
        PageCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        UpdatesDialog dialog;
        dialog.show();
        QCOMPARE(dialog.Label2->text(), QString("Current Version:6.1"));
        QCOMPARE(dialog.Label1->text(), QString("Click here to check for update"));
        QVERIFY(!dialog.Command1->isEnabled());
        QVERIFY(!chkupdate());
        QTest::mouseClick(dialog.Label1, Qt::LeftButton);
        QVERIFY(dialog.Label1->isHidden());
        QCOMPARE(dialog.Label3->text(), QString("No update available"));
        QVERIFY(!dialog.Command1->isEnabled());
        QTest::mouseClick(dialog.Command2, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(catcher.opened.isEmpty());

        AboutDialog about;
        about.show();
        QCOMPARE(about.Label1->text(), QString("Version 6.1"));
        QCOMPARE(about.Label10->text(), QString("Alpha "));
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
        row.style_text = "FIELD=\"MPM_TRAIL_CLR\"><COLOR>";
        d.rows = { row };
        d.cur_row = 0;

        window.mcod2[1]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("FIELD=\"MPM_TRAIL_CLR\"><COLOR>"));

        window.mcod2[3]->trigger();
        QCOMPARE(d.rows[0].style_text,
            std::string("FIELD=\"MPM_TRAIL_CLR\" BG_WIDTH=\"-1\" FG_WIDTH=\"50\"><COLOR>"));
        QCOMPARE(window.Text5->toPlainText(), QString::fromStdString(d.rows[0].style_text));
        QVERIFY(d.modified);
        window.mcod2[3]->trigger();
        window.mcod2[4]->trigger();
        window.mcod2[4]->trigger();
        QCOMPARE(prompter.messages,
            (std::vector<std::string> { "Already contains BG & FG WIDTH.", "Does not contain BG & FG WIDTH." }));
        QCOMPARE(d.rows[0].style_text, row.style_text);

        d.rows.clear();
        window.med[1]->trigger();
        QCOMPARE(prompter.messages.back(), std::string("No elements"));
        QVERIFY(window.editors().has(EditorKind::SportFitness));
        QVERIFY(window.editors().has(EditorKind::StyleText));
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

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    DialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "dialogs_test.moc"
