// The sound module's decoder thread (see sound_state.h): keeps the ring
// filled with decoded frames for the current epoch, seeks when a new one is
// requested, and scans the file once the first buffers are ready.
#include "sound/sound_state.h"

#include <algorithm>

void Sound::State::decode_loop()
{
    std::uint32_t epoch_now = request_epoch(request.load(std::memory_order_acquire));
    std::int64_t next = request_frame(request.load(std::memory_order_acquire));
    bool at_end = false;
    bool scanned = false;
    std::size_t written_this_epoch = 0;
    for (;;) {
        const std::uint32_t seen = wake.load(std::memory_order_acquire);
        if (stop.load(std::memory_order_acquire))
            return;
        const std::uint64_t r = request.load(std::memory_order_acquire);
        if (request_epoch(r) != epoch_now) {
            epoch_now = request_epoch(r);
            next = request_frame(r);
            at_end = !decoder.seek(next);
            written_this_epoch = 0;
            if (at_end && !loop.load(std::memory_order_acquire))
                end_mark.store(pack_request(epoch_now, static_cast<std::uint32_t>(next)),
                               std::memory_order_release);
        }
        // Looping may be switched on after the end was reached (a short
        // track is decoded whole before play): it starts over then too.
        if (at_end && loop.load(std::memory_order_acquire) && decoder.seek(0)) {
            at_end = false;
            next = 0;
            end_mark.store(0, std::memory_order_release);
        }
        // Blocks of the current epoch still waiting in the ring: at most the
        // ones written since the seek, at most all that are queued. Before
        // the scan the whole ring is filled (0.56 s), so that playback rides
        // out the scan even on a slow or busy machine.
        const std::size_t ahead = std::min(written_this_epoch, ring.queued());
        const std::size_t wanted = scanned ? SoundRing::fill_target : SoundRing::capacity;
        SoundBlock *block = at_end || ahead >= wanted ? nullptr : ring.free_block();
        if (block == nullptr) {
            if (!scanned) {
                scanned = true;
                if (decoder.scan())
                    length.store(decoder.length(), std::memory_order_release);
                length_final.store(true, std::memory_order_release);
                continue;
            }
            wake.wait(seen, std::memory_order_acquire);
            continue;
        }
        const std::size_t n = decoder.read(block->data.data(), sound_block_frames);
        if (n == 0) {
            at_end = true;
            if (!loop.load(std::memory_order_acquire))
                end_mark.store(pack_request(epoch_now, static_cast<std::uint32_t>(next)),
                               std::memory_order_release);
            continue;
        }
        block->epoch = epoch_now;
        block->position = next;
        block->frames = static_cast<std::uint32_t>(n);
        ring.publish();
        ++written_this_epoch;
        next += static_cast<std::int64_t>(n);
    }
}

void Sound::State::stop_decoder()
{
    if (decoder_thread.joinable()) {
        stop.store(true, std::memory_order_release);
        poke();
        decoder_thread.join();
    }
    stop.store(false, std::memory_order_relaxed);
}
