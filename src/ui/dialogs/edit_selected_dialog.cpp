#include "ui/dialogs/edit_selected_dialog.h"

#include "render/preview.h"
#include "render/qt/qt_canvas.h"
#include "ui/common/colour_chart.h"
#include "ui/common/latin1.h"
#include "ui/common/qt_colour.h"
#include "ui/editor/picking_widgets.h"
#include "ui/theme/theme_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace tintwell {

namespace {

constexpr std::array<StyleProperty, 8> properties = { StyleProperty::BodyDay,
    StyleProperty::BodyNight, StyleProperty::BorderDay, StyleProperty::BorderNight,
    StyleProperty::Scale, StyleProperty::Border, StyleProperty::BgWidth, StyleProperty::FgWidth };

const char* caption_of(StyleProperty property)
{
    switch (property) {
    case StyleProperty::BodyDay:
        return "Line/fill day";
    case StyleProperty::BodyNight:
        return "Line/fill night";
    case StyleProperty::BorderDay:
        return "Border day";
    case StyleProperty::BorderNight:
        return "Border night";
    case StyleProperty::Scale:
        return "Scale";
    case StyleProperty::Border:
        return "Border";
    case StyleProperty::BgWidth:
        return "BG width";
    case StyleProperty::FgWidth:
        return "FG width";
    }
    return "";
}

// What each kind of line offers, with the amount's range and its value at first.
struct OperationEntry
{
    const char* caption;
    ChangeOperation operation;
    double minimum;
    double maximum;
    double start;
};

const std::vector<OperationEntry>& operations_of(StyleProperty property)
{
    static const std::vector<OperationEntry> colours = {
        { "Set to", ChangeOperation::Set, 0, 0, 0 },
        { "Lighter by L*", ChangeOperation::Lighter, 0, 100, 10 },
        { "Darker by L*", ChangeOperation::Darker, 0, 100, 10 },
        { "More saturated by", ChangeOperation::Saturate, 0, 130, 10 },
        { "Less saturated by", ChangeOperation::Desaturate, 0, 130, 10 },
        { "Hue turned by degrees", ChangeOperation::Hue, -360, 360, 30 },
    };
    // The ranges let a value through that the styles may refuse, so the refusal can name them.
    static const std::vector<OperationEntry> sizes = {
        { "Set to", ChangeOperation::Set, 0, 100, 1 },
        { "Multiplied by", ChangeOperation::Times, 0, 100, 1.2 },
    };
    static const std::vector<OperationEntry> widths = {
        { "Set to", ChangeOperation::Set, -1000, 1000, 2 },
        { "Changed by", ChangeOperation::Plus, -1000, 1000, 2 },
    };
    if (property_slot(property)) {
        return colours;
    }
    return property == StyleProperty::Scale || property == StyleProperty::Border ? sizes : widths;
}

QLabel* sample_label(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFixedSize(preview_metrics::box_width / twips_per_pixel,
        preview_metrics::box_height / twips_per_pixel);
    return label;
}

// The sample of every row of `doc`, as the preview draws it.
std::vector<QPixmap> samples_of(const Document& doc)
{
    const PreviewLayout layout =
        layout_preview(doc, preview_metrics::container_width, preview_metrics::visible_height);
    std::vector<QPixmap> pictures;
    for (int row = 0; row < doc.row_count(); ++row) {
        QtCanvas canvas(preview_metrics::box_width / twips_per_pixel,
            preview_metrics::box_height / twips_per_pixel);
        draw_sample(canvas, doc, row, layout.rows[static_cast<std::size_t>(row)]);
        pictures.push_back(QPixmap::fromImage(canvas.image()));
    }
    return pictures;
}

} // namespace

EditSelectedDialog::EditSelectedDialog(ThemeWindow& window, std::vector<int> rows, QWidget* parent)
    : QDialog(parent)
    , m_window(window)
    , m_rows(std::move(rows))
{
    const Document& doc = window.document();
    m_rows.erase(std::remove_if(
                     m_rows.begin(), m_rows.end(), [&doc](int row) { return !doc.valid_row(row); }),
        m_rows.end());
    setObjectName("edit_selected");
    setWindowTitle(QString("Edit %1 Selected Styles").arg(m_rows.size()));

    auto* grid = new QGridLayout;
    for (std::size_t k = 0; k < line_count; ++k) {
        build_line(m_lines[k], properties[k], static_cast<int>(k));
        grid->addWidget(m_lines[k].tick, static_cast<int>(k), 0);
        grid->addWidget(m_lines[k].operation, static_cast<int>(k), 1);
        if (m_lines[k].hex != nullptr) {
            grid->addWidget(m_lines[k].swatch, static_cast<int>(k), 2);
            grid->addWidget(m_lines[k].hex, static_cast<int>(k), 3);
        }
        grid->addWidget(m_lines[k].amount, static_cast<int>(k), 4);
    }

    auto* pickers_row = new QHBoxLayout;
    m_palette = new PaletteGrid(this);
    m_palette->setFixedSize(m_palette->size());
    pickers_row->addWidget(m_palette);
    m_colour_field = new ColourChart(QSize(240, m_palette->height()), 14, this);
    m_colour_field->setObjectName("colour_field");
    m_colour_field->setCursor(Qt::CrossCursor);
    m_colour_field->setToolTip("Click or drag to pick the colour of the colour line last chosen");
    pickers_row->addWidget(m_colour_field);
    pickers_row->addStretch();
    connect_colour_pickers(
        this, m_palette, m_colour_field, [this](colour::Rgb picked) { take_picked(picked); });

    auto* samples = new QGridLayout;
    m_before_row = new QHBoxLayout;
    m_after_row = new QHBoxLayout;
    samples->addWidget(new QLabel("Before", this), 0, 0);
    samples->addLayout(m_before_row, 0, 1);
    samples->addWidget(new QLabel("After", this), 1, 0);
    samples->addLayout(m_after_row, 1, 1);
    const std::size_t shown = std::min<std::size_t>(m_rows.size(), samples_shown);
    for (std::size_t k = 0; k < shown; ++k) {
        m_before.push_back(sample_label(this));
        m_before.back()->setObjectName(QString("before_%1").arg(k));
        m_before_row->addWidget(m_before.back());
        m_after.push_back(sample_label(this));
        m_after.back()->setObjectName(QString("after_%1").arg(k));
        m_after_row->addWidget(m_after.back());
    }
    m_before_row->addStretch();
    m_after_row->addStretch();

    m_message = new QLabel(this);
    m_message->setObjectName("message");
    m_message->setWordWrap(true);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName("buttons");
    connect(m_buttons, &QDialogButtonBox::accepted, this, &EditSelectedDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(pickers_row);
    layout->addLayout(samples);
    layout->addWidget(m_message);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    changed();
}

void EditSelectedDialog::build_line(Line& line, StyleProperty property, int at)
{
    const QString name = QString::fromLatin1(
        property_name(property).data(), static_cast<qsizetype>(property_name(property).size()))
                             .replace('-', '_');
    line.property = property;
    line.tick = new QCheckBox(caption_of(property), this);
    line.tick->setObjectName(name);
    line.operation = new QComboBox(this);
    line.operation->setObjectName(name + "_operation");
    for (const OperationEntry& entry : operations_of(property)) {
        line.operation->addItem(entry.caption);
    }
    line.amount = new QDoubleSpinBox(this);
    line.amount->setObjectName(name + "_amount");
    const bool width = property == StyleProperty::BgWidth || property == StyleProperty::FgWidth;
    line.amount->setDecimals(width ? 0 : 2);
    if (property_slot(property)) {
        line.swatch = new QLabel(this);
        line.swatch->setFixedSize(24, line.operation->sizeHint().height());
        line.swatch->setAutoFillBackground(true);
        line.hex = new HexBox(this);
        line.hex->setObjectName(name + "_hex");
        line.hex->setMaxLength(6);
        line.hex->setFixedWidth(line.hex->fontMetrics().horizontalAdvance("DDDDDDDD"));
        line.hex->setToolTip("Six hexadecimal digits, RRGGBB");
        line.hex->setText("000000");
        paint_swatch(*line.swatch, Qt::black);
        connect(line.hex, &QLineEdit::textChanged, this, [this, &line, at](const QString& digits) {
            m_picking = static_cast<std::size_t>(at);
            if (const auto colour = colour::parse_rgb(to_latin1(digits))) {
                paint_swatch(*line.swatch, to_qcolor(*colour));
            }
            changed();
        });
        connect(line.hex, &HexBox::typed, this, [&line] { line.tick->setChecked(true); });
    }
    connect(line.tick, &QCheckBox::toggled, this, [this, at] {
        if (property_slot(m_lines[static_cast<std::size_t>(at)].property)) {
            m_picking = static_cast<std::size_t>(at);
        }
        changed();
    });
    connect(line.operation, &QComboBox::currentIndexChanged, this,
        [this, &line] { operation_changed(line); });
    connect(line.amount, &QDoubleSpinBox::valueChanged, this, [this, &line] {
        line.tick->setChecked(true);
        changed();
    });
    operation_changed(line);
}

void EditSelectedDialog::operation_changed(Line& line)
{
    const OperationEntry& entry =
        operations_of(line.property)[static_cast<std::size_t>(line.operation->currentIndex())];
    const bool set_colour = line.hex != nullptr && entry.operation == ChangeOperation::Set;
    {
        const QSignalBlocker quiet(line.amount);
        line.amount->setRange(entry.minimum, entry.maximum);
        line.amount->setValue(entry.start);
    }
    line.amount->setVisible(!set_colour);
    if (line.hex != nullptr) {
        line.hex->setVisible(set_colour);
        line.swatch->setVisible(set_colour);
    }
    changed();
}

void EditSelectedDialog::take_picked(colour::Rgb colour)
{
    Line& line = m_lines[m_picking];
    line.operation->setCurrentIndex(0);
    line.hex->setText(colour::to_hex(colour).c_str());
    line.tick->setChecked(true);
}

std::vector<PropertyChange> EditSelectedDialog::changes() const
{
    std::vector<PropertyChange> changes;
    for (const Line& line : m_lines) {
        if (!line.tick->isChecked()) {
            continue;
        }
        PropertyChange change;
        change.property = line.property;
        change.operation =
            operations_of(line.property)[static_cast<std::size_t>(line.operation->currentIndex())]
                .operation;
        change.amount = line.amount->value();
        if (line.hex != nullptr && change.operation == ChangeOperation::Set) {
            const auto colour = colour::parse_rgb(to_latin1(line.hex->text()));
            if (!colour || line.hex->text().size() != 6) {
                continue;
            }
            change.colour = *colour;
        }
        changes.push_back(change);
    }
    return changes;
}

void EditSelectedDialog::changed()
{
    // The boxes signal while the lines are still being built.
    if (m_buttons == nullptr || m_lines.back().amount == nullptr) {
        return;
    }
    const std::vector<PropertyChange> now = changes();
    m_result = edit_styles(m_window.document(), m_rows, now);
    QString message;
    if (!m_result.refusal.empty()) {
        message = from_latin1(m_result.refusal);
    } else if (now.empty()) {
        message = "Tick what to change";
    } else if (m_result.styles == 0) {
        message = "No selected style would change";
    } else {
        message = QString("%1 of %2 styles will change").arg(m_result.styles).arg(m_rows.size());
    }
    m_message->setText(message);
    m_buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(m_result.refusal.empty() && m_result.styles > 0);
    show_samples();
}

void EditSelectedDialog::show_samples()
{
    const Document& doc = m_window.document();
    const std::vector<PropertyChange> now = changes();
    Document before;
    Document after;
    before.kind = after.kind = doc.kind;
    for (std::size_t k = 0; k < m_before.size(); ++k) {
        const StyleRow& row = doc.rows[static_cast<std::size_t>(m_rows[k])];
        before.rows.push_back(row);
        const EditedStyle edited = edited_style(doc, m_rows[k], now);
        after.rows.push_back(edited.row.value_or(row));
    }
    const std::vector<QPixmap> old_samples = samples_of(before);
    const std::vector<QPixmap> new_samples = samples_of(after);
    for (std::size_t k = 0; k < m_before.size(); ++k) {
        m_before[k]->setPixmap(old_samples[k]);
        m_after[k]->setPixmap(new_samples[k]);
        const QString name = from_latin1(style_label(doc, m_rows[k]));
        m_before[k]->setToolTip(name);
        m_after[k]->setToolTip(name);
    }
}

void EditSelectedDialog::accept()
{
    m_result = edit_styles(m_window.document(), m_rows, changes());
    if (!m_result.refusal.empty() || m_result.styles == 0) {
        return;
    }
    m_window.theme().push_edit(std::move(m_result.edit), m_result.description);
    m_result = StyleBatchEdit();
    QDialog::accept();
}

} // namespace tintwell
