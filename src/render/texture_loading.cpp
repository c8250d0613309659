// Textures from JPEG files: RenderTargets::load_texture (colour) and
// RenderTargets::load_normal_map_texture (normal map from a height image).
//
// A file that cannot be opened or decoded ends the program with a message
// box naming it ("Jpg" when the colour file does not open, "Jpg !" for
// everything else) and exit code 0. A failure after the headers is treated
// like a header failure: no half-filled texture goes to the GPU. Greyscale
// files are expanded to RGB.
//
// Depends on: assets/jpeg, render/texture_pixels.h, runtime/message_box.h,
// GL through GLEW. Main (GL) thread, during set-up.
#include "render/render_targets.h"

#include "render/texture_pixels.h"
#include <GL/glew.h>

#include "assets/jpeg/jpeg_image_decoder.h"
#include "runtime/message_box.h"

#include <cstdlib>
#include <vector>

namespace
{

struct rgb_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // packed, rows in the order asked for
};

[[noreturn]] void fail(const std::string &file_name, const char *caption)
{
    message_box(file_name, caption, MessageIcon::information, MessageButtons::ok);
    std::exit(0);
}

rgb_image decode_file(const std::string &file_name, const char *open_caption, bool bottom_first)
{
    jpeg_decoder_file_stream stream;
    if (!stream.open(file_name.c_str()))
        fail(file_name, open_caption);
    jpeg_image_decoder decoder(&stream, true);
    if (decoder.error_code() != 0)
        fail(file_name, "Jpg !");
    rgb_image image;
    image.width = decoder.width();
    image.height = decoder.height();
    if (decoder.start() != 0 || !read_rgb_image(decoder, bottom_first, image.rgb))
        fail(file_name, "Jpg !");
    return image;
}

// Generates the texture into the table entry and uploads level 0; leaves it
// bound to GL_TEXTURE_2D on the active unit. Rows are tightly packed, so the
// unpack alignment is 1 for the upload (restored afterwards).
void upload(GLuint &table_entry, const rgb_image &image)
{
    glGenTextures(1, &table_entry);
    glBindTexture(GL_TEXTURE_2D, table_entry);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

} // namespace

void RenderTargets::load_texture(TextureNumber number, const std::string &file_name)
{
    if (!valid_texture_number(number))
        return;
    if (progress_callback != nullptr)
        progress_callback(0.1);
    const rgb_image image = decode_file(file_name, "Jpg", true);
    upload(textures[number], image);
}

void RenderTargets::load_normal_map_texture(TextureNumber number, const std::string &file_name)
{
    if (!valid_texture_number(number))
        return;
    const rgb_image heights = decode_file(file_name, "Jpg !", false);
    rgb_image normals;
    normals.width = heights.width;
    normals.height = heights.height;
    normals.rgb = normal_map_from_heights(heights.rgb.data(), heights.width, heights.height);
    flip_rows(normals.rgb, normals.width, normals.height);
    upload(textures[number], normals);
}
