#pragma once

#include <functional>
#include <iosfwd>
#include <string>

class QImage;

namespace tintwell {

/// Saves `image` as the PNG `output` as a theme is saved (replace_file): encoded in memory first,
/// the old PNG stays whole until the new one is complete on disk, and a failed write is named on
/// `err`. `what` names the picture in the message when it cannot be encoded ("the preview of
/// FILE"). Returns 0 or 1, as the batch commands exit.
int save_png(
    const QImage& image, const std::string& output, const std::string& what, std::ostream& err);

/// Runs `draw` inside a QGuiApplication made for it when none exists, on the offscreen platform
/// when no platform is chosen and there is no display.
int with_gui_application(const std::function<int()>& draw);

/// `tintwell --render`: loads `file` as File, Open does (messages go to `err`) and draws the
/// whole preview container, every sample with its caption, `width_px` pixels wide (0: the
/// design width), into the PNG `output`, which is replaced as a saved theme is (replace_file: a
/// pipe or device is refused, a failed write leaves an old PNG as it was). Returns 0 on success,
/// 1 when the file was rejected or the image could not be made or written (with a message on
/// `err`). Needs a QGuiApplication.
int render_png(const std::string& file, const std::string& output, int width_px, std::ostream& err);

/// Runs `render_png` inside a QGuiApplication made for it when none exists, on the offscreen
/// platform when no platform is chosen and there is no display.
int render_png_command(
    const std::string& file, const std::string& output, int width_px, std::ostream& err);

} // namespace tintwell
