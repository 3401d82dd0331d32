#pragma once

#include <QRect>
#include <cmath>

namespace tintwell {

/// Twips per pixel: every design length of the windows is given in twips.
inline constexpr int twips_in_pixel = 15;

/// Twips to whole pixels, rounded to the nearest.
inline int px(double twips)
{
    return static_cast<int>(std::lround(twips / twips_in_pixel));
}

/// Pixels to twips.
inline int tw(int pixels)
{
    return pixels * twips_in_pixel;
}

/// A design rectangle (left, top, width, height in twips) in pixels.
inline QRect tw_rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace tintwell
