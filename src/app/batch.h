#pragma once

#include "map/map_request.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// Draws a theme file into a PNG: (file, output path, width in pixels or 0 for the design width,
/// error stream) → exit code. Set by the part of the program that can draw.
using RenderCommand =
    std::function<int(const std::string&, const std::string&, int, std::ostream&)>;

/// True when the arguments (without the program name) ask for a batch command rather than the
/// window.
bool is_batch(const std::vector<std::string>& args);

/// Prints "tintwell: " and the reason, then the usage text, to `err`; returns 2.
int usage_error(std::ostream& err, const std::string& why);

/// Runs one batch command: --dump, --check, --convert, --lint, --edit, --render, --render-map, --colours,
/// --diff, --version, --help. Returns the process exit code (2 for a usage error). When `out`
/// cannot take everything the command printed, says "tintwell: write error: " and the reason on
/// `err` (the system's text when `out` writes through a DescriptorOutput) and returns at least 1 (2
/// for --lint and --diff); a failing `err` gives the same code without a message.
int run_batch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
    const RenderCommand& render = {}, const MapRenderCommand& render_map = {});

/// run_batch on the process's standard output and standard error, as the programs' main() run it.
int run_batch_on_standard_streams(const std::vector<std::string>& args,
    const RenderCommand& render = {}, const MapRenderCommand& render_map = {});

} // namespace tintwell
