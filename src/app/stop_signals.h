// SIGINT and SIGTERM for the runs that draw offline (stills and exports):
// the program entry catches them from its first instruction, so a stop
// asked for during start-up is never swallowed (SDL installs its own
// handlers only where it finds the default); the runs look at
// stop_signal() before the first frame and between frames. The live show
// gives them back before SDL starts, which turns them into a close.
// Depends on: POSIX signals. The caught number is the handler's only state.
#pragma once

#include <signal.h>

class StopSignals
{
  public:
    StopSignals();  // installs the handler for both; a stop already caught stays
    ~StopSignals(); // release()
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;
    // Puts back the handlers that were there before (once).
    void release();

  private:
    bool installed_ = false;
    struct sigaction old_int_ {
    };
    struct sigaction old_term_ {
    };
};

// The number of the first SIGINT or SIGTERM caught, or 0.
int stop_signal();
