#include "app/dump_writer.h"

#include "model/text.h"

#include <ostream>
#include <utility>

namespace tintwell {

namespace {

// A text as a JSON string, escaped as the JSON library escapes it.
void write_string(std::ostream& out, std::string_view latin1)
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

// The row cells under their keys, in the order they are written.
constexpr std::pair<const char*, StyleCell> dump_cells[] = { { "pri_day", StyleCell::PriDay },
    { "pri_night", StyleCell::PriNight }, { "sec_day", StyleCell::SecDay },
    { "sec_night", StyleCell::SecNight }, { "elem_name", StyleCell::ElemName },
    { "field_name", StyleCell::FieldName }, { "bg_width", StyleCell::BgWidth },
    { "fg_width", StyleCell::FgWidth }, { "scale", StyleCell::Scale },
    { "border", StyleCell::Border }, { "pres_name", StyleCell::PresName },
    { "style_text", StyleCell::StyleText }, { "nwf_border", StyleCell::NwfBorder } };

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
        for (const auto& [key, cell] : dump_cells) {
            out << ",\n      \"" << key << "\": ";
            write_string(out, r.get(cell));
        }
        out << "\n    }";
    }
    out << (doc.rows.empty() ? "\n}\n" : "\n  ]\n}\n");
}

} // namespace tintwell
