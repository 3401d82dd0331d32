// Editing every style of a generated theme of 100k styles at once: making the edit of a
// lighter-by-10 on every day colour of the selection and applying it, and undoing it (applying
// its inverse), against reading the same theme. Every style of the generated theme has a colour
// of its own, the most there is to convert.
//
//   batch_edit_bench [benchmark options]
#include "analysis/style_batch_edit.h"
#include "bench_themes.h"
#include "model/document.h"
#include "model/reader.h"
#include "render/style_filter.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace tintwell;

constexpr int styles = 100000;

const std::string& theme_text(bool car)
{
    static const std::string car_text = bench::car_zumo_theme(styles);
    static const std::string sport_text = bench::sport_fitness_theme(styles);
    return car ? car_text : sport_text;
}

Document& loaded_theme(bool car)
{
    static Document car_doc;
    static Document sport_doc;
    Document& doc = car ? car_doc : sport_doc;
    if (doc.rows.empty()) {
        parse(doc, theme_text(car));
    }
    return doc;
}

const PropertyChange lighter { StyleProperty::BodyDay, ChangeOperation::Lighter, 10, {} };

// Every style the empty filter keeps (Ctrl+A in the preview), the edit made and applied.
void BM_select_all_and_lighten(benchmark::State& state)
{
    const bool car = state.range(0) != 0;
    Document& doc = loaded_theme(car);
    int changed = 0;
    for (auto _ : state) {
        const std::vector<int> rows = filter_rows(doc, "");
        StyleBatchEdit edit = edit_styles(doc, rows, std::span(&lighter, 1));
        edit.edit.apply(doc);
        changed = edit.styles;
        // Undo keeps the step: letting it go is not part of making it.
        state.PauseTiming();
        edit.edit.revert(doc);
        edit = {};
        state.ResumeTiming();
    }
    state.counters["styles"] = changed;
}

void BM_undo_lighten(benchmark::State& state)
{
    const bool car = state.range(0) != 0;
    Document& doc = loaded_theme(car);
    const std::vector<int> rows = filter_rows(doc, "");
    const StyleBatchEdit edit = edit_styles(doc, rows, std::span(&lighter, 1));
    edit.edit.apply(doc);
    for (auto _ : state) {
        edit.edit.revert(doc);
        state.PauseTiming();
        edit.edit.apply(doc);
        state.ResumeTiming();
    }
    edit.edit.revert(doc);
}

// The reference: reading the same theme, as File, Open reads a loaded text.
void BM_read_car_zumo(benchmark::State& state)
{
    bench::read_theme(state, true);
}

void BM_read_sport_fitness(benchmark::State& state)
{
    bench::read_theme(state, false);
}

} // namespace

BENCHMARK(BM_select_all_and_lighten)->ArgName("car")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_undo_lighten)->ArgName("car")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_car_zumo)->Arg(styles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_sport_fitness)->Arg(styles)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
