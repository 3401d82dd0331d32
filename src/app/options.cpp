#include "app/options.h"

#include "app/batch.h"

#include <algorithm>

namespace tintwell {

namespace {

bool names(const std::vector<std::string_view>& list, std::string_view word)
{
    return std::find(list.begin(), list.end(), word) != list.end();
}

} // namespace

bool CommandLine::has(std::string_view name) const
{
    return std::find(switches.begin(), switches.end(), name) != switches.end();
}

std::optional<std::string> CommandLine::value(std::string_view name) const
{
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::vector<std::string> CommandLine::values_of(std::string_view name) const
{
    std::vector<std::string> found;
    for (const auto& [option, value] : given) {
        if (option == name) {
            found.push_back(value);
        }
    }
    return found;
}

std::optional<CommandLine> parse_command_line(
    const std::vector<std::string>& args, const CommandSyntax& syntax, std::ostream& err)
{
    CommandLine line;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (names(syntax.switches, word)) {
            line.switches.push_back(word);
        } else if (names(syntax.valued, word)) {
            if (i + 1 >= args.size()) {
                usage_error(err, word + " needs a value");
                return std::nullopt;
            }
            line.values[word] = args[++i];
            line.given.emplace_back(word, args[i]);
        } else if (word.size() > 1 && word[0] == '-') {
            usage_error(err, "unknown option " + word);
            return std::nullopt;
        } else {
            line.files.push_back(word);
        }
    }
    if (line.files.size() < syntax.least_files) {
        usage_error(err, std::string(syntax.too_few));
        return std::nullopt;
    }
    if (line.files.size() > syntax.most_files) {
        usage_error(err, std::string(syntax.too_many));
        return std::nullopt;
    }
    return line;
}

} // namespace tintwell
