#include "app/version.h"
#include "batch_run.h"
#include "model/text.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace tintwell;
using namespace tintwell::test;
namespace fs = std::filesystem;

namespace {

fs::path temp_path(const std::string& name)
{
    return fs::temp_directory_path() / ("tintwell-batch-" + std::to_string(::getpid()) + name);
}

TEST(Batch, DumpHasExactlyTheAgreedKeys)
{
    const BatchRun r = batch({ "--dump", car_zumo });
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& item : j.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys,
        (std::vector<std::string> { "accepted", "kind", "messages", "metadata", "pres_count",
            "pres_names", "row_count", "rows" }));
    EXPECT_EQ(j["kind"], "CarZumo");
    EXPECT_EQ(j["metadata"]["title"], "CORE SAMPLE");
    EXPECT_EQ(j["metadata"]["version"], "1.05");
    EXPECT_EQ(j["pres_count"], 2);
    EXPECT_EQ(j["pres_names"][1], "BROWSE \r");
    EXPECT_EQ(j["row_count"], 9);
    ASSERT_EQ(j["rows"].size(), 9u);
    const auto& arrow = j["rows"][5];
    std::vector<std::string> row_keys;
    for (const auto& item : arrow.items()) {
        row_keys.push_back(item.key());
    }
    EXPECT_EQ(row_keys,
        (std::vector<std::string> { "pres_code", "pri_day", "pri_night", "sec_day", "sec_night",
            "elem_name", "field_name", "bg_width", "fg_width", "scale", "border", "pres_name",
            "style_text", "nwf_border" }));
    EXPECT_EQ(arrow["field_name"], "MAP_RTE_ARRW");
    EXPECT_EQ(arrow["pres_code"], 1);
    EXPECT_EQ(arrow["border"], "1");
}

TEST(Batch, BorderPreferenceAndLatin1)
{
    // The contour's border has no colour of its own; the Sport & Fitness title carries Latin-1
    // letters that must come out as UTF-8.
    const auto on = nlohmann::json::parse(batch({ "--dump", car_zumo }).out);
    EXPECT_EQ(on["rows"][8]["border"], ".3");
    const auto off = nlohmann::json::parse(batch({ "--dump", car_zumo, "--no-border-pref" }).out);
    EXPECT_EQ(off["rows"][8]["border"], "2");
    EXPECT_EQ(off["rows"][7]["border"], "1");
    const BatchRun sf = batch({ "--dump", sport_fitness });
    const auto j = nlohmann::json::parse(sf.out);
    EXPECT_EQ(j["kind"], "SportFitness");
    EXPECT_EQ(j["metadata"]["title"], "TRAIL \xc3\xa9T\xc3\xa9");
    EXPECT_EQ(j["rows"][1]["bg_width"], "80");
    EXPECT_EQ(j["pres_count"], 0);
}

TEST(Batch, RejectedFilesAndUsage)
{
    const fs::path not_theme = temp_path("-not-theme.kmtf");
    std::ofstream(not_theme) << "no colours here";
    const BatchRun rejected = batch({ "--dump", not_theme.string() });
    fs::remove(not_theme);
    EXPECT_EQ(rejected.code, 1);
    const auto j = nlohmann::json::parse(rejected.out);
    EXPECT_EQ(j["accepted"], false);
    EXPECT_EQ(j["messages"], nlohmann::json::array({ "File not a Garmin kmtf file." }));
    EXPECT_EQ(j["row_count"], 0);

    for (const auto& args : std::vector<std::vector<std::string>> { { "--dump" },
             { "--dump", "a", "b" }, { "--check" }, { "--convert", "a" }, { "--bogus" },
             { "--render", "a" }, { "--render", "a", "--output", "b", "--width", "x" } }) {
        EXPECT_EQ(batch(args).code, 2) << args[0];
    }
    EXPECT_EQ(batch({ "--version" }).out, std::string("Tintwell ") + program_version + "\n");
    EXPECT_NE(batch({ "--help" }).out.find("--convert IN OUT"), std::string::npos);
}

// The help text is also the manual page: every command of the synopsis needs its exit status
// and every option word of the synopsis its own entry under "Options:".
TEST(Batch, HelpDocumentsEveryCommandAndOption)
{
    std::istringstream help(batch({ "--help" }).out);
    std::set<std::string> commands, words;
    // Section heading → the tags of its entries ("-v, --version" gives two tags).
    std::map<std::string, std::set<std::string>> tags;
    std::string section, line;
    while (std::getline(help, line)) {
        if (line.rfind("Usage: tintwell ", 0) == 0 || line.rfind("  or:  tintwell ", 0) == 0) {
            std::istringstream synopsis(line.substr(line.find("tintwell ") + 9));
            std::string word;
            synopsis >> word;
            commands.insert(word.rfind("--", 0) == 0 ? word : "tintwell " + word);
            do {
                const auto dash = word.find("--");
                if (dash != std::string::npos) {
                    words.insert(word.substr(dash, word.find(']', dash) - dash));
                }
            } while (synopsis >> word);
            if (line.find(" | ") != std::string::npos) {
                commands.insert(line.substr(line.rfind(' ') + 1));
            }
        } else if (!line.empty() && line[0] != ' ' && line.back() == ':') {
            section = line;
        } else if (line.rfind("  ", 0) == 0 && line.size() > 2 && line[2] != ' ') {
            std::istringstream entry(line.substr(2, line.find("  ", 2) - 2));
            for (std::string tag; std::getline(entry >> std::ws, tag, ',');) {
                tags[section].insert(section == "Options:" ? tag.substr(0, tag.find(' ')) : tag);
            }
        }
    }
    ASSERT_GE(commands.size(), 7u);
    for (const auto& command : commands) {
        EXPECT_TRUE(tags["Exit status:"].count(command)) << command << " has no exit status";
    }
    EXPECT_TRUE(tags["Exit status:"].count("Any command")) << "usage errors have no exit status";
    for (const auto& word : words) {
        EXPECT_TRUE(tags["Options:"].count(word)) << word << " is not under Options:";
    }
}

// A path that is not a regular file is named for what it is and never opened: reading a pipe
// would wait for a writer that never comes.
TEST(Batch, PathsThatAreNotFiles)
{
    const fs::path folder = temp_path("-folder");
    const fs::path pipe = temp_path("-pipe.kmtf");
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string missing = "/nonexistent/theme.kmtf";
    struct Case
    {
        std::string path, why;
    };
    const Case cases[] = { { missing, "No such file" }, { folder.string(), "Is a folder" },
        { pipe.string(), "not a regular file" }, { "/dev/null", "not a regular file" } };
    for (const auto& c : cases) {
        const std::string line = c.path + ": " + c.why + "\n";
        const BatchRun checked = batch({ "--check", c.path, car_zumo });
        EXPECT_EQ(checked.code, 1) << c.path;
        EXPECT_EQ(checked.out, line);
        const BatchRun dumped = batch({ "--dump", c.path });
        EXPECT_EQ(dumped.code, 1) << c.path;
        EXPECT_EQ(dumped.out, "");
        EXPECT_EQ(dumped.err, line);
        const BatchRun coloured = batch({ "--colours", c.path });
        EXPECT_EQ(coloured.code, 1) << c.path;
        EXPECT_EQ(coloured.err.substr(0, line.size()), line);
        const BatchRun linted = batch({ "--lint", c.path });
        EXPECT_EQ(linted.code, 2) << c.path;
        EXPECT_EQ(linted.err, "tintwell: cannot read " + line);
        const BatchRun converted = batch({ "--convert", c.path, (folder / "out.kmtf").string() });
        EXPECT_EQ(converted.code, 1) << c.path;
        EXPECT_EQ(converted.err, line);
        EXPECT_FALSE(fs::exists(folder / "out.kmtf"));
        bool drawn = false;
        std::ostringstream out, err;
        const int rendered = run_batch({ "--render", c.path, "--output", "x.png" }, out, err,
            [&drawn](const std::string&, const std::string&, int, std::ostream&) {
                drawn = true;
                return 0;
            });
        EXPECT_EQ(rendered, 1) << c.path;
        EXPECT_EQ(err.str(), line);
        EXPECT_FALSE(drawn);
    }
    fs::remove(pipe);
    fs::remove_all(folder);
}

// The dump is written as it goes; it must still be JSON whose strings are the cells as read,
// whatever bytes they hold.
TEST(Batch, DumpStringsHoldEveryByte)
{
    std::string title;
    for (int c = 1; c < 256; ++c) {
        if (c != '<' && c != '>' && c != '\r' && c != '\n' && c != ' ' && c != '\t') {
            title += static_cast<char>(c);
        }
    }
    const fs::path file = temp_path("-bytes.kmtf");
    std::ofstream(file, std::ios::binary)
        << "<METADATA><TITLE>" << title << "</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">"
        << "<STYLE field=\""
        << "a\\b\x01\x1f\x7f\xe9"
        << "\">";
    const BatchRun r = batch({ "--dump", file.string() });
    fs::remove(file);
    const auto j = nlohmann::json::parse(r.out);
    std::string upper = title;
    for (char& c : upper) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    EXPECT_EQ(j["metadata"]["title"], text::latin1_to_utf8(upper));
    EXPECT_EQ(j["rows"][0]["field_name"], text::latin1_to_utf8("A\\B\x01\x1f\x7f\xe9"));
}

TEST(Batch, CheckReportsEveryMessage)
{
    const fs::path bad = temp_path("-bad.kmtf");
    std::ofstream(bad) << "<COLOR> PRESENTATION <PRESENTATION ID=\"X\"><STYLE FIELD=\"A\" "
                          "BORDER=\"1\"><SECONDARY NIGHT=\"#000000\"/></STYLE>";
    const BatchRun clean = batch({ "--check", car_zumo, sport_fitness });
    EXPECT_EQ(clean.code, 0);
    EXPECT_EQ(clean.out, "");
    const BatchRun r = batch({ "--check", car_zumo, bad.string() });
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
        bad.string() + ": no meta\n" + bad.string() + ": Can't have border with no colour\n"
            + bad.string()
            + ": the file ends at line 1 before its closing tag </GARMIN_MAP_THEME>: it looks cut "
              "off, and saving it would keep only the styles read so far\n");
    fs::remove(bad);
}

// What saving a file would change is said by --check, and by --convert as a warning before it
// writes all the same.
TEST(Batch, CheckAndConvertSayWhatSavingWouldChange)
{
    const std::string head = "<GARMIN_MAP_THEME>\r\n<METADATA><TITLE>T</TITLE>"
                             "<DESCRIPTION>D</DESCRIPTION></METADATA>\r\n"
                             "<PRESENTATION ID=\"GUIDANCE\">\r\n<STYLELIST>\r\n";
    const std::string style = "<STYLE field=\"MAP_LAND\"><COLOR><PRIMARY day=\"#F2EFE9\"/>"
                              "</COLOR></STYLE>\r\n";
    const std::string tail = "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>\r\n";
    const struct
    {
        const char* what;
        std::string text;
        std::string said; // the finding's reason, as --check prints it after "FILE: "
    } cases[] = {
        { "cut off inside a style", head + style + "<STYLE field=\"MAP_WATER\"><COLOR>",
            "the file ends at line 6 before its closing tag </GARMIN_MAP_THEME>: it looks cut "
            "off, and saving it would keep only the styles read so far" },
        { "a colour of seven digits", head + text::replace(style, "F2EFE9", "1234567") + tail,
            "LAND at line 5: the colour \"#1234567\" is not six hexadecimal digits" },
        { "blanks inside a colour", head + text::replace(style, "F2EFE9", "12 34 56") + tail,
            "LAND at line 5: the colour \"#12 34 56\" is not six hexadecimal digits" },
        { "an unclosed metadata element", text::replace(head, "</DESCRIPTION>", "") + style + tail,
            "the metadata element <DESCRIPTION> that opens at line 2 has no closing tag: saving "
            "would keep only what was read as its value" },
    };
    const fs::path in = temp_path("-changes.kmtf");
    const fs::path out = temp_path("-changes-out.kmtf");
    for (const auto& c : cases) {
        std::ofstream(in, std::ios::binary) << c.text;
        const BatchRun checked = batch({ "--check", in.string() });
        EXPECT_EQ(checked.code, 1) << c.what;
        EXPECT_NE(checked.out.find(in.string() + ": " + c.said + "\n"), std::string::npos)
            << c.what << "\n"
            << checked.out;
        fs::remove(out);
        const BatchRun converted = batch({ "--convert", in.string(), out.string() });
        EXPECT_EQ(converted.code, 0) << c.what << converted.err;
        EXPECT_NE(
            converted.err.find(in.string() + ": warning: " + c.said + "\n"), std::string::npos)
            << c.what << "\n"
            << converted.err;
        EXPECT_TRUE(fs::exists(out)) << c.what;
    }
    fs::remove(in);
    fs::remove(out);
}

TEST(Batch, ConvertRefusesToReplaceWithoutForce)
{
    const fs::path out = temp_path("-out.kmtf");
    fs::remove(out);
    EXPECT_EQ(batch({ "--convert", car_zumo, out.string() }).code, 0);
    const auto first = fs::file_size(out);
    const BatchRun again = batch({ "--convert", sport_fitness, out.string() });
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("--force"), std::string::npos);
    EXPECT_EQ(fs::file_size(out), first);
    EXPECT_EQ(batch({ "--convert", sport_fitness, out.string(), "--force" }).code, 0);
    EXPECT_NE(fs::file_size(out), first);
    // The converted file reads back as the same theme.
    const auto j = nlohmann::json::parse(batch({ "--dump", out.string() }).out);
    EXPECT_EQ(j["row_count"], 3);
    EXPECT_EQ(j["kind"], "SportFitness");
    fs::remove(out);

    const BatchRun rejected = batch({ "--convert", "/nonexistent.kmtf", out.string() });
    EXPECT_EQ(rejected.code, 1);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(batch({ "--convert", car_zumo, "/nonexistent-dir/x.kmtf" }).code, 1);
}

TEST(Batch, ConvertRefusesAThemeWithoutRows)
{
    const fs::path empty = temp_path("-empty.kmtf");
    std::ofstream(empty) << "<GARMIN_MAP_THEME><METADATA><TITLE>T</TITLE></METADATA>"
                            "<PRESENTATION ID=\"GUIDANCE\"><STYLELIST><COLOR></STYLELIST>"
                            "</PRESENTATION></GARMIN_MAP_THEME>";
    const fs::path out = temp_path("-empty-out.kmtf");
    fs::remove(out);
    const BatchRun r = batch({ "--convert", empty.string(), out.string() });
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
        empty.string() + ": No polygons or lines found\n" + out.string() + ": No data to save\n");
    EXPECT_FALSE(fs::exists(out));
    fs::remove(empty);
}

// The installed program, as a script would run it: exit codes and no display needed.
TEST(Program, ExitCodes)
{
    const auto run = [](const std::string& args) {
        const std::string command = std::string("env -u DISPLAY -u QT_QPA_PLATFORM ") + TINTWELL_EXE
            + " " + args + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--dump " + car_zumo), 0);
    EXPECT_EQ(run("--dump /nonexistent.kmtf"), 1);
    EXPECT_EQ(run("--dump"), 2);
    EXPECT_EQ(run("--check " + car_zumo + " " + sport_fitness), 0);
    EXPECT_EQ(run("--version"), 0);
    // --render is handed to the window program beside it, still without a display.
    const fs::path png = temp_path("-render.png");
    EXPECT_EQ(run("--render " + car_zumo + " --output " + png.string() + " --width 400"), 0);
    EXPECT_GT(fs::file_size(png), 100u);
    fs::remove(png);
    EXPECT_EQ(run("--render /nonexistent.kmtf --output " + png.string()), 1);
}

// A file-size limit smaller than the theme stops the write, not the program: the save fails,
// the old file stays and nothing is left beside it.
TEST(Program, FileSizeLimitFailsTheSaveAndLeavesNothing)
{
    const fs::path folder = temp_path("-limit");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path out = folder / "out.kmtf";
    std::ofstream(out) << "old";
    const fs::path log = folder.string() + ".log";
    const std::string command = "ulimit -f 1; exec " + std::string(TINTWELL_EXE) + " --convert "
        + car_zumo + " " + out.string() + " --force 2>" + log.string();
    const int status = std::system(("sh -c '" + command + "'").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "stopped by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
    std::ifstream messages(log);
    const std::string err(std::istreambuf_iterator<char>(messages), {});
    EXPECT_EQ(err, out.string() + ": File too large Check access permission\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    fs::remove_all(folder);
    fs::remove(log);
}

// With too little memory for a theme the commands say so and fail instead of aborting.
TEST(Program, NotEnoughMemoryToReadATheme)
{
    const fs::path big = temp_path("-big.kmtf");
    {
        std::ofstream out(big, std::ios::binary);
        out << "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"A\">\r\n";
        for (int i = 0; i < 100000; ++i) {
            out << "<STYLE field=\"MAP_A\"><COLOR><PRIMARY day=\"#010203\"/></COLOR></STYLE>\r\n";
        }
    }
    const std::string out_file = temp_path("-big.out").string();
    // Limits in KiB: the program starts in about 7 MiB; --check needs the text (7 MB) on top and
    // reads it in 18 MiB, --dump needs the table as well (about 30 MiB in all).
    const auto run = [&](const std::string& args, int limit) {
        const std::string command = "ulimit -v " + std::to_string(limit) + "; "
            + std::string(TINTWELL_EXE) + " " + args + " " + big.string() + " >" + out_file
            + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(out_file);
        std::stringstream said;
        said << in.rdbuf();
        return std::pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, said.str());
    };
    const std::string line = big.string() + ": not enough memory to read it\n";
    EXPECT_EQ(run("--check", 12000), std::pair(1, line));
    EXPECT_EQ(run("--dump", 24000), std::pair(1, line));
    EXPECT_EQ(run("--colours", 24000),
        std::pair(1, line + "tintwell: " + big.string() + " is not a theme\n"));
    fs::remove(big);
    fs::remove(out_file);
}

} // namespace
