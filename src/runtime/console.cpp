// Debug console: stream buffering and the discarded-output case.
#include "runtime/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace
{
int original_stdout = -1; // set once standard output is discarded
}

void open_debug_console()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    std::ios::sync_with_stdio(true);
}

void discard_standard_output()
{
    std::fflush(stdout);
    if (original_stdout < 0)
        original_stdout = dup(STDOUT_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null_fd >= 0) {
        dup2(null_fd, STDOUT_FILENO);
        close(null_fd);
    }
}

void write_to_original_output(const std::string &text)
{
    std::fflush(stdout);
    const int fd = original_stdout >= 0 ? original_stdout : STDOUT_FILENO;
    const char *p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n <= 0)
            break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}
