#include "ui/dialogs/night_colours_dialog.h"

#include "analysis/colour_edits.h"
#include "analysis/lint_rules.h"
#include "model/presentations.h"
#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/qt_colour.h"
#include "ui/common/twips.h"
#include "ui/theme/theme_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSlider>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace tintwell {

namespace {

constexpr int tile_width = 44;
constexpr int tile_height = 30;
constexpr int tiles_across = 8;
constexpr int most_tiles = 24;

struct ScopeChoice
{
    const char* caption;
    NightScope scope;
};

constexpr std::array<ScopeChoice, 4> scope_choices = { {
    { "Whole theme", NightScope::WholeTheme },
    { "One presentation", NightScope::Presentation },
    { "The styles the filter keeps", NightScope::Filtered },
    { "The selected style", NightScope::Selected },
} };

// A style as the night shows it: its night colour, or its day colour where it has none.
QColor night_colour(const StyleColours& colours, ColourSlot night, ColourSlot day)
{
    const auto& shown = colours.colours[static_cast<std::size_t>(night)];
    const auto& fallback = colours.colours[static_cast<std::size_t>(day)];
    if (shown) {
        return to_qcolor(*shown);
    }
    return fallback ? to_qcolor(*fallback) : QColor();
}

// Each sample style at night on the land: its fill, framed by its border where it has one.
QPixmap night_samples(const Document& doc, const std::vector<int>& rows)
{
    QColor land(200, 200, 200);
    for (int row = 0; row < doc.row_count(); ++row) {
        if (lint_element_name(doc.rows[static_cast<std::size_t>(row)].field_name()) == "LAND") {
            const QColor found =
                night_colour(copy_colours(doc, row), ColourSlot::BodyNight, ColourSlot::BodyDay);
            if (found.isValid()) {
                land = found;
            }
            break;
        }
    }
    const int count = std::min(static_cast<int>(rows.size()), most_tiles);
    const int lines = std::max((count + tiles_across - 1) / tiles_across, 1);
    QPixmap pixmap(tiles_across * tile_width, lines * tile_height);
    pixmap.fill(land);
    QPainter painter(&pixmap);
    for (int i = 0; i < count; ++i) {
        const StyleColours colours = copy_colours(doc, rows[static_cast<std::size_t>(i)]);
        const QColor body = night_colour(colours, ColourSlot::BodyNight, ColourSlot::BodyDay);
        const QColor border = night_colour(colours, ColourSlot::BorderNight, ColourSlot::BorderDay);
        const QRect tile((i % tiles_across) * tile_width, (i / tiles_across) * tile_height,
            tile_width, tile_height);
        const QRect sample = tile.adjusted(8, 8, -8, -8);
        if (border.isValid()) {
            painter.fillRect(sample.adjusted(-3, -3, 3, 3), border);
        }
        if (body.isValid()) {
            painter.fillRect(sample, body);
        }
    }
    painter.end();
    return pixmap;
}

const std::string& presentation_of(const StyleRow& row)
{
    return pres_catalogue[static_cast<std::size_t>(std::clamp(row.pres_code / 10, 0, 5))];
}

// Every row of a Sport & Fitness theme, which is one list.
std::vector<int> rows_of_presentation(const Document& doc, const std::string& name)
{
    std::vector<int> rows;
    for (int row = 0; row < doc.row_count(); ++row) {
        if (doc.kind != ThemeKind::CarZumo
            || presentation_of(doc.rows[static_cast<std::size_t>(row)]) == name) {
            rows.push_back(row);
        }
    }
    return rows;
}

} // namespace

NightColoursDialog::NightColoursDialog(ThemeWindow& window, QWidget* parent)
    : QDialog(parent)
    , m_window(window)
    , m_samples_timer(new QTimer(this))
{
    setObjectName("night_colours");
    setWindowTitle("Make Night Colours");
    const Document& doc = window.document();

    m_scope_box = new QComboBox(this);
    m_scope_box->setObjectName("scope");
    for (const ScopeChoice& choice : scope_choices) {
        m_scope_box->addItem(choice.caption, static_cast<int>(choice.scope));
    }
    m_presentation_box = new QComboBox(this);
    m_presentation_box->setObjectName("presentation");
    for (const std::string& name : presentations_in_rows(doc)) {
        m_presentation_box->addItem(from_latin1(name));
    }
    if (doc.row_count() > 0 && doc.valid_row(doc.cur_row) && doc.kind == ThemeKind::CarZumo) {
        m_presentation_box->setCurrentText(from_latin1(pres_catalogue[static_cast<std::size_t>(
            std::clamp(doc.rows[static_cast<std::size_t>(doc.cur_row)].pres_code / 10, 0, 5))]));
    }
    // A choice that holds no style cannot be made.
    auto* choices = qobject_cast<QStandardItemModel*>(m_scope_box->model());
    const PreviewWidget* preview = window.preview();
    const bool filtered = preview != nullptr && preview->preview().shown_rows() != nullptr;
    const bool selected =
        preview != nullptr && preview->frame_visible() && doc.valid_row(doc.cur_row);
    choices->item(static_cast<int>(NightScope::Presentation))
        ->setEnabled(m_presentation_box->count() > 0);
    choices->item(static_cast<int>(NightScope::Filtered))->setEnabled(filtered);
    choices->item(static_cast<int>(NightScope::Selected))->setEnabled(selected);

    m_land_slider = new QSlider(Qt::Horizontal, this);
    m_land_slider->setObjectName("land_lightness");
    m_land_slider->setRange(5, 40);
    m_land_slider->setValue(static_cast<int>(NightSettings().land_lightness));
    m_land_value = new QLabel(this);
    m_saturation_slider = new QSlider(Qt::Horizontal, this);
    m_saturation_slider->setObjectName("saturation");
    m_saturation_slider->setRange(0, 100);
    m_saturation_slider->setValue(static_cast<int>(NightSettings().saturation * 100));
    m_saturation_value = new QLabel(this);

    m_before = new QLabel(this);
    m_before->setObjectName("before");
    m_after = new QLabel(this);
    m_after->setObjectName("after");

    auto* form = new QFormLayout;
    form->addRow("Styles", m_scope_box);
    form->addRow("Presentation", m_presentation_box);
    auto* land = new QHBoxLayout;
    land->addWidget(m_land_slider);
    land->addWidget(m_land_value);
    form->addRow("Land lightness", land);
    auto* saturation = new QHBoxLayout;
    saturation->addWidget(m_saturation_slider);
    saturation->addWidget(m_saturation_value);
    form->addRow("Saturation", saturation);
    auto* samples = new QGridLayout;
    samples->addWidget(new QLabel("Night now", this), 0, 0);
    samples->addWidget(new QLabel("Night made from day", this), 0, 1);
    samples->addWidget(m_before, 1, 0);
    samples->addWidget(m_after, 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(samples);
    layout->addWidget(buttons);

    m_samples_timer->setSingleShot(true);
    m_samples_timer->setInterval(0);
    connect(m_samples_timer, &QTimer::timeout, this, &NightColoursDialog::show_samples);
    const auto later = [this] { m_samples_timer->start(); };
    connect(m_scope_box, &QComboBox::currentIndexChanged, this, later);
    connect(m_presentation_box, &QComboBox::currentIndexChanged, this, later);
    connect(m_land_slider, &QSlider::valueChanged, this, later);
    connect(m_saturation_slider, &QSlider::valueChanged, this, later);
    connect(buttons, &QDialogButtonBox::accepted, this, &NightColoursDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NightColoursDialog::reject);
    show_samples();
}

NightSettings NightColoursDialog::settings() const
{
    NightSettings settings;
    settings.land_lightness = m_land_slider->value();
    settings.saturation = m_saturation_slider->value() / 100.0;
    return settings;
}

std::vector<int> NightColoursDialog::scope_rows() const
{
    const Document& doc = m_window.document();
    std::vector<int> rows;
    switch (static_cast<NightScope>(m_scope_box->currentData().toInt())) {
    case NightScope::WholeTheme:
        for (int row = 0; row < doc.row_count(); ++row) {
            rows.push_back(row);
        }
        break;
    case NightScope::Presentation:
        rows = sample_presentation_rows();
        break;
    case NightScope::Filtered:
        if (const PreviewWidget* preview = m_window.preview()) {
            if (const std::vector<int>* shown = preview->preview().shown_rows()) {
                for (const int row : *shown) {
                    if (doc.valid_row(row)) {
                        rows.push_back(row);
                    }
                }
            }
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        break;
    case NightScope::Selected:
        if (doc.valid_row(doc.cur_row)) {
            rows.push_back(doc.cur_row);
        }
        break;
    }
    return rows;
}

std::vector<int> NightColoursDialog::sample_presentation_rows() const
{
    const Document& doc = m_window.document();
    return rows_of_presentation(doc, to_latin1(m_presentation_box->currentText()));
}

void NightColoursDialog::show_samples()
{
    m_samples_timer->stop();
    m_land_value->setText(QString("L* %1").arg(m_land_slider->value()));
    m_saturation_value->setText(QString("%1 %").arg(m_saturation_slider->value()));
    // The samples are one presentation's styles: made into a small theme of their own, the night
    // follows every slider move even on a theme of many presentations.
    const Document& doc = m_window.document();
    const std::vector<int> scope = scope_rows();
    std::vector<int> sample_rows = sample_presentation_rows();
    const auto in_scope = [&scope](int row) {
        return std::binary_search(scope.begin(), scope.end(), row);
    };
    // Samples of the styles that change, when none of the presentation chosen does.
    if (!scope.empty() && std::none_of(sample_rows.begin(), sample_rows.end(), in_scope)) {
        sample_rows = rows_of_presentation(
            doc, presentation_of(doc.rows[static_cast<std::size_t>(scope.front())]));
    }
    Document small;
    small.kind = doc.kind;
    std::vector<int> small_scope;
    for (const int row : sample_rows) {
        if (in_scope(row)) {
            small_scope.push_back(small.row_count());
        }
        small.rows.push_back(doc.rows[static_cast<std::size_t>(row)]);
    }
    std::vector<int> shown(small_scope);
    if (shown.empty()) {
        for (int row = 0; row < small.row_count(); ++row) {
            shown.push_back(row);
        }
    }
    m_before->setPixmap(night_samples(small, shown));
    make_night_colours(small, small_scope, settings()).edit.apply(small);
    m_after->setPixmap(night_samples(small, shown));
}

void NightColoursDialog::accept()
{
    ColourEdit made = make_night_colours(m_window.document(), scope_rows(), settings());
    if (made.styles > 0) {
        m_window.theme().push_edit(std::move(made.edit), made.description);
        m_window.redraw_keeping_scroll();
        m_window.show_selected_code();
    }
    QDialog::accept();
}

} // namespace tintwell
