#include "app/diff_command.h"

#include "analysis/compare_text.h"
#include "analysis/theme_compare.h"
#include "app/batch.h"
#include "app/loaded_theme.h"
#include "app/options.h"
#include "colour/colour_science.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace tintwell {

namespace {

using nlohmann::ordered_json;

std::string utf8(const std::string& s)
{
    return text::latin1_to_utf8(s);
}

const char* value_key(RowValue value)
{
    switch (value) {
    case RowValue::BodyDay:
        return "body_day";
    case RowValue::BodyNight:
        return "body_night";
    case RowValue::BorderDay:
        return "border_day";
    case RowValue::BorderNight:
        return "border_night";
    case RowValue::Scale:
        return "scale";
    case RowValue::Border:
        return "border";
    case RowValue::NightBorder:
        return "night_border";
    case RowValue::BgWidth:
        return "bg_width";
    case RowValue::FgWidth:
        return "fg_width";
    case RowValue::StyleText:
        break;
    }
    return "style_text";
}

// A colour as RRGGBB in upper case; nothing for no colour; a text that is no colour as it is.
ordered_json colour_json(const std::string& cell)
{
    if (const auto rgb = colour::parse_rgb(cell)) {
        return colour::to_hex(*rgb);
    }
    if (holds_no_colour(cell)) {
        return nullptr;
    }
    return utf8(cell);
}

ordered_json value_json(RowValue value, const std::string& cell)
{
    return is_colour(value) ? colour_json(cell) : ordered_json(utf8(cell));
}

void print_diff(std::ostream& out, const ThemeComparison& diff, ThemeKind kind)
{
    for (const MetadataChange& m : diff.metadata) {
        out << change_text(m) << '\n';
    }
    for (const RowChange& change : diff.rows) {
        for (const std::string& line : change_lines(change, kind)) {
            out << line << '\n';
        }
    }
}

ordered_json diff_json(const ThemeComparison& diff, ThemeKind kind)
{
    ordered_json root;
    root["same"] = diff.same();
    root["kind"] = kind == ThemeKind::CarZumo ? "CarZumo" : "SportFitness";
    ordered_json metadata = ordered_json::array();
    for (const MetadataChange& m : diff.metadata) {
        metadata.push_back(
            { { "field", metadata_key(m.field) }, { "from", utf8(m.from) }, { "to", utf8(m.to) } });
    }
    root["metadata"] = std::move(metadata);
    ordered_json rows = ordered_json::array();
    const auto row_json = [](int row) {
        return row < 0 ? ordered_json(nullptr) : ordered_json(row);
    };
    for (const RowChange& change : diff.rows) {
        ordered_json entry;
        entry["change"] = change_name(change.kind);
        entry["presentation"] = utf8(change.pres_name);
        entry["field"] = utf8(change.field_name);
        entry["occurrence"] = change.occurrence;
        entry["row_a"] = row_json(change.row_a);
        entry["row_b"] = row_json(change.row_b);
        entry["insert_at"] = row_json(change.insert_at);
        ordered_json values = ordered_json::array();
        for (const ValueChange& v : change.values) {
            values.push_back({ { "value", value_key(v.value) },
                { "from", value_json(v.value, v.from) }, { "to", value_json(v.value, v.to) } });
        }
        entry["values"] = std::move(values);
        rows.push_back(std::move(entry));
    }
    root["rows"] = std::move(rows);
    return root;
}

} // namespace

int diff_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto line = parse_command_line(
        args, { { "--json" }, {}, 2, 2, "--diff takes two FILEs", "--diff takes two FILEs" }, err);
    if (!line) {
        return 2;
    }
    const std::vector<std::string>& files = line->files;
    const bool json = line->has("--json");
    const LoadedTheme a(files[0]);
    a.report(files[0], err);
    const LoadedTheme b(files[1]);
    b.report(files[1], err);
    for (const LoadedTheme* theme : { &a, &b }) {
        if (!theme->accepted) {
            err << "tintwell: " << (theme == &a ? files[0] : files[1]) << " is not a theme\n";
            return 2;
        }
    }
    const ThemeComparison diff = compare_themes(a.doc, b.doc);
    if (!diff.error.empty()) {
        err << "tintwell: " << files[0] << ", " << files[1] << ": " << diff.error << '\n';
        return 2;
    }
    if (json) {
        out << diff_json(diff, a.doc.kind).dump(2) << '\n';
    } else {
        print_diff(out, diff, a.doc.kind);
    }
    return diff.same() ? 0 : 1;
}

} // namespace tintwell
