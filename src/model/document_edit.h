#pragma once

#include "model/document.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

/// The cells of a style row, one bit each.
enum class Cell : std::uint16_t {
    PresCode = 1 << 0,
    PriDay = 1 << 1,
    PriNight = 1 << 2,
    SecDay = 1 << 3,
    SecNight = 1 << 4,
    ElemName = 1 << 5,
    FieldName = 1 << 6,
    BgWidth = 1 << 7,
    FgWidth = 1 << 8,
    Scale = 1 << 9,
    Border = 1 << 10,
    PresName = 1 << 11,
    StyleText = 1 << 12,
    NwfBorder = 1 << 13,
};

/// A set of cells, as the bits of `Cell`.
using CellSet = std::uint16_t;

constexpr CellSet operator|(Cell a, Cell b)
{
    return static_cast<CellSet>(static_cast<CellSet>(a) | static_cast<CellSet>(b));
}
constexpr CellSet operator|(CellSet a, Cell b)
{
    return static_cast<CellSet>(a | static_cast<CellSet>(b));
}

/// The cells in which two rows differ.
CellSet changed_cells(const StyleRow& a, const StyleRow& b);

/// The values of some of the cells of a row.
class RowCells
{
public:
    RowCells() = default;
    /// The cells of `row` named in `cells`.
    RowCells(const StyleRow& row, CellSet cells);

    CellSet cells() const { return m_cells; }
    /// Writes the values into their cells of `row`; the other cells stay.
    void write_to(StyleRow& row) const;

    bool operator==(const RowCells&) const = default;
    std::strong_ordering operator<=>(const RowCells& other) const;

private:
    CellSet m_cells = 0;
    /// The values of `m_cells`; every other cell is empty or 0.
    StyleRow m_values;
};

/// Row positions in increasing order, kept as runs of equal steps: the rows of one element in
/// every presentation of a theme (3, 51, 99, ...) take one run however many there are.
class RowSet
{
public:
    /// Adds `row`, which must lie after every row added before.
    void add(int row);
    bool empty() const { return m_runs.empty(); }
    std::size_t size() const;

    template <typename F> void for_each(F&& f) const
    {
        for (const Run& run : m_runs) {
            for (int k = 0; k < run.count; ++k) {
                f(run.first + k * run.step);
            }
        }
    }

    bool operator==(const RowSet&) const = default;

private:
    struct Run
    {
        int first = 0;
        int step = 1;
        int count = 0;
        bool operator==(const Run&) const = default;
    };
    std::vector<Run> m_runs;
};

/// The presentation names of a document and their count, as they stand.
struct PresentationList
{
    std::vector<std::string> names;
    int count = 0;

    bool operator==(const PresentationList&) const = default;
};

PresentationList presentation_list(const Document& doc);

/// One change to the open theme, with what it takes to undo it: cells written into rows (one copy
/// of values that many rows share), rows replaced whole, bytes written over bytes of rows' texts,
/// rows inserted, removed or put in a new order, the presentation list and the metadata. An edit
/// holds what changed, not the table. `apply` and `revert` leave the document exactly as it was after and before the change;
/// neither touches `modified`, which is the caller's (see EditSink).
class DocumentEdit
{
public:
    /// Makes the change. `doc` must be as it was when the edit was made, or as `revert` left it.
    void apply(Document& doc) const;
    /// Takes the change back. `doc` must be as `apply` left it.
    void revert(Document& doc) const;
    /// True when the edit changes nothing.
    bool empty() const;
    /// True when the edit changes cells of rows or the rows themselves (their number or order).
    bool changes_rows() const { return m_forward || !m_steps.empty(); }
    /// True when the edit sets the presentation list.
    bool changes_presentations() const { return m_presentations.has_value(); }
    /// Where the rows come from when the edit is applied (or reverted, with `reverting`): for
    /// each row of the new table its position in the table before, or -1 for a row the change
    /// brings in. Nothing when every row keeps its position.
    std::optional<std::vector<int>> row_origins(bool reverting = false) const;

    // Building an edit. A new order of the rows comes first; cell changes name the rows by their
    // positions in the table after it.

    /// Row `row` goes from `before` to `after`. Rows replaced one after another in increasing
    /// positions make one block, which a change of many thousands of rows needs to be quick.
    void replace_row(int row, const StyleRow& before, StyleRow after);
    /// In row `row` the text of `cell` holds `before` from position `at`; the change writes
    /// `after`, of the same size, there. Patches made one after another are kept together, a few
    /// bytes each: new colour digits in many thousands of styles.
    void patch_text(
        int row, StyleCell cell, std::size_t at, std::string_view before, std::string_view after);
    /// Every row of `rows` (increasing positions in `table`) takes `values`. `table` holds the
    /// rows as they are before this change; rows that already hold the values are left out.
    void write_rows(
        const std::vector<StyleRow>& table, const std::vector<int>& rows, const RowCells& values);
    /// The table becomes `order`: for each new row the position in `table` of the row it was,
    /// or -1 for the next row of `added`. Rows of `table` that `order` does not name are removed.
    void reorder(const std::vector<StyleRow>& table, const std::vector<int>& order,
        std::vector<StyleRow> added);
    void set_presentations(PresentationList before, PresentationList after);
    void set_metadata(ThemeMetadata before, ThemeMetadata after);

    /// Takes over `later`, a change made right after this one, when both change the metadata and
    /// nothing else (keystrokes in one field make one step). False, and nothing changes, otherwise.
    bool merge(const DocumentEdit& later);

private:
    // A new table made of runs of the old one and of rows the edit brings in.
    struct RowOrder
    {
        struct Piece
        {
            /// Position of the first row in the old table; -1 for rows of `added`.
            int from = 0;
            int count = 0;
        };
        std::vector<Piece> pieces;
        std::vector<StyleRow> added;

        std::vector<StyleRow> build(std::vector<StyleRow>& old) const;
    };
    // The same values written into a set of rows, and the values those rows held, grouped by
    // value.
    struct CellWrite
    {
        RowSet rows;
        RowCells after;
        std::vector<std::pair<RowSet, RowCells>> before;
    };

    // Whole rows put in place of others, in increasing positions.
    struct RowsReplaced
    {
        std::vector<int> rows;
        std::vector<StyleRow> before;
        std::vector<StyleRow> after;
    };
    // Bytes written over bytes of the same size in the texts of rows; the old and the new bytes
    // of each patch stand one after the other in `bytes` from `offset`.
    struct TextPatches
    {
        struct Patch
        {
            int row;
            StyleCell cell;
            std::uint32_t at;
            std::uint32_t offset;
            std::uint32_t size;
        };
        std::vector<Patch> patches;
        std::string bytes;
    };
    // A step of the cell changes, in the order they are made, and where it is kept.
    enum class StepKind : std::uint8_t { Cells, WholeRows, Patches };
    struct CellStep
    {
        StepKind kind = StepKind::Cells;
        std::size_t index = 0;
    };

    bool metadata_only() const;

    std::optional<RowOrder> m_forward;
    std::optional<RowOrder> m_backward;
    std::vector<CellWrite> m_writes;
    std::vector<RowsReplaced> m_replaced;
    std::vector<TextPatches> m_patches;
    std::vector<CellStep> m_steps;
    std::optional<std::pair<PresentationList, PresentationList>> m_presentations;
    std::optional<std::pair<ThemeMetadata, ThemeMetadata>> m_metadata;
};

/// Where a dialog hands its change: the edit and a short description of it ("Apply ROAD
/// INTERSTATE", "Remove Presentation"). The program's own sink either applies it at once or
/// keeps it as a step that can be undone.
using EditSink = std::function<void(DocumentEdit edit, std::string description)>;

/// The sink that applies every edit to `doc` at once and marks the theme modified (also for an
/// edit that changes nothing, as an Apply always does). `doc` must outlive the sink.
EditSink apply_to(Document& doc);

/// An edit, or the message that refuses it. No edit and no message: there was nothing to do on.
struct EditOutcome
{
    std::optional<DocumentEdit> edit;
    std::string message;
};

/// The change of the metadata to `metadata`.
DocumentEdit metadata_edit(const Document& doc, const ThemeMetadata& metadata);

} // namespace tintwell
