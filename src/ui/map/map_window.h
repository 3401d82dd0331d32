#pragma once

#include "map/map_plan.h"

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QListWidget;
class QRadioButton;

namespace tintwell {

class MapPane;
class ThemeWindow;

/// "Map": the open theme drawn on the made-up town, in a window of its own beside the main
/// window. It shows one presentation by day or by night as normal eyes or a colour-vision
/// deficiency see it, with a legend of the elements the map does not draw. Pointing at a feature
/// names its element and presentation; a click selects its style in the preview and scrolls to
/// it, a double click opens its editor. Every change to the theme, Undo and Redo included, is
/// drawn at once while the window shows; hidden, it does nothing until shown again.
class MapWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MapWindow(ThemeWindow& window);

    MapPane& pane() const { return *m_pane; }
    /// The look chosen: presentation and time of day.
    map::MapLook look() const;

    /// Plans and draws the map again with the theme as it is now; a hidden window only notes
    /// that it must.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// The theme's presentations in the chooser, keeping the one chosen while it is still there.
    void list_presentations();
    void show_legend();
    /// Selects the row's sample in the preview as a press on it does and scrolls it into view;
    /// a filter that hides it is cleared first.
    void select_in_preview(int row);
    QString describe(int row) const;

    ThemeWindow& m_window;
    bool m_stale = true;
    MapPane* m_pane;
    QComboBox* m_presentation_box;
    QRadioButton* m_day_button;
    QRadioButton* m_night_button;
    QComboBox* m_vision_box;
    QListWidget* m_legend;
};

} // namespace tintwell
