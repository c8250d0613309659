// The recording's second thread: each frame's colour conversion and
// encoding, and the soundtrack that goes with it, run here while the main
// thread draws the next frames. A few frames may wait; pushing more blocks.
// After a failure no more frames are taken.
// Depends on: record/record_sink.h, record/soundtrack_reader.h.
#pragma once

#include "record/record_sink.h"
#include "record/soundtrack_reader.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class EncodePipeline
{
  public:
    // `audio` may be null: no sound is written then.
    EncodePipeline(RecordSink &sink, SoundtrackReader *audio, int fps, int rate, std::size_t depth = 2);
    ~EncodePipeline(); // stops the thread (finish() first to keep the frames)
    EncodePipeline(const EncodePipeline &) = delete;
    EncodePipeline &operator=(const EncodePipeline &) = delete;

    // Hands frame n over (n counts up from 0). False once a write failed.
    bool push(long n, std::vector<std::uint8_t> &&rgb);
    // Waits until every frame handed over is written; false when one failed.
    bool drain();
    // True when the thread stopped because an allocation failed.
    bool out_of_memory() const;
    // Seconds the caller spent blocked in push().
    double wait_seconds() const { return wait_seconds_; }
    long frames_written() const;

  private:
    void run();

    RecordSink &sink_;
    SoundtrackReader *audio_;
    int fps_, rate_;
    std::size_t depth_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<long, std::vector<std::uint8_t>>> waiting_;
    bool busy_ = false;
    bool failed_ = false;
    bool out_of_memory_ = false;
    bool stop_ = false;
    long written_ = 0;
    double wait_seconds_ = 0.0;
    std::vector<float> sound_;
    std::thread thread_;
};
