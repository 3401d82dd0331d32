#pragma once

#include "model/document.h"
#include "render/preview.h"

#include <QPoint>
#include <QWidget>

class QRubberBand;
class QTimer;

namespace tintwell {

/// `Picture1`: the preview container. It is as high as the laid-out preview and scrolls inside
/// `Picture2` by moving; it paints only the part that is exposed. Presses, double clicks and
/// drops are passed on as signals with the row under the pointer; with band selection on, a
/// drag that starts off the sample boxes draws a rubber band and reports the rectangle.
class PreviewWidget : public QWidget
{
    Q_OBJECT
public:
    PreviewWidget(Document& doc, QWidget* parent);

    /// Lays the rows out again for the current width and `visible_height` twips of the frame,
    /// takes the new height and repaints, keeping or dropping the samples drawn before.
    void plot(PlotMode mode, int visible_height);
    /// Lays the rows out again at the preview's zoom and shown rows without drawing the samples
    /// again or moving the scroll position (see `Preview::relayout`), takes the new height and
    /// repaints.
    void relayout(int visible_height);

    /// Sets the zoom of the samples (limited to 50 % to 400 %) and lays them out again.
    void set_zoom(double zoom, int visible_height);

    Preview& preview() { return m_preview; }
    const Preview& preview() const { return m_preview; }

    /// The row whose sample box holds the point (pixels of this widget), or -1.
    int row_at(QPoint pos) const;
    /// The sample box of a laid-out row, in pixels of this widget; empty when there is none.
    QRect box_rect(int row) const;

    /// Shows the selection frame at `rect` (twips) or hides it.
    void show_frame(const TwipRect& rect);
    void hide_frame();
    bool frame_visible() const { return m_preview.shape4.visible; }

    /// Lets a drag with the left button that starts off the sample boxes draw a rubber band
    /// (off until turned on).
    void set_band_selection(bool on) { m_band_enabled = on; }

signals:
    void sample_pressed(
        int row, Qt::MouseButton button, QPoint global_pos, Qt::KeyboardModifiers modifiers);
    void sample_double_clicked(int row);
    void sample_hovered(int row);
    /// A press off every sample box and caption.
    void empty_pressed(Qt::KeyboardModifiers modifiers);
    /// The rubber band now spans `rect` (twips of the preview); `modifiers` were held when the
    /// drag began.
    void band_dragged(const TwipRect& rect, Qt::KeyboardModifiers modifiers);
    /// The button that drew a rubber band was let go.
    void band_finished();
    /// The pointer drawing a rubber band is `pixels` above (below 0) or below the part of the
    /// preview in sight: the preview should scroll that way, and the band follows.
    void band_scroll_wanted(int pixels);
    void file_dropped(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void take_height();
    // The band from where it began to `pos`, reported.
    void draw_band(QPoint pos);
    // Scrolls, while the pointer drawing the band is outside the part in sight.
    void follow_band_pointer(QPoint pos);

    Document& m_doc;
    Preview m_preview;
    bool m_band_enabled = false;
    /// A left press off the boxes may become a band drag: where it went down, and the keys held.
    bool m_band_armed = false;
    QPoint m_band_origin;
    Qt::KeyboardModifiers m_band_modifiers;
    QRubberBand* m_band = nullptr;
    QTimer* m_band_scroll = nullptr;
    /// Where the pointer drawing the band is on the screen, and how far out of sight.
    QPoint m_band_pointer;
    int m_band_beyond = 0;
};

} // namespace tintwell
