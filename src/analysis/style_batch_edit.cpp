#include "analysis/style_batch_edit.h"

#include "analysis/batch_colours.h"
#include "analysis/colour_edits.h"
#include "analysis/parallel_parts.h"
#include "model/open_style.h"
#include "model/style_apply.h"
#include "model/style_code.h"
#include "model/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>
#include <utility>

namespace tintwell {

namespace {

using colour::Rgb;

constexpr std::array<std::pair<std::string_view, StyleProperty>, 8> property_names = { {
    { "day", StyleProperty::BodyDay },
    { "night", StyleProperty::BodyNight },
    { "border-day", StyleProperty::BorderDay },
    { "border-night", StyleProperty::BorderNight },
    { "scale", StyleProperty::Scale },
    { "border", StyleProperty::Border },
    { "bg-width", StyleProperty::BgWidth },
    { "fg-width", StyleProperty::FgWidth },
} };

constexpr std::array<std::pair<std::string_view, ChangeOperation>, 7> operation_names = { {
    { "lighter", ChangeOperation::Lighter },
    { "darker", ChangeOperation::Darker },
    { "saturate", ChangeOperation::Saturate },
    { "desaturate", ChangeOperation::Desaturate },
    { "hue", ChangeOperation::Hue },
    { "times", ChangeOperation::Times },
    { "plus", ChangeOperation::Plus },
} };

constexpr std::size_t number_count = 4;

std::size_t index(ColourSlot slot)
{
    return static_cast<std::size_t>(slot);
}

// Scale, border, BG width, FG width as 0 to 3.
std::size_t number_index(StyleProperty property)
{
    return static_cast<std::size_t>(property) - static_cast<std::size_t>(StyleProperty::Scale);
}

constexpr std::array<StyleProperty, number_count> number_properties = { StyleProperty::Scale,
    StyleProperty::Border, StyleProperty::BgWidth, StyleProperty::FgWidth };

constexpr std::array<StyleCell, number_count> number_cells = { StyleCell::Scale, StyleCell::Border,
    StyleCell::BgWidth, StyleCell::FgWidth };

// A whole text that is one finite number ("+" allowed before it).
std::optional<double> read_number(std::string_view text)
{
    text = text::trim_view(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()
        || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// A value as the editor's boxes show one: six significant digits of its single-precision value.
// Only values inside the checked ranges come here.
std::string number_text(double value)
{
    std::array<char, 32> buffer {};
    std::snprintf(
        buffer.data(), buffer.size(), "%.6g", static_cast<double>(static_cast<float>(value)));
    return buffer.data();
}

// A value for a message, whatever its size.
std::string shown(double value)
{
    std::array<char, 32> buffer {};
    std::snprintf(buffer.data(), buffer.size(), "%.6g", value);
    return buffer.data();
}

bool has_widths(const StyleRow& row)
{
    const std::string code = text::lower(row.style_text());
    return text::contains(code, "bg_width") || text::contains(code, "fg_width");
}

// Where the value of a width attribute ("bg_width", any case) stands in the opening tag of a
// Sport & Fitness text: after "=" and a quote when there is one, up to the closing quote (or a
// blank, "/" or ">"). Nothing when the tag does not hold the attribute.
std::optional<std::pair<std::size_t, std::size_t>> width_value_at(
    std::string_view style_text, std::string_view attribute)
{
    const std::string code = text::lower(style_text);
    const std::size_t tag_end = std::min(code.find('>'), code.size());
    const std::size_t at = code.find(attribute);
    if (at == std::string::npos || at >= tag_end) {
        return std::nullopt;
    }
    std::size_t start = at + attribute.size();
    while (start < tag_end && code[start] == ' ') {
        ++start;
    }
    if (start >= tag_end || code[start] != '=') {
        return std::nullopt;
    }
    ++start;
    while (start < tag_end && code[start] == ' ') {
        ++start;
    }
    const bool quoted = start < tag_end && code[start] == '"';
    start += quoted ? 1 : 0;
    std::size_t end = start;
    while (end < tag_end && (quoted ? code[end] != '"' : (code[end] != ' ' && code[end] != '/'))) {
        ++end;
    }
    return std::pair { start, end - start };
}

// The text with the width attribute holding `value`: written over the old value, or added before
// the end of the opening tag, as "Add BG/FG Width" adds one.
std::string with_width(std::string style_text, std::string_view attribute, std::string_view value)
{
    if (const auto at = width_value_at(style_text, attribute)) {
        style_text.replace(at->first, at->second, value);
        return style_text;
    }
    const std::size_t tag_end = std::min(style_text.find('>'), style_text.size());
    std::string written = " " + text::upper(attribute) + "=\"" + std::string(value) + "\"";
    style_text.insert(tag_end, written);
    return style_text;
}

// The changes sorted by what they touch.
struct Plan
{
    std::array<SlotPlan, 4> slots;
    std::array<std::vector<PropertyChange>, number_count> numbers;
    std::string refusal;
};

Plan plan_of(std::span<const PropertyChange> changes)
{
    Plan plan;
    for (const PropertyChange& change : changes) {
        if (!operation_fits(change.property, change.operation)) {
            plan.refusal = "This change does not apply to "
                + std::string(property_name(change.property)) + ".";
            return plan;
        }
        const bool colour_set =
            property_slot(change.property) && change.operation == ChangeOperation::Set;
        if (!colour_set && !std::isfinite(change.amount)) {
            plan.refusal = "The value for " + std::string(property_name(change.property))
                + " is not a number.";
            return plan;
        }
        if (const auto slot = property_slot(change.property)) {
            SlotPlan& s = plan.slots[index(*slot)];
            if (change.operation == ChangeOperation::Set) {
                s.set = change.colour;
                s.adjustments.clear();
            } else {
                s.adjustments.push_back(change);
            }
        } else {
            plan.numbers[number_index(change.property)].push_back(change);
        }
    }
    return plan;
}

bool is_car_line(const Document& doc, int row)
{
    if (doc.kind != ThemeKind::CarZumo) {
        return false;
    }
    const auto opened = open_style(doc, row);
    return opened && opened->form != StyleForm::Area;
}

bool number_applies(const Document& doc, int row, StyleProperty property)
{
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    switch (property) {
    case StyleProperty::Scale:
        return is_car_line(doc, row);
    case StyleProperty::Border:
        return text::val(r.border()) > 0 && is_car_line(doc, row);
    case StyleProperty::BgWidth:
    case StyleProperty::FgWidth:
        return doc.kind == ThemeKind::SportFitness && has_widths(r);
    default:
        break;
    }
    return false;
}

// The new text of a number, or the refusal naming the style.
struct NumberOutcome
{
    std::string text;
    std::string refusal;
};

NumberOutcome changed_number(const Document& doc, int row, StyleProperty property,
    const std::vector<PropertyChange>& changes)
{
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    const std::string_view old = r.get(number_cells[number_index(property)]);
    // A style written without a scale is drawn at scale 1.
    double value =
        text::trim_view(old).empty() && property == StyleProperty::Scale ? 1.0 : text::val(old);
    for (const PropertyChange& change : changes) {
        if (change.operation == ChangeOperation::Set) {
            value = change.amount;
        } else if (change.operation == ChangeOperation::Times) {
            value *= change.amount;
        } else {
            value += change.amount;
        }
    }
    const bool width = property == StyleProperty::BgWidth || property == StyleProperty::FgWidth;
    const auto refused = [&](std::string_view tail) {
        NumberOutcome outcome;
        outcome.refusal = std::string(property_name(property)) + " " + shown(value) + " for "
            + style_label(doc, row) + " is out of range. " + std::string(tail);
        return outcome;
    };
    if (width) {
        // Widths are whole numbers; one below -1 is raised to -1, as the editor raises it.
        const auto whole = std::isfinite(value) ? nwf_width(shown(value)) : std::nullopt;
        if (!whole) {
            return refused(width_range_message);
        }
        return { std::to_string(*whole), {} };
    }
    if (!std::isfinite(value) || !scale_in_range(value)) {
        return refused(std::string("Acceptable values: ") + scale_range_text);
    }
    return { number_text(value), {} };
}

// One row edited, or its refusal; `row` empty when nothing changes.
struct RowOutcome
{
    std::optional<StyleRow> row;
    /// New colours alone, written over the old digits: the patches instead of a row.
    std::optional<DigitPatches> patches;
    std::string refusal;
    bool applied = false;

    bool changes() const { return row || patches; }
};

// `chosen`: the row's place among the chosen rows, where the colour maps keep its colours.
RowOutcome edit_row(const Document& doc, int row, std::size_t chosen, const Plan& plan,
    const std::array<std::optional<SlotColours>, 4>& mapped)
{
    RowOutcome outcome;
    const StyleRow& before = doc.rows[static_cast<std::size_t>(row)];
    std::array<std::optional<Rgb>, 4> colours;
    bool changes = false;
    for (const ColourSlot slot : colour_slots) {
        const auto& map = mapped[index(slot)];
        const std::optional<Rgb> now = map ? map->at(chosen) : std::nullopt;
        if (!now) {
            continue;
        }
        outcome.applied = true;
        const auto old = colour::parse_rgb(slot_text(before, slot));
        if (*now != *old) {
            colours[index(slot)] = *now;
            changes = true;
        }
    }
    std::array<std::optional<std::string>, number_count> numbers;
    for (const StyleProperty property : number_properties) {
        const auto& list = plan.numbers[number_index(property)];
        if (list.empty() || !number_applies(doc, row, property)) {
            continue;
        }
        outcome.applied = true;
        NumberOutcome number = changed_number(doc, row, property, list);
        if (!number.refusal.empty()) {
            outcome.refusal = std::move(number.refusal);
            return outcome;
        }
        if (number.text != before.get(number_cells[number_index(property)])) {
            numbers[number_index(property)] = std::move(number.text);
            changes = true;
        }
    }
    if (!changes) {
        return outcome;
    }
    // A new scale or border is written as the style editor writes the whole text. Colours and
    // widths are written over the old ones in the text as it is: rebuilding a Sport & Fitness
    // text in the editor's layout would write an empty "#" for every colour the style lacks.
    const auto& scale = numbers[number_index(StyleProperty::Scale)];
    const auto& border = numbers[number_index(StyleProperty::Border)];
    const auto& bg_width = numbers[number_index(StyleProperty::BgWidth)];
    const auto& fg_width = numbers[number_index(StyleProperty::FgWidth)];
    // Colours are written over the old digits when the text holds them where a style text does;
    // colours alone are kept as those few bytes.
    std::optional<StyleRow> after;
    if (!scale && !border) {
        outcome.patches = digit_patches(before, colours);
        if (outcome.patches && !bg_width && !fg_width) {
            return outcome;
        }
        if (outcome.patches) {
            after = patched(before, *std::exchange(outcome.patches, std::nullopt));
        }
    }
    if (!after) {
        StyleRow rebuilt = before;
        for (const StyleProperty property : { StyleProperty::Scale, StyleProperty::Border }) {
            if (const auto& number = numbers[number_index(property)]) {
                rebuilt.set(number_cells[number_index(property)], *number);
            }
        }
        after = with_colours(doc.kind, rebuilt, colours);
    }
    if (bg_width || fg_width) {
        std::string code(after->style_text());
        if (bg_width) {
            after->set_bg_width(*bg_width);
            code = with_width(std::move(code), "bg_width", *bg_width);
        }
        if (fg_width) {
            after->set_fg_width(*fg_width);
            code = with_width(std::move(code), "fg_width", *fg_width);
        }
        after->set_style_text(code);
    }
    outcome.row = std::move(after);
    return outcome;
}

// The colour maps of the active slots, worked out for the colours the rows hold there.
std::array<std::optional<SlotColours>, 4> map_colours(
    const Document& doc, std::span<const int> rows, const Plan& plan)
{
    std::array<std::optional<SlotColours>, 4> mapped;
    for (const ColourSlot slot : colour_slots) {
        const SlotPlan& slot_plan = plan.slots[index(slot)];
        if (!slot_plan.active()) {
            continue;
        }
        SlotColours& map = mapped[index(slot)].emplace(slot_plan);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const StyleRow& r = doc.rows[static_cast<std::size_t>(rows[k])];
            if (holds_colour(doc.kind, r, slot)) {
                map.add(k, *colour::parse_rgb(slot_text(r, slot)));
            }
        }
        map.work_out(rows.size());
    }
    return mapped;
}

} // namespace

std::string_view property_name(StyleProperty property)
{
    for (const auto& [name, p] : property_names) {
        if (p == property) {
            return name;
        }
    }
    return {};
}

std::optional<ColourSlot> property_slot(StyleProperty property)
{
    switch (property) {
    case StyleProperty::BodyDay:
        return ColourSlot::BodyDay;
    case StyleProperty::BodyNight:
        return ColourSlot::BodyNight;
    case StyleProperty::BorderDay:
        return ColourSlot::BorderDay;
    case StyleProperty::BorderNight:
        return ColourSlot::BorderNight;
    default:
        break;
    }
    return std::nullopt;
}

bool operation_fits(StyleProperty property, ChangeOperation operation)
{
    if (operation == ChangeOperation::Set) {
        return true;
    }
    const bool number = operation == ChangeOperation::Times || operation == ChangeOperation::Plus;
    return number != property_slot(property).has_value();
}

ParsedChange parse_property_change(std::string_view text)
{
    ParsedChange parsed;
    const auto refuse = [&](std::string why) {
        parsed.message = std::move(why) + ": \"" + std::string(text) + "\"";
        return parsed;
    };
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return refuse("expected PROPERTY=VALUE");
    }
    const std::string name = text::lower(text::trim_view(text.substr(0, equals)));
    const auto named = std::find_if(property_names.begin(), property_names.end(),
        [&](const auto& entry) { return entry.first == name; });
    if (named == property_names.end()) {
        return refuse("unknown property");
    }
    PropertyChange change;
    change.property = named->second;
    const std::string_view value = text::trim_view(text.substr(equals + 1));
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos) {
        if (property_slot(change.property)) {
            const auto colour = colour::parse_rgb(value);
            if (!colour) {
                return refuse("not a colour");
            }
            change.colour = *colour;
        } else {
            const auto number = read_number(value);
            if (!number) {
                return refuse("not a number");
            }
            change.amount = *number;
        }
        parsed.change = change;
        return parsed;
    }
    const std::string form = text::lower(text::trim_view(value.substr(0, colon)));
    const auto operation = std::find_if(operation_names.begin(), operation_names.end(),
        [&](const auto& entry) { return entry.first == form; });
    if (operation == operation_names.end()) {
        return refuse("unknown form");
    }
    change.operation = operation->second;
    if (!operation_fits(change.property, change.operation)) {
        return refuse(std::string(operation->first) + " does not apply to "
            + std::string(property_name(change.property)));
    }
    const auto number = read_number(value.substr(colon + 1));
    if (!number) {
        return refuse("not a number");
    }
    change.amount = *number;
    parsed.change = change;
    return parsed;
}

std::string style_label(const Document& doc, int row)
{
    if (!doc.valid_row(row)) {
        return {};
    }
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    std::string label = text::trim(r.elem_name());
    const std::string presentation = text::trim(r.pres_name());
    if (doc.kind == ThemeKind::CarZumo && !presentation.empty()) {
        label += " in " + presentation;
    }
    return label;
}

bool property_applies(const Document& doc, int row, StyleProperty property)
{
    if (!doc.valid_row(row)) {
        return false;
    }
    if (const auto slot = property_slot(property)) {
        return holds_colour(doc.kind, doc.rows[static_cast<std::size_t>(row)], *slot);
    }
    return number_applies(doc, row, property);
}

std::string batch_step_name(int styles)
{
    return "Edit " + std::to_string(styles) + (styles == 1 ? " style" : " styles");
}

StyleBatchEdit edit_styles(
    const Document& doc, std::span<const int> rows, std::span<const PropertyChange> changes)
{
    StyleBatchEdit result;
    result.description = batch_step_name(0);
    const Plan plan = plan_of(changes);
    if (!plan.refusal.empty()) {
        result.refusal = plan.refusal;
        return result;
    }
    std::vector<int> chosen;
    chosen.reserve(rows.size());
    for (const int row : rows) {
        if (doc.valid_row(row)) {
            chosen.push_back(row);
        }
    }
    if (!std::is_sorted(chosen.begin(), chosen.end())) {
        std::sort(chosen.begin(), chosen.end());
    }
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());

    const auto mapped = map_colours(doc, chosen, plan);
    DocumentEdit edit;
    // Rows are edited on their own, shared among the processors; the edit takes them in order.
    std::vector<RowOutcome> outcomes(chosen.size());
    for_parts(chosen.size(), 8192, [&](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            outcomes[k] = edit_row(doc, chosen[k], k, plan, mapped);
            if (!outcomes[k].refusal.empty()) {
                break;
            }
        }
    });
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        const int row = chosen[k];
        RowOutcome& outcome = outcomes[k];
        if (!outcome.refusal.empty()) {
            StyleBatchEdit refused;
            refused.description = batch_step_name(0);
            refused.refusal = std::move(outcome.refusal);
            return refused;
        }
        result.skipped += outcome.applied ? 0 : 1;
        if (outcome.patches) {
            for (std::size_t p = 0; p < outcome.patches->count; ++p) {
                const DigitPatch& patch = outcome.patches->patch[p];
                edit.patch_text(row, patch.cell, patch.at,
                    std::string_view(patch.before.data(), patch.before.size()),
                    std::string_view(patch.after.data(), patch.after.size()));
            }
            ++result.styles;
        } else if (outcome.row) {
            edit.replace_row(row, doc.rows[static_cast<std::size_t>(row)], std::move(*outcome.row));
            ++result.styles;
        }
    }
    result.edit = std::move(edit);
    result.description = batch_step_name(result.styles);
    return result;
}

EditedStyle edited_style(const Document& doc, int row, std::span<const PropertyChange> changes)
{
    EditedStyle edited;
    const Plan plan = plan_of(changes);
    if (!plan.refusal.empty()) {
        edited.refusal = plan.refusal;
        return edited;
    }
    if (!doc.valid_row(row)) {
        return edited;
    }
    const std::array<int, 1> one { row };
    RowOutcome outcome = edit_row(doc, row, 0, plan, map_colours(doc, one, plan));
    if (outcome.patches) {
        outcome.row = patched(doc.rows[static_cast<std::size_t>(row)], *outcome.patches);
    }
    edited.row = std::move(outcome.row);
    edited.refusal = std::move(outcome.refusal);
    return edited;
}

} // namespace tintwell
