#include "record/png_file.h"

#include <png.h>

bool write_png(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb,
               std::string &error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
