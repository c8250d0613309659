// "%f" for ObjScanner: the extent rules of the C library's float conversion
// (sign, "nan", "inf"/"infinity", decimal and hexadecimal forms, exponent
// without digits) and a correctly rounded value: exact fast paths for the
// short decimals that make up almost every mesh, strtof for the rest.
// Depends on: obj_scanner.h, the C library (strtof).
#include "assets/mesh/obj_scanner.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace obj_scan
{
namespace
{

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_hex_digit(unsigned char c)
{
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

float slow_convert(const char *begin, const char *end)
{
    const std::string text(begin, end);
    return std::strtof(text.c_str(), nullptr);
}

constexpr float pow10f[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr double pow10d[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The correctly rounded float of (-1)^negative x m x 10^exp10 when one exact
// operation gives it; false when strtof must decide.
inline bool fast_value(std::uint64_t m, int exp10, bool negative, float &out)
{
    if (m == 0) {
        out = negative ? -0.0f : 0.0f;
        return true;
    }
    // One correctly rounded float operation on exact operands.
    if (m <= (1u << 24) && exp10 >= -10 && exp10 <= 10) {
        const float f = static_cast<float>(m);
        const float r = exp10 >= 0 ? f * pow10f[exp10] : f / pow10f[-exp10];
        out = negative ? -r : r;
        return true;
    }
    // One correctly rounded double operation; rounding that double to float
    // is the correctly rounded float unless it sits exactly on a halfway
    // point between two floats (the low 29 bits of the double are 1000...0).
    if (m <= (1ull << 53) && exp10 >= -22 && exp10 <= 22) {
        const double d =
            exp10 >= 0 ? static_cast<double>(m) * pow10d[exp10] : static_cast<double>(m) / pow10d[-exp10];
        std::uint64_t bits = 0; // std::bit_cast is missing from the browser build's library
        std::memcpy(&bits, &d, sizeof bits);
        const std::uint64_t low = bits & ((1ull << 29) - 1);
        if (low != (1ull << 28)) {
            const float r = static_cast<float>(d);
            out = negative ? -r : r;
            return true;
        }
    }
    return false;
}

} // namespace

float convert_float(const char *begin, const char *end)
{
    const char *s = begin;
    bool negative = false;
    if (s < end && (*s == '-' || *s == '+'))
        negative = *s++ == '-';
    if (s + 1 < end && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        return slow_convert(begin, end);
    if (s < end && !is_digit(static_cast<unsigned char>(*s)) && *s != '.')
        return slow_convert(begin, end);

    std::uint64_t m = 0;
    int digits = 0;
    int exp10 = 0;
    bool inexact = false;
    auto take = [&](unsigned d, bool fraction) {
        if (m == 0 && d == 0) {
            if (fraction)
                --exp10;
        } else if (digits < 19) {
            m = m * 10 + d;
            ++digits;
            if (fraction)
                --exp10;
        } else {
            inexact = true;
        }
    };
    while (s < end && is_digit(static_cast<unsigned char>(*s)))
        take(static_cast<unsigned>(*s++ - '0'), false);
    if (s < end && *s == '.') {
        ++s;
        while (s < end && is_digit(static_cast<unsigned char>(*s)))
            take(static_cast<unsigned>(*s++ - '0'), true);
    }
    if (s < end && (*s == 'e' || *s == 'E')) {
        ++s;
        bool eneg = false;
        if (s < end && (*s == '-' || *s == '+'))
            eneg = *s++ == '-';
        int e = 0;
        while (s < end && is_digit(static_cast<unsigned char>(*s))) {
            if (e < 100000)
                e = e * 10 + (*s - '0');
            ++s;
        }
        exp10 += eneg ? -e : e;
    }
    float out;
    if (!inexact && fast_value(m, exp10, negative, out))
        return out;
    return slow_convert(begin, end);
}

bool ObjScanner::read_plain_decimal(float &value)
{
    // [sign] digits [. digits] ended by anything that cannot continue a
    // number: the form of nearly every value in a mesh, read in one sweep.
    // Leading zeros count towards the 19 digits here; a number with more
    // takes the general path.
    const char *q = p_;
    bool negative = false;
    if (*q == '-' || *q == '+')
        negative = *q++ == '-';
    std::uint64_t m = 0;
    const char *first = q;
    unsigned d;
    while (q < end_ && (d = static_cast<unsigned char>(*q) - static_cast<unsigned>('0')) < 10) {
        m = m * 10 + d;
        ++q;
    }
    std::ptrdiff_t digits = q - first;
    int exp10 = 0;
    if (q < end_ && *q == '.') {
        ++q;
        const char *fraction = q;
        while (q < end_ && (d = static_cast<unsigned char>(*q) - static_cast<unsigned>('0')) < 10) {
            m = m * 10 + d;
            ++q;
        }
        exp10 = -static_cast<int>(q - fraction);
        digits += q - fraction;
    }
    if (digits == 0 || digits > 19)
        return false;
    if (q < end_) {
        const char c = *q;
        if (c == 'e' || c == 'E' || c == '.' || c == 'x' || c == 'X')
            return false;
    }
    if (!fast_value(m, exp10, negative, value))
        return false;
    p_ = q;
    return true;
}

int ObjScanner::read_long_int(std::int32_t &value, bool &in_range)
{
    bool negative = false;
    if (*p_ == '-' || *p_ == '+') {
        negative = *p_ == '-';
        ++p_; // a sign stays consumed even when no digit follows
        if (p_ >= end_)
            return 0;
    }
    if (!is_digit(static_cast<unsigned char>(*p_)))
        return 0;
    while (p_ < end_ && *p_ == '0')
        ++p_; // leading zeros do not count
    const char *digits = p_;
    std::uint64_t v = 0;
    while (p_ < end_ && is_digit(static_cast<unsigned char>(*p_))) {
        if (p_ - digits < 11)
            v = v * 10 + static_cast<unsigned>(*p_ - '0');
        ++p_;
    }
    const bool big = p_ - digits > 10;
    const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    in_range = !big && v <= limit;
    value = in_range ? static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(v)
                                                          : static_cast<std::int64_t>(v))
                     : 0;
    return 1;
}

int ObjScanner::read_other_float(float &value)
{
    const char *start = p_;
    bool sign = false;
    if (*p_ == '-' || *p_ == '+') {
        sign = true;
        ++p_;
        if (p_ >= end_)
            return 0;
    }

    // The C library reads "nan" and "inf[inity]" letter by letter and keeps
    // a mismatching letter consumed.
    auto expect = [this](const char *word) {
        for (; *word; ++word) {
            if (p_ >= end_)
                return false;
            if (lower(*p_++) != *word)
                return false;
        }
        return true;
    };
    const char first = lower(*p_);
    if (first == 'n') {
        ++p_;
        if (!expect("an"))
            return 0;
        value = slow_convert(start, p_);
        return 1;
    }
    if (first == 'i') {
        ++p_;
        if (!expect("nf"))
            return 0;
        if (p_ < end_ && lower(*p_) == 'i') {
            ++p_;
            if (!expect("nity"))
                return 0;
        }
        value = slow_convert(start, p_);
        return 1;
    }

    bool hex = false, got_digit = false, got_dot = false, got_e = false;
    if (*p_ == '0') {
        ++p_;
        if (p_ < end_ && lower(*p_) == 'x') {
            hex = true;
            ++p_;
        } else {
            got_digit = true;
        }
    }
    const char exp_char = hex ? 'p' : 'e';
    while (p_ < end_) {
        const auto c = static_cast<unsigned char>(*p_);
        if (is_digit(c)) {
            got_digit = true;
        } else if (hex && !got_e && is_hex_digit(c)) {
            got_digit = true;
        } else if (got_e && lower(p_[-1]) == exp_char && (c == '-' || c == '+')) {
            // exponent sign, only right after the exponent letter
        } else if (got_digit && !got_e && lower(static_cast<char>(c)) == exp_char) {
            got_e = got_dot = true;
        } else if (!got_dot && c == '.') {
            got_dot = true;
        } else {
            break;
        }
        ++p_;
    }
    const std::ptrdiff_t size = p_ - start;
    if (size == (sign ? 1 : 0) || (hex && size == (sign ? 3 : 2)))
        return 0;
    if (!hex && !got_digit)
        return 0; // "." or "-.": nothing a number can be made of
    value = convert_float(start, p_);
    return 1;
}

} // namespace obj_scan
