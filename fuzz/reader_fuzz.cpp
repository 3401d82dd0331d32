// Feeds any bytes to the reader with the border preference on and off. An accepted theme is
// written in its kind's form and read back, and the colour conversions run on every row of both
// reads. Only faults count: arbitrary input need not survive the round trip unchanged.
#include "colour/colour_codes.h"
#include "model/document.h"
#include "model/prompter.h"
#include "model/reader.h"
#include "model/text.h"
#include "model/writer.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace tintwell;

void convert_colours(Document& doc)
{
    for (int i = 0; i < doc.row_count(); ++i) {
        const StyleRow row = doc.rows[static_cast<std::size_t>(i)];
        for (const std::string* cell : { &row.pri_day, &row.pri_night, &row.sec_day, &row.sec_night,
                 &row.border, &row.nwf_border }) {
            for (const ThemeKind kind : { ThemeKind::CarZumo, ThemeKind::SportFitness }) {
                std::string copy = *cell;
                rev_hex(copy, kind);
                if (const auto value = hex_to_value(*cell, kind)) {
                    int red = 0;
                    int green = 0;
                    int blue = 0;
                    CToRGB(*value, red, green, blue);
                    value_to_hex(*value, kind);
                }
            }
        }
        text::val(row.scale);
        text::val(row.border);
        get_colfromtxt(row.style_text);
        get_colsfromcode(doc, i);
    }
}

void read_write_read(const std::string& bytes, bool border_pref)
{
    RecordingPrompter prompter;
    Document doc;
    doc.attach(&prompter, nullptr);
    doc.border_pref = border_pref;
    if (!parse(doc, bytes)) {
        return;
    }
    const std::string written =
        doc.kind == ThemeKind::CarZumo ? car_zumo_text(doc) : sport_fitness_text(doc);

    Document again;
    again.attach(&prompter, nullptr);
    again.border_pref = border_pref;
    if (!written.empty()) {
        parse(again, written);
    }
    convert_colours(doc);
    convert_colours(again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    read_write_read(bytes, true);
    read_write_read(bytes, false);
    return 0;
}
