// The platform layer, with the same tables on every system; what differs (a device's name, the
// settings variable, the window program's name) comes from the build.
#include "model/reader.h"
#include "model/writer.h"
#include "platform/files.h"
#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>

using namespace tintwell;
using namespace tintwell::platform;
namespace fs = std::filesystem;

namespace {

// A folder of its own under the system's temporary folder, named as UTF-8.
class Folder
{
public:
    Folder()
    {
        std::random_device seed;
        m_path = fs::temp_directory_path() / ("tintwell-platform-" + std::to_string(seed()));
        fs::create_directories(m_path);
    }
    ~Folder()
    {
        std::error_code ec;
        fs::permissions(
            m_path / "read-only.kmtf", fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    std::string operator/(std::string_view name) const { return from_path(m_path / to_path(name)); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_path), {}));
    }

private:
    fs::path m_path;
};

std::string contents(const std::string& path)
{
    std::string out;
    if (std::FILE* file = open_for_reading(path)) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            out.append(buffer, n);
        }
        std::fclose(file);
    }
    return out;
}

void write(const std::string& path, const std::string& text)
{
    std::ofstream(to_path(path), std::ios::binary) << text;
}

const std::string summer = "Th\xC3\xA8me d'\xC3\xA9t\xC3\xA9.kmtf";

struct ReplaceCase
{
    const char* name;
    std::string target; // relative to the folder, or a device's own path
    bool device;
    const char* old_text; // null: nothing there; "/": a folder
    ReplaceResult result;
    std::string message; // after the path
};

void PrintTo(const ReplaceCase& row, std::ostream* out)
{
    *out << row.name;
}

class Replacing : public testing::TestWithParam<ReplaceCase>
{
};

TEST_P(Replacing, LeavesTheOldOrTheNewFileAndNothingElse)
{
    const ReplaceCase& row = GetParam();
    Folder folder;
    const std::string path = row.device ? row.target : folder / row.target;
    const std::string old_text = row.old_text == nullptr ? "" : row.old_text;
    if (old_text == "/") {
        fs::create_directory(to_path(path));
    } else if (row.old_text != nullptr) {
        write(path, old_text);
    }
    const std::size_t before = folder.entries();
    const std::string text = "<?xml version=\"1.0\"?>\r\n\xE9\r\n";
    std::string error;
    EXPECT_EQ(replace_file(path, text, error), row.result) << error;
    EXPECT_EQ(error, row.message.empty() ? "" : path + row.message);
    if (row.result == ReplaceResult::Replaced) {
        EXPECT_EQ(contents(path), text);
        EXPECT_EQ(file_kind(path), FileKind::Regular);
        EXPECT_EQ(regular_file_size(path), text.size());
        EXPECT_EQ(folder.entries(), row.old_text == nullptr ? before + 1 : before);
    } else {
        EXPECT_EQ(folder.entries(), before);
        if (row.old_text != nullptr && old_text != "/") {
            EXPECT_EQ(contents(path), old_text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, Replacing,
    testing::Values(
        ReplaceCase { "OverAFile", "theme.kmtf", false, "old", ReplaceResult::Replaced, "" },
        ReplaceCase { "NewFile", "theme.kmtf", false, nullptr, ReplaceResult::Replaced, "" },
        ReplaceCase { "NonAsciiName", summer, false, "old", ReplaceResult::Replaced, "" },
        ReplaceCase {
            "AFolder", "theme.kmtf", false, "/", ReplaceResult::Failed, ": Is a directory" },
        ReplaceCase { "MissingFolder", "missing/theme.kmtf", false, nullptr, ReplaceResult::Failed,
            ": No such file or directory" },
        ReplaceCase { "Device", TINTWELL_DEVICE_PATH, true, nullptr, ReplaceResult::Refused,
            " is not a regular file" },
        ReplaceCase { "DeviceNameInAFolder", TINTWELL_DEVICE_NAME_IN_FOLDER, false, nullptr,
            TINTWELL_DEVICE_NAME_REFUSED ? ReplaceResult::Refused : ReplaceResult::Replaced,
            TINTWELL_DEVICE_NAME_REFUSED ? " is not a regular file" : "" }),
    [](const testing::TestParamInfo<ReplaceCase>& info) { return info.param.name; });

TEST(Replacing, AReadOnlyFileIsRefusedAndKept)
{
    Folder folder;
    const std::string path = folder / "read-only.kmtf";
    write(path, "old");
    fs::permissions(to_path(path),
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
        fs::perm_options::remove);
    // Windows refuses a file for its read-only attribute, whoever the user is (under Wine even
    // as root); elsewhere root may write any file.
    if (!TINTWELL_READ_ONLY_BY_ATTRIBUTE && std::ofstream(to_path(path), std::ios::app)) {
        GTEST_SKIP() << "this user may write a file without write permission (root)";
    }
    std::string error;
    EXPECT_EQ(replace_file(path, "new", error), ReplaceResult::Refused);
    EXPECT_EQ(error, path + " is read-only");
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(folder.entries(), 1u);
}

TEST(Replacing, ANonAsciiThemeIsOpenedAndSavedByName)
{
    Folder folder;
    const std::string path = folder / summer;
    std::ifstream example(to_path(TINTWELL_TEST_DATA "/core_car_zumo.kmtf"), std::ios::binary);
    const std::string theme((std::istreambuf_iterator<char>(example)), {});
    write(path, theme);
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    ASSERT_TRUE(open_theme(doc, path)) << (prompter.messages.empty() ? "" : prompter.messages[0]);
    ASSERT_GT(doc.rows.size(), 0u);
    const std::string saved = car_zumo_text(doc) + "\r\n";
    EXPECT_TRUE(save_in_place(doc, path))
        << (prompter.messages.empty() ? "" : prompter.messages[0]);
    EXPECT_EQ(contents(path), saved);
    EXPECT_EQ(folder.entries(), 1u);
}

struct KindCase
{
    const char* name;
    std::string path;
    FileKind kind;
};

TEST(FileKinds, WhatIsAtAPath)
{
    Folder folder;
    write(folder / "theme.kmtf", "x");
    write(folder / summer, "x");
    const KindCase rows[] = {
        { "regular", folder / "theme.kmtf", FileKind::Regular },
        { "non-ASCII", folder / summer, FileKind::Regular },
        { "folder", folder / "", FileKind::Folder },
        { "missing", folder / "none.kmtf", FileKind::Missing },
        { "empty", "", FileKind::Missing },
        { "device", TINTWELL_DEVICE_PATH, FileKind::Other },
    };
    for (const KindCase& row : rows) {
        EXPECT_EQ(file_kind(row.path), row.kind) << row.name;
    }
    EXPECT_EQ(read_regular_file(folder / summer), "x");
    EXPECT_EQ(read_regular_file(TINTWELL_DEVICE_PATH), std::nullopt);
    EXPECT_EQ(read_regular_file(folder / ""), std::nullopt);
}

TEST(Programs, SettingsFolderAndWindowProgram)
{
    static std::string setting = std::string(TINTWELL_SETTINGS_VARIABLE) + "="
        + from_path(fs::temp_directory_path() / "tintwell-config");
    ::putenv(setting.data());
    EXPECT_EQ(settings_folder(),
        from_path(fs::temp_directory_path() / "tintwell-config" / "tintwell" / "system"));

    const fs::path self = to_path(own_program(nullptr));
    EXPECT_TRUE(fs::is_regular_file(self)) << from_path(self);
    EXPECT_EQ(window_program(nullptr), from_path(self.parent_path() / TINTWELL_WINDOW_PROGRAM));

    std::string error;
    EXPECT_EQ(start_window_program(
                  from_path(self.parent_path() / "no-such-program"), { "x" }, true, error),
        -1);
    EXPECT_FALSE(error.empty());
}

} // namespace
