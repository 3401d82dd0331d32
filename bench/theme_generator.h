#pragma once

#include <string>

// Generated themes shaped like real ones, for the benchmarks: Car & Zumo with CR LF line ends,
// six presentations repeated every 48 styles, scales, borders with secondary colours and a few
// styles without a night colour; Sport & Fitness on one line in lower case with eight-digit
// colours, a secondary element on most styles and widths on some.
namespace tintwell::bench {

/// A Car & Zumo theme of `styles` styles.
std::string car_zumo_theme(int styles);

/// A Sport & Fitness theme of `styles` styles.
std::string sport_fitness_theme(int styles);

/// One of the two, Car & Zumo when `car` is true.
std::string theme(bool car, int styles);

} // namespace tintwell::bench
