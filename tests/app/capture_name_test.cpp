#include "app/dev_mode.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

TEST(CaptureName, names_sort_in_show_order_and_never_replace_an_earlier_capture)
{
    const auto none = [](const std::string &) { return false; };
    EXPECT_EQ(capture_file_name(61.17, none), "scene-061.170.png");
    EXPECT_EQ(capture_file_name(0.0, none), "scene-000.000.png");
    EXPECT_EQ(capture_file_name(238.4, none), "scene-238.400.png");
    EXPECT_LT(capture_file_name(9.5, none), capture_file_name(10.0, none));

    std::set<std::string> taken{"scene-061.170.png", "scene-061.170-2.png"};
    EXPECT_EQ(capture_file_name(61.17, [&](const std::string &n) { return taken.count(n) > 0; }),
              "scene-061.170-3.png");

    // A time that is not a number cannot put odd text into a file name.
    EXPECT_EQ(capture_file_name(std::numeric_limits<double>::quiet_NaN(), none), "scene-000.000.png");
}
