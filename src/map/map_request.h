#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace tintwell {

/// What `tintwell --render-map` draws.
struct MapRenderRequest
{
    std::string file;
    std::string output;
    /// A Car & Zumo presentation by its name (any case); empty for the theme's first.
    std::string presentation;
    bool night = false;
    /// "normal", "protanopia", "deuteranopia" or "tritanopia".
    std::string vision = "normal";
    /// Width of the image in pixels; 0 for 1600. The height follows the scene's shape.
    int width_px = 0;
};

/// Draws the map of a theme file into a PNG → exit code; set by the part of the program that
/// can draw.
using MapRenderCommand = std::function<int(const MapRenderRequest&, std::ostream&)>;

} // namespace tintwell
