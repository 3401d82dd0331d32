#pragma once

#include "model/document.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tintwell {

/// The largest theme file that is read: 256 MB of 2^20 bytes.
inline constexpr std::uintmax_t largest_theme_bytes = std::uintmax_t { 256 } << 20;

/// "FILE is N MB; themes larger than 256 MB are not read" for a regular file larger than
/// largest_theme_bytes, N in MB of 2^20 bytes rounded up (so a refused file is never said to be
/// 256 MB); nothing for any other path, one whose size cannot be known included. Only the size
/// is looked at: nothing is opened or read.
std::optional<std::string> oversized_theme(const std::string& path);

/// Reads the whole file as single-byte text and sets the document's file name. An empty path or
/// one that names no existing file gives an empty text without a message; a failing read shows
/// the system's error text and returns what was read. When memory runs out, std::bad_alloc
/// leaves it with the document's file name as it was.
std::string loadbinary2(Document& doc, const std::string& path);

/// Recognises a theme text, reads its metadata and fills the style table of either kind.
/// Returns false when the text was rejected (the table then keeps its previous rows). When memory
/// runs out, std::bad_alloc leaves it with the document as it was.
bool parse(Document& doc, std::string text);

/// Looks at the bytes of a file, as they are in the file (for what the reader passes over), as a
/// theme of the given kind. It may be called a second time for one file, with the kind the file
/// turned out to have: the last call counts, and none counts when the file is not taken as a
/// theme.
using ReadBytes = std::function<void(std::string_view bytes, ThemeKind kind)>;

/// Told now and then while a file is read how far reading has come, a fraction from 0 to 1 that
/// never goes back; answering false stops reading.
using ReadProgress = std::function<bool(double fraction)>;

/// Reads a theme text as parse does, every style with its messages and the same answer, but
/// keeps no style table: the document is left with no rows.
bool check_text(Document& doc, std::string text);

/// File, Open without the dialog: empties the presentation list and the title, loads and parses.
/// A file that exists but cannot be read whole is not parsed: the system's reason is the only
/// message and the answer is false. A file larger than largest_theme_bytes is refused with the
/// oversized_theme message before anything is read or changed. `read_bytes` (if set) is given
/// the file's bytes (see ReadBytes). `progress` (if set) is told how far reading has come every
/// few thousand styles and between the passes over the whole text; when it answers false,
/// reading stops: the answer is false, there is no message and the document is left as it was (the window, told of presentations and
/// metadata on the way, puts its own back as for a rejected file). Once every style is read it
/// is told 1 and asked for the last time, before the document takes the new rows.
bool open_theme(Document& doc, const std::string& path, const ReadBytes& read_bytes = {},
    const ReadProgress& progress = {});

/// Reads the file as open_theme does, every style with its messages and the same answer, but
/// keeps no style table: the document is left with no rows. For commands that only report.
bool check_theme(Document& doc, const std::string& path, const ReadBytes& read_bytes = {});

/// Reads title, description, locale and version into the document's metadata.
void get_meta(Document& doc, std::string_view text);

/// Upper-cased content of the first element named `tag`: the text between the ">" that ends its
/// opening tag and the "</" of its closing tag. Without a complete element, the text after the
/// first `tag` up to its next occurrence, without "<", ">" and "/".
std::string get_bit(std::string_view text, std::string_view tag);

/// The field name: the text between the first two double quotes before the first ">".
/// Shows "Can't find type!" when there is no complete quoted name.
std::string get_type(Document& doc, std::string_view style_text);

/// The text before the first ">" (empty when there is none).
std::string get_block(std::string_view text);

/// Presentation index of the name times 10, plus 1 when the border text is not empty.
std::int16_t get_pcode(std::string_view pres_name, std::string_view border);

/// The Sport & Fitness reader; called by parse.
void parse_nwf(Document& doc, const std::string& text);

/// The text after the first "=" (empty when there is none).
std::string get_width(std::string_view text);

/// The text unchanged; names the two transparency digits of a secondary colour.
inline std::string get_border(std::string_view text)
{
    return std::string(text);
}

} // namespace tintwell
