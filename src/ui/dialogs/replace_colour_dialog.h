#pragma once

#include "analysis/colour_edits.h"
#include "model/document.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;

namespace tintwell {

class ColourChart;
class HexBox;
class PaletteGrid;

/// "Replace #RRGGBB": the new colour for one colour of the theme, picked from the palette or the
/// colour field or typed as six hexadecimal digits, and the cells to change: day, night or both;
/// line/fill, border or both; every presentation or one. It shows how many styles the replace
/// changes; Replace (or Enter) accepts once a new colour differs from the old one and some style
/// would change, Escape cancels. The caller makes the change (`replace_colour`).
class ReplaceColourDialog : public QDialog
{
    Q_OBJECT
public:
    /// `doc` must outlive the dialog; it is only read.
    ReplaceColourDialog(const Document& doc, colour::Rgb from, QWidget* parent = nullptr);

    colour::Rgb new_colour() const { return m_to; }
    ColourScope scope() const;
    /// How many styles the replace would change now.
    int styles() const { return m_styles; }

private:
    /// Takes `colour` as the new one and shows it in the hex box (`typed`: it came from there).
    /// The boxes that choose which styles the replacement reaches.
    QFormLayout* build_scope(const Document& doc);
    /// The palette, the colour field and the hex box each pick the new colour.
    void connect_pickers();
    void take_colour(colour::Rgb colour, bool typed = false);
    void hex_edited(const QString& digits);
    /// Counts the styles the scope now chosen would change, and shows the count.
    void scope_changed();
    void show_count();

    const Document& m_doc;
    colour::Rgb m_from;
    colour::Rgb m_to;
    int m_styles = 0;

    QLabel* m_new_swatch;
    HexBox* m_hex_box;
    PaletteGrid* m_palette;
    ColourChart* m_colour_field;
    QComboBox* m_times_box;
    QComboBox* m_parts_box;
    QComboBox* m_presentation_box;
    QLabel* m_count_label;
    QDialogButtonBox* m_buttons;
};

} // namespace tintwell
