#include "ui/dialogs/colours_panel.h"

#include "model/text.h"
#include "render/style_filter.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/qt_colour.h"
#include "ui/common/tool_panel.h"
#include "ui/common/twips.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/replace_colour_dialog.h"
#include "ui/theme/edit_command.h"
#include "ui/theme/theme_window.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <array>
#include <functional>

namespace tintwell {

namespace {

// Columns of the colour list: the colour, its uses, then one column a colour slot in the order
// of ColourSlot.
constexpr int slot_column = 2;
constexpr int column_count = slot_column + 4;
const std::array<const char*, column_count> column_captions = { "Colour", "Uses", "Line/Fill Day",
    "Line/Fill Night", "Border Day", "Border Night" };

// Lines of a tool tip listing the users of a colour; a colour used everywhere would otherwise
// fill the screen.
constexpr int users_shown = 20;

constexpr int near_page = 1;

// Side of a colour's swatch in the lists, in pixels.
constexpr int swatch_size = 14;

QString hex_text(colour::Rgb colour)
{
    return QString("#%1").arg(colour::to_hex(colour).c_str());
}

QString uses_text(int uses)
{
    return uses == 1 ? QString("1 use") : QString("%1 uses").arg(uses);
}

} // namespace

/// The lines of the colour list, read from the panel's colours as the view asks for them; the
/// tool tip of a line is worked out only when the pointer rests on it.
class ColourListModel : public QAbstractTableModel
{
public:
    ColourListModel(const std::vector<ColourInUse>& colours,
        std::function<QString(const ColourInUse&)> users, QObject* parent)
        : QAbstractTableModel(parent)
        , m_colours(colours)
        , m_users(std::move(users))
    {
    }

    /// Runs `change` on the colours between the two halves of a model reset.
    void reset(const std::function<void()>& change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_colours.size());
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : column_count;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount({})) {
            return {};
        }
        const ColourInUse& c = m_colours[static_cast<std::size_t>(index.row())];
        const int column = index.column();
        switch (role) {
        case Qt::DisplayRole:
            if (column == 0) {
                return hex_text(c.colour);
            }
            if (column == 1) {
                return c.total();
            }
            // An empty cell reads faster than a column of zeros.
            if (const int n = c.counts[static_cast<std::size_t>(column - slot_column)]; n > 0) {
                return n;
            }
            return {};
        case Qt::DecorationRole:
            return column == 0 ? QVariant(swatch_icon(to_qcolor(c.colour), swatch_size))
                               : QVariant();
        case Qt::TextAlignmentRole:
            return column == 0 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            return m_users(c);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
            && section < column_count) {
            return column_captions[static_cast<std::size_t>(section)];
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    const std::vector<ColourInUse>& m_colours;
    std::function<QString(const ColourInUse&)> m_users;
};

ColoursPanel::ColoursPanel(ThemeWindow& window)
    : QWidget(&window.host(), Qt::Tool)
    , m_window(window)
    , m_history(window.history())
    , m_history_index(window.history().index())
{
    setObjectName("colours_panel");
    setWindowTitle("Colours");
    m_pages = new QTabWidget(this);
    m_pages->setObjectName("colour_pages");
    build_colour_page();
    build_near_page();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pages);
    add_close_controls(*this, *layout);
    resize(px(9300), px(7800));

    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == near_page && isVisible()) {
            show_near_duplicates();
        }
    });
    connect(&m_history, &QUndoStack::indexChanged, this, &ColoursPanel::history_moved);
    connect(&window.theme(), &OpenTheme::theme_replaced, this, [this] {
        m_history_index = m_history.index();
        theme_changed();
    });
}

ColoursPanel::~ColoursPanel() = default;

void ColoursPanel::build_colour_page()
{
    auto* page = new QWidget(m_pages);
    m_order_box = new QComboBox(page);
    m_order_box->setObjectName("colour_order");
    m_order_box->addItem("Most used first", static_cast<int>(ColourOrder::Uses));
    m_order_box->addItem("By hue", static_cast<int>(ColourOrder::Hue));
    m_colour_count = new QLabel(page);
    m_colour_count->setObjectName("colour_count");

    m_model = new ColourListModel(
        m_colours, [this](const ColourInUse& c) { return users_text(c); }, this);
    m_colour_list = new QTableView(page);
    m_colour_list->setObjectName("colour_list");
    m_colour_list->setModel(m_model);
    m_colour_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_colour_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_colour_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_colour_list->setShowGrid(false);
    m_colour_list->setWordWrap(false);
    m_colour_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_colour_list->setToolTip(QString());
    // Lines of one height and columns sized once keep a list of thousands of colours quick.
    QHeaderView* lines = m_colour_list->verticalHeader();
    lines->hide();
    lines->setSectionResizeMode(QHeaderView::Fixed);
    lines->setDefaultSectionSize(fontMetrics().height() + 6);
    const QFontMetrics metrics(m_colour_list->horizontalHeader()->font());
    m_colour_list->setColumnWidth(0, metrics.horizontalAdvance("#DDDDDD") + 48);
    for (int column = 1; column < column_count; ++column) {
        m_colour_list->setColumnWidth(column,
            metrics.horizontalAdvance(column_captions[static_cast<std::size_t>(column)]) + 16);
    }

    m_replace_button = new QPushButton("Replace\u2026", page);
    m_replace_button->setObjectName("replace");
    m_replace_button->setToolTip("Replace the colour of the selected line");
    m_replace_button->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Sort", page));
    top->addWidget(m_order_box);
    top->addStretch();
    top->addWidget(m_colour_count);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Click a colour to show its styles", page));
    bottom->addStretch();
    bottom->addWidget(m_replace_button);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(m_colour_list);
    layout->addLayout(bottom);
    m_pages->addTab(page, "Colours");

    connect(m_order_box, &QComboBox::currentIndexChanged, this, &ColoursPanel::order_changed);
    connect(m_colour_list, &QTableView::clicked, this,
        [this](const QModelIndex& index) { colour_clicked(index.row()); });
    connect(m_colour_list, &QTableView::activated, this,
        [this](const QModelIndex& index) { colour_clicked(index.row()); });
    connect(m_colour_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this] { m_replace_button->setEnabled(current_line() >= 0); });
    connect(m_replace_button, &QPushButton::clicked, this, &ColoursPanel::replace_current);
    connect(
        m_colour_list, &QWidget::customContextMenuRequested, this, &ColoursPanel::show_colour_menu);
}

void ColoursPanel::order_changed()
{
    const std::optional<colour::Rgb> kept = current_line() >= 0
        ? std::optional(m_colours[static_cast<std::size_t>(current_line())].colour)
        : std::nullopt;
    m_model->reset([this] {
        sort_colours(m_colours, static_cast<ColourOrder>(m_order_box->currentData().toInt()));
    });
    // The pairs name colours by their place in the list.
    m_pairs_stale = true;
    if (m_pages->currentIndex() == near_page) {
        show_near_duplicates();
    }
    if (kept) {
        select_line(line_of(*kept));
    }
}

void ColoursPanel::show_colour_menu(QPoint at)
{
    const QModelIndex index = m_colour_list->indexAt(at);
    if (!index.isValid()) {
        return;
    }
    select_line(index.row());
    QMenu menu(this);
    menu.setObjectName("colour_menu");
    QAction* replace = menu.addAction("Replace\u2026");
    QAction* show_styles = menu.addAction("Show Its Styles");
    const QAction* chosen = menu.exec(m_colour_list->viewport()->mapToGlobal(at));
    if (chosen == replace) {
        replace_current();
    } else if (chosen == show_styles) {
        colour_clicked(index.row());
    }
}

void ColoursPanel::build_near_page()
{
    auto* page = new QWidget(m_pages);
    m_pair_list = new QTreeWidget(page);
    m_pair_list->setObjectName("near_list");
    m_pair_list->setRootIsDecorated(false);
    m_pair_list->setHeaderLabels({ "Keep", "Merge", "\u0394E2000" });
    for (int column = 0; column < 2; ++column) {
        m_pair_list->setColumnWidth(
            column, m_pair_list->fontMetrics().horizontalAdvance("#DDDDDD 0000 uses") + 40);
    }
    m_pair_count = new QLabel(page);
    m_pair_count->setObjectName("near_count");
    m_pair_count->setWordWrap(true);
    m_merge_button = new QPushButton("Merge", page);
    m_merge_button->setObjectName("merge");
    m_merge_button->setToolTip("Replace the rarer colour of the pair by the more used one");
    m_merge_button->setEnabled(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_pair_count, 1);
    bottom->addWidget(m_merge_button);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_pair_list);
    layout->addLayout(bottom);
    m_pages->addTab(page, "Near Duplicates");

    connect(m_pair_list, &QTreeWidget::currentItemChanged, this,
        [this](const QTreeWidgetItem* item) { m_merge_button->setEnabled(item != nullptr); });
    connect(m_merge_button, &QPushButton::clicked, this, &ColoursPanel::merge_current);
}

void ColoursPanel::open()
{
    if (!m_placed) {
        // Over the right of the preview, where it hides no control of the left panel.
        m_placed = true;
        move(m_window.host().mapToGlobal(
            QPoint(std::max(0, m_window.host().width() - width() - px(300)), px(900))));
    }
    show();
    raise();
    activateWindow();
}

void ColoursPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_colours_stale) {
        read_colours();
    } else if (m_pages->currentIndex() == near_page) {
        show_near_duplicates();
    }
}

void ColoursPanel::history_moved(int index)
{
    // Only steps that change rows change colours: typing in the title leaves the lists alone. A
    // step no longer in the history was dropped with it (a theme opened, which is told apart) or
    // came to nothing (a field typed and typed back).
    bool rows = false;
    for (int i = std::min(index, m_history_index); i < std::max(index, m_history_index); ++i) {
        const auto* step = dynamic_cast<const DocumentEditCommand*>(m_history.command(i));
        rows = rows || (step != nullptr && step->changes_rows());
    }
    m_history_index = index;
    if (rows) {
        theme_changed();
    }
}

void ColoursPanel::theme_changed()
{
    m_colours_stale = true;
    m_pairs_stale = true;
    if (isVisible()) {
        read_colours();
    }
}

void ColoursPanel::read_colours()
{
    const int line = current_line();
    const std::optional<colour::Rgb> kept =
        line >= 0 ? std::optional(m_colours[static_cast<std::size_t>(line)].colour) : std::nullopt;
    {
        BusyPointer busy;
        m_model->reset([this] {
            m_colours = colours_in_use(
                m_window.document(), static_cast<ColourOrder>(m_order_box->currentData().toInt()));
        });
    }
    m_colours_stale = false;
    m_pairs_stale = true;
    m_colour_count->setText(
        m_colours.size() == 1 ? QString("1 colour") : QString("%1 colours").arg(m_colours.size()));
    if (kept) {
        select_line(line_of(*kept));
    }
    m_replace_button->setEnabled(current_line() >= 0);
    if (m_pages->currentIndex() == near_page) {
        show_near_duplicates();
    }
}

void ColoursPanel::show_near_duplicates()
{
    if (m_colours_stale) {
        read_colours();
        return;
    }
    if (!m_pairs_stale) {
        return;
    }
    {
        BusyPointer busy;
        m_pairs = tintwell::near_duplicates(m_colours);
    }
    m_pairs_stale = false;
    m_pair_list->clear();
    const auto cell = [this](QTreeWidgetItem* item, int column, std::size_t at) {
        const ColourInUse& c = m_colours[at];
        item->setText(column, hex_text(c.colour) + " " + uses_text(c.total()));
        item->setData(column, Qt::DecorationRole, swatch_icon(to_qcolor(c.colour), swatch_size));
    };
    QList<QTreeWidgetItem*> items;
    for (std::size_t k = 0; k < m_pairs.size(); ++k) {
        auto* item = new QTreeWidgetItem;
        cell(item, 0, m_pairs[k].kept);
        cell(item, 1, m_pairs[k].merged);
        item->setText(2, QString::number(m_pairs[k].delta_e, 'f', 2));
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(k));
        items << item;
    }
    m_pair_list->addTopLevelItems(items);
    if (!items.isEmpty()) {
        m_pair_list->setCurrentItem(items.front());
    }
    m_merge_button->setEnabled(!items.isEmpty());
    m_pair_count->setText(m_pairs.empty()
            ? QString("No two colours are closer than \u0394E2000 %1").arg(near_duplicate_limit)
            : QString("%1 closer than \u0394E2000 %2: most likely one colour typed twice")
                  .arg(m_pairs.size() == 1 ? QString("1 pair")
                                           : QString("%1 pairs").arg(m_pairs.size()))
                  .arg(near_duplicate_limit));
}

int ColoursPanel::line_of(colour::Rgb colour) const
{
    for (std::size_t i = 0; i < m_colours.size(); ++i) {
        if (m_colours[i].colour == colour) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ColoursPanel::current_line() const
{
    const QModelIndex index = m_colour_list->selectionModel()->currentIndex();
    return index.isValid() && index.row() < static_cast<int>(m_colours.size()) ? index.row() : -1;
}

void ColoursPanel::select_line(int line)
{
    if (line < 0 || line >= static_cast<int>(m_colours.size())) {
        return;
    }
    const QModelIndex index = m_model->index(line, 0);
    m_colour_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_colour_list->scrollTo(index);
}

void ColoursPanel::colour_clicked(int line)
{
    if (line < 0 || line >= static_cast<int>(m_colours.size())) {
        return;
    }
    const ColourInUse& clicked = m_colours[static_cast<std::size_t>(line)];
    m_window.set_filter_text(hex_text(clicked.colour));
    // Its styles are selected too, ready for a change to all of them; the selected style stays
    // the framed one when it uses the colour.
    std::vector<int> rows;
    rows.reserve(clicked.uses.size());
    for (const ColourUse& use : clicked.uses) {
        if (rows.empty() || rows.back() != use.row) {
            rows.push_back(use.row);
        }
    }
    m_window.select_rows(rows, m_window.document().cur_row);
}

QString ColoursPanel::users_text(const ColourInUse& c) const
{
    const Document& doc = m_window.document();
    const auto& polygons = m_window.preview()->preview().poly_rows();
    const bool car_zumo = doc.kind == ThemeKind::CarZumo;
    QStringList lines;
    lines << hex_text(c.colour) + ": " + uses_text(c.total());
    if (c.transparent > 0) {
        lines << QString("%1 of them borders the device does not show (transparency 00)")
                     .arg(c.transparent);
    }
    int styles = 0;
    for (std::size_t i = 0; i < c.uses.size();) {
        const int row = c.uses[i].row;
        QStringList roles;
        for (; i < c.uses.size() && c.uses[i].row == row; ++i) {
            const ColourSlot slot = c.uses[i].slot;
            const bool polygon = static_cast<std::size_t>(row) < polygons.size()
                && polygons[static_cast<std::size_t>(row)] == 1;
            const QString part = is_border(slot) ? "border" : polygon ? "fill" : "line";
            roles << part + (is_night(slot) ? " night" : " day");
        }
        if (++styles > users_shown || !doc.valid_row(row)) {
            continue;
        }
        const StyleRow& style = doc.rows[static_cast<std::size_t>(row)];
        std::string name = text::trim(style.elem_name());
        if (name.empty()) {
            name = text::trim(style.field_name());
        }
        QString line = from_latin1(name);
        if (car_zumo) {
            line += " (" + from_latin1(text::trim(style.pres_name())) + ")";
        }
        lines << line + ": " + roles.join(", ");
    }
    if (styles > users_shown) {
        lines << QString("and %1 more styles").arg(styles - users_shown);
    }
    return lines.join('\n');
}

void ColoursPanel::replace_current()
{
    const int line = current_line();
    if (line < 0) {
        return;
    }
    const colour::Rgb from = m_colours[static_cast<std::size_t>(line)].colour;
    ReplaceColourDialog dialog(m_window.document(), from, this);
    cent(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const colour::Rgb to = dialog.new_colour();
    take_edit(replace_colour(m_window.document(), from, to, dialog.scope()), from, to);
}

void ColoursPanel::merge_current()
{
    const QTreeWidgetItem* item = m_pair_list->currentItem();
    if (item == nullptr || m_pairs_stale) {
        return;
    }
    const auto k = static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
    if (k >= m_pairs.size()) {
        return;
    }
    const NearDuplicate pair = m_pairs[k];
    const colour::Rgb merged = m_colours[pair.merged].colour;
    const colour::Rgb kept = m_colours[pair.kept].colour;
    take_edit(merge_colours(m_window.document(), m_colours, pair), merged, kept);
}

void ColoursPanel::take_edit(ColourEdit edit, colour::Rgb from, colour::Rgb to)
{
    if (edit.styles == 0) {
        return;
    }
    // The push is a step of the history, which reads the colours again.
    m_window.theme().push_edit(std::move(edit.edit), edit.description);
    m_window.redraw_keeping_scroll();
    if (m_window.code_shown()) {
        m_window.show_selected_code();
    }
    const StyleQuery filter = parse_query(to_latin1(m_window.filter_text()));
    if (filter.kind == StyleQuery::Kind::Colour && filter.colour == from && line_of(from) < 0) {
        m_window.set_filter_text(hex_text(to));
    }
    select_line(line_of(to));
}

} // namespace tintwell
