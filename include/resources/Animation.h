#pragma once

// A timed sequence of frames, defined by the script's "beginanim ... end" block. The current frame and its timing
// belong to the one shared instance, so every node showing the animation advances it once per frame. A
// non-cycling animation stops on its last frame and finishes when that frame becomes current; a cycling one starts
// again at frame 0 and never finishes.

#include "resources/Frame.h"
#include "resources/Resource.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class Animation : public Resource
{
public:
    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Animation; }
    // The current frame's size as last attached, without loading: 0 before that frame was first drawn.
    [[nodiscard]] float GetWidth() override;
    [[nodiscard]] float GetHeight() override;
    void Render(float x, float y, float zoom, float opacity) override;
    // Advances at most one frame per call, however large dt is.
    void Update(float dt) override;
    // The textures stay cached until ResourceManager::UnloadAll frees the whole cache.
    void Unload() override;

    // duration in seconds; the offset in pixels is added to the draw position.
    void AddFrame(std::u16string file, float duration, float offsetX, float offsetY);
    void SetCycle(bool cycle) { m_cycle = cycle; }

    [[nodiscard]] int GetCurrentFrame() const { return m_current; }
    [[nodiscard]] std::size_t GetFrameCount() const { return m_frames.size(); }
    // index < GetFrameCount().
    [[nodiscard]] const Frame& GetFrame(std::size_t index) const { return *m_frames[index]; }

private:
    void Advance(float dt);

    int m_current = 0;
    int m_last = -1; // always the frame count minus one
    bool m_cycle = false;
    float m_elapsed = 0.0f; // seconds spent in the current frame
    std::vector<std::unique_ptr<Frame>> m_frames;
};

} // namespace Vel
