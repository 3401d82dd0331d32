#include "app/dump_writer.h"

#include "model/text.h"

#include <ostream>
#include <utility>

namespace tintwell {

namespace {

// A text as a JSON string, escaped as the JSON library escapes it.
void write_string(std::ostream& out, const std::string& latin1)
{
    out << '"';
    for (const char ch : text::latin1_to_utf8(latin1)) {
        switch (ch) {
        case '"':
            out << "\\\"";
            break;
        case '\\':
            out << "\\\\";
            break;
        case '\b':
            out << "\\b";
            break;
        case '\f':
            out << "\\f";
            break;
        case '\n':
            out << "\\n";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\t':
            out << "\\t";
            break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20) {
                static constexpr char hex[] = "0123456789abcdef";
                out << "\\u00" << hex[(ch >> 4) & 0xF] << hex[ch & 0xF];
            } else {
                out << ch;
            }
        }
    }
    out << '"';
}

// A JSON array of texts at the second level of the dump.
void write_strings(std::ostream& out, const std::vector<std::string>& texts)
{
    if (texts.empty()) {
        out << "[]";
        return;
    }
    out << '[';
    for (const std::string& text : texts) {
        out << (&text == &texts.front() ? "\n    " : ",\n    ");
        write_string(out, text);
    }
    out << "\n  ]";
}

} // namespace

// Laid out as the JSON library lays out an ordered object with an indent of two, so the output
// is the same byte for byte; written as it goes, so a large theme is not held a second time.
void write_dump(
    std::ostream& out, const Document& doc, bool accepted, const std::vector<std::string>& messages)
{
    out << "{\n  \"accepted\": " << (accepted ? "true" : "false") << ",\n  \"kind\": \""
        << (doc.kind == ThemeKind::CarZumo ? "CarZumo" : "SportFitness") << "\",\n  \"messages\": ";
    write_strings(out, messages);
    out << ",\n  \"metadata\": {\n    \"title\": ";
    write_string(out, doc.metadata.title);
    out << ",\n    \"description\": ";
    write_string(out, doc.metadata.description);
    out << ",\n    \"locale\": ";
    write_string(out, doc.metadata.locale);
    out << ",\n    \"version\": ";
    write_string(out, doc.metadata.version);
    out << "\n  },\n  \"pres_count\": " << doc.pres_count << ",\n  \"pres_names\": ";
    // The slots past the names kept are written empty.
    if (doc.pres_count <= 0) {
        out << "[]";
    }
    for (int i = 0; i < doc.pres_count; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        out << (i == 0 ? "[\n    " : ",\n    ");
        write_string(out, slot < doc.pres_names.size() ? doc.pres_names[slot] : std::string());
    }
    if (doc.pres_count > 0) {
        out << "\n  ]";
    }
    out << ",\n  \"row_count\": " << doc.row_count() << ",\n  \"rows\": ";
    if (doc.rows.empty()) {
        out << "[]";
    }
    for (const StyleRow& r : doc.rows) {
        out << (&r == &doc.rows.front() ? "[\n" : ",\n")
            << "    {\n      \"pres_code\": " << r.pres_code;
        const std::pair<const char*, const std::string*> cells[] = { { "pri_day", &r.pri_day },
            { "pri_night", &r.pri_night }, { "sec_day", &r.sec_day }, { "sec_night", &r.sec_night },
            { "elem_name", &r.elem_name }, { "field_name", &r.field_name },
            { "bg_width", &r.bg_width }, { "fg_width", &r.fg_width }, { "scale", &r.scale },
            { "border", &r.border }, { "pres_name", &r.pres_name }, { "style_text", &r.style_text },
            { "nwf_border", &r.nwf_border } };
        for (const auto& [key, value] : cells) {
            out << ",\n      \"" << key << "\": ";
            write_string(out, *value);
        }
        out << "\n    }";
    }
    out << (doc.rows.empty() ? "\n}\n" : "\n  ]\n}\n");
}

} // namespace tintwell
