#include "record/encode_pipeline.h"

#include <chrono>
#include <new>

EncodePipeline::EncodePipeline(RecordSink &sink, SoundtrackReader *audio, int fps, int rate,
                               std::size_t depth)
    : sink_(sink), audio_(audio), fps_(fps), rate_(rate), depth_(depth), thread_([this] { run(); })
{
}

EncodePipeline::~EncodePipeline()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool EncodePipeline::push(long n, std::vector<std::uint8_t> &&rgb)
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || waiting_.size() < depth_; });
    wait_seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failed_)
        return false;
    waiting_.emplace_back(n, std::move(rgb));
    lock.unlock();
    changed_.notify_all();
    return true;
}

bool EncodePipeline::drain()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || (waiting_.empty() && !busy_); });
    return !failed_;
}

bool EncodePipeline::out_of_memory() const
{
    std::lock_guard lock(mutex_);
    return out_of_memory_;
}

long EncodePipeline::frames_written() const
{
    std::lock_guard lock(mutex_);
    return written_;
}

void EncodePipeline::run()
{
    for (;;) {
        std::unique_lock lock(mutex_);
        // After a failed write the sink is broken: nothing more goes to it.
        changed_.wait(lock, [this] { return stop_ || failed_ || !waiting_.empty(); });
        if (failed_ || waiting_.empty())
            return;
        auto [n, rgb] = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();

        bool ok = true, no_memory = false;
        // An exception must not leave the thread (it would end the
        // process): a failed allocation fails the write like any other.
        try {
            if (audio_ != nullptr) {
                const long long first = audio_frame_at(n, fps_, rate_);
                const auto frames = static_cast<std::size_t>(audio_frame_at(n + 1, fps_, rate_) - first);
                sound_.resize(2 * frames);
                audio_->read(sound_.data(), frames);
                ok = sink_.write_audio(sound_.data(), frames);
            }
            ok = ok && sink_.write_frame(n, rgb);
        } catch (const std::bad_alloc &) {
            ok = false;
            no_memory = true;
        }

        lock.lock();
        out_of_memory_ = out_of_memory_ || no_memory;
        busy_ = false;
        if (ok)
            ++written_;
        else
            failed_ = true;
        lock.unlock();
        changed_.notify_all();
    }
}
