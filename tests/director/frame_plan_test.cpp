// The frame plan, without GL, pinned to the show's table: the main cloud's
// passes, the camera rows at their thresholds, the field of view, the fade
// across the flash, the letters' picture, the billboard programs, the
// combine limit, the letterbox and the top view.
#include "runtime/frame_info.h"
#include "runtime/generator.h"
#include "runtime/shaping.h"
#include "show/frame_plan.h"
#include "show/resources.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

FramePlan plan_at(double t, int window_width = 1280, int window_height = 720)
{
    static const FrameInfo frame{};
    return plan_frame(t, frame, 1280, 720, window_width, window_height);
}

void expect_vector(const Vec3 &v, double x, double y, double z)
{
    EXPECT_NEAR(v.x, x, 1e-9);
    EXPECT_NEAR(v.y, y, 1e-9);
    EXPECT_NEAR(v.z, z, 1e-9);
}

} // namespace

TEST(FramePlan, the_main_clouds_five_passes_at_10_25_and_35_seconds)
{
    for (const double t : {10.0, 25.0, 35.0}) {
        SCOPED_TRACE(t);
        const FramePlan p = plan_at(t);
        ASSERT_EQ(p.main_cloud.stands_for.size(), 5u);
        double mean = 0.0;
        for (int i = 0; i < 5; ++i) {
            const ParticleUniforms &u = p.main_cloud.stands_for[static_cast<std::size_t>(i)];
            EXPECT_DOUBLE_EQ(u.ttime, t + (t > 21.0 ? 0.01 : 0.03) * i) << i;
            EXPECT_NEAR(u.particlesize, t > 21.0 ? 0.3 : 0.4 * ease((t - 1.0) * 0.05, 1.0), 1e-12) << i;
            mean += u.ttime / 5.0;
        }
        // The one draw stands for them: the mean is what "ttime" is last set to.
        EXPECT_FLOAT_EQ(*p.main_cloud.uniform("ttime"), static_cast<float>(mean));
        EXPECT_FLOAT_EQ(*p.main_cloud.uniform("passes"), 5.0f);
    }
    EXPECT_NEAR(plan_at(10.0).main_cloud.stands_for[0].particlesize, 0.16871310699195383, 1e-12);
}

TEST(FramePlan, camera_rows_take_over_strictly_after_their_thresholds)
{
    expect_vector(plan_at(21.0).main_camera.eye, 0, 10, 18); // the opening row still
    const double a = 1e-6 * 0.1 + 4.0;
    expect_vector(plan_at(21.0 + 1e-6).main_camera.eye, 14 * std::sin(a), 14 * std::cos(a), 10);
    // The orbit of radius 44 holds at 132.0 itself; straight above after it.
    expect_vector(plan_at(132.0).main_camera.eye, 44 * std::sin(0.24 * (132.0 + 8.0)),
                  44 * std::cos(0.24 * (132.0 + 8.0)), 44);
    const FramePlan above = plan_at(132.0 + 1e-6);
    expect_vector(above.main_camera.eye, 0, 0, 64);
    expect_vector(above.main_camera.up, 1, 0, 1);
    expect_vector(plan_at(204.5).main_camera.eye, 42, 0, 3 * std::sin(0.25 * 204.5) + 7);
    // The scene camera holds the record's values: the shot rounded to floats.
    const FramePlan p = plan_at(204.5);
    EXPECT_EQ(p.scene_camera.eye[2], static_cast<double>(static_cast<float>(p.main_camera.eye.z)));
    expect_vector(p.second_camera.eye, 0, 1, 0);
    expect_vector(p.second_camera.up, 1, 0, 0);
}

TEST(FramePlan, field_of_view_swings_at_100_120_142_and_150_seconds)
{
    EXPECT_NEAR(plan_at(100.0).scene_camera.fovy, 67.88153053244831, 1e-9);
    EXPECT_NEAR(plan_at(120.0).scene_camera.fovy, 53.09161060780645, 1e-9);
    EXPECT_NEAR(plan_at(142.0).scene_camera.fovy, 83.73262454809911, 1e-9);
    EXPECT_NEAR(plan_at(150.0).scene_camera.fovy, 65.0, 1e-9);
    const FramePlan p = plan_at(120.0);
    EXPECT_DOUBLE_EQ(p.scene_camera.aspect, 1280.0 / 720.0);
    EXPECT_EQ(p.scene_camera.z_near, 0.1);
    EXPECT_EQ(p.scene_camera.z_far, 1000.0);
    // The projective cameras keep 65 degrees, near 1, far 100.
    EXPECT_EQ(p.combine_camera.fovy, 65.0);
    EXPECT_EQ(p.scene_projective_camera.z_far, 100.0);
    const Matrix4 m = p.scene_camera.projection();
    EXPECT_NEAR(m[5], 1.0 / std::tan(53.09161060780645 * std::acos(-1.0) / 360.0), 1e-12);
}

TEST(FramePlan, the_fade_darkens_into_the_flash_and_three_quick_rises_follow)
{
    // Out at 101.75 (from 101.65 over 4/3 s), in at 103.05, 103.1, 103.15.
    const std::pair<double, double> expected[] = {
        {101.6, 0.0},
        {102.3, 0.48037009212045567},
        {102.9, 0.9903926402016152},
        {102.97, 1.9995065603657314}, // the first rise has begun while the fade-out ends
        {103.02, 0.9997532801828659}, // the second rise replaces it
        {103.2, 0.9861849601988399},
        {104.5, 0.17527597583491494},
    };
    for (const auto &[t, alpha] : expected) {
        const FramePlan p = plan_at(t);
        EXPECT_NEAR(p.fade_alpha, alpha, 1e-9) << t;
        EXPECT_EQ(p.fade_drawn, alpha > 0.001) << t;
    }
}

TEST(FramePlan, the_letters_picture_switches_to_the_logo_after_100_seconds)
{
    EXPECT_EQ(plan_at(99.9).letters_picture, tex::letters);
    EXPECT_EQ(plan_at(100.0).letters_picture, tex::letters);
    EXPECT_EQ(plan_at(100.1).letters_picture, tex::logo);
    // Drawn only while t < 21.8 or t > 204, on the letters and the logo.
    ASSERT_TRUE(plan_at(10.0).letters.has_value());
    EXPECT_EQ(plan_at(10.0).letters->textures[1].texture, tex::letters);
    EXPECT_FALSE(plan_at(21.8).letters.has_value());
    EXPECT_FALSE(plan_at(150.0).letters.has_value());
    ASSERT_TRUE(plan_at(204.1).letters.has_value());
    EXPECT_EQ(plan_at(204.1).letters->textures[1].texture, tex::logo);
    EXPECT_EQ(plan_at(204.1).letters->program, program::letters);
}

TEST(FramePlan, each_scene_draws_its_billboard_program)
{
    const std::pair<double, ProgramSlot> expected[] = {
        {10.0, program::billboards},         {100.0, program::billboards},
        {160.8, program::billboards},        {160.9, program::billboards_insect},
        {185.0, program::billboards_insect}, {185.1, program::billboards_leaves},
        {220.0, program::billboards_leaves},
    };
    for (const auto &[t, slot] : expected) {
        const FramePlan p = plan_at(t);
        EXPECT_EQ(p.billboard_program, slot) << t;
        EXPECT_EQ(p.main_cloud.program, slot) << t;
        EXPECT_EQ(p.stars.program, program::stars) << t;
    }
}

TEST(FramePlan, the_combine_limit_repeats_for_equal_times_and_leaves_the_generator_as_the_pass_did)
{
    const float a = plan_at(60.0).combine_limit;
    const std::uint32_t after = random_state();
    EXPECT_EQ(plan_at(60.0).combine_limit, a);
    EXPECT_EQ(random_state(), after);
    EXPECT_NE(plan_at(60.5).combine_limit, a);
    // Seeded from int(t * 423424), 1000 values dropped, the next one used.
    random_seed(static_cast<std::uint32_t>(static_cast<long long>(60.0 * 423424.0)));
    for (int i = 0; i < 1000; ++i)
        random_next();
    EXPECT_EQ(a, static_cast<float>(random_unit()));
    EXPECT_GE(a, 0.0f);
    EXPECT_LE(a, 1.0f);
}

TEST(FramePlan, the_picture_sits_centred_and_only_bars_are_cleared)
{
    const FramePlan fills = plan_at(60.0);
    EXPECT_EQ(fills.picture.x, 0);
    EXPECT_FALSE(fills.clear_bars);
    const FramePlan banded = plan_at(60.0, 1280, 1024); // a 16:9 picture on a 5:4 screen
    EXPECT_EQ(banded.picture.y, 152);
    EXPECT_EQ(banded.picture.height, 720);
    EXPECT_TRUE(banded.clear_bars);
}

TEST(FramePlan, the_top_view_runs_outside_its_skip_windows_with_a_placement_per_mesh)
{
    EXPECT_FALSE(plan_at(20.0).top_view.runs);
    EXPECT_TRUE(plan_at(20.0).top_view_placements.empty());
    const FramePlan city = plan_at(120.0); // tilted, rising, at double scale
    ASSERT_EQ(city.top_view_placements.size(), 1u);
    EXPECT_NEAR(city.top_view_placements[0][0], 0.1 * 2.0 * 0.57, 1e-12);
    const FramePlan leaves = plan_at(190.0);
    EXPECT_EQ(leaves.top_view_placements.size(), 50u);
    const FramePlan p = plan_at(60.0);
    EXPECT_EQ(p.top_view_camera.eye, (Vector3{0, 90, 0}));
    EXPECT_EQ(p.top_view_camera.aspect, 1.0);
    // The passes in the order the hook hears them.
    ASSERT_EQ(p.passes.size(), 9u);
    EXPECT_STREQ(pass_name(p.passes.front()), "spectrum");
    EXPECT_STREQ(pass_name(p.passes[4]), "combine");
    EXPECT_STREQ(pass_name(p.passes.back()), "fade");
}

TEST(FramePlan, screen_steps_name_their_targets_programs_textures_and_uniforms)
{
    const FramePlan p = plan_at(60.0);
    // The glow's bloom: a reduction, then across and down at quarter size.
    ASSERT_EQ(p.glow_bloom.size(), 3u);
    const ScreenStep &reduce = p.glow_bloom[0];
    EXPECT_EQ(reduce.set, render_set::quarter);
    EXPECT_EQ(reduce.width, 320);
    EXPECT_EQ(reduce.height, 180);
    EXPECT_EQ(reduce.program, program::bloom_reduce);
    EXPECT_EQ(reduce.texture_on(0), tex::scene_glow);
    EXPECT_EQ(reduce.uniform("Limit"), std::vector<float>{0.0f});
    EXPECT_EQ(reduce.resolved_into, std::vector<TextureNumber>{tex::bloom_reduced});
    const ScreenStep &down = p.glow_bloom[2];
    EXPECT_EQ(down.outputs, 2);
    EXPECT_EQ(down.resolved_into, (std::vector<TextureNumber>{tex::bloom_reduced, tex::glow_bloom}));
    EXPECT_EQ(down.uniform("Mix"), std::vector<float>{glow_bloom_medium_share});
    // Each blur's weights, the centre once and the others on both sides, sum to 1.
    const std::vector<float> w = down.uniform("Weight0");
    ASSERT_EQ(w.size(), 7u);
    double total = w[0];
    for (std::size_t k = 1; k < w.size(); ++k)
        total += 2.0 * w[k];
    EXPECT_NEAR(total, 1.0, 1e-6);
    // The highlights: above 0.45 of the combined image.
    ASSERT_EQ(p.highlight_bloom.size(), 3u);
    EXPECT_EQ(p.highlight_bloom[0].texture_on(0), tex::scene_colour);
    EXPECT_EQ(p.highlight_bloom[0].uniform("Limit"), std::vector<float>{0.45f});
    EXPECT_EQ(p.highlight_bloom[2].resolved_into, std::vector<TextureNumber>{tex::highlight_bloom});

    // Combine: the scene's colour, the glow's bloom and the glow, into texture 0.
    EXPECT_EQ(p.combine.set, render_set::scene);
    EXPECT_EQ(p.combine.program, program::combine);
    EXPECT_EQ(p.combine.texture_on(0), tex::scene_colour);
    EXPECT_EQ(p.combine.texture_on(1), tex::glow_bloom);
    EXPECT_EQ(p.combine.texture_on(2), tex::scene_glow);
    EXPECT_EQ(p.combine.uniform("Limit"), std::vector<float>{p.combine_limit});
    EXPECT_EQ(p.combine.resolved_into, std::vector<TextureNumber>{tex::scene_colour});

    // Blur to the window: the highlights on unit 3, the halo on unit 1.
    EXPECT_EQ(p.blur.program, program::blur);
    EXPECT_EQ(p.blur.texture_on(3), tex::highlight_bloom);
    EXPECT_EQ(p.blur.texture_on(1), tex::soft_halo);
    EXPECT_EQ(p.blur.texture_on(0), tex::scene_colour);
    EXPECT_FALSE(p.blur.texture_on(2).has_value());
}

TEST(FramePlan, the_halo_is_made_at_half_size_from_1280_wide_and_in_set_0_below)
{
    const FramePlan wide = plan_at(60.0);
    EXPECT_EQ(wide.soft_halo.set, render_set::half);
    EXPECT_EQ(wide.soft_halo.width, 640);
    EXPECT_FALSE(wide.soft_halo.reattach_scene_colour.has_value());
    static const FrameInfo frame{};
    const FramePlan small = plan_frame(60.0, frame, 960, 540, 960, 540);
    EXPECT_EQ(small.soft_halo.set, render_set::scene);
    EXPECT_EQ(small.soft_halo.width, 960);
    EXPECT_EQ(small.soft_halo.reattach_scene_colour, tex::scene_colour);
    EXPECT_EQ(small.soft_halo.uniform("Radius"), std::vector<float>{1.0f});
}
