#pragma once

#include <QString>
#include <QUrl>

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

/// Opens the manual as a local file; nothing happens when it is missing.
void open_manual();

} // namespace tintwell
