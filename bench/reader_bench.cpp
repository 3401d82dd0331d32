// Read and write speed of both theme kinds on the generated themes of bench_themes.h.
//
//   reader_bench [benchmark options]          the benchmarks
//   reader_bench --generate car|sport N FILE  writes a theme of N styles to FILE
#include "bench_themes.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

using namespace tintwell;
using bench::theme;

void write_theme(benchmark::State& state, bool car)
{
    Document doc;
    parse(doc, theme(car, static_cast<int>(state.range(0))));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const std::string written = car ? car_zumo_text(doc) : sport_fitness_text(doc);
        bytes += static_cast<std::int64_t>(written.size());
        benchmark::DoNotOptimize(written.data());
    }
    state.SetBytesProcessed(bytes);
}

void BM_read_car_zumo(benchmark::State& state)
{
    bench::read_theme(state, true);
}
void BM_read_sport_fitness(benchmark::State& state)
{
    bench::read_theme(state, false);
}
void BM_write_car_zumo(benchmark::State& state)
{
    write_theme(state, true);
}
void BM_write_sport_fitness(benchmark::State& state)
{
    write_theme(state, false);
}

BENCHMARK(BM_read_car_zumo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_sport_fitness)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_write_car_zumo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_write_sport_fitness)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

int generate(int argc, char** argv)
{
    const std::string_view kind = argc > 2 ? argv[2] : "";
    const int styles = argc > 3 ? std::atoi(argv[3]) : 0;
    if (argc != 5 || (kind != "car" && kind != "sport") || styles < 1) {
        std::cerr << "usage: reader_bench --generate car|sport STYLES FILE\n";
        return 2;
    }
    const std::string text = theme(kind == "car", styles);
    std::ofstream file(argv[4], std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        std::cerr << "reader_bench: cannot write " << argv[4] << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--generate") == 0) {
        return generate(argc, argv);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
