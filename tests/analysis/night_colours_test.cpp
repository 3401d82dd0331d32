#include "../model/theme_fixture.h"
#include "analysis/night_colours.h"
#include "analysis/theme_lint.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace tintwell;
using namespace tintwell::test;

namespace {

// A day theme of our own with the usual parts of a map, night colours missing or equal to the
// day ones.
std::string day_styles(bool night_as_day)
{
    const auto style = [&](const char* field, const char* day, const char* border = "",
                           const char* width = "") {
        return coloured_style(
            field, day, night_as_day ? day : "", border, night_as_day ? border : "", width);
    };
    return style("MAP_LAND", "F2EFE9") + style("MAP_URBAN_LAND", "E6E1D8")
        + style("MAP_WATER", "9CC3E6") + style("MAP_PARK", "C8E6B0") + style("MAP_WOODS", "B5D6A0")
        + style("MAP_ROAD_INTERSTATE", "E8603C", "A0402A", "1")
        + style("MAP_ROAD_HWY_MJR", "F2A65A", "8C5A2B", "1") + style("MAP_ROAD_ARTERIAL", "F6CF6B")
        + style("MAP_ROAD_RESIDENTIAL", "8A8A8A") + style("MAP_RTE_ACTV_LEG", "7A3CE8")
        + style("MAP_DPTH_CNTR_MJR", "5E8FC0") + style("MAP_RAILROAD", "707070");
}

double hue_of(colour::Rgb c)
{
    const colour::Lab lab = colour::to_lab(c);
    return std::atan2(lab.b, lab.a) * 180 / std::numbers::pi;
}

} // namespace

// Night colours made from a day theme read as well at night as the theme does by day: no more
// findings at night than by day, the land dark, and every coloured hue kept.
TEST(NightColours, AsReadableAtNightAsByDayWithDarkLandAndHuesKept)
{
    for (const bool night_as_day : { false, true }) {
        Loaded loaded;
        ASSERT_TRUE(loaded.load(car_zumo_theme(presentation("GUIDANCE", day_styles(night_as_day))
            + presentation("BROWSE", day_styles(night_as_day)))));
        Document& doc = loaded.doc;
        std::vector<int> all(doc.rows.size());
        for (int r = 0; r < doc.row_count(); ++r) {
            all[static_cast<std::size_t>(r)] = r;
        }
        const ColourEdit edit = make_night_colours(doc, all);
        EXPECT_EQ(edit.description, "Make Night Colours");
        EXPECT_EQ(edit.styles, doc.row_count());
        edit.edit.apply(doc);

        int day = 0;
        int night = 0;
        ThemeChecker checker;
        checker.check_each(doc, [&](Finding&& f) {
            day += f.period == Period::Day || f.period == Period::DayAndNight;
            night += f.period == Period::Night || f.period == Period::DayAndNight;
            // What is left at night is at most a deficiency's view of two close colours.
            if (f.period == Period::Night) {
                EXPECT_NE(f.vision, colour::Vision::Normal) << describe(f);
            }
        });
        EXPECT_LE(night, day) << night_as_day;

        for (const StyleRow& row : doc.rows) {
            const auto d = colour::parse_rgb(row.pri_day());
            const auto n = colour::parse_rgb(row.pri_night());
            ASSERT_TRUE(d && n) << row.field_name();
            if (row.field_name() == "MAP_LAND_CLR" || row.field_name() == "MAP_LAND") {
                EXPECT_LE(colour::to_lab(*n).L, 30);
            }
            const colour::Lab lab = colour::to_lab(*d);
            if (std::hypot(lab.a, lab.b) > 10
                && std::hypot(colour::to_lab(*n).a, colour::to_lab(*n).b) > 1) {
                double turn = std::fabs(hue_of(*n) - hue_of(*d));
                turn = std::min(turn, 360 - turn);
                EXPECT_LE(turn, 10)
                    << row.field_name() << " " << row.pri_day() << " -> " << row.pri_night();
            }
        }
    }
}
