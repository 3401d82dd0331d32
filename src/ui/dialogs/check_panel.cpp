#include "ui/dialogs/check_panel.h"

#include "ui/common/latin1.h"
#include "ui/common/preview_widget.h"
#include "ui/common/qt_colour.h"
#include "ui/common/tool_panel.h"
#include "ui/common/twips.h"
#include "ui/dialogs/findings_model.h"
#include "ui/theme/editor_launcher.h"
#include "ui/theme/theme_window.h"

#include <QAbstractItemModel>
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
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace tintwell {

namespace {

constexpr int fix_swatch_size = 22;

// The group with the rows each member measured: the list keeps its place while these stay.
std::string listed_key(const FindingGroup& group)
{
    std::string key = group_key(group);
    for (const Finding& f : group.members) {
        key += '\0' + std::to_string(f.first_row) + ',' + std::to_string(f.second_row);
    }
    return key;
}

// The checker's findings as groups, the most serious first and otherwise in the order found.
std::vector<FindingGroup> grouped(const ThemeChecker& checker)
{
    FindingGrouper grouper;
    for (const auto* found : { &checker.file_findings(), &checker.colour_findings() }) {
        for (const Finding& f : *found) {
            grouper.add(Finding(f));
        }
    }
    std::vector<FindingGroup> groups = grouper.take();
    std::stable_sort(groups.begin(), groups.end(),
        [](const FindingGroup& a, const FindingGroup& b) { return a.severity > b.severity; });
    return groups;
}

struct VisionChoice
{
    const char* caption;
    colour::Vision vision;
};

constexpr std::array<VisionChoice, 4> vision_choices = { { { "Normal", colour::Vision::Normal },
    { "Protanopia", colour::Vision::Protanopia }, { "Deuteranopia", colour::Vision::Deuteranopia },
    { "Tritanopia", colour::Vision::Tritanopia } } };

struct SeverityChoice
{
    const char* caption;
    int severity;
};

constexpr std::array<SeverityChoice, 4> severity_choices = { { { "All severities", -1 },
    { "Errors", static_cast<int>(Severity::Error) },
    { "Warnings", static_cast<int>(Severity::Warning) },
    { "Info", static_cast<int>(Severity::Info) } } };

struct TimeChoice
{
    const char* caption;
    Period period;
};

// Day and night findings hold at either time, so both choices keep them.
constexpr std::array<TimeChoice, 3> time_choices = { { { "Any time", Period::None },
    { "Day", Period::Day }, { "Night", Period::Night } } };

QString measure_text(const LintRule& rule, double value)
{
    const QString number = QString::fromStdString(value_text(value));
    return rule.measure == Measure::Contrast ? number + ":1" : number;
}

} // namespace

CheckPanel::CheckPanel(ThemeWindow& window)
    : QWidget(&window.host(), Qt::Tool)
    , m_window(window)
    , m_preview(window.preview())
    , m_refresh_timer(new QTimer(this))
    , m_model(new FindingsModel(this))
    , m_filter(new FindingsFilter(this))
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

    m_severity_box = new QComboBox(this);
    m_severity_box->setObjectName("severity_filter");
    for (const SeverityChoice& choice : severity_choices) {
        m_severity_box->addItem(choice.caption, choice.severity);
    }
    m_rule_box = new QComboBox(this);
    m_rule_box->setObjectName("rule_filter");
    m_rule_box->addItem("All rules", -1);
    for (const LintRule& rule : lint_rules()) {
        m_rule_box->addItem(QString::fromLatin1(rule.id.data(), static_cast<int>(rule.id.size())),
            rule_index(&rule));
    }
    m_time_box = new QComboBox(this);
    m_time_box->setObjectName("time_filter");
    for (const TimeChoice& choice : time_choices) {
        m_time_box->addItem(choice.caption, static_cast<int>(choice.period));
    }

    m_model->reset(&m_groups, [] {});
    m_filter->setSourceModel(m_model);
    m_filter->setSortRole(SortRole);
    m_list = new QTreeView(this);
    m_list->setObjectName("findings");
    m_list->setModel(m_filter);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setColumnWidth(SeverityColumn, px(1250));
    m_list->setColumnWidth(ColoursColumn, px(750));
    m_list->setColumnWidth(PresentationColumn, px(1700));
    m_list->setColumnWidth(ReasonColumn, px(5200));
    m_list->setColumnWidth(TimeColumn, px(1300));
    m_list->header()->setStretchLastSection(true);
    // The most serious first; within a severity, in the order the checker found them.
    m_list->header()->setSortIndicator(SeverityColumn, Qt::DescendingOrder);
    m_list->setSortingEnabled(true);
    m_list->viewport()->installEventFilter(this);

    m_fix_before = new QLabel(this);
    m_fix_before->setObjectName("fix_before");
    m_fix_after = new QLabel(this);
    m_fix_after->setObjectName("fix_after");
    m_fix_text = new QLabel(this);
    m_fix_text->setObjectName("fix_text");
    m_fix_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fix_button = new QPushButton("Fix", this);
    m_fix_button->setObjectName("fix");
    m_fix_button->setEnabled(false);
    m_fix_all_button = new QPushButton("Fix All Shown", this);
    m_fix_all_button->setObjectName("fix_all");

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_marks_box);
    controls->addSpacing(px(300));
    controls->addWidget(simulate_label);
    controls->addWidget(m_simulate_box);
    controls->addSpacing(px(300));
    controls->addWidget(m_severity_box);
    controls->addWidget(m_rule_box);
    controls->addWidget(m_time_box);
    controls->addStretch();
    controls->addWidget(m_summary);
    auto* fix_line = new QHBoxLayout;
    fix_line->addWidget(m_fix_before);
    fix_line->addWidget(m_fix_after);
    fix_line->addWidget(m_fix_text, 1);
    fix_line->addWidget(m_fix_button);
    fix_line->addWidget(m_fix_all_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_list);
    layout->addLayout(fix_line);
    add_close_controls(*this, *layout);
    resize(px(12500), px(4800));

    m_refresh_timer->setSingleShot(true);
    m_refresh_timer->setInterval(0);
    connect(m_refresh_timer, &QTimer::timeout, this, &CheckPanel::refresh);
    connect(&m_window.history(), &QUndoStack::indexChanged, this, &CheckPanel::schedule_refresh);
    connect(&m_window.theme(), &OpenTheme::theme_replaced, this, &CheckPanel::file_changed);
    connect(&m_window.theme(), &OpenTheme::theme_saved, this, &CheckPanel::file_changed);
    connect(m_marks_box, &QCheckBox::toggled, this, &CheckPanel::show_marks);
    connect(m_simulate_box, &QComboBox::currentIndexChanged, this, &CheckPanel::show_vision);
    for (QComboBox* box : { m_severity_box, m_rule_box, m_time_box }) {
        connect(box, &QComboBox::currentIndexChanged, this, &CheckPanel::filter_changed);
    }
    connect(m_fix_button, &QPushButton::clicked, this, &CheckPanel::fix_current);
    connect(m_fix_all_button, &QPushButton::clicked, this, &CheckPanel::fix_all_shown);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            // The button held on an item has selected it already; a refresh only puts the same
            // item back.
            if (!m_holding && !m_filling && current.isValid()) {
                const auto [group, member] = item_at(current);
                select(group, member, true);
            }
            if (!m_filling) {
                show_fix();
            }
        });
}

// The list may still ask for rows while the widgets are taken down, after the groups are gone.
CheckPanel::~CheckPanel()
{
    m_model->reset(nullptr, [] {});
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
    // The item the list is on and the groups open, taken before the groups are replaced.
    const auto [current_group, current_member] = item_at(m_list->currentIndex());
    std::optional<std::string> kept;
    if (current_group >= 0) {
        kept = group_key(m_groups[static_cast<std::size_t>(current_group)]);
    }
    QSet<QString> expanded;
    for (int r = 0; r < m_filter->rowCount(); ++r) {
        const QModelIndex at = m_filter->index(r, 0);
        if (m_list->isExpanded(at)) {
            const auto [group, member] = item_at(at);
            expanded.insert(
                QString::fromStdString(group_key(m_groups[static_cast<std::size_t>(group)])));
        }
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
    m_checker.update(doc);
    std::vector<FindingGroup> groups = grouped(m_checker);
    std::vector<std::string> keys;
    keys.reserve(groups.size());
    for (const FindingGroup& group : groups) {
        keys.push_back(listed_key(group));
    }

    m_filling = true;
    if (keys == m_keys) {
        // After most edits the same findings come back with new values: the list then keeps its
        // place, and what is open stays open.
        m_groups = std::move(groups);
        m_model->remeasured();
    } else {
        m_model->reset(&m_groups, [&] { m_groups = std::move(groups); });
        for (int r = 0; r < m_filter->rowCount(); ++r) {
            const QModelIndex at = m_filter->index(r, 0);
            const auto [group, member] = item_at(at);
            const std::string key = group_key(m_groups[static_cast<std::size_t>(group)]);
            if (expanded.contains(QString::fromStdString(key))) {
                m_list->expand(at);
            }
            if (kept && key == *kept) {
                QModelIndex place = at;
                if (current_member >= 0 && current_member < m_filter->rowCount(at)) {
                    place = m_filter->index(current_member, 0, at);
                }
                m_list->setCurrentIndex(place);
            }
        }
    }
    m_keys = std::move(keys);
    m_filling = false;
    show_summary();
    show_marks();
    show_fix();
}

void CheckPanel::show_summary()
{
    std::array<std::size_t, 3> counts {};
    for (const FindingGroup& group : m_groups) {
        for (const Finding& f : group.members) {
            ++counts[static_cast<std::size_t>(f.severity)];
        }
        counts[static_cast<std::size_t>(group.severity)] += group.left_out;
    }
    const auto count = [&counts](Severity severity, const char* one, const char* more) {
        const std::size_t n = counts[static_cast<std::size_t>(severity)];
        return QString("%1 %2").arg(n).arg(n == 1 ? one : more);
    };
    QString summary = "No findings";
    if (!m_groups.empty()) {
        summary = count(Severity::Error, "error", "errors") + ", "
            + count(Severity::Warning, "warning", "warnings") + ", "
            + count(Severity::Info, "info", "info");
        if (m_filter->rowCount() < static_cast<int>(m_groups.size())) {
            summary +=
                QString("; %1 of %2 groups shown").arg(m_filter->rowCount()).arg(m_groups.size());
        }
    }
    m_summary->setText(summary);
}

void CheckPanel::filter_changed()
{
    m_filter->choose(m_severity_box->currentData().toInt(), m_rule_box->currentData().toInt(),
        static_cast<Period>(m_time_box->currentData().toInt()));
    show_summary();
    show_fix();
}

void CheckPanel::show_marks()
{
    if (m_preview == nullptr) {
        return;
    }
    std::vector<SampleMark> marks;
    if (m_open && m_marks_box->isChecked()) {
        const Document& doc = m_window.document();
        marks.assign(static_cast<std::size_t>(std::max(doc.row_count(), 0)), SampleMark::None);
        for (const FindingGroup& group : m_groups) {
            for (const Finding& f : group.members) {
                const int row = f.first_row >= 0 ? f.first_row : f.second_row;
                if (doc.valid_row(row)) {
                    SampleMark& mark = marks[static_cast<std::size_t>(row)];
                    mark = std::max(mark, mark_of(f.severity));
                }
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

std::pair<int, int> CheckPanel::item_at(const QModelIndex& index) const
{
    const auto [group, member] = FindingsModel::item(m_filter->mapToSource(index));
    if (group < 0 || group >= static_cast<int>(m_groups.size())) {
        return { -1, -1 };
    }
    return { group, member };
}

int CheckPanel::subject_row(int group, int member) const
{
    if (group < 0 || group >= static_cast<int>(m_groups.size())) {
        return -1;
    }
    const std::vector<Finding>& members = m_groups[static_cast<std::size_t>(group)].members;
    const std::size_t at = member < 0 ? 0 : static_cast<std::size_t>(member);
    if (at >= members.size()) {
        return -1;
    }
    const Finding& f = members[at];
    const int row = f.first_row >= 0 ? f.first_row : f.second_row;
    return m_window.document().valid_row(row) ? row : -1;
}

void CheckPanel::select(int group, int member, bool reveal)
{
    const int row = subject_row(group, member);
    if (row < 0) {
        return;
    }
    if (member < 0) {
        // A group selects the style of every finding in it, its first one framed.
        const std::vector<Finding>& members = m_groups[static_cast<std::size_t>(group)].members;
        std::vector<int> rows;
        rows.reserve(members.size());
        for (std::size_t k = 0; k < members.size(); ++k) {
            rows.push_back(subject_row(group, static_cast<int>(k)));
        }
        m_window.select_rows(rows, row);
    } else {
        m_window.p1_MouseDown(row, Qt::LeftButton, QPoint());
    }
    if (reveal) {
        m_window.scroll_into_view(row);
    }
}

void CheckPanel::hold(int group, int member)
{
    const int row = subject_row(group, member);
    if (row < 0 || m_preview == nullptr) {
        return;
    }
    const Document& doc = m_window.document();
    const std::vector<Finding>& members = m_groups[static_cast<std::size_t>(group)].members;
    std::vector<int> rows;
    for (std::size_t k = 0; k < members.size(); ++k) {
        if (member >= 0 && k != static_cast<std::size_t>(member)) {
            continue;
        }
        for (const int r : { members[k].first_row, members[k].second_row }) {
            if (doc.valid_row(r)) {
                rows.push_back(r);
            }
        }
    }
    // In table order, as the full preview shows them.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    Preview& preview = m_preview->preview();
    m_kept_rows.reset();
    if (const std::vector<int>* shown = preview.shown_rows()) {
        m_kept_rows = *shown;
    }
    m_holding = true;
    m_held_row = row;
    preview.show_only(std::move(rows));
    m_window.relayout_preview();
    select(group, member, true);
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

void CheckPanel::show_fix()
{
    const auto [group, member] = item_at(m_list->currentIndex());
    m_fix.reset();
    m_fix_group = group;
    m_fix_before->clear();
    m_fix_after->clear();
    m_fix_text->clear();
    if (group >= 0) {
        const FindingGroup& found = m_groups[static_cast<std::size_t>(group)];
        m_fix = propose_fix(m_window.document(), found);
        const LintRule& rule = *found.members.front().rule;
        if (m_fix->fixable()) {
            m_fix_before->setPixmap(swatch_icon(to_qcolor(m_fix->before.front()), fix_swatch_size));
            m_fix_after->setPixmap(
                swatch_icon(to_qcolor(m_fix->colours.front().colour), fix_swatch_size));
            m_fix_text->setText(
                QString("%1 %2 to %3, needs %4")
                    .arg(rule.measure == Measure::Contrast ? "contrast" : "difference")
                    .arg(measure_text(rule, m_fix->worst_before))
                    .arg(measure_text(rule, m_fix->worst_after))
                    .arg(measure_text(rule, m_fix->threshold)));
        } else {
            m_fix_text->setText("No fix: " + from_latin1(m_fix->refusal));
        }
    }
    m_fix_button->setEnabled(m_fix && m_fix->fixable());
    m_fix_all_button->setEnabled(m_filter->rowCount() > 0);
}

void CheckPanel::fix_current()
{
    if (m_refresh_timer->isActive()) {
        refresh();
    }
    if (!m_fix || !m_fix->fixable()) {
        return;
    }
    ColourEdit fixed = fix_edit(m_window.document(), *m_fix);
    m_fix.reset();
    m_fix_button->setEnabled(false);
    if (fixed.styles == 0) {
        return;
    }
    m_window.theme().push_edit(std::move(fixed.edit), fixed.description);
    m_window.redraw_keeping_scroll();
    m_window.show_selected_code();
}

int CheckPanel::fix_all_shown()
{
    if (m_refresh_timer->isActive()) {
        refresh();
    }
    std::vector<std::string> shown;
    for (int r = 0; r < m_filter->rowCount(); ++r) {
        const auto [group, member] = item_at(m_filter->index(r, 0));
        const FindingGroup& found = m_groups[static_cast<std::size_t>(group)];
        if (found.members.front().rule->measure != Measure::Structure) {
            shown.push_back(group_key(found));
        }
    }
    int fixed = 0;
    int left = 0;
    {
        const OpenTheme::StepScope step(m_window.theme());
        Document& doc = m_window.document();
        // Each fix is worked out on the theme as the ones before left it: a fix may mend, or
        // change the ground of, a group further down the list.
        std::vector<FindingGroup> groups = m_groups;
        for (const std::string& key : shown) {
            const auto found = std::find_if(groups.begin(), groups.end(),
                [&key](const FindingGroup& g) { return group_key(g) == key; });
            if (found == groups.end()) {
                continue;
            }
            const FixProposal fix = propose_fix(doc, *found);
            ColourEdit edit = fix.fixable() ? fix_edit(doc, fix) : ColourEdit();
            if (edit.styles == 0) {
                ++left;
                continue;
            }
            m_window.theme().push_edit(std::move(edit.edit), "Fix All Shown");
            ++fixed;
            m_checker.update(doc);
            groups = grouped(m_checker);
        }
    }
    if (fixed > 0) {
        m_window.redraw_keeping_scroll();
        m_window.show_selected_code();
    }
    QString said = QString("Fixed %1 %2").arg(fixed).arg(fixed == 1 ? "group" : "groups");
    if (left > 0) {
        said += QString("; %1 could not be fixed").arg(left);
    }
    m_window.editors().say(said.toStdString());
    return fixed;
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
                const auto [group, member] = item_at(index);
                hold(group, member);
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
