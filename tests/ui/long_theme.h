#pragma once

#include "model/prompter.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/editor/style_editor.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"

#include <QByteArray>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The theme the preview's navigation and selection tests open: long enough to scroll.

inline constexpr int long_theme_per_presentation = 45;

// A Car & Zumo theme of 45 styles in each of GUIDANCE, BROWSE and TRAFFIC: waters, parks and
// residential roads in turn, each of its own colour but the fifth of each presentation, #1E90FF.
inline QByteArray long_theme()
{
    QByteArray text = "<GARMIN_MAP_THEME>\n<METADATA>\n<TITLE>Long</TITLE>\n"
                      "<DESCRIPTION>Long</DESCRIPTION>\n<LOCALELIST>\n<locale>Global</locale>\n"
                      "</LOCALELIST>\n<Version><Major>1</Major><Minor>00</Minor></Version>\n"
                      "</METADATA>\n";
    const char* const fields[] = { "MAP_WATER", "MAP_PARK", "MAP_ROAD_RESIDENTIAL" };
    for (const char* presentation : { "GUIDANCE", "BROWSE", "TRAFFIC" }) {
        text += QByteArray("<PRESENTATION ID=\"") + presentation + "\" >\n<STYLELIST>\n";
        for (int i = 0; i < long_theme_per_presentation; ++i) {
            const QByteArray colour =
                i == 4 ? "1E90FF" : QByteArray::number(0x102030 + i * 0x10101, 16).toUpper();
            text += QByteArray("<STYLE field = \"") + fields[i % 3] + "\" >\n<COLOR>\n"
                + "<PRIMARY day = \"#" + colour + "\" night=\"#101010\"/>\n</COLOR >\n</STYLE>\n";
        }
        text += "</STYLELIST>\n</PRESENTATION>\n";
    }
    // Written as theme files are, with CR LF line breaks.
    text += "</GARMIN_MAP_THEME>\n";
    return text.replace("\n", "\r\n");
}

// The long theme written into `dir` and opened in a shown, active main window of `size` whose
// settings are kept in `dir` and whose questions `prompter` answers.
inline std::unique_ptr<tintwell::MainWindow> window_with_long_theme(
    const QTemporaryDir& dir, tintwell::RecordingPrompter& prompter, QSize size)
{
    using namespace tintwell;
    auto window = std::make_unique<MainWindow>(QString(), dir.filePath("system/tintwell.dat"));
    window->set_prompter(&prompter);
    connect_dialog_menus(*window);
    register_style_editor(window->editors());
    window->resize(size);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the window did not become active");
    }
    QFile file(dir.filePath("long.kmtf"));
    file.open(QIODevice::WriteOnly);
    file.write(long_theme());
    file.close();
    window->files().loadole(file.fileName());
    return window;
}
