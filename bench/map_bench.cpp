// Map speed at 1600 × 1000 pixels with a theme that sets every Car & Zumo element of the
// catalogue, so that every feature of the town is drawn: the redraw after one edit (the styles
// planned again and the whole scene drawn), one pan step (the scene drawn again at a new place),
// and, for comparison, the preview's full repaint of the same theme on a screen of the same size
// with every sample drawn afresh.
#include "map/map_draw.h"
#include "map/map_plan.h"
#include "map/scene.h"
#include "model/catalogue.h"
#include "model/document.h"
#include "model/reader.h"
#include "render/preview.h"
#include "render/qt/qt_canvas.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>

using namespace tintwell;

namespace {

constexpr int width_px = 1600;
constexpr int height_px = 1000;

std::string hex_colour(std::uint32_t seed)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "#";
    for (int i = 0; i < 6; ++i) {
        out += digits[(seed >> (i * 4)) & 0xF];
    }
    return out;
}

std::string every_element_theme()
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n"
                      "<METADATA>\r\n<TITLE>Bench</TITLE>\r\n<DESCRIPTION>d</DESCRIPTION>\r\n"
                      "<LOCALELIST>\r\n<locale>Global</locale>\r\n</LOCALELIST>\r\n"
                      "<Version><Major>1</Major><Minor>00</Minor></Version>\r\n</METADATA>\r\n"
                      "<PRESENTATION ID=\"GUIDANCE\" > \r\n<STYLELIST>\r\n";
    std::uint32_t seed = 1;
    for (const auto* list : { &car_zumo_polygon_items(), &car_zumo_line_items() }) {
        for (const std::string& name : *list) {
            seed *= 2654435761U;
            out += "\r\n<STYLE field = \"MAP_" + name
                + "\" scale=\"1.5\" border=\"0.5\">\r\n <COLOR>\r\n<PRIMARY day = \""
                + hex_colour(seed) + "\" night=\"" + hex_colour(seed >> 7)
                + "\"/>\r\n<SECONDARY day = \"" + hex_colour(seed >> 3) + "\" night=\""
                + hex_colour(seed >> 11) + "\"/>\r\n </COLOR >\r\n</STYLE>\r\n";
        }
    }
    return out + "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>\r\n";
}

struct Loaded
{
    SilentPrompter prompter;
    Document doc;

    Loaded()
    {
        doc.attach(&prompter, nullptr);
        parse(doc, every_element_theme());
    }
};

void BM_MapRedrawAfterEdit(benchmark::State& state)
{
    Loaded loaded;
    const map::Scene& scene = map::town_scene();
    const map::MapView view = map::fit_view(scene, width_px, height_px);
    QtCanvas canvas(width_px, height_px);
    int edits = 0;
    for (auto _ : state) {
        loaded.doc.rows[0].set_pri_day(++edits % 2 == 0 ? "F0EAD6" : "E8E0C8");
        const map::MapPlan plan = map::plan_map(loaded.doc, scene, {});
        map::draw_map(canvas, scene, plan, view);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
    state.counters["steps"] =
        static_cast<double>(map::plan_map(loaded.doc, scene, {}).items.size());
}
BENCHMARK(BM_MapRedrawAfterEdit)->Unit(benchmark::kMillisecond);

void BM_MapPanStep(benchmark::State& state)
{
    Loaded loaded;
    const map::Scene& scene = map::town_scene();
    map::MapView view = map::fit_view(scene, width_px, height_px);
    view.zoom_at(2, width_px / 2.0, height_px / 2.0);
    const map::MapPlan plan = map::plan_map(loaded.doc, scene, {});
    QtCanvas canvas(width_px, height_px);
    int steps = 0;
    for (auto _ : state) {
        // One arrow-key step, to and fro.
        view.origin.x += (++steps % 2 == 0 ? 20 : -20) / view.zoom;
        map::draw_map(canvas, scene, plan, view);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_MapPanStep)->Unit(benchmark::kMillisecond);

void BM_PreviewFullRepaint(benchmark::State& state)
{
    Loaded loaded;
    Preview preview(qt_canvas_factory());
    const std::int64_t width = std::int64_t { width_px } * twips_per_pixel;
    const std::int64_t height = std::int64_t { height_px } * twips_per_pixel;
    QtCanvas screen(width_px, height_px);
    for (auto _ : state) {
        preview.plot(loaded.doc, PlotMode::Fresh, width, height);
        paint_preview(screen, loaded.doc, preview, TwipRect { 0, 0, width, height });
        benchmark::DoNotOptimize(screen.image().constBits());
    }
    state.counters["rows"] = loaded.doc.row_count();
}
BENCHMARK(BM_PreviewFullRepaint)->Unit(benchmark::kMillisecond);

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
