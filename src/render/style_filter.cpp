#include "render/style_filter.h"

#include "model/text.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

namespace tintwell {

namespace {

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
    return text::find_folded(hay, needle) != std::string_view::npos;
}

bool names_hold(const StyleRow& r, std::string_view needle)
{
    return contains_folded(r.elem_name(), needle) || contains_folded(r.field_name(), needle)
        || contains_folded(r.pres_name(), needle);
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

constexpr std::uint64_t empty_slot = ~std::uint64_t { 0 };

} // namespace

StyleQuery parse_query(std::string_view text)
{
    StyleQuery q;
    const std::string_view typed = without_blanks(text);
    if (typed.empty()) {
        return q;
    }
    constexpr std::string_view presentation = "pres:";
    if (typed.size() >= presentation.size()
        && std::equal(presentation.begin(), presentation.end(), typed.begin(),
            [](char a, char b) { return a == fold(b); })) {
        const std::string_view name = without_blanks(typed.substr(presentation.size()));
        q.kind = StyleQuery::Kind::Presentation;
        q.text.resize(name.size());
        std::transform(name.begin(), name.end(), q.text.begin(), fold);
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

void StyleFilter::forget()
{
    m_prepared = 0;
}

std::size_t StyleFilter::slot_of(std::uint32_t packed) const
{
    // The first free slot from the one the colour hashes to, or the slot that holds it. The high
    // bits of a Fibonacci product spread colours that differ in any digit.
    const std::size_t mask = m_slots.size() - 1;
    auto slot = static_cast<std::size_t>((packed * 0x9E3779B97F4A7C15ULL) >> m_slot_shift);
    while (m_slots[slot] != empty_slot && m_slots[slot] >> 32 != packed) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

std::uint32_t StyleFilter::position(std::uint32_t packed)
{
    // Never more than half full, so that probes stay short.
    if (2 * (m_known.size() + 1) > m_slots.size()) {
        m_slots.assign(std::max<std::size_t>(1024, 2 * m_slots.size()), empty_slot);
        m_slot_shift = 64 - std::countr_zero(m_slots.size());
        for (std::size_t i = 0; i < m_known.size(); ++i) {
            m_slots[slot_of(m_known[i].packed())] = std::uint64_t { m_known[i].packed() } << 32 | i;
        }
    }
    const std::size_t slot = slot_of(packed);
    if (m_slots[slot] != empty_slot) {
        return static_cast<std::uint32_t>(m_slots[slot]);
    }
    const auto added = static_cast<std::uint32_t>(m_known.size());
    m_slots[slot] = std::uint64_t { packed } << 32 | added;
    m_known.push_back(colour::Rgb::from_packed(packed));
    return added;
}

bool StyleFilter::prepare(const Document& doc, std::size_t rows)
{
    const std::size_t count = doc.rows.size();
    if (m_prepared_table != doc.rows.data() || m_prepared_rows != count) {
        m_prepared = 0;
        m_prepared_table = doc.rows.data();
        m_prepared_rows = count;
    }
    // Colours replaced by edits stay known; not without end.
    if (m_prepared == 0 && m_known.size() > 8 * count + 4096) {
        m_known.clear();
        m_labs = {};
        m_slots.clear();
        m_row_colours.clear();
    }
    // Most rows keep their colours from one change to the next, and a colour found where it was
    // is spared the look-up.
    m_row_colours.resize(count, { no_colour, no_colour, no_colour, no_colour });
    const std::size_t end = count - m_prepared < rows ? count : m_prepared + rows;
    for (std::size_t r = m_prepared; r < end; ++r) {
        const StyleRow& row = doc.rows[r];
        const std::array<std::string_view, 4> texts { row.pri_day(), row.sec_day(), row.pri_night(),
            row.sec_night() };
        for (std::size_t k = 0; k < texts.size(); ++k) {
            std::uint32_t& at = m_row_colours[r][k];
            const auto rgb = colour::parse_rgb(texts[k]);
            if (!rgb) {
                at = no_colour;
            } else if (at == no_colour || m_known[at].packed() != rgb->packed()) {
                at = position(rgb->packed());
            }
        }
    }
    m_prepared = end;
    if (m_labs.size() < m_known.size()) {
        m_labs.append(colour::to_lab(std::span(m_known).subspan(m_labs.size())));
    }
    return m_prepared == count;
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
        prepare(doc, doc.rows.size());
        // Each distinct colour is judged once, however many rows use it.
        const colour::NearColours near(colour::to_lab(q.colour), near_colour_difference);
        m_near.resize(m_labs.size());
        near.mark(m_labs, m_near);
        for (int r = 0; r < count; ++r) {
            for (const std::uint32_t position : m_row_colours[static_cast<std::size_t>(r)]) {
                if (position != no_colour && m_near[position] != 0) {
                    kept.push_back(r);
                    break;
                }
            }
        }
        break;
    }
    case StyleQuery::Kind::Presentation:
        keep_if([&](const StyleRow& r) {
            const std::string_view name = without_blanks(r.pres_name());
            return name.size() == q.text.size()
                && std::equal(name.begin(), name.end(), q.text.begin(),
                    [](char a, char b) { return fold(a) == b; });
        });
        break;
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
