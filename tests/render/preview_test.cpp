#include "../model/theme_fixture.h"
#include "model/add_element.h"
#include "model/reader.h"
#include "model/writer.h"
#include "render/preview.h"
#include "render/recording_canvas.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>

using namespace tintwell;
using Kind = CanvasOp::Kind;

namespace {

// A filled box as the test expects it: corners in twips and colour.
struct Box
{
    double x1, y1, x2, y2;
    ColourValue colour;
    LineForm form = LineForm::FilledBox;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "(" << b.x1 << "," << b.y1 << ")-(" << b.x2 << "," << b.y2 << ") #" << std::hex
               << b.colour << std::dec << " form " << static_cast<int>(b.form);
}

std::vector<Box> boxes_of(const RecordingCanvas& canvas)
{
    std::vector<Box> found;
    for (const CanvasOp& op : canvas.of_kind(Kind::Line)) {
        found.push_back({ op.x1, op.y1, op.x2, op.y2, op.colour, op.form });
    }
    return found;
}

StyleRow row(std::string name, std::string pri_day, std::string pri_night, std::string sec_day = "",
    std::string sec_night = "", std::string scale = "1", std::string border = "")
{
    StyleRow r = test::colour_row(std::move(scale), std::move(border), std::move(pri_day),
        std::move(pri_night), std::move(sec_day), std::move(sec_night));
    r.set_elem_name(std::move(name));
    return r;
}

// RGB texts and the values they draw with (red in the low byte).
constexpr ColourValue day1 = 0x332211; // "112233"
constexpr ColourValue day2 = 0x998877; // "778899"
constexpr ColourValue night1 = 0x665544; // "445566"
constexpr ColourValue night2 = 0xCCBBAA; // "AABBCC"

struct SampleCase
{
    const char* what;
    ThemeKind kind;
    StyleRow row;
    std::vector<Box> expected;
};

class Sample : public testing::TestWithParam<SampleCase>
{
};

TEST_P(Sample, DrawsExactlyTheseBoxes)
{
    const SampleCase& c = GetParam();
    Document doc;
    doc.kind = c.kind;
    doc.rows = { c.row };
    const PreviewLayout layout = layout_preview(doc, 11712, 9360);
    RecordingCanvas box(64, 60);
    draw_sample(box, doc, 0, layout.rows[0]);
    ASSERT_EQ(box.ops.at(0).kind, Kind::Cls);
    EXPECT_EQ(box.ops.at(0).colour, sample_back_color);
    EXPECT_EQ(boxes_of(box), c.expected) << c.what;
}

StyleRow with_style(StyleRow r, std::string style_text, std::string bg = "", std::string fg = "")
{
    r.set_style_text(std::move(style_text));
    r.set_bg_width(std::move(bg));
    r.set_fg_width(std::move(fg));
    return r;
}

StyleRow with_nwf_borders(StyleRow r, std::string border, std::string nwf_border)
{
    r.set_border(std::move(border));
    r.set_nwf_border(std::move(nwf_border));
    return r;
}

const auto cz = ThemeKind::CarZumo;
const auto sf = ThemeKind::SportFitness;
constexpr LineForm outline = LineForm::Box;

INSTANTIATE_TEST_SUITE_P(Table, Sample,
    testing::Values(SampleCase { "a line without night shows one band at 300", cz,
                        row("ROAD", "112233", "-1"), { { 42, 300, 832, 360, day1 } } },
        SampleCase { "a bordered line: strips in C2 round the body, both bands; the night "
                     "band uses the night pair",
            cz, row("ROAD", "112233", "445566", "778899", "AABBCC", "1", ".5"),
            { { 42, 100, 832, 130, day2 }, { 42, 130, 832, 190, day1 }, { 42, 190, 832, 220, day2 },
                { 42, 450, 832, 480, night2 }, { 42, 480, 832, 540, night1 },
                { 42, 540, 832, 570, night2 } } },
        SampleCase { "without a border the night band still draws its strips as lines; "
                     "an empty secondary night keeps the day C2, which is C1",
            cz, row("ROAD", "112233", "445566", "", "", "1.5"),
            { { 42, 100, 832, 190, day1 }, { 42, 450, 832, 450, day1 },
                { 42, 450, 832, 540, night1 }, { 42, 540, 832, 540, day1 } } },
        SampleCase { "a Car & Zumo polygon shows only the C1 block, and its night swatch", cz,
            row("WATER", "112233", "445566", "778899", "AABBCC"),
            { { 60, 60, 862, 820, day1 }, { 625, 565, 825, 765, night1 } } },
        SampleCase { "a polygon without night has no swatch", cz, row("WATER", "112233", "-1"),
            { { 60, 60, 862, 820, day1 } } },
        SampleCase { "a Sport & Fitness polygon: the C2 half, outlines and the two-part swatch", sf,
            row("WATER", "112233", "445566", "778899", "AABBCC"),
            { { 60, 60, 862, 820, day1 }, { 60, 400, 862, 820, day2 },
                { 60, 400, 862, 820, 0xAAAAAA, outline }, { 60, 60, 862, 820, 0xAAAAAA, outline },
                { 625, 565, 825, 765, night1 }, { 625, 675, 825, 775, night2 },
                { 625, 675, 825, 775, 0x6E6E6E, outline },
                { 625, 565, 825, 775, 0x6E6E6E, outline } } },
        SampleCase { "a rail: three parts, 2S high, night at 420", cz,
            row("RAILRD", "112233", "445566", "778899", "AABBCC", "1"),
            { { 42, 100, 275, 220, day2 }, { 275, 100, 508, 220, day1 },
                { 508, 100, 832, 220, day2 }, { 42, 420, 275, 540, night2 },
                { 275, 420, 508, 540, night1 }, { 508, 420, 832, 540, night2 } } },
        SampleCase { "Sport & Fitness W style, bg_width 80 is cut to 50 pixels and the band "
                     "shrinks evenly into the half box below its top, in whole pixels",
            sf,
            with_style(
                row("ROAD", "112233", "-1", "778899"), "field=\"X\" BG_WIDTH=\"80\"", "80", "10"),
            { { 42, 300, 832, 480, day2 }, { 42, 495, 832, 525, day1 },
                { 42, 540, 832, 720, day2 } } },
        SampleCase { "Sport & Fitness W style, bg_width 0.5 draws with B = 0: body only, "
                     "1.5 x fg_width pixels high, centred in the half box",
            sf,
            with_style(
                row("ROAD", "112233", "-1", "778899"), "field=\"X\" BG_WIDTH=\"0.5\"", "0.5", "10"),
            { { 42, 405, 832, 615, day1 } } },
        SampleCase { "Sport & Fitness W style without bg_width: no strips by day or night; "
                     "a body wider than its half of the box fills it",
            sf,
            with_style(row("ROAD", "112233", "445566", "778899", "AABBCC"),
                "field=\"X\" FG_WIDTH=\"500\"", "", "500"),
            { { 42, 105, 832, 435, day1 }, { 42, 450, 832, 885, night1 } } },
        SampleCase { "Sport & Fitness line without widths: 24 strips and 36 body", sf,
            with_nwf_borders(row("ROAD", "112233", "445566", "778899", "AABBCC"), "ff", "00"),
            { { 42, 100, 832, 160, day2 }, { 42, 160, 832, 232, day1 }, { 42, 232, 832, 268, day2 },
                { 42, 522, 832, 558, night1 } } },
        SampleCase { "a colour that does not convert draws nothing in its place", cz,
            row("ROAD", "NOTHEX", "-1", "778899", "", "1", "1"),
            { { 42, 300, 832, 360, day2 }, { 42, 420, 832, 480, day2 } } },
        SampleCase { "a night colour that does not convert keeps the day one in the night band", cz,
            row("ROAD", "112233", "ZZZZZZ", "778899", "AABBCC", "1", ".5"),
            { { 42, 100, 832, 130, day2 }, { 42, 130, 832, 190, day1 }, { 42, 190, 832, 220, day2 },
                { 42, 450, 832, 480, night2 }, { 42, 480, 832, 540, day1 },
                { 42, 540, 832, 570, night2 } } },
        SampleCase { "widths in a Car & Zumo style text change nothing: scale and border rule", cz,
            with_style(row("ROAD", "112233", "-1", "778899", "", "1", "1"),
                "field=\"X\" BG_WIDTH=\"80\"", "80", "10"),
            { { 42, 300, 832, 360, day2 }, { 42, 360, 832, 420, day1 },
                { 42, 420, 832, 480, day2 } } },
        SampleCase { "a Sport & Fitness rail is 2 × scale × 60 high even in a style with widths",
            sf,
            with_style(row("TRAIL", "112233", "-1", "778899", "", "2"),
                "field=\"X\" BG_WIDTH=\"10\"", "10", "20"),
            { { 42, 300, 275, 540, day2 }, { 275, 300, 508, 540, day1 },
                { 508, 300, 832, 540, day2 } } },
        SampleCase { "Sport & Fitness W style with strips: the night band has the same B and F, "
                     "each band shrunk into its own half of the box",
            sf,
            with_style(row("ROAD", "112233", "445566", "778899", "AABBCC"),
                "field=\"X\" BG_WIDTH=\"10\"", "10", "20"),
            { { 42, 105, 832, 165, day2 }, { 42, 180, 832, 345, day1 }, { 42, 360, 832, 420, day2 },
                { 42, 450, 832, 540, night2 }, { 42, 555, 832, 765, night1 },
                { 42, 780, 832, 870, night2 } } },
        SampleCase { "Sport & Fitness W style, bg_width 1 is kept (only below 1 is 0): strips "
                     "of 1.5 pixels drawn as 2, a body of 15",
            sf,
            with_style(
                row("ROAD", "112233", "-1", "778899"), "field=\"X\" BG_WIDTH=\"1\"", "1", "10"),
            { { 42, 300, 832, 315, day2 }, { 42, 330, 832, 540, day1 },
                { 42, 555, 832, 570, day2 } } },
        SampleCase { "Sport & Fitness line: the night strips follow nwf_border, not border", sf,
            with_nwf_borders(row("ROAD", "112233", "445566", "778899", "AABBCC"), "00", "ff"),
            { { 42, 172, 832, 208, day1 }, { 42, 450, 832, 510, night2 },
                { 42, 510, 832, 582, night1 }, { 42, 582, 832, 618, night2 } } },
        SampleCase { "Sport & Fitness polygon: a secondary night that does not convert leaves "
                     "the day C2 in the lower swatch",
            sf, row("WATER", "112233", "445566", "778899", "ZZZZZZ"),
            { { 60, 60, 862, 820, day1 }, { 60, 400, 862, 820, day2 },
                { 60, 400, 862, 820, 0xAAAAAA, outline }, { 60, 60, 862, 820, 0xAAAAAA, outline },
                { 625, 565, 825, 765, night1 }, { 625, 675, 825, 775, day2 },
                { 625, 675, 825, 775, 0x6E6E6E, outline },
                { 625, 565, 825, 775, 0x6E6E6E, outline } } }),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// A line added to a Car & Zumo theme gets no scale and no border in its text. It shows at the
// default width (scale 1) in its own colours, CECECE by day and FFFF00 by night, both from the
// table the window holds and from its text read back, in every presentation.
TEST(Sample, ANewLineShowsItsOwnColoursAtTheDefaultWidth)
{
    struct Added
    {
        const char* entry;
        SampleKind kind;
        Box day_body;
        Box night_body;
    };
    constexpr ColourValue grey = 0xCECECE;
    constexpr ColourValue yellow = 0x00FFFF;
    const Added added[] = {
        { "DPTH_CNTR_MJR", SampleKind::Line, { 42, 100, 832, 160, grey },
            { 42, 450, 832, 510, yellow } },
        { "ROAD_RAILRD", SampleKind::Rail, { 275, 100, 508, 220, grey },
            { 275, 420, 508, 540, yellow } },
        { "ROAD_TRAIL", SampleKind::Rail, { 275, 100, 508, 220, grey },
            { 275, 420, 508, 540, yellow } },
    };
    for (std::size_t pres = 0; pres < pres_catalogue.size(); ++pres) {
        for (const Added& a : added) {
            Document doc;
            doc.kind = ThemeKind::CarZumo;
            doc.metadata.title = "NEW";
            add_element(doc,
                { std::string(a.entry) + "\r\n", "", std::to_string(pres) + pres_catalogue[pres] });
            ASSERT_EQ(doc.row_count(), 1);
            Document read;
            ASSERT_TRUE(parse(read, car_zumo_text(doc)));
            ASSERT_EQ(read.row_count(), 1);
            for (const Document* d : { &doc, &read }) {
                const std::string what = std::string(a.entry) + " in " + pres_catalogue[pres]
                    + (d == &doc ? " as added" : " as read back");
                const PreviewLayout layout = layout_preview(*d, 11712, 9360);
                ASSERT_EQ(layout.rows[0].kind, a.kind) << what;
                RecordingCanvas box(64, 60);
                draw_sample(box, *d, 0, layout.rows[0]);
                const std::vector<Box> drawn = boxes_of(box);
                // Each body is the last box drawn over its middle.
                for (const Box& body : { a.day_body, a.night_body }) {
                    const double mid = (body.y1 + body.y2) / 2;
                    const auto last = std::find_if(drawn.rbegin(), drawn.rend(), [&](const Box& b) {
                        return b.y1 <= mid && mid <= b.y2 && b.x1 <= body.x1 && body.x2 <= b.x2;
                    });
                    ASSERT_NE(last, drawn.rend()) << what;
                    EXPECT_EQ(*last, body) << what;
                }
            }
        }
    }
}

TEST(Sample, ArrowWithoutNightDrawsOnlyTheLargeArrow)
{
    Document doc;
    doc.rows = { with_style(row("ROUTE ARRW", "112233", "445566", "778899", "AABBCC"),
        "FIELD = \"MPM_ROUTE_ARRW_CLR\"><COLOR><PRIMARY DAY = \"#112233\"/>") };
    PreviewLayout layout = layout_preview(doc, 11712, 9360);
    ASSERT_EQ(layout.rows[0].kind, SampleKind::Arrow);
    RecordingCanvas box(64, 60);
    draw_sample(box, doc, 0, layout.rows[0]);
    const auto polygons = box.of_kind(Kind::Polygon);
    ASSERT_EQ(polygons.size(), 1U);
    EXPECT_EQ(polygons[0].state.fill_color, day1);
    EXPECT_EQ(polygons[0].points.front(), (CanvasPoint { 32, 5 }));
    EXPECT_EQ(box.of_kind(Kind::Line).front().colour, day2);
    EXPECT_EQ(box.state.scale_mode, ScaleMode::Pixels);

    doc.rows[0].set_style_text(
        std::string(doc.rows[0].style_text()) + "<PRIMARY night=\"#445566\"/>");
    layout = layout_preview(doc, 11712, 9360);
    RecordingCanvas night_box(64, 60);
    draw_sample(night_box, doc, 0, layout.rows[0]);
    const auto both = night_box.of_kind(Kind::Polygon);
    ASSERT_EQ(both.size(), 2U);
    EXPECT_EQ(both[1].state.fill_color, night1);
    EXPECT_EQ(both[1].points.front(), (CanvasPoint { 45, 29 }));
    EXPECT_EQ(night_box.of_kind(Kind::Line).back().colour, night2);
    EXPECT_EQ(night_box.of_kind(Kind::Line).back().state.draw_width, 2);
}

TEST(Sample, NightArrowKeepsTheDayColoursWhereTheNightOnesAreMissing)
{
    Document doc;
    doc.rows = { with_style(row("ROUTE ARRW", "112233", "-1", "778899", ""),
        "FIELD = \"MPM_ROUTE_ARRW_CLR\"><COLOR><PRIMARY DAY = \"#112233\" NIGHT = \"-1\"/>") };
    const PreviewLayout layout = layout_preview(doc, 11712, 9360);
    RecordingCanvas box(64, 60);
    draw_sample(box, doc, 0, layout.rows[0]);
    const auto polygons = box.of_kind(Kind::Polygon);
    ASSERT_EQ(polygons.size(), 2U);
    EXPECT_EQ(polygons[1].state.fill_color, day1);
    const auto lines = box.of_kind(Kind::Line);
    ASSERT_EQ(lines.size(), 14U);
    EXPECT_EQ(lines.back().colour, day2);
    EXPECT_EQ(lines.back().state.draw_width, 2);
}

struct KindCase
{
    ThemeKind theme;
    const char* name;
    SampleKind expected;
};

TEST(Layout, ClassifiesEachRowByTheFirstKindThatHolds)
{
    Document doc;
    const std::vector<KindCase> cases = {
        { cz, "WATER", SampleKind::Polygon },
        { cz, " MISC WATER AREA ", SampleKind::Polygon }, // blanks round the name do not count
        { cz, "water", SampleKind::Line }, // polygon names are matched case-sensitively
        { cz, "ATER", SampleKind::Line }, // only whole names are polygons
        { cz, "ROUTE ARRW", SampleKind::Arrow },
        { cz, "RAILRD ARRW", SampleKind::Arrow }, // an arrow before a rail
        { cz, "ROAD_RAILRD", SampleKind::Rail },
        { cz, "ROAD_TRAIL", SampleKind::Rail },
        { cz, "ROAD_HWY_MNR", SampleKind::Line },
        { sf, "WATER", SampleKind::Polygon },
        { sf, "TRAIL", SampleKind::Rail },
    };
    for (const KindCase& c : cases) {
        doc.kind = c.theme;
        doc.rows = { row(c.name, "112233", "-1") };
        const PreviewLayout layout = layout_preview(doc, 11712, 9360);
        EXPECT_EQ(layout.rows.at(0).kind, c.expected) << "\"" << c.name << "\"";
        EXPECT_EQ(doc.rows[0].elem_name(), c.name) << "the table keeps the name as it is";
    }
}

// Rows of the given presentations, one row per name.
Document theme_of(ThemeKind kind, const std::vector<std::string>& presentations)
{
    Document doc;
    doc.kind = kind;
    for (const std::string& pres : presentations) {
        StyleRow r = row("ROAD", "112233", "-1");
        r.set_pres_name(pres);
        doc.rows.push_back(r);
    }
    return doc;
}

TEST(Layout, TenSamplesALineAtDesignWidth)
{
    const Document doc = theme_of(ThemeKind::CarZumo, std::vector<std::string>(11, "GUIDANCE"));
    const PreviewLayout layout = layout_preview(doc, 11712, 9360);
    EXPECT_EQ(layout.lead, 42);
    EXPECT_EQ(layout.rows[0].box, (TwipRect { 242, 42, 960, 900 }));
    EXPECT_EQ(layout.rows[0].caption, (TwipRect { 242, 942, 972, 600 }));
    EXPECT_EQ(layout.rows[9].box.left, 242 + 9 * 1072);
    EXPECT_EQ(layout.rows[10].box, (TwipRect { 242, 42 + 1600, 960, 900 }));
    EXPECT_TRUE(layout.rules.empty());
}

TEST(Layout, PresentationBreaksOnlyInCarZumoThemes)
{
    const std::vector<std::string> names = { "GUIDANCE", "GUIDANCE", " BROWSE", "BROWSE " };
    const PreviewLayout cz_layout =
        layout_preview(theme_of(ThemeKind::CarZumo, names), 11712, 9360);
    EXPECT_EQ(cz_layout.rows[2].box, (TwipRect { 242, 42 + 1700, 960, 900 }));
    EXPECT_EQ(cz_layout.rows[3].box.left, 242 + 1072) << "blanks round the name do not break";
    EXPECT_EQ(cz_layout.rules, std::vector<std::int64_t> { 42 + 1700 - 150 });

    const PreviewLayout sf_layout =
        layout_preview(theme_of(ThemeKind::SportFitness, names), 11712, 9360);
    EXPECT_TRUE(sf_layout.rules.empty());
    EXPECT_EQ(sf_layout.rows[3].box, (TwipRect { 242 + 3 * 1072, 42, 960, 900 }));
}

TEST(Layout, ANarrowContainerPutsOneSampleOnEachLineWithoutEmptyLines)
{
    const PreviewLayout layout =
        layout_preview(theme_of(ThemeKind::CarZumo, { "A", "A", "A" }), 900, 9360);
    EXPECT_EQ(layout.rows[0].box.top, 42);
    EXPECT_EQ(layout.rows[1].box.top, 42 + 1600);
    EXPECT_EQ(layout.rows[2].box.top, 42 + 3200);
}

TEST(Layout, WrapsOnlyWhenTheNextBoxWouldPassTheRightEdge)
{
    // Two boxes end at 242 + 1072 + 960 = 2274 twips: exactly that width holds both.
    const Document doc = theme_of(ThemeKind::CarZumo, { "A", "A", "A" });
    const PreviewLayout exact = layout_preview(doc, 2274, 9360);
    EXPECT_EQ(exact.rows[1].box, (TwipRect { 1314, 42, 960, 900 }));
    EXPECT_EQ(exact.rows[2].box, (TwipRect { 242, 1642, 960, 900 }));
    const PreviewLayout narrower = layout_preview(doc, 2273, 9360);
    EXPECT_EQ(narrower.rows[1].box, (TwipRect { 242, 1642, 960, 900 }));
}

TEST(Layout, AFullLineBeforeANewPresentationWrapsAndBreaks)
{
    std::vector<std::string> names(10, "GUIDANCE");
    names.push_back("BROWSE");
    const PreviewLayout layout = layout_preview(theme_of(ThemeKind::CarZumo, names), 11712, 1000);
    // The wrap moves down one line (1600), the break another 1700 under its rule.
    EXPECT_EQ(layout.rows[10].box, (TwipRect { 242, 42 + 1600 + 1700, 960, 900 }));
    EXPECT_EQ(layout.rules, std::vector<std::int64_t> { 42 + 1600 + 1700 - 150 });
    EXPECT_EQ(layout.container_height, 1500 + 42 + 1600 + 1700);
}

TEST(Layout, HitTestsByBoxAndCaption)
{
    const PreviewLayout layout = layout_preview(
        theme_of(ThemeKind::CarZumo, std::vector<std::string>(25, "A")), 11712, 9360);
    struct Probe
    {
        std::int64_t x, y;
        int box, caption;
    };
    for (const Probe& p : { Probe { 242, 42, 0, -1 }, Probe { 1201, 941, 0, -1 },
             Probe { 1202, 500, -1, -1 }, Probe { 242, 942, -1, 0 }, Probe { 1213, 1541, -1, 0 },
             Probe { 1314 + 10, 1642 + 10, 11, -1 }, Probe { 241, 42, -1, -1 },
             Probe { 242 + 4 * 1072, 2 * 1600 + 42 + 900, -1, 24 } }) {
        EXPECT_EQ(layout.hit_test(p.x, p.y), p.box) << p.x << "," << p.y;
        EXPECT_EQ(layout.hit_test_caption(p.x, p.y), p.caption) << p.x << "," << p.y;
    }
    EXPECT_EQ(layout.rows_between(0, 43), (std::pair { 0, 10 }));
    EXPECT_EQ(layout.rows_between(1642, 1643), (std::pair { 10, 20 }));
    EXPECT_EQ(layout.rows_between(1500, 1700), (std::pair { 0, 20 }));
    EXPECT_EQ(layout.rows_between(1600, 1700), (std::pair { 10, 20 }));
    EXPECT_EQ(layout.rows_between(100000, 200000), (std::pair { 25, 25 }));
}

TEST(Plot, ScrollRangeFrameAndCounts)
{
    Document doc = theme_of(ThemeKind::CarZumo, std::vector<std::string>(100, "GUIDANCE"));
    doc.rows[5].set_elem_name("WATER");
    doc.cur_row = 12;
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.scroll.value = 77;
    preview.shape4.visible = true;
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);

    EXPECT_EQ(preview.drawn_count(), 100);
    ASSERT_EQ(preview.poly_rows().size(), 100U);
    EXPECT_EQ(preview.poly_rows()[5], 1);
    EXPECT_EQ(preview.poly_rows()[4], 0);
    EXPECT_FALSE(preview.arrow_style);
    // Ten lines: T = 42 + 9 × 1600, H = 1500 + T.
    EXPECT_EQ(preview.layout().container_height, 15942);
    EXPECT_EQ(preview.scroll, (ScrollRange { 15942 - 9360, 1594, 797, 0 }));
    EXPECT_EQ(preview.shape4.rect, (TwipRect { 242 + 2 * 1072 - 20, 1642 - 20, 1000, 1540 }));
    EXPECT_TRUE(preview.shape4.visible);
}

TEST(Plot, AShortThemeFillsTheFrameAndKeepsAScrollRange)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A" });
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    EXPECT_EQ(preview.layout().container_height, 9360);
    EXPECT_EQ(preview.scroll, (ScrollRange { 1, 936, 468, 0 }));
}

TEST(Plot, ScrollStepsRoundHalvesToEven)
{
    // One row: H is the visible height, so the range is the smallest one.
    struct Case
    {
        std::int64_t visible;
        std::int64_t large, small;
    };
    for (const Case& c : { Case { 9365, 936, 468 }, Case { 9370, 937, 468 },
             Case { 9390, 939, 470 }, Case { 9350, 935, 468 } }) {
        Document doc = theme_of(ThemeKind::CarZumo, { "A" });
        Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
        preview.plot(doc, PlotMode::Fresh, 11712, c.visible);
        EXPECT_EQ(preview.scroll, (ScrollRange { 1, c.large, c.small, 0 })) << c.visible;
    }
}

TEST(Plot, AHiddenFrameStaysWhereItWasAndAnArrowSetsArrowStyleForGood)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A", "A" });
    doc.rows[1].set_elem_name("ROUTE ARRW");
    doc.cur_row = 1;
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.shape4.rect = TwipRect { 1, 2, 3, 4 };
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    EXPECT_EQ(preview.shape4.rect, (TwipRect { 1, 2, 3, 4 }));
    EXPECT_FALSE(preview.shape4.visible);
    EXPECT_TRUE(preview.arrow_style);

    doc.rows[1].set_elem_name("ROAD");
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    EXPECT_TRUE(preview.arrow_style) << "the preview never clears it";
}

TEST(Plot, KeepingTheSamplesRedrawsNoneFreshDropsThemAndEveryModeScrollsToTheTop)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A", "A", "A" });
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    RecordingCanvas screen(781, 624);
    const TwipRect all { 0, 0, 11712, 9360 };
    struct Step
    {
        PlotMode mode;
        std::size_t drawn_after_paint;
    };
    const auto fresh = PlotMode::Fresh;
    const auto keep = PlotMode::KeepSamples;
    for (const Step& step : { Step { fresh, 3 }, Step { keep, 3 }, Step { fresh, 6 },
             Step { keep, 6 }, Step { fresh, 9 } }) {
        preview.scroll.value = 40;
        preview.plot(doc, step.mode, 11712, 9360);
        EXPECT_EQ(preview.scroll.value, 0) << "step drawn " << step.drawn_after_paint;
        EXPECT_EQ(preview.drawn_count(), 3) << "step drawn " << step.drawn_after_paint;
        paint_preview(screen, doc, preview, all);
        EXPECT_EQ(preview.cache().samples_drawn(), step.drawn_after_paint)
            << "step drawn " << step.drawn_after_paint;
    }
}

TEST(Plot, NoRowsLeavesScrollAndFrameAlone)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A", "A" });
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.shape4.visible = true;
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    const ScrollRange scroll = preview.scroll;
    const TwipRect frame = preview.shape4.rect;
    preview.scroll.value = 5;
    doc.rows.clear();
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    EXPECT_EQ(preview.drawn_count(), 0);
    EXPECT_TRUE(preview.layout().rows.empty());
    EXPECT_EQ(preview.layout().container_height, 300000);
    EXPECT_EQ(preview.scroll.max, scroll.max);
    EXPECT_EQ(preview.scroll.value, 5);
    EXPECT_EQ(preview.shape4.rect, frame);
}

TEST(Plot, DrawingLeavesTheTableAsItIs)
{
    Document doc = theme_of(ThemeKind::SportFitness, { "S" });
    doc.rows[0].set_pri_day("ff112233");
    doc.rows[0].set_sec_day("80778899");
    const Document before = doc;
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    RecordingCanvas screen(781, 624);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 9360 });
    EXPECT_EQ(doc.rows, before.rows) << "the day colours are shortened where rows are read";
}

TEST(Paint, DrawsOnlyVisibleSamplesAndKeepsThemWhileTheRowIsUnchanged)
{
    std::vector<std::string> names(1000, "GUIDANCE");
    std::fill(names.begin() + 495, names.end(), "BROWSE");
    Document doc = theme_of(ThemeKind::CarZumo, names);
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    // From just above the rule: the captions of rows 490..494 and the boxes of rows 495..504.
    const std::int64_t rule = preview.layout().rules.at(0);
    ASSERT_EQ(preview.layout().rules.size(), 1U);
    const TwipRect visible { 0, rule - 100, 11712, 1000 };
    RecordingCanvas screen(781, 67);
    paint_preview(screen, doc, preview, visible);

    const auto pictures = screen.of_kind(Kind::PaintPicture);
    ASSERT_EQ(pictures.size(), 10U);
    EXPECT_EQ(pictures[0].x1, 242);
    EXPECT_EQ(pictures[0].y1, preview.layout().rows[495].box.top - visible.top);
    const auto lines = screen.of_kind(Kind::Line);
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0].colour, presentation_rule_color);
    EXPECT_EQ(lines[0].y1, 100);
    EXPECT_EQ(lines[0].x2, 11712);
    EXPECT_EQ(screen.of_kind(Kind::Print).size(), 5U);
    EXPECT_EQ(preview.cache().samples_drawn(), 10U);

    paint_preview(screen, doc, preview, visible);
    EXPECT_EQ(preview.cache().samples_drawn(), 10U) << "kept while the rows are unchanged";

    doc.rows[501].set_pri_day("445566");
    doc.rows[800].set_pri_day("445566");
    preview.plot(doc, PlotMode::KeepSamples, 11712, 9360);
    paint_preview(screen, doc, preview, visible);
    EXPECT_EQ(preview.cache().samples_drawn(), 11U) << "only the changed row is drawn again";
}

TEST(Paint, KeepsAsManySamplesAsHoldTheSamePixelsAtEveryScale)
{
    // A sample drawn at scale s holds s² times the pixels of one at design size.
    const Document doc = theme_of(ThemeKind::CarZumo, std::vector<std::string>(5000, "A"));
    const PreviewLayout layout = layout_preview(doc, 11712, 9360);
    struct Case
    {
        double scale;
        std::size_t kept;
    };
    for (const Case& c :
        { Case { 1, 1024 }, Case { 2, 256 }, Case { 8, 32 }, Case { 0.5, 4096 } }) {
        SampleCache cache([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
        std::size_t most = 0;
        for (int r = 0; r < doc.row_count(); ++r) {
            ASSERT_TRUE(cache.sample(doc, layout, r, c.scale));
            most = std::max(most, cache.size());
        }
        EXPECT_EQ(most, c.kept) << "scale " << c.scale;
    }
}

TEST(Paint, TheFrameIsDrawnLastAroundTheSelectedSampleOnlyWhileShown)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A", "A" });
    doc.cur_row = 1;
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.shape4.visible = true;
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    const TwipRect visible { 0, 15, 11712, 9360 };
    RecordingCanvas screen(781, 624);
    paint_preview(screen, doc, preview, visible);
    ASSERT_FALSE(screen.ops.empty());
    const CanvasOp& last = screen.ops.back();
    EXPECT_EQ(last.kind, Kind::Line);
    EXPECT_EQ(last.form, LineForm::Box);
    EXPECT_EQ(last.colour, frame_color);
    // Around box 1 (left 1314, top 42); the far edges on the frame's last pixel inside.
    EXPECT_EQ((Box { last.x1, last.y1, last.x2, last.y2, last.colour, last.form }),
        (Box { 1294, 22 - 15, 1294 + 1000 - 15, 22 + 1540 - 15 - 15, frame_color, LineForm::Box }));

    preview.shape4.visible = false;
    RecordingCanvas hidden(781, 624);
    paint_preview(hidden, doc, preview, visible);
    EXPECT_TRUE(hidden.of_kind(Kind::Line).empty());
}

TEST(Paint, LongCaptionsWrapWithinTheCaptionWidth)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A" });
    // The recording canvas measures 6 pixels (90 twips) a character: 10 fit in 972 twips.
    doc.rows[0].set_elem_name("ROAD MAJOR HIGHWAYLONGERTHANALINE");
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    RecordingCanvas screen(781, 624);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 9360 });
    std::vector<std::string> texts;
    for (const CanvasOp& op : screen.of_kind(Kind::Print)) {
        texts.push_back(op.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string> { "ROAD MAJOR", "HIGHWAYLON", "GERTHANALI" }))
        << "three lines of 12 pixels fill the 40-pixel caption; the rest is cut";
}

} // namespace

namespace {

Document presentations_of(const std::vector<int>& catalogue_indexes)
{
    Document doc;
    for (const int index : catalogue_indexes) {
        StyleRow r = row("ROAD", "112233", "-1");
        r.pres_code = static_cast<std::int16_t>(index * 10);
        r.set_pres_name(pres_catalogue[static_cast<std::size_t>(index)]);
        doc.rows.push_back(r);
    }
    return doc;
}

TEST(Layout, ShownRowsAreLaidOutInTheirOrderAndFoundByTheirRowIndex)
{
    // GUIDANCE GUIDANCE BROWSE BROWSE GUIDANCE TRAFFIC; rows 0 and 2 hidden, repeats and rows
    // outside the table skipped.
    const Document doc = presentations_of({ 0, 0, 1, 1, 0, 2 });
    const std::vector<int> shown = { 1, 3, 9, 3, -1, 4, 5 };
    const PreviewLayout layout = layout_preview(doc, 11712, 9360, 1, &shown);
    EXPECT_EQ(layout.order, (std::vector<int> { 1, 3, 4, 5 }));
    EXPECT_EQ(layout.rows[1].box, (TwipRect { 242, 42, 960, 900 }));
    EXPECT_EQ(layout.rows[3].box, (TwipRect { 242, 42 + 1700, 960, 900 }));
    EXPECT_EQ(layout.rows[5].box.top, 42 + 3 * 1700);
    EXPECT_EQ(layout.rules, (std::vector<std::int64_t> { 1592, 3292, 4992 }));
    EXPECT_EQ(layout.rule_rows, (std::vector<int> { 3, 4, 5 }));
    EXPECT_EQ(layout.rows[0].box, TwipRect {});
    EXPECT_FALSE(layout.frame_around(0));
    EXPECT_EQ(layout.frame_around(3), (TwipRect { 222, 1722, 1000, 1540 }));
    EXPECT_EQ(layout.hit_test(250, 50), 1);
    EXPECT_EQ(layout.hit_test(250, 1750), 3);
    EXPECT_EQ(layout.hit_test_caption(250, 1750 + 900), 3);
    EXPECT_EQ(layout.rows_between(0, 1700), (std::pair { 0, 1 }));
    EXPECT_EQ(layout.container_height, 9360);

    EXPECT_EQ(layout.first_row_of(doc, "GUIDANCE"), 1);
    EXPECT_EQ(layout.presentation_top(doc, "GUIDANCE"), 42) << "no rule above the first block";
    EXPECT_EQ(layout.presentation_top(doc, " BROWSE"), 1742 - 200);
    EXPECT_EQ(layout.presentation_top(doc, "TRAFFIC"), 42 + 3 * 1700 - 200);
    EXPECT_FALSE(layout.presentation_top(doc, "PEDESTRIAN"));
}

TEST(Layout, NeighboursAcrossLinesAndColumns)
{
    // Ten samples a line: rows 0-9, 10-19, and 20-24 on a short last line; row 15 hidden.
    std::vector<int> shown;
    for (int r = 0; r < 26; ++r) {
        if (r != 15) {
            shown.push_back(r);
        }
    }
    const PreviewLayout layout = layout_preview(
        theme_of(ThemeKind::CarZumo, std::vector<std::string>(26, "A")), 11712, 9360, 1, &shown);
    struct Step
    {
        int from;
        Neighbour to;
        int expected;
    };
    for (const Step& s : { Step { 9, Neighbour::Right, 10 }, Step { 10, Neighbour::Left, 9 },
             Step { 0, Neighbour::Left, -1 }, Step { 25, Neighbour::Right, -1 },
             Step { 14, Neighbour::Right, 16 }, Step { 3, Neighbour::Down, 13 },
             Step { 5, Neighbour::Down, 16 }, Step { 18, Neighbour::Down, 25 },
             Step { 12, Neighbour::Up, 2 }, Step { 5, Neighbour::Up, -1 },
             Step { 22, Neighbour::Down, -1 }, Step { 15, Neighbour::Right, -1 } }) {
        EXPECT_EQ(layout.neighbour(s.from, s.to), s.expected)
            << s.from << " direction " << static_cast<int>(s.to);
    }
}

TEST(Layout, ZoomScalesEverySizeAndPlaceAndIsLimited)
{
    const Document doc = theme_of(ThemeKind::CarZumo, std::vector<std::string>(11, "A"));
    const PreviewLayout layout = layout_preview(doc, 11712, 9360, 2);
    EXPECT_EQ(layout.rows[0].box, (TwipRect { 484, 84, 1920, 1800 }));
    EXPECT_EQ(layout.rows[0].caption, (TwipRect { 484, 84 + 1800, 1944, 1200 }));
    EXPECT_EQ(layout.rows[4].box.left, 2 * (242 + 4 * 1072));
    EXPECT_EQ(layout.rows[5].box, (TwipRect { 484, 2 * (42 + 1600), 1920, 1800 }))
        << "five samples of twice the size fit on a line";
    EXPECT_EQ(layout.container_height, 2 * (1500 + 42 + 2 * 1600));
    EXPECT_EQ(layout.frame_around(0), (TwipRect { 444, 44, 2000, 3080 }));
    EXPECT_EQ(layout.hit_test(484 + 1919, 84 + 1799), 0);

    for (const auto& [asked, used] : std::vector<std::pair<double, double>> {
             { 0.1, 0.5 }, { 10, 4 }, { std::nan(""), 1 }, { 1.25, 1.25 } }) {
        EXPECT_EQ(layout_preview(doc, 11712, 9360, asked).zoom, used) << asked;
    }
}

TEST(Plot, RelayoutKeepsTheSamplesAndTheScrollPositionAndFollowsTheSelection)
{
    Document doc = theme_of(ThemeKind::CarZumo, std::vector<std::string>(100, "A"));
    doc.cur_row = 12;
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.shape4.visible = true;
    preview.plot(doc, PlotMode::Fresh, 11712, 5000);
    RecordingCanvas screen(781, 624);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 5000 });
    const std::size_t drawn = preview.cache().samples_drawn();
    preview.scroll.value = 6000;

    std::vector<int> first_half(50);
    std::iota(first_half.begin(), first_half.end(), 0);
    preview.show_only(first_half);
    preview.relayout(doc, 11712, 5000);
    EXPECT_EQ(preview.layout().container_height, 1500 + 42 + 4 * 1600);
    EXPECT_EQ(preview.scroll, (ScrollRange { 7942 - 5000, 794, 397, 7942 - 5000 }))
        << "the value stays in range";
    EXPECT_EQ(preview.shape4.rect, preview.layout().frame_around(12));
    EXPECT_TRUE(preview.shape4.visible);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 5000 });
    EXPECT_EQ(preview.cache().samples_drawn(), drawn) << "no sample is drawn again";

    preview.show_only({ 1, 2 });
    preview.relayout(doc, 11712, 5000);
    EXPECT_FALSE(preview.shape4.visible) << "the selected row is filtered out";
    preview.show_all();
    preview.set_zoom(2);
    preview.plot(doc, PlotMode::KeepSamples, 11712, 5000);
    EXPECT_EQ(preview.layout().order.size(), 100U);
    EXPECT_EQ(preview.layout().rows[0].box.width, 1920);
}

TEST(Paint, ZoomAndScreenDensityDrawSamplesAndCaptionsAtFullResolution)
{
    Document doc = theme_of(ThemeKind::CarZumo, { "A" });
    doc.rows[0].set_elem_name("ROAD");
    std::vector<std::pair<int, int>> made;
    Preview preview([&](int w, int h) {
        made.emplace_back(w, h);
        return std::make_unique<RecordingCanvas>(w, h);
    });
    preview.set_zoom(1.5);
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    RecordingCanvas screen(1562, 1248);
    screen.set_scale(2);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 9360 });
    ASSERT_EQ(made, (std::vector<std::pair<int, int>> { { 192, 180 } }));
    const auto pictures = screen.of_kind(Kind::PaintPicture);
    ASSERT_EQ(pictures.size(), 1U);
    EXPECT_EQ(pictures[0].source->scale(), 3);
    EXPECT_EQ(pictures[0].source->width_twips(), 960) << "drawn in its own design units";
    const auto prints = screen.of_kind(Kind::Print);
    ASSERT_EQ(prints.size(), 1U);
    EXPECT_DOUBLE_EQ(prints[0].state.font.size, 7.8 * 1.5);
    EXPECT_EQ(prints[0].y1, 1.5 * (42 + 900));
}

TEST(Paint, HeadingsStandOnTheRulesWhenTurnedOn)
{
    const Document doc = presentations_of({ 0, 1 });
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.headings = true;
    preview.plot(doc, PlotMode::Fresh, 11712, 9360);
    RecordingCanvas screen(781, 624);
    paint_preview(screen, doc, preview, TwipRect { 0, 0, 11712, 9360 });
    const std::vector<std::int64_t>& rules = preview.layout().rules;
    ASSERT_EQ(rules.size(), 2U) << "the first presentation has its rule too";
    std::vector<std::string> headings;
    for (const CanvasOp& op : screen.of_kind(Kind::Print)) {
        if (op.state.font.bold) {
            const std::int64_t rule = rules.at(headings.size());
            headings.push_back(op.text);
            EXPECT_EQ(op.colour, presentation_rule_color);
            EXPECT_EQ(op.x1, 242);
            EXPECT_EQ(op.y1, static_cast<double>(rule) - 90) << "centred on the rule";
            EXPECT_GE(op.y1, 0) << "inside the container";
        }
    }
    EXPECT_EQ(headings, (std::vector<std::string> { "GUIDANCE", "BROWSE" }));
    const auto lines = screen.of_kind(Kind::Line);
    ASSERT_GE(lines.size(), 4U);
    for (std::size_t i = 0; i < 2; ++i) {
        const CanvasOp& gap = lines[2 + i];
        const double rule = static_cast<double>(rules[i]);
        const double width = static_cast<double>(headings[i].size()) * 90;
        EXPECT_EQ((Box { gap.x1, gap.y1, gap.x2, gap.y2, gap.colour }),
            (Box { 182, rule - 15, 242 + width + 60, rule, container_back_color }))
            << "the rule is broken behind " << headings[i];
    }
}

// With headings, every presentation starts under its rule, the first one shown too, whether the
// view shows every row or only some; without them the first line stays at the top.
TEST(Layout, WithHeadingsEveryPresentationShownStartsUnderARule)
{
    const Document doc = presentations_of({ 0, 0, 1, 2 });
    const std::vector<int> from_browse { 2, 3 };
    struct Case
    {
        const char* what;
        const std::vector<int>* shown;
        bool headings;
        std::vector<int> rule_rows;
    };
    for (const Case& c : { Case { "all rows", nullptr, true, { 0, 2, 3 } },
             Case { "filtered from BROWSE on", &from_browse, true, { 2, 3 } },
             Case { "no headings", nullptr, false, { 2, 3 } } }) {
        for (const double zoom : { 0.5, 1.0, 2.0 }) {
            const PreviewLayout layout =
                layout_preview(doc, 11712, 9360, zoom, c.shown, c.headings);
            EXPECT_EQ(layout.rule_rows, c.rule_rows) << c.what << " at " << zoom;
            ASSERT_EQ(layout.rules.size(), layout.rule_rows.size()) << c.what;
            const int first = layout.order.at(0);
            const std::int64_t first_top = layout.rows[static_cast<std::size_t>(first)].box.top;
            if (c.headings) {
                EXPECT_EQ(layout.rules[0], first_top - layout.zoomed(150)) << c.what << zoom;
                EXPECT_GE(layout.rules[0] - layout.zoomed(90), 0) << c.what << " at " << zoom;
            } else {
                EXPECT_EQ(first_top, layout.zoomed(42)) << c.what;
            }
        }
    }
}

TEST(Paint, AWordWiderThanItsCaptionIsShrunkOntoALineOfItsOwn)
{
    // The recording canvas measures 90 twips a character at 7.8 points: ten fit in 972 twips.
    struct Case
    {
        const char* caption;
        std::vector<std::pair<std::string, double>> lines;
    };
    const double shrunk = 7.8 * 972 / (16 * 90);
    for (const Case& c : {
             Case { "ROAD MAJOR HIGHWAY", { { "ROAD MAJOR", 7.8 }, { "HIGHWAY", 7.8 } } },
             Case { "ROAD_RESIDENTIAL", { { "ROAD_RESIDENTIAL", shrunk } } },
             Case { "A ROAD_RESIDENTIAL B",
                 { { "A", 7.8 }, { "ROAD_RESIDENTIAL", shrunk }, { "B", 7.8 } } },
             Case { "HIGHWAYLONGERTHANALINE",
                 { { "HIGHWAYLON", 7.8 }, { "GERTHANALI", 7.8 }, { "NE", 7.8 } } },
         }) {
        RecordingCanvas measure(781, 624);
        const auto lines = wrap_caption(measure, c.caption, 972, caption_font());
        ASSERT_EQ(lines.size(), c.lines.size()) << c.caption;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].text, c.lines[i].first) << c.caption;
            EXPECT_NEAR(lines[i].size, c.lines[i].second, 0.4) << c.caption;
            EXPECT_LE(measure.text_width(lines[i].text) * lines[i].size / 7.8, 972) << c.caption;
        }
    }
}

// Every colour an operation puts down: the line's, the cleared background, a polygon's fill and
// outline, the text's.
std::vector<ColourValue> colours_drawn(const RecordingCanvas& canvas)
{
    std::vector<ColourValue> colours;
    for (const CanvasOp& op : canvas.ops) {
        switch (op.kind) {
        case Kind::Cls:
        case Kind::Line:
            colours.push_back(op.colour);
            break;
        case Kind::Polygon:
            colours.push_back(op.state.fill_color);
            colours.push_back(op.state.fore_color);
            break;
        case Kind::Print:
            colours.push_back(op.state.fore_color);
            break;
        case Kind::ClearPicture:
        case Kind::PaintPicture:
            break;
        }
    }
    return colours;
}

// The colours of the whole preview: the container's, then each sample's as drawn for it.
std::vector<ColourValue> preview_colours(const Document& doc, colour::Vision vision)
{
    Preview preview([](int w, int h) { return std::make_unique<RecordingCanvas>(w, h); });
    preview.headings = true;
    preview.shape4.visible = true;
    preview.marks = { SampleMark::Error, SampleMark::None, SampleMark::Info };
    preview.set_vision(vision);
    Document drawn = doc;
    preview.plot(drawn, PlotMode::Fresh, 11712, 9360);
    RecordingCanvas screen(781, 624);
    paint_preview(screen, drawn, preview, TwipRect { 0, 0, 11712, 9360 });
    EXPECT_FALSE(screen.colour_map()) << "the screen keeps the map it had";
    std::vector<ColourValue> colours = colours_drawn(screen);
    for (int r = 0; r < drawn.row_count(); ++r) {
        const auto* sample = dynamic_cast<const RecordingCanvas*>(
            preview.cache().sample(drawn, preview.layout(), r));
        const std::vector<ColourValue> own = colours_drawn(*sample);
        colours.insert(colours.end(), own.begin(), own.end());
    }
    return colours;
}

TEST(Paint, ASimulatedVisionSeesEveryColourTheNormalPreviewDraws)
{
    Document doc;
    doc.kind = ThemeKind::CarZumo;
    doc.rows = { row("ROAD", "112233", "445566", "778899", "AABBCC", "1", ".5"),
        row("ROUTE ARRW", "E0301E", "20D88C", "8EC1F0", "1B3A5C"), row("ROAD", "F08C00", "-1") };
    doc.rows[0].set_pres_name("GUIDANCE");
    doc.rows[1].set_pres_name("BROWSE");
    doc.rows[2].set_pres_name("BROWSE");
    doc.rows[1].set_style_text("night");
    const std::vector<ColourValue> normal = preview_colours(doc, colour::Vision::Normal);
    EXPECT_NE(
        std::find(normal.begin(), normal.end(), mark_colour(SampleMark::Error)), normal.end());
    for (const auto vision :
        { colour::Vision::Protanopia, colour::Vision::Deuteranopia, colour::Vision::Tritanopia }) {
        std::vector<ColourValue> expected;
        for (const ColourValue c : normal) {
            expected.push_back(seen_with(c, vision));
        }
        EXPECT_EQ(preview_colours(doc, vision), expected) << colour::vision_name(vision);
        EXPECT_NE(expected, normal) << colour::vision_name(vision);
    }
}

// Laying the samples out again for another width, zoom or set of shown rows gives what a fresh
// layout gives: nothing of the earlier placement (rows shown, lines, rules) is left behind.
struct RelayoutCase
{
    const char* what;
    ThemeKind kind;
    std::int64_t width;
    double zoom;
    std::optional<std::vector<int>> shown;
};

class Relayout : public testing::TestWithParam<RelayoutCase>
{
};

TEST_P(Relayout, MatchesAFreshLayout)
{
    const RelayoutCase& c = GetParam();
    SCOPED_TRACE(c.what);
    const Document doc = theme_of(c.kind, { "A", "A", "B", "B", "B", "C", "A" });
    const std::vector<int> first_shown = { 6, 4, 1 };
    PreviewLayout layout = layout_preview(doc, 5000, 9360, 2, &first_shown);
    const std::vector<int>* shown = c.shown ? &*c.shown : nullptr;
    place_rows(layout, doc, c.width, 9360, c.zoom, shown);
    const PreviewLayout fresh = layout_preview(doc, c.width, 9360, c.zoom, shown);
    EXPECT_EQ(layout.order, fresh.order);
    EXPECT_EQ(layout.rules, fresh.rules);
    EXPECT_EQ(layout.rule_rows, fresh.rule_rows);
    EXPECT_EQ(layout.container_height, fresh.container_height);
    EXPECT_EQ(layout.zoom, fresh.zoom);
    for (std::size_t r = 0; r < doc.rows.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(layout.rows[r].shown, fresh.rows[r].shown);
        EXPECT_EQ(layout.rows[r].position, fresh.rows[r].position);
        EXPECT_EQ(layout.rows[r].box, fresh.rows[r].box);
        EXPECT_EQ(layout.rows[r].caption, fresh.rows[r].caption);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Relayout,
    testing::Values(
        RelayoutCase { "every row at design size", ThemeKind::CarZumo, 11712, 1, std::nullopt },
        RelayoutCase { "repeats and rows out of range are skipped", ThemeKind::CarZumo, 2273, 0.5,
            std::vector<int> { 5, 0, 3, 3, -1, 99, 2 } },
        RelayoutCase {
            "one sample a line, no rules", ThemeKind::SportFitness, 900, 1.5, std::nullopt },
        RelayoutCase { "no row shown", ThemeKind::CarZumo, 11712, 1, std::vector<int> {} }));

} // namespace

// Sport & Fitness colours carry their opacity in the style text: each part of a sample is drawn
// with it over the checkerboard ("00": the checkerboard alone), an opaque one as a plain box.
// Car & Zumo colours are always opaque.
TEST(Sample, SportFitnessColoursAreDrawnWithTheirOpacity)
{
    struct Case
    {
        const char* what;
        ThemeKind kind;
        const char* name;
        const char* style;
        std::vector<std::pair<ColourValue, int>> fills;
    };
    const char* const transparent_secondary = "field=\"X\"><color><primary day=\"#ff112233\" "
                                              "night=\"#ff445566\"/><secondary day=\"#00778899\" "
                                              "night=\"#80aabbcc\"/></color></style>";
    const char* const faint_primary = "field=\"X\"><color><primary day=\"#40112233\" "
                                      "night=\"#445566\"/><secondary day=\"#ff778899\" "
                                      "night=\"#ffaabbcc\"/></color></style>";
    for (const Case& c : {
             Case { "a transparent lower half and a half-transparent night border", sf, "WATER",
                 transparent_secondary,
                 { { day1, 255 }, { day2, 0 }, { night1, 255 }, { night2, 128 } } },
             Case { "a faint body; a six-digit colour is opaque", sf, "WATER", faint_primary,
                 { { day1, 64 }, { day2, 255 }, { night1, 255 }, { night2, 255 } } },
             Case { "a line's body by day", sf, "ROAD", faint_primary,
                 { { day2, 255 }, { day1, 64 }, { day2, 255 }, { night2, 255 }, { night1, 255 },
                     { night2, 255 } } },
             Case { "Car & Zumo draws every colour opaque", cz, "WATER", transparent_secondary,
                 { { day1, 255 }, { night1, 255 } } },
         }) {
        SCOPED_TRACE(c.what);
        StyleRow r = row(c.name, "112233", "445566", "778899", "AABBCC", "1", "ff");
        r.set_nwf_border("ff");
        r.set_style_text(c.style);
        Document doc = theme_of(c.kind, {});
        doc.rows = { r };
        const PreviewLayout layout = layout_preview(doc, 11712, 9360);
        RecordingCanvas box(64, 60);
        draw_sample(box, doc, 0, layout.rows[0]);
        std::vector<std::pair<ColourValue, int>> fills;
        for (const CanvasOp& op : box.ops) {
            if (op.kind == Kind::TranslucentBox
                || (op.kind == Kind::Line && op.form == LineForm::FilledBox)) {
                fills.emplace_back(op.colour, op.kind == Kind::Line ? 255 : op.alpha);
            }
        }
        EXPECT_EQ(fills, c.fills);
    }
}
