#include "ui/editor/editor_undo.h"

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

} // namespace tintwell
