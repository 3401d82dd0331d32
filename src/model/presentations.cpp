#include "model/presentations.h"

#include "model/reader.h"
#include "model/text.h"

#include <algorithm>

namespace tintwell {

using namespace text;

std::vector<std::string> presentations_in_rows(const Document& doc)
{
    std::vector<std::string> names;
    if (doc.kind == ThemeKind::SportFitness) {
        return names;
    }
    std::vector<int> seen;
    for (const auto& row : doc.rows) {
        const int index = std::clamp(row.pres_code / 10, 0, 5);
        if (std::find(seen.begin(), seen.end(), index) == seen.end()) {
            seen.push_back(index);
            names.push_back(pres_catalogue[static_cast<std::size_t>(index)]);
        }
    }
    return names;
}

PresentationList rebuilt_presentation_list(const Document& doc)
{
    if (doc.kind == ThemeKind::SportFitness) {
        PresentationList list = presentation_list(doc);
        for (std::size_t i = 0; i < 6 && i < list.names.size(); ++i) {
            list.names[i].clear();
        }
        return list;
    }
    std::vector<std::string> names = presentations_in_rows(doc);
    const int count = static_cast<int>(names.size());
    return { std::move(names), count };
}

std::string add_choice_error(const std::string& selected, const std::vector<std::string>& project,
    const std::vector<std::string>& adding)
{
    if (selected.empty()) {
        return "Please select a PRESENTATION";
    }
    for (const auto& entry : project) {
        if (contains(entry, selected)) {
            return "Already exists";
        }
    }
    for (const auto& entry : adding) {
        if (trim(entry) == selected) {
            return "Already added";
        }
    }
    return {};
}

DocumentEdit add_presentations_edit(const Document& doc, const std::vector<std::string>& names)
{
    DocumentEdit edit;
    const std::size_t n = doc.rows.size();
    if (names.empty() || n == 0) {
        return edit;
    }
    std::vector<int> order(n);
    for (std::size_t r = 0; r < n; ++r) {
        order[r] = static_cast<int>(r);
    }
    std::vector<StyleRow> copies;
    copies.reserve(n * names.size());
    PresentationList listed = presentation_list(doc);
    for (const auto& name : names) {
        for (std::size_t r = 0; r < n; ++r) {
            StyleRow copy = doc.rows[r];
            copy.set_pres_name(name);
            copy.pres_code = get_pcode(name, copy.border());
            copies.push_back(std::move(copy));
            order.push_back(-1);
        }
        listed.names.resize(static_cast<std::size_t>(std::max(0, listed.count)));
        listed.names.push_back(name);
        ++listed.count;
    }
    edit.reorder(doc.rows, order, std::move(copies));
    edit.set_presentations(presentation_list(doc), std::move(listed));
    return edit;
}

std::optional<DocumentEdit> remove_presentations_edit(
    const Document& doc, const std::vector<std::string>& names)
{
    // A row without a presentation name would match every name; such rows are not the user's
    // choice to remove, so they stay.
    const auto goes = [&](const StyleRow& row) {
        const std::string own = trim(row.pres_name());
        return !own.empty() && std::any_of(names.begin(), names.end(), [&](const std::string& e) {
            return contains(e, own);
        });
    };
    std::vector<int> kept;
    for (std::size_t r = 0; r < doc.rows.size(); ++r) {
        if (!goes(doc.rows[r])) {
            kept.push_back(static_cast<int>(r));
        }
    }
    if (kept.empty() && !doc.rows.empty()) {
        return std::nullopt;
    }
    DocumentEdit edit;
    edit.reorder(doc.rows, kept, {});

    std::vector<std::string> listed(doc.pres_names.begin(),
        doc.pres_names.begin()
            + std::min<std::size_t>(doc.pres_names.size(), std::max(0, doc.pres_count)));
    std::erase_if(listed, [&](const std::string& slot) {
        const std::string own = trim(slot);
        return std::any_of(
            names.begin(), names.end(), [&](const std::string& e) { return contains(e, own); });
    });
    const int count = static_cast<int>(listed.size());
    edit.set_presentations(presentation_list(doc), { std::move(listed), count });
    return edit;
}

void add_presentations(Document& doc, const std::vector<std::string>& names)
{
    DocumentEdit edit = add_presentations_edit(doc, names);
    if (!edit.empty()) {
        apply_to(doc)(std::move(edit), {});
    }
}

bool remove_presentations(Document& doc, const std::vector<std::string>& names)
{
    std::optional<DocumentEdit> edit = remove_presentations_edit(doc, names);
    if (!edit) {
        return false;
    }
    apply_to(doc)(std::move(*edit), {});
    return true;
}

} // namespace tintwell
