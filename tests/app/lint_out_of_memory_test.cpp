// --lint when memory runs out: every allocation of the command in turn is made to fail once. The
// program replaces the global allocation functions, so it is a test program of its own.
#include "batch_run.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace {

// Allocations still allowed before the next one fails; negative while no failure is armed.
long allowed_allocations = -1;

} // namespace

void* operator new(std::size_t size)
{
    if (allowed_allocations == 0) {
        // One failure: what the command does next (its message) may allocate again.
        allowed_allocations = -1;
        throw std::bad_alloc();
    }
    if (allowed_allocations > 0) {
        --allowed_allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

// GCC, seeing these inlined, takes the pair for a mismatch: the memory came from malloc above.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

using namespace tintwell;
using namespace tintwell::test;

namespace {

// Memory that runs out while the theme is checked, after it was read, is said to be that; it is
// not reported as a file that cannot be read. Wherever it runs out, the command fails with 2 and
// one line.
TEST(LintOutOfMemory, SaysWhetherReadingOrCheckingRanOut)
{
    const std::string reading =
        "tintwell: cannot read " + car_zumo + ": not enough memory to read it\n";
    const std::string checking = car_zumo + ": not enough memory to check it\n";
    const std::string printing[] = { "tintwell: not enough memory\n",
        "tintwell: write error: Input/output error\n" };
    int read_failures = 0;
    int check_failures = 0;
    bool finished = false;
    for (long allowed = 0; !finished; ++allowed) {
        std::ostringstream out, err;
        const std::vector<std::string> args = { "--lint", car_zumo, "--json" };
        allowed_allocations = allowed;
        const int code = run_batch(args, out, err);
        finished = allowed_allocations > 0;
        allowed_allocations = -1;
        if (finished) {
            EXPECT_EQ(code, 1) << err.str();
            break;
        }
        ASSERT_EQ(code, 2) << allowed << ": " << err.str();
        const std::string said = err.str();
        if (said == reading) {
            ASSERT_EQ(check_failures, 0) << allowed << ": reading comes before checking";
            ++read_failures;
        } else if (said == checking) {
            ++check_failures;
        } else {
            EXPECT_TRUE(said == printing[0] || said == printing[1]) << allowed << ": " << said;
        }
    }
    EXPECT_GT(read_failures, 0);
    EXPECT_GT(check_failures, 0);
}

} // namespace
