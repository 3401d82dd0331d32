#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// `--colours FILE [--json] [--by-hue] [--near]`: the distinct colours of the theme with their
/// uses, and with --near its near duplicates. Exit 0 when listed, 1 when the file was rejected,
/// 2 for a usage error.
int colours_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tintwell
