#include "app/batch.h"

#include "app/dump_writer.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"

#include <filesystem>
#include <new>
#include <optional>
#include <ostream>

namespace tintwell {

namespace {

const char* const usage_text = R"(Usage: tintwell [FILE]
       tintwell --dump FILE [--no-border-pref]
       tintwell --check FILE...
       tintwell --convert IN OUT [--force]
       tintwell --render FILE --output OUT.png [--width PX]
       tintwell --version | --help

Without an option Tintwell opens FILE (or an empty window) in the editor.

  --dump FILE         Load FILE as File, Open does and print the theme as one JSON object.
                      Exit 0 when the file was accepted, 1 when it was rejected.
  --no-border-pref    With --dump: read as if "Set Border to 0.3 when Border Color does
                      not exist" were off.
  --check FILE...     Print "FILE: message" for every message of every file. Exit 0 when
                      every file was accepted without a message.
  --convert IN OUT    Load IN and save it to OUT as File, Save does.
  --force             With --convert: replace an existing OUT.
  --render FILE       Draw the preview of FILE into a PNG (--output), --width pixels wide.
  --version           Print the version.
  --help              Print this text.
)";

const char* const version_text = "Tintwell 6.1";

std::string utf8(const std::string& s) { return text::latin1_to_utf8(s); }

int usage_error(std::ostream& err, const std::string& why)
{
    err << "tintwell: " << why << "\n\n" << usage_text;
    return 2;
}

const char* const out_of_memory = "not enough memory to read it";

// Why the batch commands do not read a path, or nothing when it names a regular file (or one
// that cannot be looked at, which the reader then reports). Nothing is opened: reading a pipe or
// a device could block the command or take what another program waits for.
std::optional<std::string> not_a_theme_file(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
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

int dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string file;
    bool border_pref = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--no-border-pref") {
            border_pref = false;
        } else if (!file.empty() || (args[i].size() > 1 && args[i][0] == '-')) {
            return usage_error(err, "--dump takes one FILE and --no-border-pref");
        } else {
            file = args[i];
        }
    }
    if (file.empty()) {
        return usage_error(err, "--dump needs a FILE");
    }
    if (const auto why = not_a_theme_file(file)) {
        err << file << ": " << *why << '\n';
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
    if (args.size() < 2) {
        return usage_error(err, "--check needs at least one FILE");
    }
    bool all_clean = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (const auto why = not_a_theme_file(args[i])) {
            out << args[i] << ": " << *why << '\n';
            all_clean = false;
            continue;
        }
        try {
            RecordingPrompter prompter;
            Document doc;
            doc.attach(&prompter, nullptr);
            const bool accepted = open_theme(doc, args[i]);
            for (const auto& m : prompter.messages) {
                out << args[i] << ": " << utf8(m) << '\n';
            }
            if (!accepted || !prompter.messages.empty()) {
                all_clean = false;
            }
        } catch (const std::bad_alloc&) {
            out << args[i] << ": " << out_of_memory << '\n';
            all_clean = false;
        }
    }
    return all_clean ? 0 : 1;
}

int convert(const std::vector<std::string>& args, std::ostream& err)
{
    std::vector<std::string> files;
    bool force = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--force") {
            force = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return usage_error(err, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        return usage_error(err, "--convert takes IN and OUT");
    }
    if (const auto why = not_a_theme_file(files[0])) {
        err << files[0] << ": " << *why << '\n';
        return 1;
    }
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    bool accepted = false;
    try {
        accepted = open_theme(doc, files[0]);
    } catch (const std::bad_alloc&) {
        err << files[0] << ": " << out_of_memory << '\n';
        return 1;
    }
    for (const auto& m : prompter.messages) {
        err << files[0] << ": " << utf8(m) << '\n';
    }
    if (!accepted) {
        err << "tintwell: " << files[0] << " is not a theme; nothing written\n";
        return 1;
    }
    std::error_code ec;
    if (std::filesystem::exists(files[1], ec) && !force) {
        err << "tintwell: " << files[1] << " exists; use --force to replace it\n";
        return 1;
    }
    prompter.messages.clear();
    prompter.yes_no_answers.push_back(true);
    const bool written = save_code(doc, files[1]);
    for (const auto& m : prompter.messages) {
        err << files[1] << ": " << utf8(m) << '\n';
    }
    return written ? 0 : 1;
}

int render(const std::vector<std::string>& args, std::ostream& err, const RenderCommand& command)
{
    std::string file;
    std::string output;
    int width = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--output" && i + 1 < args.size()) {
            output = args[++i];
        } else if (args[i] == "--width" && i + 1 < args.size()) {
            const std::string& value = args[++i];
            if (value.empty() || value.size() > 5
                || value.find_first_not_of("0123456789") != std::string::npos) {
                return usage_error(err, "--width takes a whole number of pixels (1 to 99999)");
            }
            width = std::stoi(value);
            if (width < 1) {
                return usage_error(err, "--width takes a whole number of pixels (1 to 99999)");
            }
        } else if (!file.empty() || (args[i].size() > 1 && args[i][0] == '-')) {
            return usage_error(err, "--render takes FILE, --output OUT.png and --width PX");
        } else {
            file = args[i];
        }
    }
    if (file.empty() || output.empty()) {
        return usage_error(err, "--render needs FILE and --output OUT.png");
    }
    if (!command) {
        err << "tintwell: this build cannot draw\n";
        return 1;
    }
    if (const auto why = not_a_theme_file(file)) {
        err << file << ": " << *why << '\n';
        return 1;
    }
    try {
        return command(file, output, width, err);
    } catch (const std::bad_alloc&) {
        err << file << ": " << out_of_memory << '\n';
        return 1;
    }
}

} // namespace

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
    const RenderCommand& render_command)
{
    if (args.empty()) {
        return usage_error(err, "no command");
    }
    const std::string& command = args[0];
    if (command == "--version" || command == "-v") {
        out << version_text << '\n';
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
    if (command == "--render") {
        return render(args, err, render_command);
    }
    return usage_error(err, "unknown option " + command);
}

} // namespace tintwell
