#include "model/document_edit.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <utility>

namespace tintwell {

namespace {

// The text cells in the order of their bits.
constexpr std::array<std::pair<Cell, StyleCell>, 13> text_cells = { {
    { Cell::PriDay, StyleCell::PriDay },
    { Cell::PriNight, StyleCell::PriNight },
    { Cell::SecDay, StyleCell::SecDay },
    { Cell::SecNight, StyleCell::SecNight },
    { Cell::ElemName, StyleCell::ElemName },
    { Cell::FieldName, StyleCell::FieldName },
    { Cell::BgWidth, StyleCell::BgWidth },
    { Cell::FgWidth, StyleCell::FgWidth },
    { Cell::Scale, StyleCell::Scale },
    { Cell::Border, StyleCell::Border },
    { Cell::PresName, StyleCell::PresName },
    { Cell::StyleText, StyleCell::StyleText },
    { Cell::NwfBorder, StyleCell::NwfBorder },
} };

bool has(CellSet cells, Cell cell)
{
    return (cells & static_cast<CellSet>(cell)) != 0;
}

} // namespace

CellSet changed_cells(const StyleRow& a, const StyleRow& b)
{
    CellSet cells = a.pres_code != b.pres_code ? static_cast<CellSet>(Cell::PresCode) : 0;
    for (const auto& [cell, text] : text_cells) {
        if (a.get(text) != b.get(text)) {
            cells = cells | cell;
        }
    }
    return cells;
}

RowCells::RowCells(const StyleRow& row, CellSet cells)
    : m_cells(cells)
{
    m_values.pres_code = has(cells, Cell::PresCode) ? row.pres_code : std::int16_t(0);
    StyleTexts texts;
    for (const auto& [cell, text] : text_cells) {
        if (has(cells, cell)) {
            texts[static_cast<std::size_t>(text)] = row.get(text);
        }
    }
    m_values.assign(texts);
}

void RowCells::write_to(StyleRow& row) const
{
    if (has(m_cells, Cell::PresCode)) {
        row.pres_code = m_values.pres_code;
    }
    StyleTexts texts = row.texts();
    bool any_text = false;
    for (const auto& [cell, text] : text_cells) {
        if (has(m_cells, cell)) {
            texts[static_cast<std::size_t>(text)] = m_values.get(text);
            any_text = true;
        }
    }
    if (any_text) {
        row.assign(texts);
    }
}

std::strong_ordering RowCells::operator<=>(const RowCells& other) const
{
    if (const auto order = m_cells <=> other.m_cells; order != 0) {
        return order;
    }
    if (const auto order = m_values.pres_code <=> other.m_values.pres_code; order != 0) {
        return order;
    }
    for (const auto& [cell, text] : text_cells) {
        if (const auto order = m_values.get(text) <=> other.m_values.get(text); order != 0) {
            return order;
        }
    }
    return std::strong_ordering::equal;
}

void RowSet::add(int row)
{
    if (!m_runs.empty()) {
        Run& last = m_runs.back();
        if (last.count == 1 && row > last.first) {
            last.step = row - last.first;
            last.count = 2;
            return;
        }
        if (row == last.first + last.step * last.count) {
            ++last.count;
            return;
        }
    }
    m_runs.push_back(Run { row, 1, 1 });
}

std::size_t RowSet::size() const
{
    std::size_t n = 0;
    for (const Run& run : m_runs) {
        n += static_cast<std::size_t>(run.count);
    }
    return n;
}

PresentationList presentation_list(const Document& doc)
{
    return { doc.pres_names, doc.pres_count };
}

std::vector<StyleRow> DocumentEdit::RowOrder::build(std::vector<StyleRow>& old) const
{
    std::size_t total = 0;
    for (const Piece& piece : pieces) {
        total += static_cast<std::size_t>(piece.count);
    }
    std::vector<StyleRow> rows;
    rows.reserve(total);
    std::size_t next_added = 0;
    for (const Piece& piece : pieces) {
        for (int k = 0; k < piece.count; ++k) {
            if (piece.from < 0) {
                if (next_added < added.size()) {
                    rows.push_back(added[next_added++]);
                }
                continue;
            }
            const auto at = static_cast<std::size_t>(piece.from + k);
            if (at < old.size()) {
                rows.push_back(std::move(old[at]));
            }
        }
    }
    return rows;
}

std::optional<std::vector<int>> DocumentEdit::row_origins(bool reverting) const
{
    const std::optional<RowOrder>& order = reverting ? m_backward : m_forward;
    if (!order) {
        return std::nullopt;
    }
    std::vector<int> origins;
    for (const RowOrder::Piece& piece : order->pieces) {
        for (int k = 0; k < piece.count; ++k) {
            origins.push_back(piece.from < 0 ? -1 : piece.from + k);
        }
    }
    return origins;
}

void DocumentEdit::apply(Document& doc) const
{
    if (m_forward) {
        doc.rows = m_forward->build(doc.rows);
    }
    for (const CellStep& step : m_steps) {
        if (step.kind == StepKind::WholeRows) {
            const RowsReplaced& replaced = m_replaced[step.index];
            for (std::size_t k = 0; k < replaced.rows.size(); ++k) {
                if (doc.valid_row(replaced.rows[k])) {
                    doc.rows[static_cast<std::size_t>(replaced.rows[k])] = replaced.after[k];
                }
            }
            continue;
        }
        if (step.kind == StepKind::Patches) {
            const TextPatches& patches = m_patches[step.index];
            for (const TextPatches::Patch& patch : patches.patches) {
                if (doc.valid_row(patch.row)) {
                    doc.rows[static_cast<std::size_t>(patch.row)].overwrite(patch.cell, patch.at,
                        std::string_view(patches.bytes)
                            .substr(patch.offset + patch.size, patch.size));
                }
            }
            continue;
        }
        const CellWrite& write = m_writes[step.index];
        write.rows.for_each([&](int row) {
            if (doc.valid_row(row)) {
                write.after.write_to(doc.rows[static_cast<std::size_t>(row)]);
            }
        });
    }
    if (m_presentations) {
        doc.pres_names = m_presentations->second.names;
        doc.pres_count = m_presentations->second.count;
    }
    if (m_metadata) {
        doc.metadata = m_metadata->second;
        doc.view().metadata_changed(doc.metadata);
    }
}

void DocumentEdit::revert(Document& doc) const
{
    if (m_metadata) {
        doc.metadata = m_metadata->first;
        doc.view().metadata_changed(doc.metadata);
    }
    if (m_presentations) {
        doc.pres_names = m_presentations->first.names;
        doc.pres_count = m_presentations->first.count;
    }
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) {
        if (step->kind == StepKind::WholeRows) {
            const RowsReplaced& replaced = m_replaced[step->index];
            for (std::size_t k = 0; k < replaced.rows.size(); ++k) {
                if (doc.valid_row(replaced.rows[k])) {
                    doc.rows[static_cast<std::size_t>(replaced.rows[k])] = replaced.before[k];
                }
            }
            continue;
        }
        if (step->kind == StepKind::Patches) {
            const TextPatches& patches = m_patches[step->index];
            for (auto patch = patches.patches.rbegin(); patch != patches.patches.rend(); ++patch) {
                if (doc.valid_row(patch->row)) {
                    doc.rows[static_cast<std::size_t>(patch->row)].overwrite(patch->cell, patch->at,
                        std::string_view(patches.bytes).substr(patch->offset, patch->size));
                }
            }
            continue;
        }
        for (const auto& [rows, values] : m_writes[step->index].before) {
            // A lambda may not name a structured binding before clang 16.
            const RowCells& held = values;
            rows.for_each([&](int row) {
                if (doc.valid_row(row)) {
                    held.write_to(doc.rows[static_cast<std::size_t>(row)]);
                }
            });
        }
    }
    if (m_backward) {
        doc.rows = m_backward->build(doc.rows);
    }
}

bool DocumentEdit::empty() const
{
    return !m_forward && m_steps.empty()
        && (!m_presentations || m_presentations->first == m_presentations->second)
        && (!m_metadata || m_metadata->first == m_metadata->second);
}

void DocumentEdit::replace_row(int row, const StyleRow& before, StyleRow after)
{
    if (after == before) {
        return;
    }
    const bool follows = !m_steps.empty() && m_steps.back().kind == StepKind::WholeRows
        && m_replaced[m_steps.back().index].rows.back() < row;
    if (!follows) {
        m_steps.push_back({ StepKind::WholeRows, m_replaced.size() });
        m_replaced.emplace_back();
    }
    RowsReplaced& replaced = m_replaced.back();
    replaced.rows.push_back(row);
    replaced.before.push_back(before);
    replaced.after.push_back(std::move(after));
}

void DocumentEdit::patch_text(
    int row, StyleCell cell, std::size_t at, std::string_view before, std::string_view after)
{
    if (before == after || before.size() != after.size()
        || at > std::numeric_limits<std::uint32_t>::max()) {
        return;
    }
    if (m_steps.empty() || m_steps.back().kind != StepKind::Patches) {
        m_steps.push_back({ StepKind::Patches, m_patches.size() });
        m_patches.emplace_back();
    }
    TextPatches& patches = m_patches.back();
    patches.patches.push_back({ row, cell, static_cast<std::uint32_t>(at),
        static_cast<std::uint32_t>(patches.bytes.size()),
        static_cast<std::uint32_t>(before.size()) });
    patches.bytes += before;
    patches.bytes += after;
}

void DocumentEdit::write_rows(
    const std::vector<StyleRow>& table, const std::vector<int>& rows, const RowCells& values)
{
    CellWrite write;
    write.after = values;
    // Rows that held the same values before share one copy of them.
    std::map<RowCells, std::size_t> groups;
    for (const int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= table.size()) {
            continue;
        }
        RowCells now(table[static_cast<std::size_t>(row)], values.cells());
        if (now == values) {
            continue;
        }
        write.rows.add(row);
        const auto [group, added] = groups.try_emplace(now, write.before.size());
        if (added) {
            write.before.emplace_back(RowSet(), std::move(now));
        }
        write.before[group->second].first.add(row);
    }
    if (!write.rows.empty()) {
        m_steps.push_back({ StepKind::Cells, m_writes.size() });
        m_writes.push_back(std::move(write));
    }
}

void DocumentEdit::reorder(
    const std::vector<StyleRow>& table, const std::vector<int>& order, std::vector<StyleRow> added)
{
    const int n = static_cast<int>(table.size());
    bool same = order.size() == table.size() && added.empty();
    for (std::size_t p = 0; same && p < order.size(); ++p) {
        same = order[p] == static_cast<int>(p);
    }
    if (same) {
        return;
    }
    const auto extend = [](RowOrder& into, int from) {
        auto& pieces = into.pieces;
        if (!pieces.empty()) {
            RowOrder::Piece& last = pieces.back();
            if ((from < 0 && last.from < 0)
                || (from >= 0 && last.from >= 0 && last.from + last.count == from)) {
                ++last.count;
                return;
            }
        }
        pieces.push_back({ from, 1 });
    };

    RowOrder forward;
    std::vector<int> new_position(table.size(), -1);
    for (std::size_t p = 0; p < order.size(); ++p) {
        const int from = order[p] >= 0 && order[p] < n ? order[p] : -1;
        if (from >= 0) {
            new_position[static_cast<std::size_t>(from)] = static_cast<int>(p);
        }
        extend(forward, from);
    }
    forward.added = std::move(added);

    RowOrder backward;
    for (int i = 0; i < n; ++i) {
        const int at = new_position[static_cast<std::size_t>(i)];
        if (at < 0) {
            backward.added.push_back(table[static_cast<std::size_t>(i)]);
        }
        extend(backward, at);
    }
    m_forward = std::move(forward);
    m_backward = std::move(backward);
}

void DocumentEdit::set_presentations(PresentationList before, PresentationList after)
{
    m_presentations.emplace(std::move(before), std::move(after));
}

void DocumentEdit::set_metadata(ThemeMetadata before, ThemeMetadata after)
{
    m_metadata.emplace(std::move(before), std::move(after));
}

bool DocumentEdit::metadata_only() const
{
    return m_metadata && !m_forward && m_steps.empty() && !m_presentations;
}

bool DocumentEdit::merge(const DocumentEdit& later)
{
    if (!metadata_only() || !later.metadata_only()) {
        return false;
    }
    m_metadata->second = later.m_metadata->second;
    return true;
}

EditSink apply_to(Document& doc)
{
    return [&doc](DocumentEdit edit, std::string) {
        edit.apply(doc);
        doc.modified = true;
    };
}

DocumentEdit metadata_edit(const Document& doc, const ThemeMetadata& metadata)
{
    DocumentEdit edit;
    if (metadata != doc.metadata) {
        edit.set_metadata(doc.metadata, metadata);
    }
    return edit;
}

} // namespace tintwell
