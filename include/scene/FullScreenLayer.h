#pragma once

// A full-screen interface that takes the whole frame while it is shown: the picture gallery or the save/load
// screen. While one is shown the scenes manager updates and draws it instead of the menus, texts and scenes. The
// galleries implement it; start-up hands the two special ones to the scenes manager.

namespace Vel {

class FullScreenLayer
{
public:
    virtual ~FullScreenLayer() = default;

    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Update(float dt) = 0;
    virtual void Render() = 0;
};

} // namespace Vel
