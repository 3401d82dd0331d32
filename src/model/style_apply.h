#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <string>

namespace tintwell {

/// What the style editor holds when Apply is pressed: its check boxes, the border width and scale
/// as typed, and its four working colours.
struct AppliedValues
{
    /// The style is an area: scale and border width are not taken from the boxes.
    bool polygon = false;
    /// "Border" ticked.
    bool border_on = true;
    /// "Edit Night Colours" ticked.
    bool night_colours = true;
    /// "Apply to All Presentations" ticked (Car & Zumo only).
    bool to_all_presentations = false;
    std::string scale_text;
    std::string border_text;
    std::string pri_day;
    std::string sec_day;
    std::string pri_night;
    std::string sec_night;
};

/// `row` as the style editor's Apply stores it in a theme of `kind`: a line takes its scale (and,
/// in a Car & Zumo theme, its border width, or loses border and border colours when "Border" is
/// cleared); the four colours follow, night colours become "-1" when they are off, and the style
/// text is rebuilt with `get_code`. With "Apply to All Presentations" in a Car & Zumo theme the
/// row also takes scale and border from the boxes, as every copy of it will.
StyleRow applied_style(ThemeKind kind, StyleRow row, AppliedValues values);

/// The change of Apply: row `row` becomes `applied`; with `to_all_presentations` in a Car & Zumo
/// theme every other row with the same field name takes its scale, border, four colours and
/// style text (`applytoall`), all in one edit. Empty for an invalid row.
DocumentEdit style_apply_edit(
    const Document& doc, int row, const StyleRow& applied, bool to_all_presentations);

} // namespace tintwell
