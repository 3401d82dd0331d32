#include "analysis/colour_edits.h"

#include "analysis/parallel_parts.h"
#include "model/style_code.h"
#include "model/style_text.h"
#include "model/text.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <utility>

namespace tintwell {

namespace {

using colour::Rgb;

// New colours for some slots of a row and, for a Sport & Fitness style, new transparency digits
// (empty keeps the style's own).
struct SlotChange
{
    std::array<std::optional<Rgb>, 4> colours;
    std::array<std::string, 4> transparency;
};

std::size_t index(ColourSlot slot)
{
    return static_cast<std::size_t>(slot);
}

// Sport & Fitness texts list their colours primary day, secondary day, primary night, secondary
// night (nwf_slot_colours, nwf_style_text).
std::size_t nwf_index(ColourSlot slot)
{
    switch (slot) {
    case ColourSlot::BodyDay:
        return 0;
    case ColourSlot::BorderDay:
        return 1;
    case ColourSlot::BodyNight:
        return 2;
    case ColourSlot::BorderNight:
        break;
    }
    return 3;
}

bool is_hex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The written digits in the case of `like`: small letters when it has one, capitals when it has
// one, else the case the theme kind reads in.
std::string in_case_of(std::string_view like, std::string digits, ThemeKind kind)
{
    const bool small =
        std::any_of(like.begin(), like.end(), [](char c) { return c >= 'a' && c <= 'f'; });
    const bool capital =
        std::any_of(like.begin(), like.end(), [](char c) { return c >= 'A' && c <= 'F'; });
    const bool lower = small || (!capital && kind == ThemeKind::SportFitness);
    return lower ? text::lower(digits) : text::upper(digits);
}

// A new colour in the digits `old` (six, or eight with the transparency first): the transparency
// stays unless `transparency` gives one, a six-digit colour takes one only when given.
std::string new_digits(
    std::string_view old, Rgb colour, const std::string& transparency, ThemeKind kind)
{
    std::string prefix = old.size() == 8 ? std::string(old.substr(0, 2)) : std::string();
    if (!transparency.empty()) {
        prefix = transparency;
    }
    return in_case_of(old, prefix + colour::to_hex(colour), kind);
}

void recolour_cell(
    StyleRow& row, StyleCell cell, Rgb colour, const std::string& transparency, ThemeKind kind)
{
    std::string text(row.get(cell));
    const auto [start, length] = digit_run(text);
    const std::string_view old = std::string_view(text).substr(start, length);
    // A six-digit cell is how a style read from a file keeps its colour; its transparency lives
    // in the text and the border cells.
    const std::string digits = length == 8 ? new_digits(old, colour, transparency, kind)
                                           : new_digits(old, colour, {}, kind);
    text.replace(start, length, digits);
    row.set(cell, text);
}

bool written(std::string_view colour)
{
    return !colour.empty() && !text::contains(colour, "-1");
}

bool has_part(ThemeKind kind, const StyleRow& row, ColourSlot slot)
{
    if (kind == ThemeKind::CarZumo && is_border(slot) && row.border() == "0") {
        return false;
    }
    return colour::parse_rgb(slot_text(row, slot)).has_value();
}

bool has_widths(const StyleRow& row)
{
    const std::string code = text::lower(row.style_text());
    return text::contains(code, "bg_width") || text::contains(code, "fg_width");
}

// The text with only the digits of the changed colours replaced; nothing when one of them is not
// found in it.
std::optional<std::string> digits_replaced(std::string style_text, const SlotChange& change)
{
    std::vector<std::pair<std::pair<std::size_t, std::size_t>, std::string>> edits;
    for (const ColourSlot slot : colour_slots) {
        const auto& colour = change.colours[index(slot)];
        if (!colour) {
            continue;
        }
        const auto at = colour_digits_in_text(style_text, slot);
        if (!at) {
            return std::nullopt;
        }
        const std::string_view old = std::string_view(style_text).substr(at->first, at->second);
        edits.emplace_back(*at,
            new_digits(old, *colour, change.transparency[index(slot)], ThemeKind::SportFitness));
    }
    // From the end, so that the positions before each replaced run stay valid.
    std::sort(edits.begin(), edits.end(),
        [](const auto& x, const auto& y) { return x.first.first > y.first.first; });
    for (const auto& [at, digits] : edits) {
        style_text.replace(at.first, at.second, digits);
    }
    return style_text;
}

std::array<std::string, 4> lowered(std::array<std::string, 4> colours)
{
    for (std::string& c : colours) {
        text::lower_in(c);
    }
    return colours;
}

// A Sport & Fitness style is saved as its text, so the text written in the editor's layout must
// hold every colour the style had, with its transparency, and the new ones. Where that layout
// cannot (a primary transparency other than "ff", a missing night colour it would fill in, a text
// it does not read), only the digits of the changed colours are replaced in the text as it is.
std::string sport_fitness_code(
    const StyleRow& before, const StyleRow& after, const SlotChange& change)
{
    std::array<std::string, 4> wanted = nwf_slot_colours(before.style_text());
    for (const ColourSlot slot : colour_slots) {
        const auto& colour = change.colours[index(slot)];
        std::string& written_colour = wanted[nwf_index(slot)];
        if (!colour) {
            continue;
        }
        std::string prefix = written_colour.size() == 8 ? written_colour.substr(0, 2) : "ff";
        if (!change.transparency[index(slot)].empty()) {
            prefix = change.transparency[index(slot)];
        }
        written_colour = prefix + colour::to_hex(*colour);
    }

    std::string candidate;
    if (has_widths(before)) {
        // The Sport & Fitness style editor's layout; it writes its fields in capitals.
        std::array<std::string, 4> fields;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            fields[k] = text::upper(wanted[k]);
        }
        candidate = nwf_style_text(text::split(before.style_text(), " ").front(), after.bg_width(),
            after.fg_width(), fields);
    } else {
        const auto colour_of = [&](ColourSlot slot) {
            return text::right(wanted[nwf_index(slot)], 6);
        };
        const auto prefix_of = [&](ColourSlot slot, std::string_view fallback) {
            const std::string& w = wanted[nwf_index(slot)];
            return w.size() == 8 ? w.substr(0, 2) : std::string(fallback);
        };
        StyleValues values = style_values(after, ThemeKind::SportFitness);
        values.pri_day = colour_of(ColourSlot::BodyDay);
        values.sec_day = colour_of(ColourSlot::BorderDay);
        values.sec_night = colour_of(ColourSlot::BorderNight);
        values.night_colours = !wanted[nwf_index(ColourSlot::BodyNight)].empty();
        values.pri_night = values.night_colours ? colour_of(ColourSlot::BodyNight) : "-1";
        values.border = prefix_of(ColourSlot::BorderDay, after.border());
        values.nwf_border = prefix_of(ColourSlot::BorderNight, after.nwf_border());
        candidate = get_code(values);
    }
    if (lowered(nwf_slot_colours(candidate)) == lowered(wanted)) {
        return candidate;
    }
    if (auto replaced = digits_replaced(std::string(before.style_text()), change)) {
        return std::move(*replaced);
    }
    return candidate;
}

// The row with the new colours, and its text written again.
StyleRow recoloured(ThemeKind kind, const StyleRow& row, const SlotChange& change)
{
    StyleRow after = row;
    const bool sport = kind == ThemeKind::SportFitness;
    for (const ColourSlot slot : colour_slots) {
        if (const auto& colour = change.colours[index(slot)]) {
            const std::string& transparency =
                sport ? change.transparency[index(slot)] : std::string();
            recolour_cell(after, slot_cell(slot), *colour, transparency, kind);
            // The reader keeps the transparency of the border colours in these two cells.
            if (sport && !transparency.empty() && slot == ColourSlot::BorderDay) {
                after.set_border(text::lower(transparency));
            } else if (sport && !transparency.empty() && slot == ColourSlot::BorderNight) {
                after.set_nwf_border(text::lower(transparency));
            }
        }
    }
    if (sport) {
        after.set_style_text(sport_fitness_code(row, after, change));
        return after;
    }
    // As the style editor writes it; only the colours of the row are new, and a night colour the
    // row does not have is not written.
    StyleValues values = style_values(after, kind);
    values.night_colours = written(after.pri_night());
    after.set_style_text(get_code(values));
    return after;
}

// The presentation a scope keeps to as rows are compared with it (trimmed, upper case), worked
// out once for all rows; nothing when every row is in.
std::optional<std::string> presentation_key(const Document& doc, const ColourScope& scope)
{
    if (scope.presentation.empty() || doc.kind == ThemeKind::SportFitness) {
        return std::nullopt;
    }
    return text::upper(text::trim(scope.presentation));
}

// `to` in the slots of the row in the scope that hold `from`; nothing when there are none.
// `presentation` is the scope's presentation_key.
std::optional<SlotChange> matches(const StyleRow& row, Rgb from, Rgb to, const ColourScope& scope,
    const std::optional<std::string>& presentation)
{
    if (presentation && text::upper(text::trim(row.pres_name())) != *presentation) {
        return std::nullopt;
    }
    SlotChange change;
    bool any = false;
    for (const ColourSlot slot : colour_slots) {
        if (scope.covers(slot) && colour::parse_rgb(slot_text(row, slot)) == from) {
            change.colours[index(slot)] = to;
            any = true;
        }
    }
    return any ? std::optional(change) : std::nullopt;
}

std::string hex(Rgb colour)
{
    return "#" + colour::to_hex(colour);
}

// The transparency digits of each colour of a Sport & Fitness style, as its text writes them.
std::array<std::string, 4> transparencies(const StyleRow& row)
{
    const std::array<std::string, 4> written_colours = nwf_slot_colours(row.style_text());
    std::array<std::string, 4> digits;
    for (const ColourSlot slot : colour_slots) {
        const std::string& w = written_colours[nwf_index(slot)];
        if (w.size() == 8 && is_hex(w[0]) && is_hex(w[1])) {
            digits[index(slot)] = text::lower(w.substr(0, 2));
        }
    }
    return digits;
}

} // namespace

bool ColourScope::covers(ColourSlot slot) const
{
    const bool time =
        times == ScopeTimes::DayAndNight || (times == ScopeTimes::Night) == is_night(slot);
    const bool part =
        parts == ScopeParts::BodyAndBorder || (parts == ScopeParts::Border) == is_border(slot);
    return time && part;
}

int styles_to_replace(const Document& doc, Rgb colour, const ColourScope& scope)
{
    const auto presentation = presentation_key(doc, scope);
    int styles = 0;
    for (const StyleRow& row : doc.rows) {
        styles += matches(row, colour, colour, scope, presentation) ? 1 : 0;
    }
    return styles;
}

ColourEdit replace_colour(const Document& doc, Rgb from, Rgb to, const ColourScope& scope)
{
    ColourEdit result;
    result.description = "Replace " + hex(from);
    if (from == to) {
        return result;
    }
    const auto presentation = presentation_key(doc, scope);
    for (int r = 0; r < doc.row_count(); ++r) {
        const StyleRow& row = doc.rows[static_cast<std::size_t>(r)];
        if (const auto change = matches(row, from, to, scope, presentation)) {
            result.edit.replace_row(r, row, recoloured(doc.kind, row, *change));
            ++result.styles;
        }
    }
    return result;
}

ColourEdit merge_colours(
    const Document& doc, const std::vector<ColourInUse>& colours, const NearDuplicate& pair)
{
    if (pair.kept >= colours.size() || pair.merged >= colours.size() || pair.kept == pair.merged) {
        return {};
    }
    const Rgb kept = colours[pair.kept].colour;
    const Rgb merged = colours[pair.merged].colour;
    ColourEdit result = replace_colour(doc, merged, kept);
    result.description = "Merge " + hex(merged) + " into " + hex(kept);
    return result;
}

StyleColours copy_colours(const Document& doc, int row)
{
    StyleColours copied;
    if (!doc.valid_row(row)) {
        return copied;
    }
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    const bool sport = doc.kind == ThemeKind::SportFitness;
    const std::array<std::string, 4> digits =
        sport ? transparencies(r) : std::array<std::string, 4> {};
    for (const ColourSlot slot : colour_slots) {
        if (has_part(doc.kind, r, slot)) {
            copied.colours[index(slot)] = colour::parse_rgb(slot_text(r, slot));
            copied.transparency[index(slot)] = digits[index(slot)];
        }
    }
    return copied;
}

ColourEdit set_colours(
    const Document& doc, const std::vector<SlotColour>& colours, std::string description)
{
    ColourEdit result;
    result.description = std::move(description);
    // By row, in the order the colours come (a later new colour of a slot wins); each row's group
    // is then made into its change and its new text on its own, shared among the processors.
    std::vector<SlotColour> by_row;
    by_row.reserve(colours.size());
    for (const SlotColour& c : colours) {
        if (doc.valid_row(c.row)) {
            by_row.push_back(c);
        }
    }
    const auto row_order = [](const SlotColour& a, const SlotColour& b) { return a.row < b.row; };
    if (!std::is_sorted(by_row.begin(), by_row.end(), row_order)) {
        std::stable_sort(by_row.begin(), by_row.end(), row_order);
    }
    std::vector<std::size_t> group_starts;
    for (std::size_t k = 0; k < by_row.size(); ++k) {
        if (k == 0 || by_row[k].row != by_row[k - 1].row) {
            group_starts.push_back(k);
        }
    }
    group_starts.push_back(by_row.size());
    const std::size_t groups = group_starts.size() - 1;
    std::vector<std::optional<StyleRow>> written(groups);
    for_parts(groups, 4096, [&](std::size_t begin, std::size_t end) {
        for (std::size_t g = begin; g < end; ++g) {
            const StyleRow& row = doc.rows[static_cast<std::size_t>(by_row[group_starts[g]].row)];
            SlotChange change;
            bool changes = false;
            for (std::size_t k = group_starts[g]; k < group_starts[g + 1]; ++k) {
                const SlotColour& c = by_row[k];
                if (colour::parse_rgb(slot_text(row, c.slot)) != c.colour) {
                    change.colours[index(c.slot)] = c.colour;
                    changes = true;
                }
            }
            if (!changes) {
                continue;
            }
            // A colour the row lacks ("-1" or empty) gets a cell of six digits to be recoloured.
            StyleRow prepared = row;
            for (const ColourSlot slot : colour_slots) {
                if (change.colours[index(slot)] && !colour::parse_rgb(slot_text(row, slot))) {
                    prepared.set(slot_cell(slot), "000000");
                }
            }
            written[g] = recoloured(doc.kind, prepared, change);
        }
    });
    for (std::size_t g = 0; g < groups; ++g) {
        if (!written[g]) {
            continue;
        }
        const int r = by_row[group_starts[g]].row;
        result.edit.replace_row(r, doc.rows[static_cast<std::size_t>(r)], std::move(*written[g]));
        ++result.styles;
    }
    return result;
}

std::optional<std::pair<std::size_t, std::size_t>> colour_digits_in_text(
    std::string_view style_text, ColourSlot slot)
{
    const std::string_view element = is_border(slot) ? "<secondary" : "<primary";
    const std::size_t open = text::find_folded(style_text, element);
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t close = std::min(style_text.find("/>", open), style_text.size());
    const std::string_view attribute = is_night(slot) ? "night" : "day";
    std::size_t at =
        text::find_folded(style_text.substr(0, close), attribute, open + element.size());
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    at += attribute.size();
    while (
        at < close && (style_text[at] == ' ' || style_text[at] == '=' || style_text[at] == '"')) {
        ++at;
    }
    if (at >= close || style_text[at] != '#') {
        return std::nullopt;
    }
    const std::size_t start = ++at;
    while (at < close && is_hex(style_text[at])) {
        ++at;
    }
    const std::size_t length = at - start;
    if (length != 6 && length != 8) {
        return std::nullopt;
    }
    return std::pair { start, length };
}

std::pair<std::size_t, std::size_t> digit_run(std::string_view cell)
{
    std::size_t end = cell.size();
    while (end > 0 && !is_hex(cell[end - 1])) {
        --end;
    }
    std::size_t start = end;
    while (start > 0 && is_hex(cell[start - 1])) {
        --start;
    }
    return { start, end - start };
}

bool holds_colour(ThemeKind kind, const StyleRow& row, ColourSlot slot)
{
    if (kind == ThemeKind::CarZumo && is_border(slot) && text::trim_view(row.border()).empty()) {
        return false;
    }
    return has_part(kind, row, slot);
}

StyleRow with_colours(
    ThemeKind kind, const StyleRow& row, const std::array<std::optional<Rgb>, 4>& colours)
{
    SlotChange change;
    change.colours = colours;
    return recoloured(kind, row, change);
}

namespace {

// The row `row` with the colours pasted, or nothing when they change nothing in it.
std::optional<StyleRow> pasted_row(const Document& doc, int row, const StyleColours& colours)
{
    const StyleRow& target = doc.rows[static_cast<std::size_t>(row)];
    const bool sport = doc.kind == ThemeKind::SportFitness;
    const std::array<std::string, 4> own =
        sport ? transparencies(target) : std::array<std::string, 4> {};
    SlotChange change;
    bool changes = false;
    for (const ColourSlot slot : colour_slots) {
        const auto& colour = colours.colours[index(slot)];
        if (!colour || !has_part(doc.kind, target, slot)) {
            continue;
        }
        change.colours[index(slot)] = *colour;
        changes = changes || colour::parse_rgb(slot_text(target, slot)) != colour;
        if (sport) {
            const std::string digits = text::lower(colours.transparency[index(slot)]);
            if (digits.size() == 2 && is_hex(digits[0]) && is_hex(digits[1])) {
                change.transparency[index(slot)] = digits;
                changes = changes || digits != own[index(slot)];
            }
        }
    }
    if (!changes) {
        return std::nullopt;
    }
    return recoloured(doc.kind, target, change);
}

} // namespace

ColourEdit paste_colours(const Document& doc, int row, const StyleColours& colours)
{
    return paste_colours(doc, std::vector<int> { row }, colours);
}

ColourEdit paste_colours(
    const Document& doc, const std::vector<int>& rows, const StyleColours& colours)
{
    ColourEdit result;
    std::vector<int> targets;
    for (const int row : rows) {
        if (doc.valid_row(row)) {
            targets.push_back(row);
        }
    }
    std::sort(targets.begin(), targets.end());
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    if (targets.empty()) {
        return result;
    }
    result.description = targets.size() == 1
        ? "Paste Colours onto "
            + text::trim(doc.rows[static_cast<std::size_t>(targets[0])].elem_name())
        : "Paste Colours onto " + std::to_string(targets.size()) + " styles";
    for (const int row : targets) {
        if (const std::optional<StyleRow> pasted = pasted_row(doc, row, colours)) {
            result.edit.replace_row(row, doc.rows[static_cast<std::size_t>(row)], *pasted);
            ++result.styles;
        }
    }
    return result;
}

} // namespace tintwell
