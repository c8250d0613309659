#include "app/stop_signals.h"

#include <csignal>

namespace
{
volatile std::sig_atomic_t caught = 0;

extern "C" void on_stop_signal(int signal_number)
{
    if (caught == 0)
        caught = signal_number;
}
} // namespace

StopSignals::StopSignals()
{
    struct sigaction action {
    };
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);
    installed_ = true;
}

StopSignals::~StopSignals()
{
    release();
}

void StopSignals::release()
{
    if (!installed_)
        return;
    installed_ = false;
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
}

int stop_signal()
{
    return static_cast<int>(caught);
}
