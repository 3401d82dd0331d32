#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The map scene: a small made-up town kept as text, each feature a shape with the element of
// each theme kind it is drawn with.
namespace tintwell::map {

/// A point of the scene, in scene units (x to the right, y down; one unit is one pixel at zoom 1).
struct ScenePoint
{
    double x = 0;
    double y = 0;

    bool operator==(const ScenePoint&) const = default;
};

enum class FeatureShape { Area, Line, Arrow };

/// One thing on the map.
struct SceneFeature
{
    FeatureShape shape = FeatureShape::Line;
    /// The Car & Zumo element it is drawn with, upper case with blanks ("ROAD HWY MJR").
    std::string car_zumo;
    /// The Sport & Fitness element, in the same form; empty when that kind has none for it.
    std::string sport;
    /// Area: the outline (closed by itself). Line: the line, in order. Arrow: where it stands,
    /// then a point it points towards.
    std::vector<ScenePoint> points;
    /// The line of the scene text it was read from, from 1.
    int source_line = 0;
};

struct Scene
{
    std::string name;
    double width = 0;
    double height = 0;
    /// In the order of the text; drawing orders them by element.
    std::vector<SceneFeature> features;
};

/// Something in the scene text that was passed over, with its line (from 1).
struct SceneProblem
{
    int line = 0;
    std::string text;

    bool operator==(const SceneProblem&) const = default;
};

/// Reads a scene. The text is line by line; "#" starts a comment and blank lines are skipped:
///
///     scene WIDTH HEIGHT NAME...
///     area|line|arrow CAR_ZUMO_ELEMENT SPORT_ELEMENT|- X,Y X,Y ...
///
/// Element names are written with underscores for blanks. An area needs three points, a line
/// two, an arrow exactly two. A line that does not read (an unknown word, a point that is not
/// two finite numbers, too few points, a size that is not positive) is passed over and told in
/// `problems`; reading goes on. Never throws but for running out of memory.
Scene read_scene(std::string_view text, std::vector<SceneProblem>* problems = nullptr);

/// The town scene the program ships, as text.
std::string_view town_scene_text();

/// The town scene, read once.
const Scene& town_scene();

} // namespace tintwell::map
