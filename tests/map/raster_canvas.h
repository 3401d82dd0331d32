#pragma once

#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tintwell::map {

// A canvas of plain pixels for probing colours, Qt-free: a pixel takes a shape's colour when its
// centre lies inside the shape. Text is not drawn.
class RasterCanvas : public Canvas
{
public:
    RasterCanvas(int width, int height)
        : Canvas(width, height)
        , m_pixels(static_cast<std::size_t>(width * height), 0)
    {
    }

    ColourValue at(int x, int y) const
    {
        return m_pixels[static_cast<std::size_t>(y * width_px() + x)];
    }

protected:
    void do_cls() override { std::fill(m_pixels.begin(), m_pixels.end(), state.back_color); }
    void do_line(
        double x1, double y1, double x2, double y2, ColourValue colour, LineForm form) override
    {
        if (form == LineForm::Segment) {
            const std::vector<CanvasPointF> points = { { to_pixels(x1), to_pixels(y1) },
                { to_pixels(x2), to_pixels(y2) } };
            do_stroke(points, pen_pixels(state.draw_width), colour, 255);
        }
    }
    void do_polygon(std::span<const CanvasPoint> points) override
    {
        if (state.fill_style != FillStyle::Solid) {
            return;
        }
        std::vector<CanvasPointF> shape;
        for (const CanvasPoint& p : points) {
            shape.push_back({ static_cast<double>(p.x), static_cast<double>(p.y) });
        }
        do_fill_shape(shape, state.fill_color, 255);
    }
    void do_stroke(
        std::span<const CanvasPointF> points, double width, ColourValue colour, int alpha) override
    {
        paint(
            [&](double x, double y) {
                for (std::size_t i = 1; i < points.size(); ++i) {
                    if (distance(x, y, points[i - 1], points[i]) <= width / 2) {
                        return true;
                    }
                }
                return false;
            },
            colour, alpha);
    }
    void do_fill_shape(std::span<const CanvasPointF> points, ColourValue colour, int alpha) override
    {
        paint(
            [&](double x, double y) {
                bool in = false;
                for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                    const CanvasPointF a = points[i];
                    const CanvasPointF b = points[j];
                    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                        in = !in;
                    }
                }
                return in;
            },
            colour, alpha);
    }
    void do_translucent_box(
        double x1, double y1, double x2, double y2, ColourValue colour, int alpha) override
    {
        const double left = std::min(to_pixels(x1), to_pixels(x2));
        const double right = std::max(to_pixels(x1), to_pixels(x2));
        const double top = std::min(to_pixels(y1), to_pixels(y2));
        const double bottom = std::max(to_pixels(y1), to_pixels(y2));
        for (int y = 0; y < height_px(); ++y) {
            for (int x = 0; x < width_px(); ++x) {
                if (x + 0.5 < left || x + 0.5 > right || y + 0.5 < top || y + 0.5 > bottom) {
                    continue;
                }
                ColourValue& pixel = m_pixels[static_cast<std::size_t>(y * width_px() + x)];
                ColourValue blended = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const int under = static_cast<int>((pixel >> shift) & 0xFF);
                    const int over = static_cast<int>((colour >> shift) & 0xFF);
                    blended |= static_cast<ColourValue>((over * alpha + under * (255 - alpha)) / 255)
                        << shift;
                }
                pixel = blended;
            }
        }
    }
    void do_print(std::string_view) override { }
    double do_text_width(std::string_view) override { return 0; }
    double do_text_height(std::string_view) override { return 0; }
    void do_paint_picture(const Canvas&, double, double) override { }

private:
    static double distance(double x, double y, CanvasPointF a, CanvasPointF b)
    {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
        return std::hypot(x - a.x - t * dx, y - a.y - t * dy);
    }
    static ColourValue blend(ColourValue under, ColourValue over, int alpha)
    {
        ColourValue out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int a = static_cast<int>((under >> shift) & 0xFF);
            const int b = static_cast<int>((over >> shift) & 0xFF);
            out |= static_cast<ColourValue>((b * alpha + a * (255 - alpha) + 127) / 255) << shift;
        }
        return out;
    }
    template <typename Inside> void paint(Inside inside, ColourValue colour, int alpha)
    {
        for (int y = 0; y < height_px(); ++y) {
            for (int x = 0; x < width_px(); ++x) {
                if (inside(x + 0.5, y + 0.5)) {
                    ColourValue& pixel = m_pixels[static_cast<std::size_t>(y * width_px() + x)];
                    pixel = alpha >= 255 ? colour : blend(pixel, colour, alpha);
                }
            }
        }
    }

    std::vector<ColourValue> m_pixels;
};

} // namespace tintwell::map
