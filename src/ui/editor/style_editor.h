#pragma once

#include "model/document.h"
#include "model/document_edit.h"
#include "model/open_style.h"
#include "render/editor_sample.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/editor_undo.h"
#include "ui/editor/style_editor_controls.h"
#include "ui/theme/editor_launcher.h"

#include <QDialog>
#include <QImage>
#include <array>
#include <string>

class QUndoStack;

namespace tintwell {

/// `editor`, the style editor: day and night colours, border width and scale of one line or
/// area style of row `cur_row`, with its own undo while it is open. Apply hands the change to
/// the edit sink as one edit (with "Apply to All Presentations", for every row it changes);
/// Cancel and closing leave the row as it was.
class StyleEditor : public QDialog
{
    Q_OBJECT
public:
    /// Loads row `doc.cur_row` (the opening sequence runs here). Messages go to `prompter`.
    /// Apply hands its edit to `sink`; without one it is applied to `doc` at once.
    StyleEditor(Document& doc, Prompter& prompter, QWidget* parent = nullptr, EditSink sink = {});
    ~StyleEditor() override;

    /// True once Apply has handed the change on.
    bool applied() const { return !m_applied_summary.empty(); }
    /// What Apply did, for the status bar; empty until Apply.
    const std::string& applied_summary() const { return m_applied_summary; }

    /// The working values. Tests may set them as the pickers would.
    StyleEditorState& state() { return m_state; }
    const EditorSample& sample() const { return m_sample; }
    QUndoStack* undo_stack() const { return m_history.stack(); }
    /// The colour of the swatch of a part.
    ColourValue swatch_colour(EditedPart part) const;

    /// The image behind the sample.
    const QImage& sample_image() const { return m_sample_image; }

    // Handlers, named after their controls.
    void Label2_MouseDown(EditedPart part);
    void Labc_MouseDown(int block);
    /// The colour field: a press takes the colour as a step, a drag follows the pointer.
    void p5_pick(QPoint pos, bool press);
    void Picture5_MouseUp(QPoint pos);
    void pointer1_drag(int left_twips);
    void pointer1_MouseUp();
    void Text2_Enter(HexField box);
    void Text1_Enter(ValueBox box);
    void scrol_drag(ValueBox slider, int left_twips);
    void scrol_MouseUp(ValueBox slider);
    void commandop_Click(DayNight mode);
    void Check1_Click();
    void Check2_MouseUp();
    void Check3_MouseUp();
    /// Shows the swatch's colour as "#RRGGBB" in its tool tip.
    void Label2_MouseMove(EditedPart part);
    /// Takes the hover look off the buttons when the pointer is over the window background.
    void Form_MouseMove();
    void command1_Click(EditorButton button);
    void und(UndoDirection direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The control set-up (style_editor_controls.cpp).
    void build_controls();
    void build_swatches();
    void build_values();
    void build_buttons();
    void build_pickers();

    void Form_Load();
    /// The colours and parts the opened style starts with.
    void show_opened_colours(bool arrow);
    /// The border controls of the opened style, on or off.
    void show_opened_border();
    void set_opt(DayNight mode);
    /// A Sport & Fitness area: its colours are picked one part at a time (Label8, Label9).
    bool sport_area() const;
    /// The style was written without a scale; an empty scale box keeps it so.
    bool opened_without_scale() const;
    bool sport() const { return m_doc.kind == ThemeKind::SportFitness; }
    /// Stores a picked colour: in a Sport & Fitness area in the part picked with Label8 or
    /// Label9, else in the line (or fill) colour with `line_part` and in the border colour
    /// without, of the current mode; shows it in that part's hex box and, with `swatch`, its
    /// swatch.
    void store_colour(ColourValue colour, bool line_part, bool swatch);
    void paint_area_swatch(AreaColour which, ColourValue colour);
    /// What the sample is drawn from: the working colours and the boxes as they are now.
    SampleInput sample_input() const;
    /// Shows a shade of the ladder under the pointer in the sample, in the part being picked;
    /// the style takes it when the button is let go.
    void preview_shade(ColourValue colour);
    /// Whether a redraw of the sample paints the shade ladder again too.
    enum class Ladder { Keep, Repaint };
    void plot_line(Ladder ladder);
    void plotcols(ColourValue colour);
    void shadestp();
    /// Records the state as an undo step.
    void add_(StepSource source = StepSource::Pick);
    EditorStep current_step() const;
    void restore_step(const EditorStep& step);
    void set_swatch(EditedPart part, ColourValue colour);
    void show_sample();
    /// Picks the primary (Label8) or secondary (Label9) part of a Sport & Fitness area.
    void show_area_part(AreaColour colour);

    /// The editor reads the theme and changes it only through the sink.
    const Document& m_doc;
    Prompter& m_prompter;
    EditSink m_sink;
    int m_row = 0;
    /// The working copy of the style, as open_style made it.
    OpenedStyle m_opened;
    std::string m_applied_summary;
    StyleEditorState m_state;
    EditorSample m_sample;
    std::array<ColourValue, 4> m_swatch {};
    /// The swatches of a Sport & Fitness area's primary and secondary parts.
    std::array<ColourValue, 2> m_area_part_colours {};
    QImage m_sample_image;
    EditorHistory m_history;
    StyleEditorControls m_ui;
};

/// Lets a double click on a line or area style of the main window open the style editor; its
/// Apply goes to the launcher's edit sink.
void register_style_editor(EditorLauncher& launcher);

} // namespace tintwell
