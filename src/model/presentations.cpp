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

void add_presentations(Document& doc, const std::vector<std::string>& names)
{
    const std::size_t n = doc.rows.size();
    if (names.empty() || n == 0) {
        return;
    }
    doc.rows.reserve(n * (names.size() + 1));
    for (const auto& name : names) {
        for (std::size_t r = 0; r < n; ++r) {
            StyleRow copy = doc.rows[r];
            copy.pres_name = name;
            copy.pres_code = get_pcode(name, copy.border);
            doc.rows.push_back(std::move(copy));
        }
        doc.pres_names.resize(static_cast<std::size_t>(doc.pres_count));
        doc.pres_names.push_back(name);
        ++doc.pres_count;
    }
    doc.modified = true;
}

bool remove_presentations(Document& doc, const std::vector<std::string>& names)
{
    // A row without a presentation name would match every name; such rows are not the user's
    // choice to remove, so they stay.
    const auto goes = [&](const StyleRow& row) {
        const std::string own = trim(row.pres_name);
        return !own.empty() && std::any_of(names.begin(), names.end(), [&](const std::string& e) {
            return contains(e, own);
        });
    };
    const auto kept = std::count_if(
        doc.rows.begin(), doc.rows.end(), [&](const StyleRow& row) { return !goes(row); });
    if (kept == 0 && !doc.rows.empty()) {
        return false;
    }
    std::erase_if(doc.rows, goes);

    std::vector<std::string> listed(doc.pres_names.begin(),
        doc.pres_names.begin()
            + std::min<std::size_t>(doc.pres_names.size(), std::max(0, doc.pres_count)));
    std::erase_if(listed, [&](const std::string& slot) {
        const std::string own = trim(slot);
        return std::any_of(
            names.begin(), names.end(), [&](const std::string& e) { return contains(e, own); });
    });
    doc.pres_names = listed;
    doc.pres_count = static_cast<int>(listed.size());
    doc.modified = true;
    return true;
}

} // namespace tintwell
