#pragma once

#include "model/document.h"

#include <string>

namespace tintwell {

/// Saves the open theme to `path`, asking "Overwrite existing file?" when a file is there.
/// The old file is replaced only once the whole new text is on disk. Returns true when the
/// theme was written; `modified` is cleared only then.
bool save_code(Document& doc, const std::string& path);

/// The Sport & Fitness writer; called by save_code. Returns true when the file was written.
bool save_nwf(Document& doc, const std::string& path);

/// The Car & Zumo text of the whole theme, or an empty text when the metadata block is empty.
std::string car_zumo_text(Document& doc);

/// The Sport & Fitness text of the whole theme.
std::string sport_fitness_text(Document& doc);

/// "<?xml ...?>" and "<GARMIN_MAP_THEME>", each followed by CR LF.
std::string get_head();

/// The metadata block of the theme's kind; empty after "Needs a Title" when there is no title.
/// Fills an empty Car & Zumo description, locale and version with their defaults.
std::string make_meta(Document& doc);

/// Writes the text and a CR LF to `path`. Returns true when the file is at the path afterwards;
/// otherwise shows the failure and returns false: "PATH is not a regular file" and "PATH is
/// read-only" as they are, any other failure as "PATH: " and the system's error text followed by
/// " Check access permission". An existing file is replaced only by a complete new one.
bool append_(Document& doc, const std::string& path, const std::string& text);

/// Replaces the file at `path` with the text and a CR LF; an empty path does nothing. Shows
/// "Error saving PATH", an empty line and "Check access permission" when it cannot, and leaves an
/// existing file as it was.
bool save_text_file(Prompter& prompter, const std::string& path, const std::string& text);

enum class ReplaceResult {
    Replaced,
    /// The target is not a regular file, or the process may not write it; nothing was tried.
    Refused,
    /// The system failed a step; the old file is as it was.
    Failed,
};

/// Replaces the file at `path` (following a link) with `bytes`, so that the path names either the
/// old file or the complete new one, whenever the process stops. The new file is written unnamed
/// in the target's folder and takes its name only once it is complete (a file system without
/// unnamed files gets a named temporary file instead); it keeps the old file's mode and, when the
/// process may set them, its owner and group. A pipe, device or socket is refused with "PATH is not
/// a regular file", a file the process may not write with "PATH is read-only"; other failures give
/// "PATH: " and the system's error text. On every failure nothing is left behind and `error` holds
/// the text.
ReplaceResult replace_file(const std::string& path, const std::string& bytes, std::string& error);

} // namespace tintwell
