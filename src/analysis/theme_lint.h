#pragma once

#include "colour/colour_science.h"
#include "model/document.h"
#include "analysis/lint_rules.h"
#include "analysis/lint_scan.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The theme checker: will the map be readable by day, by night and for colour-blind eyes, and
// is the file whole. Colour findings come from the document's rows and follow every edit;
// structure findings come from the file's text as it was read.
namespace tintwell {

/// When a colour finding holds. A pair whose colours are the same by day and at night (styles
/// without a night colour are drawn in their day colours) is measured once: DayAndNight.
enum class Period : std::uint8_t { None, Day, Night, DayAndNight };

/// "", "day", "night" or "day and night".
const char* period_name(Period period);

/// One thing the checker found.
struct Finding
{
    const LintRule* rule = nullptr;
    /// The presentation the elements belong to; empty for a Sport & Fitness theme and for
    /// faults of the whole file.
    std::string presentation;
    /// The two elements and their rows in the document, -1 when there is none. Structure
    /// findings name one element.
    std::string first;
    std::string second;
    /// The presentation whose ground was used, when the finding's own has none.
    std::string ground_from;
    /// One line that says what is wrong, with the measured value and what is needed.
    std::string reason;
    /// Contrast ratio (1 to 21) or colour difference, and the least the rule asks for; 0 for
    /// structure findings.
    double value = 0;
    double threshold = 0;
    int first_row = -1;
    int second_row = -1;
    /// 1-based line of the file: where a structure fault is, or where the first element's style
    /// opens while the document is as it was read; 0 when not known.
    int line = 0;
    /// The colours measured (the body or the border, as seen without a deficiency); none for
    /// structure findings.
    std::optional<colour::Rgb> first_colour;
    std::optional<colour::Rgb> second_colour;
    Severity severity = Severity::Info;
    Period period = Period::None;
    /// The eyes the colours were seen with; Normal for contrast and structure findings.
    colour::Vision vision = colour::Vision::Normal;
};

/// What saving a file read from these bytes would change, as the structure findings that say
/// so (a cut-off file, colours that are not six or eight hexadecimal digits, metadata elements
/// without their closing tag), in line order.
std::vector<Finding> save_findings(std::string_view bytes, ThemeKind kind);

/// What the window's notice bar says of a finding of save_findings(): a cut-off file in a
/// sentence of its own ("This file ends at line 874 inside a style; ..."), the others as
/// describe() says them.
std::string save_notice(const Finding& finding, ThemeKind kind);

/// A structure issue as a finding of a theme of this kind.
Finding to_finding(const StructureIssue& issue, ThemeKind kind);

/// The finding in one line of text: presentation, reason and the colours measured.
std::string describe(const Finding& finding);

/// Parts of a measured finding's reason said otherwise than the finding alone says them.
struct ReasonParts
{
    std::optional<std::string> second;
    std::optional<std::string> when;
    std::optional<std::string> value;
};

/// The rule's reason for a measured finding, with the parts given in place of its own.
std::string reason_text(const Finding& finding, const ReasonParts& parts);

/// " at night", " by day with protanopia": when the finding's colours were seen.
std::string when_text(const Finding& finding);

/// A measured value as a reason shows it (one decimal, cut, not rounded).
std::string value_text(double value);

/// The one finding that stands for `count` findings of the rule that were left out: its reason
/// is "and N more", with no line, element or colour.
Finding more_findings(const LintRule& rule, std::size_t count, Severity severity);

/// Findings kept up to findings_per_rule of each rule; past those each rule's findings are only
/// counted, with the highest severity among them.
class CappedFindings
{
public:
    void add(Finding&& finding);

    /// The findings kept, in the order they came, then one "and N more" finding for each rule
    /// that had more, in rule order. Leaves the list empty.
    std::vector<Finding> take();

private:
    struct Left
    {
        std::size_t found = 0;
        Severity severity = Severity::Info;
    };
    std::vector<Finding> m_kept;
    std::vector<Left> m_found = std::vector<Left>(lint_rules().size());
};

/// Checks one document and keeps what it found for each presentation, so that after an edit
/// only the presentations whose rows changed (and those that borrow their ground) are measured
/// again. Not safe to share between threads.
class ThemeChecker
{
public:
    /// Takes the file's text as it was read into `doc` (after File, Open and after File, Save):
    /// its structure findings, and the line each row's style opens at.
    void read_file(std::string_view bytes, const Document& doc);

    /// The same before the rows are read, for a text of this kind: the structure findings are
    /// kept, and the text may go. The findings point at the rows, and the lines of the rows are
    /// known, once the document read from the text has a row for every style the text holds.
    void read_file(std::string_view bytes, ThemeKind kind);

    /// Brings the colour findings up to date with the document and returns them, by
    /// presentation in the order the rows first name them. Call it after every change, undo
    /// included; it finds by itself which presentations changed. The structure findings keep
    /// pointing at their rows only while the document has as many rows as the file gave.
    const std::vector<Finding>& update(const Document& doc);

    /// Measures every presentation of `doc` anew and hands each colour finding to `found` as
    /// soon as its presentation is measured, keeping none: a single check of a whole theme, whose
    /// findings may be far more than the theme's size. Forgets what earlier updates found.
    void check_each(const Document& doc, const std::function<void(Finding&&)>& found);

    /// The colour findings of the last update.
    const std::vector<Finding>& colour_findings() const { return m_findings; }

    /// The structure findings of the file last read, in line order.
    const std::vector<Finding>& file_findings() const { return m_file_findings; }

    /// Forgets the file and every presentation (another theme was opened).
    void clear();

    /// How many presentations the last update measured again; for tests and benchmarks.
    int rechecked() const { return m_rechecked; }

private:
    struct Element
    {
        std::string name;
        std::uint32_t groups = 0;
        int row = -1;
    };
    struct Presentation
    {
        std::string name;
        std::vector<int> rows;
        std::uint64_t fingerprint = 0;
        std::vector<Element> elements;
        std::uint32_t groups = 0;
        std::uint64_t borrowed = 0;
        std::vector<Finding> findings;
    };

    class ElementNames;
    class PresentationCheck;

    /// The presentations in the order the rows first name them, each with its rows; a Sport &
    /// Fitness theme has one, without a name.
    static std::vector<Presentation> presentations_of(const Document& doc);
    std::vector<bool> gather(const Document& doc);
    void check(const Document& doc, Presentation& p) const;
    const Presentation* ground_source(std::uint32_t ground) const;
    std::uint64_t borrowed_key(const Presentation& p) const;

    std::vector<Finding> m_file_findings;
    /// The rows the file's findings point at as read.
    std::vector<int> m_file_finding_rows;
    std::vector<int> m_style_lines;
    int m_file_rows = -1;
    ThemeKind m_kind = ThemeKind::CarZumo;
    bool m_lines_valid = false;
    std::vector<Presentation> m_presentations;
    std::vector<Finding> m_findings;
    int m_rechecked = 0;
};

} // namespace tintwell
