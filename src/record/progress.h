// Progress of a recording on standard error: "frame n of N (p %), f fps,
// m:ss left", rewritten in place on a terminal, else a plain line every
// 5 % (and at the end), so a log file stays short.
// Depends on: nothing.
#pragma once

#include <cstdio>
#include <string>

std::string progress_text(long done, long total, double frames_per_second);

class ProgressReporter
{
  public:
    ProgressReporter(long total, bool terminal, std::FILE *out)
        : total_(total), terminal_(terminal), out_(out)
    {
    }
    // `done` frames are written after `elapsed` seconds.
    void report(long done, double elapsed);
    // Ends the line on a terminal.
    void finish();

  private:
    long total_;
    bool terminal_;
    std::FILE *out_;
    int next_step_ = 1; // the next multiple of 5 % that prints a line
    bool written_ = false;
};
