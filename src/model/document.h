#pragma once

#include "model/prompter.h"
#include "model/style_row.h"
#include "model/theme_view.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tintwell {

enum class ThemeKind { CarZumo, SportFitness };

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

/// The longest presentation name kept. Every row carries its presentation's name, so a name of
/// megabytes, which a device never shows, would cost that much again for every style.
inline constexpr std::size_t longest_pres_name = 255;

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
