#include "ui/dialogs/check_panel.h"

#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/qt_colour.h"
#include "ui/common/tool_panel.h"
#include "ui/common/twips.h"
#include "ui/theme/theme_window.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace tintwell {

namespace {

enum Column { SeverityColumn, ColoursColumn, PresentationColumn, ReasonColumn, ColumnCount };

constexpr int swatch_size = 14;

SampleMark mark_of(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return SampleMark::Error;
    case Severity::Warning:
        return SampleMark::Warning;
    case Severity::Info:
        break;
    }
    return SampleMark::Info;
}

// A finding is the same one after a refresh, whatever its measured value, when it comes from the
// same rule on the same elements at the same time for the same eyes.
bool same_finding(const Finding& a, const Finding& b)
{
    return a.rule == b.rule && a.period == b.period && a.vision == b.vision
        && a.presentation == b.presentation && a.first == b.first && a.second == b.second;
}

struct VisionChoice
{
    const char* caption;
    colour::Vision vision;
};

constexpr std::array<VisionChoice, 4> vision_choices = { { { "Normal", colour::Vision::Normal },
    { "Protanopia", colour::Vision::Protanopia }, { "Deuteranopia", colour::Vision::Deuteranopia },
    { "Tritanopia", colour::Vision::Tritanopia } } };

} // namespace

/// The findings as rows of a table: severity, the two colours as swatches, presentation and
/// reason. Only the rows in view are asked for, so a theme with thousands of findings lists
/// them at once.
class FindingsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// Lists `findings`, which must live until the next call; null lists none.
    void set(const std::vector<const Finding*>* findings)
    {
        beginResetModel();
        m_findings = findings;
        endResetModel();
    }

    /// Rows `first` to `last` of the findings listed were measured again: the same rules on the
    /// same rows, in the same order, with new values.
    void remeasured(int first, int last)
    {
        if (first >= 0 && first <= last && last < rowCount({})) {
            emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
        }
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() || m_findings == nullptr ? 0 : static_cast<int>(m_findings->size());
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const std::array<const char*, ColumnCount> titles = { "Severity", "Colours",
            "Presentation", "Finding" };
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
            || section >= ColumnCount) {
            return {};
        }
        return QString(titles[static_cast<std::size_t>(section)]);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount({})) {
            return {};
        }
        const Finding& f = *(*m_findings)[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case SeverityColumn:
                return QString(severity_name(f.severity));
            case PresentationColumn:
                return from_latin1(f.presentation);
            case ReasonColumn:
                return from_latin1(f.reason);
            default:
                return {};
            }
        case Qt::DecorationRole:
            if (index.column() == SeverityColumn) {
                return swatches(to_qcolor(mark_colour(mark_of(f.severity))), {}, 10);
            }
            if (index.column() == ColoursColumn && f.first_colour) {
                return swatches(to_qcolor(*f.first_colour),
                    f.second_colour ? to_qcolor(*f.second_colour) : QColor(), swatch_size);
            }
            return {};
        case Qt::ToolTipRole:
            return from_latin1(describe(f));
        default:
            return {};
        }
    }

private:
    // One or two framed squares side by side, kept for the next row that shows the same pair.
    QPixmap swatches(const QColor& first, const QColor& second, int size) const
    {
        const QString key = first.name() + second.name() + QString::number(size);
        if (const auto found = m_swatches.constFind(key); found != m_swatches.cend()) {
            return *found;
        }
        const int count = second.isValid() ? 2 : 1;
        QPixmap pixmap(count * size + (count - 1) * 4, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setPen(QColor(90, 90, 90));
        for (int i = 0; i < count; ++i) {
            painter.setBrush(i == 0 ? first : second);
            painter.drawRect(i * (size + 4), 0, size - 1, size - 1);
        }
        painter.end();
        m_swatches.insert(key, pixmap);
        return pixmap;
    }

    const std::vector<const Finding*>* m_findings = nullptr;
    mutable QHash<QString, QPixmap> m_swatches;
};

CheckPanel::CheckPanel(ThemeWindow& window)
    : QWidget(&window.host(), Qt::Tool)
    , m_window(window)
    , m_preview(window.preview())
    , m_refresh_timer(new QTimer(this))
    , m_model(new FindingsModel(this))
{
    setObjectName("check_panel");
    setWindowTitle("Check Theme");

    m_marks_box = new QCheckBox("Marks", this);
    m_marks_box->setObjectName("marks");
    m_marks_box->setChecked(true);
    auto* simulate_label = new QLabel("Simulate", this);
    m_simulate_box = new QComboBox(this);
    m_simulate_box->setObjectName("simulate");
    for (const VisionChoice& choice : vision_choices) {
        m_simulate_box->addItem(choice.caption, static_cast<int>(choice.vision));
    }
    simulate_label->setBuddy(m_simulate_box);
    m_summary = new QLabel(this);
    m_summary->setObjectName("summary");

    m_model->set(&m_listed);
    m_list = new QTreeView(this);
    m_list->setObjectName("findings");
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setColumnWidth(SeverityColumn, px(1250));
    m_list->setColumnWidth(ColoursColumn, px(750));
    m_list->setColumnWidth(PresentationColumn, px(1700));
    m_list->header()->setStretchLastSection(true);
    m_list->viewport()->installEventFilter(this);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_marks_box);
    controls->addSpacing(px(300));
    controls->addWidget(simulate_label);
    controls->addWidget(m_simulate_box);
    controls->addStretch();
    controls->addWidget(m_summary);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_list);
    add_close_controls(*this, *layout);
    resize(px(11000), px(4200));

    m_refresh_timer->setSingleShot(true);
    m_refresh_timer->setInterval(0);
    connect(m_refresh_timer, &QTimer::timeout, this, &CheckPanel::refresh);
    connect(&m_window.history(), &QUndoStack::indexChanged, this, &CheckPanel::schedule_refresh);
    connect(&m_window.theme(), &OpenTheme::theme_replaced, this, &CheckPanel::file_changed);
    connect(&m_window.theme(), &OpenTheme::theme_saved, this, &CheckPanel::file_changed);
    connect(m_marks_box, &QCheckBox::toggled, this, &CheckPanel::show_marks);
    connect(m_simulate_box, &QComboBox::currentIndexChanged, this, &CheckPanel::show_vision);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            // The button held on a finding has selected it already; a refresh only puts the
            // same finding back.
            if (!m_holding && !m_filling && current.isValid()) {
                select(current.row(), true);
            }
        });
}

// The list may still ask for rows while the widgets are taken down, after the findings are gone.
CheckPanel::~CheckPanel()
{
    m_model->set(nullptr);
}

void CheckPanel::open()
{
    const bool was_open = isVisible();
    if (!was_open) {
        // Over the lower right of the preview, where it hides no control of the left panel.
        move(m_window.host().mapToGlobal(
            QPoint(std::max(0, m_window.host().width() - width() - px(600)),
                std::max(0, m_window.host().height() - height() - px(1500)))));
    }
    // Showing the panel checks the theme; one already open is checked again.
    show();
    raise();
    activateWindow();
    if (was_open) {
        refresh();
    }
}

void CheckPanel::toggle()
{
    if (isVisible()) {
        close();
    } else {
        open();
    }
}

void CheckPanel::file_changed(const QString& path)
{
    m_file = path;
    m_file_pending = true;
    schedule_refresh();
}

void CheckPanel::schedule_refresh()
{
    if (m_open) {
        m_refresh_timer->start();
    }
}

void CheckPanel::refresh()
{
    m_refresh_timer->stop();
    if (!m_open) {
        return;
    }
    // The finding the list is on, taken before the checker replaces the findings.
    const QModelIndex current = m_list->currentIndex();
    std::optional<Finding> kept;
    if (current.isValid()) {
        kept = *m_listed[static_cast<std::size_t>(current.row())];
    }
    const Document& doc = m_window.document();
    if (m_file_pending) {
        m_file_pending = false;
        m_checker.clear();
        QFile file(m_file);
        if (!m_file.isEmpty() && file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            m_checker.read_file(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), doc);
        }
    }
    const std::vector<Finding>& colours = m_checker.update(doc);
    const std::vector<Finding>& file = m_checker.file_findings();

    m_listed.clear();
    m_listed.reserve(file.size() + colours.size());
    for (const auto* found : { &file, &colours }) {
        for (const Finding& f : *found) {
            m_listed.push_back(&f);
        }
    }
    std::stable_sort(m_listed.begin(), m_listed.end(),
        [](const Finding* a, const Finding* b) { return a->severity > b->severity; });
    // After most edits the same findings come back with new values: the list then keeps its
    // place and is not laid out again, which on thousands of findings costs more than checking.
    std::vector<FindingKey> keys;
    keys.reserve(m_listed.size());
    for (const Finding* f : m_listed) {
        keys.push_back({ f->rule, f->first_row, f->second_row, f->period, f->vision });
    }
    m_filling = true;
    if (keys == m_keys) {
        // The one view asks for the rows out of sight when they come into sight; telling it of
        // every row would have it work out where each one lies.
        const QModelIndex top = m_list->indexAt(QPoint(0, 0));
        const QModelIndex bottom = m_list->indexAt(QPoint(0, m_list->viewport()->height() - 1));
        m_model->remeasured(top.isValid() ? top.row() : 0,
            bottom.isValid() ? bottom.row() : m_model->rowCount({}) - 1);
    } else {
        m_model->set(&m_listed);
        const auto same = std::find_if(m_listed.begin(), m_listed.end(),
            [&kept](const Finding* f) { return kept && same_finding(*f, *kept); });
        if (same != m_listed.end()) {
            m_list->setCurrentIndex(m_model->index(static_cast<int>(same - m_listed.begin()), 0));
        }
    }
    m_keys = std::move(keys);
    m_filling = false;

    std::array<int, 3> counts {};
    for (const Finding* f : m_listed) {
        ++counts[static_cast<std::size_t>(f->severity)];
    }
    const auto count = [&counts](Severity severity, const char* one, const char* more) {
        const int n = counts[static_cast<std::size_t>(severity)];
        return QString("%1 %2").arg(n).arg(n == 1 ? one : more);
    };
    QString summary = "No findings";
    if (!m_listed.empty()) {
        summary = count(Severity::Error, "error", "errors") + ", "
            + count(Severity::Warning, "warning", "warnings") + ", "
            + count(Severity::Info, "info", "info");
    }
    m_summary->setText(summary);
    show_marks();
}

void CheckPanel::show_marks()
{
    if (m_preview == nullptr) {
        return;
    }
    std::vector<SampleMark> marks;
    if (m_open && m_marks_box->isChecked()) {
        marks.assign(static_cast<std::size_t>(std::max(m_window.document().row_count(), 0)),
            SampleMark::None);
        for (int i = 0; i < static_cast<int>(m_listed.size()); ++i) {
            const int row = subject_row(i);
            if (row >= 0 && row < static_cast<int>(marks.size())) {
                SampleMark& mark = marks[static_cast<std::size_t>(row)];
                mark = std::max(mark, mark_of(m_listed[static_cast<std::size_t>(i)]->severity));
            }
        }
    }
    Preview& preview = m_preview->preview();
    if (marks != preview.marks) {
        preview.marks = std::move(marks);
        m_preview->update();
    }
}

void CheckPanel::show_vision()
{
    if (m_preview == nullptr) {
        return;
    }
    const auto vision = m_open ? static_cast<colour::Vision>(m_simulate_box->currentData().toInt())
                               : colour::Vision::Normal;
    Preview& preview = m_preview->preview();
    if (preview.vision() != vision) {
        preview.set_vision(vision);
        m_preview->update();
    }
}

int CheckPanel::subject_row(int listed) const
{
    if (listed < 0 || listed >= static_cast<int>(m_listed.size())) {
        return -1;
    }
    const Finding& f = *m_listed[static_cast<std::size_t>(listed)];
    const int row = f.first_row >= 0 ? f.first_row : f.second_row;
    return m_window.document().valid_row(row) ? row : -1;
}

void CheckPanel::select(int listed, bool reveal)
{
    const int row = subject_row(listed);
    if (row < 0) {
        return;
    }
    m_window.p1_MouseDown(row, Qt::LeftButton, QPoint());
    if (reveal) {
        m_window.scroll_into_view(row);
    }
}

void CheckPanel::hold(int listed)
{
    const int row = subject_row(listed);
    if (row < 0 || m_preview == nullptr) {
        return;
    }
    const Document& doc = m_window.document();
    const Finding& f = *m_listed[static_cast<std::size_t>(listed)];
    std::vector<int> rows;
    for (const int r : { f.first_row, f.second_row }) {
        if (doc.valid_row(r) && std::find(rows.begin(), rows.end(), r) == rows.end()) {
            rows.push_back(r);
        }
    }
    // In table order, as the full preview shows them.
    std::sort(rows.begin(), rows.end());
    Preview& preview = m_preview->preview();
    m_kept_rows.reset();
    if (const std::vector<int>* shown = preview.shown_rows()) {
        m_kept_rows = *shown;
    }
    m_holding = true;
    m_held_row = row;
    preview.show_only(std::move(rows));
    m_window.relayout_preview();
    select(listed, true);
}

void CheckPanel::let_go()
{
    if (!m_holding) {
        return;
    }
    m_holding = false;
    if (m_preview == nullptr) {
        return;
    }
    Preview& preview = m_preview->preview();
    if (m_kept_rows) {
        preview.show_only(std::move(*m_kept_rows));
    } else {
        preview.show_all();
    }
    m_kept_rows.reset();
    m_window.relayout_preview();
    m_window.scroll_into_view(m_held_row);
}

void CheckPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_open = true;
    show_vision();
    refresh();
}

void CheckPanel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    let_go();
    m_open = false;
    show_marks();
    show_vision();
}

bool CheckPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport()) {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
            if (mouse->button() == Qt::LeftButton && index.isValid() && !m_holding) {
                hold(index.row());
            }
        } else if (type == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                let_go();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tintwell
