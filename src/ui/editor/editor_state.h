#pragma once

#include "colour/colour_codes.h"

#include <array>
#include <string>

namespace tintwell {

/// The part of a style the colour pickers set. The values are those the sample renderer takes.
enum class EditedPart { Border = 0, Line = 1, Fill = 3 };

/// Which colours the editor shows and sets.
enum class DayNight { Day, Night };

/// In a Sport & Fitness area, which of its two colours the pickers set.
enum class AreaColour { Primary, Secondary };

/// The four working colours: hexadecimal text as the row keeps it; empty or "-1" is no colour.
struct WorkingColours
{
    std::string pri_day;
    std::string sec_day;
    std::string pri_night;
    std::string sec_night;

    bool operator==(const WorkingColours&) const = default;
};

/// What the style editor holds while it is open, apart from its boxes.
struct StyleEditorState
{
    WorkingColours colours;
    EditedPart part = EditedPart::Line;
    DayNight mode = DayNight::Day;
    AreaColour area_colour = AreaColour::Primary;
    bool is_pgon = false;
    /// The colour values last picked for the border (0) and for the line or fill (1).
    std::array<ColourValue, 2> cur_col {};
    /// A hex box `Text2`(i) typed into without Enter; Apply and Day/Night wait for it.
    std::array<bool, 4> pending {};

    bool night() const { return mode == DayNight::Night; }
    /// The working colour of the line or fill in the current mode.
    std::string& line_colour() { return night() ? colours.pri_night : colours.pri_day; }
    /// The working colour of the border in the current mode.
    std::string& border_colour() { return night() ? colours.sec_night : colours.sec_day; }
    /// The colour a pick sets: the line or fill colour for an area or with the line part
    /// chosen, else the border colour.
    bool picks_line() const { return is_pgon || part != EditedPart::Border; }
    /// The first hex box with an entry waiting for Enter, or -1.
    int pending_box() const
    {
        for (std::size_t k = 0; k < pending.size(); ++k) {
            if (pending[k]) {
                return static_cast<int>(k);
            }
        }
        return -1;
    }
};

/// One step of the editor's undo history: which part was edited, day or night, the four
/// working colours, and the scale and border width exactly as their boxes held them.
struct EditorStep
{
    EditedPart part = EditedPart::Line;
    DayNight mode = DayNight::Day;
    WorkingColours colours;
    std::string scale;
    std::string border;

    bool operator==(const EditorStep&) const = default;
};

} // namespace tintwell
