#pragma once

#include "colour/colour_science.h"
#include "map/map_draw.h"
#include "map/map_plan.h"

#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace tintwell {

class QtCanvas;

/// The drawn map: the town as a plan draws it, at a zoom and place the user moves with the
/// wheel, the keys and the mouse. Pointing at a feature tells its style row (a tooltip, a click,
/// a double click); a press that drags pans instead. The picture is drawn again only when the
/// plan, the view or the size changed, and is let go while the pane is hidden.
class MapPane : public QWidget
{
    Q_OBJECT
public:
    explicit MapPane(QWidget* parent = nullptr);
    ~MapPane() override;

    /// Draws this plan from now on, as `vision` sees it.
    void show_plan(map::MapPlan plan, colour::Vision vision);
    const map::MapPlan& plan() const { return m_plan; }

    /// The view the map is drawn at (zoom, scene point at the top-left).
    const map::MapView& view() const { return m_view; }
    /// The zoom times `factor`, limited, keeping the scene point under pixel `at` where it is.
    void zoom_by(double factor, QPointF at);
    /// Zoom and place the whole town fits the pane, centred.
    void fit();
    /// One scene unit to a pixel, keeping the middle of the pane where it is.
    void actual_size();
    /// Moves the view by this many pixels.
    void pan_by(double dx, double dy);

    /// The topmost drawn feature under a point of the pane and its style row.
    map::MapHit hit_at(QPointF at) const;
    /// Tooltip text for a style row: its element and its presentation on two lines; empty for a
    /// row not in the plan's theme. Set by the window, which knows the theme.
    void set_describe(std::function<QString(int row)> describe)
    {
        m_describe = std::move(describe);
    }

signals:
    /// A click (a press and release without dragging) on a feature drawn with this row.
    void row_clicked(int row);
    void row_double_clicked(int row);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void view_changed();

    map::MapPlan m_plan;
    colour::Vision m_vision = colour::Vision::Normal;
    map::MapView m_view;
    /// The view is fitted to the pane at its first size.
    bool m_fitted = false;
    std::unique_ptr<QtCanvas> m_canvas;
    bool m_canvas_stale = true;
    std::function<QString(int)> m_describe;
    /// Where the left button went down, and whether it has moved far enough to pan.
    std::optional<QPointF> m_press;
    QPointF m_last;
    bool m_dragged = false;
};

} // namespace tintwell
