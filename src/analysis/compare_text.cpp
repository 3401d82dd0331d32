#include "analysis/compare_text.h"

#include "colour/colour_science.h"
#include "model/text.h"

namespace tintwell {

namespace {

// A theme's texts may hold any byte. Printed raw, a control byte could move the cursor or change
// the colours of the terminal showing the report, and a NUL ends the line for many tools; each is
// shown as \xNN instead.
std::string utf8(const std::string& s)
{
    std::string shown;
    shown.reserve(s.size());
    for (const char c : s) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            constexpr char digits[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return text::latin1_to_utf8(shown);
}

std::string value_label(RowValue value, ThemeKind kind)
{
    switch (value) {
    case RowValue::BodyDay:
        return "body by day";
    case RowValue::BodyNight:
        return "body by night";
    case RowValue::BorderDay:
        return "border colour by day";
    case RowValue::BorderNight:
        return "border colour by night";
    case RowValue::Border:
        return kind == ThemeKind::CarZumo ? "border" : "border transparency by day";
    case RowValue::NightBorder:
        return "border transparency by night";
    case RowValue::BgWidth:
        return "background width";
    case RowValue::FgWidth:
        return "foreground width";
    case RowValue::StyleText:
        return "style text";
    case RowValue::Scale:
        break;
    }
    return "scale";
}

// One line's worth of a value: blanks and line breaks folded, "none" for nothing.
std::string value_text(RowValue value, const std::string& cell)
{
    if (is_colour(value)) {
        if (const auto rgb = colour::parse_rgb(cell)) {
            return colour::to_hex(*rgb);
        }
        return holds_no_colour(cell) ? "none" : "\"" + utf8(cell) + "\"";
    }
    std::string folded;
    for (const char c : cell) {
        const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!space) {
            folded += c;
        } else if (!folded.empty() && folded.back() != ' ') {
            folded += ' ';
        }
    }
    folded = text::trim(folded);
    if (folded.empty()) {
        return "none";
    }
    return value == RowValue::StyleText ? "\"" + utf8(folded) + "\"" : utf8(folded);
}

} // namespace

bool is_colour(RowValue value)
{
    return value == RowValue::BodyDay || value == RowValue::BodyNight
        || value == RowValue::BorderDay || value == RowValue::BorderNight;
}

const char* metadata_key(MetadataField field)
{
    switch (field) {
    case MetadataField::Title:
        return "title";
    case MetadataField::Description:
        return "description";
    case MetadataField::Locale:
        return "locale";
    case MetadataField::Version:
        break;
    }
    return "version";
}

const char* change_name(RowChangeKind kind)
{
    switch (kind) {
    case RowChangeKind::OnlyInA:
        return "removed";
    case RowChangeKind::OnlyInB:
        return "added";
    case RowChangeKind::Changed:
        break;
    }
    return "changed";
}

std::string element_text(const RowChange& change)
{
    std::string name = utf8(change.field_name);
    if (change.repeated) {
        name += "[" + std::to_string(change.occurrence + 1) + "]";
    }
    return change.pres_name.empty() ? name : utf8(change.pres_name) + " " + name;
}

std::string value_change_text(const ValueChange& value, ThemeKind kind)
{
    return value_label(value.value, kind) + ' ' + value_text(value.value, value.from) + " -> "
        + value_text(value.value, value.to);
}

std::string change_text(const MetadataChange& change)
{
    return std::string("metadata ") + metadata_key(change.field) + ": \"" + utf8(change.from)
        + "\" -> \"" + utf8(change.to) + "\"";
}

std::vector<std::string> change_lines(const RowChange& change, ThemeKind kind)
{
    const std::string element = element_text(change);
    if (change.kind != RowChangeKind::Changed) {
        return { element + ": " + change_name(change.kind) };
    }
    std::vector<std::string> lines;
    lines.reserve(change.values.size());
    for (const ValueChange& v : change.values) {
        lines.push_back(element + ": " + value_change_text(v, kind));
    }
    return lines;
}

std::string change_text(const RowChange& change, ThemeKind kind)
{
    return change_text(change, kind, element_text(change));
}

std::string display_element_text(
    std::string_view display_name, std::string_view presentation, const RowChange& change)
{
    std::string name = utf8(text::trim(display_name));
    if (change.repeated) {
        name += " [" + std::to_string(change.occurrence + 1) + "]";
    }
    const std::string pres = text::trim(presentation);
    return pres.empty() ? name : name + " (" + utf8(pres) + ")";
}

std::string change_text(const RowChange& change, ThemeKind kind, const std::string& element)
{
    std::string line = element + ": ";
    if (change.kind != RowChangeKind::Changed) {
        return line + change_name(change.kind);
    }
    for (std::size_t i = 0; i < change.values.size(); ++i) {
        line += (i > 0 ? "; " : "") + value_change_text(change.values[i], kind);
    }
    return line;
}

} // namespace tintwell
