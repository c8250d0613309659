#include "shell/capture_text.h"

#include <gtest/gtest.h>

TEST(CaptureText, the_documented_example_byte_for_byte)
{
    const double adjust[3] = {0, 0, 0};
    const double point[3] = {1.5, 2, -3};
    const float eye[3] = {14, 0, 18};
    EXPECT_EQ(capture_lines(adjust, point, eye),
              "Cam :0.,0.,0.  \nPnt :1.5,2.,-3.  \n \nMCr :14.,0.,18.  \n \n");
}

TEST(CaptureNumber, fixed_between_a_tenth_and_a_million)
{
    EXPECT_EQ(format_capture_number(2.0), "2.");
    EXPECT_EQ(format_capture_number(0.0), "0.");
    EXPECT_EQ(format_capture_number(-0.25), "-0.25");
    EXPECT_EQ(format_capture_number(0.1), "0.1");
    EXPECT_EQ(format_capture_number(0.123456789), "0.123457");
    EXPECT_EQ(format_capture_number(3.14159265), "3.14159");
    EXPECT_EQ(format_capture_number(123456.4), "123456.");
    EXPECT_EQ(format_capture_number(static_cast<float>(0.1)), "0.1");
}

TEST(CaptureNumber, exponent_form_outside_with_three_digits)
{
    EXPECT_EQ(format_capture_number(0.05), "5.e-002");
    EXPECT_EQ(format_capture_number(-0.0123456789), "-1.23457e-002");
    EXPECT_EQ(format_capture_number(1000000.0), "1.e+006");
    EXPECT_EQ(format_capture_number(1.5e-120), "1.5e-120");
}

TEST(CaptureNumber, rounding_decides_the_form)
{
    // 999999.7 rounds to 1.00000e+06 at six digits: exponent form.
    EXPECT_EQ(format_capture_number(999999.7), "1.e+006");
    // 0.09999999 rounds up to 0.1: fixed form.
    EXPECT_EQ(format_capture_number(0.09999999), "0.1");
    EXPECT_EQ(format_capture_number(9.9999996), "10.");
}
