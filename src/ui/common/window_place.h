#pragma once

class QWidget;

namespace tintwell {

/// Centres a window on the screen that shows its parent (the main screen for a window without
/// one), within the part of the screen windows may use.
void cent(QWidget& window);

} // namespace tintwell
