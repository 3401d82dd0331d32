#include "ui/dialogs/colour_tools.h"

#include "ui/common/window_place.h"
#include "ui/dialogs/colours_panel.h"
#include "ui/dialogs/night_colours_dialog.h"
#include "ui/theme/theme_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <algorithm>
#include <array>

namespace tintwell {

ColourTools::ColourTools(ThemeWindow& window)
    : QObject(&window.host())
    , m_window(window)
    , m_colours_action(new QAction("Colours", &window.host()))
{
    setObjectName("colour_tools");
    m_colours_action->setObjectName("colours");
    m_colours_action->setToolTip("Every colour of the theme, its users, replace and merge");
    // Before Help, which stays the last menu.
    QMenuBar* bar = window.host().menuBar();
    QAction* help = nullptr;
    for (QAction* item : bar->actions()) {
        if (item->menu() != nullptr && item->menu()->objectName() == "mhelp") {
            help = item;
        }
    }
    bar->insertAction(help, m_colours_action);
    connect(m_colours_action, &QAction::triggered, this, &ColourTools::toggle_panel);
    if (auto* edit_menu = bar->findChild<QMenu*>("medit")) {
        edit_menu->addSeparator();
        QAction* night = edit_menu->addAction("Make Night Colours...");
        night->setObjectName("make_night_colours");
        connect(night, &QAction::triggered, this, &ColourTools::make_night_colours);
    }

    QAction* paste = window.action(CodeCommand::PasteColours);
    paste->setEnabled(false);
    connect(window.action(CodeCommand::CopyColours), &QAction::triggered, this,
        &ColourTools::copy_colours);
    connect(paste, &QAction::triggered, this, &ColourTools::paste_colours);
}

void ColourTools::show_panel()
{
    if (m_panel == nullptr) {
        m_panel = new ColoursPanel(m_window);
    }
    m_panel->open();
    emit panel_opened();
}

void ColourTools::toggle_panel()
{
    if (m_panel != nullptr && m_panel->isVisible()) {
        m_panel->close();
    } else {
        show_panel();
    }
}

void ColourTools::make_night_colours()
{
    if (m_window.document().row_count() == 0) {
        return;
    }
    NightColoursDialog dialog(m_window, &m_window.host());
    cent(dialog);
    dialog.exec();
}

void ColourTools::copy_colours()
{
    const Document& doc = m_window.document();
    StyleColours copied = tintwell::copy_colours(doc, doc.cur_row);
    const bool any = std::any_of(copied.colours.begin(), copied.colours.end(),
        [](const auto& colour) { return colour.has_value(); });
    if (!any) {
        return;
    }
    QGuiApplication::clipboard()->setText(colours_text(copied));
    m_copied = std::move(copied);
    m_window.action(CodeCommand::PasteColours)->setEnabled(true);
}

void ColourTools::paste_colours()
{
    Document& doc = m_window.document();
    if (!m_copied || !doc.valid_row(doc.cur_row)) {
        return;
    }
    const RowSelection& selection = m_window.theme().selection();
    ColourEdit pasted = tintwell::paste_colours(doc,
        selection.count() > 1 ? selection.rows() : std::vector<int> { doc.cur_row }, *m_copied);
    if (pasted.styles == 0) {
        return;
    }
    m_window.theme().push_edit(std::move(pasted.edit), pasted.description);
    m_window.redraw_keeping_scroll();
    m_window.show_selected_code();
}

QString colours_text(const StyleColours& colours)
{
    static constexpr std::array<const char*, 4> names = { "line/fill day", "line/fill night",
        "border day", "border night" };
    QStringList lines;
    for (const ColourSlot slot : colour_slots) {
        const auto k = static_cast<std::size_t>(slot);
        if (colours.colours[k]) {
            lines << QString("%1 #%2").arg(names[k], colour::to_hex(*colours.colours[k]).c_str());
        }
    }
    return lines.join('\n');
}

} // namespace tintwell
