#pragma once

#include "app/batch.h"

#include <sstream>
#include <string>
#include <vector>

namespace tintwell::test {

inline const std::string data = TINTWELL_TEST_DATA;
inline const std::string car_zumo = data + "/core_car_zumo.kmtf";
inline const std::string sport_fitness = data + "/core_sport_fitness.kmtf";

/// What one batch command gave: its exit code and what it printed on each stream.
struct BatchRun
{
    int code;
    std::string out;
    std::string err;
};

inline BatchRun batch(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int code = run_batch(args, out, err);
    return { code, out.str(), err.str() };
}

} // namespace tintwell::test
