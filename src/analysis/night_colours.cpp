#include "analysis/night_colours.h"

#include "analysis/colour_fix.h"
#include "analysis/finding_groups.h"
#include "analysis/lint_rules.h"
#include "colour/colour_science.h"
#include "model/catalogue.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace tintwell {

namespace {

using colour::Lab;
using colour::Rgb;

// Rounds of fixing what the checker still finds at night.
constexpr int fix_rounds = 3;

// A colour at `lightness` with its hue and `chroma_share` of its chroma, less chroma where sRGB
// has none so strong at that lightness.
Rgb with_lightness(Rgb day, double lightness, double chroma_share)
{
    const Lab lab = colour::to_lab(day);
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

struct Planner
{
    const Document& doc;
    NightSettings settings;
    std::vector<bool> in_scope;
    std::map<std::pair<int, ColourSlot>, Rgb> planned;
    // By presentation code: the rows of each ground group.
    std::map<std::int16_t, std::vector<int>> land, water, outlines;
    std::int16_t first_presentation = 0;
    std::map<std::pair<std::uint32_t, double>, Rgb> darkened_cache;
    std::unordered_map<std::string, Rgb> reaching_cache;

    std::optional<Rgb> day(int row, ColourSlot slot) const
    {
        const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
        return colour::parse_rgb(slot == ColourSlot::BodyDay ? r.pri_day() : r.sec_day());
    }

    // The colour the slot shows at night with what is planned so far.
    std::optional<Rgb> night(int row, ColourSlot slot) const
    {
        if (const auto at = planned.find({ row, slot }); at != planned.end()) {
            return at->second;
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

    double land_day_lightness(int row) const
    {
        for (const int g : ground_rows(land, row)) {
            if (const auto c = day(g, ColourSlot::BodyDay)) {
                return std::max(colour::to_lab(*c).L, 1.0);
            }
        }
        return 94;
    }

    Rgb darkened(int row, Rgb day_colour)
    {
        const double land_lightness = land_day_lightness(row);
        const auto [at, added] =
            darkened_cache.try_emplace({ day_colour.packed(), land_lightness }, Rgb {});
        if (added) {
            const double ratio = colour::to_lab(day_colour).L / land_lightness;
            const double lightness =
                std::clamp(settings.land_lightness * ratio, 2.0, settings.land_lightness + 30);
            at->second = with_lightness(day_colour, lightness, settings.saturation);
        }
        return at->second;
    }

    // The nearest colour to `start` with `target` contrast against every ground, or the rule's
    // threshold when the target cannot be had. A large theme repeats the same few colours on the
    // same grounds thousands of times; each search is made once.
    Rgb reaching(Rgb start, const std::vector<Rgb>& grounds, double target, double threshold)
    {
        std::string key;
        for (const Rgb c : grounds) {
            key += colour::to_hex(c);
        }
        key += '/' + colour::to_hex(start) + '/' + std::to_string(target) + '/'
            + std::to_string(threshold);
        const auto [at, added] = reaching_cache.try_emplace(std::move(key), start);
        if (added) {
            auto colour = nearest_reaching(start, grounds, Measure::Contrast, target);
            if (!colour) {
                colour = nearest_reaching(start, grounds, Measure::Contrast, threshold);
            }
            at->second = colour.value_or(start);
        }
        return at->second;
    }

    void plan_area(int row)
    {
        if (const auto body = day(row, ColourSlot::BodyDay)) {
            planned[{ row, ColourSlot::BodyNight }] = darkened(row, *body);
        }
        if (const auto border = day(row, ColourSlot::BorderDay)) {
            planned[{ row, ColourSlot::BorderNight }] = darkened(row, *border);
        }
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
        const auto [grounds, threshold] = line_ground(row, groups);
        std::vector<Rgb> day_grounds;
        std::vector<Rgb> night_grounds;
        for (const int g : *grounds) {
            if (const auto d = day(g, ColourSlot::BodyDay)) {
                day_grounds.push_back(*d);
            }
            if (const auto n = night(g, ColourSlot::BodyNight)) {
                night_grounds.push_back(*n);
            }
        }
        double target = std::max(threshold, least);
        double day_contrast = 21;
        for (const Rgb g : day_grounds) {
            day_contrast = std::min(day_contrast, colour::contrast_ratio(*body, g));
        }
        if (!day_grounds.empty()) {
            target = std::max(target, day_contrast);
        }
        const Rgb start = darkened(row, *body);
        const Rgb chosen = reaching(start, night_grounds, target, threshold);
        planned[{ row, ColourSlot::BodyNight }] = chosen;
        if (const auto border = day(row, ColourSlot::BorderDay)) {
            planned[{ row, ColourSlot::BorderNight }] = darkened(row, *border);
        }
        double worst = 21;
        for (const Rgb g : night_grounds) {
            worst = std::min(worst, colour::contrast_ratio(chosen, g));
        }
        return worst;
    }
};

} // namespace

ColourEdit make_night_colours(
    const Document& doc, const std::vector<int>& rows, const NightSettings& settings)
{
    Planner plan { doc, settings, std::vector<bool>(doc.rows.size()), {}, {}, {}, {}, 0, {}, {} };
    if (!doc.rows.empty()) {
        plan.first_presentation = doc.rows.front().pres_code;
    }
    for (const int r : rows) {
        if (doc.valid_row(r)) {
            plan.in_scope[static_cast<std::size_t>(r)] = true;
        }
    }
    std::vector<std::uint32_t> groups(doc.rows.size());
    std::vector<bool> area(doc.rows.size());
    // A ground is measured, as the checker measures it, by the first style of its element in a
    // presentation; a theme may name it thousands of times.
    std::set<std::pair<std::int16_t, std::string>> grounds_taken;
    for (int r = 0; r < doc.row_count(); ++r) {
        const StyleRow& row = doc.rows[static_cast<std::size_t>(r)];
        std::string element = lint_element_name(row);
        const std::uint32_t g = element_groups(doc.kind, element);
        groups[static_cast<std::size_t>(r)] = g;
        std::string name(row.elem_name());
        area[static_cast<std::size_t>(r)] =
            pgon(doc, name) || (g & (LandGround | WaterGround | TextOutlines | Areas)) != 0;
        if ((g & (LandGround | WaterGround | TextOutlines)) == 0
            || !grounds_taken.emplace(row.pres_code, std::move(element)).second) {
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

    // Grounds and areas first, then the lines on them: roads, then routes and tracks, which
    // must keep their lead over the roads of their presentation.
    for (int r = 0; r < doc.row_count(); ++r) {
        if (plan.in_scope[static_cast<std::size_t>(r)] && area[static_cast<std::size_t>(r)]) {
            plan.plan_area(r);
        }
    }
    std::map<std::int16_t, double> best_road;
    const auto is_route = [&](int r) {
        return (groups[static_cast<std::size_t>(r)] & (Routes | Tracks)) != 0;
    };
    for (const bool routes : { false, true }) {
        for (int r = 0; r < doc.row_count(); ++r) {
            if (!plan.in_scope[static_cast<std::size_t>(r)] || area[static_cast<std::size_t>(r)]
                || is_route(r) != routes) {
                continue;
            }
            const std::int16_t p = doc.rows[static_cast<std::size_t>(r)].pres_code;
            const double least = routes ? best_road[p] * 1.05 : 0;
            const double reached = plan.plan_line(r, groups[static_cast<std::size_t>(r)], least);
            if (!routes && (groups[static_cast<std::size_t>(r)] & (MainRoads | MinorRoads)) != 0) {
                best_road[p] = std::max(best_road[p], reached);
            }
        }
    }

    // What the checker still finds at night among these rows is fixed as Fix would.
    Document work = doc;
    const auto planned_colours = [&] {
        std::vector<SlotColour> colours;
        for (const auto& [at, c] : plan.planned) {
            colours.push_back({ at.first, at.second, c });
        }
        return colours;
    };
    set_colours(doc, planned_colours(), {}).edit.apply(work);
    const FixContext context(work);
    for (int round = 0; round < fix_rounds; ++round) {
        FindingGrouper grouper;
        ThemeChecker checker;
        checker.check_each(work, [&](Finding&& f) {
            if (f.period == Period::Night && plan.in_scope[static_cast<std::size_t>(f.first_row)]) {
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
                plan.planned[{ c.row, c.slot }] = c.colour;
            }
            fixed = true;
        }
        if (!fixed) {
            break;
        }
    }
    return set_colours(doc, planned_colours(), "Make Night Colours");
}

} // namespace tintwell
