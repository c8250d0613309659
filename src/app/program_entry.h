// The program entry: command line, data folder, mode list and set-up
// dialog (or --mode), console, window with the whole start-up, message
// loop. Returns the process exit code.
#pragma once

int program_entry(int argc, char **argv);
