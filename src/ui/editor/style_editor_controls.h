#pragma once

#include "ui/editor/editor_state.h"

#include <QString>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tintwell {

class ColourChart;
class HexBox;
class ImageBox;
class OwnerDrawnButton;
class PaletteGrid;
class ShadeLadder;
class ValueSlider;

// Design sizes in twips: the editor's sample picture and a marker beside it.
inline constexpr int editor_sample_width = 9450;
inline constexpr int editor_sample_height = 7332;
inline constexpr int editor_marker_height = 390;

/// The style editor's controls, each named for its role; their object names are the design's
/// ("Text2_1", "Label2_0", "commandop_1"). Built by StyleEditor::build_controls.
struct StyleEditorControls
{
    std::array<OwnerDrawnButton*, 2> mode_buttons {};
    OwnerDrawnButton* cancel_button = nullptr;
    OwnerDrawnButton* apply_button = nullptr;
    QPushButton* undo_button = nullptr;
    QPushButton* redo_button = nullptr;
    QFrame* line_group = nullptr;
    QFrame* area_group = nullptr;
    /// The swatch of each EditedPart (Border, Line, -, Fill).
    std::array<QLabel*, 4> swatches {};
    std::array<HexBox*, 4> hex_boxes {};
    QLineEdit* border_box = nullptr;
    QLineEdit* scale_box = nullptr;
    std::array<ValueSlider*, 2> sliders {};
    std::array<QLineEdit*, 2> adjust_readouts {};
    PaletteGrid* palette = nullptr;
    QFrame* part_outline = nullptr;
    ShadeLadder* ladder = nullptr;
    ColourChart* colour_field = nullptr;
    QLabel* hover_swatch = nullptr;
    ImageBox* sample_box = nullptr;
    std::array<QLabel*, 3> markers {};
    QLabel* primary_part_swatch = nullptr;
    QLabel* secondary_part_swatch = nullptr;
    QLabel* field_label = nullptr;
    QLabel* presentation_label = nullptr;
    QLabel* line_mode_caption = nullptr;
    QLabel* area_mode_caption = nullptr;
    QLabel* line_colour_caption = nullptr;
    QCheckBox* same_as_line_check = nullptr;
    QCheckBox* night_check = nullptr;
    QCheckBox* border_check = nullptr;
    QCheckBox* apply_all_check = nullptr;

    HexBox* hex_box(HexField field) const { return hex_boxes[index_of(field)]; }
    QLineEdit* value_box(ValueBox box) const
    {
        return box == ValueBox::Border ? border_box : scale_box;
    }
    /// The readouts of the colour adjusters start again from a newly picked base colour.
    void reset_scrol() const;
    /// Puts the slider's thumb where `value` (0 to 2.5) stands; an empty scale stands at 1.
    void place_thumb(ValueBox slider, const QString& value) const;
};

} // namespace tintwell
