#include "ui/dialogs/web_pages.h"

#include "ui/common/latin1.h"

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

namespace {

PageOpener& page_opener()
{
    static PageOpener opener;
    return opener;
}

bool show_page(const QUrl& url)
{
    if (const PageOpener& opener = page_opener()) {
        return opener(url);
    }
    return QDesktopServices::openUrl(url);
}

} // namespace

void set_page_opener(PageOpener opener)
{
    page_opener() = std::move(opener);
}

void open_page(const QUrl& url)
{
    show_page(url);
}

ManualShown open_manual()
{
    const QString path = manual_path();
    if (path.isEmpty()) {
        return ManualShown::Missing;
    }
    return show_page(QUrl::fromLocalFile(path)) ? ManualShown::Shown : ManualShown::NotOpened;
}

std::string manual_message(ManualShown shown, const QString& path)
{
    switch (shown) {
    case ManualShown::Shown:
        break;
    case ManualShown::Missing:
        return "The manual (manual.html) was not found beside the program or in its "
               "documentation folder.";
    case ManualShown::NotOpened:
        // Without a browser the user can still open the file by hand.
        return "The manual could not be opened: no web browser is set up to show it.\r\n\r\n"
               "Open this file in a web browser:\r\n"
            + to_latin1(QDir::toNativeSeparators(path));
    }
    return {};
}

} // namespace tintwell
