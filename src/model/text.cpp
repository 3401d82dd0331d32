#include "model/text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tintwell::text {

std::size_t find_literal(std::string_view hay, std::string_view needle, std::size_t pos)
{
    const std::size_t k = needle.size();
    if (k == 0 || hay.size() < k || pos > hay.size() - k) {
        return hay.find(needle, pos);
    }
    const char* const data = hay.data();
    if (k == 1) {
        const void* hit = std::memchr(data + pos, needle.front(), hay.size() - pos);
        return hit == nullptr ? std::string_view::npos
                              : static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    }
    // Candidate starts are pos .. end - 1. A start counts only when the needle's first and last
    // bytes both match, which a theme's frequent blanks and "<" rarely do together; only then
    // are the bytes between compared.
    const std::size_t end = hay.size() - k + 1;
    const auto middle_matches = [&](std::size_t at) {
        for (std::size_t j = 1; j + 1 < k; ++j) {
            if (data[at + j] != needle[j]) {
                return false;
            }
        }
        return true;
    };
    std::size_t i = pos;
#if defined(__SSE2__)
    if (end - pos >= 16) {
        const __m128i first = _mm_set1_epi8(needle.front());
        const __m128i last = _mm_set1_epi8(needle.back());
        // Bit n set: start at + n has the first and last byte.
        const auto candidates = [&](std::size_t at) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + k - 1));
            return static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        };
        for (; i + 16 <= end; i += 16) {
            for (unsigned mask = candidates(i); mask != 0; mask &= mask - 1) {
                const auto at = i + static_cast<std::size_t>(__builtin_ctz(mask));
                if (middle_matches(at)) {
                    return at;
                }
            }
        }
        if (i < end) {
            // The last sixteen starts, less those already looked at.
            const std::size_t block = end - 16;
            for (unsigned mask = candidates(block) & (0xFFFFu << (i - block)); mask != 0;
                 mask &= mask - 1) {
                const auto at = block + static_cast<std::size_t>(__builtin_ctz(mask));
                if (middle_matches(at)) {
                    return at;
                }
            }
        }
        return std::string_view::npos;
    }
#else
    if (end - pos >= 16) {
        return hay.find(needle, pos);
    }
#endif
    for (; i < end; ++i) {
        if (data[i] == needle.front() && data[i + k - 1] == needle.back() && middle_matches(i)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t instr(std::string_view hay, std::string_view needle, std::size_t start)
{
    if (start == 0) {
        start = 1;
    }
    if (start > hay.size() + 1) {
        return 0;
    }
    const auto found = find_literal(hay, needle, start - 1);
    return found == std::string_view::npos ? 0 : found + 1;
}

bool contains(std::string_view hay, std::string_view needle)
{
    return find_literal(hay, needle) != std::string_view::npos;
}

std::string mid(std::string_view s, std::size_t start)
{
    if (start == 0) {
        start = 1;
    }
    if (start > s.size()) {
        return {};
    }
    return std::string(s.substr(start - 1));
}

std::string mid(std::string_view s, std::size_t start, std::size_t length)
{
    if (start == 0) {
        start = 1;
    }
    if (start > s.size()) {
        return {};
    }
    return std::string(s.substr(start - 1, length));
}

std::string left(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

std::string right(std::string_view s, std::size_t n)
{
    return n >= s.size() ? std::string(s) : std::string(s.substr(s.size() - n));
}

std::string replace(std::string_view s, std::string_view find, std::string_view with)
{
    if (find.empty()) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (true) {
        const auto hit = find_literal(s, find, pos);
        if (hit == std::string_view::npos) {
            out.append(s.substr(pos));
            break;
        }
        out.append(s.substr(pos, hit - pos));
        out.append(with);
        pos = hit + find.size();
    }
    return out;
}

bool replace_in(std::string& s, std::string_view find, std::string_view with)
{
    if (find.empty()) {
        return false;
    }
    auto hit = find_literal(s, find);
    if (hit == std::string::npos) {
        return false;
    }
    const auto inside = [&s](std::string_view v) {
        const std::less_equal<const char*> le;
        return !v.empty() && le(s.data(), v.data()) && le(v.data(), s.data() + s.size());
    };
    if (with.size() > find.size() || inside(find) || inside(with)) {
        s = replace(s, find, with);
        return true;
    }
    // Compacting towards the front: every write lands before the read position, so what is still
    // searched is the original text and the pass stays a single left-to-right one.
    char* const data = s.data();
    std::size_t read = 0;
    std::size_t write = 0;
    while (hit != std::string::npos) {
        if (write != read) {
            std::memmove(data + write, data + read, hit - read);
        }
        write += hit - read;
        if (!with.empty()) {
            std::memcpy(data + write, with.data(), with.size());
            write += with.size();
        }
        read = hit + find.size();
        hit = find_literal(s, find, read);
    }
    std::memmove(data + write, data + read, s.size() - read);
    s.resize(write + s.size() - read);
    return true;
}

namespace {

template <LetterCase Fold> char fold_letter(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if constexpr (Fold == LetterCase::Upper) {
        return static_cast<char>(static_cast<unsigned char>(u - 'a') < 26 ? u - ('a' - 'A') : u);
    } else if constexpr (Fold == LetterCase::Lower) {
        return static_cast<char>(static_cast<unsigned char>(u - 'A') < 26 ? u + ('a' - 'A') : u);
    } else {
        return c;
    }
}

#if defined(__SSE2__)
template <LetterCase Fold> __m128i fold_letters(__m128i v)
{
    if constexpr (Fold == LetterCase::Keep) {
        return v;
    } else {
        // Moves the letters to be changed to -128 .. -103, the only bytes below -102.
        constexpr char first = Fold == LetterCase::Upper ? 'a' : 'A';
        const __m128i shifted = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(128 - first)));
        const __m128i letters = _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-102)));
        const __m128i step = _mm_and_si128(letters, _mm_set1_epi8(0x20));
        return Fold == LetterCase::Upper ? _mm_sub_epi8(v, step) : _mm_add_epi8(v, step);
    }
}
#endif

// Compacts a text towards its front in one pass, folding the case of its letters on the way.
// Most bytes stay as they are; a byte for which the rules' `starts_run` holds begins a run that
// the rules' `take_run` rewrites (runs hold no letters). Every write lands before the read
// position, so the bytes still to be read, and the one just before them, are always the original
// ones but for their case. Blocks of sixteen bytes without such a start are copied whole.
template <class Rules, LetterCase Fold = LetterCase::Keep>
std::size_t compact(char* const data, const std::size_t n)
{
    std::size_t r = 0;
    std::size_t w = 0;
    const auto step = [&] {
        const char prev = r > 0 ? data[r - 1] : '\0';
        const char next = r + 1 < n ? data[r + 1] : '\0';
        if (Rules::starts_run(prev, data[r], next)) {
            Rules::take_run(data, n, r, w);
        } else {
            data[w++] = fold_letter<Fold>(data[r++]);
        }
    };
    if (n > 0) {
        step();
    }
#if defined(__SSE2__)
    while (r >= 1 && r + 17 <= n) {
        const auto load = [data](std::size_t at) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        };
        const __m128i cur = load(r);
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(Rules::starts_runs(load(r - 1), cur, load(r + 1))));
        if (mask == 0) {
            if (Fold != LetterCase::Keep || w != r) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(data + w), fold_letters<Fold>(cur));
            }
            r += 16;
            w += 16;
            continue;
        }
        const auto kept = static_cast<std::size_t>(__builtin_ctz(mask));
        if (Fold != LetterCase::Keep) {
            // Folding bytes not yet read changes nothing that decides a run, and folding twice
            // is folding once.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(data + r), fold_letters<Fold>(cur));
        }
        if (w != r) {
            std::memmove(data + w, data + r, kept);
        }
        r += kept;
        w += kept;
        Rules::take_run(data, n, r, w);
    }
#endif
    while (r < n) {
        step();
    }
    return w;
}

bool blank_or_tab(char c)
{
    return c == ' ' || c == '\t';
}

struct SpacingRules
{
    // A run of blanks and TABs needs work when it holds a TAB, more than one blank, or stands
    // beside "="; its first byte shows each of these.
    static bool starts_run(char prev, char c, char next)
    {
        return blank_or_tab(c) && (c == '\t' || prev == '=' || blank_or_tab(next) || next == '=');
    }
#if defined(__SSE2__)
    static __m128i starts_runs(__m128i prev, __m128i cur, __m128i next)
    {
        const __m128i blank = _mm_set1_epi8(' ');
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i equals = _mm_set1_epi8('=');
        const __m128i cur_tab = _mm_cmpeq_epi8(cur, tab);
        const __m128i cur_space = _mm_or_si128(_mm_cmpeq_epi8(cur, blank), cur_tab);
        const __m128i around =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(prev, equals), _mm_cmpeq_epi8(next, equals)),
                _mm_or_si128(_mm_cmpeq_epi8(next, blank), _mm_cmpeq_epi8(next, tab)));
        return _mm_and_si128(cur_space, _mm_or_si128(cur_tab, around));
    }
#endif
    static void take_run(char* data, std::size_t n, std::size_t& r, std::size_t& w)
    {
        const bool after_equals = r > 0 && data[r - 1] == '=';
        std::size_t blanks = 0;
        while (r < n && blank_or_tab(data[r])) {
            blanks += data[r] == ' ' ? 1 : 0;
            ++r;
        }
        if (after_equals || (r < n && data[r] == '=')) {
            return;
        }
        // Without its TABs the run is `blanks` blanks, which read as one.
        if (blanks > 0) {
            data[w++] = ' ';
        }
    }
};

struct TagSpacingRules
{
    static bool starts_run(char prev, char c, char next)
    {
        return c == ' ' && (prev == '>' || next == ' ');
    }
#if defined(__SSE2__)
    static __m128i starts_runs(__m128i prev, __m128i cur, __m128i next)
    {
        const __m128i blank = _mm_set1_epi8(' ');
        return _mm_and_si128(_mm_cmpeq_epi8(cur, blank),
            _mm_or_si128(_mm_cmpeq_epi8(prev, _mm_set1_epi8('>')), _mm_cmpeq_epi8(next, blank)));
    }
#endif
    static void take_run(char* data, std::size_t n, std::size_t& r, std::size_t& w)
    {
        const bool after_tag = r > 0 && data[r - 1] == '>';
        const std::size_t start = r;
        while (r < n && data[r] == ' ') {
            ++r;
        }
        // "  " -> " " halves the run, rounding up; after a ">", "> " -> ">" then takes one
        // blank and ">  " -> ">" two more when two are left.
        std::size_t kept = (r - start + 1) / 2;
        if (after_tag) {
            kept -= std::min<std::size_t>(kept, kept >= 3 ? 3 : 1);
        }
        std::memset(data + w, ' ', kept);
        w += kept;
    }
};

} // namespace

void fold_spacing(std::string& s, LetterCase fold)
{
    switch (fold) {
    case LetterCase::Keep:
        s.resize(compact<SpacingRules>(s.data(), s.size()));
        break;
    case LetterCase::Upper:
        s.resize(compact<SpacingRules, LetterCase::Upper>(s.data(), s.size()));
        break;
    case LetterCase::Lower:
        s.resize(compact<SpacingRules, LetterCase::Lower>(s.data(), s.size()));
        break;
    }
}

std::size_t fold_tag_spacing(std::span<char> s)
{
    return compact<TagSpacingRules>(s.data(), s.size());
}

bool remove_in(std::string& s, std::string_view find)
{
    const std::size_t k = find.size();
    if (k == 0) {
        return false;
    }
    auto hit = find_literal(s, find);
    if (hit == std::string::npos) {
        return false;
    }
    // Every write lands before `read`, so what is still searched is the original text.
    char* const data = s.data();
    std::size_t write = hit;
    std::size_t read = hit + k;
    while (true) {
        hit = find_literal(s, find, read);
        const std::size_t end = hit == std::string::npos ? s.size() : hit;
        std::memmove(data + write, data + read, end - read);
        write += end - read;
        if (hit == std::string::npos) {
            break;
        }
        read = hit + k;
    }
    s.resize(write);
    return true;
}

std::vector<std::string_view> split_views(std::string_view s, std::string_view sep)
{
    std::vector<std::string_view> pieces;
    if (sep.empty()) {
        pieces.push_back(s);
        return pieces;
    }
    std::size_t pos = 0;
    while (true) {
        const auto hit = find_literal(s, sep, pos);
        if (hit == std::string_view::npos) {
            pieces.push_back(s.substr(pos));
            break;
        }
        pieces.push_back(s.substr(pos, hit - pos));
        pos = hit + sep.size();
    }
    return pieces;
}

std::vector<std::string> split(std::string_view s, std::string_view sep)
{
    const std::vector<std::string_view> views = split_views(s, sep);
    return { views.begin(), views.end() };
}

std::string_view trim_view(std::string_view s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string trim(std::string_view s)
{
    return std::string(trim_view(s));
}

// Written without branches so the compiler can case-fold many bytes at a time.
void upper_in(std::span<char> s)
{
    for (char& c : s) {
        c = fold_letter<LetterCase::Upper>(c);
    }
}

void lower_in(std::span<char> s)
{
    for (char& c : s) {
        c = fold_letter<LetterCase::Lower>(c);
    }
}

std::string upper(std::string_view s)
{
    std::string out(s);
    upper_in(out);
    return out;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    lower_in(out);
    return out;
}

double val(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') {
        ++i;
    }
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number += s[i++];
    }
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent += s[j++];
        }
        bool exp_digits = false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9' && exponent.size() < 6) {
            exponent += s[j++];
            exp_digits = true;
        }
        if (exp_digits) {
            number += exponent;
        }
    }
    // from_chars ignores the C locale, so a German desktop still reads "1.5" as one and a half
    double value = 0.0;
    const char* first = number.data();
    if (*first == '+') {
        ++first;
    }
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

std::string before(std::string_view s, std::string_view stop)
{
    const auto hit = find_literal(s, stop);
    return std::string(hit == std::string_view::npos ? s : s.substr(0, hit));
}

std::string latin1_to_utf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::size_t find_folded(std::string_view hay, std::string_view needle, std::size_t pos)
{
    if (needle.empty() || needle.size() > hay.size()) {
        return std::string_view::npos;
    }
    const auto folded = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const char first = needle.front();
    const bool cased = first >= 'a' && first <= 'z';
    const std::size_t last_start = hay.size() - needle.size();
    for (std::size_t i = pos; i <= last_start; ++i) {
        if (!cased) {
            // A first character without case is found by the library's fast search.
            i = hay.find(first, i);
            if (i == std::string_view::npos || i > last_start) {
                return std::string_view::npos;
            }
        } else if (folded(hay[i]) != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < needle.size() && folded(hay[i + k]) == needle[k]) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t find_either(std::string_view text, char a, char b, std::size_t pos)
{
    std::size_t i = pos;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(block, second))));
        if (mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        }
    }
#endif
    for (; i < text.size(); ++i) {
        if (text[i] == a || text[i] == b) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t count_byte(std::string_view text, char byte)
{
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(byte);
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        count += static_cast<std::size_t>(__builtin_popcount(
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)))));
    }
#endif
    for (; i < text.size(); ++i) {
        count += text[i] == byte ? 1 : 0;
    }
    return count;
}

} // namespace tintwell::text
