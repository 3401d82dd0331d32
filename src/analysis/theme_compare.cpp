#include "analysis/theme_compare.h"

#include "colour/colour_science.h"
#include "analysis/colours_in_use.h"
#include "model/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace tintwell {

namespace {

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lower_char(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equal_without_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return lower_char(x) == lower_char(y);
    });
}

// The name as rows are matched by it: without blanks and line breaks around, upper case.
std::string name_key(std::string_view name)
{
    std::size_t first = 0;
    std::size_t last = name.size();
    while (first < last && blank(name[first])) {
        ++first;
    }
    while (last > first && blank(name[last - 1])) {
        --last;
    }
    return text::upper(name.substr(first, last - first));
}

std::string presentation_key(const Document& doc, const StyleRow& row)
{
    return doc.kind == ThemeKind::SportFitness ? std::string() : name_key(row.pres_name());
}

bool same_colour(std::string_view a, std::string_view b)
{
    if (a == b) {
        return true;
    }
    const auto ca = colour::parse_rgb(a);
    const auto cb = colour::parse_rgb(b);
    if (ca && cb) {
        return *ca == *cb;
    }
    if (ca || cb) {
        return false;
    }
    return (holds_no_colour(a) && holds_no_colour(b)) || name_key(a) == name_key(b);
}

// A style text ends with its closing tag; the reader keeps what follows it (the end of the list)
// on the last style.
std::string_view style_element(std::string_view style_text)
{
    constexpr std::string_view closing = "</style>";
    for (std::size_t at = style_text.find("</"); at != std::string_view::npos;
         at = style_text.find("</", at + 1)) {
        if (style_text.size() - at >= closing.size()
            && std::equal(closing.begin(), closing.end(), style_text.begin() + at,
                [](char c, char t) { return c == lower_char(t); })) {
            return style_text.substr(0, at + closing.size());
        }
    }
    return style_text;
}

// Equal without case, blanks and line breaks.
bool same_style_text(std::string_view a, std::string_view b)
{
    if (a == b) {
        return true;
    }
    a = style_element(a);
    b = style_element(b);
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.size() && blank(a[i])) {
            ++i;
        }
        while (j < b.size() && blank(b[j])) {
            ++j;
        }
        if (i == a.size() || j == b.size()) {
            return i == a.size() && j == b.size();
        }
        if (lower_char(a[i]) != lower_char(b[j])) {
            return false;
        }
        ++i;
        ++j;
    }
}

bool written(std::string_view colour)
{
    return !colour.empty() && colour != "-1";
}

// The colours, scale and border of a Car & Zumo row as a save writes them: a night colour
// without a day colour before it, a border colour of a row whose border is "0" and a border
// colour by night after a primary without one are left out.
struct SavedCells
{
    std::array<std::string_view, 4> colours;
    std::string_view scale;
    std::string_view border;
};

SavedCells car_zumo_saved(const StyleRow& row)
{
    const bool primary_night = !row.pri_day().empty() && written(row.pri_night());
    const bool secondary = !row.sec_day().empty() && row.border() != "0";
    const bool secondary_night =
        secondary && written(row.sec_night()) && (row.pri_day().empty() || primary_night);
    const auto kept = [](bool saved, std::string_view cell) {
        return saved ? cell : std::string_view();
    };
    return { { row.pri_day(), kept(primary_night, row.pri_night()), kept(secondary, row.sec_day()),
                 kept(secondary_night, row.sec_night()) },
        row.scale(), kept(row.border() != "0", row.border()) };
}

SavedCells sport_fitness_cells(const StyleRow& row)
{
    return { { row.pri_day(), row.pri_night(), row.sec_day(), row.sec_night() }, row.scale(),
        row.border() };
}

std::vector<ValueChange> row_differences(ThemeKind kind, const StyleRow& a, const StyleRow& b)
{
    std::vector<ValueChange> changes;
    const auto differs = [&](RowValue value, std::string_view from, std::string_view to,
                             bool same) {
        if (!same) {
            changes.push_back({ value, std::string(from), std::string(to) });
        }
    };
    const bool car_zumo = kind == ThemeKind::CarZumo;
    const SavedCells cells_a = car_zumo ? car_zumo_saved(a) : sport_fitness_cells(a);
    const SavedCells cells_b = car_zumo ? car_zumo_saved(b) : sport_fitness_cells(b);
    constexpr RowValue colour_values[] = { RowValue::BodyDay, RowValue::BodyNight,
        RowValue::BorderDay, RowValue::BorderNight };
    for (std::size_t i = 0; i < cells_a.colours.size(); ++i) {
        differs(colour_values[i], cells_a.colours[i], cells_b.colours[i],
            same_colour(cells_a.colours[i], cells_b.colours[i]));
    }
    if (car_zumo) {
        differs(RowValue::Scale, cells_a.scale, cells_b.scale, cells_a.scale == cells_b.scale);
        differs(RowValue::Border, cells_a.border, cells_b.border, cells_a.border == cells_b.border);
        return changes;
    }
    differs(RowValue::Border, a.border(), b.border(), equal_without_case(a.border(), b.border()));
    differs(RowValue::NightBorder, a.nwf_border(), b.nwf_border(),
        equal_without_case(a.nwf_border(), b.nwf_border()));
    differs(RowValue::BgWidth, a.bg_width(), b.bg_width(), a.bg_width() == b.bg_width());
    differs(RowValue::FgWidth, a.fg_width(), b.fg_width(), a.fg_width() == b.fg_width());
    // Every other value of a Sport & Fitness row is read from its style text, so the text tells
    // something more only when they are all the same.
    if (changes.empty()) {
        differs(RowValue::StyleText, a.style_text(), b.style_text(),
            same_style_text(a.style_text(), b.style_text()));
    }
    return changes;
}

// Numbers the presentations and elements of both themes, so rows are matched by small integers.
// The rows of a theme share a few dozen names, so each name as written is normalised only once.
class Keys
{
public:
    int presentation(const Document& doc, const StyleRow& row)
    {
        return doc.kind == ThemeKind::SportFitness
            ? id(m_presentations, m_raw_presentations, "")
            : id(m_presentations, m_raw_presentations, row.pres_name());
    }
    int element(int presentation, const StyleRow& row)
    {
        const auto field = static_cast<std::uint64_t>(id(m_fields, m_raw_fields, row.field_name()));
        const auto key = static_cast<std::uint64_t>(presentation) << 32 | field;
        return m_elements.try_emplace(key, static_cast<int>(m_elements.size())).first->second;
    }
    int presentations() const { return static_cast<int>(m_presentations.size()); }
    int elements() const { return static_cast<int>(m_elements.size()); }

private:
    using Ids = std::unordered_map<std::string, int>;
    using RawIds = std::unordered_map<std::string_view, int>;

    static int id(Ids& ids, RawIds& raw_ids, std::string_view raw)
    {
        if (const auto it = raw_ids.find(raw); it != raw_ids.end()) {
            return it->second;
        }
        const int found =
            ids.try_emplace(name_key(raw), static_cast<int>(ids.size())).first->second;
        raw_ids.emplace(raw, found);
        return found;
    }

    Ids m_presentations;
    Ids m_fields;
    RawIds m_raw_presentations;
    RawIds m_raw_fields;
    std::unordered_map<std::uint64_t, int> m_elements;
};

struct RowKeys
{
    std::vector<int> presentation;
    std::vector<int> element;
};

// The views the keys keep point into the document's rows, which outlive the comparison.
RowKeys row_keys(const Document& doc, Keys& keys)
{
    RowKeys row_keys;
    row_keys.presentation.reserve(doc.rows.size());
    row_keys.element.reserve(doc.rows.size());
    for (const StyleRow& row : doc.rows) {
        const int presentation = keys.presentation(doc, row);
        row_keys.presentation.push_back(presentation);
        row_keys.element.push_back(keys.element(presentation, row));
    }
    return row_keys;
}

const char* kind_name(ThemeKind kind)
{
    return kind == ThemeKind::CarZumo ? "Car & Zumo" : "Sport & Fitness";
}

bool fits(const Document& doc, int row, const RowChange& change)
{
    if (!doc.valid_row(row)) {
        return false;
    }
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    return presentation_key(doc, r) == name_key(change.pres_name)
        && name_key(r.field_name()) == name_key(change.field_name);
}

bool has_presentation(const Document& doc, const std::string& key, int except_row)
{
    for (int i = 0; i < doc.row_count(); ++i) {
        if (i != except_row
            && presentation_key(doc, doc.rows[static_cast<std::size_t>(i)]) == key) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> listed_presentations(const Document& doc)
{
    const auto listed = std::min<std::size_t>(doc.pres_names.size(), std::max(0, doc.pres_count));
    return { doc.pres_names.begin(), doc.pres_names.begin() + static_cast<std::ptrdiff_t>(listed) };
}

std::vector<MetadataChange> metadata_changes(const Document& a, const Document& b)
{
    std::vector<MetadataChange> changes;
    constexpr MetadataField fields[] = { MetadataField::Title, MetadataField::Description,
        MetadataField::Locale, MetadataField::Version };
    for (const MetadataField field : fields) {
        const std::string& from = metadata_value(a.metadata, field);
        const std::string& to = metadata_value(b.metadata, field);
        if (from != to) {
            changes.push_back({ field, from, to });
        }
    }
    return changes;
}

// The rows of A and B paired by presentation and element: the n-th row of an element in A is
// matched with its n-th row in B.
struct RowMatch
{
    RowMatch(const Document& a, const Document& b)
        : keys_a(row_keys(a, keys))
        , keys_b(row_keys(b, keys))
        , rows_b(static_cast<std::size_t>(keys.elements()))
        , occurrence_of_b(b.rows.size())
        , rows_in_a(static_cast<std::size_t>(keys.elements()), 0)
        , occurrence_of_a(a.rows.size())
        , match_of_a(a.rows.size(), -1)
        , match_of_b(b.rows.size(), -1)
    {
        for (std::size_t j = 0; j < b.rows.size(); ++j) {
            auto& rows = rows_b[static_cast<std::size_t>(keys_b.element[j])];
            occurrence_of_b[j] = static_cast<int>(rows.size());
            rows.push_back(static_cast<int>(j));
        }
        for (std::size_t i = 0; i < a.rows.size(); ++i) {
            occurrence_of_a[i] = rows_in_a[static_cast<std::size_t>(keys_a.element[i])]++;
        }
        for (std::size_t i = 0; i < a.rows.size(); ++i) {
            const auto n = static_cast<std::size_t>(occurrence_of_a[i]);
            const std::vector<int>& in_b = rows_b[static_cast<std::size_t>(keys_a.element[i])];
            if (n < in_b.size()) {
                match_of_a[i] = in_b[n];
                match_of_b[static_cast<std::size_t>(in_b[n])] = static_cast<int>(i);
            }
        }
    }

    bool repeated(int element) const
    {
        const auto e = static_cast<std::size_t>(element);
        return rows_in_a[e] > 1 || rows_b[e].size() > 1;
    }

    Keys keys;
    RowKeys keys_a;
    RowKeys keys_b;
    // The rows of each element in B in order, and which of its element's rows each row is.
    std::vector<std::vector<int>> rows_b;
    std::vector<int> occurrence_of_b;
    std::vector<int> rows_in_a;
    std::vector<int> occurrence_of_a;
    std::vector<int> match_of_a;
    std::vector<int> match_of_b;
};

// A row only in B stands after the A row matched to the B row before it in its presentation
// (row, 1), or before the first A row of its presentation (row, -1), or at the end; a row of A
// stands at (row, 0). Rows of B keep B's order among themselves.
using Place = std::tuple<int, int, int>;

// The rows only in B, each at its place among A's rows, in order.
std::vector<std::pair<Place, RowChange>> rows_only_in_b(
    const Document& a, const Document& b, const RowMatch& match)
{
    const auto presentations = static_cast<std::size_t>(match.keys.presentations());
    std::vector<int> first_in_a(presentations, -1);
    for (std::size_t i = a.rows.size(); i-- > 0;) {
        first_in_a[static_cast<std::size_t>(match.keys_a.presentation[i])] = static_cast<int>(i);
    }
    std::vector<int> last_matched(presentations, -1);
    std::vector<std::pair<Place, RowChange>> only_in_b;
    for (std::size_t j = 0; j < b.rows.size(); ++j) {
        const auto pres = static_cast<std::size_t>(match.keys_b.presentation[j]);
        if (match.match_of_b[j] >= 0) {
            last_matched[pres] = match.match_of_b[j];
            continue;
        }
        const StyleRow& row_b = b.rows[j];
        RowChange change;
        change.kind = RowChangeKind::OnlyInB;
        change.row_b = static_cast<int>(j);
        change.pres_name = b.kind == ThemeKind::SportFitness ? "" : row_b.pres_name();
        change.field_name = row_b.field_name();
        change.occurrence = match.occurrence_of_b[j];
        change.repeated = match.repeated(match.keys_b.element[j]);
        const int row = static_cast<int>(j);
        Place place { a.row_count(), 1, row };
        change.insert_at = a.row_count();
        if (last_matched[pres] >= 0) {
            place = { last_matched[pres], 1, row };
            change.insert_at = last_matched[pres] + 1;
        } else if (first_in_a[pres] >= 0) {
            place = { first_in_a[pres], -1, row };
            change.insert_at = first_in_a[pres];
        }
        only_in_b.emplace_back(place, std::move(change));
    }
    std::sort(only_in_b.begin(), only_in_b.end(),
        [](const auto& x, const auto& y) { return x.first < y.first; });
    return only_in_b;
}

} // namespace

bool holds_no_colour(std::string_view cell)
{
    const std::string_view trimmed = text::trim_view(cell);
    return trimmed.empty() || trimmed == "-1";
}

ThemeComparison compare_themes(const Document& a, const Document& b)
{
    ThemeComparison result;
    if (a.kind != b.kind) {
        result.error = std::string("A ") + kind_name(a.kind) + " theme cannot be compared with a "
            + kind_name(b.kind) + " theme.";
        return result;
    }
    result.metadata = metadata_changes(a, b);
    RowMatch match(a, b);
    std::vector<std::pair<Place, RowChange>> only_in_b = rows_only_in_b(a, b, match);

    // A's rows in order, each against its match in B, which mostly stands near it: both tables
    // are walked about in order, which matters on large themes.
    // Room for every row at once, untouched until used, so that no change is moved while the
    // list grows; what is not used is given back at the end.
    result.rows.reserve(a.rows.size() + only_in_b.size());
    auto next_b = only_in_b.begin();
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        const int row = static_cast<int>(i);
        for (; next_b != only_in_b.end() && next_b->first < Place { row, 0, 0 }; ++next_b) {
            result.rows.push_back(std::move(next_b->second));
        }
        const StyleRow& row_a = a.rows[i];
        RowChange change;
        if (const int j = match.match_of_a[i]; j >= 0) {
            change.values = row_differences(a.kind, row_a, b.rows[static_cast<std::size_t>(j)]);
            if (change.values.empty()) {
                continue;
            }
            change.kind = RowChangeKind::Changed;
            change.row_b = j;
        } else {
            change.kind = RowChangeKind::OnlyInA;
        }
        change.row_a = row;
        change.pres_name = a.kind == ThemeKind::SportFitness ? "" : row_a.pres_name();
        change.field_name = row_a.field_name();
        change.occurrence = match.occurrence_of_a[i];
        change.repeated = match.repeated(match.keys_a.element[i]);
        result.rows.push_back(std::move(change));
    }
    for (; next_b != only_in_b.end(); ++next_b) {
        result.rows.push_back(std::move(next_b->second));
    }
    result.rows.shrink_to_fit();
    result.matches = std::move(match.match_of_a);
    return result;
}

const std::string& metadata_value(const ThemeMetadata& metadata, MetadataField field)
{
    switch (field) {
    case MetadataField::Title:
        return metadata.title;
    case MetadataField::Description:
        return metadata.description;
    case MetadataField::Locale:
        return metadata.locale;
    case MetadataField::Version:
        break;
    }
    return metadata.version;
}

std::string& metadata_value(ThemeMetadata& metadata, MetadataField field)
{
    return const_cast<std::string&>(
        metadata_value(static_cast<const ThemeMetadata&>(metadata), field));
}

std::optional<DocumentEdit> take_change(
    const Document& a, const Document& b, const RowChange& change)
{
    if (a.kind != b.kind) {
        return std::nullopt;
    }
    DocumentEdit edit;
    const auto with_presentations = [&](std::vector<std::string> names) {
        const auto count = static_cast<int>(names.size());
        edit.set_presentations(presentation_list(a), { std::move(names), count });
    };
    switch (change.kind) {
    case RowChangeKind::Changed: {
        if (!fits(a, change.row_a, change) || !fits(b, change.row_b, change)) {
            return std::nullopt;
        }
        const StyleRow& row_a = a.rows[static_cast<std::size_t>(change.row_a)];
        StyleRow taken = b.rows[static_cast<std::size_t>(change.row_b)];
        taken.set_pres_name(row_a.pres_name());
        edit.replace_row(change.row_a, row_a, taken);
        return edit;
    }
    case RowChangeKind::OnlyInB: {
        if (!fits(b, change.row_b, change) || change.insert_at < 0
            || change.insert_at > a.row_count()) {
            return std::nullopt;
        }
        const StyleRow& taken = b.rows[static_cast<std::size_t>(change.row_b)];
        std::vector<int> order(a.rows.size() + 1);
        for (int i = 0; i < static_cast<int>(order.size()); ++i) {
            order[static_cast<std::size_t>(i)] = i < change.insert_at ? i
                : i == change.insert_at                               ? -1
                                                                      : i - 1;
        }
        edit.reorder(a.rows, order, { taken });
        const std::string pres = presentation_key(b, taken);
        if (a.kind == ThemeKind::CarZumo && !has_presentation(a, pres, -1)) {
            std::vector<std::string> names = listed_presentations(a);
            names.push_back(text::trim(taken.pres_name()));
            with_presentations(std::move(names));
        }
        return edit;
    }
    case RowChangeKind::OnlyInA:
        break;
    }
    if (!fits(a, change.row_a, change) || a.row_count() < 2) {
        return std::nullopt;
    }
    std::vector<int> order;
    order.reserve(a.rows.size() - 1);
    for (int i = 0; i < a.row_count(); ++i) {
        if (i != change.row_a) {
            order.push_back(i);
        }
    }
    edit.reorder(a.rows, order, {});
    const std::string pres = presentation_key(a, a.rows[static_cast<std::size_t>(change.row_a)]);
    if (a.kind == ThemeKind::CarZumo && !has_presentation(a, pres, change.row_a)) {
        std::vector<std::string> names = listed_presentations(a);
        std::erase_if(names, [&](const std::string& name) { return name_key(name) == pres; });
        with_presentations(std::move(names));
    }
    return edit;
}

std::optional<DocumentEdit> take_change(const Document& a, const MetadataChange& change)
{
    if (metadata_value(a.metadata, change.field) != change.from) {
        return std::nullopt;
    }
    ThemeMetadata taken = a.metadata;
    metadata_value(taken, change.field) = change.to;
    return metadata_edit(a, taken);
}

std::string take_change_description(const RowChange& change)
{
    const std::string pres = text::trim(change.pres_name);
    return "Take change " + (pres.empty() ? "" : pres + " ") + text::trim(change.field_name);
}

std::string take_change_description(const MetadataChange& change)
{
    constexpr const char* names[] = { "Title", "Description", "Locale", "Version" };
    return std::string("Take change ") + names[static_cast<int>(change.field)];
}

} // namespace tintwell
