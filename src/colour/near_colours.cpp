// Near colours: bounds on the CIEDE2000 difference that let a search skip most pairs of a large
// table of colours without computing their difference, and the searches built on them.
#include "colour/colour_science.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace tintwell::colour {

namespace {

constexpr double pi = 3.14159265358979323846;
// 25^7, where CIEDE2000's chroma weights turn.
constexpr double chroma_turn7 = 6103515625.0;

double pow7(double x)
{
    const double x3 = x * x * x;
    return x3 * x3 * x;
}

// CIEDE2000's lightness weight SL for the mean lightness of two colours.
double lightness_weight(double mean_lightness)
{
    const double m = mean_lightness - 50;
    return 1 + 0.015 * m * m / std::sqrt(20 + m * m);
}

struct Interval
{
    double low;
    double high;
};

// What CIEDE2000's two hue-dependent terms can be for a pair of colours. Both depend on the mean
// hue H of the colours with the a* axis stretched by 1 + G, G <= 0.5:
//   T = 1 - 0.17 cos(H - 30) + 0.24 cos(2H) + 0.32 cos(3H + 6) - 0.20 cos(4H - 63), and
//   RT = -RC sin(2 dtheta), dtheta = 30 exp(-((H - 275) / 25)^2) degrees.
// Stretching turns a hue by less than 11.6 degrees (atan(1.5 t) - atan(t) is at most 11.54), so
// unless the two hues are nearly opposite, where the shorter way round may change, H lies within
// 11.6 degrees of the middle of the hues as they are.
struct HueTerms
{
    /// T's range.
    Interval t;
    /// sin(2 dtheta) at most.
    double rotation;
};

class HueTermTable
{
public:
    HueTermTable()
    {
        // T sampled every 0.01 degree, each whole degree's samples widened by more than T can
        // exceed them in between (its slope is at most 0.17 + 2 * 0.24 + 3 * 0.32 + 4 * 0.20 <
        // 2.5 a radian, so less than 2.2e-4).
        constexpr double degree = pi / 180;
        std::array<Interval, 360> by_degree {};
        m_any.t = { 10, -10 };
        for (std::size_t d = 0; d < by_degree.size(); ++d) {
            Interval r { 10, -10 };
            for (int i = 0; i <= 100; ++i) {
                const double h = (static_cast<double>(d) + i * 0.01) * degree;
                const double t = 1 - 0.17 * std::cos(h - 30 * degree) + 0.24 * std::cos(2 * h)
                    + 0.32 * std::cos(3 * h + 6 * degree) - 0.20 * std::cos(4 * h - 63 * degree);
                r.low = std::min(r.low, t - 1e-3);
                r.high = std::max(r.high, t + 1e-3);
            }
            by_degree[d] = r;
            m_any.t.low = std::min(m_any.t.low, r.low);
            m_any.t.high = std::max(m_any.t.high, r.high);
        }
        m_any.rotation = std::sin(60 * degree);
        // A middle in [d, d + 1) puts H within [d - turn, d + 1 + turn], in the whole degrees
        // d - 12 to d + 12; H is no nearer 275 than the nearest of those, less one.
        for (int d = 0; d < 360; ++d) {
            HueTerms& terms = m_by_middle[static_cast<std::size_t>(d)];
            terms.t = { 10, -10 };
            int nearest = 180;
            for (int w = d - 12; w <= d + 12; ++w) {
                const int wrapped = (w + 360) % 360;
                const Interval r = by_degree[static_cast<std::size_t>(wrapped)];
                terms.t.low = std::min(terms.t.low, r.low);
                terms.t.high = std::max(terms.t.high, r.high);
                const int from_275 = std::abs(wrapped - 275);
                nearest = std::min(nearest, std::min(from_275, 360 - from_275));
            }
            const double x = std::max(0, nearest - 1) / 25.0;
            terms.rotation = std::sin(2 * 30 * std::exp(-x * x) * degree);
        }
    }

    /// For two colours of these hues (degrees, 0 to 360) and chromas.
    const HueTerms& pair(
        double first_hue, double first_chroma, double second_hue, double second_chroma) const
    {
        constexpr double turn = 11.6;
        double dh = second_hue - first_hue;
        dh = dh > 180 ? dh - 360 : (dh <= -180 ? dh + 360 : dh);
        if (first_chroma == 0 || second_chroma == 0 || !(std::abs(dh) < 180 - 2 * turn)) {
            return m_any;
        }
        double middle = first_hue + dh / 2;
        middle = middle < 0 ? middle + 360 : (middle >= 360 ? middle - 360 : middle);
        if (!(middle >= 0 && middle < 360)) {
            return m_any;
        }
        return m_by_middle[static_cast<std::size_t>(middle)];
    }

    /// The most `pair` gives as rotation for any two colours whose hues' middle lies within
    /// `reach` degrees of `hue`, and for a colour of no chroma.
    double rotation_near(double hue, double reach) const
    {
        if (!(reach < 90)) {
            return m_any.rotation;
        }
        double most = 0;
        const auto first = static_cast<int>(std::floor(hue - reach));
        const auto last = static_cast<int>(std::floor(hue + reach));
        for (int d = first; d <= last; ++d) {
            most = std::max(
                most, m_by_middle[static_cast<std::size_t>((d % 360 + 360) % 360)].rotation);
        }
        return most;
    }

    double any_rotation() const { return m_any.rotation; }

private:
    HueTerms m_any;
    std::array<HueTerms, 360> m_by_middle {};
};

const HueTermTable& hue_terms()
{
    static const HueTermTable table;
    return table;
}

// The squared CIEDE2000 difference of two colours lies in [low, high]. With kL = kC = kH = 1,
//   dE^2 = z^2 + x^2 + y^2 + RT x y,  z = dL / SL,  x = dC' / SC,  y = dH' / SH.
// z and x need no angle, and neither does |dH'|: dH'^2 = 2 (C1' C2' - a1'a2' - b1 b2), or
// 2 (a1'b2 - a2'b1)^2 / (C1' C2' + a1'a2' + b1 b2) where that avoids cancellation. Only SH
// (through T) and RT depend on the mean hue: SH = 1 + 0.015 C' T within T's range, and
// |RT| <= RC s for the bound s of sin(2 dtheta). Over those, x^2 + y^2 - k |x| |y| is least at
// |y| = k |x| / 2 kept within |y|'s range; x^2 + y^2 + k |x| |y| is greatest at |y|'s greatest.
// Without an early return, so that a loop over many colours runs them side by side.
struct Bounds
{
    double low;
    double high;
};

Bounds squared_difference_bounds(const Lab& first, double first_chroma, const Lab& second,
    double second_chroma, const HueTerms& hue)
{
    const double mean_chroma7 = pow7((first_chroma + second_chroma) / 2);
    const double g = 0.5 * (1 - std::sqrt(mean_chroma7 / (mean_chroma7 + chroma_turn7)));
    const double p1 = (1 + g) * first.a;
    const double p2 = (1 + g) * second.a;
    const double c1 = std::sqrt(p1 * p1 + first.b * first.b);
    const double c2 = std::sqrt(p2 * p2 + second.b * second.b);
    const double dc = c2 - c1;
    const double dot = p1 * p2 + first.b * second.b;
    const double cross = p1 * second.b - p2 * first.b;
    const double dh2 = dot > 0 ? 2 * cross * cross / (c1 * c2 + dot) : 2 * (c1 * c2 - dot);
    const double dh = std::sqrt(dh2);

    const double mean_c = (c1 + c2) / 2;
    const double sc = 1 + 0.045 * mean_c;
    const double y_low = dh / (1 + 0.015 * mean_c * hue.t.high);
    const double y_high = dh / (1 + 0.015 * mean_c * hue.t.low);
    const double mean_c7 = pow7(mean_c);
    const double k = 2 * std::sqrt(mean_c7 / (mean_c7 + chroma_turn7)) * hue.rotation;

    const double z = (second.L - first.L) / lightness_weight((first.L + second.L) / 2);
    const double x = std::abs(dc) / sc;
    const double least = k * x / 2;
    const double y = least < y_low ? y_low : (least > y_high ? y_high : least);
    // RT <= 0, and dH' takes the sign of the cross product, so RT x y has the sign opposite to
    // dC' times it; unless the hues are so nearly alike or opposite that rounding could flip it.
    const bool sign_known = std::abs(cross) > 1e-6 * c1 * c2;
    const double base = z * z + x * x;
    const double low =
        sign_known && dc * cross < 0 ? base + y_low * y_low : base + y * y - k * x * y;
    const double high = sign_known && dc * cross > 0 ? base + y_high * y_high
                                                     : base + y_high * y_high + k * x * y_high;
    return { low, high };
}

// Whether the difference is surely `limit` or more, by a floor of the same without a root or a
// division: x^2 + y^2 - k |x| |y| >= (1 - s) (x^2 + y^2) as k <= 2 s, and x^2 + y^2 >=
// (dC'^2 + dH'^2) / SC^2 (SH < SC, as 0.015 T < 0.045), where dC'^2 + dH'^2 = |a'b' difference|^2
// >= |a*b* difference|^2 and SC <= 1 + 0.045 * (1 + G) (C1 + C2) / 2, for `stretch` at least
// 1 + G (G is at most 0.5); and SL <= 1 + 0.015 |mean L - 50|. Multiplied out by SL^2 SC^2, with
// those bounds for both.
bool squared_difference_at_least(const Lab& first, double first_chroma, const Lab& second,
    double second_chroma, double rotation, double limit, double stretch = 1.5)
{
    const double dl = second.L - first.L;
    const double sl = 1 + 0.015 * std::abs((first.L + second.L) / 2 - 50);
    const double da = second.a - first.a;
    const double db = second.b - first.b;
    const double sc = 1 + 0.0225 * stretch * (first_chroma + second_chroma);
    return dl * dl * sc * sc + (1 - rotation) * (da * da + db * db) * sl * sl
        >= limit * sl * sl * sc * sc;
}

double chroma(const Lab& colour)
{
    return std::sqrt(colour.a * colour.a + colour.b * colour.b);
}

double hue(const Lab& colour)
{
    const double h = std::atan2(colour.b, colour.a) * 180 / pi;
    return h < 0 ? h + 360 : h;
}

} // namespace

LabTable::LabTable(std::vector<Lab> labs)
{
    append(std::move(labs));
}

void LabTable::append(std::vector<Lab> labs)
{
    for (const Lab& lab : labs) {
        m_chroma.push_back(chroma(lab));
        m_hue.push_back(hue(lab));
    }
    if (m_labs.empty()) {
        m_labs = std::move(labs);
    } else {
        m_labs.insert(m_labs.end(), labs.begin(), labs.end());
    }
}

NearColours::NearColours(const Lab& reference, double difference)
    : m_reference(reference)
    , m_chroma(chroma(reference))
    , m_hue(hue(reference))
    , m_difference(difference)
{
}

bool NearColours::near(const Lab& other) const
{
    std::array<std::uint8_t, 1> answer {};
    mark(LabTable({ other }), answer);
    return answer[0] != 0;
}

void NearColours::mark(const LabTable& colours, std::span<std::uint8_t> near) const
{
    // The bounds hold exactly; the margin covers rounding in them and in the full difference.
    const double limit = m_difference * m_difference;
    const double margin = 1e-6 * limit;
    const HueTermTable& table = hue_terms();
    // In blocks, each step over the colours the one before leaves, the costlier last: the
    // lightness alone (dE >= |dL| / SL, and SL < 1.75 between lightness 0 and 100), the floor
    // above, then both bounds, and only where those cannot tell, the full difference.
    constexpr std::size_t block = 256;
    std::array<std::size_t, block> left {};
    std::array<const HueTerms*, block> hue {};
    std::array<Bounds, block> bounds {};
    const std::size_t count = std::min(colours.size(), near.size());
    for (std::size_t start = 0; start < count; start += block) {
        const std::size_t end = std::min(start + block, count);
        std::size_t n = 0;
        for (std::size_t i = start; i < end; ++i) {
            near[i] = 0;
            const double mean_l = (colours.m_labs[i].L + m_reference.L) / 2;
            const bool far = std::abs(colours.m_labs[i].L - m_reference.L) >= 1.75 * m_difference
                && mean_l >= 0 && mean_l <= 100;
            left[n] = i;
            n += far ? 0 : 1;
        }
        std::size_t kept = 0;
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = left[k];
            const HueTerms& terms =
                table.pair(m_hue, m_chroma, colours.m_hue[i], colours.m_chroma[i]);
            const bool far = squared_difference_at_least(m_reference, m_chroma, colours.m_labs[i],
                colours.m_chroma[i], terms.rotation, limit + margin);
            left[kept] = i;
            hue[kept] = &terms;
            kept += far ? 0 : 1;
        }
        for (std::size_t k = 0; k < kept; ++k) {
            const std::size_t i = left[k];
            bounds[k] = squared_difference_bounds(
                m_reference, m_chroma, colours.m_labs[i], colours.m_chroma[i], *hue[k]);
        }
        for (std::size_t k = 0; k < kept; ++k) {
            const std::size_t i = left[k];
            if (bounds[k].low >= limit + margin) {
                continue;
            }
            near[i] = bounds[k].high < limit - margin
                    || delta_e2000(m_reference, colours.m_labs[i]) < m_difference
                ? 1
                : 0;
        }
    }
}

namespace {

// How far in a*b* a colour of this chroma can be from another below `difference`, for the pair's
// rotation bound and a bound `stretch` on 1 + G: the a*b* distance d stays below difference * SC /
// sqrt(1 - s) (the floor of squared_difference_at_least), where SC <= 1 + 0.0225 stretch (C1 + C2)
// <= 1 + 0.0225 stretch (2 C1 + d).
double ab_reach(double difference, double chroma, double rotation, double stretch = 1.5)
{
    const double k = difference / std::sqrt(1 - rotation);
    const double room = 1 - 0.0225 * stretch * k;
    return room > 0 ? k * (1 + 0.045 * stretch * chroma) / room * (1 + 1e-6) + 1e-9
                    : std::numeric_limits<double>::infinity();
}

// A bound on 1 + G for a colour of this chroma and any other within `reach` of it in a*b*: G
// falls as the pair's mean chroma grows, and that is at least chroma - reach / 2. Far below 1.5
// for colours of some chroma, where it narrows their reach by half.
double stretch_within(double chroma, double reach)
{
    const double mean = std::max(0.0, chroma - reach / 2);
    const double mean7 = pow7(mean);
    const double g = 0.5 * (1 - std::sqrt(mean7 / (mean7 + chroma_turn7)));
    return std::min(1.5, 1 + g * (1 + 1e-6) + 1e-9);
}

// The span of the colours' lightness and a*.
struct LabSpread
{
    double lowest_l = std::numeric_limits<double>::infinity();
    double highest_l = -std::numeric_limits<double>::infinity();
    double lowest_a = std::numeric_limits<double>::infinity();
    double highest_a = -std::numeric_limits<double>::infinity();

    bool finite() const
    {
        return std::isfinite(highest_l - lowest_l) && std::isfinite(highest_a - lowest_a);
    }
};

// The colours that can be near another, in table order, and their spread. A colour that is not
// finite is near none: its difference to any is not a number.
std::vector<std::uint32_t> finite_colours(
    const std::vector<Lab>& labs, const std::vector<double>& chromas, LabSpread& spread)
{
    std::vector<std::uint32_t> found;
    found.reserve(labs.size());
    for (std::size_t i = 0; i < labs.size(); ++i) {
        const Lab& c = labs[i];
        if (std::isfinite(c.L) && std::isfinite(c.a) && std::isfinite(c.b)
            && std::isfinite(chromas[i])) {
            found.push_back(static_cast<std::uint32_t>(i));
            spread.lowest_l = std::min(spread.lowest_l, c.L);
            spread.highest_l = std::max(spread.highest_l, c.L);
            spread.lowest_a = std::min(spread.lowest_a, c.a);
            spread.highest_a = std::max(spread.highest_a, c.a);
        }
    }
    return found;
}

// A colour of the table as the grid holds it, beside its neighbours in the grid.
struct GridColour
{
    Lab lab;
    double chroma;
    double hue;
    std::uint32_t index;
};

// A grid over L*a*b*: cells as deep in L* as the lightness reach, so a colour's pairs lie in its
// own layer and the two beside it, and in each layer columns of a fixed a* width whose colours
// are sorted by b*, so the colours within reach of b* are found by halving. The colours are
// copied cell by cell, so those looked at one after the other lie side by side in memory.
// At most 1024 layers and columns, whatever the spread of the colours.
class LabGrid
{
public:
    LabGrid(const std::vector<Lab>& labs, const std::vector<double>& chromas,
        const std::vector<double>& hues, std::vector<std::uint32_t> order, const LabSpread& spread,
        double lightness_reach)
        : m_lowest_l(spread.lowest_l)
        , m_lowest_a(spread.lowest_a)
        , m_depth(std::max(lightness_reach, (spread.highest_l - spread.lowest_l) / 1024))
        , m_width(std::max(4.0, (spread.highest_a - spread.lowest_a) / 1024))
        , m_layers(static_cast<std::size_t>((spread.highest_l - spread.lowest_l) / m_depth) + 1)
        , m_columns(static_cast<std::size_t>((spread.highest_a - spread.lowest_a) / m_width) + 1)
    {
        std::vector<std::uint32_t> cell_of(labs.size());
        for (const std::uint32_t i : order) {
            cell_of[i] =
                static_cast<std::uint32_t>(layer_of(labs[i].L) * m_columns + column_of(labs[i].a));
        }
        std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
            return cell_of[x] != cell_of[y] ? cell_of[x] < cell_of[y] : labs[x].b < labs[y].b;
        });
        m_starts.assign(m_layers * m_columns + 1, 0);
        for (const std::uint32_t i : order) {
            ++m_starts[cell_of[i] + 1];
        }
        for (std::size_t c = 1; c < m_starts.size(); ++c) {
            m_starts[c] += m_starts[c - 1];
        }
        m_colours.reserve(order.size());
        for (const std::uint32_t i : order) {
            m_colours.push_back({ labs[i], chromas[i], hues[i], i });
        }
    }

    /// The colours cell by cell.
    const std::vector<GridColour>& colours() const { return m_colours; }

    // Clamped before the conversion, so an infinite reach gives the last cell.
    std::size_t layer_of(double l) const { return index((l - m_lowest_l) / m_depth, m_layers); }
    std::size_t column_of(double a) const { return index((a - m_lowest_a) / m_width, m_columns); }

    /// Where in `colours` the colours of a cell begin and end.
    std::size_t cell_begin(std::size_t layer, std::size_t column) const
    {
        return m_starts[layer * m_columns + column];
    }
    std::size_t cell_end(std::size_t layer, std::size_t column) const
    {
        return m_starts[layer * m_columns + column + 1];
    }
    /// The first colour of a cell whose b* is `low_b` or more.
    std::size_t cell_from(std::size_t layer, std::size_t column, double low_b) const
    {
        const auto begin =
            m_colours.begin() + static_cast<std::ptrdiff_t>(cell_begin(layer, column));
        const auto end = m_colours.begin() + static_cast<std::ptrdiff_t>(cell_end(layer, column));
        return static_cast<std::size_t>(
            std::lower_bound(
                begin, end, low_b, [](const GridColour& c, double b) { return c.lab.b < b; })
            - m_colours.begin());
    }

private:
    static std::size_t index(double at, std::size_t cells)
    {
        return static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(cells - 1)));
    }

    std::vector<GridColour> m_colours;
    // Where each cell's colours begin in `m_colours`; the next cell's start ends them.
    std::vector<std::uint32_t> m_starts;
    double m_lowest_l;
    double m_lowest_a;
    double m_depth;
    double m_width;
    std::size_t m_layers;
    std::size_t m_columns;
};

} // namespace

std::vector<NearPair> near_pairs(const LabTable& colours, double difference)
{
    std::vector<NearPair> pairs;
    if (colours.size() < 2 || !(difference > 0)) {
        return pairs;
    }
    const HueTermTable& table = hue_terms();
    const double limit = difference * difference;
    const double margin = 1e-6 * limit;
    LabSpread spread;
    std::vector<std::uint32_t> finite = finite_colours(colours.m_labs, colours.m_chroma, spread);
    if (finite.size() < 2 || !spread.finite()) {
        return pairs;
    }
    // Below the difference, lightness differs by less than the difference times the largest
    // lightness weight SL the table's lightnesses allow (under 1.75 between 0 and 100).
    const double from_middle =
        std::max(std::abs(spread.lowest_l - 50), std::abs(spread.highest_l - 50));
    const double lightness_reach =
        difference * lightness_weight(from_middle + 50) * (1 + 1e-6) + 1e-9;
    const LabGrid grid(colours.m_labs, colours.m_chroma, colours.m_hue, std::move(finite), spread,
        lightness_reach);

    // Each pair is looked at once, from the colour that comes first in the grid: the colours
    // after it in its own cell, the cells after it in its own layer, and the layers above.
    const std::vector<GridColour>& cells = grid.colours();
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const GridColour& p = cells[k];
        // First with the rotation bound of any hues; that keeps the other colour's hue within
        // asin(reach / chroma) of this one's, and their middle within half that, where the
        // bound may be far smaller away from blue. Each reach bounds G anew, and that the reach.
        double reach = ab_reach(difference, p.chroma, table.any_rotation());
        double stretch = stretch_within(p.chroma, reach);
        reach = ab_reach(difference, p.chroma, table.any_rotation(), stretch);
        double rotation = table.any_rotation();
        if (reach < p.chroma) {
            const double turn = std::asin(reach / p.chroma) * 180 / pi;
            rotation = table.rotation_near(p.hue, turn / 2 + 1);
            reach = ab_reach(difference, p.chroma, rotation, stretch);
            stretch = stretch_within(p.chroma, reach);
            reach = ab_reach(difference, p.chroma, rotation, stretch);
        }
        // The pair's mean lightness lies within half the table's lightness reach of this one's,
        // where SL is greatest at the end farther from 50.
        const double from_middle = std::max(std::abs(p.lab.L - lightness_reach / 2 - 50),
            std::abs(p.lab.L + lightness_reach / 2 - 50));
        const double l_reach = std::min(
            lightness_reach, difference * lightness_weight(from_middle + 50) * (1 + 1e-6) + 1e-9);

        const std::size_t own_layer = grid.layer_of(p.lab.L);
        const std::size_t own_column = grid.column_of(p.lab.a);
        const std::size_t last_layer = grid.layer_of(p.lab.L + l_reach);
        const std::size_t first_column = grid.column_of(p.lab.a - reach);
        const std::size_t last_column = grid.column_of(p.lab.a + reach);
        for (std::size_t layer = own_layer; layer <= last_layer; ++layer) {
            for (std::size_t column = layer == own_layer ? own_column : first_column;
                 column <= last_column; ++column) {
                const std::size_t end = grid.cell_end(layer, column);
                std::size_t at = layer == own_layer && column == own_column
                    ? k + 1
                    : grid.cell_from(layer, column, p.lab.b - reach);
                for (; at < end; ++at) {
                    const GridColour& q = cells[at];
                    if (q.lab.b > p.lab.b + reach) {
                        break;
                    }
                    const double da = q.lab.a - p.lab.a;
                    const double db = q.lab.b - p.lab.b;
                    if (std::abs(q.lab.L - p.lab.L) >= l_reach
                        || da * da + db * db >= reach * reach) {
                        continue;
                    }
                    const HueTerms& terms = table.pair(p.hue, p.chroma, q.hue, q.chroma);
                    if (squared_difference_at_least(p.lab, p.chroma, q.lab, q.chroma,
                            terms.rotation, limit + margin, stretch)
                        || squared_difference_bounds(p.lab, p.chroma, q.lab, q.chroma, terms).low
                            >= limit + margin) {
                        continue;
                    }
                    const std::size_t first = std::min(p.index, q.index);
                    const std::size_t second = std::max(p.index, q.index);
                    const double d = delta_e2000(colours[first], colours[second]);
                    if (d < difference) {
                        pairs.push_back({ first, second, d });
                    }
                }
            }
        }
    }
    return pairs;
}

} // namespace tintwell::colour
