// Colours in use and comparing themes against reading, on the generated themes of
// bench_themes.h, with the ratios printed after the run:
//   - listing the colours of a 100k-style theme (goal: at most the time of reading it);
//   - comparing two 10 MB themes, reading both included (goal: at most 3 times reading one),
//     the second theme with every 50th style's day colour changed, or every style's.
//   - the near duplicates of a 100k-style theme whose every style has colours of its own, about
//     100k distinct colours with 2.5 million pairs below 2 (goal: at most 5 times reading it).
#include "bench_themes.h"
#include "analysis/colours_in_use.h"
#include "analysis/theme_compare.h"
#include "model/document.h"
#include "model/reader.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

using namespace tintwell;

// Styles that make about 10 MB of each kind.
constexpr int car_10mb = 67000;
constexpr int sport_10mb = 72000;

std::unique_ptr<Document> read(const std::string& text)
{
    auto doc = std::make_unique<Document>();
    parse(*doc, text);
    return doc;
}

// The theme with the day colour of every `every`-th style changed.
std::string changed_theme(bool car, int styles, int every)
{
    std::string text = bench::theme(car, styles);
    const std::string day = car ? "<PRIMARY day = \"#" : "<primary day=\"#ff";
    int count = 0;
    for (auto at = text.find(day); at != std::string::npos; at = text.find(day, at + 1)) {
        if (count++ % every == 0) {
            char& digit = text[at + day.size()];
            digit = digit == '0' ? '1' : '0';
        }
    }
    return text;
}

void BM_read(benchmark::State& state, bool car)
{
    bench::read_theme(state, car);
}

void BM_colours_in_use(benchmark::State& state, bool car)
{
    const auto doc = read(bench::theme(car, static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const auto colours = colours_in_use(*doc);
        benchmark::DoNotOptimize(colours.data());
    }
}

void BM_near_duplicates(benchmark::State& state, bool car)
{
    const auto doc = read(bench::theme(car, static_cast<int>(state.range(0))));
    const auto colours = colours_in_use(*doc);
    for (auto _ : state) {
        const auto pairs = near_duplicates(colours);
        benchmark::DoNotOptimize(pairs.data());
    }
    state.counters["colours"] = static_cast<double>(colours.size());
}

// What `--diff A B` does in memory: read both themes, then compare them.
void BM_diff(benchmark::State& state, bool car)
{
    const int styles = car ? car_10mb : sport_10mb;
    const std::string a = bench::theme(car, styles);
    const std::string b = changed_theme(car, styles, static_cast<int>(state.range(0)));
    std::size_t changes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text_a = a;
        std::string text_b = b;
        auto doc_a = std::make_unique<Document>();
        auto doc_b = std::make_unique<Document>();
        state.ResumeTiming();
        parse(*doc_a, std::move(text_a));
        parse(*doc_b, std::move(text_b));
        const ThemeComparison diff = compare_themes(*doc_a, *doc_b);
        changes = diff.rows.size();
        state.PauseTiming();
        doc_a.reset();
        doc_b.reset();
        state.ResumeTiming();
    }
    state.counters["changes"] = static_cast<double>(changes);
}

void BM_compare(benchmark::State& state, bool car)
{
    const int styles = car ? car_10mb : sport_10mb;
    const auto a = read(bench::theme(car, styles));
    const auto b = read(changed_theme(car, styles, static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const ThemeComparison diff = compare_themes(*a, *b);
        benchmark::DoNotOptimize(diff.rows.data());
    }
}

BENCHMARK_CAPTURE(BM_read, car, true)->Arg(100000)->Arg(car_10mb)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_read, sport, false)
    ->Arg(100000)
    ->Arg(sport_10mb)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_colours_in_use, car, true)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_colours_in_use, sport, false)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_diff, car, true)->Arg(50)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_diff, sport, false)->Arg(50)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_compare, car, true)->Arg(50)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_compare, sport, false)->Arg(50)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_near_duplicates, car, true)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Prints, after the usual table, each measure against the reading it is held to, from the
// CPU times of this run (the medians when repetitions are asked for, else the single runs): the
// machines these run on are shared, and waiting for a processor is not part of the work.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (run.error_occurred || (aggregate && run.aggregate_name != "median")) {
                continue;
            }
            const std::string name = run.run_name.str();
            if (aggregate || !m_times.count(name)) {
                m_times[name] = run.GetAdjustedCPUTime();
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nratios in this run (goal):\n");
        const auto ratio = [&](const char* what, const std::string& measure,
                               const std::string& reference, double goal) {
            if (m_times.count(measure) && m_times.count(reference) && m_times[reference] > 0) {
                std::printf("  %-44s %5.2f  (at most %.0f)\n", what,
                    m_times[measure] / m_times[reference], goal);
            }
        };
        for (const char* kind : { "car", "sport" }) {
            const std::string k = kind;
            const std::string size =
                k == "car" ? std::to_string(car_10mb) : std::to_string(sport_10mb);
            ratio((k + ": colours in use / read, 100k styles").c_str(),
                "BM_colours_in_use/" + k + "/100000", "BM_read/" + k + "/100000", 1);
            if (k == "car") {
                ratio("car: near duplicates / read, 100k colours", "BM_near_duplicates/car/100000",
                    "BM_read/car/100000", 5);
            }
            for (const char* every : { "50", "1" }) {
                const std::string label = std::string(every) == "1" ? "every style" : "1 in 50";
                ratio((k + ": diff / read one, 10 MB, " + label + " changed").c_str(),
                    "BM_diff/" + k + "/" + every, "BM_read/" + k + "/" + size, 3);
            }
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
