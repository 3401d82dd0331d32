#include "model/row_selection.h"
#include "ui/common/preview_widget.h"
#include "ui/main/preview_navigator.h"
#include "ui/theme/open_theme.h"

#include <QMenu>
#include <algorithm>
#include <vector>

// The selection of several styles in the preview: Ctrl and Shift with clicks and arrows, the
// rubber band, Select All, and selections made elsewhere (the Colours panel, Check Theme).

namespace tintwell {

void PreviewNavigator::extend_selection(Neighbour direction)
{
    // As a Shift+click on the neighbour: the range from where the selection began to it.
    if (!selection_shown()) {
        move_selection(direction);
        return;
    }
    const int next = m_preview->preview().layout().neighbour(m_theme.current_row(), direction);
    if (next >= 0) {
        click(next, Qt::LeftButton, {}, Qt::ShiftModifier);
        scroll_into_view(next);
    }
}

void PreviewNavigator::click(
    int row, Qt::MouseButton button, QPoint global_pos, Qt::KeyboardModifiers keys)
{
    Document& doc = m_theme.document();
    RowSelection& selection = m_theme.selection();
    if (!doc.valid_row(row)) {
        return;
    }
    const bool ctrl = keys & Qt::ControlModifier;
    const bool shift = keys & Qt::ShiftModifier;
    // The code pop-up on one of several selected samples works on all of them.
    if (button == Qt::RightButton && selection.count() > 1 && selection.contains(row)) {
        m_theme.set_current_row(row);
        selection_moved();
        m_code_menu->popup(global_pos);
        return;
    }
    if (button != Qt::LeftButton || (!ctrl && !shift)) {
        press(row, button, global_pos);
        return;
    }
    const PreviewLayout& layout = m_preview->preview().layout();
    if (shift) {
        int anchor = selection.anchor();
        if (!layout.shown(anchor)) {
            anchor = selection_shown() ? doc.cur_row : row;
        }
        const int from = layout.rows[static_cast<std::size_t>(anchor)].position;
        const int to = layout.rows[static_cast<std::size_t>(row)].position;
        if (!ctrl) {
            selection.clear();
        }
        std::vector<int> range(layout.order.begin() + std::min(from, to),
            layout.order.begin() + std::max(from, to) + 1);
        selection.add(range);
        selection.set_anchor(anchor);
        doc.cur_row = row;
    } else {
        const bool adding = !selection.contains(row);
        selection.set(row, adding);
        selection.set_anchor(row);
        if (adding) {
            doc.cur_row = row;
        } else if (doc.cur_row == row || !selection.contains(doc.cur_row)) {
            // The current style left the selection: the first one left takes its place.
            doc.cur_row = selection.first();
        }
    }
    selection_moved();
}

void PreviewNavigator::band_dragged(const TwipRect& rect, Qt::KeyboardModifiers keys)
{
    RowSelection& selection = m_theme.selection();
    if (!m_band_started) {
        m_band_started = true;
        m_band_base = (keys & Qt::ControlModifier) ? selection : RowSelection();
    }
    const PreviewLayout& layout = m_preview->preview().layout();
    std::vector<int> touched;
    const auto [first, last] = layout.rows_between(rect.top, rect.bottom());
    for (int p = first; p < last; ++p) {
        const int row = layout.order[static_cast<std::size_t>(p)];
        const PreviewRow& laid = layout.rows[static_cast<std::size_t>(row)];
        if (laid.box.intersects(rect) || laid.caption.intersects(rect)) {
            touched.push_back(row);
        }
    }
    selection = m_band_base;
    selection.add(touched);
    Document& doc = m_theme.document();
    if (!selection.contains(doc.cur_row)) {
        doc.cur_row = touched.empty() ? selection.first() : touched.front();
    }
    if (!touched.empty()) {
        selection.set_anchor(touched.front());
    }
    selection_moved();
}

void PreviewNavigator::select_all_shown()
{
    const PreviewLayout& layout = m_preview->preview().layout();
    if (layout.order.empty()) {
        return;
    }
    RowSelection& selection = m_theme.selection();
    Document& doc = m_theme.document();
    const bool current_shown = selection.contains(doc.cur_row) && layout.shown(doc.cur_row);
    selection.clear();
    selection.add(layout.order);
    if (!current_shown) {
        doc.cur_row = layout.order.front();
    }
    selection.set_anchor(doc.cur_row);
    selection_moved();
}

void PreviewNavigator::select_rows(const std::vector<int>& rows, int current)
{
    Document& doc = m_theme.document();
    std::vector<int> valid;
    valid.reserve(rows.size());
    for (const int row : rows) {
        if (doc.valid_row(row)) {
            valid.push_back(row);
        }
    }
    if (valid.empty()) {
        clear_selection();
        return;
    }
    if (std::find(valid.begin(), valid.end(), current) == valid.end()) {
        current = *std::min_element(valid.begin(), valid.end());
    }
    RowSelection& selection = m_theme.selection();
    selection.clear();
    selection.add(valid);
    selection.set_anchor(current);
    doc.cur_row = current;
    selection_moved();
    scroll_into_view(current);
}

void PreviewNavigator::selection_moved()
{
    emit selection_changed();
    follow_selection();
    m_preview->update();
    show_selected_style();
}

} // namespace tintwell
