#pragma once

#include "colour/colour_codes.h"
#include "map/scene.h"
#include "model/document.h"

#include <string>
#include <string_view>
#include <vector>

// What the map draws with the open theme: for each feature of the scene, the style row it takes,
// its colours and widths, in the order the map draws them.
namespace tintwell::map {

/// Which of the theme's looks the map shows.
struct MapLook
{
    /// A Car & Zumo presentation by its catalogue name ("GUIDANCE"); empty for the first the
    /// theme has. Sport & Fitness themes have one list and ignore it.
    std::string presentation;
    bool night = false;
};

/// The presentations a map can show, in the theme's order: the Car & Zumo catalogue names its
/// rows belong to, or one empty name for a Sport & Fitness theme.
std::vector<std::string> map_presentations(const Document& doc);

/// The steps of drawing a map, bottom to top.
enum class MapPass : unsigned char {
    /// An area's fill.
    Fill,
    /// A line's border, the full width of the line.
    Casing,
    /// A line's body over its border.
    Body,
    /// A rail's or trail's body, in dashes over its casing.
    Dashes,
    /// A route arrow.
    Arrow,
};

/// One drawing step of one feature.
struct MapItem
{
    /// Index of the feature in the scene and of the style row it is drawn with.
    int feature = -1;
    int row = -1;
    MapPass pass = MapPass::Fill;
    ColourValue colour = -1;
    /// The opacity of `colour`, 0 to 255: a Sport & Fitness colour's transparency digits;
    /// Car & Zumo colours are opaque.
    int alpha = 255;
    /// Arrow: its outline colour.
    ColourValue edge = -1;
    /// Lines: the full width of what this step draws, in pixels at zoom 1. Arrow: the glyph's
    /// unit. Both at least 0.
    double width = 0;
    /// Arrow: the width of its outline pen, in pixels at zoom 1 (none at 1 or below).
    double pen = 0;
};

/// How an element of the theme's catalogue shows on the map.
enum class LegendState { Drawn, NotInScene, NotSet };

/// The texts the legend gives the elements that are not drawn.
inline constexpr std::string_view not_in_scene_text = "not in the scene";
inline constexpr std::string_view not_set_text = "not set in this theme";

struct LegendEntry
{
    /// The element, upper case with blanks.
    std::string element;
    LegendState state = LegendState::Drawn;
    /// The style row drawn for it; -1 unless drawn.
    int row = -1;

    bool operator==(const LegendEntry&) const = default;
};

struct MapPlan
{
    ThemeKind kind = ThemeKind::CarZumo;
    /// The land's colour, which fills everything under the areas; -1 when the theme sets none.
    ColourValue background = -1;
    /// Every step, in drawing order. A feature whose element the theme does not set has none.
    std::vector<MapItem> items;
    /// Every element of the kind's catalogue, in catalogue order (areas, then lines).
    std::vector<LegendEntry> legend;
};

/// Plans the map of `scene` with the document's styles. Areas come first (the land, the land's
/// cover, water, shadows, buildings), then lines class by class (contours, grid, water lines,
/// boundaries, other lines, roads, railways, routes and tracks, the scale line), every border of
/// a class under every body of it and, inside a class, the lesser element under the greater;
/// then the route arrows. Colours are the style's day or night ones: a night colour that is
/// missing or does not convert is the day one, and a line without a border colour has its body
/// colour as its border, as the preview draws them. Reads the document only.
MapPlan plan_map(const Document& doc, const Scene& scene, const MapLook& look);

/// The element of the feature in a theme of this kind; empty when the kind has none for it.
const std::string& element_of(const SceneFeature& feature, ThemeKind kind);

} // namespace tintwell::map
