#include "model/text.h"

#include <charconv>

namespace tintwell::text {

std::size_t instr(std::string_view hay, std::string_view needle, std::size_t start)
{
    if (start == 0) {
        start = 1;
    }
    if (start > hay.size() + 1) {
        return 0;
    }
    const auto found = hay.find(needle, start - 1);
    return found == std::string_view::npos ? 0 : found + 1;
}

bool contains(std::string_view hay, std::string_view needle)
{
    return hay.find(needle) != std::string_view::npos;
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
        const auto hit = s.find(find, pos);
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

std::vector<std::string> split(std::string_view s, std::string_view sep)
{
    std::vector<std::string> pieces;
    if (sep.empty()) {
        pieces.emplace_back(s);
        return pieces;
    }
    std::size_t pos = 0;
    while (true) {
        const auto hit = s.find(sep, pos);
        if (hit == std::string_view::npos) {
            pieces.emplace_back(s.substr(pos));
            break;
        }
        pieces.emplace_back(s.substr(pos, hit - pos));
        pos = hit + sep.size();
    }
    return pieces;
}

std::string trim(std::string_view s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
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
    const auto hit = s.find(stop);
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

} // namespace tintwell::text
