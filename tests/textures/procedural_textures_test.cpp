// GL tests of the texture factories: what lands in GL (formats, sizes,
// parameters, the exact noise bytes) and in the texture table.
#include "support/gl_test_context.h"

#include "render/noise_pixels.h"
#include "render/render_targets.h"
#include "runtime/generator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{

class ProceduralTextures : public GlTest
{
  protected:
    std::unique_ptr<RenderTargets> ctx = std::make_unique<RenderTargets>();
};

GLuint bound(GLenum binding)
{
    GLint name = 0;
    glGetIntegerv(binding, &name);
    return static_cast<GLuint>(name);
}

std::vector<unsigned char> read_back(GLenum format, int bytes)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(bytes), 0xAB);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

} // namespace

TEST_F(ProceduralTextures, rgb_noise_of_an_odd_width_reaches_gl_byte_for_byte)
{
    // 5 x 3 RGB rows are 15 bytes: with GL's default row alignment of 4 the
    // upload would read past the buffer and shear the image.
    random_seed(321);
    ctx->create_noise_texture_rgb(TextureNumber{40}, 5, 3);
    random_seed(321);
    const std::vector<unsigned char> expected = noise_pixels_rgb(5, 3);

    ASSERT_NE(ctx->textures[TextureNumber{40}], 0u);
    EXPECT_EQ(bound(GL_TEXTURE_BINDING_2D), ctx->textures[TextureNumber{40}]);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 5);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), 3);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT) << "wrap left at GL's default";
    EXPECT_EQ(read_back(GL_RGB, 5 * 3 * 3), expected);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment is restored";
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ProceduralTextures, rgba_noise_reaches_gl_byte_for_byte)
{
    random_seed(5);
    ctx->create_noise_texture_rgba(TextureNumber{41}, 7, 2);
    random_seed(5);
    const std::vector<unsigned char> expected = noise_pixels_rgba(7, 2);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(read_back(GL_RGBA, 7 * 2 * 4), expected);
}

TEST_F(ProceduralTextures, depth_texture_has_depth_format_and_its_parameters)
{
    ctx->create_depth_texture(TextureNumber{42}, 30, 20);
    EXPECT_EQ(bound(GL_TEXTURE_BINDING_2D), ctx->textures[TextureNumber{42}]);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 30);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), 20);
    EXPECT_GE(level0(GL_TEXTURE_2D, GL_TEXTURE_DEPTH_SIZE), 24);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE), GL_LUMINANCE);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ProceduralTextures, texture_1d_is_created_empty_and_refreshed_with_new_width)
{
    ctx->create_texture_1d(TextureNumber{43}, 512);
    EXPECT_EQ(bound(GL_TEXTURE_BINDING_1D), ctx->textures[TextureNumber{43}]);
    EXPECT_EQ(level0(GL_TEXTURE_1D, GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(parameter(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(parameter(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    std::vector<unsigned char> rgb(5 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<unsigned char>(i * 17);
    }
    glBindTexture(GL_TEXTURE_1D, 0);
    ctx->update_texture_1d(TextureNumber{43}, 5, rgb.data());
    EXPECT_EQ(bound(GL_TEXTURE_BINDING_1D), ctx->textures[TextureNumber{43}]);
    EXPECT_EQ(level0(GL_TEXTURE_1D, GL_TEXTURE_WIDTH), 5);
    std::vector<unsigned char> back(rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_EQ(back, rgb);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ProceduralTextures, zero_sizes_make_imageless_textures_and_draw_no_numbers)
{
    random_seed(77);
    ctx->create_noise_texture_rgb(TextureNumber{44}, 0, 8);
    ctx->create_noise_texture_rgba(TextureNumber{45}, 8, 0);
    ctx->create_noise_texture_rgba(TextureNumber{46}, -2, -2);
    EXPECT_EQ(random_state(), 77u);
    EXPECT_NE(ctx->textures[TextureNumber{44}], 0u);
    EXPECT_EQ(level0(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ProceduralTextures, same_number_twice_keeps_the_second_and_leaves_the_first_alive)
{
    ctx->create_noise_texture_rgba(TextureNumber{47}, 2, 2);
    const GLuint first = ctx->textures[TextureNumber{47}];
    ctx->create_noise_texture_rgba(TextureNumber{47}, 2, 2);
    EXPECT_NE(ctx->textures[TextureNumber{47}], first);
    EXPECT_EQ(glIsTexture(first), GL_TRUE);
}

TEST_F(ProceduralTextures, numbers_outside_the_table_are_refused_and_touch_nothing)
{
    // Written past the table, -1 would land on the progress callback and
    // 10000 on the first render set; a refused call also draws no noise.
    ctx->textures.fill(7);
    const auto *bytes = reinterpret_cast<const unsigned char *>(ctx.get());
    const std::vector<unsigned char> before(bytes, bytes + sizeof(RenderTargets));
    random_seed(77);
    const std::uint32_t first_after_seed = random_next();
    random_seed(77);

    ::testing::internal::CaptureStderr();
    ctx->create_noise_texture_rgba(TextureNumber{10000}, 2, 2);
    ctx->create_noise_texture_rgb(TextureNumber{-1}, 2, 2);
    ctx->create_depth_texture(TextureNumber{-1}, 2, 2);
    ctx->create_texture_1d(TextureNumber{10000}, 4);
    ctx->update_texture_1d(TextureNumber{123456}, 4, nullptr);
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(said, "Texture number 10000 is out of range.\nTexture number -1 is out of range.\n"
                    "Texture number -1 is out of range.\nTexture number 10000 is out of range.\n"
                    "Texture number 123456 is out of range.\n");
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + sizeof(RenderTargets)), before);
    EXPECT_EQ(random_next(), first_after_seed);
    EXPECT_EQ(take_gl_error(), static_cast<GLenum>(GL_NO_ERROR));
}
