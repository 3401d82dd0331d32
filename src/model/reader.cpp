#include "model/reader.h"

#include "model/text.h"
#include "platform/files.h"
#include "platform/memory.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <new>

namespace tintwell {

using namespace text;
using namespace std::string_view_literals;

namespace {

constexpr auto npos = std::string_view::npos;

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool is_file(const std::string& path)
{
    return platform::file_kind(path) == platform::FileKind::Regular;
}

// The text from the 0-based `at` on; empty past its end.
std::string_view from(std::string_view s, std::size_t at)
{
    return at >= s.size() ? std::string_view() : s.substr(at);
}

// What ends a Car & Zumo colour value: a character that cannot belong to it.
constexpr std::string_view colour_ends = "\" /<>";

// A stretch of a style's text, [begin, end).
struct Span
{
    std::size_t begin = npos;
    std::size_t end = npos;

    bool holds(std::size_t at) const { return at >= begin && at < end; }
};

// A Car & Zumo colour, from the value that starts at `start` in a colour element's text: the up
// to six characters after the value's first "#", or, when `keep_plain`, a value without "#" as it
// stands (empty otherwise). Either ends early at a character that cannot belong to it, so an
// empty value stays empty instead of taking the "/" of the tag end, and a plain value does not
// take in the attributes and tags after it, which saving would write into the colour and the next
// read take for the style's own. `digits` is where the characters after the "#" stand.
std::string car_zumo_colour(
    std::string_view block, std::size_t start, bool keep_plain, Span* digits = nullptr)
{
    const std::string_view value = from(block, start);
    const auto hash = value.find('#');
    if (hash == npos) {
        return keep_plain ? std::string(before_any(value, colour_ends)) : std::string();
    }
    const std::string_view colour = before_any(from(value, hash + 1).substr(0, 6), colour_ends);
    if (digits != nullptr) {
        digits->begin = start + hash + 1;
        digits->end = digits->begin + colour.size();
    }
    return std::string(colour);
}

// The text after the tag at `first` up to the tag's next occurrence, without "<", ">" and "/":
// how the version is read, and any value whose closing tag is missing.
std::string bit_without_marks(std::string_view text, std::string_view tag, std::size_t first)
{
    std::string_view rest = text.substr(first + tag.size());
    rest = rest.substr(0, find_literal(rest, tag));
    std::string out;
    out.reserve(rest.size());
    for (const char c : rest) {
        if (c != '>' && c != '<' && c != '/') {
            out += c;
        }
    }
    return out;
}

// get_bit without the case folding, for a tag in the text's own case: the value of the first
// element, from the ">" that ends its opening "<TAG" to the "</TAG" that starts its closing tag,
// so a "/" in a title stays. Without such an element, bit_without_marks from the first TAG.
std::string element_value(std::string_view text, std::string_view tag)
{
    const auto first = tag.empty() ? npos : find_literal(text, tag);
    if (first == npos) {
        return {};
    }
    std::string marked = "<";
    marked += tag;
    // An opening "<TAG" holds a TAG, so it starts at most one place before the first one.
    const auto open = find_literal(text, marked, first == 0 ? 0 : first - 1);
    if (open != npos) {
        const std::string_view rest = text.substr(open + marked.size());
        marked.insert(1, "/");
        const auto close = find_literal(rest, marked);
        const auto open_end = close == npos ? close : rest.substr(0, close).find('>');
        if (open_end != npos) {
            return std::string(rest.substr(open_end + 1, close - open_end - 1));
        }
    }
    return bit_without_marks(text, tag, first);
}

// A value as it is kept: upper case, and without "<" and ">", since tags inside it would be taken
// for the theme's own when the value is written between its tags and read again.
std::string kept_value(std::string value)
{
    std::erase_if(value, [](char c) { return c == '<' || c == '>'; });
    upper_in(value);
    return value;
}

// get_meta of a text whose letters are all of one case, `upper` or lower: the tags are looked for
// in that case, and the values come out upper case either way.
void read_meta(Document& doc, std::string_view text, bool upper_case)
{
    const auto tag = [upper_case](std::string_view upper_tag) {
        return upper_case ? std::string(upper_tag) : lower(upper_tag);
    };
    const auto start = find_literal(text, tag("METADATA"));
    if (start == npos) {
        doc.message("no meta");
        return;
    }
    std::string_view meta = text.substr(start);
    if (find_literal(meta, tag("/METADATA")) == npos) {
        doc.message("Oops no meta");
        return;
    }
    // No value reaches past the metadata's closing tag, nor into the styles when it comes after
    // them or is missing: an element left open would otherwise take the rest of the file for its
    // value. Its closing tag, not just "/METADATA", which a value may hold and keeps when saved.
    std::size_t end = find_literal(meta, tag("</METADATA"));
    for (const std::string_view opening : { "<PRESENTATION"sv, "<STYLE"sv }) {
        end = std::min(end, find_literal(meta, upper_case ? opening : lower(opening)));
    }
    meta = meta.substr(0, end);
    doc.metadata.title = kept_value(element_value(meta, tag("TITLE")));
    doc.metadata.description = kept_value(element_value(meta, tag("DESCRIPTION")));
    doc.metadata.locale =
        kept_value(element_value(element_value(meta, tag("LOCALELIST")), tag("LOCALE")));

    std::string version;
    const std::string version_tag = tag("VERSION");
    if (const auto first = find_literal(meta, version_tag); first != npos) {
        version = bit_without_marks(meta, version_tag, first);
        upper_in(version);
    }
    // Line breaks and blanks go first, so a version whose major and minor stand on lines of
    // their own still reads as major.minor instead of running the two numbers together.
    for (const std::string_view noise : { "\n"sv, "\r"sv, " "sv }) {
        remove_in(version, noise);
    }
    replace_in(version, "MAJORMINOR", ".");
    for (const std::string_view noise : { "MAJOR"sv, "MINOR"sv }) {
        remove_in(version, noise);
    }
    doc.metadata.version = trim(version);
    doc.view().metadata_changed(doc.metadata);
}

// Thrown when the caller stops reading, and caught where the reading began: unwinding frees the
// text and the rows made so far, and nothing has reached the document's rows yet.
struct ReadStopped
{
};

// How far reading has come, told to the caller's callback now and then; without one, nothing is
// told and reading cannot be stopped.
class Progress
{
public:
    Progress() = default;
    explicit Progress(const ReadProgress& callback)
        : m_callback(callback ? &callback : nullptr)
    {
    }

    // Tells `fraction`; throws ReadStopped when the caller answers false.
    void report(double fraction) const
    {
        if (m_callback != nullptr && !(*m_callback)(fraction)) {
            throw ReadStopped {};
        }
    }

    // Whether item `done` of a pass is told: every few thousand only, so a callback that
    // repaints costs nothing worth measuring.
    bool due(std::size_t done) const { return m_callback != nullptr && done % stride == 0; }

    static constexpr std::size_t stride = 4096;

private:
    const ReadProgress* m_callback = nullptr;
};

// The fraction `done` of `count` of the way from `from` to `to`.
constexpr double between(double from, double to, std::size_t done, std::size_t count)
{
    return count == 0 ? from
                      : from + (to - from) * static_cast<double>(done) / static_cast<double>(count);
}

// Where each pass of reading ends, as the fraction told: reading the file, folding the spacing,
// finding the styles, making the rows. Making the rows is most of the time.
constexpr double loaded_at = 0.15;
constexpr double folded_at = 0.25;
constexpr double found_at = 0.4;
constexpr double rows_made_at = 1.0;

// Whether reading keeps the rows it makes. A check needs every style read, for its messages,
// but not the table: without it, reading a large theme touches a third of the memory.
enum class RowUse { Keep, Discard };

bool parse_text(Document& doc, std::string text, RowUse use, const Progress& progress);
void read_car_zumo(Document& doc, std::string& upper_text, RowUse use, const Progress& progress);
void read_sport_fitness(
    Document& doc, std::string& lower_text, RowUse use, const Progress& progress);
std::string load_file(
    Document& doc, const std::string& path, bool& read_failed, const Progress& progress = {});

} // namespace

std::optional<std::string> oversized_theme(const std::string& path)
{
    const std::optional<std::uintmax_t> found = platform::regular_file_size(path);
    if (!found || *found <= largest_theme_bytes) {
        return std::nullopt;
    }
    constexpr std::uintmax_t mb = std::uintmax_t { 1 } << 20;
    const std::uintmax_t size = *found;
    return path + " is " + std::to_string(size / mb + (size % mb != 0 ? 1 : 0))
        + " MB; themes larger than 256 MB are not read";
}

std::string loadbinary2(Document& doc, const std::string& path)
{
    bool read_failed = false;
    return load_file(doc, path, read_failed);
}

namespace {

// loadbinary2, telling whether the file was there but could not be read whole.
std::string load_file(
    Document& doc, const std::string& path, bool& read_failed, const Progress& progress)
{
    if (path.empty() || !is_file(path)) {
        return {};
    }
    // The document takes the name once the text is read: when memory runs out on the way, it
    // keeps the name of the theme it holds.
    std::string name = path;
    std::string content;
    const std::optional<std::uintmax_t> size = platform::regular_file_size(path);
    if (size) {
        content.reserve(*size);
        platform::prefer_large_pages(content.data(), *size);
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(platform::open_for_reading(path));
    if (!file) {
        read_failed = true;
        if (!is_file(path)) {
            doc.message(path + " doesn't exist");
        } else {
            doc.message(std::strerror(errno));
        }
    } else {
        char buffer[1 << 16];
        const std::size_t expected = size ? *size : 0;
        for (std::size_t buffers = 1;; ++buffers) {
            const auto n = std::fread(buffer, 1, sizeof buffer, file.get());
            content.append(buffer, n);
            // Told every megabyte.
            if (buffers % 16 == 0) {
                progress.report(
                    between(0, loaded_at, std::min(content.size(), expected), expected));
            }
            if (n < sizeof buffer) {
                if (std::ferror(file.get())) {
                    read_failed = true;
                    doc.message(std::strerror(errno ? errno : EIO));
                }
                break;
            }
        }
    }
    doc.file_name.swap(name);
    doc.view().reset_search();
    return content;
}

bool read_theme(Document& doc, const std::string& path, RowUse use, const ReadBytes& read_bytes,
    const Progress& progress = {});
bool parse_as(Document& doc, std::string text, RowUse use, const Progress& progress = {});

} // namespace

bool open_theme(Document& doc, const std::string& path, const ReadBytes& read_bytes,
    const ReadProgress& progress)
{
    return read_theme(doc, path, RowUse::Keep, read_bytes, Progress(progress));
}

bool check_theme(Document& doc, const std::string& path, const ReadBytes& read_bytes)
{
    return read_theme(doc, path, RowUse::Discard, read_bytes);
}

bool parse(Document& doc, std::string text)
{
    return parse_as(doc, std::move(text), RowUse::Keep);
}

bool check_text(Document& doc, std::string text)
{
    return parse_as(doc, std::move(text), RowUse::Discard);
}

namespace {

// What reading changes in the document before it takes the new rows, put back when reading is
// stopped. The rows, presentation names and count change only at the very end.
struct DocumentHead
{
    ThemeMetadata metadata;
    std::string file_name;
    ThemeKind kind;
    bool theme_open;
    bool modified;

    explicit DocumentHead(const Document& doc)
        : metadata(doc.metadata)
        , file_name(doc.file_name)
        , kind(doc.kind)
        , theme_open(doc.theme_open)
        , modified(doc.modified)
    {
    }

    void put_back(Document& doc)
    {
        std::swap(doc.metadata, metadata);
        doc.file_name.swap(file_name);
        doc.kind = kind;
        doc.theme_open = theme_open;
        doc.modified = modified;
    }
};

bool read_stoppable_theme(Document& doc, const std::string& path, RowUse use,
    const ReadBytes& read_bytes, const Progress& progress);

bool read_theme(Document& doc, const std::string& path, RowUse use, const ReadBytes& read_bytes,
    const Progress& progress)
{
    // Refused before anything is read: holding such a text and its table could take all the
    // memory there is.
    if (const auto refusal = oversized_theme(path)) {
        doc.message(*refusal);
        return false;
    }
    DocumentHead head(doc);
    try {
        return read_stoppable_theme(doc, path, use, read_bytes, progress);
    } catch (const ReadStopped&) {
        head.put_back(doc);
        return false;
    }
}

bool read_stoppable_theme(Document& doc, const std::string& path, RowUse use,
    const ReadBytes& read_bytes, const Progress& progress)
{
    doc.view().clear_presentations();
    bool read_failed = false;
    std::string content = load_file(doc, path, read_failed, progress);
    doc.metadata.title.clear();
    doc.view().metadata_changed(doc.metadata);
    // The system's reason says it all; a text cut short by a failed read is not read as a theme,
    // which a later save would then write back without the rest.
    if (read_failed) {
        return false;
    }
    progress.report(loaded_at);
    if (!read_bytes) {
        return parse_as(doc, std::move(content), use, progress);
    }
    // Reading rewrites the text in place and only then knows its kind, so the bytes are looked at
    // first, as the kind the reader nearly always finds (only a TAB inside the word can hide it
    // from this look); on a miss the file is read once more. A copy of the text would cost its
    // size in memory on every opening.
    const ThemeKind guess =
        contains(content, "PRESENTATION") ? ThemeKind::CarZumo : ThemeKind::SportFitness;
    read_bytes(content, guess);
    const bool accepted = parse_as(doc, std::move(content), use, progress);
    if (accepted && doc.kind != guess) {
        bool failed = false;
        const std::string again = load_file(doc, path, failed, {});
        read_bytes(again, doc.kind);
    }
    return accepted;
}

bool parse_as(Document& doc, std::string text, RowUse use, const Progress& progress)
{
    // The rows, presentation names and count change only once everything is read; the rest is
    // put back when memory runs out on the way, so the document still holds its theme.
    ThemeMetadata metadata = doc.metadata;
    const ThemeKind kind = doc.kind;
    const bool theme_open = doc.theme_open;
    const bool modified = doc.modified;
    try {
        return parse_text(doc, std::move(text), use, progress);
    } catch (const std::bad_alloc&) {
        std::swap(doc.metadata, metadata);
        doc.kind = kind;
        doc.theme_open = theme_open;
        doc.modified = modified;
        throw;
    }
}

bool parse_text(Document& doc, std::string text, RowUse use, const Progress& progress)
{
    doc.theme_open = true;
    doc.modified = false;

    // The only case-sensitive test, for the tag rather than the word: reading upper-cases a Sport
    // & Fitness title, and one with "Presentation" in it was read back after saving as an empty
    // Car & Zumo theme. Folding the spacing removes no letter and joins two only where a run of
    // TABs stood between them, so without TABs the test can come first and the letters of a Car &
    // Zumo text be upper-cased, and those of any other lower-cased, in the same pass.
    bool has_presentation = contains(text, "<PRESENTATION");
    if (has_presentation || text.find('\t') == npos) {
        fold_spacing(text, has_presentation ? LetterCase::Upper : LetterCase::Lower);
    } else {
        fold_spacing(text);
        has_presentation = contains(text, "<PRESENTATION");
        if (has_presentation) {
            upper_in(text);
        } else {
            lower_in(text);
        }
    }
    progress.report(folded_at);
    doc.view().nosel();

    if (text.empty() || !contains(text, has_presentation ? "<COLOR"sv : "<color"sv)) {
        doc.message("File not a Garmin kmtf file.");
        return false;
    }

    read_meta(doc, text, has_presentation);

    doc.kind = ThemeKind::CarZumo;
    if (has_presentation) {
        doc.view().set_edit_menu_enabled(true);
        doc.view().set_locale_version_enabled(true);
        read_car_zumo(doc, text, use, progress);
        return true;
    }
    // In any case, so a Sport & Fitness file with upper-case field names is recognised too.
    if (contains(text, "mpm_")) {
        doc.kind = ThemeKind::SportFitness;
        doc.view().set_locale_version_enabled(false);
        read_sport_fitness(doc, text, use, progress);
        return true;
    }
    doc.message("No Presentation");
    return false;
}

} // namespace

void get_meta(Document& doc, std::string_view text)
{
    read_meta(doc, upper(text), true);
}

std::string get_bit(std::string_view text, std::string_view tag)
{
    return element_value(upper(text), upper(tag));
}

namespace {

std::string_view field_name_of(Document& doc, std::string_view style_text)
{
    const auto close = style_text.find('>');
    const std::string_view tag = close == npos ? std::string_view() : style_text.substr(0, close);
    const auto open_quote = tag.find('"');
    if (open_quote == npos) {
        doc.message("Can't find type!");
        return {};
    }
    const std::string_view after = tag.substr(open_quote + 1);
    const auto close_quote = after.find('"');
    if (close_quote == npos) {
        doc.message("Can't find type!");
    }
    return after.substr(0, close_quote);
}

} // namespace

std::string get_type(Document& doc, std::string_view style_text)
{
    return std::string(field_name_of(doc, style_text));
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
        const char* names[] = { "BROWSE", "TRAFFIC", "TURN PREVIEW", "ROUTE PREVIEW",
            "PEDESTRIAN" };
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

// The cells of the style being read, each a buffer of its own while the style is read, then put
// into its row at once.
struct RowDraft
{
    std::int16_t pres_code = 0;
    std::string pri_day;
    std::string pri_night;
    std::string sec_day;
    std::string sec_night;
    std::string elem_name;
    std::string field_name;
    std::string bg_width;
    std::string fg_width;
    std::string scale;
    std::string border;
    std::string pres_name;
    // Mostly a view of the theme's text, which outlives the draft; `style_buffer` when the style
    // is rebuilt. The text is copied once, into the row.
    std::string_view style_text;
    std::string style_buffer;
    std::string nwf_border;

    // Empties every cell, keeping the buffers.
    void clear()
    {
        pres_code = 0;
        style_text = {};
        for (std::string* text : { &pri_day, &pri_night, &sec_day, &sec_night, &elem_name,
                 &field_name, &bg_width, &fg_width, &scale, &border, &pres_name, &nwf_border }) {
            text->clear();
        }
    }

    void put_into(StyleRow& row) const
    {
        row.pres_code = pres_code;
        row.assign({ pri_day, pri_night, sec_day, sec_night, elem_name, field_name, bg_width,
            fg_width, scale, border, pres_name, style_text, nwf_border });
    }
};

// Buffers reused from style to style, so that reading a style allocates only its row's block.
struct Scratch
{
    std::string block;
    std::string attributes;
    RowDraft row;
};

// `out` becomes the text without its double quotes.
void assign_without_quotes(std::string& out, std::string_view text)
{
    auto quote = text.find('"');
    out.assign(text.substr(0, quote));
    while (quote != npos) {
        text.remove_prefix(quote + 1);
        quote = text.find('"');
        out.append(text.substr(0, quote));
    }
}

// `out` becomes get_block of the text without its double quotes: empty when there is no ">".
void assign_unquoted_block(std::string& out, std::string_view text)
{
    const auto close = text.find('>');
    if (close == npos) {
        out.clear();
    } else {
        assign_without_quotes(out, text.substr(0, close));
    }
}

// Where a scale or border value ends, counted from its start (after its opening double quote
// when it has one): at the first blank, ">", double quote, "<" or line break, so attributes
// written on lines of their own or with only TABs between them (which the normalisation removes)
// each keep their own value.
std::size_t attribute_end(std::string_view value)
{
    return std::min(value.size(), value.find_first_of(" >\"<\r\n"));
}

// Where a scale or border value starts: after "=" and the opening double quote, or right after
// "=" when the value is not quoted, so scale=1.5 keeps its first digit.
std::size_t attribute_start(std::string_view style, std::size_t after_equals)
{
    return after_equals < style.size() && style[after_equals] == '"' ? after_equals + 1
                                                                     : after_equals;
}

// Attributes on lines of their own read as they do on one line: each line break, with the
// blanks around it, becomes one blank.
void fold_line_breaks(std::string& name)
{
    std::size_t out = 0;
    for (std::size_t in = 0; in < name.size();) {
        const char c = name[in];
        if (c != '\r' && c != '\n') {
            name[out++] = c;
            ++in;
            continue;
        }
        while (out > 0 && name[out - 1] == ' ') {
            --out;
        }
        while (in < name.size() && (name[in] == '\r' || name[in] == '\n' || name[in] == ' ')) {
            ++in;
        }
        name[out++] = ' ';
    }
    name.resize(out);
}

// Where a colour element's night value is: its first "NIGHT", but not one inside the day's
// colour, which saving writes before the night and which would then be read as the night.
std::size_t night_at(std::string_view block, const Span& day_colour)
{
    const auto night = find_literal(block, "NIGHT");
    return day_colour.holds(night) ? find_literal(block, "NIGHT", day_colour.end) : night;
}

// Where a style's field name stands: between the quotes get_type takes it from.
Span field_name_span(std::string_view style)
{
    const std::string_view tag = style.substr(0, style.find('>'));
    const auto open = tag.find('"');
    if (open == npos) {
        return {};
    }
    return { open + 1, std::min(tag.size(), tag.find('"', open + 1)) };
}

// The first `word` of the style that starts inside none of the `values`. A word inside the field
// name or another attribute's value is part of it: a field named MAP_STATE_BORDER holds no
// border, and saving writes such values back every time.
std::size_t find_outside(
    std::string_view style, std::string_view word, std::initializer_list<Span> values)
{
    auto at = find_literal(style, word);
    for (bool moved = true; at != npos && moved;) {
        moved = false;
        for (const Span& value : values) {
            if (value.holds(at)) {
                at = find_literal(style, word, value.end);
                moved = true;
                break;
            }
        }
    }
    return at;
}

// Room for the styles of a text of `size` bytes, found before any row is made: more than a theme
// of styles of usual length holds. Only what is used is taken from the system, and the list
// grows as usual should it be exceeded, so growing it a step at a time is spared, which costs a
// fresh copy of it each step.
constexpr std::size_t likely_styles(std::size_t size)
{
    return size / 64;
}

// The table for the styles found, allocated once at its final size, every row made in place from
// its style's draft.
template <class Found, class Read>
std::vector<StyleRow> make_rows(
    const std::vector<Found>& found, const Progress& progress, const Read& read)
{
    std::vector<StyleRow> rows;
    Scratch scratch;
    rows.reserve(found.size());
    platform::prefer_large_pages(rows.data(), rows.capacity() * sizeof(StyleRow));
    for (const Found& style : found) {
        if (progress.due(rows.size())) {
            progress.report(between(found_at, rows_made_at, rows.size(), found.size()));
        }
        scratch.row.clear();
        read(style, scratch, scratch.row);
        scratch.row.put_into(rows.emplace_back());
    }
    return rows;
}

// What the rows of one Car & Zumo presentation share.
struct CarZumoPresentation
{
    std::string row_name;
    // pres_code without the border flag.
    std::int16_t code = 0;
};

// Where the parts of a Car & Zumo style stand in its text. A word inside the field name or an
// attribute's value is part of it, and so is a "SECONDARY" inside the primary's tag (a colour
// kept as it stands, which saving writes back).
struct CarZumoParts
{
    Span field;
    Span scale;
    std::size_t border_at = npos;
    Span border;
    std::size_t primary = npos;
    std::size_t secondary = npos;
};

CarZumoParts locate_parts(std::string_view style)
{
    CarZumoParts parts;
    parts.field = field_name_span(style);
    if (const auto at = find_outside(style, "SCALE=", { parts.field }); at != npos) {
        parts.scale.begin = attribute_start(style, at + 6);
        parts.scale.end = parts.scale.begin + attribute_end(from(style, parts.scale.begin));
    }
    // Not inside the scale's value either: saving writes the scale first, and a value that
    // holds BORDER would otherwise give the border on the next reading.
    parts.border_at = find_outside(style, "BORDER", { parts.field, parts.scale });
    if (parts.border_at != npos) {
        parts.border.begin = attribute_start(style, std::min(style.size(), parts.border_at + 7));
        parts.border.end = parts.border.begin + attribute_end(from(style, parts.border.begin));
    }
    const std::initializer_list<Span> values = { parts.field, parts.scale, parts.border };
    parts.primary = find_outside(style, "PRIMARY", values);
    parts.secondary = find_outside(style, "SECONDARY", values);
    if (parts.primary != npos && parts.secondary != npos && parts.secondary > parts.primary) {
        const auto primary_end = style.find('>', parts.primary);
        if (primary_end != npos && parts.secondary < primary_end) {
            parts.secondary = find_literal(style, "SECONDARY", primary_end);
        }
    }
    return parts;
}

std::string_view span_text(std::string_view style, const Span& span)
{
    return span.begin == npos ? std::string_view()
                              : style.substr(span.begin, span.end - span.begin);
}

// A style read for its messages alone, as read_car_zumo_style reads it: the field name, and a
// secondary colour without a day while the border is above 0.
void check_car_zumo_style(Document& doc, std::string_view style, std::string& block)
{
    field_name_of(doc, style);
    // Most styles have no border or no secondary colour at all, and then nothing more to say.
    if (find_literal(style, "SECONDARY") == npos || find_literal(style, "BORDER") == npos) {
        return;
    }
    const CarZumoParts parts = locate_parts(style);
    if (parts.secondary == npos || parts.border_at == npos) {
        return;
    }
    assign_unquoted_block(block, from(style, parts.secondary));
    if (find_literal(block, "DAY") == npos && val(span_text(style, parts.border)) > 0) {
        doc.message("Can't have border with no colour");
    }
}

void read_car_zumo_style(Document& doc, std::string_view style, const CarZumoPresentation& pres,
    Scratch& scratch, RowDraft& row)
{
    row.style_text = style;
    row.field_name = get_type(doc, style);

    const std::string_view tag = from(style, find_literal(style, "FIELD"));
    if (const auto close = tag.find('>'); close != npos) {
        std::string& element = row.elem_name;
        element = tag.substr(0, close);
        remove_in(element, "FIELD="sv);
        std::erase(element, '"');
        for (const std::string_view noise : { "MPM_"sv, "_CLR"sv, "MAP_"sv }) {
            remove_in(element, noise);
        }
        std::replace(element.begin(), element.end(), '_', ' ');
        fold_line_breaks(element);
        element.resize(std::min(element.size(), find_literal(element, "SCALE=")));
    }
    row.pres_name = pres.row_name;

    const CarZumoParts parts = locate_parts(style);
    if (parts.scale.begin != npos) {
        row.scale = span_text(style, parts.scale);
    } else if (contains(style, "RAIL")) {
        row.scale = "1"sv;
    }
    const std::size_t primary = parts.primary;
    const std::size_t secondary = parts.secondary;

    // The secondary colours are read first: whether the style has one decides the border.
    std::string& block = scratch.block;
    bool secondary_day = false;
    if (secondary != npos) {
        assign_unquoted_block(block, from(style, secondary));
        Span day_colour;
        if (const auto day = find_literal(block, "DAY"); day != npos) {
            row.sec_day = car_zumo_colour(block, day + 4, true, &day_colour);
            secondary_day = true;
        }
        if (const auto night = night_at(block, day_colour); night != npos) {
            row.sec_night = car_zumo_colour(block, night + 4, false);
        }
    }

    if (parts.border_at != npos) {
        row.border = span_text(style, parts.border);
        // A secondary colour whose day is empty is not saved, so it counts as none here too and
        // the saved theme reads with the same border.
        const bool no_secondary = secondary == npos || (secondary_day && row.sec_day.empty());
        if (no_secondary && doc.border_pref) {
            row.border = ".3"sv;
        }
    }

    row.pres_code = static_cast<std::int16_t>(pres.code + (row.border.empty() ? 0 : 1));

    if (primary != npos) {
        assign_unquoted_block(block, from(style, primary));
        Span day_colour;
        if (const auto day = find_literal(block, "DAY"); day != npos) {
            row.pri_day = car_zumo_colour(block, day + 4, true, &day_colour);
            const std::string_view d = from(block, day + 4);
            if (d.find('#') != npos && contains(d, "NONE")) {
                row.pri_day = "FFFFFF"sv;
            }
        }
        if (const auto night = night_at(block, day_colour); night != npos) {
            row.pri_night = car_zumo_colour(block, night + 4, true);
        } else {
            row.pri_night = "-1"sv;
        }
    }

    if (secondary != npos && !secondary_day) {
        if (val(row.border) > 0) {
            doc.message("Can't have border with no colour");
        }
        row.border.clear();
    }
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

// A name as kept: without outer blanks, then cut to the longest kept, which reading the saved
// name again leaves as it is.
std::string kept_name(std::string_view name)
{
    return std::string(trim_view(name).substr(0, longest_pres_name));
}

// The presentation name every row of the presentation carries: the display name without its
// line-break characters and outer blanks. The display name ends before any line break but the
// CR of a CR LF.
std::string row_pres_name(std::string_view display)
{
    if (!display.empty() && display.back() == '\r') {
        display.remove_suffix(1);
    }
    return kept_name(display);
}

// Reads the presentations of an upper-cased Car & Zumo text. Each presentation's spacing is
// folded in place, where it stands in the text; the rows are made once every style is known, so
// the table is allocated at its final size, and the document takes them only at the end.
void read_car_zumo(Document& doc, std::string& upper_text, RowUse use, const Progress& progress)
{
    std::vector<std::string> pres_names;
    std::vector<CarZumoPresentation> presentations;
    std::vector<StyleSpan> styles;
    styles.reserve(likely_styles(upper_text.size()));

    auto at = find_literal(upper_text, presentation_tag);
    while (at != npos) {
        const std::size_t start = at + presentation_tag.size();
        at = find_literal(upper_text, presentation_tag, start);
        const std::size_t end = at == npos ? upper_text.size() : at;
        const std::span<char> region(upper_text.data() + start, end - start);
        const std::string_view piece(region.data(), fold_tag_spacing(region));

        const std::string display = display_name(piece);
        pres_names.push_back(kept_name(display));
        doc.view().add_presentation(std::string_view(display).substr(0, longest_pres_name));

        // Only a presentation with styles needs what its rows share.
        bool has_rows = false;
        auto style = find_literal(piece, style_tag);
        while (style != npos) {
            const std::size_t text_start = style + style_tag.size();
            style = find_literal(piece, style_tag, text_start);
            const std::string_view text =
                piece.substr(text_start, (style == npos ? piece.size() : style) - text_start);
            if (!contains(text, "FIELD")) {
                continue;
            }
            if (!has_rows) {
                has_rows = true;
                CarZumoPresentation pres { row_pres_name(display) };
                pres.code = get_pcode(pres.row_name, {});
                presentations.push_back(std::move(pres));
            }
            styles.push_back({ text, presentations.size() - 1 });
            if (progress.due(styles.size())) {
                progress.report(between(folded_at, found_at, end, upper_text.size()));
            }
        }
    }
    progress.report(found_at);

    std::vector<StyleRow> rows;
    if (use == RowUse::Keep) {
        rows = make_rows(
            styles, progress, [&](const StyleSpan& span, Scratch& scratch, RowDraft& row) {
                read_car_zumo_style(doc, span.text, presentations[span.presentation], scratch, row);
            });
    } else {
        std::string block;
        for (const StyleSpan& span : styles) {
            check_car_zumo_style(doc, span.text, block);
        }
    }
    progress.report(rows_made_at);

    doc.pres_count = static_cast<int>(pres_names.size());
    doc.pres_names.swap(pres_names);
    doc.rows.swap(rows);
    if (styles.empty()) {
        doc.message("No polygons or lines found");
    }
}

// A Sport & Fitness colour: the six characters after the two transparency digits that follow
// the first "#", or the value as it stands without "#".
std::string nwf_colour(std::string_view value)
{
    const auto hash = value.find('#');
    return std::string(hash == npos ? value : from(value, hash + 3).substr(0, 6));
}

// The two transparency digits after the first "#" of a value (none without "#").
std::string nwf_transparency(std::string_view value)
{
    const auto hash = value.find('#');
    return hash == npos ? std::string() : get_border(from(value, hash + 1).substr(0, 2));
}

// A Sport & Fitness style's text as it is kept: `source` is its text after "<style ", without
// the list end, and `close` the 0-based place of the first ">" after its "field". An opening tag
// with quotes is rebuilt from its first quote on, in `rebuilt`.
std::string_view sport_fitness_style_text(
    std::string_view source, std::size_t close, std::string& rebuilt)
{
    const std::string_view opening = source.substr(0, close + 1);
    const auto quote = opening.find('"');
    if (quote == npos) {
        return source;
    }
    const std::string_view tag_rest = opening.substr(quote + 1);
    const std::string_view body = source.substr(close + 1);
    rebuilt.reserve(7 + tag_rest.size() + body.size());
    rebuilt = "field=\"";
    rebuilt += tag_rest;
    // Up to a "<" inside the tag only: a "<presentation" there, upper-cased and saved, would
    // make the theme read as Car & Zumo.
    upper_in(std::span<char>(rebuilt).subspan(7, before_any(tag_rest, "<").size()));
    rebuilt += body;
    return rebuilt;
}

// One Sport & Fitness style: `source` is its text after "<style ", without the list end, and
// `field` and `close` the 0-based places of "field" and of the first ">" after it.
void read_sport_fitness_style(Document& doc, std::string_view source, std::size_t field,
    std::size_t close, Scratch& scratch, RowDraft& row)
{
    const std::string_view opening = source.substr(0, close + 1);
    const auto quote = opening.find('"');
    row.style_text = sport_fitness_style_text(source, close, row.style_buffer);
    const std::string_view piece = row.style_text;
    row.field_name = get_type(doc, piece);
    row.pres_name = "Sport & Fitness"sv;

    // An opening tag without quotes is read from its field attribute on. Its widths are looked
    // for only when it could hold one: removing the name parts adds no letter, so without a "W"
    // there is no width.
    std::string& attributes = scratch.attributes;
    assign_unquoted_block(attributes, from(piece, quote != npos ? quote : field));
    if (attributes.find('W') == npos) {
        attributes.clear();
    }
    for (const std::string_view noise : { "MPM_"sv, "_CLR"sv, "MAP_"sv }) {
        remove_in(attributes, noise);
    }

    std::string& name = row.elem_name;
    assign_without_quotes(name, from(source.substr(0, close), 6));
    upper_in(name);
    for (const std::string_view noise : { "MPM_"sv, "_CLR"sv, "MAP_"sv }) {
        remove_in(name, noise);
    }
    const auto bg_at = find_literal(attributes, "BG_WIDTH");
    const auto fg_at = find_literal(attributes, "FG_WIDTH");
    if (bg_at != npos || fg_at != npos) {
        name.resize(std::min(name.size(), find_literal(name, "BG_WIDTH")));
        name.resize(std::min(name.size(), find_literal(name, "FG_WIDTH")));
    }
    const auto width_at = [&attributes](std::size_t at) {
        const std::string_view width = from(attributes, at);
        return get_width(width.substr(0, width.find(' ')));
    };
    if (bg_at != npos) {
        row.bg_width = width_at(bg_at);
    }
    if (fg_at != npos) {
        row.fg_width = width_at(fg_at);
    }
    row.scale = "1"sv;

    std::string& block = scratch.block;
    if (const auto at = find_literal(piece, "primary"); at != npos) {
        assign_unquoted_block(block, from(piece, at));
        if (const auto day = find_literal(block, "day"); day != npos) {
            row.pri_day = nwf_colour(from(block, day + 4));
        }
        if (const auto night = find_literal(block, "night"); night != npos) {
            row.pri_night = nwf_colour(from(block, night + 4));
        } else {
            row.pri_night = "-1"sv;
        }
    }

    if (const auto at = find_literal(piece, "secondary"); at != npos) {
        assign_unquoted_block(block, from(piece, at));
        if (const auto day = find_literal(block, "day"); day != npos) {
            const std::string_view d = from(block, day + 4);
            row.border = nwf_transparency(d);
            row.sec_day = d.find('#') == npos ? std::string(d) : nwf_colour(d);
        } else {
            row.border.clear();
        }
        if (const auto night = find_literal(block, "night"); night != npos) {
            const std::string_view n = from(block, night + 4);
            if (n.find('#') != npos) {
                row.nwf_border = nwf_transparency(n);
                row.sec_night = nwf_colour(n);
            }
        }
    }
}

// Reads the styles of a lower-cased Sport & Fitness text, folding its spacing in place first.
void read_sport_fitness(Document& doc, std::string& text, RowUse use, const Progress& progress)
{
    text.resize(fold_tag_spacing(text));
    progress.report(folded_at);
    doc.view().set_edit_menu_enabled(false);
    doc.view().add_presentation("Sport & Fitness");

    constexpr std::string_view tag = "<style ";
    constexpr std::string_view list_end = "</stylelist";
    struct Found
    {
        std::string_view source;
        std::size_t field, close;
    };
    std::vector<Found> styles;
    styles.reserve(likely_styles(text.size()));
    const std::string_view all(text);
    // The first list end at or after the style being read; one search serves every style before it.
    std::size_t next_list_end = 0;
    auto at = find_literal(all, tag);
    while (at != npos) {
        const std::size_t start = at + tag.size();
        at = find_literal(all, tag, start);
        const std::size_t end = at == npos ? all.size() : at;
        if (next_list_end != npos && next_list_end < start) {
            next_list_end = find_literal(all, list_end, start);
        }
        const std::string_view source = all.substr(start, std::min(end, next_list_end) - start);
        const auto field = find_literal(source, "field");
        if (field == npos) {
            continue;
        }
        // Without a closing ">" there is no opening tag to read: the piece is not a style.
        if (const auto close = source.find('>', field); close != npos) {
            styles.push_back({ source, field, close });
            if (progress.due(styles.size())) {
                progress.report(between(folded_at, found_at, end, all.size()));
            }
        }
    }
    progress.report(found_at);

    std::vector<StyleRow> rows;
    if (use == RowUse::Keep) {
        rows =
            make_rows(styles, progress, [&](const Found& style, Scratch& scratch, RowDraft& row) {
                read_sport_fitness_style(doc, style.source, style.field, style.close, scratch, row);
            });
    } else {
        // A Sport & Fitness style says nothing while it is read but for its field name: its
        // kept text opens with field=" before the rest of its tag (or is the tag as it stands,
        // when that holds no double quote), so the name is missing when no double quote follows
        // the tag's first one before the first ">".
        for (const Found& style : styles) {
            const std::string_view opening = style.source.substr(0, style.close + 1);
            const auto quote = opening.find('"');
            const std::string_view rest = quote == npos ? opening : opening.substr(quote + 1);
            const auto close_quote = rest.find('"');
            if (quote == npos || close_quote == npos || close_quote > rest.find('>')) {
                doc.message("Can't find type!");
            }
        }
    }
    progress.report(rows_made_at);
    doc.rows.swap(rows);
    if (styles.empty()) {
        doc.message("No polygons or lines found");
    }
}

} // namespace

void parse_nwf(Document& doc, const std::string& source)
{
    std::string text = lower(source);
    read_sport_fitness(doc, text, RowUse::Keep, Progress());
}

} // namespace tintwell
