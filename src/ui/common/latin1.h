#pragma once

#include "model/text.h"

#include <QString>
#include <string>
#include <string_view>

namespace tintwell {

/// The program's single-byte text shown in a window: one byte is one character (Latin-1).
inline QString from_latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

/// A window's text as the program keeps it; a character outside Latin-1 becomes "?".
inline std::string to_latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

/// A style or description text as a text box shows it: line breaks as single LFs.
inline QString display_text(std::string_view code)
{
    return from_latin1(text::replace(code, "\r\n", "\n"));
}

} // namespace tintwell
