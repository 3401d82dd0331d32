#include "model/lint_rules.h"

#include "model/catalogue.h"
#include "model/text.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

namespace tintwell {

namespace {

using namespace std::string_view_literals;

// Element names by the part they play. Car & Zumo names come from the field names
// (ROAD_HWY_MJR), Sport & Fitness names from that kind's own list (MJR_HWY).

// The route arrow is drawn on the route, not beside the roads, and is left out.
constexpr std::string_view cz_routes[] = { "RTE ACTV LEG"sv, "RTE INACTV LEG"sv, "RTE GPI EMB"sv };
constexpr std::string_view sf_routes[] = { "RTE"sv, "RTE LEG"sv, "ACTV RTE LEG"sv,
    "ACTV RTE LEG RED"sv, "ACTV RTE LEG BLUE"sv, "ACTV RTE LEG ORNG"sv, "ACTV CRS"sv,
    "ACTV CRS LEG"sv, "SLCT RTE"sv, "TRKBCK RTE"sv, "RTE OVRLY"sv, "RTE MAGENTA"sv,
    "RTE MAGENTA 1"sv, "RTE MAGENTA 2"sv, "RTE MAGENTA 3"sv, "RTE MAGENTA 4"sv, "RTE RED"sv,
    "RTE RED 1"sv, "RTE RED 2"sv, "RTE RED 3"sv, "RTE RED 4"sv, "RTE BLUE"sv, "RTE BLUE 1"sv,
    "RTE BLUE 2"sv, "RTE BLUE 3"sv, "RTE BLUE 4"sv, "RTE ORANGE"sv, "RTE ORANGE 1"sv,
    "RTE ORANGE 2"sv, "RTE ORANGE 3"sv, "RTE ORANGE 4"sv };

constexpr std::string_view cz_tracks[] = { "TRK"sv, "TRK SAVED"sv };
constexpr std::string_view sf_tracks[] = { "TRK"sv, "STRK"sv, "MDB TRK DK RED"sv,
    "MDB TRK DK GREEN"sv, "MDB TRK DK YELLOW"sv, "MDB TRK DK BLUE"sv, "MDB TRK DK MAGENTA"sv,
    "MDB TRK DK CYAN"sv, "MDB TRK RED"sv, "MDB TRK GREEN"sv, "MDB TRK YELLOW"sv, "MDB TRK BLUE"sv,
    "MDB TRK MAGENTA"sv, "MDB TRK CYAN"sv, "MDB TRK LT BLUE"sv };

constexpr std::string_view cz_main_roads[] = { "ROAD INTERSTATE"sv, "ROAD SS INTERSTATE"sv,
    "ROAD HWY MJR"sv, "ROAD HWY MNR"sv, "ROAD ARTERIAL"sv };
constexpr std::string_view sf_main_roads[] = { "INTERSTATE"sv, "SS INTERSTATE"sv, "MJR HWY"sv,
    "MNR HWY"sv, "ARTERIAL"sv };

constexpr std::string_view cz_minor_roads[] = { "ROAD COLLECTOR"sv, "ROAD RESIDENTIAL"sv,
    "ROAD RAMP"sv, "ROAD UNPAVED"sv, "ROAD TRAIL"sv, "ROAD ALLY"sv, "ROAD DIM"sv };
constexpr std::string_view sf_minor_roads[] = { "COLLECTOR"sv, "RESIDENTIAL"sv, "RAMP"sv,
    "UNPAVED"sv, "TRAIL"sv };

constexpr std::string_view cz_land_lines[] = { "ROAD RAILRD"sv, "CNTR MJR"sv, "CNTR INT"sv,
    "CNTR MNR"sv, "PLTCL INTL"sv, "PLTCL MJR"sv, "PLTCL MNR"sv, "GRID LINE"sv, "SCALE LINE"sv,
    "MISC LINE"sv, "MISC WATER LINE"sv };
constexpr std::string_view sf_land_lines[] = { "RAILRD"sv, "MJR CNTR"sv, "INT CNTR"sv, "MNR CNTR"sv,
    "INTL PLTCL"sv, "MJR PLTCL"sv, "MNR PLTCL"sv, "RIVER CHNL"sv, "MISC WATER LINE"sv,
    "MISC LINE"sv };

constexpr std::string_view cz_water_lines[] = { "DPTH CNTR MJR"sv, "DPTH CNTR INT"sv,
    "DPTH CNTR MNR"sv };
constexpr std::string_view sf_water_lines[] = { "MJR DPTH CNTR"sv, "INT DPTH CNTR"sv, "DPTH CAUT"sv,
    "DPTH WARN"sv, "FISHING CONTOUR"sv, "INTERTIDAL LINE"sv, "LS SUB CBL"sv, "LS SUB PWR CBL"sv,
    "LS DISUSED SUB CBL"sv, "LS SUB CBL BRDR"sv, "LS SUB PWR CBL BRDR"sv, "LS SUB PIPELINE"sv,
    "LS SPLY PIPLINE BRDR"sv, "LS ANCHOR BRDR"sv, "LS NO ANCHOR BRDR"sv, "LS CUSTOMS LIMIT"sv,
    "LS FIRING DANGER"sv, "LS NO FISHING"sv, "LS MARITIME BOUNDARY"sv, "LS DEGAUSSING RANGE"sv,
    "LS LIMIT FISHERY ZONE"sv, "LS MINE AREA BRDR"sv, "LS SEA PLANE AREA BRDR"sv,
    "LS SEAWARD LIMIT CONT"sv, "LS SEAWARD LIMIT TERR"sv };

constexpr std::string_view land_ground[] = { "LAND"sv, "URBAN LAND"sv };
constexpr std::string_view water_ground[] = { "WATER"sv };

constexpr std::string_view cz_areas[] = { "WATER"sv, "PARK"sv, "WOODS"sv, "WETLAND"sv, "BEACH"sv,
    "GLACIER"sv, "BUILDING"sv };
constexpr std::string_view sf_areas[] = { "WATER"sv, "PARK"sv, "WOODS"sv, "WETLAND"sv, "GLACIER"sv,
    "BUILDING"sv };
constexpr std::string_view buildings[] = { "BUILDING"sv };
constexpr std::string_view building_shadows[] = { "BUILDING SHADOW"sv };

constexpr std::string_view cz_road_hierarchy[] = { "ROAD INTERSTATE"sv, "ROAD HWY MJR"sv,
    "ROAD HWY MNR"sv, "ROAD ARTERIAL"sv, "ROAD COLLECTOR"sv, "ROAD RESIDENTIAL"sv };
constexpr std::string_view sf_road_hierarchy[] = { "INTERSTATE"sv, "MJR HWY"sv, "MNR HWY"sv,
    "ARTERIAL"sv, "COLLECTOR"sv, "RESIDENTIAL"sv };

constexpr std::string_view sf_texts[] = { "TXT"sv, "HGLT TXT"sv, "RVR LAKE TXT"sv, "WPT TXT"sv,
    "UNDR SHLD TXT"sv };
constexpr std::string_view sf_text_outlines[] = { "LABL OTLN"sv };

constexpr std::span<const std::string_view> none;

constexpr ElementGroupNames groups[] = {
    { Routes, "routes", cz_routes, sf_routes },
    { Tracks, "tracks", cz_tracks, sf_tracks },
    { MainRoads, "main roads", cz_main_roads, sf_main_roads },
    { MinorRoads, "minor roads", cz_minor_roads, sf_minor_roads },
    { LandLines, "other lines on land", cz_land_lines, sf_land_lines },
    { WaterLines, "lines on water", cz_water_lines, sf_water_lines },
    { LandGround, "land", land_ground, land_ground },
    { WaterGround, "water", water_ground, water_ground },
    { Areas, "areas on land", cz_areas, sf_areas },
    { Buildings, "buildings", buildings, buildings },
    { BuildingShadows, "building shadows", building_shadows, building_shadows },
    { RoadHierarchy, "road classes, largest first", cz_road_hierarchy, sf_road_hierarchy },
    { Texts, "texts", none, sf_texts },
    { TextOutlines, "text outlines", none, sf_text_outlines },
};

constexpr std::uint32_t all_lines =
    Routes | Tracks | MainRoads | MinorRoads | LandLines | WaterLines;

// The rule table. A colour difference that only a deficiency makes too small has the second
// severity: the simulation is of the strongest form of each. Thresholds: 3:1 is the WCAG 2.x
// contrast for graphics that must be seen, 4.5:1 its contrast for text; a colour difference of 3 is
// about what an eye notices side by side, 5 what it notices at a glance, 20 two clearly different
// colours.
constexpr std::string_view hard_to_see =
    "{first} is hard to see on {second}{when}: contrast {value}, needs {threshold}";

constexpr LintRule rules[] = {
    { "main-line-on-land", Measure::Contrast, Pairing::OnGround, Routes | Tracks | MainRoads,
        LandGround, 3.0, Severity::Warning, Severity::Warning, hard_to_see },
    { "line-on-land", Measure::Contrast, Pairing::OnGround, MinorRoads | LandLines, LandGround, 1.5,
        Severity::Warning, Severity::Warning, hard_to_see },
    { "line-on-water", Measure::Contrast, Pairing::OnGround, WaterLines, WaterGround, 1.5,
        Severity::Warning, Severity::Warning, hard_to_see },
    { "route-like-road", Measure::Distinctness, Pairing::Across, Routes | Tracks,
        MainRoads | MinorRoads, 20.0, Severity::Warning, Severity::Info,
        "{first} looks like {second}{when}: colour difference {value}, needs {threshold}" },
    { "road-hierarchy", Measure::Distinctness, Pairing::Neighbours, RoadHierarchy, RoadHierarchy,
        5.0, Severity::Info, Severity::Info,
        "{first} and {second} look alike{when}, so the road classes do not stand apart: colour "
        "difference {value}, needs {threshold}" },
    { "border-like-body", Measure::Distinctness, Pairing::OwnBorder, all_lines, all_lines, 5.0,
        Severity::Info, Severity::Info,
        "the border of {first} cannot be told from its body{when}: colour difference {value}, "
        "needs {threshold}" },
    { "area-on-land", Measure::Distinctness, Pairing::OnGround, Areas, LandGround, 3.0,
        Severity::Warning, Severity::Info,
        "{first} cannot be told from {second}{when}: colour difference {value}, needs "
        "{threshold}" },
    { "building-shadow", Measure::Distinctness, Pairing::Across, Buildings, BuildingShadows, 3.0,
        Severity::Info, Severity::Info,
        "{first} cannot be told from its shadow {second}{when}: colour difference {value}, "
        "needs {threshold}" },
    { "text-outline", Measure::Contrast, Pairing::Across, Texts, TextOutlines, 4.5,
        Severity::Warning, Severity::Warning,
        "{first} is hard to read on its outline {second}{when}: contrast {value}, needs "
        "{threshold}" },

    { "cut-off", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Error, Severity::Error,
        "the file ends at line {line} before its closing tag {detail}: it looks cut off, and "
        "saving it would keep only the styles read so far",
        true },
    { "unclosed-style", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Error,
        Severity::Error,
        "the style {first} that opens at line {line} has no closing tag {detail}" },
    { "colour-digits", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Error, Severity::Error,
        "{first} at line {line}: the colour \"{detail}\" is not {digits} hexadecimal digits",
        true },
    { "unclosed-metadata", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Error,
        Severity::Error,
        "the metadata element {detail} that opens at line {line} has no closing tag: saving "
        "would keep only what was read as its value",
        true },
    { "duplicate-element", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Warning,
        Severity::Warning,
        "{first} is in {second} twice: at line {detail} and again at line {line}" },
    { "unknown-element", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Warning,
        Severity::Warning, "{first} at line {line} is not an element of {detail} themes" },
    { "unknown-presentation", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Warning,
        Severity::Warning,
        "{first} at line {line} is not a known presentation (GUIDANCE, BROWSE, TRAFFIC, TURN "
        "PREVIEW, ROUTE PREVIEW, PEDESTRIAN)" },
    { "border-without-colour", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Warning,
        Severity::Warning,
        "{first} at line {line} has a border of {detail} but no secondary colour to draw it in" },
    { "not-a-theme", Measure::Structure, Pairing::None, 0, 0, 0, Severity::Error, Severity::Error,
        "the file is not a theme: {detail}" },
};

struct KindIndex
{
    std::unordered_map<std::string, std::uint32_t> groups;
    std::unordered_set<std::string> known;
};

KindIndex build_index(ThemeKind kind)
{
    KindIndex index;
    for (const auto& g : groups) {
        for (const auto name : kind == ThemeKind::CarZumo ? g.car_zumo : g.sport_fitness) {
            index.groups[std::string(name)] |= g.group;
        }
    }
    if (kind == ThemeKind::CarZumo) {
        for (const auto* list : { &car_zumo_polygon_items(), &car_zumo_line_items() }) {
            for (const auto& item : *list) {
                index.known.insert(text::replace(item, "_", " "));
            }
        }
    } else {
        for (auto& name : nwf_polygon_items()) {
            index.known.insert(std::move(name));
        }
        for (auto& name : text::split(get_nwlines(), text::crlf)) {
            if (!name.empty()) {
                index.known.insert(std::move(name));
            }
        }
    }
    return index;
}

const KindIndex& index_of(ThemeKind kind)
{
    static const KindIndex car_zumo = build_index(ThemeKind::CarZumo);
    static const KindIndex sport_fitness = build_index(ThemeKind::SportFitness);
    return kind == ThemeKind::CarZumo ? car_zumo : sport_fitness;
}

} // namespace

const char* severity_name(Severity severity)
{
    switch (severity) {
    case Severity::Info:
        return "info";
    case Severity::Warning:
        return "warning";
    case Severity::Error:
        break;
    }
    return "error";
}

std::optional<Severity> parse_severity(std::string_view name)
{
    for (const auto s : { Severity::Info, Severity::Warning, Severity::Error }) {
        if (name == severity_name(s)) {
            return s;
        }
    }
    return std::nullopt;
}

std::span<const ElementGroupNames> lint_groups()
{
    return groups;
}

std::span<const LintRule> lint_rules()
{
    return rules;
}

const LintRule& lint_rule(std::string_view id)
{
    for (const auto& rule : rules) {
        if (rule.id == id) {
            return rule;
        }
    }
    return rules[0];
}

std::string lint_element_name(std::string_view field)
{
    std::string name = text::upper(field);
    for (const char* noise : { "MPM_", "_CLR", "MAP_" }) {
        text::replace_in(name, noise, "");
    }
    text::replace_in(name, "_", " ");
    return text::trim(name);
}

std::string lint_element_name(const StyleRow& row)
{
    return lint_element_name(row.field_name().empty() ? row.elem_name() : row.field_name());
}

std::uint32_t element_groups(ThemeKind kind, std::string_view name)
{
    const auto& index = index_of(kind).groups;
    const auto at = index.find(std::string(name));
    return at == index.end() ? 0 : at->second;
}

bool known_element(ThemeKind kind, std::string_view name)
{
    return index_of(kind).known.contains(std::string(name));
}

bool known_presentation(std::string_view name)
{
    const std::string trimmed = text::upper(text::trim(name));
    for (const auto& known : pres_catalogue) {
        if (trimmed == known) {
            return true;
        }
    }
    return false;
}

} // namespace tintwell
