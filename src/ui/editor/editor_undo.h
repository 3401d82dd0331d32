#pragma once

#include "ui/editor/editor_state.h"

#include <QUndoCommand>
#include <functional>

class QObject;
class QUndoStack;

namespace tintwell {

/// What made a step. The steps of one drag (on the shade ladder, a slider or the colour field)
/// merge into one.
enum class StepSource { Pick, LadderDrag, BorderDrag, ScaleDrag, FieldDrag };

/// One undo step of the style editor: the state before and after a change. Undo and redo hand
/// the state to `restore`; the push itself restores nothing, the window already shows it.
class EditorUndoStep : public QUndoCommand
{
public:
    using Restore = std::function<void(const EditorStep&)>;

    /// `gesture` tells one drag from the next: only steps of the same drag merge.
    EditorUndoStep(
        Restore restore, EditorStep before, EditorStep after, StepSource source, int gesture);

    void undo() override;
    void redo() override;
    int id() const override;
    /// Takes over the later step of the same drag.
    bool mergeWith(const QUndoCommand* other) override;

    const EditorStep& before() const { return m_before; }
    const EditorStep& after() const { return m_after; }

private:
    Restore m_restore;
    EditorStep m_before;
    EditorStep m_after;
    StepSource m_source;
    int m_gesture;
    bool m_pushed = false;
};

/// The style editor's own history while it is open. Undo goes back at most to the style as it
/// was opened; Undo and Redo hand the step they reach to `restore`.
class EditorHistory
{
public:
    /// The stack is a child of `owner`.
    EditorHistory(QObject* owner, EditorUndoStep::Restore restore);

    QUndoStack* stack() const { return m_stack; }
    /// An empty history whose first step starts from `opened`.
    void start_from(const EditorStep& opened);
    /// The editor's values now, `step`, as one step; one of the same source and drag as the
    /// step before joins it.
    void record(const EditorStep& step, StepSource source);
    /// A press begins a drag: the steps until the next press merge.
    void begin_gesture() { ++m_gesture; }
    /// Undo or Redo one step; nothing while one is being undone or when there is none.
    void step(UndoDirection direction);
    /// Undo or Redo put the editor back to `step`: the next step starts from it.
    void restored(const EditorStep& step) { m_recorded = step; }

private:
    QUndoStack* m_stack;
    EditorUndoStep::Restore m_restore;
    EditorStep m_recorded;
    int m_gesture = 0;
    bool m_in_undo = false;
};

} // namespace tintwell
