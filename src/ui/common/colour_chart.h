#pragma once

#include <QImage>
#include <QWidget>

namespace tintwell {

/// A chart of colours to pick from: hues from left to right, white at the top through the full
/// colours to black at the bottom; `grey_columns` columns at the right edge hold a grey scale
/// instead.
QImage colour_chart(QSize size, int grey_columns = 0);

/// A picture of the colour chart that reports presses and moves of the mouse in its pixels.
class ColourChart : public QWidget
{
    Q_OBJECT
public:
    ColourChart(QSize size, int grey_columns, QWidget* parent = nullptr);

    const QImage& image() const { return m_chart; }
    bool contains(QPoint point) const { return m_chart.valid(point); }
    /// The colour drawn at a point of the chart (pixels); black outside it.
    QColor colour_at(QPoint point) const;

signals:
    void pressed(QPoint point);
    /// Every move over the chart, and with a button held beyond it.
    void moved(QPoint point, Qt::MouseButtons buttons);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage m_chart;
};

} // namespace tintwell
