#include "model/style_apply.h"

#include "model/style_text.h"
#include "model/text.h"

namespace tintwell {

StyleRow applied_style(ThemeKind kind, StyleRow row, AppliedValues values)
{
    const bool car = kind == ThemeKind::CarZumo;
    if (!values.polygon) {
        row.set_scale(values.scale_text);
    }
    if (car && !values.polygon) {
        if (values.border_on) {
            row.set_border(values.border_text);
        } else {
            // No border: the style loses its border value and both border colours, so no
            // secondary colour is written for it.
            row.set_border({});
            values.sec_day.clear();
            values.sec_night.clear();
        }
    }
    if (text::contains(values.pri_night, "-1")) {
        values.pri_night = "-1";
    }
    row.set_sec_day(values.sec_day);
    row.set_pri_day(values.pri_day);
    row.set_sec_night(values.sec_night);
    row.set_pri_night(values.pri_night);
    if (!values.night_colours) {
        row.set_pri_night(values.pri_night = "-1");
    } else if (row.pri_night() == "-1") {
        values.pri_night = values.pri_day;
        values.sec_night = values.sec_day;
    }

    StyleValues code = style_values(row, kind);
    code.night_colours = values.night_colours;
    const StyleValues stored = code_colours(code);
    // The night colours the text fills in become the working ones as well.
    if (values.night_colours) {
        const bool no_night = text::contains(row.pri_night(), "-1");
        if (no_night || row.sec_night().empty()) {
            values.sec_night = stored.sec_night;
        }
        if (no_night || row.pri_night().empty()) {
            values.pri_night = stored.pri_night;
        }
    }
    row.set_style_text(get_code(code));
    store_values(row, stored);

    if (car && values.to_all_presentations) {
        row.set_scale(values.scale_text);
        if (values.border_on) {
            row.set_border(values.border_text);
        } else {
            row.set_border({});
            values.sec_day.clear();
        }
        row.set_sec_day(values.sec_day);
        row.set_pri_day(values.pri_day);
        row.set_sec_night(values.sec_night);
        row.set_pri_night(values.pri_night);
    }
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
