#pragma once

#include "model/document.h"
#include "model/lint_rules.h"

#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

/// A fault in a theme file's text that the reader passes over.
struct StructureIssue
{
    const LintRule* rule = nullptr;
    /// 1-based line of the file where the fault is.
    int line = 0;
    /// Presentation name as written (trimmed); empty in a Sport & Fitness theme.
    std::string presentation;
    /// Element name (see lint_element_name), or the presentation name for an unknown one.
    std::string element;
    /// What the rule's reason shows as {detail}: the bad colour text, the earlier line, the
    /// border value, the missing closing tag.
    std::string detail;
    /// The style counted from 0 as the reader makes rows of them; -1 when the fault is not in a
    /// style the reader keeps.
    int style = -1;
};

/// What a scan of a theme file's text found.
struct StructureScan
{
    std::vector<StructureIssue> issues;
    /// The line each style the reader makes a row of opens at, in row order.
    std::vector<int> style_lines;
};

/// Scans the bytes of a theme file of the given kind for a file cut off before its closing tag,
/// styles without their closing tag, colours that are not six hexadecimal digits (eight in
/// Sport & Fitness), an element twice in one presentation, element and presentation names the
/// catalogue does not know and (Car & Zumo) a border without a secondary colour. Tags are
/// matched in either case; any bytes are accepted. Lines end at LF, or at CR in a file that has
/// no LF. Issues come in file order.
StructureScan scan_structure(std::string_view bytes, ThemeKind kind);

} // namespace tintwell
