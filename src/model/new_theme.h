#pragma once

#include "model/document.h"

#include <string>

namespace tintwell {

/// Empties the document for a new theme of the kind already set. Asks "Save project?" first when
/// there are unsaved changes; Yes leaves everything as it was and returns false.
bool newproject(Document& doc);

/// The style text of row `row` built from its cells, for the element entry as the Add Elements
/// dialog passes it. A Sport & Fitness row gets its border set to "ff". An invalid row gives an
/// empty text.
std::string newcode(Document& doc, int row, const std::string& entry);

/// The style text of `row` in a theme of `kind`, as above; a Sport & Fitness row gets its border
/// set to "ff".
std::string newcode(ThemeKind kind, StyleRow& row, const std::string& entry);

} // namespace tintwell
