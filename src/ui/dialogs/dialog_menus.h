#pragma once

#include "ui/common/menu_commands.h"

namespace tintwell {

class ThemeWindow;

/// Connects the main window's code pop-up ("Copy Code", "Add BG/FG Width", "Remove BG/FG
/// Width"), Edit ("Add Presentations", "Remove Presentations") and Help ("Check for Updates",
/// "Manual") to their commands, and registers the style text editor, the Sport & Fitness style
/// editor and the About box with the window's editor launcher.
void connect_dialog_menus(ThemeWindow& window);

/// The commands behind those menu items, on the window's document and selected row. A change
/// becomes one step of the window's history.
void mcod2_Click(ThemeWindow& window, CodeCommand command);
void med_Click(ThemeWindow& window, EditCommand command);
void mhlp_Click(ThemeWindow& window, HelpCommand command);

} // namespace tintwell
