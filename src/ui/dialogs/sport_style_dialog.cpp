#include "ui/dialogs/sport_style_dialog.h"

#include "colour/colour_codes.h"
#include "model/style_code.h"
#include "model/text.h"
#include "ui/common/colour_chart.h"
#include "ui/common/editing_keys.h"
#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/qt_colour.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace tintwell {

namespace {

const QString hex_digits = "ABCDEF0123456789";

// This window was laid out at twelve twips to the pixel; the chart's picture fills its box only
// at that scale.
QRect at12(int left, int top, int width, int height)
{
    return QRect(left / 12, top / 12, width / 12, height / 12);
}

} // namespace

SportStyleDialog::SportStyleDialog(
    Document& doc, int row, const QString& element_caption, QWidget* parent, EditSink sink)
    : QDialog(parent)
    , m_doc(doc)
    , m_row(row)
    , m_caption(element_caption)
    , m_sink(sink ? std::move(sink) : apply_to(doc))
{
    setObjectName("edit2");
    setWindowTitle("Tintwell " + element_caption);
    setFixedSize(at12(0, 0, 8760, 5700).size());
    QFont arial("Arial");
    arial.setPointSize(9);
    setFont(arial);

    const char* headings[] = { "DAY", "NIGHT", "Transp", "Transp" };
    const int heading_left[] = { 5040, 5040, 5880, 5880 };
    const int heading_top[] = { 840, 2520, 840, 2520 };
    const int tops[] = { 1320, 1920, 2880, 3480 };
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        m_headings[i] = new QLabel(headings[k], this);
        m_headings[i]->setObjectName(QString("Label4_%1").arg(k));
        m_headings[i]->setGeometry(at12(heading_left[k], heading_top[k], 900, 360));

        m_swatches[i] = new QLabel(this);
        m_swatches[i]->setObjectName(QString("Label2_%1").arg(k));
        m_swatches[i]->setGeometry(at12(5160, tops[k], 576, 396));
        m_swatches[i]->setAutoFillBackground(true);
        m_swatches[i]->setFrameShape(QFrame::Box);
        m_swatches[i]->setCursor(Qt::PointingHandCursor);
        m_swatches[i]->installEventFilter(this);

        m_transparency_boxes[i] = new QLineEdit(this);
        m_transparency_boxes[i]->setObjectName(QString("Text3_%1").arg(k));
        m_transparency_boxes[i]->setGeometry(at12(6000, tops[k], 456, 396));
        m_transparency_boxes[i]->setMaxLength(2);

        m_colour_boxes[i] = new QLineEdit(this);
        m_colour_boxes[i]->setObjectName(QString("Text2_%1").arg(k));
        m_colour_boxes[i]->setGeometry(at12(6600, tops[k], 1170, 396));
        connect(m_colour_boxes[i], &QLineEdit::textChanged, this,
            [this, slot = sport_colour_slots[i]] { Text2_Change(slot); });

        // Keystrokes are the only way in: no pasting from a menu, no dropped text.
        for (QLineEdit* field : { m_transparency_boxes[i], m_colour_boxes[i] }) {
            field->setContextMenuPolicy(Qt::NoContextMenu);
            field->setAcceptDrops(false);
            field->installEventFilter(this);
        }
    }

    m_selection_frame = new QFrame(this);
    m_selection_frame->setObjectName("Shape2");
    m_selection_frame->setFrameShape(QFrame::Box);
    m_selection_frame->setLineWidth(2);

    m_chart = new ColourChart(QSize(234, 237), 14, this);
    m_chart->setObjectName("p5");
    m_chart->setCursor(Qt::CrossCursor);
    m_chart->move(at12(720, 840, 0, 0).topLeft());
    connect(m_chart, &ColourChart::pressed, this, [this](QPoint p) { p5_MouseDown(p.x(), p.y()); });
    connect(m_chart, &ColourChart::moved, this,
        [this](QPoint p, Qt::MouseButtons) { p5_MouseMove(p.x(), p.y()); });

    m_hover_swatch = new QLabel(this);
    m_hover_swatch->setObjectName("Label3");
    m_hover_swatch->setGeometry(at12(240, 3360, 252, 252));
    m_hover_swatch->setAutoFillBackground(true);
    m_hover_swatch->setFrameShape(QFrame::Box);

    for (int i = 0; i < 2; ++i) {
        const auto j = static_cast<std::size_t>(i);
        m_width_captions[j] = new QLabel(i == 0 ? "BG" : "FG", this);
        m_width_captions[j]->setObjectName(QString("Label1_%1").arg(i));
        m_width_captions[j]->setGeometry(at12(i == 0 ? 1080 : 2520, 4560, 620, 300));
        m_width_captions[j]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_width_boxes[j] = new QLineEdit(this);
        m_width_boxes[j]->setObjectName(QString("Text1_%1").arg(i));
        m_width_boxes[j]->setGeometry(at12(i == 0 ? 1080 : 2520, 4080, 620, 396));

        auto* button = new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        button->setObjectName(QString("command1_%1").arg(i));
        button->setGeometry(at12(i == 0 ? 6000 : 7416, i == 0 ? 4932 : 4920, 1188, 420));
        const DialogButton role = i == 0 ? DialogButton::Cancel : DialogButton::Apply;
        connect(
            button, &OwnerDrawnButton::clicked, this, [this, role] { command1_MouseDown(role); });
        (i == 0 ? m_cancel_button : m_apply_button) = button;
    }
    setMouseTracking(true);
    reset_looks_on_move(*this, { m_cancel_button, m_apply_button });
    Form_Load();
}

void SportStyleDialog::Form_Load()
{
    if (parentWidget()) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    m_cancel_button->draw_button("Cancel", ButtonLook::Normal);
    m_apply_button->draw_button("Apply", ButtonLook::Normal);
    Label2_Click(SportColourSlot::PrimaryDay);
    if (!m_doc.valid_row(m_row)) {
        return;
    }
    const StyleRow& row = m_doc.rows[static_cast<std::size_t>(m_row)];
    const auto colours = nwf_slot_colours(row.style_text());
    for (std::size_t k = 0; k < 4; ++k) {
        const QString c = from_latin1(colours[k]);
        m_transparency_boxes[k]->setText(c.left(2).toUpper());
        m_colour_boxes[k]->setText(c.mid(2));
        show_colour(m_swatches[k], colours[k]);
    }
    m_width_boxes[0]->setText(from_latin1(row.bg_width()));
    m_width_boxes[1]->setText(from_latin1(row.fg_width()));
    get_colvals();
}

void SportStyleDialog::show_colour(QLabel* swatch, const std::string& colour)
{
    if (const auto value = hex_to_value(colour, ThemeKind::SportFitness)) {
        paint_swatch(*swatch, to_qcolor(*value));
    }
}

void SportStyleDialog::Label2_Click(SportColourSlot slot)
{
    m_sel_swatch = slot;
    QLabel* swatch = m_swatches[static_cast<std::size_t>(slot)];
    swatch->setVisible(true);
    const QRect s = swatch->geometry();
    // Twenty twips to each side and ten above and below, at this window's scale.
    m_selection_frame->setGeometry(s.x() - 2, s.y() - 1, s.width() + 4, s.height() + 2);
    m_selection_frame->stackUnder(swatch);
}

void SportStyleDialog::p5_MouseDown(int x, int y)
{
    const QColor c = m_chart->colour_at(QPoint(x, y));
    const auto k = static_cast<std::size_t>(m_sel_swatch);
    const std::string hex = value_to_hex(colour_value(c), ThemeKind::SportFitness);
    m_colour_boxes[k]->setText(from_latin1(hex));
    show_colour(m_swatches[k], hex);
    get_colvals();
}

void SportStyleDialog::p5_MouseMove(int x, int y)
{
    paint_swatch(*m_hover_swatch, m_chart->colour_at(QPoint(x, y)));
}

bool SportStyleDialog::Text2_KeyPress(SportColourSlot slot, QChar key)
{
    const QChar upper = key.toUpper();
    const bool control = key == QChar(8) || key == QChar(13) || key == QChar(127);
    if (!control && !hex_digits.contains(upper)) {
        return false;
    }
    const auto k = static_cast<std::size_t>(slot);
    QLineEdit* field = m_colour_boxes[k];
    if (key == QChar(13)) {
        if (field->text().size() > 6) {
            m_doc.message("Max length=6 characters");
            field->setText(field->text().left(6));
        }
        show_colour(m_swatches[k], to_latin1(field->text()));
    }
    return true;
}

void SportStyleDialog::Text2_Change(SportColourSlot slot)
{
    QLineEdit* field = m_colour_boxes[static_cast<std::size_t>(slot)];
    const QString upper = field->text().toUpper();
    if (upper != field->text()) {
        field->setText(upper);
    }
    field->setCursorPosition(static_cast<int>(field->text().size()));
}

bool SportStyleDialog::Text3_KeyPress(SportColourSlot, QChar key)
{
    QChar c = key;
    if (c.unicode() >= 95 && c.unicode() <= 125) {
        c = QChar(c.unicode() - 32);
    }
    return c == QChar(8) || c == QChar(13) || c == QChar(127) || hex_digits.contains(c);
}

bool SportStyleDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (std::size_t k = 0; k < sport_colour_slots.size(); ++k) {
            if (watched == m_swatches[k]) {
                Label2_Click(sport_colour_slots[k]);
                return true;
            }
        }
    }
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    for (std::size_t i = 0; i < sport_colour_slots.size(); ++i) {
        const bool colour = watched == m_colour_boxes[i];
        if (!colour && watched != m_transparency_boxes[i]) {
            continue;
        }
        if (is_editing_key(*key)) {
            return false;
        }
        QLineEdit* field = colour ? m_colour_boxes[i] : m_transparency_boxes[i];
        QChar typed;
        switch (key->key()) {
        case Qt::Key_Backspace:
            typed = QChar(8);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            typed = QChar(13);
            break;
        case Qt::Key_Delete:
            typed = QChar(127);
            break;
        default:
            if (key->text().isEmpty()) {
                return false; // arrows, Home, Tab: moving about is no keystroke
            }
            typed = key->text().at(0);
        }
        const SportColourSlot slot = sport_colour_slots[i];
        const bool taken = colour ? Text2_KeyPress(slot, typed) : Text3_KeyPress(slot, typed);
        if (!taken) {
            return true;
        }
        if (typed == QChar(13)) {
            return true;
        }
        if (typed == QChar(8) || typed == QChar(127)) {
            return false;
        }
        QChar c = typed;
        if (!colour && c.unicode() >= 95 && c.unicode() <= 125) {
            c = QChar(c.unicode() - 32);
        }
        field->insert(QString(c.toUpper()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SportStyleDialog::get_colvals()
{
    // The fields are read as hexadecimal numbers, as the swatches show them: a short colour gets
    // leading zeros, so that "FF" + "12AB" is not written as the six-digit colour FF12AB and a
    // one-digit transparency does not shift the colour. A slot with both fields empty stays
    // empty, and an empty transparency leaves a six-digit colour, which counts as opaque.
    for (std::size_t k : { 2, 3, 0, 1 }) {
        const QString transparency = m_transparency_boxes[k]->text();
        const QString colour = m_colour_boxes[k]->text();
        if (transparency.isEmpty() && colour.isEmpty()) {
            m_working[k].clear();
            continue;
        }
        const QString prefix =
            transparency.isEmpty() ? QString() : transparency.rightJustified(2, '0');
        m_working[k] = to_latin1(prefix + colour.rightJustified(6, '0'));
    }
}

bool SportStyleDialog::chk_hex()
{
    // The night transparencies go into the file as well, so they are checked with the day ones.
    for (QLineEdit* field : m_transparency_boxes) {
        const QString value = field->text().toUpper();
        for (const QChar c : value) {
            if (!hex_digits.contains(c)) {
                m_doc.message("Invalid HEX :" + to_latin1(value));
                return false;
            }
        }
    }
    return true;
}

void SportStyleDialog::command1_MouseDown(DialogButton button)
{
    if (button == DialogButton::Cancel) {
        reject();
        return;
    }
    if (!m_doc.valid_row(m_row) || !chk_hex()) {
        return;
    }
    // A colour typed past six digits without Enter would reach the file whole.
    for (std::size_t k = 0; k < 4; ++k) {
        if (m_colour_boxes[k]->text().size() > 6) {
            Text2_KeyPress(sport_colour_slots[k], QChar(13));
            m_colour_boxes[k]->setFocus();
            return;
        }
    }
    for (std::size_t i : { 1, 0 }) {
        const auto width = nwf_width(width_text(i));
        if (!width) {
            m_doc.message(width_range_message);
            m_width_boxes[i]->setFocus();
            return;
        }
        m_width_boxes[i]->setText(QString::number(*width));
    }
    get_colvals();
    m_sink(nwf_apply_edit(m_doc, m_row, width_text(0), width_text(1), m_working),
        "Apply " + to_latin1(m_caption));
    accept();
}

std::string SportStyleDialog::width_text(std::size_t box) const
{
    return to_latin1(m_width_boxes[box]->text());
}

} // namespace tintwell
