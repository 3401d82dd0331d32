#include "app/edit_command.h"

#include "analysis/style_batch_edit.h"
#include "analysis/theme_lint.h"
#include "app/batch.h"
#include "app/loaded_theme.h"
#include "app/options.h"
#include "model/writer.h"
#include "platform/files.h"
#include "render/style_filter.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace tintwell {

namespace {

// True when both paths name one file, however they are spelled.
bool same_file(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(platform::to_path(a), platform::to_path(b), ec)) {
        return true;
    }
    return !ec && a == b;
}

// The rows every selector keeps, together, in table order.
std::vector<int> selected_rows(const Document& doc, const std::vector<std::string>& selectors)
{
    std::vector<char> chosen(doc.rows.size(), 0);
    StyleFilter filter;
    for (const std::string& selector : selectors) {
        for (const int row : filter.rows(doc, selector)) {
            chosen[static_cast<std::size_t>(row)] = 1;
        }
    }
    std::vector<int> rows;
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        if (chosen[k] != 0) {
            rows.push_back(static_cast<int>(k));
        }
    }
    return rows;
}

std::string styles_text(int count)
{
    return std::to_string(count) + (count == 1 ? " style" : " styles");
}

} // namespace

int edit_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto line = parse_command_line(args,
        { { "--force" }, { "--select", "--set" }, 2, 2, "--edit takes FILE and OUT",
            "--edit takes FILE and OUT" },
        err);
    if (!line) {
        return 2;
    }
    const std::vector<std::string> selectors = line->values_of("--select");
    const std::vector<std::string> sets = line->values_of("--set");
    if (selectors.empty() || sets.empty()) {
        return usage_error(err, "--edit needs --select SELECTOR and --set PROPERTY=VALUE");
    }
    std::vector<PropertyChange> changes;
    for (const std::string& set : sets) {
        ParsedChange parsed = parse_property_change(set);
        if (!parsed.change) {
            return usage_error(err, "--set " + parsed.message);
        }
        changes.push_back(*parsed.change);
    }
    const std::string& file = line->files[0];
    const std::string& out_path = line->files[1];
    const bool force = line->has("--force");
    if (const auto refusal = refusal_line(file)) {
        err << *refusal << '\n';
        return 1;
    }
    // Checked before the work and again before writing: an edit refused for its values must not
    // leave the user thinking the file was safe to name.
    const bool onto_itself = same_file(file, out_path);
    if (onto_itself && !force) {
        err << "tintwell: " << out_path << " is FILE itself; use --force to replace it\n";
        return 1;
    }
    if (!onto_itself && platform::file_kind(out_path) != platform::FileKind::Missing && !force) {
        err << "tintwell: " << out_path << " exists; use --force to replace it\n";
        return 1;
    }

    ThemeToWrite theme(file, err);
    if (!theme.accepted) {
        return 1;
    }
    Document& doc = theme.doc;
    RecordingPrompter& prompter = theme.prompter;

    const std::vector<int> rows = selected_rows(doc, selectors);
    if (rows.empty()) {
        err << "tintwell: no style matched; nothing written\n";
        return 1;
    }
    const StyleBatchEdit edit = edit_styles(doc, rows, changes);
    if (!edit.refusal.empty()) {
        err << "tintwell: " << text::latin1_to_utf8(edit.refusal) << "; nothing written\n";
        return 1;
    }
    edit.edit.apply(doc);
    out << styles_text(edit.styles) << " changed";
    if (edit.skipped > 0) {
        out << "; " << styles_text(edit.skipped) << " of " << rows.size()
            << " selected had none of the properties set";
    }
    out << '\n';

    prompter.messages.clear();
    prompter.yes_no_answers.push_back(true);
    const bool written = save_code(doc, out_path);
    for (const auto& m : prompter.messages) {
        err << message_line(out_path, m) << '\n';
    }
    return written ? 0 : 1;
}

} // namespace tintwell
