#include "analysis/parallel_parts.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <new>
#include <vector>

using namespace tintwell;

namespace {

struct Split
{
    std::size_t count;
    std::size_t least_part;
};

class ForParts : public testing::TestWithParam<Split>
{
};

// Every item is worked once whatever the split, even parts too small to share.
TEST_P(ForParts, WorksEveryItemOnce)
{
    const Split split = GetParam();
    std::vector<int> seen(split.count);
    for_parts(split.count, split.least_part, [&](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            ++seen[k];
        }
    });
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(split.count));
}

// Running out of memory in any part reaches the caller once every part has ended, instead of
// ending the program.
TEST_P(ForParts, WhatAPartThrowsReachesTheCaller)
{
    const Split split = GetParam();
    if (split.count == 0) {
        return;
    }
    for (const std::size_t failing : { std::size_t { 0 }, split.count - 1 }) {
        std::atomic<std::size_t> worked { 0 };
        EXPECT_THROW(for_parts(split.count, split.least_part,
                         [&](std::size_t begin, std::size_t end) {
                             worked += end - begin;
                             if (begin <= failing && failing < end) {
                                 throw std::bad_alloc();
                             }
                         }),
            std::bad_alloc);
        EXPECT_EQ(worked.load(), split.count) << failing;
    }
}

INSTANTIATE_TEST_SUITE_P(Splits, ForParts,
    testing::Values(
        Split { 0, 8 }, Split { 5, 8 }, Split { 64, 8 }, Split { 1000, 1 }, Split { 30000, 8192 }));

} // namespace
