#include "render/line_widths.h"

#include "model/text.h"
#include "render/preview.h"

#include <algorithm>
#include <cmath>

namespace tintwell {

namespace {

namespace pm = preview_metrics;

double number(std::string_view value)
{
    const double read = text::val(value);
    return std::isfinite(read) && read > 0 ? read : 0;
}

// New lines are made without a scale; they show as scale 1.
double scale_of(const StyleRow& row)
{
    return text::trim_view(row.scale()).empty() ? 1 : number(row.scale());
}

} // namespace

LineWidths line_widths(ThemeKind kind, const StyleRow& row, bool rail, bool width_style, bool night)
{
    constexpr double px = twips_per_pixel;
    if (kind == ThemeKind::SportFitness && width_style) {
        double b = number(row.bg_width());
        b = b < 1 ? 0 : std::min(b, 50.0);
        const double f = std::min(number(row.fg_width()), 100.0);
        return { 1.5 * f * px, 1.5 * b * px };
    }
    if (rail) {
        return { 2 * scale_of(row) * pm::unit, 0 };
    }
    if (kind == ThemeKind::CarZumo) {
        const double border = row.border().empty() ? 0 : number(row.border()) * pm::unit;
        return { scale_of(row) * pm::unit, border };
    }
    constexpr double s = 36;
    const bool strips = (night ? row.nwf_border() : row.border()) != "00";
    return strips ? LineWidths { 2 * s, s } : LineWidths { s, 0 };
}

} // namespace tintwell
