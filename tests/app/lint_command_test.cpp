#include "../model/theme_fixture.h"
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
    const BatchRun json = batch({ "--lint", night, clean, "--json" });
    EXPECT_EQ(json.code, 1);
    EXPECT_EQ(nlohmann::ordered_json::parse(json.out),
        nlohmann::ordered_json::parse(R"([{"file": ")" + night + R"(", "line": 20,
            "severity": "warning", "rule": "line-on-land", "presentation": "GUIDANCE",
            "when": "night", "vision": "normal", "measure": "contrast",
            "first": "ROAD RESIDENTIAL", "first_colour": "555555",
            "second": "LAND", "second_colour": "616070", "ground_from": "", "value": 1.21,
            "threshold": 1.5, "reason": "ROAD RESIDENTIAL is hard to see on LAND at night: contrast 1.2:1, needs 1.5:1"}])"));
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

} // namespace
