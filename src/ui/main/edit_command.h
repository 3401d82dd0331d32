#pragma once

#include "model/document_edit.h"

#include <QUndoCommand>
#include <vector>

namespace tintwell {

/// One step of the theme's history: the edits it made, in order, under a name ("Apply ROAD
/// INTERSTATE"). Undo reverts them last to first, redo applies them again. The edits are already
/// applied when the step is pushed, so the push itself leaves the document alone.
class DocumentEditCommand : public QUndoCommand
{
public:
    /// A step pushed right after one with the same `merge_id` (>= 0) joins it, when both change
    /// only the metadata; -1 never joins.
    DocumentEditCommand(
        Document& doc, std::vector<DocumentEdit> parts, const QString& text, int merge_id = -1);

    void undo() override;
    void redo() override;
    int id() const override { return m_merge_id; }
    /// Takes over `other`'s change. A step that ends where it began (a field typed and typed
    /// back) becomes obsolete, and the stack drops it.
    bool mergeWith(const QUndoCommand* other) override;

    bool changes_rows() const;
    bool changes_presentations() const;

private:
    Document& m_doc;
    std::vector<DocumentEdit> m_parts;
    int m_merge_id;
    bool m_applied = true;
};

} // namespace tintwell
