#pragma once

#include "colour/colour_codes.h"

#include <array>
#include <string>

namespace tintwell {

/// Number of blocks of the device palette: 240 level combinations and 14 greys.
inline constexpr int palette_size = 254;
/// Palette blocks to a row of the grid.
inline constexpr int palette_columns = 16;
/// Bands of the shade ladder: 128 darker than the colour, then 128 from the colour to white.
inline constexpr int ladder_bands = 256;

/// One palette block: its colour and its tool tip ("#RRGGBB"; empty for the greys).
struct PaletteBlock
{
    ColourValue colour = 0;
    std::string tool_tip;
};

/// The palette blocks 0 to 253. Blocks 0 to 239 run through green levels (outer), blue levels,
/// red levels (inner): block 0 is black, block 7 pure red, block 239 white. Blocks 240 to 253 are
/// the grey ramp from 101010 to e6e6e6.
const std::array<PaletteBlock, palette_size>& col256();

/// Column and row of block `index` in the 16-column grid.
inline int palette_column(int index)
{
    return index & (palette_columns - 1);
}
inline int palette_row(int index)
{
    return index / palette_columns;
}

/// True exactly when the colour is one of the palette's 254 colours (the top byte is ignored).
/// The palette's selection frame stays visible only for such colours.
bool shades_(ColourValue colour);

/// Width in twips of one ladder band: the ladder width / 256 to the nearest integer (halves to
/// even), at least 1.
int ladder_band_width(int ladder_width_twips);

/// The colours of the 256 ladder bands for a base colour, left to right: band 0 is the colour
/// scaled to about 15 %, bands 127 and 128 the colour itself, band 255 white (each channel at
/// 255).
std::array<ColourValue, ladder_bands> shade_ladder(ColourValue base);

} // namespace tintwell
