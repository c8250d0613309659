// Test support for the JPEG decoder: memory stream, decode helpers and the
// libjpeg-turbo oracle.
#include "jpeg_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

int memory_stream::read(std::uint8_t *buffer, int max_bytes, bool &end_of_stream)
{
    if (fail_at_ >= 0 && pos_ >= static_cast<std::size_t>(fail_at_))
        return -1;
    std::size_t n = std::min<std::size_t>(
        {static_cast<std::size_t>(max_bytes), static_cast<std::size_t>(chunk_), data_.size() - pos_});
    if (fail_at_ >= 0)
        n = std::min<std::size_t>(n, static_cast<std::size_t>(fail_at_) - pos_);
    if (n > 0)
        std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    if (pos_ == data_.size())
        end_of_stream = true;
    return static_cast<int>(n);
}

decoded_image decode_ours(const bytes &jpeg, bool use_simd, int chunk)
{
    return decode_ours_with(
        jpeg, use_simd ? jpeg_image_decoder::kernels::avx2 : jpeg_image_decoder::kernels::scalar, chunk);
}

decoded_image decode_ours_with(const bytes &jpeg, jpeg_image_decoder::kernels forms, int chunk)
{
    decoded_image out;
    memory_stream stream(jpeg, chunk);
    jpeg_image_decoder d(&stream, forms);
    if (d.error_code() != 0) {
        out.error = d.error_code();
        return out;
    }
    if (d.start() != 0) {
        out.error = d.error_code();
        out.step_result = -1;
        return out;
    }
    out.width = d.width();
    out.height = d.height();
    out.channels = d.component_count() == 1 ? 1 : 3;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * out.channels);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t *line = nullptr;
        int count = 0;
        const int r = d.next_line(line, count);
        if (r != 0) {
            out.error = d.error_code();
            out.step_result = r;
            return out;
        }
        std::uint8_t *row = out.pixels.data() + static_cast<std::size_t>(y) * out.width * out.channels;
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < out.channels; ++c)
                row[x * out.channels + c] = line[x * d.bytes_per_pixel() + c];
    }
    return out;
}

namespace
{

struct generator {
    unsigned state;
    unsigned next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double unit() { return (next() & 0xFFFF) / 65535.0; }
};

[[noreturn]] void libjpeg_error_exit(j_common_ptr cinfo)
{
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    throw std::runtime_error(message);
}

} // namespace

bytes make_picture(const std::string &kind, int width, int height, int components, unsigned seed)
{
    bytes p(static_cast<std::size_t>(width) * height * components);
    generator g{seed};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                double v = 0;
                if (kind == "noise") {
                    v = g.next() & 255;
                } else if (kind == "bars") {
                    const int bar = (x * 8 / std::max(width, 1) + y * 4 / std::max(height, 1) + c) % 4;
                    v = bar == 0 ? 0 : bar == 1 ? 255 : bar == 2 ? 40 : 215;
                } else if (kind == "smooth") {
                    // Broad gradients only: most blocks keep little beyond DC.
                    const double fx = static_cast<double>(x) / std::max(width, 1);
                    const double fy = static_cast<double>(y) / std::max(height, 1);
                    v = 120 + 60 * std::sin(2.0 * fx + c) * std::cos(1.5 * fy - 0.5 * c) + 50 * fy;
                    v += 25 * std::sin(40.0 * fx + 25.0 * fy + c); // gentle ripples
                    const double dx = fx - 0.3, dy = fy - 0.6;
                    v += 60 * std::exp(-(dx * dx + dy * dy) * 40.0) * (c == 1 ? -1 : 1); // a soft spot
                } else if (kind == "grainy") {
                    // A photo with strong grain and hard-edged shapes: the
                    // entropy-coded data dominates the decode.
                    const double fx = static_cast<double>(x) / std::max(width, 1);
                    const double fy = static_cast<double>(y) / std::max(height, 1);
                    v = 110 + 70 * std::sin(5.0 * fx + 2.0 * c) * std::cos(3.0 * fy - c) + 40 * fy;
                    if (((x >> 6) + (y >> 7)) % 5 == 0)
                        v = 60 + 50 * c; // tiles with sharp edges
                    v += 10 * std::sin(x * 0.7 + y * 0.45 * (c + 1));
                    v += static_cast<double>(g.next() % 31) - 15.0; // grain
                } else {                                            // photo-like
                    const double fx = static_cast<double>(x) / std::max(width, 1);
                    const double fy = static_cast<double>(y) / std::max(height, 1);
                    v = 110 + 70 * std::sin(6.0 * fx + 2.0 * c) * std::cos(4.0 * fy - c) + 40 * fy;
                    const double dx = fx - 0.6, dy = fy - 0.4;
                    if (dx * dx + dy * dy < 0.04)
                        v = 200 - 60 * c;                             // a disc with a sharp edge
                    v += 12 * std::sin(x * 0.9 + y * 0.35 * (c + 1)); // fine texture
                    v += (g.next() % 9) - 4.0;                        // sensor noise
                }
                p[(static_cast<std::size_t>(y) * width + x) * components + c] =
                    static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            }
        }
    return p;
}

bytes encode_libjpeg(const bytes &pixels, const encode_options &o)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jerr.error_exit = libjpeg_error_exit;
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(o.width);
    cinfo.image_height = static_cast<JDIMENSION>(o.height);
    cinfo.input_components = o.cmyk ? 4 : o.components;
    cinfo.in_color_space = o.cmyk ? JCS_CMYK : o.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, o.quality, TRUE);
    if (o.components == 3) {
        cinfo.comp_info[0].h_samp_factor = o.h;
        cinfo.comp_info[0].v_samp_factor = o.v;
        cinfo.comp_info[1].h_samp_factor = cinfo.comp_info[1].v_samp_factor = 1;
        cinfo.comp_info[2].h_samp_factor = cinfo.comp_info[2].v_samp_factor = 1;
    }
    cinfo.restart_interval = static_cast<unsigned>(o.restart_interval);
    cinfo.optimize_coding = o.optimize ? TRUE : FALSE;
    if (o.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_scan_info scans[3] = {};
    if (o.separate_scans) {
        for (int i = 0; i < 3; ++i) {
            scans[i].comps_in_scan = 1;
            scans[i].component_index[0] = i;
            scans[i].Ss = 0;
            scans[i].Se = 63;
        }
        cinfo.scan_info = scans;
        cinfo.num_scans = 3;
    }
    jpeg_start_compress(&cinfo, TRUE);
    const int stride = o.width * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(pixels.data() + static_cast<std::size_t>(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

decoded_image decode_libjpeg(const bytes &jpeg)
{
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jerr.error_exit = libjpeg_error_exit;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    // The same method as the show's decoder: the fast integer transform,
    // chroma by replication, no smoothing.
    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    decoded_image out;
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.channels = cinfo.output_components;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * out.channels);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row =
            out.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * out.width * out.channels;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

int max_difference(const decoded_image &a, const decoded_image &b)
{
    if (a.width != b.width || a.height != b.height || a.channels != b.channels ||
        a.pixels.size() != b.pixels.size())
        return 1000;
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        worst = std::max(worst, std::abs(static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i])));
    return worst;
}
