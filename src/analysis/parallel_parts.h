#pragma once

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace tintwell {

/// Runs `work(begin, end)` over parts of [0, count) at once, one part for each processor (at
/// most four) and none smaller than `least_part`; the calling thread takes the first part and
/// returns when every part is done. Where a thread cannot be started, its part runs on the
/// calling thread. `work` must not throw and must touch no data another part writes.
template <typename Work> void for_parts(std::size_t count, std::size_t least_part, Work&& work)
{
    const std::size_t processors =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    const std::size_t parts =
        std::clamp<std::size_t>(count / std::max<std::size_t>(least_part, 1), 1, processors);
    std::vector<std::thread> threads;
    std::vector<std::pair<std::size_t, std::size_t>> left;
    for (std::size_t p = 1; p < parts; ++p) {
        const std::size_t begin = count * p / parts;
        const std::size_t end = count * (p + 1) / parts;
        try {
            threads.emplace_back([&work, begin, end] { work(begin, end); });
        } catch (const std::system_error&) {
            left.emplace_back(begin, end);
        }
    }
    work(std::size_t { 0 }, count / parts);
    for (const auto& [begin, end] : left) {
        work(begin, end);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

} // namespace tintwell
