#include "app/colours_command.h"

#include "analysis/colours_in_use.h"
#include "app/batch.h"
#include "app/loaded_theme.h"
#include "app/options.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace tintwell {

namespace {

using nlohmann::ordered_json;

const char* slot_name(ColourSlot slot)
{
    switch (slot) {
    case ColourSlot::BodyDay:
        return "body_day";
    case ColourSlot::BodyNight:
        return "body_night";
    case ColourSlot::BorderDay:
        return "border_day";
    case ColourSlot::BorderNight:
        break;
    }
    return "border_night";
}

ordered_json colours_json(const Document& doc, const std::vector<ColourInUse>& colours,
    const std::optional<std::vector<NearDuplicate>>& near)
{
    ordered_json root;
    root["kind"] = doc.kind == ThemeKind::CarZumo ? "CarZumo" : "SportFitness";
    ordered_json list = ordered_json::array();
    for (const ColourInUse& c : colours) {
        ordered_json entry;
        entry["colour"] = colour::to_hex(c.colour);
        entry["uses"] = c.total();
        for (const ColourSlot slot : colour_slots) {
            entry[slot_name(slot)] = c.count(slot);
        }
        entry["transparent"] = c.transparent;
        ordered_json uses = ordered_json::array();
        for (const ColourUse& use : c.uses) {
            const StyleRow& row = doc.rows[static_cast<std::size_t>(use.row)];
            uses.push_back({ { "row", use.row }, { "slot", slot_name(use.slot) },
                { "presentation",
                    doc.kind == ThemeKind::CarZumo ? text::latin1_to_utf8(row.pres_name()) : "" },
                { "field", text::latin1_to_utf8(row.field_name()) } });
        }
        entry["rows"] = std::move(uses);
        list.push_back(std::move(entry));
    }
    root["colours"] = std::move(list);
    if (!near) {
        return root;
    }
    ordered_json pairs = ordered_json::array();
    for (const NearDuplicate& pair : *near) {
        pairs.push_back({ { "kept", colour::to_hex(colours[pair.kept].colour) },
            { "merged", colour::to_hex(colours[pair.merged].colour) },
            { "delta_e", std::round(pair.delta_e * 1000) / 1000 } });
    }
    root["near_duplicates"] = std::move(pairs);
    return root;
}

void print_colours(std::ostream& out, const std::vector<ColourInUse>& colours,
    const std::optional<std::vector<NearDuplicate>>& near)
{
    char line[160];
    out << "Colour   Uses  Body day  Body night  Border day  Border night  Transparent\n";
    for (const ColourInUse& c : colours) {
        std::snprintf(line, sizeof line, "%s %6d %9d %11d %11d %13d %12d\n",
            colour::to_hex(c.colour).c_str(), c.total(), c.count(ColourSlot::BodyDay),
            c.count(ColourSlot::BodyNight), c.count(ColourSlot::BorderDay),
            c.count(ColourSlot::BorderNight), c.transparent);
        out << line;
    }
    if (!near) {
        return;
    }
    out << "\nNear duplicates (CIEDE2000 below " << near_duplicate_limit
        << "):" << (near->empty() ? " none\n" : "\n");
    const auto uses = [](const ColourInUse& c) {
        return colour::to_hex(c.colour) + " (" + std::to_string(c.total())
            + (c.total() == 1 ? " use)" : " uses)");
    };
    for (const NearDuplicate& pair : *near) {
        std::snprintf(line, sizeof line, "%.2f", pair.delta_e);
        out << "keep " << uses(colours[pair.kept]) << ", merge " << uses(colours[pair.merged])
            << ": " << line << '\n';
    }
}

} // namespace

int colours_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto line = parse_command_line(args,
        { { "--json", "--by-hue", "--near" }, {}, 1, 1, "--colours needs a FILE",
            "--colours takes one FILE, --json, --by-hue and --near" },
        err);
    if (!line) {
        return 2;
    }
    const std::string& file = line->files[0];
    const bool json = line->has("--json");
    const bool with_near = line->has("--near");
    const ColourOrder order = line->has("--by-hue") ? ColourOrder::Hue : ColourOrder::Uses;
    const LoadedTheme theme(file);
    theme.report(file, err);
    if (!theme.accepted) {
        err << "tintwell: " << file << " is not a theme\n";
        return 1;
    }
    const std::vector<ColourInUse> colours = colours_in_use(theme.doc, order);
    // Asked for only: the pairs are found in a moment among the few hundred colours of a real
    // theme, but a theme of many thousand colours takes seconds.
    std::optional<std::vector<NearDuplicate>> near;
    if (with_near) {
        near = near_duplicates(colours);
    }
    if (json) {
        out << colours_json(theme.doc, colours, near).dump(2) << '\n';
    } else {
        print_colours(out, colours, near);
    }
    return 0;
}

} // namespace tintwell
