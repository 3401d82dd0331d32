#include "model/reader.h"

#include "model/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tintwell {

using namespace text;

namespace {

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool is_file(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The text after the 1-based position `at`.
std::string_view view_from_index(std::string_view s, std::size_t at)
{
    return at >= s.size() ? std::string_view() : s.substr(at);
}

// A Car & Zumo colour: the up to six characters after the first "#" of a value, ended early by
// a character that cannot belong to a colour, so an empty value stays empty instead of taking
// the "/" of the tag end. A value without "#" is kept as it stands when `keep_plain` (empty
// otherwise) up to a "<": saving writes it as a colour, and a tag inside it would be read as one.
std::string car_zumo_colour(std::string_view value, bool keep_plain)
{
    const auto hash = instr(value, "#");
    if (hash == 0) {
        return keep_plain ? before(value, "<") : std::string();
    }
    return std::string(before_any(view_from_index(value, hash).substr(0, 6), "\" />"));
}

// The Sport & Fitness colour: the six characters after the two transparency digits that follow
// the first "#", or `otherwise` when the value has no "#".
std::string nwf_colour_or(std::string_view value, std::string_view otherwise)
{
    const auto hash = instr(value, "#");
    return hash == 0 ? std::string(otherwise) : mid(value, hash + 3, 6);
}

// A large buffer about to be filled front to back (the file's text, the style table of a big
// theme): ask the kernel to back it with 2 MB pages, which spares most of the page faults that
// otherwise cost a fifth of reading a 10 MB theme. Only a hint; nothing else depends on it.
void prefer_large_pages(const void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t large_page = std::uintptr_t { 2 } << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const auto first = (start + large_page - 1) & ~(large_page - 1);
    const auto last = (start + bytes) & ~(large_page - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

// Upper-cases the text from the 0-based `from` on.
void upper_from(std::string& s, std::size_t from)
{
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] >= 'a' && s[i] <= 'z') {
            s[i] = static_cast<char>(s[i] - 'a' + 'A');
        }
    }
}

// The 1-based `mid` of a text as a view, for values that are only looked at.
std::string_view view_from(std::string_view s, std::size_t start)
{
    if (start == 0) {
        start = 1;
    }
    return start > s.size() ? std::string_view() : s.substr(start - 1);
}

// The text with its double quotes removed, and get_block of the text with them removed, each
// made in one step.
std::string without_quotes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (auto q = text.find('"'); q != std::string_view::npos; q = text.find('"')) {
        out.append(text.substr(0, q));
        text.remove_prefix(q + 1);
    }
    out.append(text);
    return out;
}

std::string unquoted_block(std::string_view text)
{
    const auto close = find_literal(text, ">");
    return close == std::string_view::npos ? std::string() : without_quotes(text.substr(0, close));
}

// The text after the first `upper_tag` up to its next occurrence, without "<", ">" and "/": how
// the version is read, and any value whose closing tag is missing.
std::string bit_without_marks(std::string_view upper_text, std::string_view upper_tag)
{
    if (upper_tag.empty()) {
        return {};
    }
    const auto first = find_literal(upper_text, upper_tag);
    if (first == std::string_view::npos) {
        return {};
    }
    std::string_view rest = upper_text.substr(first + upper_tag.size());
    rest = rest.substr(0, find_literal(rest, upper_tag));
    std::string out;
    out.reserve(rest.size());
    for (const char c : rest) {
        if (c != '>' && c != '<' && c != '/') {
            out += c;
        }
    }
    return out;
}

// get_bit of a text that is upper case already, with an upper-case tag: the value of the first
// element, from the ">" that ends its opening "<TAG" to the "</TAG" that starts its closing tag,
// so a "/" in a title stays. Without such an element, bit_without_marks.
std::string bit_of_upper(std::string_view upper_text, std::string_view upper_tag)
{
    if (upper_tag.empty()) {
        return {};
    }
    std::string tag = "<";
    tag += upper_tag;
    const auto open = find_literal(upper_text, tag);
    if (open != std::string_view::npos) {
        const std::string_view rest = upper_text.substr(open + tag.size());
        tag.insert(1, "/");
        const auto close = find_literal(rest, tag);
        const auto open_end =
            close == std::string_view::npos ? close : rest.substr(0, close).find('>');
        if (open_end != std::string_view::npos) {
            return std::string(rest.substr(open_end + 1, close - open_end - 1));
        }
    }
    return bit_without_marks(upper_text, upper_tag);
}

// A value as it is kept: tags inside it would be taken for the theme's own when the value is
// written between its tags and read again, so "<" and ">" go.
std::string without_markup(std::string value)
{
    std::erase_if(value, [](char c) { return c == '<' || c == '>'; });
    return value;
}

// get_meta of a text that is upper case already: every value get_meta reads is upper case, so
// the whole text needs folding only once.
void read_meta(Document& doc, std::string_view upper_text)
{
    const auto start = find_literal(upper_text, "METADATA");
    if (start == std::string_view::npos) {
        doc.message("no meta");
        return;
    }
    const std::string_view meta = upper_text.substr(start);
    if (find_literal(meta, "/METADATA") == std::string_view::npos) {
        doc.message("Oops no meta");
        return;
    }
    doc.metadata.title = without_markup(bit_of_upper(meta, "TITLE"));
    doc.metadata.description = without_markup(bit_of_upper(meta, "DESCRIPTION"));
    doc.metadata.locale = without_markup(bit_of_upper(bit_of_upper(meta, "LOCALELIST"), "LOCALE"));

    std::string version = bit_without_marks(meta, "VERSION");
    // Line breaks and blanks go first, so a version whose major and minor stand on lines of
    // their own still reads as major.minor instead of running the two numbers together.
    for (const char* noise : { "\n", "\r", " " }) {
        replace_in(version, noise, "");
    }
    replace_in(version, "MAJORMINOR", ".");
    for (const char* noise : { "MAJOR", "MINOR" }) {
        replace_in(version, noise, "");
    }
    doc.metadata.version = trim(version);
    doc.view().metadata_changed(doc.metadata);
}

void read_car_zumo(Document& doc, std::string& upper_text);
void read_sport_fitness(Document& doc, std::string& lower_text);

} // namespace

std::string loadbinary2(Document& doc, const std::string& path)
{
    if (path.empty() || !is_file(path)) {
        return {};
    }
    doc.file_name = path;
    std::string content;
    std::error_code size_error;
    const auto size = std::filesystem::file_size(path, size_error);
    if (!size_error) {
        content.reserve(size);
        prefer_large_pages(content.data(), size);
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (!is_file(path)) {
            doc.message(path + " doesn't exist");
        } else {
            doc.message(std::strerror(errno));
        }
    } else {
        char buffer[1 << 16];
        while (true) {
            const auto n = std::fread(buffer, 1, sizeof buffer, file.get());
            content.append(buffer, n);
            if (n < sizeof buffer) {
                if (std::ferror(file.get())) {
                    doc.message(std::strerror(errno ? errno : EIO));
                }
                break;
            }
        }
    }
    doc.view().reset_search();
    return content;
}

bool open_theme(Document& doc, const std::string& path)
{
    doc.view().clear_presentations();
    std::string content = loadbinary2(doc, path);
    doc.metadata.title.clear();
    doc.view().metadata_changed(doc.metadata);
    return parse(doc, std::move(content));
}

bool parse(Document& doc, std::string text)
{
    doc.theme_open = true;
    doc.modified = false;

    fold_spacing(text);
    doc.view().nosel();

    // The only case-sensitive test; everything after it reads the text folded, so the text is
    // folded in place rather than copied (lower-casing the upper-cased text gives the lower-cased
    // original, which is all the Sport & Fitness reader needs). It looks for the tag, not the
    // word: reading upper-cases a Sport & Fitness title, and one with "Presentation" in it was
    // read back after saving as an empty Car & Zumo theme.
    const bool has_presentation = contains(text, "<PRESENTATION");
    std::string& upper_text = text;
    upper_in(upper_text);
    if (upper_text.empty() || !contains(upper_text, "<COLOR")) {
        doc.message("File not a Garmin kmtf file.");
        return false;
    }

    read_meta(doc, upper_text);

    doc.kind = ThemeKind::CarZumo;
    if (has_presentation) {
        doc.view().set_edit_menu_enabled(true);
        doc.view().set_locale_version_enabled(true);
        read_car_zumo(doc, upper_text);
        return true;
    }
    // Upper-cased, so a Sport & Fitness file with lower-case field names is recognised too.
    if (contains(upper_text, "MPM_")) {
        doc.kind = ThemeKind::SportFitness;
        doc.view().set_locale_version_enabled(false);
        lower_in(upper_text);
        read_sport_fitness(doc, upper_text);
        return true;
    }
    doc.message("No Presentation");
    return false;
}

void get_meta(Document& doc, std::string_view text)
{
    read_meta(doc, upper(text));
}

std::string get_bit(std::string_view text, std::string_view tag)
{
    return bit_of_upper(upper(text), upper(tag));
}

std::string get_type(Document& doc, std::string_view style_text)
{
    const auto close = instr(style_text, ">");
    const std::string_view tag = close == 0 ? std::string_view() : style_text.substr(0, close - 1);
    const auto open_quote = instr(tag, "\"");
    if (open_quote == 0) {
        doc.message("Can't find type!");
        return {};
    }
    const std::string_view after = view_from(tag, open_quote + 1);
    const auto close_quote = instr(after, "\"");
    if (close_quote == 0) {
        doc.message("Can't find type!");
        return std::string(after);
    }
    return std::string(after.substr(0, close_quote - 1));
}

std::string get_block(std::string_view text)
{
    const auto close = instr(text, ">");
    return close == 0 ? std::string() : left(text, close - 1);
}

std::int16_t get_pcode(std::string_view pres_name, std::string_view border)
{
    const int flag = border.empty() ? 0 : 1;
    int index = 0;
    if (!contains(pres_name, "UIDANCE") && !contains(pres_name, "New format")) {
        const char* names[] = { "BROWSE", "TRAFFIC", "TURN PREVIEW", "ROUTE PREVIEW", "PEDESTRIAN" };
        for (int i = 0; i < 5; ++i) {
            if (contains(pres_name, names[i])) {
                index = i + 1;
            }
        }
    }
    return static_cast<std::int16_t>(index * 10 + flag);
}

std::string get_width(std::string_view text)
{
    const auto equals = instr(text, "=");
    return equals == 0 ? std::string() : mid(text, equals + 1);
}

namespace {

// A style element that makes a row: its text after "<STYLE" (or "<style "), and for a Car & Zumo
// theme the presentation it stands in. The texts are views into the theme's own text.
struct StyleSpan
{
    std::string_view text;
    std::size_t presentation = 0;
};

constexpr std::string_view presentation_tag = "<PRESENTATION";
constexpr std::string_view style_tag = "<STYLE";

// The text cut before the first ">" or the first " ", whichever comes first, without its double
// quotes: how scale and border values end.
std::string attribute_value(std::string_view value)
{
    const auto blank = instr(value, " ");
    const auto close = instr(value, ">");
    if (blank && (!close || blank < close)) {
        value = value.substr(0, blank - 1);
    } else if (close) {
        value = value.substr(0, close - 1);
    }
    return without_quotes(value);
}

StyleRow read_car_zumo_style(Document& doc, std::string_view style, const std::string& pres_name)
{
    StyleRow row;
    row.style_text = style;
    row.field_name = get_type(doc, style);

    std::string element = get_block(view_from(style, instr(style, "FIELD")));
    for (const std::string_view noise : { "FIELD=", "\"", "MPM_", "_CLR", "MAP_" }) {
        replace_in(element, noise, "");
    }
    replace_in(element, "_", " ");
    element.resize(std::min(element.size(), find_literal(element, "SCALE=")));
    row.elem_name = std::move(element);
    row.pres_name = pres_name;

    if (const auto at = instr(style, "SCALE=")) {
        // The value starts after the opening quote; an unquoted value starts right after "=",
        // so scale=1.5 keeps its first digit.
        const bool quoted = at + 6 <= style.size() && style[at + 5] == '"';
        row.scale = attribute_value(view_from(style, quoted ? at + 7 : at + 6));
    } else if (contains(style, "RAIL")) {
        row.scale = "1";
    }

    // The secondary colours are read first: whether the style has one decides the border.
    const auto secondary = instr(style, "SECONDARY");
    bool secondary_day = false;
    if (secondary != 0) {
        const std::string e = unquoted_block(view_from(style, secondary));
        if (const auto day = instr(e, "DAY")) {
            const std::string_view d = view_from(e, day + 4);
            row.sec_day = car_zumo_colour(d, true);
            secondary_day = true;
        }
        if (const auto night = instr(e, "NIGHT")) {
            const std::string_view n = view_from(e, night + 4);
            row.sec_night = car_zumo_colour(n, false);
        }
    }

    if (const auto at = instr(style, "BORDER")) {
        // A border also ends at a "<": saving drops the border's line breaks, and a "<STYL" and
        // an "E" on the next line would then be written as a "<STYLE" that opens a new style.
        row.border = attribute_value(view_from(style, at + 7));
        row.border.resize(std::min(row.border.size(), row.border.find('<')));
        // A secondary colour whose day is empty is not saved, so it counts as none here too and
        // the saved theme reads with the same border.
        const bool no_secondary = secondary == 0 || (secondary_day && row.sec_day.empty());
        if (no_secondary && doc.border_pref) {
            row.border = ".3";
        }
    }

    row.pres_code = get_pcode(pres_name, row.border);

    if (const auto at = instr(style, "PRIMARY")) {
        const std::string e = unquoted_block(view_from(style, at));
        if (const auto day = instr(e, "DAY")) {
            const std::string_view d = view_from(e, day + 4);
            const bool white = contains(d, "#") && contains(d, "NONE");
            row.pri_day = white ? std::string("FFFFFF") : car_zumo_colour(d, true);
        }
        if (const auto night = instr(e, "NIGHT")) {
            const std::string_view n = view_from(e, night + 4);
            row.pri_night = car_zumo_colour(n, true);
        } else {
            row.pri_night = "-1";
        }
    }

    if (secondary != 0 && !secondary_day) {
        if (val(row.border) > 0) {
            doc.message("Can't have border with no colour");
        }
        row.border.clear();
    }
    return row;
}

// The name a presentation is listed under: its first line without double quotes, "ID=" and ">".
// The line ends at an LF, keeping the CR of a CR LF, or at a CR that no LF follows, so a theme
// whose lines end in CR alone does not take its whole style list for the name; and at the next
// tag, so neither does a theme written on one line.
std::string display_name(std::string_view piece)
{
    auto end = before_any(piece, "\r\n<").size();
    if (end + 1 < piece.size() && piece[end] == '\r' && piece[end + 1] == '\n') {
        ++end;
    }
    std::string display(piece.substr(0, end));
    for (const std::string_view noise : { "\"", "ID=", ">" }) {
        replace_in(display, noise, "");
    }
    return display;
}

// The presentation name every row of the presentation carries: the display name without its
// line-break characters and outer blanks.
std::string row_pres_name(std::string_view display)
{
    std::string name(display);
    std::erase_if(name, [](char c) { return c == '\r' || c == '\n'; });
    return trim(name);
}

// Reads the presentations of an upper-cased Car & Zumo text. Each presentation's spacing is
// folded in place, where it stands in the text; the rows are made once every style is known, so
// the table is allocated at its final size, and the document takes them only at the end.
void read_car_zumo(Document& doc, std::string& upper_text)
{
    std::vector<std::string> pres_names;
    std::vector<std::string> row_names;
    std::vector<StyleSpan> styles;

    auto at = find_literal(upper_text, presentation_tag);
    while (at != std::string::npos) {
        const std::size_t start = at + presentation_tag.size();
        at = find_literal(upper_text, presentation_tag, start);
        const std::size_t end = at == std::string::npos ? upper_text.size() : at;
        const std::span<char> region(upper_text.data() + start, end - start);
        const std::string_view piece(region.data(), fold_tag_spacing(region));

        const std::string display = display_name(piece);
        pres_names.push_back(trim(display));
        doc.view().add_presentation(display);
        row_names.push_back(row_pres_name(display));

        auto style = find_literal(piece, style_tag);
        while (style != std::string_view::npos) {
            const std::size_t text_start = style + style_tag.size();
            style = find_literal(piece, style_tag, text_start);
            const std::string_view text = piece.substr(
                text_start, (style == std::string_view::npos ? piece.size() : style) - text_start);
            if (contains(text, "FIELD")) {
                styles.push_back({ text, row_names.size() - 1 });
            }
        }
    }

    std::vector<StyleRow> rows;
    rows.reserve(styles.size());
    prefer_large_pages(rows.data(), rows.capacity() * sizeof(StyleRow));
    for (const StyleSpan& span : styles) {
        rows.push_back(read_car_zumo_style(doc, span.text, row_names[span.presentation]));
    }

    doc.pres_count = static_cast<int>(pres_names.size());
    doc.pres_names.swap(pres_names);
    doc.rows.swap(rows);
    if (doc.rows.empty()) {
        doc.message("No polygons or lines found");
    }
}

// One Sport & Fitness style: `source` is its text after "<style ", without the list end, and
// `field` and `g` the 1-based places of "field" and of the first ">" after it.
StyleRow read_sport_fitness_style(
    Document& doc, std::string_view source, std::size_t field, std::size_t g)
{
    const std::string_view opening = source.substr(0, g);
    std::string element = without_quotes(view_from(source.substr(0, g - 1), 7));
    const auto quote_at = instr(opening, "\"");

    StyleRow row;
    if (quote_at != 0) {
        const std::string_view tag_rest = view_from(opening, quote_at + 1);
        const std::string_view body = view_from(source, g + 1);
        std::string& rebuilt = row.style_text;
        rebuilt.reserve(7 + tag_rest.size() + body.size());
        rebuilt = "field=\"";
        rebuilt += tag_rest;
        upper_from(rebuilt, 7);
        rebuilt += body;
    } else {
        row.style_text = source;
    }
    const std::string_view piece = row.style_text;
    row.field_name = get_type(doc, piece);
    row.pres_name = "Sport & Fitness";

    // An opening tag without quotes is read from its field attribute on.
    std::string attributes = unquoted_block(view_from(piece, quote_at != 0 ? quote_at : field));
    for (const std::string_view noise : { "MPM_", "_CLR", "MAP_" }) {
        replace_in(attributes, noise, "");
    }

    std::string name = std::move(element);
    upper_in(name);
    for (const std::string_view noise : { "MPM_", "_CLR", "MAP_" }) {
        replace_in(name, noise, "");
    }
    const auto bg_at = instr(attributes, "BG_WIDTH");
    const auto fg_at = instr(attributes, "FG_WIDTH");
    if (bg_at != 0 || fg_at != 0) {
        name.resize(std::min(name.size(), find_literal(name, "BG_WIDTH")));
        name.resize(std::min(name.size(), find_literal(name, "FG_WIDTH")));
    }
    row.elem_name = std::move(name);

    if (const auto at = bg_at) {
        const std::string_view width = view_from(attributes, at);
        row.bg_width = get_width(width.substr(0, find_literal(width, " ")));
    }
    if (const auto at = fg_at) {
        const std::string_view width = view_from(attributes, at);
        row.fg_width = get_width(width.substr(0, find_literal(width, " ")));
    }
    row.scale = "1";

    if (const auto at = instr(piece, "primary")) {
        const std::string e = unquoted_block(view_from(piece, at));
        if (const auto day = instr(e, "day")) {
            const std::string_view d = view_from(e, day + 4);
            row.pri_day = nwf_colour_or(d, d);
        }
        if (const auto night = instr(e, "night")) {
            const std::string_view n = view_from(e, night + 4);
            row.pri_night = nwf_colour_or(n, n);
        } else {
            row.pri_night = "-1";
        }
    }

    if (const auto at = instr(piece, "secondary")) {
        const std::string e = unquoted_block(view_from(piece, at));
        if (const auto day = instr(e, "day")) {
            const std::string_view d = view_from(e, day + 4);
            if (const auto hash = instr(d, "#")) {
                row.border = get_border(mid(d, hash + 1, 2));
                row.sec_day = mid(d, hash + 3, 6);
            } else {
                row.sec_day = d;
            }
        } else {
            row.border.clear();
        }
        if (const auto night = instr(e, "night")) {
            const std::string_view n = view_from(e, night + 4);
            if (const auto hash = instr(n, "#")) {
                row.nwf_border = get_border(mid(n, hash + 1, 2));
                row.sec_night = mid(n, hash + 3, 6);
            }
        }
    }
    return row;
}

// Reads the styles of a lower-cased Sport & Fitness text, folding its spacing in place first.
void read_sport_fitness(Document& doc, std::string& text)
{
    text.resize(fold_tag_spacing(text));
    doc.view().set_edit_menu_enabled(false);
    doc.view().add_presentation("Sport & Fitness");

    constexpr std::string_view tag = "<style ";
    struct Found
    {
        std::string_view source;
        std::size_t field, g;
    };
    std::vector<Found> styles;
    const std::string_view all(text);
    auto at = find_literal(all, tag);
    while (at != std::string_view::npos) {
        const std::size_t start = at + tag.size();
        at = find_literal(all, tag, start);
        const std::string_view whole =
            all.substr(start, (at == std::string_view::npos ? all.size() : at) - start);
        const std::string_view source = whole.substr(0, find_literal(whole, "</stylelist"));
        const auto field = instr(source, "field");
        if (field == 0) {
            continue;
        }
        // Without a closing ">" there is no opening tag to read: the piece is not a style.
        if (const auto g = instr(source, ">", field)) {
            styles.push_back({ source, field, g });
        }
    }

    std::vector<StyleRow> rows;
    rows.reserve(styles.size());
    prefer_large_pages(rows.data(), rows.capacity() * sizeof(StyleRow));
    for (const Found& style : styles) {
        rows.push_back(read_sport_fitness_style(doc, style.source, style.field, style.g));
    }
    doc.rows.swap(rows);
    if (doc.rows.empty()) {
        doc.message("No polygons or lines found");
    }
}

} // namespace

void parse_nwf(Document& doc, const std::string& source)
{
    std::string text = lower(source);
    read_sport_fitness(doc, text);
}

} // namespace tintwell
