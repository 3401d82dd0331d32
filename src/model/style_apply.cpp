#include "model/style_apply.h"

#include "model/style_text.h"
#include "model/text.h"

#include <set>

namespace tintwell {

bool scale_in_range(double value)
{
    // Far outside the range (or not a number) it is refused before it is narrowed, which a value
    // beyond the range of float would not survive.
    if (!(value > -1 && value < 3)) {
        return false;
    }
    const float f = static_cast<float>(value);
    return f >= 0.01f && f <= 2.5f;
}

StyleRow applied_style(ThemeKind kind, StyleRow row, AppliedValues values)
{
    const bool car = kind == ThemeKind::CarZumo;
    // The cells are worked out apart from the row and set into it in one assignment at the end,
    // so the row's block is made once.
    StyleValues cells = style_values(row, kind);
    if (!values.polygon) {
        cells.scale = values.scale_text;
    }
    if (car && !values.polygon) {
        if (values.border_on) {
            cells.border = values.border_text;
        } else {
            // No border: the style loses its border value and both border colours, so no
            // secondary colour is written for it.
            cells.border.clear();
            values.sec_day.clear();
            values.sec_night.clear();
        }
    }
    if (text::contains(values.pri_night, "-1")) {
        values.pri_night = "-1";
    }
    cells.sec_day = values.sec_day;
    cells.pri_day = values.pri_day;
    cells.sec_night = values.sec_night;
    cells.pri_night = values.pri_night;
    if (!values.night_colours) {
        cells.pri_night = values.pri_night = "-1";
    } else if (cells.pri_night == "-1") {
        values.pri_night = values.pri_day;
        values.sec_night = values.sec_day;
    }

    StyleValues code = cells;
    code.night_colours = values.night_colours;
    StyleValues stored = code_colours(code);
    // The night colours the text fills in become the working ones as well.
    if (values.night_colours) {
        const bool no_night = text::contains(cells.pri_night, "-1");
        if (no_night || cells.sec_night.empty()) {
            values.sec_night = stored.sec_night;
        }
        if (no_night || cells.pri_night.empty()) {
            values.pri_night = stored.pri_night;
        }
    }
    const std::string style_text = get_code(code);

    if (car && values.to_all_presentations) {
        stored.scale = values.scale_text;
        if (values.border_on) {
            stored.border = values.border_text;
        } else {
            stored.border.clear();
            values.sec_day.clear();
        }
        stored.sec_day = values.sec_day;
        stored.pri_day = values.pri_day;
        stored.sec_night = values.sec_night;
        stored.pri_night = values.pri_night;
    }
    StyleTexts texts = row.texts();
    texts[static_cast<std::size_t>(StyleCell::StyleText)] = style_text;
    texts[static_cast<std::size_t>(StyleCell::Scale)] = stored.scale;
    texts[static_cast<std::size_t>(StyleCell::Border)] = stored.border;
    texts[static_cast<std::size_t>(StyleCell::NwfBorder)] = stored.nwf_border;
    texts[static_cast<std::size_t>(StyleCell::PriDay)] = stored.pri_day;
    texts[static_cast<std::size_t>(StyleCell::PriNight)] = stored.pri_night;
    texts[static_cast<std::size_t>(StyleCell::SecDay)] = stored.sec_day;
    texts[static_cast<std::size_t>(StyleCell::SecNight)] = stored.sec_night;
    row.assign(texts);
    return row;
}

namespace {

const CellSet copied_cells = Cell::Scale | Cell::Border | Cell::SecDay | Cell::PriDay
    | Cell::SecNight | Cell::PriNight | Cell::StyleText;

// The other rows Apply to all presentations writes: every one with the same field name.
std::vector<int> copies_of(const Document& doc, int row, std::string_view field_name)
{
    std::vector<int> copies;
    for (int k = 0; k < doc.row_count(); ++k) {
        if (k != row && doc.rows[static_cast<std::size_t>(k)].field_name() == field_name) {
            copies.push_back(k);
        }
    }
    return copies;
}

std::string_view trimmed(std::string_view element)
{
    while (!element.empty() && element.back() == ' ') {
        element.remove_suffix(1);
    }
    while (!element.empty() && element.front() == ' ') {
        element.remove_prefix(1);
    }
    return element;
}

} // namespace

DocumentEdit style_apply_edit(
    const Document& doc, int row, const StyleRow& applied, bool to_all_presentations)
{
    DocumentEdit edit;
    if (!doc.valid_row(row)) {
        return edit;
    }
    edit.replace_row(row, doc.rows[static_cast<std::size_t>(row)], applied);
    if (!to_all_presentations || doc.kind != ThemeKind::CarZumo) {
        return edit;
    }
    edit.write_rows(
        doc.rows, copies_of(doc, row, applied.field_name()), RowCells(applied, copied_cells));
    return edit;
}

ApplyReach apply_reach(
    const Document& doc, int row, const StyleRow& applied, bool to_all_presentations)
{
    ApplyReach reach;
    if (!doc.valid_row(row) || !to_all_presentations || doc.kind != ThemeKind::CarZumo) {
        return reach;
    }
    const StyleRow& before = doc.rows[static_cast<std::size_t>(row)];
    const std::int16_t own = before.pres_code;
    // What the user may lose: a presentation whose copy differed from the style as it was
    // before Apply had values of its own. The style text is left out, as its layout may differ
    // where the values do not. A presentation may hold the style twice; it counts once.
    const CellSet value_cells =
        Cell::Scale | Cell::Border | Cell::SecDay | Cell::PriDay | Cell::SecNight | Cell::PriNight;
    const RowCells values(before, value_cells);
    std::set<std::int16_t> reached;
    std::set<std::int16_t> differing;
    for (const int k : copies_of(doc, row, applied.field_name())) {
        const StyleRow& other = doc.rows[static_cast<std::size_t>(k)];
        if (other.pres_code == own) {
            continue;
        }
        reached.insert(other.pres_code);
        if (RowCells(other, value_cells) != values) {
            differing.insert(other.pres_code);
        }
    }
    reach.presentations = 1 + static_cast<int>(reached.size());
    reach.with_other_values = static_cast<int>(differing.size());
    return reach;
}

std::string apply_step_name(std::string_view element, const ApplyReach& reach)
{
    std::string name = "Apply " + std::string(trimmed(element));
    if (reach.presentations > 1) {
        name += " to " + std::to_string(reach.presentations) + " presentations";
    }
    return name;
}

std::string apply_summary(std::string_view element, const ApplyReach& reach)
{
    std::string said(trimmed(element));
    said += " changed";
    if (reach.presentations > 1) {
        said += " in " + std::to_string(reach.presentations) + " presentations; ";
        said += reach.with_other_values == 0 ? std::string("none")
                                             : std::to_string(reach.with_other_values);
        said += " had other values";
    }
    return said + ". Undo: Ctrl+Z";
}

} // namespace tintwell
