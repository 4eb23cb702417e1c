#pragma once

// Which of SDL's renderers draws the window. The OpenGL one is right on a machine with a graphics card; where the
// only OpenGL is Mesa's software rasteriser (no GPU, or a virtual X server), loading it costs tens of megabytes,
// two worker threads and more processor time per frame than SDL's own software renderer, which suits a 2D picture
// better. The choice is made before the window exists: once a window has loaded OpenGL, its memory stays taken.
// VELLORIA_RENDERER=software or =opengl forces a choice; auto (or nothing) decides by the machine.

#include <string>

namespace Vel {

class RendererChoice
{
public:
    enum class Kind
    {
        Software,
        OpenGl,
    };

    // From VELLORIA_RENDERER, else from whether the machine has a GPU render node (/dev/dri/renderD*).
    [[nodiscard]] static RendererChoice FromEnvironment();
    // setting: "software", "opengl", "auto" or empty; renderNodeFound: the machine has a GPU render node.
    [[nodiscard]] static RendererChoice Decide(const std::string& setting, bool renderNodeFound);

    [[nodiscard]] Kind GetKind() const { return m_kind; }
    // Empty, or the sentence for the log about a setting that was not understood.
    [[nodiscard]] const std::string& GetNotice() const { return m_notice; }
    // Sets SDL's hints for this choice; call before the window is created.
    void ApplyHints() const;

private:
    Kind m_kind = Kind::Software;
    std::string m_notice;
};

} // namespace Vel
