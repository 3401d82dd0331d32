// The "Check Theme" panel on a generated theme of 10k styles (about 12k findings): what an edit
// costs the user while the panel is open, against the same edit with the panel closed.
//
//   check_panel_bench [benchmark options]      (runs on the offscreen platform unless one is set)
//
// BM_panel_refresh_after_edit: the panel brought up to date after an edit of one style's day
//   colour (the checker's update, the list and the marks); the edit itself is not timed.
// BM_edit_panel_open / BM_edit_panel_closed: the edit pushed through the window, the preview
//   redrawn and the window's events run, with the panel open and closed; `refresh_ms` and
//   `open_per_closed` are printed after the table.
// BM_panel_refresh_first_edit: the first edit after opening the theme, when the checker drops the
//   file's line numbers and measures every presentation again.
#include "bench_themes.h"
#include "model/document_edit.h"
#include "ui/dialogs/check_panel.h"
#include "ui/main/main_window.h"
#include "widget_bench.h"

#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace tintwell;
using bench::LoadedWindow;

constexpr int styles = 10000;

LoadedWindow& loaded()
{
    return bench::loaded_window(styles);
}

CheckPanel& panel_of(LoadedWindow& w)
{
    return *w.window().findChild<CheckPanel*>("check_panel");
}

// A road in the middle of the theme takes a new day colour, as an Apply of the style editor does.
void edit_one_style(MainWindow& window, std::uint32_t seed)
{
    Document& doc = window.document();
    const int row = doc.row_count() / 2 + 9;
    const StyleRow before = doc.rows[static_cast<std::size_t>(row)];
    StyleRow after = before;
    after.set_pri_day(bench::colour(seed, false));
    DocumentEdit edit;
    edit.replace_row(row, before, after);
    window.theme().push_edit(std::move(edit), "Apply");
}

std::map<std::string, double> mean_ms;

void record(const benchmark::State& state, const char* name, double total_ms)
{
    if (state.iterations() > 0) {
        mean_ms[name] = total_ms / static_cast<double>(state.iterations());
    }
}

void BM_panel_refresh_after_edit(benchmark::State& state)
{
    LoadedWindow& w = loaded();
    panel_of(w).open();
    std::uint32_t seed = 1;
    edit_one_style(w.window(), seed++);
    panel_of(w).refresh();
    for (auto _ : state) {
        state.PauseTiming();
        edit_one_style(w.window(), seed++);
        state.ResumeTiming();
        panel_of(w).refresh();
        benchmark::DoNotOptimize(panel_of(w).groups().size());
    }
    state.counters["groups"] = static_cast<double>(panel_of(w).groups().size());
    w.window().history().clear();
}

void edit_through_window(benchmark::State& state, bool panel_open, const char* name)
{
    LoadedWindow& w = loaded();
    if (panel_open) {
        panel_of(w).open();
    } else {
        panel_of(w).close();
    }
    std::uint32_t seed = 1000;
    edit_one_style(w.window(), seed++);
    QCoreApplication::processEvents();
    double total_ms = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        edit_one_style(w.window(), seed++);
        w.window().redraw_keeping_scroll();
        QCoreApplication::processEvents();
        total_ms +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    record(state, name, total_ms);
    w.window().history().clear();
}

void BM_edit_panel_open(benchmark::State& state)
{
    edit_through_window(state, true, "open");
}

void BM_edit_panel_closed(benchmark::State& state)
{
    edit_through_window(state, false, "closed");
}

void BM_panel_refresh_first_edit(benchmark::State& state)
{
    LoadedWindow& w = loaded();
    panel_of(w).open();
    std::uint32_t seed = 5000;
    for (auto _ : state) {
        state.PauseTiming();
        w.reopen();
        edit_one_style(w.window(), seed++);
        state.ResumeTiming();
        panel_of(w).refresh();
    }
}

BENCHMARK(BM_panel_refresh_after_edit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_edit_panel_open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_edit_panel_closed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_panel_refresh_first_edit)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::run_with_widgets(argc, argv, [] {
        if (mean_ms.count("open") != 0 && mean_ms.count("closed") != 0) {
            std::printf("edit with the panel open %.2f ms, closed %.2f ms: refresh_ms %.2f, "
                        "open_per_closed %.2f\n",
                mean_ms["open"], mean_ms["closed"], mean_ms["open"] - mean_ms["closed"],
                mean_ms["open"] / mean_ms["closed"]);
        }
    });
}
