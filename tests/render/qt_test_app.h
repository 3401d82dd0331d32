#pragma once

#include <QGuiApplication>
#include <cstdlib>

// One QGuiApplication for the whole test program, on the offscreen platform unless another was
// chosen. Made on first use, so that listing the tests at build time needs no platform.
inline void ensure_gui_app()
{
    if (QGuiApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "render_qt_tests";
    static char* argv[] = { name, nullptr };
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}
