#include "model/prompter.h"
#include "ui/main/settings.h"
#include "ui/main/view_settings.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tintwell {
namespace {

std::string file_text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

TEST(Settings, WrittenFileHasMarkerSevenEntriesPreferenceAndShowCode)
{
    Settings settings;
    settings.recent = { "/a.kmtf", "/b.kmtf", "", "", "", "", "" };
    settings.border_pref = false;
    settings.show_code = true;
    EXPECT_EQ(settings_text(settings),
        "\xA3)*(\r\n/a.kmtf\r\n/b.kmtf\r\n\r\n\r\n\r\n\r\n\r\nFalse\r\n1\r\n");
    EXPECT_EQ(read_settings(settings_text(settings)).recent, settings.recent);
}

struct ReadCase
{
    const char* what;
    std::string text;
    bool border_pref;
    bool show_code;
    std::string first_recent;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.what;
}

class ReadSettings : public testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadSettings, TakesWhatIsThereAndDefaultsTheRest)
{
    const Settings settings = read_settings(GetParam().text);
    EXPECT_EQ(settings.border_pref, GetParam().border_pref) << GetParam().what;
    EXPECT_EQ(settings.show_code, GetParam().show_code) << GetParam().what;
    EXPECT_EQ(settings.recent[0], GetParam().first_recent) << GetParam().what;
}

const std::string marker = "\xA3)*(";

INSTANTIATE_TEST_SUITE_P(Lines, ReadSettings,
    testing::Values(ReadCase { "empty file", "", true, false, "" },
        ReadCase { "TRUE in capitals ticks",
            file_text({ marker, "/x", "", "", "", "", "", "", "TRUE", "1" }), true, true, "/x" },
        ReadCase { "yes unticks", file_text({ marker, "", "", "", "", "", "", "", "yes", "0" }),
            false, false, "" },
        ReadCase { "short file keeps defaults of missing lines", file_text({ marker, "/only" }),
            true, false, "/only" },
        ReadCase { "no marker: garbled",
            file_text({ "hello", "/x", "", "", "", "", "", "", "False", "1" }), true, false, "" },
        ReadCase { "binary junk", std::string("\xA3)*(\r\n\x01\x02\x00zz", 9), true, false, "" },
        ReadCase { "without a final line break",
            marker + "\r\n/p\r\n\r\n\r\n\r\n\r\n\r\n\r\nfalse\r\n1", false, true, "/p" }));

struct RecentCase
{
    const char* what;
    RecentFiles before;
    std::string path;
    RecentFiles after;
};

void PrintTo(const RecentCase& c, std::ostream* os)
{
    *os << c.what;
}

class Updatmf : public testing::TestWithParam<RecentCase>
{
};

TEST_P(Updatmf, KeepsMostRecentFirst)
{
    RecentFiles recent = GetParam().before;
    updatmf(recent, GetParam().path);
    EXPECT_EQ(recent, GetParam().after) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Entries, Updatmf,
    testing::Values(RecentCase { "new path drops the oldest", { "1", "2", "3", "4", "5", "6", "7" },
                        "8", { "8", "1", "2", "3", "4", "5", "6" } },
        RecentCase { "fourth entry moves up, the rest stay", { "1", "2", "3", "4", "5", "6", "7" },
            "4", { "4", "1", "2", "3", "5", "6", "7" } },
        RecentCase { "already on top", { "1", "2", "", "", "", "", "" }, "1",
            { "1", "2", "", "", "", "", "" } },
        RecentCase { "letter case makes a new entry", { "/a/X.kmtf", "", "", "", "", "", "" },
            "/a/x.kmtf", { "/a/x.kmtf", "/a/X.kmtf", "", "", "", "", "" } },
        RecentCase { "empty path closes the gaps", { "", "2", "", "4", "", "", "7" }, "",
            { "2", "4", "7", "", "", "", "" } }));

TEST(Settings, SavedFileReadsBackAndFailureIsReportedWithTheReason)
{
    const auto folder = std::filesystem::temp_directory_path() / "tintwell_settings_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "tintwell.dat").string();
    RecordingPrompter prompter;
    Settings settings;
    settings.recent[0] = "/t.kmtf";
    settings.border_pref = false;
    ASSERT_TRUE(savedata(path, settings, prompter));
    std::ostringstream warnings;
    const Settings back = loaddata(path, warnings);
    EXPECT_EQ(back.recent, settings.recent);
    EXPECT_FALSE(back.border_pref);

    EXPECT_FALSE(savedata((folder / "missing" / "tintwell.dat").string(), settings, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    const std::string& message = prompter.messages[0];
    // The reason, and no advice to run the program with other rights.
    EXPECT_EQ(message,
        (folder / "missing" / "tintwell.dat").string()
            + ": No such file or directory\r\n\r\nYour data cannot be saved correctly.");
    EXPECT_EQ(loaddata((folder / "none.dat").string(), warnings).recent, RecentFiles {});
    EXPECT_EQ(warnings.str(), "");
    std::filesystem::remove_all(folder);
}

// Something other than a file at a settings file's path is neither read (opening a pipe for
// reading waits for a writer, and the window never started) nor replaced when the window closes.
TEST(Settings, APipeOrFolderInPlaceOfASettingsFileIsLeftAlone)
{
    namespace fs = std::filesystem;
    const auto folder = fs::temp_directory_path() / "tintwell_settings_not_files";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string settings_path = (folder / "tintwell.dat").string();
    const std::string view_path = view_settings_path(settings_path);
    const auto make_pipe = [](const std::string& path) {
        return ::mkfifo(path.c_str(), 0600) == 0;
    };
    const auto make_folder = [](const std::string& path) { return fs::create_directory(path); };
    struct Case
    {
        const char* what;
        std::function<bool(const std::string&)> make;
        fs::file_type type;
    };
    const Case cases[] = { { "pipe", make_pipe, fs::file_type::fifo },
        { "folder", make_folder, fs::file_type::directory } };
    Settings changed;
    changed.recent[0] = "/t.kmtf";
    for (const Case& c : cases) {
        for (const std::string& path : { settings_path, view_path }) {
            fs::remove_all(path);
            ASSERT_TRUE(c.make(path)) << c.what;
            // A read that waits is ended by the alarm, failing the test instead of hanging it.
            ::alarm(10);
            EXPECT_EQ(loadtext(path), "") << c.what;
            std::ostringstream warnings;
            const bool settings_file = path == settings_path;
            if (settings_file) {
                EXPECT_EQ(loaddata(path, warnings).recent, RecentFiles {}) << c.what;
            } else {
                EXPECT_EQ(load_view_settings(path, warnings), ViewSettings {}) << c.what;
            }
            ::alarm(0);
            EXPECT_EQ(warnings.str(),
                "tintwell: " + path
                    + " is not a regular file; the default settings are used and it is left as "
                      "it is\n")
                << c.what;
            RecordingPrompter prompter;
            EXPECT_FALSE(settings_file ? savedata(path, changed, prompter)
                                       : save_view_settings(path, { 200, false }))
                << c.what;
            EXPECT_EQ(prompter.messages, std::vector<std::string> {}) << c.what;
            EXPECT_EQ(fs::symlink_status(path).type(), c.type) << c.what;
            fs::remove_all(path);
        }
    }
    EXPECT_TRUE(fs::is_empty(folder));
    fs::remove_all(folder);
}

struct ViewCase
{
    const char* what;
    std::string text;
    ViewSettings expected;
};

void PrintTo(const ViewCase& c, std::ostream* os)
{
    *os << c.what;
}

class ReadViewSettings : public testing::TestWithParam<ViewCase>
{
};

TEST_P(ReadViewSettings, TakesWhatReadsAndKeepsTheZoomInRange)
{
    EXPECT_EQ(read_view_settings(GetParam().text), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadViewSettings,
    testing::Values(ViewCase { "missing", "", { 100, true } },
        ViewCase { "as written", "zoom=150\r\nstatus_bar=0\r\n", { 150, false } },
        ViewCase { "any order, LF only", "status_bar=0\nzoom=67\n", { 67, false } },
        ViewCase { "too large", "zoom=1000\r\n", { 400, true } },
        ViewCase { "too small", "zoom=-5\r\n", { 50, true } },
        ViewCase {
            "not a number keeps the default", "zoom=1.5x\r\nstatus_bar=\r\n", { 100, true } },
        ViewCase {
            "unknown lines and junk skipped", "colour=3\r\n\x01\x02\r\nzoom=250", { 250, true } },
        ViewCase { "map window placed", "map_window=-40,30,900,600\r\n",
            { 100, true, 0, { -40, 30, 900, 600 } } },
        ViewCase { "map window too small", "map_window=10,10,20,600\r\n", { 100, true } },
        ViewCase { "map window far off", "map_window=90000,10,900,600\r\n", { 100, true } },
        ViewCase { "map window short of a number", "map_window=10,10,900\r\n", { 100, true } },
        ViewCase {
            "map window with a number too many", "map_window=1,2,300,400,5\r\n", { 100, true } }));

// Written and read again, the settings are the same; a map window never placed writes no line,
// so the file stays as it was for those who never opened the map.
TEST(ViewSettingsText, ReadsBackWhatItWrites)
{
    ViewSettings placed { 125, false, 300, { 12, -8, 1024, 700 } };
    EXPECT_EQ(read_view_settings(view_settings_text(placed)), placed);
    EXPECT_EQ(view_settings_text({ 125, false }), "zoom=125\r\nstatus_bar=0\r\n");
}

} // namespace
} // namespace tintwell
