// The layers of the program, checked on the sources' #include lines: the core folders reach
// neither Qt nor the windows, the dialogs and editors never reach the main window, and no two
// folders of the windows lean on each other both ways.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Include
{
    std::string file; // relative to the source root
    std::string target; // as written between the quotes or angle brackets
    bool angled = false;
};

// The folder a file or an include path belongs to: "ui/main", "render/qt", "model".
std::string folder_of(const std::string& path)
{
    const auto first = path.find('/');
    if (first == std::string::npos) {
        return {};
    }
    const std::string top = path.substr(0, first);
    const auto second = path.find('/', first + 1);
    const bool nested = second != std::string::npos;
    if (top == "ui" && nested) {
        return path.substr(0, second);
    }
    if (top == "render" && nested && path.substr(first + 1, second - first - 1) == "qt") {
        return "render/qt";
    }
    return top;
}

std::vector<Include> includes_under(const fs::path& root)
{
    std::vector<Include> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        const std::string file = fs::relative(entry.path(), root).generic_string();
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            const auto hash = line.find_first_not_of(" \t");
            if (hash == std::string::npos || line.compare(hash, 1, "#") != 0) {
                continue;
            }
            const auto word = line.find_first_not_of(" \t", hash + 1);
            if (word == std::string::npos || line.compare(word, 7, "include") != 0) {
                continue;
            }
            const auto open = line.find_first_of("\"<", word + 7);
            if (open == std::string::npos) {
                continue;
            }
            const bool angled = line[open] == '<';
            const auto close = line.find(angled ? '>' : '"', open + 1);
            if (close != std::string::npos) {
                found.push_back({ file, line.substr(open + 1, close - open - 1), angled });
            }
        }
    }
    return found;
}

bool is_qt(const Include& inc)
{
    return inc.angled && inc.target.size() > 1 && inc.target[0] == 'Q'
        && (std::isupper(static_cast<unsigned char>(inc.target[1])) != 0
            || inc.target.rfind("Qt", 0) == 0);
}

// Headers of one system or the other; only the platform layer includes them.
bool is_system_header(const Include& inc)
{
    static const std::set<std::string> headers = { "unistd.h", "fcntl.h", "windows.h", "io.h",
        "shellapi.h", "dirent.h", "sys/stat.h", "sys/types.h", "sys/mman.h", "sys/wait.h" };
    return inc.angled && headers.count(inc.target) != 0;
}

// Every include that breaks a layer, one line each.
std::vector<std::string> layer_faults(const std::vector<Include>& includes)
{
    const std::set<std::string> core = { "platform", "model", "colour", "render", "analysis",
        "map" };
    std::vector<std::string> faults;
    std::map<std::string, std::set<std::string>> reaches;
    for (const Include& inc : includes) {
        const std::string from = folder_of(inc.file);
        const std::string to = inc.angled ? std::string() : folder_of(inc.target);
        const std::string where = inc.file + " includes " + inc.target;
        if (core.count(from) != 0 && (is_qt(inc) || to.rfind("ui", 0) == 0 || to == "render/qt")) {
            faults.push_back(where + ": the core links no Qt and knows no window");
        }
        if (from != "platform" && is_system_header(inc)) {
            faults.push_back(where + ": only the platform layer speaks to one system");
        }
        if (from == "platform" && !to.empty() && to != "platform") {
            faults.push_back(where + ": the platform layer stands below everything");
        }
        if ((from == "ui/dialogs" || from == "ui/editor")
            && inc.target == "ui/main/main_window.h") {
            faults.push_back(where + ": dialogs and editors take the open theme, not the window");
        }
        if (!to.empty() && to != from) {
            reaches[from].insert(to);
        }
    }
    for (const auto& [from, targets] : reaches) {
        for (const std::string& to : targets) {
            const auto back = reaches.find(to);
            if (from < to && from.rfind("ui/", 0) == 0 && back != reaches.end()
                && back->second.count(from) != 0) {
                faults.push_back(from + " and " + to + " include each other");
            }
        }
    }
    return faults;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\n";
    }
    return out;
}

// Lines outside the platform layer that ask which system the program is built for.
std::vector<std::string> system_questions_under(const fs::path& root)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string file = fs::relative(entry.path(), root).generic_string();
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")
            || folder_of(file) == "platform") {
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            for (const char* name : { "_WIN32", "__linux__", "__APPLE__", "_MSC_VER" }) {
                if (line.find("#if") != std::string::npos && line.find(name) != std::string::npos) {
                    found.push_back(file + ":" + std::to_string(number) + ": " + line);
                }
            }
        }
    }
    return found;
}

TEST(IncludeLayers, OnlyThePlatformLayerAsksWhichSystemItIs)
{
    const std::vector<std::string> found = system_questions_under(TINTWELL_SOURCE_DIR);
    EXPECT_TRUE(found.empty()) << joined(found);
}

TEST(IncludeLayers, SourcesKeepTheirLayers)
{
    const std::vector<Include> includes = includes_under(TINTWELL_SOURCE_DIR);
    ASSERT_GT(includes.size(), 100u) << "the sources were not found at " << TINTWELL_SOURCE_DIR;
    const std::vector<std::string> faults = layer_faults(includes);
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// The rules themselves: each row is a tree of includes and the faults it must give, so a rule
// that stopped seeing its fault would show here rather than let a real one through.
struct LayerCase
{
    const char* name;
    std::vector<Include> includes;
    std::size_t faults;
};

// Test names and failures show the row's name rather than its bytes.
void PrintTo(const LayerCase& row, std::ostream* out)
{
    *out << row.name;
}

class IncludeLayerRules : public testing::TestWithParam<LayerCase>
{
};

TEST_P(IncludeLayerRules, FindTheirFaults)
{
    EXPECT_EQ(layer_faults(GetParam().includes).size(), GetParam().faults)
        << joined(layer_faults(GetParam().includes));
}

INSTANTIATE_TEST_SUITE_P(Rows, IncludeLayerRules,
    testing::Values(LayerCase { "QtInModel", { { "model/a.cpp", "QString", true } }, 1 },
        LayerCase { "QtModuleHeaderInColour", { { "colour/a.h", "QtCore/QList", true } }, 1 },
        LayerCase { "StandardHeadersAreFine",
            { { "model/a.cpp", "queue", true }, { "render/a.cpp", "model/a.h", false } }, 0 },
        LayerCase { "WindowInRender", { { "render/a.cpp", "ui/common/twips.h", false } }, 1 },
        LayerCase { "QtCanvasInRender", { { "render/a.cpp", "render/qt/qt_canvas.h", false } }, 1 },
        LayerCase { "QtCanvasMayUseQt", { { "render/qt/c.cpp", "QPainter", true } }, 0 },
        LayerCase { "SystemHeaderOutsideThePlatform",
            { { "model/w.cpp", "unistd.h", true }, { "ui/main/s.cpp", "windows.h", true },
                { "platform/posix/f.cpp", "unistd.h", true } },
            2 },
        LayerCase { "PlatformReachingUp", { { "platform/f.cpp", "model/text.h", false } }, 1 },
        LayerCase { "DialogIncludesMainWindow",
            { { "ui/dialogs/d.cpp", "ui/main/main_window.h", false } }, 1 },
        LayerCase { "EditorIncludesMainWindowAndMainTheEditor",
            { { "ui/editor/e.cpp", "ui/main/main_window.h", false },
                { "ui/main/m.cpp", "ui/editor/e.h", false } },
            2 },
        LayerCase { "OneWayIsFine",
            { { "ui/main/m.cpp", "ui/dialogs/d.h", false },
                { "ui/dialogs/d.cpp", "ui/theme/t.h", false } },
            0 },
        LayerCase { "MainAndDialogsBothWays",
            { { "ui/main/m.cpp", "ui/dialogs/d.h", false },
                { "ui/dialogs/d.cpp", "ui/main/settings.h", false } },
            1 }),
    [](const testing::TestParamInfo<LayerCase>& info) { return info.param.name; });

} // namespace
