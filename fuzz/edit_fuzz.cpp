// Feeds arbitrary text to the editing procedures: the style text editor's checks and storing, the
// width commands, adding and removing presentations and elements, the colour texts and the
// palette, editing many styles at once, and the settings file. The first byte chooses the theme (a small Car & Zumo one, a small
// Sport & Fitness one, or the bytes of the first field when they read as a theme); every field
// after that is one step on the same theme: an operation byte, a row byte and the argument text.
// Besides faults, each step checks what the procedure promises about the theme it leaves.
#include "analysis/style_batch_edit.h"
#include "colour/colour_codes.h"
#include "colour/palette.h"
#include "model/add_element.h"
#include "model/document.h"
#include "model/presentations.h"
#include "model/prompter.h"
#include "model/reader.h"
#include "model/style_code.h"
#include "model/text.h"
#include "ui/main/settings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tintwell;

constexpr std::string_view field_separator = "\x01";
// Copies of every row per added name multiply quickly; beyond this the step is skipped.
constexpr std::size_t row_limit = 4000;

const char* const car_zumo_theme = R"(<?xml version="1.0" encoding="UTF-8"?>
<GARMIN_MAP_THEME>
<METADATA><TITLE>Lake</TITLE><DESCRIPTION>Blue</DESCRIPTION></METADATA>
<PRESENTATION ID="GUIDANCE" >
<STYLELIST>
<STYLE field = "MAP_WATER_CLR" scale="1" >
 <COLOR>
<PRIMARY day = "#9CC0E6" night="#1E2A44"/>
 </COLOR >
</STYLE>
<STYLE field = "MAP_ROAD_HWY_MJR_CLR" scale="1.8"  border=".4" >
 <COLOR>
<PRIMARY day = "#F0C060" night="#806020"/>
<SECONDARY day = "#7A7A7A" night="#303044"/>
 </COLOR >
</STYLE>
</STYLELIST>
</PRESENTATION>
<PRESENTATION ID="BROWSE" >
<STYLELIST>
<STYLE field="MAP_ROUTE_CLR" scale="2">
 <COLOR>
<PRIMARY day="#NONE" night="#FF00FF"/>
<SECONDARY night="#000000"/>
 </COLOR >
</STYLE>
</STYLELIST>
</PRESENTATION>
</GARMIN_MAP_THEME>
)";

const char* const sport_fitness_theme = R"(<?xml version="1.0" encoding="utf-8"?>
<garmin_map_theme>
<metadata><title>TRAIL</title><description>RUN</description></metadata><stylelist><style field="mpm_land_clr"><color><primary day="#fff4f1e8" night="#ff616070"/><secondary day="#00404040" night="#00101010"/></color></style><style field="mpm_road_clr" bg_width="3" fg_width="2"><color><primary day="#ffaabbcc"/><secondary day="#80cecece" night="#ff0a0a0a"/></color></style></stylelist></garmin_map_theme>
)";

// A broken promise stops the run with the line of the check.
void check_at(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "check failed at edit_fuzz.cpp:%d\n", line);
        __builtin_trap();
    }
}
#define check(condition) check_at((condition), __LINE__)

bool all_hex(std::string_view s)
{
    return s.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

std::vector<std::string> names_of(std::string_view arg)
{
    std::vector<std::string> names;
    if (!arg.empty()) {
        names = text::split(arg, ",");
    }
    return names;
}

void width_commands(Document& doc, int row, bool polygon, bool add)
{
    const std::vector<StyleRow> before = doc.rows;
    const bool done = add ? add_bg_fg_width(doc, row, polygon) : remove_bg_fg_width(doc, row);
    if (!done) {
        check(doc.rows == before);
        return;
    }
    const StyleRow& cell = doc.rows[static_cast<std::size_t>(row)];
    check(add ? cell.bg_width() == "-1" && cell.fg_width() == "50"
              : cell.bg_width().empty() && cell.fg_width().empty());
    check(doc.modified);
    if (add) {
        // Each width once in the opening tag, and what was just added comes out again.
        const std::string tag = text::upper(text::before(cell.style_text(), ">"));
        check(text::split(tag, "BG_WIDTH").size() == 2 && text::split(tag, "FG_WIDTH").size() == 2);
        check(remove_bg_fg_width(doc, row));
    }
}

void edit_style_text(Document& doc, int row, std::string_view edited)
{
    const std::vector<StyleRow> before = doc.rows;
    const std::string problem = pcode(doc, row, edited);
    if (!problem.empty() || !doc.valid_row(row)) {
        check(doc.rows == before);
        return;
    }
    const StyleRow& cell = doc.rows[static_cast<std::size_t>(row)];
    check(cell.style_text() == text::remove(edited, "<STYLE "));
    const StyleRow& old = before[static_cast<std::size_t>(row)];
    for (const auto colour :
        { StyleCell::PriDay, StyleCell::PriNight, StyleCell::SecDay, StyleCell::SecNight }) {
        const std::string_view now = cell.get(colour);
        check(now == old.get(colour) || (now.size() == 6 && !hx(now)));
    }
}

void sport_fitness_colours(Document& doc, int row, std::string_view style_text)
{
    if (doc.valid_row(row)) {
        doc.rows[static_cast<std::size_t>(row)].set_style_text(style_text);
        get_colsfromcode(doc, row);
    }
    const auto colours = nwf_slot_colours(style_text);
    const std::string rebuilt = nwf_style_text("<style field=\"mpm_x_clr\"", "1", "2", colours);
    nwf_style_text(style_text, style_text, style_text, colours);
    // Colours of the written form read back as they were.
    if (std::all_of(colours.begin(), colours.end(),
            [](const std::string& c) { return c.empty() || (c.size() == 8 && all_hex(c)); })) {
        check(nwf_slot_colours(rebuilt) == colours);
    }
    hx(style_text);
    if (const auto width = nwf_width(style_text)) {
        check(*width >= -1 && *width <= 200);
    }
}

void add_names(Document& doc, std::string_view arg)
{
    const auto names = names_of(arg);
    const std::size_t n = doc.rows.size();
    if (n * (names.size() + 1) > row_limit) {
        return;
    }
    const Document before = doc;
    add_presentations(doc, names);
    if (names.empty() || n == 0) {
        check(doc.rows == before.rows && doc.pres_names == before.pres_names
            && doc.pres_count == before.pres_count);
        return;
    }
    check(doc.rows.size() == n * (names.size() + 1));
    check(std::equal(before.rows.begin(), before.rows.end(), doc.rows.begin()));
    for (std::size_t k = 0; k < names.size(); ++k) {
        for (std::size_t r = 0; r < n; ++r) {
            const StyleRow& copy = doc.rows[n * (k + 1) + r];
            check(copy.pres_name() == names[k]);
            check(copy.pres_code == get_pcode(names[k], copy.border()));
            check(copy.field_name() == before.rows[r].field_name());
        }
    }
    check(doc.pres_count == before.pres_count + static_cast<int>(names.size()));
    check(static_cast<int>(doc.pres_names.size()) == doc.pres_count);
    check(doc.modified);
}

void remove_names(Document& doc, std::string_view arg)
{
    const auto names = names_of(arg);
    const Document before = doc;
    const bool done = remove_presentations(doc, names);
    if (!done) {
        check(!before.rows.empty());
        check(doc.rows == before.rows && doc.pres_names == before.pres_names
            && doc.pres_count == before.pres_count);
        return;
    }
    check(before.rows.empty() || !doc.rows.empty());
    check(static_cast<int>(doc.pres_names.size()) == doc.pres_count);
    // The rows kept are the ones not named, in their order.
    std::vector<StyleRow> expected;
    for (const StyleRow& row : before.rows) {
        const std::string own = text::trim(row.pres_name());
        const bool named = !own.empty() && std::any_of(names.begin(), names.end(),
            [&](const std::string& e) { return text::contains(e, own); });
        if (!named) {
            expected.push_back(row);
        }
    }
    check(doc.rows == expected);
}

void check_sorted(const Document& doc)
{
    check(std::is_sorted(doc.rows.begin(), doc.rows.end(),
        [](const StyleRow& a, const StyleRow& b) { return a.pres_code < b.pres_code; }));
}

void add_chosen_elements(Document& doc, int pres_index, std::string_view arg)
{
    const auto pieces = text::split(arg, ";");
    ElementChoice choice;
    choice.pres_index = pres_index;
    choice.line_items = names_of(pieces[0]);
    if (pieces.size() > 1) {
        choice.polygon_items = names_of(pieces[1]);
    }
    // The dialog's items are single lines; a line break would split one entry into several.
    for (auto* items : { &choice.line_items, &choice.polygon_items }) {
        std::erase_if(*items, [](const std::string& item) {
            return item.find_first_of("\r\n") != std::string::npos;
        });
    }
    if (doc.rows.size() + choice.line_items.size() + choice.polygon_items.size() > row_limit) {
        return;
    }
    const std::size_t n = doc.rows.size();
    bool keep_open = false;
    const ElementSelection selection = newelement_add(doc, choice, keep_open);
    check(keep_open == selection.empty());
    check(doc.rows.size() == n);
    add_element(doc, selection);
    if (!selection.empty()) {
        check(doc.rows.size() > n);
        check(doc.modified);
        check_sorted(doc);
    }
}

void add_given_elements(Document& doc, std::string_view arg)
{
    const auto pieces = text::split(arg, ";");
    ElementSelection selection;
    selection.presentation = pieces[0];
    if (pieces.size() > 1) {
        selection.lines = pieces[1];
    }
    if (pieces.size() > 2) {
        selection.polygons = pieces[2];
    }
    if (doc.rows.size() + arg.size() > row_limit) {
        return;
    }
    const std::vector<StyleRow> before = doc.rows;
    add_element(doc, selection);
    // Added presentations are appended unsorted; adding elements orders the rows again.
    if (selection.empty()) {
        check(doc.rows == before);
    } else {
        check_sorted(doc);
    }
}

void colour_texts(std::string_view arg)
{
    for (const ThemeKind kind : { ThemeKind::CarZumo, ThemeKind::SportFitness }) {
        std::string copy(arg);
        const std::string reversed = rev_hex(copy, kind);
        const auto value = hex_to_value(arg, kind);
        if (!value) {
            continue;
        }
        check(*value >= 0 && *value <= 0xFFFFFF);
        // A normalised six-digit colour stays as it is.
        if (copy.size() == 6) {
            check(rev_hex(copy, kind) == reversed);
        }
        check(hex_to_value(value_to_hex(*value, kind), kind) == value);
        int red = -1;
        int green = -1;
        int blue = -1;
        CToRGB(*value, red, green, blue);
        check(red + 256 * green + 65536 * blue == *value);
        shades_(*value);
        for (const ColourValue band : shade_ladder(*value)) {
            check(band >= 0 && band <= 0xFFFFFF);
        }
    }
    get_colfromtxt(arg);
    const double number = text::val(arg);
    if (number > -1e9 && number < 1e9) {
        check(ladder_band_width(static_cast<int>(number)) >= 1);
    }
}

void settings_file(std::string_view arg)
{
    const Settings read = read_settings(arg);
    const Settings again = read_settings(settings_text(read));
    check(again.recent == read.recent && again.border_pref == read.border_pref
        && again.show_code == read.show_code);
    RecentFiles recent = read.recent;
    const std::string path(arg.substr(0, std::min<std::size_t>(arg.size(), 40)));
    updatmf(recent, path);
    if (!path.empty()) {
        check(recent[0] == path);
        check(std::count(recent.begin(), recent.end(), path) == 1
            || std::count(read.recent.begin(), read.recent.end(), path) > 1);
    }
    updatmf(recent, "");
}

// Changes (PROPERTY=VALUE, separated by ";") made to one row, or to every row, at once: a refused
// change leaves no edit, and the edit's undo and redo give back each state exactly.
void batch_edit(Document& doc, int row, bool every_row, std::string_view arg)
{
    std::vector<PropertyChange> changes;
    for (const std::string_view text : text::split_views(arg, ";")) {
        if (const ParsedChange parsed = parse_property_change(text); parsed.change) {
            changes.push_back(*parsed.change);
        }
    }
    std::vector<int> rows;
    if (every_row) {
        for (int r = 0; r < doc.row_count(); ++r) {
            rows.push_back(r);
        }
    } else {
        rows.push_back(row);
    }
    const std::vector<StyleRow> before = doc.rows;
    const StyleBatchEdit edit = edit_styles(doc, rows, changes);
    check(doc.rows == before);
    if (!edit.refusal.empty()) {
        check(edit.edit.empty() && edit.styles == 0);
        return;
    }
    edit.edit.apply(doc);
    const std::vector<StyleRow> after = doc.rows;
    check(after.size() == before.size());
    int changed = 0;
    for (std::size_t k = 0; k < after.size(); ++k) {
        changed += after[k] == before[k] ? 0 : 1;
    }
    check(changed == edit.styles);
    edit.edit.revert(doc);
    check(doc.rows == before);
    edit.edit.apply(doc);
    check(doc.rows == after);
}

void step(Document& doc, std::string_view field)
{
    if (field.size() < 2) {
        return;
    }
    const auto op = static_cast<unsigned char>(field[0]);
    const auto row_byte = static_cast<unsigned char>(field[1]);
    // Rows just outside the table are tried too.
    const int row = static_cast<int>(row_byte % (doc.rows.size() + 3)) - 1;
    const std::string_view arg = field.substr(2);
    switch (op % 11) {
    case 0:
        width_commands(doc, row, row_byte & 0x80, true);
        break;
    case 1:
        width_commands(doc, row, false, false);
        break;
    case 2:
        edit_style_text(doc, row, arg);
        break;
    case 3:
        sport_fitness_colours(doc, row, arg);
        break;
    case 4:
        add_names(doc, arg);
        break;
    case 5:
        remove_names(doc, arg);
        break;
    case 6:
        add_chosen_elements(doc, static_cast<int>(row_byte % 8) - 1, arg);
        break;
    case 7:
        add_given_elements(doc, arg);
        break;
    case 8:
        colour_texts(arg);
        break;
    case 9:
        batch_edit(doc, row, row_byte & 0x80, arg);
        break;
    default:
        settings_file(arg);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto fields = text::split_views(bytes.substr(1), field_separator);

    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    const auto choice = static_cast<unsigned char>(bytes[0]) % 4;
    doc.border_pref = choice < 2;
    bool read = false;
    if (choice == 2) {
        read = parse(doc, std::string(fields[0]));
        fields.erase(fields.begin());
    } else if (choice == 3) {
        // A theme with no rows at all.
        read = true;
    }
    if (!read) {
        doc = Document();
        doc.attach(&prompter, nullptr);
        parse(doc, bytes[0] & 0x10 ? sport_fitness_theme : car_zumo_theme);
    }
    for (const std::string_view field : fields) {
        step(doc, field);
    }
    return 0;
}
