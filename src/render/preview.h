#pragma once

#include "colour/colour_codes.h"
#include "model/document.h"
#include "render/canvas.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The theme preview: one sample box per style row with its caption under it, flowing left to
// right in lines inside the preview container, a purple rule between the presentations of a
// Car & Zumo theme, and the selection frame. Everything here is in twips, in the coordinates of
// the container (its top-left is (0, 0)), unless said otherwise.
namespace tintwell {

/// Design sizes and steps of the preview, in twips.
namespace preview_metrics {
inline constexpr int box_width = 960;
inline constexpr int box_height = 900;
inline constexpr int caption_width = 972;
inline constexpr int caption_height = 600;
inline constexpr int band_length = 790;
/// Scale and border values are multiplied by it.
inline constexpr int unit = 60;
inline constexpr int caption_step = caption_width + 100;
inline constexpr int column_offset = 200;
/// Design width of the container.
inline constexpr int container_width = 11712;
/// Design height of the frame the container scrolls in.
inline constexpr int visible_height = 9360;
} // namespace preview_metrics

inline constexpr ColourValue sample_back_color = 0xFAF5FA; // RGB(250,245,250)
inline constexpr ColourValue container_back_color = 0xF0F0F0; // RGB(240,240,240)
inline constexpr ColourValue caption_color = 0x000000;
inline constexpr ColourValue frame_color = 0x000000;
inline constexpr ColourValue presentation_rule_color = 0x950074; // RGB(116,0,149)

/// An axis-parallel rectangle in twips; right and bottom are exclusive.
struct TwipRect
{
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;

    std::int64_t right() const { return left + width; }
    std::int64_t bottom() const { return top + height; }
    bool contains(std::int64_t x, std::int64_t y) const
    {
        return x >= left && x < right() && y >= top && y < bottom();
    }
    bool intersects(const TwipRect& other) const
    {
        return left < other.right() && other.left < right() && top < other.bottom()
            && other.top < bottom();
    }
    bool operator==(const TwipRect&) const = default;
};

/// How a row is drawn: the first that holds of polygon element, name with "ARRW", name with
/// "RAILRD" or "TRAIL", otherwise a line.
enum class SampleKind { Polygon, Arrow, Rail, Line };

/// One row of the preview as laid out.
struct PreviewRow
{
    /// The sample box (960 × 900) and the caption under it (972 × 600).
    TwipRect box;
    TwipRect caption;
    SampleKind kind = SampleKind::Line;
    /// The style text holds "BG_W" or "FG_W" (a Sport & Fitness style with widths).
    bool width_style = false;
    /// Changes whenever anything the sample or its caption shows changes.
    std::uint64_t key = 0;
};

/// Range and steps of the preview's vertical scroll bar, in twips.
struct ScrollRange
{
    std::int64_t max = 1;
    std::int64_t large_change = 1;
    std::int64_t small_change = 1;
    std::int64_t value = 0;

    bool operator==(const ScrollRange&) const = default;
};

/// The selection frame around the selected sample and its caption.
struct SelectionFrame
{
    bool visible = false;
    TwipRect rect;
};

/// The rectangles of a whole preview, computed once per rebuild in one pass over the rows.
struct PreviewLayout
{
    std::int64_t container_width = preview_metrics::container_width;
    /// At least the visible height; (box + caption height) × 200 while no row is laid out.
    std::int64_t container_height = 0;
    /// Left margin of every band inside a box, and top of the first line (42 at design size).
    int lead = 0;
    std::vector<PreviewRow> rows;
    /// Height of every presentation rule; each runs across the whole container width.
    std::vector<std::int64_t> rules;

    /// Rows whose box or caption reaches into the band [top, bottom), as [first, last). Rows
    /// lie in lines from top to bottom, so this is a binary search.
    std::pair<int, int> rows_between(std::int64_t top, std::int64_t bottom) const;
    /// The row whose sample box holds the point, or -1.
    int hit_test(std::int64_t x, std::int64_t y) const;
    /// The row whose caption holds the point, or -1.
    int hit_test_caption(std::int64_t x, std::int64_t y) const;
    /// The frame around row's box and caption: 20 twips out on three sides, the caption
    /// height + 40 below the box's top edge + box height. Nothing for a row not laid out.
    std::optional<TwipRect> frame_around(int row) const;
};

/// Lays out every row of the document for a container `container_width` twips wide (inner
/// width) shown in a frame `visible_height` twips high. Reads the rows only; classifies them
/// through the element catalogue, which in a Sport & Fitness theme may disable the Edit menu
/// through the document's view, as drawing the preview always has.
PreviewLayout layout_preview(
    const Document& doc, std::int64_t container_width, std::int64_t visible_height);

/// Draws row `row` of the document as its sample on `box` (a canvas of the sample box's size),
/// as laid out in `laid`. Starts from a fresh drawing state and background. A colour that does
/// not convert draws nothing in that place.
void draw_sample(Canvas& box, const Document& doc, int row, const PreviewRow& laid);

/// Makes an empty canvas of the given pixel size (a QImage-backed one in the program, a
/// recording one in tests).
using CanvasFactory = std::function<std::unique_ptr<Canvas>(int width_px, int height_px)>;

/// Samples drawn once and kept while their row's key stays the same; at most `capacity` are
/// kept (all are dropped when more are needed).
class SampleCache
{
public:
    explicit SampleCache(CanvasFactory factory, std::size_t capacity = 1024);

    /// The canvas holding row's sample, drawn now unless kept from before. Null for a row that
    /// is not laid out or not in the document.
    const Canvas* sample(const Document& doc, const PreviewLayout& layout, int row);
    /// The caption of the row broken into lines that fit the caption width on `measure` (in its
    /// caption font); kept like the sample.
    const std::vector<std::string>& caption_lines(
        const Document& doc, const PreviewLayout& layout, int row, Canvas& measure);
    void clear() { m_entries.clear(); }
    std::size_t size() const { return m_entries.size(); }
    /// Number of samples drawn since construction.
    std::size_t samples_drawn() const { return m_samples_drawn; }

private:
    struct Entry
    {
        std::uint64_t key = 0;
        std::unique_ptr<Canvas> canvas;
        bool has_caption = false;
        std::vector<std::string> caption;
    };
    Entry* entry(const Document& doc, const PreviewLayout& layout, int row);

    CanvasFactory m_factory;
    std::size_t m_capacity;
    std::unordered_map<int, Entry> m_entries;
    std::size_t m_samples_drawn = 0;
};

/// The state of the main window's preview: its layout, the values other windows read, and the
/// cache of drawn samples.
class Preview
{
public:
    explicit Preview(CanvasFactory factory);

    /// Rebuilds the preview for `container_width` × `visible_height` twips (the container's
    /// inner width and the height of the frame it scrolls in). Mode 1 redraws the existing
    /// samples in place; any other mode drops every sample drawn before (the caller sets
    /// `plot_arg` to 1 for mode 0). Shortens a day colour text of more than six characters by
    /// its first two, in the table. With rows, the scroll range is reset (value 0) and a visible
    /// frame moves to the row `cur_row`; without rows both are left as they were.
    void plot(Document& doc, int mode, std::int64_t container_width, std::int64_t visible_height);

    const PreviewLayout& layout() const { return m_layout; }
    /// Number of samples the last rebuild made.
    int drawn_count() const { return m_drawn_count; }
    /// Element r is 1 when row r is drawn as a polygon, else 0.
    const std::vector<std::uint8_t>& poly_rows() const { return m_poly_rows; }
    SampleCache& cache() { return m_cache; }

    /// Set whenever an arrow element is drawn, never cleared here; the style editor reads it.
    bool arrow_style = false;
    /// The selection frame; the main window shows and hides it, `plot` moves it.
    SelectionFrame shape4;
    /// Set by `plot`; the main window's scroll bar takes it.
    ScrollRange scroll;

private:
    PreviewLayout m_layout;
    int m_drawn_count = 0;
    std::vector<std::uint8_t> m_poly_rows;
    SampleCache m_cache;
};

/// The caption font: Arial 7.8 pt, normal weight.
CanvasFont caption_font();

/// Paints the part `visible` of the container onto `target`, whose top-left pixel shows the
/// container point (visible.left, visible.top): background, presentation rules, the samples and
/// captions that reach into `visible` (drawn through the cache), and the selection frame when it
/// is visible. Leaves `target` in twips.
void paint_preview(Canvas& target, const Document& doc, Preview& preview, const TwipRect& visible);

} // namespace tintwell
