#include "model/style_code.h"

#include "model/catalogue.h"
#include "model/reader.h"
#include "model/text.h"

#include <algorithm>
#include <cmath>

namespace tintwell {

using namespace text;

namespace {

const std::string q(1, quote);

// Position just past the value of the attribute that starts at 0-based `at` in `tag`: a quoted
// value ends after its closing quote, a bare one at the next blank.
std::size_t attribute_end(const std::string& tag, std::size_t at)
{
    std::size_t i = tag.find('=', at);
    if (i == std::string::npos) {
        return tag.find(' ', at) == std::string::npos ? tag.size() : tag.find(' ', at);
    }
    ++i;
    while (i < tag.size() && tag[i] == ' ') {
        ++i;
    }
    if (i < tag.size() && tag[i] == quote) {
        const std::size_t close = tag.find(quote, i + 1);
        return close == std::string::npos ? tag.size() : close + 1;
    }
    const std::size_t blank = tag.find(' ', i);
    return blank == std::string::npos ? tag.size() : blank;
}

// Removes the attribute whose upper-cased name starts with `name` and the blank after it; the
// blank before it stays, so a tag that ended with the attribute keeps one blank before ">".
void remove_attribute(std::string& tag, std::string_view name)
{
    const std::size_t at = upper(tag).find(name);
    if (at == std::string::npos) {
        return;
    }
    std::size_t end = attribute_end(tag, at);
    while (end < tag.size() && tag[end] == ' ') {
        ++end;
    }
    tag.erase(at, end - at);
}

// The value after `key` up to the delimiter found by `end_of`; "?" errors as the editor reports
// them.
struct Read
{
    std::string value;
    std::string error;
};

Read read_colour(const std::string& element, std::string_view key)
{
    Read out;
    const auto at = instr(element, key);
    if (at == 0) {
        return out;
    }
    const std::string r = mid(element, at + key.size());
    // The last value of an element ends at "/>": the night one, and the day one of an element
    // without night, as the writer writes a style whose night colour is -1.
    std::size_t end = instr(r, " ");
    if (end == 0) {
        end = instr(r, "/>");
    }
    if (end < 2) {
        out.error = r + "?";
        return out;
    }
    out.value = left(r, end - 1);
    if (out.value.size() != 6) {
        out.error = out.value + " length <> 6";
    }
    return out;
}

Read read_attribute(const std::string& line, std::string_view key)
{
    Read out;
    const auto at = instr(line, key);
    if (at == 0) {
        return out;
    }
    const std::string r = mid(line, at + key.size());
    const auto f = instr(r, q + " ");
    if (f < 2) {
        out.error = r + "?";
        return out;
    }
    out.value = remove(left(r, f - 1), q);
    return out;
}

// The old way of running a command: its message through the prompter, its edit applied at
// once and the theme marked modified.
bool carry_out(Document& doc, EditOutcome outcome)
{
    if (!outcome.message.empty()) {
        doc.message(outcome.message);
    }
    if (!outcome.edit) {
        return false;
    }
    apply_to(doc)(std::move(*outcome.edit), {});
    return true;
}

// An outcome that refuses with `message`.
EditOutcome refused(std::string message)
{
    return { std::nullopt, std::move(message) };
}

// An outcome that changes row `row` from `before` to `after`.
EditOutcome changed(int row, const StyleRow& before, const StyleRow& after)
{
    DocumentEdit edit;
    edit.replace_row(row, before, after);
    return { std::move(edit), {} };
}

} // namespace

EditOutcome add_bg_fg_width_edit(const Document& doc, int row, bool drawn_as_polygon)
{
    if (!doc.valid_row(row)) {
        return {};
    }
    const StyleRow& cell = doc.rows[static_cast<std::size_t>(row)];
    const std::string_view s = cell.style_text();
    const auto a = instr(s, ">");
    if (a == 0) {
        return refused("error");
    }
    const std::string name = remove(remove(remove(cell.field_name(), "MPM_"), "_CLR"), "MAP_");
    if (contains(s, "BORDER") || contains(s, "SCALE")) {
        return refused("Contains BORDER/SCALE. Cannot apply.");
    }
    // A text with only one of the widths gets no second copy of it.
    if (contains(upper(s), "BG_WIDTH") || contains(upper(s), "FG_WIDTH")) {
        return refused("Already contains BG & FG WIDTH.");
    }
    if (contains(nwf_polygons, "," + name)) {
        return refused(name + " is a polygon.");
    }
    if (drawn_as_polygon) {
        return refused("This is a polygon.");
    }
    StyleRow after = cell;
    after.set_style_text(
        left(s, a - 1) + " BG_WIDTH=" + q + "-1" + q + " FG_WIDTH=" + q + "50" + q + mid(s, a));
    after.set_bg_width("-1");
    after.set_fg_width("50");
    return changed(row, cell, after);
}

EditOutcome remove_bg_fg_width_edit(const Document& doc, int row)
{
    if (!doc.valid_row(row)) {
        return {};
    }
    const StyleRow& cell = doc.rows[static_cast<std::size_t>(row)];
    const std::string_view s = cell.style_text();
    if (!contains(upper(s), "BG_WIDTH")) {
        return refused("Does not contain BG & FG WIDTH.");
    }
    const auto b = instr(s, ">");
    if (b == 0) {
        return refused("error");
    }
    // Texts read from Sport & Fitness files spell the attributes in lower case, those made by
    // "Add BG/FG Width" in upper case; both must come out.
    std::string head = left(s, b - 1);
    remove_attribute(head, "BG_W");
    remove_attribute(head, "FG_W");
    StyleRow after = cell;
    after.set_style_text(head + mid(s, b));
    after.set_bg_width({});
    after.set_fg_width({});
    return changed(row, cell, after);
}

bool add_bg_fg_width(Document& doc, int row, bool drawn_as_polygon)
{
    return carry_out(doc, add_bg_fg_width_edit(doc, row, drawn_as_polygon));
}

bool remove_bg_fg_width(Document& doc, int row)
{
    return carry_out(doc, remove_bg_fg_width_edit(doc, row));
}

bool hx(std::string_view value)
{
    const std::string digits = left(upper(value), 6);
    return digits.find_first_not_of("0123456789ABCDEF") != std::string::npos;
}

EditOutcome pcode_edit(const Document& doc, int row, std::string_view edited)
{
    std::string t(edited);
    while (contains(t, "  ")) {
        t = replace(t, "  ", " ");
    }
    t = replace(replace(t, " =", "="), "= ", "=");

    std::string scale, border;
    std::array<std::string, 4> colours; // primary day, primary night, secondary day, night
    for (const auto& line : split(t, "\n")) {
        if (line.size() < 2) {
            continue;
        }
        for (const auto& [key, value] :
            { std::pair { "SCALE=", &scale }, std::pair { "BORDER=", &border } }) {
            const Read read = read_attribute(line, key);
            if (!read.error.empty()) {
                return refused(read.error);
            }
            if (instr(line, key) != 0) {
                *value = read.value;
            }
        }
        for (const auto& [element, slot] : { std::pair { "PRIMARY ", 0 }, { "SECONDARY ", 2 } }) {
            const auto at = instr(line, element);
            if (at == 0) {
                continue;
            }
            // One element's attributes: a style written on one line must not lend the primary
            // colours to the secondary element or the other way round.
            std::string piece = remove(remove(mid(line, at), q), "#");
            if (const auto close = instr(piece, "/>")) {
                piece = left(piece, close + 1);
            }
            const Read day = read_colour(piece, "DAY=");
            if (!day.error.empty()) {
                return refused(day.error);
            }
            const Read night = read_colour(piece, "NIGHT=");
            if (!night.error.empty()) {
                return refused(night.error);
            }
            if (instr(piece, "DAY=") != 0) {
                colours[static_cast<std::size_t>(slot)] = day.value;
            }
            if (instr(piece, "NIGHT=") != 0) {
                colours[static_cast<std::size_t>(slot) + 1] = night.value;
            }
        }
    }
    for (const auto& colour : colours) {
        if (!colour.empty() && hx(colour)) {
            return refused("Hex Error " + colour);
        }
    }
    if (!doc.valid_row(row)) {
        return {};
    }
    const StyleRow& cell = doc.rows[static_cast<std::size_t>(row)];
    StyleRow after = cell;
    const std::pair<const std::string*, StyleCell> targets[] = { { &scale, StyleCell::Scale },
        { &border, StyleCell::Border }, { &colours[0], StyleCell::PriDay },
        { &colours[1], StyleCell::PriNight }, { &colours[2], StyleCell::SecDay },
        { &colours[3], StyleCell::SecNight } };
    for (const auto& [value, target] : targets) {
        if (!value->empty()) {
            after.set(target, *value);
        }
    }
    after.set_style_text(remove(edited, "<STYLE "));
    return changed(row, cell, after);
}

std::string pcode(Document& doc, int row, std::string_view edited)
{
    EditOutcome outcome = pcode_edit(doc, row, edited);
    if (!outcome.message.empty()) {
        return outcome.message;
    }
    carry_out(doc, std::move(outcome));
    return {};
}

std::array<std::string, 4> nwf_slot_colours(std::string_view style_text)
{
    std::array<std::string, 4> colours;
    const std::string t = replace(style_text, "  ", " ");
    const auto read = [&](std::string_view element, std::size_t day_slot) {
        const auto pieces = split(t, element);
        if (pieces.size() < 2) {
            return;
        }
        const std::string body =
            remove(remove(before(pieces[1], "/>"), "#"), std::string(1, quote));
        const auto words = split(body, " ");
        const auto opaque = [](std::string colour) {
            return colour.size() == 6 ? "ff" + colour : colour;
        };
        colours[day_slot] = opaque(words[0]);
        if (words.size() > 1) {
            colours[day_slot + 2] = opaque(remove(words[1], "night="));
        }
    };
    read("primary day=", 0);
    read("secondary day=", 1);
    return colours;
}

std::optional<int> nwf_width(std::string_view typed)
{
    int w = static_cast<int>(std::nearbyint(std::clamp(val(typed), -1e6, 1e6)));
    if (w < -1) {
        w = -1;
    }
    if (w > 200) {
        return std::nullopt;
    }
    return w;
}

std::string nwf_style_text(std::string_view field_attribute, std::string_view bg_width,
    std::string_view fg_width, const std::array<std::string, 4>& colours)
{
    std::string s(field_attribute);
    s += " BG_WIDTH=" + q + std::string(bg_width) + q + " FG_WIDTH=" + q + std::string(fg_width) + q
        + ">";
    s += "<color><primary day=" + q + "#" + colours[0] + q + " night=" + q + "#" + colours[2] + q
        + "/>";
    s += "<secondary day=" + q + "#" + colours[1] + q + " night=" + q + "#" + colours[3] + q
        + "/></color></style>";
    return s;
}

DocumentEdit nwf_apply_edit(const Document& doc, int row, std::string_view bg_width,
    std::string_view fg_width, const std::array<std::string, 4>& colours)
{
    if (!doc.valid_row(row)) {
        return {};
    }
    const StyleRow& cell = doc.rows[static_cast<std::size_t>(row)];
    StyleRow after = cell;
    after.set_style_text(
        nwf_style_text(split(cell.style_text(), " ").front(), bg_width, fg_width, colours));
    after.set_fg_width(fg_width);
    after.set_bg_width(bg_width);
    after.set_sec_day(colours[1]);
    after.set_pri_day(colours[0]);
    after.set_sec_night(colours[3]);
    after.set_pri_night(colours[2]);
    DocumentEdit edit;
    edit.replace_row(row, cell, after);
    return edit;
}

} // namespace tintwell
