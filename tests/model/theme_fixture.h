#pragma once

#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"

#include <string>
#include <vector>

namespace tintwell::test {

/// A document with a recording prompter, and what loading a text into it said.
struct Loaded
{
    RecordingPrompter prompter;
    Document doc;
    bool accepted = false;

    Loaded() { doc.attach(&prompter, nullptr); }
    Loaded(const Loaded&) = delete;

    bool load(const std::string& text)
    {
        prompter.messages.clear();
        accepted = parse(doc, text);
        return accepted;
    }
    const StyleRow& row(std::size_t i) const { return doc.rows.at(i); }
    const std::vector<std::string>& messages() const { return prompter.messages; }
};

/// Reads the text and saves it, then reads and saves each save again, twice: the three saves
/// of the theme's kind (empty after the first when the text is rejected or has no title).
inline std::vector<std::string> three_saves(const std::string& text, bool border_pref = true)
{
    std::vector<std::string> saves;
    std::string current = text;
    for (int i = 0; i < 3; ++i) {
        Loaded l;
        l.doc.border_pref = border_pref;
        if (!l.load(current)) {
            break;
        }
        current =
            l.doc.kind == ThemeKind::CarZumo ? car_zumo_text(l.doc) : sport_fitness_text(l.doc);
        if (current.empty()) {
            break;
        }
        saves.push_back(current);
    }
    return saves;
}

inline std::string metadata_block(const std::string& title = "Test")
{
    return "<METADATA>\r\n<TITLE>" + title + "</TITLE>\r\n<DESCRIPTION>d</DESCRIPTION>\r\n"
           "<LOCALELIST>\r\n<locale>Global</locale>\r\n</LOCALELIST>\r\n"
           "<Version><Major>1</Major><Minor>00</Minor></Version>\r\n</METADATA>\r\n";
}

/// A row with the scale, border and four colour cells set; the rest stays empty.
inline StyleRow colour_row(std::string scale, std::string border, std::string pri_day,
    std::string pri_night, std::string sec_day = "", std::string sec_night = "")
{
    StyleRow r;
    r.set_scale(std::move(scale));
    r.set_border(std::move(border));
    r.set_pri_day(std::move(pri_day));
    r.set_pri_night(std::move(pri_night));
    r.set_sec_day(std::move(sec_day));
    r.set_sec_night(std::move(sec_night));
    return r;
}

/// A Car & Zumo theme: head, metadata and the given presentation blocks.
inline std::string car_zumo_theme(const std::string& presentations, const std::string& meta = metadata_block())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n" + meta
        + presentations + "</GARMIN_MAP_THEME>\r\n";
}

inline std::string presentation(const std::string& id, const std::string& styles)
{
    return "<PRESENTATION ID=\"" + id + "\" > \r\n<STYLELIST>\r\n" + styles
        + "</STYLELIST>\r\n</PRESENTATION>\r\n";
}

/// One style as the writer lays it out; `tag_attributes` follow the field name.
inline std::string cz_style(const std::string& field, const std::string& tag_attributes,
    const std::string& colours)
{
    return "\r\n<STYLE field = \"" + field + "\"" + tag_attributes + ">\r\n <COLOR>\r\n" + colours
        + " </COLOR >\r\n</STYLE>\r\n";
}

/// A style with a day colour, a night colour when `night` is not empty and, when `secondary` is
/// not empty, a secondary colour by day and at night and the border value `border`.
inline std::string coloured_style(const std::string& field, const std::string& day,
    const std::string& night = "", const std::string& secondary = "",
    const std::string& secondary_night = "", const std::string& border = "")
{
    std::string colours = "<PRIMARY day = \"#" + day + "\"";
    colours += night.empty() ? "" : " night=\"#" + night + "\"";
    colours += "/>\r\n";
    if (!secondary.empty()) {
        colours += "<SECONDARY day = \"#" + secondary + "\"";
        colours += secondary_night.empty() ? "" : " night=\"#" + secondary_night + "\"";
        colours += "/>\r\n";
    }
    return cz_style(field, " scale=\"1\"" + (border.empty() ? "" : " border=\"" + border + "\""),
        colours);
}

inline std::string sf_theme(const std::string& styles)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<garmin_map_theme>\r\n"
           "<metadata><title>Trail</title><description>Run</description></metadata><stylelist>"
        + styles + "</stylelist></garmin_map_theme>\r\n";
}

} // namespace tintwell::test

namespace tintwell::test {

/// Remembers what the core did to the main window.
struct RecordingView : ThemeView
{
    std::vector<std::string> presentations;
    int clears = 0;
    int edit_menu = -1; // -1 untouched, 0 disabled, 1 enabled
    int locale_version = -1;
    int focus_title_calls = 0;
    ThemeMetadata shown;

    void clear_presentations() override
    {
        ++clears;
        presentations.clear();
    }
    void add_presentation(std::string_view name) override { presentations.emplace_back(name); }
    void set_edit_menu_enabled(bool on) override { edit_menu = on; }
    void set_locale_version_enabled(bool on) override { locale_version = on; }
    void metadata_changed(const ThemeMetadata& m) override { shown = m; }
    void focus_title() override { ++focus_title_calls; }
};

} // namespace tintwell::test

namespace tintwell::test {

/// The colour elements of a Car & Zumo style; an empty night is left out.
inline std::string cz_primary(const std::string& day, const std::string& night)
{
    return "<PRIMARY day = \"#" + day + "\"" + (night.empty() ? "" : " night=\"#" + night + "\"")
        + "/>\r\n";
}

inline std::string cz_secondary(const std::string& day, const std::string& night)
{
    return "<SECONDARY day = \"#" + day + "\" night=\"#" + night + "\"/>\r\n";
}

} // namespace tintwell::test
