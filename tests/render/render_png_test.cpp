#include "app/batch.h"
#include "model/reader.h"
#include "qt_test_app.h"
#include "render/preview.h"
#include "render/qt/qt_canvas.h"
#include "render/qt/render_png.h"

#include <QImage>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tintwell;

namespace {

const std::string theme = std::string(TINTWELL_TEST_DATA) + "/render_car_zumo.kmtf";

std::string output_path(const char* name)
{
    return (std::filesystem::path(TINTWELL_BUILD_DIR) / name).string();
}

int render(const std::vector<std::string>& args, std::string& errors)
{
    ensure_gui_app();
    std::ostringstream out;
    std::ostringstream err;
    const int code = run_batch(args, out, err, render_png_command);
    errors = err.str();
    return code;
}

// A point inside a sample, in twips from the box's top-left, and the colour the row gives it.
struct Probe
{
    const char* what;
    int row;
    int x;
    int y;
    ColourValue colour;
};

TEST(RenderPng, EverySampleShowsItsRowsColours)
{
    const std::string png = output_path("render_car_zumo.png");
    std::filesystem::remove(png);
    std::string errors;
    ASSERT_EQ(render({ "--render", theme, "--output", png, "--width", "600" }, errors), 0)
        << errors;
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 600);
    EXPECT_EQ(image.height(), 624) << "a short theme fills the visible height";

    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    ASSERT_TRUE(open_theme(doc, theme));
    ASSERT_EQ(doc.row_count(), 6);
    // Laid out as --render lays it out, with the presentations' headings.
    const PreviewLayout layout =
        layout_preview(doc, 600 * 15, preview_metrics::visible_height, 1, nullptr, true);

    const auto pixel = [&](std::int64_t x, std::int64_t y) {
        return image.pixel(static_cast<int>(x / 15), static_cast<int>(y / 15)) & 0xFFFFFF;
    };
    const auto rgb = [](ColourValue v) { return to_qcolor(v).rgb() & 0xFFFFFF; };

    for (const Probe& p : {
             Probe { "water body", 0, 400, 300, 0xCC6633 },
             Probe { "water night swatch", 0, 725, 665, 0x402010 },
             Probe { "highway day body", 1, 400, 205, 0x0080FF },
             Probe { "highway day border", 1, 400, 130, 0x202020 },
             Probe { "highway night body", 1, 400, 555, 0x004080 },
             Probe { "highway night border", 1, 400, 480, 0x000000 },
             Probe { "rail middle", 2, 392, 420, 0x606060 },
             Probe { "rail left", 2, 100, 420, 0xE0E0E0 },
             Probe { "rail has no night band", 2, 392, 700, sample_back_color },
             Probe { "arrow body", 3, 480, 450, 0x00C000 },
             Probe { "small night arrow", 3, 720, 660, 0x008000 },
             Probe { "land body", 4, 400, 300, 0xC0E0F0 },
             Probe { "road body", 5, 400, 360, 0xFF0000 },
             Probe { "sample background", 5, 20, 20, sample_back_color },
         }) {
        const TwipRect& box = layout.rows[static_cast<std::size_t>(p.row)].box;
        EXPECT_EQ(pixel(box.left + p.x, box.top + p.y), rgb(p.colour)) << p.what;
    }

    ASSERT_EQ(layout.rules.size(), 2U);
    for (const std::int64_t rule : layout.rules) {
        // A rule lies on the pixel row nearest to it.
        const std::int64_t on_pixel = std::llround(static_cast<double>(rule) / 15) * 15;
        EXPECT_EQ(pixel(150, on_pixel), rgb(presentation_rule_color));
        EXPECT_EQ(pixel(150, on_pixel - 30), rgb(container_back_color));
    }

    for (const PreviewRow& row : layout.rows) {
        int ink = 0;
        for (std::int64_t y = row.caption.top; y < row.caption.bottom(); y += 15) {
            for (std::int64_t x = row.caption.left; x < row.caption.right(); x += 15) {
                ink += pixel(x, y) != rgb(container_back_color) ? 1 : 0;
            }
        }
        EXPECT_GT(ink, 10) << "caption text under box at " << row.box.left << "," << row.box.top;
    }
}

TEST(RenderPng, LinesWithWidthsShowTheirLineColourInsideTheirHalfOfTheBox)
{
    const std::string file = std::string(TINTWELL_TEST_DATA) + "/render_sport_fitness.kmtf";
    const std::string png = output_path("render_sport_fitness.png");
    std::string errors;
    ASSERT_EQ(render({ "--render", file, "--output", png }, errors), 0) << errors;
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());

    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    ASSERT_TRUE(open_theme(doc, file));
    const PreviewLayout layout =
        layout_preview(doc, preview_metrics::container_width, preview_metrics::visible_height);
    struct Case
    {
        const char* what;
        int row;
        QRgb day_line;
        QRgb night_line; // 0: no night band
    };
    for (const Case& c : { Case { "interstate, widths 3 and 3", 0, 0xE8613C, 0x5C262C },
             Case { "widths far wider than the box", 1, 0x2040C0, 0x102060 },
             Case { "a foreground of half a pixel, no night", 2, 0x30A030, 0 } }) {
        SCOPED_TRACE(c.what);
        const TwipRect& box = layout.rows[static_cast<std::size_t>(c.row)].box;
        ASSERT_TRUE(layout.rows[static_cast<std::size_t>(c.row)].width_style);
        // Pixel rows of the sample's middle column holding each colour, by half of the box.
        int day_in_upper = 0;
        int day_in_lower = 0;
        int night_in_lower = 0;
        const int x = static_cast<int>((box.left + 400) / 15);
        for (int y = static_cast<int>(box.top / 15); y < box.bottom() / 15; ++y) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            const bool upper = y * 15 < box.top + 450;
            day_in_upper += pixel == c.day_line && upper ? 1 : 0;
            day_in_lower += pixel == c.day_line && !upper ? 1 : 0;
            night_in_lower += pixel == c.night_line && !upper ? 1 : 0;
        }
        EXPECT_GE(day_in_upper + day_in_lower, 1) << "the day line colour shows";
        if (c.night_line != 0) {
            EXPECT_EQ(day_in_lower, 0) << "the day band keeps to the upper half";
            EXPECT_GE(night_in_lower, 1) << "the night line colour shows";
        }
    }
}

TEST(RenderPng, ZoomedSamplesOnADenseScreenAreDrawnSharp)
{
    ensure_gui_app();
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    ASSERT_TRUE(open_theme(doc, theme));
    Preview preview(qt_canvas_factory());
    preview.set_zoom(1.5);
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    // A screen of twice the usual density: 3 image pixels to each design pixel of a sample.
    QtCanvas screen(1562, 1248);
    screen.set_scale(2);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 9360 });

    const TwipRect& road = preview.layout().rows[1].box; // the bordered highway
    const int x = static_cast<int>((road.left + 400 * 1.5) * 2 / 15);
    std::map<QRgb, int> runs;
    for (int y = static_cast<int>(road.top * 2 / 15); y < road.bottom() * 2 / 15; ++y) {
        ++runs[screen.image().pixel(x, y) & 0xFFFFFF];
    }
    // Only the colours drawn, none blended between them: background, day and night bodies and
    // borders. The day body is 6 pixels high at design size, the strips round it 4 and 5;
    // drawn at three times the resolution, not enlarged, the strips come to 12 and 13.
    EXPECT_EQ(runs.size(), 5U);
    EXPECT_EQ(runs[0xFF8000], 18) << "day body";
    EXPECT_EQ(runs[0x202020], 25) << "day border strips";
}

TEST(RenderPng, RejectedFileAndUnwritableOutputFail)
{
    std::string errors;
    EXPECT_EQ(render({ "--render", std::string(TINTWELL_TEST_DATA) + "/no_such.kmtf", "--output",
                         output_path("none.png") },
                  errors),
        1);
    EXPECT_NE(errors.find("no_such.kmtf: No such file"), std::string::npos) << errors;
    const std::string nowhere = output_path("no_dir/x/out.png");
    EXPECT_EQ(render({ "--render", theme, "--output", nowhere }, errors), 1);
    EXPECT_EQ(errors, nowhere + ": No such file or directory\n");
}

// The PNG is saved as a theme is: a pipe or device is refused without waiting on it, and a write
// that fails says why and leaves the old PNG whole with nothing beside it.
TEST(RenderPng, OutputsThatCannotTakeThePngLeaveTheOldOne)
{
    namespace fs = std::filesystem;
    const fs::path folder = output_path("render_outputs");
    fs::remove_all(folder);
    fs::create_directories(folder / "folder.png");
    const std::string pipe = (folder / "pipe.png").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string old_png = (folder / "old.png").string();
    const std::string old_bytes(5000, 'p');
    std::ofstream(old_png, std::ios::binary) << old_bytes;
    struct Case
    {
        std::string output;
        rlim_t size_limit;
        std::string message;
    };
    const std::string inner = (folder / "folder.png").string();
    const Case cases[] = {
        { "/dev/full", RLIM_INFINITY, "/dev/full is not a regular file" },
        { pipe, RLIM_INFINITY, pipe + " is not a regular file" },
        { inner, RLIM_INFINITY, inner + ": Is a directory" },
        { old_png, 1000, old_png + ": File too large" },
    };
    for (const Case& c : cases) {
        const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old_limit {};
        getrlimit(RLIMIT_FSIZE, &old_limit);
        rlimit limit = old_limit;
        limit.rlim_cur = c.size_limit;
        setrlimit(RLIMIT_FSIZE, &limit);
        // A write that waits on the pipe is ended by the alarm, failing the test.
        ::alarm(20);
        std::string errors;
        const int code = render({ "--render", theme, "--output", c.output }, errors);
        ::alarm(0);
        setrlimit(RLIMIT_FSIZE, &old_limit);
        std::signal(SIGXFSZ, old_handler);
        EXPECT_EQ(code, 1) << c.output;
        EXPECT_EQ(errors, c.message + "\n");
    }
    std::ifstream in(old_png, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old_bytes);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
    fs::remove_all(folder);
}

TEST(RenderPng, DefaultWidthIsTheDesignWidth)
{
    const std::string png = output_path("render_default.png");
    std::string errors;
    ASSERT_EQ(render({ "--render", theme, "--output", png }, errors), 0) << errors;
    EXPECT_EQ(QImage(QString::fromStdString(png)).width(), 781);
}

} // namespace
