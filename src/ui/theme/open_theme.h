#pragma once

#include "model/document.h"
#include "model/document_edit.h"
#include "model/row_selection.h"
#include "ui/theme/edit_command.h"

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QUndoStack;

namespace tintwell {

/// The theme the windows work on: its document, its history of steps, the selected style and
/// the signals that tell the windows what changed. Every change to the theme goes through it as
/// an edit, and `Document::modified` follows the history's clean state, written only here.
class OpenTheme : public QObject
{
    Q_OBJECT
public:
    explicit OpenTheme(QObject* parent = nullptr);
    ~OpenTheme() override;

    Document& document() { return m_doc; }
    const Document& document() const { return m_doc; }
    /// The history; its clean state is the theme as last saved or opened.
    QUndoStack& history() const { return *m_history; }

    /// The selected style row (`cur_row`); it may name no row of the table.
    int current_row() const { return m_doc.cur_row; }
    void set_current_row(int row) { m_doc.cur_row = row; }
    /// Every style selected in the preview; while it holds any, the current row is one of them.
    /// Steps that add, remove or reorder rows (and their Undo and Redo) move it with the
    /// styles: a style that goes leaves it, and when the current row's style goes another
    /// selected style becomes current (none: `cur_row` names no row).
    RowSelection& selection() { return m_selection; }
    const RowSelection& selection() const { return m_selection; }

    /// Makes `edit` one step of the history named `description` ("Apply ROAD INTERSTATE"):
    /// applies it and keeps it for Undo and Redo. Rows it brings in with day colours longer than
    /// six characters are shortened within the same step. While a StepScope is open the edit
    /// joins that scope's step instead. An empty edit makes no step. The caller redraws what the
    /// edit changed; Undo and Redo signal what they changed.
    void push_edit(DocumentEdit edit, const std::string& description);
    /// Keystrokes in a metadata field: `edit` applied as a step that joins the previous one of
    /// the same typing run. Without an open theme the edit is applied and makes no step.
    void push_typing(DocumentEdit edit, const std::string& description, TypingRun typing);
    /// A change the window made on its own, already applied: it joins the step being gathered,
    /// and goes back with a step that is dropped. Outside a StepScope it is kept as it is.
    void own_change_made(DocumentEdit edit);
    /// Reads row's colours again from its style text, as a change of the window's own (see
    /// own_change_made). Nothing for a row not in the table.
    void refresh_colours(int row);
    /// True while a StepScope is open.
    bool gathering() const { return m_pending.depth > 0; }

    /// Gathers into one step everything that changes the theme while it lives: the edits handed
    /// to push_edit, and the window's own changes around a dialog. The step is named after the
    /// first edit handed on. When nothing was handed on (the dialog was cancelled), the own
    /// changes are taken back, so the theme is exactly as before. Scopes nest; the outermost
    /// one makes the step.
    class StepScope
    {
    public:
        explicit StepScope(OpenTheme& theme);
        ~StepScope();
        StepScope(const StepScope&) = delete;
        StepScope& operator=(const StepScope&) = delete;

    private:
        OpenTheme& m_theme;
    };

    /// Another theme was read or begun: no steps, nothing to save.
    void clear_history();
    /// The theme was written: the current step becomes the clean state.
    void mark_saved();
    /// `modified` follows the history's clean state again, after a reader that gave up part-way
    /// left its own value there.
    void follow_history();

signals:
    /// Steps undone, redone or dropped changed the style rows (the selection may be gone).
    void rows_changed();
    /// Steps undone, redone or dropped changed the presentation list.
    void presentations_changed();
    /// The history moved to `index` (Undo, Redo, a jump in the History window); sent after
    /// rows_changed and presentations_changed.
    void history_moved(int index);
    /// `modified` was set from the history's clean state (sent even when it kept its value).
    void modified_changed(bool modified);
    /// Another theme is open, with a history of its own: read from `path`, or begun with New
    /// (`path` empty).
    void theme_replaced(const QString& path);
    /// The theme was written to `path`.
    void theme_saved(const QString& path);

private:
    void push_step(std::vector<DocumentEdit> parts, const std::string& description,
        std::optional<TypingRun> typing = std::nullopt);
    void end_step();
    void steps_passed(int index);
    void signal_changes(bool rows, bool presentations);
    /// The selection and the current row follow the rows `edit` moved, applied or reverted.
    void follow_rows(const DocumentEdit& edit, bool reverting);

    struct PendingStep
    {
        int depth = 0;
        std::vector<DocumentEdit> parts;
        std::string description;
        bool handed_on = false;
    };

    Document m_doc;
    RowSelection m_selection;
    QUndoStack* m_history;
    /// The step being gathered by the open StepScopes.
    PendingStep m_pending;
    /// The history's index the windows show; pushes and clears move it without a signal.
    int m_shown_index = 0;
    bool m_quiet_history = false;
};

} // namespace tintwell
