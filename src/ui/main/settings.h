#pragma once

#include "model/prompter.h"

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tintwell {

/// The recent-file entries, most recent first; empty entries are unused.
using RecentFiles = std::array<std::string, 7>;

/// What the program keeps between runs in `tintwell.dat`.
struct Settings
{
    RecentFiles recent;
    /// "Set Border to 0.3 when Border Color does not exist".
    bool border_pref = true;
    /// "Show Code" ticked: the code box is visible.
    bool show_code = false;
};

/// The marker that opens the settings file: pound sign (one byte, 0xA3), ")*(".
inline constexpr std::string_view settings_marker = "\xA3)*(";

/// The file's ten lines, each followed by CR LF.
std::string settings_text(const Settings& settings);

/// Reads the file's text. A text that does not start with the marker line, is empty or is not
/// text at all gives `defaults`; a short file keeps the defaults of the lines it lacks.
Settings read_settings(std::string_view text, const Settings& defaults = {});

/// The whole contents of a file; empty when the path is empty or names no regular file, or the
/// file is unreadable. A pipe or device is never opened for reading, so this never waits.
std::string loadtext(const std::string& path);

/// "tintwell: PATH is not a regular file; ..." when something other than a file (a pipe, a folder,
/// a device) stands at the path of a settings file: it is neither read nor replaced. Nothing for a
/// regular file or when nothing is there.
std::optional<std::string> not_a_settings_file(const std::string& path);

/// Reads the settings file; a missing or unreadable file gives the defaults, and so does something
/// other than a file, with not_a_settings_file's line on `warnings`.
Settings loaddata(const std::string& path, std::ostream& warnings);

/// Replaces the settings file. Something other than a file at the path is left as it is (false,
/// nothing shown: reading said so). On failure shows replace_file's message ("PATH: " and the
/// reason) and "Your data cannot be saved correctly.", and returns false.
bool savedata(const std::string& path, const Settings& settings, Prompter& prompter);

/// With a path: moves it to the top of the list (a new path pushes the oldest out; a listed one
/// moves up without dropping anything; the match is case-sensitive). With an empty path: moves
/// the non-empty entries up, closing the gaps.
void updatmf(RecentFiles& recent, const std::string& path);

} // namespace tintwell
