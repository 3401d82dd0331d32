#pragma once

#include "colour/colour_science.h"
#include "analysis/colours_in_use.h"
#include "model/document.h"
#include "model/document_edit.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// Changes to the colours of many styles at once, each as one edit the window can undo: replacing
// a colour everywhere, merging two near duplicates, and pasting the colours of one style onto
// another. The style text of every changed row is written again as the editor of that row writes
// it; the other values of the row stay as they are.
namespace tintwell {

/// Which of the day and night colours a replace looks at.
enum class ScopeTimes { Day, Night, DayAndNight };

/// Which of the body (line or fill) and border colours a replace looks at. The border of a Sport &
/// Fitness area is its secondary colour.
enum class ScopeParts { Body, Border, BodyAndBorder };

/// The colour cells a replace may change.
struct ColourScope
{
    ScopeTimes times = ScopeTimes::DayAndNight;
    ScopeParts parts = ScopeParts::BodyAndBorder;
    /// Empty for every presentation; otherwise the rows of this presentation only (compared
    /// without surrounding blanks and case). A Sport & Fitness theme is one list: every row is in.
    std::string presentation;

    bool covers(ColourSlot slot) const;
};

/// A colour change ready for the undo history.
struct ColourEdit
{
    DocumentEdit edit;
    /// How many styles (rows) the edit changes.
    int styles = 0;
    /// The text of the undo step, "Replace #1E90FF".
    std::string description;
};

/// How many styles a replace of `colour` in `scope` changes: the rows with at least one cell in
/// the scope holding the colour (as colours_in_use reads cells, case and prefix aside).
int styles_to_replace(const Document& doc, colour::Rgb colour, const ColourScope& scope);

/// Replaces `from` by `to` in every colour cell of the scope, as one edit described as
/// "Replace #RRGGBB" (the replaced colour). A changed cell keeps its case and its transparency
/// prefix; only its six colour digits change. A row whose colour also stands in a cell outside the
/// scope keeps that cell. Empty (no styles) when `to` is `from` or nothing holds `from`.
ColourEdit replace_colour(
    const Document& doc, colour::Rgb from, colour::Rgb to, const ColourScope& scope = {});

/// Merges a near-duplicate pair of `colours` (the list `pair` was found in, as the document holds
/// it now): the rarer colour is replaced by the more used one in every cell, described as
/// "Merge #RRGGBB into #RRGGBB". Empty when the pair does not belong to the list.
ColourEdit merge_colours(
    const Document& doc, const std::vector<ColourInUse>& colours, const NearDuplicate& pair);

/// The colours of one style, to paste onto another.
struct StyleColours
{
    /// By ColourSlot; nothing where the style has no such colour.
    std::array<std::optional<colour::Rgb>, 4> colours;
    /// Sport & Fitness: the two transparency digits of each colour as the style text writes them
    /// (a six-digit colour counts as "ff"); empty in a Car & Zumo theme and where unknown.
    std::array<std::string, 4> transparency;

    bool operator==(const StyleColours&) const = default;
};

/// The colours of row `row`; nothing at all for an invalid row. A Car & Zumo style whose border
/// value is "0" is saved without border colours, so it has none to copy.
StyleColours copy_colours(const Document& doc, int row);

/// One colour for one slot of one row.
struct SlotColour
{
    int row = -1;
    ColourSlot slot = ColourSlot::BodyDay;
    colour::Rgb colour;
};

/// Puts every colour into its slot as one edit described as `description`; a night colour the
/// row does not have yet is added (its day colours stay), and each changed row's text is written
/// again as paste writes it. Invalid rows are left out; empty when nothing would change.
ColourEdit set_colours(
    const Document& doc, const std::vector<SlotColour>& colours, std::string description);

/// Where the digits of a slot's colour stand in a style text, as start and length: after the "#"
/// of the day or night attribute of the primary or secondary element, six, or eight with the
/// transparency first. Nothing when the text does not hold them there.
std::optional<std::pair<std::size_t, std::size_t>> colour_digits_in_text(
    std::string_view style_text, ColourSlot slot);

/// The run of hexadecimal digits of a cell that holds a colour (blanks and "#" around it), as
/// start and length.
std::pair<std::size_t, std::size_t> digit_run(std::string_view cell);

/// True when row `row` holds a colour in the slot: its cell reads as a colour and, in a Car &
/// Zumo theme, a border slot belongs to a style whose border value is neither empty nor "0" (such
/// a style is saved without border colours).
bool holds_colour(ThemeKind kind, const StyleRow& row, ColourSlot slot);

/// The row with the colours given (by ColourSlot) in their slots, its text written again as a
/// replace writes it; a slot without a colour keeps its own. The slots given must hold colours.
StyleRow with_colours(
    ThemeKind kind, const StyleRow& row, const std::array<std::optional<colour::Rgb>, 4>& colours);

/// Pastes `colours` onto row `row` as one edit described as "Paste Colours onto NAME" (the
/// element name). Only the parts the target has are set: a colour goes into a cell that holds a
/// colour already (a line without border gets no border colour, a style without night colours
/// none at night, a Car & Zumo border "0" none at all), and only when the copied style has it.
/// Transparency digits are pasted onto a Sport & Fitness style along with their colours; without
/// them the target keeps its own. Empty for an invalid row or when nothing would change.
ColourEdit paste_colours(const Document& doc, int row, const StyleColours& colours);
/// Pastes `colours` onto every row of `rows` as one paste onto each, in one edit described as
/// "Paste Colours onto 12 styles" (by the element name for one row). Invalid and repeated rows are
/// left out; `styles` counts the rows that change. Empty when nothing would change.
ColourEdit paste_colours(
    const Document& doc, const std::vector<int>& rows, const StyleColours& colours);

} // namespace tintwell
