#include "render/editor_sample.h"

#include "model/text.h"
#include "render/arrow.h"

#include <cmath>

namespace tintwell {

namespace {

constexpr ColourValue sample_background = 0xF0F0F0;
constexpr int margin = 200;
// The border bars overlap the body by this much, so no gap shows between them.
constexpr int overlap = 60;
// How wide a Sport & Fitness area's border shows round its fill.
constexpr int area_border = 120;

int twips_of(const std::string& value_text)
{
    if (value_text.empty()) {
        return 0;
    }
    return round_even(text::val(value_text) * 800);
}

void set_colour(SampleBar& bar, const std::string& colour, ThemeKind kind)
{
    if (const auto value = hex_to_value(colour, kind)) {
        bar.colour = *value;
        // The working colours of a Sport & Fitness style carry their transparency digits.
        bar.alpha = kind == ThemeKind::SportFitness ? nwf_alpha(colour) : 255;
    }
}

struct Area
{
    int hb = 0;
    int hs = 0;
    int top = 0;
    int left = margin;
    int width = 0;
};

// Body and border heights and the place of the body. An area without a scale fills the picture;
// a line without one shows the device's default width, scale 1.
Area layout_area(const SampleInput& in, EditorSample& s)
{
    Area a;
    a.hb = sample_border_height(in.border_text);
    a.hs = sample_body_height(in.scale_text);
    if (!s.is_pgon && text::trim(in.scale_text).empty()) {
        a.hs = sample_body_height("1");
    }
    if (s.is_pgon && a.hs == 0) {
        a.top = margin;
        a.hb = a.hs = in.height - 2 * margin;
    } else {
        a.top = round_even(in.height / 2.0 - a.hs / 2.0);
    }
    a.width = in.width - 2 * margin;
    return a;
}

void plotrail(const SampleInput& in, EditorSample& s)
{
    s.form = EditorSample::Form::Rail;
    s.marker_visible = { false, false };
    const Area a = layout_area(in, s);
    const bool night = in.night_mode == 1;
    if (!s.is_pgon) {
        // A rail without a border colour shows its body alone, not bars in a stale colour.
        const std::string& border = night ? in.ed_sec_night : in.ed_sec_day;
        const bool has_border = !border.empty() && hex_to_value(border, in.kind).has_value();
        for (auto& bar : s.bord) {
            set_colour(bar, border, in.kind);
            bar.visible = has_border;
        }
    } else {
        s.bord[0].visible = s.bord[1].visible = false;
    }
    set_colour(s.scale_, night ? in.ed_pri_night : in.ed_pri_day, in.kind);
    s.scale_.visible = true;
    const int third = round_even(a.width / 3.0);
    s.bord[0].rect = { a.left, a.top, third, a.hs };
    s.scale_.rect = { a.left + third, a.top, third, a.hs };
    s.bord[1].rect = { a.left + round_even(2.0 * a.width / 3.0), a.top, third, a.hs };
    s.Shape1.visible = false;
}

} // namespace

int sample_border_height(const std::string& border_text)
{
    return twips_of(border_text);
}

int sample_body_height(const std::string& scale_text)
{
    return twips_of(scale_text);
}

void plot_line(const SampleInput& in, EditorSample& s)
{
    s.is_pgon = in.is_pgon;
    s.arrow_style = false;
    s.rail = s.trail = false;
    const bool night = in.night_mode == 1;
    const bool sport = in.kind == ThemeKind::SportFitness;

    // A Sport & Fitness area fills the picture, as any area does, framed in its border colour.
    if (s.is_pgon && sport) {
        s.form = EditorSample::Form::Polygon;
        const SampleRect area { margin, margin, in.width - 2 * margin, in.height - 2 * margin };
        const std::string& border = night ? in.ed_sec_night : in.ed_sec_day;
        set_colour(s.bord[0], border, in.kind);
        s.bord[0].rect = area;
        s.bord[0].visible = !border.empty() && hex_to_value(border, in.kind).has_value();
        s.bord[1].visible = s.Shape1.visible = false;
        set_colour(s.scale_, night ? in.ed_pri_night : in.ed_pri_day, in.kind);
        s.scale_.rect = s.bord[0].visible ? SampleRect { area.left + area_border,
            area.top + area_border, area.width - 2 * area_border, area.height - 2 * area_border }
                                          : area;
        s.scale_.visible = true;
        s.marker_visible = { false, false };
        return;
    }

    const std::string field = text::upper(in.field_name);
    if (text::contains(field, "TRAIL")) {
        s.trail = true;
        plotrail(in, s);
        return;
    }
    if (text::contains(field, "RAILRD")) {
        s.rail = true;
        plotrail(in, s);
        return;
    }
    if (text::contains(field, "ARRW")) {
        s.arrow_style = true;
        s.form = EditorSample::Form::Arrow;
        s.scale_.visible = s.bord[0].visible = s.bord[1].visible = s.Shape1.visible = false;
        s.marker_visible = { false, false };
        return;
    }

    const Area a = layout_area(in, s);
    if (!s.is_pgon) {
        if (!night) {
            if (!in.ed_sec_day.empty()) {
                set_colour(s.bord[0], in.ed_sec_day, in.kind);
                set_colour(s.bord[1], in.ed_sec_day, in.kind);
            }
            const bool shown = sport ? !in.ed_sec_day.empty() : in.border_on;
            s.bord[0].visible = s.bord[1].visible = shown;
        } else {
            set_colour(s.bord[0], in.ed_sec_night, in.kind);
            set_colour(s.bord[1], in.ed_sec_night, in.kind);
            const bool shown = sport ? in.border_box_visible : in.border_on;
            s.bord[0].visible = s.bord[1].visible = shown;
        }
    }
    // An area shows its fill in the body by day as by night, in both theme kinds.
    set_colour(s.scale_, night ? in.ed_pri_night : in.ed_pri_day, in.kind);
    s.scale_.visible = true;

    s.scale_.rect = { a.left, a.top, a.width, a.hs };
    if (s.is_pgon) {
        s.form = EditorSample::Form::Polygon;
        s.bord[0].visible = s.bord[1].visible = s.Shape1.visible = false;
        return;
    }
    s.form = EditorSample::Form::Line;
    s.bord[0].rect = { a.left, a.top - a.hb, a.width, a.hb + overlap };
    s.bord[1].rect = { a.left, a.top + a.hs - overlap, a.width, a.hb };
    plot_markers(in.target, s, in.marker_height);
    s.Shape1.rect = { a.left, s.bord[0].rect.top, a.width, 2 * a.hb + a.hs };
    s.Shape1.colour = 0;
    s.Shape1.visible = true;
}

void plot_markers(int target, EditorSample& s, int marker_height)
{
    if (s.is_pgon || s.rail || s.trail || s.arrow_style) {
        return;
    }
    const auto centre_on = [&](const SampleBar& bar) {
        return bar.rect.top + bar.rect.height / 2 - marker_height / 2;
    };
    if (target == 1) {
        s.marker_top[0] = centre_on(s.scale_);
        s.marker_visible[1] = false;
        return;
    }
    s.marker_top[0] = centre_on(s.bord[0]);
    s.marker_top[1] = centre_on(s.bord[1]);
    s.marker_visible = { true, true };
}

void draw_editor_sample(Canvas& canvas, const EditorSample& s)
{
    canvas.state.scale_mode = ScaleMode::Twips;
    canvas.state.back_color = sample_background;
    canvas.state.draw_width = 1;
    canvas.state.draw_style = DrawStyle::Solid;
    canvas.cls();
    const double px = twips_per_pixel;
    const auto fill = [&](const SampleBar& bar) {
        if (bar.visible && bar.rect.width > 0 && bar.rect.height > 0) {
            const SampleRect& r = bar.rect;
            canvas.translucent_box(
                r.left, r.top, r.left + r.width - px, r.top + r.height - px, bar.colour, bar.alpha);
        }
    };
    if (s.form == EditorSample::Form::Arrow) {
        return;
    }
    fill(s.bord[0]);
    fill(s.bord[1]);
    fill(s.scale_);
    if (s.Shape1.visible) {
        const SampleRect& r = s.Shape1.rect;
        canvas.line(r.left, r.top, r.left + r.width - px, r.top + r.height - px, s.Shape1.colour,
            LineForm::Box);
    }
}

void plotarw(Canvas& canvas, const std::string& fill_text, const std::string& border_text,
    const std::string& scale_text, const std::string& border_width_text, ThemeKind kind)
{
    const ColourValue fill = hex_to_value(fill_text, kind).value_or(-1);
    const ColourValue border = hex_to_value(border_text, kind).value_or(-1);
    // An arrow written without a scale is drawn at the default scale 1.
    const double scale = text::trim(scale_text).empty() ? 1.0 : text::val(scale_text);
    float k = 3.5f - static_cast<float>(scale);
    float b = 2 * static_cast<float>(text::val(border_width_text));
    canvas.state.back_color = sample_background;
    draw_arrow(canvas, fill, border, k, b);
}

} // namespace tintwell
