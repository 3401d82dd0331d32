#pragma once

#include "colour/colour_codes.h"
#include "colour/colour_science.h"
#include "colour/palette.h"
#include "render/qt/qt_canvas.h"

#include <QColor>
#include <QFrame>
#include <QPalette>
#include <QPixmap>
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

/// The colour of block `block` (0 to 253) of the device palette.
inline colour::Rgb palette_rgb(int block)
{
    const ColourValue value = col256()[static_cast<std::size_t>(block)].colour;
    return { static_cast<std::uint8_t>(value & 0xFF),
        static_cast<std::uint8_t>((value >> 8) & 0xFF),
        static_cast<std::uint8_t>((value >> 16) & 0xFF) };
}

/// The thin line round every swatch, so that a white or very light one shows on a light panel.
inline const QColor swatch_outline(110, 110, 110);

/// Shows `colour` as the background of a swatch (a widget that fills its background). A swatch
/// that is a frame without one gets a one-pixel outline.
inline void paint_swatch(QWidget& swatch, const QColor& colour)
{
    QPalette palette = swatch.palette();
    palette.setColor(QPalette::Window, colour);
    if (auto* frame = qobject_cast<QFrame*>(&swatch);
        frame != nullptr && frame->frameShape() == QFrame::NoFrame) {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(1);
        palette.setColor(QPalette::WindowText, swatch_outline);
    }
    swatch.setPalette(palette);
}

/// A square swatch of `size` pixels for a list line: the colour inside a one-pixel outline.
/// Kept for the next line that shows the same colour.
QPixmap swatch_icon(const QColor& colour, int size);

} // namespace tintwell
