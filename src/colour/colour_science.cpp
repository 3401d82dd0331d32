#include "colour/colour_science.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <lcms2.h>
#include <unordered_map>

namespace tintwell::colour {

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

double linear_from_srgb(std::uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
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

private:
    cmsHTRANSFORM m_transform = nullptr;
};

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
    for (const char c : text) {
        const int digit = hex_digit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = (value << 4 | static_cast<std::uint32_t>(digit)) & 0xFFFFFF;
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
    static const LabTransform transform;
    // Themes use a few dozen colours many times over; each is converted once.
    thread_local std::unordered_map<std::uint32_t, Lab> known;
    const auto [at, added] = known.try_emplace(colour.packed());
    if (added) {
        at->second = transform.convert(colour);
    }
    return at->second;
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
