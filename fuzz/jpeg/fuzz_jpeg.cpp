// libFuzzer entry for the JPEG decoder. The first input byte picks the
// kernel forms and the stream's chunk size (so that refills land in every
// place); the rest is the file. Decodes at most 1 megapixel of rows
// per input so that huge declared frames stay fast.
//
// Depends on: assets/jpeg.
#include "assets/jpeg/jpeg_image_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{

class fuzz_stream final : public jpeg_decoder_stream
{
  public:
    fuzz_stream(const std::uint8_t *data, std::size_t size, int chunk)
        : data_(data), size_(size), chunk_(chunk)
    {
    }
    int read(std::uint8_t *buffer, int max_bytes, bool &end_of_stream) override
    {
        const std::size_t n =
            std::min({static_cast<std::size_t>(max_bytes), static_cast<std::size_t>(chunk_), size_ - pos_});
        if (n > 0)
            std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        if (pos_ == size_)
            end_of_stream = true;
        return static_cast<int>(n);
    }

  private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    int chunk_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    // Bit 0 and bit 7: scalar, SSE2 or AVX2 kernels (lowered to what the
    // processor runs).
    const int form = (data[0] & 1) == 0 ? 0 : (data[0] & 0x80) != 0 ? 1 : 2;
    const int chunk = (data[0] & 2) != 0 ? 1 + ((data[0] & 0x7F) >> 2) * 37 : 4096;
    fuzz_stream stream(data + 1, size - 1, chunk);
    jpeg_image_decoder decoder(&stream, form == 0   ? jpeg_image_decoder::kernels::scalar
                                        : form == 1 ? jpeg_image_decoder::kernels::sse2
                                                    : jpeg_image_decoder::kernels::avx2);
    if (decoder.error_code() != 0 || decoder.start() != 0)
        return 0;
    const long max_lines = std::max(1L, (1L << 20) / decoder.width());
    const std::uint8_t *line = nullptr;
    int count = 0;
    volatile std::uint8_t sink = 0;
    for (long y = 0; y < max_lines; ++y) {
        if (decoder.next_line(line, count) != 0)
            break;
        sink = static_cast<std::uint8_t>(sink + line[0] + line[count - 1]);
    }
    return 0;
}
