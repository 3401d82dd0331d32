#pragma once

#include "analysis/finding_groups.h"
#include "render/preview.h"
#include "ui/common/latin1.h"
#include "ui/common/qt_colour.h"

#include <QAbstractItemModel>
#include <QPainter>
#include <QPixmap>
#include <QSortFilterProxyModel>
#include <vector>

// The Check Theme panel's list: the groups of findings as a tree model, and the filter over it.
namespace tintwell {

enum Column {
    SeverityColumn,
    ColoursColumn,
    PresentationColumn,
    ReasonColumn,
    TimeColumn,
    RuleColumn,
    ColumnCount
};

// What the list sorts and filters by, beside the texts it shows.
enum Role { SortRole = Qt::UserRole, SeverityRole, RuleRole, PeriodRole };

/// The side of a swatch in the list, in pixels.
inline constexpr int swatch_size = 14;

/// The mark a sample with a finding of this severity carries.
SampleMark mark_of(Severity severity);

/// The rule's place in lint_rules().
int rule_index(const LintRule* rule);

/// The groups as a tree: each group a row (severity, its first colours as swatches,
/// presentation, reason, time of day and rule), opening to its members when it has more than
/// one. Only the rows in view are asked for, so a theme with thousands of findings lists them at
/// once.
class FindingsModel : public QAbstractItemModel
{
public:
    using QAbstractItemModel::QAbstractItemModel;

    /// Lists `groups`, which must live until the next call; null lists none. `change` runs
    /// between the list letting go of the groups and taking them again.
    template <typename F> void reset(const std::vector<FindingGroup>* groups, F&& change)
    {
        beginResetModel();
        change();
        m_groups = groups;
        endResetModel();
    }

    /// The groups listed were measured again: the same rules on the same rows, in the same
    /// order, with new values.
    void remeasured()
    {
        const int count = rowCount({});
        if (count == 0) {
            return;
        }
        emit dataChanged(index(0, 0, {}), index(count - 1, ColumnCount - 1, {}));
        for (int g = 0; g < count; ++g) {
            const QModelIndex parent = index(g, 0, {});
            if (const int members = rowCount(parent); members > 0) {
                emit dataChanged(index(0, 0, parent), index(members - 1, ColumnCount - 1, parent));
            }
        }
    }

    /// The group and member (-1 for the group's own row) of an index of this model.
    static std::pair<int, int> item(const QModelIndex& index)
    {
        if (!index.isValid()) {
            return { -1, -1 };
        }
        if (index.internalId() == 0) {
            return { index.row(), -1 };
        }
        return { static_cast<int>(index.internalId() - 1), index.row() };
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override
    {
        if (row < 0 || column < 0 || column >= ColumnCount || row >= rowCount(parent)) {
            return {};
        }
        return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) + 1 : 0);
    }

    QModelIndex parent(const QModelIndex& child) const override
    {
        if (!child.isValid() || child.internalId() == 0) {
            return {};
        }
        return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (m_groups == nullptr) {
            return 0;
        }
        if (!parent.isValid()) {
            return static_cast<int>(m_groups->size());
        }
        if (parent.internalId() != 0 || parent.column() != 0
            || parent.row() >= static_cast<int>(m_groups->size())) {
            return 0;
        }
        const FindingGroup& group = (*m_groups)[static_cast<std::size_t>(parent.row())];
        return group.members.size() > 1 ? static_cast<int>(group.members.size()) : 0;
    }

    int columnCount(const QModelIndex&) const override { return ColumnCount; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const std::array<const char*, ColumnCount> titles = { "Severity", "Colours",
            "Presentation", "Finding", "Time", "Rule" };
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
            || section >= ColumnCount) {
            return {};
        }
        return QString(titles[static_cast<std::size_t>(section)]);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto [g, m] = item(index);
        if (m_groups == nullptr || g < 0 || g >= static_cast<int>(m_groups->size())) {
            return {};
        }
        const FindingGroup& group = (*m_groups)[static_cast<std::size_t>(g)];
        if (m >= static_cast<int>(group.members.size()) || group.members.empty()) {
            return {};
        }
        const Finding& f = group.members[static_cast<std::size_t>(m < 0 ? 0 : m)];
        const Severity severity = m < 0 ? group.severity : f.severity;
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case SeverityColumn:
                return QString(severity_name(severity));
            case PresentationColumn:
                if (m < 0 && group.presentations.size() > 1) {
                    return QString("%1 presentations").arg(group.presentations.size());
                }
                return from_latin1(f.presentation);
            case ReasonColumn:
                return from_latin1(m < 0 ? group_reason(group) : f.reason);
            case TimeColumn:
                return QString(period_name(f.period));
            case RuleColumn:
                return QString::fromLatin1(f.rule->id.data(), static_cast<int>(f.rule->id.size()));
            default:
                return {};
            }
        case Qt::DecorationRole:
            if (index.column() == SeverityColumn) {
                return swatches(to_qcolor(mark_colour(mark_of(severity))), {}, 10);
            }
            if (index.column() == ColoursColumn && f.first_colour) {
                return swatches(to_qcolor(*f.first_colour),
                    f.second_colour ? to_qcolor(*f.second_colour) : QColor(), swatch_size);
            }
            return {};
        case Qt::ToolTipRole: {
            QString tip = from_latin1(m < 0 ? describe(group) : describe(f));
            if (m < 0 && group.left_out > 0) {
                tip += QString(" (%1 more not listed)").arg(group.left_out);
            }
            return tip;
        }
        case SortRole:
            switch (index.column()) {
            case SeverityColumn:
                return static_cast<int>(severity);
            case ColoursColumn:
                // Dark to light.
                return f.first_colour ? colour::to_lab(*f.first_colour).L : -1.0;
            case TimeColumn:
                return static_cast<int>(f.period);
            case RuleColumn:
                return rule_index(f.rule);
            default:
                return data(index, Qt::DisplayRole);
            }
        case SeverityRole:
            return static_cast<int>(severity);
        case RuleRole:
            return rule_index(f.rule);
        case PeriodRole:
            return static_cast<int>(f.period);
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

    const std::vector<FindingGroup>* m_groups = nullptr;
    mutable QHash<QString, QPixmap> m_swatches;
};

/// The groups the severity, rule and time choosers let through, sorted by the column chosen.
/// Members of a group kept are all listed.
class FindingsFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    /// -1 lets every severity or rule through; Period::None every time of day.
    void choose(int severity, int rule, Period period)
    {
        m_severity = severity;
        m_rule = rule;
        m_period = period;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override
    {
        if (source_parent.isValid()) {
            return true;
        }
        const QModelIndex at = sourceModel()->index(source_row, 0, source_parent);
        if (m_severity >= 0 && at.data(SeverityRole).toInt() != m_severity) {
            return false;
        }
        if (m_rule >= 0 && at.data(RuleRole).toInt() != m_rule) {
            return false;
        }
        if (m_period != Period::None) {
            const auto period = static_cast<Period>(at.data(PeriodRole).toInt());
            return period == m_period || period == Period::DayAndNight;
        }
        return true;
    }

private:
    int m_severity = -1;
    int m_rule = -1;
    Period m_period = Period::None;
};

} // namespace tintwell
