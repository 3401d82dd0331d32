#include "analysis/colours_in_use.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace tintwell {

namespace {

constexpr std::uint32_t no_colour = std::numeric_limits<std::uint32_t>::max();

// Where a colour sits in the hue order: greys (kind 0) by brightness, then the others (kind 1)
// by hue angle in degrees and brightness.
struct HueKey
{
    int kind;
    double hue;
    int brightness;

    auto operator<=>(const HueKey&) const = default;
};

HueKey hue_key(colour::Rgb c)
{
    const int high = std::max({ c.r, c.g, c.b });
    const int low = std::min({ c.r, c.g, c.b });
    const double range = high - low;
    if (range == 0) {
        return { 0, 0, high };
    }
    double hue;
    if (high == c.r) {
        hue = (c.g - c.b) / range;
    } else if (high == c.g) {
        hue = 2 + (c.b - c.r) / range;
    } else {
        hue = 4 + (c.r - c.g) / range;
    }
    hue *= 60;
    if (hue < 0) {
        hue += 360;
    }
    return { 1, hue, high };
}

// Closest first, pairs equally close by their positions, as a comparison sort on (delta_e, kept,
// merged) puts them. Among the many thousand distinct colours of a generated theme there are
// millions of pairs, which this sorts several times as fast: the differences are never
// negative, so their bits sort as the numbers do; four stable passes of 16 bits place them, and
// only runs of equal differences are then sorted by position.
void sort_closest_first(std::vector<NearDuplicate>& pairs)
{
    constexpr int digit_bits = 16;
    constexpr std::size_t digits = 64 / digit_bits;
    constexpr std::size_t buckets = std::size_t { 1 } << digit_bits;
    const auto key = [](const NearDuplicate& pair) {
        // -0 and +0 are equally close.
        return pair.delta_e == 0 ? std::uint64_t { 0 } : std::bit_cast<std::uint64_t>(pair.delta_e);
    };
    const auto digit = [&](const NearDuplicate& pair, std::size_t d) {
        return static_cast<std::size_t>(key(pair) >> (d * digit_bits)) & (buckets - 1);
    };
    std::vector<std::array<std::size_t, buckets>> counts(digits);
    for (const NearDuplicate& pair : pairs) {
        for (std::size_t d = 0; d < digits; ++d) {
            ++counts[d][digit(pair, d)];
        }
    }
    std::vector<NearDuplicate> sorted(pairs.size());
    for (std::size_t d = 0; d < digits; ++d) {
        auto& count = counts[d];
        if (std::find(count.begin(), count.end(), pairs.size()) != count.end()) {
            continue;
        }
        std::size_t start = 0;
        for (std::size_t& c : count) {
            start += std::exchange(c, start);
        }
        for (const NearDuplicate& pair : pairs) {
            sorted[count[digit(pair, d)]++] = pair;
        }
        pairs.swap(sorted);
    }
    for (auto run = pairs.begin(); run != pairs.end();) {
        const auto end = std::find_if(
            run, pairs.end(), [&](const NearDuplicate& pair) { return key(pair) != key(*run); });
        if (end - run > 1) {
            std::sort(run, end, [](const NearDuplicate& a, const NearDuplicate& b) {
                return std::pair(a.kept, a.merged) < std::pair(b.kept, b.merged);
            });
        }
        run = end;
    }
}

bool transparent_border(const Document& doc, const StyleRow& row, ColourSlot slot)
{
    if (doc.kind != ThemeKind::SportFitness || !is_border(slot)) {
        return false;
    }
    return (slot == ColourSlot::BorderDay ? row.border() : row.nwf_border()) == "00";
}

} // namespace

StyleCell slot_cell(ColourSlot slot)
{
    switch (slot) {
    case ColourSlot::BodyDay:
        return StyleCell::PriDay;
    case ColourSlot::BodyNight:
        return StyleCell::PriNight;
    case ColourSlot::BorderDay:
        return StyleCell::SecDay;
    case ColourSlot::BorderNight:
        break;
    }
    return StyleCell::SecNight;
}

std::vector<ColourInUse> colours_in_use(const Document& doc, ColourOrder order)
{
    // Two passes: the first finds each cell's colour and counts the uses, so the second fills
    // every list at its final size.
    std::vector<ColourInUse> colours;
    std::vector<std::uint32_t> entry_of_cell(doc.rows.size() * colour_slots.size(), no_colour);
    std::unordered_map<std::uint32_t, std::uint32_t> entry_of_colour;
    std::size_t cell = 0;
    for (const StyleRow& row : doc.rows) {
        for (const ColourSlot slot : colour_slots) {
            const auto rgb = colour::parse_rgb(slot_text(row, slot));
            if (rgb) {
                const auto [it, added] = entry_of_colour.try_emplace(rgb->packed(), colours.size());
                if (added) {
                    colours.push_back({ *rgb, {}, 0, {} });
                }
                ColourInUse& entry = colours[it->second];
                ++entry.counts[static_cast<std::size_t>(slot)];
                if (transparent_border(doc, row, slot)) {
                    ++entry.transparent;
                }
                entry_of_cell[cell] = it->second;
            }
            ++cell;
        }
    }
    for (ColourInUse& entry : colours) {
        entry.uses.reserve(
            static_cast<std::size_t>(std::accumulate(entry.counts.begin(), entry.counts.end(), 0)));
    }
    for (cell = 0; cell < entry_of_cell.size(); ++cell) {
        if (entry_of_cell[cell] != no_colour) {
            colours[entry_of_cell[cell]].uses.push_back(
                { static_cast<int>(cell / 4), colour_slots[cell % 4] });
        }
    }
    sort_colours(colours, order);
    return colours;
}

void sort_colours(std::vector<ColourInUse>& colours, ColourOrder order)
{
    if (order == ColourOrder::Uses) {
        std::sort(colours.begin(), colours.end(), [](const ColourInUse& a, const ColourInUse& b) {
            if (a.total() != b.total()) {
                return a.total() > b.total();
            }
            return a.colour.packed() < b.colour.packed();
        });
        return;
    }
    std::sort(colours.begin(), colours.end(), [](const ColourInUse& a, const ColourInUse& b) {
        const HueKey ka = hue_key(a.colour);
        const HueKey kb = hue_key(b.colour);
        if (ka != kb) {
            return ka < kb;
        }
        return a.colour.packed() < b.colour.packed();
    });
}

std::vector<NearDuplicate> near_duplicates(const std::vector<ColourInUse>& colours, double limit)
{
    std::vector<colour::Rgb> rgbs;
    rgbs.reserve(colours.size());
    for (const ColourInUse& c : colours) {
        rgbs.push_back(c.colour);
    }
    const colour::LabTable labs(colour::to_lab(rgbs));
    // Each colour's uses and first row side by side, as millions of pairs look them up.
    struct Use
    {
        int total;
        int first_row;
    };
    std::vector<Use> use_of;
    use_of.reserve(colours.size());
    for (const ColourInUse& c : colours) {
        use_of.push_back({ c.total(), c.uses.empty() ? -1 : c.uses.front().row });
    }
    const auto more_used = [&](std::size_t i, std::size_t j) {
        const Use a = use_of[i];
        const Use b = use_of[j];
        if (a.total != b.total) {
            return a.total > b.total;
        }
        return a.first_row < 0 || (b.first_row >= 0 && a.first_row <= b.first_row);
    };
    const std::vector<colour::NearPair> near = colour::near_pairs(labs, limit);
    std::vector<NearDuplicate> pairs;
    pairs.reserve(near.size());
    for (const colour::NearPair& pair : near) {
        const bool first_kept = more_used(pair.first, pair.second);
        pairs.push_back({ first_kept ? pair.first : pair.second,
            first_kept ? pair.second : pair.first, pair.difference });
    }
    sort_closest_first(pairs);
    return pairs;
}

} // namespace tintwell
