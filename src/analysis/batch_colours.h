#pragma once

#include "analysis/style_batch_edit.h"
#include "colour/colour_science.h"
#include "model/style_row.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tintwell {

// The colours of editing many styles at once: the new colours of a slot of thousands of rows,
// and the row with them written over its old digits.

/// The colour changes of one slot: the colour the last Set gives (none: each style's own) and the
/// adjustments after it, in their order.
struct SlotPlan
{
    std::optional<colour::Rgb> set;
    std::vector<PropertyChange> adjustments;

    bool active() const { return set || !adjustments.empty(); }
};

/// The new colour of the slot of every chosen row, worked out once for each distinct colour: a
/// theme repeats its colours many times, and converting many colours in one call costs far less
/// than one at a time. The rows' colours are sorted by a radix sort, which puts equal colours side
/// by side; the results are then kept in the rows' order, so that rows find theirs in one read.
class SlotColours
{
public:
    explicit SlotColours(const SlotPlan& plan)
        : m_plan(plan)
    {
    }

    /// The colour that the `chosen`-th chosen row holds; in increasing `chosen`.
    void add(std::size_t chosen, colour::Rgb colour)
    {
        m_keys.push_back(std::uint64_t { colour.packed() } << 32 | chosen);
    }

    /// Works out the new colour of every colour added; `chosen_count` rows were chosen.
    void work_out(std::size_t chosen_count);

    /// The new colour of the `chosen`-th chosen row; nothing when it holds no colour here.
    std::optional<colour::Rgb> at(std::size_t chosen) const
    {
        return chosen < m_by_row.size() ? m_by_row[chosen] : std::nullopt;
    }

private:
    void sort_by_colour();
    std::vector<colour::Rgb> results(std::span<const colour::Rgb> colours) const;
    static std::vector<colour::Rgb> in_gamut(
        std::span<const colour::Rgb> colours, const std::vector<colour::Lab>& labs);

    const SlotPlan& m_plan;
    // The colours added, each beside the chosen row's number.
    std::vector<std::uint64_t> m_keys;
    std::vector<std::optional<colour::Rgb>> m_by_row;
};

/// Six digits of a colour written over six others in a text of a row.
struct DigitPatch
{
    StyleCell cell = StyleCell::StyleText;
    std::uint32_t at = 0;
    std::array<char, 6> before {};
    std::array<char, 6> after {};
};

/// The digits that new colours write over the old ones in a row: two for each colour, one in its
/// cell and one in the style text.
struct DigitPatches
{
    std::array<DigitPatch, 8> patch {};
    std::size_t count = 0;
};

/// New colours written over the old ones in a row's cells and in its text, which keeps its
/// layout, as patches of its texts; nothing when the text does not hold one of the colours where
/// a style text does. Most styles are written so.
std::optional<DigitPatches> digit_patches(
    const StyleRow& row, const std::array<std::optional<colour::Rgb>, 4>& colours);

/// The row with the patches written.
StyleRow patched(StyleRow row, const DigitPatches& patches);

} // namespace tintwell
