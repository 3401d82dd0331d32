#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <optional>
#include <string>
#include <vector>

namespace tintwell {

/// The catalogue names of the presentations the rows belong to, in order of first appearance
/// (a row whose presentation is not in the catalogue counts as "GUIDANCE"). A Sport & Fitness
/// theme gives an empty list.
std::vector<std::string> presentations_in_rows(const Document& doc);

/// The presentation list rebuilt from the rows, as the main window lists it after the rows
/// changed: a Car & Zumo theme gets presentations_in_rows and their count; a Sport & Fitness
/// theme keeps its count, and its first six names are emptied.
PresentationList rebuilt_presentation_list(const Document& doc);

/// Message for choosing `selected` to add, or empty when it may go to the adding list:
/// "Please select a PRESENTATION" when nothing is chosen, "Already exists" when an entry of the
/// theme's list contains it, "Already added" when the adding list holds it.
std::string add_choice_error(const std::string& selected, const std::vector<std::string>& project,
    const std::vector<std::string>& adding);

/// Message shown instead of removing a presentation from a theme that has only one left.
inline constexpr const char* last_presentation_message =
    "Can not remove project.\r\n\r\nUse 'New' to start new project.\r\n";

/// The change of adding the named presentations (see add_presentations): the copies come after
/// the rows and the names after the listed ones. Empty when there are no names or no rows.
DocumentEdit add_presentations_edit(const Document& doc, const std::vector<std::string>& names);

/// The change of removing the named presentations (see remove_presentations), or nothing when
/// it would leave no row at all.
std::optional<DocumentEdit> remove_presentations_edit(
    const Document& doc, const std::vector<std::string>& names);

/// Copies every row once under each name, in order, with pres_name set to the name and pres_code
/// recomputed from the name and the row's border; appends the names to pres_names and marks the
/// theme modified. No names, or no rows, change nothing.
void add_presentations(Document& doc, const std::vector<std::string>& names);

/// Deletes the rows of the named presentations: a row goes when one of the names contains its
/// trimmed pres_name. Rows without a presentation name are kept. The rows kept move up in order
/// and the names leave pres_names. A removal that would leave no row at all changes nothing and
/// returns false.
bool remove_presentations(Document& doc, const std::vector<std::string>& names);

} // namespace tintwell
