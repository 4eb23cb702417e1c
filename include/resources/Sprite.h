#pragma once

// A still picture: one image file shown whole. The script defines it with "object"; it loads its texture the first
// time it is measured or drawn and counts as complete the moment it is shown.

#include "resources/Frame.h"
#include "resources/Resource.h"

#include <string>
#include <utility>

namespace Vel {

class Sprite : public Resource
{
public:
    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    // Both load the texture first; 0 when the file cannot be loaded.
    [[nodiscard]] float GetWidth() override;
    [[nodiscard]] float GetHeight() override;
    void Render(float x, float y, float zoom, float opacity) override;
    // Also frees the file's cached texture, which other pictures of the same file share: meant for
    // ResourceManager::UnloadAll, which unloads every picture together.
    void Unload() override;
    [[nodiscard]] bool IsStatic() const override { return true; }

    // The image file, relative to the game folder or an attached archive.
    void SetFile(std::u16string file) { m_picture.SetFile(std::move(file)); }
    void SetTexture(HTEXTURE texture) { m_picture.SetTexture(texture); }
    void RenderStretched(float x1, float y1, float x2, float y2, float opacity = 1.0f) override
    {
        m_picture.RenderStretched(x1, y1, x2, y2, opacity);
    }

    [[nodiscard]] const std::u16string& GetFile() const { return m_picture.GetFile(); }
    [[nodiscard]] const Frame& GetFrame() const { return m_picture; }

private:
    Frame m_picture;
};

} // namespace Vel
