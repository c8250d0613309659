// jpegdump IN.jpg OUT: decodes IN with the show's JPEG decoder on its fast
// path and writes OUT as binary PPM (colour) or PGM (greyscale).
//
// Asset authors use it to check a picture; the differential tests use it to
// run the decoder the way the show does. Exit codes: 0 written, 1 usage or
// file error, 2 decoder error ("jpeg error CODE" on standard error).
//
// Depends on: assets/jpeg.
#include "assets/jpeg/jpeg_image_decoder.h"

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: jpegdump IN.jpg OUT.ppm|OUT.pgm\n");
        return 1;
    }
    jpeg_decoder_file_stream stream;
    if (!stream.open(argv[1])) {
        std::fprintf(stderr, "jpegdump: cannot open %s\n", argv[1]);
        return 1;
    }
    jpeg_image_decoder decoder(&stream, true);
    if (decoder.error_code() != 0 || decoder.start() != 0) {
        std::fprintf(stderr, "jpeg error %d\n", decoder.error_code());
        return 2;
    }
    const int width = decoder.width();
    const int height = decoder.height();
    const bool grey = decoder.component_count() == 1;
    const int channels = grey ? 1 : 3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t *line = nullptr;
        int bytes = 0;
        const int r = decoder.next_line(line, bytes);
        if (r != 0) {
            std::fprintf(stderr, "jpeg error %d\n", decoder.error_code() != 0 ? decoder.error_code() : r);
            return 2;
        }
        unsigned char *out = pixels.data() + static_cast<std::size_t>(y) * width * channels;
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                out[x * channels + c] = line[x * decoder.bytes_per_pixel() + c];
    }
    std::FILE *f = std::fopen(argv[2], "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "jpegdump: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(f, "P%c\n%d %d\n255\n", grey ? '5' : '6', width, height);
    const bool ok = std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "jpegdump: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
