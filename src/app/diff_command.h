#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// `--diff A B [--json]`: what changed from theme A to theme B, one line per change or as JSON.
/// Exit 0 when the themes are the same, 1 when they differ, 2 on an error (a usage error, a file
/// that is not a theme, themes of different kinds), as diff does.
int diff_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tintwell
