#pragma once

#include "analysis/colour_edits.h"
#include "model/document.h"

#include <vector>

// Night colours made from the day ones: the map darkened with its hues kept, and every line as
// easy to see on the night ground as it was by day.
namespace tintwell {

/// How the night looks.
struct NightSettings
{
    /// The CIE L* the land takes at night; the other areas keep their lightness relative to it.
    double land_lightness = 20;
    /// How much of its day chroma a colour keeps at night, 0 to 1.
    double saturation = 0.6;
};

/// Night colours for the rows given, from their day colours, as one edit named "Make Night
/// Colours". Areas move to a dark range with their hues kept, the land to
/// `settings.land_lightness`; each line (and text) gets the colour nearest its darkened day colour
/// that keeps at least its day contrast against the ground it is drawn on, or its rule's
/// threshold when that is higher; the route keeps its lead over every road. What the checker
/// still finds at night among these rows is then fixed as "Fix" fixes it. Rows outside `rows` keep
/// their colours and serve as they are as grounds.
ColourEdit make_night_colours(
    const Document& doc, const std::vector<int>& rows, const NightSettings& settings = {});

} // namespace tintwell
