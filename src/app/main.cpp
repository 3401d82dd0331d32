#include "app/batch.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// The window program sits beside this one. Keeping the toolkit out of this process lets a
// script check thousands of themes without paying for loading the window libraries each time.
std::filesystem::path window_program(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        self = std::filesystem::absolute(argv0, ec);
    }
    return self.parent_path() / "tintwell-window";
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    // Past a file-size limit a write then fails and the save cleans up, instead of the process
    // being stopped in the middle of it. Kept across the start of the window program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (tintwell::is_batch(args) && args[0] != "--render" && args[0] != "--render-map") {
        return tintwell::run_batch_on_standard_streams(args);
    }
    const std::string window = window_program(argv[0]).string();
    std::vector<char*> window_argv(argv, argv + argc + 1);
    ::execv(window.c_str(), window_argv.data());
    std::cerr << "tintwell: cannot start " << window << ": " << std::strerror(errno) << '\n';
    return 1;
}
