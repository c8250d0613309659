// Randomness in the show's shaders must come out the same on every card:
// no GLSL file hashes through a sine (fract(sin(x) * 43758.5) depends on how
// the card rounds large sine arguments), and the per-point random values the
// grids carry instead are exact, repeatable and evenly spread. No GL.
#include "show/point_randoms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

std::string read_text(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The argument text of the call whose opening parenthesis is at `open`.
std::string call_argument(const std::string &text, std::size_t open)
{
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        depth += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
        if (depth == 0)
            return text.substr(open + 1, i - open - 1);
    }
    return text.substr(open + 1);
}

// Hash-like uses of a sine or cosine in GLSL text: fract() of anything that
// holds one, or one multiplied by a constant of 1000 or more.
std::vector<std::string> sine_hashes(const std::string &text)
{
    std::vector<std::string> found;
    const std::regex fract_call(R"(\bfract\s*\()");
    for (auto m = std::sregex_iterator(text.begin(), text.end(), fract_call); m != std::sregex_iterator();
         ++m) {
        const std::string argument = call_argument(text, m->position() + m->length() - 1);
        if (std::regex_search(argument, std::regex(R"(\b(sin|cos)\s*\()")))
            found.push_back("fract(" + argument + ")");
    }
    const std::regex trig_call(R"(\b(sin|cos)\s*\()");
    for (auto m = std::sregex_iterator(text.begin(), text.end(), trig_call); m != std::sregex_iterator();
         ++m) {
        const std::size_t open = m->position() + m->length() - 1;
        const std::string argument = call_argument(text, open);
        const std::string after = text.substr(open + argument.size() + 2, 40);
        std::smatch factor;
        if (std::regex_search(after, factor, std::regex(R"(^\s*\)?\s*\*\s*([0-9.]+))")) &&
            std::stod(factor[1]) >= 1000.0)
            found.push_back(m->str() + argument + ")" + after.substr(0, factor.length()));
    }
    return found;
}

} // namespace

TEST(ShaderHashes, the_scan_finds_the_sine_hash_in_its_usual_forms)
{
    EXPECT_EQ(sine_hashes("return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);").size(), 2u);
    EXPECT_EQ(sine_hashes("float h = sin(n) * 43758.5; h = fract(h);").size(), 1u);
    EXPECT_EQ(sine_hashes("x = fract(cos(dot(p, k)) * 1e4);").size(), 1u);
    EXPECT_TRUE(sine_hashes("z += 0.12 * sin(radius * 0.55 - t * 1.9) * exp(-radius);").empty());
    EXPECT_TRUE(sine_hashes("float lift = fract(r2 + rttime * 0.045);").empty());
}

TEST(ShaderHashes, no_show_shader_hashes_through_a_sine)
{
    int files = 0;
    for (const char *folder : {"Materials", "PostProcessing"}) {
        for (const auto &entry : fs::directory_iterator(fs::path(VELLAMOR_SOURCE_DIR) / "data" / folder)) {
            ++files;
            for (const std::string &use : sine_hashes(read_text(entry.path())))
                ADD_FAILURE() << entry.path().filename().string() << ": " << use;
        }
    }
    EXPECT_EQ(files, 22);
}

TEST(PointRandoms, exact_repeatable_values_in_the_unit_interval)
{
    for (int i : {0, 1, 255, 511}) {
        for (int j : {0, 7, 511}) {
            const auto r = point_randoms(i, j);
            EXPECT_EQ(r, point_randoms(i, j));
            for (float v : r) {
                EXPECT_GE(v, 0.0f);
                EXPECT_LT(v, 1.0f);
                // n / 2^24: survives a trip through any 32-bit float unchanged.
                const double scaled = static_cast<double>(v) * 16777216.0;
                EXPECT_EQ(scaled, std::floor(scaled));
            }
        }
    }
}

TEST(PointRandoms, evenly_spread_and_unrelated_across_the_grid_and_the_three_values)
{
    // Over the whole grid: each tenth of [0, 1) holds a tenth of the points,
    // the rare choices (one point in 30 becomes a spark) keep their share,
    // and neither neighbours nor the three values of a point go together.
    constexpr int n = 512;
    std::vector<int> tenths(10, 0);
    int below_0035 = 0;
    double sum_12 = 0, sum_13 = 0, sum_neighbours = 0, sum_1 = 0, sum_sq_1 = 0;
    int equal_neighbours = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const auto r = point_randoms(i, j);
            const auto next = point_randoms(i, (j + 1) % n);
            ++tenths[static_cast<int>(r[0] * 10.0f)];
            below_0035 += r[0] < 0.035f;
            sum_1 += r[0];
            sum_sq_1 += r[0] * r[0];
            sum_12 += r[0] * r[1];
            sum_13 += r[0] * r[2];
            sum_neighbours += r[0] * next[0];
            equal_neighbours += r[0] == next[0];
        }
    }
    const double count = n * n;
    for (int k = 0; k < 10; ++k)
        EXPECT_NEAR(tenths[k] / count, 0.1, 0.004) << "tenth " << k;
    EXPECT_NEAR(below_0035 / count, 0.035, 0.002);
    const double mean = sum_1 / count;
    const double variance = sum_sq_1 / count - mean * mean;
    EXPECT_NEAR(mean, 0.5, 0.005);
    for (double product : {sum_12, sum_13, sum_neighbours})
        EXPECT_NEAR((product / count - 0.25) / variance, 0.0, 0.02);
    EXPECT_LT(equal_neighbours, 4);
}
