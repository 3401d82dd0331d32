#include "ui/theme/edit_command.h"

#include <algorithm>

namespace tintwell {

DocumentEditCommand::DocumentEditCommand(Document& doc, std::vector<DocumentEdit> parts,
    const QString& text, std::optional<TypingRun> typing)
    : QUndoCommand(text)
    , m_doc(doc)
    , m_parts(std::move(parts))
    , m_typing(typing)
{
}

void DocumentEditCommand::undo()
{
    for (auto part = m_parts.rbegin(); part != m_parts.rend(); ++part) {
        part->revert(m_doc);
    }
    m_applied = false;
}

void DocumentEditCommand::redo()
{
    if (m_applied) {
        return;
    }
    for (const DocumentEdit& part : m_parts) {
        part.apply(m_doc);
    }
    m_applied = true;
}

bool DocumentEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* later = dynamic_cast<const DocumentEditCommand*>(other);
    if (later == nullptr || !m_typing || later->m_typing != m_typing || m_parts.size() != 1
        || later->m_parts.size() != 1 || !m_parts.front().merge(later->m_parts.front())) {
        return false;
    }
    setObsolete(m_parts.front().empty());
    return true;
}

bool DocumentEditCommand::changes_rows() const
{
    return std::any_of(m_parts.begin(), m_parts.end(),
        [](const DocumentEdit& part) { return part.changes_rows(); });
}

bool DocumentEditCommand::changes_presentations() const
{
    return std::any_of(m_parts.begin(), m_parts.end(),
        [](const DocumentEdit& part) { return part.changes_presentations(); });
}

} // namespace tintwell
