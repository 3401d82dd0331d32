#pragma once

// What differs between the systems when a file is looked at, read or replaced. Paths cross this
// interface as UTF-8 text; each system's implementation turns them into what its calls take.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tintwell::platform {

/// A path given as UTF-8 text, as the system's calls take it (UTF-16 on Windows).
std::filesystem::path to_path(std::string_view utf8);

/// A path as UTF-8 text.
std::string from_path(const std::filesystem::path& path);

enum class FileKind {
    Missing,
    Regular,
    Folder,
    /// A pipe, socket or device, including the names Windows keeps for devices (NUL, CON, ...).
    Other,
};

/// What is at the path, following links. A path that cannot be looked at counts as missing.
FileKind file_kind(const std::string& path);

/// The size of the regular file at the path, or nothing.
std::optional<std::uintmax_t> regular_file_size(const std::string& path);

/// Opens the file at the path for reading bytes; null when it cannot.
std::FILE* open_for_reading(const std::string& path);

/// The whole text of a small regular file, read without waiting on a pipe or a device; nothing
/// when the path names no regular file or it cannot be read.
std::optional<std::string> read_regular_file(const std::string& path);

/// The descriptors of standard output and standard error.
inline constexpr int standard_output = 1;
inline constexpr int standard_error = 2;

/// Writes up to `size` bytes to an open descriptor, as the system's write call does: the count
/// written, or -1 with errno set.
long long write_descriptor(int fd, const char* data, std::size_t size);

enum class ReplaceResult {
    Replaced,
    /// The target is not a regular file, or the process may not write it; nothing was tried.
    Refused,
    /// The system failed a step.
    Failed,
};

/// Replaces the file at `path` with `bytes`, so that whenever the process stops the path names
/// either the old file or the complete new one, and nothing is left beside it.
///
/// On Linux links are followed (each relative one from its own folder) and stay links, also one
/// that points to no file yet. The new file is written unnamed in the target's folder and takes
/// its name only once it is complete (a file system without unnamed files gets a named temporary
/// file instead); it keeps the old file's mode, owner and group, and the folder is flushed after
/// the rename. A file with other hard links, or whose owner or group the process cannot give the
/// new file, keeps its inode instead: the complete new text is first flushed under a name beside
/// it, then written into the old file, then removed.
///
/// On Windows the new file is written in the target's folder, marked to be deleted should the
/// process stop, flushed, and put in place of the target with the system's replace call, which
/// keeps the target's attributes; a file with other hard links is written in place as on Linux.
///
/// A pipe, device or socket is refused with "PATH is not a regular file", a file the process may
/// not write with "PATH is read-only"; other failures give "PATH: " and the system's error text,
/// followed by " Check access permission" when a permission was lacking. On every failure the old
/// file is as it was and nothing is left behind, except when writing into the old file fails
/// part-way: then the message ends with "; the whole new text is kept in " and the name beside it.
ReplaceResult replace_file(const std::string& path, const std::string& bytes, std::string& error);

} // namespace tintwell::platform
