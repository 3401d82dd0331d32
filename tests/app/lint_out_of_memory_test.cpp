// --lint when memory runs out: every allocation of the command in turn is made to fail once. The
// program replaces the global allocation functions, so it is a test program of its own.
#include "../failing_allocator.h"
#include "batch_run.h"

#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

// Memory that runs out while the theme is checked, after it was read, is said to be that; it is
// not reported as a file that cannot be read. Wherever it runs out, the command fails with 2 and
// one line.
TEST(LintOutOfMemory, SaysWhetherReadingOrCheckingRanOut)
{
    // One failure: what the command does next (its message) may allocate again.
    fail_once = true;
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
