#pragma once

// The story scene the player sees now, for the objects that act on "the current scene" without knowing who runs
// it: click actions run their commands there, and objects resolve their hover and leave target names there. The
// ScenesManager installs its accessor when it is created and removes it (an empty callback) when it goes; until
// then there is no current scene and both of those do nothing.

#include "core/Callback.h"

namespace Vel {

class Scene;

class CurrentScene
{
public:
    CurrentScene() = delete;

    // The accessor must stay callable until it is replaced.
    static void SetAccessor(Callback<Scene*()> accessor);
    // nullptr when no accessor is installed or it has no scene.
    [[nodiscard]] static Scene* Get();
};

} // namespace Vel
