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
            if (contains(row.field_name(), entry)) {
                return true;
            }
            continue;
        }
        if (row.pres_code - row.pres_code % 10 == pres_index * 10
            && contains(row.field_name(), entry)) {
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

// A new row with the default colours of its kind, its style text and its names.
StyleRow new_row(ThemeKind kind, const std::string& entry, bool polygon, int pres_index,
    const std::string& pres_name)
{
    const bool car_zumo = kind == ThemeKind::CarZumo;
    StyleRow row;
    if (car_zumo) {
        row.set_field_name("MAP_" + entry + "_CLR");
        row.set_scale(polygon ? "1" : "");
        row.set_border(polygon ? ".6" : "");
        row.set_nwf_border(row.border());
        row.set_pri_day("CECECE");
        row.set_pri_night("FFFF00");
        row.set_sec_day(polygon ? "0a0a0a" : "");
        row.set_sec_night("000000");
    } else if (polygon) {
        row.set_field_name(entry);
        row.set_scale("1");
        row.set_border("ff");
        row.set_nwf_border("ff");
        row.set_pri_day("FFCECECE");
        row.set_pri_night("FFFFFF00");
        row.set_sec_day("FF0a0a0a");
        row.set_sec_night("FF000000");
    } else {
        row.set_field_name(entry);
        row.set_border("ff");
        row.set_nwf_border("ff");
        row.set_pri_day("ffCECECE");
        row.set_pri_night("ffFFFF00");
        row.set_sec_day("FFFFFFFF");
        row.set_sec_night("ff000000");
    }
    row.set_style_text(newcode(kind, row, entry));
    row.set_elem_name(remove(replace(entry, "_", " "), "CLR"));
    if (!polygon) {
        row.set_elem_name(remove(row.elem_name(), "MPM"));
    } else if (!car_zumo) {
        // The readable name, as the list shows it.
        row.set_elem_name(trim(remove(row.elem_name(), "MPM")));
    }
    row.set_pres_name(car_zumo ? pres_name : "");
    if (car_zumo) {
        row.pres_code = static_cast<std::int16_t>(pres_index * 10 + (polygon ? 1 : 0));
    } else {
        row.pres_code = polygon ? 1 : 0;
    }
    return row;
}

} // namespace

void sort_rows(Document& doc)
{
    std::stable_sort(doc.rows.begin(), doc.rows.end(),
        [](const StyleRow& a, const StyleRow& b) { return a.pres_code < b.pres_code; });
}

DocumentEdit add_element_edit(const Document& doc, const ElementSelection& selection)
{
    DocumentEdit edit;
    if (selection.empty()) {
        return edit;
    }
    int pres_index = 0;
    std::string pres_name;
    if (!selection.presentation.empty()) {
        pres_index = static_cast<int>(val(left(selection.presentation, 1)));
        pres_name = mid(selection.presentation, 2);
    }
    std::vector<StyleRow> added;
    for (const std::string& entry : entries_of(selection.lines)) {
        added.push_back(new_row(doc.kind, entry, false, pres_index, pres_name));
    }
    for (const std::string& entry : entries_of(selection.polygons)) {
        added.push_back(
            new_row(doc.kind, polygon_entry(doc.kind, entry), true, pres_index, pres_name));
    }
    // The rows are ordered by presentation code, rows of equal code keeping their order, the new
    // ones after the old: one stable sort of all of them, as sorting after the lines and again
    // after the polygons gives.
    struct Place
    {
        std::int16_t code;
        int from; // a row of the table, or -1 - k for the k-th added row
    };
    std::vector<Place> places;
    places.reserve(doc.rows.size() + added.size());
    for (std::size_t r = 0; r < doc.rows.size(); ++r) {
        places.push_back({ doc.rows[r].pres_code, static_cast<int>(r) });
    }
    for (std::size_t k = 0; k < added.size(); ++k) {
        places.push_back({ added[k].pres_code, -1 - static_cast<int>(k) });
    }
    std::stable_sort(places.begin(), places.end(),
        [](const Place& a, const Place& b) { return a.code < b.code; });
    std::vector<int> order;
    std::vector<StyleRow> in_order;
    order.reserve(places.size());
    for (const Place& place : places) {
        if (place.from >= 0) {
            order.push_back(place.from);
        } else {
            order.push_back(-1);
            in_order.push_back(std::move(added[static_cast<std::size_t>(-1 - place.from)]));
        }
    }
    edit.reorder(doc.rows, order, std::move(in_order));
    return edit;
}

void add_element(Document& doc, const ElementSelection& selection)
{
    if (selection.empty()) {
        return;
    }
    apply_to(doc)(add_element_edit(doc, selection), {});
}

} // namespace tintwell
