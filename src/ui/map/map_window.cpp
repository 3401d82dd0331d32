#include "ui/map/map_window.h"

#include "map/scene.h"
#include "render/preview.h"
#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/qt_colour.h"
#include "ui/map/map_pane.h"
#include "ui/theme/theme_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QUndoStack>
#include <QVBoxLayout>
#include <array>
#include <unordered_map>

namespace tintwell {

namespace {

struct VisionChoice
{
    const char* caption;
    colour::Vision vision;
};

// Named as the checker names them.
constexpr std::array<VisionChoice, 4> vision_choices = { { { "Normal", colour::Vision::Normal },
    { "Protanopia", colour::Vision::Protanopia }, { "Deuteranopia", colour::Vision::Deuteranopia },
    { "Tritanopia", colour::Vision::Tritanopia } } };

constexpr int legend_swatch = 12;

QPixmap swatch(const QColor& colour)
{
    QPixmap pixmap(legend_swatch, legend_swatch);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(0, 0, legend_swatch - 1, legend_swatch - 1);
    return pixmap;
}

} // namespace

MapWindow::MapWindow(ThemeWindow& window)
    : QWidget(&window.host(), Qt::Window)
    , m_window(window)
    , m_pane(new MapPane(this))
    , m_presentation_box(new QComboBox(this))
    , m_day_button(new QRadioButton("Day", this))
    , m_night_button(new QRadioButton("Night", this))
    , m_vision_box(new QComboBox(this))
    , m_legend(new QListWidget(this))
{
    setObjectName("map");
    setWindowTitle("Map");

    m_presentation_box->setObjectName("map_presentation");
    m_presentation_box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_day_button->setObjectName("map_day");
    m_night_button->setObjectName("map_night");
    m_day_button->setChecked(true);
    auto* times = new QButtonGroup(this);
    times->addButton(m_day_button);
    times->addButton(m_night_button);
    m_vision_box->setObjectName("map_vision");
    for (const VisionChoice& choice : vision_choices) {
        m_vision_box->addItem(choice.caption, static_cast<int>(choice.vision));
    }
    auto* fit_button = new QPushButton("Fit", this);
    fit_button->setObjectName("map_fit");
    fit_button->setAutoDefault(false);
    m_legend->setObjectName("map_legend");
    m_legend->setToolTip("The elements of the theme's kind and how the map shows them; click one "
                         "drawn to select its style");

    auto* presentation_label = new QLabel("Presentation", this);
    presentation_label->setBuddy(m_presentation_box);
    auto* vision_label = new QLabel("Vision", this);
    vision_label->setBuddy(m_vision_box);
    auto* bar = new QHBoxLayout;
    bar->addWidget(presentation_label);
    bar->addWidget(m_presentation_box);
    bar->addSpacing(12);
    bar->addWidget(m_day_button);
    bar->addWidget(m_night_button);
    bar->addSpacing(12);
    bar->addWidget(vision_label);
    bar->addWidget(m_vision_box);
    bar->addStretch();
    bar->addWidget(fit_button);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(m_pane);
    split->addWidget(m_legend);
    split->setStretchFactor(0, 1);
    split->setCollapsible(0, false);
    split->setSizes({ 800, 220 });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    const auto add_key = [this](const QList<QKeySequence>& keys, auto handler) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
    };
    const auto middle = [this] { return QPointF(m_pane->width() / 2.0, m_pane->height() / 2.0); };
    add_key({ QKeySequence("Ctrl++"), QKeySequence("Ctrl+=") },
        [this, middle] { m_pane->zoom_by(1.25, middle()); });
    add_key({ QKeySequence("Ctrl+-") }, [this, middle] { m_pane->zoom_by(1 / 1.25, middle()); });
    add_key({ QKeySequence("Ctrl+0") }, [this] { m_pane->actual_size(); });
    // F8 opens the map from the main window; here it closes it again.
    add_key({ QKeySequence(Qt::Key_F8), QKeySequence(Qt::Key_Escape) }, [this] { close(); });

    m_pane->set_describe([this](int row) { return describe(row); });
    connect(fit_button, &QPushButton::clicked, m_pane, &MapPane::fit);
    connect(m_presentation_box, &QComboBox::currentIndexChanged, this, &MapWindow::refresh);
    connect(m_night_button, &QRadioButton::toggled, this, &MapWindow::refresh);
    connect(m_vision_box, &QComboBox::currentIndexChanged, this, &MapWindow::refresh);
    connect(m_pane, &MapPane::row_clicked, this, &MapWindow::select_in_preview);
    connect(
        m_pane, &MapPane::row_double_clicked, this, [this](int row) { m_window.p1_DblClick(row); });
    connect(m_legend, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = item->data(Qt::UserRole).toInt();
        if (row >= 0) {
            select_in_preview(row);
        }
    });

    // Every step done, undone or redone moves the history; a theme opened or begun clears it.
    OpenTheme& theme = window.theme();
    connect(&theme.history(), &QUndoStack::indexChanged, this, &MapWindow::refresh);
    connect(&theme, &OpenTheme::rows_changed, this, &MapWindow::refresh);
    connect(&theme, &OpenTheme::presentations_changed, this, &MapWindow::refresh);
    connect(&theme, &OpenTheme::theme_replaced, this, &MapWindow::refresh);
}

map::MapLook MapWindow::look() const
{
    return { m_presentation_box->currentData().toString().toStdString(),
        m_night_button->isChecked() };
}

void MapWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale) {
        refresh();
    }
}

void MapWindow::refresh()
{
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    list_presentations();
    const auto vision = static_cast<colour::Vision>(m_vision_box->currentData().toInt());
    m_pane->show_plan(map::plan_map(m_window.document(), map::town_scene(), look()), vision);
    show_legend();
}

void MapWindow::list_presentations()
{
    const Document& doc = m_window.document();
    const std::vector<std::string> names = map::map_presentations(doc);
    QStringList wanted;
    for (const std::string& name : names) {
        wanted << from_latin1(name);
    }
    QStringList listed;
    for (int i = 0; i < m_presentation_box->count(); ++i) {
        listed << m_presentation_box->itemData(i).toString();
    }
    if (wanted == listed) {
        return;
    }
    const QString chosen = m_presentation_box->currentData().toString();
    const QSignalBlocker quiet(m_presentation_box);
    m_presentation_box->clear();
    for (const QString& name : wanted) {
        m_presentation_box->addItem(name.isEmpty() ? QString("Sport & Fitness") : name, name);
    }
    m_presentation_box->setCurrentIndex(std::max(m_presentation_box->findData(chosen), 0));
    m_presentation_box->setEnabled(m_presentation_box->count() > 1);
}

void MapWindow::show_legend()
{
    const map::MapPlan& plan = m_pane->plan();
    // The colour each drawn row shows on top: its body, fill or arrow.
    std::unordered_map<int, ColourValue> shown;
    for (const map::MapItem& item : plan.items) {
        if (item.pass != map::MapPass::Casing) {
            shown[item.row] = item.colour;
        }
    }
    const ColourMap seen =
        vision_map(static_cast<colour::Vision>(m_vision_box->currentData().toInt()));
    m_legend->clear();
    for (const map::LegendEntry& entry : plan.legend) {
        auto* item = new QListWidgetItem(m_legend);
        const QString element = from_latin1(entry.element);
        item->setData(Qt::UserRole, entry.row);
        if (entry.state == map::LegendState::Drawn) {
            item->setText(element);
            const auto found = shown.find(entry.row);
            if (found != shown.end() && found->second >= 0) {
                item->setIcon(swatch(to_qcolor(seen ? seen(found->second) : found->second)));
            }
            continue;
        }
        item->setText(element + ": "
            + from_latin1(entry.state == map::LegendState::NotInScene ? map::not_in_scene_text
                                                                      : map::not_set_text));
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
}

void MapWindow::select_in_preview(int row)
{
    if (!m_window.document().valid_row(row)) {
        return;
    }
    PreviewWidget* preview = m_window.preview();
    if (preview != nullptr && !preview->preview().layout().shown(row)) {
        m_window.set_filter_text(QString());
    }
    m_window.p1_MouseDown(row, Qt::LeftButton, QPoint());
    m_window.scroll_into_view(row);
}

QString MapWindow::describe(int row) const
{
    const Document& doc = m_window.document();
    if (!doc.valid_row(row)) {
        return {};
    }
    const QString presentation = doc.kind == ThemeKind::SportFitness
        ? QString("Sport & Fitness")
        : from_latin1(look().presentation);
    return from_latin1(doc.rows[static_cast<std::size_t>(row)].elem_name()) + "\n" + presentation;
}

} // namespace tintwell
