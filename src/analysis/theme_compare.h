#pragma once

#include "model/document.h"
#include "model/document_edit.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What differs between two themes of one kind, and taking one difference over from the second
// theme into the first. The first theme (A) is the older or the open one, the second (B) the
// newer or the other one.
namespace tintwell {

/// A value of a row that a comparison looks at.
enum class RowValue {
    BodyDay,
    BodyNight,
    BorderDay,
    BorderNight,
    /// Car & Zumo only.
    Scale,
    /// Car & Zumo: the border value. Sport & Fitness: the transparency prefix of the border by day.
    Border,
    /// Sport & Fitness only, as the next three: the transparency prefix of the border by night.
    NightBorder,
    BgWidth,
    FgWidth,
    StyleText,
};

/// One value of a row that differs: the cell texts as the two themes hold them (a Car & Zumo cell
/// a save leaves out as empty).
struct ValueChange
{
    RowValue value = RowValue::BodyDay;
    std::string from;
    std::string to;

    bool operator==(const ValueChange&) const = default;
};

enum class RowChangeKind { OnlyInA, OnlyInB, Changed };

/// A row that only one theme has, or that both have with different values.
struct RowChange
{
    RowChangeKind kind = RowChangeKind::Changed;
    /// The row in A, -1 for a row only in B.
    int row_a = -1;
    /// The row in B, -1 for a row only in A.
    int row_b = -1;
    /// For a row only in B: where in A it would stand, among the rows that surround it in B.
    int insert_at = -1;
    /// The row's presentation (empty in a Sport & Fitness theme) and field name, as the theme
    /// that has it holds them; `occurrence` tells the rows of one field in one presentation apart
    /// (0 for the first), and `repeated` says whether either theme has more than one of them.
    std::string pres_name;
    std::string field_name;
    int occurrence = 0;
    bool repeated = false;
    /// The values that differ, in RowValue order; empty for a row only in one theme.
    std::vector<ValueChange> values;
};

enum class MetadataField { Title, Description, Locale, Version };

struct MetadataChange
{
    MetadataField field = MetadataField::Title;
    std::string from;
    std::string to;
};

struct ThemeComparison
{
    /// Why the themes could not be compared; empty when they were, and only then is the rest set.
    std::string error;
    std::vector<MetadataChange> metadata;
    /// In the order of A's rows, each row only in B where it would stand in A.
    std::vector<RowChange> rows;
    /// For each row of A, the row of B it was matched with, or -1 for a row only in A.
    std::vector<int> matches;

    bool same() const { return error.empty() && metadata.empty() && rows.empty(); }
};

/// True for a colour cell that holds no colour: empty or "-1", blanks around aside.
bool holds_no_colour(std::string_view cell);

/// Compares two themes of the same kind. Rows are matched by presentation and field name, the
/// n-th row of a field in a presentation with the n-th of the other theme (names compared
/// without surrounding blanks and case; a Sport & Fitness theme is one list). Matched rows are
/// compared value by value: colours as colours (case and transparency prefix aside; "-1" and an
/// empty cell are both no colour) and the other values as texts. A Car & Zumo theme is saved from
/// the cells, so they count as a save writes them (a colour a save leaves out counts as none, a
/// border "0" as none), with scale and border; a Sport & Fitness theme is saved from the style
/// texts, so these count too (without case, blanks and line breaks), with the widths and the
/// border transparency; as every other value is read from the text, the text is listed only when
/// it is all that differs. The order of rows within a presentation is not compared. Themes of
/// different kinds give only an error.
ThemeComparison compare_themes(const Document& a, const Document& b);

/// Why two themes cannot be compared (they are of different kinds), or empty when they can.
std::string comparison_error(const Document& a, const Document& b);

/// The metadata fields that differ, in MetadataField order.
std::vector<MetadataChange> compare_metadata(const Document& a, const Document& b);

/// The rows compare_themes lists, found one at a time and in its order without holding them, so
/// that two large themes that differ in every row take no more memory than two that do not. The
/// rows are matched once, when made; both themes must outlive it. A walk over themes of different
/// kinds finds nothing (comparison_error says why).
class RowChangeWalk
{
public:
    RowChangeWalk(const Document& a, const Document& b);
    ~RowChangeWalk();
    RowChangeWalk(const RowChangeWalk&) = delete;
    RowChangeWalk& operator=(const RowChangeWalk&) = delete;

    /// Whether any row differs; the walk stops at the first that does.
    bool any() const;
    /// Calls `visit` with each change, valid only during the call, until it returns false.
    void visit(const std::function<bool(const RowChange&)>& visit) const;
    /// For each row of A, the row of B it was matched with, or -1 for a row only in A.
    std::vector<int> matches() const;

private:
    friend ThemeComparison compare_themes(const Document& a, const Document& b);
    struct State;
    std::unique_ptr<State> m_state;
};

/// The metadata value of the field.
const std::string& metadata_value(const ThemeMetadata& metadata, MetadataField field);
std::string& metadata_value(ThemeMetadata& metadata, MetadataField field);

/// The edit that gives theme `a` the side of `b` in `change`, both themes as they were compared:
/// a changed row becomes B's row (keeping A's spelling of the presentation), a row only in B is
/// inserted at `insert_at`, a row only in A is removed; a row that brings a new presentation adds
/// it to the end of A's list, and removing the last row of a presentation takes it off the list.
/// Nothing when the change does not fit the themes (a row out of range or of another
/// presentation or field) or would remove A's last row.
std::optional<DocumentEdit> take_change(
    const Document& a, const Document& b, const RowChange& change);

/// The edit that gives theme `a` B's value of a metadata field; nothing when A no longer holds
/// the value compared.
std::optional<DocumentEdit> take_change(const Document& a, const MetadataChange& change);

/// The text of the undo step: "Take change GUIDANCE MAP_WATER" (presentation and field name; the
/// field name alone in a Sport & Fitness theme), "Take change Title".
std::string take_change_description(const RowChange& change);
std::string take_change_description(const MetadataChange& change);

} // namespace tintwell
