#pragma once

#include "model/document.h"
#include "render/editor_sample.h"
#include "ui/main/editor_launcher.h"

#include <QDialog>
#include <QImage>
#include <array>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QUndoStack;

namespace tintwell {

class OwnerDrawnButton;

/// Normalises a row's style text before editing: a Sport & Fitness text loses its line breaks
/// (and the row keeps the result); a Car & Zumo text holding a "#-1" night colour loses every
/// night attribute. Returns the text.
std::string strip_night(Document& doc, int row);

/// `editor`, the style editor: day and night colours, border width and scale of one line or
/// area style of row `cur_row`, with undo, written back on Apply.
class StyleEditor : public QDialog
{
    Q_OBJECT
public:
    /// Loads row `doc.cur_row` (the opening sequence runs here). Messages go to `prompter`.
    StyleEditor(Document& doc, Prompter& prompter, QWidget* parent = nullptr);
    ~StyleEditor() override;

    /// True once Apply has written the style back.
    bool applied() const { return m_applied; }

    /// The style text of row `row` from its cells and this window's state.
    std::string get_code(int row);

    // Working values, readable by tests.
    std::string ed_pri_day, ed_sec_day, ed_pri_night, ed_sec_night;
    int target = 1;
    bool is_pgon = false;
    int night_mode = 0;
    int nwf_sec = 0;
    std::array<ColourValue, 2> cur_col {};
    /// A hex box `Text2`(i) typed into without Enter; Apply and Day/Night wait for it.
    std::array<bool, 4> pending {};
    const EditorSample& sample() const { return m_sample; }
    QUndoStack* undo_stack() const { return m_undo; }
    /// The colour of a swatch `Label2`(i).
    ColourValue swatch_colour(int i) const { return m_swatch[i]; }

    // Handlers, named after their controls.
    void Label2_MouseDown(int i);
    void Labc_MouseDown(int i);
    void p5_pick(QPoint pos, bool press);
    void Picture5_MouseUp(QPoint pos);
    void pointer1_drag(int x_twips);
    void pointer1_MouseUp();
    void Text2_Enter(int i);
    void Text1_Enter(int i);
    void scrol_drag(int i, int left_twips);
    void scrol_MouseUp(int i);
    void commandop_Click(int i);
    void Check1_Click();
    void Check2_MouseUp();
    void Check3_MouseUp();
    void Label8_Click();
    /// Shows the swatch's colour as "#RRGGBB" in its tool tip.
    void Label2_MouseMove(int i);
    /// Takes the hover look off the buttons when the pointer is over the window background.
    void Form_MouseMove();
    void Label9_Click();
    void command1_Click(int i);
    void und(int index);

    // Controls, named as in the design.
    std::array<OwnerDrawnButton*, 2> commandop {};
    std::array<OwnerDrawnButton*, 2> command1 {};
    QPushButton* undo_button = nullptr;
    QPushButton* redo_button = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    std::array<QLabel*, 4> Label2 {};
    std::array<QLineEdit*, 4> Text2 {};
    std::array<QLineEdit*, 2> Text1 {};
    std::array<QFrame*, 2> pc4 {};
    std::array<QFrame*, 2> scrol {};
    std::array<QLineEdit*, 2> Text5 {};
    std::array<QLabel*, 254> Labc {};
    QFrame* Shape12 = nullptr;
    QFrame* Shape2 = nullptr;
    QWidget* Picture5 = nullptr;
    QFrame* pointer1 = nullptr;
    QWidget* p5 = nullptr;
    QLabel* Label3 = nullptr;
    QWidget* Picture1 = nullptr;
    std::array<QLabel*, 3> Label5 {};
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    std::array<QLabel*, 2> Label4 {};
    QLabel* label6 = nullptr;
    QLabel* Label7 = nullptr;
    std::array<QLabel*, 2> Label1 {};
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* applyall = nullptr;

    /// The images behind the sample, the shade ladder and the colour field.
    const QImage& sample_image() const { return m_sample_image; }
    const QImage& ladder_image() const { return m_ladder_image; }
    const QImage& field_image() const { return m_field_image; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    friend class RecordCommand;

    void build_controls();
    void Form_Load();
    void set_opt(int night);
    /// A Day/Night button takes the hover look only while night colours are on and it is not
    /// the current mode.
    bool hover_allowed(int i) const;
    /// A Sport & Fitness area: its colours are picked one part at a time (Label8, Label9).
    bool sport_area() const;
    void set_nwfcols(const std::string& colour);
    void reset_scrol();
    void plot_line(int shade);
    void plotcols(ColourValue colour);
    void shadestp();
    void shades_check(ColourValue colour);
    void add_(const std::string& colours);
    void apply_record(const std::string& record);
    void applytoall();
    void set_swatch(int i, ColourValue colour);
    void set_swatch_widget(QWidget* widget, ColourValue colour);
    void place_thumb(int i, int left_twips);
    void show_sample();
    std::string working_colours() const;
    std::string& line_colour();
    std::string& border_colour();
    bool key_allowed_in_hex(int key, const QString& text) const;
    int text_index(QObject* watched, const auto& boxes) const;
    StyleRow& row();

    Document& m_doc;
    Prompter& m_prompter;
    int m_row = 0;
    bool m_modified_at_open = false;
    bool m_applied = false;
    bool m_in_undo = false;
    EditorSample m_sample;
    std::array<ColourValue, 4> m_swatch {};
    ColourValue m_label8 = 0;
    ColourValue m_label9 = 0;
    std::array<int, 2> m_thumb {};
    int m_pointer_left = 0;
    QImage m_sample_image;
    QImage m_ladder_image;
    QImage m_field_image;
    QUndoStack* m_undo = nullptr;
    std::string m_record;
};

/// Lets a double click on a line or area style of the main window open the style editor.
void register_style_editor(EditorLauncher& launcher);

} // namespace tintwell
