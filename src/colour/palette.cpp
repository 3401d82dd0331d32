#include "colour/palette.h"

#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace tintwell {

namespace {

constexpr std::string_view red_levels = "00,20,41,6a,8B,b4,d5,ff";
constexpr std::string_view green_levels = "00,30,65,95,ca,ff";
constexpr std::string_view blue_levels = "00,39,7b,bd,ff";
constexpr std::string_view grey_ramp = "101010,202020,313131,414141,525252,626262,737373,"
                                       "838383,949494,a4a4a4,b4b4b4,c5c5c5,d5d5d5,e6e6e6";

int hex_number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits) {
        const int digit = (c >= '0' && c <= '9') ? c - '0'
            : (c >= 'a' && c <= 'f')             ? c - 'a' + 10
                                                 : c - 'A' + 10;
        value = value * 16 + digit;
    }
    return value;
}

std::array<PaletteBlock, palette_size> build_palette()
{
    std::array<PaletteBlock, palette_size> blocks;
    const auto reds = text::split(red_levels, ",");
    const auto greens = text::split(green_levels, ",");
    const auto blues = text::split(blue_levels, ",");
    int n = 0;
    for (const auto& g : greens) {
        for (const auto& b : blues) {
            for (const auto& r : reds) {
                // Blue, green, red: read as one number this is the block's colour value.
                const std::string bgr = b + g + r;
                blocks[n].colour = hex_number(bgr);
                const std::string rgb = text::upper(r + g + b);
                blocks[n].tool_tip = "#" + rgb;
                ++n;
            }
        }
    }
    for (const auto& grey : text::split(grey_ramp, ",")) {
        blocks[n++].colour = hex_number(grey);
    }
    return blocks;
}

int clamp_channel(int value)
{
    return std::clamp(value, 0, 255);
}

ColourValue rgb(int r, int g, int b)
{
    return clamp_channel(r) + 256 * clamp_channel(g) + 65536 * clamp_channel(b);
}

} // namespace

const std::array<PaletteBlock, palette_size>& col256()
{
    static const auto blocks = build_palette();
    return blocks;
}

bool shades_(ColourValue colour)
{
    const ColourValue rgb24 = colour & 0xFFFFFF;
    const auto& blocks = col256();
    return std::any_of(
        blocks.begin(), blocks.end(), [rgb24](const PaletteBlock& b) { return b.colour == rgb24; });
}

int ladder_band_width(int ladder_width_twips)
{
    const double w = std::nearbyint(ladder_width_twips / static_cast<double>(ladder_bands));
    return std::max(1, static_cast<int>(w));
}

std::array<ColourValue, ladder_bands> shade_ladder(ColourValue base)
{
    int r = 0;
    int g = 0;
    int b = 0;
    CToRGB(base, r, g, b);
    std::array<ColourValue, ladder_bands> bands {};
    // Whole-number arithmetic for the steps: the fractions r / 150 and (255 - r) / 127 times j
    // must land exactly on the colour's channels at 255 in the last band, which a floating
    // product can miss by one.
    for (int k = 0; k < 128; ++k) {
        const int j = 127 - k;
        bands[k] = rgb(r - r * j / 150, g - g * j / 150, b - b * j / 150);
    }
    const auto lighten = [](int c, int j) {
        // A channel already at 255 steps by 1 and stays at 255.
        return c == 255 ? c + j : c + (255 - c) * j / 127;
    };
    for (int j = 0; j < 128; ++j) {
        bands[128 + j] = rgb(lighten(r, j), lighten(g, j), lighten(b, j));
    }
    return bands;
}

} // namespace tintwell
