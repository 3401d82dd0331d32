#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Literal text rules shared by every reader and writer. Texts are single-byte: one byte is one
// character. Positions are 1-based; 0 means "not found". No function reads out of range or
// throws: positions and lengths past either end are clamped.
namespace tintwell::text {

inline constexpr std::string_view crlf = "\r\n";
inline constexpr char quote = '"';

/// 0-based position of the first `needle` in `hay` at or after `pos`, npos when absent: the
/// result of std::string_view::find, found faster in long texts. Every search here uses it.
std::size_t find_literal(std::string_view hay, std::string_view needle, std::size_t pos = 0);

/// Where the first of the two bytes is in the text from `pos` on, or npos.
std::size_t find_either(std::string_view text, char a, char b, std::size_t pos = 0);

/// How many times the byte occurs in the text.
std::size_t count_byte(std::string_view text, char byte);

/// 1-based position of the first `needle` in `hay` at or after `start`, 0 when absent.
/// An empty needle is found at `start` (when `start` lies within hay or just past its end).
std::size_t instr(std::string_view hay, std::string_view needle, std::size_t start = 1);

/// Where `needle`, in small letters and not empty, first stands in `hay` at or after `pos`, the
/// letters A-Z of `hay` read as small ones; npos when it does not.
std::size_t find_folded(std::string_view hay, std::string_view needle, std::size_t pos = 0);

/// True when `hay` contains `needle`; an empty needle is found in any text.
bool contains(std::string_view hay, std::string_view needle);

/// Substring from the 1-based `start` to the end. A start of 0 counts as 1.
std::string mid(std::string_view s, std::size_t start);

/// Substring of at most `length` characters from the 1-based `start`.
std::string mid(std::string_view s, std::size_t start, std::size_t length);

/// The first `n` characters (all of them when shorter).
std::string left(std::string_view s, std::size_t n);

/// The last `n` characters (all of them when shorter).
std::string right(std::string_view s, std::size_t n);

/// One left-to-right pass replacing each non-overlapping `find` by `with`; the output of a
/// replacement is not searched again. An empty `find` leaves the text unchanged.
std::string replace(std::string_view s, std::string_view find, std::string_view with);

/// Removes every occurrence of `find` in one pass.
inline std::string remove(std::string_view s, std::string_view find) { return replace(s, find, ""); }

/// The same pass as `replace`, done on `s` itself. A text without `find` is not touched at all,
/// and a replacement no longer than `find` needs no new storage. True when `find` occurred.
bool replace_in(std::string& s, std::string_view find, std::string_view with);

enum class LetterCase { Keep, Upper, Lower };

/// The spacing every theme text is read with, done in one pass on the text itself: a run of
/// blanks and TABs directly before or after "=" disappears, every other TAB is removed, and any
/// run of blanks left becomes one blank. (Halving runs, as one pass of "  " -> " " would, left
/// runs that the next read halved again, so a saved theme changed with every save.) The same
/// pass can fold the text's letters as `upper_in` or `lower_in` do.
void fold_spacing(std::string& s, LetterCase fold = LetterCase::Keep);

/// Replacing "  " by " ", then "> " by ">", then ">  " by ">", each in one pass, done in one
/// pass on the bytes themselves. Returns the new length; the bytes after it are left over.
std::size_t fold_tag_spacing(std::span<char> s);

/// The text cut before the first of any of the `stops` characters (all of it when none occurs).
/// Inline, as it is mostly asked of a few characters with the same few stops.
inline std::string_view before_any(std::string_view s, std::string_view stops)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        for (const char stop : stops) {
            if (s[i] == stop) {
                return s.substr(0, i);
            }
        }
    }
    return s;
}

/// Removes every occurrence of `find` in one left-to-right pass, on the text itself: the same as
/// `replace_in` with an empty replacement. True when `find` occurred.
bool remove_in(std::string& s, std::string_view find);

/// Pieces between the separators; n separators give n + 1 pieces (empty ones kept).
std::vector<std::string> split(std::string_view s, std::string_view sep);

/// The pieces of `split` as views into `s`, which must outlive them.
std::vector<std::string_view> split_views(std::string_view s, std::string_view sep);

/// Removes blanks (character 32 only) from both ends.
std::string trim(std::string_view s);
std::string_view trim_view(std::string_view s);

/// Plain A-Z upper-casing; every other byte is kept.
std::string upper(std::string_view s);

/// Plain A-Z lower-casing; every other byte is kept.
std::string lower(std::string_view s);

/// `upper` and `lower` done on the text itself.
void upper_in(std::span<char> s);
void lower_in(std::span<char> s);
inline void upper_in(std::string& s)
{
    upper_in(std::span<char>(s));
}
inline void lower_in(std::string& s)
{
    lower_in(std::span<char>(s));
}

/// Numeric value of the decimal number at the start of the text: leading blanks skipped, an
/// optional sign, digits with an optional point (".3" is 0.3) and an optional exponent. 0 when
/// the text does not start with a number.
double val(std::string_view s);

/// The text cut before the first occurrence of `stop` (all of it when absent).
std::string before(std::string_view s, std::string_view stop);

/// Latin-1 bytes as UTF-8, for showing single-byte text in Unicode surroundings.
std::string latin1_to_utf8(std::string_view s);

} // namespace tintwell::text
