#include "ui/main/panel_items.h"

#include "ui/common/tool_panel.h"
#include "ui/dialogs/check_panel.h"
#include "ui/dialogs/colour_tools.h"
#include "ui/dialogs/colours_panel.h"
#include "ui/dialogs/compare_window.h"
#include "ui/theme/theme_window.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

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
    // Connected after File's own handler, so the window it opens is there to follow.
    if (compare_with != nullptr) {
        connect(compare_with, &QAction::triggered, this, &PanelItems::watch_compare_windows);
    }
}

void PanelItems::watch_compare_windows()
{
    const auto windows = m_window.host().findChildren<CompareWindow*>(Qt::FindDirectChildrenOnly);
    for (CompareWindow* compare : windows) {
        m_compare->watch(compare);
    }
}

} // namespace tintwell
