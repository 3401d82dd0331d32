#include "model/add_element.h"

#include "model/catalogue.h"
#include "model/new_theme.h"
#include "model/text.h"

#include <algorithm>

namespace tintwell {

using namespace text;

std::vector<std::string> line_list_items(ThemeKind kind)
{
    if (kind == ThemeKind::CarZumo) {
        return car_zumo_line_items();
    }
    std::vector<std::string> items;
    for (auto& name : split(get_nwlines(), crlf)) {
        if (!name.empty()) {
            items.push_back(std::move(name));
        }
    }
    return items;
}

std::vector<std::string> polygon_list_items(ThemeKind kind)
{
    if (kind == ThemeKind::CarZumo) {
        return car_zumo_polygon_items();
    }
    return nwf_polygon_items();
}

std::string line_entry(ThemeKind kind, const std::string& item)
{
    if (kind == ThemeKind::CarZumo) {
        return item;
    }
    return "MPM_" + replace(upper(item), " ", "_") + "_CLR";
}

std::string polygon_entry(ThemeKind kind, const std::string& item)
{
    if (kind == ThemeKind::CarZumo || (item.starts_with("MPM_") && item.ends_with("_CLR"))) {
        return item;
    }
    return line_entry(kind, item);
}

bool elem_exists(const Document& doc, const std::string& entry, int pres_index)
{
    for (const StyleRow& row : doc.rows) {
        if (doc.kind == ThemeKind::SportFitness) {
            if (contains(row.field_name, entry)) {
                return true;
            }
            continue;
        }
        if (row.pres_code - row.pres_code % 10 == pres_index * 10
            && contains(row.field_name, entry)) {
            return true;
        }
    }
    return false;
}

ElementSelection newelement_add(Document& doc, const ElementChoice& choice, bool& keep_open)
{
    keep_open = true;
    const bool car_zumo = doc.kind == ThemeKind::CarZumo;
    const bool has_pres =
        choice.pres_index >= 0 && choice.pres_index < static_cast<int>(pres_catalogue.size());
    if (car_zumo && !has_pres) {
        doc.message("Please select a Presentation");
        return {};
    }

    ElementSelection selection;
    if (car_zumo) {
        selection.presentation = std::to_string(choice.pres_index)
            + pres_catalogue[static_cast<std::size_t>(choice.pres_index)];
    }
    const int pres_index = car_zumo ? choice.pres_index : 0;

    std::string present;
    auto sort_out = [&](const std::string& entry, std::string& new_entries) {
        if (entry.empty()) {
            return;
        }
        if (elem_exists(doc, entry, pres_index)) {
            present += entry;
            present += crlf;
        } else {
            new_entries += entry;
            new_entries += crlf;
        }
    };
    for (const std::string& item : choice.line_items) {
        sort_out(line_entry(doc.kind, item), selection.lines);
    }
    for (const std::string& item : choice.polygon_items) {
        sort_out(polygon_entry(doc.kind, item), selection.polygons);
    }

    if (!present.empty()) {
        const std::string head = car_zumo
            ? pres_catalogue[static_cast<std::size_t>(choice.pres_index)] + " already has "
            : std::string("Already contains ");
        doc.message(head + "\r\n\r\n" + present);
        // The names that are new are still added; with none left the dialog stays open so the
        // user can choose again.
        if (selection.empty()) {
            return {};
        }
    }
    if (selection.empty()) {
        doc.message("Please select a line or polygon.");
        return {};
    }
    keep_open = false;
    return selection;
}

namespace {

std::vector<std::string> entries_of(const std::string& selection)
{
    std::vector<std::string> entries;
    for (auto& entry : split(selection, crlf)) {
        if (!entry.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

// GCC 12 takes the assignment of a short literal to a fresh string below for an overlapping
// copy and warns (-Wrestrict; GCC bug 105329, a false alarm of that release) where nothing
// overlaps.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
void append_row(Document& doc, const std::string& entry, bool polygon, int pres_index,
    const std::string& pres_name)
{
    const bool car_zumo = doc.kind == ThemeKind::CarZumo;
    StyleRow row;
    if (car_zumo) {
        row.field_name = "MAP_" + entry + "_CLR";
        row.scale = polygon ? "1" : "";
        row.border = polygon ? ".6" : "";
        row.nwf_border = row.border;
        row.pri_day = "CECECE";
        row.pri_night = "FFFF00";
        row.sec_day = polygon ? "0a0a0a" : "";
        row.sec_night = "000000";
    } else if (polygon) {
        row.field_name = entry;
        row.scale = "1";
        row.border = "ff";
        row.nwf_border = "ff";
        row.pri_day = "FFCECECE";
        row.pri_night = "FFFFFF00";
        row.sec_day = "FF0a0a0a";
        row.sec_night = "FF000000";
    } else {
        row.field_name = entry;
        row.border = "ff";
        row.nwf_border = "ff";
        row.pri_day = "ffCECECE";
        row.pri_night = "ffFFFF00";
        row.sec_day = "FFFFFFFF";
        row.sec_night = "ff000000";
    }
    doc.rows.push_back(std::move(row));
    const int index = doc.row_count() - 1;
    const std::string style_text = newcode(doc, index, entry);
    StyleRow& added = doc.rows.back();
    added.style_text = style_text;
    added.elem_name = remove(replace(entry, "_", " "), "CLR");
    if (!polygon) {
        added.elem_name = remove(added.elem_name, "MPM");
    } else if (!car_zumo) {
        // The readable name, as the list shows it.
        added.elem_name = trim(remove(added.elem_name, "MPM"));
    }
    added.pres_name = car_zumo ? pres_name : "";
    if (car_zumo) {
        added.pres_code = static_cast<std::int16_t>(pres_index * 10 + (polygon ? 1 : 0));
    } else {
        added.pres_code = polygon ? 1 : 0;
    }
}
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic pop
#endif

} // namespace

void sort_rows(Document& doc)
{
    std::stable_sort(doc.rows.begin(), doc.rows.end(),
        [](const StyleRow& a, const StyleRow& b) { return a.pres_code < b.pres_code; });
}

void add_element(Document& doc, const ElementSelection& selection)
{
    if (selection.empty()) {
        return;
    }
    doc.modified = true;
    int pres_index = 0;
    std::string pres_name;
    if (!selection.presentation.empty()) {
        pres_index = static_cast<int>(val(left(selection.presentation, 1)));
        pres_name = mid(selection.presentation, 2);
    }
    for (const std::string& entry : entries_of(selection.lines)) {
        append_row(doc, entry, false, pres_index, pres_name);
    }
    sort_rows(doc);
    for (const std::string& entry : entries_of(selection.polygons)) {
        append_row(doc, polygon_entry(doc.kind, entry), true, pres_index, pres_name);
    }
    sort_rows(doc);
}

} // namespace tintwell
