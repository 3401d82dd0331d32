#pragma once

#include "model/document.h"
#include "platform/files.h"

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

/// Saving puts files in place through the platform's safe replace.
using platform::replace_file;
using platform::ReplaceResult;

} // namespace tintwell
