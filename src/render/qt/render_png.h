#pragma once

#include <iosfwd>
#include <string>

namespace tintwell {

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
