// Program entry. The spine (start-up, message loop, frame tick) lives in
// src/app; this file only hands over the command line, and is the last
// line of defence: no exception reaches the runtime (which would abort
// without a word).
#include "app/program_entry.h"

#include <cstdio>
#include <exception>
#include <new>

int main(int argc, char **argv)
{
    try {
        return program_entry(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("vellamor: not enough memory\n", stderr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vellamor: unexpected error: %s\n", e.what());
    } catch (...) {
        std::fputs("vellamor: unexpected error\n", stderr);
    }
    return 1;
}
