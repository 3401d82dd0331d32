// Feeds any bytes to the reader with the border preference on and off. An accepted theme is
// written in its kind's form and read back three times, the colour conversions run on every row
// of every read, and the second and third saves must be the same bytes. Arbitrary input need not
// survive the first round trip unchanged. The theme checker reads the same bytes as --lint does,
// and the same bytes also check the fast text search and in-place replacement against the plain
// forms.
#include "colour/colour_codes.h"
#include "colour/theme_lint.h"
#include "model/document.h"
#include "model/prompter.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace tintwell;

void convert_colours(Document& doc)
{
    for (int i = 0; i < doc.row_count(); ++i) {
        const StyleRow row = doc.rows[static_cast<std::size_t>(i)];
        for (const std::string_view cell : { row.pri_day(), row.pri_night(), row.sec_day(),
                 row.sec_night(), row.border(), row.nwf_border() }) {
            for (const ThemeKind kind : { ThemeKind::CarZumo, ThemeKind::SportFitness }) {
                std::string copy(cell);
                rev_hex(copy, kind);
                if (const auto value = hex_to_value(cell, kind)) {
                    int red = 0;
                    int green = 0;
                    int blue = 0;
                    CToRGB(*value, red, green, blue);
                    value_to_hex(*value, kind);
                }
            }
        }
        text::val(row.scale());
        text::val(row.border());
        get_colfromtxt(row.style_text());
        get_colsfromcode(doc, i);
    }
}

std::string save(Document& doc)
{
    return doc.kind == ThemeKind::CarZumo ? car_zumo_text(doc) : sport_fitness_text(doc);
}

// An accepted theme is saved, and the save read and saved again, twice. Saving must settle: the
// first save may differ from the second where reading normalises what was written, but the second
// and third must be the same bytes, or the file would change with every save.
void read_write_read(const std::string& bytes, bool border_pref)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.border_pref = border_pref;
    if (!parse(doc, bytes)) {
        return;
    }
    ThemeChecker checker;
    checker.read_file(bytes, doc);
    checker.update(doc);
    for (const auto* findings : { &checker.file_findings(), &checker.colour_findings() }) {
        for (const Finding& finding : *findings) {
            describe(finding);
        }
    }
    convert_colours(doc);
    std::string saves[3];
    for (std::string& written : saves) {
        written = save(doc);
        if (written.empty()) {
            return;
        }
        doc = Document();
        doc.attach(&prompter, nullptr);
        doc.border_pref = border_pref;
        if (!parse(doc, written)) {
            return;
        }
        convert_colours(doc);
    }
    if (saves[1] != saves[2]) {
        __builtin_trap();
    }
}

// The fast search and the in-place replacement must agree with the plain library forms for every
// text and needle, including needles longer than the text and starts past its end.
void check_text_rules(const std::string& bytes)
{
    if (bytes.size() < 2) {
        return;
    }
    const std::size_t needle_size = static_cast<unsigned char>(bytes[0]) % 20;
    const std::string_view rest = std::string_view(bytes).substr(1);
    const std::string_view needle = rest.substr(0, needle_size);
    const std::string_view hay = rest.substr(std::min(needle_size, rest.size()));
    for (std::size_t pos = 0; pos <= hay.size() + 1; pos += 1 + hay.size() / 7) {
        if (text::find_literal(hay, needle, pos) != hay.find(needle, pos)) {
            __builtin_trap();
        }
    }
    for (const std::string_view with : { std::string_view(), needle.substr(0, 1), needle }) {
        std::string in_place(hay);
        text::replace_in(in_place, needle, with);
        if (in_place != text::replace(hay, needle, with)) {
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    read_write_read(bytes, true);
    read_write_read(bytes, false);
    // Whatever the reader makes of them, --lint scans the bytes as either kind.
    for (const ThemeKind kind : { ThemeKind::CarZumo, ThemeKind::SportFitness }) {
        const StructureScan whole = scan_structure(bytes, kind);
        // The quick scan for what saving changes finds exactly those issues of the whole scan.
        const StructureScan quick = scan_structure(bytes, kind, ScanScope::SaveChanges);
        std::size_t next = 0;
        for (const StructureIssue& issue : whole.issues) {
            if (!issue.rule->changes_on_save) {
                continue;
            }
            if (next >= quick.issues.size() || quick.issues[next].rule != issue.rule
                || quick.issues[next].line != issue.line
                || quick.issues[next].element != issue.element
                || quick.issues[next].detail != issue.detail) {
                std::abort();
            }
            ++next;
        }
        if (next != quick.issues.size()) {
            std::abort();
        }
    }
    check_text_rules(bytes);
    return 0;
}
