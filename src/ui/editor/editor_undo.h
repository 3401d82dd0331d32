#pragma once

#include "ui/editor/editor_state.h"

#include <QUndoCommand>
#include <functional>

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

} // namespace tintwell
