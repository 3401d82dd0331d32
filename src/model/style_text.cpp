#include "model/style_text.h"

#include "model/text.h"

#include <initializer_list>
#include <string_view>

namespace tintwell {

using namespace text;

namespace {

// The night colours as the text writes them, and the defaults filled in on the way.
struct NightColours
{
    std::string primary;
    std::string secondary;
};

NightColours written_night(StyleValues& values)
{
    // A style without night colours keeps "-1" in its row; only the text leaves them out.
    NightColours night { values.pri_night, values.sec_night };
    if (contains(night.primary, "-1")) {
        night.primary.clear();
        night.secondary.clear();
    }
    const bool sport = values.kind == ThemeKind::SportFitness;
    if (values.night_colours) {
        if (night.secondary.empty()) {
            night.secondary = values.sec_night = "000000";
        }
        if (night.primary.empty()) {
            night.primary = values.pri_night = sport ? "ffff00" : "FFFF00";
        }
    }
    if (sport) {
        if (values.pri_day.empty()) {
            values.pri_day = "CECECE";
        }
        if (night.primary.empty()) {
            night.primary = "CECECE";
            if (values.pri_night.empty()) {
                values.pri_night = "CECECE";
            }
        }
    }
    return night;
}

// Appends ` name="VALUE"`, the value given in pieces.
void put_quoted(
    std::string& code, std::string_view name, std::initializer_list<std::string_view> value)
{
    code += ' ';
    code += name;
    code += '=';
    code += quote;
    for (const std::string_view piece : value) {
        code += piece;
    }
    code += quote;
}

} // namespace

StyleValues style_values(const StyleRow& row, ThemeKind kind)
{
    StyleValues values;
    values.kind = kind;
    values.field_name = row.field_name();
    values.scale = row.scale();
    values.border = row.border();
    values.nwf_border = row.nwf_border();
    values.pri_day = row.pri_day();
    values.pri_night = row.pri_night();
    values.sec_day = row.sec_day();
    values.sec_night = row.sec_night();
    values.night_colours = row.pri_night() != "-1";
    return values;
}

StyleValues code_colours(StyleValues values)
{
    written_night(values);
    return values;
}

std::string get_code(const StyleValues& in)
{
    StyleValues values = in;
    const NightColours night = written_night(values);
    // Built by appending to one string: a change of thousands of styles writes each of them.
    std::string code;
    code.reserve(160 + values.field_name.size() + values.scale.size() + values.border.size());
    if (values.kind == ThemeKind::CarZumo) {
        code += "FIELD=";
        code += values.field_name;
        if (!values.scale.empty()) {
            put_quoted(code, "scale", { values.scale });
        }
        if (!values.border.empty()) {
            put_quoted(code, "border", { values.border });
        }
        code += " />";
        code += crlf;
        code += "<COLOR>";
        code += crlf;
        code += "<PRIMARY ";
        const auto colours = [&](const std::string& day, const std::string& night_colour) {
            if (!day.empty()) {
                put_quoted(code, "day", { "#", upper(day) });
            }
            if (!night_colour.empty()) {
                put_quoted(code, "night", { "#", upper(night_colour) });
            }
            code += " />";
            code += crlf;
        };
        colours(values.pri_day, night.primary);
        if (!values.border.empty()) {
            code += "<SECONDARY ";
            colours(values.sec_day, night.secondary);
        }
        code += "</COLOR>";
        code += crlf;
        code += "</STYLE>";
        return code;
    }
    code += "field=";
    code += quote;
    code += values.field_name;
    code += quote;
    code += " ><color><primary ";
    put_quoted(code, "day", { "#ff", lower(values.pri_day) });
    put_quoted(code, "night", { "#ff", lower(night.primary) });
    code += " /><secondary ";
    if (!values.sec_day.empty()) {
        put_quoted(code, "day", { "#", lower(values.border), lower(values.sec_day) });
    }
    if (!night.secondary.empty()) {
        put_quoted(code, "night", { "#", lower(values.nwf_border), lower(night.secondary) });
    }
    code += " /></color></style>";
    return code;
}

void store_values(StyleRow& row, const StyleValues& values)
{
    row.set_scale(values.scale);
    row.set_border(values.border);
    row.set_nwf_border(values.nwf_border);
    row.set_pri_day(values.pri_day);
    row.set_pri_night(values.pri_night);
    row.set_sec_day(values.sec_day);
    row.set_sec_night(values.sec_night);
}

std::string strip_night(std::string_view style_text, ThemeKind kind)
{
    if (kind == ThemeKind::SportFitness) {
        return remove(style_text, crlf);
    }
    std::string code(style_text);
    if (!contains(lower(code), "night=") || !contains(code, "-1")) {
        return code;
    }
    std::string joined;
    for (auto line : split(code, crlf)) {
        const std::size_t at = instr(lower(line), " night");
        if (at != 0) {
            line = left(line, at) + " />";
        }
        joined += line;
        joined += crlf;
    }
    return remove(joined, "night=\"#-1\"");
}

DocumentEdit strip_night_edit(const Document& doc, int row)
{
    DocumentEdit edit;
    if (!doc.valid_row(row)) {
        return edit;
    }
    const StyleRow& before = doc.rows[static_cast<std::size_t>(row)];
    StyleRow after = before;
    after.set_style_text(strip_night(before.style_text(), doc.kind));
    edit.replace_row(row, before, after);
    return edit;
}

} // namespace tintwell
