#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// tintwell --edit FILE OUT --select SELECTOR... --set PROPERTY=VALUE... [--force]: loads FILE as
/// File, Open does, makes every change to every style a selector keeps (the styles of all the
/// selectors together), says how many styles changed and saves the theme to OUT as File, Save
/// does. OUT may be FILE only with --force. Returns 0 when OUT was written; 1 when FILE is not a
/// theme, no style matched, a value was refused (nothing is written), OUT exists without --force
/// or could not be written; 2 for a usage mistake (a --set that does not read among them).
int edit_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tintwell
