#pragma once

// The text boxes and choices that lie over the story, as the scenes manager runs them every frame: updated and
// given the mouse after the menus and before the interface scenes, drawn over the scenes, hidden when the story
// switches scenes. The dialogue manager is the one layer; start-up hands it to the scenes manager.

#include "scene/PlayerActions.h"

namespace Vel {

// Whether the mouse reaches the texts: not while it rests on a button of an interface over the story, whose click
// it is.
enum class MouseReach : std::uint8_t
{
    Open,
    Covered,
};

class DialogueLayer
{
public:
    virtual ~DialogueLayer() = default;

    virtual void Update(float dt) = 0;
    // Whether the layer took the mouse this frame, so the scenes beneath see no click. An advance acts on the texts
    // as a click does, on no choice.
    [[nodiscard]] virtual bool HandleInput(Advancing advancing = Advancing::No, MouseReach reach = MouseReach::Open) = 0;
    virtual void Render() = 0;
    virtual void HideAll() = 0;
    // Hidden by the player: nothing of the layer is drawn, and it takes no input, until shown again.
    virtual void SetHidden(bool hidden) = 0;
    [[nodiscard]] virtual bool IsHidden() const = 0;
    // A choice waits for the player.
    [[nodiscard]] virtual bool IsChoosing() const = 0;
};

} // namespace Vel
