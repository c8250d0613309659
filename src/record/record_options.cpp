#include "record/record_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace
{
bool ends_with_case(const std::string &text, const std::string &end)
{
    if (text.size() < end.size())
        return false;
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char e, char t) { return std::tolower(static_cast<unsigned char>(t)) == e; });
}

// Where the one conversion starts and ends, [begin, end); false when the
// '%' at `at` does not start "%d" or "%0Nd".
bool conversion_at(const std::string &p, std::size_t at, std::size_t &end, int &width)
{
    std::size_t i = at + 1;
    width = 0;
    if (i < p.size() && p[i] == '0') {
        ++i;
        if (i >= p.size() || p[i] < '1' || p[i] > '9')
            return false;
        width = p[i] - '0';
        ++i;
    }
    if (i >= p.size() || p[i] != 'd')
        return false;
    end = i + 1;
    return true;
}
} // namespace

std::optional<RecordOutput> classify_record_output(const std::string &out, std::string &error)
{
    if (out.find('%') != std::string::npos) {
        if (!valid_frame_pattern(out, error))
            return std::nullopt;
        return RecordOutput::png_sequence;
    }
    if (ends_with_case(out, ".mp4") && out.size() > 4)
        return RecordOutput::mp4;
    if (ends_with_case(out, ".mkv") && out.size() > 4)
        return RecordOutput::mkv;
    error = "--record needs a name ending in .mp4 or .mkv, or a PNG pattern such as frames/%05d.png";
    return std::nullopt;
}

bool valid_frame_pattern(const std::string &p, std::string &error)
{
    const std::size_t at = p.find('%');
    std::size_t end = 0;
    int width = 0;
    if (at == std::string::npos || !conversion_at(p, at, end, width)) {
        error = "a PNG pattern takes exactly one %d or %0Nd (N from 1 to 9), e.g. frames/%05d.png";
        return false;
    }
    if (p.find('%', end) != std::string::npos) {
        error = "a PNG pattern takes exactly one %d or %0Nd, and no other '%'";
        return false;
    }
    if (p.find('/', end) != std::string::npos) {
        error = "the number of a PNG pattern belongs in the file name, not in a folder";
        return false;
    }
    if (!ends_with_case(p, ".png")) {
        error = "a PNG pattern ends in .png";
        return false;
    }
    return true;
}

std::string frame_file_name(const std::string &pattern, long frame)
{
    const std::size_t at = pattern.find('%');
    std::size_t end = 0;
    int width = 0;
    if (at == std::string::npos || !conversion_at(pattern, at, end, width))
        return pattern;
    std::string number = std::to_string(frame);
    if (static_cast<int>(number.size()) < width)
        number.insert(0, static_cast<std::size_t>(width) - number.size(), '0');
    return pattern.substr(0, at) + number + pattern.substr(end);
}

RecordPlan plan_record(double from, double to, int fps, double show_end)
{
    RecordPlan plan;
    plan.from = from;
    plan.fps = fps;
    if (!(fps > 0) || !(to > from) || !(from <= show_end))
        return plan;
    // Counted with the same sums the frames use, so the last frame's time
    // is exactly the one checked here.
    const double last = std::min(to, std::nextafter(show_end, show_end + 1.0));
    long n = static_cast<long>(std::floor((last - from) * fps)) + 2;
    while (n > 0 && !(plan.frame_time(n - 1) < last))
        --n;
    plan.frames = n;
    return plan;
}

long long audio_frame_at(long n, int fps, int rate)
{
    return static_cast<long long>(n) * rate / fps;
}
