#include "../model/theme_fixture.h"
#include "render/style_filter.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace tintwell;

namespace {

StyleRow styled(std::string elem, std::string field, std::string pres, std::string pri_day,
    std::string pri_night, std::string sec_day = "", std::string sec_night = "")
{
    StyleRow r = test::colour_row(
        {}, {}, std::move(pri_day), std::move(pri_night), std::move(sec_day), std::move(sec_night));
    r.set_elem_name(std::move(elem));
    r.set_field_name(std::move(field));
    r.set_pres_name(std::move(pres));
    return r;
}

Document theme()
{
    Document doc;
    doc.rows = {
        styled("WATER", "MAP_WATER", "GUIDANCE", "1E90FF", "-1"),
        styled("ROAD MAJOR", "MAP_MAJOR_HWY", " BROWSE ", "FF0000", "800000", "", "2090F0"),
        styled("LAND", "MAP_LAND", "TRAFFIC", "ff1e90ff", "-1"),
        styled("RAILRD", "MAP_RAILRD", "GUIDANCE", "000000", "-1", "1e90ff"),
        styled("FACADE", "MAP_FACADE", "BROWSE", "0000FF", "-1"),
        styled("PARK", "MAP_PARK", "TRAFFIC", "", "-1", "NOTHEX"),
    };
    return doc;
}

struct FilterCase
{
    const char* text;
    std::vector<int> rows;
    const char* why;
};

class Filter : public testing::TestWithParam<FilterCase>
{
};

TEST_P(Filter, KeepsTheseRows)
{
    const FilterCase& c = GetParam();
    EXPECT_EQ(filter_rows(theme(), c.text), c.rows) << c.why;
}

INSTANTIATE_TEST_SUITE_P(Table, Filter,
    testing::Values(FilterCase { "", { 0, 1, 2, 3, 4, 5 }, "an empty box shows every row" },
        FilterCase { "  \t", { 0, 1, 2, 3, 4, 5 }, "so do blanks" },
        FilterCase { "water", { 0 }, "the element name in another case" },
        FilterCase { " hwy ", { 1 }, "the field name, without the blanks typed round it" },
        FilterCase { "guid", { 0, 3 }, "the presentation" },
        FilterCase { "browse", { 1, 4 }, "a presentation with blanks round it" },
        FilterCase { "ROAD M", { 1 }, "a blank inside the text counts" },
        FilterCase { "#1e90ff", { 0, 2, 3 },
            "a colour: body by day, eight digits with a prefix, border by day" },
        FilterCase { "1E90FF", { 0, 2, 3 }, "a colour without #" },
        FilterCase { "#800000", { 1 }, "a night colour" },
        FilterCase { "#2090f0", { 1 }, "a night border" },
        FilterCase { "FACADE", { 4 }, "six hex letters still find the name they spell" },
        FilterCase { "~#1E90FF", { 0, 1, 2, 3 },
            "near colours: the same ones and a night border close to it, not pure blue" },
        FilterCase { "~ 0000fe", { 4 }, "near pure blue, blanks after the ~ allowed" },
        FilterCase { "~#12", {}, "~ before what is no colour is text to find" },
        FilterCase { "-1", {}, "a missing night colour is no colour to match" },
        FilterCase { "zzz", {}, "nothing holds it" },
        FilterCase { "pres:guidance", { 0, 3 }, "a presentation by its name, in any case" },
        FilterCase { "PRES: Browse ", { 1, 4 }, "blanks round either name do not count" },
        FilterCase { "pres:guid", {}, "only the whole name" },
        FilterCase { "pres:water", {}, "element names are not presentations" }),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Filter, OneFilterAnswersEachTextAsAFreshOneDoes)
{
    // Answers kept from one text must not leak into the next one.
    Document doc = theme();
    for (int i = 0; i < 300; ++i) {
        const auto c = static_cast<unsigned>(i * 2654435761U) & 0xFFFFFF;
        char hex[7];
        std::snprintf(hex, sizeof hex, "%06X", c);
        doc.rows.push_back(styled("X", "MAP_X", "GUIDANCE", hex, "-1"));
    }
    StyleFilter filter;
    for (const char* text : { "~#1E90FF", "~#808080", "~#1E90FF", "#FF0000", "~#FF0000", "map" }) {
        EXPECT_EQ(filter.rows(doc, text), filter_rows(doc, text)) << text;
    }
}

} // namespace

// The near-colour filter skips the full colour difference when the lightness alone is too far
// apart; over colours spread through the whole cube, and references dark, mid and light, it must
// keep exactly the rows the full difference keeps.
TEST(Filter, NearColourKeepsWhatTheFullDifferenceKeeps)
{
    Document doc;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 4000; ++i) {
        seed = seed * 1664525U + 1013904223U;
        char hex[7];
        std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(seed >> 8));
        doc.rows.push_back(styled("E", "F", "P", hex, "-1"));
    }
    for (const char* reference : { "000000", "1E90FF", "808080", "F0F0D0", "FFFFFF", "20FF20" }) {
        const auto wanted = *colour::parse_rgb(reference);
        std::vector<int> expected;
        for (int r = 0; r < doc.row_count(); ++r) {
            const auto rgb = colour::parse_rgb(doc.rows[static_cast<std::size_t>(r)].pri_day());
            if (colour::delta_e2000(wanted, *rgb) < near_colour_difference) {
                expected.push_back(r);
            }
        }
        EXPECT_FALSE(expected.empty()) << reference;
        EXPECT_EQ(filter_rows(doc, std::string("~#") + reference), expected) << reference;
    }
}

// The window keeps one filter for every keystroke and tells it when the table has changed.
TEST(Filter, NearColourFollowsTheTable)
{
    Document doc = theme();
    StyleFilter filter;
    // Read in slices in idle time, two rows at a time here.
    int slices = 1;
    while (!filter.prepare(doc, 2)) {
        ++slices;
    }
    EXPECT_EQ(slices, 3);
    const std::vector<int> blue = filter.rows(doc, "~#1E90FF");
    EXPECT_EQ(blue, (std::vector<int> { 0, 1, 2, 3 }));
    EXPECT_EQ(filter.rows(doc, "~#1E90FF"), blue) << "asked again";

    doc.rows[0].set_pri_day("FFFF00");
    filter.forget();
    EXPECT_EQ(filter.rows(doc, "~#1E90FF"), (std::vector<int> { 1, 2, 3 })) << "after a change";
    EXPECT_EQ(filter.rows(doc, "~#FFFF00"), (std::vector<int> { 0 }));
    const std::string first(doc.rows[0].pri_day());
    doc.rows[0].set_pri_day(doc.rows[4].pri_day());
    doc.rows[4].set_pri_day(first);
    filter.forget();
    EXPECT_EQ(filter.rows(doc, "~#FFFF00"), (std::vector<int> { 4 })) << "known colours moved";

    doc.rows.push_back(styled("LAKE", "MAP_LAKE", "BROWSE", "1E90FE", "-1"));
    EXPECT_EQ(filter.rows(doc, "~#1E90FF"), (std::vector<int> { 1, 2, 3, 6 })) << "a row added";
    doc = Document {};
    EXPECT_TRUE(filter.rows(doc, "~#1E90FF").empty()) << "an empty table";
}
