#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <string>
#include <string_view>

namespace tintwell {

/// What a style's text is made of: its field, scale, border and four colours, as typed values.
/// Colours are the hexadecimal text the table keeps (RRGGBB; "-1" is no night colour).
struct StyleValues
{
    ThemeKind kind = ThemeKind::CarZumo;
    /// The raw field attribute (MAP_WATER, MPM_ROAD_CLR).
    std::string field_name;
    /// Written only when not empty.
    std::string scale;
    /// Car & Zumo: the border width; empty writes no border and no secondary element.
    /// Sport & Fitness: the two transparency digits written before the secondary day colour.
    std::string border;
    /// Sport & Fitness: the two transparency digits written before the secondary night colour.
    std::string nwf_border;
    std::string pri_day;
    std::string pri_night;
    std::string sec_day;
    std::string sec_night;
    /// False writes no night colours (the style editor's "Edit Night Colours" cleared).
    bool night_colours = true;

    bool operator==(const StyleValues&) const = default;
};

/// The values of a row. Night colours are on unless the row's night colour is "-1".
StyleValues style_values(const StyleRow& row, ThemeKind kind);

/// The style text of `values` in the layout the style editor writes (`get_code`).
///
/// Car & Zumo, six lines (five without border): `FIELD=name scale="s" border="b" />`, `<COLOR>`,
/// `<PRIMARY  day="#RRGGBB" night="#RRGGBB" />`, `<SECONDARY  day=... night=... />`, `</COLOR>`,
/// `</STYLE>`; colours in capitals, lines ended by CR LF except the last. A night colour holding
/// "-1" leaves out both night colours; with night colours on, a missing secondary night is
/// written as 000000 and a missing primary night as FFFF00.
///
/// Sport & Fitness, one line in small letters: `field="name" ><color><primary  day="#ffRRGGBB"
/// night="#ffRRGGBB" /><secondary  day="#BBRRGGBB" night="#NNRRGGBB" /></color></style>` with the
/// border digits BB and NN; a missing primary colour is written as cecece, a missing secondary
/// colour is left out.
std::string get_code(const StyleValues& values);

/// `values` with the colours `get_code` fills in for missing ones, as the row keeps them with the
/// text: `get_code` of the result is `get_code` of `values`. A style without night colours keeps
/// its "-1".
StyleValues code_colours(StyleValues values);

/// Writes scale, border, transparency digits and the four colours of `values` into `row`.
void store_values(StyleRow& row, const StyleValues& values);

/// Normalises a style text before editing: a Sport & Fitness text loses its line breaks; a
/// Car & Zumo text holding a "#-1" night colour loses every night attribute (each line with a
/// night attribute ends there with " />"). Any other text comes back as it is.
std::string strip_night(std::string_view style_text, ThemeKind kind);

/// The change `strip_night` makes to the text of row `row`; empty for an invalid row.
DocumentEdit strip_night_edit(const Document& doc, int row);

} // namespace tintwell
