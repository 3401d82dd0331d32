#include "analysis/compare_text.h"
#include "analysis/theme_compare.h"
#include "app/loaded_theme.h"
#include "batch_run.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

using namespace tintwell;
using namespace tintwell::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> keys(const nlohmann::ordered_json& object)
{
    std::vector<std::string> names;
    for (const auto& item : object.items()) {
        names.push_back(item.key());
    }
    return names;
}

// A copy of a test theme with literal replacements, removed when the test ends.
class Variant
{
public:
    Variant(const std::string& from, const std::vector<std::pair<std::string, std::string>>& edits)
        : m_path(fs::temp_directory_path()
            / ("tintwell-compare-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count)
                + ".kmtf"))
    {
        std::ifstream in(from, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const auto& [find, with] : edits) {
            const auto at = text.find(find);
            EXPECT_NE(at, std::string::npos) << find;
            if (at != std::string::npos) {
                text.replace(at, find.size(), with);
            }
        }
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~Variant() { fs::remove(m_path); }
    std::string path() const { return m_path.string(); }

private:
    static inline int s_count = 0;
    fs::path m_path;
};

TEST(ColoursCommand, ListsColoursWithUsesAndNearDuplicates)
{
    const BatchRun text = batch({ "--colours", car_zumo, "--near" });
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out.substr(0, text.out.find('\n') + 1),
        "Colour   Uses  Body day  Body night  Border day  Border night  Transparent\n");
    EXPECT_NE(text.out.find("\nFFFFFF      2         1           0           1             0     "
                            "       0\n"),
        std::string::npos);
    EXPECT_NE(
        text.out.find("keep 3F4E74 (1 use), merge 435174 (1 use): 1.29\n"), std::string::npos);

    // Near duplicates only when asked for: a theme of many thousand colours takes seconds.
    const auto plain =
        nlohmann::ordered_json::parse(batch({ "--colours", car_zumo, "--json" }).out);
    EXPECT_EQ(keys(plain), (std::vector<std::string> { "kind", "colours" }));
    EXPECT_EQ(batch({ "--colours", car_zumo }).out.find("Near"), std::string::npos);

    const BatchRun json = batch({ "--colours", sport_fitness, "--json", "--by-hue", "--near" });
    ASSERT_EQ(json.code, 0) << json.err;
    const auto j = nlohmann::ordered_json::parse(json.out);
    EXPECT_EQ(keys(j), (std::vector<std::string> { "kind", "colours", "near_duplicates" }));
    const auto& first = j["colours"][0]; // by hue the greys come first, the darkest first
    EXPECT_EQ(keys(first),
        (std::vector<std::string> { "colour", "uses", "body_day", "body_night", "border_day",
            "border_night", "transparent", "rows" }));
    EXPECT_EQ(first["colour"], "101010");
    EXPECT_EQ(first["transparent"], 1);
    EXPECT_EQ(first["rows"],
        nlohmann::ordered_json::parse(R"([{"row":0,"slot":"border_night","presentation":"",
            "field":"MPM_WATER_CLR"}])"));
    EXPECT_EQ(j["near_duplicates"],
        nlohmann::ordered_json::parse(R"([{"kept":"8C5A2B","merged":"8B5A2B","delta_e":0.299}])"));
}

TEST(DiffCommand, ReportsEachChangeOnALineOfItsOwn)
{
    const Variant b(car_zumo,
        { { "<TITLE>Core Sample", "<TITLE>Core Sample 2" }, { "#9EC5F0", "#0000ff" },
            { "\"MAP_PARK\" scale=\"1\"", "\"MAP_PARK\" scale=\"1.5\"" },
            { "\r\n<STYLE field = \"MAP_ROAD_RAILRD\" >\r\n <COLOR>\r\n<PRIMARY day = "
              "\"#6E6E6E\" night=\"#3A3A3A\"/>\r\n </COLOR >\r\n</STYLE>\r\n",
                "" } });
    const BatchRun text = batch({ "--diff", car_zumo, b.path() });
    EXPECT_EQ(text.code, 1) << text.err;
    EXPECT_EQ(text.out,
        "metadata title: \"CORE SAMPLE\" -> \"CORE SAMPLE 2\"\n"
        "GUIDANCE MAP_WATER: body by day 9EC5F0 -> 0000FF\n"
        "GUIDANCE MAP_PARK: scale 1 -> 1.5\n"
        "GUIDANCE MAP_ROAD_RAILRD: removed\n");

    const BatchRun json = batch({ "--diff", b.path(), car_zumo, "--json" });
    EXPECT_EQ(json.code, 1);
    const auto j = nlohmann::ordered_json::parse(json.out);
    EXPECT_EQ(keys(j), (std::vector<std::string> { "same", "kind", "metadata", "rows" }));
    EXPECT_EQ(j["same"], false);
    EXPECT_EQ(j["metadata"][0]["to"], "CORE SAMPLE");
    ASSERT_EQ(j["rows"].size(), 3u);
    EXPECT_EQ(j["rows"][0],
        nlohmann::ordered_json::parse(
            R"({"change":"changed","presentation":"GUIDANCE","field":"MAP_WATER",
            "occurrence":0,"row_a":0,"row_b":0,"insert_at":null,
            "values":[{"value":"body_day","from":"0000FF","to":"9EC5F0"}]})"));
    EXPECT_EQ(j["rows"][2]["change"], "added");
    EXPECT_EQ(j["rows"][2]["row_b"], 4);
    EXPECT_EQ(j["rows"][2]["insert_at"], 4);
}

TEST(DiffCommand, SportFitnessStyleTextOnALine)
{
    const Variant b(sport_fitness, { { "bg_width=\"0.5\">", "bg_width=\"0.5\"  visible=\"1\">" } });
    const BatchRun r = batch({ "--diff", sport_fitness, b.path() });
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
        "MPM_TRAIL_CLR: style text \"field=\"MPM_TRAIL_CLR\" BG_WIDTH=\"0.5\"><color><primary "
        "day=\"#ff8b5a2b\"/></color></style>\" -> \"field=\"MPM_TRAIL_CLR\" BG_WIDTH=\"0.5\" "
        "VISIBLE=\"1\"><color><primary day=\"#ff8b5a2b\"/></color></style>\"\n");
}

TEST(DiffCommand, ExitCodesAsDiffGivesThem)
{
    const Variant sport_b(sport_fitness, { { "bg_width=\"80\"", "bg_width=\"81\"" } });
    const struct
    {
        std::vector<std::string> args;
        int code;
        const char* err;
    } cases[] = {
        { { "--diff", car_zumo, car_zumo }, 0, "" },
        { { "--diff", sport_fitness, sport_fitness, "--json" }, 0, "" },
        { { "--diff", sport_fitness, sport_b.path() }, 1, "" },
        { { "--diff", car_zumo, sport_fitness }, 2,
            "A Car & Zumo theme cannot be compared with a Sport & Fitness theme." },
        { { "--diff", car_zumo, "/nonexistent.kmtf" }, 2, "/nonexistent.kmtf is not a theme" },
        { { "--diff", car_zumo }, 2, "--diff takes two FILEs" },
        { { "--diff", car_zumo, car_zumo, "--bogus" }, 2, "unknown option --bogus" },
        { { "--colours", "/nonexistent.kmtf" }, 1, "/nonexistent.kmtf is not a theme" },
        { { "--colours" }, 2, "--colours needs a FILE" },
        { { "--colours", car_zumo, sport_fitness }, 2, "--colours takes one FILE" },
    };
    for (const auto& c : cases) {
        const BatchRun r = batch(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[1];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.code == 0 && c.args.size() == 3) {
            EXPECT_EQ(r.out, "");
        } else if (c.code == 0) {
            EXPECT_EQ(nlohmann::json::parse(r.out)["same"], true);
        }
    }
}

// The report is written as the changes are found, a row at a time: its JSON is byte for byte
// what dumping the whole report as one tree gives, whether its lists are empty or not, and both
// forms list what comparing the whole themes lists, in its order.
TEST(DiffCommand, WrittenAsFoundIsTheWholeComparison)
{
    const Variant changed(car_zumo,
        { { "<TITLE>Core Sample", "<TITLE>Core\x01 \xE9 \"Sample\"" }, { "#9EC5F0", "#0000ff" },
            { "\"MAP_PARK\" scale=\"1\"", "\"MAP_PARK\" scale=\"1.5\"" } });
    const Variant title_only(car_zumo, { { "<TITLE>Core Sample", "<TITLE>Core Sample 2" } });
    const Variant rows_only(sport_fitness, { { "bg_width=\"80\"", "bg_width=\"81\"" } });
    const std::pair<std::string, std::string> pairs[] = { { car_zumo, car_zumo },
        { car_zumo, changed.path() }, { changed.path(), car_zumo }, { car_zumo, title_only.path() },
        { sport_fitness, rows_only.path() }, { rows_only.path(), sport_fitness } };
    for (const auto& [a, b] : pairs) {
        SCOPED_TRACE(a + " " + b);
        LoadedTheme theme_a(a), theme_b(b);
        ASSERT_TRUE(theme_a.accepted && theme_b.accepted);
        const ThemeComparison whole = compare_themes(theme_a.doc, theme_b.doc);
        std::string lines;
        for (const MetadataChange& m : whole.metadata) {
            lines += change_text(m) + "\n";
        }
        for (const RowChange& change : whole.rows) {
            for (const std::string& line : change_lines(change, theme_a.doc.kind)) {
                lines += line + "\n";
            }
        }
        const BatchRun text = batch({ "--diff", a, b });
        EXPECT_EQ(text.out, lines);
        EXPECT_EQ(text.code, whole.same() ? 0 : 1);

        const BatchRun json = batch({ "--diff", a, b, "--json" });
        EXPECT_EQ(json.code, text.code);
        const auto tree = nlohmann::ordered_json::parse(json.out);
        EXPECT_EQ(json.out, tree.dump(2) + "\n");
        EXPECT_EQ(tree["same"], whole.same());
        EXPECT_EQ(tree["metadata"].size(), whole.metadata.size());
        ASSERT_EQ(tree["rows"].size(), whole.rows.size());
        for (std::size_t i = 0; i < whole.rows.size(); ++i) {
            EXPECT_EQ(tree["rows"][i]["row_a"],
                nlohmann::ordered_json(whole.rows[i].row_a >= 0
                        ? nlohmann::ordered_json(whole.rows[i].row_a)
                        : nullptr));
            EXPECT_EQ(tree["rows"][i]["values"].size(), whole.rows[i].values.size());
        }
    }
}

// Theme texts may hold any byte; the text report shows control bytes and NUL as \xNN, so a
// hostile theme cannot drive the terminal of whoever compares it or cut the report's lines.
TEST(DiffCommand, ControlBytesArePrintedAsEscapes)
{
    const auto theme = [](const std::string& title, const std::string& day) {
        return "<METADATA><TITLE>" + title + "</TITLE></METADATA><COLOR><PRESENTATION ID=\"G\x01\">"
            + "<STYLE field=\"MAP_\x07X\x7F\"><COLOR><PRIMARY day=\"#" + day
            + "\"/></COLOR></STYLE>";
    };
    const fs::path a =
        fs::temp_directory_path() / ("tintwell-diff-a-" + std::to_string(::getpid()));
    const fs::path b =
        fs::temp_directory_path() / ("tintwell-diff-b-" + std::to_string(::getpid()));
    std::ofstream(a, std::ios::binary) << theme(std::string("T\x1B[31m\0Z", 8), "010203");
    std::ofstream(b, std::ios::binary) << theme("U\x1B]0;X", "040506");
    const BatchRun r = batch({ "--diff", a.string(), b.string() });
    fs::remove(a);
    fs::remove(b);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out,
        "metadata title: \"T\\x1B[31M\\x00Z\" -> \"U\\x1B]0;X\"\n"
        "G\\x01 MAP_\\x07X\\x7F: body by day 010203 -> 040506\n");
}

} // namespace
