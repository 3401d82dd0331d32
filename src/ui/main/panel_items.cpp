#include "ui/main/panel_items.h"

#include "ui/common/tool_panel.h"
#include "ui/common/window_place.h"
#include "ui/dialogs/check_panel.h"
#include "ui/dialogs/colour_tools.h"
#include "ui/dialogs/colours_panel.h"
#include "ui/dialogs/compare_window.h"
#include "ui/map/map_window.h"
#include "ui/theme/theme_window.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <algorithm>

namespace tintwell {

PanelItems::PanelItems(
    ThemeWindow& window, QAction* history, CheckPanel& check_panel, ColourTools& colour_tools)
    : QObject(&window.host())
    , m_window(window)
{
    setObjectName("panel_items");
    QMenu* menu = window.host().findChild<QMenu*>("mview");
    menu->addSeparator();
    menu->addAction(history);

    QAction* check = menu->addAction("Check Theme");
    check->setObjectName("view_check_theme");
    auto* check_toggle = new PanelToggle(check, [&check_panel] { check_panel.open(); });
    check_toggle->watch(&check_panel);

    QAction* colours = menu->addAction("Colours");
    colours->setObjectName("view_colours");
    auto* colours_toggle = new PanelToggle(colours, [&colour_tools] { colour_tools.show_panel(); });
    connect(&colour_tools, &ColourTools::panel_opened, colours_toggle,
        [colours_toggle, &colour_tools] { colours_toggle->watch(colour_tools.panel()); });

    QAction* compare_with = window.host().findChild<QAction*>("compare_with");
    QAction* compare = menu->addAction("Compare");
    compare->setObjectName("view_compare");
    m_compare = new PanelToggle(compare, [compare_with] {
        if (compare_with != nullptr) {
            compare_with->trigger();
        }
    });
    QAction* map = menu->addAction("Map");
    map->setObjectName("view_map");
    map->setShortcut(QKeySequence(Qt::Key_F8));
    m_map_toggle = new PanelToggle(map, [this] { open_map(); });

    // Connected after File's own handler, so the window it opens is there to follow.
    if (compare_with != nullptr) {
        connect(compare_with, &QAction::triggered, this, &PanelItems::watch_compare_windows);
    }
}

void PanelItems::open_map()
{
    if (!m_map) {
        m_map = new MapWindow(m_window);
        if (m_map_place.width > 0) {
            m_map->setGeometry(m_map_place.x, m_map_place.y, m_map_place.width, m_map_place.height);
        } else {
            m_map->resize(1000, 700);
            cent(*m_map);
        }
        keep_title_bar_on_screen(*m_map);
        m_map_toggle->watch(m_map);
    }
    m_map->show();
    m_map->raise();
    m_map->activateWindow();
}

MapWindow* PanelItems::map_window() const
{
    return m_map;
}

WindowPlace PanelItems::map_place() const
{
    if (!m_map) {
        return m_map_place;
    }
    const QRect place = m_map->geometry();
    return { place.x(), place.y(), place.width(), place.height() };
}

void PanelItems::watch_compare_windows()
{
    const auto windows = m_window.host().findChildren<CompareWindow*>(Qt::FindDirectChildrenOnly);
    std::erase_if(m_followed, [](const QPointer<CompareWindow>& compare) { return !compare; });
    for (CompareWindow* compare : windows) {
        if (std::find(m_followed.begin(), m_followed.end(), compare) != m_followed.end()) {
            continue;
        }
        m_followed.emplace_back(compare);
        m_compare->watch(compare);
        compare->set_list_width(m_compare_list_width);
        connect(compare, &CompareWindow::list_width_changed, this,
            [this](int width) { m_compare_list_width = width; });
    }
}

} // namespace tintwell
