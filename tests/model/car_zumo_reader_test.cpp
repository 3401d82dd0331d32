#include "model/reader.h"
#include "model/text.h"
#include "theme_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace std::string_literals;

using namespace tintwell;
using namespace tintwell::test;

namespace {

const std::string primary_only = "<PRIMARY day = \"#112233\" night=\"#445566\"/>\r\n";
const std::string with_secondary = "<PRIMARY day = \"#112233\" night=\"#445566\"/>\r\n"
                                   "<SECONDARY day = \"#778899\" night=\"#AABBCC\"/>\r\n";

// One style in a GUIDANCE presentation, read with the border preference given.
struct StyleCase
{
    const char* what;
    std::string tag_attributes;
    std::string colours;
    bool border_pref;
    StyleRow expected; // pres_code, colours, elem_name, scale and border are compared
    std::vector<std::string> messages;
};

class CarZumoStyle : public testing::TestWithParam<StyleCase>
{
};

TEST_P(CarZumoStyle, ReadsTheCells)
{
    const StyleCase& c = GetParam();
    Loaded l;
    l.doc.border_pref = c.border_pref;
    ASSERT_TRUE(l.load(car_zumo_theme(
        presentation("GUIDANCE", cz_style("MAP_WATER", c.tag_attributes, c.colours)))));
    ASSERT_EQ(l.doc.row_count(), 1);
    const StyleRow& r = l.row(0);
    EXPECT_EQ(r.field_name(), "MAP_WATER");
    EXPECT_EQ(r.elem_name(), c.expected.elem_name());
    EXPECT_EQ(r.scale(), c.expected.scale());
    EXPECT_EQ(r.border(), c.expected.border());
    EXPECT_EQ(r.pres_code, c.expected.pres_code);
    EXPECT_EQ(r.pri_day(), c.expected.pri_day());
    EXPECT_EQ(r.pri_night(), c.expected.pri_night());
    EXPECT_EQ(r.sec_day(), c.expected.sec_day());
    EXPECT_EQ(r.sec_night(), c.expected.sec_night());
    EXPECT_EQ(l.messages(), c.messages);
}

StyleRow expect(std::int16_t code, std::string elem, std::string scale, std::string border,
    std::string pd, std::string pn, std::string sd = "", std::string sn = "")
{
    StyleRow r = colour_row(std::move(scale), std::move(border), std::move(pd), std::move(pn),
        std::move(sd), std::move(sn));
    r.pres_code = code;
    r.set_elem_name(std::move(elem));
    return r;
}

INSTANTIATE_TEST_SUITE_P(Cells, CarZumoStyle,
    testing::Values(
        StyleCase { "scale and border quoted, the name keeps the blank before SCALE=",
            " scale=\"1.5\" border=\"1\" ", with_secondary, true,
            expect(1, "WATER ", "1.5", "1", "112233", "445566", "778899", "AABBCC"), {} },
        StyleCase { "a border without SECONDARY becomes .3 with the preference on",
            " border=\"1\" ", primary_only, true,
            expect(1, "WATER BORDER=1 ", "", ".3", "112233", "445566"), {} },
        StyleCase { "and stays as written with the preference off", " border=\"1\" ", primary_only,
            false, expect(1, "WATER BORDER=1 ", "", "1", "112233", "445566"), {} },
        StyleCase { "no BORDER: no .3 rule, pres_code without the flag", " scale=\"1\" ",
            primary_only, true, expect(0, "WATER ", "1", "", "112233", "445566"), {} },
        StyleCase { "colours are upper-cased, a missing night is -1", "",
            "<PRIMARY day = \"#ff0000\"/>\r\n", true, expect(0, "WATER", "", "", "FF0000", "-1"),
            {} },
        StyleCase { "NONE after a # gives white", "",
            "<PRIMARY day = \"#NONE\" night=\"#00ff00\"/>\r\n", true,
            expect(0, "WATER", "", "", "FFFFFF", "00FF00"), {} },
        StyleCase { "a value without # is kept as it stands, up to where the value ends", "",
            "<PRIMARY day = \"NONE\" night=\"NONE\"/>\r\n", true,
            expect(0, "WATER", "", "", "NONE", "T=NONE"), {} },
        StyleCase { "no PRIMARY leaves both primary cells empty", " border=\"2\" ",
            "<SECONDARY day = \"#010203\"/>\r\n", true,
            expect(1, "WATER BORDER=2 ", "", "2", "", "", "010203", ""), {} },
        StyleCase { "a secondary night without # is emptied", " border=\"2\" ",
            "<PRIMARY day = \"#112233\"/>\r\n<SECONDARY day = \"#010203\" night=\"black\"/>\r\n",
            true, expect(1, "WATER BORDER=2 ", "", "2", "112233", "-1", "010203", ""), {} },
        StyleCase { "a secondary without a day empties a positive border with a message",
            " border=\"1\" ", "<PRIMARY day = \"#112233\"/>\r\n<SECONDARY night=\"#010203\"/>\r\n",
            true, expect(1, "WATER BORDER=1 ", "", "", "112233", "-1", "", "010203"),
            { "Can't have border with no colour" } },
        StyleCase { "and a zero border silently", " border=\"0\" ",
            "<PRIMARY day = \"#112233\"/>\r\n<SECONDARY night=\"#010203\"/>\r\n", true,
            expect(1, "WATER BORDER=0 ", "", "", "112233", "-1", "", "010203"), {} },
        StyleCase { "a scale right before \">\" ends there, not at the next blank", " scale=\"2\"",
            primary_only, true, expect(0, "WATER ", "2", "", "112233", "445566"), {} },
        StyleCase { "an unquoted scale keeps its first digit", " scale=1.5 border=1 ",
            with_secondary, true,
            expect(1, "WATER ", "1.5", "1", "112233", "445566", "778899", "AABBCC"), {} },
        StyleCase { "so does a border", " border=\"1\"", with_secondary, true,
            expect(1, "WATER BORDER=1", "", "1", "112233", "445566", "778899", "AABBCC"), {} },
        StyleCase { "NONE in the night after a # in the day whitens the day", "",
            "<PRIMARY day = \"#112233\" night=\"NONE\"/>\r\n", true,
            expect(0, "WATER", "", "", "FFFFFF", "T=NONE"), {} },
        StyleCase { "a secondary day without # is kept as it stands", " border=\"1\" ",
            "<PRIMARY day = \"#112233\"/>\r\n<SECONDARY day = \"black\"/>\r\n", true,
            expect(1, "WATER BORDER=1 ", "", "1", "112233", "-1", "BLACK", ""), {} }),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Any run of blanks and TABs beside "=" goes, then the other TABs, and any run of blanks left
// reads as one blank.
TEST(CarZumoReader, BlanksAroundEqualsSignsAndInNames)
{
    struct Case
    {
        const char* what;
        std::string tag; // between "<STYLE" and ">"
        std::string field, elem, scale;
    };
    const Case cases[] = {
        { "three blanks before =", " field=\"MAP_A\" scale   =\"2\"", "MAP_A", "A ", "2" },
        { "any number of blanks before = go", " field=\"MAP_A\" scale        =\"2\"", "MAP_A", "A ",
            "2" },
        { "three blanks after =", " field=\"MAP_A\" scale=   \"2\"", "MAP_A", "A ", "2" },
        { "blanks and TABs mixed before = go together", " field=\"MAP_A\" scale \t= \"2\"", "MAP_A",
            "A ", "2" },
        { "TABs elsewhere simply vanish", " field=\"MAP_\tA\"\tscale=\"2\"", "MAP_A", "A", "2" },
        { "three blanks in a name read as one", " field=\"MAP   A\"", "MAP A", "MAP A", "" },
        { "so do twenty", " field=\"MAP                    A\"", "MAP A", "MAP A", "" },
    };
    for (const auto& c : cases) {
        Loaded l;
        ASSERT_TRUE(l.load(car_zumo_theme(presentation("GUIDANCE",
            "<STYLE" + c.tag + ">\r\n<COLOR><PRIMARY day=\"#010203\"/></COLOR></STYLE>\r\n"))))
            << c.what;
        ASSERT_EQ(l.doc.row_count(), 1) << c.what;
        EXPECT_EQ(l.row(0).field_name(), c.field) << c.what;
        EXPECT_EQ(l.row(0).elem_name(), c.elem) << c.what;
        EXPECT_EQ(l.row(0).scale(), c.scale) << c.what;
    }
}

std::vector<std::string> fields(const ThemeMetadata& m)
{
    return { m.title, m.description, m.locale, m.version };
}

// Hand-written and damaged themes that were read wrongly and then written back wrongly, some
// growing with every save. Each reads as stated, and saving settles: the second and third saves
// give the same bytes, and the first save reads back as the theme did.
TEST(CarZumoReader, HandWrittenThemesReadAndSaveSettles)
{
    const auto theme = [](const std::string& open, const std::string& tag,
                           const std::string& colours, const std::string& eol = "\r\n",
                           const std::string& first_eol = "") {
        const std::string meta = "<METADATA>\r\n<TITLE>Dusk/Dawn & Co</TITLE>\r\n"
                                 "<DESCRIPTION>a/b</DESCRIPTION>\r\n<LOCALELIST>\r\n"
                                 "<locale>en/GB</locale>\r\n</LOCALELIST>\r\n"
                                 "<Version><Major>1</Major><Minor>00</Minor></Version>\r\n"
                                 "</METADATA>\r\n";
        std::string text = text::replace(
            car_zumo_theme(open + " > @<STYLELIST>\r\n" + cz_style("MAP_ROAD_A", tag, colours)
                    + "</STYLELIST>\r\n</PRESENTATION>\r\n",
                meta),
            "\r\n", eol);
        return text::replace(text, "@", first_eol.empty() ? eol : first_eol);
    };
    const std::string browse = "<PRESENTATION ID=\"BROWSE\"";
    struct Case
    {
        const char* what;
        std::string text;
        std::string listed, scale, border, pri_day, pri_night;
    };
    const Case cases[] = {
        { "two blanks each side of =",
            theme(browse, " scale  =  \"2\"  border  =  \"1\" ", with_secondary), " BROWSE \r", "2",
            "1", "112233", "445566" },
        { "TABs and blanks mixed around =",
            theme(browse, " scale \t=\t \"2\" border\t\t=\t\"1\" ", with_secondary), " BROWSE \r",
            "2", "1", "112233", "445566" },
        { "blanks around = in the presentation ID",
            theme("<PRESENTATION ID  =  \"BROWSE\"", " scale=\"2\"", with_secondary), " BROWSE \r",
            "2", "", "112233", "445566" },
        { "lines ending in CR alone", theme(browse, " scale=\"2\"", primary_only, "\r"), " BROWSE ",
            "2", "", "112233", "445566" },
        { "a lone CR ends the name before the next LF",
            theme(browse, " scale=\"2\"", primary_only, "\n", "\r"), " BROWSE ", "2", "", "112233",
            "445566" },
        { "no line break at all: the name ends where the next tag starts",
            theme(browse, " scale=\"2\"", primary_only, ""), " BROWSE ", "2", "", "112233",
            "445566" },
        { "an empty night colour",
            theme(browse, "", "<PRIMARY day = \"#112233\" night=\"#\"/>\r\n"), " BROWSE \r", "", "",
            "112233", "" },
        { "an empty day colour ends at its quote",
            theme(browse, "", "<PRIMARY day = \"#\" night=\"#445566\"/>\r\n"), " BROWSE \r", "", "",
            "", "445566" },
        { "a short colour ends at its quote, an unquoted one at the tag end",
            theme(browse, "", "<PRIMARY day = \"#ABC\" night=#DEF/>\r\n"), " BROWSE \r", "", "",
            "ABC", "DEF" },
        { "empty secondary colours: the border is as without a secondary",
            theme(browse, " border=\"1\"",
                "<PRIMARY day = \"#112233\"/>\r\n<SECONDARY day = \"#\" night=\"#\"/>\r\n"),
            " BROWSE \r", "", ".3", "112233", "-1" },
    };
    for (const auto& c : cases) {
        Loaded l;
        RecordingView view;
        l.doc.attach(&l.prompter, &view);
        ASSERT_TRUE(l.load(c.text)) << c.what;
        ASSERT_EQ(l.doc.row_count(), 1) << c.what;
        const StyleRow& r = l.row(0);
        EXPECT_EQ(view.presentations, std::vector<std::string> { c.listed }) << c.what;
        EXPECT_EQ(r.pres_name(), "BROWSE") << c.what;
        EXPECT_EQ(r.pres_code, c.border.empty() ? 10 : 11) << c.what;
        EXPECT_EQ(r.scale(), c.scale) << c.what;
        EXPECT_EQ(r.border(), c.border) << c.what;
        EXPECT_EQ(r.pri_day(), c.pri_day) << c.what;
        EXPECT_EQ(r.pri_night(), c.pri_night) << c.what;
        EXPECT_EQ(fields(l.doc.metadata),
            (std::vector<std::string> { "DUSK/DAWN & CO", "A/B", "EN/GB", "1.00" }))
            << c.what;

        const auto saves = three_saves(c.text);
        ASSERT_EQ(saves.size(), 3u) << c.what;
        EXPECT_EQ(saves[1], saves[2]) << c.what;
        Loaded back;
        ASSERT_TRUE(back.load(saves[0])) << c.what;
        EXPECT_EQ(back.row(0).pres_name(), r.pres_name()) << c.what;
        EXPECT_EQ(back.row(0).scale(), r.scale()) << c.what;
        EXPECT_EQ(back.row(0).pri_day(), r.pri_day()) << c.what;
        EXPECT_EQ(fields(back.doc.metadata), fields(l.doc.metadata)) << c.what;
    }
}

// Attributes on lines of their own, indented, or with only TABs between them read as the same
// attributes on one line do, and the saved theme reads back with the same cells.
TEST(CarZumoReader, AttributesOnLinesOfTheirOwn)
{
    struct Case
    {
        const char* what;
        std::string tag; // between "<STYLE" and ">"
        std::string elem, scale, border;
    };
    const std::string field = " field=\"MAP_ROAD_ARTERIAL_CLR\"";
    const Case cases[] = {
        { "one line", field + " scale=\"2\" border=\"1\"", "ROAD ARTERIAL ", "2", "1" },
        { "CR LF", field + "\r\nscale=\"2\"\r\nborder=\"1\"", "ROAD ARTERIAL ", "2", "1" },
        { "LF", field + "\nscale=\"2\"\nborder=\"1\"", "ROAD ARTERIAL ", "2", "1" },
        { "indented", field + "\r\n    scale=\"2\"\r\n    border=\"1\"", "ROAD ARTERIAL ", "2",
            "1" },
        { "blank lines between", field + "\r\n\r\n scale=\"2\" \r\n\r\nborder=\"1\"\r\n",
            "ROAD ARTERIAL ", "2", "1" },
        { "TABs only", field + "\tscale=\"2\"\tborder=\"1\"", "ROAD ARTERIAL", "2", "1" },
        { "border first, TABs only", field + "\tborder=\"1\"\tscale=\"2\"", "ROAD ARTERIALBORDER=1",
            "2", "1" },
        { "unquoted on lines of their own", field + "\r\nscale=2\r\nborder=1\r\n", "ROAD ARTERIAL ",
            "2", "1" },
        { "no scale: the other attributes stay in the name", field + "\r\nborder=\"1\"",
            "ROAD ARTERIAL BORDER=1", "", "1" },
    };
    for (const auto& c : cases) {
        const std::string text = car_zumo_theme(presentation("GUIDANCE",
            "<STYLE" + c.tag + ">\r\n<COLOR>" + with_secondary + "</COLOR></STYLE>\r\n"));
        Loaded l;
        ASSERT_TRUE(l.load(text)) << c.what;
        ASSERT_EQ(l.doc.row_count(), 1) << c.what;
        const StyleRow& r = l.row(0);
        EXPECT_EQ(r.field_name(), "MAP_ROAD_ARTERIAL_CLR") << c.what;
        EXPECT_EQ(r.elem_name(), c.elem) << c.what;
        EXPECT_EQ(r.scale(), c.scale) << c.what;
        EXPECT_EQ(r.border(), c.border) << c.what;
        EXPECT_EQ(r.pres_code, 1) << c.what;
        EXPECT_EQ(r.sec_day(), "778899") << c.what;
        EXPECT_TRUE(l.messages().empty()) << c.what;

        const auto saves = three_saves(text);
        ASSERT_EQ(saves.size(), 3u) << c.what;
        EXPECT_EQ(saves[1], saves[2]) << c.what;
        EXPECT_EQ(
            saves[0].find(" scale=\"" + c.scale + "\" ") != std::string::npos, !c.scale.empty())
            << c.what;
        Loaded back;
        ASSERT_TRUE(back.load(saves[0])) << c.what;
        EXPECT_EQ(back.row(0).scale(), c.scale) << c.what;
        EXPECT_EQ(back.row(0).border(), "1") << c.what;
    }
}

TEST(CarZumoReader, MetadataValues)
{
    struct Case
    {
        const char* what;
        std::string meta;
        ThemeMetadata expected;
    };
    const std::string version = "<Version><Major>1</Major><Minor>00</Minor></Version>\r\n";
    const Case cases[] = {
        { "blanks inside the version go",
            "<METADATA><TITLE>T</TITLE><DESCRIPTION>D</DESCRIPTION><LOCALELIST><locale>Global"
            "</locale></LOCALELIST><Version><Major> 3 </Major><Minor> 5</Minor></Version>"
            "</METADATA>\r\n",
            { "T", "D", "GLOBAL", "3.5" } },
        { "tags in any case",
            "<metadata><title>t</title><description>d</description>"
            "<version><major>2</major><minor>7</minor></version></metadata>",
            { "T", "D", "", "2.7" } },
        { "without its closing tag a value ends at the tag's next name, losing <, > and /; "
          "tags inside a value go",
            "<METADATA><TITLE>x/y<TITLE><DESCRIPTION>a</b></DESCRIPTION></METADATA>",
            { "XY", "A/B", "", "" } },
        { "a title keeps its outer blanks; a missing locale or description is empty",
            "<METADATA>\r\n<TITLE> My  Theme </TITLE>\r\n" + version + "</METADATA>\r\n",
            { " MY THEME ", "", "", "1.00" } },
        { "an unclosed minor ends with the metadata, not with the file",
            "<METADATA>\r\n<TITLE>T</TITLE>\r\n<Version><Major>1</Major><Minor>00\r\n"
            "</METADATA>\r\n",
            { "T", "", "", "1.00" } },
        { "and with the first presentation when the metadata closes after it",
            "<METADATA>\r\n<TITLE>T</TITLE>\r\n<Version><Major>2</Major><Minor>5\r\n",
            { "T", "", "", "2.5" } },
    };
    for (const auto& c : cases) {
        Loaded l;
        l.doc.metadata = { "OLD", "OLD", "OLD", "OLD" };
        std::string text =
            car_zumo_theme(presentation("GUIDANCE", cz_style("MAP_A", "", primary_only)), c.meta);
        if (c.meta.find("</METADATA>") == std::string::npos) {
            text.insert(text.rfind("</GARMIN_MAP_THEME>"), "</METADATA>\r\n");
        }
        ASSERT_TRUE(l.load(text)) << c.what;
        EXPECT_EQ(l.doc.metadata, c.expected) << c.what;
        EXPECT_TRUE(l.messages().empty()) << c.what;
    }
}

TEST(CarZumoReader, PresentationsInFileOrderWithTheirCodes)
{
    const std::string three = cz_style("MAP_A", "", primary_only)
        + cz_style("MAP_B", " border=\"1\" ", with_secondary) + cz_style("MAP_C", "", primary_only);
    // The second presentation is opened without blanks around the equals sign.
    const std::string text = car_zumo_theme(presentation("GUIDANCE", three)
        + "<PRESENTATION ID = \"BROWSE\" > \r\n<STYLELIST>\r\n" + three
        + "</STYLELIST>\r\n</PRESENTATION>\r\n");
    Loaded l;
    ASSERT_TRUE(l.load(text));
    ASSERT_EQ(l.doc.row_count(), 6);
    EXPECT_EQ(l.doc.pres_count, 2);
    const char* fields[] = { "MAP_A", "MAP_B", "MAP_C", "MAP_A", "MAP_B", "MAP_C" };
    const std::int16_t codes[] = { 0, 1, 0, 10, 11, 10 };
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(l.row(i).field_name(), fields[i]);
        EXPECT_EQ(l.row(i).pres_code, codes[i]);
        EXPECT_EQ(l.row(i).pres_name(), i < 3 ? "GUIDANCE" : "BROWSE");
    }
    // The list name keeps the CR of the CR LF line end; the row name does not.
    EXPECT_EQ(l.doc.pres_names, (std::vector<std::string> { "GUIDANCE \r", "BROWSE \r" }));
}

TEST(CarZumoReader, MessagesInTheirOrderAndWhatTheWindowIsTold)
{
    // No metadata; the first style has no quoted field name and a border whose secondary colour
    // has no day value.
    const std::string unquoted =
        "<STYLE field = MAP_A border=1>\r\n<COLOR><PRIMARY day=\"#010203\"/>"
        "<SECONDARY night=\"#040506\"/></COLOR></STYLE>\r\n";
    Loaded l;
    RecordingView view;
    l.doc.attach(&l.prompter, &view);
    ASSERT_TRUE(l.load(car_zumo_theme(presentation("GUIDANCE", unquoted)
            + presentation("BROWSE", cz_style("MAP_B", "", primary_only)),
        "")));
    EXPECT_EQ(l.messages(),
        (std::vector<std::string> {
            "no meta", "Can't find type!", "Can't have border with no colour" }));
    ASSERT_EQ(l.doc.row_count(), 2);
    EXPECT_EQ(l.row(0).field_name(), "");
    EXPECT_EQ(l.row(0).border(), "");
    EXPECT_EQ(l.row(0).pres_code, 1); // worked out before the border was emptied
    // The list gets the names untrimmed, starting with the blank after "<PRESENTATION"; the
    // document keeps them trimmed of blanks only.
    EXPECT_EQ(view.presentations, (std::vector<std::string> { " GUIDANCE \r", " BROWSE \r" }));
    EXPECT_EQ(l.doc.pres_names, (std::vector<std::string> { "GUIDANCE \r", "BROWSE \r" }));
    EXPECT_EQ(view.edit_menu, 1);
    EXPECT_EQ(view.locale_version, 1);
}

TEST(CarZumoReader, PresentationCodes)
{
    struct Case
    {
        const char* name;
        const char* border;
        int code;
    };
    const Case cases[] = { { "GUIDANCE", "", 0 }, { "BROWSE", "1", 11 }, { "TRAFFIC", "", 20 },
        { "TURN PREVIEW", ".3", 31 }, { "ROUTE PREVIEW", "", 40 }, { "PEDESTRIAN", "x", 51 },
        { "MY OWN", "", 0 }, { "New format", "1", 1 },
        // A later match wins; GUIDANCE wins over everything.
        { "BROWSE PEDESTRIAN", "", 50 }, { "GUIDANCE BROWSE", "", 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(get_pcode(c.name, c.border), c.code) << c.name;
    }
}

TEST(CarZumoReader, MetadataIsReadUpperCase)
{
    Loaded l;
    ASSERT_TRUE(l.load(car_zumo_theme(presentation("GUIDANCE", cz_style("MAP_A", "", primary_only)),
        "<METADATA>\r\n<TITLE>My Theme</TITLE>\r\n<DESCRIPTION>a/b</DESCRIPTION>\r\n"
        "<LOCALELIST>\r\n<locale>Global</locale>\r\n</LOCALELIST>\r\n"
        "<Version><Major>2</Major><Minor>10</Minor></Version>\r\n</METADATA>\r\n")));
    // A "/" inside a value stays.
    EXPECT_EQ(
        fields(l.doc.metadata), (std::vector<std::string> { "MY THEME", "A/B", "GLOBAL", "2.10" }));
}

TEST(CarZumoReader, VersionOnSeparateLinesKeepsItsPoint)
{
    // Major and minor on lines of their own once ran together as "25", and saving then wrote 25
    // as the major number.
    Loaded l;
    ASSERT_TRUE(l.load(car_zumo_theme(presentation("GUIDANCE", cz_style("MAP_A", "", primary_only)),
        "<METADATA>\r\n<TITLE>T</TITLE>\r\n<Version>\r\n<Major>2</Major>\r\n"
        "<Minor> 5</Minor>\r\n</Version>\r\n</METADATA>\r\n")));
    EXPECT_EQ(l.doc.metadata.version, "2.5");
}

TEST(CarZumoReader, MetadataMessagesDoNotStopTheLoad)
{
    const std::string styles = presentation("GUIDANCE", cz_style("MAP_A", "", primary_only));
    Loaded none;
    ASSERT_TRUE(none.load(car_zumo_theme(styles, "")));
    EXPECT_EQ(none.messages(), (std::vector<std::string> { "no meta" }));
    EXPECT_EQ(none.doc.row_count(), 1);

    Loaded open;
    ASSERT_TRUE(open.load(car_zumo_theme(styles, "<METADATA><TITLE>x</TITLE>")));
    EXPECT_EQ(open.messages(), (std::vector<std::string> { "Oops no meta" }));
    EXPECT_EQ(open.doc.metadata.title, "");
}

TEST(CarZumoReader, RejectedTextsKeepThePreviousTable)
{
    Loaded l;
    ASSERT_TRUE(
        l.load(car_zumo_theme(presentation("BROWSE", cz_style("MAP_A", "", primary_only)))));
    struct Case
    {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        { "", "File not a Garmin kmtf file." },
        { "<PRESENTATION ID=\"GUIDANCE\"><STYLE field=\"MAP_A\"></STYLE>",
            "File not a Garmin kmtf file." },
        { std::string("\x00\x01\xff\xfe", 4), "File not a Garmin kmtf file." },
        { "<METADATA></METADATA><color>no styles", "No Presentation" },
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(l.load(c.text));
        ASSERT_FALSE(l.messages().empty());
        EXPECT_EQ(l.messages().back(), c.message);
        ASSERT_EQ(l.doc.row_count(), 1);
        EXPECT_EQ(l.row(0).pres_name(), "BROWSE");
    }
}

TEST(CarZumoReader, ThemeWithoutStylesIsAcceptedEmpty)
{
    Loaded l;
    ASSERT_TRUE(l.load(car_zumo_theme(presentation("GUIDANCE", "<COLOR>"))));
    EXPECT_EQ(l.doc.row_count(), 0);
    EXPECT_EQ(l.messages(), (std::vector<std::string> { "No polygons or lines found" }));
}

TEST(CarZumoReader, FieldNamesThatCannotBeFound)
{
    struct Case
    {
        std::string tag;
        std::string field;
        int messages;
    };
    const Case cases[] = {
        { "<STYLE field = \"MAP_A\" >", "MAP_A", 0 },
        { "<STYLE field = MAP_A >", "", 1 },
        { "<STYLE field = \"MAP_A >", "MAP_A ", 1 },
    };
    for (const auto& c : cases) {
        Loaded l;
        ASSERT_TRUE(l.load(car_zumo_theme(presentation(
            "GUIDANCE", c.tag + "\r\n<COLOR><PRIMARY day=\"#010203\"/></COLOR></STYLE>\r\n"))));
        ASSERT_EQ(l.doc.row_count(), 1);
        EXPECT_EQ(l.row(0).field_name(), c.field);
        EXPECT_EQ(
            std::count(l.messages().begin(), l.messages().end(), "Can't find type!"), c.messages);
    }
}

// Words inside the field name are part of the name; the style's own attributes and colours are
// read from after it. A name with BORDER in it once gave the border of whatever followed.
TEST(CarZumoReader, WordsInTheFieldNameArePartOfIt)
{
    struct Case
    {
        std::string field, attributes, colours;
        StyleRow expected; // border, pri_day, pri_night, sec_day
    };
    const Case cases[] = {
        { "MAP_STATE_BORDER", " border=\"1\" ", with_secondary,
            colour_row("", "1", "112233", "445566", "778899") },
        { "MAP_PRIMARY_ROAD", " scale=\"2\" ", primary_only,
            colour_row("2", "", "112233", "445566") },
        { "MAP_SECONDARY_SCALE=9", " border=\"2\" ", with_secondary,
            colour_row("", "2", "112233", "445566", "778899") },
    };
    for (const auto& c : cases) {
        Loaded l;
        ASSERT_TRUE(l.load(
            car_zumo_theme(presentation("BROWSE", cz_style(c.field, c.attributes, c.colours)))));
        ASSERT_EQ(l.doc.row_count(), 1);
        const StyleRow& r = l.row(0);
        EXPECT_EQ(r.field_name(), c.field);
        EXPECT_EQ(r.scale(), c.expected.scale()) << c.field;
        EXPECT_EQ(r.border(), c.expected.border()) << c.field;
        EXPECT_EQ(r.pri_day(), c.expected.pri_day()) << c.field;
        EXPECT_EQ(r.pri_night(), c.expected.pri_night()) << c.field;
        EXPECT_EQ(r.sec_day(), c.expected.sec_day()) << c.field;
    }
}

TEST(CarZumoReader, RailWithoutScaleGetsOne)
{
    Loaded l;
    ASSERT_TRUE(l.load(car_zumo_theme(presentation("GUIDANCE",
        cz_style("MAP_ROAD_RAILRD", "", primary_only)
            + cz_style("MAP_RAIL", " scale=\"2\" ", primary_only)))));
    EXPECT_EQ(l.row(0).scale(), "1");
    EXPECT_EQ(l.row(1).scale(), "2");
}

TEST(CarZumoReader, LargeThemesAreReadWhole)
{
    std::string presentations;
    int styles = 0;
    // 13 presentations, more than a fixed list of eleven names could hold, 1300 styles in all.
    for (int p = 0; p < 13; ++p) {
        std::string body;
        for (int s = 0; s < 100; ++s, ++styles) {
            body += cz_style("MAP_S" + std::to_string(styles), " scale=\"1\" ", primary_only);
        }
        const std::string number = std::to_string(p);
        presentations += presentation("P" + number, body);
    }
    Loaded l;
    ASSERT_TRUE(l.load(car_zumo_theme(presentations)));
    EXPECT_EQ(l.doc.row_count(), 1300);
    EXPECT_EQ(l.doc.pres_count, 13);
    ASSERT_EQ(l.doc.pres_names.size(), 13u);
    EXPECT_EQ(l.doc.pres_names[12], "P12 \r");
    EXPECT_EQ(l.row(1299).field_name(), "MAP_S1299");
    EXPECT_EQ(l.row(1299).pres_name(), "P12");
}

TEST(CarZumoReader, LongPresentationNamesAreKeptToTheirFirst255Characters)
{
    // Every row carries its presentation's name: a name of megabytes cost that much per style.
    const std::string name = "GUIDANCE" + std::string(100000, 'N');
    const std::string text = car_zumo_theme(presentation(
        name, cz_style("MAP_A", "", primary_only) + cz_style("MAP_B", "", primary_only)));
    Loaded l;
    RecordingView view;
    l.doc.attach(&l.prompter, &view);
    ASSERT_TRUE(l.load(text));
    const std::string kept = name.substr(0, 255);
    EXPECT_EQ(l.doc.pres_names, std::vector<std::string> { kept });
    EXPECT_EQ(view.presentations, std::vector<std::string> { " " + name.substr(0, 254) });
    ASSERT_EQ(l.doc.row_count(), 2);
    EXPECT_EQ(l.row(1).pres_name(), kept);
    EXPECT_EQ(l.row(1).pres_code, 0);
    const auto saves = three_saves(text);
    ASSERT_EQ(saves.size(), 3u);
    EXPECT_EQ(saves[0], saves[2]);
}

TEST(CarZumoReader, LineEndsOfAnyKind)
{
    for (const char* eol : { "\r\n", "\n", "\r" }) {
        std::string text = text::replace(car_zumo_theme(presentation("TRAFFIC",
                                             cz_style("MAP_A", " border=\"1\" ", with_secondary))),
            "\r\n", eol);
        Loaded l;
        ASSERT_TRUE(l.load(text)) << "line end " << int(eol[0]);
        ASSERT_EQ(l.doc.row_count(), 1);
        EXPECT_EQ(l.row(0).pri_day(), "112233");
        EXPECT_EQ(l.row(0).sec_night(), "AABBCC");
        EXPECT_EQ(l.row(0).pres_code, 21);
    }
    // With CR only, the presentation name ends at its line's CR, not at the end of the file.
    Loaded cr;
    cr.load(
        text::replace(car_zumo_theme(presentation("TRAFFIC", cz_style("MAP_A", "", primary_only))),
            "\r\n", "\r"));
    EXPECT_EQ(cr.row(0).pres_name(), "TRAFFIC");
}

TEST(CarZumoReader, TruncatedAndHostileInputNeverFails)
{
    const std::string full = car_zumo_theme(presentation(
        "GUIDANCE", cz_style("MAP_A", " scale=\"1.5\" border=\"1\" ", with_secondary)));
    // Every prefix of a theme is read without a crash; the messages say what was missing.
    for (std::size_t n = 0; n <= full.size(); ++n) {
        Loaded l;
        l.load(full.substr(0, n));
        if (l.accepted) {
            EXPECT_LE(l.doc.row_count(), 1);
        }
    }
    const std::string odd[] = {
        "<COLOR<PRESENTATION<STYLE FIELD",
        "<COLOR>PRESENTATION<PRESENTATION<STYLE FIELD=\"",
        "<color><PRESENTATION ID=\"\"><STYLE FIELD SCALE= BORDER PRIMARY DAY # NIGHT SECONDARY",
        "<COLOR>PRESENTATION<PRESENTATION<STYLE FIELD SCALE=\"",
        "<COLOR>PRESENTATION<PRESENTATION<STYLE FIELD BORDER",
        "<COLOR>PRESENTATION\0<PRESENTATION\0<STYLE FIELD\0"s,
    };
    for (const auto& text : odd) {
        Loaded l;
        EXPECT_TRUE(l.load(text));
    }
}

TEST(Loader, MissingFilesAndFolders)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.file_name = "before";
    EXPECT_EQ(loadbinary2(doc, ""), "");
    EXPECT_EQ(loadbinary2(doc, "/nonexistent/theme.kmtf"), "");
    EXPECT_EQ(loadbinary2(doc, "/tmp"), "");
    EXPECT_EQ(doc.file_name, "before");
    EXPECT_TRUE(prompter.messages.empty());

    EXPECT_FALSE(open_theme(doc, "/nonexistent/theme.kmtf"));
    EXPECT_EQ(prompter.messages, (std::vector<std::string> { "File not a Garmin kmtf file." }));
}

} // namespace

// A check reads every style without keeping the table: it must say and decide exactly what
// opening says and decides, on themes of both kinds and on texts that draw each message.
TEST(CheckTheme, SaysWhatOpeningSays)
{
    std::vector<std::string> texts;
    for (const auto& entry : std::filesystem::directory_iterator(TINTWELL_TEST_DATA)) {
        if (entry.path().extension() == ".kmtf") {
            std::ifstream in(entry.path(), std::ios::binary);
            texts.emplace_back(
                std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    ASSERT_GE(texts.size(), 4u);
    const std::string meta = "<METADATA><TITLE>T</TITLE></METADATA><COLOR>";
    texts.push_back(meta + "<PRESENTATION ID=\"A\">\r\n<STYLE field><COLOR></COLOR></STYLE>");
    texts.push_back(meta
        + "<PRESENTATION ID=\"A\">\r\n<STYLE field=\"A\" border=\"1\">"
          "<COLOR><PRIMARY day=\"#010203\"/></COLOR></STYLE>");
    texts.push_back(meta + "<PRESENTATION ID=\"A\">\r\n");
    texts.push_back(meta + "<STYLE field=\"A\">");
    texts.push_back("no theme here");
    texts.push_back("<metadata></metadata><color><stylelist><style field=\"mpm_a\">");
    const std::string path = ::testing::TempDir() + "check_theme.kmtf";
    for (const auto& text : texts) {
        std::ofstream(path, std::ios::binary) << text;
        Loaded opened, checked;
        opened.accepted = open_theme(opened.doc, path);
        checked.doc.rows.resize(3);
        checked.accepted = check_theme(checked.doc, path);
        const std::string shown = text.substr(0, 80);
        EXPECT_EQ(checked.accepted, opened.accepted) << shown;
        EXPECT_EQ(checked.messages(), opened.messages()) << shown;
        EXPECT_EQ(checked.doc.kind, opened.doc.kind) << shown;
        EXPECT_EQ(checked.doc.metadata, opened.doc.metadata) << shown;
        EXPECT_EQ(checked.doc.pres_names, opened.doc.pres_names) << shown;
        if (checked.accepted) {
            EXPECT_TRUE(checked.doc.rows.empty()) << shown;
        }
    }
    std::filesystem::remove(path);
}
