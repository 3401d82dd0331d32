#include "colour/palette.h"
#include "model/add_element.h"
#include "model/document.h"
#include "model/text.h"
#include "qt_test_support.h"
#include "ui/common/colour_chart.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/editor/picking_widgets.h"
#include "ui/editor/style_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <memory>

using namespace tintwell;

namespace {

const std::string crlf = "\r\n";

std::string car_text(std::string_view field, const std::string& attrs, const std::string& primary,
    const std::string& secondary)
{
    std::string t = "FIELD=" + std::string(field) + attrs + " />" + crlf + "<COLOR>" + crlf
        + "<PRIMARY " + primary + " />" + crlf;
    if (!secondary.empty()) {
        t += "<SECONDARY " + secondary + " />" + crlf;
    }
    return t + "</COLOR>" + crlf + "</STYLE>";
}

StyleRow line_row(const std::string& pres = "GUIDANCE")
{
    StyleRow r;
    r.set_field_name("MPM_ROAD_INTERSTATE_CLR");
    r.set_elem_name("ROAD INTERSTATE");
    r.set_pri_day("FF0000");
    r.set_pri_night("800000");
    r.set_sec_day("0000FF");
    r.set_sec_night("000080");
    r.set_scale("1");
    r.set_border("0.5");
    r.set_pres_name(pres);
    r.set_style_text(car_text(r.field_name(), " scale=\"1\" border=\"0.5\"",
        " day=\"#FF0000\" night=\"#800000\"", " day=\"#0000FF\" night=\"#000080\""));
    return r;
}

StyleRow polygon_row()
{
    StyleRow r;
    r.set_field_name("MAP_WATER");
    r.set_elem_name("WATER");
    r.set_pri_day("A0C0FF");
    r.set_pri_night("202060");
    r.set_pres_name("GUIDANCE");
    r.set_style_text(car_text(r.field_name(), "", " day=\"#A0C0FF\" night=\"#202060\"", ""));
    return r;
}

// A Sport & Fitness area whose primary and secondary colours differ.
StyleRow sport_water_row()
{
    StyleRow r;
    r.set_field_name("MPM_WATER_CLR");
    r.set_pri_day("9EC5F0");
    r.set_pri_night("3F4E74");
    r.set_sec_day("404040");
    r.set_sec_night("101010");
    r.set_border("00");
    r.set_nwf_border("00");
    r.set_pres_name("Sport & Fitness");
    r.set_style_text("field=\"mpm_water_clr\" ><color><primary  day=\"#ff9ec5f0\" "
                     "night=\"#ff3f4e74\" /><secondary  day=\"#00404040\" "
                     "night=\"#00101010\" /></color></style>");
    return r;
}

QString indexed(const char* array, int index)
{
    return QString("%1_%2").arg(array).arg(index);
}

void type_enter(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// The pointer moving over a widget with no button held, delivered as the application delivers
// it (to the widget, then to its parents while nobody takes it). The offscreen platform does not
// pass the test library's pointer moves on to the widgets.
void hover(QWidget* w, QPoint at = QPoint(5, 5))
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 3));
}

} // namespace

class EditorTest : public QObject
{
    Q_OBJECT

    Document doc;
    RecordingPrompter prompter;

    std::unique_ptr<StyleEditor> open(
        std::vector<StyleRow> rows, int row = 0, ThemeKind kind = ThemeKind::CarZumo)
    {
        doc = Document();
        doc.kind = kind;
        doc.rows = std::move(rows);
        doc.cur_row = row;
        prompter.messages.clear();
        auto e = std::make_unique<StyleEditor>(doc, prompter);
        e->show();
        e->activateWindow();
        if (!QTest::qWaitForWindowActive(e.get())) {
            qWarning("the editor did not become active");
        }
        return e;
    }

private slots:
    void controls_at_design_size()
    {
        auto e = open({ line_row() });
        QCOMPARE(e->objectName(), QString("editor"));
        QCOMPARE(child<QWidget>(e.get(), "Picture1")->size(), QSize(630, 489));
        QCOMPARE(child<QWidget>(e.get(), "Picture5")->size(), QSize(168, 13));
        QCOMPARE(child<QLabel>(e.get(), "Label2_1")->size(), QSize(38, 23));
        QCOMPARE(child<QLabel>(e.get(), "Labc_0")->size(), QSize(13, 13));
        QCOMPARE(child<QLabel>(e.get(), "Labc_17")->pos() - child<QLabel>(e.get(), "Labc_0")->pos(),
            QPoint(13, 13));
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_0")->toolTip(),
            QString("Press Enter to Change Color"));
        QCOMPARE(child<QLabel>(e.get(), "Labc_7")->toolTip(), QString("#FF0000"));
        QVERIFY(child<QLabel>(e.get(), "Labc_253")->toolTip().isEmpty());
        QVERIFY(!child<QCheckBox>(e.get(), "Check1")->isChecked());
        QVERIFY(child<QCheckBox>(e.get(), "Check2")->isChecked());
        QVERIFY(child<QCheckBox>(e.get(), "Check3")->isChecked());
        QVERIFY(child<QCheckBox>(e.get(), "applyall")->isChecked());
        // Day is the current mode: greyed; Night available.
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_0")->caption_colour(),
            QColor(180, 180, 180));
        QVERIFY(child<OwnerDrawnButton>(e.get(), "commandop_1")->caption_colour()
            != QColor(180, 180, 180));
        QVERIFY(!doc.modified);
        QCOMPARE(e->windowTitle(), QString("Tintwell ROAD INTERSTATE"));
        QCOMPARE(child<QWidget>(e.get(), "Picture5")->cursor().shape(), Qt::BitmapCursor);
        QVERIFY(!child<QLineEdit>(e.get(), "Text2_2")->isVisibleTo(e.get()));
    }

    void check_box_texts_are_not_clipped()
    {
        auto e = open({ line_row() });
        for (const char* name : { "Check1", "Check2", "Check3", "applyall" }) {
            const auto* box = child<QCheckBox>(e.get(), name);
            QVERIFY2(box->sizeHint().width() <= box->width(), name);
        }
    }

    void button_hover_looks()
    {
        const QColor hovered(250, 250, 250);
        const QColor normal(230, 230, 230);
        const QColor grey_text(180, 180, 180);
        auto e = open({ line_row() });
        hover(child<OwnerDrawnButton>(e.get(), "command1_1"), QPoint(5, 5));
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "command1_1")->back_colour(), hovered);
        QVERIFY(btn_hover());
        hover(e.get(), QPoint(2, 2));
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "command1_1")->back_colour(), normal);
        QVERIFY(!btn_hover());

        // Night is available by day, Day is the current mode and keeps its greyed look.
        hover(child<OwnerDrawnButton>(e.get(), "commandop_1"), QPoint(5, 5));
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_1")->back_colour(), hovered);
        hover(child<OwnerDrawnButton>(e.get(), "commandop_0"), QPoint(5, 5));
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_0")->caption_colour(), grey_text);
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_1")->back_colour(), normal);
        hover(e.get(), QPoint(2, 2));
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_0")->caption_colour(), grey_text);

        // With night colours off, Night stays greyed under the pointer and does not respond.
        click(child<QCheckBox>(e.get(), "Check2"));
        hover(child<OwnerDrawnButton>(e.get(), "commandop_1"), QPoint(5, 5));
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_1")->caption_colour(), grey_text);
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        QCOMPARE(e->state().mode, DayNight::Day);
    }

    void swatch_tool_tip_on_hover()
    {
        auto e = open({ line_row() });
        click(child<QLabel>(e.get(), "Labc_2"));
        hover(child<QLabel>(e.get(), "Label2_1"), QPoint(5, 5));
        QCOMPARE(child<QLabel>(e.get(), "Label2_1")->toolTip(),
            QString::fromStdString("#" + value_to_hex(col256()[2].colour, ThemeKind::CarZumo)));
        hover(child<QLabel>(e.get(), "Label2_0"), QPoint(5, 5));
        QCOMPARE(child<QLabel>(e.get(), "Label2_0")->toolTip(), QString("#0000FF"));
    }

    void ladder_drag_with_the_mouse()
    {
        auto e = open({ line_row() });
        const std::string opened = e->state().colours.pri_day;
        const QImage& ladder = e->findChild<ShadeLadder*>()->image();
        const int ladder_x = child<QWidget>(e.get(), "Picture5")->x();
        // Drag the pointer to the ladder's left end: the sample follows, the style does not yet.
        QTest::mousePress(child<QFrame>(e.get(), "pointer1"), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(child<QFrame>(e.get(), "pointer1"),
            QPoint(ladder_x - child<QFrame>(e.get(), "pointer1")->x() - 40, 2));
        QCOMPARE(child<QFrame>(e.get(), "pointer1")->x(), ladder_x);
        const QColor dark = ladder.pixelColor(4, 6);
        const ColourValue dark_value = dark.red() + 256 * dark.green() + 65536 * dark.blue();
        QCOMPARE(e->sample().scale_.colour, dark_value);
        QCOMPARE(e->state().colours.pri_day, opened);
        QTest::mouseRelease(child<QFrame>(e.get(), "pointer1"), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(e->state().colours.pri_day, value_to_hex(dark_value, ThemeKind::CarZumo));
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_1")->text(),
            QString::fromStdString(e->state().colours.pri_day));
        QVERIFY(child<QPushButton>(e.get(), "undo")->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // A release on the ladder itself takes the colour under the pointer.
        click(child<QLabel>(e.get(), "Label2_0"));
        const QPoint at(ladder.width() - 3, 5);
        const QColor light = ladder.pixelColor(at);
        QTest::mouseClick(child<QWidget>(e.get(), "Picture5"), Qt::LeftButton, {}, at);
        QCOMPARE(e->state().colours.sec_day,
            value_to_hex(
                light.red() + 256 * light.green() + 65536 * light.blue(), ThemeKind::CarZumo));
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(e->state().colours.sec_day, std::string("0000FF"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void undo_comes_back_in_the_mode_of_the_step()
    {
        auto e = open({ line_row() });
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        click(child<QLabel>(e.get(), "Labc_239"));
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_0"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(e.get(), "label6")->text(), QString("DAY"));
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(child<QLabel>(e.get(), "label6")->text(), QString("NIGHT"));
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_1")->text(), QString("FFFFFF"));
        // The next pick changes the colour the window shows: the night line.
        click(child<QLabel>(e.get(), "Labc_0"));
        QCOMPARE(e->state().colours.pri_night, std::string("000000"));
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
    }

    void area_fill_is_kept_and_typed_fill_is_not_lost()
    {
        auto e = open({ polygon_row() });
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        click(child<QLabel>(e.get(), "Labc_239"));
        QCOMPARE(e->state().colours.pri_night, std::string("FFFFFF"));
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_0"), Qt::LeftButton);
        QCOMPARE(e->state().colours.pri_night, std::string("FFFFFF"));
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_3")->text(), QString("A0C0FF"));

        child<QLineEdit>(e.get(), "Text2_3")->setFocus();
        child<QLineEdit>(e.get(), "Text2_3")->selectAll();
        QTest::keyClicks(child<QLineEdit>(e.get(), "Text2_3"), "123");
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QCOMPARE(prompter.messages, std::vector<std::string> { "Press Enter to apply color" });
        QVERIFY(!e->applied());
        QTest::keyClick(child<QLineEdit>(e.get(), "Text2_3"), Qt::Key_Return);
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QVERIFY(e->applied());
        QCOMPARE(doc.rows[0].pri_day(), std::string("000123"));
        QCOMPARE(doc.rows[0].pri_night(), std::string("FFFFFF"));
    }

    void opened_from_the_main_window_centred()
    {
        doc = Document();
        doc.rows = { line_row(), line_row("BROWSE") };
        EditorLauncher launcher;
        register_style_editor(launcher);
        QRect placed;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<StyleEditor*>(QApplication::activeModalWidget());
            if (editor == nullptr) {
                return;
            }
            placed = editor->frameGeometry();
            title = editor->windowTitle();
            QTest::mouseClick(child<OwnerDrawnButton>(editor, "command1_0"), Qt::LeftButton);
        });
        QVERIFY(!launcher.open(EditorKind::Style, nullptr, doc, 1));
        QCOMPARE(doc.cur_row, 1);
        QCOMPARE(title, QString("Tintwell ROAD INTERSTATE"));
        const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
        // Within the few pixels of a window frame.
        QVERIFY((placed.center() - centre).manhattanLength() <= 8);
    }

    void opening_cases()
    {
        // A "#-1" primary night loses every night attribute and turns night editing off.
        StyleRow no_night = line_row();
        no_night.set_pri_night("-1");
        no_night.set_style_text(car_text(no_night.field_name(), " scale=\"1\" border=\"0.5\"",
            " day=\"#FF0000\" night=\"#-1\"", " day=\"#0000FF\" night=\"#000080\""));
        auto e = open({ no_night });
        QVERIFY2(doc.rows[0] == no_night, "the editor drops the night attributes in its copy");
        QVERIFY(!child<QCheckBox>(e.get(), "Check2")->isChecked());
        QCOMPARE(child<OwnerDrawnButton>(e.get(), "commandop_1")->caption_colour(),
            QColor(180, 180, 180));

        e = open({ polygon_row() });
        QVERIFY(child<QFrame>(e.get(), "Frame2")->isVisible());
        QVERIFY(!child<QFrame>(e.get(), "Frame1")->isVisible());
        QCOMPARE(e->state().part, EditedPart::Fill);
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_3")->text(), QString("A0C0FF"));
        QCOMPARE(e->sample().scale_.colour, 0xFFC0A0);

        // An area saved with a scale, as the writer saves every area, still opens as an area; a
        // line with the same text does not.
        StyleRow scaled_area = polygon_row();
        scaled_area.set_scale("1");
        scaled_area.set_style_text(car_text(
            scaled_area.field_name(), " scale=\"1\"", " day=\"#A0C0FF\" night=\"#202060\"", ""));
        e = open({ scaled_area });
        QVERIFY(e->state().is_pgon);
        QVERIFY(child<QFrame>(e.get(), "Frame2")->isVisible());
        StyleRow scaled_line = scaled_area;
        scaled_line.set_elem_name("ROAD DIM");
        e = open({ scaled_line });
        QVERIFY(!e->state().is_pgon);

        StyleRow zero_border = line_row();
        zero_border.set_border("0");
        zero_border.set_scale("1.25");
        e = open({ zero_border });
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_0")->text(), QString("1.25"));
        QCOMPARE(child<QFrame>(e.get(), "scrol_1")->x() * 15, 945);
        QCOMPARE(e->state().part, EditedPart::Line);
        QVERIFY(child<QLabel>(e.get(), "Label5_0")->isVisible());
        QVERIFY(!child<QLabel>(e.get(), "Label5_1")->isVisible());
    }

    void hex_entry()
    {
        auto e = open({ line_row() });
        QLineEdit* box = child<QLineEdit>(e.get(), "Text2_1");
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, "ga");
        QCOMPARE(box->text(), QString("A"));
        QVERIFY(e->state().pending[1]);
        QVERIFY2(!doc.modified, "typing changes the editor's working colours, not the theme");
        type_enter(box, "FF00001");
        QCOMPARE(prompter.messages, std::vector<std::string> { "Max length=6 characters" });
        QCOMPARE(box->text(), QString("FF0000"));
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        QVERIFY(!e->state().pending[1]);

        type_enter(box, "00ff");
        QCOMPARE(e->state().colours.pri_day, std::string("0000FF"));
        QCOMPARE(e->sample().scale_.colour, 0xFF0000);

        // Pasted text that is not hexadecimal never reaches the style.
        box->clear();
        QApplication::clipboard()->setText("12ZZ34");
        box->paste();
        QCOMPARE(box->text(), QString());
        QApplication::clipboard()->setText("00ff00");
        box->paste();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(e->state().colours.pri_day, std::string("00FF00"));

        // A typed colour that is not a palette colour drops the palette frame.
        click(child<QLabel>(e.get(), "Labc_5"));
        QVERIFY(child<QFrame>(e.get(), "Shape12")->isVisible());
        type_enter(box, "123456");
        QVERIFY(!child<QFrame>(e.get(), "Shape12")->isVisible());
    }

    void pending_entry_blocks_switch_and_apply()
    {
        auto e = open({ line_row() });
        child<QLineEdit>(e.get(), "Text2_0")->setFocus();
        QTest::keyClicks(child<QLineEdit>(e.get(), "Text2_0"), "1");
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        QCOMPARE(e->state().mode, DayNight::Day);
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QCOMPARE(prompter.messages,
            (std::vector<std::string> {
                "Press Enter to apply color", "Press Enter to apply color" }));
        QVERIFY(!e->applied());
    }

    void palette_keeps_frame_for_every_red_level()
    {
        auto e = open({ line_row() });
        for (const int block : { 1, 2, 3, 4, 5, 6, 7, 100, 245 }) {
            click(child<QLabel>(e.get(), indexed("Labc", block)));
            QVERIFY2(
                child<QFrame>(e.get(), "Shape12")->isVisible(), qPrintable(QString::number(block)));
            QCOMPARE(e->state().colours.pri_day,
                value_to_hex(col256()[static_cast<std::size_t>(block)].colour, ThemeKind::CarZumo));
        }
        // The border part takes the pick after a press on its swatch.
        click(child<QLabel>(e.get(), "Label2_0"));
        QCOMPARE(e->state().part, EditedPart::Border);
        QVERIFY(child<QLabel>(e.get(), "Label5_1")->isVisible());
        click(child<QLabel>(e.get(), "Labc_239"));
        QCOMPARE(e->state().colours.sec_day, std::string("FFFFFF"));
        QCOMPARE(e->sample().bord[0].colour, 0xFFFFFF);
    }

    void night_switch_defaults()
    {
        StyleRow r = line_row();
        r.set_pri_night("-1");
        r.set_sec_night("");
        r.set_style_text(car_text(
            r.field_name(), " scale=\"1\" border=\"0.5\"", " day=\"#FF0000\"", " day=\"#0000FF\""));
        auto e = open({ r });
        QVERIFY(!child<QCheckBox>(e.get(), "Check2")->isChecked());
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        QCOMPARE(e->state().mode, DayNight::Day); // greyed: does nothing
        click(child<QCheckBox>(e.get(), "Check2"));
        QVERIFY(child<QCheckBox>(e.get(), "Check2")->isChecked());
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        QCOMPARE(e->state().mode, DayNight::Night);
        QCOMPARE(e->state().colours.sec_night, std::string("000000"));
        QCOMPARE(e->state().colours.pri_night, std::string("FFFF00"));
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_1")->text(), QString("FFFF00"));
        QCOMPARE(child<QLabel>(e.get(), "label6")->text(), QString("NIGHT"));
        QVERIFY(!child<QCheckBox>(e.get(), "Check2")->isEnabled());
        QCOMPARE(e->sample().scale_.colour, 0x00FFFF);
    }

    void border_tick_gives_defaults()
    {
        StyleRow r = line_row();
        r.set_border("");
        r.set_sec_day("");
        r.set_sec_night("");
        r.set_style_text(
            car_text(r.field_name(), " scale=\"1\"", " day=\"#FF0000\" night=\"#800000\"", ""));
        auto e = open({ r });
        QVERIFY(!child<QCheckBox>(e.get(), "Check3")->isChecked());
        QVERIFY(!child<QLineEdit>(e.get(), "Text1_0")->isEnabled());
        click(child<QCheckBox>(e.get(), "Check3"));
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_0")->text(), QString(".60"));
        QCOMPARE(e->state().colours.sec_day, std::string("C0C0C0"));
        QVERIFY(child<QLineEdit>(e.get(), "Text1_0")->isEnabled());
        QVERIFY(e->sample().bord[0].visible);
    }

    void border_and_scale_entry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("low end") << "0.01" << true;
        QTest::newRow("small") << "0.05" << true;
        QTest::newRow("high end") << "2.5" << true;
        QTest::newRow("above") << "2.51" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("not a number") << "x" << false;
    }
    void border_and_scale_entry()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        auto e = open({ line_row() });
        const int before = child<QFrame>(e.get(), "scrol_1")->x();
        type_enter(child<QLineEdit>(e.get(), "Text1_1"), typed);
        QCOMPARE(prompter.messages.empty(), accepted);
        if (!accepted) {
            QCOMPARE(prompter.messages.front(), std::string("Values: 0.01 - 2.5"));
            QCOMPARE(child<QFrame>(e.get(), "scrol_1")->x(), before);
        } else {
            QCOMPARE(e->sample().scale_.rect.height,
                static_cast<int>(std::lround(typed.toDouble() * 800)));
        }
    }

    void slider_ends()
    {
        auto e = open({ line_row() });
        e->scrol_drag(ValueBox::Scale, -500);
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_1")->text(), QString("0.01"));
        QCOMPARE(child<QFrame>(e.get(), "scrol_1")->x(), 0);
        e->scrol_drag(ValueBox::Scale, 99999);
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_1")->text(), QString("2.5"));
        e->scrol_drag(ValueBox::Scale, 945);
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_1")->text(), QString("1.25"));
    }

    void undo_and_redo()
    {
        auto e = open({ line_row() });
        QVERIFY(!child<QPushButton>(e.get(), "undo")->isEnabled());
        click(child<QLabel>(e.get(), "Labc_7"));
        click(child<QLabel>(e.get(), "Labc_239"));
        QCOMPARE(e->state().colours.pri_day, std::string("FFFFFF"));
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        QCOMPARE(e->sample().scale_.colour, 0x0000FF);
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        QCOMPARE(e->state().colours.sec_day, std::string("0000FF"));
        QVERIFY(!child<QPushButton>(e.get(), "undo")->isEnabled());
        e->und(UndoDirection::Undo); // nothing left to undo
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        QTest::keyClick(e.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        QTest::keyClick(e.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e->state().colours.pri_day, std::string("FFFFFF"));
        QTest::keyClick(e.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        // A new pick drops the undone step.
        click(child<QLabel>(e.get(), "Labc_0"));
        QVERIFY(!child<QPushButton>(e.get(), "redo")->isEnabled());
        e->und(UndoDirection::Redo);
        QCOMPARE(e->state().colours.pri_day, std::string("000000"));

        // Border and night records come back with their part and mode.
        e = open({ line_row() });
        click(child<QLabel>(e.get(), "Label2_0"));
        click(child<QLabel>(e.get(), "Labc_239"));
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "commandop_1"), Qt::LeftButton);
        click(child<QLabel>(e.get(), "Labc_7"));
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(e->state().colours.sec_night, std::string("000080"));
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(e->state().part, EditedPart::Border);
        QCOMPARE(e->state().colours.sec_day, std::string("FFFFFF"));
    }

    void apply_writes_the_row_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("as opened") << 0;
        QTest::newRow("night off") << 1;
        QTest::newRow("border off") << 2;
    }
    void apply_writes_the_row()
    {
        QFETCH(int, change);
        auto e = open({ line_row() });
        click(child<QLabel>(e.get(), "Labc_7"));
        if (change == 1) {
            click(child<QCheckBox>(e.get(), "Check2"));
        } else if (change == 2) {
            click(child<QCheckBox>(e.get(), "Check3"));
        }
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QVERIFY(e->applied());
        QVERIFY(doc.modified);
        const StyleRow& r = doc.rows[0];
        const std::string_view t = r.style_text();
        QCOMPARE(r.pri_day(), std::string("FF0000"));
        QVERIFY(text::contains(t, "<PRIMARY  day=\"#FF0000\""));
        QVERIFY(text::contains(t, "FIELD=MPM_ROAD_INTERSTATE_CLR scale=\"1\""));
        QVERIFY(t.ends_with("</COLOR>\r\n</STYLE>"));
        QCOMPARE(text::contains(t, "night="), change != 1);
        QCOMPARE(text::contains(t, "<SECONDARY"), change != 2);
        if (change == 1) {
            QCOMPARE(r.pri_night(), std::string("-1"));
        }
        if (change == 2) {
            QVERIFY(r.border().empty());
            QVERIFY(r.sec_day().empty());
            QVERIFY(!text::contains(t, "border="));
        }
    }

    void added_line_is_edited_as_a_line_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("depth contour") << "DPTH_CNTR_MJR";
        QTest::newRow("rail") << "ROAD_RAILRD";
        QTest::newRow("road") << "ROAD_INTERSTATE";
    }
    // A line added to a theme has no scale in its text: it opens with the line controls, at
    // the default scale, and is applied without a scale being written for it.
    void added_line_is_edited_as_a_line()
    {
        QFETCH(QString, entry);
        Document added;
        added.kind = ThemeKind::CarZumo;
        add_element(added, { entry.toStdString() + "\r\n", "", "1BROWSE" });
        QCOMPARE(added.row_count(), 1);
        auto e = open(added.rows);
        QVERIFY(!e->state().is_pgon);
        QVERIFY(child<QFrame>(e.get(), "Frame1")->isVisible());
        QVERIFY(!child<QFrame>(e.get(), "Frame2")->isVisible());
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_1")->text(), QString());
        QVERIFY(child<QWidget>(e.get(), "pc4_1")->isVisible());
        QCOMPARE(e->sample().scale_.rect.height, 800);
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_1")->text(), QString("CECECE"));

        click(child<QLabel>(e.get(), "Labc_7"));
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QVERIFY(e->applied());
        QCOMPARE(prompter.messages, std::vector<std::string>());
        QVERIFY(!text::contains(text::lower(doc.rows[0].style_text()), "scale"));
        QCOMPARE(doc.rows[0].scale(), std::string());
    }

    void apply_refuses_out_of_range()
    {
        auto e = open({ line_row() });
        child<QLineEdit>(e.get(), "Text1_1")->setText("3");
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QCOMPARE(
            prompter.messages, std::vector<std::string> { "(3) Acceptable values: 0.01 - 2.5" });
        QVERIFY(!e->applied());
        QCOMPARE(doc.rows[0].scale(), std::string("1"));
    }

    void apply_to_all_presentations()
    {
        StyleRow other = line_row("BROWSE");
        other.set_field_name("MPM_ROAD_MAJOR_CLR");
        auto e = open({ line_row("GUIDANCE"), other, line_row("BROWSE") });
        click(child<QLabel>(e.get(), "Labc_239"));
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QCOMPARE(doc.rows[2].pri_day(), std::string("FFFFFF"));
        QCOMPARE(doc.rows[2].style_text(), doc.rows[0].style_text());
        QCOMPARE(doc.rows[1].pri_day(), std::string("FF0000"));

        e = open({ line_row("GUIDANCE"), line_row("BROWSE") });
        click(child<QCheckBox>(e.get(), "applyall"));
        click(child<QLabel>(e.get(), "Labc_239"));
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QCOMPARE(doc.rows[1].pri_day(), std::string("FF0000"));
    }

    void cancel_restores_modified()
    {
        auto e = open({ line_row() });
        click(child<QLabel>(e.get(), "Labc_239"));
        QVERIFY2(!doc.modified, "a pick changes the working copy only");
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_0"), Qt::LeftButton);
        QVERIFY(!doc.modified);
        QCOMPARE(doc.rows[0].pri_day(), std::string("FF0000"));
        QVERIFY(!e->isVisible());
    }

    void sport_fitness_empty_primary_day()
    {
        StyleRow r;
        r.set_field_name("trail");
        r.set_pri_day("");
        r.set_pri_night("-1");
        r.set_sec_day("");
        r.set_sec_night("");
        r.set_scale("");
        r.set_border("ff");
        r.set_pres_name("Sport & Fitness");
        r.set_style_text("field=\"trail\" ><color><primary  day=\"#ff\" /></color></style>");
        auto e = open({ r }, 0, ThemeKind::SportFitness);
        QVERIFY(!child<QCheckBox>(e.get(), "applyall")->isVisibleTo(e.get()));
        QCOMPARE(child<QLineEdit>(e.get(), "Text1_1")->text(), QString("1"));
        QCOMPARE(doc.rows[0].scale(), std::string());
        QVERIFY(!child<QFrame>(e.get(), "pc4_0")->isVisibleTo(e.get())
            && !child<QFrame>(e.get(), "pc4_1")->isVisibleTo(e.get()));
        e->state().colours.pri_day.clear();
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_1"), Qt::LeftButton);
        QCOMPARE(doc.rows[0].pri_day(), std::string("CECECE"));
        QVERIFY(text::contains(doc.rows[0].style_text(), "day=\"#ffcecece\""));
        QVERIFY(!text::contains(doc.rows[0].style_text(), "\r\n"));
    }

    void sport_fitness_area_picks_one_part_at_a_time()
    {
        auto e = open({ sport_water_row() }, 0, ThemeKind::SportFitness);
        QVERIFY(e->state().is_pgon);
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_3")->text(), QString("9EC5F0"));
        QTest::mouseClick(child<QLabel>(e.get(), "Label9"), Qt::LeftButton);
        QCOMPARE(e->state().area_colour, AreaColour::Secondary);
        click(child<QLabel>(e.get(), "Labc_7"));
        QCOMPARE(e->state().colours.sec_day, std::string("FF0000"));
        QCOMPARE(e->state().colours.pri_day, std::string("9EC5F0"));
        QCOMPARE(child<QLineEdit>(e.get(), "Text2_3")->text(), QString("FF0000"));
        type_enter(child<QLineEdit>(e.get(), "Text2_3"), "00FF00");
        QCOMPARE(e->state().colours.sec_day, std::string("00FF00"));
        QCOMPARE(e->state().colours.pri_day, std::string("9EC5F0"));
        const QPoint at(child<QWidget>(e.get(), "Picture5")->width() - 2, 5);
        const QColor light = e->findChild<ShadeLadder*>()->image().pixelColor(at);
        QTest::mouseClick(child<QWidget>(e.get(), "Picture5"), Qt::LeftButton, {}, at);
        QCOMPARE(e->state().colours.sec_day, light.name().mid(1).toUpper().toStdString());
        QCOMPARE(e->state().colours.pri_day, std::string("9EC5F0"));
    }

    void sport_area_shows_fill_and_border_and_the_ladder_drag_recolours_the_picked_part()
    {
        auto e = open({ sport_water_row() }, 0, ThemeKind::SportFitness);
        // The left edge of the area is its border; the middle its fill.
        const auto border_and_fill = [&] {
            const QImage& shown = e->sample_image();
            return std::pair { shown.pixelColor(17, shown.height() / 2),
                shown.pixelColor(shown.width() / 2, shown.height() / 2) };
        };
        QCOMPARE(border_and_fill(), std::pair(QColor(0x40, 0x40, 0x40), QColor(0x9E, 0xC5, 0xF0)));

        QTest::mouseClick(child<QLabel>(e.get(), "Label9"), Qt::LeftButton);
        auto* pointer = child<QFrame>(e.get(), "pointer1");
        QTest::mousePress(pointer, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(
            pointer, QPoint(child<QWidget>(e.get(), "Picture5")->x() - pointer->x() - 40, 2));
        const QColor dark = e->findChild<ShadeLadder*>()->image().pixelColor(4, 6);
        QCOMPARE(border_and_fill(), std::pair(dark, QColor(0x9E, 0xC5, 0xF0)));
        QTest::mouseRelease(pointer, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(e->state().colours.sec_day, dark.name().mid(1).toUpper().toStdString());
        QCOMPARE(e->state().colours.pri_day, std::string("9EC5F0"));
        QCOMPARE(border_and_fill(), std::pair(dark, QColor(0x9E, 0xC5, 0xF0)));

        // Dragging over the ladder itself shows the shade in the same part, not in the fill.
        auto* ladder = child<QWidget>(e.get(), "Picture5");
        const QPoint over(ladder->width() - 3, 5);
        const QColor light = e->findChild<ShadeLadder*>()->image().pixelColor(over);
        QMouseEvent drag(QEvent::MouseMove, QPointF(over), QPointF(ladder->mapToGlobal(over)),
            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ladder, &drag);
        QCOMPARE(border_and_fill(), std::pair(light, QColor(0x9E, 0xC5, 0xF0)));
        QCOMPARE(e->state().colours.sec_day, dark.name().mid(1).toUpper().toStdString());
    }

    void ladder_and_field_are_full_range()
    {
        auto e = open({ line_row() });
        click(child<QLabel>(e.get(), "Labc_239"));
        const QImage& ladder = e->findChild<ShadeLadder*>()->image();
        QCOMPARE(ladder.pixelColor(ladder.width() - 2, 5), QColor(255, 255, 255));
        QCOMPARE(ladder.pixelColor(0, 5), QColor(40, 40, 40));
        const QImage& field = child<ColourChart>(e.get(), "p5")->image();
        QCOMPARE(field.pixelColor(0, 0), QColor(255, 255, 255));
        QCOMPARE(field.pixelColor(0, field.height() - 1), QColor(0, 0, 0));
        // A press on the colour field picks the colour under the pointer.
        const QPoint at(20, field.height() / 2);
        QTest::mouseClick(child<QWidget>(e.get(), "p5"), Qt::LeftButton, {}, at);
        const QColor c = field.pixelColor(at);
        QCOMPARE(e->sample().scale_.colour, c.red() + 256 * c.green() + 65536 * c.blue());
        QVERIFY(child<QPushButton>(e.get(), "undo")->isEnabled());
    }

    void typed_values_come_back_exactly()
    {
        // A scale as a file may hold it: a pick and Undo give back both boxes as they were, not
        // the scale cut at the comma and the rest taken for the border.
        StyleRow r = line_row();
        r.set_scale("1,5");
        auto e = open({ r });
        QLineEdit* scale = child<QLineEdit>(e.get(), "Text1_1");
        QLineEdit* border = child<QLineEdit>(e.get(), "Text1_0");
        click(child<QLabel>(e.get(), "Labc_239"));
        click(child<QPushButton>(e.get(), "undo"));
        QCOMPARE(scale->text(), QString("1,5"));
        QCOMPARE(border->text(), QString("0.5"));
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        click(child<QPushButton>(e.get(), "redo"));
        QCOMPARE(scale->text(), QString("1,5"));
        QCOMPARE(e->state().colours.pri_day, std::string("FFFFFF"));
    }

    void value_boxes_take_numbers_only_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("comma") << "1,5"
                               << "15";
        QTest::newRow("point") << "0.05"
                               << "0.05";
        QTest::newRow("leading point") << ".60"
                                       << ".60";
        QTest::newRow("second point") << "1.2.3"
                                      << "1.23";
        QTest::newRow("letters and signs") << "-x2e"
                                           << "2";
    }
    void value_boxes_take_numbers_only()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto e = open({ line_row() });
        for (const char* name : { "Text1_0", "Text1_1" }) {
            QLineEdit* box = child<QLineEdit>(e.get(), name);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, typed);
            QCOMPARE(box->text(), shown);
        }
    }

    void a_drag_is_one_step()
    {
        auto e = open({ line_row() });
        QUndoStack* steps = e->undo_stack();
        QLineEdit* scale = child<QLineEdit>(e.get(), "Text1_1");
        QFrame* thumb = child<QFrame>(e.get(), "scrol_1");
        const QString opened = scale->text();
        const int opened_at = thumb->x();
        for (const int drag : { 0, 1 }) {
            QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(2, 2));
            for (const int x : { 30, 60, 90 - 40 * drag }) {
                QTest::mouseMove(thumb, QPoint(x - thumb->x(), 2));
            }
            QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(2, 2));
            QCOMPARE(steps->count(), drag + 1);
        }
        const QString dragged = scale->text();
        QVERIFY(dragged != opened);
        e->und(UndoDirection::Undo);
        QVERIFY(scale->text() != dragged);
        e->und(UndoDirection::Undo);
        QCOMPARE(scale->text(), opened);
        QCOMPARE(thumb->x(), opened_at);

        // The colour field: the press and the drag after it are one step that ends on the colour
        // under the release.
        QWidget* field = child<QWidget>(e.get(), "p5");
        QTest::mousePress(field, Qt::LeftButton, {}, QPoint(10, 20));
        QTest::mouseMove(field, QPoint(30, 60));
        QTest::mouseMove(field, QPoint(40, 90));
        QTest::mouseRelease(field, Qt::LeftButton, {}, QPoint(40, 90));
        QCOMPARE(steps->count(), 1);
        const QColor under = child<ColourChart>(e.get(), "p5")->image().pixelColor(40, 90);
        QCOMPARE(e->state().colours.pri_day, under.name().mid(1).toUpper().toStdString());
        e->und(UndoDirection::Undo);
        QCOMPARE(e->state().colours.pri_day, std::string("FF0000"));
        e->und(UndoDirection::Redo);
        QCOMPARE(e->state().colours.pri_day, under.name().mid(1).toUpper().toStdString());
    }

    void apply_hands_one_edit_and_cancel_leaves_the_row()
    {
        // Opening drops the "#-1" night attributes in the editor's copy; the row stays as it is.
        StyleRow no_night = line_row();
        no_night.set_pri_night("-1");
        no_night.set_style_text(text::replace(no_night.style_text(), "#800000", "#-1"));
        auto e = open({ no_night });
        QVERIFY(doc.rows[0] == no_night);
        QTest::mouseClick(child<OwnerDrawnButton>(e.get(), "command1_0"), Qt::LeftButton);
        QVERIFY(doc.rows[0] == no_night);

        // Apply to All: one edit named after the element; the theme changes when the sink
        // applies it, and reverting it gives back every row.
        doc = Document();
        doc.rows = { line_row("GUIDANCE"), line_row("BROWSE") };
        const auto opened = doc.rows;
        std::vector<std::pair<DocumentEdit, std::string>> handed;
        StyleEditor editor(doc, prompter, nullptr, [&](DocumentEdit edit, std::string what) {
            handed.emplace_back(std::move(edit), std::move(what));
        });
        editor.show();
        click(child<QLabel>(&editor, "Labc_239"));
        QTest::mouseClick(child<OwnerDrawnButton>(&editor, "command1_1"), Qt::LeftButton);
        QCOMPARE(handed.size(), std::size_t(1));
        QCOMPARE(handed[0].second, std::string("Apply ROAD INTERSTATE"));
        QVERIFY(doc.rows == opened);
        handed[0].first.apply(doc);
        QCOMPARE(doc.rows[1].pri_day(), std::string("FFFFFF"));
        handed[0].first.revert(doc);
        QVERIFY(doc.rows == opened);
    }

    void sport_area_undo_keeps_each_part()
    {
        auto e = open({ sport_water_row() }, 0, ThemeKind::SportFitness);
        QTest::mouseClick(child<QLabel>(e.get(), "Label9"), Qt::LeftButton);
        click(child<QLabel>(e.get(), "Labc_7"));
        QCOMPARE(e->state().colours.sec_day, std::string("FF0000"));
        // Undo with the secondary colour picked brings it back and leaves the primary alone.
        e->und(UndoDirection::Undo);
        QCOMPARE(e->state().colours.sec_day, std::string("404040"));
        QCOMPARE(e->state().colours.pri_day, std::string("9EC5F0"));
    }

    void arrow_sample()
    {
        StyleRow r = line_row();
        r.set_field_name("MPM_ROUTE_ARRW_CLR");
        r.set_style_text(car_text(r.field_name(), " scale=\"1\" border=\"0.5\"",
            " day=\"#FF0000\" night=\"#800000\"", " day=\"#0000FF\" night=\"#000080\""));
        auto e = open({ r });
        QCOMPARE(e->sample().form, EditorSample::Form::Arrow);
        QCOMPARE(e->swatch_colour(EditedPart::Line), 0x0000FF);
        const QImage& img = e->sample_image();
        QCOMPARE(img.pixelColor(img.width() / 2, img.height() / 2 - 30), QColor(255, 0, 0));
        QVERIFY(!child<QLabel>(e.get(), "Label5_0")->isVisible());
    }
};

TINTWELL_QTEST_MAIN(EditorTest)

#include "editor_test.moc"
