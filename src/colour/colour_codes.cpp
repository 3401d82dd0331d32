#include "colour/colour_codes.h"

#include "model/open_style.h"
#include "model/text.h"

#include <cstdio>
#include <tuple>

namespace tintwell {

using namespace text;

std::string rev_hex(std::string& colour, ThemeKind kind)
{
    normalise_colour(colour, kind);
    return right(colour, 2) + mid(colour, 3, 2) + left(colour, 2);
}

std::optional<ColourValue> hex_to_value(std::string_view colour, ThemeKind kind)
{
    std::string copy(colour);
    const std::string digits = rev_hex(copy, kind);
    ColourValue value = 0;
    for (const char c : digits) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::string value_to_hex(ColourValue value, ThemeKind kind)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
    std::string colour = buffer;
    return rev_hex(colour, kind);
}

bool CToRGB(ColourValue value, int& red, int& green, int& blue)
{
    red = value & 0xFF;
    green = (value & 0xFF00) / 0x100;
    blue = (value & 0xFF0000) / 0x10000;
    return true;
}

std::optional<std::string> get_colfromtxt(std::string_view text)
{
    const auto hash = instr(text, "#");
    const std::string after = hash == 0 ? std::string(text) : mid(text, hash + 1);
    const auto close = instr(after, "\"");
    if (close == 0) {
        return std::nullopt;
    }
    return left(after, close - 1);
}

namespace {

struct ElementTexts
{
    bool found = false;
    std::string day;
    std::string night;
};

ElementTexts element_texts(std::string_view style_text, std::string_view element)
{
    ElementTexts texts;
    const auto at = instr(style_text, element);
    if (at == 0) {
        return texts;
    }
    texts.found = true;
    // From the blank that ends the element name up to the end of the element.
    const std::string piece = before(mid(style_text, at + element.size() - 1), ">");
    if (const auto day = instr(piece, "day")) {
        texts.day = mid(piece, day + 3);
    }
    if (const auto night = instr(piece, "night")) {
        texts.night = mid(piece, night + 5);
    }
    return texts;
}

// The transparency prefix and the six colour digits of one attribute text; a six-digit colour
// counts as opaque.
std::optional<std::string> prefixed_colour(std::string_view attribute_text)
{
    auto colour = get_colfromtxt(attribute_text);
    if (colour && colour->size() == 6) {
        colour->insert(0, "ff");
    }
    return colour;
}

} // namespace

int nwf_alpha(std::string_view colour)
{
    std::string digits = trim(colour);
    if (!digits.empty() && digits[0] == '#') {
        digits.erase(0, 1);
    }
    if (digits.size() != 8) {
        return 255;
    }
    int value = 0;
    for (const char c : digits.substr(0, 2)) {
        const auto digit = std::string_view("0123456789abcdef")
                               .find(static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c));
        if (digit == std::string_view::npos) {
            return 255;
        }
        value = value * 16 + static_cast<int>(digit);
    }
    return value;
}

std::array<int, 4> nwf_alphas(std::string_view style_text)
{
    std::array<int, 4> alphas { 255, 255, 255, 255 };
    const auto alpha_of = [](const std::string& attribute_text) {
        const auto colour = get_colfromtxt(attribute_text);
        return colour ? nwf_alpha(*colour) : 255;
    };
    for (const auto& [element, day, night] :
        { std::tuple("primary ", NwfColour::PrimaryDay, NwfColour::PrimaryNight),
            std::tuple("secondary ", NwfColour::SecondaryDay, NwfColour::SecondaryNight) }) {
        const ElementTexts texts = element_texts(style_text, element);
        if (!texts.found) {
            continue;
        }
        if (!texts.day.empty()) {
            alphas[static_cast<std::size_t>(day)] = alpha_of(texts.day);
        }
        if (!texts.night.empty()) {
            alphas[static_cast<std::size_t>(night)] = alpha_of(texts.night);
        }
    }
    return alphas;
}

void get_colsfromcode(Document& doc, int row_index)
{
    if (!doc.valid_row(row_index)) {
        return;
    }
    StyleRow& row = doc.rows[static_cast<std::size_t>(row_index)];

    const ElementTexts primary = element_texts(row.style_text(), "primary ");
    if (primary.found) {
        const auto day = prefixed_colour(primary.day);
        if (!day) {
            return;
        }
        row.set_pri_day(mid(*day, 3));
        const auto night = prefixed_colour(primary.night);
        if (!night) {
            return;
        }
        row.set_pri_night(mid(*night, 3));
    }

    const ElementTexts secondary = element_texts(row.style_text(), "secondary ");
    if (secondary.found) {
        const auto day = prefixed_colour(secondary.day);
        if (!day) {
            return;
        }
        row.set_sec_day(mid(*day, 3));
        row.set_border(left(*day, 2));
        const auto night = prefixed_colour(secondary.night);
        if (!night) {
            return;
        }
        row.set_sec_night(mid(*night, 3));
        row.set_nwf_border(left(*night, 2));
    }
}

} // namespace tintwell
