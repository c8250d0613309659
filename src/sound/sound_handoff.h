// Latest-value handoff from the audio callback to the main thread without
// locks (a triple buffer): the writer always has a slot of its own to fill,
// the reader always reads a complete, stable value, and neither waits.
//
// Depends on: nothing. Limits: one writer thread and one reader thread;
// values the reader skips are lost (it only ever wants the newest).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

template <class T> class SoundHandoff
{
  public:
    // Writer: the slot to fill, then publish().
    T &back() { return slots_[back_]; }
    void publish() { back_ = middle_.exchange(back_ | fresh, std::memory_order_acq_rel) & index_mask; }

    // Reader: takes the newest published value if there is one; true when
    // front() changed.
    bool refresh()
    {
        if ((middle_.load(std::memory_order_relaxed) & fresh) == 0)
            return false;
        front_ = middle_.exchange(front_, std::memory_order_acq_rel) & index_mask;
        return true;
    }
    const T &front() const { return slots_[front_]; }

  private:
    static constexpr std::uint8_t fresh = 4;
    static constexpr std::uint8_t index_mask = 3;
    std::array<T, 3> slots_{};
    std::uint8_t back_ = 0;               // writer's own
    std::atomic<std::uint8_t> middle_{1}; // exchanged between the two
    std::uint8_t front_ = 2;              // reader's own
};
