// Command-line parsing.
#include "app/command_line.h"

#include "runtime/frame_step.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <set>

namespace
{
// "WxH" with both sides in 1..16384.
std::optional<std::pair<int, int>> parse_mode(const std::string &text)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        return std::nullopt;
    int w = 0, h = 0;
    const char *begin = text.data();
    const char *end = begin + text.size();
    const auto rw = std::from_chars(begin, begin + x, w);
    const auto rh = std::from_chars(begin + x + 1, end, h);
    if (rw.ec != std::errc{} || rw.ptr != begin + x || rh.ec != std::errc{} || rh.ptr != end)
        return std::nullopt;
    if (w < 1 || h < 1 || w > 16384 || h > 16384)
        return std::nullopt;
    return std::pair{w, h};
}

// A scene time such as "41" or "103.05" within the show's 0..251 s.
bool is_still_time(const std::string &text)
{
    double t = 0;
    const char *end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, t);
    return r.ec == std::errc{} && r.ptr == end && t >= 0.0 && t <= show_end_time;
}

// "F.png" in any case: the still is PNG data, and a name saying otherwise
// would mislead every program that opens it.
bool has_png_extension(const std::string &name)
{
    const std::string ext = ".png";
    if (name.size() <= ext.size())
        return false;
    return std::equal(ext.begin(), ext.end(), name.end() - static_cast<std::ptrdiff_t>(ext.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}
// A whole number of frames per second in 1..240.
std::optional<int> parse_fps(const std::string &text)
{
    int n = 0;
    const char *end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, n);
    if (r.ec != std::errc{} || r.ptr != end || n < 1 || n > 240)
        return std::nullopt;
    return n;
}

// A finite time of at least 0 s.
std::optional<double> parse_show_time(const std::string &text)
{
    double t = 0;
    const char *end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, t);
    if (r.ec != std::errc{} || r.ptr != end || !std::isfinite(t) || t < 0.0)
        return std::nullopt;
    return t;
}

// The checks across options, once all are read.
std::string check_record_options(CommandLine &c, bool fps_given, bool from_given)
{
    const bool recording = !c.record_out.empty();
    if (!recording)
        return fps_given || from_given || c.to ? "--fps, --from and --to go with --record" : "";
    if (!c.still_times.empty())
        return "--record and --still cannot be used together";
    std::string why;
    const auto kind = classify_record_output(c.record_out, why);
    if (!kind)
        return why;
    c.record_kind = *kind;
    if (c.from > show_end_time)
        return "--from lies past the end of the show (251 s)";
    if (c.to && !(*c.to > c.from))
        return "--to must come after --from";
    const auto mode = c.mode.value_or(std::pair{1920, 1080});
    if (c.record_kind != RecordOutput::png_sequence && (mode.first % 2 != 0 || mode.second % 2 != 0))
        return "H.264 video needs an even width and height";
    return "";
}
} // namespace

CommandLine parse_command_line(const std::vector<std::string> &args)
{
    CommandLine c;
    c.has_text = !args.empty();
    bool fps_given = false, from_given = false;
    std::set<std::string> seen;
    std::string stray; // the first plain word
    for (std::size_t i = 0; i < args.size() && c.error.empty(); ++i) {
        const std::string &a = args[i];
        if (a.rfind("--", 0) != 0) {
            // Plain text only opens the console (for an export or a still
            // it is refused below: "-fps 10" must not pass unnoticed).
            if (stray.empty())
                stray = a;
            continue;
        }
        // Each option once: a second value would silently win. Several
        // stills are several --still options, each with its own time.
        if (a != "--still" && !seen.insert(a).second) {
            c.error = "option " + a + " given twice";
            break;
        }
        const bool has_value = i + 1 < args.size();
        if (a == "--help") {
            c.help = true;
        } else if (a == "--windowed") {
            c.windowed = true;
        } else if (a == "--no-force-16-9") {
            c.force_16_9 = false;
        } else if (a == "--dev") {
            c.dev = true;
        } else if (a == "--mode") {
            if (!has_value || !(c.mode = parse_mode(args[++i])))
                c.error = "--mode needs a size such as 1280x720";
        } else if (a == "--data") {
            if (!has_value || args[i + 1].empty())
                c.error = "--data needs a folder";
            else
                c.data_dir = args[++i];
        } else if (a == "--still") {
            if (!has_value || !is_still_time(args[i + 1]))
                c.error = "--still needs a scene time in seconds from 0 to 251";
            else if (std::find(c.still_times.begin(), c.still_times.end(), args[i + 1]) !=
                     c.still_times.end())
                c.error = "--still " + args[i + 1] + " given twice";
            else
                c.still_times.push_back(args[++i]);
        } else if (a == "--out") {
            if (!has_value || !has_png_extension(args[i + 1]))
                c.error = "--out needs a file name ending in .png";
            else
                c.still_out = args[++i];
        } else if (a == "--record") {
            if (!has_value || args[i + 1].empty())
                c.error = "--record needs an output name (FILE.mp4, FILE.mkv or frames/%05d.png)";
            else
                c.record_out = args[++i];
        } else if (a == "--fps") {
            const auto fps = has_value ? parse_fps(args[++i]) : std::nullopt;
            if (!fps)
                c.error = "--fps needs a whole number of frames per second from 1 to 240";
            else
                c.fps = *fps;
            fps_given = true;
        } else if (a == "--from" || a == "--to") {
            const auto t = has_value ? parse_show_time(args[++i]) : std::nullopt;
            if (!t)
                c.error = a + " needs a show time in seconds (0 or more)";
            else if (a == "--from")
                c.from = *t;
            else
                c.to = *t;
            from_given = from_given || a == "--from";
        } else {
            c.error = "unknown option " + a;
        }
    }
    if (c.error.empty())
        c.error = check_record_options(c, fps_given, from_given);
    if (c.error.empty() && !c.still_times.empty() && c.still_out.empty())
        c.error = "--still needs --out FILE.png";
    if (c.error.empty() && !c.still_out.empty() && c.still_times.empty())
        c.error = c.record_out.empty() ? "--out goes with --still"
                                       : "--out goes with --still; --record names its output itself";
    if (c.error.empty() && !stray.empty() && (!c.still_times.empty() || !c.record_out.empty()))
        c.error =
            "unexpected \"" + stray + "\": with --record or --still every word is an option or its value";
    if (c.error.empty() && c.dev && (!c.still_times.empty() || !c.record_out.empty()))
        c.error = "--dev is for the running show, not for --still or --record";
    return c;
}

std::string usage_text(const std::string &program)
{
    return "usage: " + program +
           " [--mode WxH] [--windowed] [--no-force-16-9] [--data DIR] [--dev] [--help]\n"
           "       " +
           program +
           " --still T [--still T ...] --out FILE.png [--mode WxH] [--data DIR]\n"
           "       " +
           program +
           " --record OUT [--mode WxH] [--fps N] [--from T] [--to T] [--data DIR]\n"
           "  --mode WxH        skip the set-up dialog and use this display mode\n"
           "  --windowed        with --mode: a window instead of full screen\n"
           "  --no-force-16-9   with --mode: render at the mode's own shape\n"
           "  --data DIR        the folder holding music/, textures/, Materials/ ...\n"
           "                    (default: the working directory if it holds them, else\n"
           "                    data/ beside the program or in its source tree)\n"
           "  --dev             author mode: arrows/pages/Home seek, Space pauses, shader\n"
           "                    files reload on save, F1 overlay, F12 saves the frame\n"
           "  --still T         draw the frame at scene time T (0 to 251) to --out FILE.png\n"
           "                    (no dialog, no sound; several: FILE-T.png each; default\n"
           "                    mode 1280x720)\n"
           "  --record OUT      export the show offline, every frame: OUT.mp4 or OUT.mkv\n"
           "                    (H.264 + AAC), or a PNG pattern such as frames/%05d.png\n"
           "                    (plus soundtrack.wav in its folder); default 1920x1080\n"
           "  --fps N           frames per second of the export (default 60)\n"
           "  --from T, --to T  the show times exported (default 0 to the end, 251 s)\n"
           "Each option at most once (--still as often as there are times). With --record\n"
           "or --still every word is an option or its value; for the show itself any\n"
           "command-line text also keeps the program's console output.\n"
           "Exit status: 0 done (or the show ended), 1 a file or the machine failed,\n"
           "2 a bad command line, 130/143 an export or still stopped by SIGINT/SIGTERM.\n";
}
