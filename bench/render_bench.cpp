// Preview speed on generated Car & Zumo themes of 100 to 100k styles: the layout of every row,
// reading the same theme for comparison, and the repaint of one screenful (1200 × 700 pixels)
// scrolled to the middle, with the samples already drawn (warm) and drawn afresh (cold).
#include "model/document.h"
#include "model/reader.h"
#include "render/preview.h"
#include "render/qt/qt_canvas.h"

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

std::string colour(std::uint32_t seed)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "#";
    for (int i = 0; i < 6; ++i) {
        out += digits[(seed >> (i * 4)) & 0xF];
    }
    return out;
}

std::string theme(int styles)
{
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
                + "\" scale=\"1.5\" border=\"1\">\r\n <COLOR>\r\n<PRIMARY day = \"" + colour(u)
                + "\" night=\"" + colour(u >> 7) + "\"/>\r\n<SECONDARY day = \"" + colour(u >> 3)
                + "\" night=\"" + colour(u >> 11) + "\"/>\r\n </COLOR >\r\n</STYLE>\r\n";
        }
        out += "</STYLELIST>\r\n</PRESENTATION>\r\n";
    }
    return out + "</GARMIN_MAP_THEME>\r\n";
}

struct Loaded
{
    SilentPrompter prompter;
    Document doc;

    explicit Loaded(int styles)
    {
        doc.attach(&prompter, nullptr);
        parse(doc, theme(styles));
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
    preview.plot(loaded.doc, -1, width, height);
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
