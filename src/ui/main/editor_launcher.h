#pragma once

#include "model/document.h"

#include <QWidget>

#include <functional>
#include <map>

namespace tintwell {

/// The windows the main window opens on a style or from its menus.
enum class EditorKind { Style, StyleText, SportFitness, About };

/// One place where the editor windows plug into the main window. An opener shows its window
/// modally on row `row` of the document and returns true when it changed the style. A kind with
/// no opener registered opens nothing.
class EditorLauncher
{
public:
    using Opener = std::function<bool(QWidget* parent, Document& doc, int row)>;

    void register_editor(EditorKind kind, Opener opener) { m_openers[kind] = std::move(opener); }
    bool has(EditorKind kind) const { return m_openers.count(kind) != 0; }
    /// Runs the opener; false when there is none or it changed nothing.
    bool open(EditorKind kind, QWidget* parent, Document& doc, int row) const
    {
        const auto found = m_openers.find(kind);
        return found != m_openers.end() && found->second(parent, doc, row);
    }

private:
    std::map<EditorKind, Opener> m_openers;
};

} // namespace tintwell
