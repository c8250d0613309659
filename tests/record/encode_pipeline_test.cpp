// The encoding thread against a sink that records what reaches it.
#include "record/encode_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
class RecordingSink final : public RecordSink
{
  public:
    bool open() override { return true; }
    bool write_frame(long n, const std::vector<std::uint8_t> &rgb) override
    {
        if (n == fail_at)
            return false;
        order.push_back(n);
        first_bytes.push_back(rgb.empty() ? 0 : rgb[0]);
        return true;
    }
    bool write_audio(const float *, std::size_t frames) override
    {
        audio.push_back(frames);
        return true;
    }
    bool finish() override { return true; }
    bool commit() override { return true; }
    std::string discard() override { return ""; }
    const std::string &error() const override { return error_; }
    double encode_seconds() const override { return 0.0; }

    long fail_at = -1;
    std::vector<long> order;
    std::vector<std::uint8_t> first_bytes;
    std::vector<std::size_t> audio;
    std::string error_;
};
} // namespace

TEST(EncodePipeline, writes_every_frame_in_order_with_its_share_of_the_sound)
{
    RecordingSink sink;
    SoundtrackReader silence; // never opened: silence
    {
        EncodePipeline pipeline(sink, &silence, 24, 44100);
        for (long n = 0; n < 48; ++n)
            ASSERT_TRUE(pipeline.push(n, std::vector<std::uint8_t>(3, static_cast<std::uint8_t>(n))));
        ASSERT_TRUE(pipeline.drain());
        EXPECT_EQ(pipeline.frames_written(), 48);
    }
    ASSERT_EQ(sink.order.size(), 48u);
    std::size_t samples = 0;
    for (long n = 0; n < 48; ++n) {
        EXPECT_EQ(sink.order[n], n);
        EXPECT_EQ(sink.first_bytes[n], n);
        samples += sink.audio[n];
    }
    EXPECT_EQ(samples, 2u * 44100u); // two seconds, to the sample
}

TEST(EncodePipeline, takes_no_more_frames_after_a_failed_write)
{
    RecordingSink sink;
    sink.fail_at = 5;
    EncodePipeline pipeline(sink, nullptr, 30, 44100);
    bool refused = false;
    for (long n = 0; n < 100 && !refused; ++n)
        refused = !pipeline.push(n, std::vector<std::uint8_t>(3));
    EXPECT_FALSE(pipeline.drain());
    EXPECT_TRUE(refused);
    EXPECT_EQ(pipeline.frames_written(), 5);
    EXPECT_EQ(sink.order.size(), 5u);
}
