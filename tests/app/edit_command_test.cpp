#include "analysis/style_batch_edit.h"
#include "batch_run.h"
#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"
#include "render/style_filter.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace tintwell;
using namespace tintwell::test;
namespace fs = std::filesystem;

namespace {

fs::path temp_path(const std::string& name)
{
    return fs::temp_directory_path() / ("tintwell-edit-" + std::to_string(::getpid()) + name);
}

std::string bytes_of(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void copy_to(const std::string& from, const fs::path& to)
{
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

TEST(EditCommand, ExitCodesAndWhatIsWritten)
{
    const fs::path out = temp_path("-out.kmtf");
    struct Row
    {
        std::vector<std::string> args;
        int code;
        bool written;
        std::string said;
    };
    const std::string in = car_zumo;
    const std::string o = out.string();
    const std::vector<Row> rows = {
        { { in, o, "--select", "road", "--set", "day=lighter:10" }, 0, true, "styles changed" },
        // Two selectors take the styles of both; nothing of one applying is no failure.
        { { in, o, "--select", "water", "--select", "park", "--set", "border=2" }, 0, true,
            "0 styles changed; 3 styles of 3 selected had none" },
        { { in, o, "--select", "no such style", "--set", "day=#000000" }, 1, false,
            "no style matched" },
        { { in, o, "--select", "road", "--set", "scale=times:9" }, 1, false, "is out of range" },
        { { in, o, "--select", "road", "--set", "scale=lighter:9" }, 2, false, "does not apply" },
        { { in, o, "--select", "road" }, 2, false, "--edit needs" },
        { { in, o, "--set", "day=#000000" }, 2, false, "--edit needs" },
        { { in, "--select", "road", "--set", "day=#000000" }, 2, false, "takes FILE and OUT" },
        { { data + "/missing.kmtf", o, "--select", "road", "--set", "day=#000000" }, 1, false,
            "No such file" },
    };
    for (const Row& r : rows) {
        fs::remove(out);
        std::vector<std::string> args { "--edit" };
        args.insert(args.end(), r.args.begin(), r.args.end());
        const BatchRun run = batch(args);
        const std::string words = run.out + run.err;
        EXPECT_EQ(run.code, r.code) << words;
        EXPECT_EQ(fs::exists(out), r.written) << words;
        EXPECT_NE(words.find(r.said), std::string::npos) << words;
    }
    fs::remove(out);
}

TEST(EditCommand, ReplacesNoFileWithoutForce)
{
    const fs::path file = temp_path("-itself.kmtf");
    const fs::path other = temp_path("-other.kmtf");
    copy_to(car_zumo, file);
    copy_to(car_zumo, other);
    const std::string original = bytes_of(file);
    const std::vector<std::string> change { "--select", "road", "--set", "day=#000000" };
    const auto edit = [&](const fs::path& out, bool force) {
        std::vector<std::string> args { "--edit", file.string(), out.string() };
        args.insert(args.end(), change.begin(), change.end());
        if (force) {
            args.push_back("--force");
        }
        return batch(args);
    };
    // The same file by another spelling is the same file.
    const fs::path spelled = file.parent_path() / "." / file.filename();
    for (const fs::path& out : { file, spelled, other }) {
        const BatchRun refused = edit(out, false);
        EXPECT_EQ(refused.code, 1) << refused.err;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
        EXPECT_EQ(bytes_of(file), original);
        EXPECT_EQ(bytes_of(other), original);
    }
    const BatchRun forced = edit(file, true);
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_NE(bytes_of(file), original);
    fs::remove(file);
    fs::remove(other);
}

// The command saves what the change made in the program and saved as File, Save saves it.
TEST(EditCommand, SavesTheBytesOfTheSameEditMadeInTheProgram)
{
    struct Row
    {
        std::string file;
        std::string selector;
        std::vector<std::string> sets;
    };
    const std::vector<Row> rows = {
        { car_zumo, "road", { "day=lighter:10", "scale=times:1.2", "border-night=#102030" } },
        { car_zumo, "#9EC5F0", { "day=hue:40", "night=saturate:15" } },
        { sport_fitness, "", { "bg-width=plus:2", "fg-width=times:2", "day=darker:5" } },
    };
    const fs::path by_command = temp_path("-command.kmtf");
    const fs::path by_program = temp_path("-program.kmtf");
    for (const Row& r : rows) {
        fs::remove(by_command);
        std::vector<std::string> args { "--edit", r.file, by_command.string(), "--select",
            r.selector };
        std::vector<PropertyChange> changes;
        for (const std::string& set : r.sets) {
            args.insert(args.end(), { "--set", set });
            changes.push_back(*parse_property_change(set).change);
        }
        const BatchRun run = batch(args);
        ASSERT_EQ(run.code, 0) << run.err;

        RecordingPrompter prompter;
        prompter.yes_no_answers.push_back(true);
        Document doc;
        doc.attach(&prompter, nullptr);
        ASSERT_TRUE(open_theme(doc, r.file));
        const StyleBatchEdit edit = edit_styles(doc, filter_rows(doc, r.selector), changes);
        ASSERT_GT(edit.styles, 0) << r.selector;
        EXPECT_NE(
            run.out.find(batch_step_name(edit.styles).substr(5) + " changed"), std::string::npos)
            << run.out;
        edit.edit.apply(doc);
        ASSERT_TRUE(save_code(doc, by_program.string()));
        EXPECT_EQ(bytes_of(by_command), bytes_of(by_program)) << r.selector;
    }
    fs::remove(by_command);
    fs::remove(by_program);
}

} // namespace
