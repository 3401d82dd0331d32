#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace tintwell {

/// True while some owner-drawn button shows its hover look.
bool& btn_hover();

/// A box painted as a button by draw_button, with a hover look while the pointer is over it.
/// Emits clicked() when pressed and released with the left button inside it.
class OwnerDrawnButton : public QWidget
{
    Q_OBJECT
public:
    explicit OwnerDrawnButton(const QString& caption, QWidget* parent = nullptr);

    /// Paints the face in a look chosen by the last digit of `state` (0 and 7 normal, 1 and 15
    /// hover, 12 disabled); a tens digit of 1 starts from the smaller font. An empty caption
    /// reuses the caption remembered from the last paint. Sets or clears btn_hover().
    void draw_button(const QString& caption, int state);

    const QString& caption() const { return m_tag; }
    const QColor& back_colour() const { return m_back; }
    const QColor& caption_colour() const { return m_fore; }
    /// Point size the caption was fitted to.
    int font_size() const { return m_font_size; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_tag;
    QColor m_back;
    QColor m_fore = Qt::black;
    int m_font_size = 10;
    bool m_pressed = false;
};

} // namespace tintwell
