#include "app/batch.h"
#include "app/version.h"
#include "platform/process.h"
#include "render/qt/render_map_png.h"
#include "render/qt/render_png.h"
#include "ui/dialogs/dialog_menus.h"
#include "ui/editor/style_editor.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QFont>
#include <QStringList>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    tintwell::platform::prepare_process();
    const std::vector<std::string> args = tintwell::platform::arguments(argc, argv);
    if (tintwell::is_batch(args)) {
        return tintwell::run_batch_on_standard_streams(
            args, tintwell::render_png_command, tintwell::render_map_png_command);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("tintwell");
    QApplication::setApplicationVersion(tintwell::program_version);
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    // Whatever follows the program name is one theme path, as the command line gives it.
    const QString path = QApplication::arguments().mid(1).join(' ');
    tintwell::MainWindow window(path, tintwell::MainWindow::default_settings_path());
    tintwell::connect_dialog_menus(window);
    tintwell::register_style_editor(window.editors());
    window.show();
    return QApplication::exec();
}
