#pragma once

#include "resources/Resource.h"
#include "scene/Command.h"

#include <cstdint>
#include <string>

namespace Vel {

// Places a picture on the stage as a named node, or updates the node already known by that name, and starts the
// fade, zoom and action commands attached to it. A waiting command reports once its own picture has played out
// (a still picture at once, an animation when it reaches its end) and every waiting child has reported.
class CreateNodeCommand : public Command
{
public:
    // In x or y: leave the node's position as it is.
    static constexpr float kKeepPosition = 999999.0f;

    struct Placement
    {
        std::u16string name;
        std::u16string group; // empty: derived from the name
        float x = kKeepPosition;
        float y = kKeepPosition;
        std::int32_t layer = 1;
        float opacity = 1.0f;         // of a new node
        bool visible = true;          // false hides the node, new or not
        Resource* resource = nullptr; // borrowed from the ResourceManager; may be null
    };

    explicit CreateNodeCommand(const Placement& placement);
    ~CreateNodeCommand() override;

    void Execute(Scene& scene) override;
    // "Modify node-" and the node's name.
    [[nodiscard]] std::u16string GetDescription() const override { return u"Modify node-" + *m_name; }

private:
    void OnPictureFinished();
    void WithdrawFinishHandler();

    // The placement, its names stored once each in the process-wide NameTable, which outlives every command: a long
    // story places the same few pictures over and over.
    const std::u16string* m_name = nullptr;
    const std::u16string* m_group = nullptr;
    Resource* m_resource = nullptr; // borrowed from the ResourceManager; may be null
    float m_x = kKeepPosition;
    float m_y = kKeepPosition;
    float m_opacity = 1.0f;
    std::int32_t m_layer = 1;
    bool m_visible = true;
    Resource::FinishToken m_token = 0; // the finish handler still waiting on the resource, 0 for none
};

} // namespace Vel
