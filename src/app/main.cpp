#include "app/batch.h"
#include "platform/process.h"

#include <iostream>
#include <string>
#include <vector>

// The window program sits beside this one. Keeping the toolkit out of this process lets a script
// check thousands of themes without paying for loading the window libraries each time.
int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    // Kept across the start of the window program.
    tintwell::platform::prepare_process();
    const std::vector<std::string> args = tintwell::platform::arguments(argc, argv);
    if (tintwell::is_batch(args) && args[0] != "--render" && args[0] != "--render-map") {
        return tintwell::run_batch_on_standard_streams(args);
    }
    const std::string window = tintwell::platform::window_program(argc > 0 ? argv[0] : nullptr);
    // Drawing a PNG is a batch command too: its exit code and messages are this command's.
    const bool drawing = !args.empty() && (args[0] == "--render" || args[0] == "--render-map");
    std::string error;
    const int code = tintwell::platform::start_window_program(window, args, drawing, error);
    if (code >= 0) {
        return code;
    }
    std::cerr << "tintwell: cannot start " << window << ": " << error << '\n';
    return 1;
}
