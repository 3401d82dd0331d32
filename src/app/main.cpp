#include "app/batch.h"
#include "render/qt/render_png.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (tintwell::is_batch(args)) {
        return tintwell::run_batch(args, std::cout, std::cerr, tintwell::render_png_command);
    }
    std::cout << "Tintwell 6.1: the editor window is not built yet; see tintwell --help for the "
                 "batch commands."
              << std::endl;
    return 0;
}
