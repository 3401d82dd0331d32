#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

class QWidget;

namespace tintwell {

// The project's two web pages; the manual names them too. They stay on a reserved example domain
// until the project has a site of its own, so no link can lead to somebody else's downloads.
/// Where a newer version of the program can be downloaded ("Download Page" of Updates).
inline constexpr const char* download_page = "https://tintwell.example.org/download/";
/// The maker's web site, linked from the About box.
inline constexpr const char* maker_site = "https://tintwell.example.org/";

/// The user manual that ships with the program: "manual.html" beside the program, else in the
/// installed documentation folder (../share/doc/tintwell). Empty when neither exists.
QString manual_path();

/// Opens a page in the default browser. A failing open (no browser) is ignored.
void open_page(const QUrl& url);

/// Hands a page to the desktop to show; false when nothing could show it.
using PageOpener = std::function<bool(const QUrl&)>;

/// Replaces how pages are shown (the desktop's browser); an empty opener puts that back. For
/// tests.
void set_page_opener(PageOpener opener);

/// What became of showing the manual.
enum class ManualShown { Shown, Missing, NotOpened };

/// Opens the manual as a local file.
ManualShown open_manual();

/// The message for a manual that could not be shown, naming where it is; empty when it was.
std::string manual_message(ManualShown shown, const QString& path);

} // namespace tintwell
