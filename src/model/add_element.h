#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <string>
#include <vector>

namespace tintwell {

/// What the Add Elements dialog hands over: each chosen entry followed by CR LF, and for a
/// Car & Zumo theme the presentation as its catalogue position and name ("1BROWSE").
struct ElementSelection
{
    std::string lines;
    std::string polygons;
    std::string presentation;

    bool empty() const { return lines.empty() && polygons.empty(); }
};

/// The dialog's state when "Add" is pressed: the chosen presentation (catalogue position, -1 for
/// none) and the chosen line and polygon items as the lists show them, in list order.
struct ElementChoice
{
    int pres_index = -1;
    std::vector<std::string> line_items;
    std::vector<std::string> polygon_items;
};

/// The items the dialog lists for the document's kind.
std::vector<std::string> line_list_items(ThemeKind kind);
std::vector<std::string> polygon_list_items(ThemeKind kind);

/// The entry a chosen line item stands for: the item itself in a Car & Zumo theme,
/// "MPM_" + item upper-cased with blanks as "_" + "_CLR" in a Sport & Fitness theme.
std::string line_entry(ThemeKind kind, const std::string& item);

/// The entry a chosen polygon item stands for: the item itself in a Car & Zumo theme; in a
/// Sport & Fitness theme "MPM_" + item upper-cased with blanks as "_" + "_CLR", as for lines, so
/// the saved field is one the reader recognises. An entry already in that form is kept.
std::string polygon_entry(ThemeKind kind, const std::string& item);

/// True when some row already holds the entry: its field name contains the entry and, in a
/// Car & Zumo theme, it belongs to the presentation `pres_index`.
bool elem_exists(const Document& doc, const std::string& entry, int pres_index);

/// The "Add" button. Shows "Please select a Presentation" or "Please select a line or
/// polygon." and returns nothing when the dialog must stay open. Chosen names that already
/// exist are reported in one message and left out; the new ones are returned.
/// `keep_open` is set when the dialog stays open.
ElementSelection newelement_add(Document& doc, const ElementChoice& choice, bool& keep_open);

/// The change of add_element: the new rows placed where the ordering by presentation code puts
/// them. Empty for an empty selection.
DocumentEdit add_element_edit(const Document& doc, const ElementSelection& selection);

/// Appends one row with default colours per entry of the selection (lines first, then
/// polygons), sets `modified` and keeps the rows ordered by presentation code. An empty
/// selection changes nothing.
void add_element(Document& doc, const ElementSelection& selection);

/// Orders the rows by `pres_code`, keeping the order of rows with equal codes.
void sort_rows(Document& doc);

} // namespace tintwell
