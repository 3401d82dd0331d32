#include "model/reader.h"

#include "model/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

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

// The six colour digits that follow the first "#" of a Car & Zumo value.
std::string hash_digits(std::string_view value, std::size_t skip)
{
    const auto hash = instr(value, "#");
    return mid(value, hash + 1 + skip, 6);
}

void read_car_zumo(Document& doc, const std::string& text);

} // namespace

std::string loadbinary2(Document& doc, const std::string& path)
{
    if (path.empty() || !is_file(path)) {
        return {};
    }
    doc.file_name = path;
    std::string content;
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

    for (const char* blanks_before : { " =", "  =", "   =" }) {
        text = replace(text, blanks_before, "=");
    }
    for (const char* blanks_after : { "= ", "=  ", "=   " }) {
        text = replace(text, blanks_after, "=");
    }
    text = remove(text, "\t");
    text = replace(text, "  ", " ");
    doc.view().nosel();

    const std::string upper_text = upper(text);
    if (text.empty() || !contains(upper_text, "<COLOR")) {
        doc.message("File not a Garmin kmtf file.");
        return false;
    }

    get_meta(doc, text);

    doc.kind = ThemeKind::CarZumo;
    if (contains(text, "PRESENTATION")) {
        doc.view().set_edit_menu_enabled(true);
        doc.view().set_locale_version_enabled(true);
        read_car_zumo(doc, upper_text);
        return true;
    }
    // Upper-cased, so a Sport & Fitness file with lower-case field names is recognised too.
    if (contains(upper_text, "MPM_")) {
        doc.kind = ThemeKind::SportFitness;
        doc.view().set_locale_version_enabled(false);
        parse_nwf(doc, text);
        return true;
    }
    doc.message("No Presentation");
    return false;
}

void get_meta(Document& doc, std::string_view text)
{
    const auto start = instr(upper(text), "METADATA");
    if (start == 0) {
        doc.message("no meta");
        return;
    }
    const std::string meta = mid(text, start);
    if (!contains(upper(meta), "/METADATA")) {
        doc.message("Oops no meta");
        return;
    }
    doc.metadata.title = get_bit(meta, "title");
    doc.metadata.description = get_bit(meta, "description");
    doc.metadata.locale = get_bit(get_bit(meta, "localelist"), "locale");

    std::string version = get_bit(meta, "version");
    version = replace(version, "MAJORMINOR", ".");
    for (const char* noise : { "MAJOR", "MINOR", "\n", "\r", " " }) {
        version = remove(version, noise);
    }
    doc.metadata.version = trim(version);
    doc.view().metadata_changed(doc.metadata);
}

std::string get_bit(std::string_view text, std::string_view tag)
{
    const std::string upper_text = upper(text);
    const std::string upper_tag = upper(tag);
    const auto first = instr(upper_text, upper_tag);
    if (first == 0 || upper_tag.empty()) {
        return {};
    }
    std::string rest = mid(upper_text, first + upper_tag.size());
    rest = before(rest, upper_tag);
    for (const char* markup : { ">", "<", "/" }) {
        rest = remove(rest, markup);
    }
    return rest;
}

std::string get_type(Document& doc, std::string_view style_text)
{
    const auto close = instr(style_text, ">");
    const std::string tag = close == 0 ? std::string() : left(style_text, close - 1);
    const auto open_quote = instr(tag, "\"");
    if (open_quote == 0) {
        doc.message("Can't find type!");
        return {};
    }
    const std::string after = mid(tag, open_quote + 1);
    const auto close_quote = instr(after, "\"");
    if (close_quote == 0) {
        doc.message("Can't find type!");
        return after;
    }
    return left(after, close_quote - 1);
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

void read_car_zumo_style(Document& doc, const std::string& style, const std::string& pres_name)
{
    StyleRow row;
    row.style_text = style;
    row.field_name = get_type(doc, style);

    std::string element = get_block(mid(style, instr(style, "FIELD")));
    for (const char* noise : { "FIELD=", "\"", "MPM_", "_CLR", "MAP_" }) {
        element = remove(element, noise);
    }
    element = replace(element, "_", " ");
    element = before(element, "SCALE=");
    row.elem_name = element;
    row.pres_name = pres_name;

    if (const auto at = instr(style, "SCALE=")) {
        std::string value = mid(style, at + 7);
        const auto blank = instr(value, " ");
        const auto close = instr(value, ">");
        if (blank && (!close || blank < close)) {
            value = left(value, blank - 1);
        } else if (close) {
            value = left(value, close - 1);
        }
        row.scale = remove(value, "\"");
    } else if (contains(style, "RAIL")) {
        row.scale = "1";
    }

    if (const auto at = instr(style, "BORDER")) {
        std::string value = mid(style, at + 7);
        const auto blank = instr(value, " ");
        const auto close = instr(value, ">");
        if (blank && (!close || blank < close)) {
            value = left(value, blank - 1);
        } else if (close) {
            value = left(value, close - 1);
        }
        row.border = remove(value, "\"");
        if (!contains(style, "SECONDARY") && doc.border_pref) {
            row.border = ".3";
        }
    }

    row.pres_code = get_pcode(pres_name, row.border);

    if (const auto at = instr(style, "PRIMARY")) {
        const std::string e = remove(get_block(mid(style, at)), "\"");
        if (const auto day = instr(e, "DAY")) {
            const std::string d = mid(e, day + 4);
            if (contains(d, "#")) {
                row.pri_day = contains(d, "NONE") ? std::string("FFFFFF") : hash_digits(d, 0);
            } else {
                row.pri_day = d;
            }
        }
        if (const auto night = instr(e, "NIGHT")) {
            const std::string n = mid(e, night + 4);
            row.pri_night = contains(n, "#") ? hash_digits(n, 0) : n;
        } else {
            row.pri_night = "-1";
        }
    }

    if (const auto at = instr(style, "SECONDARY")) {
        const std::string e = remove(get_block(mid(style, at)), "\"");
        if (const auto day = instr(e, "DAY")) {
            const std::string d = mid(e, day + 4);
            row.sec_day = contains(d, "#") ? hash_digits(d, 0) : d;
        } else {
            if (val(row.border) > 0) {
                doc.message("Can't have border with no colour");
            }
            row.border.clear();
        }
        if (const auto night = instr(e, "NIGHT")) {
            const std::string n = mid(e, night + 4);
            row.sec_night = contains(n, "#") ? hash_digits(n, 0) : std::string();
        }
    }

    doc.rows.push_back(std::move(row));
}

void read_car_zumo(Document& doc, const std::string& text)
{
    const auto pieces = split(text, "<PRESENTATION");
    doc.pres_count = static_cast<int>(pieces.size()) - 1;
    doc.rows.clear();
    doc.pres_names.clear();

    for (std::size_t p = 1; p < pieces.size(); ++p) {
        std::string piece = replace(pieces[p], "  ", " ");
        piece = replace(piece, "> ", ">");
        piece = replace(piece, ">  ", ">");

        std::string display = before(piece, "\n");
        for (const char* noise : { "\"", "ID=", ">" }) {
            display = remove(display, noise);
        }
        doc.pres_names.push_back(trim(display));
        doc.view().add_presentation(display);

        std::string pres_name = remove(display, "\r\n");
        pres_name = remove(pres_name, "\n");
        pres_name = remove(pres_name, "\r");
        pres_name = trim(pres_name);

        const auto styles = split(piece, "<STYLE");
        for (std::size_t s = 1; s < styles.size(); ++s) {
            if (contains(styles[s], "FIELD")) {
                read_car_zumo_style(doc, styles[s], pres_name);
            }
        }
    }

    if (doc.rows.empty()) {
        doc.message("No polygons or lines found");
    }
}

} // namespace

void parse_nwf(Document& doc, const std::string& source)
{
    std::string text = replace(source, "  ", " ");
    text = replace(text, "> ", ">");
    text = replace(text, ">  ", ">");

    const auto pieces = split(lower(text), "<style ");
    doc.rows.clear();
    doc.view().set_edit_menu_enabled(false);
    doc.view().add_presentation("Sport & Fitness");

    for (std::size_t p = 1; p < pieces.size(); ++p) {
        std::string piece = before(pieces[p], "</stylelist");
        const auto field = instr(piece, "field");
        if (field == 0) {
            continue;
        }
        const auto g = instr(piece, ">", field);
        // Without a closing ">" there is no opening tag to read: the piece is not a style.
        if (g == 0) {
            continue;
        }
        const std::string opening = left(piece, g);
        const std::string element = remove(mid(left(piece, g - 1), 7), "\"");
        const auto quote_at = instr(opening, "\"");
        if (quote_at != 0) {
            piece = "field=\"" + upper(mid(opening, quote_at + 1)) + mid(piece, g + 1);
        }

        StyleRow row;
        row.style_text = piece;
        row.field_name = get_type(doc, piece);
        row.pres_name = "Sport & Fitness";

        // An opening tag without quotes is read from its field attribute on.
        std::string attributes = get_block(mid(piece, quote_at != 0 ? quote_at : field));
        for (const char* noise : { "\"", "MPM_", "_CLR", "MAP_" }) {
            attributes = remove(attributes, noise);
        }

        std::string name = upper(element);
        for (const char* noise : { "MPM_", "_CLR", "MAP_" }) {
            name = remove(name, noise);
        }
        if (contains(attributes, "BG_WIDTH") || contains(attributes, "FG_WIDTH")) {
            name = before(name, "BG_WIDTH");
            name = before(name, "FG_WIDTH");
        }
        row.elem_name = name;

        if (const auto at = instr(attributes, "BG_WIDTH")) {
            row.bg_width = get_width(before(mid(attributes, at), " "));
        }
        if (const auto at = instr(attributes, "FG_WIDTH")) {
            row.fg_width = get_width(before(mid(attributes, at), " "));
        }
        row.scale = "1";

        if (const auto at = instr(piece, "primary")) {
            const std::string e = remove(get_block(mid(piece, at)), "\"");
            if (const auto day = instr(e, "day")) {
                const std::string d = mid(e, day + 4);
                row.pri_day = contains(d, "#") ? hash_digits(d, 2) : d;
            }
            if (const auto night = instr(e, "night")) {
                const std::string n = mid(e, night + 4);
                row.pri_night = contains(n, "#") ? hash_digits(n, 2) : n;
            } else {
                row.pri_night = "-1";
            }
        }

        if (const auto at = instr(piece, "secondary")) {
            const std::string e = remove(get_block(mid(piece, at)), "\"");
            if (const auto day = instr(e, "day")) {
                const std::string d = mid(e, day + 4);
                if (const auto hash = instr(d, "#")) {
                    row.border = get_border(mid(d, hash + 1, 2));
                    row.sec_day = hash_digits(d, 2);
                } else {
                    row.sec_day = d;
                }
            } else {
                row.border.clear();
            }
            if (const auto night = instr(e, "night")) {
                const std::string n = mid(e, night + 4);
                if (const auto hash = instr(n, "#")) {
                    row.nwf_border = get_border(mid(n, hash + 1, 2));
                    row.sec_night = hash_digits(n, 2);
                }
            }
        }
        doc.rows.push_back(std::move(row));
    }

    if (doc.rows.empty()) {
        doc.message("No polygons or lines found");
    }
}

} // namespace tintwell
