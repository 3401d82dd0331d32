// The style editor's controls: where they sit (design sizes in twips), their object names and
// how their signals reach the handlers.
#include "ui/editor/style_editor_controls.h"

#include "model/text.h"
#include "ui/common/colour_chart.h"
#include "ui/common/latin1.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/qt_colour.h"
#include "ui/common/twips.h"
#include "ui/editor/picking_widgets.h"
#include "ui/editor/style_editor.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QUndoStack>
#include <cmath>

namespace tintwell {

namespace {

constexpr const char* enter_hint = "Press Enter to Change Color";
constexpr int group_left = 10100;
constexpr int palette_top = 4080;
constexpr int field_width = 1000;
constexpr int field_height = 3072;

QLabel* label(QWidget* parent, const QString& name, const QString& caption, QRect place)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(place);
    return l;
}

QLabel* bold_label(QWidget* parent, const QString& name, const QString& caption, QRect place)
{
    QLabel* l = label(parent, name, caption, place);
    l->setStyleSheet("font-weight: bold;");
    return l;
}

QFrame* group(QWidget* parent, const char* name, QRect place)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(place);
    return frame;
}

QCheckBox* check_box(QWidget* parent, const char* name, const QString& caption, QRect place)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

} // namespace

void StyleEditor::build_controls()
{
    setFixedSize(px(14600), px(8400));
    // The control widths were laid out for this font, not for whatever the desktop uses.
    QFont font;
    font.setFamilies({ "MS Sans Serif", "Liberation Sans", "Arial" });
    font.setPointSize(8);
    setFont(font);
    // Moves over the window background take the hover look off the buttons (eventFilter).
    setMouseTracking(true);
    installEventFilter(this);

    m_sample_image =
        QImage(px(editor_sample_width), px(editor_sample_height), QImage::Format_RGB32);
    m_sample_image.fill(QColor(240, 240, 240));
    m_ui.sample_box = new ImageBox(&m_sample_image, this);
    m_ui.sample_box->setObjectName("Picture1");
    m_ui.sample_box->setGeometry(tw_rect(480, 600, editor_sample_width, editor_sample_height));
    m_ui.sample_box->set_framed(true);
    connect(m_ui.sample_box, &ImageBox::pressed, this, [this](QPoint p, Qt::MouseButtons) {
        // A press on the body bar picks the line part, one on a border bar the border part.
        const int x = tw(p.x());
        const int y = tw(p.y());
        if (m_sample.form == EditorSample::Form::Arrow || m_sample.is_pgon) {
            return;
        }
        if (m_sample.scale_.visible && m_sample.scale_.rect.contains(x, y)) {
            Label2_MouseDown(EditedPart::Line);
        } else if ((m_sample.bord[0].visible && m_sample.bord[0].rect.contains(x, y))
            || (m_sample.bord[1].visible && m_sample.bord[1].rect.contains(x, y))) {
            Label2_MouseDown(EditedPart::Border);
        }
    });
    for (int i = 0; i < 2; ++i) {
        m_ui.markers[i] = label(
            this, QString("Label5_%1").arg(i), ">", tw_rect(120, 600, 330, editor_marker_height));
        m_ui.markers[i]->setStyleSheet("font-weight: bold; font-size: 16pt; color: #c00000;");
        m_ui.markers[i]->hide();
    }
    m_ui.field_label = bold_label(this, "Label4_0", "", tw_rect(480, 120, 5000, 300));
    m_ui.presentation_label = label(this, "Label4_1", "", tw_rect(5600, 120, 4200, 300));

    build_swatches();
    build_values();
    build_buttons();
    build_pickers();
}

void StyleEditor::build_swatches()
{
    const auto swatch = [this](QWidget* parent, const QString& name, QRect place) {
        QLabel* l = label(parent, name, "", place);
        l->setAutoFillBackground(true);
        l->setFrameShape(QFrame::Box);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        return l;
    };
    const auto hex_box = [this](QWidget* parent, HexField box, QRect place) {
        auto* t = new HexBox(parent);
        t->setObjectName(QString("Text2_%1").arg(index_of(box)));
        t->setGeometry(place);
        t->setToolTip(enter_hint);
        connect(t, &HexBox::typed, this, [this, box] {
            // The fill box of an area counts too: Apply must not drop a colour typed there.
            m_state.pending[index_of(box)] = true;
        });
        connect(t, &HexBox::entered, this, [this, box] { Text2_Enter(box); });
        m_ui.hex_boxes[index_of(box)] = t;
        return t;
    };

    m_ui.line_group = group(this, "Frame1", tw_rect(group_left, 120, 4300, 3000));
    m_ui.line_mode_caption =
        bold_label(m_ui.line_group, "label6", "DAY", tw_rect(120, 120, 1200, 300));
    m_ui.swatches[1] = swatch(m_ui.line_group, "Label2_1", tw_rect(120, 520, 570, 345));
    hex_box(m_ui.line_group, HexField::Line, tw_rect(780, 520, 1100, 345));
    m_ui.line_colour_caption =
        label(m_ui.line_group, "Label1_1", "Line colour", tw_rect(1980, 540, 2200, 300));
    m_ui.swatches[0] = swatch(m_ui.line_group, "Label2_0", tw_rect(120, 1000, 570, 345));
    hex_box(m_ui.line_group, HexField::Border, tw_rect(780, 1000, 1100, 345));
    label(m_ui.line_group, "Label1_0", "Border colour", tw_rect(1980, 1020, 2200, 300));

    m_ui.area_group = group(this, "Frame2", tw_rect(group_left, 3300, 4300, 3000));
    m_ui.area_group->hide();
    m_ui.area_mode_caption =
        bold_label(m_ui.area_group, "Label7", "DAY", tw_rect(120, 120, 1200, 300));
    m_ui.swatches[3] = swatch(m_ui.area_group, "Label2_3", tw_rect(120, 520, 570, 345));
    hex_box(m_ui.area_group, HexField::Fill, tw_rect(780, 520, 1100, 345));
    label(m_ui.area_group, "Label1_4", "Fill colour", tw_rect(1980, 540, 2200, 300));
    m_ui.primary_part_swatch = swatch(m_ui.area_group, "Label8", tw_rect(450, 1100, 570, 345));
    m_ui.secondary_part_swatch = swatch(m_ui.area_group, "Label9", tw_rect(1200, 1100, 570, 345));
    m_ui.primary_part_swatch->hide();
    m_ui.secondary_part_swatch->hide();
    hex_box(m_ui.area_group, HexField::AreaPart, tw_rect(1950, 1100, 1100, 345));
    m_ui.markers[2] =
        label(m_ui.area_group, "Label5_2", ">", tw_rect(120, 1080, 330, editor_marker_height));
    m_ui.markers[2]->hide();

    m_ui.part_outline = new QFrame(m_ui.line_group);
    m_ui.part_outline->setObjectName("Shape2");
    m_ui.part_outline->setStyleSheet("border: 2px solid #c00000; background: transparent;");
    m_ui.part_outline->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_ui.part_outline->hide();
}

void StyleEditor::build_values()
{
    // Border width and scale are numbers with a point: "1,5" cannot be typed.
    const QRegularExpression number("[0-9]*\\.?[0-9]*");
    for (const ValueBox role : { ValueBox::Border, ValueBox::Scale }) {
        const int i = static_cast<int>(index_of(role));
        const int top = 1480 + 420 * i;
        auto* box = new QLineEdit(m_ui.line_group);
        box->setObjectName(QString("Text1_%1").arg(i));
        box->setGeometry(tw_rect(120, top, 780, 330));
        box->setValidator(new QRegularExpressionValidator(number, box));
        box->installEventFilter(this);
        (i == 0 ? m_ui.border_box : m_ui.scale_box) = box;

        auto* slider = new ValueSlider(i, m_ui.line_group);
        slider->move(tw_rect(1000, top + 45, 0, 0).topLeft());
        connect(slider, &ValueSlider::pressed, this, [this] { m_history.begin_gesture(); });
        connect(slider, &ValueSlider::dragged, this,
            [this, role](int left) { scrol_drag(role, left); });
        connect(slider, &ValueSlider::released, this, [this, role] { scrol_MouseUp(role); });
        m_ui.sliders[static_cast<std::size_t>(i)] = slider;

        label(m_ui.line_group, i == 0 ? "Label1_2" : "Label1_3", i == 0 ? "Border" : "Scale",
            tw_rect(3100, top + 15, 1100, 300));
        m_ui.adjust_readouts[static_cast<std::size_t>(i)] = new QLineEdit(m_ui.line_group);
        m_ui.adjust_readouts[static_cast<std::size_t>(i)]->setObjectName(
            QString("Text5_%1").arg(i));
        m_ui.adjust_readouts[static_cast<std::size_t>(i)]->hide();
    }
    m_ui.same_as_line_check = check_box(
        m_ui.line_group, "Check1", "Border Color Same as Line", tw_rect(120, 2330, 2520, 264));
    m_ui.border_check =
        check_box(m_ui.line_group, "Check3", "Border", tw_rect(120, 2630, 2520, 264));
    m_ui.border_check->setChecked(true);
    m_ui.night_check =
        check_box(this, "Check2", "Edit Night Colours", tw_rect(group_left, 3240, 1944, 240));
    m_ui.night_check->setChecked(true);
    m_ui.apply_all_check = check_box(this, "applyall", "Apply to All Presentations",
        tw_rect(group_left + 2000, 3240, 2460, 240));
    m_ui.apply_all_check->setChecked(true);
    connect(m_ui.same_as_line_check, &QCheckBox::clicked, this, &StyleEditor::Check1_Click);
    connect(m_ui.night_check, &QCheckBox::clicked, this, &StyleEditor::Check2_MouseUp);
    connect(m_ui.border_check, &QCheckBox::clicked, this, &StyleEditor::Check3_MouseUp);
}

void StyleEditor::build_buttons()
{
    const char* day_night[] = { "Day", "Night" };
    for (int i = 0; i < 2; ++i) {
        auto* button = new OwnerDrawnButton(day_night[i], this);
        button->setObjectName(QString("commandop_%1").arg(i));
        button->setGeometry(tw_rect(group_left + 760 * i, 3600, 705, 300));
        button->draw_button(day_night[i], ButtonLook::Disabled, ButtonFont::Small);
        button->installEventFilter(this);
        const DayNight mode = i == 0 ? DayNight::Day : DayNight::Night;
        connect(button, &OwnerDrawnButton::clicked, this, [this, mode] { commandop_Click(mode); });
        m_ui.mode_buttons[static_cast<std::size_t>(i)] = button;
    }
    m_ui.undo_button = new QPushButton("Undo", this);
    m_ui.undo_button->setObjectName("undo");
    m_ui.undo_button->setGeometry(tw_rect(group_left + 1700, 3600, 900, 300));
    m_ui.undo_button->setToolTip("Undo (Ctrl+Z)");
    m_ui.redo_button = new QPushButton("Redo", this);
    m_ui.redo_button->setObjectName("redo");
    m_ui.redo_button->setGeometry(tw_rect(group_left + 2660, 3600, 900, 300));
    m_ui.redo_button->setToolTip("Redo (Ctrl+Y)");
    connect(m_ui.undo_button, &QPushButton::clicked, this, [this] { und(UndoDirection::Undo); });
    connect(m_ui.redo_button, &QPushButton::clicked, this, [this] { und(UndoDirection::Redo); });
    connect(
        m_history.stack(), &QUndoStack::canUndoChanged, m_ui.undo_button, &QPushButton::setEnabled);
    connect(
        m_history.stack(), &QUndoStack::canRedoChanged, m_ui.redo_button, &QPushButton::setEnabled);
    m_ui.undo_button->setEnabled(false);
    m_ui.redo_button->setEnabled(false);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this,
        [this] { und(UndoDirection::Undo); });
    // Both usual redo keys, whichever of them the platform's own redo key is.
    for (const auto& key : { QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z") }) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, [this] { und(UndoDirection::Redo); });
    }

    for (int i = 0; i < 2; ++i) {
        auto* button = new OwnerDrawnButton(i == 0 ? "Cancel" : "Apply", this);
        button->setObjectName(QString("command1_%1").arg(i));
        button->setGeometry(tw_rect(11900 + 1290 * i, 7860, 1188, 420));
        button->draw_button(i == 0 ? "Cancel" : "Apply", ButtonLook::Normal);
        const EditorButton role = i == 0 ? EditorButton::Cancel : EditorButton::Apply;
        connect(button, &OwnerDrawnButton::clicked, this, [this, role] { command1_Click(role); });
        (i == 0 ? m_ui.cancel_button : m_ui.apply_button) = button;
    }
}

void StyleEditor::build_pickers()
{
    m_ui.palette = new PaletteGrid(this);
    m_ui.palette->move(
        px(group_left) - PaletteGrid::margin(), px(palette_top) - PaletteGrid::margin());
    connect(m_ui.palette, &PaletteGrid::picked, this, &StyleEditor::Labc_MouseDown);

    m_ui.ladder = new ShadeLadder(this);
    m_ui.ladder->move(tw_rect(group_left, 7260, 0, 0).topLeft());
    connect(m_ui.ladder, &ShadeLadder::dragged_over, this, &StyleEditor::preview_shade);
    connect(m_ui.ladder, &ShadeLadder::released_at, this, &StyleEditor::Picture5_MouseUp);
    connect(m_ui.ladder, &ShadeLadder::pressed, this, [this] { m_history.begin_gesture(); });
    connect(m_ui.ladder, &ShadeLadder::pointer_dragged, this, &StyleEditor::pointer1_drag);
    connect(m_ui.ladder, &ShadeLadder::pointer_released, this, &StyleEditor::pointer1_MouseUp);

    m_ui.colour_field = new ColourChart(QSize(px(field_width), px(field_height)), 0, this);
    m_ui.colour_field->setObjectName("p5");
    m_ui.colour_field->move(tw_rect(13400, palette_top, 0, 0).topLeft());
    m_ui.colour_field->setToolTip(" Click to select color ");
    connect(m_ui.colour_field, &ColourChart::pressed, this, [this](QPoint p) {
        m_history.begin_gesture();
        p5_pick(p, true);
    });
    connect(
        m_ui.colour_field, &ColourChart::moved, this, [this](QPoint p, Qt::MouseButtons buttons) {
            if (m_ui.colour_field->contains(p)) {
                paint_swatch(*m_ui.hover_swatch, m_ui.colour_field->colour_at(p));
            }
            if (buttons & Qt::LeftButton) {
                p5_pick(p, false);
            }
        });
    m_ui.hover_swatch = label(this, "Label3", "", tw_rect(13400, 7260, field_width, 345));
    m_ui.hover_swatch->setAutoFillBackground(true);
    m_ui.hover_swatch->setFrameShape(QFrame::Box);
}

void StyleEditorControls::reset_scrol() const
{
    for (QLineEdit* readout : adjust_readouts) {
        readout->setText("0");
    }
}

void StyleEditorControls::place_thumb(ValueBox slider, const QString& value) const
{
    // The sliders run from 0 to 2.5, 756 twips to a unit. An empty scale is the default, 1.
    constexpr int twips_per_unit = 756;
    const bool default_scale = slider == ValueBox::Scale && value.trimmed().isEmpty();
    const double units = default_scale ? 1.0 : text::val(to_latin1(value));
    sliders[index_of(slider)]->place_thumb(static_cast<int>(std::lround(units * twips_per_unit)));
}

} // namespace tintwell
