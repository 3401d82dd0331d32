#include "analysis/theme_lint.h"

#include "model/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <unordered_map>

namespace tintwell {

namespace {

using colour::Rgb;
using colour::Vision;

constexpr Vision deficiencies[] = { Vision::Protanopia, Vision::Deuteranopia, Vision::Tritanopia };

// The ground groups of the rules that check against a ground; a presentation without one of
// them borrows it.
const std::vector<std::uint32_t>& ground_groups()
{
    static const std::vector<std::uint32_t> grounds = [] {
        std::vector<std::uint32_t> out;
        for (const auto& rule : lint_rules()) {
            if (rule.pairing == Pairing::OnGround
                && std::find(out.begin(), out.end(), rule.second) == out.end()) {
                out.push_back(rule.second);
            }
        }
        return out;
    }();
    return grounds;
}

struct Look
{
    std::optional<Rgb> body;
    std::optional<Rgb> border;
};

// How a style is drawn by day and at night. A style without a night colour ("-1") is drawn in
// its day colour at night, and so is a border without a night colour.
struct Looks
{
    Look day;
    Look night;
    bool night_is_day = true;
};

bool no_colour(std::string_view cell)
{
    return cell.empty() || cell == "-1";
}

Looks looks_of(const StyleRow& row, ThemeKind kind)
{
    Looks looks;
    looks.day.body = colour::parse_rgb(row.pri_day());
    looks.night.body =
        no_colour(row.pri_night()) ? looks.day.body : colour::parse_rgb(row.pri_night());
    bool day_border = false;
    bool night_border = false;
    if (kind == ThemeKind::CarZumo) {
        day_border = night_border = text::val(row.border()) > 0;
    } else {
        // Sport & Fitness borders are there unless their transparency digits make them clear.
        day_border = row.border() != "00";
        night_border = row.nwf_border().empty() ? day_border : row.nwf_border() != "00";
    }
    const auto secondary_day = colour::parse_rgb(row.sec_day());
    const auto secondary_night =
        no_colour(row.sec_night()) ? secondary_day : colour::parse_rgb(row.sec_night());
    if (day_border) {
        looks.day.border = secondary_day;
    }
    if (night_border) {
        looks.night.border = secondary_night;
    }
    looks.night_is_day =
        looks.night.body == looks.day.body && looks.night.border == looks.day.border;
    return looks;
}

double measure(Measure m, Rgb a, Rgb b, Vision vision)
{
    if (m == Measure::Contrast) {
        return colour::contrast_ratio(a, b);
    }
    return colour::delta_e2000(colour::simulate(a, vision), colour::simulate(b, vision));
}

// A value as a finding shows it, one decimal without a trailing ".0". A failing value is cut
// rather than rounded, so it never reads as the threshold it missed.
std::string number(double value, bool cut)
{
    const double tenths = cut ? std::floor(value * 10 + 1e-9) : std::round(value * 10);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", tenths / 10);
    std::string out = buffer;
    if (out.ends_with(".0")) {
        out.resize(out.size() - 2);
    }
    return out;
}

std::string when_text(Period period, Vision vision)
{
    std::string out;
    switch (period) {
    case Period::Day:
        out = " by day";
        break;
    case Period::Night:
        out = " at night";
        break;
    case Period::DayAndNight:
        out = " by day and at night";
        break;
    case Period::None:
        break;
    }
    if (vision != Vision::Normal) {
        out += " with ";
        out += colour::vision_name(vision);
    }
    return out;
}

// The finding's reason; {second} shows `second` when given (a structure finding names its
// presentation there without holding it as an element), and the parts given replace the
// finding's own.
std::string fill_reason(const Finding& f, std::string_view detail, ThemeKind kind,
    const std::string* second = nullptr, const ReasonParts* parts = nullptr)
{
    const std::string_view pattern = f.rule->reason;
    const bool contrast = f.rule->measure == Measure::Contrast;
    std::string out;
    out.reserve(pattern.size() + 64);
    std::size_t i = 0;
    while (i < pattern.size()) {
        const auto open = pattern.find('{', i);
        const auto close = open == std::string_view::npos ? open : pattern.find('}', open);
        if (close == std::string_view::npos) {
            out += pattern.substr(i);
            break;
        }
        out += pattern.substr(i, open - i);
        const std::string_view field = pattern.substr(open + 1, close - open - 1);
        if (parts != nullptr && field == "second" && parts->second) {
            out += *parts->second;
        } else if (parts != nullptr && field == "when" && parts->when) {
            out += *parts->when;
        } else if (parts != nullptr && field == "value" && parts->value) {
            out += *parts->value;
            out += contrast ? ":1" : "";
        } else if (field == "first") {
            out += f.first;
        } else if (field == "second") {
            out += second != nullptr ? *second : f.second;
            if (!f.ground_from.empty()) {
                out += " (from ";
                out += f.ground_from;
                out += ')';
            }
        } else if (field == "when") {
            out += when_text(f.period, f.vision);
        } else if (field == "value" || field == "threshold") {
            out += field == "value" ? number(f.value, true) : number(f.threshold, false);
            out += contrast ? ":1" : "";
        } else if (field == "line") {
            out += std::to_string(f.line);
        } else if (field == "detail") {
            out += detail;
        } else if (field == "digits") {
            out += kind == ThemeKind::CarZumo ? "six" : "eight";
        }
        i = close + 1;
    }
    return out;
}

// A structure finding made in place: a file may have one for every style it holds.
void fill_structure_finding(Finding& f, const StructureIssue& issue, ThemeKind kind)
{
    f.rule = issue.rule;
    f.severity = issue.rule->severity;
    f.presentation = issue.presentation;
    f.first = issue.element;
    f.first_row = issue.style;
    f.line = issue.line;
    f.reason = fill_reason(f,
        issue.first_line != 0 ? std::to_string(issue.first_line) : std::string(issue.detail), kind,
        &f.presentation);
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t value)
{
    return (hash ^ value) * 0x100000001b3ull + 0x9e3779b97f4a7c15ull;
}

// Folds into `hash` everything about a row that a finding depends on, its index included.
// `cells` is room to join the cells in, kept from row to row.
std::uint64_t fold_row(std::uint64_t hash, const StyleRow& row, int index, std::string& cells)
{
    cells.clear();
    for (const std::string_view cell : { row.field_name(), row.elem_name(), row.pri_day(),
             row.pri_night(), row.sec_day(), row.sec_night(), row.border(), row.nwf_border() }) {
        cells += cell;
        cells += '\0';
    }
    return mix(mix(hash, static_cast<std::uint64_t>(index)), std::hash<std::string_view>()(cells));
}

constexpr std::uint64_t fingerprint_start = 0xcbf29ce484222325ull;

} // namespace

const char* period_name(Period period)
{
    switch (period) {
    case Period::Day:
        return "day";
    case Period::Night:
        return "night";
    case Period::DayAndNight:
        return "day and night";
    case Period::None:
        break;
    }
    return "";
}

Finding to_finding(const StructureIssue& issue, ThemeKind kind)
{
    Finding f;
    fill_structure_finding(f, issue, kind);
    return f;
}

std::vector<Finding> save_findings(std::string_view bytes, ThemeKind kind)
{
    std::vector<Finding> out;
    const StructureScan scan = scan_structure(bytes, kind, ScanScope::SaveChanges);
    for (const StructureIssue& issue : scan.issues) {
        if (issue.rule->changes_on_save) {
            out.push_back(to_finding(issue, kind));
        }
    }
    for (const auto& [rule, count] : scan.more) {
        if (rule->changes_on_save) {
            out.push_back(more_findings(*rule, count, rule->severity));
        }
    }
    return out;
}

std::string reason_text(const Finding& f, const ReasonParts& parts)
{
    return fill_reason(f, {}, ThemeKind::CarZumo, nullptr, &parts);
}

std::string when_text(const Finding& f)
{
    return when_text(f.period, f.vision);
}

std::string value_text(double value)
{
    return number(value, true);
}

std::string describe(const Finding& f)
{
    std::string out;
    if (f.rule->measure != Measure::Structure && !f.presentation.empty()) {
        out = f.presentation + ": ";
    }
    out += f.reason;
    if (f.first_colour && f.second_colour) {
        const bool own = f.first_row == f.second_row;
        out += " (" + (own ? std::string("body") : f.first) + " #" + colour::to_hex(*f.first_colour)
            + ", " + (own ? std::string("border") : f.second) + " #"
            + colour::to_hex(*f.second_colour) + ")";
    }
    return out;
}

std::string save_notice(const Finding& f, ThemeKind kind)
{
    if (f.rule == nullptr || f.rule->id != "cut-off" || f.line <= 0) {
        return describe(f);
    }
    const std::string where = !f.first.empty() ? std::string("inside a style")
        : kind == ThemeKind::CarZumo ? std::string("before its closing tag </GARMIN_MAP_THEME>")
                                     : std::string("before its closing tag </garmin_map_theme>");
    return "This file ends at line " + std::to_string(f.line) + " " + where
        + "; saving keeps only the styles read so far";
}

Finding more_findings(const LintRule& rule, std::size_t count, Severity severity)
{
    Finding f;
    f.rule = &rule;
    f.severity = severity;
    f.reason = "and " + std::to_string(count) + " more";
    return f;
}

void CappedFindings::add(Finding&& finding)
{
    Left& left = m_found[static_cast<std::size_t>(finding.rule - lint_rules().data())];
    if (++left.found <= findings_per_rule) {
        m_kept.push_back(std::move(finding));
    } else {
        left.severity = std::max(left.severity, finding.severity);
    }
}

std::vector<Finding> CappedFindings::take()
{
    std::vector<Finding> out = std::move(m_kept);
    m_kept.clear();
    const auto rules = lint_rules();
    for (std::size_t r = 0; r < m_found.size(); ++r) {
        if (m_found[r].found > findings_per_rule) {
            out.push_back(
                more_findings(rules[r], m_found[r].found - findings_per_rule, m_found[r].severity));
        }
        m_found[r] = {};
    }
    return out;
}

void ThemeChecker::read_file(std::string_view bytes, ThemeKind kind)
{
    StructureScan scan = scan_structure(bytes, kind);
    m_file_findings.clear();
    m_file_findings.reserve(scan.issues.size() + scan.more.size());
    m_file_finding_rows.clear();
    m_file_finding_rows.reserve(scan.issues.size() + scan.more.size());
    for (const auto& issue : scan.issues) {
        m_file_finding_rows.push_back(issue.style);
        fill_structure_finding(m_file_findings.emplace_back(), issue, kind);
    }
    for (const auto& [rule, count] : scan.more) {
        m_file_finding_rows.push_back(-1);
        m_file_findings.push_back(more_findings(*rule, count, rule->severity));
    }
    m_style_lines = std::move(scan.style_lines);
    m_file_rows = static_cast<int>(m_style_lines.size());
    // Lines may now be known, or differ from those the cached findings carry.
    m_presentations.clear();
}

void ThemeChecker::read_file(std::string_view bytes, const Document& doc)
{
    read_file(bytes, doc.kind);
    // Styles and rows pair up only when the reader kept every style the scan counted.
    if (m_file_rows != doc.row_count()) {
        std::fill(m_file_finding_rows.begin(), m_file_finding_rows.end(), -1);
        m_style_lines.clear();
        m_file_rows = doc.row_count();
    }
}

void ThemeChecker::clear()
{
    m_file_findings.clear();
    m_file_finding_rows.clear();
    m_style_lines.clear();
    m_file_rows = -1;
    m_presentations.clear();
    m_findings.clear();
}

const ThemeChecker::Presentation* ThemeChecker::ground_source(std::uint32_t ground) const
{
    for (const auto& p : m_presentations) {
        if (p.groups & ground) {
            return &p;
        }
    }
    return nullptr;
}

std::uint64_t ThemeChecker::borrowed_key(const Presentation& p) const
{
    std::uint64_t key = 0;
    for (const std::uint32_t ground : ground_groups()) {
        if (p.groups & ground) {
            continue;
        }
        const Presentation* source = ground_source(ground);
        key = mix(
            key, source == nullptr ? 0 : mix(source->fingerprint, source - m_presentations.data()));
    }
    return key;
}

// Names the elements of each presentation: the first row of each element a rule knows. Field
// names repeat from presentation to presentation; each is named and grouped once, and each
// element name gets a number, so a presentation's first style of it is found at once.
class ThemeChecker::ElementNames
{
public:
    explicit ElementNames(const Document& doc)
        : m_doc(doc)
    {
    }

    // `number` tells the presentations apart: each has its own, none of them 0.
    void take(Presentation& p, std::size_t number, int r)
    {
        const StyleRow& row = m_doc.rows[static_cast<std::size_t>(r)];
        const std::string_view field =
            row.field_name().empty() ? row.elem_name() : row.field_name();
        auto at = m_named.find(field);
        if (at == m_named.end()) {
            std::string name = lint_element_name(row);
            const std::uint32_t groups = element_groups(m_doc.kind, name);
            // An element no rule knows is never measured: it needs no number, and a theme of
            // such names, each written once, is not held a second time here.
            if (groups == 0) {
                return;
            }
            const auto [id, new_name] = m_ids.try_emplace(std::move(name), m_ids.size());
            if (new_name) {
                m_names.push_back(&id->first);
                m_taken_by.push_back(0);
            }
            at = m_named.emplace(field, Named { id->second, groups }).first;
        }
        const Named& element = at->second;
        // An element named twice is measured with its first style; the second one is a
        // structure finding of its own.
        if (element.groups == 0 || m_taken_by[element.id] == number) {
            return;
        }
        m_taken_by[element.id] = number;
        p.elements.push_back({ *m_names[element.id], element.groups, r });
        p.groups |= element.groups;
    }

private:
    struct Named
    {
        std::size_t id;
        std::uint32_t groups;
    };

    const Document& m_doc;
    std::unordered_map<std::string_view, Named> m_named;
    std::unordered_map<std::string, std::size_t> m_ids;
    std::vector<const std::string*> m_names;
    std::vector<std::size_t> m_taken_by;
};

std::vector<ThemeChecker::Presentation> ThemeChecker::presentations_of(const Document& doc)
{
    std::vector<Presentation> found;
    std::unordered_map<std::string_view, std::size_t> by_name;
    std::string_view last_name;
    std::size_t last = 0;
    for (int r = 0; r < doc.row_count(); ++r) {
        const std::string_view name = doc.kind == ThemeKind::SportFitness
            ? std::string_view()
            : text::trim_view(doc.rows[static_cast<std::size_t>(r)].pres_name());
        // Rows come in runs of one presentation; only a new name is looked up.
        if (found.empty() || name != last_name) {
            const auto [at, added] = by_name.try_emplace(name, found.size());
            if (added) {
                found.emplace_back();
                found.back().name = name;
            }
            last_name = name;
            last = at->second;
        }
        found[last].rows.push_back(r);
    }
    return found;
}

std::vector<bool> ThemeChecker::gather(const Document& doc)
{
    // Lines are those of the file as read: they hold while the document is unchanged.
    const bool lines_valid =
        !doc.modified && m_style_lines.size() == static_cast<std::size_t>(doc.row_count());
    if (doc.kind != m_kind || lines_valid != m_lines_valid) {
        m_presentations.clear();
        m_kind = doc.kind;
        m_lines_valid = lines_valid;
    }

    std::vector<Presentation> next = presentations_of(doc);
    std::unordered_map<std::string_view, Presentation*> previous;
    for (auto& p : m_presentations) {
        previous.emplace(p.name, &p);
    }
    ElementNames elements(doc);
    std::string cells;
    std::vector<bool> changed(next.size(), true);
    for (std::size_t i = 0; i < next.size(); ++i) {
        Presentation& p = next[i];
        p.fingerprint = fingerprint_start;
        const auto old = previous.find(p.name);
        if (old == previous.end()) {
            // Nothing to compare with: the rows are read once for both.
            for (const int r : p.rows) {
                p.fingerprint =
                    fold_row(p.fingerprint, doc.rows[static_cast<std::size_t>(r)], r, cells);
                elements.take(p, i + 1, r);
            }
            continue;
        }
        for (const int r : p.rows) {
            p.fingerprint =
                fold_row(p.fingerprint, doc.rows[static_cast<std::size_t>(r)], r, cells);
        }
        if (old->second->fingerprint == p.fingerprint) {
            p.elements = std::move(old->second->elements);
            p.groups = old->second->groups;
            p.borrowed = old->second->borrowed;
            p.findings = std::move(old->second->findings);
            changed[i] = false;
            continue;
        }
        for (const int r : p.rows) {
            elements.take(p, i + 1, r);
        }
    }
    m_presentations = std::move(next);
    return changed;
}

const std::vector<Finding>& ThemeChecker::update(const Document& doc)
{
    const std::vector<bool> changed = gather(doc);
    m_rechecked = 0;
    for (std::size_t i = 0; i < m_presentations.size(); ++i) {
        Presentation& p = m_presentations[i];
        const std::uint64_t borrowed = borrowed_key(p);
        if (changed[i] || borrowed != p.borrowed) {
            p.borrowed = borrowed;
            check(doc, p);
            ++m_rechecked;
        }
    }

    for (std::size_t i = 0; i < m_file_findings.size(); ++i) {
        m_file_findings[i].first_row = doc.row_count() == m_file_rows ? m_file_finding_rows[i] : -1;
    }
    m_findings.clear();
    for (const auto& p : m_presentations) {
        m_findings.insert(m_findings.end(), p.findings.begin(), p.findings.end());
    }
    return m_findings;
}

void ThemeChecker::check_each(const Document& doc, const std::function<void(Finding&&)>& found)
{
    m_presentations.clear();
    m_findings.clear();
    gather(doc);
    for (Presentation& p : m_presentations) {
        check(doc, p);
        for (Finding& f : p.findings) {
            found(std::move(f));
        }
        std::vector<Finding>().swap(p.findings);
    }
    // Nothing is cached: the next update measures every presentation.
    m_presentations.clear();
}

// One presentation's colour check: the pairs of its elements each rule names, measured by day
// and at night. The looks of each row are worked out once.
class ThemeChecker::PresentationCheck
{
public:
    PresentationCheck(const ThemeChecker& checker, const Document& doc, Presentation& p)
        : m_checker(checker)
        , m_doc(doc)
        , m_p(p)
    {
    }

    void run()
    {
        m_p.findings.clear();
        for (const auto& rule : lint_rules()) {
            switch (rule.pairing) {
            case Pairing::OnGround:
                on_ground(rule);
                break;
            case Pairing::Across:
                across(rule);
                break;
            case Pairing::Neighbours:
                neighbours(rule);
                break;
            case Pairing::OwnBorder:
                for (const auto& a : m_p.elements) {
                    if (a.groups & rule.first) {
                        pair(rule, a, a, {});
                    }
                }
                break;
            case Pairing::None:
                break;
            }
        }
    }

private:
    // One pair in one period: the colours the first element is measured in (the better one
    // counts) and the colour of the second.
    struct Seen
    {
        const LintRule& rule;
        const Element& a;
        const Element& b;
        std::string_view ground_from;
        Period period;
        const std::vector<Rgb>& firsts;
        Rgb second;
    };

    const Looks& looks_at(int row)
    {
        const auto [at, added] = m_looks.try_emplace(row);
        if (added) {
            at->second = looks_of(m_doc.rows[static_cast<std::size_t>(row)], m_doc.kind);
        }
        return at->second;
    }

    // Elements against the ground, the presentation's own or, without one, the one it borrows.
    void on_ground(const LintRule& rule)
    {
        const Presentation* ground = &m_p;
        if (!(m_p.groups & rule.second)) {
            ground = m_checker.ground_source(rule.second);
        }
        if (ground == nullptr) {
            return;
        }
        const std::string_view from = ground == &m_p ? std::string_view() : ground->name;
        for (const auto& a : m_p.elements) {
            if (!(a.groups & rule.first)) {
                continue;
            }
            for (const auto& b : ground->elements) {
                if (b.groups & rule.second) {
                    pair(rule, a, b, from);
                }
            }
        }
    }

    void across(const LintRule& rule)
    {
        for (const auto& a : m_p.elements) {
            if (!(a.groups & rule.first)) {
                continue;
            }
            for (const auto& b : m_p.elements) {
                if ((b.groups & rule.second) && b.row != a.row) {
                    pair(rule, a, b, {});
                }
            }
        }
    }

    // Each element of the group against the one before it that the presentation has.
    void neighbours(const LintRule& rule)
    {
        for (const auto& group : lint_groups()) {
            if (group.group != rule.first) {
                continue;
            }
            const Element* previous = nullptr;
            for (const auto name :
                m_doc.kind == ThemeKind::CarZumo ? group.car_zumo : group.sport_fitness) {
                const auto at = std::find_if(m_p.elements.begin(), m_p.elements.end(),
                    [&](const Element& e) { return e.name == name; });
                if (at == m_p.elements.end()) {
                    continue;
                }
                if (previous != nullptr) {
                    pair(rule, *previous, *at, {});
                }
                previous = &*at;
            }
        }
    }

    // Measures one pair by day and at night, and for a colour difference also with each
    // deficiency where normal eyes see enough.
    void pair(
        const LintRule& rule, const Element& a, const Element& b, std::string_view ground_from)
    {
        const bool own_border = rule.pairing == Pairing::OwnBorder;
        const bool best_of_border = rule.pairing == Pairing::OnGround;
        const Looks& la = looks_at(a.row);
        const Looks& lb = looks_at(b.row);
        const bool same = la.night_is_day && lb.night_is_day;
        for (const Period period : { Period::Day, Period::Night }) {
            if (period == Period::Night && same) {
                break;
            }
            const Look& x = period == Period::Day ? la.day : la.night;
            const Look& y = period == Period::Day ? lb.day : lb.night;
            const std::optional<Rgb> second = own_border ? x.border : y.body;
            if (!x.body || !second) {
                continue;
            }
            std::vector<Rgb> firsts { *x.body };
            if (best_of_border && x.border) {
                firsts.push_back(*x.border);
            }
            const Seen seen { rule, a, b, ground_from, same ? Period::DayAndNight : period, firsts,
                *second };
            if (report(seen, Vision::Normal) || rule.measure != Measure::Distinctness) {
                continue;
            }
            for (const Vision vision : deficiencies) {
                report(seen, vision);
            }
        }
    }

    // Adds a finding when the pair, seen with these eyes, falls short of the rule.
    bool report(const Seen& seen, Vision vision)
    {
        const LintRule& rule = seen.rule;
        double best = 0;
        Rgb chosen = seen.firsts.front();
        for (const Rgb c : seen.firsts) {
            const double v = measure(rule.measure, c, seen.second, vision);
            if (v > best) {
                best = v;
                chosen = c;
            }
        }
        if (best >= rule.threshold) {
            return false;
        }
        Finding f;
        f.rule = &rule;
        f.severity = vision == Vision::Normal ? rule.severity : rule.deficiency_severity;
        f.presentation = m_p.name;
        f.period = seen.period;
        f.vision = vision;
        f.first = seen.a.name;
        f.first_colour = chosen;
        f.first_row = seen.a.row;
        f.second = seen.b.name;
        f.second_colour = seen.second;
        f.second_row = seen.b.row;
        f.ground_from = seen.ground_from;
        f.value = best;
        f.threshold = rule.threshold;
        if (m_checker.m_lines_valid) {
            f.line = m_checker.m_style_lines[static_cast<std::size_t>(seen.a.row)];
        }
        f.reason = fill_reason(f, {}, m_doc.kind);
        m_p.findings.push_back(std::move(f));
        return true;
    }

    const ThemeChecker& m_checker;
    const Document& m_doc;
    Presentation& m_p;
    std::unordered_map<int, Looks> m_looks;
};

void ThemeChecker::check(const Document& doc, Presentation& p) const
{
    PresentationCheck(*this, doc, p).run();
}

} // namespace tintwell
