#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

namespace tintwell {

/// True while some owner-drawn button shows its hover look.
bool& btn_hover();

/// How an owner-drawn button looks: at rest, under the pointer, or greyed out.
enum class ButtonLook { Normal, Hover, Disabled };
/// The point size a caption starts from before it is fitted to the box: 10 or 8.
enum class ButtonFont { Regular, Small };

/// A box painted as a button by draw_button, with a hover look while the pointer is over it.
/// Emits clicked() when pressed and released with the left button inside it.
class OwnerDrawnButton : public QWidget
{
    Q_OBJECT
public:
    explicit OwnerDrawnButton(const QString& caption, QWidget* parent = nullptr);

    /// Paints the face in `look`, fitting the caption from the size `font` down. An empty caption
    /// reuses the caption remembered from the last paint. Sets or clears btn_hover().
    void draw_button(
        const QString& caption, ButtonLook look, ButtonFont font = ButtonFont::Regular);

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

/// Gives the buttons back their normal look whenever the pointer moves over `window` itself, off
/// every button: the dialogs' own hover rule, in one place.
void reset_looks_on_move(QWidget& window, std::vector<OwnerDrawnButton*> buttons);

} // namespace tintwell
