#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// tintwell --lint FILE... [--json] [--min-severity info|warning|error]: checks each theme and
/// prints its findings, one line each grouped by file, or one JSON array for all files, each as
/// it comes. Of each rule a file shows at most findings_per_rule findings, then one "and N more"
/// for the rest, so memory stays bounded whatever the file holds. Returns
/// 0 when no finding reaches the minimum severity (warning unless given), 1 when one does, and
/// 2 when a file cannot be read or for a usage error.
int run_lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tintwell
