#include "app/descriptor_output.h"
#include "app/version.h"
#include "batch_run.h"
#include "model/text.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

    // Every command's words go through one parser: the same mistakes give the usage text and 2.
    const struct
    {
        std::vector<std::string> args;
        std::string said;
    } mistakes[] = {
        { { "--dump" }, "--dump needs a FILE" },
        { { "--dump", "a", "b" }, "--dump takes one FILE and --no-border-pref" },
        { { "--check" }, "--check needs at least one FILE" },
        { { "--check", "a", "-x" }, "unknown option -x" },
        { { "--convert", "a" }, "--convert takes IN and OUT" },
        { { "--convert", "a", "b", "c" }, "--convert takes IN and OUT" },
        { { "--bogus" }, "unknown option --bogus" },
        { { "--render", "a" }, "--render needs FILE and --output OUT.png" },
        { { "--render", "a", "--output" }, "--output needs a value" },
        { { "--render", "a", "--output", "b", "--width", "x" },
            "--width takes a whole number of pixels (1 to 99999)" },
        { { "--render", "a", "--output", "b", "--width", "0" },
            "--width takes a whole number of pixels (1 to 99999)" },
        { { "--render-map", "a" }, "--render-map needs FILE and --output OUT.png" },
        { { "--render-map", "a", "--output", "b", "--vision", "mauve" },
            "--vision takes normal, protanopia, deuteranopia or tritanopia" },
        { { "--render-map", "a", "--output", "b", "--width", "100000" },
            "--width takes a whole number of pixels (1 to 99999)" },
        { { "--lint", "a", "--min-severity" }, "--min-severity needs a value" },
        { { "--lint", "a", "--min-severity", "loud" },
            "--min-severity takes info, warning or error" },
        { { "--lint", "--json" }, "--lint needs at least one FILE" },
        { { "--colours", "a", "b" }, "--colours takes one FILE, --json, --by-hue and --near" },
        { { "--colours", "a", "--near", "--by-hue", "--jsn" }, "unknown option --jsn" },
        { { "--diff", "a" }, "--diff takes two FILEs" },
    };
    for (const auto& m : mistakes) {
        const BatchRun r = batch(m.args);
        EXPECT_EQ(r.code, 2) << m.said;
        EXPECT_EQ(r.err.rfind("tintwell: " + m.said + "\n\nUsage: tintwell", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "") << m.said;
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

// A file larger than 256 MB is refused before a byte of it is read, by every command, with the
// same line; the files are sparse, so they take no disk.
TEST(Batch, ThemesLargerThan256MBAreNotRead)
{
    const fs::path big = temp_path("-big.kmtf");
    const std::uintmax_t mb = 1 << 20;
    const struct
    {
        std::uintmax_t size;
        const char* shown;
    } cases[] = { { 256 * mb + 1, "257" }, { 300 * mb, "300" }, { 5000 * mb - 1, "5000" } };
    for (const auto& c : cases) {
        {
            std::ofstream(big, std::ios::binary) << "<METADATA>";
        }
        fs::resize_file(big, c.size);
        const std::string line =
            big.string() + " is " + c.shown + " MB; themes larger than 256 MB are not read\n";
        const BatchRun checked = batch({ "--check", big.string(), car_zumo });
        EXPECT_EQ(checked.code, 1);
        EXPECT_EQ(checked.out, line);
        const BatchRun dumped = batch({ "--dump", big.string() });
        EXPECT_EQ(dumped.code, 1);
        EXPECT_EQ(dumped.out, "");
        EXPECT_EQ(dumped.err, line);
        const BatchRun coloured = batch({ "--colours", big.string() });
        EXPECT_EQ(coloured.code, 1);
        EXPECT_EQ(coloured.err, line + "tintwell: " + big.string() + " is not a theme\n");
        const BatchRun linted = batch({ "--lint", car_zumo, big.string() });
        EXPECT_EQ(linted.code, 2);
        EXPECT_EQ(linted.err, "tintwell: " + line);
        const BatchRun diffed = batch({ "--diff", car_zumo, big.string() });
        EXPECT_EQ(diffed.code, 2);
        EXPECT_EQ(diffed.err, line + "tintwell: " + big.string() + " is not a theme\n");
        const fs::path out = temp_path("-big-out.kmtf");
        const BatchRun converted = batch({ "--convert", big.string(), out.string() });
        EXPECT_EQ(converted.code, 1);
        EXPECT_EQ(converted.err, line);
        EXPECT_FALSE(fs::exists(out));
        bool drawn = false;
        std::ostringstream render_out, render_err;
        EXPECT_EQ(
            run_batch({ "--render", big.string(), "--output", "x.png" }, render_out, render_err,
                [&drawn](const std::string&, const std::string&, int, std::ostream&) {
                    drawn = true;
                    return 0;
                }),
            1);
        EXPECT_EQ(render_err.str(), line);
        EXPECT_FALSE(drawn);
    }
    fs::remove(big);
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
        { "a Car & Zumo theme known as such only once read (a TAB inside PRESENTATION), cut off",
            text::replace(head, "<PRESENTATION", "<PRESEN\tTATION") + style
                + "<STYLE field=\"MAP_WATER\"><COLOR>",
            "the file ends at line 6 before its closing tag </GARMIN_MAP_THEME>: it looks cut "
            "off, and saving it would keep only the styles read so far" },
        { "a colour of seven digits", head + text::replace(style, "F2EFE9", "1234567") + tail,
            "LAND at line 5: the colour \"#1234567\" is not six hexadecimal digits" },
        { "blanks inside a colour", head + text::replace(style, "F2EFE9", "12 34 56") + tail,
            "LAND at line 5: the colour \"#12 34 56\" is not six hexadecimal digits" },
        { "more bad colours than are listed", [&] {
             std::string text = head;
             for (int i = 0; i < 1002; ++i) {
                 text += text::replace(style, "F2EFE9", "12");
             }
             return text + tail;
         }(),
            "and 2 more" },
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

// A save message names the path once, whether it begins with the path and a colon or with the
// path and a word; " Check access permission" follows only a lacking permission.
TEST(Batch, ConvertNamesTheTargetOnce)
{
    const fs::path folder = temp_path("-targets");
    fs::remove_all(folder);
    fs::create_directories(folder / "folder.kmtf");
    const std::string pipe = (folder / "pipe.kmtf").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string missing = (folder / "missing" / "x.kmtf").string();
    const std::string inner = (folder / "folder.kmtf").string();
    const std::pair<std::string, std::string> cases[] = {
        { pipe, pipe + " is not a regular file\n" },
        { inner, inner + ": Is a directory\n" },
        { missing, missing + ": No such file or directory\n" },
    };
    for (const auto& [target, message] : cases) {
        const BatchRun r = batch({ "--convert", car_zumo, target, "--force" });
        EXPECT_EQ(r.code, 1) << target;
        EXPECT_EQ(r.err, message);
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    fs::remove_all(folder);
}

// A file the user may not read says so, and only so: it is not reported as a file that is no
// theme. Root reads any file, so as root the commands run as nobody.
TEST(Batch, AnUnreadableFileGivesTheReasonAlone)
{
    const fs::path folder = temp_path("-unreadable");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string file = (folder / "locked.kmtf").string();
    fs::copy_file(car_zumo, file);
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    const std::string out = (folder / "out.kmtf").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            std::fprintf(stderr, "could not become nobody\n");
            ::_exit(1);
        }
        const BatchRun checked = batch({ "--check", file });
        const BatchRun converted = batch({ "--convert", file, out });
        const BatchRun dumped = batch({ "--dump", file });
        const bool ok = checked.code == 1 && checked.out == file + ": Permission denied\n"
            && converted.code == 1
            && converted.err
                == file + ": Permission denied\ntintwell: " + file
                    + " is not a theme; nothing written\n"
            && nlohmann::json::parse(dumped.out)["messages"]
                == nlohmann::json::array({ "Permission denied" });
        if (!ok) {
            std::fprintf(stderr, "--check: %s--convert: %s--dump: %s\n", checked.out.c_str(),
                converted.err.c_str(), dumped.out.c_str());
        }
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see the child's lines above";
    EXPECT_FALSE(fs::exists(out));
    fs::remove_all(folder);
}

// A stream that cannot take the output: the command fails with the reason instead of reporting
// success over a cut answer.
TEST(Batch, OutputThatCannotBeWrittenIsAWriteError)
{
    struct FailingBuffer : std::streambuf
    {
        int_type overflow(int_type) override { return traits_type::eof(); }
    };
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    struct Case
    {
        std::vector<std::string> args;
        int code;
    };
    const Case cases[] = { { { "--dump", car_zumo }, 1 }, { { "--help" }, 1 },
        { { "--lint", car_zumo, "--json" }, 2 },
        { { "--diff", car_zumo, data + "/ui_car_zumo.kmtf" }, 2 } };
    for (const Case& c : cases) {
        DescriptorOutput device(full);
        FailingBuffer failing;
        const std::pair<std::streambuf*, std::string> outputs[] = {
            { &device, "No space left on device" }, { &failing, "Input/output error" }
        };
        for (const auto& [buffer, reason] : outputs) {
            std::ostream out(buffer);
            std::ostringstream err;
            EXPECT_EQ(run_batch(c.args, out, err), c.code) << c.args[0] << ": " << reason;
            const std::string said = err.str();
            const std::string line = "tintwell: write error: " + reason + "\n";
            EXPECT_TRUE(said.size() >= line.size()
                && said.compare(said.size() - line.size(), line.size(), line) == 0)
                << c.args[0] << " said: " << said;
        }
    }
    ::close(full);
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
    // So is --render-map; a presentation the theme lacks is refused and writes nothing.
    EXPECT_EQ(run("--render-map " + car_zumo + " --output " + png.string()
                  + " --night --vision tritanopia --width 320"),
        0);
    EXPECT_GT(fs::file_size(png), 100u);
    fs::remove(png);
    EXPECT_EQ(run("--render-map " + car_zumo + " --output " + png.string()
                  + " --presentation PEDESTRIAN"),
        1);
    EXPECT_FALSE(fs::exists(png));
}

// Standard output on a full device, as `tintwell --dump theme.kmtf > /dev/full` gives it:
// every command that prints fails with the reason, and so does --convert when its messages
// cannot be written.
TEST(Program, FullStandardOutputIsAWriteError)
{
    const fs::path log = temp_path("-full.log");
    const fs::path converted = temp_path("-full.kmtf");
    const fs::path not_theme = temp_path("-full-text.kmtf");
    std::ofstream(not_theme) << "no colours here";
    // Read with a message and converted.
    const fs::path warned = temp_path("-full-warned.kmtf");
    std::ofstream(warned)
        << "<METADATA><TITLE>T</TITLE></METADATA><COLOR><PRESENTATION ID=\"X\">"
           "<STYLE FIELD=\"A\" BORDER=\"1\"><SECONDARY NIGHT=\"#000000\"/></STYLE>";
    struct Case
    {
        std::string args;
        int code;
        bool full_error;
    };
    const Case cases[] = {
        { "--dump " + car_zumo + " >/dev/full", 1, false },
        { "--check " + not_theme.string() + " >/dev/full", 1, false },
        { "--colours " + car_zumo + " >/dev/full", 1, false },
        { "--colours " + car_zumo + " --json --near >/dev/full", 1, false },
        { "--diff " + car_zumo + " " + data + "/ui_car_zumo.kmtf >/dev/full", 2, false },
        { "--diff " + car_zumo + " " + car_zumo + " --json >/dev/full", 2, false },
        { "--lint " + car_zumo + " >/dev/full", 2, false },
        { "--lint " + car_zumo + " --json >/dev/full", 2, false },
        { "--help >/dev/full", 1, false },
        { "--version >/dev/full", 1, false },
        { "--convert " + warned.string() + " " + converted.string() + " 2>/dev/full", 1, true },
    };
    for (const Case& c : cases) {
        const std::string command =
            std::string(TINTWELL_EXE) + " " + c.args + (c.full_error ? "" : " 2>" + log.string());
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status)) << c.args;
        EXPECT_EQ(WEXITSTATUS(status), c.code) << c.args;
        if (c.full_error) {
            continue;
        }
        std::ifstream in(log);
        const std::string err(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(err, "tintwell: write error: No space left on device\n") << c.args;
    }
    fs::remove(converted);
    fs::remove(log);
    fs::remove(not_theme);
    fs::remove(warned);
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
    EXPECT_EQ(err, out.string() + ": File too large\n");
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
