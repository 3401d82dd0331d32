// Undo and redo of "Apply to All Presentations" on a generated theme of 100k styles (6,250 rows
// of each element), against copying the whole table, the cost of a step that kept the table;
// and the memory of a history of 1,000 such steps against the memory of the table.
//
//   edit_bench [benchmark options]
//
// BM_history_memory reports, in bytes held on the heap: table_bytes (the loaded theme),
// history_bytes (1,000 steps, each an Apply to All of the next element with new colours, every
// element edited first from its colours as read) and history_per_table.
#include "bench_themes.h"
#include "edit_steps.h"
#include "heap_counter.h"
#include "model/document.h"
#include "model/document_edit.h"
#include "model/reader.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace tintwell;

constexpr int styles = 100000;

Document& loaded_theme()
{
    static Document doc = [] {
        Document d;
        parse(d, bench::car_zumo_theme(styles));
        return d;
    }();
    return doc;
}

using bench::apply_to_all;
using bench::heap_bytes;

void BM_build_apply_to_all(benchmark::State& state)
{
    const Document& doc = loaded_theme();
    for (auto _ : state) {
        DocumentEdit edit = apply_to_all(doc, "MAP_ROAD_INTERSTATE_CLR", 1);
        benchmark::DoNotOptimize(edit);
    }
}

// Undo and redo of the first Apply to All of an element: every copy of it held its own colours,
// so the step keeps 6,250 different old values.
void BM_undo_apply_to_all(benchmark::State& state)
{
    Document& doc = loaded_theme();
    const DocumentEdit edit = apply_to_all(doc, "MAP_ROAD_INTERSTATE_CLR", 1);
    edit.apply(doc);
    for (auto _ : state) {
        edit.revert(doc);
        state.PauseTiming();
        edit.apply(doc);
        state.ResumeTiming();
    }
    edit.revert(doc);
}

void BM_redo_apply_to_all(benchmark::State& state)
{
    Document& doc = loaded_theme();
    const DocumentEdit edit = apply_to_all(doc, "MAP_ROAD_INTERSTATE_CLR", 1);
    for (auto _ : state) {
        edit.apply(doc);
        state.PauseTiming();
        edit.revert(doc);
        state.ResumeTiming();
    }
}

// The reference: a step that kept a copy of the whole table.
void BM_copy_table(benchmark::State& state)
{
    const Document& doc = loaded_theme();
    for (auto _ : state) {
        std::vector<StyleRow> copy = doc.rows;
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_history_memory(benchmark::State& state)
{
    for (auto _ : state) {
        const long long start = heap_bytes();
        Document doc;
        parse(doc, bench::car_zumo_theme(styles));
        const long long table = heap_bytes() - start;

        std::vector<DocumentEdit> history;
        history.reserve(1000);
        for (std::uint32_t k = 0; k < 1000; ++k) {
            const std::string_view field = bench::car_fields[k % bench::car_fields.size()];
            history.push_back(apply_to_all(doc, field, 16 * k));
            history.back().apply(doc);
        }
        const long long with_history = heap_bytes();
        history.clear();
        history.shrink_to_fit();
        const long long steps = with_history - heap_bytes();

        bench::report_history_bytes(state, table, steps);
    }
}

BENCHMARK(BM_build_apply_to_all)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_undo_apply_to_all)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_redo_apply_to_all)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_copy_table)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_history_memory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
