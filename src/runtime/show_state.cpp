#include "runtime/show_state.h"

bool fullscreen = false;
bool force_16_9 = false;
bool antialias = false;
int window_width = 0, window_height = 0;
int render_width = 0, render_height = 0;

bool running = true;
bool quit_requested = false;
double fade_start = 0.0;
std::array<unsigned char, 256> key_state{};
bool escape_pressed = false;
std::string capture_text;
double frame_delta = 0.0;
double show_time = 0.0;
double music_time = 0.0;

int left_button = 0;
int right_button = 0;
int wheel_total = 0;
