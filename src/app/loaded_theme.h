#pragma once

#include "analysis/theme_lint.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/text.h"
#include "platform/files.h"

#include <filesystem>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

/// What the batch commands say of a file that memory cannot hold.
inline constexpr const char* out_of_memory = "not enough memory to read it";

/// What --lint says of a file it read but ran out of memory checking.
inline constexpr const char* out_of_memory_checking = "not enough memory to check it";

/// Why the batch commands do not read a path ("No such file", "Is a folder", "not a regular
/// file"), or nothing when it names a regular file (or one that cannot be looked at, which the
/// reader then reports). Nothing is opened: reading a pipe or a device could block the command
/// or take what another program waits for.
inline std::optional<std::string> not_a_theme_file(const std::string& path)
{
    namespace fs = std::filesystem;
    if (platform::file_kind(path) == platform::FileKind::Other) {
        return "not a regular file";
    }
    std::error_code ec;
    const fs::file_status status = fs::status(platform::to_path(path), ec);
    switch (status.type()) {
    case fs::file_type::regular:
        return std::nullopt;
    case fs::file_type::not_found:
        return "No such file";
    case fs::file_type::none:
        return ec ? ec.message() : std::string("No such file");
    case fs::file_type::directory:
        return "Is a folder";
    default:
        return "not a regular file";
    }
}

/// The line a batch command prints for a file it does not read: "FILE: why" for a path that is
/// not a regular file (see not_a_theme_file), or the oversized_theme message for one too large
/// to read; nothing for a file it reads.
inline std::optional<std::string> refusal_line(const std::string& path)
{
    if (const auto why = not_a_theme_file(path)) {
        return path + ": " + *why;
    }
    return oversized_theme(path);
}

/// "FILE: message" in UTF-8 for a message of the reader or the writer, with the file's name
/// once: some messages already begin with it ("FILE: reason", "FILE is read-only"; the window
/// shows them alone), and those are printed as they are.
inline std::string message_line(const std::string& file, const std::string& message)
{
    const bool named = message.size() > file.size() && message.compare(0, file.size(), file) == 0
        && (message[file.size()] == ':' || message[file.size()] == ' ');
    return text::latin1_to_utf8(named ? message : file + ": " + message);
}

/// A theme file loaded for a batch command as File, Open loads it, without a window.
struct LoadedTheme
{
    RecordingPrompter prompter;
    Document doc;
    bool accepted = false;
    /// The line that says why the file was not read at all, when it was not.
    std::optional<std::string> refusal;

    explicit LoadedTheme(const std::string& path)
        : refusal(refusal_line(path))
    {
        doc.attach(&prompter, nullptr);
        if (refusal) {
            return;
        }
        try {
            accepted = open_theme(doc, path);
        } catch (const std::bad_alloc&) {
            refusal = path + ": " + out_of_memory;
        }
    }
    LoadedTheme(const LoadedTheme&) = delete;
    LoadedTheme& operator=(const LoadedTheme&) = delete;

    /// Prints "path: message" for every message the reader gave.
    void report(const std::string& path, std::ostream& err) const
    {
        if (refusal) {
            err << *refusal << '\n';
        }
        for (const auto& m : prompter.messages) {
            err << message_line(path, m) << '\n';
        }
    }
};

/// A theme file opened for a command that writes a theme (--convert, --edit) as File, Open opens
/// it: the reader's messages, and what a save will change, printed to `err` as "FILE: message"
/// and "FILE: warning: ..."; when it is not a theme, "tintwell: FILE is not a theme; nothing
/// written" and `accepted` false. The caller has said why a path is not read at all
/// (refusal_line) before.
struct ThemeToWrite
{
    RecordingPrompter prompter;
    Document doc;
    bool accepted = false;

    ThemeToWrite(const std::string& path, std::ostream& err)
    {
        doc.attach(&prompter, nullptr);
        std::vector<Finding> warnings;
        try {
            accepted = open_theme(doc, path, [&](std::string_view bytes, ThemeKind kind) {
                warnings = save_findings(bytes, kind);
            });
        } catch (const std::bad_alloc&) {
            err << path << ": " << out_of_memory << '\n';
            return;
        }
        for (const auto& m : prompter.messages) {
            err << message_line(path, m) << '\n';
        }
        if (!accepted) {
            err << "tintwell: " << path << " is not a theme; nothing written\n";
            return;
        }
        for (const Finding& f : warnings) {
            err << message_line(path, "warning: " + describe(f)) << '\n';
        }
    }
    ThemeToWrite(const ThemeToWrite&) = delete;
    ThemeToWrite& operator=(const ThemeToWrite&) = delete;
};

} // namespace tintwell
