// Speed of the theme checker on generated themes (see bench_themes.h), against reading the
// same theme in the same run:
//   BM_read/…        parse of the loaded text, as File, Open does it;
//   BM_check/…       a whole check of the read theme: the file's structure and every
//                    presentation's colours, from nothing;
//   BM_recheck/…     the re-check after one colour of one style changed, as the window does it
//                    after every edit, with the findings of the other presentations kept.
// Car & Zumo themes repeat six presentations, so each holds a sixth of the styles; a
// Sport & Fitness theme is one presentation holding them all.
#include "analysis/theme_lint.h"
#include "model/document.h"
#include "model/reader.h"
#include "bench_themes.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace tintwell;

void BM_read(benchmark::State& state, bool car)
{
    const std::string text = bench::theme(car, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::string loaded = text;
        auto doc = std::make_unique<Document>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(parse(*doc, std::move(loaded)));
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

void BM_check(benchmark::State& state, bool car)
{
    const std::string text = bench::theme(car, static_cast<int>(state.range(0)));
    Document doc;
    parse(doc, text);
    std::size_t findings = 0;
    for (auto _ : state) {
        auto checker = std::make_unique<ThemeChecker>();
        checker->read_file(text, doc);
        findings = checker->update(doc).size() + checker->file_findings().size();
        benchmark::DoNotOptimize(findings);
        // As for reading, dropping what was found is not part of finding it.
        state.PauseTiming();
        checker.reset();
        state.ResumeTiming();
    }
    state.counters["findings"] = static_cast<double>(findings);
}

void BM_recheck(benchmark::State& state, bool car)
{
    Document doc;
    parse(doc, bench::theme(car, static_cast<int>(state.range(0))));
    ThemeChecker checker;
    checker.update(doc);
    doc.modified = true;
    // A road style in the middle of the theme, changed back and forth.
    StyleRow& edited = doc.rows[doc.rows.size() / 2 + 5];
    const std::string colours[] = { std::string(edited.pri_day()), car ? "123456" : "ff123456" };
    int turn = 0;
    for (auto _ : state) {
        edited.set_pri_day(colours[++turn % 2]);
        benchmark::DoNotOptimize(checker.update(doc).size());
    }
    state.counters["rechecked"] = checker.rechecked();
}

} // namespace

BENCHMARK_CAPTURE(BM_read, car_zumo, true)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_check, car_zumo, true)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_recheck, car_zumo, true)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_read, sport_fitness, false)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_check, sport_fitness, false)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_recheck, sport_fitness, false)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
