// Program entry. The spine (start-up, message loop, frame tick) lives in
// src/app; this file only hands over the command line.
int main(int, char**) { return 0; }
