#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// tintwell --lint FILE... [--json] [--min-severity info|warning|error]: checks each theme and
/// prints its findings, one line each grouped by file, or one JSON array for all files. Returns
/// 0 when no finding reaches the minimum severity (warning unless given), 1 when one does, and
/// 2 when a file cannot be read or for a usage error.
int run_lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tintwell
