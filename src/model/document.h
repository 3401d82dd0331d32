#pragma once

#include "model/prompter.h"
#include "model/theme_view.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tintwell {

enum class ThemeKind { CarZumo, SportFitness };

/// One style element of one presentation. Every cell but `pres_code` is text in the form in
/// which it is read and written.
struct StyleRow
{
    /// Presentation index in the catalogue times 10, plus 1 when `border` is not empty.
    std::int16_t pres_code = 0;
    std::string pri_day;
    /// "-1" when the style has no night colour.
    std::string pri_night;
    std::string sec_day;
    std::string sec_night;
    std::string elem_name;
    std::string field_name;
    std::string bg_width;
    std::string fg_width;
    std::string scale;
    /// Car & Zumo: the border value. Sport & Fitness: the two transparency digits of the
    /// secondary day colour.
    std::string border;
    std::string pres_name;
    std::string style_text;
    /// Sport & Fitness: the two transparency digits of the secondary night colour.
    std::string nwf_border;

    bool operator==(const StyleRow&) const = default;
};

/// Title, description, locale and version as the main window shows them.
struct ThemeMetadata
{
    std::string title;
    std::string description;
    std::string locale;
    std::string version;

    bool operator==(const ThemeMetadata&) const = default;
};

/// The known presentations; the position is the presentation index of `pres_code`.
inline const std::array<std::string, 6> pres_catalogue = { "GUIDANCE", "BROWSE", "TRAFFIC",
    "TURN PREVIEW", "ROUTE PREVIEW", "PEDESTRIAN" };

inline constexpr const char* untitled_file_name = "untitled.kmtf";

/// The open theme: the style table, the document-wide values and the two seams through which the
/// core reaches the user (messages and questions) and the main window. There is one per process
/// in the program; tests make as many as they like.
class Document
{
public:
    Document();

    /// Rows 0 .. row_count() - 1; the table holds exactly the rows in use.
    std::vector<StyleRow> rows;
    ThemeKind kind = ThemeKind::CarZumo;
    int pres_count = 0;
    /// Presentation names in list order, trimmed of blanks.
    std::vector<std::string> pres_names;
    ThemeMetadata metadata;
    bool modified = false;
    bool theme_open = false;
    /// "Set Border to 0.3 when Border Color does not exist".
    bool border_pref = true;
    std::string file_name;
    int cur_row = 0;

    int row_count() const { return static_cast<int>(rows.size()); }
    bool valid_row(int row) const { return row >= 0 && row < row_count(); }

    Prompter& prompter() const { return *m_prompter; }
    ThemeView& view() const { return *m_view; }
    /// Both must outlive the document or be detached with nullptr.
    void attach(Prompter* prompter, ThemeView* view);

    /// Shows a message through the prompter.
    void message(std::string_view text) const { m_prompter->message(text); }

private:
    Prompter* m_prompter;
    ThemeView* m_view;
};

} // namespace tintwell
