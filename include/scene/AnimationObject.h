#pragma once

// An input object that carries time-based animators (moves, fades, zooms, sleeps). Its owner calls Update once per
// frame; animators stay in the list after they finish, inactive, until ClearAnimators or the object's end.

#include "scene/Animator.h"
#include "scene/InputObject.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Vel {

class AnimationObject : public InputObject
{
public:
    AnimationObject() = default;
    ~AnimationObject() override;

    // Every active animator sees the click first, even when the mouse is outside.
    bool TestMouse(float x, float y, bool clicked) override;
    // An advance from the keyboard or the wheel: the active animators see it as a click; the object is not clicked.
    void Advance();
    // dt: seconds. Advances the active animators in the order they were added; animators added meanwhile wait for
    // the next frame.
    virtual void Update(float dt);

    void AddAnimator(std::unique_ptr<Animator> animator);
    // Safe while an animator's finish callback runs: the animators are then freed when the update returns.
    void ClearAnimators();
    [[nodiscard]] std::size_t GetAnimatorCount() const { return m_animators.size(); }
    [[nodiscard]] Animator* GetAnimator(std::size_t index) const;

private:
    std::vector<std::unique_ptr<Animator>> m_animators;
    std::vector<std::unique_ptr<Animator>> m_cleared; // cleared during Update, freed at its end
    int m_updating = 0;
    unsigned m_generation = 0; // counts ClearAnimators calls
};

} // namespace Vel
