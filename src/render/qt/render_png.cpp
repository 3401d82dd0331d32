#include "render/qt/render_png.h"

#include "model/open_style.h"
#include "model/prompter.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"
#include "render/preview.h"
#include "render/qt/qt_canvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <ostream>

namespace tintwell {

namespace {

// An image beyond this many pixels (about 256 MB) is refused rather than attempted.
constexpr std::int64_t largest_image = std::int64_t { 64 } * 1024 * 1024;
constexpr std::int64_t tallest_image = 1'000'000;

std::int64_t to_pixels_up(std::int64_t twips)
{
    return (twips + twips_per_pixel - 1) / twips_per_pixel;
}

} // namespace

int render_png(const std::string& file, const std::string& output, int width_px, std::ostream& err)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    const bool accepted = open_theme(doc, file);
    shorten_day_colours(doc);
    for (const std::string& m : prompter.messages) {
        err << file << ": " << text::latin1_to_utf8(m) << '\n';
    }
    if (!accepted) {
        err << "tintwell: " << file << " was not read as a theme\n";
        return 1;
    }

    const std::int64_t width_twips = width_px > 0 ? std::int64_t { width_px } * twips_per_pixel
                                                  : preview_metrics::container_width;
    Preview preview(qt_canvas_factory());
    preview.headings = true;
    preview.plot(doc, PlotMode::Fresh, width_twips, preview_metrics::visible_height);
    // Without rows the container keeps its initial height, far taller than anything it shows.
    const std::int64_t height_twips = preview.layout().rows.empty()
        ? preview_metrics::visible_height
        : preview.layout().container_height;

    const std::int64_t image_width = width_px > 0 ? width_px : to_pixels_up(width_twips);
    const std::int64_t image_height = to_pixels_up(height_twips);
    if (image_height > tallest_image || image_width * image_height > largest_image) {
        err << "tintwell: the preview of " << file << " is too large for one image (" << image_width
            << " x " << image_height << " pixels)\n";
        return 1;
    }

    QtCanvas canvas(static_cast<int>(image_width), static_cast<int>(image_height));
    paint_preview(canvas, doc, preview, TwipRect { 0, 0, width_twips, height_twips });
    return save_png(canvas.image(), output, "the preview of " + file, err);
}

int save_png(
    const QImage& image, const std::string& output, const std::string& what, std::ostream& err)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        err << "tintwell: " << what << " could not be encoded as PNG\n";
        return 1;
    }
    std::string error;
    if (replace_file(
            output, std::string(png.constData(), static_cast<std::size_t>(png.size())), error)
        != ReplaceResult::Replaced) {
        err << error << '\n';
        return 1;
    }
    return 0;
}

int with_gui_application(const std::function<int()>& draw)
{
    if (QGuiApplication::instance() != nullptr) {
        return draw();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int argc = 1;
    char name[] = "tintwell";
    char* argv[] = { name, nullptr };
    QGuiApplication app(argc, argv);
    return draw();
}

int render_png_command(
    const std::string& file, const std::string& output, int width_px, std::ostream& err)
{
    return with_gui_application([&] { return render_png(file, output, width_px, err); });
}

} // namespace tintwell
