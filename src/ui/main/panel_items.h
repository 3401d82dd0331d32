#pragma once

#include <QObject>

class QAction;

namespace tintwell {

class CheckPanel;
class ColourTools;
class PanelToggle;
class ThemeWindow;

/// The items of the View menu (`mview`) for the panels beside the main window, after its own
/// items: each is checked while its panel is shown, and choosing it opens or closes the panel.
/// "History" is Edit's own item; "Compare" runs File > Compare With when no compare window is
/// shown and closes every one that is.
class PanelItems : public QObject
{
    Q_OBJECT
public:
    PanelItems(
        ThemeWindow& window, QAction* history, CheckPanel& check_panel, ColourTools& colour_tools);

private:
    /// Follows every compare window the main window has now.
    void watch_compare_windows();

    ThemeWindow& m_window;
    PanelToggle* m_compare;
};

} // namespace tintwell
