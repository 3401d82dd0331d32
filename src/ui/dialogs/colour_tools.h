#pragma once

#include "analysis/colour_edits.h"

#include <QObject>
#include <QString>
#include <optional>

class QAction;

namespace tintwell {

class ColoursPanel;
class ThemeWindow;

/// The main window's colour commands: "Colours" in the menu bar, which opens and closes the panel
/// of the theme's colours in use, Edit > "Make Night Colours...", and "Copy Colours" and "Paste
/// Colours" of the code pop-up. Made by the window, which owns it.
class ColourTools : public QObject
{
    Q_OBJECT
public:
    explicit ColourTools(ThemeWindow& window);

    /// Keeps the four colours of the selected style for Paste Colours, and puts them on the
    /// clipboard as text (`colours_text`). A style without any colour keeps what was copied
    /// before.
    void copy_colours();
    /// Pastes the kept colours onto the selected style, or onto every selected style when
    /// several are, as one step of the history: only the parts each style has take them.
    /// Nothing when nothing was copied.
    void paste_colours();

    /// Opens the "Make Night Colours" dialog on the open theme; nothing without styles.
    void make_night_colours();

    /// The panel, made when it is first opened; null before.
    ColoursPanel* panel() const { return m_panel; }
    /// Opens the panel (or brings it to the front).
    void show_panel();
    /// What the menu-bar item does: closes the panel when it is shown, else opens it.
    void toggle_panel();

signals:
    /// The panel was opened; `panel()` is set from the first time on.
    void panel_opened();

private:
    ThemeWindow& m_window;
    QAction* m_colours_action;
    ColoursPanel* m_panel = nullptr;
    std::optional<StyleColours> m_copied;
};

/// The colours of a style as text, one part a line, in the order the style editor shows them:
/// "line/fill day #1E90FF", "line/fill night ...", "border day ...", "border night ..."; a part
/// the style does not have is left out.
QString colours_text(const StyleColours& colours);

} // namespace tintwell
