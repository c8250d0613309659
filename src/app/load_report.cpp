#include "app/load_report.h"

#include <cstdio>

bool report_load_failures(const LoadFailures &failures, const char *run)
{
    for (const LoadFailure &f : failures)
        std::fprintf(stderr, "%s\n", describe(f).c_str());
    if (run != nullptr && !failures.empty())
        std::fprintf(stderr, "%s: %zu of the show's files did not load; nothing written\n", run,
                     failures.size());
    return failures.empty();
}

std::string not_enough_memory(int width, int height)
{
    return "not enough memory for " + std::to_string(width) + "x" + std::to_string(height);
}
