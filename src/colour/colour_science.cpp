#include "colour/colour_science.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <lcms2.h>
#include <limits>
#include <unordered_map>
#include <utility>

namespace tintwell::colour {

namespace {

// Each character's value as a hex digit, 0x10 for any other. A table, as a theme's colours are
// read in bulk and their digits are too varied for branches to be guessed.
constexpr std::array<std::uint8_t, 256> hex_digits = [] {
    std::array<std::uint8_t, 256> table {};
    table.fill(0x10);
    for (int c = 0; c < 10; ++c) {
        table[static_cast<std::size_t>('0' + c)] = static_cast<std::uint8_t>(c);
    }
    for (int c = 0; c < 6; ++c) {
        table[static_cast<std::size_t>('a' + c)] = static_cast<std::uint8_t>(10 + c);
        table[static_cast<std::size_t>('A' + c)] = static_cast<std::uint8_t>(10 + c);
    }
    return table;
}();

double linear_from_srgb_computed(std::uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Contrast is measured millions of times when fixes and night colours are searched; the 256
// values a channel can take are worked out once.
double linear_from_srgb(std::uint8_t channel)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values {};
        for (std::size_t k = 0; k < values.size(); ++k) {
            values[k] = linear_from_srgb_computed(static_cast<std::uint8_t>(k));
        }
        return values;
    }();
    return table[channel];
}

std::uint8_t srgb_from_linear(double linear)
{
    const double c = std::clamp(linear, 0.0, 1.0);
    const double encoded = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(encoded * 255.0));
}

// One transform for the whole process; it holds no per-call cache, so it may be shared.
class LabTransform
{
public:
    LabTransform()
    {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
        m_transform = cmsCreateTransform(
            srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
    }
    ~LabTransform()
    {
        if (m_transform) {
            cmsDeleteTransform(m_transform);
        }
    }
    LabTransform(const LabTransform&) = delete;
    LabTransform& operator=(const LabTransform&) = delete;

    Lab convert(Rgb colour) const
    {
        const std::array<std::uint8_t, 3> in { colour.r, colour.g, colour.b };
        cmsCIELab out {};
        if (m_transform) {
            cmsDoTransform(m_transform, in.data(), &out, 1);
        }
        return { out.L, out.a, out.b };
    }

    std::vector<Lab> convert(std::span<const Rgb> colours) const
    {
        std::vector<std::uint8_t> in;
        in.reserve(colours.size() * 3);
        for (const Rgb colour : colours) {
            in.insert(in.end(), { colour.r, colour.g, colour.b });
        }
        std::vector<cmsCIELab> out(colours.size());
        if (m_transform && !colours.empty()) {
            cmsDoTransform(
                m_transform, in.data(), out.data(), static_cast<cmsUInt32Number>(colours.size()));
        }
        std::vector<Lab> labs(colours.size());
        std::transform(out.begin(), out.end(), labs.begin(), [](const cmsCIELab& lab) {
            return Lab { lab.L, lab.a, lab.b };
        });
        return labs;
    }

private:
    cmsHTRANSFORM m_transform = nullptr;
};

const LabTransform& lab_transform()
{
    static const LabTransform transform;
    return transform;
}

// Lab back to sRGB, unbounded, so a colour outside sRGB shows as channels outside 0..1.
class RgbTransform
{
public:
    RgbTransform()
    {
        cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        m_transform = cmsCreateTransform(
            lab, TYPE_Lab_DBL, srgb, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
    }
    ~RgbTransform()
    {
        if (m_transform) {
            cmsDeleteTransform(m_transform);
        }
    }
    RgbTransform(const RgbTransform&) = delete;
    RgbTransform& operator=(const RgbTransform&) = delete;

    std::optional<Rgb> convert(const Lab& colour) const
    {
        if (!m_transform) {
            return std::nullopt;
        }
        const cmsCIELab in { colour.L, colour.a, colour.b };
        std::array<double, 3> out {};
        cmsDoTransform(m_transform, &in, out.data(), 1);
        return in_gamut(out);
    }

    std::vector<std::optional<Rgb>> convert(std::span<const Lab> colours) const
    {
        std::vector<std::optional<Rgb>> rgbs(colours.size());
        if (!m_transform || colours.empty()) {
            return rgbs;
        }
        std::vector<cmsCIELab> in(colours.size());
        std::transform(colours.begin(), colours.end(), in.begin(),
            [](const Lab& lab) { return cmsCIELab { lab.L, lab.a, lab.b }; });
        std::vector<std::array<double, 3>> out(colours.size());
        cmsDoTransform(
            m_transform, in.data(), out.data(), static_cast<cmsUInt32Number>(colours.size()));
        std::transform(out.begin(), out.end(), rgbs.begin(), in_gamut);
        return rgbs;
    }

private:
    static std::optional<Rgb> in_gamut(const std::array<double, 3>& out)
    {
        // Half a step of eight bits either way still rounds into the channel.
        constexpr double slack = 0.5 / 255;
        std::array<std::uint8_t, 3> channels {};
        for (std::size_t k = 0; k < 3; ++k) {
            if (!(out[k] >= -slack && out[k] <= 1 + slack)) {
                return std::nullopt;
            }
            channels[k] =
                static_cast<std::uint8_t>(std::lround(std::clamp(out[k], 0.0, 1.0) * 255.0));
        }
        return Rgb { channels[0], channels[1], channels[2] };
    }

    cmsHTRANSFORM m_transform = nullptr;
};

const RgbTransform& rgb_transform()
{
    static const RgbTransform transform;
    return transform;
}

// The Machado, Oliveira and Fernandes (2009) matrices at severity 1.0, for linear RGB: G. M.
// Machado, M. M. Oliveira, L. A. F. Fernandes, "A physiologically-based model for simulation of
// color vision deficiency", IEEE Transactions on Visualization and Computer Graphics 15(6), 2009.
using Matrix = std::array<std::array<double, 3>, 3>;
constexpr Matrix protanopia { { { 0.152286, 1.052583, -0.204868 }, { 0.114503, 0.786281, 0.099216 },
    { -0.003882, -0.048116, 1.051998 } } };
constexpr Matrix deuteranopia { { { 0.367322, 0.860646, -0.227968 },
    { 0.280085, 0.672501, 0.047413 }, { -0.011820, 0.042940, 0.968881 } } };
constexpr Matrix tritanopia { { { 1.255528, -0.076749, -0.178779 },
    { -0.078411, 0.930809, 0.147602 }, { 0.004733, 0.691367, 0.303900 } } };

} // namespace

std::optional<Rgb> parse_rgb(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    if (text.size() != 6 && text.size() != 8) {
        return std::nullopt;
    }
    // An eight-digit colour's transparency prefix is checked like the rest and shifted out.
    std::uint32_t value = 0;
    std::uint32_t stray = 0;
    for (const char c : text) {
        const std::uint32_t digit = hex_digits[static_cast<unsigned char>(c)];
        stray |= digit;
        value = (value << 4 | (digit & 0xF)) & 0xFFFFFF;
    }
    if (stray & 0x10) {
        return std::nullopt;
    }
    return Rgb::from_packed(value);
}

std::string to_hex(Rgb colour)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out(6, '0');
    const std::uint32_t value = colour.packed();
    for (int i = 0; i < 6; ++i) {
        out[static_cast<std::size_t>(5 - i)] = digits[(value >> (4 * i)) & 0xF];
    }
    return out;
}

double relative_luminance(Rgb colour)
{
    return 0.2126 * linear_from_srgb(colour.r) + 0.7152 * linear_from_srgb(colour.g)
        + 0.0722 * linear_from_srgb(colour.b);
}

double contrast_ratio(Rgb first, Rgb second)
{
    const double a = relative_luminance(first);
    const double b = relative_luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Lab to_lab(Rgb colour)
{
    // Themes use a few dozen colours many times over; each is converted once.
    thread_local std::unordered_map<std::uint32_t, Lab> known;
    const auto [at, added] = known.try_emplace(colour.packed());
    if (added) {
        at->second = lab_transform().convert(colour);
    }
    return at->second;
}

std::optional<Rgb> from_lab(const Lab& colour)
{
    return rgb_transform().convert(colour);
}

std::vector<std::optional<Rgb>> from_lab(std::span<const Lab> colours)
{
    return rgb_transform().convert(colours);
}

std::vector<Lab> to_lab(std::span<const Rgb> colours)
{
    // A transform's call costs far more than one colour's conversion.
    return lab_transform().convert(colours);
}

double delta_e2000(const Lab& first, const Lab& second)
{
    const cmsCIELab a { first.L, first.a, first.b };
    const cmsCIELab b { second.L, second.a, second.b };
    return cmsCIE2000DeltaE(&a, &b, 1.0, 1.0, 1.0);
}

double delta_e2000(Rgb first, Rgb second)
{
    if (first == second) {
        return 0.0;
    }
    return delta_e2000(to_lab(first), to_lab(second));
}

const char* vision_name(Vision vision)
{
    switch (vision) {
    case Vision::Protanopia:
        return "protanopia";
    case Vision::Deuteranopia:
        return "deuteranopia";
    case Vision::Tritanopia:
        return "tritanopia";
    case Vision::Normal:
        break;
    }
    return "normal";
}

Rgb simulate(Rgb colour, Vision vision)
{
    const Matrix* m = nullptr;
    switch (vision) {
    case Vision::Protanopia:
        m = &protanopia;
        break;
    case Vision::Deuteranopia:
        m = &deuteranopia;
        break;
    case Vision::Tritanopia:
        m = &tritanopia;
        break;
    case Vision::Normal:
        return colour;
    }
    const std::array<double, 3> in { linear_from_srgb(colour.r), linear_from_srgb(colour.g),
        linear_from_srgb(colour.b) };
    std::array<std::uint8_t, 3> out {};
    for (std::size_t row = 0; row < 3; ++row) {
        const auto& k = (*m)[row];
        out[row] = srgb_from_linear(k[0] * in[0] + k[1] * in[1] + k[2] * in[2]);
    }
    return { out[0], out[1], out[2] };
}

} // namespace tintwell::colour
