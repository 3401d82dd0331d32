#pragma once

#include "colour/colour_codes.h"
#include "colour/colour_science.h"
#include "render/qt/qt_canvas.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace tintwell {

/// The ColourValue (0x00BBGGRR) of a colour; the inverse of to_qcolor.
inline ColourValue colour_value(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

inline QColor to_qcolor(colour::Rgb colour)
{
    return QColor(colour.r, colour.g, colour.b);
}

/// The colour's 8-bit sRGB channels; the inverse of to_qcolor.
inline colour::Rgb to_rgb(const QColor& colour)
{
    return { static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
        static_cast<std::uint8_t>(colour.blue()) };
}

/// Shows `colour` as the background of a swatch (a widget that fills its background).
inline void paint_swatch(QWidget& swatch, const QColor& colour)
{
    QPalette palette = swatch.palette();
    palette.setColor(QPalette::Window, colour);
    swatch.setPalette(palette);
}

} // namespace tintwell
