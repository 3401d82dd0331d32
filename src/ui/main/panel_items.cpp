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
    // Connected after File's own handler, so the window it opens is there to follow.
    if (compare_with != nullptr) {
        connect(compare_with, &QAction::triggered, this, &PanelItems::watch_compare_windows);
    }
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
