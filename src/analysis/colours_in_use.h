#pragma once

#include "colour/colour_science.h"
#include "model/document.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace tintwell {

/// The four colour cells of a row: the body (line or fill) and the border, by day and by night.
enum class ColourSlot { BodyDay, BodyNight, BorderDay, BorderNight };

inline constexpr std::array<ColourSlot, 4> colour_slots = { ColourSlot::BodyDay,
    ColourSlot::BodyNight, ColourSlot::BorderDay, ColourSlot::BorderNight };

/// The cell that holds the slot's colour: pri_day, pri_night, sec_day or sec_night.
StyleCell slot_cell(ColourSlot slot);
inline std::string_view slot_text(const StyleRow& row, ColourSlot slot)
{
    return row.get(slot_cell(slot));
}

inline bool is_border(ColourSlot slot)
{
    return slot == ColourSlot::BorderDay || slot == ColourSlot::BorderNight;
}
inline bool is_night(ColourSlot slot)
{
    return slot == ColourSlot::BodyNight || slot == ColourSlot::BorderNight;
}

/// One use of a colour: a row and the cell.
struct ColourUse
{
    int row = 0;
    ColourSlot slot = ColourSlot::BodyDay;

    bool operator==(const ColourUse&) const = default;
};

/// One distinct colour of a theme and every use of it.
struct ColourInUse
{
    colour::Rgb colour;
    /// Uses by slot, indexed by ColourSlot.
    std::array<int, 4> counts {};
    /// Border uses of a Sport & Fitness theme whose transparency prefix is "00": the file holds
    /// the colour, the device does not show it.
    int transparent = 0;
    /// In row order, and by slot within a row.
    std::vector<ColourUse> uses;

    int total() const { return static_cast<int>(uses.size()); }
    int count(ColourSlot slot) const { return counts[static_cast<std::size_t>(slot)]; }
};

enum class ColourOrder {
    /// Most used first; equal counts by RRGGBB.
    Uses,
    /// Greys from black to white first, then by hue from red through yellow, green and blue to
    /// magenta, and by brightness within a hue.
    Hue,
};

/// The distinct colours of the theme's rows with their uses, in the order asked for. A cell holds
/// a colour when colour::parse_rgb reads it: RRGGBB, or a transparency prefix and RRGGBB as
/// Sport & Fitness rows added in the program carry it, in either case; "-1", an empty cell and
/// any other text hold none. Cells with the same RRGGBB hold the same colour whatever their case
/// or prefix: the prefix says how one use shows the colour, not which colour it is.
std::vector<ColourInUse> colours_in_use(const Document& doc, ColourOrder order = ColourOrder::Uses);

void sort_colours(std::vector<ColourInUse>& colours, ColourOrder order);

/// Two colours of a list so close that they are most likely one colour typed twice.
struct NearDuplicate
{
    /// Positions in the list: the more used colour (on a tie, the one used first in the theme)
    /// and the one a merge would replace by it.
    std::size_t kept = 0;
    std::size_t merged = 0;
    /// CIEDE2000 difference of the two.
    double delta_e = 0;
};

/// Colours closer than this (CIEDE2000) count as near duplicates.
inline constexpr double near_duplicate_limit = 2.0;

/// Every pair of colours of the list whose CIEDE2000 difference is below `limit`, closest first.
std::vector<NearDuplicate> near_duplicates(
    const std::vector<ColourInUse>& colours, double limit = near_duplicate_limit);

} // namespace tintwell
