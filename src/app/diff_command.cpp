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

// Whether the themes are the same.
bool print_diff(std::ostream& out, const RowChangeWalk& rows, ThemeKind kind,
    const std::vector<MetadataChange>& metadata)
{
    bool same = metadata.empty();
    for (const MetadataChange& m : metadata) {
        out << change_text(m) << '\n';
    }
    rows.visit([&](const RowChange& change) {
        same = false;
        for (const std::string& line : change_lines(change, kind)) {
            out << line << '\n';
        }
        // Output that cannot be written (a full disk, a closed pipe) ends the walk; the caller
        // reports it.
        return static_cast<bool>(out);
    });
    return same;
}

ordered_json row_json(const RowChange& change)
{
    const auto row_number = [](int row) {
        return row < 0 ? ordered_json(nullptr) : ordered_json(row);
    };
    ordered_json entry;
    entry["change"] = change_name(change.kind);
    entry["presentation"] = utf8(change.pres_name);
    entry["field"] = utf8(change.field_name);
    entry["occurrence"] = change.occurrence;
    entry["row_a"] = row_number(change.row_a);
    entry["row_b"] = row_number(change.row_b);
    entry["insert_at"] = row_number(change.insert_at);
    ordered_json values = ordered_json::array();
    for (const ValueChange& v : change.values) {
        values.push_back({ { "value", value_key(v.value) }, { "from", value_json(v.value, v.from) },
            { "to", value_json(v.value, v.to) } });
    }
    entry["values"] = std::move(values);
    return entry;
}

// A value dumped with an indent of two as it stands `depth` levels into the report: the dump
// holds no line break but those between its lines, as strings keep theirs escaped.
void write_nested(std::ostream& out, const ordered_json& value, int depth)
{
    const std::string text = value.dump(2);
    const std::string indent(static_cast<std::size_t>(2 * depth), ' ');
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.write(text.data() + from, static_cast<std::streamsize>(at + 1 - from));
        out << indent;
        from = at + 1;
    }
    out.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
}

// The report as one JSON object, written a row at a time instead of as one tree, so two large
// themes that differ everywhere take no more memory than two that do not; the bytes are those
// dumping the whole tree with an indent of two gives. Whether the themes are the same.
bool print_diff_json(std::ostream& out, const RowChangeWalk& rows, ThemeKind kind,
    const std::vector<MetadataChange>& metadata)
{
    const bool same = metadata.empty() && !rows.any();
    ordered_json metadata_list = ordered_json::array();
    for (const MetadataChange& m : metadata) {
        metadata_list.push_back(
            { { "field", metadata_key(m.field) }, { "from", utf8(m.from) }, { "to", utf8(m.to) } });
    }
    out << "{\n  \"same\": " << (same ? "true" : "false") << ",\n  \"kind\": \""
        << (kind == ThemeKind::CarZumo ? "CarZumo" : "SportFitness") << "\",\n  \"metadata\": ";
    write_nested(out, metadata_list, 1);
    out << ",\n  \"rows\": [";
    bool first = true;
    rows.visit([&](const RowChange& change) {
        out << (first ? "\n    " : ",\n    ");
        first = false;
        write_nested(out, row_json(change), 2);
        return static_cast<bool>(out);
    });
    out << (first ? "]" : "\n  ]") << "\n}\n";
    return same;
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
    if (const std::string error = comparison_error(a.doc, b.doc); !error.empty()) {
        err << "tintwell: " << files[0] << ", " << files[1] << ": " << error << '\n';
        return 2;
    }
    // The changes are printed as they are found and not kept: two themes that differ in every
    // row would otherwise hold a copy of each.
    const std::vector<MetadataChange> metadata = compare_metadata(a.doc, b.doc);
    const RowChangeWalk rows(a.doc, b.doc);
    const bool same = json ? print_diff_json(out, rows, a.doc.kind, metadata)
                           : print_diff(out, rows, a.doc.kind, metadata);
    return same ? 0 : 1;
}

} // namespace tintwell
