#pragma once

// What the benchmarks of the main window share: a window with a generated theme opened from a
// file, and the program's main.

#include "bench_themes.h"
#include "model/prompter.h"
#include "ui/main/file_commands.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <cstddef>
#include <functional>
#include <memory>

namespace tintwell::bench {

/// A main window of 1200 × 800 with a generated Car & Zumo theme opened from a file, as the user
/// opens it. The theme is written twice, so that `reopen` can open it anew (the window does not
/// open the file it has open); the window's questions are answered No.
class LoadedWindow
{
public:
    explicit LoadedWindow(int styles)
        : m_window("", m_folder.filePath("tintwell.dat"))
    {
        const QByteArray theme = QByteArray::fromStdString(car_zumo_theme(styles));
        for (std::size_t i = 0; i < m_paths.size(); ++i) {
            m_paths[i] = m_folder.filePath(QString("bench%1.kmtf").arg(i));
            QFile file(m_paths[i]);
            file.open(QIODevice::WriteOnly);
            file.write(theme);
        }
        m_window.set_prompter(&m_answers);
        m_window.resize(1200, 800);
        reopen();
    }
    MainWindow& window() { return m_window; }
    /// Opens the theme again, from the other of its two copies.
    void reopen()
    {
        m_window.files().loadole(m_paths[m_next]);
        m_next = 1 - m_next;
        QCoreApplication::processEvents();
    }

private:
    QTemporaryDir m_folder;
    RecordingPrompter m_answers;
    std::array<QString, 2> m_paths;
    std::size_t m_next = 0;
    MainWindow m_window;
};

namespace detail {

inline std::unique_ptr<LoadedWindow>& shared_window()
{
    static std::unique_ptr<LoadedWindow> window;
    return window;
}

} // namespace detail

/// The window the program's benchmarks share, made with `styles` styles on first use and taken
/// down by run_with_widgets before the application (a widget must not outlive it).
inline LoadedWindow& loaded_window(int styles)
{
    std::unique_ptr<LoadedWindow>& window = detail::shared_window();
    if (!window) {
        window = std::make_unique<LoadedWindow>(styles);
    }
    return *window;
}

/// The main of a benchmark program that opens windows: runs the benchmarks the command line
/// names inside a QApplication, on the offscreen platform unless one is set, takes the shared
/// window down, then runs `after` (for figures printed after the table).
inline int run_with_widgets(int argc, char** argv, const std::function<void()>& after = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    detail::shared_window().reset();
    if (after) {
        after();
    }
    return 0;
}

} // namespace tintwell::bench
