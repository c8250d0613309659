// FrameInfo: the per-frame record the frame loop hands to every segment draw.
//
// One static instance serves the show; start-up makes a second one on the
// heap for the first loading-screen draw. A segment may copy the record in
// at the start of its draw and copy it back at the end; the tick reads the
// written-back values after the draws.
#pragma once

#include <array>
#include <vector>

struct Capture {
    int kind = 1;
    float x = 0, y = 0, z = 0;
};

struct FrameInfo {
    // Set to 0 every frame before the draws; the main show reads a1 and a2.
    double adjust[3] = {0, 0, 0};
    int wheel_steps = 0;
    double aq_adjust = 0;     // A lowers, Q raises (window procedure)
    double updown_adjust = 0; // Up raises, Down lowers (window procedure)
    int seek_request = 0;     // 1 while the left mouse button is down
    int right_button = 0;
    double point[3] = {0, 0, 0}; // printed by the "Pnt :" capture
    std::array<unsigned char, 32> flags_a{};
    std::array<unsigned char, 32> flags_b{}; // B[3] != 0 ends the show
    double show_time = 0;
    std::vector<Capture> captures;
    int interval_id = 0;
    int show_mode = 0;
    std::array<float, 512> spectrum{};
    // [0] seek target (music seconds), [10] fade level; the rest unused.
    std::array<double, 32> parameters{};
    std::array<int, 256> keys{};
    int trailer_flag = 1;
    float trailer[3] = {0, 0, 0};

    static constexpr int seek_target = 0;
    static constexpr int fade_level = 10;
};
