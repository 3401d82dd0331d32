#pragma once

#include "analysis/style_batch_edit.h"

#include <QDialog>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QHBoxLayout;
class QLabel;

namespace tintwell {

class ColourChart;
class HexBox;
class PaletteGrid;
class ThemeWindow;

/// "Edit Selected Styles": one change for every selected style at once. Each value the user
/// ticks is changed, the rest stay as each style has them: the day and night colours of the line
/// or fill and of the border set to a colour (typed, or picked from the palette or the colour
/// field, which fill the colour line last chosen) or made lighter or darker by an amount of CIE
/// L*, more or less saturated, or their hue turned; the scale and border set or multiplied; the
/// Sport & Fitness widths set or changed by an amount. The samples of the first selected styles
/// are shown before and after. A value out of range for any selected style refuses the change
/// with that style's name, and OK stays off; OK makes the change one step of the history
/// ("Edit 12 styles").
class EditSelectedDialog : public QDialog
{
    Q_OBJECT
public:
    /// How many selected styles are shown before and after.
    static constexpr int samples_shown = 6;

    /// Edits `rows` of the window's theme (rows outside the table are passed over).
    EditSelectedDialog(ThemeWindow& window, std::vector<int> rows, QWidget* parent = nullptr);

    /// The changes ticked now, in the order of the lines.
    std::vector<PropertyChange> changes() const;
    /// The change as it would be made now.
    const StyleBatchEdit& result() const { return m_result; }

    void accept() override;

private:
    static constexpr std::size_t line_count = 8;
    /// One line of the dialog: a property, what to do with it and by how much.
    struct Line
    {
        StyleProperty property = StyleProperty::BodyDay;
        QCheckBox* tick = nullptr;
        QComboBox* operation = nullptr;
        QDoubleSpinBox* amount = nullptr;
        /// Colour lines only.
        QLabel* swatch = nullptr;
        HexBox* hex = nullptr;
    };

    void build_line(Line& line, StyleProperty property, int at);
    void operation_changed(Line& line);
    /// Sets the colour of the colour line last chosen from a picker, ticking it.
    void take_picked(colour::Rgb colour);
    /// Works the change out again for every selected style and shows it.
    void changed();
    void show_samples();

    ThemeWindow& m_window;
    std::vector<int> m_rows;
    std::array<Line, line_count> m_lines;
    /// The colour line the pickers fill.
    std::size_t m_picking = 0;
    StyleBatchEdit m_result;

    PaletteGrid* m_palette = nullptr;
    ColourChart* m_colour_field = nullptr;
    QHBoxLayout* m_before_row = nullptr;
    QHBoxLayout* m_after_row = nullptr;
    std::vector<QLabel*> m_before;
    std::vector<QLabel*> m_after;
    QLabel* m_message = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace tintwell
