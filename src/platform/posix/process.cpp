#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace tintwell::platform {

void prepare_process()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

std::vector<std::string> arguments(int argc, char** argv)
{
    if (argc < 1 || argv == nullptr) {
        return {};
    }
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string own_program(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        self = std::filesystem::absolute(argv0 != nullptr ? argv0 : "", ec);
    }
    return self.string();
}

std::string window_program(const char* argv0)
{
    return (std::filesystem::path(own_program(argv0)).parent_path() / "tintwell-window").string();
}

int start_window_program(
    const std::string& program, const std::vector<std::string>& args, bool wait, std::string& error)
{
    (void)wait;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    error = std::strerror(errno);
    return -1;
}

std::string settings_folder()
{
    // Where the toolkit's own configuration location puts a program's files.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (config != nullptr && config[0] != '\0') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        folder = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return (folder / "tintwell" / "system").string();
}

} // namespace tintwell::platform
