// Error codes of the JPEG decoder on crafted and damaged files, the
// stopped state after an error, and the stream hooks.
#include "jpeg_test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace
{

bytes small_jpeg(int components = 3, bool progressive = false, int restart = 0, int width = 40,
                 int height = 24)
{
    encode_options o;
    o.width = width;
    o.height = height;
    o.components = components;
    o.progressive = progressive;
    o.restart_interval = restart;
    return encode_libjpeg(make_picture("photo", o.width, o.height, components, 9), o);
}

// Offset of the n-th (0-based) marker 0xFF code.
std::size_t find_marker(const bytes &jpeg, int code, int n = 0)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code && n-- == 0)
            return i;
    ADD_FAILURE() << "marker " << code << " not found";
    return 0;
}

int header_error(const bytes &jpeg)
{
    memory_stream stream(jpeg);
    jpeg_image_decoder d(&stream, true);
    return d.error_code();
}

// Minimal 8x8 greyscale file built from segments; parts can be replaced.
bytes segment(int marker, std::initializer_list<int> payload)
{
    bytes s = {0xFF, static_cast<std::uint8_t>(marker), static_cast<std::uint8_t>((payload.size() + 2) >> 8),
               static_cast<std::uint8_t>((payload.size() + 2) & 255)};
    for (int b : payload)
        s.push_back(static_cast<std::uint8_t>(b));
    return s;
}

bytes dqt_all_ones()
{
    bytes s = {0xFF, 0xDB, 0, 67, 0};
    s.insert(s.end(), 64, 1);
    return s;
}

bytes join(std::initializer_list<bytes> parts)
{
    bytes out;
    for (const bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const bytes soi = {0xFF, 0xD8};
const bytes eoi = {0xFF, 0xD9};
const bytes sof_8x8_grey = segment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 0});
// DC: one 1-bit code for category 0. AC: one 1-bit code for "run 15, size 1".
const bytes dht_dc = segment(0xC4, {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00});
const bytes dht_ac_run15 = segment(0xC4, {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF1});
const bytes sos_grey = segment(0xDA, {1, 1, 0x00, 0, 63, 0});

} // namespace

TEST(JpegErrors, leading_garbage_under_512_bytes_is_skipped_over_is_not_jpeg)
{
    const bytes jpeg = small_jpeg();
    bytes ok(511, 0x20);
    ok.insert(ok.end(), jpeg.begin(), jpeg.end());
    const decoded_image d = decode_ours(ok);
    EXPECT_EQ(d.error, 0);
    EXPECT_EQ(max_difference(d, decode_ours(jpeg)), 0);

    bytes too_much(512, 0x20);
    too_much.insert(too_much.end(), jpeg.begin(), jpeg.end());
    EXPECT_EQ(header_error(too_much), jpeg_not_jpeg);
    EXPECT_EQ(header_error(bytes{}), jpeg_not_jpeg) << "an empty file";
    EXPECT_EQ(header_error(bytes{0xFF, 0xD8, 0x00, 0xC0}), jpeg_not_jpeg) << "no marker after SOI";
}

TEST(JpegErrors, frame_size_limits)
{
    const bytes jpeg = small_jpeg();
    const std::size_t sof = find_marker(jpeg, 0xC0);
    auto with_size = [&](int width, int height) {
        bytes b = jpeg;
        b[sof + 5] = static_cast<std::uint8_t>(height >> 8);
        b[sof + 6] = static_cast<std::uint8_t>(height);
        b[sof + 7] = static_cast<std::uint8_t>(width >> 8);
        b[sof + 8] = static_cast<std::uint8_t>(width);
        return header_error(b);
    };
    EXPECT_EQ(with_size(8192, 24), 0);
    EXPECT_EQ(with_size(8193, 24), jpeg_bad_width);
    EXPECT_EQ(with_size(0, 24), jpeg_bad_width);
    EXPECT_EQ(with_size(40, 8193), jpeg_bad_height);
    EXPECT_EQ(with_size(40, 0), jpeg_bad_height) << "DNL-defined heights are not supported";
}

TEST(JpegErrors, frame_header_fields)
{
    const bytes jpeg = small_jpeg();
    const std::size_t sof = find_marker(jpeg, 0xC0);
    bytes b = jpeg;
    b[sof + 4] = 12;
    EXPECT_EQ(header_error(b), jpeg_bad_precision);
    b = jpeg;
    b[sof + 9] = 5;
    EXPECT_EQ(header_error(b), jpeg_too_many_components);
    b = jpeg;
    b[sof + 3] += 1;
    EXPECT_EQ(header_error(b), jpeg_bad_sof_length);
    b = jpeg;
    b[sof + 1] = 0xC9;
    EXPECT_EQ(header_error(b), jpeg_no_arithmetic_support);
    for (int lossless_or_hierarchical : {0xC3, 0xC5, 0xC7, 0xCB, 0xCF}) {
        b = jpeg;
        b[sof + 1] = static_cast<std::uint8_t>(lossless_or_hierarchical);
        EXPECT_EQ(header_error(b), jpeg_unsupported_marker) << lossless_or_hierarchical;
    }
}

TEST(JpegErrors, table_segments)
{
    EXPECT_EQ(header_error(join({soi, segment(0xCC, {0, 0})})), jpeg_no_arithmetic_support) << "DAC";
    bytes counts_over_255 = {0xFF, 0xC4, 0, 19, 0x00};
    counts_over_255.insert(counts_over_255.end(), 16, 16); // 256 codes
    EXPECT_EQ(header_error(join({soi, counts_over_255})), jpeg_bad_dht_counts);
    EXPECT_EQ(
        header_error(join({soi, segment(0xC4, {0x24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})})),
        jpeg_bad_dht_index);
    EXPECT_EQ(header_error(join({soi, {0xFF, 0xC4, 0, 1}})), jpeg_bad_dht_marker);
    EXPECT_EQ(header_error(
                  join({soi, segment(0xC4, {0x00, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2})})),
              jpeg_bad_dht_marker)
        << "five symbols announced, two present";
    EXPECT_EQ(header_error(join({soi, {0xFF, 0xDB, 0, 0}})), jpeg_bad_dqt_marker);
    EXPECT_EQ(header_error(join({soi, segment(0xDB, {0x04})})), jpeg_bad_dqt_table);
    EXPECT_EQ(header_error(join({soi, segment(0xDB, {0x00, 1, 2, 3})})), jpeg_bad_dqt_length);
    EXPECT_EQ(header_error(join({soi, segment(0xDD, {0, 4, 0})})), jpeg_bad_dri_length);
    EXPECT_EQ(header_error(join({soi, {0xFF, 0xE0, 0, 1}})), jpeg_bad_variable_marker);
    EXPECT_EQ(header_error(join({soi, {0xFF, 0xD3}})), jpeg_unexpected_marker) << "RST among the headers";
    EXPECT_EQ(header_error(join({soi, {0xFF, 0x01}})), jpeg_unexpected_marker) << "TEM";
    EXPECT_EQ(header_error(soi), jpeg_unexpected_marker) << "a file that ends after SOI";
}

TEST(JpegErrors, scan_header_problems_are_reported_by_start)
{
    auto start_error = [](const bytes &b) {
        memory_stream stream(b);
        jpeg_image_decoder d(&stream, true);
        EXPECT_EQ(d.error_code(), 0);
        EXPECT_EQ(d.start(), -1);
        EXPECT_EQ(d.started(), false);
        return d.error_code();
    };
    EXPECT_EQ(start_error(join({soi, dqt_all_ones(), sof_8x8_grey, dht_dc, dht_ac_run15, eoi})),
              jpeg_unexpected_marker)
        << "EOI before the first scan";
    EXPECT_EQ(start_error(join({soi, dqt_all_ones(), sof_8x8_grey, dht_dc, dht_ac_run15,
                                segment(0xDA, {1, 1, 0x00, 0, 63}), eoi})),
              jpeg_bad_sos_length);
    EXPECT_EQ(start_error(join({soi, dqt_all_ones(), sof_8x8_grey, dht_dc, dht_ac_run15,
                                segment(0xDA, {1, 7, 0x00, 0, 63, 0}), eoi})),
              jpeg_bad_sos_comp_id);
    EXPECT_EQ(start_error(join({soi, sof_8x8_grey, dht_dc, dht_ac_run15, sos_grey, {0}, eoi})),
              jpeg_undefined_quant_table);
    EXPECT_EQ(start_error(join({soi, dqt_all_ones(), sof_8x8_grey, dht_dc, sos_grey, {0}, eoi})),
              jpeg_undefined_huff_table)
        << "no AC table";
    EXPECT_EQ(start_error(join({soi,
                                dqt_all_ones(),
                                sof_8x8_grey,
                                dht_dc,
                                dht_ac_run15,
                                segment(0xDA, {1, 1, 0x30, 0, 63, 0}),
                                {0},
                                eoi})),
              jpeg_undefined_huff_table)
        << "DC table 3 never defined";
}

TEST(JpegErrors, component_count_and_sampling_are_checked_at_start)
{
    encode_options o;
    o.width = 16;
    o.height = 16;
    o.components = 4;
    o.cmyk = true;
    const bytes cmyk = encode_libjpeg(make_picture("photo", 16, 16, 4, 2), o);
    memory_stream stream(cmyk);
    jpeg_image_decoder d(&stream, true);
    EXPECT_EQ(d.error_code(), 0) << "the headers of a CMYK file are fine";
    EXPECT_EQ(d.component_count(), 4);
    EXPECT_EQ(d.start(), -1);
    EXPECT_EQ(d.error_code(), jpeg_unsupported_colourspace);

    const bytes jpeg = small_jpeg();
    bytes chroma_2x1 = jpeg;
    chroma_2x1[find_marker(jpeg, 0xC0) + 14] = 0x21; // second component's sampling
    EXPECT_EQ(decode_ours(chroma_2x1).error, jpeg_unsupported_sampling);
    bytes luma_3x1 = jpeg;
    luma_3x1[find_marker(jpeg, 0xC0) + 11] = 0x31;
    EXPECT_EQ(decode_ours(luma_3x1).error, jpeg_unsupported_sampling);
}

TEST(JpegErrors, restart_marker_out_of_sequence_or_missing)
{
    const bytes jpeg = small_jpeg(3, false, 1);
    bytes wrong = jpeg;
    wrong[find_marker(jpeg, 0xD1) + 1] = 0xD5;
    decoded_image d = decode_ours(wrong);
    EXPECT_EQ(d.step_result, jpeg_decode_error) << "next_line reports a decoding error";
    EXPECT_EQ(d.error, jpeg_bad_restart_marker);

    bytes missing = jpeg;
    const std::size_t at = find_marker(jpeg, 0xD0);
    missing.erase(missing.begin() + static_cast<long>(at), missing.begin() + static_cast<long>(at) + 2);
    EXPECT_EQ(decode_ours(missing).error, jpeg_bad_restart_marker);

    const bytes progressive = small_jpeg(3, true, 1);
    bytes wrong_progressive = progressive;
    wrong_progressive[find_marker(progressive, 0xD2) + 1] = 0xD4;
    EXPECT_EQ(decode_ours(wrong_progressive).error, jpeg_bad_restart_marker) << "checked by start";
}

TEST(JpegErrors, progressive_scan_parameters)
{
    const bytes jpeg = small_jpeg(3, true);
    // Scan header bytes after the marker: length(2) count(1) 2 per component,
    // then Ss, Se, Ah/Al.
    auto patch_scan = [&](int scan, int ss, int se, int ahal) {
        bytes b = jpeg;
        const std::size_t sos = find_marker(jpeg, 0xDA, scan);
        const std::size_t p = sos + 5 + 2 * b[sos + 4];
        if (ss >= 0)
            b[p] = static_cast<std::uint8_t>(ss);
        if (se >= 0)
            b[p + 1] = static_cast<std::uint8_t>(se);
        if (ahal >= 0)
            b[p + 2] = static_cast<std::uint8_t>(ahal);
        return decode_ours(b).error;
    };
    EXPECT_EQ(patch_scan(0, -1, -1, -1), 0);
    EXPECT_EQ(patch_scan(0, 0, 5, -1), jpeg_bad_sos_spectral) << "a DC scan must end at 0";
    EXPECT_EQ(patch_scan(1, 6, 5, -1), jpeg_bad_sos_spectral) << "end before start";
    EXPECT_EQ(patch_scan(1, 1, 64, -1), jpeg_bad_sos_spectral) << "end past 63";
    EXPECT_EQ(patch_scan(0, 1, 5, -1), jpeg_bad_sos_spectral) << "an AC scan with three components";
    EXPECT_EQ(patch_scan(1, -1, -1, 0x20), jpeg_bad_sos_successive) << "refinement by two bits";
}

TEST(JpegErrors, ac_run_past_coefficient_63_is_a_decoding_error)
{
    // Four "run 15, size 1" codes take the block from coefficient 1 to 64.
    const bytes b =
        join({soi, dqt_all_ones(), sof_8x8_grey, dht_dc, dht_ac_run15, sos_grey, {0x00, 0x00}, eoi});
    const decoded_image d = decode_ours(b);
    EXPECT_EQ(d.step_result, jpeg_decode_error);
    EXPECT_EQ(d.error, jpeg_decode_error);

    bytes progressive = join({soi,
                              dqt_all_ones(),
                              segment(0xC2, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}),
                              dht_ac_run15,
                              segment(0xDA, {1, 1, 0x00, 1, 63, 0}),
                              {0x00, 0x00},
                              eoi});
    EXPECT_EQ(decode_ours(progressive).error, jpeg_decode_error);
}

TEST(JpegErrors, truncated_files_still_decode_every_line)
{
    for (bool progressive : {false, true})
        for (int components : {1, 3}) {
            const bytes jpeg = small_jpeg(components, progressive, 0, 160, 96);
            const decoded_image whole = decode_ours(jpeg);
            for (std::size_t keep : {jpeg.size() / 2, jpeg.size() - 40, jpeg.size() - 2}) {
                const bytes cut(jpeg.begin(), jpeg.begin() + static_cast<long>(keep));
                const decoded_image d = decode_ours(cut);
                EXPECT_EQ(d.error, 0) << keep << " of " << jpeg.size();
                EXPECT_EQ(d.pixels.size(), whole.pixels.size());
            }
        }
    const bytes jpeg = small_jpeg();
    const bytes headers_only(jpeg.begin(), jpeg.begin() + static_cast<long>(find_marker(jpeg, 0xDA) + 14));
    EXPECT_EQ(decode_ours(headers_only).error, 0) << "a scan with no data is grey, not an error";
}

TEST(JpegErrors, stream_read_error)
{
    const bytes jpeg = small_jpeg(3, false, 0, 160, 96);
    {
        memory_stream stream(jpeg, 16, 100);
        jpeg_image_decoder d(&stream, true);
        EXPECT_EQ(d.error_code(), jpeg_stream_read) << "during the headers";
    }
    memory_stream stream(jpeg, 16, static_cast<long>(jpeg.size()) - 100);
    jpeg_image_decoder d(&stream, true);
    ASSERT_EQ(d.error_code(), 0);
    ASSERT_EQ(d.start(), 0);
    const std::uint8_t *line = nullptr;
    int count = 0;
    int r = 0;
    for (int y = 0; y < d.height() && r == 0; ++y)
        r = d.next_line(line, count);
    EXPECT_EQ(r, jpeg_decode_error);
    EXPECT_EQ(d.error_code(), jpeg_stream_read);
    EXPECT_EQ(d.next_line(line, count), -1) << "stopped for good";
    EXPECT_EQ(d.start(), -1) << "start refuses too";
}

TEST(JpegErrors, stopped_decoder_refuses_work_and_detaches_once)
{
    bytes bad = small_jpeg();
    bad[find_marker(bad, 0xC0) + 4] = 12;
    memory_stream stream(bad);
    {
        jpeg_image_decoder d(&stream, true);
        EXPECT_EQ(d.error_code(), jpeg_bad_precision);
        EXPECT_EQ(stream.detached, 1) << "detached when it stopped";
        EXPECT_EQ(d.start(), -1);
        const std::uint8_t *line = nullptr;
        int count = 0;
        EXPECT_EQ(d.next_line(line, count), -1);
    }
    EXPECT_EQ(stream.attached, 1);
    EXPECT_EQ(stream.detached, 1) << "not again at destruction";

    const bytes good = small_jpeg();
    memory_stream good_stream(good);
    {
        jpeg_image_decoder d(&good_stream, true);
        const std::uint8_t *line = nullptr;
        int count = 0;
        EXPECT_EQ(d.next_line(line, count), -1) << "next_line before start";
    }
    EXPECT_EQ(good_stream.detached, 1);
}

TEST(JpegErrors, file_stream_reads_and_reports_missing_files)
{
    jpeg_decoder_file_stream missing;
    EXPECT_FALSE(missing.open("/nonexistent/picture.jpg"));
    std::uint8_t buffer[8];
    bool end = false;
    EXPECT_EQ(missing.read(buffer, 8, end), -1);
    // A folder opens with fopen on Linux; the stream refuses it like a
    // missing file.
    EXPECT_FALSE(missing.open(VELLAMOR_BINARY_DIR));
    EXPECT_FALSE(missing.is_open());

    const std::string path = std::string(VELLAMOR_BINARY_DIR) + "/tests/jpeg/stream_test.jpg";
    const bytes jpeg = small_jpeg();
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(jpeg.data(), 1, jpeg.size(), f);
    std::fclose(f);
    jpeg_decoder_file_stream stream;
    ASSERT_TRUE(stream.open(path.c_str()));
    jpeg_image_decoder d(&stream, true);
    ASSERT_EQ(d.start(), 0);
    EXPECT_EQ(d.width(), 40);
    EXPECT_EQ(d.height(), 24);
    bytes rest(jpeg.size());
    EXPECT_EQ(stream.read(rest.data(), static_cast<int>(rest.size()), end), 0) << "already at the end";
    EXPECT_TRUE(end);
}
