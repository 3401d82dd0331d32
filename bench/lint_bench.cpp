// Speed of the theme checker on generated themes (see bench_themes.h), against reading the
// same theme in the same run:
//   BM_read/…        parse of the loaded text, as File, Open does it;
//   BM_check/…       a whole check of the read theme: the file's structure and every
//                    presentation's colours, from nothing;
//   BM_recheck/…     the re-check after one colour of one style changed, as the window does it
//                    after every edit, with the findings of the other presentations kept;
//   BM_check_grouped/… the whole check with its findings gathered into groups, as --lint and
//                    Check Theme list them (compare with BM_check);
//   BM_propose_fix/… "Fix" of the first contrast group of the theme: the nearest colour that
//                    meets the rule, tried against the element's other findings;
//   BM_night_colours/… "Make Night Colours" of every style (compare with BM_read).
// Car & Zumo themes repeat six presentations, so each holds a sixth of the styles; a
// Sport & Fitness theme is one presentation holding them all.
#include "analysis/colour_fix.h"
#include "analysis/finding_groups.h"
#include "analysis/night_colours.h"
#include "analysis/theme_lint.h"
#include "bench_themes.h"
#include "model/document.h"
#include "model/reader.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <numeric>

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

void BM_check_grouped(benchmark::State& state, bool car)
{
    const std::string text = bench::theme(car, static_cast<int>(state.range(0)));
    Document doc;
    parse(doc, text);
    std::size_t groups = 0;
    for (auto _ : state) {
        auto checker = std::make_unique<ThemeChecker>();
        checker->read_file(text, doc);
        FindingGrouper grouper;
        for (const Finding& f : checker->file_findings()) {
            grouper.add(Finding(f));
        }
        checker->check_each(doc, [&grouper](Finding&& f) { grouper.add(std::move(f)); });
        auto taken = grouper.take();
        groups = taken.size();
        benchmark::DoNotOptimize(taken.data());
        state.PauseTiming();
        taken.clear();
        checker.reset();
        state.ResumeTiming();
    }
    state.counters["groups"] = static_cast<double>(groups);
}

void BM_propose_fix(benchmark::State& state, bool car)
{
    Document doc;
    parse(doc, bench::theme(car, static_cast<int>(state.range(0))));
    ThemeChecker checker;
    FindingGrouper grouper;
    checker.check_each(doc, [&grouper](Finding&& f) { grouper.add(std::move(f)); });
    const std::vector<FindingGroup> groups = grouper.take();
    const auto group = std::find_if(groups.begin(), groups.end(),
        [](const FindingGroup& g) { return g.members.front().rule->measure == Measure::Contrast; });
    if (group == groups.end()) {
        state.SkipWithError("no contrast finding");
        return;
    }
    bool fixable = false;
    for (auto _ : state) {
        const FixProposal fix = propose_fix(doc, *group);
        fixable = fix.fixable();
        benchmark::DoNotOptimize(fix.colours.data());
    }
    state.counters["members"] = static_cast<double>(group->size());
    state.counters["fixable"] = fixable ? 1 : 0;
}

void BM_night_colours(benchmark::State& state, bool car)
{
    Document doc;
    parse(doc, bench::theme(car, static_cast<int>(state.range(0))));
    std::vector<int> rows(static_cast<std::size_t>(doc.row_count()));
    std::iota(rows.begin(), rows.end(), 0);
    int styles = 0;
    for (auto _ : state) {
        ColourEdit made = make_night_colours(doc, rows);
        styles = made.styles;
        benchmark::DoNotOptimize(made.edit.empty());
        state.PauseTiming();
        made = ColourEdit();
        state.ResumeTiming();
    }
    state.counters["styles"] = styles;
}

} // namespace

BENCHMARK_CAPTURE(BM_check_grouped, car_zumo, true)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_propose_fix, car_zumo, true)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_night_colours, car_zumo, true)->Arg(100000)->Unit(benchmark::kMillisecond);
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
