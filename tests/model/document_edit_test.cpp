#include "edit_snapshot.h"
#include "model/add_element.h"
#include "model/document_edit.h"
#include "model/presentations.h"
#include "model/style_apply.h"
#include "model/style_code.h"
#include "model/style_text.h"
#include "model/writer.h"
#include "theme_fixture.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

// Two presentations, a road with a border in each, a style without night colour and one written
// with neither scale nor border (it can take widths).
std::string car_text()
{
    const std::string road = cz_style("MAP_ROAD_INTERSTATE_CLR", " scale=\"1\" border=\".4\" ",
        "<PRIMARY day = \"#A1B2C3\" night=\"#102030\"/>\r\n"
        "<SECONDARY day = \"#7A7A7A\" night=\"#000080\"/>\r\n");
    const std::string water = cz_style(
        "MAP_WATER_CLR", " scale=\"1\" ", "<PRIMARY day = \"#A0C0FF\" night=\"#-1\"/>\r\n");
    const std::string trail =
        cz_style("MAP_ROAD_TRAIL_CLR", " ", "<PRIMARY day = \"#8B5A2B\"/>\r\n");
    return car_zumo_theme(
        presentation("GUIDANCE", road + water + trail) + presentation("BROWSE", water + road));
}

std::string sport_text()
{
    return sf_theme("<style field=\"mpm_trail_clr\" bg_width=\"3\" fg_width=\"2\"><color><primary "
                    "day=\"#ff8b5a2b\" night=\"#ff102030\"/><secondary day=\"#00404040\" "
                    "night=\"#00101010\"/></color></style><style field=\"mpm_water_clr\"><color>"
                    "<primary day=\"#ff9ec5f0\" night=\"#ff3f4e74\"/></color></style>");
}

int row_of(const Document& doc, const std::string& field, const std::string& pres)
{
    for (int r = 0; r < doc.row_count(); ++r) {
        const StyleRow& row = doc.rows[static_cast<std::size_t>(r)];
        if (row.field_name() == field && (pres.empty() || row.pres_name() == pres)) {
            return r;
        }
    }
    return -1;
}

DocumentEdit apply_interstate_to_all(const Document& doc)
{
    const int r = row_of(doc, "MAP_ROAD_INTERSTATE_CLR", "GUIDANCE");
    AppliedValues values;
    values.scale_text = "1,5"; // kept as typed
    values.border_text = ".6";
    values.pri_day = "FF0000";
    values.sec_day = "00FF00";
    values.pri_night = "800000";
    values.sec_night = "008000";
    values.to_all_presentations = true;
    const StyleRow applied = applied_style(doc.kind, doc.rows[static_cast<std::size_t>(r)], values);
    return style_apply_edit(doc, r, applied, true);
}

DocumentEdit outcome(EditOutcome out)
{
    EXPECT_EQ(out.message, "");
    return out.edit ? std::move(*out.edit) : DocumentEdit();
}

struct Step
{
    const char* name;
    ThemeKind kind;
    std::function<DocumentEdit(const Document&)> make;
};

void PrintTo(const Step& step, std::ostream* out)
{
    *out << step.name;
}

const Step steps[] = {
    { "ApplyToAllPresentations", ThemeKind::CarZumo, apply_interstate_to_all },
    { "StripNight", ThemeKind::CarZumo,
        [](const Document& doc) {
            return strip_night_edit(doc, row_of(doc, "MAP_WATER_CLR", "BROWSE"));
        } },
    { "AddWidths", ThemeKind::CarZumo,
        [](const Document& doc) {
            return outcome(add_bg_fg_width_edit(doc, row_of(doc, "MAP_ROAD_TRAIL_CLR", ""), false));
        } },
    { "EditText", ThemeKind::CarZumo,
        [](const Document& doc) {
            return outcome(pcode_edit(doc, 0,
                "<STYLE FIELD=\"MAP_ROAD_INTERSTATE_CLR\" SCALE=\"2\" >\n"
                "<PRIMARY DAY=\"#00FF00\" NIGHT=\"#003300\"/>\n"));
        } },
    { "AddPresentations", ThemeKind::CarZumo,
        [](const Document& doc) {
            return add_presentations_edit(doc, { "TRAFFIC", "PEDESTRIAN" });
        } },
    { "RemovePresentation", ThemeKind::CarZumo,
        [](const Document& doc) { return *remove_presentations_edit(doc, { "GUIDANCE" }); } },
    { "AddElementsSorted", ThemeKind::CarZumo,
        [](const Document& doc) {
            // GUIDANCE rows go before the first BROWSE row: the table is put in a new order.
            return add_element_edit(
                doc, { "ROAD_INTERSTATE\r\nRIVER\r\n", "BEACH\r\n", "0GUIDANCE" });
        } },
    { "Metadata", ThemeKind::CarZumo,
        [](const Document& doc) {
            ThemeMetadata m = doc.metadata;
            m.title = "HARBOUR";
            return metadata_edit(doc, m);
        } },
    { "SportApply", ThemeKind::SportFitness,
        [](const Document& doc) {
            return nwf_apply_edit(
                doc, 0, "5", "-1", { "FF112233", "00445566", "FF778899", "80AABBCC" });
        } },
    { "ReplaceRowsAroundCellWrites", ThemeKind::CarZumo,
        [](const Document& doc) {
            // Rows replaced in increasing order share a block; a cell write between two blocks,
            // and a row replaced again after it, must be undone in the order they were made.
            DocumentEdit edit;
            const auto renamed = [&](int r, std::string_view name) {
                StyleRow row = doc.rows[static_cast<std::size_t>(r)];
                row.set_elem_name(name);
                return row;
            };
            for (int r = 0; r < doc.row_count(); r += 2) {
                edit.replace_row(r, doc.rows[static_cast<std::size_t>(r)], renamed(r, "FIRST"));
            }
            std::vector<StyleRow> table = doc.rows;
            for (int r = 0; r < doc.row_count(); r += 2) {
                table[static_cast<std::size_t>(r)] = renamed(r, "FIRST");
            }
            StyleRow scaled;
            scaled.set_scale("2");
            edit.write_rows(
                table, { 0, 1, 2 }, RowCells(scaled, static_cast<CellSet>(Cell::Scale)));
            table[0].set_scale("2");
            StyleRow again = table[0];
            again.set_elem_name("SECOND");
            edit.replace_row(0, table[0], again);
            return edit;
        } },
    { "PatchTextsAroundWholeRows", ThemeKind::CarZumo,
        [](const Document& doc) {
            // Digits written over the first row's day colour (its cell and its text), a whole
            // row replaced between, and the same digits patched again: undone in the opposite
            // order, each gives its bytes back.
            DocumentEdit edit;
            const StyleRow& first = doc.rows[0];
            const std::string day(first.pri_day());
            EXPECT_EQ(day.size(), 6u);
            const std::size_t at = first.style_text().find(day);
            edit.patch_text(0, StyleCell::PriDay, 0, day, "0F0F0F");
            if (at != std::string_view::npos) {
                edit.patch_text(0, StyleCell::StyleText, at, day, "0F0F0F");
            }
            StyleRow renamed = doc.rows[1];
            renamed.set_elem_name("RENAMED");
            edit.replace_row(1, doc.rows[1], renamed);
            edit.patch_text(0, StyleCell::PriDay, 0, "0F0F0F", "123456");
            // Nothing to write, or bytes of another size: no patch.
            edit.patch_text(2, StyleCell::PriDay, 0, "A0C0FF", "A0C0FF");
            edit.patch_text(2, StyleCell::PriDay, 0, "A0C0FF", "A0C0");
            return edit;
        } },
    { "SportAddElements", ThemeKind::SportFitness,
        [](const Document& doc) {
            return add_element_edit(doc, { "MPM_MJR_HWY_CLR\r\n", "BEACH\r\n", "" });
        } },
};

class EveryEdit : public ::testing::TestWithParam<Step>
{
protected:
    Loaded loaded;
    void SetUp() override
    {
        ASSERT_TRUE(loaded.load(GetParam().kind == ThemeKind::CarZumo ? car_text() : sport_text()));
        Document& doc = loaded.doc;
        doc.pres_names = presentations_in_rows(doc);
        doc.pres_count = static_cast<int>(doc.pres_names.size());
    }
};

TEST_P(EveryEdit, ApplyRevertAndApplyAgainGiveBackExactlyEachState)
{
    Document& doc = loaded.doc;
    const Snapshot opened(doc);
    const DocumentEdit edit = GetParam().make(doc);
    ASSERT_FALSE(edit.empty());
    expect_same(Snapshot(doc), opened, "building an edit changes nothing");

    edit.apply(doc);
    const Snapshot changed(doc);
    EXPECT_FALSE(changed == opened);
    edit.revert(doc);
    expect_same(Snapshot(doc), opened, "reverted");
    edit.apply(doc);
    expect_same(Snapshot(doc), changed, "applied again");
    EXPECT_FALSE(doc.modified) << "modified belongs to the sink";
}

INSTANTIATE_TEST_SUITE_P(Steps, EveryEdit, ::testing::ValuesIn(steps),
    [](const ::testing::TestParamInfo<Step>& info) { return std::string(info.param.name); });

TEST(EditHistory, UndoingEveryStepGivesBackTheOpenedBytesAndRedoingThemTheLast)
{
    Loaded loaded;
    ASSERT_TRUE(loaded.load(car_text()));
    Document& doc = loaded.doc;
    const Snapshot opened(doc);
    std::vector<DocumentEdit> history;
    std::vector<Snapshot> states;
    for (const Step& step : steps) {
        if (step.kind != ThemeKind::CarZumo) {
            continue;
        }
        history.push_back(step.make(doc));
        history.back().apply(doc);
        states.emplace_back(doc);
    }
    ASSERT_EQ(history.size(), 10u);
    for (auto undo = history.rbegin(); undo != history.rend(); ++undo) {
        undo->revert(doc);
    }
    expect_same(Snapshot(doc), opened, "all undone");
    for (std::size_t k = 0; k < history.size(); ++k) {
        history[k].apply(doc);
        expect_same(Snapshot(doc), states[k], steps[k].name);
    }
}

TEST(ApplyToAll, CopiesTheStyleToTheSameElementOnlyAndKeepsTheTypedScale)
{
    Loaded loaded;
    ASSERT_TRUE(loaded.load(car_text()));
    Document& doc = loaded.doc;
    const StyleRow water =
        doc.rows[static_cast<std::size_t>(row_of(doc, "MAP_WATER_CLR", "BROWSE"))];
    apply_interstate_to_all(doc).apply(doc);
    const StyleRow& guidance =
        doc.rows[static_cast<std::size_t>(row_of(doc, "MAP_ROAD_INTERSTATE_CLR", "GUIDANCE"))];
    const StyleRow& browse =
        doc.rows[static_cast<std::size_t>(row_of(doc, "MAP_ROAD_INTERSTATE_CLR", "BROWSE"))];
    EXPECT_EQ(browse.style_text(), guidance.style_text());
    EXPECT_EQ(browse.scale(), "1,5");
    EXPECT_EQ(browse.pri_night(), "800000");
    EXPECT_EQ(browse.pres_name(), "BROWSE");
    EXPECT_EQ(doc.rows[static_cast<std::size_t>(row_of(doc, "MAP_WATER_CLR", "BROWSE"))], water);
}

TEST(MetadataEdit, KeystrokesInOneFieldMergeIntoOneStep)
{
    Document doc;
    doc.metadata.title = "A";
    ThemeMetadata m = doc.metadata;
    m.title = "AB";
    DocumentEdit first = metadata_edit(doc, m);
    first.apply(doc);
    m.title = "ABC";
    DocumentEdit second = metadata_edit(doc, m);
    ASSERT_TRUE(first.merge(second));
    first.revert(doc);
    EXPECT_EQ(doc.metadata.title, "A");
    first.apply(doc);
    EXPECT_EQ(doc.metadata.title, "ABC");
    DocumentEdit rows;
    StyleRow changed;
    changed.pres_code = 1;
    rows.replace_row(0, StyleRow(), changed);
    EXPECT_FALSE(first.merge(rows));
}

struct CodeCase
{
    const char* name;
    StyleValues values;
    std::string text;
};

const std::string q = "\"";

const CodeCase code_cases[] = {
    { "CarAllValuesSixLines",
        { ThemeKind::CarZumo, "MAP_ROAD_CLR", "1", ".6", "", "a0b0c0", "101010", "0000ff", "000080",
            true },
        "FIELD=MAP_ROAD_CLR scale=" + q + "1" + q + " border=" + q + ".6" + q
            + " />\r\n<COLOR>\r\n<PRIMARY  day=" + q + "#A0B0C0" + q + " night=" + q + "#101010" + q
            + " />\r\n<SECONDARY  day=" + q + "#0000FF" + q + " night=" + q + "#000080" + q
            + " />\r\n</COLOR>\r\n</STYLE>" },
    { "CarNoBorderNoSecondary",
        { ThemeKind::CarZumo, "MAP_WATER", "", "", "", "A0C0FF", "202060", "", "", true },
        "FIELD=MAP_WATER />\r\n<COLOR>\r\n<PRIMARY  day=" + q + "#A0C0FF" + q + " night=" + q
            + "#202060" + q + " />\r\n</COLOR>\r\n</STYLE>" },
    { "CarNightMinusOneWritesNoNight",
        { ThemeKind::CarZumo, "MAP_WATER", "", "", "", "A0C0FF", "-1", "", "000080", false },
        "FIELD=MAP_WATER />\r\n<COLOR>\r\n<PRIMARY  day=" + q + "#A0C0FF" + q
            + " />\r\n</COLOR>\r\n</STYLE>" },
    { "CarMissingNightGetsDefaults",
        { ThemeKind::CarZumo, "MAP_ROAD_CLR", "1", "1", "", "A0B0C0", "-1", "0000FF", "", true },
        "FIELD=MAP_ROAD_CLR scale=" + q + "1" + q + " border=" + q + "1" + q
            + " />\r\n<COLOR>\r\n<PRIMARY  day=" + q + "#A0B0C0" + q + " night=" + q + "#FFFF00" + q
            + " />\r\n<SECONDARY  day=" + q + "#0000FF" + q + " night=" + q + "#000000" + q
            + " />\r\n</COLOR>\r\n</STYLE>" },
    { "SportEmptyPrimaryDayIsCecece",
        { ThemeKind::SportFitness, "trail", "1", "ff", "80", "", "-1", "404040", "101010", false },
        "field=" + q + "trail" + q + " ><color><primary  day=" + q + "#ffcecece" + q + " night=" + q
            + "#ffcecece" + q + " /><secondary  day=" + q + "#ff404040" + q
            + " /></color></style>" },
    { "SportPrefixesBeforeSecondaryColours",
        { ThemeKind::SportFitness, "mpm_land_clr", "1", "00", "80", "AABBCC", "112233", "404040",
            "101010", true },
        "field=" + q + "mpm_land_clr" + q + " ><color><primary  day=" + q + "#ffaabbcc" + q
            + " night=" + q + "#ff112233" + q + " /><secondary  day=" + q + "#00404040" + q
            + " night=" + q + "#80101010" + q + " /></color></style>" },
};

class GetCode : public ::testing::TestWithParam<CodeCase>
{
};

TEST_P(GetCode, WritesTheStyleAndTheFilledColoursWriteTheSameText)
{
    const CodeCase& c = GetParam();
    EXPECT_EQ(get_code(c.values), c.text);
    EXPECT_EQ(get_code(code_colours(c.values)), c.text);
}

INSTANTIATE_TEST_SUITE_P(Values, GetCode, ::testing::ValuesIn(code_cases),
    [](const ::testing::TestParamInfo<CodeCase>& info) { return std::string(info.param.name); });

} // namespace
