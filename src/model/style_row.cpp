#include "model/style_row.h"

#include <functional>
#include <limits>
#include <new>
#include <utility>

namespace tintwell {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool address_sanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool address_sanitizer = true;
#else
constexpr bool address_sanitizer = false;
#endif
#else
constexpr bool address_sanitizer = false;
#endif

} // namespace

// A table of many small styles is mostly rows: keep one row to two words.
static_assert(sizeof(StyleRow) == 16 || sizeof(void*) != 8);

namespace {

constexpr std::size_t narrow_limit = 256;

} // namespace

StyleRow::StyleRow(const StyleRow& other)
    : pres_code(other.pres_code)
    , m_wide(other.m_wide)
    , m_size(other.m_size)
{
    if (other.m_block) {
        const std::size_t bytes = other.head_size() + other.m_size;
        m_block = std::make_unique_for_overwrite<char[]>(bytes);
        std::memcpy(m_block.get(), other.m_block.get(), bytes);
    }
}

StyleRow::StyleRow(StyleRow&& other) noexcept
    : pres_code(other.pres_code)
    , m_wide(std::exchange(other.m_wide, false))
    , m_size(std::exchange(other.m_size, 0))
    , m_block(std::move(other.m_block))
{
}

StyleRow& StyleRow::operator=(const StyleRow& other)
{
    if (this == &other) {
        return *this;
    }
    // Undo and redo put rows back over rows of the same size, thousands at a time; reusing the
    // block spares an allocation each (not under AddressSanitizer, as for rewrite_in_place).
    const std::size_t bytes = other.head_size() + other.m_size;
    if (!address_sanitizer && m_block && other.m_block && head_size() + m_size == bytes) {
        std::memcpy(m_block.get(), other.m_block.get(), bytes);
        pres_code = other.pres_code;
        m_wide = other.m_wide;
        m_size = other.m_size;
        return *this;
    }
    StyleRow copy(other);
    *this = std::move(copy);
    return *this;
}

StyleRow& StyleRow::operator=(StyleRow&& other) noexcept
{
    pres_code = other.pres_code;
    m_wide = std::exchange(other.m_wide, false);
    m_size = std::exchange(other.m_size, 0);
    m_block = std::move(other.m_block);
    return *this;
}

void StyleRow::set(StyleCell cell, std::string_view value)
{
    StyleTexts all = texts();
    all[static_cast<std::size_t>(cell)] = value;
    assign(all);
}

void StyleRow::assign(const StyleTexts& texts)
{
    std::array<std::string_view, style_cell_count> slots;
    for (std::size_t cell = 0; cell < style_cell_count; ++cell) {
        slots[slot_of(static_cast<StyleCell>(cell))] = texts[cell];
    }
    std::size_t leading = 0;
    for (std::size_t slot = 0; slot < offset_count; ++slot) {
        leading += slots[slot].size();
    }
    const std::size_t total = leading + slots[last_slot].size();
    if (total == 0) {
        m_block.reset();
        m_size = 0;
        m_wide = false;
        return;
    }
    // Past this the offsets cannot say where a text ends.
    if (total > std::numeric_limits<std::uint32_t>::max() - offset_count * 4) {
        throw std::bad_alloc();
    }
    const bool wide = leading >= narrow_limit;
    const std::size_t head = wide ? offset_count * 4 : offset_count;
    if (rewrite_in_place(slots, total, wide)) {
        return;
    }
    // The new block is filled before the old one goes, since the texts may be views of it.
    auto block = std::make_unique_for_overwrite<char[]>(head + total);
    std::uint32_t end = 0;
    for (std::size_t slot = 0; slot < style_cell_count; ++slot) {
        const std::string_view text = slots[slot];
        if (!text.empty()) {
            std::memcpy(block.get() + head + end, text.data(), text.size());
        }
        end += static_cast<std::uint32_t>(text.size());
        if (slot == last_slot) {
            break;
        }
        if (wide) {
            std::memcpy(block.get() + slot * 4, &end, sizeof end);
        } else {
            block[slot] = static_cast<char>(static_cast<unsigned char>(end));
        }
    }
    m_block = std::move(block);
    m_size = static_cast<std::uint32_t>(total);
    m_wide = wide;
}

bool StyleRow::rewrite_in_place(
    const std::array<std::string_view, style_cell_count>& slots, std::size_t total, bool wide)
{
    // Under AddressSanitizer every change takes a new block, so that a view kept across a change
    // reads freed memory and is caught, instead of quietly reading the new text.
    if (address_sanitizer || !m_block || total != m_size || wide != m_wide) {
        return false;
    }
    char* const texts = m_block.get() + head_size();
    const std::less<const char*> before;
    std::size_t begin = 0;
    for (std::size_t slot = 0; slot < style_cell_count; ++slot) {
        const std::size_t end = slot == last_slot ? m_size : end_of(slot);
        const std::string_view text = slots[slot];
        if (text.size() != end - begin) {
            return false;
        }
        // A text that is a view of this block may be overwritten before it is read, unless it
        // already stands where it goes.
        const bool in_block = !text.empty() && !before(text.data(), m_block.get())
            && before(text.data(), texts + m_size);
        if (in_block && text.data() != texts + begin) {
            return false;
        }
        begin = end;
    }
    begin = 0;
    for (std::size_t slot = 0; slot < style_cell_count; ++slot) {
        const std::string_view text = slots[slot];
        if (!text.empty() && text.data() != texts + begin) {
            std::memcpy(texts + begin, text.data(), text.size());
        }
        begin += text.size();
    }
    return true;
}

void StyleRow::overwrite(StyleCell cell, std::size_t at, std::string_view bytes)
{
    const std::string_view text = get(cell);
    if (at > text.size() || bytes.size() > text.size() - at || bytes.empty()) {
        return;
    }
    const std::size_t begin = static_cast<std::size_t>(text.data() - m_block.get()) + at;
    if (address_sanitizer) {
        StyleRow copy(*this);
        std::memmove(copy.m_block.get() + begin, bytes.data(), bytes.size());
        *this = std::move(copy);
        return;
    }
    std::memmove(m_block.get() + begin, bytes.data(), bytes.size());
}

StyleTexts StyleRow::texts() const
{
    StyleTexts all;
    if (!m_block) {
        return all;
    }
    // One walk along the offsets, slot by slot.
    const char* const texts = m_block.get() + head_size();
    std::size_t begin = 0;
    for (std::size_t slot = 0; slot < style_cell_count; ++slot) {
        const std::size_t end = slot == last_slot ? m_size : end_of(slot);
        all[cell_of(slot)] = std::string_view(texts + begin, end - begin);
        begin = end;
    }
    return all;
}

bool StyleRow::operator==(const StyleRow& other) const
{
    // The layout follows from the texts alone, so equal texts make equal blocks.
    if (pres_code != other.pres_code || m_size != other.m_size || m_wide != other.m_wide) {
        return false;
    }
    return m_size == 0
        || std::memcmp(m_block.get(), other.m_block.get(), head_size() + m_size) == 0;
}

} // namespace tintwell
