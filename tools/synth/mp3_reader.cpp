// MP3 decoding: see mp3_reader.h.
#include "mp3_reader.h"

#include <mpg123.h>

#include <memory>
#include <mutex>

namespace synth
{
namespace
{

struct HandleDeleter {
    void operator()(mpg123_handle *h) const
    {
        mpg123_close(h);
        mpg123_delete(h);
    }
};

} // namespace

bool read_mp3(const std::string &path, DecodedAudio &out, std::string &error)
{
    static std::once_flag init;
    std::call_once(init, [] { mpg123_init(); });
    out = DecodedAudio{};
    int err = 0;
    std::unique_ptr<mpg123_handle, HandleDeleter> h(mpg123_new(nullptr, &err));
    if (!h) {
        error = "cannot start the MP3 decoder";
        return false;
    }
    mpg123_param(h.get(), MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(h.get());
    for (long rate : {44100L, 48000L, 32000L, 22050L})
        mpg123_format(h.get(), rate, MPG123_STEREO | MPG123_MONO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(h.get(), path.c_str()) != MPG123_OK) {
        error = "cannot open '" + path + "'";
        return false;
    }
    int encoding = 0;
    if (mpg123_getformat(h.get(), &out.rate, &out.channels, &encoding) != MPG123_OK || out.channels < 1 ||
        out.channels > 2) {
        error = "'" + path + "' is not an MP3 this decoder reads";
        return false;
    }
    std::vector<float> buf(16384);
    std::size_t got = 0;
    int rc;
    do {
        rc = mpg123_read(h.get(), reinterpret_cast<unsigned char *>(buf.data()), buf.size() * sizeof(float),
                         &got);
        const std::size_t n = got / sizeof(float);
        const auto step = static_cast<std::size_t>(out.channels);
        for (std::size_t i = 0; i + step <= n; i += step) {
            out.audio.left.push_back(buf[i]);
            out.audio.right.push_back(buf[i + step - 1]);
        }
    } while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT);
    if (rc != MPG123_DONE) {
        error = "decoding '" + path + "' failed: " + mpg123_plain_strerror(rc);
        return false;
    }
    return true;
}

} // namespace synth
