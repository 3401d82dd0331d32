#pragma once

#include "model/document.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The theme checker's rules: which elements meet on the map, what is measured between them and
// how much is enough. Only data and the lookups on it; the measuring lives with the colour code.
namespace tintwell {

enum class Severity : std::uint8_t { Info, Warning, Error };

/// "info", "warning" or "error".
const char* severity_name(Severity severity);

/// The severity named in lower case; nothing for any other text.
std::optional<Severity> parse_severity(std::string_view name);

/// What a rule measures.
enum class Measure {
    /// WCAG 2.x luminance contrast ratio, 1 to 21.
    Contrast,
    /// CIEDE2000 colour difference, also as the three colour-vision deficiencies see it.
    Distinctness,
    /// Found in the file's text: a cut-off file, a bad colour, a duplicate, an unknown name.
    Structure,
};

/// Groups of elements that play the same part on the map. A name may be in several groups.
enum ElementGroup : std::uint32_t {
    Routes = 1u << 0,
    Tracks = 1u << 1,
    MainRoads = 1u << 2,
    MinorRoads = 1u << 3,
    /// Other lines drawn on land: rails, contours, boundaries, grid and scale lines, rivers.
    LandLines = 1u << 4,
    /// Lines drawn on water: depth contours and the sea's own lines.
    WaterLines = 1u << 5,
    /// The ground lines are drawn on.
    LandGround = 1u << 6,
    WaterGround = 1u << 7,
    /// Areas that lie on the land.
    Areas = 1u << 8,
    Buildings = 1u << 9,
    BuildingShadows = 1u << 10,
    /// The road classes from the largest down; neighbours in this order are compared.
    RoadHierarchy = 1u << 11,
    Texts = 1u << 12,
    TextOutlines = 1u << 13,
};

/// A group's element names for each theme kind, as `lint_element_name` gives them.
struct ElementGroupNames
{
    ElementGroup group;
    std::string_view title;
    std::span<const std::string_view> car_zumo;
    std::span<const std::string_view> sport_fitness;
};

/// Every group, in the order the manual lists them.
std::span<const ElementGroupNames> lint_groups();

/// How a rule pairs the elements of one presentation.
enum class Pairing {
    /// Each element of `first` against each element of `second` (its ground); the better of the
    /// first element's body and border counts. A presentation without any element of `second`
    /// is checked against the ground of the first presentation that has one.
    OnGround,
    /// Each element of `first` against each element of `second`, body against body.
    Across,
    /// Each element of `first` against the next one the presentation has, in group order.
    Neighbours,
    /// The body of each element of `first` against its own border, where it has one.
    OwnBorder,
    /// Structure rules: found in the file's text, not by pairing elements.
    None,
};

/// One rule of the checker. `reason` is the one-line text of a finding, with the fields
/// {first}, {second}, {when}, {value}, {threshold}, {line}, {detail} and {digits} filled in.
struct LintRule
{
    std::string_view id;
    Measure measure;
    Pairing pairing;
    std::uint32_t first;
    std::uint32_t second;
    double threshold;
    Severity severity;
    /// The severity of a colour difference that is enough for normal eyes but not as one of
    /// the three deficiencies sees it.
    Severity deficiency_severity;
    std::string_view reason;
    /// A structure rule whose findings saving acts on: what was read is written in place of what
    /// the file holds (only the styles read of a cut-off file, a colour's first digits, a
    /// metadata value up to where reading ended it).
    bool changes_on_save = false;
};

/// Every rule, colour rules first, in the order the manual lists them.
std::span<const LintRule> lint_rules();

/// The rule with this id; a rule the table does not hold is a programming error and gives the
/// first rule.
const LintRule& lint_rule(std::string_view id);

/// The element name the checker uses: the field name without "MAP_", "MPM_" and "_CLR", blanks
/// for underscores, upper case, trimmed ("MAP_ROAD_HWY_MJR_CLR" and "mpm_mjr_hwy_clr" give
/// "ROAD HWY MJR" and "MJR HWY").
std::string lint_element_name(std::string_view field);

/// The row's element name: from its field name, or from its display name when the field name is
/// empty.
std::string lint_element_name(const StyleRow& row);

/// The groups the element belongs to in a theme of this kind; 0 when it is in none.
std::uint32_t element_groups(ThemeKind kind, std::string_view name);

/// True when the catalogue lists the element for this kind of theme.
bool known_element(ThemeKind kind, std::string_view name);

/// True when the name (trimmed, upper case) is one of the known presentations.
bool known_presentation(std::string_view name);

} // namespace tintwell
