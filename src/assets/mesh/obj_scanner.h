// ObjScanner: C formatted-input conversions ("%255s", "%f", "%d", a literal
// character, fgets into 256 bytes) over a text held in memory, behaving like
// the C library's stream conversions on the same bytes: what each accepts,
// where each stops, what a failed conversion leaves consumed, and what it
// returns (1 converted, 0 matching failure, -1 end of input before anything
// was converted). The OBJ loader reads whole files through it instead of
// calling scanf per token, which is what makes loading fast.
// Depends on: the standard library (strtof for the rare hard numbers).
// Limits: C locale only ('.' as decimal point, no digit grouping).
//   "%d" values outside 32 bits are reported as out of range rather than
//   wrapped as the C library does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace obj_scan
{

// Whitespace as isspace() in the C locale.
inline bool is_space(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool is_digit(unsigned char c)
{
    return static_cast<unsigned>(c - '0') < 10u;
}

// The longest token "%255s" reads; the loader's buffers hold 256 bytes.
inline constexpr std::size_t max_token = 255;
// The most characters fgets(buffer, 256, f) consumes.
inline constexpr std::size_t max_line = 255;

// Converts the characters a "%f" conversion consumed (validated by the
// scanner) to the float the C library would store. Exposed for tests.
float convert_float(const char *begin, const char *end);

class ObjScanner
{
  public:
    ObjScanner(const char *begin, const char *end) : p_(begin), end_(end) {}
    explicit ObjScanner(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool at_end() const { return p_ >= end_; }
    const char *position() const { return p_; }
    // Moves to a place inside the text (one that an earlier read reached).
    void set_position(const char *p) { p_ = p; }

    void skip_space()
    {
        while (p_ < end_ && is_space(static_cast<unsigned char>(*p_)))
            ++p_;
    }

    // "%255s": 1 with the token, or -1 at the end of the input.
    int read_token(std::string_view &token)
    {
        skip_space();
        if (p_ >= end_)
            return -1;
        const char *start = p_;
        const char *limit = (end_ - p_ > static_cast<std::ptrdiff_t>(max_token)) ? p_ + max_token : end_;
        while (p_ < limit && !is_space(static_cast<unsigned char>(*p_)))
            ++p_;
        token = std::string_view(start, static_cast<std::size_t>(p_ - start));
        return 1;
    }

    // fgets into 256 bytes: up to and including the next '\n', at most 255
    // characters. Returns what was consumed (empty at the end of the input).
    std::string_view read_line()
    {
        const char *start = p_;
        const std::size_t room = static_cast<std::size_t>(end_ - p_);
        const std::size_t n = room < max_line ? room : max_line;
        const void *nl = n ? std::memchr(p_, '\n', n) : nullptr;
        p_ = nl ? static_cast<const char *>(nl) + 1 : p_ + n;
        return std::string_view(start, static_cast<std::size_t>(p_ - start));
    }

    // A literal character of a format: 1 matched and consumed, 0 another
    // character (left in place), -1 end of input.
    int match(char c)
    {
        if (p_ >= end_)
            return -1;
        if (*p_ != c)
            return 0;
        ++p_;
        return 1;
    }

    // "%d". in_range is false when the number does not fit 32 bits.
    int read_int(std::int32_t &value, bool &in_range)
    {
        skip_space();
        if (p_ >= end_)
            return -1;
        if (read_short_int(value)) {
            in_range = true;
            return 1;
        }
        return read_long_int(value, in_range);
    }

    // "%f".
    int read_float(float &value)
    {
        skip_space();
        if (p_ >= end_)
            return -1;
        if (read_plain_decimal(value))
            return 1;
        return read_other_float(value);
    }

  private:
    // "%d" after the white space, for what read_short_int() does not take.
    int read_long_int(std::int32_t &value, bool &in_range);

    // The common index: an optional '-' and one to nine digits followed by
    // something else. Such a number always fits 32 bits; anything else
    // takes read_long_int().
    bool read_short_int(std::int32_t &value)
    {
        const char *q = p_;
        const bool negative = *q == '-';
        q += negative;
        if (q >= end_)
            return false;
        unsigned d = static_cast<unsigned char>(*q) - static_cast<unsigned>('0');
        if (d >= 10)
            return false;
        std::uint32_t v = d;
        ++q;
        const char *stop = end_ - q > 8 ? q + 8 : end_;
        while (q < stop && (d = static_cast<unsigned char>(*q) - static_cast<unsigned>('0')) < 10) {
            v = v * 10 + d;
            ++q;
        }
        if (q < end_ && is_digit(static_cast<unsigned char>(*q)))
            return false;
        value = negative ? -static_cast<std::int32_t>(v) : static_cast<std::int32_t>(v);
        p_ = q;
        return true;
    }
    bool read_plain_decimal(float &value);
    int read_other_float(float &value);

    const char *p_;
    const char *end_;
};

} // namespace obj_scan
