// Reading when memory runs out: every allocation in turn is made to fail, and the document must
// then still hold the theme it held before, whole. The program replaces the global allocation
// functions, so it is a test program of its own.
#include "../failing_allocator.h"
#include "model/reader.h"
#include "theme_fixture.h"

#include <gtest/gtest.h>

using namespace tintwell;
using namespace tintwell::test;

namespace {

struct Snapshot
{
    std::vector<StyleRow> rows;
    std::vector<std::string> pres_names;
    int pres_count;
    ThemeMetadata metadata;
    ThemeKind kind;
    bool modified;
};

Snapshot snapshot(const Document& doc)
{
    return { doc.rows, doc.pres_names, doc.pres_count, doc.metadata, doc.kind, doc.modified };
}

TEST(OutOfMemory, ReadingKeepsTheOpenThemeWhereverMemoryRunsOut)
{
    const std::string before = car_zumo_theme(presentation("BROWSE",
        cz_style("MAP_A", " border=\"1\" ", "<PRIMARY day = \"#112233\"/>\r\n")));
    const std::string car = car_zumo_theme(presentation("GUIDANCE",
                                               cz_style("MAP_WATER", " scale=\"1.5\" ",
                                                   "<PRIMARY day = \"#ABCDEF\"/>\r\n"))
        + presentation("TRAFFIC", cz_style("MAP_ROAD", "", "<PRIMARY day = \"#010203\"/>\r\n")));
    const std::string sport = sf_theme("<style field=\"mpm_road_clr\" bg_width=\"3\"><color>"
                                       "<primary day=\"#ffaabbcc\"/></color></style>");
    for (const std::string* text : { &car, &sport }) {
        bool read = false;
        for (long allowed = 0; !read; ++allowed) {
            Loaded l;
            ASSERT_TRUE(l.load(before));
            l.doc.modified = true;
            const Snapshot kept = snapshot(l.doc);
            allowed_allocations = allowed;
            try {
                read = parse(l.doc, *text);
                allowed_allocations = -1;
            } catch (const std::bad_alloc&) {
                allowed_allocations = -1;
                const Snapshot now = snapshot(l.doc);
                ASSERT_EQ(now.rows, kept.rows) << allowed;
                EXPECT_EQ(now.pres_names, kept.pres_names) << allowed;
                EXPECT_EQ(now.pres_count, kept.pres_count) << allowed;
                EXPECT_EQ(now.metadata, kept.metadata) << allowed;
                EXPECT_EQ(now.kind, kept.kind) << allowed;
                EXPECT_EQ(now.modified, kept.modified) << allowed;
            }
        }
        EXPECT_TRUE(read);
    }
}

TEST(OutOfMemory, LoadingKeepsTheFileName)
{
    const std::string path = std::string(TINTWELL_TEST_DATA) + "/core_car_zumo.kmtf";
    for (long allowed = 0;; ++allowed) {
        Document doc;
        doc.file_name = "open.kmtf";
        allowed_allocations = allowed;
        try {
            const std::string text = loadbinary2(doc, path);
            allowed_allocations = -1;
            EXPECT_EQ(doc.file_name, path);
            break;
        } catch (const std::bad_alloc&) {
            allowed_allocations = -1;
            ASSERT_EQ(doc.file_name, "open.kmtf") << allowed;
        }
    }
}

} // namespace
