#include "ui/editor/editor_undo.h"

#include "ui/common/busy_pointer.h"

#include <QUndoStack>

namespace tintwell {

EditorUndoStep::EditorUndoStep(
    Restore restore, EditorStep before, EditorStep after, StepSource source, int gesture)
    : m_restore(std::move(restore))
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_source(source)
    , m_gesture(gesture)
{
}

void EditorUndoStep::undo()
{
    m_restore(m_before);
}

void EditorUndoStep::redo()
{
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_restore(m_after);
}

int EditorUndoStep::id() const
{
    return m_source == StepSource::Pick ? -1 : static_cast<int>(m_source);
}

bool EditorUndoStep::mergeWith(const QUndoCommand* other)
{
    const auto* later = dynamic_cast<const EditorUndoStep*>(other);
    if (later == nullptr || later->m_source != m_source || later->m_gesture != m_gesture) {
        return false;
    }
    m_after = later->m_after;
    return true;
}

EditorHistory::EditorHistory(QObject* owner, EditorUndoStep::Restore restore)
    : m_stack(new QUndoStack(owner))
    , m_restore(std::move(restore))
{
}

void EditorHistory::start_from(const EditorStep& opened)
{
    m_recorded = opened;
    m_stack->clear();
}

void EditorHistory::record(const EditorStep& step, StepSource source)
{
    m_stack->push(new EditorUndoStep(m_restore, m_recorded, step, source, m_gesture));
    m_recorded = step;
}

void EditorHistory::step(UndoDirection direction)
{
    if (m_in_undo) {
        return;
    }
    m_in_undo = true;
    BusyPointer busy;
    if (direction == UndoDirection::Undo && m_stack->canUndo()) {
        m_stack->undo();
    } else if (direction == UndoDirection::Redo && m_stack->canRedo()) {
        m_stack->redo();
    }
    m_in_undo = false;
}

} // namespace tintwell
