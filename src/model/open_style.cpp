#include "model/open_style.h"

#include "model/catalogue.h"
#include "model/style_text.h"
#include "model/text.h"

namespace tintwell {

namespace {

bool too_long(std::string_view colour)
{
    return colour.size() > 6;
}

// An area is filled. A Car & Zumo style is one when its element is an area, as the preview
// draws it, unless it has a secondary colour; a line written without a scale (as a newly added
// line is) stays a line.
bool is_area(const Document& doc, const StyleRow& r, const std::string& upper_code)
{
    if (doc.kind == ThemeKind::CarZumo) {
        std::string element(r.elem_name());
        return pgon(doc, element) && !text::contains(upper_code, "SECONDARY");
    }
    const std::string display = text::remove(text::remove(r.field_name(), "MPM_"), "_CLR");
    const std::string name = text::upper(text::replace(display, "_", " "));
    return !name.empty() && text::contains(text::upper(nwf_polygons), name);
}

} // namespace

void normalise_colour(std::string& colour, ThemeKind kind)
{
    colour = text::trim(colour);
    if (colour.size() > 6 && kind == ThemeKind::SportFitness) {
        colour = text::mid(colour, 3);
    }
    if (colour.size() < 6) {
        colour.insert(0, 6 - colour.size(), '0');
    }
}

bool shorten_day_colours(StyleRow& row)
{
    const bool pri = too_long(row.pri_day());
    const bool sec = too_long(row.sec_day());
    if (pri) {
        row.set_pri_day(text::mid(row.pri_day(), 3));
    }
    if (sec) {
        row.set_sec_day(text::mid(row.sec_day(), 3));
    }
    return pri || sec;
}

void shorten_day_colours(Document& doc)
{
    for (StyleRow& row : doc.rows) {
        shorten_day_colours(row);
    }
}

DocumentEdit day_colour_edit(const Document& doc)
{
    DocumentEdit edit;
    for (std::size_t i = 0; i < doc.rows.size(); ++i) {
        const StyleRow& before = doc.rows[i];
        if (!too_long(before.pri_day()) && !too_long(before.sec_day())) {
            continue;
        }
        StyleRow after = before;
        shorten_day_colours(after);
        edit.replace_row(static_cast<int>(i), before, after);
    }
    return edit;
}

std::optional<OpenedStyle> open_style(const Document& doc, int row)
{
    if (!doc.valid_row(row)) {
        return std::nullopt;
    }
    OpenedStyle opened;
    StyleRow& r = opened.row;
    r = doc.rows[static_cast<std::size_t>(row)];
    shorten_day_colours(r);
    const bool car = doc.kind == ThemeKind::CarZumo;
    r.set_style_text(strip_night(r.style_text(), doc.kind));
    const std::string lower_code = text::lower(r.style_text());
    const std::string upper_code = text::upper(r.style_text());
    const bool area = is_area(doc, r, upper_code);
    const bool arrow = text::contains(upper_code, "ARRW");
    opened.form = area ? StyleForm::Area : (arrow ? StyleForm::Arrow : StyleForm::Line);
    if (!car) {
        r.set_scale("1");
    }
    if (car && !area && text::contains(upper_code, "SECONDARY") && text::val(r.border()) == 0) {
        r.set_border(r.scale());
    }
    if (text::trim(r.border()).empty()) {
        r.set_border("0");
    }

    WorkingColours& c = opened.colours;
    c = { std::string(r.pri_day()), std::string(r.sec_day()), std::string(r.pri_night()),
        std::string(r.sec_night()) };
    opened.night_colours =
        (text::contains(lower_code, "night=") || text::contains(lower_code, "night ="))
        && c.pri_night != "-1";
    if (area) {
        // An area keeps its colours as the row holds them, apart from the border colour.
        normalise_colour(c.sec_day, doc.kind);
        opened.has_border = true;
        return opened;
    }
    normalise_colour(c.sec_day, doc.kind);
    normalise_colour(c.pri_day, doc.kind);
    if (car && text::val(r.border()) == 0) {
        c.sec_day.clear();
    }
    const bool sport_without_border = !car && r.border() == "00" && r.bg_width().empty();
    opened.has_border = !c.sec_day.empty() && !sport_without_border;
    return opened;
}

} // namespace tintwell
