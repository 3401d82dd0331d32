#pragma once

#include "map/map_request.h"

#include <iosfwd>

namespace tintwell {

/// `tintwell --render-map`: loads the file as File, Open does (messages go to `err`) and draws
/// the town scene with its styles into the PNG `output`, replaced as a saved theme is. Returns 0
/// on success; 1 when the file was rejected, it has no such presentation, the vision is unknown,
/// the image would be too large, or the PNG could not be made or written (with a message on
/// `err`). Needs a QGuiApplication.
int render_map_png(const MapRenderRequest& request, std::ostream& err);

/// Runs `render_map_png` inside a QGuiApplication made for it when none exists, as
/// render_png_command does.
int render_map_png_command(const MapRenderRequest& request, std::ostream& err);

} // namespace tintwell
