// Preview speed on generated Car & Zumo themes of 100 to 100k styles: the layout of every row,
// reading the same theme for comparison, and the repaint of one screenful (1200 × 700 pixels)
// scrolled to the middle, with the samples already drawn (warm) and drawn afresh (cold). Then the
// filter box: one keystroke (filtering every style and laying out what is kept) for a text, a
// colour and a near colour, and the repaint of a filtered screenful.
#include "model/document.h"
#include "model/reader.h"
#include "render/preview.h"
#include "render/qt/qt_canvas.h"
#include "render/style_filter.h"

#include <QGuiApplication>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <string_view>

using namespace tintwell;

namespace {

constexpr std::array<std::string_view, 8> fields = { "MAP_WATER", "MAP_MAJOR_HWY", "MAP_RAILRD",
    "MPM_ROUTE_ARRW_CLR", "MAP_LAND", "MAP_ROAD", "MAP_PARK", "MAP_TRAIL" };
constexpr std::array<std::string_view, 6> presentations = { "GUIDANCE", "BROWSE", "TRAFFIC",
    "TURN PREVIEW", "ROUTE PREVIEW", "PEDESTRIAN" };

std::string hex_colour(std::uint32_t seed)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "#";
    for (int i = 0; i < 6; ++i) {
        out += digits[(seed >> (i * 4)) & 0xF];
    }
    return out;
}

// Every style gets colours of its own unless `palette` is given: then they come from that many.
std::string theme(int styles, std::uint32_t palette = 0)
{
    const auto pick = [palette](std::uint32_t seed) {
        return hex_colour(palette == 0 ? seed : (seed % palette) * 2654435761U);
    };
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n"
                      "<METADATA>\r\n<TITLE>Bench</TITLE>\r\n<DESCRIPTION>d</DESCRIPTION>\r\n"
                      "<LOCALELIST>\r\n<locale>Global</locale>\r\n</LOCALELIST>\r\n"
                      "<Version><Major>1</Major><Minor>00</Minor></Version>\r\n</METADATA>\r\n";
    const int per_presentation = (styles + 5) / 6;
    int written = 0;
    for (const std::string_view pres : presentations) {
        out += "<PRESENTATION ID=\"" + std::string(pres) + "\" > \r\n<STYLELIST>\r\n";
        for (int i = 0; i < per_presentation && written < styles; ++i, ++written) {
            const auto u = static_cast<std::uint32_t>(written) * 2654435761U;
            out += "\r\n<STYLE field = \"" + std::string(fields[u % fields.size()])
                + "\" scale=\"1.5\" border=\"1\">\r\n <COLOR>\r\n<PRIMARY day = \"" + pick(u)
                + "\" night=\"" + pick(u >> 7) + "\"/>\r\n<SECONDARY day = \"" + pick(u >> 3)
                + "\" night=\"" + pick(u >> 11) + "\"/>\r\n </COLOR >\r\n</STYLE>\r\n";
        }
        out += "</STYLELIST>\r\n</PRESENTATION>\r\n";
    }
    return out + "</GARMIN_MAP_THEME>\r\n";
}

struct Loaded
{
    SilentPrompter prompter;
    Document doc;

    explicit Loaded(int styles, std::uint32_t palette = 0)
    {
        doc.attach(&prompter, nullptr);
        parse(doc, theme(styles, palette));
    }
};

void BM_Read(benchmark::State& state)
{
    const std::string text = theme(static_cast<int>(state.range(0)));
    SilentPrompter prompter;
    for (auto _ : state) {
        Document doc;
        doc.attach(&prompter, nullptr);
        benchmark::DoNotOptimize(parse(doc, text));
        if (doc.row_count() != state.range(0)) {
            state.SkipWithError("the generated theme was not read completely");
        }
    }
}
BENCHMARK(BM_Read)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_Layout(benchmark::State& state)
{
    const Loaded loaded(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const PreviewLayout layout = layout_preview(loaded.doc, 11712, 9360);
        benchmark::DoNotOptimize(layout.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Layout)->Arg(100)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(
    benchmark::kMillisecond);

constexpr int screen_width = 1200;
constexpr int screen_height = 700;

void repaint(benchmark::State& state, bool cold)
{
    Loaded loaded(static_cast<int>(state.range(0)));
    Preview preview(qt_canvas_factory());
    const std::int64_t width = std::int64_t { screen_width } * twips_per_pixel;
    const std::int64_t height = std::int64_t { screen_height } * twips_per_pixel;
    preview.plot(loaded.doc, PlotMode::Fresh, width, height);
    const std::int64_t middle = (preview.layout().container_height - height) / 2;
    const TwipRect visible { 0, middle, width, height };
    QtCanvas screen(screen_width, screen_height);
    paint_preview(screen, loaded.doc, preview, visible);
    for (auto _ : state) {
        if (cold) {
            preview.cache().clear();
        }
        paint_preview(screen, loaded.doc, preview, visible);
        benchmark::DoNotOptimize(screen.image().constBits());
    }
    const auto [first, last] = preview.layout().rows_between(visible.top, visible.bottom());
    state.counters["rows_in_view"] = last - first;
}

void BM_RepaintWarm(benchmark::State& state)
{
    repaint(state, false);
}
void BM_RepaintCold(benchmark::State& state)
{
    repaint(state, true);
}
BENCHMARK(BM_RepaintWarm)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintCold)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

// Texts typed into the filter box, one a benchmark argument.
constexpr std::array<std::string_view, 5> queries = { "r", "water", "#1E90FF", "~#1E90FF",
    "~#1E90FF" };
// The near colour once on a theme whose colours come from a palette of 4096, as themes reuse
// their colours, and once with every style's colours its own.
constexpr std::array<std::uint32_t, 5> palettes = { 0, 0, 0, 4096, 0 };

void BM_FilterKeystroke(benchmark::State& state)
{
    const auto query = static_cast<std::size_t>(state.range(1));
    Loaded loaded(static_cast<int>(state.range(0)), palettes[query]);
    Preview preview([](int, int) { return nullptr; });
    const std::int64_t width = std::int64_t { screen_width } * twips_per_pixel;
    const std::int64_t height = std::int64_t { screen_height } * twips_per_pixel;
    preview.plot(loaded.doc, PlotMode::Fresh, width, height);
    StyleFilter filter;
    std::size_t kept = 0;
    for (auto _ : state) {
        std::vector<int> rows = filter.rows(loaded.doc, queries[query]);
        kept = rows.size();
        preview.show_only(std::move(rows));
        preview.relayout(loaded.doc, width, height);
        benchmark::DoNotOptimize(preview.layout().container_height);
    }
    state.SetLabel(std::string(queries[query]) + (palettes[query] != 0 ? " (4096 colours)" : ""));
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_FilterKeystroke)
    ->ArgsProduct({ { 100'000 }, { 0, 1, 2, 3, 4 } })
    ->Unit(benchmark::kMillisecond);

// The first near-colour keystroke after a change to the theme, which reads its rows' colours
// again, or on a theme just opened, whose colours are all new to the filter.
void BM_FirstNearColour(benchmark::State& state)
{
    Loaded loaded(static_cast<int>(state.range(0)), static_cast<std::uint32_t>(state.range(1)));
    const bool just_opened = state.range(2) != 0;
    StyleFilter kept_filter;
    std::size_t kept = 0;
    for (auto _ : state) {
        StyleFilter fresh;
        StyleFilter& filter = just_opened ? fresh : kept_filter;
        filter.forget();
        kept = filter.rows(loaded.doc, "~#1E90FF").size();
    }
    state.SetLabel(std::string(just_opened ? "just opened, " : "after a change, ")
        + (state.range(1) != 0 ? "4096 colours" : "colours of their own"));
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_FirstNearColour)
    ->ArgsProduct({ { 100'000 }, { 4096, 0 }, { 0, 1 } })
    ->Unit(benchmark::kMillisecond);

// The window's idle reading of a theme just opened, in slices of 4096 rows: each slice's time is
// this one's divided by `slices`.
void BM_IdleReading(benchmark::State& state)
{
    Loaded loaded(static_cast<int>(state.range(0)), static_cast<std::uint32_t>(state.range(1)));
    int slices = 0;
    for (auto _ : state) {
        StyleFilter filter;
        slices = 1;
        while (!filter.prepare(loaded.doc, 4096)) {
            ++slices;
        }
    }
    state.SetLabel(state.range(1) != 0 ? "4096 colours" : "colours of their own");
    state.counters["slices"] = slices;
}
BENCHMARK(BM_IdleReading)->ArgsProduct({ { 100'000 }, { 4096, 0 } })->Unit(benchmark::kMillisecond);

void BM_RepaintFiltered(benchmark::State& state)
{
    Loaded loaded(static_cast<int>(state.range(0)));
    Preview preview(qt_canvas_factory());
    const std::int64_t width = std::int64_t { screen_width } * twips_per_pixel;
    const std::int64_t height = std::int64_t { screen_height } * twips_per_pixel;
    preview.show_only(filter_rows(loaded.doc, "r"));
    preview.plot(loaded.doc, PlotMode::Fresh, width, height);
    const std::int64_t middle =
        std::max<std::int64_t>((preview.layout().container_height - height) / 2, 0);
    const TwipRect visible { 0, middle, width, height };
    QtCanvas screen(screen_width, screen_height);
    paint_preview(screen, loaded.doc, preview, visible);
    for (auto _ : state) {
        paint_preview(screen, loaded.doc, preview, visible);
        benchmark::DoNotOptimize(screen.image().constBits());
    }
    const auto [first, last] = preview.layout().rows_between(visible.top, visible.bottom());
    state.counters["rows_in_view"] = last - first;
}
BENCHMARK(BM_RepaintFiltered)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int app_argc = 1;
    QGuiApplication app(app_argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
