#pragma once

#include "analysis/night_colours.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QSlider;
class QTimer;

namespace tintwell {

class ThemeWindow;

/// Which styles "Make Night Colours" works on.
enum class NightScope { WholeTheme, Presentation, Filtered, Selected };

/// Edit > "Make Night Colours...": night colours for a scope of styles (the whole theme, one
/// presentation, the styles the preview's filter keeps, the selected style) made from their day
/// colours, with how dark the land is and how much colour the night keeps. Samples of the chosen
/// presentation show their night colours now and as they would be, on their land, and follow
/// every change of the dialog. OK makes the change one step of the history, "Make Night
/// Colours"; Cancel leaves the theme as it is.
class NightColoursDialog : public QDialog
{
    Q_OBJECT
public:
    NightColoursDialog(ThemeWindow& window, QWidget* parent);

    /// The rows the scope chosen holds, in table order.
    std::vector<int> scope_rows() const;
    NightSettings settings() const;

    void accept() override;

private:
    /// Draws the samples before and after again.
    void show_samples();
    /// The rows of the presentation chosen for the samples.
    std::vector<int> sample_presentation_rows() const;

    ThemeWindow& m_window;
    QComboBox* m_scope_box;
    QComboBox* m_presentation_box;
    QSlider* m_land_slider;
    QSlider* m_saturation_slider;
    QLabel* m_land_value;
    QLabel* m_saturation_value;
    QLabel* m_before;
    QLabel* m_after;
    QTimer* m_samples_timer;
};

} // namespace tintwell
