// The texture loaders against real GL (Mesa under Xvfb): what the texture
// holds, its parameters, the table entry and the bound texture.
#include "render/render_targets.h"

#include "jpeg_test_support.h"

#include "support/gl_test_context.h"
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace
{

class TextureLoadingGl : public GlTest
{
  protected:
    static std::string write_file(const std::string &name, const bytes &content)
    {
        const std::string path = std::string(VELLAMOR_BINARY_DIR) + "/tests/jpeg/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(content.data()),
                   static_cast<std::streamsize>(content.size()));
        return path;
    }

    static bytes read_back(int width, int height)
    {
        bytes rgb(static_cast<std::size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }
};

} // namespace

TEST_F(TextureLoadingGl, colour_texture_holds_rows_bottom_first_with_linear_filtering)
{
    // Odd width: rows of 15 bytes are not 4-byte aligned.
    encode_options o;
    o.width = 5;
    o.height = 3;
    o.quality = 95;
    const bytes jpeg = encode_libjpeg(make_picture("bars", 5, 3, 3, 1), o);
    const std::string path = write_file("gl_colour.jpg", jpeg);
    RenderTargets targets;
    targets.load_texture(TextureNumber{42}, path);
    ASSERT_NE(targets.textures[TextureNumber{42}], 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), targets.textures[TextureNumber{42}]);
    GLint min_filter = 0, mag_filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag_filter);
    EXPECT_EQ(min_filter, GL_LINEAR);
    EXPECT_EQ(mag_filter, GL_LINEAR);

    const decoded_image expected = decode_ours(jpeg);
    const bytes texels = read_back(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(texels[static_cast<std::size_t>((2 - y) * 15 + i)],
                      expected.pixels[static_cast<std::size_t>(y * 15 + i)])
                << "line " << y << " byte " << i;
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "unpack alignment restored";

    // Loading again at the same number replaces the entry, never deletes.
    const GLuint first = targets.textures[TextureNumber{42}];
    targets.load_texture(TextureNumber{42}, path);
    EXPECT_NE(targets.textures[TextureNumber{42}], first);
    EXPECT_TRUE(glIsTexture(first));
}

TEST_F(TextureLoadingGl, greyscale_height_image_gives_a_flat_normal_map)
{
    encode_options o;
    o.width = 6;
    o.height = 4;
    o.components = 1;
    const bytes flat(6 * 4, 77);
    const std::string path = write_file("gl_flat.jpg", encode_libjpeg(flat, o));
    RenderTargets targets;
    targets.load_normal_map_texture(TextureNumber{7}, path);
    const bytes texels = read_back(6, 4);
    for (std::size_t i = 0; i < texels.size(); i += 3) {
        EXPECT_EQ(texels[i], 127);
        EXPECT_EQ(texels[i + 1], 127);
        EXPECT_EQ(texels[i + 2], 255);
    }
}
