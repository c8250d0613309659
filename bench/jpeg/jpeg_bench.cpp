// jpeg_bench [REPEATS [NAME]]: decodes 2048 x 2048 q90 pictures of three
// kinds (photo-like, grainy, very smooth) in several layouts (baseline 4:2:0
// and 4:4:4, restart markers every MCU row, progressive, greyscale) with the
// show's decoder (its vector and scalar paths) and with libjpeg-turbo's fast
// integer path (JDCT_IFAST, plain upsampling, RGBX out like ours), from
// memory, alternating the decoders, and prints the best time of each as
// megapixels per second and the ratio. Times are the thread's CPU time
// (best of REPEATS, default 7): on a shared machine wall time mostly
// measures the neighbours. NAME picks the cases whose name contains it.
//
// Depends on: assets/jpeg, libjpeg-turbo, tests/jpeg's corpus helpers.
// Numbers are as noisy as the machine: run it on a quiet one.
#include "jpeg_test_support.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>

namespace
{

double thread_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double seconds(const std::function<void()> &work)
{
    const double t0 = thread_seconds();
    work();
    return thread_seconds() - t0;
}

unsigned decode_with_ours(const bytes &jpeg, bool use_simd)
{
    memory_stream stream(jpeg);
    jpeg_image_decoder d(&stream, use_simd);
    unsigned sum = 0;
    if (d.start() != 0)
        std::abort();
    const std::uint8_t *line = nullptr;
    int count = 0;
    while (d.next_line(line, count) == 0)
        sum += line[0];
    return sum;
}

unsigned decode_with_libjpeg(const bytes &jpeg, std::vector<std::uint8_t> &row)
{
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_EXT_RGBX;
    jpeg_start_decompress(&cinfo);
    row.resize(static_cast<std::size_t>(cinfo.output_width) * 4);
    unsigned sum = 0;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW p = row.data();
        jpeg_read_scanlines(&cinfo, &p, 1);
        sum += row[0];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const char *only = argc > 2 ? argv[2] : nullptr; // run the cases whose name holds this
    const int size = 2048;
    struct bench_case {
        const char *name;
        const char *picture;
        int components, h, v;
        bool progressive;
        bool restarts; // a restart marker every MCU row
    };
    const bench_case cases[] = {
        {"photo 4:2:0", "photo", 3, 2, 2, false, false},
        {"photo 4:4:4", "photo", 3, 1, 1, false, false},
        {"photo 4:2:0 restarts", "photo", 3, 2, 2, false, true},
        {"photo progressive", "photo", 3, 2, 2, true, false},
        {"photo greyscale", "photo", 1, 1, 1, false, false},
        {"grainy 4:2:0", "grainy", 3, 2, 2, false, false},
        {"grainy 4:4:4", "grainy", 3, 1, 1, false, false},
        {"grainy progressive", "grainy", 3, 2, 2, true, false},
        {"smooth 4:2:0", "smooth", 3, 2, 2, false, false},
        {"smooth 4:4:4", "smooth", 3, 1, 1, false, false},
        {"smooth greyscale", "smooth", 1, 1, 1, false, false},
    };
    std::printf("%-22s %6s %10s %12s %14s %8s\n", "2048x2048 q90", "bpp", "ours MP/s", "scalar MP/s",
                "libjpeg MP/s", "ratio");
    volatile unsigned sink = 0;
    std::vector<std::uint8_t> row;
    for (const bench_case &c : cases) {
        if (only != nullptr && std::strstr(c.name, only) == nullptr)
            continue;
        encode_options o;
        o.width = size;
        o.height = size;
        o.components = c.components;
        o.h = c.h;
        o.v = c.v;
        o.quality = 90;
        o.progressive = c.progressive;
        o.restart_interval = c.restarts ? size / (8 * c.h) : 0;
        const bytes jpeg = encode_libjpeg(make_picture(c.picture, size, size, c.components, 1), o);
        const double mp = size * static_cast<double>(size) / 1e6;
        // Alternating, so that all three see the same spells of a busy
        // machine; the best time of each is kept.
        double ours = 1e30, scalar = 1e30, theirs = 1e30;
        for (int i = 0; i < repeats; ++i) {
            ours = std::min(ours, seconds([&] { sink = sink + decode_with_ours(jpeg, true); }));
            theirs = std::min(theirs, seconds([&] { sink = sink + decode_with_libjpeg(jpeg, row); }));
            scalar = std::min(scalar, seconds([&] { sink = sink + decode_with_ours(jpeg, false); }));
        }
        std::printf("%-22s %6.2f %10.1f %12.1f %14.1f %7.2fx\n", c.name, jpeg.size() * 8.0 / (mp * 1e6),
                    mp / ours, mp / scalar, mp / theirs, theirs / ours);
    }
    std::printf("ratio = libjpeg-turbo time / our time (above 1: ours is faster); best of %d, alternating\n",
                repeats);
    return 0;
}
