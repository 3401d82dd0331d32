#include "app/lint_command.h"

#include "app/batch.h"
#include "app/loaded_theme.h"
#include "colour/theme_lint.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/text.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>

namespace tintwell {

namespace {

std::string utf8(const std::string& s)
{
    return text::latin1_to_utf8(s);
}

double two_decimals(double value)
{
    return std::round(value * 100) / 100;
}

std::string colour_text(const std::optional<colour::Rgb>& colour)
{
    return colour ? colour::to_hex(*colour) : std::string();
}

nlohmann::ordered_json to_json(const std::string& file, const Finding& f)
{
    const bool structure = f.rule->measure == Measure::Structure;
    return { { "file", utf8(file) }, { "line", f.line }, { "severity", severity_name(f.severity) },
        { "rule", std::string(f.rule->id) }, { "presentation", utf8(f.presentation) },
        { "when", period_name(f.period) },
        { "vision", structure ? "" : colour::vision_name(f.vision) },
        { "measure",
            structure                                  ? "structure"
                : f.rule->measure == Measure::Contrast ? "contrast"
                                                       : "distinctness" },
        { "first", utf8(f.first) }, { "first_colour", colour_text(f.first_colour) },
        { "second", utf8(f.second) }, { "second_colour", colour_text(f.second_colour) },
        { "ground_from", utf8(f.ground_from) }, { "value", two_decimals(f.value) },
        { "threshold", f.threshold }, { "reason", utf8(f.reason) } };
}

// The findings of one regular file; false when it cannot be read at all.
bool lint_regular_file(const std::string& file, std::vector<Finding>& findings, std::ostream& err)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    const std::string bytes = loadbinary2(doc, file);
    if (!prompter.messages.empty()) {
        err << "tintwell: cannot read " << file << ": " << prompter.messages.front() << '\n';
        return false;
    }
    if (!parse(doc, bytes)) {
        StructureIssue issue;
        issue.rule = &lint_rule("not-a-theme");
        if (!prompter.messages.empty()) {
            issue.detail = prompter.messages.back();
        }
        findings.push_back(to_finding(issue, doc.kind));
        return true;
    }
    // The theme is read; running out of memory from here on is a check that could not be done,
    // which the user should not take for a file that cannot be read.
    try {
        ThemeChecker checker;
        checker.read_file(bytes, doc);
        checker.update(doc);
        findings = checker.file_findings();
        findings.insert(
            findings.end(), checker.colour_findings().begin(), checker.colour_findings().end());
    } catch (const std::bad_alloc&) {
        findings.clear();
        err << file << ": " << out_of_memory_checking << '\n';
        return false;
    }
    return true;
}

bool lint_file(const std::string& file, std::vector<Finding>& findings, std::ostream& err)
{
    if (const auto why = not_a_theme_file(file)) {
        err << "tintwell: cannot read " << file << ": " << *why << '\n';
        return false;
    }
    try {
        return lint_regular_file(file, findings, err);
    } catch (const std::bad_alloc&) {
        err << "tintwell: cannot read " << file << ": " << out_of_memory << '\n';
        return false;
    }
}

} // namespace

int run_lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> files;
    bool json = false;
    Severity minimum = Severity::Warning;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--min-severity") {
            const auto severity = i + 1 < args.size() ? parse_severity(args[i + 1]) : std::nullopt;
            if (!severity) {
                return usage_error(err, "--min-severity takes info, warning or error");
            }
            minimum = *severity;
            ++i;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return usage_error(err, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        return usage_error(err, "--lint needs at least one FILE");
    }

    bool unreadable = false;
    bool found = false;
    auto all = nlohmann::ordered_json::array();
    for (const auto& file : files) {
        std::vector<Finding> findings;
        if (!lint_file(file, findings, err)) {
            unreadable = true;
            continue;
        }
        for (const auto& f : findings) {
            if (f.severity < minimum) {
                continue;
            }
            found = true;
            if (json) {
                all.push_back(to_json(file, f));
                continue;
            }
            out << file << ':';
            if (f.line > 0) {
                out << f.line << ':';
            }
            out << ' ' << severity_name(f.severity) << ": " << utf8(describe(f)) << " ["
                << f.rule->id << "]\n";
        }
    }
    if (json) {
        out << all.dump(2) << '\n';
    }
    return unreadable ? 2 : found ? 1 : 0;
}

} // namespace tintwell
