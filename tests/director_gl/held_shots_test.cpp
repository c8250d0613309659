// The two shots where the camera holds keep the picture moving: the crane
// shot over the main groove changes at a coarse scale within 4 s, and the
// wide orbit before the insect is lit, not a dim speck. Small frames
// (160 x 90), a few of them.
#include "app/still.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace
{

constexpr int width = 160;
constexpr int height = 90;

double mean(const std::vector<std::uint8_t> &rgb)
{
    double sum = 0;
    for (std::uint8_t v : rgb)
        sum += v;
    return sum / static_cast<double>(rgb.size());
}

// Both frames averaged over 5 x 5 pixel cells (32 x 18 of them); the mean
// absolute difference of the cells over the frames' mean brightness.
double coarse_change(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b)
{
    double diff = 0;
    for (int cy = 0; cy < 18; ++cy) {
        for (int cx = 0; cx < 32; ++cx) {
            for (int k = 0; k < 3; ++k) {
                double sa = 0, sb = 0;
                for (int y = cy * 5; y < cy * 5 + 5; ++y)
                    for (int x = cx * 5; x < cx * 5 + 5; ++x) {
                        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3 + k;
                        sa += a[i];
                        sb += b[i];
                    }
                diff += std::fabs(sa - sb) / 25.0;
            }
        }
    }
    return diff / (32.0 * 18.0 * 3.0) / (0.5 * (mean(a) + mean(b)));
}

using HeldShots = WholeShowTest;

} // namespace

TEST_F(HeldShots, the_crane_shot_changes_within_four_seconds_and_the_wide_orbit_is_lit)
{
    ASSERT_TRUE(run_offline_show(width, height, [](OfflineShow &show) {
        // Before the theme, across it, and late in the groove.
        for (double t : {54.0, 62.0, 75.0}) {
            show.draw_at(t - 4.0);
            const auto before = show.read_frame();
            show.draw_at(t);
            EXPECT_GE(coarse_change(before, show.read_frame()), 0.10) << "scene time " << t;
        }
        for (double t : {145.0, 152.0}) {
            show.draw_at(t);
            EXPECT_GE(mean(show.read_frame()), 5.0) << "scene time " << t;
        }
    }));
}
