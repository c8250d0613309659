// The command line. Any text at all opens the debug console; beyond that a
// few options serve people who run the show from a terminal or a script.
// A plain parser returning a struct, so new options slot in easily.
// Depends on: nothing.
#pragma once

#include "record/record_options.h"

#include <optional>
#include <string>
#include <vector>

struct CommandLine {
    bool has_text = false; // any argument: open the debug console
    bool help = false;
    std::optional<std::pair<int, int>> mode; // --mode WxH: no dialog
    bool windowed = false;                   // --windowed (with --mode)
    bool force_16_9 = true;                  // cleared by --no-force-16-9
    std::string data_dir;                    // --data DIR
    bool dev = false;                        // --dev: author mode (seek, pause, reload, overlay)
    std::vector<std::string> still_times;    // --still T (repeatable): draw stills
    std::string still_out;                   // --out FILE.png (with --still)
    std::string record_out;                  // --record OUT: export the show
    RecordOutput record_kind = RecordOutput::mp4;
    int fps = 60;             // --fps N (with --record), 1..240
    double from = 0.0;        // --from T (with --record)
    std::optional<double> to; // --to T (with --record); default: the end
    std::string error;        // non-empty: print it with the usage, exit 2
};

// `args` excludes the program name. Arguments not starting with "--" are
// console text only; an unknown "--" option is an error.
CommandLine parse_command_line(const std::vector<std::string> &args);

std::string usage_text(const std::string &program);
