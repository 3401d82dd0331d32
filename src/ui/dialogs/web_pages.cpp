#include "ui/dialogs/web_pages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace tintwell {

QString manual_path()
{
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const QString& relative :
        { QStringLiteral("manual.html"), QStringLiteral("../share/doc/tintwell/manual.html") }) {
        const QFileInfo file(dir.filePath(relative));
        if (file.isFile()) {
            return file.canonicalFilePath();
        }
    }
    return {};
}

void open_page(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

void open_manual()
{
    const QString path = manual_path();
    if (!path.isEmpty()) {
        open_page(QUrl::fromLocalFile(path));
    }
}

} // namespace tintwell
