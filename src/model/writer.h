#pragma once

#include "model/document.h"

#include <string>

namespace tintwell {

/// Saves the open theme to `path`, asking "Overwrite existing file?" when a file is there.
/// The old file is replaced only once the whole new text is on disk. Returns true when the
/// theme was written; `modified` is cleared only then.
bool save_code(Document& doc, const std::string& path);

/// Writes the open theme over the file it belongs to, without asking; otherwise as save_code.
bool save_in_place(Document& doc, const std::string& path);

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

/// Writes the text and a CR LF to `path` with replace_file. Returns true when the file is at the
/// path afterwards; otherwise shows replace_file's message and returns false.
bool append_(Document& doc, const std::string& path, const std::string& text);

/// Replaces the file at `path` with the text and a CR LF; an empty path does nothing. Shows
/// replace_file's message when it cannot, and leaves an existing file as it was.
bool save_text_file(Prompter& prompter, const std::string& path, const std::string& text);

enum class ReplaceResult {
    Replaced,
    /// The target is not a regular file, or the process may not write it; nothing was tried.
    Refused,
    /// The system failed a step.
    Failed,
};

/// Replaces the file at `path` with `bytes`, so that whenever the process stops the path names
/// either the old file or the complete new one. Links are followed (each relative one from its own
/// folder) and stay links, also one that points to no file yet. The new file is written unnamed in
/// the target's folder and takes its name only once it is complete (a file system without unnamed
/// files gets a named temporary file instead); it keeps the old file's mode, owner and group, and
/// the folder is flushed after the rename. A file with other hard links, or whose owner or group
/// the process cannot give the new file, keeps its inode instead: the complete new text is first
/// flushed under a name beside it, then written into the old file, then removed.
/// A pipe, device or socket is refused with "PATH is not a regular file", a file the process may
/// not write with "PATH is read-only"; other failures give "PATH: " and the system's error text,
/// followed by " Check access permission" when a permission was lacking. On every failure the old
/// file is as it was and nothing is left behind, except when writing into the old file fails
/// part-way: then the message ends with "; the whole new text is kept in " and the name beside it.
ReplaceResult replace_file(const std::string& path, const std::string& bytes, std::string& error);

} // namespace tintwell
