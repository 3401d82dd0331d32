#pragma once

#include "model/document_edit.h"

#include <QUndoCommand>
#include <optional>
#include <vector>

namespace tintwell {

/// The metadata boxes of the main window: title, description, locality and version.
enum class MetadataBox { Title, Description, Locale, Version };

/// Keystrokes in one metadata field during one visit to it (`run` counts the visits): the steps
/// they make join into one.
struct TypingRun
{
    int run = 0;
    MetadataBox field = MetadataBox::Title;

    bool operator==(const TypingRun&) const = default;
};

/// One step of the theme's history: the edits it made, in order, under a name ("Apply ROAD
/// INTERSTATE"). Undo reverts them last to first, redo applies them again. The edits are already
/// applied when the step is pushed, so the push itself leaves the document alone.
class DocumentEditCommand : public QUndoCommand
{
public:
    /// A step pushed right after one of the same typing run joins it, when both change only the
    /// metadata; a step without a typing run never joins.
    DocumentEditCommand(Document& doc, std::vector<DocumentEdit> parts, const QString& text,
        std::optional<TypingRun> typing = std::nullopt);

    void undo() override;
    void redo() override;
    /// The metadata steps share one id, so the stack offers them to mergeWith; -1 for the rest.
    int id() const override { return m_typing ? 1 : -1; }
    /// Takes over `other`'s change. A step that ends where it began (a field typed and typed
    /// back) becomes obsolete, and the stack drops it.
    bool mergeWith(const QUndoCommand* other) override;

    bool changes_rows() const;
    bool changes_presentations() const;
    /// The edits of the step, in the order they are applied.
    const std::vector<DocumentEdit>& parts() const { return m_parts; }

private:
    Document& m_doc;
    std::vector<DocumentEdit> m_parts;
    std::optional<TypingRun> m_typing;
    bool m_applied = true;
};

} // namespace tintwell
