#include "analysis/theme_compare.h"

#include "analysis/colours_in_use.h"
#include "analysis/id_table.h"
#include "colour/colour_science.h"
#include "model/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <tuple>
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

// Names as rows are matched by them (name_key), kept as views of the first spelling met without
// the blanks around: the views point into the documents' rows, which outlive the comparison.
struct NameTraits
{
    static std::size_t hash(std::string_view name)
    {
        std::uint64_t h = 0xCBF29CE484222325ULL;
        for (const char c : name) {
            h = (h ^ static_cast<unsigned char>(lower_char(c))) * 0x100000001B3ULL;
        }
        return mixed(h);
    }
    static bool equal(std::string_view a, std::string_view b) { return equal_without_case(a, b); }
};

// Numbers the presentations and elements of both themes, so rows are matched by small integers.
class Keys
{
public:
    int presentation(const Document& doc, const StyleRow& row)
    {
        return m_presentations.id(
            doc.kind == ThemeKind::SportFitness ? std::string_view() : trimmed(row.pres_name()));
    }
    int element(int presentation, const StyleRow& row)
    {
        const auto field = static_cast<std::uint64_t>(m_fields.id(trimmed(row.field_name())));
        const int element = m_elements.id(static_cast<std::uint64_t>(presentation) << 32 | field);
        if (element == static_cast<int>(m_presentation_of_element.size())) {
            m_presentation_of_element.push_back(presentation);
        }
        return element;
    }
    int presentations() const { return m_presentations.size(); }
    int elements() const { return m_elements.size(); }
    int presentation_of(int element) const
    {
        return m_presentation_of_element[static_cast<std::size_t>(element)];
    }

private:
    static std::string_view trimmed(std::string_view name)
    {
        while (!name.empty() && blank(name.front())) {
            name.remove_prefix(1);
        }
        while (!name.empty() && blank(name.back())) {
            name.remove_suffix(1);
        }
        return name;
    }

    IdTable<std::string_view, NameTraits> m_presentations;
    IdTable<std::string_view, NameTraits> m_fields;
    IdTable<std::uint64_t, WordTraits> m_elements;
    std::vector<int> m_presentation_of_element;
};

// The element of each row. The views the keys keep point into the document's rows, which outlive
// the comparison.
std::vector<int> row_elements(const Document& doc, Keys& keys)
{
    std::vector<int> elements;
    elements.reserve(doc.rows.size());
    for (const StyleRow& row : doc.rows) {
        elements.push_back(keys.element(keys.presentation(doc, row), row));
    }
    return elements;
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

// The rows of A and B paired by presentation and element: the n-th row of an element in A is
// matched with its n-th row in B. Three numbers a row of each theme: on themes of tiny styles these
// are a good part of the memory a comparison takes.
struct RowMatch
{
    RowMatch(const Document& a, const Document& b)
        : elements_a(row_elements(a, keys))
        , elements_b(row_elements(b, keys))
        , start_in_b(static_cast<std::size_t>(keys.elements()) + 1, 0)
        , occurrence_of_b(b.rows.size())
        , rows_in_a(static_cast<std::size_t>(keys.elements()), 0)
        , occurrence_of_a(a.rows.size())
        , match_of_a(a.rows.size(), -1)
        , match_of_b(b.rows.size(), -1)
    {
        // B's rows grouped by element in one list, as a counting sort places them.
        std::vector<int> rows_b(b.rows.size());
        for (std::size_t j = 0; j < b.rows.size(); ++j) {
            const auto e = static_cast<std::size_t>(elements_b[j]);
            occurrence_of_b[j] = start_in_b[e + 1]++;
        }
        for (std::size_t e = 1; e < start_in_b.size(); ++e) {
            start_in_b[e] += start_in_b[e - 1];
        }
        for (std::size_t j = 0; j < b.rows.size(); ++j) {
            const auto e = static_cast<std::size_t>(elements_b[j]);
            rows_b[static_cast<std::size_t>(start_in_b[e] + occurrence_of_b[j])] =
                static_cast<int>(j);
        }
        for (std::size_t i = 0; i < a.rows.size(); ++i) {
            occurrence_of_a[i] = rows_in_a[static_cast<std::size_t>(elements_a[i])]++;
        }
        for (std::size_t i = 0; i < a.rows.size(); ++i) {
            const auto e = static_cast<std::size_t>(elements_a[i]);
            if (occurrence_of_a[i] < rows_in_b(e)) {
                const int j = rows_b[static_cast<std::size_t>(start_in_b[e] + occurrence_of_a[i])];
                match_of_a[i] = j;
                match_of_b[static_cast<std::size_t>(j)] = static_cast<int>(i);
            }
        }
    }

    int rows_in_b(std::size_t element) const
    {
        return start_in_b[element + 1] - start_in_b[element];
    }

    bool repeated(int element) const
    {
        const auto e = static_cast<std::size_t>(element);
        return rows_in_a[e] > 1 || rows_in_b(e) > 1;
    }

    Keys keys;
    std::vector<int> elements_a;
    std::vector<int> elements_b;
    // Where the rows of each element begin among B's rows grouped by element, and which of its
    // element's rows each row of B is.
    std::vector<int> start_in_b;
    std::vector<int> occurrence_of_b;
    std::vector<int> rows_in_a;
    std::vector<int> occurrence_of_a;
    std::vector<int> match_of_a;
    std::vector<int> match_of_b;
};

// A row only in B stands after the A row matched to the B row before it in its presentation
// (anchor, 1), or before the first A row of its presentation (anchor, -1), or at the end; a row
// of A stands at (row, 0). Rows of B keep B's order among themselves.
struct OnlyInB
{
    int anchor;
    int side;
    int row_b;
    int insert_at;

    auto place() const { return std::tuple(anchor, side, row_b); }
};

// The rows only in B, each at its place among A's rows, in order.
std::vector<OnlyInB> rows_only_in_b(const Document& a, const Document& b, RowMatch& match)
{
    const auto presentations = static_cast<std::size_t>(match.keys.presentations());
    std::vector<int> first_in_a(presentations, -1);
    for (std::size_t i = a.rows.size(); i-- > 0;) {
        first_in_a[static_cast<std::size_t>(match.keys.presentation_of(match.elements_a[i]))] =
            static_cast<int>(i);
    }
    std::vector<int> last_matched(presentations, -1);
    std::vector<OnlyInB> only_in_b;
    only_in_b.reserve(
        static_cast<std::size_t>(std::count(match.match_of_b.begin(), match.match_of_b.end(), -1)));
    for (std::size_t j = 0; j < b.rows.size(); ++j) {
        const auto pres = static_cast<std::size_t>(match.keys.presentation_of(match.elements_b[j]));
        if (match.match_of_b[j] >= 0) {
            last_matched[pres] = match.match_of_b[j];
            continue;
        }
        const int row = static_cast<int>(j);
        if (last_matched[pres] >= 0) {
            only_in_b.push_back({ last_matched[pres], 1, row, last_matched[pres] + 1 });
        } else if (first_in_a[pres] >= 0) {
            only_in_b.push_back({ first_in_a[pres], -1, row, first_in_a[pres] });
        } else {
            only_in_b.push_back({ a.row_count(), 1, row, a.row_count() });
        }
    }
    std::sort(only_in_b.begin(), only_in_b.end(),
        [](const OnlyInB& x, const OnlyInB& y) { return x.place() < y.place(); });
    // Nothing looks at B's matches after this; their room goes back before the walk.
    match.match_of_b = std::vector<int>();
    return only_in_b;
}

// Sets what a change says of its row, reusing the texts' room.
void describe_row(
    RowChange& change, const Document& doc, const StyleRow& row, int occurrence, bool repeated)
{
    if (doc.kind == ThemeKind::SportFitness) {
        change.pres_name.clear();
    } else {
        change.pres_name.assign(row.pres_name());
    }
    change.field_name.assign(row.field_name());
    change.occurrence = occurrence;
    change.repeated = repeated;
}

} // namespace

struct RowChangeWalk::State
{
    State(const Document& a, const Document& b)
        : a(a)
        , b(b)
        , match(a, b)
        , only_in_b(rows_only_in_b(a, b, match))
    {
    }

    bool walk(const std::function<bool(RowChange&)>& visit) const;

    const Document& a;
    const Document& b;
    RowMatch match;
    std::vector<OnlyInB> only_in_b;
};

// One change is filled in again for each row, every member anew, so nothing grows with the number
// of changes and a visitor may move from it.
bool RowChangeWalk::State::walk(const std::function<bool(RowChange&)>& visit) const
{
    RowChange change;
    const auto visit_only_in_b = [&](const OnlyInB& only) {
        const auto j = static_cast<std::size_t>(only.row_b);
        change.kind = RowChangeKind::OnlyInB;
        change.row_a = -1;
        change.row_b = only.row_b;
        change.insert_at = only.insert_at;
        describe_row(
            change, b, b.rows[j], match.occurrence_of_b[j], match.repeated(match.elements_b[j]));
        change.values.clear();
        return visit(change);
    };

    // A's rows in order, each against its match in B, which mostly stands near it: both tables
    // are walked about in order, which matters on large themes.
    auto next_b = only_in_b.begin();
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        const int row = static_cast<int>(i);
        for (; next_b != only_in_b.end() && next_b->place() < std::tuple(row, 0, 0); ++next_b) {
            if (!visit_only_in_b(*next_b)) {
                return false;
            }
        }
        const StyleRow& row_a = a.rows[i];
        if (const int j = match.match_of_a[i]; j >= 0) {
            change.values = row_differences(a.kind, row_a, b.rows[static_cast<std::size_t>(j)]);
            if (change.values.empty()) {
                continue;
            }
            change.kind = RowChangeKind::Changed;
            change.row_b = j;
        } else {
            change.kind = RowChangeKind::OnlyInA;
            change.row_b = -1;
            change.values.clear();
        }
        change.row_a = row;
        change.insert_at = -1;
        describe_row(
            change, a, row_a, match.occurrence_of_a[i], match.repeated(match.elements_a[i]));
        if (!visit(change)) {
            return false;
        }
    }
    for (; next_b != only_in_b.end(); ++next_b) {
        if (!visit_only_in_b(*next_b)) {
            return false;
        }
    }
    return true;
}

RowChangeWalk::RowChangeWalk(const Document& a, const Document& b)
{
    if (a.kind == b.kind) {
        m_state = std::make_unique<State>(a, b);
    }
}

RowChangeWalk::~RowChangeWalk() = default;

bool RowChangeWalk::any() const
{
    return m_state && !m_state->walk([](const RowChange&) { return false; });
}

void RowChangeWalk::visit(const std::function<bool(const RowChange&)>& visit) const
{
    if (m_state) {
        m_state->walk([&](RowChange& change) { return visit(change); });
    }
}

std::vector<int> RowChangeWalk::matches() const
{
    return m_state ? m_state->match.match_of_a : std::vector<int>();
}

bool holds_no_colour(std::string_view cell)
{
    const std::string_view trimmed = text::trim_view(cell);
    return trimmed.empty() || trimmed == "-1";
}

std::string comparison_error(const Document& a, const Document& b)
{
    if (a.kind == b.kind) {
        return {};
    }
    return std::string("A ") + kind_name(a.kind) + " theme cannot be compared with a "
        + kind_name(b.kind) + " theme.";
}

std::vector<MetadataChange> compare_metadata(const Document& a, const Document& b)
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

ThemeComparison compare_themes(const Document& a, const Document& b)
{
    ThemeComparison result;
    result.error = comparison_error(a, b);
    if (!result.error.empty()) {
        return result;
    }
    result.metadata = compare_metadata(a, b);
    const RowChangeWalk walk(a, b);
    // Room for every row at once, untouched until used, so that no change is moved while the
    // list grows; what is not used is given back at the end.
    result.rows.reserve(a.rows.size() + walk.m_state->only_in_b.size());
    walk.m_state->walk([&](RowChange& change) {
        result.rows.push_back(std::move(change));
        return true;
    });
    result.rows.shrink_to_fit();
    result.matches = std::move(walk.m_state->match.match_of_a);
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
