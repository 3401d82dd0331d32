#include "model/presentations.h"
#include "model/reader.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

StyleRow row(const std::string& pres, const std::string& field, const std::string& border = "")
{
    StyleRow r;
    r.set_pres_name(pres);
    r.set_field_name(field);
    r.set_border(border);
    r.pres_code = get_pcode(pres, border);
    r.set_pri_day("A0B0C0");
    r.set_style_text("FIELD = \"" + field + "\">");
    return r;
}

struct Fixture : ::testing::Test
{
    Document doc;
    void use(std::vector<StyleRow> rows)
    {
        doc.rows = std::move(rows);
        const auto names = presentations_in_rows(doc);
        doc.pres_names = names;
        doc.pres_count = static_cast<int>(names.size());
    }
};

using Presentations = Fixture;

TEST_F(Presentations, AddingTwoCopiesEveryRowUnderEachNameWithItsCodeRecomputed)
{
    std::vector<StyleRow> rows;
    for (int i = 0; i < 12; ++i) {
        rows.push_back(
            row(i < 6 ? "GUIDANCE" : "BROWSE", "MAP_F" + std::to_string(i), i % 3 ? "" : "1"));
    }
    use(rows);
    const auto before = doc.rows;

    add_presentations(doc, { "TRAFFIC", "PEDESTRIAN" });

    ASSERT_EQ(doc.row_count(), 36);
    for (int i = 0; i < 12; ++i) {
        const auto& orig = before[static_cast<std::size_t>(i)];
        EXPECT_EQ(doc.rows[static_cast<std::size_t>(i)], orig);
        for (const auto& [offset, name, index] :
            { std::tuple { 12, "TRAFFIC", 2 }, std::tuple { 24, "PEDESTRIAN", 5 } }) {
            const auto& copy = doc.rows[static_cast<std::size_t>(i + offset)];
            EXPECT_EQ(copy.pres_name(), name);
            EXPECT_EQ(copy.pres_code, index * 10 + (orig.border().empty() ? 0 : 1)) << i;
            EXPECT_EQ(copy.field_name(), orig.field_name());
            EXPECT_EQ(copy.style_text(), orig.style_text());
        }
    }
    EXPECT_EQ(doc.pres_names,
        (std::vector<std::string> { "GUIDANCE", "BROWSE", "TRAFFIC", "PEDESTRIAN" }));
    EXPECT_EQ(doc.pres_count, 4);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(presentations_in_rows(doc), doc.pres_names);
}

TEST_F(Presentations, AddingNothingOrToAnEmptyTableChangesNothing)
{
    add_presentations(doc, { "TRAFFIC" });
    EXPECT_EQ(doc.row_count(), 0);
    EXPECT_EQ(doc.pres_count, 0);
    use({ row("GUIDANCE", "MAP_WATER") });
    add_presentations(doc, {});
    EXPECT_EQ(doc.row_count(), 1);
    EXPECT_FALSE(doc.modified);
}

// The list the window shows after the rows changed: names as the rows use them, in order of
// first use and without the names of presentations left empty; a Sport & Fitness theme keeps
// its count.
TEST_F(Presentations, RebuiltListFollowsTheRows)
{
    use({ row("BROWSE", "A"), row("NIGHT", "B"), row("BROWSE", "C") });
    doc.pres_names = { "BROWSE", "NIGHT", "TRAFFIC" };
    doc.pres_count = 3;
    EXPECT_EQ(rebuilt_presentation_list(doc), (PresentationList { { "BROWSE", "GUIDANCE" }, 2 }));

    doc.kind = ThemeKind::SportFitness;
    doc.pres_names = { "a", "b", "c", "d", "e", "f", "g" };
    doc.pres_count = 7;
    EXPECT_EQ(
        rebuilt_presentation_list(doc), (PresentationList { { "", "", "", "", "", "", "g" }, 7 }));
}

TEST_F(Presentations, RemovingCompactsTheRowsInOrder)
{
    use({ row("GUIDANCE", "A"), row("BROWSE", "B"), row("GUIDANCE", "C"), row("BROWSE", "D") });
    ASSERT_TRUE(remove_presentations(doc, { "BROWSE" }));
    ASSERT_EQ(doc.row_count(), 2);
    EXPECT_EQ(doc.rows[0].field_name(), "A");
    EXPECT_EQ(doc.rows[1].field_name(), "C");
    EXPECT_EQ(doc.pres_names, std::vector<std::string> { "GUIDANCE" });
    EXPECT_EQ(doc.pres_count, 1);
    EXPECT_TRUE(doc.modified);
}

TEST_F(Presentations, ARowWithoutPresentationNameSurvivesARemoval)
{
    use({ row("GUIDANCE", "A"), row("", "B"), row("BROWSE", "C") });
    ASSERT_TRUE(remove_presentations(doc, { "BROWSE" }));
    ASSERT_EQ(doc.row_count(), 2);
    EXPECT_EQ(doc.rows[1].field_name(), "B");
}

TEST_F(Presentations, ARemovalThatWouldEmptyTheThemeIsRefused)
{
    // "PREVIEW" is no catalogue name, so it is listed as GUIDANCE, but the name "TURN PREVIEW"
    // contains it: removing TURN PREVIEW would take every row.
    use({ row("PREVIEW", "A"), row("TURN PREVIEW", "B") });
    EXPECT_FALSE(remove_presentations(doc, { "TURN PREVIEW" }));
    EXPECT_EQ(doc.row_count(), 2);
    EXPECT_EQ(doc.pres_count, 2);
    EXPECT_FALSE(doc.modified);
}

struct ChoiceCase
{
    std::string selected;
    std::vector<std::string> project;
    std::vector<std::string> adding;
    std::string message;
};

class AddChoice : public ::testing::TestWithParam<ChoiceCase>
{
};

TEST_P(AddChoice, GivesTheMessageOfTheFirstFailingCheck)
{
    const auto& c = GetParam();
    EXPECT_EQ(add_choice_error(c.selected, c.project, c.adding), c.message);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddChoice,
    ::testing::Values(ChoiceCase { "", { "GUIDANCE" }, {}, "Please select a PRESENTATION" },
        ChoiceCase { "GUIDANCE", { "GUIDANCE" }, {}, "Already exists" },
        // Containment, not equality: "PREVIEW" is inside "TURN PREVIEW".
        ChoiceCase { "PREVIEW", { "TURN PREVIEW" }, {}, "Already exists" },
        ChoiceCase { "TRAFFIC", { "GUIDANCE" }, { "TRAFFIC " }, "Already added" },
        ChoiceCase { "TRAFFIC", { "GUIDANCE" }, { "PEDESTRIAN" }, "" }));

} // namespace
} // namespace tintwell
