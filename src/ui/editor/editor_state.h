#pragma once

#include "colour/colour_codes.h"
#include "model/open_style.h"

#include <array>
#include <optional>
#include <string>

namespace tintwell {

/// The part of a style the colour pickers set. The values are those the sample renderer takes.
enum class EditedPart { Border = 0, Line = 1, Fill = 3 };

/// Which colours the editor shows and sets.
enum class DayNight { Day, Night };

/// In a Sport & Fitness area, which of its two colours the pickers set.
enum class AreaColour { Primary, Secondary };

/// The four hexadecimal boxes `Text2_0`..`Text2_3`: the border colour, the line colour, the
/// Sport & Fitness area part picked with Label8 or Label9, and the fill colour.
enum class HexField { Border, Line, AreaPart, Fill };
inline constexpr std::array<HexField, 4> hex_fields = { HexField::Border, HexField::Line,
    HexField::AreaPart, HexField::Fill };
inline constexpr std::size_t index_of(HexField field)
{
    return static_cast<std::size_t>(field);
}

/// The two number boxes with a slider each: the border width (`Text1_0`, `scrol_0`) and the
/// scale (`Text1_1`, `scrol_1`).
enum class ValueBox { Border, Scale };
inline constexpr std::size_t index_of(ValueBox box)
{
    return static_cast<std::size_t>(box);
}

/// The editor's two buttons `command1_0` and `command1_1`.
enum class EditorButton { Cancel, Apply };

/// Which way the editor's own history moves.
enum class UndoDirection { Undo, Redo };

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
    /// A hex box typed into without Enter, by HexField; Apply and Day/Night wait for it.
    std::array<bool, 4> pending {};

    bool night() const { return mode == DayNight::Night; }
    /// The working colour of the line or fill in the current mode.
    std::string& line_colour() { return night() ? colours.pri_night : colours.pri_day; }
    /// The working colour of the border in the current mode.
    std::string& border_colour() { return night() ? colours.sec_night : colours.sec_day; }
    /// The colour a pick sets: the line or fill colour for an area or with the line part
    /// chosen, else the border colour.
    /// The working colour of a part of a Sport & Fitness area in the current mode.
    const std::string& area_part_colour(AreaColour which) const
    {
        if (which == AreaColour::Primary) {
            return night() ? colours.pri_night : colours.pri_day;
        }
        return night() ? colours.sec_night : colours.sec_day;
    }
    /// Sets the colour of the area part being picked (`area_colour`) in the current mode.
    void set_nwfcols(const std::string& colour)
    {
        const bool primary = area_colour == AreaColour::Primary;
        if (night()) {
            (primary ? colours.pri_night : colours.sec_night) = colour;
        } else {
            (primary ? colours.pri_day : colours.sec_day) = colour;
        }
    }
    bool picks_line() const { return is_pgon || part != EditedPart::Border; }
    /// The first hex box with an entry waiting for Enter, if any.
    std::optional<HexField> pending_box() const
    {
        for (const HexField field : hex_fields) {
            if (pending[index_of(field)]) {
                return field;
            }
        }
        return std::nullopt;
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
