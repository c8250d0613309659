// Textures from JPEG files: RenderTargets::load_texture (colour) and
// RenderTargets::load_normal_map_texture (normal map from a height image).
//
// A file that cannot be opened or decoded is listed in load_failures with
// the reason, and on standard error. For the show (pictures_are_fatal) it
// then ends the program with a message box naming it ("Jpg" when the colour
// file does not open, "Jpg !" for everything else) and exit code 0; stills
// and exports go on loading, so that every bad file is named, and stop
// before they write. A failure after the headers is treated like a header
// failure: no half-filled texture goes to the GPU. Greyscale files are
// expanded to RGB.
//
// Depends on: assets/jpeg, render/texture_pixels.h, runtime/message_box.h,
// GL through GLEW. Main (GL) thread, during set-up.
#include "render/render_targets.h"

#include "render/texture_pixels.h"
#include <GL/glew.h>

#include "assets/jpeg/jpeg_image_decoder.h"
#include "runtime/message_box.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace
{

struct rgb_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // packed, rows in the order asked for
};

// Why the decoder refused a file's headers, in the user's words.
std::string header_problem(const std::string &file_name, int code)
{
    struct stat info {
    };
    if (::stat(file_name.c_str(), &info) == 0 && info.st_size == 0)
        return "not a JPEG file (empty)";
    switch (code) {
    case jpeg_not_jpeg:
        return "not a JPEG file";
    case jpeg_bad_width:
    case jpeg_bad_height:
        return "not a picture this program loads (width and height must be 1 to 8192 pixels)";
    case jpeg_not_enough_memory:
        return "not enough memory to decode it";
    case jpeg_stream_read:
        return "cannot be read";
    case jpeg_no_arithmetic_support:
    case jpeg_unsupported_marker:
    case jpeg_unsupported_colourspace:
    case jpeg_unsupported_sampling:
    case jpeg_bad_precision:
        return "a kind of JPEG this program does not decode (decoder code " + std::to_string(code) + ")";
    default:
        return "damaged JPEG data (decoder code " + std::to_string(code) + ")";
    }
}

// A file cut short: no end-of-image marker after its last scan header. The
// decoder pads data that runs out (as decoders do) and would hand back a
// picture whose lower part is grey; a marker cannot occur inside the
// entropy-coded data, and bytes after the end marker do not matter.
bool cut_short(const std::string &file_name)
{
    std::ifstream in(file_name, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t last_scan = std::string::npos;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && static_cast<unsigned char>(bytes[i + 1]) == 0xDA)
            last_scan = i;
    if (last_scan == std::string::npos)
        return false; // the decoder has refused such a file already
    for (std::size_t i = last_scan + 2; i + 1 < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && static_cast<unsigned char>(bytes[i + 1]) == 0xD9)
            return false;
    return true;
}

// Records the failure; for the show, ends the program as it always has.
void fail(RenderTargets &ctx, const std::string &file_name, const char *caption, std::string reason)
{
    LoadFailure failure{file_name, std::move(reason)};
    if (ctx.pictures_are_fatal) {
        // The process ends here: what was listed before goes out with it.
        for (const LoadFailure &earlier : ctx.load_failures)
            std::fprintf(stderr, "%s\n", describe(earlier).c_str());
        std::fprintf(stderr, "%s\n", describe(failure).c_str());
        message_box(file_name, caption, MessageIcon::information, MessageButtons::ok);
        std::exit(0);
    }
    ctx.load_failures.push_back(std::move(failure));
}

std::optional<rgb_image> decode_file(RenderTargets &ctx, const std::string &file_name,
                                     const char *open_caption, bool bottom_first)
{
    jpeg_decoder_file_stream stream;
    errno = 0;
    if (!stream.open(file_name.c_str())) {
        fail(ctx, file_name, open_caption, file_problem(file_name, errno));
        return std::nullopt;
    }
    jpeg_image_decoder decoder(&stream, true);
    if (decoder.error_code() != 0) {
        fail(ctx, file_name, "Jpg !", header_problem(file_name, decoder.error_code()));
        return std::nullopt;
    }
    rgb_image image;
    image.width = decoder.width();
    image.height = decoder.height();
    if (decoder.start() != 0 || !read_rgb_image(decoder, bottom_first, image.rgb)) {
        const int code = decoder.error_code();
        fail(ctx, file_name, "Jpg !",
             code == jpeg_not_enough_memory
                 ? "not enough memory to decode it"
                 : "damaged JPEG data (cut short or corrupt; decoder code " + std::to_string(code) + ")");
        return std::nullopt;
    }
    if (cut_short(file_name)) {
        fail(ctx, file_name, "Jpg !", "damaged JPEG data (cut short: it ends before its end marker)");
        return std::nullopt;
    }
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
    const std::optional<rgb_image> image = decode_file(*this, file_name, "Jpg", true);
    if (image)
        upload(textures[number], *image);
}

void RenderTargets::load_normal_map_texture(TextureNumber number, const std::string &file_name)
{
    if (!valid_texture_number(number))
        return;
    const std::optional<rgb_image> heights = decode_file(*this, file_name, "Jpg !", false);
    if (!heights)
        return;
    rgb_image normals;
    normals.width = heights->width;
    normals.height = heights->height;
    normals.rgb = normal_map_from_heights(heights->rgb.data(), heights->width, heights->height);
    flip_rows(normals.rgb, normals.width, normals.height);
    upload(textures[number], normals);
}
