#include "ui/main/view_settings.h"

#include "model/text.h"
#include "model/writer.h"
#include "platform/files.h"
#include "ui/main/settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>

namespace tintwell {

namespace {

constexpr std::string_view zoom_key = "zoom";
constexpr std::string_view status_bar_key = "status_bar";
constexpr std::string_view compare_list_key = "compare_list_width";
constexpr std::string_view map_window_key = "map_window";
constexpr int min_window_size = 100;
constexpr int max_window_reach = 20000;
constexpr int max_list_width = 20000;
constexpr int min_zoom_percent = 50;
constexpr int max_zoom_percent = 400;

bool read_int(std::string_view value, int& out)
{
    int read = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), read);
    if (error != std::errc() || end != value.data() + value.size()) {
        return false;
    }
    out = read;
    return true;
}

// "x,y,width,height"; nothing unless all four read and lie within reach.
std::optional<WindowPlace> read_place(std::string_view value)
{
    std::array<int, 4> numbers {};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto comma = i + 1 < numbers.size() ? value.find(',') : value.size();
        if (comma == std::string_view::npos || !read_int(value.substr(0, comma), numbers[i])) {
            return std::nullopt;
        }
        value.remove_prefix(std::min(comma + 1, value.size()));
    }
    const WindowPlace place { numbers[0], numbers[1], numbers[2], numbers[3] };
    const auto within = [](int v, int low, int high) { return v >= low && v <= high; };
    if (!within(place.x, -max_window_reach, max_window_reach)
        || !within(place.y, -max_window_reach, max_window_reach)
        || !within(place.width, min_window_size, max_window_reach)
        || !within(place.height, min_window_size, max_window_reach)) {
        return std::nullopt;
    }
    return place;
}

} // namespace

std::string view_settings_text(const ViewSettings& settings)
{
    std::string out;
    const auto line = [&out](std::string_view name, const std::string& value) {
        out += name;
        out += '=';
        out += value;
        out += text::crlf;
    };
    line(zoom_key, std::to_string(settings.zoom_percent));
    line(status_bar_key, settings.status_bar ? "1" : "0");
    // Left out until the list was widened, so the file is as it was for those who never did.
    if (settings.compare_list_width > 0) {
        line(compare_list_key, std::to_string(settings.compare_list_width));
    }
    if (settings.map_window.width > 0) {
        const WindowPlace& place = settings.map_window;
        line(map_window_key,
            std::to_string(place.x) + ',' + std::to_string(place.y) + ','
                + std::to_string(place.width) + ',' + std::to_string(place.height));
    }
    return out;
}

ViewSettings read_view_settings(std::string_view content)
{
    ViewSettings settings;
    for (const std::string& raw : text::split(content, "\n")) {
        const std::string line = text::trim(text::remove(raw, "\r"));
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string_view name = std::string_view(line).substr(0, equals);
        const std::string_view value = std::string_view(line).substr(equals + 1);
        if (name == map_window_key) {
            settings.map_window = read_place(value).value_or(WindowPlace {});
            continue;
        }
        int number = 0;
        if (!read_int(value, number)) {
            continue;
        }
        if (name == zoom_key) {
            settings.zoom_percent = std::clamp(number, min_zoom_percent, max_zoom_percent);
        } else if (name == status_bar_key) {
            settings.status_bar = number != 0;
        } else if (name == compare_list_key) {
            settings.compare_list_width = std::clamp(number, 0, max_list_width);
        }
    }
    return settings;
}

std::string view_settings_path(const std::string& settings_path)
{
    return platform::from_path(platform::to_path(settings_path).parent_path() / "view.ini");
}

ViewSettings load_view_settings(const std::string& path, std::ostream& warnings)
{
    if (const auto why = not_a_settings_file(path)) {
        warnings << *why << '\n';
        return {};
    }
    return read_view_settings(loadtext(path));
}

bool save_view_settings(const std::string& path, const ViewSettings& settings)
{
    if (not_a_settings_file(path)) {
        return false;
    }
    std::string error;
    return replace_file(path, view_settings_text(settings), error) == ReplaceResult::Replaced;
}

} // namespace tintwell
