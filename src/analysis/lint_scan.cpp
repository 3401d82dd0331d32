#include "analysis/lint_scan.h"

#include "model/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace tintwell {

namespace {

// What each byte is to the scan, looked up instead of compared: the scan visits every byte of
// every tag it reads.
enum CharClass : std::uint8_t { Blank = 1, Hex = 2, NameChar = 4 };

constexpr std::array<std::uint8_t, 256> char_classes = [] {
    std::array<std::uint8_t, 256> classes {};
    for (const char c : { ' ', '\t', '\r', '\n' }) {
        classes[static_cast<unsigned char>(c)] |= Blank;
    }
    for (int c = 0; c < 256; ++c) {
        const bool digit = c >= '0' && c <= '9';
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        if (digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
            classes[static_cast<std::size_t>(c)] |= Hex;
        }
        if (digit || upper || lower || c == '_' || c == '-' || c == ':') {
            classes[static_cast<std::size_t>(c)] |= NameChar;
        }
    }
    return classes;
}();

bool is_blank(char c)
{
    return (char_classes[static_cast<unsigned char>(c)] & Blank) != 0;
}

bool is_name_char(char c)
{
    return (char_classes[static_cast<unsigned char>(c)] & NameChar) != 0;
}

bool is_hex(char c)
{
    return (char_classes[static_cast<unsigned char>(c)] & Hex) != 0;
}

// Case-insensitive comparison with an upper-case name.
bool name_is(std::string_view name, std::string_view upper_name)
{
    if (name.size() != upper_name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
        if (c != upper_name[i]) {
            return false;
        }
    }
    return true;
}

std::string_view trim_blanks(std::string_view s)
{
    while (!s.empty() && is_blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && is_blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Line numbers of positions visited front to back: each call counts only the bytes since the
// last one.
class LineCounter
{
public:
    explicit LineCounter(std::string_view bytes)
        : m_bytes(bytes)
        , m_break(bytes.find('\n') == std::string_view::npos ? '\r' : '\n')
    {
    }
    int line_at(std::size_t pos)
    {
        pos = std::min(pos, m_bytes.size());
        if (pos > m_counted) {
            m_line += static_cast<int>(
                text::count_byte(m_bytes.substr(m_counted, pos - m_counted), m_break));
            m_counted = pos;
        }
        return m_line;
    }

private:
    std::string_view m_bytes;
    char m_break;
    std::size_t m_counted = 0;
    int m_line = 1;
};

struct Attribute
{
    std::string_view name;
    std::string_view value;
    std::size_t value_pos = 0;
};

// The attributes of a tag's text after its name: name, optional blanks, "=", optional blanks and
// a value in double quotes or up to the next blank or "/".
template <typename Visit> void for_each_attribute(std::string_view tag, std::size_t at, Visit visit)
{
    std::size_t i = 0;
    const std::size_t n = tag.size();
    while (i < n) {
        while (i < n && (is_blank(tag[i]) || tag[i] == '/')) {
            ++i;
        }
        const std::size_t name_start = i;
        while (i < n && !is_blank(tag[i]) && tag[i] != '=' && tag[i] != '/') {
            ++i;
        }
        // A name without a value is found where the name stands.
        Attribute attribute { tag.substr(name_start, i - name_start), {}, at + name_start };
        while (i < n && is_blank(tag[i])) {
            ++i;
        }
        if (i < n && tag[i] == '=') {
            ++i;
            while (i < n && is_blank(tag[i])) {
                ++i;
            }
            std::size_t value_start = i;
            std::size_t value_end;
            if (i < n && tag[i] == '"') {
                value_start = ++i;
                value_end = std::min(tag.find('"', i), n);
                i = value_end < n ? value_end + 1 : n;
            } else {
                while (i < n && !is_blank(tag[i]) && tag[i] != '/') {
                    ++i;
                }
                value_end = i;
            }
            attribute.value = tag.substr(value_start, value_end - value_start);
            attribute.value_pos = at + value_start;
        }
        if (!attribute.name.empty()) {
            visit(attribute);
        } else if (i < n) {
            ++i;
        }
    }
}

// True when a colour tag's text after its name holds only attributes written as a double quote,
// "#", `digits` hexadecimal digits and a double quote, with blanks around "=" and between them
// and "/" between or after them: colours that are all as they should be, told apart from the
// rest without reading each attribute on its own.
bool plain_colours(std::string_view tag, std::size_t digits)
{
    const std::size_t n = tag.size();
    std::size_t i = 0;
    const auto skip_blanks = [&] {
        while (i < n && is_blank(tag[i])) {
            ++i;
        }
    };
    for (;;) {
        skip_blanks();
        if (i == n) {
            return true;
        }
        if (tag[i] == '/') {
            ++i;
            continue;
        }
        const std::size_t name = i;
        while (i < n && is_name_char(tag[i])) {
            ++i;
        }
        if (i == name) {
            return false;
        }
        skip_blanks();
        if (i == n || tag[i] != '=') {
            return false;
        }
        ++i;
        skip_blanks();
        if (n - i < digits + 3 || tag[i] != '"' || tag[i + 1] != '#'
            || tag[i + 2 + digits] != '"') {
            return false;
        }
        for (std::size_t k = i + 2; k < i + 2 + digits; ++k) {
            if (!is_hex(tag[k])) {
                return false;
            }
        }
        i += digits + 3;
    }
}

class Scanner
{
public:
    Scanner(std::string_view bytes, ThemeKind kind, ScanScope scope)
        : m_bytes(bytes)
        , m_kind(kind)
        , m_everything(scope == ScanScope::Everything)
        , m_lines(bytes)
    {
    }

    StructureScan run()
    {
        const std::size_t n = m_bytes.size();
        std::size_t i = 0;
        while ((i = m_bytes.find('<', i)) != std::string_view::npos) {
            std::size_t name_start = i + 1;
            const bool closing = name_start < n && m_bytes[name_start] == '/';
            if (closing) {
                ++name_start;
            }
            std::size_t name_end = name_start;
            while (name_end < n && is_name_char(m_bytes[name_end])) {
                ++name_end;
            }
            const std::string_view name = m_bytes.substr(name_start, name_end - name_start);
            if (m_metadata != Metadata::After) {
                metadata_tag(name, closing, i);
            }
            if (closing) {
                close_tag(name);
                i = name_end;
                continue;
            }
            const Tag tag = tag_of(name);
            if (tag == Tag::Other) {
                i = name_end;
                continue;
            }
            // A tag ends at its ">", or where the next one begins when it has none.
            const std::size_t tag_end = std::min(n, text::find_either(m_bytes, '>', '<', name_end));
            open_tag(tag, m_bytes.substr(name_end, tag_end - name_end), name_end, i);
            i = tag_end;
        }
        if (m_metadata == Metadata::Inside) {
            end_metadata(true);
        }
        // A file cut off inside a style names that style: it is the one saving loses.
        const std::string_view cut_style = m_style_open ? style_element() : std::string_view {};
        if (m_style_open && m_everything) {
            end_style(true);
        }
        if (!m_root_closed) {
            m_presentation = {};
            add(m_rules.cut_off, m_lines.line_at(n == 0 ? 0 : n - 1), cut_style,
                m_kind == ThemeKind::CarZumo ? "</GARMIN_MAP_THEME>" : "</garmin_map_theme>");
        }
        const auto rules = lint_rules();
        for (std::size_t r = 0; r < m_found.size(); ++r) {
            if (m_found[r] > findings_per_rule) {
                m_scan.more.emplace_back(&rules[r], m_found[r] - findings_per_rule);
            }
        }
        return std::move(m_scan);
    }

private:
    // Counts the issue of the rule; true while the rule has no more than it keeps.
    bool keep(const LintRule& rule)
    {
        const auto r = static_cast<std::size_t>(&rule - lint_rules().data());
        return ++m_found[r] <= findings_per_rule;
    }

    bool add(const LintRule& rule, int line, std::string_view element, std::string_view detail,
        int style = -1)
    {
        if (!keep(rule)) {
            return false;
        }
        m_scan.issues.push_back({ &rule, line, style, 0, m_presentation, element, detail });
        return true;
    }

    // A fault of the whole style, found at its end, goes before those found inside it, so the
    // issues stay in line order.
    void add_before_style_contents(const LintRule& rule, std::string_view detail)
    {
        if (!keep(rule)) {
            return;
        }
        const auto at = m_scan.issues.begin() + static_cast<std::ptrdiff_t>(m_style_contents);
        m_scan.issues.insert(
            at, { &rule, m_style_line, m_style_row, 0, m_presentation, style_element(), detail });
        ++m_style_contents;
    }

    void close_tag(std::string_view name)
    {
        if (!m_everything) {
            // A style ends where the whole scan ends it, for the element a colour names.
            const bool root = name_is(name, "GARMIN_MAP_THEME");
            m_root_closed = m_root_closed || root;
            if (root || name_is(name, "STYLE") || name_is(name, "STYLELIST")
                || name_is(name, "PRESENTATION")) {
                m_style_open = false;
            }
            return;
        }
        if (name_is(name, "STYLE")) {
            if (m_style_open) {
                end_style(false);
            }
            return;
        }
        const bool root = name_is(name, "GARMIN_MAP_THEME");
        if (root || name_is(name, "STYLELIST") || name_is(name, "PRESENTATION")) {
            if (m_style_open) {
                end_style(true);
            }
            m_root_closed = m_root_closed || root;
        }
    }

    static bool is_metadata_element(std::string_view name)
    {
        for (const std::string_view element :
            { "TITLE", "DESCRIPTION", "LOCALELIST", "LOCALE", "VERSION", "MAJOR", "MINOR" }) {
            if (name_is(name, element)) {
                return true;
            }
        }
        return false;
    }

    // The metadata's elements each need their closing tag before the metadata ends: reading
    // takes a value up to its closing tag, or without one up to where the metadata ends, and
    // saving writes back only what was read.
    void metadata_tag(std::string_view name, bool closing, std::size_t at)
    {
        if (m_metadata == Metadata::Before) {
            if (!closing && name_is(name, "METADATA")) {
                m_metadata = Metadata::Inside;
                m_metadata_open.push_back({ name, m_lines.line_at(at) });
            }
            return;
        }
        if (name_is(name, "METADATA")) {
            if (closing) {
                end_metadata(false);
            }
            return;
        }
        if (name_is(name, "PRESENTATION") || name_is(name, "STYLE") || name_is(name, "STYLELIST")) {
            end_metadata(true);
            return;
        }
        if (!is_metadata_element(name)) {
            return;
        }
        if (!closing) {
            m_metadata_open.push_back({ name, m_lines.line_at(at) });
            return;
        }
        for (auto open = m_metadata_open.rbegin(); open != m_metadata_open.rend(); ++open) {
            if (name_is(open->name, text::upper(std::string(name)))) {
                m_metadata_open.erase(std::next(open).base());
                return;
            }
        }
    }

    void end_metadata(bool cut)
    {
        m_metadata = Metadata::After;
        if (!cut && !m_metadata_open.empty() && name_is(m_metadata_open.front().name, "METADATA")) {
            m_metadata_open.erase(m_metadata_open.begin());
        }
        for (const auto& open : m_metadata_open) {
            add(m_rules.unclosed_metadata, open.line, {},
                m_scan.names.emplace_back("<" + std::string(open.name) + ">"));
        }
        m_metadata_open.clear();
    }

    // The tags whose attributes the scan reads.
    enum class Tag { Other, Style, Primary, Secondary, Presentation };
    static Tag tag_of(std::string_view name)
    {
        switch (name.size()) {
        case 5:
            return name_is(name, "STYLE") ? Tag::Style : Tag::Other;
        case 7:
            return name_is(name, "PRIMARY") ? Tag::Primary : Tag::Other;
        case 9:
            return name_is(name, "SECONDARY") ? Tag::Secondary : Tag::Other;
        case 12:
            return name_is(name, "PRESENTATION") ? Tag::Presentation : Tag::Other;
        default:
            return Tag::Other;
        }
    }

    void open_tag(Tag tag, std::string_view rest, std::size_t rest_at, std::size_t at)
    {
        if (!m_everything) {
            // Only a colour's finding names its style, and colour findings are rare: the style's
            // element is looked up when one is found.
            if (tag == Tag::Style) {
                m_style_open = true;
                m_style_element = nullptr;
                m_style_tag = rest;
            } else if (tag == Tag::Primary || tag == Tag::Secondary) {
                read_colours(rest, rest_at, tag == Tag::Secondary);
            } else if (tag == Tag::Presentation) {
                m_style_open = false;
            }
            return;
        }
        if (tag == Tag::Style) {
            open_style(rest, rest_at, at);
        } else if (tag == Tag::Primary || tag == Tag::Secondary) {
            read_colours(rest, rest_at, tag == Tag::Secondary);
        } else if (tag == Tag::Presentation) {
            if (m_style_open) {
                end_style(true);
            }
            open_presentation(rest, at);
        }
    }

    void open_presentation(std::string_view rest, std::size_t at)
    {
        m_in_presentation = true;
        std::string id;
        for_each_attribute(rest, 0, [&](const Attribute& a) {
            if (name_is(a.name, "ID")) {
                // Cut as the reader cuts it: every issue of the presentation names it.
                id = text::upper(text::trim_view(a.value).substr(0, longest_pres_name));
            }
        });
        auto known = m_first_lines.find(id);
        if (known == m_first_lines.end()) {
            known =
                m_first_lines.emplace(m_scan.names.emplace_back(std::move(id)), std::vector<int>())
                    .first;
        }
        m_presentation = known->first;
        m_presentation_first_lines = &known->second;
        if (m_kind == ThemeKind::CarZumo && !known_presentation(m_presentation)) {
            add(m_rules.unknown_presentation, m_lines.line_at(at), m_presentation, {});
        }
    }

    void open_style(std::string_view rest, std::size_t rest_at, std::size_t at)
    {
        if (m_style_open) {
            end_style(true);
        }
        m_style_open = true;
        m_style_line = m_lines.line_at(at);
        m_style_element = nullptr;
        m_style_border = {};
        m_style_secondary = false;
        bool has_field = false;
        for_each_attribute(rest, rest_at, [&](const Attribute& a) {
            if (name_is(a.name, "FIELD")) {
                has_field = true;
                m_style_element = &element_of(a.value);
            } else if (name_is(a.name, "BORDER")) {
                m_style_border = trim_blanks(a.value);
            }
        });
        // Which styles become rows, as the reader decides it: in Car & Zumo every style after
        // the first presentation, in Sport & Fitness every "<style " with a blank after it.
        const bool kept = has_field
            && (m_kind == ThemeKind::CarZumo ? m_in_presentation
                                             : !rest.empty() && rest.front() == ' ');
        m_style_row = -1;
        if (kept) {
            m_style_row = static_cast<int>(m_scan.style_lines.size());
            m_scan.style_lines.push_back(m_style_line);
        }
        m_style_contents = m_scan.issues.size();
        if (!has_field) {
            return;
        }
        if (!m_style_element->known) {
            add(m_rules.unknown_element, m_style_line, m_style_element->name,
                m_kind == ThemeKind::CarZumo ? "Car & Zumo" : "Sport & Fitness", m_style_row);
        }
        auto& first_lines = *m_presentation_first_lines;
        if (first_lines.size() <= m_style_element->id) {
            first_lines.resize(m_style_element->id + 1, 0);
        }
        int& first = first_lines[m_style_element->id];
        if (first != 0) {
            if (add(m_rules.duplicate_element, m_style_line, m_style_element->name, {},
                    m_style_row)) {
                m_scan.issues.back().first_line = first;
            }
        } else {
            first = m_style_line;
        }
        m_style_contents = m_scan.issues.size();
    }

    // Field values repeat from presentation to presentation; each is looked up once. Only so
    // many spellings are remembered: a file whose every style names an element of its own would
    // otherwise have each name held twice more.
    struct Element
    {
        std::string_view name;
        bool known = false;
        std::size_t id = 0;
    };
    static constexpr std::size_t remembered_spellings = 4096;
    const Element& element_of(std::string_view field)
    {
        if (const auto at = m_elements.find(field); at != m_elements.end()) {
            return at->second;
        }
        std::string name = lint_element_name(field);
        Element element;
        element.known = known_element(m_kind, name);
        auto named = m_element_ids.find(name);
        if (named == m_element_ids.end()) {
            const std::string_view kept = m_scan.names.emplace_back(std::move(name));
            named = m_element_ids.emplace(kept, m_element_ids.size()).first;
        }
        element.name = named->first;
        element.id = named->second;
        if (m_elements.size() < remembered_spellings) {
            return m_elements.emplace(field, element).first->second;
        }
        m_unremembered = element;
        return m_unremembered;
    }

    std::string_view style_element()
    {
        if (!m_style_element && !m_everything) {
            // The last field attribute names the style, as for the whole scan.
            std::optional<std::string_view> field;
            for_each_attribute(m_style_tag, 0, [&](const Attribute& a) {
                if (name_is(a.name, "FIELD")) {
                    field = a.value;
                }
            });
            if (field) {
                m_style_element = &element_of(*field);
            }
        }
        return m_style_element ? m_style_element->name : std::string_view();
    }

    void read_colours(std::string_view rest, std::size_t rest_at, bool secondary)
    {
        const std::size_t digits = m_kind == ThemeKind::CarZumo ? 6 : 8;
        if (!m_everything && plain_colours(rest, digits)) {
            return;
        }
        for_each_attribute(rest, rest_at, [&](const Attribute& a) {
            const bool day = name_is(a.name, "DAY");
            if (!day && !name_is(a.name, "NIGHT")) {
                return;
            }
            if (secondary && day) {
                m_style_secondary = true;
            }
            const std::string_view value = trim_blanks(a.value);
            if (name_is(value, "NONE")) {
                return;
            }
            const std::string_view hex = value.starts_with('#') ? value.substr(1) : value;
            if (hex.size() != digits
                || !std::all_of(hex.begin(), hex.end(), [](char c) { return is_hex(c); })) {
                add(m_rules.colour_digits, m_lines.line_at(a.value_pos),
                    m_style_open ? style_element() : std::string_view(), value,
                    m_style_open ? m_style_row : -1);
            }
        });
    }

    void end_style(bool unclosed)
    {
        m_style_open = false;
        if (unclosed) {
            add_before_style_contents(
                m_rules.unclosed_style, m_kind == ThemeKind::CarZumo ? "</STYLE>" : "</style>");
        }
        if (m_kind == ThemeKind::CarZumo && !m_style_secondary && text::val(m_style_border) > 0) {
            add_before_style_contents(m_rules.border_without_colour, m_style_border);
        }
    }

    struct Rules
    {
        const LintRule& cut_off = lint_rule("cut-off");
        const LintRule& unclosed_style = lint_rule("unclosed-style");
        const LintRule& colour_digits = lint_rule("colour-digits");
        const LintRule& duplicate_element = lint_rule("duplicate-element");
        const LintRule& unknown_element = lint_rule("unknown-element");
        const LintRule& unknown_presentation = lint_rule("unknown-presentation");
        const LintRule& border_without_colour = lint_rule("border-without-colour");
        const LintRule& unclosed_metadata = lint_rule("unclosed-metadata");
    };

    enum class Metadata { Before, Inside, After };
    struct OpenElement
    {
        std::string_view name;
        int line = 0;
    };

    std::string_view m_bytes;
    ThemeKind m_kind;
    bool m_everything;
    LineCounter m_lines;
    StructureScan m_scan;
    const Rules m_rules;
    // Issues found of each rule, by its place in lint_rules(), kept or not.
    std::vector<std::size_t> m_found = std::vector<std::size_t>(lint_rules().size(), 0);

    Metadata m_metadata = Metadata::Before;
    // The metadata element and the elements inside it not yet closed, outermost first.
    std::vector<OpenElement> m_metadata_open;

    std::string_view m_presentation;
    bool m_in_presentation = false;
    bool m_root_closed = false;

    bool m_style_open = false;
    int m_style_line = 0;
    int m_style_row = -1;
    // Where the issues found inside the open style begin.
    std::size_t m_style_contents = 0;
    const Element* m_style_element = nullptr;
    // The open style's tag after its name, while its element is not yet looked up.
    std::string_view m_style_tag;
    std::string_view m_style_border;
    bool m_style_secondary = false;

    // Raw field values to their elements; element names (kept in the scan's names) to numbers.
    std::unordered_map<std::string_view, Element> m_elements;
    Element m_unremembered;
    std::unordered_map<std::string_view, std::size_t> m_element_ids;
    // For each presentation, by element number, the line the element first came at (0: not yet).
    std::unordered_map<std::string_view, std::vector<int>> m_first_lines;
    std::vector<int>* m_presentation_first_lines = &m_first_lines[""];
};

} // namespace

StructureScan scan_structure(std::string_view bytes, ThemeKind kind, ScanScope scope)
{
    return Scanner(bytes, kind, scope).run();
}

} // namespace tintwell
