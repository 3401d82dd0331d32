#pragma once

#include "ui/main/view_settings.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QAction;

namespace tintwell {

class CheckPanel;
class ColourTools;
class CompareWindow;
class MapWindow;
class PanelToggle;
class ThemeWindow;

/// The items of the View menu (`mview`) for the panels beside the main window, after its own
/// items: each is checked while its panel is shown, and choosing it opens or closes the panel.
/// "History" is Edit's own item; "Compare" runs File > Compare With when no compare window is
/// shown and closes every one that is. "Map" (F8) opens and closes the map window, made the
/// first time it is asked for.
class PanelItems : public QObject
{
    Q_OBJECT
public:
    PanelItems(
        ThemeWindow& window, QAction* history, CheckPanel& check_panel, ColourTools& colour_tools);

    /// Width in pixels of the compare windows' list of changes as last set (0: as they open);
    /// every compare window opened from now on takes it.
    int compare_list_width() const { return m_compare_list_width; }
    void set_compare_list_width(int width) { m_compare_list_width = width; }

    /// The map window's place as it was last shown, or as set when it was never shown; it
    /// takes the place set when it first opens.
    WindowPlace map_place() const;
    void set_map_place(const WindowPlace& place) { m_map_place = place; }
    /// The map window; null until it was first opened.
    MapWindow* map_window() const;

private:
    /// Follows every compare window the main window has now.
    void watch_compare_windows();
    void open_map();

    ThemeWindow& m_window;
    PanelToggle* m_compare;
    std::vector<QPointer<CompareWindow>> m_followed;
    int m_compare_list_width = 0;
    PanelToggle* m_map_toggle;
    QPointer<MapWindow> m_map;
    WindowPlace m_map_place;
};

} // namespace tintwell
