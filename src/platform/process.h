#pragma once

// What differs between the systems in how the programs start, find each other and keep their
// settings.

#include <string>
#include <vector>

namespace tintwell::platform {

/// Sets the process up for the batch commands and the window alike: standard output takes bytes
/// as they are (no line-end translation), and a write past a file-size limit fails instead of
/// stopping the process, so a save can clean up.
void prepare_process();

/// The command-line arguments after the program's name, as UTF-8 text.
std::vector<std::string> arguments(int argc, char** argv);

/// The full path of the running program; `argv0` is the fallback where the system cannot tell.
std::string own_program(const char* argv0);

/// The path of the window program, which sits beside the running one.
std::string window_program(const char* argv0);

/// Runs the window program with these arguments. On Linux it takes this process's place, so its
/// exit code and output are this process's. On Windows it is a process of its own sharing this
/// one's standard streams: with `wait` (a batch command the window program does, such as drawing
/// a PNG) this process returns its exit code; otherwise 0 at once, and the editor outlives it.
/// Returns -1 when it could not be started, with the reason in `error`.
int start_window_program(const std::string& program, const std::vector<std::string>& args,
    bool wait, std::string& error);

/// The folder the editor keeps its settings in: "$XDG_CONFIG_HOME/tintwell/system" (by default
/// "~/.config/tintwell/system") on Linux, "%APPDATA%\tintwell\system" on Windows. Empty when the
/// system names no such place.
std::string settings_folder();

} // namespace tintwell::platform
