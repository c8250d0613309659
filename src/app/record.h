// The video export (--record): every frame of the show drawn offline by the
// show's own frame loop on a stepped clock, read back while the next frame
// is drawn, and converted and encoded on a second thread, with the
// soundtrack from the first frame's time on. No dialog, no sound device, no
// display needed. SIGINT or SIGTERM stops after the current frame and
// finishes the output, so what was drawn plays (app/stop_signals.h).
// Depends on: app/show_spine.h, record/ (sinks, encoding thread, options),
// render/frame_readback.h, sound/track_music.h. Main thread only.
#pragma once

#include "record/record_options.h"

#include <optional>
#include <string>

struct RecordRequest {
    std::string out; // as validated by the command line
    RecordOutput kind = RecordOutput::mp4;
    int width = 1920, height = 1080, fps = 60;
    double from = 0.0;
    std::optional<double> to; // default: the show's end
    bool progress = true;     // on standard error
    int crf = 18;
    std::string preset = "medium";
};

// Where the time of an export went, in seconds (render: drawing until the
// frame is complete; read-back: the copy out of GL; convert and encode: on
// the encoding thread; waiting: the main thread blocked on that thread).
struct RecordStats {
    long frames = 0;
    bool interrupted = false;
    double wall = 0.0, render = 0.0, readback = 0.0, convert = 0.0, encode = 0.0, waiting = 0.0;
    double frames_wall = 0.0; // from the first frame until the encoder took the last
};

// Runs the export from the data folder (the working directory). The show is
// set up and checked first: a file that did not load (each named on
// standard error) or a stop asked for during the set-up ends it before the
// output is touched. The output is written as OUT.part and renamed over OUT
// once finished. Returns the exit status: 0 when every frame was written;
// 1 on an error (reported on standard error with the path; the temporary
// removed, an existing OUT as it was), also "not enough memory for WxH";
// 128 + the signal's number when SIGINT or SIGTERM stopped it (the output
// finished with the frames drawn, or nothing written before the first).
int run_record(const RecordRequest &request, RecordStats *stats = nullptr);
