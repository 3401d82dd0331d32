#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How colours look to people: luminance contrast, perceived colour difference and colour-vision
// deficiencies, for colours given as 8-bit sRGB.
namespace tintwell::colour {

/// An sRGB colour with 8 bits a channel.
struct Rgb
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
    /// 0xRRGGBB, for keys and sorting.
    std::uint32_t packed() const
    {
        return (std::uint32_t { r } << 16) | (std::uint32_t { g } << 8) | b;
    }
    static Rgb from_packed(std::uint32_t rrggbb)
    {
        return { static_cast<std::uint8_t>(rrggbb >> 16), static_cast<std::uint8_t>(rrggbb >> 8),
            static_cast<std::uint8_t>(rrggbb) };
    }
};

/// A CIE L*a*b* colour (D50, as the ICC profile connection space gives it).
struct Lab
{
    double L = 0;
    double a = 0;
    double b = 0;
};

/// Reads a colour as a theme writes it: RRGGBB, or a transparency prefix and RRGGBB (eight
/// digits, the prefix is ignored), with an optional leading "#" and blanks around; either case.
/// Nothing for anything else ("-1", "", "12345", "GG0000").
std::optional<Rgb> parse_rgb(std::string_view text);

/// "RRGGBB" in upper case.
std::string to_hex(Rgb colour);

/// WCAG 2.x relative luminance, 0 (black) to 1 (white).
double relative_luminance(Rgb colour);

/// WCAG 2.x contrast ratio, 1 to 21, the lighter colour first whatever the order given.
double contrast_ratio(Rgb first, Rgb second);

/// The colour in CIE L*a*b*, through Little CMS's sRGB profile.
Lab to_lab(Rgb colour);

/// CIEDE2000 colour difference with kL = kC = kH = 1.
double delta_e2000(const Lab& first, const Lab& second);
double delta_e2000(Rgb first, Rgb second);

/// The three common colour-vision deficiencies, and normal vision.
enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };

/// Lower-case name of the vision ("normal", "protanopia", ...).
const char* vision_name(Vision vision);

/// The colour as a person with the deficiency sees it (severity 1.0); Normal returns it as it is.
Rgb simulate(Rgb colour, Vision vision);

} // namespace tintwell::colour
