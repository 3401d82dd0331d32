#pragma once

#include "analysis/theme_lint.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace tintwell {

/// The findings of one rule, time of day, vision and element, across presentations and the
/// grounds or elements it was measured against: "ROAD ARTERIAL is hard to see on LAND and URBAN
/// LAND at night in 6 presentations: contrast 1.9-2.1:1, needs 3:1". A structure finding is a
/// group of its own.
struct FindingGroup
{
    /// The members kept, in the order they came; the first stands for the group's rule, time,
    /// vision and element.
    std::vector<Finding> members;
    /// Members found past the ones kept (see FindingGrouper).
    std::size_t left_out = 0;
    /// The lowest line among the members, 0 when none has one.
    int line = 0;
    /// The highest severity among the members, the ones left out included.
    Severity severity = Severity::Info;
    /// The distinct presentations and seconds (grounds or other elements) of the members, in
    /// the order they came.
    std::vector<std::string> presentations;
    std::vector<std::string> seconds;
    double lowest = 0;
    double highest = 0;

    std::size_t size() const { return members.size() + left_out; }
};

/// Gathers findings into groups as they come. At most findings_per_rule members of each rule
/// are kept across its groups; the rest are counted in their group, so a hostile theme costs
/// what CappedFindings costs.
class FindingGrouper
{
public:
    void add(Finding&& finding);

    /// The groups in the order their first member came. Leaves the grouper empty.
    std::vector<FindingGroup> take();

private:
    std::vector<FindingGroup> m_groups;
    std::unordered_map<std::string, std::size_t> m_index;
    std::vector<std::size_t> m_kept = std::vector<std::size_t>(lint_rules().size());
};

/// The group's reason without its presentation: a group of one finding gives that finding's
/// reason, a larger one names every ground and the range of values ("ROAD ARTERIAL is hard to see
/// on LAND and URBAN LAND at night in 6 presentations: contrast 1.9-2.1:1, needs 3:1").
std::string group_reason(const FindingGroup& group);

/// What names a group from one check to the next, whatever its members measure: its rule, time of
/// day, vision and element; a structure finding also by its line and reason, as it is only itself.
std::string group_key(const FindingGroup& group);

/// The group in one line of text; a group of one finding reads as describe() reads it.
std::string describe(const FindingGroup& group);

} // namespace tintwell
