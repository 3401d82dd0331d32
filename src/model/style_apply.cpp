#include "model/style_apply.h"

#include "model/style_text.h"
#include "model/text.h"

namespace tintwell {

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
    std::vector<int> copies;
    for (int k = 0; k < doc.row_count(); ++k) {
        if (k != row
            && doc.rows[static_cast<std::size_t>(k)].field_name() == applied.field_name()) {
            copies.push_back(k);
        }
    }
    const CellSet copied = Cell::Scale | Cell::Border | Cell::SecDay | Cell::PriDay | Cell::SecNight
        | Cell::PriNight | Cell::StyleText;
    edit.write_rows(doc.rows, copies, RowCells(applied, copied));
    return edit;
}

} // namespace tintwell
