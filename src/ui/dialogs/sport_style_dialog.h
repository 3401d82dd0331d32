#pragma once

#include "model/document.h"
#include "model/document_edit.h"
#include "ui/common/dialog_button.h"

#include <QDialog>
#include <array>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;

namespace tintwell {

class ColourChart;
class OwnerDrawnButton;

/// The four colour slots of a Sport & Fitness style with widths, in the order of the dialog's
/// control arrays (`Label2_0` .. `Label2_3`).
enum class SportColourSlot { PrimaryDay, SecondaryDay, PrimaryNight, SecondaryNight };
inline constexpr std::array<SportColourSlot, 4> sport_colour_slots = { SportColourSlot::PrimaryDay,
    SportColourSlot::SecondaryDay, SportColourSlot::PrimaryNight, SportColourSlot::SecondaryNight };

/// `edit2`: one Sport & Fitness style with widths. Four colour slots (0 primary day, 1 secondary
/// day, 2 primary night, 3 secondary night), each a two-digit transparency field `Text3`, a
/// RRGGBB field `Text2` and a swatch `Label2`; the chart sets the slot whose swatch was clicked
/// last. Widths `Text1` (0 background, 1 foreground) run from -1 to 200. Apply rewrites the
/// row's style text and stores colours and widths, as one edit handed to the edit sink; Cancel
/// changes nothing.
class SportStyleDialog : public QDialog
{
    Q_OBJECT
public:
    /// `element_caption`: the row's caption in the preview (its element name), shown after
    /// "Tintwell ". Apply hands its edit to `sink`; without one it is applied to `doc` at once.
    SportStyleDialog(Document& doc, int row, const QString& element_caption,
        QWidget* parent = nullptr, EditSink sink = {});

    void Form_Load();
    void Label2_Click(SportColourSlot slot);
    /// Chart coordinates in pixels.
    void p5_MouseDown(int x, int y);
    void p5_MouseMove(int x, int y);
    /// True when the keystroke `key` (its character) is taken into the slot's colour field.
    bool Text2_KeyPress(SportColourSlot slot, QChar key);
    void Text2_Change(SportColourSlot slot);
    /// True when the keystroke is taken into the slot's transparency field.
    bool Text3_KeyPress(SportColourSlot slot, QChar key);
    /// Apply stays open, with its message, on a transparency that is not hexadecimal, a colour
    /// longer than six digits or a width above 200.
    void command1_MouseDown(DialogButton button);
    /// The pointer over the dialog itself: both buttons lose their hover look.

    /// Joins each slot's transparency and colour into its working colour, with leading zeros
    /// to two and six digits; a slot whose fields are both empty gets an empty colour.
    void get_colvals();
    /// False, after "Invalid HEX :" and the field's text, when one of the four transparency
    /// fields holds a character that is not a hexadecimal digit.
    bool chk_hex();

    /// Working colours in slot order: transparency then RRGGBB (six digits when the
    /// transparency field is empty).
    const std::array<std::string, 4>& working() const { return m_working; }
    SportColourSlot sel_swatch() const { return m_sel_swatch; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show_colour(QLabel* swatch, const std::string& colour);
    std::string width_text(std::size_t box) const;

    Document& m_doc;
    int m_row;
    QString m_caption;
    EditSink m_sink;
    SportColourSlot m_sel_swatch = SportColourSlot::PrimaryDay;
    std::array<std::string, 4> m_working;

    // Controls; their object names are the design's (Label2_k, Text3_k, Text2_k, Text1_k, ...).
    std::array<QLabel*, 4> m_headings {};
    /// Slot k: 0 primary day, 1 secondary day, 2 primary night, 3 secondary night.
    std::array<QLabel*, 4> m_swatches {};
    std::array<QLineEdit*, 4> m_transparency_boxes {};
    std::array<QLineEdit*, 4> m_colour_boxes {};
    QFrame* m_selection_frame;
    ColourChart* m_chart;
    QLabel* m_hover_swatch;
    std::array<QLabel*, 2> m_width_captions {};
    /// 0 background width, 1 foreground width.
    std::array<QLineEdit*, 2> m_width_boxes {};
    OwnerDrawnButton* m_cancel_button;
    OwnerDrawnButton* m_apply_button;
};

} // namespace tintwell
