#pragma once

#include "colour/colour_codes.h"
#include "colour/colour_science.h"
#include "colour/palette.h"

#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;

namespace tintwell {

class ColourChart;

/// A picture drawn from an image its window keeps, reporting the mouse in its own pixels.
class ImageBox : public QWidget
{
    Q_OBJECT
public:
    ImageBox(const QImage* image, QWidget* parent);
    /// Draws a thin edge around the picture (not into its image), for a picture whose background
    /// matches the window's.
    void set_framed(bool framed) { m_framed = framed; }

signals:
    void pressed(QPoint at, Qt::MouseButtons buttons);
    void moved(QPoint at, Qt::MouseButtons buttons);
    void released(QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QImage* m_image;
    bool m_framed = false;
};

/// `Labc`: the 254 palette blocks (192 twips square) in a 16-column grid, with the white frame
/// `Shape12` around the block picked last. The grid's first block lies `margin()` pixels inside
/// the widget, which leaves room for the frame.
class PaletteGrid : public QWidget
{
    Q_OBJECT
public:
    explicit PaletteGrid(QWidget* parent);
    static int margin();

    QLabel* block(int index) const { return m_blocks[static_cast<std::size_t>(index)]; }
    /// Shows the frame 10 twips outside block `index`.
    void frame_block(int index);
    void hide_frame();

signals:
    /// A press of the left button on block `index`.
    void picked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLabel*, palette_size> m_blocks {};
    QFrame* m_frame;
};

/// Passes each colour picked from `palette` (a block, which is then framed) or from `chart` (a
/// press, or a drag with the left button inside it) to `take`, for as long as `context` lives.
void connect_colour_pickers(QObject* context, PaletteGrid* palette, ColourChart* chart,
    std::function<void(colour::Rgb)> take);

/// `Picture5` with its pointer `pointer1` below it: the shade ladder of the picked colour, 2520 by
/// 192 twips, and a pointer that picks a band.
class ShadeLadder : public QWidget
{
    Q_OBJECT
public:
    explicit ShadeLadder(QWidget* parent);

    QWidget* picture() const { return m_picture; }
    QFrame* pointer() const { return m_pointer; }
    const QImage& image() const { return m_image; }
    /// Paints the 256 bands of `base` and puts the pointer back in the middle.
    void paint(ColourValue base);
    /// The colour at a point of the ladder (pixels); -1 outside it.
    ColourValue colour_at(QPoint at) const;
    /// Moves the pointer's left edge to `left_twips`, snapped down to a multiple of 15 twips and
    /// kept on the ladder. Returns the colour under the middle of the pointer, 100 twips from the
    /// ladder's top.
    ColourValue move_pointer(int left_twips);
    /// Puts the pointer's middle at `x` pixels of the ladder, kept on the ladder.
    void centre_pointer_on(int x);

signals:
    /// The left button held over the ladder: the colour under the mouse (never -1).
    void dragged_over(ColourValue colour);
    /// The mouse released on the ladder, at `at` pixels.
    void released_at(QPoint at);
    /// A press on the ladder or its pointer.
    void pressed();
    /// The pointer dragged with the left button: where its left edge would go, in twips.
    void pointer_dragged(int left_twips);
    void pointer_released();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage m_image;
    QWidget* m_picture;
    QFrame* m_pointer;
};

/// `pc4` with its thumb `scrol`: the track of the border width or scale slider, 2010 twips long;
/// the slider runs from 0.01 to 2.5, 756 twips to a unit.
class ValueSlider : public QFrame
{
    Q_OBJECT
public:
    /// 0 border width, 1 scale.
    ValueSlider(int index, QWidget* parent);

    /// How far the thumb's left edge travels, in twips.
    static constexpr int travel = 2010 - 120;
    QFrame* thumb() const { return m_thumb; }
    /// Moves the thumb's left edge to `left_twips`, kept on the track; returns where it went.
    int place_thumb(int left_twips);

signals:
    void pressed();
    /// The thumb dragged with the left button: where its left edge would go, in twips.
    void dragged(int left_twips);
    void released();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_thumb;
};

/// `Text2`: a box for a colour as hexadecimal digits. Only the digits, backspace, delete and
/// Enter are taken from the keyboard (pasted text too must be digits); letters show as capitals.
class HexBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit HexBox(QWidget* parent);

signals:
    /// A keystroke was taken (Enter too, before `entered`).
    void typed();
    void entered();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tintwell
