// A data folder with the twelve programs alone: what set-up finds in it and
// the frame planned for it, without GL. The combine and blur passes bind
// the scene's depth and the random texture, no reduced-size pass runs, and
// each cloud whose program lacks "passes" is drawn in its passes with their
// own "ttime" and "realttime".
#include "runtime/frame_info.h"
#include "show/frame_plan.h"
#include "show/part_start_setup.h"
#include "show/resources.h"
#include "show/shader_features.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

FramePlan plan_at(double t, const ShaderFeatures &features)
{
    static const FrameInfo frame{};
    return plan_frame(t, frame, 1280, 720, 1280, 720, features);
}

// The uniform `name` as draw `k` sets it.
float draw_uniform(const CloudDrawPlan &c, std::size_t k, const std::string &name)
{
    for (const UniformValue &u : c.draws.at(k))
        if (u.name == name)
            return u.value;
    ADD_FAILURE() << name << " is not set by draw " << k;
    return 0.0f;
}

bool any_draw_sets(const CloudDrawPlan &c, const std::string &name)
{
    for (const auto &draw : c.draws)
        for (const UniformValue &u : draw)
            if (u.name == name)
                return true;
    return false;
}

} // namespace

TEST(ShaderFeatures, set_up_finds_the_extension_only_when_its_files_and_uniforms_are_there)
{
    // Every file present, each program declaring what its pass sets.
    const auto all = [](ProgramSlot, const char *) { return true; };
    const ShaderFeatures ours = detect_shader_features(true, all);
    EXPECT_TRUE(ours.reduced_size_passes);
    for (ProgramSlot p :
         {program::billboards, program::billboards_insect, program::billboards_leaves, program::letters})
        EXPECT_TRUE(ours.draws_once(p)) << p.value;
    EXPECT_FALSE(ours.draws_once(program::stars));

    // The files missing: no reduced-size passes whatever the slots say.
    EXPECT_FALSE(detect_shader_features(false, all).reduced_size_passes);
    // A reduced-size program that failed (declares nothing) counts as missing.
    const auto no_radius = [](ProgramSlot slot, const char *) { return slot != program::soft_halo; };
    EXPECT_FALSE(detect_shader_features(true, no_radius).reduced_size_passes);
    // "passes" per program: the insect's program without it draws its passes.
    const auto insect_without = [](ProgramSlot slot, const char *name) {
        return !(slot == program::billboards_insect && std::string(name) == "passes");
    };
    const ShaderFeatures mixed = detect_shader_features(true, insect_without);
    EXPECT_TRUE(mixed.draws_once(program::billboards));
    EXPECT_FALSE(mixed.draws_once(program::billboards_insect));

    // The files: all three of f_bloomdown, f_bloomblur and f_softhalo, or none.
    std::set<std::string> present;
    for (const ShowProgramFiles &f : show_program_files)
        present.insert(f.fragment);
    const auto exists = [&present](const char *path) { return present.count(path) > 0; };
    EXPECT_TRUE(reduced_size_files_present(exists));
    present.erase("PostProcessing//f_softhalo.cpp");
    EXPECT_FALSE(reduced_size_files_present(exists));
}

TEST(ShaderFeatures, the_twelve_programs_get_the_combine_and_blur_inputs_they_declare)
{
    const FramePlan p = plan_at(60.0, ShaderFeatures::specified_only());
    ASSERT_EQ(p.passes.size(), 6u);
    const char *expected[] = {"spectrum", "top view", "scene", "combine", "blur", "fade"};
    for (std::size_t k = 0; k < p.passes.size(); ++k)
        EXPECT_STREQ(pass_name(p.passes[k]), expected[k]);
    EXPECT_TRUE(p.glow_bloom.empty());
    EXPECT_TRUE(p.highlight_bloom.empty());
    EXPECT_TRUE(p.scene_resolves_depth);

    EXPECT_EQ(p.combine.program, program::combine);
    ASSERT_EQ(p.combine.textures.size(), 4u);
    EXPECT_EQ(p.combine.texture_on(0), tex::scene_colour);
    EXPECT_EQ(p.combine.texture_on(1), tex::scene_depth);
    EXPECT_EQ(p.combine.texture_on(2), tex::scene_glow);
    EXPECT_EQ(p.combine.texture_on(3), tex::random_rgb);
    EXPECT_EQ(p.combine.textures[1].name, "texture2d_2");
    EXPECT_EQ(p.combine.textures[3].name, "texture2d_random");
    EXPECT_EQ(p.combine.uniform("Limit"), std::vector<float>{p.combine_limit});
    // Their filters are left as the textures were made.
    for (const ScreenSampler &s : p.combine.textures)
        EXPECT_FALSE(s.filter.has_value()) << s.name;

    ASSERT_EQ(p.blur.textures.size(), 2u);
    EXPECT_EQ(p.blur.textures[0].unit, 3);
    EXPECT_EQ(p.blur.textures[0].name, "texture2d_2");
    EXPECT_EQ(p.blur.texture_on(3), tex::scene_depth);
    EXPECT_EQ(p.blur.texture_on(0), tex::scene_colour);

    // Our folder: no depth resolved, the blooms and the halo read instead.
    const FramePlan ours = plan_at(60.0, ShaderFeatures::ours());
    EXPECT_FALSE(ours.scene_resolves_depth);
    EXPECT_EQ(ours.combine.texture_on(1), tex::glow_bloom);
    EXPECT_FALSE(ours.combine.texture_on(3).has_value());
}

TEST(ShaderFeatures, clouds_without_passes_are_drawn_in_their_passes)
{
    for (const double t : {10.0, 35.0, 210.0}) {
        SCOPED_TRACE(t);
        const FramePlan p = plan_at(t, ShaderFeatures::specified_only());
        const CloudDrawPlan &main = p.main_cloud;
        ASSERT_EQ(main.draws.size(), 5u);
        EXPECT_FALSE(any_draw_sets(main, "passes"));
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_FLOAT_EQ(draw_uniform(main, i, "ttime"), static_cast<float>(main.stands_for[i].ttime));
            EXPECT_FLOAT_EQ(draw_uniform(main, i, "realttime"),
                            static_cast<float>(main.stands_for[i].realttime));
            EXPECT_FLOAT_EQ(draw_uniform(main, i, "particlesize"),
                            static_cast<float>(main.stands_for[i].particlesize));
        }
        // Set once before the draws: "PosY", "ttime" = t, "rttime".
        ASSERT_EQ(main.uniforms.size(), 3u);
        EXPECT_EQ(main.uniforms[1].name, "ttime");
        EXPECT_FLOAT_EQ(main.uniforms[1].value, static_cast<float>(t));
        EXPECT_EQ(main.uniforms[2].name, "rttime");
        EXPECT_EQ(p.stars.draws.size(), 1u);
        if (p.letters) {
            ASSERT_EQ(p.letters->draws.size(), 2u);
            EXPECT_FLOAT_EQ(draw_uniform(*p.letters, 1, "ttime"), static_cast<float>(t + 0.025));
            EXPECT_FLOAT_EQ(draw_uniform(*p.letters, 1, "realttime"), static_cast<float>(t));
            EXPECT_FALSE(any_draw_sets(*p.letters, "passes"));
        }
    }
    // Our programs: one draw each, counted "passes" times.
    const FramePlan ours = plan_at(10.0, ShaderFeatures::ours());
    ASSERT_EQ(ours.main_cloud.draws.size(), 1u);
    EXPECT_FLOAT_EQ(*ours.main_cloud.uniform("passes"), 5.0f);
    ASSERT_EQ(ours.letters->draws.size(), 1u);
    EXPECT_FLOAT_EQ(*ours.letters->uniform("passes"), 2.0f);
}
