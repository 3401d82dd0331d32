#include "ui/editor/style_editor.h"

#include "colour/palette.h"
#include "model/catalogue.h"
#include "model/open_style.h"
#include "model/style_apply.h"
#include "model/text.h"
#include "render/qt/qt_canvas.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/colour_chart.h"
#include "ui/common/latin1.h"
#include "ui/common/message_box_prompter.h"
#include "ui/common/owner_drawn_button.h"
#include "ui/common/qt_colour.h"
#include "ui/common/twips.h"
#include "ui/common/window_place.h"
#include "ui/editor/picking_widgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

namespace tintwell {

namespace {

constexpr const char* pending_message = "Press Enter to apply color";
constexpr const char* range_message = "Values: 0.01 - 2.5";
constexpr const char* length_message = "Max length=6 characters";
constexpr const char* apply_range_tail = ") Acceptable values: 0.01 - 2.5";

constexpr ColourValue grey_caption = 0xB4B4B4;

// The value of a colour text; -1 when it does not convert.
ColourValue colour_of(const std::string& text, ThemeKind kind)
{
    return hex_to_value(text, kind).value_or(-1);
}

// A style written without a scale (the device's default, scale 1) may be left without one.
bool scale_accepted(const QString& scale, bool opened_without_scale)
{
    if (scale.trimmed().isEmpty()) {
        return opened_without_scale;
    }
    return scale_in_range(text::val(to_latin1(scale)));
}

QString number_text(double v)
{
    return QString::number(static_cast<float>(v));
}

std::size_t index_of(EditedPart part)
{
    return static_cast<std::size_t>(part);
}

std::size_t index_of(DayNight mode)
{
    return mode == DayNight::Night ? 1 : 0;
}

// A Day/Night button is greyed (with the smaller caption) while it cannot be chosen.
void draw_mode_button(OwnerDrawnButton& button, const QString& caption, bool greyed)
{
    if (greyed) {
        button.draw_button(caption, ButtonLook::Disabled, ButtonFont::Small);
    } else {
        button.draw_button(caption, ButtonLook::Normal);
    }
}

} // namespace

StyleEditor::StyleEditor(Document& doc, Prompter& prompter, QWidget* parent, EditSink sink)
    : QDialog(parent)
    , m_doc(doc)
    , m_prompter(prompter)
    , m_sink(sink ? std::move(sink) : apply_to(doc))
    , m_row(doc.cur_row)
    , m_history(this, [this](const EditorStep& step) { restore_step(step); })
{
    setObjectName("editor");
    setModal(true);
    build_controls();
    if (auto opened = open_style(m_doc, m_row)) {
        m_opened = std::move(*opened);
        Form_Load();
    }
}

StyleEditor::~StyleEditor() = default;

ColourValue StyleEditor::swatch_colour(EditedPart part) const
{
    return m_swatch[index_of(part)];
}

void StyleEditor::set_swatch(EditedPart part, ColourValue colour)
{
    QLabel* swatch = m_ui.swatches[index_of(part)];
    if (colour < 0 || swatch == nullptr) {
        return;
    }
    m_swatch[index_of(part)] = colour & 0xFFFFFF;
    paint_swatch(*swatch, to_qcolor(colour));
    if (part == EditedPart::Fill && sport_area()) {
        m_ui.hex_box(HexField::Fill)->setText(from_latin1(value_to_hex(m_swatch[3], m_doc.kind)));
    }
}

void StyleEditor::paint_area_swatch(AreaColour which, ColourValue colour)
{
    if (colour < 0) {
        return;
    }
    const bool primary = which == AreaColour::Primary;
    paint_swatch(
        primary ? *m_ui.primary_part_swatch : *m_ui.secondary_part_swatch, to_qcolor(colour));
    m_area_part_colours[primary ? 0 : 1] = colour;
}

bool StyleEditor::opened_without_scale() const
{
    return text::trim(m_opened.row.scale()).empty();
}

bool StyleEditor::sport_area() const
{
    return sport() && m_state.is_pgon;
}

void StyleEditor::Label2_MouseMove(EditedPart part)
{
    if (QLabel* swatch = m_ui.swatches[index_of(part)]) {
        swatch->setToolTip(
            QString("#") + from_latin1(value_to_hex(m_swatch[index_of(part)], ThemeKind::CarZumo)));
    }
}

void StyleEditor::Form_MouseMove()
{
    if (!btn_hover()) {
        return;
    }
    m_ui.cancel_button->draw_button("", ButtonLook::Normal);
    m_ui.apply_button->draw_button("", ButtonLook::Normal);
    for (OwnerDrawnButton* button : m_ui.mode_buttons) {
        if (button->back_colour() == QColor(250, 250, 250)) {
            button->draw_button("", ButtonLook::Normal);
        }
    }
}

void StyleEditor::Form_Load()
{
    const StyleRow& r = m_opened.row;
    const bool car = !sport();
    StyleEditorState& st = m_state;
    st.mode = DayNight::Day;
    st.is_pgon = m_opened.form == StyleForm::Area;
    const bool arrow = m_opened.form == StyleForm::Arrow;
    if (sport()) {
        m_ui.apply_all_check->hide();
        m_ui.night_check->hide();
    }
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    // The caption under the row's sample in the main window is its element name.
    setWindowTitle("Tintwell " + from_latin1(r.elem_name()));
    m_ui.night_check->setChecked(m_ui.night_check->isChecked() && m_opened.night_colours);
    m_ui.primary_part_swatch->setVisible(!car && st.is_pgon);
    m_ui.secondary_part_swatch->setVisible(!car && st.is_pgon);
    // The box of the primary or secondary colour belongs to Sport & Fitness areas only.
    m_ui.hex_box(HexField::AreaPart)->setVisible(sport());
    m_ui.scale_box->setText(from_latin1(r.scale()));
    m_ui.border_box->setText(sport() ? "1" : from_latin1(r.border()));

    WorkingColours& c = st.colours;
    c = m_opened.colours;
    paint_area_swatch(AreaColour::Secondary, colour_of(c.sec_day, m_doc.kind));
    paint_area_swatch(AreaColour::Primary, colour_of(c.pri_day, m_doc.kind));
    m_ui.field_label->setText(from_latin1(r.field_name()));
    m_ui.presentation_label->setText(from_latin1(r.pres_name()));
    m_ui.presentation_label->setVisible(car);
    if (car && !st.is_pgon && text::val(r.border()) == 0) {
        m_ui.sliders[0]->hide();
    }
    // A line without a scale is drawn at the default scale 1, and its slider starts there; the
    // box stays empty, so the style keeps its text unless the scale is changed.
    if (st.is_pgon && text::trim(r.scale()).empty()) {
        m_ui.sliders[1]->hide();
    }
    set_opt(DayNight::Day);
    plot_line(Ladder::Repaint);
    show_opened_colours(arrow);
    m_ui.place_thumb(ValueBox::Border, m_ui.border_box->text());
    m_ui.place_thumb(ValueBox::Scale, m_ui.scale_box->text());

    // Undo goes back at most to the style as the row holds it.
    EditorStep opened = current_step();
    opened.colours = { std::string(r.pri_day()), std::string(r.sec_day()),
        std::string(r.pri_night()), std::string(r.sec_night()) };
    show_opened_border();
    shadestp();
    plot_markers(static_cast<int>(st.part), m_sample, editor_marker_height);
    show_sample();
    m_ui.line_colour_caption->setVisible(sport() || !st.is_pgon);
    m_history.start_from(opened);
}

void StyleEditor::show_opened_colours(bool arrow)
{
    StyleEditorState& st = m_state;
    const WorkingColours& c = st.colours;
    if (arrow) {
        m_ui.hex_box(HexField::Line)->setText(from_latin1(c.pri_day));
        m_ui.hex_box(HexField::Border)->setText(from_latin1(c.sec_day));
        set_swatch(EditedPart::Border, colour_of(c.sec_day, m_doc.kind));
        set_swatch(EditedPart::Line, colour_of(c.pri_day, m_doc.kind));
        st.part = EditedPart::Line;
    } else {
        m_ui.hex_box(st.is_pgon ? HexField::Fill : HexField::Line)
            ->setText(from_latin1(value_to_hex(m_sample.scale_.colour, m_doc.kind)));
    }
    if (st.is_pgon) {
        m_ui.area_group->move(m_ui.line_group->pos());
        m_ui.line_group->hide();
        m_ui.area_group->show();
        st.part = EditedPart::Fill;
    } else {
        m_ui.line_group->show();
        st.cur_col[1] = arrow ? m_swatch[1] : m_sample.scale_.colour;
        st.cur_col[0] = arrow ? m_swatch[0] : m_sample.bord[0].colour;
    }
    if (!sport_area()) {
        Label2_MouseDown(EditedPart::Line);
        m_ui.reset_scrol();
        if (!st.is_pgon && !arrow) {
            m_ui.sample_box->setToolTip("Click Line or Border ");
            m_ui.markers[0]->show();
        }
    }
}

void StyleEditor::show_opened_border()
{
    if (m_state.is_pgon && sport()) {
        m_ui.hex_box(HexField::Border)->setEnabled(true);
        m_ui.swatches[0]->show();
        show_area_part(AreaColour::Primary);
    }
    if (!m_opened.has_border) {
        m_ui.border_box->setEnabled(false);
        m_ui.hex_box(HexField::Border)->setEnabled(false);
        m_ui.swatches[0]->hide();
        m_ui.sliders[0]->hide();
        m_ui.border_check->setChecked(false);
    }
    if (m_ui.night_check->isChecked()) {
        m_ui.mode_buttons[1]->draw_button("", ButtonLook::Hover);
        m_ui.mode_buttons[1]->draw_button("", ButtonLook::Normal);
    } else {
        draw_mode_button(*m_ui.mode_buttons[1], "", true);
    }
    if (sport()) {
        if (!m_opened.has_border) {
            m_sample.bord[0].visible = m_sample.bord[1].visible = false;
            show_sample();
        }
        m_ui.border_box->setReadOnly(true);
        m_ui.scale_box->setReadOnly(true);
        m_ui.sliders[0]->hide();
        m_ui.sliders[1]->hide();
    }
}

void StyleEditor::set_opt(DayNight mode)
{
    QLabel* caption = m_state.is_pgon ? m_ui.area_mode_caption : m_ui.line_mode_caption;
    const bool day = mode == DayNight::Day;
    draw_mode_button(*m_ui.mode_buttons[0], "Day", day);
    draw_mode_button(*m_ui.mode_buttons[1], "Night", !day);
    caption->setText(day ? "DAY" : "NIGHT");
    m_ui.night_check->setEnabled(day);
}

void StyleEditor::store_colour(ColourValue colour, bool line_part, bool swatch)
{
    const std::string hex = value_to_hex(colour, m_doc.kind);
    if (sport_area()) {
        // Both boxes of an area stand for the part picked with Label8 or Label9.
        m_state.set_nwfcols(hex);
        m_ui.hex_box(HexField::AreaPart)->setText(from_latin1(hex));
        set_swatch(EditedPart::Fill, colour);
        paint_area_swatch(m_state.area_colour, colour);
        m_state.cur_col[1] = colour;
        return;
    }
    const bool pgon = m_state.is_pgon;
    if (line_part || pgon) {
        m_state.line_colour() = hex;
        m_state.cur_col[1] = colour;
        m_ui.hex_box(pgon ? HexField::Fill : HexField::Line)->setText(from_latin1(hex));
        if (swatch) {
            set_swatch(pgon ? EditedPart::Fill : EditedPart::Line, colour);
        }
        return;
    }
    m_state.border_colour() = hex;
    m_state.cur_col[0] = colour;
    m_ui.hex_box(HexField::Border)->setText(from_latin1(hex));
    if (swatch) {
        set_swatch(EditedPart::Border, colour);
    }
}

SampleInput StyleEditor::sample_input() const
{
    const StyleEditorState& st = m_state;
    const WorkingColours& c = st.colours;
    SampleInput in;
    in.kind = m_doc.kind;
    in.night_mode = st.night() ? 1 : 0;
    in.field_name = to_latin1(m_ui.field_label->text());
    in.ed_pri_day = c.pri_day;
    in.ed_sec_day = c.sec_day;
    in.ed_pri_night = c.pri_night;
    in.ed_sec_night = c.sec_night;
    in.border_text = to_latin1(m_ui.border_box->text());
    in.scale_text = to_latin1(m_ui.scale_box->text());
    in.border_on = m_ui.border_check->isChecked();
    in.border_box_visible = !m_ui.border_box->isHidden();
    in.is_pgon = st.is_pgon;
    in.target = static_cast<int>(st.part);
    in.width = editor_sample_width;
    in.height = editor_sample_height;
    in.marker_height = editor_marker_height;
    return in;
}

void StyleEditor::plot_line(Ladder ladder)
{
    StyleEditorState& st = m_state;
    const WorkingColours& c = st.colours;
    const bool night = st.night();
    const SampleInput in = sample_input();

    if (sport_area()) {
        const std::string& shown = m_state.area_part_colour(st.area_colour);
        paint_area_swatch(st.area_colour, colour_of(shown, m_doc.kind));
        m_ui.hex_box(HexField::AreaPart)->setText(from_latin1(shown));
        tintwell::plot_line(in, m_sample);
        show_sample();
        shadestp();
        return;
    }
    tintwell::plot_line(in, m_sample);
    st.is_pgon = m_sample.is_pgon;
    if (!night && !st.is_pgon && m_sample.form != EditorSample::Form::Arrow) {
        m_ui.hex_box(HexField::Border)->setText(from_latin1(c.sec_day));
        m_ui.hex_box(HexField::Line)->setText(from_latin1(c.pri_day));
    } else if (st.is_pgon) {
        m_ui.hex_box(sport() ? HexField::AreaPart : HexField::Fill)
            ->setText(from_latin1(night ? c.pri_night : c.pri_day));
    }
    if (m_sample.form == EditorSample::Form::Arrow || st.is_pgon) {
        set_swatch(EditedPart::Border, colour_of(night ? c.sec_night : c.sec_day, m_doc.kind));
        set_swatch(EditedPart::Line, colour_of(night ? c.pri_night : c.pri_day, m_doc.kind));
    } else {
        set_swatch(EditedPart::Border, m_sample.bord[0].colour);
        set_swatch(EditedPart::Line, m_sample.scale_.colour);
    }
    if (st.is_pgon) {
        st.part = EditedPart::Fill;
        set_swatch(EditedPart::Fill, colour_of(night ? c.pri_night : c.pri_day, m_doc.kind));
    }
    show_sample();
    if (ladder == Ladder::Repaint) {
        shadestp();
    }
}

void StyleEditor::show_sample()
{
    QtCanvas canvas(px(editor_sample_width), px(editor_sample_height));
    if (m_sample.form == EditorSample::Form::Arrow) {
        const bool night = m_state.night();
        const WorkingColours& c = m_state.colours;
        plotarw(canvas, night ? c.pri_night : c.pri_day, night ? c.sec_night : c.sec_day,
            to_latin1(m_ui.scale_box->text()), to_latin1(m_ui.border_box->text()), m_doc.kind);
    } else {
        draw_editor_sample(canvas, m_sample);
    }
    // The canvas goes at the end of this call; sharing its image saves a copy at every move of a
    // drag.
    m_sample_image = canvas.image();
    m_ui.sample_box->update();
    for (std::size_t i = 0; i < 2; ++i) {
        m_ui.markers[i]->move(
            m_ui.markers[i]->x(), m_ui.sample_box->y() + px(m_sample.marker_top[i]));
    }
    if (m_sample.form != EditorSample::Form::Line) {
        m_ui.markers[0]->hide();
        m_ui.markers[1]->hide();
        return;
    }
    m_ui.markers[1]->setVisible(m_sample.marker_visible[1]);
    if (m_sample.marker_visible[1]) {
        m_ui.markers[0]->show();
    }
}

void StyleEditor::shadestp()
{
    const auto part = sport_area() ? EditedPart::Fill : m_state.part;
    m_ui.ladder->paint(m_swatch[index_of(part)]);
}

void StyleEditor::plotcols(ColourValue colour)
{
    m_ui.reset_scrol();
    store_colour(colour, m_state.part != EditedPart::Border, false);
    if (sport_area()) {
        paint_area_swatch(AreaColour::Primary,
            colour_of(m_state.area_part_colour(AreaColour::Primary), m_doc.kind));
        paint_area_swatch(AreaColour::Secondary,
            colour_of(m_state.area_part_colour(AreaColour::Secondary), m_doc.kind));
        shadestp();
        return;
    }
    plot_line(Ladder::Repaint);
}

EditorStep StyleEditor::current_step() const
{
    return { m_state.is_pgon ? EditedPart::Fill : m_state.part, m_state.mode, m_state.colours,
        to_latin1(m_ui.scale_box->text()), to_latin1(m_ui.border_box->text()) };
}

void StyleEditor::add_(StepSource source)
{
    m_history.record(current_step(), source);
}

void StyleEditor::restore_step(const EditorStep& step)
{
    StyleEditorState& st = m_state;
    st.part = st.is_pgon ? EditedPart::Fill : step.part;
    // The window comes back in the mode of the step, so the caption, the buttons and the
    // colour the next pick changes all agree.
    st.mode = step.mode;
    if (st.night()) {
        m_ui.night_check->setChecked(true);
    }
    set_opt(st.mode);
    st.colours = step.colours;
    m_ui.scale_box->setText(from_latin1(step.scale));
    m_ui.border_box->setText(from_latin1(step.border));
    m_ui.place_thumb(ValueBox::Border, m_ui.border_box->text());
    m_ui.place_thumb(ValueBox::Scale, m_ui.scale_box->text());
    m_history.restored(step);
    if (sport_area()) {
        // The colours of both parts come back as they were; none is picked again.
        plot_line(Ladder::Repaint);
        return;
    }
    if (!st.is_pgon) {
        m_ui.hex_box(HexField::Border)->setText(from_latin1(st.border_colour()));
        m_ui.hex_box(HexField::Line)->setText(from_latin1(st.line_colour()));
    }
    const std::string& restored =
        st.part == EditedPart::Border ? st.border_colour() : st.line_colour();
    if (const auto value = hex_to_value(restored, m_doc.kind)) {
        plotcols(*value);
    } else {
        plot_line(Ladder::Repaint);
    }
}

void StyleEditor::und(UndoDirection direction)
{
    m_history.step(direction);
}

void StyleEditor::Label2_MouseDown(EditedPart part)
{
    QLabel* swatch = m_ui.swatches[index_of(part)];
    if (swatch == nullptr) {
        return;
    }
    QWidget* frame = swatch->parentWidget();
    if (m_ui.part_outline->parentWidget() != frame) {
        m_ui.part_outline->setParent(frame);
    }
    m_ui.part_outline->setGeometry(swatch->geometry().adjusted(-px(24), -px(24), px(24), px(24)));
    m_ui.part_outline->show();
    m_ui.part_outline->raise();
    m_state.part = part;
    plot_markers(static_cast<int>(part), m_sample, editor_marker_height);
    plotcols(m_swatch[index_of(part)]);
}

void StyleEditor::Labc_MouseDown(int block)
{
    plotcols(col256()[static_cast<std::size_t>(block)].colour);
    m_ui.palette->frame_block(block);
    add_();
}

void StyleEditor::p5_pick(QPoint pos, bool press)
{
    if (!m_ui.colour_field->contains(pos)) {
        return;
    }
    const ColourValue c = colour_value(m_ui.colour_field->colour_at(pos));
    if (press || sport_area()) {
        plotcols(c);
    } else {
        m_ui.reset_scrol();
        store_colour(c, m_state.picks_line(), false);
        m_ui.palette->hide_frame();
        plot_line(Ladder::Keep);
    }
    // The press and the drag that follows it are one step.
    add_(StepSource::FieldDrag);
}

void StyleEditor::pointer1_drag(int left_twips)
{
    const ColourValue c = m_ui.ladder->move_pointer(left_twips);
    if (c != -1) {
        preview_shade(c);
    }
}

void StyleEditor::preview_shade(ColourValue c)
{
    if (sport_area()) {
        // The area's fill or its frame, whichever part is being picked, shows the colour under
        // the pointer; the style takes it when the pointer is let go.
        SampleInput in = sample_input();
        const bool border = m_state.area_colour == AreaColour::Secondary;
        std::string& part = m_state.night() ? (border ? in.ed_sec_night : in.ed_pri_night)
                                            : (border ? in.ed_sec_day : in.ed_pri_day);
        part = value_to_hex(c, m_doc.kind);
        tintwell::plot_line(in, m_sample);
        show_sample();
        return;
    }
    if (m_state.picks_line()) {
        m_sample.scale_.colour = c;
    } else {
        m_sample.bord[0].colour = m_sample.bord[1].colour = c;
    }
    show_sample();
}

void StyleEditor::pointer1_MouseUp()
{
    const bool line = m_state.picks_line();
    const bool area_border = sport_area() && m_state.area_colour == AreaColour::Secondary;
    store_colour(
        line && !area_border ? m_sample.scale_.colour : m_sample.bord[0].colour, line, true);
    plot_line(Ladder::Repaint);
    m_ui.reset_scrol();
    add_(StepSource::LadderDrag);
}

void StyleEditor::Picture5_MouseUp(QPoint pos)
{
    const ColourValue c = m_ui.ladder->colour_at(pos);
    if (c == -1) {
        return;
    }
    m_ui.ladder->centre_pointer_on(pos.x());
    if (sport_area()) {
        plotcols(c);
    } else {
        store_colour(c, m_state.picks_line(), true);
        plot_line(Ladder::Keep);
    }
    add_(StepSource::LadderDrag);
}

void StyleEditor::Text2_Enter(HexField box)
{
    HexBox* hex = m_ui.hex_box(box);
    std::string t = to_latin1(hex->text());
    if (t.size() > 6) {
        m_prompter.message(length_message);
        t = text::left(t, 6);
    }
    // A short entry means leading zeros; the style keeps all six digits.
    if (t.size() < 6) {
        t.insert(0, 6 - t.size(), '0');
    }
    hex->setText(from_latin1(t));
    const ColourValue colour = hex_to_value(t, m_doc.kind).value_or(0);
    m_state.pending[index_of(box)] = false;
    m_ui.reset_scrol();
    // In a Sport & Fitness area the area part and fill boxes stand for the part picked with
    // Label8 or Label9; elsewhere the line and fill boxes set the line, the border box the border.
    if (!sport_area() || box == HexField::AreaPart || box == HexField::Fill) {
        store_colour(colour, box != HexField::Border, true);
    }
    if (!shades_(colour)) {
        m_ui.palette->hide_frame();
    }
    plot_line(Ladder::Repaint);
    add_();
}

void StyleEditor::Text1_Enter(ValueBox box)
{
    QLineEdit* value = box == ValueBox::Border ? m_ui.border_box : m_ui.scale_box;
    const double v = text::val(to_latin1(value->text()));
    const bool accepted = box == ValueBox::Scale
        ? scale_accepted(value->text(), opened_without_scale())
        : scale_in_range(v);
    if (!accepted) {
        m_prompter.message(range_message);
        return;
    }
    plot_line(Ladder::Keep);
    m_ui.place_thumb(box, value->text());
    add_();
}

void StyleEditor::scrol_drag(ValueBox slider, int left_twips)
{
    const int left = m_ui.sliders[index_of(slider)]->place_thumb(left_twips / 15 * 15);
    const int n = std::max(
        1, static_cast<int>(std::nearbyint(static_cast<double>(left) / ValueSlider::travel * 250)));
    (slider == ValueBox::Border ? m_ui.border_box : m_ui.scale_box)
        ->setText(number_text(n / 100.0));
    plot_line(Ladder::Keep);
    add_(slider == ValueBox::Border ? StepSource::BorderDrag : StepSource::ScaleDrag);
}

void StyleEditor::scrol_MouseUp(ValueBox slider)
{
    add_(slider == ValueBox::Border ? StepSource::BorderDrag : StepSource::ScaleDrag);
}

void StyleEditor::commandop_Click(DayNight mode)
{
    if (m_ui.mode_buttons[index_of(mode)]->caption_colour() == to_qcolor(grey_caption)) {
        return;
    }
    if (const auto box = m_state.pending_box()) {
        m_ui.hex_box(*box)->setFocus();
        m_prompter.message(pending_message);
        return;
    }
    StyleEditorState& st = m_state;
    WorkingColours& c = st.colours;
    st.mode = mode;
    const auto blank = [](const std::string& s) { return s.empty() || s == "-1"; };
    if (st.night()) {
        set_opt(DayNight::Night);
        if (sport()) {
            m_ui.border_check->setChecked(m_opened.row.border() == "ff");
        }
        if (blank(c.sec_night)) {
            c.sec_night = "000000";
        }
        m_ui.hex_box(HexField::Border)->setText(from_latin1(c.sec_night));
        if (blank(c.pri_night)) {
            c.pri_night = "FFFF00";
        }
        m_ui.hex_box(HexField::Line)->setText(from_latin1(c.pri_night));
    } else {
        set_opt(DayNight::Day);
        m_ui.hex_box(HexField::Line)->setText(from_latin1(c.pri_day));
        if (blank(c.sec_day) && m_ui.border_check->isChecked()) {
            c.sec_day = "000000";
        }
        m_ui.hex_box(HexField::Border)->setText(from_latin1(c.sec_day));
        if (sport() && !st.is_pgon) {
            m_ui.border_check->setChecked(m_opened.row.border() == "ff");
        }
    }
    if (st.is_pgon) {
        m_ui.hex_box(HexField::Fill)->setText(from_latin1(st.line_colour()));
    }
    if (sport_area()) {
        paint_area_swatch(AreaColour::Primary,
            colour_of(m_state.area_part_colour(AreaColour::Primary), m_doc.kind));
        paint_area_swatch(AreaColour::Secondary,
            colour_of(m_state.area_part_colour(AreaColour::Secondary), m_doc.kind));
        set_swatch(
            EditedPart::Fill, m_area_part_colours[st.area_colour == AreaColour::Secondary ? 1 : 0]);
        m_ui.hex_box(HexField::AreaPart)
            ->setText(from_latin1(m_state.area_part_colour(st.area_colour)));
    }
    plot_line(Ladder::Repaint);
    if (!st.is_pgon) {
        set_swatch(EditedPart::Line,
            m_sample.form == EditorSample::Form::Arrow ? colour_of(st.line_colour(), m_doc.kind)
                                                       : m_sample.scale_.colour);
    }
    add_();
}

void StyleEditor::Check1_Click()
{
    if (!m_ui.same_as_line_check->isChecked()) {
        return;
    }
    m_ui.hex_box(HexField::Border)->setText(m_ui.hex_box(HexField::Line)->text());
    Text2_Enter(HexField::Border);
}

void StyleEditor::Check2_MouseUp()
{
    draw_mode_button(*m_ui.mode_buttons[1], "", !m_ui.night_check->isChecked());
}

void StyleEditor::Check3_MouseUp()
{
    const bool on = m_ui.border_check->isChecked();
    const bool arrow = m_sample.form == EditorSample::Form::Arrow;
    m_ui.border_box->setEnabled(on);
    m_ui.hex_box(HexField::Border)->setEnabled(on);
    m_ui.swatches[0]->setVisible(on);
    m_ui.hex_box(HexField::Border)->setVisible(on);
    m_ui.sliders[0]->setVisible(on && !sport());
    if (!arrow) {
        m_ui.same_as_line_check->setVisible(on);
    }
    if (sport()) {
        // The working row keeps the switch; Apply writes it into the style's colours.
        if (m_state.night()) {
            m_opened.row.set_nwf_border(on ? "ff" : "00");
        } else {
            m_opened.row.set_border(on ? "ff" : "00");
        }
    }
    if (on) {
        if (text::val(to_latin1(m_ui.border_box->text())) == 0) {
            m_ui.border_box->setText(".60");
        }
        m_ui.place_thumb(ValueBox::Border, m_ui.border_box->text());
        std::string& border = m_state.border_colour();
        if (!sport() && (border.empty() || border == "-1")) {
            border = "C0C0C0";
        }
    } else if (!sport()) {
        m_state.border_colour().clear();
    }
    Label2_MouseDown(EditedPart::Line);
    plot_line(Ladder::Repaint);
}

void StyleEditor::show_area_part(AreaColour which)
{
    m_state.area_colour = which;
    const std::string& colour = m_state.area_part_colour(which);
    set_swatch(EditedPart::Fill, colour_of(colour, m_doc.kind));
    m_ui.hex_box(HexField::AreaPart)->setText(from_latin1(colour));
    QLabel* swatch =
        which == AreaColour::Primary ? m_ui.primary_part_swatch : m_ui.secondary_part_swatch;
    // The marker stands left of the primary swatch and right of the secondary one.
    const int left = which == AreaColour::Primary ? swatch->x() - px(330)
                                                  : swatch->x() - px(330) + px(570) + px(60);
    m_ui.markers[2]->move(left, swatch->y());
    m_ui.markers[2]->show();
    shadestp();
}

void StyleEditor::command1_Click(EditorButton button)
{
    if (button == EditorButton::Cancel) {
        reject();
        return;
    }
    if (const auto box = m_state.pending_box()) {
        m_ui.hex_box(*box)->setFocus();
        m_prompter.message(pending_message);
        return;
    }
    if (!m_doc.valid_row(m_row)) {
        return;
    }
    if (!m_state.is_pgon) {
        const auto check = [this](QLineEdit* box) {
            const double v = text::val(to_latin1(box->text()));
            if (scale_in_range(v)) {
                return true;
            }
            std::string range = "(";
            range += to_latin1(number_text(v));
            range += apply_range_tail;
            m_prompter.message(range);
            return false;
        };
        if (m_ui.border_check->isChecked() && !check(m_ui.border_box)) {
            return;
        }
        if (!scale_accepted(m_ui.scale_box->text(), opened_without_scale())
            && !check(m_ui.scale_box)) {
            return;
        }
    }
    AppliedValues values;
    values.polygon = m_state.is_pgon;
    values.border_on = m_ui.border_check->isChecked();
    values.night_colours = m_ui.night_check->isChecked();
    values.to_all_presentations = !sport() && m_ui.apply_all_check->isChecked();
    values.scale_text = to_latin1(m_ui.scale_box->text());
    values.border_text = to_latin1(m_ui.border_box->text());
    values.pri_day = m_state.colours.pri_day;
    values.sec_day = m_state.colours.sec_day;
    values.pri_night = m_state.colours.pri_night;
    values.sec_night = m_state.colours.sec_night;
    const StyleRow applied = applied_style(m_doc.kind, m_opened.row, values);
    DocumentEdit edit = style_apply_edit(m_doc, m_row, applied, values.to_all_presentations);
    const ApplyReach reach = apply_reach(m_doc, m_row, applied, values.to_all_presentations);
    const std::string_view element = m_opened.row.elem_name();
    m_applied_summary = apply_summary(element, reach);
    m_sink(std::move(edit), apply_step_name(element, reach));
    accept();
}

void StyleEditor::closeEvent(QCloseEvent* event)
{
    m_history.stack()->clear();
    QDialog::closeEvent(event);
}

bool StyleEditor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Every move the window sees is over its background: a button takes the moves over it.
    if (watched == this) {
        if (type == QEvent::MouseMove) {
            Form_MouseMove();
        }
        return QDialog::eventFilter(watched, event);
    }
    for (std::size_t i = 0; i < m_ui.mode_buttons.size(); ++i) {
        if (watched != m_ui.mode_buttons[i]) {
            continue;
        }
        // The button of the current mode, and Night while night colours are off, keep their
        // greyed look under the pointer, which counts as being over the window background.
        const DayNight mode = i == 0 ? DayNight::Day : DayNight::Night;
        const bool hover_allowed = m_ui.night_check->isChecked() && mode != m_state.mode;
        if ((type == QEvent::MouseMove || type == QEvent::Leave) && !hover_allowed) {
            if (type == QEvent::MouseMove) {
                Form_MouseMove();
            }
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    const auto part = std::find(m_ui.swatches.begin(), m_ui.swatches.end(), watched);
    const bool swatch = part != m_ui.swatches.end() && *part != nullptr;
    const auto part_of = [&] { return static_cast<EditedPart>(part - m_ui.swatches.begin()); };
    if (swatch && (type == QEvent::Enter || type == QEvent::MouseMove || type == QEvent::ToolTip)) {
        Label2_MouseMove(part_of());
    }
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((watched == m_ui.border_box || watched == m_ui.scale_box)
            && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            Text1_Enter(watched == m_ui.border_box ? ValueBox::Border : ValueBox::Scale);
            return true;
        }
        return false;
    }
    if (type == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (swatch) {
            Label2_MouseDown(part_of());
            return true;
        }
        if (sport()
            && (watched == m_ui.primary_part_swatch || watched == m_ui.secondary_part_swatch)) {
            show_area_part(
                watched == m_ui.primary_part_swatch ? AreaColour::Primary : AreaColour::Secondary);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void register_style_editor(EditorLauncher& launcher)
{
    launcher.register_editor(
        EditorKind::Style, [&launcher](QWidget* parent, Document& doc, int row) {
            doc.cur_row = row;
            MessageBoxPrompter prompter(parent);
            StyleEditor editor(doc, prompter, parent, launcher.edit_sink(doc));
            cent(editor);
            editor.exec();
            if (editor.applied()) {
                launcher.say(editor.applied_summary());
            }
            return editor.applied();
        });
}

} // namespace tintwell
