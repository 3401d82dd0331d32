#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"
#include "theme_fixture.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tintwell;
using namespace tintwell::test;
namespace fs = std::filesystem;

namespace {

// The unprivileged user and group of Debian systems.
constexpr uid_t nobody = 65534;

StyleRow row(std::string pres, std::string field, std::string scale, std::string border,
    std::string pd, std::string pn, std::string sd = "", std::string sn = "")
{
    StyleRow r = colour_row(std::move(scale), std::move(border), std::move(pd), std::move(pn),
        std::move(sd), std::move(sn));
    r.set_pres_name(std::move(pres));
    r.set_field_name(std::move(field));
    return r;
}

std::string body(Document& doc)
{
    // Everything after the metadata block.
    const std::string all = car_zumo_text(doc);
    const auto end = all.find("</METADATA>\r\n");
    return end == std::string::npos ? all : all.substr(end + 13);
}

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TempDir
{
public:
    TempDir()
    {
        m_path = fs::temp_directory_path()
            / ("tintwell-writer-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempDir() { fs::remove_all(m_path); }
    fs::path operator/(const std::string& name) const { return m_path / name; }
    const fs::path& path() const { return m_path; }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_path), {}));
    }

private:
    static inline int counter = 0;
    fs::path m_path;
};

struct Writer : testing::Test
{
    RecordingPrompter prompter;
    RecordingView view;
    Document doc;
    Writer()
    {
        doc.attach(&prompter, &view);
        doc.metadata = { "T", "D", "Global", "1.00" };
    }
};

TEST_F(Writer, OneWaterPolygonIsWrittenByteForByte)
{
    doc.rows = { row("GUIDANCE", "MAP_WATER", "1", "", "CECECE", "000000") };
    EXPECT_EQ(car_zumo_text(doc),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n"
        "<METADATA>\r\n<TITLE>T</TITLE>\r\n<DESCRIPTION>D</DESCRIPTION>\r\n<LOCALELIST>\r\n"
        "<locale>Global</locale>\r\n</LOCALELIST>\r\n"
        "<Version><Major>1</Major><Minor>00</Minor></Version>\r\n</METADATA>\r\n"
        "<PRESENTATION ID=\"GUIDANCE\" > \r\n<STYLELIST>\r\n\r\n"
        "<STYLE field = \"MAP_WATER\" scale=\"1\" >\r\n <COLOR>\r\n"
        "<PRIMARY day = \"#CECECE\" night=\"#000000\"/>\r\n </COLOR >\r\n</STYLE>\r\n"
        "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>");
}

TEST_F(Writer, StyleBlocks)
{
    struct Case
    {
        const char* what;
        StyleRow r;
        std::string expected;
    };
    const std::string open = "\r\n<STYLE field = \"F\"";
    const std::string close = " </COLOR >\r\n</STYLE>\r\n";
    const Case cases[] = {
        { "border 0: no border attribute, no secondary",
            row("G", "F", "", "0", "111111", "222222", "333333", "444444"),
            open + ">\r\n <COLOR>\r\n<PRIMARY day = \"#111111\" night=\"#222222\"/>\r\n" + close },
        { "no night: neither element gets one",
            row("G", "F", "", "1", "111111", "-1", "333333", "444444"),
            open + " border=\"1\" >\r\n <COLOR>\r\n<PRIMARY day = \"#111111\"/>\r\n"
                   "<SECONDARY day = \"#333333\"/>\r\n"
                + close },
        { "no primary: the secondary keeps its night", row("G", "F", "2", ".6", "", "", "3", "4"),
            open + " scale=\"2\"  border=\".6\" >\r\n <COLOR>\r\n"
                   "<SECONDARY day = \"#3\" night=\"#4\"/>\r\n"
                + close },
        { "a secondary without day is not written", row("G", "F", "", "1", "1", "2", "", "4"),
            open + " border=\"1\" >\r\n <COLOR>\r\n<PRIMARY day = \"#1\" night=\"#2\"/>\r\n"
                + close },
        { "a secondary night of -1 is left out", row("G", "F", "", "1", "1", "2", "3", "-1"),
            open + " border=\"1\" >\r\n <COLOR>\r\n<PRIMARY day = \"#1\" night=\"#2\"/>\r\n"
                   "<SECONDARY day = \"#3\"/>\r\n"
                + close },
        { "an empty border still lets the secondary through, only 0 stops it",
            row("G", "F", "", "", "1", "2", "3", "4"),
            open + ">\r\n <COLOR>\r\n<PRIMARY day = \"#1\" night=\"#2\"/>\r\n"
                   "<SECONDARY day = \"#3\" night=\"#4\"/>\r\n"
                + close },
    };
    for (const auto& c : cases) {
        doc.rows = { c.r };
        const std::string head = "<PRESENTATION ID=\"G\" > \r\n<STYLELIST>\r\n";
        EXPECT_EQ(body(doc), head + c.expected + "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>")
            << c.what;
    }
}

TEST_F(Writer, PresentationsOpenAndCloseWhereTheNameChanges)
{
    doc.rows = { row(" A ", "1", "", "", "1", "-1"), row(" A ", "2", "", "", "1", "-1"),
        row("B", "3", "", "", "1", "-1"), row("A", "4", "", "", "1", "-1") };
    const std::string out = body(doc);
    const auto count = [&](const std::string& s) {
        std::size_t n = 0;
        for (auto at = out.find(s); at != std::string::npos; at = out.find(s, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("<PRESENTATION ID="), 3u);
    EXPECT_EQ(count("</PRESENTATION>"), 3u);
    EXPECT_EQ(count("<STYLELIST>"), 3u);
    const auto pos = [&](const char* s) { return out.find(s); };
    EXPECT_LT(pos("ID=\"A\""), pos("\"1\""));
    EXPECT_LT(pos("\"2\""), pos("</PRESENTATION>\r\n<PRESENTATION ID=\"B\""));
    EXPECT_NE(out.rfind("ID=\"A\""), pos("ID=\"A\""));
}

TEST_F(Writer, FirstRowWithoutAPresentationNameStillOpensOne)
{
    doc.rows = { row("", "F", "", "", "1", "-1") };
    Loaded back;
    ASSERT_TRUE(back.load(car_zumo_text(doc)));
    EXPECT_EQ(back.doc.row_count(), 1);
}

TEST_F(Writer, VersionsAndMetadataDefaults)
{
    struct Case
    {
        std::string version;
        std::string major_minor;
        std::string shown;
    };
    const Case cases[] = { { "2,5", "<Major>2</Major><Minor>5</Minor>", "2,5" },
        { "3", "<Major>3</Major><Minor>00</Minor>", "3" },
        { "", "<Major>1</Major><Minor>00</Minor>", "1.00" },
        { "1.2,3", "<Major>1</Major><Minor>2,3</Minor>", "1.2,3" } };
    for (const auto& c : cases) {
        doc.metadata = { "T", "", "", c.version };
        const std::string meta = make_meta(doc);
        EXPECT_NE(meta.find(c.major_minor), std::string::npos) << c.version;
        EXPECT_EQ(view.shown, (ThemeMetadata { "T", "map theme", "Global", c.shown }));
    }
}

TEST_F(Writer, SportFitnessMetadataTakesNoDefaults)
{
    doc.kind = ThemeKind::SportFitness;
    doc.metadata = { "T", "", "", "" };
    EXPECT_EQ(make_meta(doc), "<metadata><title>T</title><description></description></metadata>");
    EXPECT_EQ(doc.metadata, (ThemeMetadata { "T", "", "", "" }));
}

TEST_F(Writer, NoTitle)
{
    doc.metadata.title.clear();
    doc.rows = { row("G", "F", "", "", "1", "-1") };
    TempDir dir;
    doc.modified = true;
    EXPECT_FALSE(save_code(doc, (dir / "t.kmtf").string()));
    EXPECT_EQ(prompter.messages, (std::vector<std::string> { "Needs a Title", "File not saved" }));
    EXPECT_EQ(view.focus_title_calls, 1);
    EXPECT_FALSE(fs::exists(dir / "t.kmtf"));
    EXPECT_TRUE(doc.modified);

    // A Sport & Fitness theme is saved without its metadata.
    prompter.messages.clear();
    doc.kind = ThemeKind::SportFitness;
    EXPECT_TRUE(save_code(doc, (dir / "s.kmtf").string()));
    EXPECT_EQ(prompter.messages, (std::vector<std::string> { "Needs a Title" }));
    EXPECT_FALSE(doc.modified);
}

TEST_F(Writer, ControlCharactersInABorder)
{
    doc.rows = { row("G", "F", "", "\r\n1\x01\x02", "1", "-1") };
    const std::string out = body(doc);
    EXPECT_EQ(doc.rows[0].border(), "1\x01\x02");
    EXPECT_EQ(prompter.messages,
        (std::vector<std::string> { "Error with Border Height", "Error with Border Height" }));
}

TEST_F(Writer, SportFitnessKeepsTheStyleTexts)
{
    doc.kind = ThemeKind::SportFitness;
    doc.rows = { row("", "", "", "", "", ""), row("", "", "", "", "", "") };
    doc.rows[0].set_style_text("field=\"A\"><color></color></style>");
    doc.rows[1].set_style_text("X");
    EXPECT_EQ(sport_fitness_text(doc),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<garmin_map_theme>\r\n"
        "<metadata><title>T</title><description>D</description></metadata><stylelist>"
        "<style field=\"A\"><color></color></style><style X</stylelist></garmin_map_theme>");
}

// Reads a theme, writes it, reads that back: the rows must survive, and a second write must
// give the same bytes.
void expect_round_trip(const std::string& original)
{
    Loaded first;
    ASSERT_TRUE(first.load(original));
    const bool sport = first.doc.kind == ThemeKind::SportFitness;
    const std::string written
        = sport ? sport_fitness_text(first.doc) : car_zumo_text(first.doc);
    Loaded second;
    ASSERT_TRUE(second.load(written));
    ASSERT_EQ(second.doc.row_count(), first.doc.row_count());
    for (int i = 0; i < first.doc.row_count(); ++i) {
        const StyleRow& a = first.row(static_cast<std::size_t>(i));
        const StyleRow& b = second.row(static_cast<std::size_t>(i));
        EXPECT_EQ(a.field_name(), b.field_name()) << i;
        EXPECT_EQ(a.pres_name(), b.pres_name()) << i;
        EXPECT_EQ(a.pres_code, b.pres_code) << i;
        EXPECT_EQ(a.pri_day(), b.pri_day()) << i;
        EXPECT_EQ(a.pri_night(), b.pri_night()) << i;
        EXPECT_EQ(a.scale(), b.scale()) << i;
        if (sport) {
            EXPECT_EQ(a, b) << i;
        } else {
            EXPECT_EQ(a.border() == "0" ? "" : a.sec_day(), b.sec_day()) << i;
        }
    }
    EXPECT_EQ(second.doc.metadata.title, first.doc.metadata.title);
    const std::string again
        = sport ? sport_fitness_text(second.doc) : car_zumo_text(second.doc);
    EXPECT_EQ(again, written);
}

TEST(RoundTrip, CarZumoAndSportFitness)
{
    const std::string primary = "<PRIMARY day = \"#a1b2c3\" night=\"#0a0b0c\"/>\r\n";
    const std::string both = primary + "<SECONDARY day = \"#010101\" night=\"#020202\"/>\r\n";
    expect_round_trip(car_zumo_theme(
        presentation("GUIDANCE",
            cz_style("MAP_WATER", " scale=\"1\" ", primary)
                + cz_style("MAP_ROAD_HWY_MJR", " scale=\"1.5\" border=\".6\" ", both)
                + cz_style("MAP_ROAD_RAILRD", "", primary))
        + presentation("BROWSE", cz_style("MAP_RTE_ARRW", " border=\"1\" ", both))
        + presentation("MY OWN", cz_style("MAP_PARK", "", "<PRIMARY day = \"#NONE\"/>\r\n"))));
    expect_round_trip(sf_theme(
        "<style field=\"mpm_road_clr\" bg_width=\"3\" fg_width=\"2\"><color><primary "
        "day=\"#ffaabbcc\" night=\"#ff010203\"/><secondary day=\"#80cecece\" "
        "night=\"#ff0a0a0a\"/></color></style><style field=\"mpm_water_clr\"><color><primary "
        "day=\"#ff9ec5f0\"/></color></style>"));
}

struct Saving : Writer
{
    TempDir dir;
    std::string target = (dir / "theme.kmtf").string();
    Saving()
    {
        doc.rows = { row("GUIDANCE", "MAP_WATER", "1", "", "CECECE", "000000") };
        doc.modified = true;
    }
};

TEST_F(Saving, AskBeforeReplacingAFile)
{
    std::ofstream(target) << "old";
    prompter.yes_no_answers = { false };
    EXPECT_FALSE(save_code(doc, target));
    EXPECT_EQ(read_file(target), "old");
    EXPECT_TRUE(doc.modified);

    prompter.yes_no_answers = { true };
    EXPECT_TRUE(save_code(doc, target));
    EXPECT_EQ(prompter.questions,
        (std::vector<std::string> { "Overwrite existing file?", "Overwrite existing file?" }));
    EXPECT_EQ(read_file(target), car_zumo_text(doc) + "\r\n");
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(dir.entries(), 1u);
}

TEST_F(Saving, UnwritablePlacesLeaveEverythingAsItWas)
{
    const std::string missing = (dir / "missing" / "t.kmtf").string();
    const std::string folder = (dir / "").string();
    const std::pair<std::string, std::string> cases[] = {
        { missing, missing + ": No such file or directory" },
        { folder, folder + ": Is a directory" },
    };
    for (const auto& [path, message] : cases) {
        prompter.messages.clear();
        prompter.yes_no_answers = { true };
        EXPECT_FALSE(save_code(doc, path)) << path;
        EXPECT_EQ(prompter.messages, std::vector<std::string> { message });
        EXPECT_TRUE(doc.modified);
    }
    EXPECT_EQ(dir.entries(), 0u);
}

// Replacing a pipe, socket or device by renaming over it would leave a plain file in its place
// and cut off whoever reads it.
TEST_F(Saving, TargetsThatAreNotPlainFilesAreRefused)
{
    const std::string pipe = (dir / "pipe.kmtf").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string socket_path = (dir / "socket.kmtf").string();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socket_path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socket_path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string link = (dir / "link.kmtf").string();
    fs::create_symlink(pipe, link);

    for (const std::string& path : { pipe, socket_path, link }) {
        prompter.messages.clear();
        prompter.yes_no_answers = { true };
        EXPECT_FALSE(save_code(doc, path)) << path;
        EXPECT_EQ(prompter.messages, std::vector<std::string> { path + " is not a regular file" });
        EXPECT_TRUE(doc.modified);
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_socket(socket_path));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(dir.entries(), 3u);
    ::close(listener);
}

TEST_F(Saving, TheNewFileKeepsModeOwnerAndGroup)
{
    std::ofstream(target) << "old";
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    // Only root may give a file to someone else; an ordinary user's file keeps its owner anyway.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), nobody, nobody), 0);
    }
    struct stat before
    {
    };
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    prompter.yes_no_answers = { true };
    ASSERT_TRUE(save_code(doc, target));
    struct stat after
    {
    };
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(read_file(target), car_zumo_text(doc) + "\r\n");

    // A new file gets the usual mode of a new file.
    const mode_t mask = ::umask(022);
    const std::string fresh = (dir / "fresh.kmtf").string();
    ASSERT_TRUE(save_code(doc, fresh));
    ::umask(mask);
    ASSERT_EQ(::stat(fresh.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0644u);
    EXPECT_EQ(dir.entries(), 2u);
}

// Run by an ordinary user: a file of their own can be replaced until it is made read-only.
// Returns what went wrong, or an empty text.
std::string replace_then_refuse_read_only(const std::string& path)
{
    std::string error;
    if (replace_file(path, "new", error) != ReplaceResult::Replaced) {
        return "a writable file was not replaced: " + error;
    }
    if (::chmod(path.c_str(), 0444) != 0) {
        return "chmod failed";
    }
    if (replace_file(path, "newer", error) != ReplaceResult::Refused) {
        return "a read-only file was replaced";
    }
    if (error != path + " is read-only") {
        return "message: " + error;
    }
    if (read_file(path) != "new") {
        return "the read-only file changed";
    }
    // Only a lacking permission sends the user to look at permissions.
    const fs::path folder = fs::path(path).parent_path();
    const std::string fresh = (folder / "fresh.kmtf").string();
    if (::chmod(folder.c_str(), 0555) != 0) {
        return "chmod of the folder failed";
    }
    const ReplaceResult result = replace_file(fresh, "new", error);
    ::chmod(folder.c_str(), 0755);
    if (result != ReplaceResult::Failed
        || error != fresh + ": Permission denied Check access permission") {
        return "a folder the user may not write: " + error;
    }
    return {};
}

TEST_F(Saving, AReadOnlyFileIsRefused)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write a read-only file; "
                        "Saving.AReadOnlyFileIsRefusedForAnOrdinaryUser checks this as nobody";
    }
    std::ofstream(target) << "old";
    EXPECT_EQ(replace_then_refuse_read_only(target), "");
    EXPECT_EQ(dir.entries(), 1u);
}

TEST_F(Saving, AReadOnlyFileIsRefusedForAnOrdinaryUser)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can become another user; Saving.AReadOnlyFileIsRefused "
                        "checks this as the current user";
    }
    const fs::path folder = dir / "nobody";
    fs::create_directory(folder);
    const std::string path = (folder / "theme.kmtf").string();
    std::ofstream(path) << "old";
    ASSERT_EQ(::chown(folder.c_str(), nobody, nobody), 0);
    ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0);
    // The scratch folder's parents must let nobody through.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string outcome = "could not become nobody";
        if (::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0) {
            outcome = replace_then_refuse_read_only(path);
        }
        if (!outcome.empty()) {
            std::fprintf(stderr, "%s\n", outcome.c_str());
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see the child's line above";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

TEST_F(Saving, AWriteThatFailsPartWayKeepsTheOldFile)
{
    const std::string old_text(5000, 'x');
    std::ofstream(target) << old_text;
    for (int i = 0; i < 200; ++i) {
        doc.rows.push_back(doc.rows.front());
    }
    // Files may not grow past 1000 bytes while saving: the write stops part-way.
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit {};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    prompter.yes_no_answers = { true };
    const bool saved = save_code(doc, target);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(read_file(target), old_text);
    EXPECT_EQ(dir.entries(), 1u); // no temporary file left behind
    EXPECT_TRUE(doc.modified);
    ASSERT_EQ(prompter.messages.size(), 1u);
}

// Renaming a new file over one with other hard links would leave those names with the old text:
// such a file is written in place and keeps its inode, once the whole new text is on disk beside
// it; a save that cannot even write that copy leaves the old text under every name.
TEST_F(Saving, AHardLinkedFileIsWrittenInPlace)
{
    struct Case
    {
        const char* what;
        std::size_t old_size;
        rlim_t size_limit;
        bool saved;
    };
    const Case cases[] = {
        { "the old text is longer: the rest is cut off", 5000, RLIM_INFINITY, true },
        { "the old text is shorter: the file grows", 10, RLIM_INFINITY, true },
        { "the copy beside it cannot be written", 5000, 100, false },
    };
    const std::string other = (dir / "other.kmtf").string();
    for (const Case& c : cases) {
        fs::remove(target);
        fs::remove(other);
        const std::string old_text(c.old_size, 'x');
        std::ofstream(target) << old_text;
        fs::create_hard_link(target, other);
        struct stat before
        {
        };
        ASSERT_EQ(::stat(target.c_str(), &before), 0);

        const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old_limit {};
        getrlimit(RLIMIT_FSIZE, &old_limit);
        rlimit limit = old_limit;
        limit.rlim_cur = c.size_limit;
        setrlimit(RLIMIT_FSIZE, &limit);
        prompter.messages.clear();
        prompter.yes_no_answers = { true };
        const bool saved = save_code(doc, target);
        setrlimit(RLIMIT_FSIZE, &old_limit);
        std::signal(SIGXFSZ, old_handler);

        EXPECT_EQ(saved, c.saved) << c.what;
        const std::string expected = c.saved ? car_zumo_text(doc) + "\r\n" : old_text;
        EXPECT_EQ(read_file(target), expected) << c.what;
        EXPECT_EQ(read_file(other), expected) << c.what;
        struct stat after
        {
        };
        ASSERT_EQ(::stat(target.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
        EXPECT_EQ(after.st_nlink, 2u) << c.what;
        EXPECT_EQ(dir.entries(), 2u) << c.what << ": the copy beside it is removed";
        EXPECT_EQ(prompter.messages,
            c.saved ? std::vector<std::string> {}
                    : std::vector<std::string> { target + ": File too large" })
            << c.what;
    }
}

// A file that belongs to someone else, which the user may write, is saved without changing hands:
// the user cannot give a new file to its owner, so the old file is written in place.
TEST_F(Saving, SomeoneElsesFileKeepsItsOwner)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can make a file that belongs to another user and then save it "
                        "as a user who cannot give files away";
    }
    const fs::path folder = dir / "shared";
    fs::create_directory(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string path = (folder / "theme.kmtf").string();
    std::ofstream(path) << "old text, longer than the new one";
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    struct stat before
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string error = "could not become nobody";
        if (::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0
            && replace_file(path, "new text", error) == ReplaceResult::Replaced) {
            ::_exit(0);
        }
        std::fprintf(stderr, "%s\n", error.c_str());
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see the child's line above";
    struct stat after
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(read_file(path), "new text");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

// Saving through a link writes the file it names and keeps the link, also a link to a file that
// does not exist yet; a relative link is read from its own folder, not the current one.
TEST_F(Saving, SymbolicLinksStayLinks)
{
    fs::create_directory(dir / "links");
    fs::create_directory(dir / "sub");
    std::ofstream(dir / "real.kmtf") << "old";
    struct Case
    {
        const char* link;
        std::string points_to;
        const char* file;
    };
    const Case cases[] = {
        { "absolute.kmtf", (dir / "real.kmtf").string(), "real.kmtf" },
        { "relative.kmtf", "../real.kmtf", "real.kmtf" },
        { "chain.kmtf", "relative.kmtf", "real.kmtf" },
        { "absolute-new.kmtf", (dir / "sub" / "new1.kmtf").string(), "sub/new1.kmtf" },
        { "relative-new.kmtf", "../sub/new2.kmtf", "sub/new2.kmtf" },
    };
    for (const Case& c : cases) {
        const fs::path link = dir / "links" / c.link;
        fs::create_symlink(c.points_to, link);
        const std::string text = std::string("saved through ") + c.link;
        std::string error;
        EXPECT_EQ(replace_file(link.string(), text, error), ReplaceResult::Replaced) << error;
        EXPECT_TRUE(fs::is_symlink(link)) << c.link;
        EXPECT_EQ(fs::read_symlink(link), c.points_to) << c.link;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / c.file))) << c.link;
        EXPECT_EQ(read_file(dir / c.file), text) << c.link;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "sub"), {}), 2);

    const fs::path loop = dir / "links" / "loop.kmtf";
    fs::create_symlink("loop.kmtf", loop);
    std::string error;
    EXPECT_EQ(replace_file(loop.string(), "x", error), ReplaceResult::Failed);
    EXPECT_EQ(error, loop.string() + ": Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_symlink(loop));
}

TEST(SaveTextFile, ReplacesWithCrLfAndReportsFailure)
{
    TempDir dir;
    RecordingPrompter prompter;
    const std::string path = (dir / "tintwell.dat").string();
    EXPECT_FALSE(save_text_file(prompter, "", "x"));
    EXPECT_TRUE(save_text_file(prompter, path, "a\r\nb"));
    EXPECT_TRUE(save_text_file(prompter, path, "c"));
    EXPECT_EQ(read_file(path), "c\r\n");
    const std::string bad = (dir / "no" / "x.dat").string();
    EXPECT_FALSE(save_text_file(prompter, bad, "c"));
    EXPECT_EQ(
        prompter.messages, (std::vector<std::string> { bad + ": No such file or directory" }));
}

} // namespace
