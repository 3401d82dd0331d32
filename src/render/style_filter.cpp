#include "render/style_filter.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tintwell {

namespace {

// Slots of the per-call answers; filled no more than half, so that probes stay short.
constexpr std::size_t answer_slots = 1 << 16;

char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view without_blanks(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// `needle` is folded already and not empty.
bool contains_folded(std::string_view hay, std::string_view needle)
{
    if (needle.size() > hay.size()) {
        return false;
    }
    const char first = needle.front();
    const bool cased = first >= 'a' && first <= 'z';
    const std::size_t last_start = hay.size() - needle.size();
    for (std::size_t i = 0; i <= last_start; ++i) {
        if (!cased) {
            // A first character without case is found by the library's fast search.
            i = hay.find(first, i);
            if (i == std::string_view::npos || i > last_start) {
                return false;
            }
        } else if (fold(hay[i]) != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < needle.size() && fold(hay[i + k]) == needle[k]) {
            ++k;
        }
        if (k == needle.size()) {
            return true;
        }
    }
    return false;
}

bool names_hold(const StyleRow& r, std::string_view needle)
{
    return contains_folded(r.elem_name(), needle) || contains_folded(r.field_name(), needle)
        || contains_folded(r.pres_name(), needle);
}

template <typename Test> bool any_colour(const StyleRow& r, Test test)
{
    for (const std::string_view text : { r.pri_day(), r.sec_day(), r.pri_night(), r.sec_night() }) {
        if (const auto rgb = colour::parse_rgb(text); rgb && test(rgb->packed())) {
            return true;
        }
    }
    return false;
}

// Whether a colour text is `wanted`, whose last hex digit is `last` in lower case. Most texts
// differ in their last digit, which is cheaper to see than to read the whole colour.
bool is_colour(std::string_view text, std::uint32_t wanted, char last)
{
    const auto end = text.find_last_not_of(' ');
    if (end == std::string::npos || fold(text[end]) != last) {
        return false;
    }
    const auto rgb = colour::parse_rgb(text);
    return rgb && rgb->packed() == wanted;
}

// Whether the lightness alone puts two colours `near_colour_difference` or more apart, which
// spares the full difference for most colours of a theme. CIEDE2000 adds to the lightness term
// (dL / SL)^2 the chroma and hue terms x^2 + y^2 + RT x y, where |RT| <= 2 sin 60 degrees < 2, so
// those never sum below zero and the difference is at least |dL| / SL.
bool lightness_too_far(const colour::Lab& first, const colour::Lab& second)
{
    const double mean = (first.L + second.L) / 2 - 50;
    const double sl = 1 + 0.015 * mean * mean / std::sqrt(20 + mean * mean);
    return std::abs(second.L - first.L) >= near_colour_difference * sl;
}

} // namespace

StyleQuery parse_query(std::string_view text)
{
    StyleQuery q;
    const std::string_view typed = without_blanks(text);
    if (typed.empty()) {
        return q;
    }
    if (typed.front() == '~') {
        if (const auto rgb = colour::parse_rgb(typed.substr(1))) {
            q.kind = StyleQuery::Kind::NearColour;
            q.colour = *rgb;
            return q;
        }
    }
    q.text.resize(typed.size());
    std::transform(typed.begin(), typed.end(), q.text.begin(), fold);
    q.kind = StyleQuery::Kind::Text;
    if (const auto rgb = colour::parse_rgb(typed)) {
        q.kind = StyleQuery::Kind::Colour;
        q.colour = *rgb;
    }
    return q;
}

bool StyleFilter::near(std::uint32_t packed, const colour::Lab& reference)
{
    // Colours repeat across a theme's rows, and the difference costs far more than a look-up.
    std::size_t slot = (packed * 2654435761U) >> 16 & (answer_slots - 1);
    while (m_answers[slot].packed != empty_slot) {
        if (m_answers[slot].packed == packed) {
            return m_answers[slot].near;
        }
        slot = (slot + 1) & (answer_slots - 1);
    }
    const colour::Lab lab = colour::to_lab(colour::Rgb::from_packed(packed));
    const bool answer = !lightness_too_far(reference, lab)
        && colour::delta_e2000(reference, lab) < near_colour_difference;
    if (m_answers_used < answer_slots / 2) {
        m_answers[slot] = { packed, answer };
        ++m_answers_used;
    }
    return answer;
}

std::vector<int> StyleFilter::rows(const Document& doc, std::string_view text)
{
    const StyleQuery q = parse_query(text);
    std::vector<int> kept;
    const int count = doc.row_count();
    if (q.kind == StyleQuery::Kind::All) {
        kept.resize(static_cast<std::size_t>(count));
        for (int r = 0; r < count; ++r) {
            kept[static_cast<std::size_t>(r)] = r;
        }
        return kept;
    }
    const auto keep_if = [&](auto test) {
        for (int r = 0; r < count; ++r) {
            if (test(doc.rows[static_cast<std::size_t>(r)])) {
                kept.push_back(r);
            }
        }
    };
    switch (q.kind) {
    case StyleQuery::Kind::Text:
        keep_if([&](const StyleRow& r) { return names_hold(r, q.text); });
        break;
    case StyleQuery::Kind::Colour: {
        const std::uint32_t wanted = q.colour.packed();
        const char last = "0123456789abcdef"[wanted & 0xF];
        keep_if([&](const StyleRow& r) {
            return names_hold(r, q.text) || is_colour(r.pri_day(), wanted, last)
                || is_colour(r.sec_day(), wanted, last) || is_colour(r.pri_night(), wanted, last)
                || is_colour(r.sec_night(), wanted, last);
        });
        break;
    }
    case StyleQuery::Kind::NearColour: {
        m_answers.assign(answer_slots, Answer {});
        m_answers_used = 0;
        const colour::Lab reference = colour::to_lab(q.colour);
        keep_if([&](const StyleRow& r) {
            return any_colour(r, [&](std::uint32_t c) { return near(c, reference); });
        });
        break;
    }
    case StyleQuery::Kind::All:
        break;
    }
    return kept;
}

std::vector<int> filter_rows(const Document& doc, std::string_view text)
{
    StyleFilter filter;
    return filter.rows(doc, text);
}

} // namespace tintwell
