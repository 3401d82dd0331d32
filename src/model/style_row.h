#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace tintwell {

/// The text cells of a style row, in the order of its columns.
enum class StyleCell : std::uint8_t {
    PriDay,
    /// "-1" when the style has no night colour.
    PriNight,
    SecDay,
    SecNight,
    ElemName,
    FieldName,
    BgWidth,
    FgWidth,
    Scale,
    /// Car & Zumo: the border value. Sport & Fitness: the two transparency digits of the
    /// secondary day colour.
    Border,
    PresName,
    StyleText,
    /// Sport & Fitness: the two transparency digits of the secondary night colour.
    NwfBorder,
};

inline constexpr std::size_t style_cell_count = 13;

/// A text for every cell, indexed by StyleCell.
using StyleTexts = std::array<std::string_view, style_cell_count>;

/// One style element of one presentation. Every cell but `pres_code` is text in the form in
/// which it is read and written.
///
/// The texts live back to back in one heap block (none when all are empty), so a row costs 16
/// bytes and its texts whatever their number. A view returned by a getter stays valid until the
/// next set or assign on the row, or its end; take a copy where a value must outlive a change.
/// A set may be given a view of the row's own texts.
class StyleRow
{
public:
    /// Presentation index in the catalogue times 10, plus 1 when `border` is not empty.
    std::int16_t pres_code = 0;

    StyleRow() = default;
    StyleRow(const StyleRow& other);
    StyleRow(StyleRow&& other) noexcept;
    StyleRow& operator=(const StyleRow& other);
    StyleRow& operator=(StyleRow&& other) noexcept;
    ~StyleRow() = default;

    std::string_view get(StyleCell cell) const
    {
        if (!m_block) {
            return {};
        }
        const auto slot = slot_of(cell);
        const std::size_t begin = slot == 0 ? 0 : end_of(slot - 1);
        const std::size_t end = slot == last_slot ? m_size : end_of(slot);
        return { m_block.get() + head_size() + begin, end - begin };
    }
    /// Throws std::bad_alloc when the texts together would pass 4 GiB.
    void set(StyleCell cell, std::string_view value);
    /// Sets every text at once; the views may be of this row's own texts.
    void assign(const StyleTexts& texts);
    /// Every text, indexed by StyleCell.
    StyleTexts texts() const;
    /// Writes `bytes` over the text of `cell` from position `at`, its size kept; nothing when
    /// they would not lie inside it.
    void overwrite(StyleCell cell, std::size_t at, std::string_view bytes);

    /// Same pres_code and same texts.
    bool operator==(const StyleRow& other) const;

    std::string_view pri_day() const { return get(StyleCell::PriDay); }
    std::string_view pri_night() const { return get(StyleCell::PriNight); }
    std::string_view sec_day() const { return get(StyleCell::SecDay); }
    std::string_view sec_night() const { return get(StyleCell::SecNight); }
    std::string_view elem_name() const { return get(StyleCell::ElemName); }
    std::string_view field_name() const { return get(StyleCell::FieldName); }
    std::string_view bg_width() const { return get(StyleCell::BgWidth); }
    std::string_view fg_width() const { return get(StyleCell::FgWidth); }
    std::string_view scale() const { return get(StyleCell::Scale); }
    std::string_view border() const { return get(StyleCell::Border); }
    std::string_view pres_name() const { return get(StyleCell::PresName); }
    std::string_view style_text() const { return get(StyleCell::StyleText); }
    std::string_view nwf_border() const { return get(StyleCell::NwfBorder); }

    void set_pri_day(std::string_view v) { set(StyleCell::PriDay, v); }
    void set_pri_night(std::string_view v) { set(StyleCell::PriNight, v); }
    void set_sec_day(std::string_view v) { set(StyleCell::SecDay, v); }
    void set_sec_night(std::string_view v) { set(StyleCell::SecNight, v); }
    void set_elem_name(std::string_view v) { set(StyleCell::ElemName, v); }
    void set_field_name(std::string_view v) { set(StyleCell::FieldName, v); }
    void set_bg_width(std::string_view v) { set(StyleCell::BgWidth, v); }
    void set_fg_width(std::string_view v) { set(StyleCell::FgWidth, v); }
    void set_scale(std::string_view v) { set(StyleCell::Scale, v); }
    void set_border(std::string_view v) { set(StyleCell::Border, v); }
    void set_pres_name(std::string_view v) { set(StyleCell::PresName, v); }
    void set_style_text(std::string_view v) { set(StyleCell::StyleText, v); }
    void set_nwf_border(std::string_view v) { set(StyleCell::NwfBorder, v); }

private:
    // The block holds the end offsets of the texts in slots 0 to 11, one byte each when the
    // first twelve texts come to less than 256 bytes together, else four, and then the texts in
    // slot order. The style text, the one that is usually long, takes the last slot, so it
    // alone does not make the offsets wide.
    static constexpr std::size_t last_slot = style_cell_count - 1;
    static constexpr std::size_t offset_count = style_cell_count - 1;

    static constexpr std::size_t slot_of(StyleCell cell)
    {
        const auto index = static_cast<std::size_t>(cell);
        if (cell == StyleCell::StyleText) {
            return last_slot;
        }
        return index > static_cast<std::size_t>(StyleCell::StyleText) ? index - 1 : index;
    }
    // The cell in a slot, as an index of StyleTexts.
    static constexpr std::size_t cell_of(std::size_t slot)
    {
        constexpr auto style_text = static_cast<std::size_t>(StyleCell::StyleText);
        if (slot == last_slot) {
            return style_text;
        }
        return slot >= style_text ? slot + 1 : slot;
    }
    // Writes texts of the sizes the row's own have over them, when none of them is a view of
    // another place in the block; false, and nothing changes, otherwise.
    bool rewrite_in_place(
        const std::array<std::string_view, style_cell_count>& slots, std::size_t total, bool wide);
    std::size_t head_size() const { return m_wide ? offset_count * 4 : offset_count; }
    std::size_t end_of(std::size_t slot) const
    {
        if (!m_wide) {
            return static_cast<unsigned char>(m_block[slot]);
        }
        std::uint32_t end;
        std::memcpy(&end, m_block.get() + slot * 4, sizeof end);
        return end;
    }

    bool m_wide = false;
    /// Bytes of text, without the offsets.
    std::uint32_t m_size = 0;
    std::unique_ptr<char[]> m_block;
};

} // namespace tintwell
