#include "app/colours_command.h"

#include "analysis/colours_in_use.h"
#include "app/batch.h"
#include "app/loaded_theme.h"
#include "app/options.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

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

// Text written to a stream in large blocks: the near duplicates of a theme of many thousand
// colours run to millions of lines, which formatting one at a time into strings made slower
// than finding them.
class LineWriter
{
public:
    explicit LineWriter(std::ostream& out)
        : m_out(out)
    {
        m_text.reserve(block + 256);
    }
    ~LineWriter() { flush(); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void add(std::string_view text)
    {
        m_text += text;
        if (m_text.size() >= block) {
            flush();
        }
    }
    /// The number right-aligned in `width` characters.
    void add(long long number, int width = 0)
    {
        char digits[24];
        const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
        const auto length = static_cast<int>(end - digits);
        if (length < width) {
            m_text.append(static_cast<std::size_t>(width - length), ' ');
        }
        add(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    /// The number with two decimals, as printf's "%.2f" gives it.
    void add_two_decimals(double number)
    {
        char digits[400];
        const auto end =
            std::to_chars(std::begin(digits), std::end(digits), number, std::chars_format::fixed, 2)
                .ptr;
        add(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    void flush()
    {
        m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
        m_text.clear();
    }

private:
    static constexpr std::size_t block = 64 * 1024;
    std::ostream& m_out;
    std::string m_text;
};

void print_colours(std::ostream& out, const std::vector<ColourInUse>& colours,
    const std::optional<std::vector<NearDuplicate>>& near)
{
    LineWriter writer(out);
    writer.add("Colour   Uses  Body day  Body night  Border day  Border night  Transparent\n");
    for (const ColourInUse& c : colours) {
        writer.add(colour::to_hex(c.colour));
        const std::pair<int, int> columns[] = { { c.total(), 6 },
            { c.count(ColourSlot::BodyDay), 9 }, { c.count(ColourSlot::BodyNight), 11 },
            { c.count(ColourSlot::BorderDay), 11 }, { c.count(ColourSlot::BorderNight), 13 },
            { c.transparent, 12 } };
        for (const auto& [number, width] : columns) {
            writer.add(" ");
            writer.add(number, width);
        }
        writer.add("\n");
    }
    if (!near) {
        return;
    }
    std::ostringstream limit;
    limit << near_duplicate_limit;
    writer.add("\nNear duplicates (CIEDE2000 below " + limit.str() + "):");
    writer.add(near->empty() ? " none\n" : "\n");
    // Each colour's "RRGGBB (N uses)" once, however many pairs it is in.
    std::vector<std::string> uses;
    if (!near->empty()) {
        uses.reserve(colours.size());
        for (const ColourInUse& c : colours) {
            uses.push_back(colour::to_hex(c.colour) + " (" + std::to_string(c.total())
                + (c.total() == 1 ? " use)" : " uses)"));
        }
    }
    for (const NearDuplicate& pair : *near) {
        writer.add("keep ");
        writer.add(uses[pair.kept]);
        writer.add(", merge ");
        writer.add(uses[pair.merged]);
        writer.add(": ");
        writer.add_two_decimals(pair.delta_e);
        writer.add("\n");
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
