#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tintwell {

/// The change of "Add BG/FG Width" on row `row`, or the message that refuses it (see
/// add_bg_fg_width). An invalid row gives neither.
EditOutcome add_bg_fg_width_edit(const Document& doc, int row, bool drawn_as_polygon);

/// The change of "Remove BG/FG Width" on row `row`, or the message that refuses it (see
/// remove_bg_fg_width). An invalid row gives neither.
EditOutcome remove_bg_fg_width_edit(const Document& doc, int row);

/// "Add BG/FG Width" on row `row`: inserts BG_WIDTH "-1" and FG_WIDTH "50" before the first ">"
/// of its style text, sets its widths and marks the theme modified. `drawn_as_polygon` is true
/// when the preview drew the row as a polygon. Refuses with one message ("error", "Contains
/// BORDER/SCALE. Cannot apply.", "Already contains BG & FG WIDTH." when either width is there in
/// any case, name + " is a polygon.", "This is a polygon.") and returns false. An invalid row
/// changes nothing.
bool add_bg_fg_width(Document& doc, int row, bool drawn_as_polygon);

/// "Remove BG/FG Width" on row `row`: removes the BG_WIDTH and FG_WIDTH attributes (in any case)
/// from the opening tag of its style text, empties its widths and marks the theme modified.
/// Other attributes stay; the blank before the first width stays too (`a="1" >`). Refuses with
/// "Does not contain BG & FG WIDTH." or "error".
bool remove_bg_fg_width(Document& doc, int row);

/// True when one of the first six characters of the upper-cased value is not a hexadecimal
/// digit.
bool hx(std::string_view value);

/// The change of Edit Text's Apply (see pcode): the edit, or the first problem found as the
/// message. An invalid row gives neither.
EditOutcome pcode_edit(const Document& doc, int row, std::string_view edited);

/// Reads scale, border and the four colours back out of an edited style text and, when they are
/// all valid, stores them (empty values leave their cells alone) and the text without "<STYLE "
/// in row `row`, and marks the theme modified. Returns the first problem found, empty on success;
/// on a problem nothing is stored. Every colour value is tested: "Hex Error " + the value.
std::string pcode(Document& doc, int row, std::string_view edited);

/// The four colours of a Sport & Fitness style text as eight characters each (transparency
/// prefix then RRGGBB), in slot order: primary day, secondary day, primary night, secondary
/// night. A six-digit colour counts as opaque ("ff" in front); a colour not written is empty.
std::array<std::string, 4> nwf_slot_colours(std::string_view style_text);

/// A width as typed: its numeric value rounded to a whole number, raised to -1 when lower;
/// nothing when above 200.
std::optional<int> nwf_width(std::string_view typed);

/// Message for a width above the range.
inline constexpr const char* width_range_message = "Max Range currently set to 200";

/// The Sport & Fitness style text of a style whose opening tag starts with `field_attribute`,
/// with the widths and the four slot colours (eight characters each, in slot order) written in
/// the fixed order.
std::string nwf_style_text(std::string_view field_attribute, std::string_view bg_width,
    std::string_view fg_width, const std::array<std::string, 4>& colours);

/// The change of the Sport & Fitness style editor's Apply on row `row`: its style text becomes
/// nwf_style_text of its first word (the field attribute), the widths and the colours (eight
/// characters each, in slot order), and the row keeps the widths and colours. Empty for an
/// invalid row.
DocumentEdit nwf_apply_edit(const Document& doc, int row, std::string_view bg_width,
    std::string_view fg_width, const std::array<std::string, 4>& colours);

} // namespace tintwell
