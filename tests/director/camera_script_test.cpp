#include "show/camera_script.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
double length(const Vec3 &v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
double horizontal_radius(const Vec3 &v)
{
    return std::hypot(v.x, v.y);
}
} // namespace

TEST(CameraScript, row_takes_over_strictly_after_its_threshold)
{
    const Shot at21 = camera_for(21.0, 0.0);
    EXPECT_DOUBLE_EQ(at21.eye.y, 10.0);
    EXPECT_DOUBLE_EQ(at21.eye.z, 18.0);
    const Shot after = camera_for(21.0001, 0.0);
    EXPECT_NEAR(horizontal_radius(after.eye), 14.0, 1e-9);
    EXPECT_DOUBLE_EQ(after.eye.z, 10.0);

    for (double from :
         {21.0, 26.0, 31.0, 36.0, 41.0, 84.0, 103.3, 132.0, 141.6, 160.8, 170.5, 185.0, 194.5, 204.0}) {
        EXPECT_LT(camera_row_for(from), from);
        EXPECT_DOUBLE_EQ(camera_row_for(from + 1e-6), from);
    }
}

TEST(CameraScript, shots_match_the_scene_layout)
{
    // Opening: still, lifted by a2.
    EXPECT_DOUBLE_EQ(camera_for(3.0, 0.5).eye.z, 23.0);
    // Wide orbit of the build: radius 73.92 at height 44.
    const Shot wide = camera_for(150.0, 0.0);
    EXPECT_NEAR(horizontal_radius(wide.eye), 73.92, 1e-9);
    EXPECT_DOUBLE_EQ(wide.eye.z, 44.0);
    // Straight above, with an up vector that is not +z.
    const Shot above = camera_for(135.0, 0.0);
    EXPECT_DOUBLE_EQ(above.eye.z, 64.0);
    EXPECT_DOUBLE_EQ(above.up.x, 1.0);
    // Crane shot: rises from below and looks at (0, -15, 0).
    EXPECT_LT(camera_for(41.5, 0.0).eye.z, camera_for(80.0, 0.0).eye.z);
    EXPECT_DOUBLE_EQ(camera_for(60.0, 0.0).centre.y, -15.0);
    // Leaves, later part: the centre sinks from height 30 towards 0.
    EXPECT_GT(camera_for(194.6, 0.0).centre.z, camera_for(200.0, 0.0).centre.z);
    // Outro side view.
    EXPECT_DOUBLE_EQ(camera_for(210.0, 0.0).eye.x, 42.0);
}

TEST(CameraScript, every_shot_is_a_valid_look_at)
{
    // Eye and centre never coincide and up is never parallel to the view
    // direction: either would leave the look-at matrix singular.
    for (double t = 0.0; t < 251.0; t += 0.05) {
        const Shot s = camera_for(t, 0.0);
        const Vec3 d{s.centre.x - s.eye.x, s.centre.y - s.eye.y, s.centre.z - s.eye.z};
        ASSERT_GT(length(d), 1.0) << t;
        const Vec3 c{d.y * s.up.z - d.z * s.up.y, d.z * s.up.x - d.x * s.up.z, d.x * s.up.y - d.y * s.up.x};
        ASSERT_GT(length(c) / (length(d) * length(s.up)), 0.05) << t;
    }
}

TEST(CameraScript, second_camera_follows_a2)
{
    const Shot s = second_camera_for(2.0);
    EXPECT_DOUBLE_EQ(s.eye.y, 1.0);
    EXPECT_DOUBLE_EQ(s.centre.y, -70.0);
    EXPECT_DOUBLE_EQ(s.up.x, 1.0);
}

// Eye and centre at one time inside each row, worked out by hand from the
// show's camera sheet, so a typo in a radius, height or angle fails.
TEST(CameraScript, rows_pinned_at_one_time_each)
{
    const struct {
        double t, a2;
        Vec3 eye, centre;
    } pins[] = {
        {28.0, 0.0, {-2.208439718005, -13.824716778724, 9.095307302846}, {0, 0, 0}}, // 26: sinking
        {33.0, 0.0, {30.612586484420, 33.796886672206, 9.0}, {0, 0, 0}},             // 31: radius 45.6
        {38.0, 0.0, {-20.205861261990, 12.950798070436, 5.0}, {0, 0, 6}},            // 36: spiral
        {90.0, 0.0, {0.0, -21.0, 2.032372542188}, {0, 0, 0}},                        // 84: rising
        {110.0, 0.0, {-2.008610884271, -43.954129297662, 44.0}, {0, 0, 0}},          // 103.3: radius 44
        {110.0, 0.5, {-1.908180340057, -41.756422832779, 44.0}, {0, 0, 0}},          // ... less with a2
        {165.0, 0.0, {-19.620448621328, -3.877885493131, 15.0}, {0, 0, 0}},          // 160.8: radius 20
        {175.0, 0.0, {-11.888015760836, 8.356656939256, 34.174778406095}, {0, 0, -2.556637120813}}, // 170.5
        {190.0, 0.0, {6.195146640959, -11.950186125909, 49.0}, {0, 0, 0}}, // 185: climbing
    };
    for (const auto &p : pins) {
        const Shot s = camera_for(p.t, p.a2);
        EXPECT_NEAR(s.eye.x, p.eye.x, 1e-9) << "scene time " << p.t;
        EXPECT_NEAR(s.eye.y, p.eye.y, 1e-9) << "scene time " << p.t;
        EXPECT_NEAR(s.eye.z, p.eye.z, 1e-9) << "scene time " << p.t;
        EXPECT_NEAR(s.centre.x, p.centre.x, 1e-9) << "scene time " << p.t;
        EXPECT_NEAR(s.centre.y, p.centre.y, 1e-9) << "scene time " << p.t;
        EXPECT_NEAR(s.centre.z, p.centre.z, 1e-9) << "scene time " << p.t;
        EXPECT_DOUBLE_EQ(s.up.z, 1.0) << "scene time " << p.t;
    }
}
