#include "bench_themes.h"

#include "model/document.h"
#include "model/reader.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace tintwell::bench {

namespace {

constexpr std::array<std::string_view, 6> presentations = { "GUIDANCE", "BROWSE", "TRAFFIC",
    "TURN PREVIEW", "ROUTE PREVIEW", "PEDESTRIAN" };

constexpr int styles_per_presentation = 48;

} // namespace

// A repeatable colour per style, so the texts differ from style to style as in a real theme.
std::string colour(std::uint32_t seed, bool lower_case)
{
    char buffer[8];
    const std::uint32_t value = (seed * 2654435761u) >> 8;
    std::snprintf(buffer, sizeof buffer, lower_case ? "%06x" : "%06X", value & 0xFFFFFF);
    return buffer;
}

std::string car_zumo_theme(int styles)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n"
                      "<METADATA>\r\n<TITLE>BENCH HARBOUR</TITLE>\r\n"
                      "<DESCRIPTION>GENERATED FOR TIMING</DESCRIPTION>\r\n<LOCALELIST>\r\n"
                      "<locale>Global</locale>\r\n</LOCALELIST>\r\n"
                      "<Version><Major>2</Major><Minor>10</Minor></Version>\r\n</METADATA>\r\n";
    out.reserve(static_cast<std::size_t>(styles) * 170 + 1024);
    for (int i = 0; i < styles; ++i) {
        const auto u = static_cast<std::uint32_t>(i);
        if (i % styles_per_presentation == 0) {
            if (i != 0) {
                out += "</STYLELIST>\r\n</PRESENTATION>\r\n";
            }
            out += "<PRESENTATION ID=\"";
            out += presentations[(u / styles_per_presentation) % presentations.size()];
            out += "\" > \r\n<STYLELIST>\r\n";
        }
        const std::string_view field = car_fields[u % car_fields.size()];
        const bool road = field.starts_with("MAP_ROAD_") && field != "MAP_ROAD_RAILRD_CLR";
        out += "\r\n<STYLE field = \"";
        out += field;
        out += "\" scale=\"";
        out += i % 5 == 0 ? "1.2" : "1";
        out += "\" ";
        if (road) {
            out += i % 3 == 0 ? " border=\".4\" " : " border=\".6\" ";
        }
        out += ">\r\n <COLOR>\r\n<PRIMARY day = \"#" + colour(u, false) + "\"";
        if (i % 17 != 0) {
            out += " night=\"#" + colour(u + 7, false) + "\"";
        }
        out += "/>\r\n";
        if (road) {
            out += "<SECONDARY day = \"#7A7A7A\" night=\"#" + colour(u + 13, false) + "\"/>\r\n";
        }
        out += " </COLOR >\r\n</STYLE>\r\n";
    }
    out += "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>\r\n";
    return out;
}

std::string sport_fitness_theme(int styles)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<garmin_map_theme>\r\n"
                      "<metadata><title>BENCH TRAIL</title><description>GENERATED FOR "
                      "TIMING</description></metadata><stylelist>";
    out.reserve(static_cast<std::size_t>(styles) * 160 + 512);
    for (int i = 0; i < styles; ++i) {
        const auto u = static_cast<std::uint32_t>(i);
        out += "<style field=\"";
        out += sport_fields[u % sport_fields.size()];
        out += "\"";
        if (i % 10 == 0) {
            out += " bg_width=\"3\" fg_width=\"2\"";
        }
        out += "><color><primary day=\"#ff" + colour(u, true) + "\" night=\"#ff"
            + colour(u + 7, true) + "\"/>";
        if (i % 8 != 0) {
            out += i % 9 == 0 ? "<secondary day=\"#ff404040\" night=\"#ff101010\"/>"
                              : "<secondary day=\"#00404040\" night=\"#00101010\"/>";
        }
        out += "</color></style>";
    }
    out += "</stylelist></garmin_map_theme>\r\n";
    return out;
}

void read_theme(benchmark::State& state, bool car)
{
    const std::string text = theme(car, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        // File, Open hands the loaded text over without a copy, and the table is dropped only
        // when the next theme is read: neither the copy nor the clean-up is part of reading.
        state.PauseTiming();
        std::string loaded = text;
        auto doc = std::make_unique<Document>();
        state.ResumeTiming();
        const bool accepted = parse(*doc, std::move(loaded));
        benchmark::DoNotOptimize(accepted);
        state.PauseTiming();
        const bool complete = accepted && doc->row_count() == state.range(0);
        doc.reset();
        state.ResumeTiming();
        if (!complete) {
            state.SkipWithError("the generated theme was not read completely");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

} // namespace tintwell::bench
