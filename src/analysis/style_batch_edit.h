#pragma once

#include "analysis/colours_in_use.h"
#include "colour/colour_science.h"
#include "model/document.h"
#include "model/document_edit.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Changing many styles at once: the same change of colours, scale, border or widths made to every
// chosen style, each value checked as the style editor checks it, as one edit the window can undo.
namespace tintwell {

/// What a change sets in each style.
enum class StyleProperty {
    /// The colours of the line or fill, and of the border, by day and by night (ColourSlot).
    BodyDay,
    BodyNight,
    BorderDay,
    BorderNight,
    /// Car & Zumo lines and arrows: 0.01 to 2.5; an empty scale counts as 1.
    Scale,
    /// Car & Zumo lines and arrows that have a border: 0.01 to 2.5.
    Border,
    /// Sport & Fitness styles with widths: whole numbers, -1 to 200.
    BgWidth,
    FgWidth,
};

/// How a change treats the value a style has.
enum class ChangeOperation {
    /// Colour or number: becomes `colour` or `amount`.
    Set,
    /// Colour: CIE L* raised or lowered by `amount` (0 to 100), chroma and hue kept as far as sRGB
    /// allows.
    Lighter,
    Darker,
    /// Colour: chroma (C*ab, about 0 to 130) raised or lowered by `amount`, lightness and hue kept;
    /// a chroma below 0 becomes 0, a grey.
    Saturate,
    Desaturate,
    /// Colour: hue angle (h_ab) turned by `amount` degrees; lightness and chroma kept as far as
    /// sRGB allows. A grey stays as it is.
    Hue,
    /// Number: multiplied by `amount`.
    Times,
    /// Number: `amount` added.
    Plus,
};

/// One change of one property. Changes of a list are made in their order, so two changes of the
/// same property add up ("lighter:10" then "hue:30").
struct PropertyChange
{
    StyleProperty property = StyleProperty::BodyDay;
    ChangeOperation operation = ChangeOperation::Set;
    /// The number of Set on a number property, or the amount, factor or degrees.
    double amount = 0;
    /// The colour of Set on a colour property.
    colour::Rgb colour;

    bool operator==(const PropertyChange&) const = default;
};

/// The name a change is written with: "day", "night", "border-day", "border-night", "scale",
/// "border", "bg-width", "fg-width".
std::string_view property_name(StyleProperty property);

/// The colour slot of a colour property; nothing for a number property.
std::optional<ColourSlot> property_slot(StyleProperty property);

/// True when the operation applies to the property: Set to all; Lighter, Darker, Saturate,
/// Desaturate and Hue to colours; Times and Plus to numbers.
bool operation_fits(StyleProperty property, ChangeOperation operation);

/// A change read from text, or why it cannot be read.
struct ParsedChange
{
    std::optional<PropertyChange> change;
    /// Empty when `change` is set.
    std::string message;
};

/// Reads "PROPERTY=VALUE": PROPERTY one of the `property_name`s (any case); VALUE a colour
/// ("#1E90FF", "1e90ff", eight digits with a transparency prefix, which is ignored) or a number
/// to set, or one of "lighter:N", "darker:N", "saturate:N", "desaturate:N", "hue:N" for a colour
/// and "times:N", "plus:N" for a number. Blanks around the parts do not count. A number that does
/// not read whole or is not finite, an unknown property or form, or a form that does not fit the
/// property gives a message naming the text.
ParsedChange parse_property_change(std::string_view text);

/// The name of a style in messages: its element name as the preview's caption shows it and, in
/// a Car & Zumo theme, its presentation ("ROAD INTERSTATE in GUIDANCE").
std::string style_label(const Document& doc, int row);

/// True when the style editor of the row would offer the property, so a change of it applies:
/// - colours: the style holds that colour (a style without night colours has none at night, a
///   Car & Zumo style whose border is 0 or empty has no border colours);
/// - scale: Car & Zumo lines and arrows (not areas);
/// - border: Car & Zumo lines and arrows whose border is a number above 0;
/// - widths: Sport & Fitness styles whose text has BG or FG widths.
/// False for an invalid row.
bool property_applies(const Document& doc, int row, StyleProperty property);

/// Many styles changed at once, ready for the undo history.
struct StyleBatchEdit
{
    /// Empty when refused or when nothing changes.
    DocumentEdit edit;
    /// Styles (rows) whose values change.
    int styles = 0;
    /// Chosen styles to which no change of the list applies (see property_applies).
    int skipped = 0;
    /// The step's name: "Edit 12 styles", "Edit 1 style".
    std::string description;
    /// Why the whole change is refused, naming the first style concerned; empty otherwise.
    std::string refusal;
};

/// "Edit N styles" ("Edit 1 style").
std::string batch_step_name(int styles);

/// Makes the changes to every row of `rows` (any order; duplicates and invalid rows are passed
/// over) as one edit, without changing the document. For each row only the applying properties
/// change; the style text is written again as the style editor of that row writes it, and every
/// other value stays. A scale or border that would leave 0.01 to 2.5, a width above 200 (one
/// below -1 becomes -1, as the editor makes it), an operation that does not fit its property, or
/// a number that is not finite refuses the whole change: `refusal` names the style and the
/// value, and the edit is empty. A colour change works in CIE L*C*h and brings a colour outside
/// sRGB back by lowering its chroma, keeping lightness and hue.
StyleBatchEdit edit_styles(
    const Document& doc, std::span<const int> rows, std::span<const PropertyChange> changes);

/// One row as edit_styles would leave it, for showing it before the change is made: the row
/// changed, or nothing when nothing changes; `refusal` as edit_styles says it for this row.
struct EditedStyle
{
    std::optional<StyleRow> row;
    std::string refusal;
};
EditedStyle edited_style(const Document& doc, int row, std::span<const PropertyChange> changes);

} // namespace tintwell
