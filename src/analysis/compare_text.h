#pragma once

#include "analysis/theme_compare.h"

#include <string>
#include <vector>

// A comparison of two themes in words, as the --diff report prints it and the compare window
// lists it. Theme texts are single-byte; what these give is UTF-8, with control bytes (below 0x20,
// and 0x7F) shown as \xNN.
namespace tintwell {

/// True for the four colours (body and border, by day and by night).
bool is_colour(RowValue value);

/// "title", "description", "locale" or "version".
const char* metadata_key(MetadataField field);

/// "removed" (only in A), "added" (only in B) or "changed".
const char* change_name(RowChangeKind kind);

/// The element of a change: presentation and field name ("GUIDANCE MAP_WATER"; the field name
/// alone in a Sport & Fitness theme), with "[n]" after a repeated one ("MAP_WATER[2]").
std::string element_text(const RowChange& change);

/// One value that differs, from -> to: "body by day 1E90FF -> 0000FF". Colours as RRGGBB,
/// "none" for no value, a colour that cannot be read and a style text in double quotes, blanks
/// and line breaks folded to one blank.
std::string value_change_text(const ValueChange& value, ThemeKind kind);

/// A changed metadata field: `metadata title: "OLD" -> "NEW"`.
std::string change_text(const MetadataChange& change);

/// The report's lines for a row: "GUIDANCE MAP_WATER: added" for a row only in one theme, and
/// one "GUIDANCE MAP_WATER: body by day 1E90FF -> 0000FF" per value that differs.
std::vector<std::string> change_lines(const RowChange& change, ThemeKind kind);

/// The same on one line, the values after the element separated by "; ".
std::string change_text(const RowChange& change, ThemeKind kind);
/// The same line with the element named by `element` (UTF-8, as given) instead.
std::string change_text(const RowChange& change, ThemeKind kind, const std::string& element);

/// The element as the preview names it: its display name, "[n]" after a repeated one, and its
/// presentation in brackets ("WATER (GUIDANCE)"; no brackets without a presentation). Both texts
/// as the theme holds them (single-byte), blanks round them dropped; the result is UTF-8.
std::string display_element_text(
    std::string_view display_name, std::string_view presentation, const RowChange& change);

} // namespace tintwell
