#pragma once

#include "model/document.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tintwell {

/// A colour as the drawing surface takes it: red in the lowest byte (0x00BBGGRR).
using ColourValue = std::int32_t;

/// Normalises `colour` in place (blanks trimmed; in a Sport & Fitness theme a text longer than
/// six characters loses its two-digit transparency prefix; padded on the left with "0" to six)
/// and returns its byte pairs in reverse order: RRGGBB gives BBGGRR and back.
std::string rev_hex(std::string& colour, ThemeKind kind);

/// The value of a RRGGBB text; nothing when the text is not hexadecimal (for instance "-1").
/// The argument is left as it was.
std::optional<ColourValue> hex_to_value(std::string_view colour, ThemeKind kind);

/// The upper-case RRGGBB text of a value.
std::string value_to_hex(ColourValue value, ThemeKind kind);

/// Splits a value into its red, green and blue components (0 to 255); always true.
bool CToRGB(ColourValue value, int& red, int& green, int& blue);

/// The colour digits of one attribute: the text after the first "#" (or all of it when there is
/// none) up to the next double quote. Nothing when no double quote follows.
std::optional<std::string> get_colfromtxt(std::string_view text);

/// The opacity (0 to 255) of one Sport & Fitness colour, eight digits (AARRGGBB) with or
/// without "#" and blanks round it: its first two digits. Any other colour, and two digits that
/// are not hexadecimal, count as opaque (255).
int nwf_alpha(std::string_view colour);

/// Where each colour of a Sport & Fitness style stands in `nwf_alphas`.
enum class NwfColour { PrimaryDay, PrimaryNight, SecondaryDay, SecondaryNight };

/// The opacity (0 to 255) of the four colours of a Sport & Fitness style text, by NwfColour:
/// the two transparency digits of an eight-digit colour. A six-digit colour, a missing one and
/// one whose transparency digits are not hexadecimal count as opaque (255).
std::array<int, 4> nwf_alphas(std::string_view style_text);

/// Refreshes the four colours of a Sport & Fitness row, and the transparency prefixes of its
/// secondary colours, from the row's style text. Stops at the first attribute it cannot read,
/// keeping what it stored so far; an invalid row is left alone.
void get_colsfromcode(Document& doc, int row);

} // namespace tintwell
