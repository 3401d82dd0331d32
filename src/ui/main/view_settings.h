#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace tintwell {

/// Where a window stands on the screen, in pixels; a width of 0 when it was never placed.
struct WindowPlace
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowPlace&) const = default;
};

/// How the main window shows the preview, kept between runs in a file of its own beside
/// `tintwell.dat`, so that file stays exactly as it is.
struct ViewSettings
{
    /// Zoom of the samples in percent, 50 to 400.
    int zoom_percent = 100;
    /// The status bar (filter count and zoom) is shown.
    bool status_bar = true;
    /// Width in pixels of the compare window's list of changes, 0 to 20000; 0 for the width it
    /// has at first.
    int compare_list_width = 0;
    /// The map window's place and size as it was last shown; unplaced until it was.
    WindowPlace map_window;

    bool operator==(const ViewSettings&) const = default;
};

/// The file's text: one "name=value" line each, CR LF after each; the list width and the map
/// window's place ("x,y,width,height") only when set.
std::string view_settings_text(const ViewSettings& settings);

/// Reads the file's text. Unknown lines are skipped; a value that does not read keeps its
/// default; a zoom outside 50 to 400 and a list width outside its range are brought within them.
/// A window place is taken whole or not at all: four whole numbers, a size of 100 to 20000 and a
/// corner within 20000 of the screen's origin.
ViewSettings read_view_settings(std::string_view text);

/// The file beside the settings file `settings_path`.
std::string view_settings_path(const std::string& settings_path);

/// Reads the file; a missing or unreadable file gives the defaults, and so does something other
/// than a file (a pipe, a folder), with not_a_settings_file's line on `warnings`.
ViewSettings load_view_settings(const std::string& path, std::ostream& warnings);

/// Replaces the file; false when it could not be written or something other than a file stands
/// at the path, which is left as it is (nothing is shown: the settings file beside it reports a
/// folder that cannot be written).
bool save_view_settings(const std::string& path, const ViewSettings& settings);

} // namespace tintwell
