#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

/// The colour in CIE L*a*b*, through Little CMS's sRGB profile: its result to the last bit.
Lab to_lab(Rgb colour);

/// The sRGB colour nearest to a Lab one, rounded to 8 bits a channel; nothing when the colour
/// lies outside sRGB (or is not a number). Little CMS's result.
std::optional<Rgb> from_lab(const Lab& colour);

/// `from_lab` of many colours at once, much faster than one at a time; each result is the one
/// `from_lab` gives.
std::vector<std::optional<Rgb>> from_lab(std::span<const Lab> colours);

/// For each Lab colour the sRGB colour with its lightness and hue and the most chroma up to its
/// own that sRGB holds (less than 0.01 short of the edge of sRGB): `from_lab` of the colour when
/// it lies inside sRGB. Nothing when not even the grey of its lightness does.
std::vector<std::optional<Rgb>> from_lab_reducing_chroma(std::span<const Lab> colours);

/// `to_lab` and `from_lab` worked out by a call into Little CMS, the results the two give.
Lab cms_to_lab(Rgb colour);
std::optional<Rgb> cms_from_lab(const Lab& colour);

/// Whether `to_lab` and `from_lab` work colours out themselves, many times faster, as they do
/// when their arithmetic gave Little CMS's results on a sample at first use; otherwise they call
/// into it.
bool own_lab_arithmetic();

/// `to_lab` of many colours at once, much faster than one at a time for colours not seen before;
/// each result is the one `to_lab` gives.
std::vector<Lab> to_lab(std::span<const Rgb> colours);

/// CIEDE2000 colour difference with kL = kC = kH = 1.
double delta_e2000(const Lab& first, const Lab& second);
double delta_e2000(Rgb first, Rgb second);

/// Two colours of a table closer than a given difference: their positions, the smaller first,
/// and delta_e2000 of the two in that order.
struct NearPair
{
    std::size_t first = 0;
    std::size_t second = 0;
    double difference = 0;
};

class LabTable;
std::vector<NearPair> near_pairs(const LabTable& colours, double difference);

/// Colours made ready for `NearColours::mark`: each one's Lab with its chroma and hue.
class LabTable
{
public:
    LabTable() = default;
    explicit LabTable(std::vector<Lab> labs);

    /// Adds the colours at the end.
    void append(std::vector<Lab> labs);

    std::size_t size() const { return m_labs.size(); }
    const Lab& operator[](std::size_t i) const { return m_labs[i]; }

private:
    friend class NearColours;
    friend std::vector<NearPair> near_pairs(const LabTable& colours, double difference);
    std::vector<Lab> m_labs;
    std::vector<double> m_chroma;
    /// Degrees, 0 to 360.
    std::vector<double> m_hue;
};

/// Tells which colours lie within a CIEDE2000 difference of one reference colour, with the answer
/// `delta_e2000(reference, other) < difference` would give. Most colours are far from any given
/// one, and bounds on the difference that cost a fraction of it settle them without it.
class NearColours
{
public:
    NearColours(const Lab& reference, double difference);

    bool near(const Lab& other) const;
    /// `near` of each colour, 1 or 0, many times faster than one at a time.
    void mark(const LabTable& colours, std::span<std::uint8_t> near) const;

private:
    Lab m_reference;
    double m_chroma;
    double m_hue;
    double m_difference;
};

/// Every pair of the table's colours whose CIEDE2000 difference is below `difference`, each once,
/// in no particular order: the pairs comparing every colour with every other gives. Only colours
/// near in a grid over L*a*b* are looked at, and only those that the bounds NearColours uses
/// cannot rule out are measured, so a table of 100k colours takes a fraction of a second.
std::vector<NearPair> near_pairs(const LabTable& colours, double difference);

/// The three common colour-vision deficiencies, and normal vision.
enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };

/// Lower-case name of the vision ("normal", "protanopia", ...).
const char* vision_name(Vision vision);

/// The colour as a person with the deficiency sees it (severity 1.0); Normal returns it as it is.
Rgb simulate(Rgb colour, Vision vision);

} // namespace tintwell::colour
