#include "app/lint_command.h"

#include "analysis/colour_fix.h"
#include "analysis/finding_groups.h"
#include "analysis/theme_lint.h"
#include "app/batch.h"
#include "app/loaded_theme.h"
#include "app/options.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"
#include "platform/files.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>

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

nlohmann::ordered_json to_json(const std::string& file, const FindingGroup& group)
{
    const Finding& f = group.members.front();
    nlohmann::ordered_json members = nlohmann::ordered_json::array();
    for (const Finding& member : group.members) {
        members.push_back(to_json(file, member));
    }
    nlohmann::ordered_json presentations = nlohmann::ordered_json::array();
    for (const std::string& name : group.presentations) {
        presentations.push_back(utf8(name));
    }
    const bool structure = f.rule->measure == Measure::Structure;
    return { { "file", utf8(file) }, { "line", group.line },
        { "severity", severity_name(group.severity) }, { "rule", std::string(f.rule->id) },
        { "when", period_name(f.period) },
        { "vision", structure ? "" : colour::vision_name(f.vision) }, { "first", utf8(f.first) },
        { "presentations", std::move(presentations) }, { "reason", utf8(describe(group)) },
        { "count", group.size() }, { "members", std::move(members) },
        { "members_left_out", group.left_out } };
}

// Writes the findings as text lines or as the elements of one JSON array, each as soon as it is
// given, so that no more than one file's findings are held. Grouped, a line stands for a group;
// ungrouped, every group holds one finding and a line stands for it.
class FindingPrinter
{
public:
    FindingPrinter(std::ostream& out, bool json, bool grouped)
        : m_out(out)
        , m_json(json)
        , m_grouped(grouped)
    {
    }

    void print(const std::string& file, const FindingGroup& group)
    {
        if (group.members.empty()) {
            return;
        }
        const Finding& f = group.members.front();
        const bool first = !m_printed;
        m_printed = true;
        if (!m_json) {
            m_out << file << ':';
            if (group.line > 0) {
                m_out << group.line << ':';
            }
            m_out << ' ' << severity_name(group.severity) << ": " << utf8(describe(group)) << " ["
                  << f.rule->id << "]\n";
            return;
        }
        // Laid out as the whole array dumped with an indent of two would be.
        std::string object = (m_grouped ? to_json(file, group) : to_json(file, f)).dump(2);
        for (auto at = object.find('\n'); at != std::string::npos; at = object.find('\n', at + 3)) {
            object.insert(at + 1, "  ");
        }
        m_out << (first ? "[\n  " : ",\n  ") << object;
    }

    void finish()
    {
        if (m_json) {
            m_out << (m_printed ? "\n]\n" : "[]\n");
        }
    }

    bool printed() const { return m_printed; }

private:
    std::ostream& m_out;
    bool m_json;
    bool m_grouped;
    bool m_printed = false;
};

// The text of the file, or nothing when it cannot be read (said on `err`).
std::optional<std::string> load(
    Document& doc, RecordingPrompter& prompter, const std::string& file, std::ostream& err)
{
    prompter.messages.clear();
    std::string bytes = loadbinary2(doc, file);
    if (!prompter.messages.empty()) {
        err << "tintwell: cannot read " << file << ": " << prompter.messages.front() << '\n';
        return std::nullopt;
    }
    return bytes;
}

// The findings of one regular file as groups: each finding a group of its own, at most
// findings_per_rule of each rule and then one that counts the rest, or grouped by rule, time,
// vision and element.
class FileFindings
{
public:
    explicit FileFindings(bool grouped)
        : m_grouped(grouped)
    {
    }

    void add_structure(Finding&& f)
    {
        if (m_grouped) {
            m_grouper.add(std::move(f));
        } else {
            add_alone(std::move(f));
        }
    }
    void add_measured(Finding&& f)
    {
        if (m_grouped) {
            m_grouper.add(std::move(f));
        } else {
            m_capped.add(std::move(f));
        }
    }
    std::vector<FindingGroup> take()
    {
        if (m_grouped) {
            return m_grouper.take();
        }
        for (Finding& f : m_capped.take()) {
            add_alone(std::move(f));
        }
        return std::move(m_alone);
    }
    void clear()
    {
        m_grouper.take();
        m_capped.take();
        m_alone.clear();
    }

private:
    void add_alone(Finding&& f)
    {
        FindingGroup group;
        group.line = f.line;
        group.severity = f.severity;
        group.members.push_back(std::move(f));
        m_alone.push_back(std::move(group));
    }

    bool m_grouped;
    FindingGrouper m_grouper;
    CappedFindings m_capped;
    std::vector<FindingGroup> m_alone;
};

// The findings of one regular file that reach `minimum`; false when the file cannot be read at
// all.
bool lint_regular_file(
    const std::string& file, Severity minimum, FileFindings& findings, std::ostream& err)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    auto bytes = load(doc, prompter, file, err);
    if (!bytes) {
        return false;
    }
    // The structure is found in the text as the file has it, before reading folds it in place,
    // so the text is never held beside the table. The kind is the reader's, which a text with
    // "<PRESENTATION" always has and nearly every other text has not; on a miss the file is
    // read again.
    const ThemeKind guess = bytes->find("<PRESENTATION") != std::string::npos
        ? ThemeKind::CarZumo
        : ThemeKind::SportFitness;
    ThemeChecker checker;
    try {
        checker.read_file(*bytes, guess);
    } catch (const std::bad_alloc&) {
        err << file << ": " << out_of_memory_checking << '\n';
        return false;
    }
    if (!parse(doc, std::move(*bytes))) {
        StructureIssue issue;
        issue.rule = &lint_rule("not-a-theme");
        if (!prompter.messages.empty()) {
            issue.detail = prompter.messages.back();
        }
        Finding f = to_finding(issue, doc.kind);
        if (f.severity >= minimum) {
            findings.add_structure(std::move(f));
        }
        return true;
    }
    // The theme is read; running out of memory from here on is a check that could not be done,
    // which the user should not take for a file that cannot be read.
    try {
        bytes.reset();
        if (doc.kind != guess) {
            bytes = load(doc, prompter, file, err);
            if (!bytes) {
                return false;
            }
            checker.read_file(*bytes, doc.kind);
            bytes.reset();
        }
        for (const Finding& f : checker.file_findings()) {
            if (f.severity >= minimum) {
                findings.add_structure(Finding(f));
            }
        }
        checker.check_each(doc, [&](Finding&& f) {
            if (f.severity >= minimum) {
                findings.add_measured(std::move(f));
            }
        });
    } catch (const std::bad_alloc&) {
        findings.clear();
        err << file << ": " << out_of_memory_checking << '\n';
        return false;
    }
    return true;
}

bool lint_file(const std::string& file, Severity minimum, FileFindings& findings, std::ostream& err)
{
    if (const auto why = not_a_theme_file(file)) {
        err << "tintwell: cannot read " << file << ": " << *why << '\n';
        return false;
    }
    if (const auto refusal = oversized_theme(file)) {
        err << "tintwell: " << *refusal << '\n';
        return false;
    }
    try {
        return lint_regular_file(file, minimum, findings, err);
    } catch (const std::bad_alloc&) {
        findings.clear();
        err << "tintwell: cannot read " << file << ": " << out_of_memory << '\n';
        return false;
    }
}

// The colours of a fix, each change once: "#303044 -> #5A5A78".
std::string changes_text(const FixProposal& fix)
{
    std::vector<std::string> seen;
    for (std::size_t k = 0; k < fix.colours.size(); ++k) {
        const std::string change =
            "#" + colour::to_hex(fix.before[k]) + " -> #" + colour::to_hex(fix.colours[k].colour);
        if (std::find(seen.begin(), seen.end(), change) == seen.end()) {
            seen.push_back(change);
        }
    }
    std::string out;
    for (const auto& change : seen) {
        out += (out.empty() ? "" : ", ") + change;
    }
    return out;
}

// Fixes every colour finding of FILE that reaches `minimum` (of `rule` alone when given) and
// saves the theme to OUT. A fix changes the rows it fixes, so a group that measured one of them
// waits for a fresh check; a few rounds settle every group.
int lint_fix(const std::string& file, const std::string& out_path, const std::string& rule,
    Severity minimum, bool force, std::ostream& out, std::ostream& err)
{
    if (platform::file_kind(out_path) != platform::FileKind::Missing && !force) {
        err << "tintwell: " << out_path << " exists; use --force to replace it\n";
        return 2;
    }
    LoadedTheme loaded(file);
    loaded.report(file, err);
    if (loaded.refusal || !loaded.accepted) {
        if (!loaded.refusal) {
            err << "tintwell: " << file << " is not a theme; nothing written\n";
        }
        return 2;
    }
    Document& doc = loaded.doc;
    // The lines of the styles, for naming the groups; fixing moves no row, so they hold.
    ThemeChecker checker;
    {
        checker.read_file(platform::read_regular_file(file).value_or(std::string()), doc);
    }
    constexpr int rounds = 5;
    const FixContext context(doc);
    std::set<std::string> done;
    std::vector<std::string> refused;
    for (int round = 0; round < rounds; ++round) {
        FindingGrouper grouper;
        checker.check_each(doc, [&](Finding&& f) {
            if (f.severity >= minimum && (rule.empty() || f.rule->id == rule)) {
                grouper.add(std::move(f));
            }
        });
        std::set<int> changed;
        bool waiting = false;
        for (const FindingGroup& group : grouper.take()) {
            const std::string key = group_key(group);
            if (done.count(key) != 0) {
                continue;
            }
            const bool touched =
                std::any_of(group.members.begin(), group.members.end(), [&](const Finding& f) {
                    return changed.count(f.first_row) != 0 || changed.count(f.second_row) != 0;
                });
            if (touched) {
                waiting = true;
                continue;
            }
            done.insert(key);
            const FixProposal fix = propose_fix(doc, group, &context);
            const std::string where =
                file + ":" + (group.line > 0 ? std::to_string(group.line) + ":" : "") + " ";
            const std::string tail = " [" + std::string(group.members.front().rule->id) + "]";
            if (!fix.fixable()) {
                refused.push_back(
                    where + "cannot fix: " + describe(group) + ": " + fix.refusal + tail);
                continue;
            }
            const ColourEdit edit = fix_edit(doc, fix);
            edit.edit.apply(doc);
            for (const SlotColour& c : fix.colours) {
                changed.insert(c.row);
            }
            const bool contrast = group.members.front().rule->measure == Measure::Contrast;
            const auto value = [&](double v) { return value_text(v) + (contrast ? ":1" : ""); };
            out << utf8(where + fix.description + ": " + changes_text(fix) + ", "
                + (contrast ? "contrast " : "colour difference ") + value(fix.worst_before) + " -> "
                + value(fix.worst_after) + " (needs " + value(fix.threshold) + ")" + tail)
                << '\n';
        }
        if (!waiting) {
            break;
        }
    }
    for (const auto& line : refused) {
        out << utf8(line) << '\n';
    }
    loaded.prompter.messages.clear();
    loaded.prompter.yes_no_answers.push_back(true);
    const bool written = save_code(doc, out_path);
    for (const auto& m : loaded.prompter.messages) {
        err << message_line(out_path, m) << '\n';
    }
    if (!written) {
        return 2;
    }
    return refused.empty() ? 0 : 1;
}

} // namespace

int run_lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto line = parse_command_line(args,
        { { "--json", "--ungrouped", "--force" }, { "--min-severity", "--fix", "--rule" }, 1,
            CommandSyntax().most_files, "--lint needs at least one FILE", {} },
        err);
    if (!line) {
        return 2;
    }
    const std::vector<std::string>& files = line->files;
    const bool json = line->has("--json");
    Severity minimum = Severity::Warning;
    if (const auto name = line->value("--min-severity")) {
        const auto severity = parse_severity(*name);
        if (!severity) {
            return usage_error(err, "--min-severity takes info, warning or error");
        }
        minimum = *severity;
    }

    if (const auto fix_out = line->value("--fix")) {
        if (files.size() != 1 || json || line->has("--ungrouped")) {
            return usage_error(err, "--fix takes one FILE, without --json or --ungrouped");
        }
        std::string rule;
        if (const auto named = line->value("--rule")) {
            rule = *named;
            const auto rules = lint_rules();
            if (std::none_of(
                    rules.begin(), rules.end(), [&](const LintRule& r) { return r.id == rule; })) {
                return usage_error(err, "--rule: no rule is named " + rule);
            }
        }
        return lint_fix(files[0], *fix_out, rule, minimum, line->has("--force"), out, err);
    }
    if (line->value("--rule") || line->has("--force")) {
        return usage_error(err, "--rule and --force go with --fix");
    }
    const bool grouped = !line->has("--ungrouped");
    bool unreadable = false;
    FindingPrinter printer(out, json, grouped);
    for (const auto& file : files) {
        FileFindings findings(grouped);
        if (!lint_file(file, minimum, findings, err)) {
            unreadable = true;
            continue;
        }
        for (const auto& group : findings.take()) {
            printer.print(file, group);
        }
    }
    printer.finish();
    const bool found = printer.printed();
    return unreadable ? 2 : found ? 1 : 0;
}

} // namespace tintwell
