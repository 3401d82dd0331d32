#include "render/preview.h"

#include "model/catalogue.h"
#include "model/text.h"
#include "render/arrow.h"

#include <algorithm>
#include <cmath>

namespace tintwell {

namespace pm = preview_metrics;

namespace {

constexpr ColourValue polygon_edge = 0xAAAAAA; // RGB(170,170,170)
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
std::optional<ColourValue> convert(const std::string& colour, ThemeKind kind)
{
    if (text::trim(colour).empty()) {
        return std::nullopt;
    }
    return hex_to_value(colour, kind);
}

// Keeps the old value when the text does not convert.
void assign(ColourValue& target, const std::string& colour, ThemeKind kind)
{
    if (const auto value = convert(colour, kind)) {
        target = *value;
    }
}

bool has_night(const std::string& style_text)
{
    return text::contains(text::lower(style_text), "night");
}

void fill(Canvas& box, double x1, double y1, double x2, double y2, ColourValue colour)
{
    box.line(x1, y1, x2, y2, colour, LineForm::FilledBox);
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
};

void draw_polygon_sample(Canvas& box, ThemeKind kind, const Pair& day, int lead)
{
    fill(box, 60, 60, lead + 820, 820, day.c1);
    if (kind == ThemeKind::SportFitness) {
        fill(box, 60, 400, lead + 820, 820, day.c2);
        outline(box, 60, 400, lead + 820, 820, polygon_edge);
        outline(box, 60, 60, lead + 820, 820, polygon_edge);
    }
}

void draw_night_swatch(Canvas& box, ThemeKind kind, const StyleRow& r, Pair colours)
{
    const double w0 = box.width_twips();
    const double h0 = box.height_twips();
    if (const auto night = convert(r.pri_night, kind)) {
        fill(box, w0 - 335, h0 - 335, w0 - 135, h0 - 135, *night);
    }
    if (kind == ThemeKind::SportFitness) {
        assign(colours.c2, r.sec_night, kind);
        fill(box, w0 - 335, h0 - 225, w0 - 135, h0 - 125, colours.c2);
        outline(box, w0 - 335, h0 - 225, w0 - 135, h0 - 125, swatch_edge);
        outline(box, w0 - 335, h0 - 335, w0 - 135, h0 - 125, swatch_edge);
    }
}

void draw_arrow_sample(Canvas& box, ThemeKind kind, const StyleRow& r, Pair colours)
{
    float k = 1;
    float b = 1;
    draw_arrow(box, colours.c1, colours.c2, k, b);
    assign(colours.c1, r.pri_night, kind);
    if (!r.sec_night.empty()) {
        assign(colours.c2, r.sec_night, kind);
    }
    if (has_night(r.style_text)) {
        draw_arrow_small(box, colours.c1, colours.c2, k, b);
    }
}

void draw_rail_band(Canvas& box, double y0, double s, const Pair& c, int lead)
{
    fill(box, lead, y0, lead + 233, y0 + 2 * s, c.c2);
    fill(box, lead + 233, y0, lead + 466, y0 + 2 * s, c.c1);
    fill(box, lead + 466, y0, lead + pm::band_length, y0 + 2 * s, c.c2);
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
    double b = 0;
    double f = 0;
};

void draw_nwf_band(
    Canvas& box, double y0, const NwfWidths& w, double b, const Pair& c, bool day, int lead)
{
    const double x2 = lead + pm::band_length;
    const bool strips = b != 0 && (!day || w.has_bg_width || !w.width_style);
    if (!w.width_style) {
        const double s = 36;
        if (!strips) {
            fill(box, lead, y0 + 2 * s, x2, y0 + 3 * s, c.c1);
        } else {
            fill(box, lead, y0, x2, y0 + b + s, c.c2);
            fill(box, lead, y0 + b + s, x2, y0 + b + 3 * s, c.c1);
            fill(box, lead, y0 + b + 3 * s, x2, y0 + b + 4 * s, c.c2);
        }
        return;
    }
    const double s = 1.5 * w.f;
    if (!strips) {
        const double p = (half_box - s) / 2;
        fill(box, lead, y0 + p, x2, y0 + p + s, c.c1);
        return;
    }
    double p = 1.5 * b;
    fill(box, lead, y0, x2, y0 + b + p, c.c2);
    fill(box, lead, y0 + p, x2, y0 + p + s, c.c1);
    p += s;
    fill(box, lead, y0 + p, x2, y0 + p + 1.5 * b, c.c2);
}

void draw_band_sample(
    Canvas& box, ThemeKind kind, const StyleRow& r, const PreviewRow& laid, Pair c, int lead)
{
    const bool rail = laid.kind == SampleKind::Rail;
    const bool night = r.pri_night != "-1";
    const double y_day = night ? 100 : 300;
    const double y_night = rail ? 420 : half_box;
    const double scale = text::val(r.scale) * pm::unit;

    if (rail) {
        draw_rail_band(box, y_day, scale, c, lead);
    } else if (kind == ThemeKind::CarZumo) {
        const double b = r.border.empty() ? 0 : text::val(r.border) * pm::unit;
        draw_car_zumo_band(box, y_day, b, scale, c, true, lead);
    }

    NwfWidths w;
    double day_b = 0;
    double night_b = 0;
    if (!rail && kind == ThemeKind::SportFitness) {
        w.width_style = laid.width_style;
        w.has_bg_width = !r.bg_width.empty();
        if (w.width_style) {
            w.b = text::val(r.bg_width);
            if (w.b < 1) {
                w.b = 0;
            }
            if (w.b > 50) {
                w.b = 50;
            }
            w.f = text::val(r.fg_width);
            if (w.f > 100) {
                w.f = 100;
            }
            day_b = night_b = w.b;
        } else {
            day_b = r.border == "00" ? 0 : 0.4 * pm::unit;
            night_b = r.nwf_border == "00" ? 0 : 0.4 * pm::unit;
        }
        draw_nwf_band(box, y_day, w, day_b, c, true, lead);
    }

    if (!night) {
        return;
    }
    assign(c.c1, r.pri_night, kind);
    assign(c.c2, r.sec_night, kind);
    if (rail) {
        draw_rail_band(box, y_night, scale, c, lead);
    } else if (kind == ThemeKind::CarZumo) {
        const double b = r.border.empty() ? 0 : text::val(r.border) * pm::unit;
        draw_car_zumo_band(box, y_night, b, scale, c, false, lead);
    } else {
        draw_nwf_band(box, y_night, w, night_b, c, false, lead);
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
        sample == SampleKind::Arrow && has_night(r.style_text) ? 'N' : '-' };
    hash = mix(hash, std::string_view(flags, sizeof flags));
    for (const std::string* part : { &r.pri_day, &r.pri_night, &r.sec_day, &r.sec_night, &r.scale,
             &r.border, &r.nwf_border, &r.bg_width, &r.fg_width, &r.elem_name }) {
        hash = mix(hash, *part);
    }
    return hash;
}

SampleKind classify(const Document& doc, const StyleRow& r)
{
    std::string name = r.elem_name;
    if (pgon(doc, name)) {
        return SampleKind::Polygon;
    }
    if (text::contains(r.elem_name, "ARRW")) {
        return SampleKind::Arrow;
    }
    if (text::contains(r.elem_name, "RAILRD") || text::contains(r.elem_name, "TRAIL")) {
        return SampleKind::Rail;
    }
    return SampleKind::Line;
}

// Greedy word wrap; a word wider than the caption is broken between characters.
std::vector<std::string> wrap_words(Canvas& measure, const std::string& caption, double width)
{
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& word : text::split(caption, " ")) {
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (measure.text_width(candidate) <= width) {
            line = candidate;
            continue;
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        line = word;
        while (line.size() > 1 && measure.text_width(line) > width) {
            std::size_t fit = line.size() - 1;
            while (fit > 1 && measure.text_width(std::string_view(line).substr(0, fit)) > width) {
                --fit;
            }
            lines.push_back(line.substr(0, fit));
            line.erase(0, fit);
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

CanvasFont caption_font()
{
    return CanvasFont { "Arial", 7.8, false };
}

PreviewLayout layout_preview(
    const Document& doc, std::int64_t container_width, std::int64_t visible_height)
{
    PreviewLayout layout;
    layout.container_width = container_width;
    layout.lead = lead_of_template();
    const std::int64_t lead = layout.lead;
    layout.rows.reserve(doc.rows.size());

    std::int64_t top = lead;
    std::int64_t column = 0;
    std::string previous_pres;
    for (std::size_t i = 0; i < doc.rows.size(); ++i) {
        const StyleRow& r = doc.rows[i];
        PreviewRow row;
        row.width_style =
            text::contains(r.style_text, "BG_W") || text::contains(r.style_text, "FG_W");
        // A line that holds no sample yet does not wrap again: that would only leave it empty.
        if (column > 0
            && container_width - pm::box_width
                < lead + pm::column_offset + column * pm::caption_step) {
            column = 0;
            top += pm::caption_height + pm::box_height + 100;
        }
        if (doc.kind == ThemeKind::CarZumo) {
            std::string pres = text::trim(r.pres_name);
            if (i > 0 && pres != previous_pres) {
                column = 0;
                top += pm::caption_height + pm::box_height + 200;
                layout.rules.push_back(top - 150);
            }
            previous_pres = std::move(pres);
        }
        row.kind = classify(doc, r);
        row.key = row_key(doc.kind, r, row.kind, row.width_style);
        const std::int64_t left = lead + pm::column_offset + column * pm::caption_step;
        row.box = { left, top, pm::box_width, pm::box_height };
        row.caption = { left, top + pm::box_height, pm::caption_width, pm::caption_height };
        layout.rows.push_back(row);
        ++column;
    }
    layout.container_height = layout.rows.empty()
        ? std::int64_t { pm::box_height + pm::caption_height } * 200
        : std::max<std::int64_t>(pm::box_height + pm::caption_height + top, visible_height);
    return layout;
}

std::pair<int, int> PreviewLayout::rows_between(std::int64_t top, std::int64_t bottom) const
{
    constexpr std::int64_t reach = pm::box_height + pm::caption_height;
    const auto first = std::partition_point(
        rows.begin(), rows.end(), [&](const PreviewRow& r) { return r.box.top + reach <= top; });
    const auto last = std::partition_point(
        first, rows.end(), [&](const PreviewRow& r) { return r.box.top < bottom; });
    return { static_cast<int>(first - rows.begin()), static_cast<int>(last - rows.begin()) };
}

int PreviewLayout::hit_test(std::int64_t x, std::int64_t y) const
{
    const auto [first, last] = rows_between(y, y + 1);
    for (int r = first; r < last; ++r) {
        if (rows[static_cast<std::size_t>(r)].box.contains(x, y)) {
            return r;
        }
    }
    return -1;
}

int PreviewLayout::hit_test_caption(std::int64_t x, std::int64_t y) const
{
    const auto [first, last] = rows_between(y, y + 1);
    for (int r = first; r < last; ++r) {
        if (rows[static_cast<std::size_t>(r)].caption.contains(x, y)) {
            return r;
        }
    }
    return -1;
}

std::optional<TwipRect> PreviewLayout::frame_around(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        return std::nullopt;
    }
    const TwipRect& box = rows[static_cast<std::size_t>(row)].box;
    return TwipRect { box.left - 20, box.top - 20, box.width + 40,
        box.height + pm::caption_height + 40 };
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
    assign(day.c1, r.pri_day, kind);
    if (r.sec_day.empty()) {
        day.c2 = day.c1;
    } else {
        assign(day.c2, r.sec_day, kind);
    }

    switch (laid.kind) {
    case SampleKind::Polygon:
        draw_polygon_sample(box, kind, day, lead);
        if (r.pri_night != "-1") {
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
        if (m_entries.size() >= m_capacity) {
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

const Canvas* SampleCache::sample(const Document& doc, const PreviewLayout& layout, int row)
{
    Entry* e = entry(doc, layout, row);
    if (e == nullptr || !m_factory) {
        return nullptr;
    }
    if (!e->canvas) {
        e->canvas = m_factory(pm::box_width / twips_per_pixel, pm::box_height / twips_per_pixel);
        if (!e->canvas) {
            return nullptr;
        }
        draw_sample(*e->canvas, doc, row, layout.rows[static_cast<std::size_t>(row)]);
        ++m_samples_drawn;
    }
    return e->canvas.get();
}

const std::vector<std::string>& SampleCache::caption_lines(
    const Document& doc, const PreviewLayout& layout, int row, Canvas& measure)
{
    static const std::vector<std::string> none;
    Entry* e = entry(doc, layout, row);
    if (e == nullptr) {
        return none;
    }
    if (!e->has_caption) {
        const CanvasState saved = measure.state;
        measure.state.scale_mode = ScaleMode::Twips;
        measure.state.font = caption_font();
        e->caption = wrap_words(
            measure, doc.rows[static_cast<std::size_t>(row)].elem_name, pm::caption_width);
        measure.state = saved;
        e->has_caption = true;
    }
    return e->caption;
}

Preview::Preview(CanvasFactory factory)
    : m_cache(std::move(factory))
{
}

void Preview::plot(
    Document& doc, int mode, std::int64_t container_width, std::int64_t visible_height)
{
    if (mode != 1) {
        m_cache.clear();
    }
    for (StyleRow& r : doc.rows) {
        if (r.pri_day.size() > 6) {
            r.pri_day = text::mid(r.pri_day, 3);
        }
        if (r.sec_day.size() > 6) {
            r.sec_day = text::mid(r.sec_day, 3);
        }
    }
    m_layout = layout_preview(doc, container_width, visible_height);
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

    const std::int64_t h = m_layout.container_height;
    // The main window divides by the range when it scrolls, so it is never 0.
    scroll.max = std::max<std::int64_t>(h - visible_height, 1);
    scroll.large_change = round_even_64(h / 10.0);
    scroll.value = 0;
    scroll.small_change = round_even_64(h / 20.0);
    if (scroll.large_change < scroll.small_change) {
        scroll.large_change = scroll.max;
    }
    if (shape4.visible) {
        if (const auto frame = m_layout.frame_around(doc.cur_row)) {
            shape4.rect = *frame;
        }
    }
}

void paint_preview(Canvas& target, const Document& doc, Preview& preview, const TwipRect& visible)
{
    const PreviewLayout& layout = preview.layout();
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

    SampleCache& cache = preview.cache();
    const auto [first, last] = layout.rows_between(visible.top, visible.bottom());
    for (int r = first; r < last; ++r) {
        const PreviewRow& row = layout.rows[static_cast<std::size_t>(r)];
        if (row.box.intersects(visible)) {
            if (const Canvas* sample = cache.sample(doc, layout, r)) {
                target.paint_picture(*sample, static_cast<double>(row.box.left) - ox,
                    static_cast<double>(row.box.top) - oy);
            }
        }
        if (!row.caption.intersects(visible)) {
            continue;
        }
        const std::vector<std::string>& lines = cache.caption_lines(doc, layout, r, target);
        target.state.font = caption_font();
        target.state.fore_color = caption_color;
        double y = static_cast<double>(row.caption.top) - oy;
        const double bottom = static_cast<double>(row.caption.bottom()) - oy;
        // A label shows whole lines only as far as they fit.
        for (const std::string& line : lines) {
            if (y + target.text_height(line) > bottom) {
                break;
            }
            target.state.current_x = static_cast<double>(row.caption.left) - ox;
            target.state.current_y = y;
            target.print(line);
            y += target.text_height(line);
        }
    }

    if (preview.shape4.visible && preview.shape4.rect.intersects(visible)) {
        const TwipRect& f = preview.shape4.rect;
        target.line(static_cast<double>(f.left) - ox, static_cast<double>(f.top) - oy,
            static_cast<double>(f.right() - twips_per_pixel) - ox,
            static_cast<double>(f.bottom() - twips_per_pixel) - oy, frame_color, LineForm::Box);
    }
}

} // namespace tintwell
