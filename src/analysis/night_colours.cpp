#include "analysis/night_colours.h"

#include "analysis/colour_fix.h"
#include "analysis/finding_groups.h"
#include "analysis/id_table.h"
#include "analysis/lint_rules.h"
#include "analysis/parallel_parts.h"
#include "colour/colour_science.h"
#include "model/catalogue.h"
#include "model/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace tintwell {

namespace {

using colour::Lab;
using colour::Rgb;

// Rounds of fixing what the checker still finds at night.
constexpr int fix_rounds = 3;

// A colour at `lightness` with its hue and `chroma_share` of its chroma, less chroma where sRGB
// has none so strong at that lightness.
Rgb with_lightness(Rgb day, const Lab& lab, double lightness, double chroma_share)
{
    const double hue = std::atan2(lab.b, lab.a);
    double chroma = std::hypot(lab.a, lab.b) * chroma_share;
    for (int k = 0; k < 40; ++k) {
        if (const auto rgb =
                colour::from_lab({ lightness, chroma * std::cos(hue), chroma * std::sin(hue) })) {
            return *rgb;
        }
        chroma *= 0.9;
    }
    const auto grey = colour::from_lab({ std::clamp(lightness, 0.0, 100.0), 0, 0 });
    return grey.value_or(day);
}

// What a pass over the rows gathers, before it is made for real (see Planner).
enum class Gathering { Nothing, Darkened, Searches };

// The night colours planned so far, by row and slot.
using PlannedColours = std::vector<std::array<std::optional<Rgb>, 4>>;

struct Planner
{
    const Document& doc;
    NightSettings settings;
    std::vector<bool> in_scope;
    PlannedColours planned;
    // By presentation code: the rows of each ground group.
    std::map<std::int16_t, std::vector<int>> land {};
    std::map<std::int16_t, std::vector<int>> water {};
    std::map<std::int16_t, std::vector<int>> outlines {};
    std::int16_t first_presentation = 0;
    // A large theme names a few grounds and has thousands of colours; each ground's lightness,
    // each darkened colour and each search is worked out once.
    std::unordered_map<std::int16_t, double> land_lightness_cache {};
    std::vector<double> land_lightnesses {};
    // The darkened colour of each day colour on each land lightness (its number in
    // `land_lightnesses` beside the colour), by id.
    IdTable<std::uint64_t, WordTraits> darkened_ids {};
    std::vector<Rgb> darkened_values {};

    // The day and night colours of a list of ground rows, read once for all the lines drawn on
    // them (the grounds are areas, planned before any line); lists of the same night colours
    // share a number, which stands for them in the searches' keys.
    struct GroundColours
    {
        std::vector<Rgb> day;
        std::vector<Rgb> night;
        std::uint32_t night_number = 0;
    };
    std::unordered_map<const std::vector<int>*, GroundColours> ground_colours {};
    std::map<std::vector<std::uint32_t>, std::uint32_t> night_numbers {};

    struct SearchKey
    {
        std::uint32_t grounds;
        std::uint32_t start;
        double target;
        double threshold;
        bool operator==(const SearchKey&) const = default;
    };
    struct SearchKeyTraits
    {
        static std::size_t hash(const SearchKey& key)
        {
            std::uint64_t h = mixed(std::uint64_t { key.grounds } << 32 | key.start);
            h ^= mixed(std::bit_cast<std::uint64_t>(key.target)) + 0x9E3779B97F4A7C15U + (h << 6);
            h ^=
                mixed(std::bit_cast<std::uint64_t>(key.threshold)) + 0x9E3779B97F4A7C15U + (h << 6);
            return static_cast<std::size_t>(h);
        }
        static bool equal(const SearchKey& a, const SearchKey& b) { return a == b; }
    };
    IdTable<SearchKey, SearchKeyTraits> search_ids {};
    std::vector<Rgb> search_values {};

    // A pass over the rows may first only gather the colours it will need, which are then
    // worked out together on every processor, each into its place in the caches, before the
    // pass is made for real. While gathering, colours not yet known stand in for themselves.
    Gathering gathering = Gathering::Nothing;
    struct PendingDarkened
    {
        std::size_t id;
        Rgb day;
        double land_lightness;
    };
    struct PendingSearch
    {
        std::size_t id;
        Rgb start;
        const std::vector<Rgb>* grounds;
        double target;
        double threshold;
    };
    std::vector<PendingDarkened> pending_darkened {};
    std::vector<PendingSearch> pending_searches {};

    std::optional<Rgb> day(int row, ColourSlot slot) const
    {
        const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
        return colour::parse_rgb(slot == ColourSlot::BodyDay ? r.pri_day() : r.sec_day());
    }

    // The colour the slot shows at night with what is planned so far.
    std::optional<Rgb> night(int row, ColourSlot slot) const
    {
        if (const auto& at =
                planned[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot)]) {
            return at;
        }
        const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
        const bool body = slot == ColourSlot::BodyNight;
        if (const auto own = colour::parse_rgb(body ? r.pri_night() : r.sec_night())) {
            return own;
        }
        return colour::parse_rgb(body ? r.pri_day() : r.sec_day());
    }

    const std::vector<int>& ground_rows(
        const std::map<std::int16_t, std::vector<int>>& groups, int row) const
    {
        static const std::vector<int> none;
        const std::int16_t own = doc.rows[static_cast<std::size_t>(row)].pres_code;
        if (const auto at = groups.find(own); at != groups.end()) {
            return at->second;
        }
        const auto first = groups.find(first_presentation);
        return first != groups.end() ? first->second : none;
    }

    double land_day_lightness(int row)
    {
        const std::int16_t own = doc.rows[static_cast<std::size_t>(row)].pres_code;
        const auto [at, added] = land_lightness_cache.try_emplace(own, 94);
        if (added) {
            for (const int g : ground_rows(land, row)) {
                if (const auto c = day(g, ColourSlot::BodyDay)) {
                    at->second = std::max(colour::to_lab(*c).L, 1.0);
                    break;
                }
            }
        }
        return at->second;
    }

    Rgb darkened(int row, Rgb day_colour)
    {
        const double land_lightness = land_day_lightness(row);
        // A theme's lands have a few lightnesses; the place of each in `land_lightnesses` stands
        // for it in the key.
        auto land_index = static_cast<std::uint64_t>(
            std::find(land_lightnesses.begin(), land_lightnesses.end(), land_lightness)
            - land_lightnesses.begin());
        if (land_index == land_lightnesses.size()) {
            land_lightnesses.push_back(land_lightness);
        }
        const auto id =
            static_cast<std::size_t>(darkened_ids.id(land_index << 24 | day_colour.packed()));
        if (id == darkened_values.size()) {
            darkened_values.push_back(day_colour);
            if (gathering == Gathering::Darkened) {
                pending_darkened.push_back({ id, day_colour, land_lightness });
                return day_colour;
            }
            darkened_values[id] = darkened_colour(day_colour, land_lightness);
        }
        return darkened_values[id];
    }

    Rgb darkened_colour(Rgb day_colour, double land_lightness) const
    {
        const Lab lab = colour::to_lab(day_colour);
        const double ratio = lab.L / land_lightness;
        const double lightness =
            std::clamp(settings.land_lightness * ratio, 2.0, settings.land_lightness + 30);
        return with_lightness(day_colour, lab, lightness, settings.saturation);
    }

    static Rgb searched(Rgb start, const std::vector<Rgb>& grounds, double target, double threshold)
    {
        auto colour = nearest_reaching(start, grounds, Measure::Contrast, target);
        if (!colour) {
            colour = nearest_reaching(start, grounds, Measure::Contrast, threshold);
        }
        return colour.value_or(start);
    }

    // Works out what a gathering pass found missing.
    void work_out_gathered()
    {
        for_parts(pending_darkened.size(), 256, [&](std::size_t begin, std::size_t end) {
            for (std::size_t k = begin; k < end; ++k) {
                const PendingDarkened& p = pending_darkened[k];
                darkened_values[p.id] = darkened_colour(p.day, p.land_lightness);
            }
        });
        for_parts(pending_searches.size(), 64, [&](std::size_t begin, std::size_t end) {
            for (std::size_t k = begin; k < end; ++k) {
                const PendingSearch& p = pending_searches[k];
                search_values[p.id] = searched(p.start, *p.grounds, p.target, p.threshold);
            }
        });
        pending_darkened.clear();
        pending_searches.clear();
        gathering = Gathering::Nothing;
    }

    // The nearest colour to `start` with `target` contrast against every ground, or the rule's
    // threshold when the target cannot be had. A large theme repeats the same few colours on the
    // same grounds thousands of times; each search is made once.
    Rgb reaching(Rgb start, const GroundColours& grounds, double target, double threshold)
    {
        // The start is not known yet while darkened colours are gathered.
        if (gathering == Gathering::Darkened) {
            return start;
        }
        const SearchKey key { grounds.night_number, start.packed(), target, threshold };
        const auto id = static_cast<std::size_t>(search_ids.id(key));
        if (id == search_values.size()) {
            search_values.push_back(start);
            if (gathering == Gathering::Searches) {
                pending_searches.push_back({ id, start, &grounds.night, target, threshold });
                return start;
            }
            search_values[id] = searched(start, grounds.night, target, threshold);
        }
        return search_values[id];
    }

    const GroundColours& colours_of(const std::vector<int>* rows)
    {
        const auto [at, added] = ground_colours.try_emplace(rows);
        GroundColours& grounds = at->second;
        if (added) {
            std::vector<std::uint32_t> night;
            for (const int g : *rows) {
                if (const auto d = day(g, ColourSlot::BodyDay)) {
                    grounds.day.push_back(*d);
                }
                if (const auto n = this->night(g, ColourSlot::BodyNight)) {
                    grounds.night.push_back(*n);
                    night.push_back(n->packed());
                }
            }
            grounds.night_number =
                night_numbers
                    .try_emplace(std::move(night), static_cast<std::uint32_t>(night_numbers.size()))
                    .first->second;
        }
        return grounds;
    }

    void plan_area(int row)
    {
        if (const auto body = day(row, ColourSlot::BodyDay)) {
            plan(row, ColourSlot::BodyNight, darkened(row, *body));
        }
        if (const auto border = day(row, ColourSlot::BorderDay)) {
            plan(row, ColourSlot::BorderNight, darkened(row, *border));
        }
    }

    void plan(int row, ColourSlot slot, Rgb colour)
    {
        planned[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot)] = colour;
    }

    // The grounds a line is drawn on, and the least contrast its rule asks against them.
    std::pair<const std::vector<int>*, double> line_ground(int row, std::uint32_t groups) const
    {
        if ((groups & Texts) != 0) {
            return { &ground_rows(outlines, row), 4.5 };
        }
        if ((groups & WaterLines) != 0) {
            return { &ground_rows(water, row), 1.5 };
        }
        const bool main = (groups & (Routes | Tracks | MainRoads)) != 0;
        return { &ground_rows(land, row), main ? 3.0 : 1.5 };
    }

    // Plans a line's night body; returns its night contrast against its worst ground.
    double plan_line(int row, std::uint32_t groups, double least)
    {
        const auto body = day(row, ColourSlot::BodyDay);
        if (!body) {
            return 0;
        }
        // Gathering the darkened colours needs nothing else of the line.
        if (gathering == Gathering::Darkened) {
            darkened(row, *body);
            if (const auto border = day(row, ColourSlot::BorderDay)) {
                darkened(row, *border);
            }
            return 0;
        }
        const auto [ground_rows, threshold] = line_ground(row, groups);
        const GroundColours& grounds = colours_of(ground_rows);
        const std::vector<Rgb>& day_grounds = grounds.day;
        const std::vector<Rgb>& night_grounds = grounds.night;
        double target = std::max(threshold, least);
        double day_contrast = 21;
        for (const Rgb g : day_grounds) {
            day_contrast = std::min(day_contrast, colour::contrast_ratio(*body, g));
        }
        if (!day_grounds.empty()) {
            target = std::max(target, day_contrast);
        }
        const Rgb start = darkened(row, *body);
        const Rgb chosen = reaching(start, grounds, target, threshold);
        if (gathering == Gathering::Searches) {
            return 0;
        }
        plan(row, ColourSlot::BodyNight, chosen);
        if (const auto border = day(row, ColourSlot::BorderDay)) {
            plan(row, ColourSlot::BorderNight, darkened(row, *border));
        }
        double worst = 21;
        for (const Rgb g : night_grounds) {
            worst = std::min(worst, colour::contrast_ratio(chosen, g));
        }
        return worst;
    }
};

// What the rows' names tell, each name looked at once: their rule groups, which rows are areas,
// the grounds of each presentation, and the rows the checker measures.
struct RowKinds
{
    std::vector<std::uint32_t> groups;
    std::vector<bool> area;
    // The rows the checker measures (the first style of each element a rule knows in each
    // presentation, by name and by code) and the first row, in order.
    std::vector<int> measured;
};

RowKinds row_kinds(const Document& doc, Planner& plan)
{
    RowKinds kinds;
    kinds.groups.resize(doc.rows.size());
    kinds.area.resize(doc.rows.size());
    struct Element
    {
        std::uint32_t id;
        std::uint32_t groups;
    };
    std::unordered_map<std::string_view, Element> elements;
    std::unordered_map<std::string, std::uint32_t> ids;
    std::unordered_map<std::string_view, bool> areas;
    std::unordered_map<std::string_view, std::uint64_t> presentation_numbers;
    std::unordered_set<std::uint64_t> by_name;
    std::unordered_set<std::uint64_t> by_code;
    // A ground is measured, as the checker measures it, by the first style of its element in a
    // presentation; a theme may name it thousands of times.
    std::unordered_set<std::uint64_t> grounds_taken;
    for (int r = 0; r < doc.row_count(); ++r) {
        const StyleRow& row = doc.rows[static_cast<std::size_t>(r)];
        const std::string_view field =
            row.field_name().empty() ? row.elem_name() : row.field_name();
        auto element = elements.find(field);
        if (element == elements.end()) {
            std::string name = lint_element_name(row);
            const std::uint32_t groups = element_groups(doc.kind, name);
            const auto id = ids.try_emplace(std::move(name), ids.size()).first->second;
            element = elements.emplace(field, Element { id, groups }).first;
        }
        const std::uint32_t g = element->second.groups;
        const std::uint64_t id = element->second.id;
        kinds.groups[static_cast<std::size_t>(r)] = g;
        auto area = areas.find(row.elem_name());
        if (area == areas.end()) {
            std::string name(row.elem_name());
            area = areas.emplace(row.elem_name(), pgon(doc, name)).first;
        }
        kinds.area[static_cast<std::size_t>(r)] =
            area->second || (g & (LandGround | WaterGround | TextOutlines | Areas)) != 0;

        const auto code = static_cast<std::uint64_t>(static_cast<std::uint16_t>(row.pres_code));
        if (g != 0) {
            const std::string_view presentation = doc.kind == ThemeKind::SportFitness
                ? std::string_view()
                : text::trim_view(row.pres_name());
            const std::uint64_t number =
                presentation_numbers.try_emplace(presentation, presentation_numbers.size())
                    .first->second;
            const bool measured = by_name.insert(number << 32 | id).second;
            if (by_code.insert(code << 32 | id).second || measured || r == 0) {
                kinds.measured.push_back(r);
            }
        } else if (r == 0) {
            kinds.measured.push_back(r);
        }

        if ((g & (LandGround | WaterGround | TextOutlines)) == 0
            || !grounds_taken.insert(code << 32 | id).second) {
            continue;
        }
        if ((g & LandGround) != 0) {
            plan.land[row.pres_code].push_back(r);
        }
        if ((g & WaterGround) != 0) {
            plan.water[row.pres_code].push_back(r);
        }
        if ((g & TextOutlines) != 0) {
            plan.outlines[row.pres_code].push_back(r);
        }
    }
    return kinds;
}

// The planned colours of the rows given, as set_colours takes them, `rows[k]` standing as row
// `k`.
std::vector<SlotColour> planned_colours(const PlannedColours& planned, const std::vector<int>* rows)
{
    std::vector<SlotColour> colours;
    const std::size_t count = rows ? rows->size() : planned.size();
    for (std::size_t k = 0; k < count; ++k) {
        const auto& slots = planned[rows ? static_cast<std::size_t>((*rows)[k]) : k];
        for (const ColourSlot slot : colour_slots) {
            if (const auto& c = slots[static_cast<std::size_t>(slot)]) {
                colours.push_back({ static_cast<int>(k), slot, *c });
            }
        }
    }
    return colours;
}

} // namespace

ColourEdit make_night_colours(
    const Document& doc, const std::vector<int>& rows, const NightSettings& settings)
{
    Planner plan { .doc = doc,
        .settings = settings,
        .in_scope = std::vector<bool>(doc.rows.size()),
        .planned = PlannedColours(doc.rows.size()) };
    if (!doc.rows.empty()) {
        plan.first_presentation = doc.rows.front().pres_code;
    }
    for (const int r : rows) {
        if (doc.valid_row(r)) {
            plan.in_scope[static_cast<std::size_t>(r)] = true;
        }
    }
    const RowKinds kinds = row_kinds(doc, plan);
    const std::vector<std::uint32_t>& groups = kinds.groups;
    const std::vector<bool>& area = kinds.area;

    // Grounds and areas first, then the lines on them: roads, then routes and tracks, which
    // must keep their lead over the roads of their presentation.
    // Each pass first gathers the darkened colours and then the searches it needs, which are
    // worked out together, and is then made with all of them known.
    const auto in_passes = [&](const auto& pass) {
        for (const Gathering gathering : { Gathering::Darkened, Gathering::Searches }) {
            plan.gathering = gathering;
            pass();
            plan.work_out_gathered();
        }
        pass();
    };
    in_passes([&] {
        for (int r = 0; r < doc.row_count(); ++r) {
            if (plan.in_scope[static_cast<std::size_t>(r)] && area[static_cast<std::size_t>(r)]) {
                plan.plan_area(r);
            }
        }
    });
    std::map<std::int16_t, double> best_road;
    const auto is_route = [&](int r) {
        return (groups[static_cast<std::size_t>(r)] & (Routes | Tracks)) != 0;
    };
    for (const bool routes : { false, true }) {
        in_passes([&] {
            const bool gathering = plan.gathering != Gathering::Nothing;
            for (int r = 0; r < doc.row_count(); ++r) {
                if (!plan.in_scope[static_cast<std::size_t>(r)] || area[static_cast<std::size_t>(r)]
                    || is_route(r) != routes) {
                    continue;
                }
                const std::int16_t p = doc.rows[static_cast<std::size_t>(r)].pres_code;
                const double least = routes ? best_road[p] * 1.05 : 0;
                const double reached =
                    plan.plan_line(r, groups[static_cast<std::size_t>(r)], least);
                if (!gathering && !routes
                    && (groups[static_cast<std::size_t>(r)] & (MainRoads | MinorRoads)) != 0) {
                    best_road[p] = std::max(best_road[p], reached);
                }
            }
        });
    }

    // What the checker still finds at night among these rows is fixed as Fix would. It finds
    // nothing but among the rows it measures, and a fix looks at nothing else: those rows alone
    // are checked and fixed, in a document of their own.
    Document work;
    work.kind = doc.kind;
    work.pres_count = doc.pres_count;
    work.pres_names = doc.pres_names;
    work.rows.reserve(kinds.measured.size());
    for (const int r : kinds.measured) {
        work.rows.push_back(doc.rows[static_cast<std::size_t>(r)]);
    }
    const auto row_of = [&](int k) { return kinds.measured[static_cast<std::size_t>(k)]; };
    set_colours(work, planned_colours(plan.planned, &kinds.measured), {}).edit.apply(work);
    const FixContext context(work);
    for (int round = 0; round < fix_rounds; ++round) {
        FindingGrouper grouper;
        ThemeChecker checker;
        checker.check_each(work, [&](Finding&& f) {
            if (f.period == Period::Night && work.valid_row(f.first_row)
                && plan.in_scope[static_cast<std::size_t>(row_of(f.first_row))]) {
                grouper.add(std::move(f));
            }
        });
        bool fixed = false;
        for (const FindingGroup& group : grouper.take()) {
            const FixProposal fix = propose_fix(work, group, &context);
            if (!fix.fixable()) {
                continue;
            }
            fix_edit(work, fix).edit.apply(work);
            for (const SlotColour& c : fix.colours) {
                plan.plan(row_of(c.row), c.slot, c.colour);
            }
            fixed = true;
        }
        if (!fixed) {
            break;
        }
    }
    return set_colours(doc, planned_colours(plan.planned, nullptr), "Make Night Colours");
}

} // namespace tintwell
