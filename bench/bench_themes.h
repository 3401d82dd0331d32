#pragma once

#include <benchmark/benchmark.h>
#include <string>

// Generated themes shaped like real ones, shared by the benchmarks: Car & Zumo with CR LF line
// ends, six presentations repeated every 48 styles, scales, borders with secondary colours and a
// few styles without a night colour; Sport & Fitness on one line in lower case with eight-digit
// colours, a secondary element on most styles and widths on some. Every style gets a colour of
// its own, so the texts differ from style to style as in a real theme.
namespace tintwell::bench {

/// A Car & Zumo theme of `styles` styles, about 170 bytes each.
std::string car_zumo_theme(int styles);

/// A Sport & Fitness theme of `styles` styles, about 160 bytes each.
std::string sport_fitness_theme(int styles);

inline std::string theme(bool car, int styles)
{
    return car ? car_zumo_theme(styles) : sport_fitness_theme(styles);
}

/// The reading benchmark: `parse` of a generated theme of state.range(0) styles, as File, Open
/// reads a loaded text, without the copy of the text and the clean-up of the table.
void read_theme(benchmark::State& state, bool car);

} // namespace tintwell::bench
