// Saves one theme over and over, so that a kill lands inside a save whenever it comes:
//
//   save_loop IN OUT [SAVES]
//
// Loads IN as File, Open does, prints "ready", then saves the theme to OUT SAVES times (0, the
// default, until it is killed), answering Yes to "Overwrite existing file?", and prints the time
// of each save in milliseconds. Every save writes the same bytes. Used by
// bench/kill_during_save.sh.
#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

class YesPrompter : public tintwell::Prompter
{
public:
    void message(std::string_view text) override { std::cerr << text << '\n'; }
    bool ask_yes_no(std::string_view) override { return true; }
    tintwell::YesNoCancel ask_yes_no_cancel(std::string_view) override
    {
        return tintwell::YesNoCancel::Yes;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: save_loop IN OUT [SAVES]\n";
        return 2;
    }
    const long saves = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 0;
    YesPrompter prompter;
    tintwell::Document doc;
    doc.attach(&prompter, nullptr);
    if (!tintwell::open_theme(doc, argv[1])) {
        return 1;
    }
    std::cout << "ready" << std::endl;
    for (long n = 0; saves == 0 || n < saves; ++n) {
        const auto start = std::chrono::steady_clock::now();
        if (!tintwell::save_code(doc, argv[2])) {
            return 1;
        }
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::cout << "saved " << static_cast<long>(took.count()) << std::endl;
    }
    return 0;
}
