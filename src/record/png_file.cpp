#include "record/png_file.h"

#include "record/staged_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
} // namespace

bool write_png(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb,
               std::string &error)
{
    // Encoded in memory first and written with plain stdio, so that a full
    // disk is reported as such (libpng's own file writer only says "Write
    // Error") and a file that did not make it whole is removed.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, rgb.data(), width * 3, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    std::vector<std::uint8_t> encoded(size);
    if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, rgb.data(), width * 3, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }

    // Written beside the file and renamed over it once whole: a file that
    // was there stays as it was when the write fails.
    const std::string partial = staging_path(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(partial.c_str(), "wb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(encoded.data(), 1, size, file.get()) == size;
    int saved = errno;
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed) {
        if (partial == path || std::rename(partial.c_str(), path.c_str()) == 0)
            return true;
        saved = errno;
    } else if (written) {
        saved = errno;
    }
    error = std::strerror(saved);
    std::remove(partial.c_str());
    return false;
}
