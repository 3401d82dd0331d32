#include "colour/colour_science.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
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

// Little CMS converts these formats in single precision, one stage at a time: the profile's
// curve, its colorants, and the Lab formulas in double precision between them. The same steps
// rounded where it rounds give its results to the last bit at a fraction of the cost of a call
// into it, which counts where fixes and night colours are searched through millions of colours.
// The steps are held to Little CMS on a sample at first use; where any differs (another version
// or build of it), every colour goes through Little CMS.
class ProfileArithmetic
{
public:
    ProfileArithmetic()
    {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        if (!srgb) {
            return;
        }
        read_profile(srgb);
        cmsCloseProfile(srgb);
        m_exact = m_exact && matches_cms();
    }

    bool exact() const { return m_exact; }

    Lab to_lab(Rgb colour) const
    {
        const std::array<float, 3> rgb { m_linear[0][colour.r], m_linear[1][colour.g],
            m_linear[2][colour.b] };
        std::array<double, 3> xyz {};
        for (std::size_t i = 0; i < 3; ++i) {
            double sum = 0;
            for (std::size_t j = 0; j < 3; ++j) {
                sum += rgb[j] * m_to_xyz[i][j];
            }
            xyz[i] = static_cast<float>(sum) * largest_xyz;
        }
        const double fx = lab_f(xyz[0] / m_white[0]);
        const double fy = lab_f(xyz[1] / m_white[1]);
        const double fz = lab_f(xyz[2] / m_white[2]);
        const float L = static_cast<float>((116 * fy - 16) / 100.0);
        const float a = static_cast<float>((500 * (fx - fy) + 128.0) / 255.0);
        const float b = static_cast<float>((200 * (fy - fz) + 128.0) / 255.0);
        return { L * 100.0, a * 255.0 - 128.0, b * 255.0 - 128.0 };
    }

    std::optional<Rgb> from_lab(const Lab& colour) const
    {
        const std::array<float, 3> rgb = linear_rgb(colour);
        std::array<std::uint8_t, 3> channels {};
        for (std::size_t i = 0; i < 3; ++i) {
            // The steps are the least linear values of each 8-bit value and of the two ends of
            // the gamut; a NaN counts past the end. The value is the last step at or below the
            // linear one, found from the least value of its bucket: a search through the steps
            // costs more than the rest of the conversion.
            const auto& steps = m_steps[i];
            const float linear = rgb[i];
            if (!(linear >= steps.front() && linear < steps.back())) {
                return std::nullopt;
            }
            std::size_t value = m_bucket_values[i][bucket(i, linear)];
            while (value < 255 && steps[value + 1] <= linear) {
                ++value;
            }
            channels[i] = static_cast<std::uint8_t>(value);
        }
        return Rgb { channels[0], channels[1], channels[2] };
    }

    // from_lab(colour).has_value(), without finding the 8-bit values.
    bool in_srgb(const Lab& colour) const
    {
        const std::array<float, 3> rgb = linear_rgb(colour);
        for (std::size_t i = 0; i < 3; ++i) {
            if (!(rgb[i] >= m_steps[i].front() && rgb[i] < m_steps[i].back())) {
                return false;
            }
        }
        return true;
    }

    // How far inside sRGB the colour lies in linear light: the least distance of a channel to
    // either end, below 0 outside. A guide for searches, not the test itself (see in_srgb).
    double srgb_margin(const Lab& colour) const
    {
        const std::array<float, 3> rgb = linear_rgb(colour);
        double margin = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < 3; ++i) {
            margin = std::min({ margin, static_cast<double>(rgb[i]) - m_steps[i].front(),
                static_cast<double>(m_steps[i].back()) - rgb[i] });
        }
        return margin;
    }

private:
    // The largest XYZ value the connection space encodes; Little CMS scales its XYZ by it
    // between stages.
    static constexpr double largest_xyz = 1.0 + 32767.0 / 32768.0;

    std::array<float, 3> linear_rgb(const Lab& colour) const
    {
        const double L = static_cast<float>(colour.L / 100.0) * 100.0;
        const double a = static_cast<float>((colour.a + 128.0) / 255.0) * 255.0 - 128.0;
        const double b = static_cast<float>((colour.b + 128.0) / 255.0) * 255.0 - 128.0;
        const double fy = (L + 16.0) / 116.0;
        const std::array<double, 3> f { fy + 0.002 * a, fy, fy - 0.005 * b };
        std::array<float, 3> xyz {};
        for (std::size_t i = 0; i < 3; ++i) {
            xyz[i] = static_cast<float>(lab_f_inverse(f[i]) * m_white[i] / largest_xyz);
        }
        std::array<float, 3> rgb {};
        for (std::size_t i = 0; i < 3; ++i) {
            double sum = 0;
            for (std::size_t j = 0; j < 3; ++j) {
                sum += xyz[j] * m_from_xyz[i][j];
            }
            rgb[i] = static_cast<float>(sum);
        }
        return rgb;
    }

    static double lab_f(double t)
    {
        constexpr double limit = (24.0 / 116.0) * (24.0 / 116.0) * (24.0 / 116.0);
        return t <= limit ? (841.0 / 108.0) * t + 16.0 / 116.0 : std::pow(t, 1.0 / 3.0);
    }

    static double lab_f_inverse(double t)
    {
        constexpr double limit = 24.0 / 116.0;
        return t <= limit ? (108.0 / 841.0) * (t - 16.0 / 116.0) : t * t * t;
    }

    // Floats in their order as whole numbers, to halve the distance between two of them.
    static std::uint32_t float_order(float value)
    {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        return (bits & 0x80000000U) != 0 ? ~bits : bits | 0x80000000U;
    }

    static float float_at(std::uint32_t order)
    {
        return std::bit_cast<float>((order & 0x80000000U) != 0 ? order & 0x7FFFFFFFU : ~order);
    }

    void read_profile(cmsHPROFILE srgb)
    {
        const std::array<cmsTagSignature, 3> curve_tags { cmsSigRedTRCTag, cmsSigGreenTRCTag,
            cmsSigBlueTRCTag };
        const std::array<cmsTagSignature, 3> colorant_tags { cmsSigRedColorantTag,
            cmsSigGreenColorantTag, cmsSigBlueColorantTag };
        std::array<std::array<double, 3>, 3> colorants {};
        for (std::size_t j = 0; j < 3; ++j) {
            const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, colorant_tags[j]));
            const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, curve_tags[j]));
            if (!xyz || !curve) {
                m_exact = false;
                return;
            }
            colorants[0][j] = xyz->X;
            colorants[1][j] = xyz->Y;
            colorants[2][j] = xyz->Z;
            for (std::size_t k = 0; k < 256; ++k) {
                m_linear[j][k] = cmsEvalToneCurveFloat(curve, static_cast<float>(k / 255.0));
            }
            cmsToneCurve* reversed = cmsReverseToneCurve(curve);
            if (!reversed) {
                m_exact = false;
                return;
            }
            find_steps(reversed, m_steps[j]);
            cmsFreeToneCurve(reversed);
            fill_buckets(j);
        }
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t j = 0; j < 3; ++j) {
                m_to_xyz[i][j] = colorants[i][j] / largest_xyz;
            }
        }
        invert(colorants);
        const cmsCIEXYZ* white = cmsD50_XYZ();
        m_white = { white->X, white->Y, white->Z };
    }

    // Where the 8-bit value that from_lab rounds to changes, on the reversed curve.
    static void find_steps(const cmsToneCurve* reversed, std::array<float, 257>& steps)
    {
        // Half a step of eight bits either way still rounds into the channel.
        constexpr double slack = 0.5 / 255;
        const auto value_of = [&](float linear) {
            const double c = cmsEvalToneCurveFloat(reversed, linear);
            if (!(c >= -slack)) {
                return -1L;
            }
            if (!(c <= 1 + slack)) {
                return 256L;
            }
            return std::lround(std::clamp(c, 0.0, 1.0) * 255.0);
        };
        for (std::size_t k = 0; k < steps.size(); ++k) {
            // The least linear value of 8-bit value k, or past it; past 255 lies outside.
            std::uint32_t low = float_order(-2.0F);
            std::uint32_t high = float_order(2.0F);
            while (low < high) {
                const std::uint32_t mid = low + (high - low) / 2;
                if (value_of(float_at(mid)) >= static_cast<long>(k)) {
                    high = mid;
                } else {
                    low = mid + 1;
                }
            }
            steps[k] = float_at(low);
        }
    }

    static constexpr std::size_t bucket_count = 4096;

    // The bucket of a linear value inside the gamut of a channel: its place between the two ends
    // in equal parts, never lower for a higher value.
    std::size_t bucket(std::size_t channel, float linear) const
    {
        const double at =
            (static_cast<double>(linear) - m_steps[channel].front()) * m_bucket_scale[channel];
        return std::min(static_cast<std::size_t>(std::max(at, 0.0)), bucket_count - 1);
    }

    // The least 8-bit value of each bucket: the steps that lie in buckets below it.
    void fill_buckets(std::size_t channel)
    {
        const auto& steps = m_steps[channel];
        const double width = static_cast<double>(steps.back()) - steps.front();
        if (!(width > 0)) {
            m_exact = false;
            return;
        }
        m_bucket_scale[channel] = bucket_count / width;
        std::array<std::uint16_t, bucket_count + 1> starting {};
        for (std::size_t value = 1; value < 256; ++value) {
            ++starting[bucket(channel, steps[value]) + 1];
        }
        std::size_t below = 0;
        for (std::size_t k = 0; k < bucket_count; ++k) {
            below += starting[k];
            m_bucket_values[channel][k] =
                static_cast<std::uint8_t>(std::min<std::size_t>(below, 255));
        }
    }

    void invert(const std::array<std::array<double, 3>, 3>& m)
    {
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[2][1] * m[1][2])
            - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
            + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        if (det == 0) {
            m_exact = false;
            return;
        }
        const std::array<std::array<double, 3>, 3> adjugate { {
            { m[1][1] * m[2][2] - m[2][1] * m[1][2], m[0][2] * m[2][1] - m[0][1] * m[2][2],
                m[0][1] * m[1][2] - m[0][2] * m[1][1] },
            { m[1][2] * m[2][0] - m[1][0] * m[2][2], m[0][0] * m[2][2] - m[0][2] * m[2][0],
                m[1][0] * m[0][2] - m[0][0] * m[1][2] },
            { m[1][0] * m[2][1] - m[2][0] * m[1][1], m[2][0] * m[0][1] - m[0][0] * m[2][1],
                m[0][0] * m[1][1] - m[1][0] * m[0][1] },
        } };
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t j = 0; j < 3; ++j) {
                m_from_xyz[i][j] = adjugate[i][j] / det * largest_xyz;
            }
        }
    }

    // Every 17th value of each channel, and Lab colours over and past the gamut.
    bool matches_cms() const
    {
        std::vector<Rgb> colours;
        for (int r = 0; r < 256; r += 17) {
            for (int g = 0; g < 256; g += 17) {
                for (int b = 0; b < 256; b += 17) {
                    colours.push_back({ static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                        static_cast<std::uint8_t>(b) });
                }
            }
        }
        const std::vector<Lab> labs = lab_transform().convert(colours);
        for (std::size_t k = 0; k < colours.size(); ++k) {
            const Lab mine = to_lab(colours[k]);
            if (mine.L != labs[k].L || mine.a != labs[k].a || mine.b != labs[k].b) {
                return false;
            }
        }
        const RgbTransform& back = rgb_transform();
        for (int L = -5; L <= 105; L += 5) {
            for (int a = -140; a <= 140; a += 20) {
                for (int b = -140; b <= 140; b += 20) {
                    const Lab lab { L + 0.37, a + 0.61, b - 0.29 };
                    if (from_lab(lab) != back.convert(lab)) {
                        return false;
                    }
                }
            }
        }
        return true;
    }

    bool m_exact = true;
    std::array<std::array<float, 256>, 3> m_linear {};
    std::array<std::array<double, 3>, 3> m_to_xyz {};
    std::array<std::array<double, 3>, 3> m_from_xyz {};
    std::array<double, 3> m_white {};
    std::array<std::array<float, 257>, 3> m_steps {};
    std::array<double, 3> m_bucket_scale {};
    std::array<std::array<std::uint8_t, bucket_count>, 3> m_bucket_values {};
};

const ProfileArithmetic& profile_arithmetic()
{
    static const ProfileArithmetic arithmetic;
    return arithmetic;
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
    if (const ProfileArithmetic& own = profile_arithmetic(); own.exact()) {
        return own.to_lab(colour);
    }
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
    if (const ProfileArithmetic& own = profile_arithmetic(); own.exact()) {
        return own.from_lab(colour);
    }
    return rgb_transform().convert(colour);
}

std::vector<std::optional<Rgb>> from_lab(std::span<const Lab> colours)
{
    if (const ProfileArithmetic& own = profile_arithmetic(); own.exact()) {
        std::vector<std::optional<Rgb>> rgbs(colours.size());
        std::transform(colours.begin(), colours.end(), rgbs.begin(),
            [&](const Lab& colour) { return own.from_lab(colour); });
        return rgbs;
    }
    return rgb_transform().convert(colours);
}

namespace {

// The chroma kept, in steps of 1/16384 of the colour's own: fourteen halvings of the share of it
// leave the colour less than 0.01 of chroma from the edge of sRGB.
constexpr int share_steps = 1 << 14;

Lab with_share(const Lab& lab, double share)
{
    return { lab.L, lab.a * share, lab.b * share };
}

// The largest share below 1 that sRGB holds, by halving; the grey (share 0) must lie inside.
double share_by_halving(const Lab& lab, const std::function<bool(const Lab&)>& in_srgb)
{
    double low = 0;
    double high = 1;
    for (int round = 0; round < 14; ++round) {
        const double share = (low + high) / 2;
        (in_srgb(with_share(lab, share)) ? low : high) = share;
    }
    return low;
}

// The same share found from an estimate: the edge where the margin to the ends of sRGB reaches
// 0, by regula falsi until the two ends are two steps apart, then the steps of 1/16384 around it.
// Along a line from grey the colours inside sRGB run up to the edge and no further, so this finds
// what halving finds in two thirds of the tests; where a few steps do not settle it, halving does.
double share_from_estimate(const Lab& lab, const ProfileArithmetic& own)
{
    double low = 0;
    double high = 1;
    double margin_low = own.srgb_margin(with_share(lab, 0));
    double margin_high = own.srgb_margin(lab);
    int kept_side = 0;
    for (int round = 0;
         round < 10 && margin_low > 0 && margin_high < 0 && (high - low) * share_steps > 2;
         ++round) {
        const double share = low + (high - low) * margin_low / (margin_low - margin_high);
        const double margin = own.srgb_margin(with_share(lab, share));
        if (margin >= 0) {
            low = share;
            margin_low = margin;
            // Regula falsi slows where one end stays put; halving that end's value speeds it.
            margin_high /= kept_side == 1 ? 2 : 1;
            kept_side = 1;
        } else {
            high = share;
            margin_high = margin;
            margin_low /= kept_side == -1 ? 2 : 1;
            kept_side = -1;
        }
    }
    const auto inside = [&](int step) {
        return own.in_srgb(with_share(lab, static_cast<double>(step) / share_steps));
    };
    int step = std::clamp(static_cast<int>(low * share_steps), 0, share_steps - 1);
    constexpr int most_moves = 6;
    int moves = 0;
    if (inside(step)) {
        while (step + 1 < share_steps && moves++ < most_moves && inside(step + 1)) {
            ++step;
        }
    } else {
        while (step > 0 && moves++ < most_moves && !inside(step)) {
            --step;
        }
    }
    if (moves > most_moves) {
        return share_by_halving(lab, [&](const Lab& colour) { return own.in_srgb(colour); });
    }
    return static_cast<double>(step) / share_steps;
}

} // namespace

std::vector<std::optional<Rgb>> from_lab_reducing_chroma(std::span<const Lab> colours)
{
    const ProfileArithmetic& own = profile_arithmetic();
    const auto in_srgb = [&](const Lab& colour) {
        return own.exact() ? own.in_srgb(colour) : from_lab(colour).has_value();
    };
    std::vector<std::optional<Rgb>> found(colours.size());
    for (std::size_t k = 0; k < colours.size(); ++k) {
        const Lab& lab = colours[k];
        if (in_srgb(lab)) {
            found[k] = from_lab(lab);
            continue;
        }
        if (!in_srgb(with_share(lab, 0))) {
            continue;
        }
        const double share =
            own.exact() ? share_from_estimate(lab, own) : share_by_halving(lab, in_srgb);
        found[k] = from_lab(with_share(lab, share));
    }
    return found;
}

std::vector<Lab> to_lab(std::span<const Rgb> colours)
{
    if (const ProfileArithmetic& own = profile_arithmetic(); own.exact()) {
        std::vector<Lab> labs(colours.size());
        std::transform(colours.begin(), colours.end(), labs.begin(),
            [&](Rgb colour) { return own.to_lab(colour); });
        return labs;
    }
    // A transform's call costs far more than one colour's conversion.
    return lab_transform().convert(colours);
}

Lab cms_to_lab(Rgb colour)
{
    return lab_transform().convert(colour);
}

std::optional<Rgb> cms_from_lab(const Lab& colour)
{
    return rgb_transform().convert(colour);
}

bool own_lab_arithmetic()
{
    return profile_arithmetic().exact();
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
