#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace tintwell {

/// A path as the readers, writers and settings take it: UTF-8, which the file system takes as it
/// is on Linux and the platform layer turns into UTF-16 on Windows.
inline std::string to_bytes(const QString& path)
{
    return path.toUtf8().toStdString();
}

/// A path the readers, writers or settings keep, as the windows show it.
inline QString from_bytes(const std::string& path)
{
    return QString::fromUtf8(path);
}

} // namespace tintwell
