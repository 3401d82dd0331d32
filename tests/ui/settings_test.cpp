#include "model/prompter.h"
#include "ui/main/settings.h"
#include "ui/main/view_settings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

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

TEST(Settings, SavedFileReadsBackAndFailureIsReportedWithAdvice)
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
    const Settings back = loaddata(path);
    EXPECT_EQ(back.recent, settings.recent);
    EXPECT_FALSE(back.border_pref);

    EXPECT_FALSE(savedata((folder / "missing" / "tintwell.dat").string(), settings, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    const std::string& message = prompter.messages[0];
    EXPECT_NE(message.find("\r\n\r\nYour data cannot be saved correctly.\r\n\r\nTry rightclicking "
                           "on the tintwell.exe and run as Administrator"),
        std::string::npos);
    EXPECT_EQ(loaddata((folder / "none.dat").string()).recent, RecentFiles {});
    std::filesystem::remove_all(folder);
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
            "unknown lines and junk skipped", "colour=3\r\n\x01\x02\r\nzoom=250", { 250, true } }));

} // namespace
} // namespace tintwell
