#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

namespace tintwell {

/// A path as the readers, writers and settings take it: in the file system's own encoding.
inline std::string to_bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

/// A path the readers, writers or settings keep, as the windows show it.
inline QString from_bytes(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace tintwell
