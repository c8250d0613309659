// Decoded audio on its way from the decoder thread to the audio callback: a
// fixed ring of blocks with one writer and one reader and no locks, so the
// callback never waits on the decoder.
//
// Depends on: nothing. Limits: exactly one producer thread and one consumer
// thread; each block carries the seek generation ("epoch") it was decoded
// for, so the reader can drop blocks made obsolete by a seek without the
// writer touching the read side.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t sound_block_frames = 1024;

struct SoundBlock {
    std::uint32_t epoch = 0;                          // seek generation the frames belong to
    std::int64_t position = 0;                        // track frame of the first frame in data
    std::uint32_t frames = 0;                         // frames used, up to sound_block_frames
    std::array<float, 2 * sound_block_frames> data{}; // interleaved stereo
};

class SoundRing
{
  public:
    // The writer keeps `fill_target` blocks of the current epoch ahead of the
    // reader (0.19 s at 44100 Hz, enough to ride out a busy decoder thread).
    // The rest of the capacity is headroom for a seek: blocks for the new
    // place can be written at once behind the obsolete ones, so the very
    // next callback plays them.
    static constexpr std::size_t fill_target = 8;
    static constexpr std::size_t capacity = 3 * fill_target;

    // Writer: blocks published and not yet given back by the reader.
    std::size_t queued() const
    {
        return static_cast<std::size_t>(written_.load(std::memory_order_relaxed) -
                                        read_.load(std::memory_order_acquire));
    }

    // Writer: the block to fill next, or null while the ring is full.
    SoundBlock *free_block()
    {
        const std::uint64_t w = written_.load(std::memory_order_relaxed);
        if (w - read_.load(std::memory_order_acquire) >= capacity)
            return nullptr;
        return &blocks_[w % capacity];
    }
    // Writer: hands the block from free_block() to the reader.
    void publish()
    {
        written_.store(written_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }

    // Reader: the oldest published block, or null while the ring is empty.
    const SoundBlock *front() const
    {
        const std::uint64_t r = read_.load(std::memory_order_relaxed);
        if (written_.load(std::memory_order_acquire) == r)
            return nullptr;
        return &blocks_[r % capacity];
    }
    // Reader: gives the front block back to the writer.
    void pop() { read_.store(read_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

    // Only while neither side runs (both threads stopped).
    void clear()
    {
        written_.store(0, std::memory_order_relaxed);
        read_.store(0, std::memory_order_relaxed);
    }

  private:
    std::array<SoundBlock, capacity> blocks_{};
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> read_{0};
};
