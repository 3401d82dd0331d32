#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <QWidget>
#include <functional>
#include <map>
#include <string>

namespace tintwell {

/// The windows the main window opens on a style or from its menus.
enum class EditorKind { Style, StyleText, SportFitness, About };

/// One place where the editor windows plug into the main window. An opener shows its window
/// modally on row `row` of the document and returns true when it changed the style. A kind with
/// no opener registered opens nothing. The windows and the commands of the menus hand their
/// changes to the launcher's edit sink.
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

    /// Where the windows hand their changes from now on; an empty sink brings back the default,
    /// which applies each change to the document at once and marks it modified.
    void set_edit_sink(EditSink sink) { m_sink = std::move(sink); }
    /// The sink for changes to `doc`.
    EditSink edit_sink(Document& doc) const { return m_sink ? m_sink : apply_to(doc); }

    /// Where the windows say in passing what a change did (the main window's status bar).
    void set_status_sink(std::function<void(const std::string&)> sink)
    {
        m_status = std::move(sink);
    }
    void say(const std::string& text) const
    {
        if (m_status) {
            m_status(text);
        }
    }

private:
    std::map<EditorKind, Opener> m_openers;
    EditSink m_sink;
    std::function<void(const std::string&)> m_status;
};

} // namespace tintwell
