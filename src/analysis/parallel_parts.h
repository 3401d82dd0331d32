#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tintwell {

/// Runs `work(begin, end)` over parts of [0, count) at once, one part for each processor (at
/// most four) and none smaller than `least_part`; the calling thread takes the first part and
/// returns when every part is done. Where a thread cannot be started, its part runs on the
/// calling thread. What a part throws (running out of memory) is thrown again here once every
/// part has ended, the first part's first. `work` must touch no data another part writes.
template <typename Work> void for_parts(std::size_t count, std::size_t least_part, Work&& work)
{
    const std::size_t processors =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    const std::size_t parts =
        std::clamp<std::size_t>(count / std::max<std::size_t>(least_part, 1), 1, processors);
    std::vector<std::exception_ptr> thrown(parts);
    const auto run = [&work, &thrown](std::size_t part, std::size_t begin, std::size_t end) {
        try {
            work(begin, end);
        } catch (...) {
            thrown[part] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    std::vector<std::size_t> left;
    threads.reserve(parts);
    for (std::size_t p = 1; p < parts; ++p) {
        const std::size_t begin = count * p / parts;
        const std::size_t end = count * (p + 1) / parts;
        try {
            threads.emplace_back(run, p, begin, end);
        } catch (const std::system_error&) {
            left.push_back(p);
        }
    }
    run(0, 0, count / parts);
    for (const std::size_t p : left) {
        run(p, count * p / parts, count * (p + 1) / parts);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& part : thrown) {
        if (part) {
            std::rethrow_exception(part);
        }
    }
}

} // namespace tintwell
