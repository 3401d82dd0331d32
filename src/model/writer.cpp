#include "model/writer.h"

#include "model/text.h"

namespace tintwell {

using namespace text;

namespace {

constexpr std::string_view q = "\"";

bool file_exists(const std::string& path)
{
    return platform::file_kind(path) != platform::FileKind::Missing;
}

void append_style(std::string& out, StyleRow& row)
{
    out += crlf;
    out += "<STYLE field = ";
    out += q;
    out += row.field_name();
    out += q;
    if (!row.scale().empty()) {
        out += " scale=";
        out += q;
        out += row.scale();
        out += q;
        out += " ";
    }
    const bool has_border = !row.border().empty() && row.border() != "0";
    if (has_border) {
        out += " border=";
        out += q;
        out += row.border();
        out += q;
        out += " ";
    }
    out += ">";
    out += crlf;
    out += " <COLOR>";
    out += crlf;

    bool wrote_primary_night = false;
    if (!row.pri_day().empty()) {
        out += "<PRIMARY day = ";
        out += q;
        out += '#';
        out += row.pri_day();
        out += q;
        if (!row.pri_night().empty() && row.pri_night() != "-1") {
            out += " night=";
            out += q;
            out += '#';
            out += row.pri_night();
            out += q;
            wrote_primary_night = true;
        }
        out += "/>";
        out += crlf;
    }
    if (!row.sec_day().empty() && row.border() != "0") {
        out += "<SECONDARY day = ";
        out += q;
        out += '#';
        out += row.sec_day();
        out += q;
        if (!row.sec_night().empty() && row.sec_night() != "-1"
            && (row.pri_day().empty() || wrote_primary_night)) {
            out += " night=";
            out += q;
            out += '#';
            out += row.sec_night();
            out += q;
        }
        out += "/>";
        out += crlf;
    }
    out += " </COLOR >";
    out += crlf;
    out += "</STYLE>";
    out += crlf;
}

} // namespace

std::string get_head()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n";
}

std::string make_meta(Document& doc)
{
    ThemeMetadata& meta = doc.metadata;
    if (meta.title.empty()) {
        doc.message("Needs a Title");
        doc.view().focus_title();
        return {};
    }
    if (doc.kind == ThemeKind::SportFitness) {
        return "<metadata><title>" + meta.title + "</title><description>" + meta.description
            + "</description></metadata>";
    }
    if (meta.description.empty()) {
        meta.description = "map theme";
    }
    if (meta.locale.empty()) {
        meta.locale = "Global";
    }
    if (meta.version.empty()) {
        meta.version = "1.00";
    }
    doc.view().metadata_changed(meta);

    auto separator = instr(meta.version, ".");
    if (separator == 0) {
        separator = instr(meta.version, ",");
    }
    std::string major = meta.version;
    std::string minor = "00";
    if (separator != 0) {
        major = left(meta.version, separator - 1);
        minor = mid(meta.version, separator + 1);
    }
    const std::string nl(crlf);
    return "<METADATA>" + nl + "<TITLE>" + meta.title + "</TITLE>" + nl + "<DESCRIPTION>"
        + meta.description + "</DESCRIPTION>" + nl + "<LOCALELIST>" + nl + "<locale>" + meta.locale
        + "</locale>" + nl + "</LOCALELIST>" + nl + "<Version><Major>" + major + "</Major><Minor>"
        + minor + "</Minor></Version>" + nl + "</METADATA>";
}

std::string car_zumo_text(Document& doc)
{
    std::string out = get_head();
    const std::string meta = make_meta(doc);
    if (meta.empty()) {
        return {};
    }
    out += meta;
    out += crlf;

    std::string previous;
    for (int i = 0; i < doc.row_count(); ++i) {
        StyleRow& row = doc.rows[static_cast<std::size_t>(i)];
        if (row.pres_name() != previous || i == 0) {
            previous = row.pres_name();
            if (i != 0) {
                out += "</STYLELIST>\r\n</PRESENTATION>\r\n";
            }
            out += "<PRESENTATION ID=\"" + trim(row.pres_name()) + "\" > \r\n<STYLELIST>\r\n";
        }
        if (row.border().find_first_of("\r\n") != std::string_view::npos) {
            row.set_border(remove(remove(row.border(), "\r"), "\n"));
        }
        for (const char c : row.border()) {
            if (static_cast<unsigned char>(c) < 32) {
                doc.message("Error with Border Height");
            }
        }
        append_style(out, row);
    }
    out += "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>";
    return out;
}

std::string sport_fitness_text(Document& doc)
{
    std::string out = lower(get_head());
    out += make_meta(doc);
    out += "<stylelist>";
    for (const StyleRow& row : doc.rows) {
        out += "<style ";
        out += row.style_text();
    }
    out += "</stylelist></garmin_map_theme>";
    return out;
}

bool save_nwf(Document& doc, const std::string& path)
{
    const bool written = append_(doc, path, sport_fitness_text(doc));
    if (written) {
        doc.modified = false;
    }
    doc.view().busy_off();
    return written;
}

bool save_code(Document& doc, const std::string& path)
{
    if (file_exists(path)) {
        if (!doc.prompter().ask_yes_no("Overwrite existing file?")) {
            return false;
        }
    }
    return save_in_place(doc, path);
}

bool save_in_place(Document& doc, const std::string& path)
{
    doc.view().busy_on();
    if (doc.kind == ThemeKind::SportFitness) {
        return save_nwf(doc, path);
    }
    const std::string content = car_zumo_text(doc);
    if (content.empty()) {
        doc.message("File not saved");
        doc.view().busy_off();
        return false;
    }
    const bool written = append_(doc, path, content);
    if (written) {
        doc.modified = false;
    }
    doc.view().busy_off();
    return written;
}

bool append_(Document& doc, const std::string& path, const std::string& text)
{
    std::string error;
    std::string bytes = text;
    bytes += crlf;
    switch (replace_file(path, bytes, error)) {
    case ReplaceResult::Refused:
    case ReplaceResult::Failed:
        doc.message(error);
        return false;
    case ReplaceResult::Replaced:
        break;
    }
    if (!file_exists(path)) {
        doc.message("Invalid file:" + path);
        return false;
    }
    return true;
}

bool save_text_file(Prompter& prompter, const std::string& path, const std::string& text)
{
    if (path.empty()) {
        return false;
    }
    std::string error;
    std::string bytes = text;
    bytes += crlf;
    if (replace_file(path, bytes, error) != ReplaceResult::Replaced) {
        prompter.message(error);
        return false;
    }
    return true;
}

} // namespace tintwell
