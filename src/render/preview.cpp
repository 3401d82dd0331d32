#include "render/preview.h"

#include "model/catalogue.h"
#include "model/text.h"
#include "render/arrow.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tintwell {

namespace pm = preview_metrics;

namespace {

constexpr ColourValue polygon_edge = 0xAAAAAA; // RGB(170,170,170)
// Legs of a sample's mark, in pixels of the design: the top-right corner of a box is free of
// every band, block and arrow for 6 pixels in from the right.
constexpr double mark_size = 5;
constexpr ColourValue swatch_edge = 0x6E6E6E; // RGB(110,110,110)
constexpr double half_box = pm::box_height / 2.0;

int lead_of_template()
{
    return round_even((pm::box_width - pm::band_length) / 4.0);
}

std::int64_t round_even_64(double value)
{
    return std::isfinite(value) ? static_cast<std::int64_t>(std::nearbyint(value)) : 0;
}

// An empty colour text converts to nothing, as a malformed one does.
std::optional<ColourValue> convert(std::string_view colour, ThemeKind kind)
{
    if (text::trim_view(colour).empty()) {
        return std::nullopt;
    }
    return hex_to_value(colour, kind);
}

// Keeps the old value when the text does not convert.
void assign(ColourValue& target, std::string_view colour, ThemeKind kind)
{
    if (const auto value = convert(colour, kind)) {
        target = *value;
    }
}

bool has_night(std::string_view style_text)
{
    return text::contains(text::lower(style_text), "night");
}

// A Sport & Fitness colour is drawn with its opacity over a checkerboard; an opaque one, as
// every Car & Zumo colour is, exactly as a filled box.
void fill(
    Canvas& box, double x1, double y1, double x2, double y2, ColourValue colour, int alpha = 255)
{
    box.translucent_box(x1, y1, x2, y2, colour, alpha);
}

void outline(Canvas& box, double x1, double y1, double x2, double y2, ColourValue colour)
{
    box.line(x1, y1, x2, y2, colour, LineForm::Box);
}

// Colours of a sample while it is drawn: the day pair first, then the night pair over it where
// a night colour converts.
struct Pair
{
    ColourValue c1 = -1;
    ColourValue c2 = -1;
    /// Opacities, 0 to 255.
    int a1 = 255;
    int a2 = 255;
};

// The opacities of a row's colours: a Sport & Fitness style text gives them, every other
// colour is opaque.
std::array<int, 4> alphas_of(ThemeKind kind, const StyleRow& r)
{
    return kind == ThemeKind::SportFitness ? nwf_alphas(r.style_text())
                                           : std::array<int, 4> { 255, 255, 255, 255 };
}

int alpha(const std::array<int, 4>& alphas, NwfColour colour)
{
    return alphas[static_cast<std::size_t>(colour)];
}

void draw_polygon_sample(Canvas& box, ThemeKind kind, const Pair& day, int lead)
{
    fill(box, 60, 60, lead + 820, 820, day.c1, day.a1);
    if (kind == ThemeKind::SportFitness) {
        fill(box, 60, 400, lead + 820, 820, day.c2, day.a2);
        outline(box, 60, 400, lead + 820, 820, polygon_edge);
        outline(box, 60, 60, lead + 820, 820, polygon_edge);
    }
}

void draw_night_swatch(Canvas& box, ThemeKind kind, const StyleRow& r, Pair colours)
{
    const double w0 = box.width_twips();
    const double h0 = box.height_twips();
    const std::array<int, 4> alphas = alphas_of(kind, r);
    if (const auto night = convert(r.pri_night(), kind)) {
        fill(box, w0 - 335, h0 - 335, w0 - 135, h0 - 135, *night,
            alpha(alphas, NwfColour::PrimaryNight));
    }
    if (kind == ThemeKind::SportFitness) {
        assign(colours.c2, r.sec_night(), kind);
        fill(box, w0 - 335, h0 - 225, w0 - 135, h0 - 125, colours.c2,
            r.sec_night().empty() ? colours.a2 : alpha(alphas, NwfColour::SecondaryNight));
        outline(box, w0 - 335, h0 - 225, w0 - 135, h0 - 125, swatch_edge);
        outline(box, w0 - 335, h0 - 335, w0 - 135, h0 - 125, swatch_edge);
    }
}

void draw_arrow_sample(Canvas& box, ThemeKind kind, const StyleRow& r, Pair colours)
{
    float k = 1;
    float b = 1;
    draw_arrow(box, colours.c1, colours.c2, k, b);
    assign(colours.c1, r.pri_night(), kind);
    if (!r.sec_night().empty()) {
        assign(colours.c2, r.sec_night(), kind);
    }
    if (has_night(r.style_text())) {
        draw_arrow_small(box, colours.c1, colours.c2, k, b);
    }
}

void draw_rail_band(Canvas& box, double y0, double s, const Pair& c, int lead)
{
    fill(box, lead, y0, lead + 233, y0 + 2 * s, c.c2, c.a2);
    fill(box, lead + 233, y0, lead + 466, y0 + 2 * s, c.c1, c.a1);
    fill(box, lead + 466, y0, lead + pm::band_length, y0 + 2 * s, c.c2, c.a2);
}

void draw_car_zumo_band(
    Canvas& box, double y0, double b, double s, const Pair& c, bool day, int lead)
{
    const double x2 = lead + pm::band_length;
    if (!day || b > 0) {
        fill(box, lead, y0, x2, y0 + b, c.c2);
    }
    fill(box, lead, y0 + b, x2, y0 + b + s, c.c1);
    if (!day || b > 0) {
        fill(box, lead, y0 + b + s, x2, y0 + 2 * b + s, c.c2);
    }
}

struct NwfWidths
{
    bool width_style = false;
    bool has_bg_width = false;
    /// Background and foreground widths in pixels of the device.
    double b = 0;
    double f = 0;
};

// A band drawn from widths: strips of 1.5 × the background width above and below a body of
// 1.5 × the foreground width, in whole image pixels so that every part shows. The band keeps
// to the room from y0 down to `limit` (the end of its half of the box), shrinking evenly when
// it is too wide, and its body is at least one pixel high.
void draw_width_band(
    Canvas& box, double y0, double limit, const NwfWidths& w, bool strips, const Pair& c, int lead)
{
    const double px = twips_per_pixel / box.scale();
    const auto at = [px](int image_pixels) { return image_pixels * px; };
    const int top = round_even(y0 / px);
    const int room = std::max(static_cast<int>(std::floor(limit / px)) - top, 1);
    double strip = strips ? 1.5 * w.b * box.scale() : 0;
    double body = 1.5 * w.f * box.scale();
    if (2 * strip + body > room) {
        const double fit = room / (2 * strip + body);
        strip *= fit;
        body *= fit;
    }
    const int body_px = std::clamp(round_even(body), 1, room);
    int strip_px = std::max(round_even(strip), 0);
    if (2 * strip_px + body_px > room) {
        strip_px = (room - body_px) / 2;
    }
    const double x2 = lead + pm::band_length;
    // Boxes cover their corners, so each ends one image pixel above the next one's top.
    if (!strips) {
        const int half = round_even(half_box / px);
        const int start = std::clamp(top + (half - body_px) / 2, top, top + room - body_px);
        fill(box, lead, at(start), x2, at(start + body_px - 1), c.c1, c.a1);
        return;
    }
    if (strip_px > 0) {
        fill(box, lead, at(top), x2, at(top + strip_px - 1), c.c2, c.a2);
    }
    fill(box, lead, at(top + strip_px), x2, at(top + strip_px + body_px - 1), c.c1, c.a1);
    if (strip_px > 0) {
        const int lower = top + strip_px + body_px;
        fill(box, lead, at(lower), x2, at(lower + strip_px - 1), c.c2, c.a2);
    }
}

void draw_nwf_band(Canvas& box, double y0, double limit, const NwfWidths& w, double b,
    const Pair& c, bool day, int lead)
{
    const double x2 = lead + pm::band_length;
    const bool strips = b != 0 && (!day || w.has_bg_width || !w.width_style);
    if (w.width_style) {
        draw_width_band(box, y0, limit, w, strips, c, lead);
        return;
    }
    const double s = 36;
    if (!strips) {
        fill(box, lead, y0 + 2 * s, x2, y0 + 3 * s, c.c1, c.a1);
    } else {
        fill(box, lead, y0, x2, y0 + b + s, c.c2, c.a2);
        fill(box, lead, y0 + b + s, x2, y0 + b + 3 * s, c.c1, c.a1);
        fill(box, lead, y0 + b + 3 * s, x2, y0 + b + 4 * s, c.c2, c.a2);
    }
}

void draw_band_sample(
    Canvas& box, ThemeKind kind, const StyleRow& r, const PreviewRow& laid, Pair c, int lead)
{
    const bool rail = laid.kind == SampleKind::Rail;
    const bool night = r.pri_night() != "-1";
    const double y_day = night ? 100 : 300;
    const double y_night = rail ? 420 : half_box;
    // A band drawn from widths keeps to half a box of room: the day band to the upper half, the
    // night band to the lower, a lone day band to the half box below its top.
    const double day_limit = night ? half_box : y_day + half_box;
    // A Car & Zumo line without a scale is drawn at the device's default width, scale 1, as a
    // newly added line is; its file text keeps no scale.
    const bool default_width = kind == ThemeKind::CarZumo && text::trim_view(r.scale()).empty();
    const double scale = (default_width ? 1.0 : text::val(r.scale())) * pm::unit;

    if (rail) {
        draw_rail_band(box, y_day, scale, c, lead);
    } else if (kind == ThemeKind::CarZumo) {
        const double b = r.border().empty() ? 0 : text::val(r.border()) * pm::unit;
        draw_car_zumo_band(box, y_day, b, scale, c, true, lead);
    }

    NwfWidths w;
    double day_b = 0;
    double night_b = 0;
    if (!rail && kind == ThemeKind::SportFitness) {
        w.width_style = laid.width_style;
        w.has_bg_width = !r.bg_width().empty();
        if (w.width_style) {
            w.b = text::val(r.bg_width());
            if (w.b < 1) {
                w.b = 0;
            }
            if (w.b > 50) {
                w.b = 50;
            }
            w.f = text::val(r.fg_width());
            if (w.f > 100) {
                w.f = 100;
            }
            day_b = night_b = w.b;
        } else {
            day_b = r.border() == "00" ? 0 : 0.4 * pm::unit;
            night_b = r.nwf_border() == "00" ? 0 : 0.4 * pm::unit;
        }
        draw_nwf_band(box, y_day, day_limit, w, day_b, c, true, lead);
    }

    if (!night) {
        return;
    }
    const std::array<int, 4> alphas = alphas_of(kind, r);
    assign(c.c1, r.pri_night(), kind);
    assign(c.c2, r.sec_night(), kind);
    c.a1 = alpha(alphas, NwfColour::PrimaryNight);
    if (!r.sec_night().empty()) {
        c.a2 = alpha(alphas, NwfColour::SecondaryNight);
    }
    if (rail) {
        draw_rail_band(box, y_night, scale, c, lead);
    } else if (kind == ThemeKind::CarZumo) {
        const double b = r.border().empty() ? 0 : text::val(r.border()) * pm::unit;
        draw_car_zumo_band(box, y_night, b, scale, c, false, lead);
    } else {
        draw_nwf_band(box, y_night, pm::box_height, w, night_b, c, false, lead);
    }
}

std::uint64_t mix(std::uint64_t hash, std::string_view part)
{
    for (const char ch : part) {
        hash = (hash ^ static_cast<unsigned char>(ch)) * 0x100000001b3ULL;
    }
    // A separator that no text holds keeps "ab","c" apart from "a","bc".
    return (hash ^ 0x1FFU) * 0x100000001b3ULL;
}

std::uint64_t row_key(ThemeKind kind, const StyleRow& r, SampleKind sample, bool width_style)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const char flags[] = { static_cast<char>('0' + static_cast<int>(kind)),
        static_cast<char>('0' + static_cast<int>(sample)), width_style ? 'W' : '-',
        sample == SampleKind::Arrow && has_night(r.style_text()) ? 'N' : '-' };
    hash = mix(hash, std::string_view(flags, sizeof flags));
    for (const std::string_view part : { r.pri_day(), r.pri_night(), r.sec_day(), r.sec_night(),
             r.scale(), r.border(), r.nwf_border(), r.bg_width(), r.fg_width(), r.elem_name() }) {
        hash = mix(hash, part);
    }
    // The opacities come from the style text, which the cells above do not follow.
    if (kind == ThemeKind::SportFitness) {
        const std::array<int, 4> alphas = nwf_alphas(r.style_text());
        const char opacity[] = { static_cast<char>(alphas[0]), static_cast<char>(alphas[1]),
            static_cast<char>(alphas[2]), static_cast<char>(alphas[3]) };
        hash = mix(hash, std::string_view(opacity, sizeof opacity));
    }
    return hash;
}

SampleKind classify(const Document& doc, const StyleRow& r)
{
    std::string name(r.elem_name());
    if (pgon(doc, name)) {
        return SampleKind::Polygon;
    }
    if (text::contains(r.elem_name(), "ARRW")) {
        return SampleKind::Arrow;
    }
    if (text::contains(r.elem_name(), "RAILRD") || text::contains(r.elem_name(), "TRAIL")) {
        return SampleKind::Rail;
    }
    return SampleKind::Line;
}

} // namespace

std::string_view listed_presentation(const Document& doc, const StyleRow& r)
{
    if (doc.kind == ThemeKind::CarZumo) {
        return pres_catalogue[static_cast<std::size_t>(std::clamp(r.pres_code / 10, 0, 5))];
    }
    return text::trim_view(r.pres_name());
}

namespace {

double text_width_in(Canvas& measure, std::string_view text, CanvasFont font, double size)
{
    font.size = size;
    measure.state.font = font;
    return measure.text_width(text);
}

// A word shrinks to no less than this part of the caption's font size.
constexpr double smallest_shrink = 0.5;

// The largest size, down to the smallest allowed, at which `word` fits `width`; 0 when it does
// not fit even then. Text is not quite proportional to its size, so the estimate is checked.
double shrunk_size(Canvas& measure, std::string_view word, double width, const CanvasFont& font)
{
    const double smallest = font.size * smallest_shrink;
    const double full = text_width_in(measure, word, font, font.size);
    double size = full > 0 ? font.size * width / full : font.size;
    for (int step = 0; step < 20 && size >= smallest; ++step) {
        if (text_width_in(measure, word, font, size) <= width) {
            return size;
        }
        size *= 0.95;
    }
    return 0;
}

} // namespace

ColourValue mark_colour(SampleMark mark)
{
    switch (mark) {
    case SampleMark::Info:
        return 0xDC6E28; // RGB(40,110,220)
    case SampleMark::Warning:
        return 0x0096F0; // RGB(240,150,0)
    case SampleMark::Error:
        return 0x2828D6; // RGB(214,40,40)
    case SampleMark::None:
        break;
    }
    return -1;
}

ColourValue seen_with(ColourValue colour, colour::Vision vision)
{
    if (colour < 0 || vision == colour::Vision::Normal) {
        return colour;
    }
    const colour::Rgb seen = colour::simulate(
        { static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
            static_cast<std::uint8_t>((colour >> 16) & 0xFF) },
        vision);
    return static_cast<ColourValue>(seen.r) | (static_cast<ColourValue>(seen.g) << 8)
        | (static_cast<ColourValue>(seen.b) << 16);
}

ColourMap vision_map(colour::Vision vision)
{
    if (vision == colour::Vision::Normal) {
        return {};
    }
    return [vision](ColourValue colour) { return seen_with(colour, vision); };
}

std::vector<CaptionLine> wrap_caption(
    Canvas& measure, std::string_view caption, double width, const CanvasFont& font)
{
    const CanvasFont saved = measure.state.font;
    std::vector<CaptionLine> lines;
    std::string line;
    const auto fits = [&](std::string_view text) {
        return text_width_in(measure, text, font, font.size) <= width;
    };
    for (const std::string& word : text::split(caption, " ")) {
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (fits(candidate)) {
            line = candidate;
            continue;
        }
        if (!line.empty()) {
            lines.push_back({ line, font.size });
            line.clear();
        }
        if (fits(word)) {
            line = word;
            continue;
        }
        if (const double size = shrunk_size(measure, word, width, font); size > 0) {
            lines.push_back({ word, size });
            continue;
        }
        // Far too long to shrink legibly: broken between characters, the rest left to go on.
        line = word;
        while (line.size() > 1 && !fits(line)) {
            std::size_t fit = line.size() - 1;
            while (fit > 1 && !fits(std::string_view(line).substr(0, fit))) {
                --fit;
            }
            lines.push_back({ line.substr(0, fit), font.size });
            line.erase(0, fit);
        }
    }
    if (!line.empty()) {
        lines.push_back({ line, font.size });
    }
    measure.state.font = saved;
    return lines;
}

CanvasFont caption_font(double zoom)
{
    return CanvasFont { "Arial", 7.8 * zoom, false };
}

double clamp_zoom(double zoom)
{
    return std::isfinite(zoom) ? std::clamp(zoom, min_zoom, max_zoom) : 1.0;
}

namespace {

// Room above the first line for the first presentation's heading: its rule lies 150 twips above
// the samples, as between presentations, and the heading centred on it stays inside the
// container. Whole pixels, so the samples below stay on the pixels they had.
constexpr std::int64_t first_heading_room = 240;

// Forgets where the rows of the last layout stood.
void clear_placement(PreviewLayout& layout)
{
    for (const int r : layout.order) {
        PreviewRow& row = layout.rows[static_cast<std::size_t>(r)];
        row.shown = false;
        row.position = -1;
        row.box = row.caption = TwipRect {};
    }
    layout.order.clear();
    layout.rules.clear();
    layout.rule_rows.clear();
}

// Places the rows shown (every row when `shown` is null) one after another in lines that wrap at
// the container's width; in a Car & Zumo theme each presentation starts a line of its own under a
// rule. Rows out of range or placed already are left. Returns the top of the last line at design
// size: positions are worked out at design size and zoomed one by one, so zoom 1 is exact.
std::int64_t place_samples(
    PreviewLayout& layout, ThemeKind kind, const std::vector<int>* shown, bool headings)
{
    const std::int64_t lead = layout.lead;
    const std::int64_t box_width = layout.zoomed(pm::box_width);
    const std::int64_t box_height = layout.zoomed(pm::box_height);
    const std::int64_t caption_width = layout.zoomed(pm::caption_width);
    const std::int64_t caption_height = layout.zoomed(pm::caption_height);
    std::int64_t top = lead;
    std::int64_t column = 0;
    int previous_pres = 0;
    const auto place = [&](int i) {
        if (i < 0 || static_cast<std::size_t>(i) >= layout.rows.size()) {
            return;
        }
        PreviewRow& row = layout.rows[static_cast<std::size_t>(i)];
        if (row.shown) {
            return;
        }
        // A line that holds no sample yet does not wrap again: that would only leave it empty.
        if (column > 0
            && layout.container_width - box_width < layout.zoomed(
                   static_cast<double>(lead + pm::column_offset + column * pm::caption_step))) {
            column = 0;
            top += pm::caption_height + pm::box_height + 100;
        }
        if (kind == ThemeKind::CarZumo) {
            const int pres = row.presentation;
            if (!layout.order.empty() && pres != previous_pres) {
                column = 0;
                top += pm::caption_height + pm::box_height + 200;
                layout.rules.push_back(layout.zoomed(static_cast<double>(top - 150)));
                layout.rule_rows.push_back(i);
            } else if (layout.order.empty() && headings) {
                // The first presentation is named too, so a filtered view's first group is.
                top += first_heading_room;
                layout.rules.push_back(layout.zoomed(static_cast<double>(top - 150)));
                layout.rule_rows.push_back(i);
            }
            previous_pres = pres;
        }
        const std::int64_t left = layout.zoomed(
            static_cast<double>(lead + pm::column_offset + column * pm::caption_step));
        const std::int64_t box_top = layout.zoomed(static_cast<double>(top));
        row.box = { left, box_top, box_width, box_height };
        row.caption = { left, box_top + box_height, caption_width, caption_height };
        row.shown = true;
        row.position = static_cast<int>(layout.order.size());
        layout.order.push_back(i);
        ++column;
    };
    if (shown != nullptr) {
        layout.order.reserve(shown->size());
        for (const int i : *shown) {
            place(i);
        }
    } else {
        layout.order.reserve(layout.rows.size());
        for (std::size_t i = 0; i < layout.rows.size(); ++i) {
            place(static_cast<int>(i));
        }
    }
    return top;
}

} // namespace

void place_rows(PreviewLayout& layout, const Document& doc, std::int64_t container_width,
    std::int64_t visible_height, double zoom, const std::vector<int>* shown, bool headings)
{
    if (layout.rows.size() != doc.rows.size()) {
        layout = layout_preview(doc, container_width, visible_height, zoom, shown, headings);
        return;
    }
    layout.container_width = container_width;
    layout.zoom = clamp_zoom(zoom);
    layout.lead = lead_of_template();
    clear_placement(layout);
    const std::int64_t top = place_samples(layout, doc.kind, shown, headings);
    if (doc.rows.empty()) {
        layout.container_height = std::int64_t { pm::box_height + pm::caption_height } * 200;
    } else if (layout.order.empty()) {
        layout.container_height = visible_height;
    } else {
        layout.container_height = std::max<std::int64_t>(
            layout.zoomed(static_cast<double>(pm::box_height + pm::caption_height + top)),
            visible_height);
    }
}

PreviewLayout layout_preview(const Document& doc, std::int64_t container_width,
    std::int64_t visible_height, double zoom, const std::vector<int>* shown, bool headings)
{
    PreviewLayout layout;
    layout.rows.resize(doc.rows.size());
    // Presentation names are few and rows of one come together: the last one is tried first.
    std::unordered_map<std::string_view, int> presentations;
    std::string_view last_pres;
    int last_id = -1;
    for (std::size_t i = 0; i < doc.rows.size(); ++i) {
        const StyleRow& r = doc.rows[i];
        PreviewRow& row = layout.rows[i];
        const std::string_view pres = text::trim_view(r.pres_name());
        if (last_id < 0 || pres != last_pres) {
            last_id = presentations.try_emplace(pres, static_cast<int>(presentations.size()))
                          .first->second;
            last_pres = pres;
        }
        row.presentation = last_id;
        row.width_style =
            text::contains(r.style_text(), "BG_W") || text::contains(r.style_text(), "FG_W");
        row.kind = classify(doc, r);
        row.key = row_key(doc.kind, r, row.kind, row.width_style);
    }
    place_rows(layout, doc, container_width, visible_height, zoom, shown, headings);
    return layout;
}

std::int64_t PreviewLayout::zoomed(double design) const
{
    return zoom == 1 ? static_cast<std::int64_t>(design) : round_even_64(design * zoom);
}

std::pair<int, int> PreviewLayout::rows_between(std::int64_t top, std::int64_t bottom) const
{
    const std::int64_t reach = zoomed(pm::box_height) + zoomed(pm::caption_height);
    const auto box_top = [this](int row) { return rows[static_cast<std::size_t>(row)].box.top; };
    const auto first = std::partition_point(
        order.begin(), order.end(), [&](int r) { return box_top(r) + reach <= top; });
    const auto last =
        std::partition_point(first, order.end(), [&](int r) { return box_top(r) < bottom; });
    return { static_cast<int>(first - order.begin()), static_cast<int>(last - order.begin()) };
}

int PreviewLayout::hit_test(std::int64_t x, std::int64_t y) const
{
    const auto [first, last] = rows_between(y, y + 1);
    for (int p = first; p < last; ++p) {
        const int r = order[static_cast<std::size_t>(p)];
        if (rows[static_cast<std::size_t>(r)].box.contains(x, y)) {
            return r;
        }
    }
    return -1;
}

int PreviewLayout::hit_test_caption(std::int64_t x, std::int64_t y) const
{
    const auto [first, last] = rows_between(y, y + 1);
    for (int p = first; p < last; ++p) {
        const int r = order[static_cast<std::size_t>(p)];
        if (rows[static_cast<std::size_t>(r)].caption.contains(x, y)) {
            return r;
        }
    }
    return -1;
}

bool PreviewLayout::shown(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < rows.size()
        && rows[static_cast<std::size_t>(row)].shown;
}

std::optional<TwipRect> PreviewLayout::frame_around(
    int row, int extra_width, int extra_height) const
{
    if (!shown(row)) {
        return std::nullopt;
    }
    const PreviewRow& laid = rows[static_cast<std::size_t>(row)];
    const std::int64_t out = zoomed(20);
    return TwipRect { laid.box.left - out, laid.box.top - out, laid.box.width + zoomed(extra_width),
        laid.box.height + laid.caption.height + zoomed(extra_height) };
}

int PreviewLayout::neighbour(int row, Neighbour direction) const
{
    if (!shown(row)) {
        return -1;
    }
    const int at = rows[static_cast<std::size_t>(row)].position;
    const int count = static_cast<int>(order.size());
    switch (direction) {
    case Neighbour::Left:
        return at > 0 ? order[static_cast<std::size_t>(at - 1)] : -1;
    case Neighbour::Right:
        return at + 1 < count ? order[static_cast<std::size_t>(at + 1)] : -1;
    case Neighbour::Up:
    case Neighbour::Down:
        break;
    }
    const auto box_at = [this](int position) -> const TwipRect& {
        return rows[static_cast<std::size_t>(order[static_cast<std::size_t>(position)])].box;
    };
    // Lines run from top to bottom: the first position whose box top passes the test.
    const auto first_where = [&](auto passes) {
        return static_cast<int>(std::partition_point(order.begin(), order.end(), [&](int r) {
            return !passes(rows[static_cast<std::size_t>(r)].box.top);
        }) - order.begin());
    };
    const TwipRect& from = box_at(at);
    int first = 0;
    if (direction == Neighbour::Down) {
        first = first_where([&](std::int64_t top) { return top > from.top; });
    } else {
        const int line_start = first_where([&](std::int64_t top) { return top >= from.top; });
        if (line_start == 0) {
            return -1;
        }
        const std::int64_t above = box_at(line_start - 1).top;
        first = first_where([&](std::int64_t top) { return top >= above; });
    }
    if (first >= count) {
        return -1;
    }
    const std::int64_t line_top = box_at(first).top;
    int best = first;
    for (int p = first; p < count && box_at(p).top == line_top; ++p) {
        if (std::llabs(box_at(p).left - from.left) < std::llabs(box_at(best).left - from.left)) {
            best = p;
        }
    }
    return order[static_cast<std::size_t>(best)];
}

int PreviewLayout::first_row_of(const Document& doc, std::string_view presentation) const
{
    const std::string_view wanted = text::trim_view(presentation);
    for (const int r : order) {
        if (doc.valid_row(r)
            && listed_presentation(doc, doc.rows[static_cast<std::size_t>(r)]) == wanted) {
            return r;
        }
    }
    return -1;
}

std::optional<std::int64_t> PreviewLayout::presentation_top(
    const Document& doc, std::string_view presentation) const
{
    const int row = first_row_of(doc, presentation);
    if (row < 0) {
        return std::nullopt;
    }
    const std::int64_t box_top = rows[static_cast<std::size_t>(row)].box.top;
    const auto rule = std::find(rule_rows.begin(), rule_rows.end(), row);
    if (rule == rule_rows.end()) {
        return box_top;
    }
    // The gap of a presentation break is 200 twips; the rule lies 150 above the samples.
    return box_top - zoomed(200);
}

void draw_sample(Canvas& box, const Document& doc, int row, const PreviewRow& laid)
{
    box.reset_state();
    box.state.auto_redraw = true;
    box.state.back_color = sample_back_color;
    box.cls();
    box.clear_picture();
    if (!doc.valid_row(row)) {
        return;
    }
    const StyleRow& r = doc.rows[static_cast<std::size_t>(row)];
    const ThemeKind kind = doc.kind;
    const int lead = lead_of_template();

    // Every sample starts without colours, so a colour that does not convert leaves its part
    // undrawn rather than drawn in the colour of the sample before.
    Pair day;
    const std::array<int, 4> alphas = alphas_of(kind, r);
    assign(day.c1, r.pri_day(), kind);
    day.a1 = alpha(alphas, NwfColour::PrimaryDay);
    if (r.sec_day().empty()) {
        day.c2 = day.c1;
        day.a2 = day.a1;
    } else {
        assign(day.c2, r.sec_day(), kind);
        day.a2 = alpha(alphas, NwfColour::SecondaryDay);
    }

    switch (laid.kind) {
    case SampleKind::Polygon:
        draw_polygon_sample(box, kind, day, lead);
        if (r.pri_night() != "-1") {
            draw_night_swatch(box, kind, r, day);
        }
        break;
    case SampleKind::Arrow:
        draw_arrow_sample(box, kind, r, day);
        break;
    case SampleKind::Rail:
    case SampleKind::Line:
        draw_band_sample(box, kind, r, laid, day, lead);
        break;
    }
}

SampleCache::SampleCache(CanvasFactory factory, std::size_t capacity)
    : m_factory(std::move(factory))
    , m_capacity(std::max<std::size_t>(capacity, 1))
{
}

SampleCache::Entry* SampleCache::entry(const Document& doc, const PreviewLayout& layout, int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= layout.rows.size() || !doc.valid_row(row)) {
        return nullptr;
    }
    const std::uint64_t key = layout.rows[static_cast<std::size_t>(row)].key;
    auto found = m_entries.find(row);
    if (found == m_entries.end()) {
        if (m_entries.size() >= room()) {
            m_entries.clear();
        }
        found = m_entries.emplace(row, Entry {}).first;
        found->second.key = key;
    }
    Entry& e = found->second;
    if (e.key != key) {
        e = Entry {};
        e.key = key;
    }
    return &e;
}

std::size_t SampleCache::room() const
{
    // A zoomed sample on a dense screen holds scale² times the pixels of one at design size, so
    // a count fixed at scale 1 would take gigabytes; the floor still holds a screenful.
    constexpr double fewest = 32;
    const double capacity = static_cast<double>(m_capacity);
    const double pixels = m_scale * m_scale;
    if (!(pixels > 0)) {
        return m_capacity;
    }
    return static_cast<std::size_t>(
        std::clamp(capacity / pixels, std::min(capacity, fewest), capacity * 1024));
}

const Canvas* SampleCache::sample(
    const Document& doc, const PreviewLayout& layout, int row, double scale)
{
    if (scale != m_scale) {
        for (auto& [_, e] : m_entries) {
            e.canvas.reset();
        }
        m_scale = scale;
    }
    Entry* e = entry(doc, layout, row);
    if (e == nullptr || !m_factory) {
        return nullptr;
    }
    if (!e->canvas) {
        e->canvas = m_factory(round_even(pm::box_width / twips_per_pixel * scale),
            round_even(pm::box_height / twips_per_pixel * scale));
        if (!e->canvas) {
            return nullptr;
        }
        e->canvas->set_scale(scale);
        e->canvas->set_colour_map(vision_map(m_vision));
        draw_sample(*e->canvas, doc, row, layout.rows[static_cast<std::size_t>(row)]);
        ++m_samples_drawn;
    }
    return e->canvas.get();
}

void SampleCache::set_vision(colour::Vision vision)
{
    if (vision == m_vision) {
        return;
    }
    m_vision = vision;
    for (auto& [_, e] : m_entries) {
        e.canvas.reset();
    }
}

const std::vector<CaptionLine>& SampleCache::caption_lines(
    const Document& doc, const PreviewLayout& layout, int row, Canvas& measure)
{
    static const std::vector<CaptionLine> none;
    if (layout.zoom != m_caption_zoom) {
        for (auto& [_, e] : m_entries) {
            e.has_caption = false;
        }
        m_caption_zoom = layout.zoom;
    }
    Entry* e = entry(doc, layout, row);
    if (e == nullptr) {
        return none;
    }
    if (!e->has_caption) {
        const ScaleMode saved = measure.state.scale_mode;
        measure.state.scale_mode = ScaleMode::Twips;
        e->caption = wrap_caption(measure, doc.rows[static_cast<std::size_t>(row)].elem_name(),
            static_cast<double>(layout.zoomed(pm::caption_width)), caption_font(layout.zoom));
        measure.state.scale_mode = saved;
        e->has_caption = true;
    }
    return e->caption;
}

Preview::Preview(CanvasFactory factory)
    : m_cache(std::move(factory))
{
}

void Preview::plot(
    const Document& doc, PlotMode mode, std::int64_t container_width, std::int64_t visible_height)
{
    if (mode == PlotMode::Fresh) {
        m_cache.clear();
    }
    m_layout = layout_preview(doc, container_width, visible_height, m_zoom, shown_rows(), headings);
    m_drawn_count = doc.row_count();
    m_poly_rows.assign(m_layout.rows.size(), 0);
    if (m_layout.rows.empty()) {
        return;
    }
    for (std::size_t r = 0; r < m_layout.rows.size(); ++r) {
        const SampleKind kind = m_layout.rows[r].kind;
        m_poly_rows[r] = kind == SampleKind::Polygon ? 1 : 0;
        if (kind == SampleKind::Arrow) {
            arrow_style = true;
        }
    }
    set_scroll_range(visible_height);
    scroll.value = 0;
    if (shape4.visible) {
        if (const auto frame = m_layout.frame_around(doc.cur_row)) {
            shape4.rect = *frame;
        }
    }
}

void Preview::relayout(
    const Document& doc, std::int64_t container_width, std::int64_t visible_height)
{
    place_rows(m_layout, doc, container_width, visible_height, m_zoom, shown_rows(), headings);
    if (m_layout.rows.empty()) {
        return;
    }
    set_scroll_range(visible_height);
    scroll.value = std::clamp<std::int64_t>(scroll.value, 0, scroll.max);
    if (shape4.visible) {
        if (const auto frame = m_layout.frame_around(doc.cur_row)) {
            shape4.rect = *frame;
        } else {
            shape4.visible = false;
        }
    }
}

void Preview::set_scroll_range(std::int64_t visible_height)
{
    const std::int64_t h = m_layout.container_height;
    // The main window divides by the range when it scrolls, so it is never 0.
    scroll.max = std::max<std::int64_t>(h - visible_height, 1);
    scroll.large_change = round_even_64(h / 10.0);
    scroll.small_change = round_even_64(h / 20.0);
    if (scroll.large_change < scroll.small_change) {
        scroll.large_change = scroll.max;
    }
}

void Preview::set_zoom(double zoom)
{
    m_zoom = clamp_zoom(zoom);
}

void Preview::set_vision(colour::Vision vision)
{
    m_vision = vision;
    m_cache.set_vision(vision);
}

void Preview::show_only(std::vector<int> rows)
{
    m_shown = std::move(rows);
    m_filtered = true;
}

void Preview::show_all()
{
    m_shown.clear();
    m_filtered = false;
}

namespace {

void paint_headings(Canvas& target, const Document& doc, const PreviewLayout& layout,
    const TwipRect& visible, double ox, double oy)
{
    const std::int64_t reach = layout.zoomed(200);
    const auto first =
        std::lower_bound(layout.rules.begin(), layout.rules.end(), visible.top - reach);
    CanvasFont font = caption_font(layout.zoom);
    font.bold = true;
    target.state.font = font;
    target.state.fore_color = presentation_rule_color;
    const double left = static_cast<double>(layout.zoomed(layout.lead + pm::column_offset)) - ox;
    const double image_pixel = twips_per_pixel / target.scale();
    const double pad = static_cast<double>(layout.zoomed(60));
    for (auto rule = first; rule != layout.rules.end() && *rule < visible.bottom() + reach;
         ++rule) {
        const int row = layout.rule_rows[static_cast<std::size_t>(rule - layout.rules.begin())];
        if (!doc.valid_row(row)) {
            continue;
        }
        const std::string_view name =
            text::trim_view(doc.rows[static_cast<std::size_t>(row)].pres_name());
        if (name.empty()) {
            continue;
        }
        const double width = target.text_width(name);
        const double height = target.text_height(name);
        const double y = static_cast<double>(*rule) - oy;
        // The rule is broken where the name stands on it.
        fill(target, left - pad, y - image_pixel, left + width + pad, y, container_back_color);
        target.state.current_x = left;
        target.state.current_y = y - height / 2;
        target.print(name);
    }
}

// The mark's triangle, its right angle in the box's top-right corner, laid one row of image
// pixels at a time on the pixels the sample's own image covers.
void paint_mark(
    Canvas& target, const TwipRect& box, SampleMark mark, double sample_scale, double ox, double oy)
{
    const double image_pixel = twips_per_pixel / target.scale();
    const int top = round_even(target.to_pixels(static_cast<double>(box.top) - oy));
    const int right = round_even(target.to_pixels(static_cast<double>(box.left) - ox))
        + round_even(pm::box_width / twips_per_pixel * sample_scale);
    const int size = std::max(round_even(mark_size * sample_scale), 2);
    for (int i = 0; i < size; ++i) {
        const double y = (top + i) * image_pixel;
        fill(target, (right - size + i) * image_pixel, y, (right - 1) * image_pixel, y,
            mark_colour(mark));
    }
}

// The edge of a selected sample: two image pixels wide, inside its box, so that it stays clear
// of the selection frame and of the neighbours' boxes.
void paint_selected_edge(Canvas& target, const TwipRect& box, double ox, double oy)
{
    const double image_pixel = twips_per_pixel / target.scale();
    const double left = static_cast<double>(box.left) - ox;
    const double top = static_cast<double>(box.top) - oy;
    const double right = static_cast<double>(box.right()) - ox - image_pixel;
    const double bottom = static_cast<double>(box.bottom()) - oy - image_pixel;
    for (int k = 0; k < 2; ++k) {
        const double in = k * image_pixel;
        outline(target, left + in, top + in, right - in, bottom - in, selected_color);
    }
}

} // namespace

void paint_preview(Canvas& target, const Document& doc, Preview& preview, const TwipRect& visible)
{
    const PreviewLayout& layout = preview.layout();
    const ColourMap kept_map = target.colour_map();
    target.set_colour_map(vision_map(preview.vision()));
    target.state.scale_mode = ScaleMode::Twips;
    target.state.back_color = container_back_color;
    target.state.draw_width = 1;
    target.state.draw_style = DrawStyle::Solid;
    target.cls();
    const double ox = static_cast<double>(visible.left);
    const double oy = static_cast<double>(visible.top);

    const auto first_rule = std::lower_bound(layout.rules.begin(), layout.rules.end(), visible.top);
    for (auto rule = first_rule; rule != layout.rules.end() && *rule < visible.bottom(); ++rule) {
        target.line(-ox, static_cast<double>(*rule) - oy,
            static_cast<double>(layout.container_width) - ox, static_cast<double>(*rule) - oy,
            presentation_rule_color);
    }
    if (preview.headings) {
        paint_headings(target, doc, layout, visible, ox, oy);
    }

    SampleCache& cache = preview.cache();
    const double sample_scale = layout.zoom * target.scale();
    const CanvasFont font = caption_font(layout.zoom);
    const auto [first, last] = layout.rows_between(visible.top, visible.bottom());
    // One selected style is shown by the frame alone.
    const bool several_selected = preview.selection != nullptr && preview.selection->count() > 1;
    for (int p = first; p < last; ++p) {
        const int r = layout.order[static_cast<std::size_t>(p)];
        const PreviewRow& row = layout.rows[static_cast<std::size_t>(r)];
        const bool selected = several_selected && preview.selection->contains(r);
        if (row.box.intersects(visible)) {
            if (const Canvas* sample = cache.sample(doc, layout, r, sample_scale)) {
                target.paint_picture(*sample, static_cast<double>(row.box.left) - ox,
                    static_cast<double>(row.box.top) - oy);
            }
            if (selected) {
                paint_selected_edge(target, row.box, ox, oy);
            }
            const auto at = static_cast<std::size_t>(r);
            if (at < preview.marks.size() && preview.marks[at] != SampleMark::None) {
                paint_mark(target, row.box, preview.marks[at], sample_scale, ox, oy);
            }
        }
        if (!row.caption.intersects(visible)) {
            continue;
        }
        const std::vector<CaptionLine>& lines = cache.caption_lines(doc, layout, r, target);
        target.state.font = font;
        target.state.fore_color = caption_color;
        if (selected) {
            const double image_pixel = twips_per_pixel / target.scale();
            fill(target, static_cast<double>(row.caption.left) - ox,
                static_cast<double>(row.caption.top) - oy,
                static_cast<double>(row.caption.right()) - ox - image_pixel,
                static_cast<double>(row.caption.bottom()) - oy - image_pixel, selected_color);
            target.state.fore_color = selected_caption_color;
        }
        double y = static_cast<double>(row.caption.top) - oy;
        const double bottom = static_cast<double>(row.caption.bottom()) - oy;
        // A label shows whole lines only as far as they fit.
        for (const CaptionLine& line : lines) {
            target.state.font.size = line.size;
            const double height = target.text_height(line.text);
            if (y + height > bottom) {
                break;
            }
            target.state.current_x = static_cast<double>(row.caption.left) - ox;
            target.state.current_y = y;
            target.print(line.text);
            y += height;
        }
    }

    if (preview.shape4.visible && preview.shape4.rect.intersects(visible)) {
        // The far edges lie on the frame's last image pixel inside.
        const double last_pixel = twips_per_pixel / target.scale();
        const TwipRect& f = preview.shape4.rect;
        target.line(static_cast<double>(f.left) - ox, static_cast<double>(f.top) - oy,
            static_cast<double>(f.right()) - last_pixel - ox,
            static_cast<double>(f.bottom()) - last_pixel - oy, frame_color, LineForm::Box);
    }
    target.set_colour_map(kept_map);
}

} // namespace tintwell
