#include "ui/dialogs/sport_style_dialog.h"

#include "colour/colour_codes.h"
#include "model/style_code.h"
#include "model/text.h"
#include "ui/main/owner_drawn_button.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
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

QColor from_value(ColourValue value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

ColourValue to_value(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

QImage draw_chart()
{
    QImage image(234, 237, QImage::Format_RGB32);
    for (int x = 0; x < image.width(); ++x) {
        const double hue = static_cast<double>(x) / image.width();
        for (int y = 0; y < image.height(); ++y) {
            const double lightness = 1.0 - static_cast<double>(y) / (image.height() - 1);
            image.setPixelColor(x, y,
                QColor::fromHslF(static_cast<float>(hue), 1.0f, static_cast<float>(lightness)));
        }
    }
    // A grey scale along the right edge.
    for (int x = image.width() - 14; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            const int g = 255 - y * 255 / (image.height() - 1);
            image.setPixelColor(x, y, QColor(g, g, g));
        }
    }
    return image;
}

} // namespace

ColourChart::ColourChart(QWidget* parent)
    : QWidget(parent)
    , m_chart(draw_chart())
{
    setFixedSize(m_chart.size());
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

QColor ColourChart::colour_at(QPoint point) const
{
    return m_chart.valid(point) ? m_chart.pixelColor(point) : QColor(Qt::black);
}

void ColourChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_chart);
}

void ColourChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit pressed(event->position().toPoint());
    }
}

void ColourChart::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered(event->position().toPoint());
}

SportStyleDialog::SportStyleDialog(
    Document& doc, int row, const QString& element_caption, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_row(row)
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
        Label4[i] = new QLabel(headings[k], this);
        Label4[i]->setObjectName(QString("Label4_%1").arg(k));
        Label4[i]->setGeometry(at12(heading_left[k], heading_top[k], 900, 360));

        Label2[i] = new QLabel(this);
        Label2[i]->setObjectName(QString("Label2_%1").arg(k));
        Label2[i]->setGeometry(at12(5160, tops[k], 576, 396));
        Label2[i]->setAutoFillBackground(true);
        Label2[i]->setFrameShape(QFrame::Box);
        Label2[i]->setCursor(Qt::PointingHandCursor);
        Label2[i]->installEventFilter(this);

        Text3[i] = new QLineEdit(this);
        Text3[i]->setObjectName(QString("Text3_%1").arg(k));
        Text3[i]->setGeometry(at12(6000, tops[k], 456, 396));
        Text3[i]->setMaxLength(2);

        Text2[i] = new QLineEdit(this);
        Text2[i]->setObjectName(QString("Text2_%1").arg(k));
        Text2[i]->setGeometry(at12(6600, tops[k], 1170, 396));
        connect(Text2[i], &QLineEdit::textChanged, this, [this, k] { Text2_Change(k); });

        // Keystrokes are the only way in: no pasting from a menu, no dropped text.
        for (QLineEdit* field : { Text3[i], Text2[i] }) {
            field->setContextMenuPolicy(Qt::NoContextMenu);
            field->setAcceptDrops(false);
            field->installEventFilter(this);
        }
    }

    Shape2 = new QFrame(this);
    Shape2->setObjectName("Shape2");
    Shape2->setFrameShape(QFrame::Box);
    Shape2->setLineWidth(2);

    p5 = new ColourChart(this);
    p5->setObjectName("p5");
    p5->move(at12(720, 840, 0, 0).topLeft());
    connect(p5, &ColourChart::pressed, this, [this](QPoint p) { p5_MouseDown(p.x(), p.y()); });
    connect(p5, &ColourChart::hovered, this, [this](QPoint p) { p5_MouseMove(p.x(), p.y()); });

    Label3 = new QLabel(this);
    Label3->setObjectName("Label3");
    Label3->setGeometry(at12(240, 3360, 252, 252));
    Label3->setAutoFillBackground(true);
    Label3->setFrameShape(QFrame::Box);

    for (int i = 0; i < 2; ++i) {
        const auto j = static_cast<std::size_t>(i);
        Label1[j] = new QLabel(i == 0 ? "BG" : "FG", this);
        Label1[j]->setObjectName(QString("Label1_%1").arg(i));
        Label1[j]->setGeometry(at12(i == 0 ? 1080 : 2520, 4560, 620, 300));
        Label1[j]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        Text1[j] = new QLineEdit(this);
        Text1[j]->setObjectName(QString("Text1_%1").arg(i));
        Text1[j]->setGeometry(at12(i == 0 ? 1080 : 2520, 4080, 620, 396));

        command1[j] = new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        command1[j]->setObjectName(QString("command1_%1").arg(i));
        command1[j]->setGeometry(at12(i == 0 ? 6000 : 7416, i == 0 ? 4932 : 4920, 1188, 420));
        connect(
            command1[j], &OwnerDrawnButton::clicked, this, [this, i] { command1_MouseDown(i); });
    }
    setMouseTracking(true);
    Form_Load();
}

void SportStyleDialog::Form_Load()
{
    if (parentWidget()) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    command1[0]->draw_button("Cancel", 0);
    command1[1]->draw_button("Apply", 0);
    Label2_Click(0);
    if (!m_doc.valid_row(m_row)) {
        return;
    }
    const StyleRow& row = m_doc.rows[static_cast<std::size_t>(m_row)];
    const auto colours = nwf_slot_colours(row.style_text);
    for (std::size_t k = 0; k < 4; ++k) {
        const QString c = QString::fromLatin1(colours[k]);
        Text3[k]->setText(c.left(2).toUpper());
        Text2[k]->setText(c.mid(2));
        show_colour(Label2[k], colours[k]);
    }
    Text1[0]->setText(QString::fromLatin1(row.bg_width));
    Text1[1]->setText(QString::fromLatin1(row.fg_width));
    get_colvals();
}

void SportStyleDialog::show_colour(QLabel* swatch, const std::string& colour)
{
    if (const auto value = hex_to_value(colour, ThemeKind::SportFitness)) {
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, from_value(*value));
        swatch->setPalette(palette);
    }
}

void SportStyleDialog::Label2_Click(int k)
{
    m_sel_swatch = k;
    QLabel* swatch = Label2[static_cast<std::size_t>(k)];
    swatch->setVisible(true);
    const QRect s = swatch->geometry();
    // Twenty twips to each side and ten above and below, at this window's scale.
    Shape2->setGeometry(s.x() - 2, s.y() - 1, s.width() + 4, s.height() + 2);
    Shape2->stackUnder(swatch);
}

void SportStyleDialog::p5_MouseDown(int x, int y)
{
    const QColor c = p5->colour_at(QPoint(x, y));
    const auto k = static_cast<std::size_t>(m_sel_swatch);
    const std::string hex = value_to_hex(to_value(c), ThemeKind::SportFitness);
    Text2[k]->setText(QString::fromLatin1(hex));
    show_colour(Label2[k], hex);
    get_colvals();
}

void SportStyleDialog::p5_MouseMove(int x, int y)
{
    QPalette palette = Label3->palette();
    palette.setColor(QPalette::Window, p5->colour_at(QPoint(x, y)));
    Label3->setPalette(palette);
}

bool SportStyleDialog::Text2_KeyPress(int k, QChar key)
{
    const QChar upper = key.toUpper();
    const bool control = key == QChar(8) || key == QChar(13) || key == QChar(127);
    if (!control && !hex_digits.contains(upper)) {
        return false;
    }
    m_doc.modified = true;
    QLineEdit* field = Text2[static_cast<std::size_t>(k)];
    if (key == QChar(13)) {
        if (field->text().size() > 6) {
            m_doc.message("Max length=6 characters");
            field->setText(field->text().left(6));
        }
        show_colour(Label2[static_cast<std::size_t>(k)], field->text().toLatin1().toStdString());
    }
    return true;
}

void SportStyleDialog::Text2_Change(int k)
{
    QLineEdit* field = Text2[static_cast<std::size_t>(k)];
    const QString upper = field->text().toUpper();
    if (upper != field->text()) {
        field->setText(upper);
    }
    field->setCursorPosition(static_cast<int>(field->text().size()));
}

bool SportStyleDialog::Text3_KeyPress(int, QChar key)
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
        for (int k = 0; k < 4; ++k) {
            if (watched == Label2[static_cast<std::size_t>(k)]) {
                Label2_Click(k);
                return true;
            }
        }
    }
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool colour = watched == Text2[i];
        if (!colour && watched != Text3[i]) {
            continue;
        }
        QLineEdit* field = colour ? Text2[i] : Text3[i];
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
        const bool taken = colour ? Text2_KeyPress(k, typed) : Text3_KeyPress(k, typed);
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
        const QString transparency = Text3[k]->text();
        const QString colour = Text2[k]->text();
        if (transparency.isEmpty() && colour.isEmpty()) {
            m_working[k].clear();
            continue;
        }
        const QString prefix =
            transparency.isEmpty() ? QString() : transparency.rightJustified(2, '0');
        m_working[k] = (prefix + colour.rightJustified(6, '0')).toLatin1().toStdString();
    }
}

bool SportStyleDialog::chk_hex()
{
    // The night transparencies go into the file as well, so they are checked with the day ones.
    for (QLineEdit* field : Text3) {
        const QString value = field->text().toUpper();
        for (const QChar c : value) {
            if (!hex_digits.contains(c)) {
                m_doc.message("Invalid HEX :" + value.toLatin1().toStdString());
                return false;
            }
        }
    }
    return true;
}

void SportStyleDialog::command1_MouseDown(int index)
{
    if (index == 0) {
        reject();
        return;
    }
    if (!m_doc.valid_row(m_row) || !chk_hex()) {
        return;
    }
    // A colour typed past six digits without Enter would reach the file whole.
    for (std::size_t k = 0; k < 4; ++k) {
        if (Text2[k]->text().size() > 6) {
            Text2_KeyPress(static_cast<int>(k), QChar(13));
            Text2[k]->setFocus();
            return;
        }
    }
    for (std::size_t i : { 1, 0 }) {
        const auto width = nwf_width(Text1[i]->text().toLatin1().toStdString());
        if (!width) {
            m_doc.message(width_range_message);
            Text1[i]->setFocus();
            return;
        }
        Text1[i]->setText(QString::number(*width));
    }
    StyleRow& row = m_doc.rows[static_cast<std::size_t>(m_row)];
    const std::string p = text::split(row.style_text, " ").front();
    get_colvals();
    const std::string bg = Text1[0]->text().toLatin1().toStdString();
    const std::string fg = Text1[1]->text().toLatin1().toStdString();
    row.style_text = nwf_style_text(p, bg, fg, m_working);
    row.fg_width = fg;
    row.bg_width = bg;
    row.sec_day = m_working[1];
    row.pri_day = m_working[0];
    row.sec_night = m_working[3];
    row.pri_night = m_working[2];
    m_doc.modified = true;
    accept();
}

void SportStyleDialog::Form_MouseMove()
{
    for (OwnerDrawnButton* button : command1) {
        button->draw_button(QString(), 0);
    }
}

void SportStyleDialog::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

} // namespace tintwell
