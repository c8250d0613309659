// The set-up dialog as a Dear ImGui window in its own SDL window.
// Depends on: SDL2, GL (fixed function, for the OpenGL2 backend), imgui
// 1.86 backends imgui_impl_sdl / imgui_impl_opengl2.
#include "shell/setup_dialog.h"

#include "shell/sdl_video.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <imgui.h>
#include <imgui/backends/imgui_impl_opengl2.h>
#include <imgui/backends/imgui_impl_sdl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

DialogState initial_dialog_state(const std::vector<DisplayMode> &modes)
{
    DialogState s;
    s.selection = default_mode_index(modes);
    return s;
}

DisplayChoice choice_from_dialog(const DialogState &state, const std::vector<DisplayMode> &modes)
{
    DisplayChoice c;
    c.antialiased = state.antialiased;
    c.windowed = state.windowed;
    c.force_16_9 = state.force_16_9;
    int s = state.selection;
    if (s < 0 || s >= static_cast<int>(modes.size()))
        s = default_mode_index(modes);
    c.mode = s >= 0 ? modes[s] : DisplayMode{1280, 720};
    return c;
}

KeyEffect dialog_key_effect(DialogKey key, bool list_open)
{
    if (list_open)
        return KeyEffect::list;
    return key == DialogKey::enter ? KeyEffect::run : KeyEffect::quit;
}

namespace
{
enum class Outcome { pending, run, quit };

// Lays out the dialog for one frame; returns the button pressed, if any.
// `take_highlighted`: Enter was pressed in the open resolution list, which
// takes the highlighted mode and closes.
Outcome dialog_frame(DialogState &state, const std::vector<std::string> &labels, bool take_highlighted)
{
    const ImGuiIO &io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##setup", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
    Outcome outcome = Outcome::pending;

    ImGui::TextUnformatted("Resolution");
    ImGui::SetNextItemWidth(-1.0f);
    const char *preview = state.selection >= 0 ? labels[state.selection].c_str() : "";
    if (ImGui::BeginCombo("##mode", preview)) {
        for (int i = 0; i < static_cast<int>(labels.size()); ++i) {
            const bool selected = i == state.selection;
            if (ImGui::Selectable(labels[i].c_str(), selected))
                state.selection = i;
            if (take_highlighted && ImGui::IsItemFocused())
                state.selection = i;
            if (selected)
                ImGui::SetItemDefaultFocus();
        }
        if (take_highlighted)
            ImGui::CloseCurrentPopup();
        ImGui::EndCombo();
    }
    ImGui::Separator();
    ImGui::Checkbox("Antialiased", &state.antialiased);
    ImGui::SameLine();
    ImGui::Checkbox("Windowed", &state.windowed);
    ImGui::SameLine();
    ImGui::Checkbox("Force 16:9", &state.force_16_9);
    ImGui::Separator();
    if (ImGui::Button("Run ... ", ImVec2(200, 32)))
        outcome = Outcome::run;
    ImGui::SameLine();
    if (ImGui::Button("Quit", ImVec2(60, 32)))
        outcome = Outcome::quit;
    ImGui::End();
    return outcome;
}

// Runs the modal loop in a window of its own; false when no window or GL
// context could be made.
bool show_dialog(DialogState &state, const std::vector<std::string> &labels, Outcome &outcome)
{
    if (!ensure_sdl_video())
        return false;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window *window = SDL_CreateWindow(setup_dialog_caption, SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 400, 150, SDL_WINDOW_OPENGL);
    if (window == nullptr)
        return false;
    SDL_GLContext gl = SDL_GL_CreateContext(window);
    if (gl == nullptr) {
        SDL_DestroyWindow(window);
        return false;
    }
    SDL_GL_MakeCurrent(window, gl);
    SDL_GL_SetSwapInterval(1);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr; // nothing lands in the data folder
    // Keyboard-only use: arrows move, Space toggles and opens the list.
    ImGui::GetIO().ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    ImGui::StyleColorsDark();
    ImGui_ImplSDL2_InitForOpenGL(window, gl);
    ImGui_ImplOpenGL2_Init();

    outcome = Outcome::pending;
    while (outcome == Outcome::pending) {
        SDL_Event e;
        bool take_highlighted = false;
        // Wait briefly for input instead of spinning: the dialog is idle. A
        // frame runs after each key press: ImGui (1.86) reads keys as held or
        // not at each frame, so a tap whose release came in the same batch
        // would be lost.
        if (SDL_WaitEventTimeout(&e, 30) != 0) {
            do {
                ImGui_ImplSDL2_ProcessEvent(&e);
                if (e.type == SDL_QUIT ||
                    (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
                    outcome = Outcome::quit;
                if (e.type != SDL_KEYDOWN || e.key.repeat != 0)
                    continue;
                const SDL_Keycode key = e.key.keysym.sym;
                const bool enter = key == SDLK_RETURN || key == SDLK_KP_ENTER;
                if (key != SDLK_ESCAPE && !enter)
                    continue;
                const bool list_open = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopup);
                switch (dialog_key_effect(enter ? DialogKey::enter : DialogKey::escape, list_open)) {
                case KeyEffect::quit:
                    outcome = Outcome::quit;
                    break;
                case KeyEffect::run:
                    outcome = Outcome::run;
                    break;
                case KeyEffect::list:
                    // Escape reaches the list through ImGui's navigation.
                    take_highlighted = enter;
                    break;
                }
            } while (outcome == Outcome::pending && e.type != SDL_KEYDOWN && SDL_PollEvent(&e) != 0);
        }
        if (outcome != Outcome::pending)
            break;
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        outcome = dialog_frame(state, labels, take_highlighted);
        ImGui::Render();
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        glViewport(0, 0, w, h);
        glClearColor(0.1f, 0.1f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(window);
    }

    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_DeleteContext(gl);
    SDL_DestroyWindow(window);
    return true;
}
} // namespace

void run_setup_dialog()
{
    DialogState state = initial_dialog_state(mode_list);
    std::vector<std::string> labels;
    for (const DisplayMode &m : mode_list)
        labels.push_back(mode_label(m));

    Outcome outcome = Outcome::run;
    if (!show_dialog(state, labels, outcome))
        std::fprintf(stderr, "set-up dialog could not be shown; using the default settings\n");
    if (outcome == Outcome::quit)
        std::exit(0);
    apply_display_settings(settings_for_choice(choice_from_dialog(state, mode_list)));
}
