#include "ui/theme/open_theme.h"

#include "colour/colour_codes.h"
#include "model/open_style.h"
#include "ui/common/latin1.h"

#include <QUndoStack>
#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace tintwell {

OpenTheme::OpenTheme(QObject* parent)
    : QObject(parent)
    , m_history(new QUndoStack(this))
{
    connect(m_history, &QUndoStack::cleanChanged, this, &OpenTheme::follow_history);
    connect(m_history, &QUndoStack::indexChanged, this, &OpenTheme::steps_passed);
}

OpenTheme::~OpenTheme()
{
    // Deleting the history clears it, which would report a change to those who follow it after
    // the theme they read is gone.
    m_history->disconnect();
}

void OpenTheme::push_edit(DocumentEdit edit, const std::string& description)
{
    if (edit.empty()) {
        return;
    }
    edit.apply(m_doc);
    follow_rows(edit, false);
    std::vector<DocumentEdit> parts;
    const bool rows = edit.changes_rows();
    parts.push_back(std::move(edit));
    // Rows the edit brings in with long day colours are shortened in the same step, so Undo
    // takes both back and the drawing never has to.
    if (DocumentEdit shorten = rows ? day_colour_edit(m_doc) : DocumentEdit(); !shorten.empty()) {
        shorten.apply(m_doc);
        parts.push_back(std::move(shorten));
    }
    if (gathering()) {
        if (!m_pending.handed_on) {
            m_pending.description = description;
            m_pending.handed_on = true;
        }
        std::move(parts.begin(), parts.end(), std::back_inserter(m_pending.parts));
        return;
    }
    push_step(std::move(parts), description);
}

void OpenTheme::push_typing(DocumentEdit edit, const std::string& description, TypingRun typing)
{
    if (edit.empty()) {
        return;
    }
    if (gathering()) {
        push_edit(std::move(edit), description);
        return;
    }
    edit.apply(m_doc);
    // Without a theme there is nothing to save or to take back.
    if (!m_doc.theme_open) {
        return;
    }
    std::vector<DocumentEdit> parts;
    parts.push_back(std::move(edit));
    push_step(std::move(parts), description, typing);
}

void OpenTheme::push_step(std::vector<DocumentEdit> parts, const std::string& description,
    std::optional<TypingRun> typing)
{
    m_quiet_history = true;
    // Element names may end in blanks, which a menu item would show as a gap.
    m_history->push(new DocumentEditCommand(
        m_doc, std::move(parts), from_latin1(description).trimmed(), typing));
    m_quiet_history = false;
    m_shown_index = m_history->index();
    follow_history();
}

void OpenTheme::own_change_made(DocumentEdit edit)
{
    if (gathering() && !edit.empty()) {
        m_pending.parts.push_back(std::move(edit));
    }
}

void OpenTheme::refresh_colours(int row)
{
    if (!m_doc.valid_row(row)) {
        return;
    }
    const StyleRow before = m_doc.rows[static_cast<std::size_t>(row)];
    get_colsfromcode(m_doc, row);
    DocumentEdit refresh;
    refresh.replace_row(row, before, m_doc.rows[static_cast<std::size_t>(row)]);
    own_change_made(std::move(refresh));
}

OpenTheme::StepScope::StepScope(OpenTheme& theme)
    : m_theme(theme)
{
    ++m_theme.m_pending.depth;
}

OpenTheme::StepScope::~StepScope()
{
    m_theme.end_step();
}

void OpenTheme::end_step()
{
    if (--m_pending.depth > 0) {
        return;
    }
    PendingStep step = std::move(m_pending);
    m_pending = PendingStep();
    if (step.handed_on) {
        push_step(std::move(step.parts), step.description);
        return;
    }
    bool rows = false;
    bool presentations = false;
    for (auto part = step.parts.rbegin(); part != step.parts.rend(); ++part) {
        part->revert(m_doc);
        follow_rows(*part, true);
        rows = rows || part->changes_rows();
        presentations = presentations || part->changes_presentations();
    }
    signal_changes(rows, presentations);
    follow_history();
}

void OpenTheme::clear_history()
{
    m_quiet_history = true;
    m_history->clear();
    m_quiet_history = false;
    m_shown_index = 0;
    follow_history();
}

void OpenTheme::mark_saved()
{
    m_history->setClean();
    follow_history();
}

void OpenTheme::follow_history()
{
    const bool unsaved = !m_history->isClean();
    m_doc.modified = unsaved;
    emit modified_changed(unsaved);
}

void OpenTheme::steps_passed(int index)
{
    if (m_quiet_history) {
        return;
    }
    bool rows = false;
    bool presentations = false;
    const bool undone = index < m_shown_index;
    const int count = std::abs(index - m_shown_index);
    // The steps passed, in the order the history did or undid them.
    for (int k = 0; k < count; ++k) {
        const int i = undone ? m_shown_index - 1 - k : m_shown_index + k;
        const auto* step = dynamic_cast<const DocumentEditCommand*>(m_history->command(i));
        if (step == nullptr) {
            continue;
        }
        rows = rows || step->changes_rows();
        presentations = presentations || step->changes_presentations();
        const auto& parts = step->parts();
        for (std::size_t p = 0; p < parts.size(); ++p) {
            follow_rows(parts[undone ? parts.size() - 1 - p : p], undone);
        }
    }
    m_shown_index = index;
    signal_changes(rows, presentations);
    follow_history();
    emit history_moved(index);
}

void OpenTheme::follow_rows(const DocumentEdit& edit, bool reverting)
{
    const std::optional<std::vector<int>> origins = edit.row_origins(reverting);
    if (!origins) {
        return;
    }
    m_selection.follow(*origins);
    const auto current = std::find(origins->begin(), origins->end(), m_doc.cur_row);
    if (m_doc.cur_row >= 0 && current != origins->end()) {
        m_doc.cur_row = static_cast<int>(current - origins->begin());
    } else {
        m_doc.cur_row = m_selection.first();
    }
    // Origins longer than the table (an edit made for other rows) must not leave flags past its
    // end, which a later insert would turn into selected styles.
    m_selection.keep_below(m_doc.row_count());
}

void OpenTheme::signal_changes(bool rows, bool presentations)
{
    if (presentations) {
        emit presentations_changed();
    }
    if (rows) {
        emit rows_changed();
    }
}

} // namespace tintwell
