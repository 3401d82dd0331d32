#include "render/qt/render_map_png.h"

#include "colour/colour_science.h"
#include "map/map_draw.h"
#include "map/map_plan.h"
#include "map/scene.h"
#include "model/prompter.h"
#include "model/reader.h"
#include "model/text.h"
#include "render/qt/qt_canvas.h"
#include "render/qt/render_png.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>

namespace tintwell {

namespace {

constexpr int default_width = 1600;
// An image beyond this many pixels (about 256 MB) is refused rather than attempted.
constexpr std::int64_t largest_image = std::int64_t { 64 } * 1024 * 1024;

std::optional<colour::Vision> vision_named(const std::string& name)
{
    for (const auto vision : { colour::Vision::Normal, colour::Vision::Protanopia,
             colour::Vision::Deuteranopia, colour::Vision::Tritanopia }) {
        if (name == colour::vision_name(vision)) {
            return vision;
        }
    }
    return std::nullopt;
}

} // namespace

int render_map_png(const MapRenderRequest& request, std::ostream& err)
{
    const auto vision = vision_named(request.vision);
    if (!vision) {
        err << "tintwell: unknown vision " << request.vision << '\n';
        return 1;
    }
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    const bool accepted = open_theme(doc, request.file);
    for (const std::string& m : prompter.messages) {
        err << request.file << ": " << text::latin1_to_utf8(m) << '\n';
    }
    if (!accepted) {
        err << "tintwell: " << request.file << " was not read as a theme\n";
        return 1;
    }

    map::MapLook look;
    look.night = request.night;
    if (!request.presentation.empty()) {
        const std::string wanted = text::upper(text::trim_view(request.presentation));
        bool found = false;
        for (const std::string& name : map::map_presentations(doc)) {
            found = found || (!name.empty() && name == wanted);
        }
        if (!found) {
            err << "tintwell: " << request.file << " has no presentation " << request.presentation
                << '\n';
            return 1;
        }
        look.presentation = wanted;
    }

    const map::Scene& scene = map::town_scene();
    const std::int64_t width = request.width_px > 0 ? request.width_px : default_width;
    const auto height = static_cast<std::int64_t>(
        std::max(1.0, std::round(static_cast<double>(width) * scene.height / scene.width)));
    if (width * height > largest_image) {
        err << "tintwell: the map is too large for one image (" << width << " x " << height
            << " pixels)\n";
        return 1;
    }
    QtCanvas canvas(static_cast<int>(width), static_cast<int>(height));
    const map::MapPlan plan = map::plan_map(doc, scene, look);
    map::draw_map(canvas, scene, plan,
        map::fit_view(scene, static_cast<double>(width), static_cast<double>(height)), *vision);

    return save_png(canvas.image(), request.output, "the map of " + request.file, err);
}

int render_map_png_command(const MapRenderRequest& request, std::ostream& err)
{
    return with_gui_application([&] { return render_map_png(request, err); });
}

} // namespace tintwell
