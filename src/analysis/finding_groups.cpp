#include "analysis/finding_groups.h"

#include <algorithm>

namespace tintwell {

namespace {

void add_distinct(std::vector<std::string>& names, const std::string& name)
{
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
    }
}

// "A", "A and B", "A, B and C".
std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            out += i + 1 == names.size() ? " and " : ", ";
        }
        out += names[i];
    }
    return out;
}

std::string member_key(const Finding& f)
{
    std::string key(f.rule->id);
    key += '\0';
    key += static_cast<char>('0' + static_cast<int>(f.period));
    key += static_cast<char>('0' + static_cast<int>(f.vision));
    key += f.first;
    return key;
}

} // namespace

void FindingGrouper::add(Finding&& f)
{
    const bool structure = f.rule->measure == Measure::Structure;
    std::size_t at = m_groups.size();
    if (!structure) {
        const auto [found, added] = m_index.try_emplace(member_key(f), m_groups.size());
        at = found->second;
    }
    if (at == m_groups.size()) {
        FindingGroup group;
        group.line = f.line;
        group.severity = f.severity;
        group.lowest = group.highest = f.value;
        m_groups.push_back(std::move(group));
    }
    FindingGroup& group = m_groups[at];
    group.severity = std::max(group.severity, f.severity);
    if (f.line > 0 && (group.line == 0 || f.line < group.line)) {
        group.line = f.line;
    }
    group.lowest = std::min(group.lowest, f.value);
    group.highest = std::max(group.highest, f.value);
    if (!structure) {
        add_distinct(group.presentations, f.presentation);
        add_distinct(group.seconds, f.second);
    }
    std::size_t& kept = m_kept[static_cast<std::size_t>(f.rule - lint_rules().data())];
    if (kept < findings_per_rule || group.members.empty()) {
        ++kept;
        group.members.push_back(std::move(f));
    } else {
        ++group.left_out;
    }
}

std::vector<FindingGroup> FindingGrouper::take()
{
    std::vector<FindingGroup> out = std::move(m_groups);
    m_groups.clear();
    m_index.clear();
    std::fill(m_kept.begin(), m_kept.end(), 0);
    return out;
}

std::string group_reason(const FindingGroup& group)
{
    if (group.members.empty()) {
        return {};
    }
    const Finding& first = group.members.front();
    if (group.size() == 1 || first.rule->measure == Measure::Structure) {
        return first.reason;
    }
    ReasonParts parts;
    parts.second = joined(group.seconds);
    parts.when = when_text(first);
    if (group.presentations.size() > 1) {
        *parts.when += " in " + std::to_string(group.presentations.size()) + " presentations";
    }
    const std::string low = value_text(group.lowest);
    const std::string high = value_text(group.highest);
    parts.value = low == high ? low : low + "-" + high;
    return reason_text(first, parts);
}

std::string group_key(const FindingGroup& group)
{
    if (group.members.empty()) {
        return {};
    }
    const Finding& f = group.members.front();
    std::string key = member_key(f);
    if (f.rule->measure == Measure::Structure) {
        key += '\0' + std::to_string(f.line) + f.reason;
    }
    return key;
}

std::string describe(const FindingGroup& group)
{
    if (group.members.empty()) {
        return {};
    }
    const Finding& first = group.members.front();
    if (group.size() == 1 || first.rule->measure == Measure::Structure) {
        return describe(first);
    }
    std::string out;
    if (group.presentations.size() == 1) {
        out = group.presentations.front() + ": ";
    }
    return out + group_reason(group);
}

} // namespace tintwell
