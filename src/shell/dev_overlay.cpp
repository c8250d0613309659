#include "shell/dev_overlay.h"

#include "shell/window.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <imgui.h>
#include <imgui/backends/imgui_impl_opengl2.h>
#include <imgui/backends/imgui_impl_sdl.h>

#include <algorithm>

namespace
{
// The spectrum is mostly in its lowest bins: 64 bars of 8 bins each, as
// the loudest of each group, read the way the particles react to it.
constexpr int bar_count = 64;
} // namespace

DevOverlay::~DevOverlay()
{
    close();
}

bool DevOverlay::open()
{
    auto *window = static_cast<SDL_Window *>(window_handle());
    SDL_GLContext gl = SDL_GL_GetCurrentContext();
    if (window == nullptr || gl == nullptr)
        return false;
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO &io = ImGui::GetIO();
    io.IniFilename = nullptr; // nothing lands in the data folder
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    ImGui::StyleColorsDark();
    ImGui::GetStyle().Alpha = 0.85f;
    ImGui_ImplSDL2_InitForOpenGL(window, gl);
    ImGui_ImplOpenGL2_Init();
    open_ = true;
    return true;
}

void DevOverlay::close()
{
    if (!open_)
        return;
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    open_ = false;
}

void DevOverlay::draw(const std::vector<std::string> &lines, const std::array<float, 512> *spectrum,
                      const std::string &shader_log)
{
    if (!open_)
        return;
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();

    ImGui::SetNextWindowPos(ImVec2(8, 8), ImGuiCond_Always);
    ImGui::SetNextWindowBgAlpha(0.6f);
    ImGui::Begin("##author", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_AlwaysAutoResize |
                     ImGuiWindowFlags_NoInputs | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNav);
    for (const std::string &line : lines)
        ImGui::TextUnformatted(line.c_str());

    if (spectrum != nullptr) {
        std::array<float, bar_count> bars{};
        const int per_bar = static_cast<int>(spectrum->size()) / bar_count;
        for (int b = 0; b < bar_count; ++b)
            bars[b] =
                *std::max_element(spectrum->begin() + b * per_bar, spectrum->begin() + (b + 1) * per_bar);
        // Scaled to the loudest bar (quiet passages stay readable), but never
        // so far that silence fills the plot with noise.
        const float top = std::max(*std::max_element(bars.begin(), bars.end()), 0.05f);
        ImGui::PlotHistogram("##spectrum", bars.data(), bar_count, 0, "spectrum", 0.0f, top, ImVec2(256, 48));
    }

    if (!shader_log.empty()) {
        if (!lines.empty())
            ImGui::Separator();
        ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 0.45f, 0.4f, 1.0f));
        ImGui::PushTextWrapPos(ImGui::GetFontSize() * 40.0f);
        ImGui::TextUnformatted(shader_log.c_str());
        ImGui::PopTextWrapPos();
        ImGui::PopStyleColor();
    }
    ImGui::End();

    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}
