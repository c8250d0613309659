// Command-line parsing.
#include "app/command_line.h"

#include "runtime/frame_step.h"

#include <charconv>
#include <cmath>

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

// A finite scene time such as "41" or "103.05".
bool is_time(const std::string &text)
{
    double t = 0;
    const char *end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, t);
    return r.ec == std::errc{} && r.ptr == end && std::isfinite(t);
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
    for (std::size_t i = 0; i < args.size() && c.error.empty(); ++i) {
        const std::string &a = args[i];
        if (a.rfind("--", 0) != 0)
            continue; // plain text only opens the console
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
            if (!has_value || !is_time(args[i + 1]))
                c.error = "--still needs a scene time in seconds";
            else
                c.still_times.push_back(args[++i]);
        } else if (a == "--out") {
            if (!has_value || args[i + 1].empty())
                c.error = "--out needs a file name";
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
           "  --still T         draw the frame at scene time T to --out (no dialog, no\n"
           "                    sound; several: FILE-T.png each; default mode 1280x720)\n"
           "  --record OUT      export the show offline, every frame: OUT.mp4 or OUT.mkv\n"
           "                    (H.264 + AAC), or a PNG pattern such as frames/%05d.png\n"
           "                    (plus soundtrack.wav in its folder); default 1920x1080\n"
           "  --fps N           frames per second of the export (default 60)\n"
           "  --from T, --to T  the show times exported (default 0 to the end, 251 s)\n"
           "Any command-line text also keeps the program's console output.\n";
}
