// Undo and redo of "Apply to All Presentations" through the main window's history on a generated
// theme of 100k styles (6,250 rows of each element): what the user waits for, the step taken back
// or made again and the preview laid out anew, against copying the whole table; and the memory of
// 1,000 such steps on the window's undo stack against the memory of the table. And a keystroke in
// the window's filter box on the same theme, against filtering and laying out the preview alone.
// The undo once more with the Colours panel open, which reads every colour in use again after it.
//
//   history_bench [benchmark options]      (runs on the offscreen platform unless one is set)
//
// BM_window_history_memory reports, in bytes held on the heap: table_bytes (a copy of the loaded
// theme's rows), history_bytes (1,000 steps pushed as the dialogs push them, each an Apply to All
// of the next element with new colours, every element edited first from its colours as read) and
// history_per_table.
#include "bench_themes.h"
#include "edit_steps.h"
#include "heap_counter.h"
#include "render/style_filter.h"
#include "ui/common/preview_widget.h"
#include "ui/main/main_window.h"
#include "widget_bench.h"

#include <QAction>
#include <QUndoStack>
#include <array>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tintwell;

constexpr int styles = 100000;

MainWindow& loaded_window()
{
    return bench::loaded_window(styles).window();
}

void BM_window_undo_apply_to_all(benchmark::State& state)
{
    MainWindow& window = loaded_window();
    window.theme().push_edit(bench::apply_to_all(window.document(), "MAP_ROAD_INTERSTATE_CLR", 1),
        "Apply ROAD INTERSTATE");
    QUndoStack& history = window.history();
    for (auto _ : state) {
        history.undo();
        state.PauseTiming();
        history.redo();
        state.ResumeTiming();
    }
    history.undo();
    history.clear();
}

void BM_window_redo_apply_to_all(benchmark::State& state)
{
    MainWindow& window = loaded_window();
    window.theme().push_edit(bench::apply_to_all(window.document(), "MAP_ROAD_INTERSTATE_CLR", 1),
        "Apply ROAD INTERSTATE");
    QUndoStack& history = window.history();
    history.undo();
    for (auto _ : state) {
        history.redo();
        state.PauseTiming();
        history.undo();
        state.ResumeTiming();
    }
    history.clear();
}

// The same undo with the Colours panel open, which reads the theme's colours again after it.
void BM_window_undo_apply_to_all_colours_open(benchmark::State& state)
{
    MainWindow& window = loaded_window();
    window.findChild<QAction*>("colours")->trigger();
    BM_window_undo_apply_to_all(state);
    window.findChild<QWidget*>("colours_panel")->close();
}

// The reference: a step that kept a copy of the whole table.
void BM_copy_table(benchmark::State& state)
{
    const Document& doc = loaded_window().document();
    for (auto _ : state) {
        std::vector<StyleRow> copy = doc.rows;
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_window_history_memory(benchmark::State& state)
{
    for (auto _ : state) {
        // A theme as read for each run: the first step on an element keeps its 6,250 colours.
        bench::LoadedWindow loaded(styles);
        MainWindow& window = loaded.window();
        Document& doc = window.document();
        const long long before_copy = bench::heap_bytes();
        auto copy = std::make_unique<std::vector<StyleRow>>(doc.rows);
        const long long table = bench::heap_bytes() - before_copy;
        copy.reset();

        for (std::uint32_t k = 0; k < 1000; ++k) {
            const std::string_view field = bench::car_fields[k % bench::car_fields.size()];
            window.theme().push_edit(bench::apply_to_all(doc, field, 16 * k), "Apply");
        }
        const long long with_history = bench::heap_bytes();
        window.history().clear();
        const long long steps = with_history - bench::heap_bytes();

        bench::report_history_bytes(state, table, steps);
    }
}

// Each keystroke changes what the filter keeps: "water" and "road" in turn.
constexpr std::array<const char*, 2> keystrokes = { "water", "road" };

void BM_window_filter_keystroke(benchmark::State& state)
{
    MainWindow& window = loaded_window();
    std::size_t next = 0;
    for (auto _ : state) {
        window.set_filter_text(keystrokes[next++ % keystrokes.size()]);
    }
    window.set_filter_text(QString());
}

// The reference: the same filtering and layout without the window.
void BM_filter_and_layout(benchmark::State& state)
{
    MainWindow& window = loaded_window();
    const Document& doc = window.document();
    Preview preview([](int, int) { return nullptr; });
    const std::int64_t width = window.preview()->preview().layout().container_width;
    const std::int64_t height = 9360;
    preview.relayout(doc, width, height);
    StyleFilter filter;
    std::size_t next = 0;
    for (auto _ : state) {
        preview.show_only(filter.rows(doc, keystrokes[next++ % keystrokes.size()]));
        preview.relayout(doc, width, height);
        benchmark::DoNotOptimize(preview.layout().container_height);
    }
}

BENCHMARK(BM_window_undo_apply_to_all)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_window_redo_apply_to_all)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_window_undo_apply_to_all_colours_open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_copy_table)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_window_history_memory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_window_filter_keystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_filter_and_layout)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::run_with_widgets(argc, argv);
}
