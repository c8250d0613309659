#include "record/wav_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace
{
void put16(std::vector<unsigned char> &b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v & 0xff));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}
void put32(std::vector<unsigned char> &b, std::uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

std::vector<unsigned char> header(int rate, std::uint32_t data_bytes)
{
    std::vector<unsigned char> b;
    const auto text = [&b](const char *s) { b.insert(b.end(), s, s + 4); };
    text("RIFF");
    put32(b, 36 + data_bytes);
    text("WAVE");
    text("fmt ");
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, 2); // stereo
    put32(b, static_cast<std::uint32_t>(rate));
    put32(b, static_cast<std::uint32_t>(rate) * 4);
    put16(b, 4);
    put16(b, 16);
    text("data");
    put32(b, data_bytes);
    return b;
}
} // namespace

WavWriter::~WavWriter()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

bool WavWriter::fail(const char *what)
{
    if (error_.empty())
        error_ = std::string("cannot ") + what + " " + path_ + ": " + std::strerror(errno);
    return false;
}

bool WavWriter::open(const std::string &path, int rate)
{
    path_ = path;
    rate_ = rate;
    data_bytes_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        return fail("create");
    const auto h = header(rate, 0);
    if (std::fwrite(h.data(), 1, h.size(), file_) != h.size())
        return fail("write");
    return true;
}

bool WavWriter::write(const float *stereo, std::size_t frames)
{
    if (file_ == nullptr || !error_.empty())
        return false;
    std::vector<unsigned char> b;
    b.reserve(frames * 4);
    for (std::size_t i = 0; i < frames * 2; ++i) {
        const float v = std::clamp(std::isnan(stereo[i]) ? 0.0F : stereo[i], -1.0F, 1.0F);
        const auto s = static_cast<std::int16_t>(std::lrint(v * 32767.0F));
        put16(b, static_cast<std::uint16_t>(s));
    }
    if (std::fwrite(b.data(), 1, b.size(), file_) != b.size())
        return fail("write");
    data_bytes_ += b.size();
    return true;
}

bool WavWriter::finish()
{
    if (file_ == nullptr)
        return false;
    bool ok = error_.empty();
    // A WAV file counts its bytes in 32 bits: a longer one keeps the largest.
    const auto bytes = static_cast<std::uint32_t>(std::min<std::uint64_t>(data_bytes_, 0xffffffffu - 36));
    const auto h = header(rate_, bytes);
    if (ok && (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h.data(), 1, h.size(), file_) != h.size()))
        ok = fail("write");
    if (std::fclose(file_) != 0 && ok)
        ok = fail("close");
    file_ = nullptr;
    return ok;
}
