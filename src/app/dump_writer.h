#pragma once

#include "model/document.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tintwell {

/// Writes the document as the one JSON object of `tintwell --dump` (two-space indent, texts as
/// UTF-8, then a line break) as it goes, without building it in memory first.
void write_dump(std::ostream& out, const Document& doc, bool accepted,
    const std::vector<std::string>& messages);

} // namespace tintwell
