#include "analysis/batch_colours.h"

#include "analysis/colour_edits.h"
#include "analysis/colours_in_use.h"
#include "analysis/parallel_parts.h"
#include "colour/colour_codes.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tintwell {

using colour::Lab;
using colour::Rgb;

namespace {

std::size_t index(ColourSlot slot)
{
    return static_cast<std::size_t>(slot);
}

// The six digits of `colour` in the case of the six at `at` of `text`.
std::string digits_as_in(std::string_view text, std::size_t at, Rgb colour)
{
    std::string digits = colour::to_hex(colour);
    const std::string_view old = text.substr(at, 6);
    if (std::any_of(old.begin(), old.end(), [](char c) { return c >= 'a' && c <= 'f'; })) {
        text::lower_in(digits);
    }
    return digits;
}

double degrees(double radians)
{
    return radians * 180 / std::numbers::pi;
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

// The adjustments made to a Lab colour in CIE L*C*h: lightness within 0 to 100, chroma at least 0.
Lab adjusted(const Lab& lab, const std::vector<PropertyChange>& adjustments)
{
    // Lightness alone leaves a and b as they are, without the round trip through angles.
    const bool lightness_only =
        std::all_of(adjustments.begin(), adjustments.end(), [](const PropertyChange& change) {
            return change.operation == ChangeOperation::Lighter
                || change.operation == ChangeOperation::Darker;
        });
    if (lightness_only) {
        double lightness = lab.L;
        for (const PropertyChange& change : adjustments) {
            lightness +=
                change.operation == ChangeOperation::Lighter ? change.amount : -change.amount;
            lightness = std::clamp(lightness, 0.0, 100.0);
        }
        return { lightness, lab.a, lab.b };
    }
    double lightness = lab.L;
    double chroma = std::hypot(lab.a, lab.b);
    double hue = degrees(std::atan2(lab.b, lab.a));
    for (const PropertyChange& change : adjustments) {
        switch (change.operation) {
        case ChangeOperation::Lighter:
            lightness += change.amount;
            break;
        case ChangeOperation::Darker:
            lightness -= change.amount;
            break;
        case ChangeOperation::Saturate:
            chroma += change.amount;
            break;
        case ChangeOperation::Desaturate:
            chroma -= change.amount;
            break;
        case ChangeOperation::Hue:
            hue += change.amount;
            break;
        case ChangeOperation::Set:
        case ChangeOperation::Times:
        case ChangeOperation::Plus:
            break;
        }
        lightness = std::clamp(lightness, 0.0, 100.0);
        chroma = std::max(chroma, 0.0);
    }
    const double h = radians(std::fmod(hue, 360.0));
    return { lightness, chroma * std::cos(h), chroma * std::sin(h) };
}

} // namespace

// The row with new colours written over the old ones in its cells and in its text, which keeps
// its layout; nothing when the text does not hold one of the colours where a style text does.
// Most styles are written so, and a change of thousands of styles then costs one copy of each.
std::optional<DigitPatches> digit_patches(
    const StyleRow& row, const std::array<std::optional<Rgb>, 4>& colours)
{
    DigitPatches patches;
    const auto add = [&](StyleCell cell, std::string_view text, std::size_t at, Rgb colour) {
        DigitPatch& patch = patches.patch[patches.count++];
        patch.cell = cell;
        patch.at = static_cast<std::uint32_t>(at);
        std::copy_n(text.begin() + static_cast<std::ptrdiff_t>(at), 6, patch.before.begin());
        const std::string digits = digits_as_in(text, at, colour);
        std::copy_n(digits.begin(), 6, patch.after.begin());
    };
    const std::string_view code = row.style_text();
    for (const ColourSlot slot : colour_slots) {
        const auto& colour = colours[index(slot)];
        if (!colour) {
            continue;
        }
        // The last six digits, after the transparency where there is one.
        const auto in_text = colour_digits_in_text(code, slot);
        const std::string_view cell = slot_text(row, slot);
        const auto [start, length] = digit_run(cell);
        if (!in_text || length < 6 || code.size() > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
        const std::size_t at = in_text->first + in_text->second - 6;
        const std::size_t end = start + length;
        add(StyleCell::StyleText, code, at, *colour);
        add(slot_cell(slot), cell, end - 6, *colour);
    }
    return patches;
}

StyleRow patched(StyleRow row, const DigitPatches& patches)
{
    for (std::size_t k = 0; k < patches.count; ++k) {
        const DigitPatch& patch = patches.patch[k];
        row.overwrite(
            patch.cell, patch.at, std::string_view(patch.after.data(), patch.after.size()));
    }
    return row;
}

void SlotColours::work_out(std::size_t chosen_count)
{
    sort_by_colour();
    std::vector<Rgb> colours;
    std::vector<std::uint32_t> distinct(m_keys.size());
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        const auto packed = static_cast<std::uint32_t>(m_keys[k] >> 32);
        if (colours.empty() || colours.back().packed() != packed) {
            colours.push_back(Rgb::from_packed(packed));
        }
        distinct[k] = static_cast<std::uint32_t>(colours.size() - 1);
    }
    // Each colour is worked out on its own: many of them are shared among the processors.
    std::vector<Rgb> found(colours.size());
    for_parts(colours.size(), 8192, [&](std::size_t begin, std::size_t end) {
        const auto part = results(std::span(colours).subspan(begin, end - begin));
        std::copy(part.begin(), part.end(), found.begin() + static_cast<std::ptrdiff_t>(begin));
    });
    m_by_row.assign(chosen_count, std::nullopt);
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        const auto chosen = static_cast<std::uint32_t>(m_keys[k]);
        if (chosen < chosen_count) {
            m_by_row[chosen] = found[distinct[k]];
        }
    }
    m_keys = {};
}

// Least significant byte of the colour first; each pass keeps the order of the one before,
// so rows of one colour stay in their order.
void SlotColours::sort_by_colour()
{
    std::vector<std::uint64_t> sorted(m_keys.size());
    for (int shift = 32; shift < 56; shift += 8) {
        std::array<std::size_t, 257> starts {};
        for (const std::uint64_t key : m_keys) {
            ++starts[((key >> shift) & 0xFF) + 1];
        }
        for (std::size_t d = 1; d < starts.size(); ++d) {
            starts[d] += starts[d - 1];
        }
        for (const std::uint64_t key : m_keys) {
            sorted[starts[(key >> shift) & 0xFF]++] = key;
        }
        m_keys.swap(sorted);
    }
}

std::vector<Rgb> SlotColours::results(std::span<const Rgb> colours) const
{
    if (m_plan.adjustments.empty()) {
        return std::vector<Rgb>(colours.size(), m_plan.set.value_or(Rgb {}));
    }
    std::vector<Lab> labs;
    if (m_plan.set) {
        labs.assign(colours.size(), colour::to_lab(*m_plan.set));
    } else {
        labs = colour::to_lab(colours);
    }
    for (Lab& lab : labs) {
        lab = adjusted(lab, m_plan.adjustments);
    }
    return in_gamut(colours, labs);
}

// The colours nearest to `labs`: those outside sRGB lose chroma; those that not even a grey
// holds stay as they were.
std::vector<Rgb> SlotColours::in_gamut(std::span<const Rgb> colours, const std::vector<Lab>& labs)
{
    std::vector<Rgb> found(colours.begin(), colours.end());
    const auto reduced = colour::from_lab_reducing_chroma(labs);
    for (std::size_t k = 0; k < reduced.size(); ++k) {
        if (reduced[k]) {
            found[k] = *reduced[k];
        }
    }
    return found;
}

} // namespace tintwell
