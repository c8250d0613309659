#include "record/progress.h"

#include <cmath>

std::string progress_text(long done, long total, double fps)
{
    const double percent = total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 100.0;
    char left[32] = "--:--";
    if (fps > 0.0 && std::isfinite(fps)) {
        const long seconds = std::lround(static_cast<double>(total - done) / fps);
        std::snprintf(left, sizeof left, "%ld:%02ld", seconds / 60, seconds % 60);
    }
    char text[160];
    std::snprintf(text, sizeof text, "frame %ld of %ld (%.1f %%), %.2f fps, %s left", done, total, percent,
                  fps, left);
    return text;
}

void ProgressReporter::report(long done, double elapsed)
{
    const double fps = elapsed > 0.0 ? static_cast<double>(done) / elapsed : 0.0;
    if (terminal_) {
        std::fprintf(out_, "\r%s\033[K", progress_text(done, total_, fps).c_str());
        std::fflush(out_);
        written_ = true;
        return;
    }
    const bool last = done >= total_;
    const bool step = total_ > 0 && done * 20 >= static_cast<long>(next_step_) * total_;
    if (!step && !last)
        return;
    while (total_ > 0 && done * 20 >= static_cast<long>(next_step_) * total_)
        ++next_step_;
    std::fprintf(out_, "%s\n", progress_text(done, total_, fps).c_str());
    std::fflush(out_);
}

void ProgressReporter::finish()
{
    if (terminal_ && written_)
        std::fputc('\n', out_);
    written_ = false;
}
