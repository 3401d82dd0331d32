#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <string>

namespace tintwell {

/// True for a scale or border width the style editor accepts: 0.01 to 2.5, compared in single
/// precision as the editor's boxes hold them.
bool scale_in_range(double value);

/// The range of scale_in_range as the editor's messages write it.
inline constexpr const char* scale_range_text = "0.01 - 2.5";

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

/// How far Apply reaches: the presentations whose copy of the style it writes (its own
/// included) and how many of the others held scale, border or colours different from the
/// style's own before Apply, which Apply replaces.
struct ApplyReach
{
    int presentations = 1;
    int with_other_values = 0;
};

/// The reach of style_apply_edit() with the same arguments, for naming the step and telling
/// the user what it overwrote.
ApplyReach apply_reach(
    const Document& doc, int row, const StyleRow& applied, bool to_all_presentations);

/// The undo step's name: "Apply ROAD" or, when it reaches further, "Apply ROAD to 6
/// presentations".
std::string apply_step_name(std::string_view element, const ApplyReach& reach);

/// What the status bar says after Apply: "ROAD changed in 6 presentations; 5 had other values.
/// Undo: Ctrl+Z", or "ROAD changed. Undo: Ctrl+Z" for its own presentation alone.
std::string apply_summary(std::string_view element, const ApplyReach& reach);

} // namespace tintwell
