#include "ui/main/settings.h"

#include "model/text.h"
#include "model/writer.h"
#include "platform/files.h"

#include <algorithm>
#include <ostream>

namespace tintwell {

using namespace text;

std::string settings_text(const Settings& settings)
{
    std::string out(settings_marker);
    out += crlf;
    for (const std::string& entry : settings.recent) {
        out += entry;
        out += crlf;
    }
    out += settings.border_pref ? "True" : "False";
    out += crlf;
    out += settings.show_code ? "1" : "0";
    out += crlf;
    return out;
}

namespace {

bool is_text_line(std::string_view line)
{
    return std::none_of(line.begin(), line.end(),
        [](char c) { return static_cast<unsigned char>(c) < 32 && c != '\t'; });
}

} // namespace

Settings read_settings(std::string_view text, const Settings& defaults)
{
    if (text.empty()) {
        return defaults;
    }
    std::vector<std::string> lines = split(text, crlf);
    // Anything that is not our own file is treated as missing rather than read as paths.
    if (!lines[0].ends_with(")*(") || !std::all_of(lines.begin(), lines.end(), is_text_line)) {
        return defaults;
    }
    Settings settings = defaults;
    for (std::size_t i = 0; i < settings.recent.size(); ++i) {
        settings.recent[i] = i + 1 < lines.size() ? lines[i + 1] : std::string();
    }
    if (lines.size() > 8) {
        settings.border_pref = lower(lines[8]) == "true";
    }
    if (lines.size() > 9) {
        settings.show_code = lower(lines[9]) == "1";
    }
    return settings;
}

std::string loadtext(const std::string& path)
{
    return platform::read_regular_file(path).value_or(std::string());
}

std::optional<std::string> not_a_settings_file(const std::string& path)
{
    const platform::FileKind kind = platform::file_kind(path);
    if (kind == platform::FileKind::Missing || kind == platform::FileKind::Regular) {
        return std::nullopt;
    }
    return "tintwell: " + path
        + " is not a regular file; the default settings are used and it is left as it is";
}

Settings loaddata(const std::string& path, std::ostream& warnings)
{
    if (const auto why = not_a_settings_file(path)) {
        warnings << *why << '\n';
        return {};
    }
    return read_settings(loadtext(path));
}

bool savedata(const std::string& path, const Settings& settings, Prompter& prompter)
{
    if (not_a_settings_file(path)) {
        return false;
    }
    std::string error;
    if (replace_file(path, settings_text(settings), error) == ReplaceResult::Replaced) {
        return true;
    }
    prompter.message(error + "\r\n\r\nYour data cannot be saved correctly.");
    return false;
}

void updatmf(RecentFiles& recent, const std::string& path)
{
    if (path.empty()) {
        auto kept = std::stable_partition(
            recent.begin(), recent.end(), [](const std::string& e) { return !e.empty(); });
        std::fill(kept, recent.end(), std::string());
        return;
    }
    auto found = std::find(recent.begin(), recent.end(), path);
    if (found == recent.end()) {
        found = recent.end() - 1;
    }
    std::rotate(recent.begin(), found, found + 1);
    recent[0] = path;
}

} // namespace tintwell
