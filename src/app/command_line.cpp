// Command-line parsing.
#include "app/command_line.h"

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
} // namespace

CommandLine parse_command_line(const std::vector<std::string> &args)
{
    CommandLine c;
    c.has_text = !args.empty();
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
        } else {
            c.error = "unknown option " + a;
        }
    }
    if (c.error.empty() && !c.still_times.empty() && c.still_out.empty())
        c.error = "--still needs --out FILE.png";
    return c;
}

std::string usage_text(const std::string &program)
{
    return "usage: " + program +
           " [--mode WxH] [--windowed] [--no-force-16-9] [--data DIR] [--help]\n"
           "       " +
           program +
           " --still T [--still T ...] --out FILE.png [--mode WxH] [--data DIR]\n"
           "  --mode WxH        skip the set-up dialog and use this display mode\n"
           "  --windowed        with --mode: a window instead of full screen\n"
           "  --no-force-16-9   with --mode: render at the mode's own shape\n"
           "  --data DIR        the folder holding music/, textures/, Materials/ ...\n"
           "                    (default: the working directory if it holds them, else\n"
           "                    data/ beside the program or in its source tree)\n"
           "  --still T         draw the frame at scene time T to --out (no dialog, no\n"
           "                    sound; several: FILE-T.png each; default mode 1280x720)\n"
           "Any command-line text also keeps the program's console output.\n";
}
