// JPEG writer on libjpeg-turbo's compressor.
// Depends on: jpeg_writer.h, libjpeg. Errors inside libjpeg jump back here
// instead of ending the process.
#include "jpeg_writer.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace picgen
{
namespace
{

struct ErrorJump {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void on_error(j_common_ptr info)
{
    auto *e = reinterpret_cast<ErrorJump *>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->jump, 1);
}

unsigned char to_byte(float v)
{
    return static_cast<unsigned char>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

} // namespace

bool write_jpeg(const std::string &path, const Picture &picture, const JpegOptions &options,
                std::string &error)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot open " + path + " for writing";
        return false;
    }
    std::vector<unsigned char> row(static_cast<size_t>(picture.width) * 3);
    jpeg_compress_struct info;
    ErrorJump err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = on_error;
    if (setjmp(err.jump)) {
        error = path + ": " + err.message;
        jpeg_destroy_compress(&info);
        std::fclose(file);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    info.dct_method = JDCT_ISLOW; // the exact integer transform: same bytes everywhere
    info.comp_info[0].h_samp_factor = options.luma_h;
    info.comp_info[0].v_samp_factor = options.luma_v;
    for (int c = 1; c < 3; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    info.optimize_coding = options.optimize ? TRUE : FALSE;
    info.restart_in_rows = options.restart_rows;
    if (options.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    static const char kComment[] = "Vellamor show picture, made by picgen";
    jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET *>(kComment),
                      static_cast<unsigned>(std::strlen(kComment)));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < picture.width; ++x) {
            const Rgb &p = picture.at(x, y);
            row[static_cast<size_t>(x) * 3 + 0] = to_byte(p.r);
            row[static_cast<size_t>(x) * 3 + 1] = to_byte(p.g);
            row[static_cast<size_t>(x) * 3 + 2] = to_byte(p.b);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0) {
        error = "cannot finish " + path;
        return false;
    }
    return true;
}

} // namespace picgen
