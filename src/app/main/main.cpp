// Program entry. The spine (start-up, message loop, frame tick) lives in
// src/app; this file only hands over the command line.
#include "app/program_entry.h"

int main(int argc, char **argv)
{
    return program_entry(argc, argv);
}
