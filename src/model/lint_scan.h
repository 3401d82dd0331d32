#pragma once

#include "model/document.h"
#include "model/lint_rules.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

/// A fault in a theme file's text that the reader passes over. The texts are views into the
/// scanned bytes, into the scan's own names or into constant text.
struct StructureIssue
{
    const LintRule* rule = nullptr;
    /// 1-based line of the file where the fault is.
    int line = 0;
    /// The style counted from 0 as the reader makes rows of them; -1 when the fault is not in a
    /// style the reader keeps.
    int style = -1;
    /// For an element named twice: the line it came at first.
    int first_line = 0;
    /// Presentation name (trimmed, upper case); empty in a Sport & Fitness theme.
    std::string_view presentation;
    /// Element name (see lint_element_name), or the presentation name for an unknown one.
    std::string_view element;
    /// What the rule's reason shows as {detail}: the bad colour text, the border value, the
    /// missing closing tag, the kind of theme.
    std::string_view detail;
};

/// What a scan of a theme file's text found. Its issues point into the scanned bytes, which
/// must outlive it, and into its names, so it can be moved but not copied.
struct StructureScan
{
    StructureScan() = default;
    StructureScan(StructureScan&&) = default;
    StructureScan& operator=(StructureScan&&) = default;
    StructureScan(const StructureScan&) = delete;
    StructureScan& operator=(const StructureScan&) = delete;

    std::vector<StructureIssue> issues;
    /// The line each style the reader makes a row of opens at, in row order.
    std::vector<int> style_lines;
    /// The element and presentation names the issues show.
    std::deque<std::string> names;
};

/// How much of a file a scan looks at.
enum class ScanScope {
    /// Every rule, and the line each style opens at.
    Everything,
    /// Only what saving the file would change: a file cut off before its closing tag, colours
    /// that are not six (eight) hexadecimal digits and unclosed metadata elements. Much faster;
    /// the scan's style lines stay empty and its issues name no style row.
    SaveChanges,
};

/// Scans the bytes of a theme file of the given kind for a file cut off before its closing tag,
/// styles without their closing tag, colours that are not six hexadecimal digits (eight in
/// Sport & Fitness), an element twice in one presentation, element and presentation names the
/// catalogue does not know and (Car & Zumo) a border without a secondary colour. Tags are
/// matched in either case; any bytes are accepted. Lines end at LF, or at CR in a file that has
/// no LF. Issues come in file order.
StructureScan scan_structure(
    std::string_view bytes, ThemeKind kind, ScanScope scope = ScanScope::Everything);

} // namespace tintwell
