#pragma once

#include "model/document.h"
#include "model/reader.h"
#include "model/text.h"

#include <ostream>
#include <string>

namespace tintwell {

/// A theme file loaded for a batch command as File, Open loads it, without a window.
struct LoadedTheme
{
    RecordingPrompter prompter;
    Document doc;
    bool accepted = false;

    explicit LoadedTheme(const std::string& path)
    {
        doc.attach(&prompter, nullptr);
        accepted = open_theme(doc, path);
    }
    LoadedTheme(const LoadedTheme&) = delete;
    LoadedTheme& operator=(const LoadedTheme&) = delete;

    /// Prints "path: message" for every message the reader gave.
    void report(const std::string& path, std::ostream& err) const
    {
        for (const auto& m : prompter.messages) {
            err << path << ": " << text::latin1_to_utf8(m) << '\n';
        }
    }
};

} // namespace tintwell
