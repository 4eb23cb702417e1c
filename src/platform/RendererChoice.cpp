#include "platform/RendererChoice.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace Vel {

namespace {

bool HasRenderNode()
{
    std::error_code error;
    for (std::filesystem::directory_iterator it("/dev/dri", error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().starts_with("renderD"))
            return true;
    }
    return false;
}

} // namespace

RendererChoice RendererChoice::FromEnvironment()
{
    const char* setting = std::getenv("VELLORIA_RENDERER");
    return Decide(setting == nullptr ? std::string() : std::string(setting), HasRenderNode());
}

RendererChoice RendererChoice::Decide(const std::string& setting, bool renderNodeFound)
{
    RendererChoice choice;
    if (setting == "software" || setting == "opengl") {
        choice.m_kind = setting == "software" ? Kind::Software : Kind::OpenGl;
        return choice;
    }
    if (!setting.empty() && setting != "auto")
        choice.m_notice = "VELLORIA_RENDERER=" + setting + " is not software, opengl or auto; chosen by the machine";
    choice.m_kind = renderNodeFound ? Kind::OpenGl : Kind::Software;
    return choice;
}

void RendererChoice::ApplyHints() const
{
    if (m_kind == Kind::OpenGl) {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        return;
    }
    // Both: without the second, the window surface itself is made through OpenGL and loads it anyway.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

} // namespace Vel
