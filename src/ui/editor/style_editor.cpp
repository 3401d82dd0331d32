#include "ui/editor/style_editor.h"

#include "colour/palette.h"
#include "model/catalogue.h"
#include "model/text.h"
#include "render/qt/qt_canvas.h"
#include "ui/main/message_box_prompter.h"
#include "ui/main/owner_drawn_button.h"
#include "ui/main/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShortcut>
#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <cmath>
#include <functional>

namespace tintwell {

namespace {

constexpr const char* enter_hint = "Press Enter to Change Color";
constexpr const char* pending_message = "Press Enter to apply color";
constexpr const char* range_message = "Values: 0.01 - 2.5";
constexpr const char* length_message = "Max length=6 characters";
constexpr const char* apply_range_tail = ") Acceptable values: 0.01 - 2.5";

// Design sizes in twips.
constexpr int picture1_width = 9450;
constexpr int picture1_height = 7332;
constexpr int block_size = 192;
constexpr int ladder_width = 2520;
constexpr int ladder_height = 192;
constexpr int pointer_width = 120;
constexpr int track_width = 2010;
constexpr int thumb_width = 120;
// Thumb travel: the slider runs from 0 to 2.5, 756 twips to a unit.
constexpr int thumb_travel = track_width - thumb_width;
constexpr int twips_per_unit = 756;
constexpr int marker_height = 390;
constexpr int field_width = 1000;
constexpr int field_height = 3072;
constexpr ColourValue grey_caption = 0xB4B4B4;

QString qs(const std::string& s)
{
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}
std::string ss(const QString& s)
{
    return s.toLatin1().toStdString();
}

QColor qcolour(ColourValue v)
{
    return to_qcolor(v & 0xFFFFFF);
}

ColourValue colour_value(QRgb rgb)
{
    return qRed(rgb) + 256 * qGreen(rgb) + 65536 * qBlue(rgb);
}

bool in_range(double v)
{
    const float f = static_cast<float>(v);
    return f >= 0.01f && f <= 2.5f;
}

QString number_text(double v)
{
    return QString::number(static_cast<float>(v));
}

// A picture drawn by the program from an image, reporting mouse presses, moves and releases in
// its own pixels.
class ImageBox : public QWidget
{
public:
    ImageBox(const QImage* image, QWidget* parent)
        : QWidget(parent)
        , m_image(image)
    {
        setMouseTracking(true);
    }
    std::function<void(QPoint, Qt::MouseButtons)> pressed;
    std::function<void(QPoint, Qt::MouseButtons)> moved;
    std::function<void(QPoint)> released;
    /// Draws a thin edge around the picture (not into its image), for a picture whose
    /// background matches the window's.
    bool framed = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, *m_image);
        if (framed) {
            p.setPen(QColor(160, 160, 160));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (pressed) {
            pressed(e->position().toPoint(), e->buttons());
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (moved) {
            moved(e->position().toPoint(), e->buttons());
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (released) {
            released(e->position().toPoint());
        }
    }

private:
    const QImage* m_image;
};

// The colour under a point of an image; -1 outside it.
ColourValue pixel_at(const QImage& image, QPoint p)
{
    if (!image.rect().contains(p)) {
        return -1;
    }
    return colour_value(image.pixel(p));
}

// The hourglass while the shade ladder is built or a step is undone; nested uses keep it until
// the outermost one ends.
void busy_on()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
void busy_off()
{
    QApplication::restoreOverrideCursor();
}
struct BusyPointer
{
    BusyPointer() { busy_on(); }
    ~BusyPointer() { busy_off(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The pointer over the shade ladder: a thin upright bar with notches, so the band under it is
// easy to see.
QCursor ladder_cursor()
{
    QPixmap image(15, 23);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(7, 1, 7, 21);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(7, 0, 7, 22);
    p.drawLine(3, 0, 11, 0);
    p.drawLine(3, 22, 11, 22);
    p.drawLine(4, 11, 10, 11);
    p.end();
    return QCursor(image, 7, 11);
}

// Centres a window on the screen that shows its parent (or on the main screen).
void cent(QWidget& form)
{
    const QWidget* parent = form.parentWidget();
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect place = form.frameGeometry();
    place.moveCenter(screen->geometry().center());
    form.move(place.topLeft());
}

QImage colour_field()
{
    // Hue across, lightness down from white through the full colours to black.
    QImage image(px(field_width), px(field_height), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const double lightness = 1.0 - static_cast<double>(y) / (image.height() - 1);
        for (int x = 0; x < image.width(); ++x) {
            const double hue = static_cast<double>(x) / image.width();
            image.setPixelColor(x, y,
                QColor::fromHslF(static_cast<float>(hue), 1.0f, static_cast<float>(lightness)));
        }
    }
    return image;
}

} // namespace

// One undo step: the record in force before a change and the one after it.
class RecordCommand : public QUndoCommand
{
public:
    RecordCommand(StyleEditor* editor, std::string before, std::string after)
        : m_editor(editor)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
    }
    void undo() override { m_editor->apply_record(m_before); }
    void redo() override
    {
        // Pushing runs redo at once; the window already shows the new state then.
        if (m_first) {
            m_first = false;
            return;
        }
        m_editor->apply_record(m_after);
    }

private:
    StyleEditor* m_editor;
    std::string m_before;
    std::string m_after;
    bool m_first = true;
};

std::string strip_night(Document& doc, int row)
{
    if (!doc.valid_row(row)) {
        return {};
    }
    StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    if (doc.kind == ThemeKind::SportFitness) {
        r.style_text = text::remove(r.style_text, text::crlf);
        return r.style_text;
    }
    std::string code = r.style_text;
    if (!text::contains(text::lower(code), "night=") || !text::contains(code, "-1")) {
        return code;
    }
    std::string joined;
    for (auto line : text::split(code, text::crlf)) {
        const std::size_t at = text::instr(text::lower(line), " night");
        if (at != 0) {
            line = text::left(line, at) + " />";
        }
        joined += line;
        joined += text::crlf;
    }
    return text::remove(joined, "night=\"#-1\"");
}

StyleEditor::StyleEditor(Document& doc, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_prompter(prompter)
    , m_row(doc.cur_row)
    , m_modified_at_open(doc.modified)
    , m_undo(new QUndoStack(this))
{
    setObjectName("editor");
    setModal(true);
    build_controls();
    if (m_doc.valid_row(m_row)) {
        Form_Load();
    }
}

StyleEditor::~StyleEditor() = default;

StyleRow& StyleEditor::row()
{
    return m_doc.rows[static_cast<std::size_t>(m_row)];
}

void StyleEditor::build_controls()
{
    setFixedSize(px(14600), px(8400));
    // The control widths were laid out for this font, not for whatever the desktop uses.
    QFont font;
    font.setFamilies({ "MS Sans Serif", "Liberation Sans", "Arial" });
    font.setPointSize(8);
    setFont(font);
    // Moves over the window background take the hover look off the buttons.
    setMouseTracking(true);
    const auto label = [this](QWidget* parent, const char* name, const QString& caption, QRect r) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(name);
        l->setGeometry(r);
        return l;
    };
    const auto swatch = [this](QWidget* parent, const QString& name, QRect r) {
        auto* l = new QLabel(parent);
        l->setObjectName(name);
        l->setGeometry(r);
        l->setAutoFillBackground(true);
        l->setFrameShape(QFrame::Box);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        return l;
    };
    const auto hexbox = [this](QWidget* parent, int i, QRect r) {
        auto* t = new QLineEdit(parent);
        t->setObjectName(QString("Text2_%1").arg(i));
        t->setGeometry(r);
        t->setToolTip(enter_hint);
        // Pasted or dropped text passes no key filter; only hex digits may reach the style.
        t->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]*"), t));
        t->installEventFilter(this);
        connect(t, &QLineEdit::textChanged, t, [t](const QString& s) {
            const QString up = s.toUpper();
            if (up != s) {
                t->setText(up);
            }
            t->setCursorPosition(static_cast<int>(t->text().size()));
        });
        return t;
    };

    Picture1 = new ImageBox(&m_sample_image, this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(tw_rect(480, 600, picture1_width, picture1_height));
    static_cast<ImageBox*>(Picture1)->framed = true;
    static_cast<ImageBox*>(Picture1)->pressed = [this](QPoint p, Qt::MouseButtons) {
        const int x = tw(p.x());
        const int y = tw(p.y());
        if (m_sample.form == EditorSample::Form::Arrow || m_sample.is_pgon) {
            return;
        }
        if (m_sample.scale_.visible && m_sample.scale_.rect.contains(x, y)) {
            Label2_MouseDown(1);
        } else if ((m_sample.bord[0].visible && m_sample.bord[0].rect.contains(x, y))
            || (m_sample.bord[1].visible && m_sample.bord[1].rect.contains(x, y))) {
            Label2_MouseDown(0);
        }
    };
    for (int i = 0; i < 2; ++i) {
        Label5[i] = label(
            this, i == 0 ? "Label5_0" : "Label5_1", ">", tw_rect(120, 600, 330, marker_height));
        Label5[i]->setStyleSheet("font-weight: bold; font-size: 16pt; color: #c00000;");
        Label5[i]->hide();
    }
    Label4[0] = label(this, "Label4_0", "", tw_rect(480, 120, 5000, 300));
    Label4[0]->setStyleSheet("font-weight: bold;");
    Label4[1] = label(this, "Label4_1", "", tw_rect(5600, 120, 4200, 300));

    const int x0 = 10100;
    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setGeometry(tw_rect(x0, 120, 4300, 3000));
    label6 = label(Frame1, "label6", "DAY", tw_rect(120, 120, 1200, 300));
    label6->setStyleSheet("font-weight: bold;");
    Label2[1] = swatch(Frame1, "Label2_1", tw_rect(120, 520, 570, 345));
    Text2[1] = hexbox(Frame1, 1, tw_rect(780, 520, 1100, 345));
    Label1[1] = label(Frame1, "Label1_1", "Line colour", tw_rect(1980, 540, 2200, 300));
    Label2[0] = swatch(Frame1, "Label2_0", tw_rect(120, 1000, 570, 345));
    Text2[0] = hexbox(Frame1, 0, tw_rect(780, 1000, 1100, 345));
    Label1[0] = label(Frame1, "Label1_0", "Border colour", tw_rect(1980, 1020, 2200, 300));
    for (int i = 0; i < 2; ++i) {
        const int top = 1480 + 420 * i;
        Text1[i] = new QLineEdit(Frame1);
        Text1[i]->setObjectName(QString("Text1_%1").arg(i));
        Text1[i]->setGeometry(tw_rect(120, top, 780, 330));
        Text1[i]->installEventFilter(this);
        pc4[i] = new QFrame(Frame1);
        pc4[i]->setObjectName(QString("pc4_%1").arg(i));
        pc4[i]->setFrameShape(QFrame::StyledPanel);
        pc4[i]->setGeometry(tw_rect(1000, top + 45, track_width, 240));
        scrol[i] = new QFrame(pc4[i]);
        scrol[i]->setObjectName(QString("scrol_%1").arg(i));
        scrol[i]->setGeometry(tw_rect(0, 0, thumb_width, 240));
        scrol[i]->setStyleSheet("background: #3060a0;");
        scrol[i]->installEventFilter(this);
        label(Frame1, i == 0 ? "Label1_2" : "Label1_3", i == 0 ? "Border" : "Scale",
            tw_rect(3100, top + 15, 1100, 300));
        Text5[i] = new QLineEdit(Frame1);
        Text5[i]->setObjectName(QString("Text5_%1").arg(i));
        Text5[i]->hide();
    }
    Check1 = new QCheckBox("Border Color Same as Line", Frame1);
    Check1->setObjectName("Check1");
    Check1->setGeometry(tw_rect(120, 2330, 2520, 264));
    Check3 = new QCheckBox("Border", Frame1);
    Check3->setObjectName("Check3");
    Check3->setGeometry(tw_rect(120, 2630, 2520, 264));
    Check3->setChecked(true);

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::StyledPanel);
    Frame2->setGeometry(tw_rect(x0, 3300, 4300, 3000));
    Frame2->hide();
    Label7 = label(Frame2, "Label7", "DAY", tw_rect(120, 120, 1200, 300));
    Label7->setStyleSheet("font-weight: bold;");
    Label2[3] = swatch(Frame2, "Label2_3", tw_rect(120, 520, 570, 345));
    Text2[3] = hexbox(Frame2, 3, tw_rect(780, 520, 1100, 345));
    label(Frame2, "Label1_4", "Fill colour", tw_rect(1980, 540, 2200, 300));
    Label8 = swatch(Frame2, "Label8", tw_rect(450, 1100, 570, 345));
    Label9 = swatch(Frame2, "Label9", tw_rect(1200, 1100, 570, 345));
    Label8->hide();
    Label9->hide();
    Text2[2] = hexbox(Frame2, 2, tw_rect(1950, 1100, 1100, 345));
    Label5[2] = label(Frame2, "Label5_2", ">", tw_rect(120, 1080, 330, marker_height));
    Label5[2]->hide();
    Label2[2] = nullptr;

    Shape2 = new QFrame(Frame1);
    Shape2->setObjectName("Shape2");
    Shape2->setStyleSheet("border: 2px solid #c00000; background: transparent;");
    Shape2->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape2->hide();

    Check2 = new QCheckBox("Edit Night Colours", this);
    Check2->setObjectName("Check2");
    Check2->setGeometry(tw_rect(x0, 3240, 1944, 240));
    Check2->setChecked(true);
    applyall = new QCheckBox("Apply to All Presentations", this);
    applyall->setObjectName("applyall");
    applyall->setGeometry(tw_rect(x0 + 2000, 3240, 2460, 240));
    applyall->setChecked(true);

    const char* day_night[] = { "Day", "Night" };
    for (int i = 0; i < 2; ++i) {
        commandop[i] = new OwnerDrawnButton(day_night[i], this);
        commandop[i]->setObjectName(QString("commandop_%1").arg(i));
        commandop[i]->setGeometry(tw_rect(x0 + 760 * i, 3600, 705, 300));
        commandop[i]->draw_button(day_night[i], 12);
        commandop[i]->installEventFilter(this);
        connect(commandop[i], &OwnerDrawnButton::clicked, this, [this, i] { commandop_Click(i); });
    }
    undo_button = new QPushButton("Undo", this);
    undo_button->setObjectName("undo");
    undo_button->setGeometry(tw_rect(x0 + 1700, 3600, 900, 300));
    undo_button->setToolTip("Undo (Ctrl+Z)");
    redo_button = new QPushButton("Redo", this);
    redo_button->setObjectName("redo");
    redo_button->setGeometry(tw_rect(x0 + 2660, 3600, 900, 300));
    redo_button->setToolTip("Redo (Ctrl+Y)");
    connect(undo_button, &QPushButton::clicked, this, [this] { und(0); });
    connect(redo_button, &QPushButton::clicked, this, [this] { und(1); });
    connect(m_undo, &QUndoStack::canUndoChanged, undo_button, &QPushButton::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redo_button, &QPushButton::setEnabled);
    undo_button->setEnabled(false);
    redo_button->setEnabled(false);
    for (const auto& key : { QKeySequence(QKeySequence::Undo) }) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this] { und(0); });
    }
    // Both usual redo keys, whichever of them the platform's own redo key is.
    for (const auto& key : { QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z") }) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, [this] { und(1); });
    }

    const int palette_top = 4080;
    const auto& blocks = col256();
    for (int i = 0; i < palette_size; ++i) {
        Labc[i] = swatch(this, QString("Labc_%1").arg(i),
            tw_rect(x0 + palette_column(i) * block_size, palette_top + palette_row(i) * block_size,
                block_size, block_size));
        Labc[i]->setFrameShape(QFrame::NoFrame);
        set_swatch_widget(Labc[i], blocks[i].colour);
        if (!blocks[i].tool_tip.empty()) {
            Labc[i]->setToolTip(qs(blocks[i].tool_tip));
        }
    }
    Shape12 = new QFrame(this);
    Shape12->setObjectName("Shape12");
    Shape12->setStyleSheet("border: 2px solid white; background: transparent;");
    Shape12->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape12->resize(px(block_size + 20), px(block_size + 20));
    Shape12->hide();

    Picture5 = new ImageBox(&m_ladder_image, this);
    Picture5->setObjectName("Picture5");
    Picture5->setGeometry(tw_rect(x0, 7260, ladder_width, ladder_height));
    Picture5->setCursor(ladder_cursor());
    auto* ladder = static_cast<ImageBox*>(Picture5);
    ladder->moved = [this](QPoint p, Qt::MouseButtons buttons) {
        if (!(buttons & Qt::LeftButton)) {
            return;
        }
        const ColourValue c = pixel_at(m_ladder_image, p);
        if (c == -1) {
            return;
        }
        if (is_pgon || target == 1) {
            m_sample.scale_.colour = c;
        } else {
            m_sample.bord[0].colour = m_sample.bord[1].colour = c;
        }
        show_sample();
    };
    ladder->released = [this](QPoint p) { Picture5_MouseUp(p); };
    pointer1 = new QFrame(this);
    pointer1->setObjectName("pointer1");
    pointer1->setStyleSheet("background: #202020;");
    pointer1->setGeometry(tw_rect(x0, 7260 + ladder_height, pointer_width, 150));
    pointer1->installEventFilter(this);

    p5 = new ImageBox(&m_field_image, this);
    p5->setObjectName("p5");
    p5->setGeometry(tw_rect(13400, palette_top, field_width, field_height));
    m_field_image = colour_field();
    auto* field = static_cast<ImageBox*>(p5);
    field->pressed = [this](QPoint p, Qt::MouseButtons) { p5_pick(p, true); };
    field->moved = [this](QPoint p, Qt::MouseButtons buttons) {
        const ColourValue c = pixel_at(m_field_image, p);
        if (c != -1) {
            set_swatch_widget(Label3, c);
        }
        if (buttons & Qt::LeftButton) {
            p5_pick(p, false);
        }
    };
    Label3 = swatch(this, "Label3", tw_rect(13400, 7260, field_width, 345));

    for (int i = 0; i < 2; ++i) {
        command1[i] = new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        command1[i]->setObjectName(QString("command1_%1").arg(i));
        command1[i]->setGeometry(tw_rect(11900 + 1290 * i, 7860, 1188, 420));
        command1[i]->draw_button(i == 0 ? "Cancel" : "Apply", 0);
        connect(command1[i], &OwnerDrawnButton::clicked, this, [this, i] { command1_Click(i); });
    }
    connect(Check1, &QCheckBox::clicked, this, &StyleEditor::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &StyleEditor::Check2_MouseUp);
    connect(Check3, &QCheckBox::clicked, this, &StyleEditor::Check3_MouseUp);

    m_sample_image = QImage(px(picture1_width), px(picture1_height), QImage::Format_RGB32);
    m_sample_image.fill(QColor(240, 240, 240));
    m_ladder_image = QImage(px(ladder_width), px(ladder_height), QImage::Format_RGB32);
    m_ladder_image.fill(Qt::white);
}

void StyleEditor::set_swatch_widget(QWidget* widget, ColourValue colour)
{
    if (widget == nullptr || colour < 0) {
        return;
    }
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, qcolour(colour));
    widget->setPalette(pal);
    if (widget == Label8) {
        m_label8 = colour;
    } else if (widget == Label9) {
        m_label9 = colour;
    }
}

void StyleEditor::set_swatch(int i, ColourValue colour)
{
    if (colour < 0 || Label2[i] == nullptr) {
        return;
    }
    m_swatch[i] = colour & 0xFFFFFF;
    set_swatch_widget(Label2[i], colour);
    if (i == 3 && sport_area()) {
        Text2[3]->setText(qs(value_to_hex(m_swatch[3], m_doc.kind)));
    }
}

bool StyleEditor::sport_area() const
{
    return m_doc.kind == ThemeKind::SportFitness && is_pgon;
}

void StyleEditor::Label2_MouseMove(int i)
{
    if (Label2[i] != nullptr) {
        Label2[i]->setToolTip("#" + qs(value_to_hex(m_swatch[i], ThemeKind::CarZumo)));
    }
}

bool StyleEditor::hover_allowed(int i) const
{
    return Check2->isChecked() && i != night_mode;
}

void StyleEditor::Form_MouseMove()
{
    if (!btn_hover()) {
        return;
    }
    for (auto* button : command1) {
        button->draw_button("", 0);
    }
    for (int i = 0; i < 2; ++i) {
        if (commandop[i]->back_colour() == QColor(250, 250, 250)) {
            commandop[i]->draw_button("", 0);
        }
    }
}

void StyleEditor::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

std::string& StyleEditor::line_colour()
{
    return night_mode == 1 ? ed_pri_night : ed_pri_day;
}

std::string& StyleEditor::border_colour()
{
    return night_mode == 1 ? ed_sec_night : ed_sec_day;
}

std::string StyleEditor::working_colours() const
{
    return ed_pri_day + "," + ed_sec_day + "," + ed_pri_night + "," + ed_sec_night;
}

void StyleEditor::Form_Load()
{
    StyleRow& r = row();
    const bool sport = m_doc.kind == ThemeKind::SportFitness;
    const bool car = !sport;
    night_mode = 0;
    is_pgon = false;
    if (sport) {
        applyall->hide();
        Check2->hide();
    }
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    // The caption under the row's sample in the main window is its element name.
    setWindowTitle("Tintwell " + qs(r.elem_name));
    if (car) {
        r.style_text = strip_night(m_doc, m_row);
    } else {
        strip_night(m_doc, m_row);
    }
    const std::string display = text::remove(text::remove(r.field_name, "MPM_"), "_CLR");
    const std::string lower_code = text::lower(r.style_text);
    if (!text::contains(lower_code, "night=") && !text::contains(lower_code, "night =")) {
        Check2->setChecked(false);
    }
    const std::string upper_code = text::upper(r.style_text);
    if (car) {
        // An area written with a scale (as the writer itself does) is still an area: the preview
        // draws it as a block, so the editor must not offer it as a line with border bars.
        std::string element = r.elem_name;
        is_pgon = !text::contains(upper_code, "SCALE") || pgon(m_doc, element);
        if (text::contains(upper_code, "SECONDARY")) {
            is_pgon = false;
        }
    } else {
        std::string name = text::upper(text::replace(display, "_", " "));
        is_pgon = !name.empty() && text::contains(text::upper(nwf_polygons), name);
        r.scale = "1";
        Label8->setVisible(is_pgon);
        Label9->setVisible(is_pgon);
    }
    // The box of the primary or secondary colour belongs to Sport & Fitness areas only.
    Text2[2]->setVisible(sport);
    const bool arrow = text::contains(upper_code, "ARRW");

    if (car && !is_pgon && text::contains(upper_code, "SECONDARY") && text::val(r.border) == 0) {
        r.border = r.scale;
    }
    if (text::trim(r.border).empty()) {
        r.border = "0";
    }
    Text1[1]->setText(qs(r.scale));
    Text1[0]->setText(sport ? "1" : qs(r.border));

    ed_sec_day = r.sec_day;
    ed_pri_day = r.pri_day;
    ed_sec_night = r.sec_night;
    ed_pri_night = r.pri_night;
    // Normalised as they are shown: an empty colour reads as black, a prefix is dropped.
    rev_hex(ed_sec_day, m_doc.kind);
    rev_hex(ed_pri_day, m_doc.kind);
    set_swatch_widget(Label9, hex_to_value(ed_sec_day, m_doc.kind).value_or(-1));
    set_swatch_widget(Label8, hex_to_value(ed_pri_day, m_doc.kind).value_or(-1));
    if (ed_pri_night == "-1") {
        Check2->setChecked(false);
    }

    Label4[0]->setText(qs(r.field_name));
    Label4[1]->setText(qs(r.pres_name));
    Label4[1]->setVisible(car);
    p5->setToolTip(" Click to select color ");

    if (car && !is_pgon && text::val(r.border) == 0) {
        pc4[0]->hide();
        ed_sec_day.clear();
    }
    if (r.scale.empty()) {
        pc4[1]->hide();
    }

    set_opt(0);
    plot_line(-1);

    if (arrow) {
        Text2[1]->setText(qs(ed_pri_day));
        Text2[0]->setText(qs(ed_sec_day));
        set_swatch(0, hex_to_value(ed_sec_day, m_doc.kind).value_or(-1));
        set_swatch(1, hex_to_value(ed_pri_day, m_doc.kind).value_or(-1));
        target = 1;
    } else {
        Text2[is_pgon ? 3 : 1]->setText(qs(value_to_hex(m_sample.scale_.colour, m_doc.kind)));
    }

    if (is_pgon) {
        Frame2->move(Frame1->pos());
        Frame1->hide();
        Frame2->show();
        target = 3;
    } else {
        Frame1->show();
        cur_col[1] = arrow ? m_swatch[1] : m_sample.scale_.colour;
        cur_col[0] = arrow ? m_swatch[0] : m_sample.bord[0].colour;
    }

    if (!(sport && is_pgon)) {
        Label2_MouseDown(1);
        reset_scrol();
        if (!is_pgon && !arrow) {
            Picture1->setToolTip("Click Line or Border ");
            Label5[0]->show();
        }
    }
    place_thumb(0, static_cast<int>(std::lround(text::val(ss(Text1[0]->text())) * twips_per_unit)));
    place_thumb(1, static_cast<int>(std::lround(text::val(ss(Text1[1]->text())) * twips_per_unit)));

    m_record.clear();
    add_(r.pri_day + "," + r.sec_day + "," + r.pri_night + "," + r.sec_night);

    if (is_pgon) {
        target = 3;
        ed_pri_day = r.pri_day;
        ed_sec_night = r.sec_night;
        ed_pri_night = r.pri_night;
        if (sport) {
            Text2[0]->setEnabled(true);
            Label2[0]->show();
            Label8_Click();
        }
    } else if (ed_sec_day.empty()) {
        Text1[0]->setEnabled(false);
        Text2[0]->setEnabled(false);
        Label2[0]->hide();
        pc4[0]->hide();
        Check3->setChecked(false);
    }
    if (Check2->isChecked()) {
        commandop[1]->draw_button("", 1);
        commandop[1]->draw_button("", 0);
    } else {
        commandop[1]->draw_button("", 12);
    }
    if (sport) {
        if (!is_pgon && r.border == "00" && r.bg_width.empty()) {
            Check3->setChecked(false);
            Text1[0]->setEnabled(false);
            Text2[0]->setEnabled(false);
            Label2[0]->hide();
            pc4[0]->hide();
            m_sample.bord[0].visible = m_sample.bord[1].visible = false;
            show_sample();
        }
        Text1[0]->setReadOnly(true);
        Text1[1]->setReadOnly(true);
        pc4[0]->hide();
        pc4[1]->hide();
    }
    shadestp();
    plot_markers(target, m_sample, marker_height);
    show_sample();
    Label1[1]->setVisible(sport || !is_pgon);
    m_undo->clear();
    // Opening a style is not a change to the theme.
    m_doc.modified = m_modified_at_open;
}

void StyleEditor::set_opt(int night)
{
    QLabel* caption = is_pgon ? Label7 : label6;
    if (night == 0) {
        commandop[0]->draw_button("Day", 12);
        commandop[1]->draw_button("Night", 0);
        caption->setText("DAY");
        Check2->setEnabled(true);
    } else {
        commandop[0]->draw_button("Day", 0);
        commandop[1]->draw_button("Night", 12);
        caption->setText("NIGHT");
        Check2->setEnabled(false);
    }
}

void StyleEditor::set_nwfcols(const std::string& colour)
{
    if (night_mode == 0) {
        (nwf_sec == 0 ? ed_pri_day : ed_sec_day) = colour;
    } else {
        (nwf_sec == 0 ? ed_pri_night : ed_sec_night) = colour;
    }
}

void StyleEditor::reset_scrol()
{
    // The readouts of the colour adjusters start again from a newly picked base colour.
    for (auto* t : Text5) {
        t->setText("0");
    }
}

void StyleEditor::place_thumb(int i, int left_twips)
{
    m_thumb[i] = std::clamp(left_twips, 0, thumb_travel);
    scrol[i]->move(px(m_thumb[i]), 0);
}

void StyleEditor::plot_line(int shade)
{
    const bool sport = m_doc.kind == ThemeKind::SportFitness;
    const bool night = night_mode == 1;
    SampleInput in;
    in.kind = m_doc.kind;
    in.night_mode = night_mode;
    in.field_name = ss(Label4[0]->text());
    in.ed_pri_day = ed_pri_day;
    in.ed_sec_day = ed_sec_day;
    in.ed_pri_night = ed_pri_night;
    in.ed_sec_night = ed_sec_night;
    in.border_text = ss(Text1[0]->text());
    in.scale_text = ss(Text1[1]->text());
    in.border_on = Check3->isChecked();
    in.border_box_visible = !Text1[0]->isHidden();
    in.is_pgon = is_pgon;
    in.target = target;
    in.width = picture1_width;
    in.height = picture1_height;
    in.marker_height = marker_height;

    if (is_pgon && sport) {
        const std::string& shown = nwf_sec == 0 ? (night ? ed_pri_night : ed_pri_day)
                                                : (night ? ed_sec_night : ed_sec_day);
        set_swatch_widget(
            nwf_sec == 0 ? Label8 : Label9, hex_to_value(shown, m_doc.kind).value_or(-1));
        Text2[2]->setText(qs(shown));
        tintwell::plot_line(in, m_sample);
        show_sample();
        shadestp();
        return;
    }
    tintwell::plot_line(in, m_sample);
    is_pgon = m_sample.is_pgon;
    if (!night && !is_pgon && m_sample.form != EditorSample::Form::Arrow) {
        Text2[0]->setText(qs(ed_sec_day));
        Text2[1]->setText(qs(ed_pri_day));
    } else if (is_pgon) {
        Text2[sport ? 2 : 3]->setText(qs(night ? ed_pri_night : ed_pri_day));
    }
    const auto value = [this](const std::string& c) {
        return hex_to_value(c, m_doc.kind).value_or(-1);
    };
    if (m_sample.form == EditorSample::Form::Arrow || is_pgon) {
        set_swatch(0, value(night ? ed_sec_night : ed_sec_day));
        set_swatch(1, value(night ? ed_pri_night : ed_pri_day));
    } else {
        set_swatch(0, m_sample.bord[0].colour);
        set_swatch(1, m_sample.scale_.colour);
    }
    if (is_pgon) {
        target = 3;
        set_swatch(3, value(night ? ed_pri_night : ed_pri_day));
    }
    show_sample();
    if (shade == -1) {
        shadestp();
    }
}

void StyleEditor::show_sample()
{
    QtCanvas canvas(px(picture1_width), px(picture1_height));
    if (m_sample.form == EditorSample::Form::Arrow) {
        const bool night = night_mode == 1;
        plotarw(canvas, night ? ed_pri_night : ed_pri_day, night ? ed_sec_night : ed_sec_day,
            ss(Text1[1]->text()), ss(Text1[0]->text()), m_doc.kind);
    } else {
        draw_editor_sample(canvas, m_sample);
    }
    m_sample_image = canvas.image().copy();
    Picture1->update();
    for (int i = 0; i < 2; ++i) {
        Label5[i]->move(Label5[i]->x(), Picture1->y() + px(m_sample.marker_top[i]));
    }
    if (m_sample.form != EditorSample::Form::Line) {
        Label5[0]->hide();
        Label5[1]->hide();
        return;
    }
    Label5[1]->setVisible(m_sample.marker_visible[1]);
    if (m_sample.marker_visible[1]) {
        Label5[0]->show();
    }
}

void StyleEditor::shadestp()
{
    BusyPointer busy;
    const bool sport_area = m_doc.kind == ThemeKind::SportFitness && is_pgon;
    const ColourValue base = sport_area ? m_swatch[3] : m_swatch[std::clamp(target, 0, 3)];
    const auto bands = shade_ladder(base);
    const int w = ladder_band_width(ladder_width);
    QPainter p(&m_ladder_image);
    p.scale(1.0 / twips_in_pixel, 1.0 / twips_in_pixel);
    for (int k = 0; k < ladder_bands; ++k) {
        p.fillRect(QRectF(k * w, 0, w, ladder_height * 2), qcolour(bands[k]));
    }
    p.end();
    Picture5->update();
    m_pointer_left = ladder_width / 2 - pointer_width / 2;
    pointer1->move(Picture5->x() + px(m_pointer_left), pointer1->y());
}

void StyleEditor::shades_check(ColourValue colour)
{
    BusyPointer busy;
    if (!shades_(colour)) {
        Shape12->hide();
    }
}

void StyleEditor::plotcols(ColourValue colour)
{
    reset_scrol();
    const std::string s = value_to_hex(colour, m_doc.kind);
    if (m_doc.kind == ThemeKind::SportFitness && is_pgon) {
        Text2[2]->setText(qs(s));
        set_swatch(3, colour);
        set_nwfcols(s);
        const bool night = night_mode == 1;
        set_swatch_widget(
            Label8, hex_to_value(night ? ed_pri_night : ed_pri_day, m_doc.kind).value_or(-1));
        set_swatch_widget(
            Label9, hex_to_value(night ? ed_sec_night : ed_sec_day, m_doc.kind).value_or(-1));
        m_doc.modified = true;
        shadestp();
        return;
    }
    if (target == 1 || (is_pgon && m_doc.kind == ThemeKind::CarZumo)) {
        line_colour() = s;
        Text2[is_pgon ? 3 : 1]->setText(qs(s));
        cur_col[1] = colour;
    } else if (!is_pgon) {
        border_colour() = s;
        Text2[0]->setText(qs(s));
        cur_col[0] = colour;
    }
    plot_line(-1);
    m_doc.modified = true;
}

void StyleEditor::add_(const std::string& colours)
{
    if (Frame1->isHidden()) {
        target = 1;
    }
    std::string tag = target == 1 ? "c" : "bc";
    if (night_mode == 1) {
        tag = "n" + tag;
    }
    std::string record =
        tag + "," + colours + "," + ss(Text1[1]->text()) + "," + ss(Text1[0]->text());
    if (m_record.empty()) {
        m_record = record;
        return;
    }
    m_undo->push(new RecordCommand(this, m_record, record));
    m_record = record;
    if (is_pgon) {
        target = 3;
    }
}

void StyleEditor::apply_record(const std::string& record)
{
    const auto f = text::split(record, ",");
    if (f.size() < 7) {
        return;
    }
    target = text::contains(f[0], "bc") ? 0 : 1;
    // The window comes back in the mode of the step, so the caption, the buttons and the
    // colour the next pick changes all agree.
    night_mode = text::contains(f[0], "n") ? 1 : 0;
    if (night_mode == 1) {
        Check2->setChecked(true);
    }
    set_opt(night_mode);
    ed_pri_day = f[1];
    ed_sec_day = f[2];
    ed_pri_night = f[3];
    ed_sec_night = f[4];
    Text1[1]->setText(qs(text::upper(f[5])));
    Text1[0]->setText(qs(text::upper(f[6])));
    place_thumb(0, static_cast<int>(std::lround(text::val(f[6]) * twips_per_unit)));
    place_thumb(1, static_cast<int>(std::lround(text::val(f[5]) * twips_per_unit)));
    if (is_pgon) {
        target = 3;
    }
    m_record = record;
    if (!is_pgon) {
        Text2[0]->setText(qs(border_colour()));
        Text2[1]->setText(qs(line_colour()));
    }
    const std::string& restored = (target == 0) ? border_colour() : line_colour();
    if (const auto value = hex_to_value(restored, m_doc.kind)) {
        plotcols(*value);
    } else {
        plot_line(-1);
    }
}

void StyleEditor::und(int index)
{
    if (m_in_undo) {
        return;
    }
    m_in_undo = true;
    BusyPointer busy;
    if (index == 0 && m_undo->canUndo()) {
        m_undo->undo();
    } else if (index == 1 && m_undo->canRedo()) {
        m_undo->redo();
    }
    m_in_undo = false;
}

void StyleEditor::Label2_MouseDown(int i)
{
    if (Label2[i] == nullptr) {
        return;
    }
    QWidget* frame = Label2[i]->parentWidget();
    if (Shape2->parentWidget() != frame) {
        Shape2->setParent(frame);
    }
    const QRect g = Label2[i]->geometry();
    Shape2->setGeometry(g.adjusted(-px(24), -px(24), px(24), px(24)));
    Shape2->show();
    Shape2->raise();
    target = i;
    plot_markers(target, m_sample, marker_height);
    plotcols(m_swatch[i]);
}

void StyleEditor::Labc_MouseDown(int i)
{
    reset_scrol();
    const ColourValue colour = col256()[static_cast<std::size_t>(i)].colour;
    const std::string s = value_to_hex(colour, m_doc.kind);
    if (sport_area()) {
        // plotcols stores it in the part picked with Label8 or Label9, and only there.
    } else if (target == 1 || is_pgon) {
        line_colour() = s;
        cur_col[1] = colour;
        Text2[is_pgon ? 3 : 1]->setText(qs(s));
    } else {
        border_colour() = s;
        cur_col[0] = colour;
        Text2[0]->setText(qs(s));
    }
    Shape12->move(Labc[i]->pos() - QPoint(px(10), px(10)));
    Shape12->show();
    Shape12->raise();
    shades_check(colour);
    plotcols(colour);
    // plotcols hides the frame for any pick; a palette colour keeps it.
    if (shades_(colour)) {
        Shape12->show();
    }
    add_(working_colours());
}

void StyleEditor::p5_pick(QPoint pos, bool press)
{
    const ColourValue c = pixel_at(m_field_image, pos);
    if (c == -1) {
        return;
    }
    if (press) {
        plotcols(c);
        add_(working_colours());
        return;
    }
    if (sport_area()) {
        plotcols(c);
        return;
    }
    reset_scrol();
    const std::string s = value_to_hex(c, m_doc.kind);
    if (target == 1 || is_pgon) {
        line_colour() = s;
        Text2[is_pgon ? 3 : 1]->setText(qs(s));
    } else {
        border_colour() = s;
        Text2[0]->setText(qs(s));
    }
    Shape12->hide();
    plot_line(0);
}

void StyleEditor::pointer1_drag(int x_twips)
{
    const int left = std::clamp(x_twips / 15 * 15, 0, ladder_width - pointer_width);
    m_pointer_left = left;
    pointer1->move(Picture5->x() + px(left), pointer1->y());
    const ColourValue c = pixel_at(m_ladder_image, QPoint(px(left + pointer_width / 2), px(100)));
    if (c == -1) {
        return;
    }
    if (is_pgon || target == 1) {
        m_sample.scale_.colour = c;
    } else {
        m_sample.bord[0].colour = m_sample.bord[1].colour = c;
    }
    show_sample();
}

void StyleEditor::pointer1_MouseUp()
{
    const ColourValue colour =
        (is_pgon || target == 1) ? m_sample.scale_.colour : m_sample.bord[0].colour;
    const std::string s = value_to_hex(colour, m_doc.kind);
    if (m_doc.kind == ThemeKind::SportFitness && is_pgon) {
        set_swatch_widget(nwf_sec == 1 ? Label9 : Label8, colour);
        set_nwfcols(s);
    } else if (is_pgon || target == 1) {
        line_colour() = s;
        Text2[is_pgon ? 3 : 1]->setText(qs(s));
        set_swatch(is_pgon ? 3 : 1, colour);
        cur_col[1] = colour;
    } else {
        border_colour() = s;
        Text2[0]->setText(qs(s));
        set_swatch(0, colour);
        cur_col[0] = colour;
    }
    m_doc.modified = true;
    plot_line(-1);
    reset_scrol();
    add_(working_colours());
}

void StyleEditor::Picture5_MouseUp(QPoint pos)
{
    const ColourValue c = pixel_at(m_ladder_image, pos);
    if (c == -1) {
        return;
    }
    m_pointer_left = std::clamp(tw(pos.x()) - pointer_width / 2, 0, ladder_width - pointer_width);
    pointer1->move(Picture5->x() + px(m_pointer_left), pointer1->y());
    if (sport_area()) {
        plotcols(c);
        add_(working_colours());
        return;
    }
    const std::string s = value_to_hex(c, m_doc.kind);
    if (target == 1 || is_pgon) {
        set_swatch(is_pgon ? 3 : 1, c);
        line_colour() = s;
        Text2[is_pgon ? 3 : 1]->setText(qs(s));
        cur_col[1] = c;
    } else {
        set_swatch(0, c);
        border_colour() = s;
        Text2[0]->setText(qs(s));
        cur_col[0] = c;
    }
    m_doc.modified = true;
    plot_line(0);
    add_(working_colours());
}

void StyleEditor::Text2_Enter(int i)
{
    std::string t = ss(Text2[i]->text());
    if (t.size() > 6) {
        m_prompter.message(length_message);
        t = text::left(t, 6);
    }
    // A short entry means leading zeros; the style keeps all six digits.
    if (t.size() < 6) {
        t.insert(0, 6 - t.size(), '0');
    }
    Text2[i]->setText(qs(t));
    const ColourValue colour = hex_to_value(t, m_doc.kind).value_or(0);
    // In a Sport & Fitness area both boxes stand for the part picked with Label8 or Label9.
    const bool nwf_part = (i == 2 || i == 3) && sport_area();
    if (nwf_part) {
        set_swatch(3, colour);
        set_nwfcols(t);
    } else {
        set_swatch(i, colour);
    }
    pending[i] = false;
    reset_scrol();
    if (nwf_part) {
        cur_col[1] = colour;
    } else if (i == 1 || is_pgon) {
        line_colour() = t;
        cur_col[1] = colour;
    } else {
        border_colour() = t;
        cur_col[0] = colour;
    }
    if (!shades_(colour)) {
        Shape12->hide();
    }
    plot_line(-1);
    m_doc.modified = true;
    add_(working_colours());
}

void StyleEditor::Text1_Enter(int i)
{
    const double v = text::val(ss(Text1[i]->text()));
    if (!in_range(v)) {
        m_prompter.message(range_message);
        return;
    }
    plot_line(0);
    place_thumb(i, static_cast<int>(std::lround(v * twips_per_unit)));
    add_(working_colours());
}

void StyleEditor::scrol_drag(int i, int left_twips)
{
    const int left = std::clamp(left_twips / 15 * 15, 0, thumb_travel);
    m_thumb[i] = left;
    scrol[i]->move(px(left), 0);
    const int n = std::max(
        1, static_cast<int>(std::nearbyint(static_cast<double>(left) / thumb_travel * 250)));
    Text1[i]->setText(number_text(n / 100.0));
    plot_line(0);
}

void StyleEditor::scrol_MouseUp(int)
{
    add_(working_colours());
}

void StyleEditor::commandop_Click(int i)
{
    if (commandop[i]->caption_colour() == qcolour(grey_caption)) {
        return;
    }
    for (int k = 0; k < 4; ++k) {
        if (pending[k]) {
            Text2[k]->setFocus();
            m_prompter.message(pending_message);
            return;
        }
    }
    night_mode = i;
    const bool sport = m_doc.kind == ThemeKind::SportFitness;
    const auto blank = [](const std::string& s) { return s.empty() || s == "-1"; };
    if (i == 1) {
        set_opt(1);
        if (sport) {
            Check3->setChecked(row().border == "ff");
        }
        if (blank(ed_sec_night)) {
            ed_sec_night = "000000";
        }
        Text2[0]->setText(qs(ed_sec_night));
        if (blank(ed_pri_night)) {
            ed_pri_night = "FFFF00";
        }
        Text2[1]->setText(qs(ed_pri_night));
    } else {
        set_opt(0);
        Text2[1]->setText(qs(ed_pri_day));
        if (blank(ed_sec_day) && Check3->isChecked()) {
            ed_sec_day = "000000";
        }
        Text2[0]->setText(qs(ed_sec_day));
        if (sport && !is_pgon) {
            Check3->setChecked(row().border == "ff");
        }
    }
    if (is_pgon) {
        Text2[3]->setText(qs(line_colour()));
    }
    if (sport && is_pgon) {
        const bool night = i == 1;
        set_swatch_widget(
            Label8, hex_to_value(night ? ed_pri_night : ed_pri_day, m_doc.kind).value_or(-1));
        set_swatch_widget(
            Label9, hex_to_value(night ? ed_sec_night : ed_sec_day, m_doc.kind).value_or(-1));
        set_swatch(3, nwf_sec == 1 ? m_label9 : m_label8);
        Text2[2]->setText(qs(nwf_sec == 1 ? (night ? ed_sec_night : ed_sec_day)
                                          : (night ? ed_pri_night : ed_pri_day)));
    }
    plot_line(-1);
    if (!is_pgon) {
        set_swatch(1,
            m_sample.form == EditorSample::Form::Arrow
                ? hex_to_value(line_colour(), m_doc.kind).value_or(-1)
                : m_sample.scale_.colour);
    }
    add_(working_colours());
}

void StyleEditor::Check1_Click()
{
    if (!Check1->isChecked()) {
        return;
    }
    Text2[0]->setText(Text2[1]->text());
    Text2_Enter(0);
}

void StyleEditor::Check2_MouseUp()
{
    commandop[1]->draw_button("", Check2->isChecked() ? 0 : 12);
}

void StyleEditor::Check3_MouseUp()
{
    const bool on = Check3->isChecked();
    const bool sport = m_doc.kind == ThemeKind::SportFitness;
    const bool arrow = m_sample.form == EditorSample::Form::Arrow;
    Text1[0]->setEnabled(on);
    Text2[0]->setEnabled(on);
    Label2[0]->setVisible(on);
    Text2[0]->setVisible(on);
    pc4[0]->setVisible(on && !sport);
    if (!arrow) {
        Check1->setVisible(on);
    }
    if (sport) {
        (night_mode == 1 ? row().nwf_border : row().border) = on ? "ff" : "00";
    }
    if (on) {
        if (text::val(ss(Text1[0]->text())) == 0) {
            Text1[0]->setText(".60");
        }
        place_thumb(
            0, static_cast<int>(std::lround(text::val(ss(Text1[0]->text())) * twips_per_unit)));
        if (!sport) {
            std::string& border = night_mode == 1 ? ed_sec_night : ed_sec_day;
            if (border.empty() || border == "-1") {
                border = "C0C0C0";
            }
        }
    } else if (!sport) {
        border_colour().clear();
    }
    Label2_MouseDown(1);
    plot_line(-1);
}

void StyleEditor::Label8_Click()
{
    nwf_sec = 0;
    const bool night = night_mode == 1;
    set_swatch(3, hex_to_value(night ? ed_pri_night : ed_pri_day, m_doc.kind).value_or(-1));
    Text2[2]->setText(qs(night ? ed_pri_night : ed_pri_day));
    Label5[2]->move(Label8->x() - px(330), Label8->y());
    Label5[2]->show();
    shadestp();
}

void StyleEditor::Label9_Click()
{
    nwf_sec = 1;
    const bool night = night_mode == 1;
    set_swatch(3, hex_to_value(night ? ed_sec_night : ed_sec_day, m_doc.kind).value_or(-1));
    Text2[2]->setText(qs(night ? ed_sec_night : ed_sec_day));
    Label5[2]->move(Label9->x() - px(330) + px(570) + px(60), Label9->y());
    Label5[2]->show();
    shadestp();
}

std::string StyleEditor::get_code(int row_index)
{
    if (!m_doc.valid_row(row_index)) {
        return {};
    }
    StyleRow& r = m_doc.rows[static_cast<std::size_t>(row_index)];
    const std::string field = ss(Label4[0]->text());
    const std::string q(1, text::quote);
    const std::string crlf(text::crlf);
    const bool border_shown = !Text1[0]->isHidden();
    // A style without night colours keeps "-1" in its row; only the text leaves them out.
    std::string pri_night = r.pri_night;
    std::string sec_night = r.sec_night;
    if (text::contains(pri_night, "-1")) {
        pri_night.clear();
        sec_night.clear();
    }
    const bool sport = m_doc.kind == ThemeKind::SportFitness;
    if (Check2->isChecked()) {
        if (sec_night.empty()) {
            sec_night = r.sec_night = ed_sec_night = "000000";
        }
        if (pri_night.empty()) {
            pri_night = r.pri_night = ed_pri_night = sport ? "ffff00" : "FFFF00";
        }
    }
    std::string code;
    if (!sport) {
        code = "FIELD=" + field;
        if (!r.scale.empty()) {
            code += " scale=" + q + r.scale + q;
        }
        if (border_shown && !r.border.empty()) {
            code += " border=" + q + r.border + q;
        }
        code += " />" + crlf + "<COLOR>" + crlf + "<PRIMARY ";
        const auto colours = [&](const std::string& day, const std::string& night) {
            if (!day.empty()) {
                code += " day=" + q + "#" + text::upper(day) + q;
            }
            if (!night.empty()) {
                code += " night=" + q + "#" + text::upper(night) + q;
            }
            code += " />" + crlf;
        };
        colours(r.pri_day, pri_night);
        if (!r.border.empty() && border_shown) {
            code += "<SECONDARY ";
            colours(r.sec_day, sec_night);
        }
        code += "</COLOR>" + crlf + "</STYLE>";
        return code;
    }
    code = "field=" + q + field + q + " >" + "<color>" + "<primary ";
    if (r.pri_day.empty()) {
        r.pri_day = "CECECE";
    }
    if (pri_night.empty()) {
        pri_night = "CECECE";
        if (r.pri_night.empty()) {
            r.pri_night = "CECECE";
        }
    }
    code += " day=" + q + "#ff" + text::lower(r.pri_day) + q;
    code += " night=" + q + "#ff" + text::lower(pri_night) + q;
    code += " /><secondary ";
    if (!r.sec_day.empty()) {
        code += " day=" + q + "#" + text::lower(r.border) + text::lower(r.sec_day) + q;
    }
    if (!sec_night.empty()) {
        code += " night=" + q + "#" + text::lower(r.nwf_border) + text::lower(sec_night) + q;
    }
    code += " /></color></style>";
    return code;
}

void StyleEditor::applytoall()
{
    StyleRow& r = row();
    r.scale = ss(Text1[1]->text());
    if (Check3->isChecked()) {
        r.border = m_doc.kind == ThemeKind::SportFitness ? "ff" : ss(Text1[0]->text());
    } else {
        r.border.clear();
        ed_sec_day.clear();
    }
    r.sec_day = ed_sec_day;
    r.pri_day = ed_pri_day;
    r.sec_night = ed_sec_night;
    r.pri_night = ed_pri_night;
    const StyleRow edited = r;
    for (int k = 0; k < m_doc.row_count(); ++k) {
        StyleRow& other = m_doc.rows[static_cast<std::size_t>(k)];
        if (k == m_row || other.field_name != edited.field_name) {
            continue;
        }
        other.scale = edited.scale;
        other.border = edited.border;
        other.sec_day = edited.sec_day;
        other.pri_day = edited.pri_day;
        other.sec_night = edited.sec_night;
        other.pri_night = edited.pri_night;
        other.style_text = edited.style_text;
    }
}

void StyleEditor::command1_Click(int i)
{
    if (i == 0) {
        m_doc.modified = m_modified_at_open;
        reject();
        return;
    }
    for (int k = 0; k < 4; ++k) {
        if (pending[k]) {
            Text2[k]->setFocus();
            m_prompter.message(pending_message);
            return;
        }
    }
    StyleRow& r = row();
    const bool car = m_doc.kind == ThemeKind::CarZumo;
    if (!is_pgon) {
        const auto check = [this](QLineEdit* box) {
            const double v = text::val(ss(box->text()));
            if (in_range(v)) {
                return true;
            }
            m_prompter.message(ss("(" + number_text(v) + apply_range_tail));
            return false;
        };
        if (Check3->isChecked() && !check(Text1[0])) {
            return;
        }
        if (!check(Text1[1])) {
            return;
        }
        r.scale = ss(Text1[1]->text());
    }
    if (car && !is_pgon) {
        if (Check3->isChecked()) {
            r.border = ss(Text1[0]->text());
        } else {
            // No border: the style loses its border value and both border colours, so no
            // secondary colour is written for it.
            r.border.clear();
            ed_sec_day.clear();
            ed_sec_night.clear();
        }
    }
    if (text::contains(ed_pri_night, "-1")) {
        ed_pri_night = "-1";
    }
    r.sec_day = ed_sec_day;
    r.pri_day = ed_pri_day;
    r.sec_night = ed_sec_night;
    r.pri_night = ed_pri_night;
    if (!Check2->isChecked()) {
        r.pri_night = ed_pri_night = "-1";
    } else if (r.pri_night == "-1") {
        ed_pri_night = ed_pri_day;
        ed_sec_night = ed_sec_day;
    }
    m_applied = true;
    m_doc.modified = true;
    r.style_text = get_code(m_row);
    if (car && applyall->isChecked()) {
        applytoall();
    }
    accept();
}

void StyleEditor::closeEvent(QCloseEvent* event)
{
    m_undo->clear();
    QDialog::closeEvent(event);
}

bool StyleEditor::key_allowed_in_hex(int key, const QString& text) const
{
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Return
        || key == Qt::Key_Enter) {
        return true;
    }
    if (text.size() != 1) {
        return false;
    }
    return QString("ABCDEF0123456789").contains(text.toUpper());
}

int StyleEditor::text_index(QObject* watched, const auto& boxes) const
{
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i] == watched) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool StyleEditor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (const int i = text_index(watched, commandop); i >= 0) {
        // The button of the current mode, and Night while night colours are off, keep their
        // greyed look under the pointer, which counts as being over the window background.
        if ((type == QEvent::MouseMove || type == QEvent::Leave) && !hover_allowed(i)) {
            if (type == QEvent::MouseMove) {
                Form_MouseMove();
            }
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (type == QEvent::Enter || type == QEvent::MouseMove || type == QEvent::ToolTip) {
        if (const int i = text_index(watched, Label2); i >= 0) {
            Label2_MouseMove(i);
        }
    }
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (const int i = text_index(watched, Text2); i >= 0) {
            if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right
                || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab
                || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
                return false;
            }
            if (!key_allowed_in_hex(key->key(), key->text())) {
                return true;
            }
            m_doc.modified = true;
            // The fill box of an area counts too: Apply must not drop a colour typed there.
            pending[i] = true;
            if (enter) {
                Text2_Enter(i);
                return true;
            }
            return false;
        }
        if (const int i = text_index(watched, Text1); i >= 0 && enter) {
            Text1_Enter(i);
            return true;
        }
        return false;
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove
        || type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            if (const int i = text_index(watched, Labc); i >= 0) {
                Labc_MouseDown(i);
                return true;
            }
            if (const int i = text_index(watched, Label2); i >= 0) {
                Label2_MouseDown(i);
                return true;
            }
            if (watched == Label8 && m_doc.kind == ThemeKind::SportFitness) {
                Label8_Click();
                return true;
            }
            if (watched == Label9 && m_doc.kind == ThemeKind::SportFitness) {
                Label9_Click();
                return true;
            }
        }
        const bool dragging = mouse->buttons() & Qt::LeftButton;
        if (const int i = text_index(watched, scrol); i >= 0) {
            if (type == QEvent::MouseMove && dragging) {
                const QPoint at = scrol[i]->mapToParent(mouse->position().toPoint());
                scrol_drag(i, tw(at.x()) - thumb_width / 2);
            } else if (type == QEvent::MouseButtonRelease) {
                scrol_MouseUp(i);
            }
            return type != QEvent::MouseButtonPress;
        }
        if (watched == pointer1) {
            if (type == QEvent::MouseMove && dragging) {
                const QPoint at = pointer1->mapToParent(mouse->position().toPoint());
                pointer1_drag(tw(at.x() - Picture5->x()) - pointer_width / 2);
            } else if (type == QEvent::MouseButtonRelease) {
                pointer1_MouseUp();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void register_style_editor(EditorLauncher& launcher)
{
    launcher.register_editor(EditorKind::Style, [](QWidget* parent, Document& doc, int row) {
        doc.cur_row = row;
        MessageBoxPrompter prompter(parent);
        StyleEditor editor(doc, prompter, parent);
        cent(editor);
        editor.exec();
        return editor.applied();
    });
}

} // namespace tintwell
