#pragma once

#include "colour/colour_codes.h"
#include "colour/colour_science.h"
#include "model/document.h"
#include "model/row_selection.h"
#include "render/canvas.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
/// Selected samples: their box is edged and their caption is written on a band in this colour.
inline constexpr ColourValue selected_color = 0xD77800; // RGB(0,120,215)
inline constexpr ColourValue selected_caption_color = 0xFFFFFF;

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
    /// Laid out; a row hidden from the preview has an empty box and caption.
    bool shown = false;
    /// Position in the layout order, -1 when hidden.
    int position = -1;
    /// Rows of the same presentation (by its name without the blanks round it) share it.
    int presentation = 0;
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

/// A small mark in the top-right corner of a sample box, in the colour of how serious what it
/// marks is. It lies where no band, block or arrow of any sample reaches (the corner 5 × 5
/// pixels of the design, at the sample's zoom), so it covers nothing the sample shows.
enum class SampleMark : std::uint8_t { None, Info, Warning, Error };

/// The colour a mark is drawn in; -1 for None.
ColourValue mark_colour(SampleMark mark);

/// The colour as a person with the deficiency sees it; normal vision sees it as it is.
ColourValue seen_with(ColourValue colour, colour::Vision vision);

/// The map that makes a canvas draw as `vision` sees; empty for normal vision, so the drawing
/// is exactly what it is without one.
ColourMap vision_map(colour::Vision vision);

/// Smallest and largest zoom of the preview; 1 shows the samples at their design size.
inline constexpr double min_zoom = 0.5;
inline constexpr double max_zoom = 4.0;

/// The zoom limited to [min_zoom, max_zoom]; 1 for a value that is not a number.
double clamp_zoom(double zoom);

/// Ways to move from one sample to its neighbour.
enum class Neighbour { Left, Right, Up, Down };

/// The rectangles of a whole preview, computed once per rebuild in one pass over the rows. At a
/// zoom other than 1 every design length and position is multiplied by it (to whole twips);
/// the container width stays what it is, so more or fewer samples fit on a line.
struct PreviewLayout
{
    std::int64_t container_width = preview_metrics::container_width;
    /// At least the visible height; (box + caption height) × 200 while the table has no rows.
    std::int64_t container_height = 0;
    /// Left margin of every band inside a box, and top of the first line (42 at design size);
    /// in the sample's own design twips, whatever the zoom.
    int lead = 0;
    double zoom = 1;
    /// One per row of the table, shown or not, at the row's index.
    std::vector<PreviewRow> rows;
    /// The rows shown, in the order they are laid out: every row in table order unless only
    /// some are shown.
    std::vector<int> order;
    /// Height of every presentation rule; each runs across the whole container width.
    std::vector<std::int64_t> rules;
    /// For each rule, the first row below it (the first of its presentation).
    std::vector<int> rule_rows;

    /// A design length in twips at this layout's zoom.
    std::int64_t zoomed(double design) const;
    /// Shown rows whose box or caption reaches into the band [top, bottom), as [first, last)
    /// positions in `order` (row indices while every row is shown). Rows lie in lines from top
    /// to bottom, so this is a binary search.
    std::pair<int, int> rows_between(std::int64_t top, std::int64_t bottom) const;
    /// The row whose sample box holds the point, or -1.
    int hit_test(std::int64_t x, std::int64_t y) const;
    /// The row whose caption holds the point, or -1.
    int hit_test_caption(std::int64_t x, std::int64_t y) const;
    /// The frame around row's box and caption: 20 twips out on the left and top, and
    /// `extra_width` and caption height + `extra_height` more than the box (all at the zoom).
    /// Nothing for a row that is not shown.
    std::optional<TwipRect> frame_around(
        int row, int extra_width = 40, int extra_height = 40) const;
    /// True when the row's sample is laid out.
    bool shown(int row) const;
    /// The shown sample next to row's: Left and Right go to the one before and after it in
    /// layout order (across the ends of lines), Up and Down to the sample of the line above
    /// or below whose left edge is nearest. -1 when there is none or row is not shown.
    int neighbour(int row, Neighbour direction) const;
    /// The first shown row of a presentation, by the name the presentation list gives it:
    /// in a Car & Zumo theme the catalogue name of the row's presentation code, otherwise the
    /// row's presentation name (blanks round it do not count). -1 when none is shown.
    int first_row_of(const Document& doc, std::string_view presentation) const;
    /// Where a presentation's block starts: the top of the gap holding its rule and heading,
    /// or the top of its first sample when no rule is above it. Nothing when none is shown.
    std::optional<std::int64_t> presentation_top(
        const Document& doc, std::string_view presentation) const;
};

/// The name the presentation list gives a row's presentation: in a Car & Zumo theme the
/// catalogue name of its presentation code, otherwise its presentation name without the blanks
/// round it.
std::string_view listed_presentation(const Document& doc, const StyleRow& row);

/// Lays out every row of the document for a container `container_width` twips wide (inner
/// width) shown in a frame `visible_height` twips high, at `zoom` (limited to its range), and
/// lays out only the rows in `shown`, in that order, when it is given (rows outside the table
/// and repeats are skipped). With `headings`, a Car & Zumo theme's first presentation also
/// starts under a rule, in room left above the first line, so that every presentation can be
/// named. Reads the rows only; classifies them through the element catalogue, which in a
/// Sport & Fitness theme may disable the Edit menu through the document's view, as drawing the
/// preview always has.
PreviewLayout layout_preview(const Document& doc, std::int64_t container_width,
    std::int64_t visible_height, double zoom = 1, const std::vector<int>* shown = nullptr,
    bool headings = false);

/// Lays `layout`'s rows out again for a new width, zoom, set of shown rows or headings, keeping
/// how each row was classified; classifies them anew only when the table's size changed.
void place_rows(PreviewLayout& layout, const Document& doc, std::int64_t container_width,
    std::int64_t visible_height, double zoom, const std::vector<int>* shown, bool headings = false);

/// Draws row `row` of the document as its sample on `box` (a canvas of the sample box's size),
/// as laid out in `laid`. Starts from a fresh drawing state and background. A colour that does
/// not convert draws nothing in that place.
void draw_sample(Canvas& box, const Document& doc, int row, const PreviewRow& laid);

/// Makes an empty canvas of the given pixel size (a QImage-backed one in the program, a
/// recording one in tests).
using CanvasFactory = std::function<std::unique_ptr<Canvas>(int width_px, int height_px)>;

/// One line of a caption: a word too wide for the caption is shrunk onto a line of its own.
struct CaptionLine
{
    std::string text;
    /// Font size in points.
    double size = 0;

    bool operator==(const CaptionLine&) const = default;
};

/// Breaks a caption into lines that fit `width` (in the canvas's unit) in `font` on `measure`:
/// words fill each line; a word wider than the width gets a line of its own in a smaller font
/// that fits it, down to half the size; one that fits not even so is broken between characters.
/// Leaves the canvas's font as it was.
std::vector<CaptionLine> wrap_caption(
    Canvas& measure, std::string_view caption, double width, const CanvasFont& font);

/// Samples drawn once and kept while their row's key and the scale they are drawn at stay the
/// same; `capacity` are kept at scale 1 (all are dropped when more are needed), and as many as
/// hold the same pixels at other scales: a quarter as many at scale 2, never fewer than 32.
class SampleCache
{
public:
    explicit SampleCache(CanvasFactory factory, std::size_t capacity = 1024);

    /// The canvas holding row's sample, drawn now unless kept from before, `scale` image pixels
    /// to each of its pixels (the layout's zoom times the screen's pixel ratio). Null for a row
    /// that is not laid out or not in the document.
    const Canvas* sample(
        const Document& doc, const PreviewLayout& layout, int row, double scale = 1);
    /// The caption of the row broken into lines that fit the caption width on `measure` (in its
    /// caption font at the layout's zoom); kept like the sample.
    const std::vector<CaptionLine>& caption_lines(
        const Document& doc, const PreviewLayout& layout, int row, Canvas& measure);
    void clear() { m_entries.clear(); }
    /// Draws the samples from now on as `vision` sees them; samples drawn for other eyes are
    /// dropped.
    void set_vision(colour::Vision vision);
    std::size_t size() const { return m_entries.size(); }
    /// Number of samples drawn since construction.
    std::size_t samples_drawn() const { return m_samples_drawn; }

private:
    struct Entry
    {
        std::uint64_t key = 0;
        std::unique_ptr<Canvas> canvas;
        bool has_caption = false;
        std::vector<CaptionLine> caption;
    };
    Entry* entry(const Document& doc, const PreviewLayout& layout, int row);
    /// How many samples are kept at the current scale.
    std::size_t room() const;

    CanvasFactory m_factory;
    std::size_t m_capacity;
    double m_scale = 1;
    double m_caption_zoom = 1;
    colour::Vision m_vision = colour::Vision::Normal;
    std::unordered_map<int, Entry> m_entries;
    std::size_t m_samples_drawn = 0;
};

/// What a rebuild of the preview does with the samples drawn before: a change to the theme draws
/// them afresh, a new size or a resize keeps them and redraws them in place.
enum class PlotMode { Fresh, KeepSamples };

/// The state of the main window's preview: its layout, the values other windows read, and the
/// cache of drawn samples.
class Preview
{
public:
    explicit Preview(CanvasFactory factory);

    /// Rebuilds the preview for `container_width` × `visible_height` twips (the container's
    /// inner width and the height of the frame it scrolls in), keeping or dropping the samples
    /// drawn before as `mode` says. Drawing never changes the theme. With rows, the scroll range is
    /// reset (value 0) and a visible frame moves to the row `cur_row`; without rows both are left
    /// as they were. Lays out at the zoom and with the shown rows set below.
    void plot(const Document& doc, PlotMode mode, std::int64_t container_width,
        std::int64_t visible_height);

    /// Lays the rows out again at the current zoom and shown rows, for a new width or height,
    /// without drawing the samples again and without moving the scroll position: the range
    /// follows the new height and the value stays within it. A visible frame moves to the
    /// sample of `cur_row`, and is hidden when that row is not shown.
    void relayout(const Document& doc, std::int64_t container_width, std::int64_t visible_height);

    /// The zoom of the samples, min_zoom to max_zoom (1 is the design size). A new zoom takes
    /// effect at the next plot or relayout.
    void set_zoom(double zoom);
    double zoom() const { return m_zoom; }

    /// Shows only these rows, in this order, from the next plot or relayout on (rows outside the
    /// table are skipped). The caller sets them again when the table changes.
    void show_only(std::vector<int> rows);
    /// Shows every row again.
    void show_all();
    /// The rows set by `show_only`, or null while every row is shown.
    const std::vector<int>* shown_rows() const { return m_filtered ? &m_shown : nullptr; }

    /// Draws the whole preview as a person with the deficiency sees it, from the next paint on;
    /// Normal draws it as it is.
    void set_vision(colour::Vision vision);
    colour::Vision vision() const { return m_vision; }

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
    /// Each presentation's name is written on the rule above it, the first presentation's too
    /// (its rule is laid out only then). Off unless turned on; takes effect at the next plot or
    /// relayout.
    bool headings = false;
    /// The mark row r's sample carries is marks[r]; rows past the end carry none. Takes effect
    /// at the next paint.
    std::vector<SampleMark> marks;
    /// The selected styles: while it holds more than one, each is drawn edged and with its
    /// caption on a band of `selected_color` (one alone has only the frame). None while null.
    /// Not owned; takes effect at the next paint.
    const RowSelection* selection = nullptr;

private:
    void set_scroll_range(std::int64_t visible_height);

    PreviewLayout m_layout;
    double m_zoom = 1;
    colour::Vision m_vision = colour::Vision::Normal;
    bool m_filtered = false;
    std::vector<int> m_shown;
    int m_drawn_count = 0;
    std::vector<std::uint8_t> m_poly_rows;
    SampleCache m_cache;
};

/// The caption font: Arial 7.8 pt, normal weight, at zoom 1; its size grows with the zoom.
CanvasFont caption_font(double zoom = 1);

/// Paints the part `visible` of the container onto `target`, whose top-left pixel shows the
/// container point (visible.left, visible.top): background, presentation rules (with their
/// headings when the preview has them on), the samples and captions that reach into `visible`
/// (drawn through the cache at the layout's zoom times the target's scale) with their marks
/// and the look of the selected ones, and the selection frame when it is visible, all as the
/// preview's vision sees them. Leaves `target` in twips, with the colour map it had.
void paint_preview(Canvas& target, const Document& doc, Preview& preview, const TwipRect& visible);

} // namespace tintwell
