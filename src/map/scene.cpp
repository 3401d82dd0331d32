#include "map/scene.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace tintwell::map {

namespace {

// The longest a scene may be: far more than a town needs, little enough to read at once.
constexpr std::size_t most_points = 1'000'000;

std::vector<std::string_view> words_of(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
            ++at;
        }
        if (at > start) {
            words.push_back(line.substr(start, at - start));
        }
    }
    return words;
}

std::optional<double> number(std::string_view word)
{
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<ScenePoint> point(std::string_view word)
{
    const auto comma = word.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto x = number(word.substr(0, comma));
    const auto y = number(word.substr(comma + 1));
    if (!x || !y) {
        return std::nullopt;
    }
    return ScenePoint { *x, *y };
}

std::string element_name(std::string_view word)
{
    std::string name(word);
    for (char& ch : name) {
        if (ch == '_') {
            ch = ' ';
        } else if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
    }
    return name;
}

std::optional<FeatureShape> shape_of(std::string_view word)
{
    if (word == "area") {
        return FeatureShape::Area;
    }
    if (word == "line") {
        return FeatureShape::Line;
    }
    if (word == "arrow") {
        return FeatureShape::Arrow;
    }
    return std::nullopt;
}

class SceneReader
{
public:
    explicit SceneReader(std::vector<SceneProblem>* problems)
        : m_problems(problems)
    {
    }

    void read_line(std::string_view line, int number_of_line);
    Scene take() { return std::move(m_scene); }

private:
    void problem(std::string text)
    {
        if (m_problems) {
            m_problems->push_back({ m_line, std::move(text) });
        }
    }
    void read_size(const std::vector<std::string_view>& words);
    void read_feature(FeatureShape shape, const std::vector<std::string_view>& words);

    std::vector<SceneProblem>* m_problems;
    Scene m_scene;
    std::size_t m_points = 0;
    int m_line = 0;
};

void SceneReader::read_line(std::string_view line, int number_of_line)
{
    m_line = number_of_line;
    line = line.substr(0, line.find('#'));
    const auto words = words_of(line);
    if (words.empty()) {
        return;
    }
    if (words[0] == "scene") {
        read_size(words);
        return;
    }
    const auto shape = shape_of(words[0]);
    if (!shape) {
        problem("unknown word \"" + std::string(words[0]) + "\"");
        return;
    }
    read_feature(*shape, words);
}

void SceneReader::read_size(const std::vector<std::string_view>& words)
{
    const auto width = words.size() > 2 ? number(words[1]) : std::nullopt;
    const auto height = words.size() > 2 ? number(words[2]) : std::nullopt;
    if (!width || !height || *width <= 0 || *height <= 0) {
        problem("a scene needs a width and a height above 0");
        return;
    }
    m_scene.width = *width;
    m_scene.height = *height;
    std::string name;
    for (std::size_t i = 3; i < words.size(); ++i) {
        name += (name.empty() ? "" : " ") + std::string(words[i]);
    }
    m_scene.name = std::move(name);
}

void SceneReader::read_feature(FeatureShape shape, const std::vector<std::string_view>& words)
{
    if (words.size() < 3) {
        problem("a feature needs its two element names");
        return;
    }
    SceneFeature feature;
    feature.shape = shape;
    feature.car_zumo = element_name(words[1]);
    feature.sport = words[2] == "-" ? std::string() : element_name(words[2]);
    feature.source_line = m_line;
    for (std::size_t i = 3; i < words.size(); ++i) {
        const auto at = point(words[i]);
        if (!at) {
            problem("\"" + std::string(words[i]) + "\" is not a point X,Y");
            return;
        }
        feature.points.push_back(*at);
    }
    const std::size_t count = feature.points.size();
    const bool fits = shape == FeatureShape::Area ? count >= 3
        : shape == FeatureShape::Line             ? count >= 2
                                                  : count == 2;
    if (!fits) {
        problem("too few or too many points");
        return;
    }
    if (m_points + count > most_points) {
        problem("the scene has too many points");
        return;
    }
    m_points += count;
    m_scene.features.push_back(std::move(feature));
}

} // namespace

Scene read_scene(std::string_view text, std::vector<SceneProblem>* problems)
{
    SceneReader reader(problems);
    int line = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view one = text.substr(at, end - at);
        if (!one.empty() && one.back() == '\r') {
            one.remove_suffix(1);
        }
        reader.read_line(one, ++line);
        at = end + 1;
    }
    return reader.take();
}

const Scene& town_scene()
{
    static const Scene scene = read_scene(town_scene_text());
    return scene;
}

} // namespace tintwell::map
