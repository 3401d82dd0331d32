#include "theme_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tintwell::test {
namespace {

// Enough styles for every pass to be told of more than once, over a megabyte so reading the
// file is told of too; one style without a field name, so there are messages to compare.
std::string large_car_zumo()
{
    std::string styles;
    for (int i = 0; i < 12000; ++i) {
        styles += coloured_style("MAP_AREA_" + std::to_string(i), "1E90FF", "000080", "FFFFFF",
            "000000", i % 2 == 0 ? "1" : "");
    }
    styles += "<STYLE field><COLOR></COLOR></STYLE>";
    const std::size_t half = styles.size() / 2;
    const std::size_t split = styles.find("\r\n<STYLE", half);
    return car_zumo_theme(presentation("BROWSE", styles.substr(0, split))
        + presentation("TRAFFIC", styles.substr(split)));
}

std::string large_sport_fitness()
{
    std::string styles;
    for (int i = 0; i < 12000; ++i) {
        styles += "<style field=\"mpm_area_" + std::to_string(i)
            + "\" bg_width=\"2\"><color><primary day=\"#ff1e90ff\" night=\"#ff000080\"/>"
              "<secondary day=\"#80ffffff\"/></color></style>\r\n";
    }
    return sf_theme(styles);
}

struct Snapshot
{
    std::vector<StyleRow> rows;
    std::vector<std::string> pres_names;
    int pres_count;
    ThemeMetadata metadata;
    ThemeKind kind;
    bool theme_open;
    bool modified;
    std::string file_name;

    explicit Snapshot(const Document& d)
        : rows(d.rows)
        , pres_names(d.pres_names)
        , pres_count(d.pres_count)
        , metadata(d.metadata)
        , kind(d.kind)
        , theme_open(d.theme_open)
        , modified(d.modified)
        , file_name(d.file_name)
    {
    }
    bool operator==(const Snapshot&) const = default;
};

std::string write_file(const std::string& name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

enum class StopAt { First, Middle, Last };

struct StopCase
{
    const char* name;
    bool car_zumo;
    StopAt stop;
};

void PrintTo(const StopCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadProgressStop : public ::testing::TestWithParam<StopCase>
{
};

// Reading stopped at any point leaves the theme open before exactly as it was, of the other kind
// so that a kind changed on the way would show, and unsaved.
TEST_P(ReadProgressStop, LeavesTheOpenThemeAsItWas)
{
    const StopCase& c = GetParam();
    // A file of its own: the cases run side by side.
    const std::string path = write_file(std::string("progress_") + c.name + ".kmtf",
        c.car_zumo ? large_car_zumo() : large_sport_fitness());

    // How many times a reading that goes on to the end is told, and what.
    std::vector<double> told;
    std::vector<std::string> said;
    {
        Loaded whole;
        ASSERT_TRUE(open_theme(whole.doc, path, {}, [&](double fraction) {
            told.push_back(fraction);
            return true;
        }));
        said = whole.messages();
    }
    ASSERT_GE(told.size(), 8u);
    EXPECT_GE(told.front(), 0.0);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), 1.0);

    Loaded l;
    const std::string before_path = std::string(TINTWELL_TEST_DATA)
        + (c.car_zumo ? "/core_sport_fitness.kmtf" : "/core_car_zumo.kmtf");
    ASSERT_TRUE(open_theme(l.doc, before_path));
    l.doc.modified = true;
    l.prompter.messages.clear();
    const Snapshot before(l.doc);

    const std::size_t stop_call = c.stop == StopAt::First ? 0
        : c.stop == StopAt::Middle                        ? told.size() / 2
                                                          : told.size() - 1;
    std::size_t calls = 0;
    // The bytes may be looked at before reading stops; a file not taken counts for nothing.
    const bool accepted = open_theme(
        l.doc, path, [](std::string_view, ThemeKind) {}, [&](double) { return calls++ != stop_call; });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(calls, stop_call + 1) << "asked again after being told to stop";
    // What the styles read so far said stays said; stopping adds nothing.
    ASSERT_LE(l.messages().size(), said.size());
    EXPECT_TRUE(std::equal(l.messages().begin(), l.messages().end(), said.begin()));
    if (c.stop == StopAt::First) {
        EXPECT_TRUE(l.messages().empty());
    }
    EXPECT_EQ(l.doc.file_name, before.file_name);
    EXPECT_EQ(l.doc.kind, before.kind);
    EXPECT_TRUE(Snapshot(l.doc) == before);
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Reader, ReadProgressStop,
    ::testing::Values(StopCase { "CarZumoFirst", true, StopAt::First },
        StopCase { "CarZumoMiddle", true, StopAt::Middle },
        StopCase { "CarZumoLast", true, StopAt::Last },
        StopCase { "SportFitnessFirst", false, StopAt::First },
        StopCase { "SportFitnessMiddle", false, StopAt::Middle },
        StopCase { "SportFitnessLast", false, StopAt::Last }),
    [](const auto& info) { return std::string(info.param.name); });

// Being told changes nothing: the same table, names, metadata, messages and bytes as reading
// without a callback.
TEST(ReadProgress, ReadingToTheEndGivesWhatReadingWithoutItGives)
{
    for (const std::string& text : { large_car_zumo(), large_sport_fitness() }) {
        const std::string path = write_file("progress_same.kmtf", text);
        Loaded plain, told;
        std::string plain_bytes, told_bytes;
        ASSERT_TRUE(open_theme(
            plain.doc, path, [&](std::string_view bytes, ThemeKind) { plain_bytes = bytes; }));
        ASSERT_TRUE(open_theme(
            told.doc, path, [&](std::string_view bytes, ThemeKind) { told_bytes = bytes; },
            [](double) { return true; }));
        EXPECT_TRUE(Snapshot(told.doc) == Snapshot(plain.doc));
        EXPECT_EQ(told.messages(), plain.messages());
        EXPECT_EQ(told_bytes, plain_bytes);
        EXPECT_EQ(told_bytes, text);
        std::filesystem::remove(path);
    }
}

} // namespace
} // namespace tintwell::test
