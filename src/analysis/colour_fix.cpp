#include "analysis/colour_fix.h"

#include "colour/colour_science.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>

namespace tintwell {

namespace {

using colour::Lab;
using colour::Rgb;
using colour::Vision;

// Each style of a group is tried with at most this many colours that reach the threshold but
// make another of its findings worse, before it is given up.
constexpr int tries_per_style = 40;
// Lightness is searched in steps of this many units of L*.
constexpr double lightness_step = 0.25;

double measured(Measure m, Rgb a, Rgb b, Vision vision)
{
    if (m == Measure::Contrast) {
        return colour::contrast_ratio(a, b);
    }
    return colour::delta_e2000(colour::simulate(a, vision), colour::simulate(b, vision));
}

bool has_colour(std::string_view cell)
{
    return colour::parse_rgb(cell).has_value();
}

// The colour the slot shows as the checker sees it: a missing night colour is the day one.
std::optional<Rgb> shown(const StyleRow& row, ColourSlot slot)
{
    if (const auto own = colour::parse_rgb(slot_text(row, slot))) {
        return own;
    }
    if (slot == ColourSlot::BodyNight) {
        return colour::parse_rgb(row.pri_day());
    }
    if (slot == ColourSlot::BorderNight) {
        return colour::parse_rgb(row.sec_day());
    }
    return std::nullopt;
}

// The slots that hold what a finding measured of its first element: the border of an own-border
// finding, otherwise the part whose colour the finding names; both times for a finding of day
// and night, night only where the row has a night colour of its own.
std::vector<ColourSlot> measured_slots(const StyleRow& row, const Finding& f)
{
    const bool night_only = f.period == Period::Night;
    const ColourSlot body = night_only ? ColourSlot::BodyNight : ColourSlot::BodyDay;
    const ColourSlot border = night_only ? ColourSlot::BorderNight : ColourSlot::BorderDay;
    bool on_border = f.rule->pairing == Pairing::OwnBorder;
    if (!on_border && f.first_colour && shown(row, body) != f.first_colour) {
        on_border = shown(row, border) == f.first_colour;
    }
    std::vector<ColourSlot> slots { on_border ? border : body };
    if (f.period == Period::DayAndNight) {
        const ColourSlot night = on_border ? ColourSlot::BorderNight : ColourSlot::BodyNight;
        if (has_colour(slot_text(row, night))) {
            slots.push_back(night);
        }
    }
    return slots;
}

// The colour a member's first element is changed from, and what it is measured against.
Rgb start_colour(const Finding& f)
{
    return f.rule->pairing == Pairing::OwnBorder ? *f.second_colour : *f.first_colour;
}

Rgb ground_colour(const Finding& f)
{
    return f.rule->pairing == Pairing::OwnBorder ? *f.first_colour : *f.second_colour;
}

// The checker's findings about one row of a small document, by rule, vision, the other row and
// time of day (a finding of day and night counts for each), with the worst value of each.
using FindingKey = std::tuple<const LintRule*, Vision, int, int, Period>;

std::map<FindingKey, double> findings_about(const Document& doc, int row)
{
    std::map<FindingKey, double> out;
    ThemeChecker checker;
    checker.check_each(doc, [&](Finding&& f) {
        if (f.first_row != row && f.second_row != row) {
            return;
        }
        for (const Period p : { Period::Day, Period::Night }) {
            if (f.period != p && f.period != Period::DayAndNight) {
                continue;
            }
            const FindingKey key { f.rule, f.vision, f.first_row, f.second_row, p };
            const auto [at, added] = out.try_emplace(key, f.value);
            if (!added) {
                at->second = std::min(at->second, f.value);
            }
        }
    });
    return out;
}

// The rows a row's findings depend on: the measured styles of its presentation and of the first
// presentation, whose ground is used where a presentation has none; `row` is set to the row's
// place among them.
Document neighbourhood(const Document& doc, const FixContext& context, int& row)
{
    const std::int16_t own = doc.rows[static_cast<std::size_t>(row)].pres_code;
    const std::int16_t first = doc.rows.empty() ? own : doc.rows.front().pres_code;
    std::vector<int> rows { row };
    for (const std::int16_t p : { own, first }) {
        const std::vector<int>& measured = context.measured(p);
        rows.insert(rows.end(), measured.begin(), measured.end());
        if (own == first) {
            break;
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    Document small;
    small.kind = doc.kind;
    small.rows.reserve(rows.size());
    int place = -1;
    for (const int k : rows) {
        if (k == row) {
            place = small.row_count();
        }
        small.rows.push_back(doc.rows[static_cast<std::size_t>(k)]);
    }
    row = place;
    return small;
}

// Nearest colour to `start` that `reaches` and `accept` takes: lightness first, hue and chroma
// kept; with less and less chroma only when no lightness reaches.
std::optional<Rgb> nearest(Rgb start, const std::function<bool(Rgb)>& reaches,
    const std::function<bool(Rgb)>& accept, bool& gave_up)
{
    const Lab lab = colour::to_lab(start);
    const double chroma = std::hypot(lab.a, lab.b);
    const double hue = std::atan2(lab.b, lab.a);
    int tries = 0;
    for (int tenth = 10; tenth >= 0; --tenth) {
        const double c = chroma * tenth / 10;
        if (tenth < 10 && chroma < 1e-9) {
            break;
        }
        std::optional<Rgb> best;
        double best_change = 0;
        for (const int direction : { 1, -1 }) {
            std::optional<Rgb> last;
            for (double d = 0; d <= 100; d += lightness_step) {
                const double L = lab.L + direction * d;
                if (L < 0 || L > 100) {
                    break;
                }
                const auto rgb = colour::from_lab({ L, c * std::cos(hue), c * std::sin(hue) });
                if (!rgb || rgb == last || !reaches(*rgb)) {
                    continue;
                }
                last = rgb;
                const double change = colour::delta_e2000(start, *rgb);
                if (best && change >= best_change) {
                    break;
                }
                if (++tries > tries_per_style) {
                    gave_up = true;
                    return best;
                }
                if (accept(*rgb)) {
                    best = rgb;
                    best_change = change;
                    break;
                }
            }
        }
        if (best) {
            return best;
        }
    }
    return std::nullopt;
}

// The lightnesses at which no colour reaches a contrast against every ground, told without
// converting a colour: a colour's relative luminance differs from the CIE Y of its lightness
// only by the profile's other white and weights (at most 0.012) and by rounding its channels to
// eight bits (at most 0.009), so a lightness whose Y lies well inside the band of luminances
// too near a ground's falls short whatever its hue. Walking lightness for a contrast, most of
// the way lies in such a band.
class ContrastBands
{
public:
    ContrastBands(const std::vector<Rgb>& grounds, bool contrast, double threshold)
    {
        if (!contrast || threshold <= 1) {
            return;
        }
        for (const Rgb g : grounds) {
            const double y = colour::relative_luminance(g) + 0.05;
            const double low = y / threshold - 0.05 + margin;
            const double high = y * threshold - 0.05 - margin;
            if (low < high) {
                m_bands.emplace_back(low, high);
            }
        }
    }

    bool falls_short(double lightness) const
    {
        if (m_bands.empty()) {
            return false;
        }
        const double f = (lightness + 16) / 116;
        const double y = f > 24.0 / 116 ? f * f * f : (f - 16.0 / 116) * (108.0 / 841);
        return std::any_of(m_bands.begin(), m_bands.end(),
            [&](const auto& band) { return y > band.first && y < band.second; });
    }

private:
    // Above the 0.021 the two differences come to, for what the rounding of Y leaves.
    static constexpr double margin = 0.03;
    std::vector<std::pair<double, double>> m_bands;
};

std::string step_name(const FindingGroup& group)
{
    const Finding& f = group.members.front();
    std::string name = "Fix " + text::trim(f.first) + when_text(f);
    if (group.presentations.size() > 1) {
        name += " (" + std::to_string(group.presentations.size()) + " presentations)";
    }
    return name;
}

} // namespace

FixContext::FixContext(const Document& doc)
{
    // Field names repeat: each is turned into an element once.
    std::unordered_map<std::string_view, std::pair<std::size_t, bool>> elements;
    std::unordered_map<std::string, std::size_t> ids;
    std::set<std::pair<std::int16_t, std::size_t>> taken;
    for (int k = 0; k < doc.row_count(); ++k) {
        const StyleRow& r = doc.rows[static_cast<std::size_t>(k)];
        const std::string_view field = r.field_name().empty() ? r.elem_name() : r.field_name();
        auto at = elements.find(field);
        if (at == elements.end()) {
            std::string name = lint_element_name(r);
            const bool measured = element_groups(doc.kind, name) != 0;
            const auto id = ids.try_emplace(std::move(name), ids.size()).first->second;
            at = elements.emplace(field, std::pair { id, measured }).first;
        }
        if (at->second.second && taken.emplace(r.pres_code, at->second.first).second) {
            m_measured[r.pres_code].push_back(k);
        }
    }
}

const std::vector<int>& FixContext::measured(std::int16_t presentation) const
{
    static const std::vector<int> none;
    const auto at = m_measured.find(presentation);
    return at != m_measured.end() ? at->second : none;
}

FixProposal propose_fix(const Document& doc, const FindingGroup& group, const FixContext* context)
{
    FixProposal fix;
    if (group.members.empty()) {
        fix.refusal = "nothing to fix";
        return fix;
    }
    const Finding& first = group.members.front();
    const LintRule& rule = *first.rule;
    fix.description = step_name(group);
    fix.threshold = rule.threshold;
    if (rule.measure == Measure::Structure) {
        fix.refusal = "a structure finding is mended in the file, not by a colour";
        return fix;
    }

    // The members by the row they measured: each row is fixed against all of its grounds.
    std::map<int, std::vector<const Finding*>> by_row;
    for (const Finding& f : group.members) {
        if (!doc.valid_row(f.first_row) || !f.first_colour || !f.second_colour) {
            fix.refusal = "the theme changed since it was checked";
            return fix;
        }
        by_row[f.first_row].push_back(&f);
    }
    fix.worst_before = group.lowest;
    fix.worst_after = rule.measure == Measure::Contrast ? 21 : 100;
    std::optional<FixContext> own_context;
    if (context == nullptr) {
        own_context.emplace(doc);
        context = &*own_context;
    }
    for (const auto& [row, members] : by_row) {
        const StyleRow& style = doc.rows[static_cast<std::size_t>(row)];
        const Rgb start = start_colour(*members.front());
        std::vector<Rgb> grounds;
        for (const Finding* f : members) {
            grounds.push_back(ground_colour(*f));
        }
        const Vision vision = first.vision;
        const auto worst_against = [&](Rgb c) {
            double worst = std::numeric_limits<double>::max();
            for (const Rgb g : grounds) {
                worst = std::min(worst, measured(rule.measure, c, g, vision));
            }
            return worst;
        };
        const auto reaches = [&](Rgb c) { return worst_against(c) >= rule.threshold; };

        const std::vector<ColourSlot> slots = measured_slots(style, *members.front());
        int place = row;
        Document small = neighbourhood(doc, *context, place);
        const auto before = findings_about(small, place);
        const auto accept = [&](Rgb c) {
            const auto edit = set_colours(small,
                [&] {
                    std::vector<SlotColour> colours;
                    for (const ColourSlot slot : slots) {
                        colours.push_back({ place, slot, c });
                    }
                    return colours;
                }(),
                {});
            Document tried = small;
            edit.edit.apply(tried);
            // The group's own findings are gone; any finding left is one the row had, no worse.
            for (const auto& [key, value] : findings_about(tried, place)) {
                const auto was = before.find(key);
                if (was == before.end() || value < was->second - 1e-9) {
                    return false;
                }
            }
            return true;
        };
        bool gave_up = false;
        const auto found = nearest(start, reaches, accept, gave_up);
        if (!found) {
            fix.colours.clear();
            fix.before.clear();
            fix.refusal = gave_up ? "every colour near " + text::trim(style.elem_name())
                    + "'s that reaches it makes another of its findings worse"
                                  : "no colour of " + text::trim(style.elem_name())
                    + "'s hue reaches " + value_text(rule.threshold)
                    + (rule.measure == Measure::Contrast ? ":1" : "") + " against every ground";
            return fix;
        }
        fix.worst_after = std::min(fix.worst_after, worst_against(*found));
        for (const ColourSlot slot : slots) {
            fix.colours.push_back({ row, slot, *found });
            fix.before.push_back(shown(style, slot).value_or(start));
        }
    }
    return fix;
}

std::optional<Rgb> nearest_reaching(
    Rgb start, const std::vector<Rgb>& grounds, Measure measure, double threshold, Vision vision)
{
    const auto reaches = [&](Rgb c) {
        return std::all_of(grounds.begin(), grounds.end(),
            [&](Rgb g) { return measured(measure, c, g, vision) >= threshold; });
    };
    if (reaches(start)) {
        return start;
    }
    // With nothing else to weigh, each direction of lightness is walked in long strides and the
    // first stride that reaches is narrowed down by halves: a few conversions where the fine
    // walk of propose_fix takes dozens, which counts when every style of a theme is placed.
    constexpr double stride = 2;
    constexpr int halvings = 7;
    const Lab lab = colour::to_lab(start);
    const double chroma = std::hypot(lab.a, lab.b);
    const double hue = std::atan2(lab.b, lab.a);
    const ContrastBands bands(
        grounds, measure == Measure::Contrast && vision == Vision::Normal, threshold);
    for (int tenth = 10; tenth >= 0; --tenth) {
        const double c = chroma * tenth / 10;
        if (tenth < 10 && chroma < 1e-9) {
            break;
        }
        const double a = c * std::cos(hue);
        const double b = c * std::sin(hue);
        const auto at = [&](double L) -> std::optional<Rgb> {
            if (L < 0 || L > 100 || bands.falls_short(L)) {
                return std::nullopt;
            }
            const auto rgb = colour::from_lab({ L, a, b });
            return rgb && reaches(*rgb) ? rgb : std::nullopt;
        };
        std::optional<Rgb> best;
        double best_change = 0;
        for (const int direction : { 1, -1 }) {
            double near_side = lab.L;
            for (double d = stride; d <= 100 + stride; d += stride) {
                const double far_side = std::clamp(lab.L + direction * d, 0.0, 100.0);
                auto found = at(far_side);
                if (found) {
                    double low = near_side;
                    double high = far_side;
                    for (int k = 0; k < halvings; ++k) {
                        const double mid = (low + high) / 2;
                        if (const auto closer = at(mid)) {
                            found = closer;
                            high = mid;
                        } else {
                            low = mid;
                        }
                    }
                    const double change = colour::delta_e2000(start, *found);
                    if (!best || change < best_change) {
                        best = found;
                        best_change = change;
                    }
                    break;
                }
                if (far_side <= 0 || far_side >= 100) {
                    break;
                }
                near_side = far_side;
            }
        }
        if (best) {
            return best;
        }
    }
    return std::nullopt;
}

ColourEdit fix_edit(const Document& doc, const FixProposal& fix)
{
    return set_colours(doc, fix.colours, fix.description);
}

} // namespace tintwell
