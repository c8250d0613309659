// jpeg_bench [REPEATS]: decodes 2048 x 2048 photo-like pictures (baseline
// 4:2:0 q90, baseline 4:4:4, progressive 4:2:0, greyscale) with the show's
// decoder (SSE2 and scalar paths) and with libjpeg-turbo's fast integer
// path (JDCT_IFAST, plain upsampling, RGBX out like ours), from memory, and
// prints the best time of each as megapixels per second and as a ratio.
// Times are the thread's CPU time (best of REPEATS, default 7): on a shared
// machine wall time mostly measures the neighbours.
//
// Depends on: assets/jpeg, libjpeg-turbo, tests/jpeg's corpus helpers.
// Numbers are as noisy as the machine: run it on a quiet one.
#include "jpeg_test_support.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

double best_seconds(int repeats, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const double t0 = thread_seconds();
        work();
        best = std::min(best, thread_seconds() - t0);
    }
    return best;
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
    const int size = 2048;
    struct bench_case {
        const char *name;
        int components, h, v;
        bool progressive;
    };
    const bench_case cases[] = {
        {"baseline 4:2:0 q90", 3, 2, 2, false},
        {"baseline 4:4:4 q90", 3, 1, 1, false},
        {"progressive 4:2:0 q90", 3, 2, 2, true},
        {"greyscale q90", 1, 1, 1, false},
    };
    std::printf("%-24s %9s %12s %12s %14s %8s\n", "2048x2048 picture", "KiB", "ours MP/s", "scalar MP/s",
                "libjpeg MP/s", "ratio");
    volatile unsigned sink = 0;
    std::vector<std::uint8_t> row;
    for (const bench_case &c : cases) {
        encode_options o;
        o.width = size;
        o.height = size;
        o.components = c.components;
        o.h = c.h;
        o.v = c.v;
        o.quality = 90;
        o.progressive = c.progressive;
        const bytes jpeg = encode_libjpeg(make_picture("photo", size, size, c.components, 1), o);
        const double mp = size * static_cast<double>(size) / 1e6;
        const double ours = best_seconds(repeats, [&] { sink = sink + decode_with_ours(jpeg, true); });
        const double scalar = best_seconds(repeats, [&] { sink = sink + decode_with_ours(jpeg, false); });
        const double theirs = best_seconds(repeats, [&] { sink = sink + decode_with_libjpeg(jpeg, row); });
        std::printf("%-24s %9zu %12.1f %12.1f %14.1f %7.2fx\n", c.name, jpeg.size() / 1024, mp / ours,
                    mp / scalar, mp / theirs, theirs / ours);
    }
    std::printf("ratio = libjpeg-turbo time / our time (above 1: ours is faster)\n");
    return 0;
}
