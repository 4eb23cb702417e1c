#pragma once

// A named picture that scene nodes draw: a still sprite, a frame animation or a character. Resources are
// shared: every node showing a name draws the same instance, so an animation's timing belongs to the resource.
// The ResourceManager owns every resource for the whole run; nodes and commands borrow them.

#include "core/Callback.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

enum class ResourceType : std::int32_t
{
    Sprite = 1,
    Animation = 2,
    Character = 3,
};

// A picture the author shows only while a trigger has a given value, such as the mark of a mode that is on.
struct ShowCondition
{
    std::u16string trigger;
    std::u16string value;
};

class Resource
{
public:
    // Names one waiting finish handler, so its owner can withdraw it; 0 names none.
    using FinishToken = std::uint64_t;

    Resource() = default;
    virtual ~Resource() = default;
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    [[nodiscard]] virtual ResourceType GetType() const = 0;
    // Pixels; 0 while the picture has no texture. Not const: a sprite loads its texture to answer.
    [[nodiscard]] virtual float GetWidth() = 0;
    [[nodiscard]] virtual float GetHeight() = 0;
    // Top-left corner at (x, y), scaled by zoom about that corner; opacity 0..1.
    virtual void Render(float x, float y, float zoom, float opacity) = 0;
    // Stretched over the rectangle with corners (x1, y1) and (x2, y2), for thumbnails and buttons; a picture that
    // cannot stretch (an animation, a character) is drawn unscaled at the top-left corner.
    virtual void RenderStretched(float x1, float y1, float x2, float y2, float opacity = 1.0f);
    // dt: seconds since the last frame. By default the first update after a registration finishes the resource.
    virtual void Update(float dt);
    // Drops the picture's texture(s); the next draw loads them again.
    virtual void Unload() = 0;
    // Whether the resource counts as complete the moment it is shown.
    [[nodiscard]] virtual bool IsStatic() const { return false; }

    void SetName(std::u16string name) { m_name = std::move(name); }
    // Kept apart: nearly every picture has none.
    void SetShowCondition(ShowCondition condition);
    [[nodiscard]] const ShowCondition* GetShowCondition() const { return m_condition.get(); }
    [[nodiscard]] const std::u16string& GetName() const { return m_name; }

    // Registers a handler to be called once when the resource has played out, and makes the resource unfinished
    // again. A static resource calls it at once instead. Several handlers may wait at the same time; each is
    // called once. The owner of a handler that may be destroyed before it is called must remove it with the
    // token. Returns 0 when nothing was kept waiting.
    FinishToken SetFinishHandler(Callback<void()> handler);
    void RemoveFinishHandler(FinishToken token);
    [[nodiscard]] bool IsFinished() const { return m_finished; }
    [[nodiscard]] std::size_t WaitingHandlers() const { return m_waiting.size(); }

protected:
    // Marks the resource finished and calls, once each, the handlers that were waiting when it began.
    void Finish();

private:
    struct Waiting
    {
        FinishToken token = 0;
        Callback<void()> handler;
    };

    std::vector<Waiting> m_waiting; // in registration order, so tokens ascend
    std::unique_ptr<ShowCondition> m_condition;
    FinishToken m_lastToken = 0;
    bool m_finished = false;
    std::u16string m_name;
};

} // namespace Vel
