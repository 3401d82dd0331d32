#include "ui/dialogs/replace_colour_dialog.h"

#include "model/text.h"
#include "ui/common/colour_chart.h"
#include "ui/common/latin1.h"
#include "ui/common/qt_colour.h"
#include "ui/editor/picking_widgets.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <set>

namespace tintwell {

namespace {

QLabel* swatch(QWidget* parent, const char* name, colour::Rgb colour)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(48, 24);
    label->setFrameShape(QFrame::Box);
    label->setAutoFillBackground(true);
    paint_swatch(*label, to_qcolor(colour));
    return label;
}

QComboBox* choice(
    QWidget* parent, const char* name, std::initializer_list<std::pair<const char*, int>> entries)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const auto& [caption, value] : entries) {
        box->addItem(caption, value);
    }
    return box;
}

// The presentations the rows name, as a scope compares them: without blanks round them and
// whatever their case, in the order they first appear.
QStringList row_presentations(const Document& doc)
{
    QStringList names;
    std::set<std::string> seen;
    for (const StyleRow& row : doc.rows) {
        const std::string name = text::trim(row.pres_name());
        if (!name.empty() && seen.insert(text::upper(name)).second) {
            names << from_latin1(name);
        }
    }
    return names;
}

} // namespace

ReplaceColourDialog::ReplaceColourDialog(const Document& doc, colour::Rgb from, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_from(from)
    , m_to(from)
{
    const QString old_hex = QString("#%1").arg(colour::to_hex(from).c_str());
    setObjectName("replace_colour");
    setWindowTitle("Replace " + old_hex);

    auto* colours_row = new QHBoxLayout;
    colours_row->addWidget(new QLabel("Replace", this));
    colours_row->addWidget(swatch(this, "old_swatch", from));
    colours_row->addWidget(new QLabel(old_hex + "  with", this));
    m_new_swatch = swatch(this, "new_swatch", from);
    colours_row->addWidget(m_new_swatch);
    colours_row->addWidget(new QLabel("#", this));
    m_hex_box = new HexBox(this);
    m_hex_box->setObjectName("hex");
    m_hex_box->setMaxLength(6);
    m_hex_box->setFixedWidth(m_hex_box->fontMetrics().horizontalAdvance("DDDDDDDD"));
    m_hex_box->setToolTip("Six hexadecimal digits, RRGGBB");
    colours_row->addWidget(m_hex_box);
    colours_row->addStretch();

    auto* pickers_row = new QHBoxLayout;
    m_palette = new PaletteGrid(this);
    m_palette->setFixedSize(m_palette->size());
    pickers_row->addWidget(m_palette);
    m_colour_field = new ColourChart(QSize(240, m_palette->height()), 14, this);
    m_colour_field->setObjectName("colour_field");
    m_colour_field->setCursor(Qt::CrossCursor);
    m_colour_field->setToolTip("Click or drag to pick a colour");
    pickers_row->addWidget(m_colour_field);
    pickers_row->addStretch();

    QFormLayout* scope_form = build_scope(doc);

    m_count_label = new QLabel(this);
    m_count_label->setObjectName("count");
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName("buttons");
    m_buttons->button(QDialogButtonBox::Ok)->setText("Replace");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(colours_row);
    layout->addLayout(pickers_row);
    layout->addLayout(scope_form);
    layout->addWidget(m_count_label);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect_pickers();

    m_styles = styles_to_replace(m_doc, m_from, scope());
    take_colour(from);
    m_hex_box->setFocus();
    m_hex_box->selectAll();
}

QFormLayout* ReplaceColourDialog::build_scope(const Document& doc)
{
    m_times_box = choice(this, "scope_times",
        { { "Day and night", static_cast<int>(ScopeTimes::DayAndNight) },
            { "Day", static_cast<int>(ScopeTimes::Day) },
            { "Night", static_cast<int>(ScopeTimes::Night) } });
    m_parts_box = choice(this, "scope_parts",
        { { "Line/fill and border", static_cast<int>(ScopeParts::BodyAndBorder) },
            { "Line/fill", static_cast<int>(ScopeParts::Body) },
            { "Border", static_cast<int>(ScopeParts::Border) } });
    m_presentation_box = new QComboBox(this);
    m_presentation_box->setObjectName("scope_presentation");
    if (doc.kind == ThemeKind::SportFitness) {
        m_presentation_box->addItem("All styles", QString());
        m_presentation_box->setEnabled(false);
    } else {
        m_presentation_box->addItem("All presentations", QString());
        for (const QString& name : row_presentations(doc)) {
            m_presentation_box->addItem(name, name);
        }
    }
    auto* scope_form = new QFormLayout;
    scope_form->addRow("Day or night", m_times_box);
    scope_form->addRow("Line/fill or border", m_parts_box);
    scope_form->addRow("Presentations", m_presentation_box);
    return scope_form;
}

void ReplaceColourDialog::connect_pickers()
{
    connect_colour_pickers(
        this, m_palette, m_colour_field, [this](colour::Rgb picked) { take_colour(picked); });
    connect(m_hex_box, &QLineEdit::textChanged, this, &ReplaceColourDialog::hex_edited);
    // The hex box keeps Enter for itself; with a whole colour in it, Enter replaces.
    connect(m_hex_box, &HexBox::entered, this, [this] {
        if (m_buttons->button(QDialogButtonBox::Ok)->isEnabled()) {
            accept();
        }
    });
    for (QComboBox* box : { m_times_box, m_parts_box, m_presentation_box }) {
        connect(box, &QComboBox::currentIndexChanged, this, &ReplaceColourDialog::scope_changed);
    }
}

ColourScope ReplaceColourDialog::scope() const
{
    ColourScope scope;
    scope.times = static_cast<ScopeTimes>(m_times_box->currentData().toInt());
    scope.parts = static_cast<ScopeParts>(m_parts_box->currentData().toInt());
    scope.presentation = to_latin1(m_presentation_box->currentData().toString());
    return scope;
}

void ReplaceColourDialog::take_colour(colour::Rgb colour, bool typed)
{
    m_to = colour;
    paint_swatch(*m_new_swatch, to_qcolor(colour));
    if (!typed) {
        m_palette->hide_frame();
        const QSignalBlocker quiet(m_hex_box);
        m_hex_box->setText(colour::to_hex(colour).c_str());
    }
    show_count();
}

void ReplaceColourDialog::hex_edited(const QString& digits)
{
    // The box turns what is typed into capitals by setting its text again; only that last,
    // whole text counts.
    if (digits != digits.toUpper()) {
        return;
    }
    m_palette->hide_frame();
    if (const auto colour = colour::parse_rgb(to_latin1(digits)); colour && digits.size() == 6) {
        take_colour(*colour, true);
        return;
    }
    show_count();
}

void ReplaceColourDialog::scope_changed()
{
    // The count depends on the old colour and the scope only, not on the new colour, which a
    // drag over the colour field changes at every move.
    m_styles = styles_to_replace(m_doc, m_from, scope());
    show_count();
}

void ReplaceColourDialog::show_count()
{
    const bool whole = m_hex_box->text().size() == 6;
    QString count;
    if (!whole) {
        count = "Type six digits for the new colour";
    } else if (m_to == m_from) {
        count = "Pick the new colour";
    } else if (m_styles == 1) {
        count = "1 style will change";
    } else {
        count = QString("%1 styles will change").arg(m_styles);
    }
    m_count_label->setText(count);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(whole && m_to != m_from && m_styles > 0);
}

} // namespace tintwell
