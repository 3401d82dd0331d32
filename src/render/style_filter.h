#pragma once

#include "colour/colour_science.h"
#include "model/document.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Choosing the styles the preview shows from what the user types in the filter box.
namespace tintwell {

/// Colours closer than this CIEDE2000 difference count as near one another.
inline constexpr double near_colour_difference = 10;

/// What a filter text asks for.
struct StyleQuery
{
    enum class Kind {
        /// Empty or blank: every row.
        All,
        /// Rows whose element name, field name or presentation holds the text, in any case.
        Text,
        /// As Text, and rows with the colour among their day and night colours.
        Colour,
        /// Rows with a colour near the given one ("~" before a colour).
        NearColour,
        /// Rows of the presentation named after "pres:", in any case.
        Presentation
    };
    Kind kind = Kind::All;
    /// The text as typed without the blanks round it, lower-cased (Text and Colour).
    std::string text;
    colour::Rgb colour;
};

/// Reads a filter text: blanks round it do not count; a colour as a theme writes one ("#1e90ff",
/// "1E90FF", with or without a transparency prefix) asks for that colour, and "~" before one
/// asks for the colours near it, and "pres:" before a name asks for the styles of that
/// presentation. Anything else is text to look for ("~ab" too).
StyleQuery parse_query(std::string_view text);

/// Filters the rows of a theme, keeping what it learns of the theme's colours from one call to
/// the next.
class StyleFilter
{
public:
    /// The rows of `doc` the text keeps (see `parse_query`), in table order: the element name,
    /// field name or presentation name holds the text, whatever the case of either; or, for a
    /// colour, one of the primary and secondary colours by day or night is that colour; or, for
    /// a near colour, one of them is less than `near_colour_difference` from it. A colour that
    /// does not read ("-1", empty) matches nothing.
    std::vector<int> rows(const Document& doc, std::string_view text);

    /// Drops what was learnt of the theme's colours. Call it after any change to the rows: only
    /// a change of table (another theme, rows added or removed) is noticed without it.
    void forget();

    /// Reads the colours of up to `rows` more rows, for idle time: once every row is read, the
    /// first near colour costs no more than the next. True when every row is read.
    bool prepare(const Document& doc, std::size_t rows);

private:
    std::uint32_t position(std::uint32_t packed);
    std::size_t slot_of(std::uint32_t packed) const;

    // For near colours: each row's four colours as positions in `m_known`, `no_colour` for one
    // that does not read; rows before `m_prepared` read since the last `forget`, of a table at
    // `m_prepared_table` of `m_prepared_rows` rows.
    static constexpr std::uint32_t no_colour = 0xFFFFFFFF;
    std::size_t m_prepared = 0;
    const StyleRow* m_prepared_table = nullptr;
    std::size_t m_prepared_rows = 0;
    std::vector<std::array<std::uint32_t, 4>> m_row_colours;
    // Every colour met, kept across changes, as a colour's Lab never changes: the colours in the
    // order met, their Labs, and an open-addressed table of colour and position.
    std::vector<colour::Rgb> m_known;
    colour::LabTable m_labs;
    std::vector<std::uint64_t> m_slots;
    int m_slot_shift = 64;
    std::vector<std::uint8_t> m_near;
};

/// `StyleFilter::rows` without keeping anything between calls.
std::vector<int> filter_rows(const Document& doc, std::string_view text);

} // namespace tintwell
