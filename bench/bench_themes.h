#pragma once

#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <string_view>

// Generated themes shaped like real ones, shared by the benchmarks: Car & Zumo with CR LF line
// ends, six presentations repeated every 48 styles, scales, borders with secondary colours and a
// few styles without a night colour; Sport & Fitness on one line in lower case with eight-digit
// colours, a secondary element on most styles and widths on some. Every style gets a colour of
// its own, so the texts differ from style to style as in a real theme.
namespace tintwell::bench {

/// The fields the generated themes cycle through.
inline constexpr std::array<std::string_view, 16> car_fields = { "MAP_BEACH_CLR",
    "MAP_BUILDING_CLR", "MAP_LAND_CLR", "MAP_WATER_CLR", "MAP_PARK_CLR", "MAP_ROAD_ALLY_CLR",
    "MAP_ROAD_ARTERIAL_CLR", "MAP_ROAD_INTERSTATE_CLR", "MAP_ROAD_HWY_MJR_CLR",
    "MAP_ROAD_RESIDENTIAL_CLR", "MAP_ROAD_RAILRD_CLR", "MAP_ROAD_TRAIL_CLR", "MAP_CONTOUR_CLR",
    "MAP_RIVER_CLR", "MAP_ROUTE_ARROW_CLR", "MAP_TEXT_OUTLINE_CLR" };

inline constexpr std::array<std::string_view, 12> sport_fields = { "mpm_land_clr",
    "mpm_urban_land_clr", "mpm_park_clr", "mpm_woods_clr", "mpm_water_clr", "mpm_road_clr",
    "mpm_trail_clr", "mpm_river_clr", "mpm_contour_clr", "mpm_iso1_clr", "mpm_bog_clr",
    "mpm_shoreline_clr" };

/// A repeatable RRGGBB colour for `seed`.
std::string colour(std::uint32_t seed, bool lower_case);

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
