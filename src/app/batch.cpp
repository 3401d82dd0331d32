#include "app/batch.h"

#include "analysis/theme_lint.h"
#include "app/colours_command.h"
#include "app/descriptor_output.h"
#include "app/diff_command.h"
#include "app/dump_writer.h"
#include "app/edit_command.h"
#include "app/lint_command.h"
#include "app/loaded_theme.h"
#include "app/options.h"
#include "app/version.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <ostream>

namespace tintwell {

namespace {

// Laid out as GNU programs lay out --help, so that help2man turns it into the manual page:
// "or:" lines for the synopsis, options indented by two spaces with their text in one column.
// Every command in the synopsis has its line under "Exit status:".
const char* const usage_text = R"(Usage: tintwell [FILE]
  or:  tintwell --dump FILE [--no-border-pref]
  or:  tintwell --check FILE...
  or:  tintwell --convert IN OUT [--force]
  or:  tintwell --lint FILE... [--json] [--min-severity info|warning|error] [--ungrouped]
  or:  tintwell --lint FILE --fix OUT [--rule RULE] [--force]
  or:  tintwell --edit FILE OUT --select SELECTOR... --set PROPERTY=VALUE... [--force]
  or:  tintwell --render FILE --output OUT.png [--width PX]
  or:  tintwell --render-map FILE --output OUT.png [--night] [--presentation NAME]
                [--vision normal|protanopia|deuteranopia|tritanopia] [--width PX]
  or:  tintwell --colours FILE [--json] [--by-hue] [--near]
  or:  tintwell --diff A B [--json]
  or:  tintwell --version | --help
Edit the colour themes (.kmtf files) of navigation devices, or read, check, convert and draw
them from the command line.

Without an option Tintwell opens FILE (or an empty window) in the editor. The options run
without a window and need no display.

Options:
  --dump FILE         Load FILE as File, Open does and print the theme as one JSON object.
  --no-border-pref    With --dump: read as if "Set Border to 0.3 when Border Color does
                      not exist" were off.
  --check FILE...     Print "FILE: message" for every message of every file, and for
                      what saving it would change: a file that looks cut off, a colour
                      that is not six (eight) hexadecimal digits, an unclosed metadata
                      element.
  --convert IN OUT    Load IN and save it to OUT as File, Save does; what saving
                      changes of IN is printed as a warning.
  --lint FILE...      Check that each theme reads well by day, at night and for colour-blind
                      eyes, and that the file is whole: one line per rule, time of day,
                      vision and element, across presentations and grounds.
  --ungrouped         With --lint: one line per finding.
  --fix OUT           With --lint: give every colour finding the nearest colour that
                      meets its rule, save the theme to OUT and say what changed.
  --rule RULE         With --fix: fix the findings of this rule only.
  --edit FILE OUT     Load FILE, change every style that a --select keeps as each --set
                      says (in their order), print how many styles changed and save the
                      theme to OUT as File, Save does. OUT may be FILE only with --force.
  --select SELECTOR   With --edit: the styles to change, written as in the filter box: a
                      name, #RRGGBB, ~#RRGGBB for colours near it, "" for every style.
                      Several --select take the styles of all of them.
  --set PROPERTY=VALUE
                      With --edit: PROPERTY is day, night, border-day, border-night (the
                      colours of the line or fill and of its border), scale, border,
                      bg-width or fg-width. VALUE is a colour or a number to set;
                      lighter:N or darker:N (CIE L*), saturate:N or desaturate:N
                      (chroma), hue:N (degrees) for a colour; times:N or plus:N for a
                      number. A style without the property is left as it is; a scale or
                      border outside 0.01 - 2.5 or a width above 200 refuses the edit.
  --force             With --convert, --fix or --edit: replace an existing OUT.
  --json              With --lint, --colours or --diff: print JSON.
  --min-severity LEVEL
                      With --lint: the least severity that counts (info, warning or error;
                      default warning).
  --render FILE       Draw the preview of FILE into a PNG.
  --output OUT.png    With --render or --render-map: the PNG to write.
  --width PX          With --render or --render-map: the width in pixels (1 to 99999);
                      without it the width of the editor's preview, or 1600 for the map.
  --render-map FILE   Draw a made-up coastal town with the styles of FILE into a PNG.
  --night             With --render-map: the night colours.
  --presentation NAME With --render-map: the presentation to draw (default: the first).
  --vision NAME       With --render-map: as seen with normal vision (default), protanopia,
                      deuteranopia or tritanopia.
  --colours FILE      List the colours of FILE with the number of their uses, most used
                      first; with --json also the rows that use each colour.
  --by-hue            With --colours: sort by hue instead.
  --near              With --colours: add the pairs of nearly equal colours (a colour
                      difference below 2).
  --diff A B          Print what changed from theme A to theme B, one line per change.
  -v, --version       Print the version.
  -h, --help          Print this text.

Exit status:
  tintwell [FILE]     0 when the window is closed; 1 when the window program beside
                      tintwell cannot be started.
  --dump              0 when FILE was accepted, 1 when it was rejected.
  --check             0 when every file was accepted without a message, 1 otherwise.
  --convert           0 when OUT was written; 1 when IN is not a theme, OUT exists
                      without --force, or OUT could not be written.
  --edit              0 when OUT was written; 1 when FILE is not a theme, no style
                      matched, a value was refused, OUT exists without --force, or OUT
                      could not be written.
  --render            0 when the PNG was written; 1 when FILE is not a theme, the preview
                      is too large for one image, or the PNG could not be written.
  --render-map        0 when the PNG was written; 1 when FILE is not a theme, it has no
                      such presentation, the map is too large for one image, or the PNG
                      could not be written.
  --lint              0 when no finding reaches --min-severity, 1 when one does, 2 when a
                      file cannot be read. With --fix: 0 when every finding was fixed, 1
                      when one could not be, 2 when nothing was written.
  --colours           0 when listed, 1 when FILE was rejected.
  --diff              0 when the themes are the same, 1 when they differ, 2 when a file
                      cannot be read or the themes are of different kinds.
  --version, --help   0.
  Any command         2 for a mistake on the command line: an unknown option, a missing
                      or extra argument, a width that is not a number.
)";

int dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto line = parse_command_line(args,
        { { "--no-border-pref" }, {}, 1, 1, "--dump needs a FILE",
            "--dump takes one FILE and --no-border-pref" },
        err);
    if (!line) {
        return 2;
    }
    const std::string& file = line->files[0];
    const bool border_pref = !line->has("--no-border-pref");
    if (const auto refusal = refusal_line(file)) {
        err << *refusal << '\n';
        return 1;
    }
    try {
        RecordingPrompter prompter;
        Document doc;
        doc.attach(&prompter, nullptr);
        doc.border_pref = border_pref;
        const bool accepted = open_theme(doc, file);
        write_dump(out, doc, accepted, prompter.messages);
        return accepted ? 0 : 1;
    } catch (const std::bad_alloc&) {
        err << file << ": " << out_of_memory << '\n';
        return 1;
    }
}

int check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto line = parse_command_line(args,
        { {}, {}, 1, CommandSyntax().most_files, "--check needs at least one FILE", {} }, err);
    if (!line) {
        return 2;
    }
    bool all_clean = true;
    for (const std::string& file : line->files) {
        if (const auto refusal = refusal_line(file)) {
            out << *refusal << '\n';
            all_clean = false;
            continue;
        }
        try {
            RecordingPrompter prompter;
            Document doc;
            doc.attach(&prompter, nullptr);
            std::vector<Finding> warnings;
            const bool accepted =
                check_theme(doc, file, [&](std::string_view bytes, ThemeKind kind) {
                    warnings = save_findings(bytes, kind);
                });
            for (const auto& m : prompter.messages) {
                out << message_line(file, m) << '\n';
            }
            if (!accepted) {
                warnings.clear();
            }
            for (const Finding& f : warnings) {
                out << message_line(file, describe(f)) << '\n';
            }
            if (!accepted || !prompter.messages.empty() || !warnings.empty()) {
                all_clean = false;
            }
        } catch (const std::bad_alloc&) {
            out << file << ": " << out_of_memory << '\n';
            all_clean = false;
        }
    }
    return all_clean ? 0 : 1;
}

int convert(const std::vector<std::string>& args, std::ostream& err)
{
    const auto line = parse_command_line(args,
        { { "--force" }, {}, 2, 2, "--convert takes IN and OUT", "--convert takes IN and OUT" },
        err);
    if (!line) {
        return 2;
    }
    const std::vector<std::string>& files = line->files;
    const bool force = line->has("--force");
    if (const auto refusal = refusal_line(files[0])) {
        err << *refusal << '\n';
        return 1;
    }
    ThemeToWrite theme(files[0], err);
    if (!theme.accepted) {
        return 1;
    }
    Document& doc = theme.doc;
    RecordingPrompter& prompter = theme.prompter;
    if (doc.row_count() < 1) {
        err << files[1] << ": No data to save\n";
        return 1;
    }
    if (platform::file_kind(files[1]) != platform::FileKind::Missing && !force) {
        err << "tintwell: " << files[1] << " exists; use --force to replace it\n";
        return 1;
    }
    prompter.messages.clear();
    prompter.yes_no_answers.push_back(true);
    const bool written = save_code(doc, files[1]);
    for (const auto& m : prompter.messages) {
        err << message_line(files[1], m) << '\n';
    }
    return written ? 0 : 1;
}

int render(const std::vector<std::string>& args, std::ostream& err, const RenderCommand& command)
{
    const auto line = parse_command_line(args,
        { {}, { "--output", "--width" }, 1, 1, "--render needs FILE and --output OUT.png",
            "--render takes FILE, --output OUT.png and --width PX" },
        err);
    if (!line) {
        return 2;
    }
    const std::string& file = line->files[0];
    const auto output = line->value("--output");
    if (!output) {
        return usage_error(err, "--render needs FILE and --output OUT.png");
    }
    int width = 0;
    if (const auto value = line->value("--width")) {
        if (value->empty() || value->size() > 5
            || value->find_first_not_of("0123456789") != std::string::npos
            || std::stoi(*value) < 1) {
            return usage_error(err, "--width takes a whole number of pixels (1 to 99999)");
        }
        width = std::stoi(*value);
    }
    if (!command) {
        err << "tintwell: this build cannot draw\n";
        return 1;
    }
    if (const auto refusal = refusal_line(file)) {
        err << *refusal << '\n';
        return 1;
    }
    try {
        return command(file, *output, width, err);
    } catch (const std::bad_alloc&) {
        err << file << ": " << out_of_memory << '\n';
        return 1;
    }
}

// The width option of --render and --render-map: nothing when it is not a whole number of pixels
// (1 to 99999), 0 when it is not given.
std::optional<int> width_option(const CommandLine& line)
{
    const auto value = line.value("--width");
    if (!value) {
        return 0;
    }
    if (value->empty() || value->size() > 5
        || value->find_first_not_of("0123456789") != std::string::npos || std::stoi(*value) < 1) {
        return std::nullopt;
    }
    return std::stoi(*value);
}

int render_map(
    const std::vector<std::string>& args, std::ostream& err, const MapRenderCommand& command)
{
    const auto line = parse_command_line(args,
        { { "--night" }, { "--output", "--width", "--presentation", "--vision" }, 1, 1,
            "--render-map needs FILE and --output OUT.png",
            "--render-map takes FILE, --output OUT.png, --night, --presentation NAME, "
            "--vision NAME and --width PX" },
        err);
    if (!line) {
        return 2;
    }
    MapRenderRequest request;
    request.file = line->files[0];
    const auto output = line->value("--output");
    if (!output) {
        return usage_error(err, "--render-map needs FILE and --output OUT.png");
    }
    request.output = *output;
    const auto width = width_option(*line);
    if (!width) {
        return usage_error(err, "--width takes a whole number of pixels (1 to 99999)");
    }
    request.width_px = *width;
    request.night = line->has("--night");
    request.presentation = line->value("--presentation").value_or("");
    request.vision = line->value("--vision").value_or("normal");
    if (request.vision != "normal" && request.vision != "protanopia"
        && request.vision != "deuteranopia" && request.vision != "tritanopia") {
        return usage_error(err, "--vision takes normal, protanopia, deuteranopia or tritanopia");
    }
    if (!command) {
        err << "tintwell: this build cannot draw\n";
        return 1;
    }
    if (const auto refusal = refusal_line(request.file)) {
        err << *refusal << '\n';
        return 1;
    }
    try {
        return command(request, err);
    } catch (const std::bad_alloc&) {
        err << request.file << ": " << out_of_memory << '\n';
        return 1;
    }
}

int run_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
    const RenderCommand& render_command, const MapRenderCommand& render_map_command)
{
    if (args.empty()) {
        return usage_error(err, "no command");
    }
    const std::string& command = args[0];
    if (command == "--version" || command == "-v") {
        out << "Tintwell " << program_version << '\n';
        return 0;
    }
    if (command == "--help" || command == "-h") {
        out << usage_text;
        return 0;
    }
    if (command == "--dump") {
        return dump(args, out, err);
    }
    if (command == "--check") {
        return check(args, out, err);
    }
    if (command == "--convert") {
        return convert(args, err);
    }
    if (command == "--lint") {
        return run_lint(args, out, err);
    }
    if (command == "--edit") {
        return edit_command(args, out, err);
    }
    if (command == "--render") {
        return render(args, err, render_command);
    }
    if (command == "--render-map") {
        return render_map(args, err, render_map_command);
    }
    if (command == "--colours") {
        return colours_command(args, out, err);
    }
    if (command == "--diff") {
        return diff_command(args, out, err);
    }
    return usage_error(err, "unknown option " + command);
}

// The code of a command that could not do its work: --lint and --diff keep 1 for "found something".
int failure_code(const std::vector<std::string>& args)
{
    return !args.empty() && (args[0] == "--lint" || args[0] == "--diff") ? 2 : 1;
}

std::string write_error_reason(const std::ostream& out)
{
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
    return std::strerror(
        descriptor != nullptr && descriptor->error() != 0 ? descriptor->error() : EIO);
}

} // namespace

int usage_error(std::ostream& err, const std::string& why)
{
    err << "tintwell: " << why << "\n\n" << usage_text;
    return 2;
}

bool is_batch(const std::vector<std::string>& args)
{
    if (args.empty()) {
        return false;
    }
    const std::string& first = args[0];
    // Single-dash words other than -h and -v are left to the toolkit (-platform, -style, ...).
    return first == "-h" || first == "-v" || (first.size() > 2 && first.compare(0, 2, "--") == 0);
}

int run_batch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
    const RenderCommand& render_command, const MapRenderCommand& render_map_command)
{
    int code = 0;
    try {
        code = run_command(args, out, err, render_command, render_map_command);
    } catch (const std::bad_alloc&) {
        err << "tintwell: not enough memory\n";
        code = failure_code(args);
    }
    // Output cut short by a full disk or a closed pipe must not pass for a complete answer.
    out.flush();
    if (!out) {
        err << "tintwell: write error: " << write_error_reason(out) << '\n';
        code = std::max(code, failure_code(args));
    }
    err.flush();
    if (!err) {
        code = std::max(code, failure_code(args));
    }
    return code;
}

int run_batch_on_standard_streams(const std::vector<std::string>& args, const RenderCommand& render,
    const MapRenderCommand& render_map)
{
    DescriptorOutput out_buffer(platform::standard_output);
    DescriptorOutput err_buffer(platform::standard_error);
    std::ostream out(&out_buffer);
    std::ostream err(&err_buffer);
    // As std::cerr: each message goes out at once, after what was printed before it.
    err.setf(std::ios::unitbuf);
    err.tie(&out);
    return run_batch(args, out, err, render, render_map);
}

} // namespace tintwell
