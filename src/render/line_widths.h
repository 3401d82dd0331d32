#pragma once

#include "model/document.h"
#include "model/style_row.h"

namespace tintwell {

/// The widths of a line style across the line, in twips at design size (15 to a pixel): the
/// body and each of the two border strips beside it.
struct LineWidths
{
    double body = 0;
    /// One strip; 0 when the line has no border.
    double border = 0;

    bool operator==(const LineWidths&) const = default;
};

/// The widths the preview gives a line style:
/// - Car & Zumo line: body scale × 60, border border × 60 (none when empty); an empty scale
///   counts as 1, as new lines are made with none.
/// - Rail (a name with "RAILRD" or "TRAIL", both kinds): body 2 × scale × 60 (an empty scale
///   counts as 1), no border; a Sport & Fitness rail with widths is read as the other lines with
///   widths.
/// - Sport & Fitness line with widths (`width_style`): body 1.5 × fg_width pixels (at most 100),
///   strips 1.5 × bg_width pixels (0 below 1, at most 50).
/// - Other Sport & Fitness lines: body 72 and strips 36, or a body of 36 alone when the border's
///   transparency digits (`nwf_border` at night) are "00".
/// A value that is not a number, or is negative, counts as 0.
LineWidths line_widths(
    ThemeKind kind, const StyleRow& row, bool rail, bool width_style, bool night);

} // namespace tintwell
