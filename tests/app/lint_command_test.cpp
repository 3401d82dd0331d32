#include "../model/theme_fixture.h"
#include "batch_run.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace tintwell;
using namespace tintwell::test;
namespace fs = std::filesystem;

namespace {

fs::path temp_path(const std::string& name)
{
    return fs::temp_directory_path() / ("tintwell-lint-" + std::to_string(::getpid()) + name);
}

TEST(Lint, ExitCodesTextAndJson)
{
    const std::string land = coloured_style("MAP_LAND", "F2EFE9", "616070");
    const auto write = [](const std::string& name, const std::string& text) {
        const fs::path path = temp_path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    };
    const std::string clean = write("-clean.kmtf", car_zumo_theme(presentation("GUIDANCE", land)));
    const std::string night = write("-night.kmtf",
        car_zumo_theme(presentation(
            "GUIDANCE", land + coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "555555"))));
    // Green and tan that only deuteranopia confuses: an info finding.
    const std::string info = write("-info.kmtf",
        car_zumo_theme(presentation("GUIDANCE",
            coloured_style("MAP_LAND", "C8B48C") + coloured_style("MAP_PARK", "20D88C"))));
    const std::string whole = car_zumo_theme(presentation("GUIDANCE", land));
    // Cut after the land's style, whose "</STYLE>" is line 18.
    const std::string cut = write("-cut.kmtf", whole.substr(0, whole.find("</STYLELIST>")));
    const std::string not_theme = write("-text.kmtf", "just text\n");

    const struct
    {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        { { "--lint", clean }, 0 },
        { { "--lint", clean, night }, 1 },
        { { "--lint", info }, 0 },
        { { "--lint", info, "--min-severity", "info" }, 1 },
        { { "--lint", night, "--min-severity", "error" }, 0 },
        { { "--lint", cut, "--min-severity", "error" }, 1 },
        { { "--lint", not_theme }, 1 },
        { { "--lint", night, "/nonexistent.kmtf" }, 2 },
        { { "--lint", data }, 2 },
        { { "--lint" }, 2 },
        { { "--lint", clean, "--min-severity", "loud" }, 2 },
        { { "--lint", clean, "--min-severity" }, 2 },
        { { "--lint", clean, "--bogus" }, 2 },
    };
    for (const auto& c : cases) {
        const BatchRun r = batch(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[1] << " " << r.out << r.err;
    }

    EXPECT_EQ(batch({ "--lint", clean, night }).out,
        night
            + ":20: warning: GUIDANCE: ROAD RESIDENTIAL is hard to see on LAND at night: "
              "contrast 1.2:1, needs 1.5:1 (ROAD RESIDENTIAL #555555, LAND #616070) "
              "[line-on-land]\n");
    const BatchRun json = batch({ "--lint", night, clean, "--json", "--ungrouped" });
    EXPECT_EQ(json.code, 1);
    const auto finding = nlohmann::ordered_json::parse(R"({"file": ")" + night + R"(", "line": 20,
            "severity": "warning", "rule": "line-on-land", "presentation": "GUIDANCE",
            "when": "night", "vision": "normal", "measure": "contrast",
            "first": "ROAD RESIDENTIAL", "first_colour": "555555",
            "second": "LAND", "second_colour": "616070", "ground_from": "", "value": 1.21,
            "threshold": 1.5, "reason": "ROAD RESIDENTIAL is hard to see on LAND at night: contrast 1.2:1, needs 1.5:1"})");
    EXPECT_EQ(nlohmann::ordered_json::parse(json.out), nlohmann::ordered_json::array({ finding }));
    // Grouped, the same finding is the one member of its group.
    const auto groups = nlohmann::ordered_json::parse(batch({ "--lint", night, "--json" }).out);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]["count"], 1);
    EXPECT_EQ(groups[0]["presentations"], nlohmann::ordered_json::array({ "GUIDANCE" }));
    EXPECT_EQ(groups[0]["members"], nlohmann::ordered_json::array({ finding }));
    // A cut-off theme is named with the line it ends at.
    const BatchRun cut_run = batch({ "--lint", cut, "--json" });
    const auto cut_findings = nlohmann::json::parse(cut_run.out);
    ASSERT_FALSE(cut_findings.empty());
    EXPECT_EQ(cut_findings.back()["rule"], "cut-off");
    EXPECT_EQ(cut_findings.back()["line"], 18);
    for (const auto& file : { clean, night, info, cut, not_theme }) {
        fs::remove(file);
    }
}

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// Of each rule a file shows its first thousand findings and then one that counts the rest, as
// text and as JSON: structure findings (an element named over and over) and colour findings
// (the same road on the same land in presentation after presentation).
TEST(Lint, AThousandFindingsOfEachRuleThenHowManyMore)
{
    std::string presentations =
        presentation("GUIDANCE", repeated(coloured_style("MAP_WATER", "8EC1F0", "1B3A5C"), 1250));
    for (int i = 0; i < 1100; ++i) {
        presentations += presentation("P" + std::to_string(i),
            coloured_style("MAP_LAND", "F2EFE9")
                + coloured_style("MAP_ROAD_RESIDENTIAL", "F2EFE9"));
    }
    const fs::path file = temp_path("-many.kmtf");
    std::ofstream(file, std::ios::binary) << car_zumo_theme(presentations);

    const BatchRun text = batch({ "--lint", file.string(), "--ungrouped" });
    EXPECT_EQ(text.code, 1) << text.err;
    std::map<std::string, int> lines;
    std::map<std::string, std::string> last;
    std::istringstream in(text.out);
    for (std::string line; std::getline(in, line);) {
        const std::string rule = line.substr(line.rfind('[') + 1);
        ++lines[rule];
        last[rule] = line;
    }
    const auto json =
        nlohmann::json::parse(batch({ "--lint", file.string(), "--json", "--ungrouped" }).out);
    std::map<std::string, int> objects;
    std::map<std::string, std::string> last_reason;
    for (const auto& f : json) {
        ++objects[f["rule"]];
        last_reason[f["rule"]] = f["reason"];
    }
    const struct
    {
        std::string rule;
        int more;
    } cases[] = { { "duplicate-element", 249 }, { "unknown-presentation", 100 },
        { "line-on-land", 100 } };
    for (const auto& c : cases) {
        EXPECT_EQ(lines[c.rule + "]"], 1001) << c.rule;
        EXPECT_EQ(last[c.rule + "]"],
            file.string() + ": warning: and " + std::to_string(c.more) + " more [" + c.rule + "]")
            << c.rule;
        EXPECT_EQ(objects[c.rule], 1001) << c.rule;
        EXPECT_EQ(last_reason[c.rule], "and " + std::to_string(c.more) + " more") << c.rule;
    }
    // Grouped, the road on the land is one group of 1,100 that keeps its first thousand.
    const auto groups = nlohmann::json::parse(batch({ "--lint", file.string(), "--json" }).out);
    int road_groups = 0;
    for (const auto& g : groups) {
        if (g["rule"] == "line-on-land") {
            ++road_groups;
            EXPECT_EQ(g["count"], 1100);
            EXPECT_EQ(g["members"].size(), 1000u);
            EXPECT_EQ(g["members_left_out"], 100);
            EXPECT_EQ(g["presentations"].size(), 1100u);
        }
    }
    EXPECT_EQ(road_groups, 1);
    fs::remove(file);
}

// Checking a file of a million faults takes about what reading it takes, as text or JSON: the
// findings past the thousandth of a rule are not held, and the JSON is written as it goes.
TEST(Lint, MemoryStaysBoundedOnHostileShapes)
{
    const std::string head = "<METADATA><TITLE>T</TITLE></METADATA><COLOR>";
    const struct
    {
        const char* name;
        std::string text;
        // In KiB: the program starts in about 7 MiB and holds the text, 9 MB; each case took
        // from 0.6 to 6 GB before.
        int limit = 48000;
    } cases[] = {
        { "bare style tags", head + "<PRESENTATION ID=\"A\">\r\n" + repeated("<STYLE", 1500000) },
        // Reading keeps every presentation's name, 4 times the text.
        { "bare presentation tags", head + repeated("<PRESENTATION", 700000), 80000 },
        { "a presentation named with 9 MB",
            head + "<PRESENTATION ID=\"" + std::string(9000000, 'N') + "\">"
                + repeated(
                    "<STYLE FIELD=\"MAP_WATER_CLR\"><PRIMARY DAY=\"#123456\"/></STYLE>", 50) },
    };
    const fs::path file = temp_path("-hostile.kmtf");
    const fs::path said = temp_path("-hostile.out");
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary) << c.text;
        for (const std::string json : { "", " --json" }) {
            const std::string command = "ulimit -v " + std::to_string(c.limit) + "; "
                + std::string(TINTWELL_EXE) + " --lint " + file.string() + json + " >"
                + said.string() + " 2>&1";
            const int status = std::system(("sh -c '" + command + "'").c_str());
            ASSERT_TRUE(WIFEXITED(status)) << c.name;
            EXPECT_EQ(WEXITSTATUS(status), 1) << c.name << json;
            std::ifstream out(said);
            const std::string printed(std::istreambuf_iterator<char>(out), {});
            EXPECT_EQ(printed.find("memory"), std::string::npos) << c.name << json;
        }
    }
    fs::remove(file);
    fs::remove(said);
}

} // namespace

// --fix writes the fixed theme to OUT, never over an existing file without --force, and says
// what it changed and what it could not fix.
TEST(Lint, FixWritesTheFixedThemeAndRefusesToOverwrite)
{
    const auto write = [](const std::string& name, const std::string& text) {
        const fs::path path = temp_path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    };
    const std::string night_road = write("-fix-road.kmtf",
        car_zumo_theme(presentation("GUIDANCE",
            coloured_style("MAP_LAND", "F2EFE9", "616070")
                + coloured_style("MAP_ROAD_RESIDENTIAL", "909090", "555555"))));
    // 3:1 against black and light grey at once cannot be had.
    const std::string no_room = write("-fix-none.kmtf",
        car_zumo_theme(presentation("GUIDANCE",
            coloured_style("MAP_LAND", "000000") + coloured_style("MAP_URBAN_LAND", "A0A0A0")
                + coloured_style("MAP_ROAD_INTERSTATE", "555555"))));
    const std::string out = temp_path("-fixed.kmtf").string();
    const std::string existing = write("-fix-existing.kmtf", "kept");

    const struct
    {
        std::vector<std::string> args;
        int code;
        std::string first_line;
    } cases[] = {
        { { "--lint", night_road, "--fix", out }, 0,
            night_road
                + ":20: Fix ROAD RESIDENTIAL at night: #555555 -> #474747, contrast 1.2:1 -> "
                  "1.5:1 (needs 1.5:1) [line-on-land]" },
        { { "--lint", night_road, "--fix", out, "--rule", "main-line-on-land" }, 0, "" },
        { { "--lint", no_room, "--fix", out }, 1,
            no_room
                + ":26: cannot fix: GUIDANCE: ROAD INTERSTATE is hard to see on LAND and URBAN "
                  "LAND by day and at night: contrast 2.8:1, needs 3:1: no colour of ROAD "
                  "INTERSTATE's hue reaches 3:1 against every ground [main-line-on-land]" },
        { { "--lint", night_road, "--fix", existing }, 2, "" },
        { { "--lint", night_road, "--fix", night_road }, 2, "" },
        { { "--lint", night_road, no_room, "--fix", out }, 2, "" },
        { { "--lint", night_road, "--fix", out, "--rule", "no-such-rule" }, 2, "" },
        { { "--lint", night_road, "--force" }, 2, "" },
    };
    for (const auto& c : cases) {
        fs::remove(out);
        const BatchRun r = batch(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[3] << " " << r.out << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find('\n')), c.first_line) << r.out;
        EXPECT_EQ(fs::exists(out), c.code < 2) << c.args[3];
    }
    // The fixed theme checks clean; the refused ones were left alone.
    batch({ "--lint", night_road, "--fix", out });
    EXPECT_EQ(batch({ "--lint", out }).code, 0);
    std::ifstream kept(existing);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
    // With --force, FILE itself may be the output.
    EXPECT_EQ(batch({ "--lint", night_road, "--fix", night_road, "--force" }).code, 0);
    EXPECT_EQ(batch({ "--lint", night_road }).code, 0);
    for (const auto& file : { night_road, no_room, out, existing }) {
        fs::remove(file);
    }
}
