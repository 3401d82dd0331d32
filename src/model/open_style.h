#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <optional>
#include <string>

namespace tintwell {

/// The four working colours of a style: hexadecimal text as the row keeps it; empty or "-1" is
/// no colour.
struct WorkingColours
{
    std::string pri_day;
    std::string sec_day;
    std::string pri_night;
    std::string sec_night;

    bool operator==(const WorkingColours&) const = default;
};

/// How a style is drawn and edited: a line with its border bars, a filled area, or an arrow.
enum class StyleForm { Line, Area, Arrow };

/// A style as the style editor opens it: a working copy of its row and what that copy is.
struct OpenedStyle
{
    /// The row without its night colours in the text, with day colours of six characters, a
    /// border of "0" where it had none (a Car & Zumo line drawn with its secondary colour takes
    /// its scale as border) and a scale of "1" in a Sport & Fitness theme.
    StyleRow row;
    StyleForm form = StyleForm::Line;
    /// False for a line without a border colour, and for a Sport & Fitness line whose border is
    /// "00" without a BG width.
    bool has_border = true;
    /// The text names night colours and the primary night colour is not "-1".
    bool night_colours = true;
    /// The colours the editor starts from: the day colours of a line as they show (padded to
    /// six digits, Sport & Fitness prefix dropped), and no border colour for a Car & Zumo line
    /// whose border is 0.
    WorkingColours colours;
};

/// Opens row `row` of `doc` for the style editor; nothing for a row outside the table. The
/// document is not changed.
std::optional<OpenedStyle> open_style(const Document& doc, int row);

/// A colour text as it shows: trimmed, a Sport & Fitness colour of more than six characters
/// without its two-digit prefix, and a short colour padded with leading zeros to six.
void normalise_colour(std::string& colour, ThemeKind kind);

/// Drops the first two characters of a day colour text longer than six (the transparency
/// prefix a colour is read with); true when the row changed. Night colours keep theirs.
bool shorten_day_colours(StyleRow& row);
/// The same for every row of a theme just read, before its history starts.
void shorten_day_colours(Document& doc);
/// The edit that shortens the day colours of every row of `doc` that has a long one; empty when
/// none has. A change that brings in long day colours records this in its own step.
DocumentEdit day_colour_edit(const Document& doc);

} // namespace tintwell
