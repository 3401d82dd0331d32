#pragma once

#include <cstddef>
#include <iosfwd>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tintwell {

/// What a batch command takes after its own name: switches, options with a value, and a number
/// of files. The texts say what is wrong when the files do not fit.
struct CommandSyntax
{
    std::vector<std::string_view> switches;
    std::vector<std::string_view> valued;
    std::size_t least_files = 1;
    std::size_t most_files = std::numeric_limits<std::size_t>::max();
    /// Said when there are fewer files than the least ("--dump needs a FILE").
    std::string_view too_few;
    /// Said when there are more ("--dump takes one FILE and --no-border-pref").
    std::string_view too_many;
};

/// The words of a batch command sorted by the syntax.
struct CommandLine
{
    std::vector<std::string> files;
    std::vector<std::string> switches;
    /// The last value of each option given.
    std::map<std::string, std::string, std::less<>> values;
    /// Every option with its value, in the order given.
    std::vector<std::pair<std::string, std::string>> given;

    bool has(std::string_view name) const;
    /// The value given with the option, or nothing when it was not given.
    std::optional<std::string> value(std::string_view name) const;
    /// Every value given with the option, in order (an option that may be repeated).
    std::vector<std::string> values_of(std::string_view name) const;
};

/// Sorts `args` (the command's name first) by the syntax. A word starting with "-" (other than
/// "-" itself) that the syntax does not name, an option without its value, or a number of files
/// outside the syntax's bounds is a mistake: it is said with usage_error and nothing is returned,
/// and the command exits with 2.
std::optional<CommandLine> parse_command_line(
    const std::vector<std::string>& args, const CommandSyntax& syntax, std::ostream& err);

} // namespace tintwell
