#pragma once

class QWidget;

namespace tintwell {

/// Centres a window on the screen that shows its parent (the main screen for a window without
/// one), within the part of the screen windows may use.
void cent(QWidget& window);

/// Moves a window whose top or left edge lies beyond the usable part of its screen (a window
/// larger than the screen, centred) back onto it, so its title bar can be reached.
void keep_title_bar_on_screen(QWidget& window);

} // namespace tintwell
