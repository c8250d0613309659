// The scanner must behave like the C library's stream conversions on the same
// bytes: each case runs both on one text and compares the result, the value
// bit for bit, and how much was consumed.
#include "assets/mesh/obj_scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using obj_scan::ObjScanner;

namespace
{

struct Outcome {
    int result = 0;
    std::uint32_t bits = 0; // float bits or int value
    long consumed = 0;
};

Outcome libc_float(const std::string &text)
{
    Outcome o;
    if (text.empty())
        return {-1, 0, 0}; // fmemopen refuses empty buffers
    FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    float v = -7.0f;
    o.result = std::fscanf(f, "%f", &v);
    std::memcpy(&o.bits, &v, 4);
    o.consumed = std::ftell(f);
    std::fclose(f);
    return o;
}

Outcome ours_float(const std::string &text)
{
    Outcome o;
    ObjScanner s(text);
    float v = -7.0f;
    o.result = s.read_float(v);
    std::memcpy(&o.bits, &v, 4);
    o.consumed = s.position() - text.data();
    return o;
}

Outcome libc_int(const std::string &text)
{
    Outcome o;
    if (text.empty())
        return {-1, 0, 0};
    FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    int v = -7;
    o.result = std::fscanf(f, "%d", &v);
    o.bits = static_cast<std::uint32_t>(v);
    o.consumed = std::ftell(f);
    std::fclose(f);
    return o;
}

void expect_same_float(const std::string &text)
{
    const Outcome a = libc_float(text), b = ours_float(text);
    EXPECT_EQ(a.result, b.result) << "[" << text << "]";
    EXPECT_EQ(a.consumed, b.consumed) << "[" << text << "]";
    if (a.result == 1) {
        EXPECT_EQ(a.bits, b.bits) << "[" << text << "]";
    }
}

} // namespace

TEST(ObjScanner, float_extent_and_value_match_the_c_library)
{
    const char *cases[] = {
        "1e-3",
        "-.5",
        "inf",
        "nan",
        "-inf",
        "+nan",
        "INF",
        "NaN",
        "infinity",
        "-Infinity",
        "infinit ",
        "infx",
        "in x",
        "i x",
        "nax",
        "n",
        "nan(12)",
        "1e x",
        "1e+ x",
        "1e+5x",
        "1ex",
        ". x",
        "-x",
        "+.x",
        "-.",
        "+",
        "-",
        "- 5",
        "e5",
        ".e5",
        "1e5.5",
        "0.5e",
        "00012",
        "1.",
        "1.5.3",
        "1,5",
        "1/2",
        "  \n\t\v\f\r 3.25",
        "   ",
        "0x1p3",
        "0x",
        "0x.",
        "0x1.8",
        "0xg",
        "-0x1p-2",
        "0X1P3",
        "0x1p",
        "0x1p+",
        "0x.p1",
        "0x.8p1",
        "0xe",
        "1e99999999999",
        "1e-99999",
        "3.4028235e38",
        "3.4028236e38",
        "3.40282357e38",
        "1e-45",
        "7e-46",
        "1.4e-45",
        "1.17549435e-38",
        "-0",
        "-0.0",
        "0.0",
        "0e5",
        "0.000000000000000000000000000000000001",
        "123456789012345678901234567890",
        "0.1",
        "0.2",
        "0.3",
        "16777217",
        "16777216.5",
        "9007199254740993",
        "1.00000005960464477539",
        "1.000000059604644775390625",
        "1.0000000596046447753906250001",
        "2.5e-10",
        "8.589973e9",
        "1/2/3",
        "12//4",
    };
    for (const char *c : cases)
        expect_same_float(c);
}

TEST(ObjScanner, random_decimals_round_like_the_c_library)
{
    // Typical exporter output and long, exponent-heavy and near-halfway forms.
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> digit(0, 9), len(1, 22), exp(-45, 40), shape(0, 5);
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        if (rng() & 1)
            t += '-';
        const int n = len(rng);
        const int point = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
        for (int k = 0; k < n; ++k) {
            if (k == point)
                t += '.';
            t += static_cast<char>('0' + digit(rng));
        }
        if (shape(rng) == 0)
            t += "e" + std::to_string(exp(rng));
        const Outcome a = libc_float(t), b = ours_float(t);
        ASSERT_EQ(a.result, b.result) << t;
        ASSERT_EQ(a.consumed, b.consumed) << t;
        ASSERT_EQ(a.bits, b.bits) << t;
    }
    // Every float printed with 9 significant digits reads back to itself.
    std::uniform_int_distribution<std::uint32_t> bits(0, 0x7F7FFFFFu);
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t u = bits(rng);
        float f;
        std::memcpy(&f, &u, 4);
        char buf[64];
        std::snprintf(buf, sizeof buf, (i & 1) ? "%.9g" : "%.8f", static_cast<double>(f));
        const Outcome a = libc_float(buf), b = ours_float(buf);
        ASSERT_EQ(a.bits, b.bits) << buf;
    }
}

TEST(ObjScanner, int_extent_and_result_match_the_c_library)
{
    const char *cases[] = {"-x",     "+x",  "+",          "-",           "12a", "0012", "0x10", "-0",
                           "  \n 5", "   ", "2147483647", "-2147483648", "1/2", "//3",  "x"};
    for (const char *c : cases) {
        const std::string text = c;
        const Outcome a = libc_int(text);
        ObjScanner s(text);
        std::int32_t v = -7;
        bool in_range = false;
        const int r = s.read_int(v, in_range);
        EXPECT_EQ(a.result, r) << text;
        EXPECT_EQ(a.consumed, s.position() - text.data()) << text;
        if (r == 1) {
            EXPECT_TRUE(in_range) << text;
            EXPECT_EQ(static_cast<std::int32_t>(a.bits), v) << text;
        }
    }
    // Beyond 32 bits: consumed like the C library, but flagged instead of wrapped.
    for (const char *c : {"2147483648", "99999999999999999999", "-2147483649"}) {
        const std::string text = c;
        ObjScanner s(text);
        std::int32_t v = 0;
        bool in_range = true;
        EXPECT_EQ(1, s.read_int(v, in_range));
        EXPECT_FALSE(in_range) << text;
        EXPECT_EQ(libc_int(text).consumed, s.position() - text.data());
    }
}

TEST(ObjScanner, random_ints_read_like_the_c_library)
{
    // Face numbers of one to twelve digits (the short path takes up to nine),
    // with signs and leading zeros, followed by a separator, a digit-free
    // tail or the end of the input.
    std::mt19937 rng(2024);
    const char *tails[] = {"", "/", " ", "//7", "\n", "x", ".5", "e3"};
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const unsigned sign = rng() % 4;
        if (sign == 1)
            t += '-';
        else if (sign == 2)
            t += '+';
        const int digits = 1 + static_cast<int>(rng() % 12);
        for (int k = 0; k < digits; ++k)
            t += static_cast<char>('0' + (k == 0 && rng() % 4 == 0 ? 0 : rng() % 10));
        t += tails[rng() % (sizeof tails / sizeof tails[0])];
        const Outcome a = libc_int(t);
        ObjScanner s(t);
        std::int32_t v = -7;
        bool in_range = false;
        const int r = s.read_int(v, in_range);
        ASSERT_EQ(a.result, r) << t;
        ASSERT_EQ(a.consumed, s.position() - t.data()) << t;
        if (r == 1 && in_range) {
            ASSERT_EQ(static_cast<std::int32_t>(a.bits), v) << t;
        }
    }
}

TEST(ObjScanner, tokens_and_lines_stop_at_255_bytes)
{
    const std::string long_token(300, 'a');
    const std::string text = "  " + long_token + " b";
    ObjScanner s(text);
    std::string_view t;
    ASSERT_EQ(1, s.read_token(t));
    EXPECT_EQ(255u, t.size());
    ASSERT_EQ(1, s.read_token(t));
    EXPECT_EQ(std::string(45, 'a'), std::string(t));
    ASSERT_EQ(1, s.read_token(t));
    EXPECT_EQ("b", std::string(t));
    EXPECT_EQ(-1, s.read_token(t));

    // fgets(buffer, 256): at most 255 characters, the newline included.
    const std::string line = std::string(254, 'x') + "\nnext";
    ObjScanner l(line);
    EXPECT_EQ(255u, l.read_line().size());
    EXPECT_EQ("next", std::string(l.read_line()));
    const std::string longer = std::string(300, 'y') + "\n";
    ObjScanner m(longer);
    EXPECT_EQ(255u, m.read_line().size());
    EXPECT_EQ(46u, m.read_line().size());
    EXPECT_TRUE(m.read_line().empty());
}
