#include "qt_test_app.h"
#include "render/arrow.h"
#include "render/qt/qt_canvas.h"

#include <QFontInfo>
#include <QPainter>
#include <QPolygonF>
#include <gtest/gtest.h>
#include <vector>

using namespace tintwell;

namespace {

constexpr ColourValue red = 0x0000FF;
constexpr ColourValue blue = 0xFF0000;
constexpr QRgb back = 0xFFFAF5FA; // the sample background as a QImage pixel

QRgb at(const QtCanvas& canvas, int x, int y)
{
    return canvas.image().pixel(x, y);
}

// A sample box of the design size, cleared to the sample background.
struct SampleBox : QtCanvas
{
    SampleBox()
        : QtCanvas(64, 60)
    {
        state.back_color = sample_back_color;
        cls();
    }
};

struct PixelCase
{
    int x, y;
    QRgb expected;
};

void expect_pixels(const QtCanvas& canvas, std::initializer_list<PixelCase> cases)
{
    for (const PixelCase& p : cases) {
        EXPECT_EQ(at(canvas, p.x, p.y), p.expected) << "pixel " << p.x << "," << p.y;
    }
}

TEST(QtCanvas, FilledBoxInTwipsCoversItsCornersToTheNearestPixel)
{
    SampleBox box;
    // x 42..832 twips is pixels 3..55, y 100..160 is pixels 7..11 (6.67 and 10.67 rounded).
    box.line(42, 100, 832, 160, red, LineForm::FilledBox);
    expect_pixels(box,
        { { 3, 7, 0xFFFF0000 }, { 55, 11, 0xFFFF0000 }, { 2, 7, back }, { 56, 11, back },
            { 3, 6, back }, { 3, 12, back } });
}

TEST(QtCanvas, ZeroHeightFilledBoxIsAOnePixelLine)
{
    SampleBox box;
    box.line(42, 450, 832, 450, blue, LineForm::FilledBox);
    expect_pixels(box, { { 3, 30, 0xFF0000FF }, { 3, 29, back }, { 3, 31, back } });
}

TEST(QtCanvas, HairlineBoxAndSegmentLandOnWholePixelsWithBothEnds)
{
    SampleBox box;
    box.state.scale_mode = ScaleMode::Pixels;
    box.line(10, 10, 20, 15, red, LineForm::Box);
    box.line(30, 40, 40, 40, blue);
    expect_pixels(box,
        { { 10, 10, 0xFFFF0000 }, { 20, 15, 0xFFFF0000 }, { 20, 10, 0xFFFF0000 }, { 15, 12, back },
            { 21, 15, back }, { 9, 10, back }, { 30, 40, 0xFF0000FF }, { 40, 40, 0xFF0000FF },
            { 41, 40, back }, { 35, 39, back }, { 35, 41, back } });
}

TEST(QtCanvas, AnInvisiblePenHidesOutlinesAndSegmentsButNotFilledBoxes)
{
    SampleBox box;
    box.state.scale_mode = ScaleMode::Pixels;
    box.state.draw_style = DrawStyle::Invisible;
    box.line(10, 10, 20, 15, red, LineForm::Box);
    box.line(30, 40, 40, 40, red);
    box.line(50, 50, 52, 52, blue, LineForm::FilledBox);
    expect_pixels(box,
        { { 10, 10, back }, { 20, 15, back }, { 30, 40, back }, { 35, 40, back },
            { 50, 50, 0xFF0000FF }, { 52, 52, 0xFF0000FF } });
}

TEST(QtCanvas, CornersGivenRightToLeftOrBottomToTopCoverTheSamePixels)
{
    SampleBox box;
    box.state.scale_mode = ScaleMode::Pixels;
    box.line(40, 40, 30, 40, blue);
    box.line(20, 15, 10, 10, red, LineForm::FilledBox);
    box.line(60, 30, 50, 20, blue, LineForm::Box);
    expect_pixels(box,
        { { 40, 40, 0xFF0000FF }, { 30, 40, 0xFF0000FF }, { 41, 40, back }, { 29, 40, back },
            { 10, 10, 0xFFFF0000 }, { 20, 15, 0xFFFF0000 }, { 21, 15, back }, { 20, 16, back },
            { 50, 20, 0xFF0000FF }, { 60, 30, 0xFF0000FF }, { 55, 25, back } });
}

TEST(QtCanvas, PolygonOutlineInTheForeColourAroundTheFill)
{
    SampleBox box;
    box.state.scale_mode = ScaleMode::Pixels;
    box.state.fill_style = FillStyle::Solid;
    box.state.fill_color = red;
    box.state.fore_color = blue;
    const std::vector<CanvasPoint> square = { { 10, 10 }, { 30, 10 }, { 30, 30 }, { 10, 30 } };
    box.polygon(square);
    expect_pixels(box,
        { { 10, 10, 0xFF0000FF }, { 20, 10, 0xFF0000FF }, { 30, 20, 0xFF0000FF },
            { 20, 20, 0xFFFF0000 }, { 9, 20, back }, { 31, 20, back } });

    box.state.fill_style = FillStyle::Transparent;
    const std::vector<CanvasPoint> other = { { 40, 10 }, { 60, 10 }, { 60, 30 }, { 40, 30 } };
    box.polygon(other);
    expect_pixels(box, { { 40, 20, 0xFF0000FF }, { 50, 20, back } });
}

TEST(QtCanvas, PolygonUsesTheAlternateRule)
{
    SampleBox box;
    box.state.scale_mode = ScaleMode::Pixels;
    box.state.fill_style = FillStyle::Solid;
    box.state.fill_color = red;
    box.state.draw_style = DrawStyle::Invisible;
    // A five-pointed star drawn in one stroke: its centre is inside twice, so left empty.
    const std::vector<CanvasPoint> star = { { 32, 2 }, { 50, 56 }, { 4, 22 }, { 60, 22 },
        { 14, 56 } };
    box.polygon(star);
    expect_pixels(box, { { 32, 33, back }, { 32, 10, 0xFFFF0000 }, { 1, 1, back } });
}

TEST(QtCanvas, ArrowGlyph)
{
    SampleBox box;
    float k = 1;
    float b = 1;
    draw_arrow(box, red, blue, k, b);
    // Body inside, the 3-pixel outline on the right edge of the stem (x = 43), outside untouched.
    expect_pixels(box,
        { { 32, 30, 0xFFFF0000 }, { 32, 15, 0xFFFF0000 }, { 43, 35, 0xFF0000FF },
            { 44, 35, 0xFF0000FF }, { 42, 35, 0xFF0000FF }, { 46, 35, back }, { 2, 2, back },
            { 60, 50, back } });

    float no_border = 0;
    draw_arrow(box, red, blue, k, no_border);
    expect_pixels(box, { { 44, 35, back }, { 32, 30, 0xFFFF0000 } });
}

TEST(QtCanvas, ArialResolvesAndMeasuresText)
{
    ensure_gui_app();
    QtCanvas canvas(100, 40);
    canvas.state.font = caption_font();
    const QFontInfo info(QFont(QString::fromStdString(canvas.state.font.name)));
    EXPECT_FALSE(info.family().isEmpty());
    const double wide = canvas.text_width("WWWW");
    EXPECT_GT(wide, canvas.text_width("iiii"));
    // 7.8 points at 96 dots per inch is 10.4 pixels; a line is about 12 pixels (180 twips).
    EXPECT_NEAR(canvas.text_height("W"), 180, 45);
    canvas.state.scale_mode = ScaleMode::Pixels;
    EXPECT_NEAR(canvas.text_width("WWWW") * 15, wide, 1e-6);
}

} // namespace

// A translucent box shows the checkerboard through its colour: squares of 4 pixels from the
// image's top-left, light then dark, mixed with the colour by its opacity.
TEST(QtCanvas, TranslucentBoxShowsTheCheckerboardThroughItsColour)
{
    struct Case
    {
        int alpha;
        QRgb light_square;
        QRgb dark_square;
    };
    for (const Case& c : { Case { 0, 0xFFFFFFFF, 0xFFD6D6D6 }, Case { 255, 0xFF000000, 0xFF000000 },
             Case { 128, 0xFF7F7F7F, 0xFF6B6B6B }, Case { -20, 0xFFFFFFFF, 0xFFD6D6D6 } }) {
        SCOPED_TRACE(c.alpha);
        SampleBox box;
        box.translucent_box(0, 0, 15 * 15, 15 * 15, 0x000000, c.alpha);
        expect_pixels(box,
            { { 0, 0, c.light_square }, { 4, 0, c.dark_square }, { 4, 4, c.light_square },
                { 15, 15, c.light_square }, { 16, 16, back } });
    }
}

namespace {

// How much of a pixel a black stroke on white covers, 0 to 255.
int ink(const QImage& image, int x, int y)
{
    return 255 - qGray(image.pixel(x, y));
}

} // namespace

// A map stroke covers what a round-capped, round-joined pen covers: every pixel wholly inside
// that outline is wholly covered (no seam where two segments meet, no notch at a turn) and no
// pixel wholly outside it is touched (no square corner at an end or a turn). Only the smoothed
// edge pixels may differ much.
TEST(QtCanvas, StrokeCoversWhatARoundJoinedPenCovers)
{
    ensure_gui_app();
    struct Case
    {
        const char* name;
        std::vector<CanvasPointF> points;
        double width;
    };
    const std::vector<Case> cases = {
        { "straight, many points", { { 10, 40 }, { 30, 40.3 }, { 50, 40.6 }, { 70, 41 } }, 10 },
        { "right angle", { { 10, 10 }, { 60, 10 }, { 60, 70 } }, 12 },
        { "sharp zigzag", { { 8, 70 }, { 40, 10 }, { 50, 70 }, { 75, 12 } }, 9 },
        { "gentle curve", { { 5, 60 }, { 25, 50 }, { 45, 45 }, { 65, 44 }, { 75, 46 } }, 14 },
        { "short", { { 40, 40 }, { 41, 41 } }, 16 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtCanvas canvas(80, 80);
        canvas.state.back_color = 0xFFFFFF;
        canvas.cls();
        canvas.stroke(c.points, c.width, 0x000000);

        QImage expected(80, 80, QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(Qt::black, c.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF line;
        for (const CanvasPointF& p : c.points) {
            line << QPointF(p.x, p.y);
        }
        painter.drawPolyline(line);
        painter.end();

        int inside = 0;
        int light = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 80; ++x) {
                const int want = ink(expected, x, y);
                const int got = ink(canvas.image(), x, y);
                if (want == 255) {
                    ++inside;
                    // Where the edges of two segments cross inside the line, each smooths its
                    // own edge and a pixel may come out a little light; a seam or a notch
                    // leaves far less.
                    EXPECT_GE(got, 192) << "gap at " << x << "," << y;
                    light += got < 250 ? 1 : 0;
                } else if (want == 0) {
                    EXPECT_LE(got, 8) << "overreach at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(inside, 0);
        EXPECT_LE(light * 50, inside);
    }
}

// Inside a drawing scope the strokes share one painter; a box drawn between them (with a
// painter of its own) still lands, and so does everything once the scope ends.
TEST(QtCanvas, DrawingScopeKeepsEveryOperation)
{
    ensure_gui_app();
    QtCanvas canvas(40, 20);
    canvas.state.scale_mode = ScaleMode::Pixels;
    canvas.cls();
    {
        const Canvas::DrawingScope scope(canvas);
        const std::vector<CanvasPointF> left = { { 5, 5 }, { 5, 15 } };
        const std::vector<CanvasPointF> right = { { 35, 5 }, { 35, 15 } };
        canvas.stroke(left, 4, red);
        canvas.line(18, 8, 22, 12, blue, LineForm::FilledBox);
        {
            const Canvas::DrawingScope inner(canvas);
            canvas.fill_shape(std::vector<CanvasPointF> { { 24, 2 }, { 30, 2 }, { 27, 8 } }, blue);
        }
        canvas.stroke(right, 4, red);
    }
    expect_pixels(canvas,
        { { 5, 10, 0xFFFF0000 }, { 20, 10, 0xFF0000FF }, { 27, 4, 0xFF0000FF },
            { 35, 10, 0xFFFF0000 }, { 12, 10, 0xFFFFFFFF } });
}
