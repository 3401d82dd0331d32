#include "map/map_plan.h"

#include "model/catalogue.h"
#include "model/presentations.h"
#include "model/text.h"
#include "render/canvas.h"
#include "render/line_widths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace tintwell::map {

namespace {

// Where an element lies on the map: its class (areas 0, line classes 1 to 9, arrows 10) and its
// rank inside the class, lesser first.
struct Placing
{
    std::string_view element;
    int layer = 0;
    int rank = 0;
};

constexpr int arrow_layer = 10;

constexpr std::array<Placing, 48> placings = { {
    { "LAND", 0, 0 },
    { "URBAN LAND", 0, 10 },
    { "MISC AREA", 0, 12 },
    { "GLACIER", 0, 14 },
    { "WOODS", 0, 16 },
    { "WETLAND", 0, 18 },
    { "PARK", 0, 20 },
    { "BEACH", 0, 22 },
    { "RWY HSRFC", 0, 24 },
    { "MISC RESTR", 0, 26 },
    { "MISC OBSTR", 0, 28 },
    { "WATER", 0, 30 },
    { "MISC WATER AREA", 0, 32 },
    { "BUILDING SHADOW", 0, 40 },
    { "BUILDING", 0, 42 },
    { "EXTRD AREA", 0, 44 },
    { "DPTH CNTR MNR", 1, 1 },
    { "DPTH CNTR INT", 1, 2 },
    { "DPTH CNTR MJR", 1, 3 },
    { "CNTR MNR", 1, 4 },
    { "CNTR INT", 1, 5 },
    { "CNTR MJR", 1, 6 },
    { "GRID LINE", 2, 0 },
    { "MISC WATER LINE", 3, 0 },
    { "PLTCL MNR", 4, 1 },
    { "PLTCL MJR", 4, 2 },
    { "PLTCL INTL", 4, 3 },
    { "MISC LINE", 5, 0 },
    { "ROAD TRAIL", 6, 1 },
    { "ROAD ALLY", 6, 2 },
    { "ROAD UNPAVED", 6, 3 },
    { "ROAD DIM", 6, 4 },
    { "ROAD RESIDENTIAL", 6, 5 },
    { "ROAD COLLECTOR", 6, 6 },
    { "ROAD ARTERIAL", 6, 7 },
    { "ROAD RAMP", 6, 8 },
    { "ROAD HWY MNR", 6, 9 },
    { "ROAD HWY MJR", 6, 10 },
    { "ROAD SS INTERSTATE", 6, 11 },
    { "ROAD INTERSTATE", 6, 12 },
    { "ROAD RAILRD", 7, 0 },
    { "TRK SAVED", 8, 1 },
    { "TRK", 8, 2 },
    { "RTE GPI EMB", 8, 3 },
    { "RTE INACTV LEG", 8, 4 },
    { "RTE ACTV LEG", 8, 5 },
    { "SCALE LINE", 9, 0 },
    { "RTE ARRW", arrow_layer, 0 },
} };

// Unknown elements draw with the other lines, above the areas.
Placing placing_of(std::string_view element)
{
    for (const Placing& p : placings) {
        if (p.element == element) {
            return p;
        }
    }
    return { element, 5, 0 };
}

// Upper case, blanks for underscores, no blanks round it: the form scene elements are in.
std::string normal_name(std::string_view name)
{
    std::string out(text::trim_view(name));
    for (char& ch : out) {
        if (ch == '_') {
            ch = ' ';
        } else if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
    }
    return out;
}

std::string_view presentation_of(const Document& doc, const StyleRow& row)
{
    if (doc.kind == ThemeKind::CarZumo) {
        return pres_catalogue[static_cast<std::size_t>(std::clamp(row.pres_code / 10, 0, 5))];
    }
    return {};
}

// A colour as the preview reads it: an eight-digit text loses its transparency digits, and a
// text that is empty or not a colour gives nothing.
std::optional<ColourValue> colour_of(std::string_view text, ThemeKind kind)
{
    std::string_view digits = text::trim_view(text);
    if (digits.size() > 6) {
        digits.remove_prefix(2);
    }
    if (digits.empty() || digits.size() > 6) {
        return std::nullopt;
    }
    const auto value = hex_to_value(digits, kind);
    if (!value || *value < 0 || *value > 0xFFFFFF) {
        return std::nullopt;
    }
    return value;
}

struct Colours
{
    ColourValue body = -1;
    ColourValue border = -1;
    int body_alpha = 255;
    int border_alpha = 255;
};

// The colours and, for a Sport & Fitness style, their opacity as its text writes them; a colour
// that falls back to another takes that one's opacity too.
Colours colours_of(const StyleRow& row, ThemeKind kind, bool night)
{
    std::array<int, 4> alphas { 255, 255, 255, 255 };
    if (kind == ThemeKind::SportFitness) {
        alphas = nwf_alphas(row.style_text());
    }
    const auto alpha = [&](NwfColour c) { return alphas[static_cast<std::size_t>(c)]; };
    Colours day;
    day.body = colour_of(row.pri_day(), kind).value_or(-1);
    day.body_alpha = alpha(NwfColour::PrimaryDay);
    const auto day_border = colour_of(row.sec_day(), kind);
    day.border = day_border.value_or(day.body);
    day.border_alpha = day_border ? alpha(NwfColour::SecondaryDay) : day.body_alpha;
    if (!night) {
        return day;
    }
    Colours out = day;
    if (const auto body = colour_of(row.pri_night(), kind)) {
        out.body = *body;
        out.body_alpha = alpha(NwfColour::PrimaryNight);
    }
    if (const auto border = colour_of(row.sec_night(), kind)) {
        out.border = *border;
        out.border_alpha = alpha(NwfColour::SecondaryNight);
    }
    return out;
}

bool is_rail(std::string_view element)
{
    return text::contains(element, "RAILRD") || text::contains(element, "TRAIL");
}

struct Sorted
{
    int layer = 0;
    int step = 0;
    int rank = 0;
    MapItem item;
};

// The catalogue of the kind in its order, areas first, upper case with blanks.
std::vector<std::string> catalogue_of(ThemeKind kind)
{
    std::vector<std::string> names;
    if (kind == ThemeKind::CarZumo) {
        for (const auto* list : { &car_zumo_polygon_items(), &car_zumo_line_items() }) {
            for (const std::string& name : *list) {
                names.push_back(normal_name(name));
            }
        }
        return names;
    }
    for (const std::string& name : nwf_polygon_items()) {
        names.push_back(normal_name(name));
    }
    for (const std::string& line : text::split(get_nwlines(), "\r\n")) {
        if (!text::trim_view(line).empty()) {
            names.push_back(normal_name(line));
        }
    }
    return names;
}

void add_items(std::vector<Sorted>& out, const SceneFeature& feature, int index,
    const Document& doc, int row, bool night)
{
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    const Colours c = colours_of(r, doc.kind, night);
    const Placing at = placing_of(feature.car_zumo);
    MapItem item;
    item.feature = index;
    item.row = row;
    if (feature.shape == FeatureShape::Area) {
        item.colour = c.body;
        item.alpha = c.body_alpha;
        out.push_back({ 0, 0, at.rank, item });
        return;
    }
    if (feature.shape == FeatureShape::Arrow) {
        const double scale = text::trim_view(r.scale()).empty() ? 1 : text::val(r.scale());
        const double border = text::val(r.border());
        item.pass = MapPass::Arrow;
        item.colour = c.body;
        item.edge = c.border;
        item.width = std::isfinite(scale) && scale > 0 ? 4 * scale : 0;
        item.pen = std::isfinite(border) && border > 0 ? 2 * border + 1 : 0;
        out.push_back({ arrow_layer, 0, at.rank, item });
        return;
    }
    const std::string& element = element_of(feature, doc.kind);
    const bool rail = is_rail(element);
    const bool width_style =
        text::contains(r.style_text(), "BG_W") || text::contains(r.style_text(), "FG_W");
    const LineWidths w = line_widths(doc.kind, r, rail, width_style, night);
    const double body = w.body / tintwell::twips_per_pixel;
    const double full = body + 2 * w.border / tintwell::twips_per_pixel;
    if (rail) {
        // The preview's rail shows the border colour either side of the body colour: on the map
        // the border colour runs the whole length with the body colour in dashes over it.
        item.pass = MapPass::Casing;
        item.colour = c.border;
        item.alpha = c.border_alpha;
        item.width = full;
        out.push_back({ at.layer, 0, at.rank, item });
        item.pass = MapPass::Dashes;
        item.colour = c.body;
        item.alpha = c.body_alpha;
        item.width = body;
        out.push_back({ at.layer, 1, at.rank, item });
        return;
    }
    if (w.border > 0) {
        item.pass = MapPass::Casing;
        item.colour = c.border;
        item.alpha = c.border_alpha;
        item.width = full;
        out.push_back({ at.layer, 0, at.rank, item });
    }
    item.pass = MapPass::Body;
    item.colour = c.body;
    item.alpha = c.body_alpha;
    item.width = body;
    out.push_back({ at.layer, 1, at.rank, item });
}

} // namespace

const std::string& element_of(const SceneFeature& feature, ThemeKind kind)
{
    return kind == ThemeKind::CarZumo ? feature.car_zumo : feature.sport;
}

std::vector<std::string> map_presentations(const Document& doc)
{
    if (doc.kind == ThemeKind::SportFitness) {
        return { std::string() };
    }
    return presentations_in_rows(doc);
}

MapPlan plan_map(const Document& doc, const Scene& scene, const MapLook& look)
{
    MapPlan plan;
    plan.kind = doc.kind;
    std::string presentation = look.presentation;
    if (doc.kind == ThemeKind::CarZumo && presentation.empty()) {
        const auto listed = presentations_in_rows(doc);
        presentation = listed.empty() ? std::string() : listed.front();
    }

    std::unordered_map<std::string, int> rows;
    for (int i = 0; i < doc.row_count(); ++i) {
        const StyleRow& r = doc.rows[static_cast<std::size_t>(i)];
        if (doc.kind == ThemeKind::CarZumo && presentation_of(doc, r) != presentation) {
            continue;
        }
        rows.emplace(normal_name(r.elem_name()), i);
    }

    std::unordered_map<std::string, int> in_scene;
    std::vector<Sorted> sorted;
    for (std::size_t f = 0; f < scene.features.size(); ++f) {
        const SceneFeature& feature = scene.features[f];
        const std::string& element = element_of(feature, doc.kind);
        if (element.empty()) {
            continue;
        }
        const auto found = rows.find(element);
        in_scene.emplace(element, found == rows.end() ? -1 : found->second);
        if (found != rows.end()) {
            add_items(sorted, feature, static_cast<int>(f), doc, found->second, look.night);
        }
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) {
        return std::tie(a.layer, a.step, a.rank) < std::tie(b.layer, b.step, b.rank);
    });
    plan.items.reserve(sorted.size());
    for (const Sorted& s : sorted) {
        plan.items.push_back(s.item);
    }

    if (const auto land = rows.find("LAND"); land != rows.end()) {
        plan.background =
            colours_of(doc.rows[static_cast<std::size_t>(land->second)], doc.kind, look.night).body;
    }

    for (std::string& element : catalogue_of(doc.kind)) {
        LegendEntry entry;
        const auto seen = in_scene.find(element);
        if (seen == in_scene.end()) {
            entry.state = LegendState::NotInScene;
        } else if (seen->second < 0) {
            entry.state = LegendState::NotSet;
        } else {
            entry.row = seen->second;
        }
        entry.element = std::move(element);
        plan.legend.push_back(std::move(entry));
    }
    return plan;
}

} // namespace tintwell::map
