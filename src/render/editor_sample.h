#pragma once

#include "colour/colour_codes.h"
#include "model/document.h"
#include "render/canvas.h"

#include <array>
#include <optional>
#include <string>

namespace tintwell {

/// A rectangle of the style editor's sample, in twips.
struct SampleRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int bottom() const { return top + height; }
    bool contains(int x, int y) const
    {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
    bool operator==(const SampleRect&) const = default;
};

/// One coloured bar of the sample. Like a label, it keeps its colour and place until a redraw
/// sets them again.
struct SampleBar
{
    SampleRect rect;
    ColourValue colour = 0;
    /// Opacity, 0 to 255: a Sport & Fitness colour's transparency digits; drawn over a
    /// checkerboard below 255.
    int alpha = 255;
    bool visible = true;
};

/// What the style editor's sample is drawn from: the working colours and the values of its
/// boxes as they are at the moment of drawing.
struct SampleInput
{
    ThemeKind kind = ThemeKind::CarZumo;
    /// 0 day, 1 night.
    int night_mode = 0;
    /// The style's field name; "TRAIL", "RAILRD" and "ARRW" in it choose rails and arrows.
    std::string field_name;
    std::string ed_pri_day;
    std::string ed_sec_day;
    std::string ed_pri_night;
    std::string ed_sec_night;
    /// Border width and scale as typed (empty: 0).
    std::string border_text;
    std::string scale_text;
    /// "Border" ticked.
    bool border_on = true;
    /// The border width box is shown (Sport & Fitness night borders follow it).
    bool border_box_visible = true;
    /// Set for an area style. A line style with an empty scale is drawn at scale 1.
    bool is_pgon = false;
    /// 1 line colour picked, 0 border colour, 3 polygon fill.
    int target = 1;
    /// Size of the sample picture in twips.
    int width = 9450;
    int height = 7332;
    /// Height of a marker label in twips.
    int marker_height = 390;
};

/// The sample as the editor shows it: the body bar `scale_`, the border bars `bord` above and
/// below it, the outline `Shape1` and the two ">" markers `Label5`.
struct EditorSample
{
    enum class Form { Line, Polygon, Rail, Arrow };

    Form form = Form::Line;
    SampleBar scale_;
    std::array<SampleBar, 2> bord;
    SampleBar Shape1;
    /// Markers: only their tops are laid out here; the left comes from the window.
    std::array<int, 2> marker_top {};
    std::array<bool, 2> marker_visible { false, false };
    bool is_pgon = false;
    bool rail = false;
    bool trail = false;
    bool arrow_style = false;
};

/// Border bar height and body height in whole twips: 800 times the border width and the scale,
/// 0 for an empty text.
int sample_border_height(const std::string& border_text);
int sample_body_height(const std::string& scale_text);

/// Lays out and colours the sample from the working values, keeping any colour or place the
/// step for the style's form leaves alone. Rails ("TRAIL", "RAILRD") are three bars side by
/// side, arrows ("ARRW") are drawn by plotarw, an area without a scale fills the sample less
/// 200 twips on each side, any other style is a body (scale 1 when its scale is empty) with a
/// border bar above and below.
/// A Sport & Fitness area fills the sample the same way with its fill colour, framed 120 twips
/// wide in its border colour (in `bord`(0)) when that converts. A colour text that does not
/// convert leaves that bar's colour as it was.
void plot_line(const SampleInput& in, EditorSample& sample);

/// Points the markers at the bar being coloured: one marker level with the middle of the body
/// for the line colour (`target` 1), two at the middles of the border bars otherwise. Areas,
/// "RAILRD" rails and arrows keep their markers where they are.
void plot_markers(int target, EditorSample& sample, int marker_height);

/// Draws the sample of a line, rail or area (not an arrow) on the canvas in twips: the
/// background RGB(240,240,240), the border bars, the body on top and the outline in black.
void draw_editor_sample(Canvas& canvas, const EditorSample& sample);

/// Draws the arrow sample: filled with `fill_text`, outlined in `border_text`, sized by the scale
/// (3.5 - scale divides the canvas width; an empty scale is 1) and outlined by twice the border
/// width. A colour that does not convert is not drawn.
void plotarw(Canvas& canvas, const std::string& fill_text, const std::string& border_text,
    const std::string& scale_text, const std::string& border_width_text, ThemeKind kind);

} // namespace tintwell
