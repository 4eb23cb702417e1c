#pragma once

// A person of the story as a picture resource: placed in a scene like any picture, it shows the picture of its
// current pose (the speaking one while its voice plays), draws its avatar at the avatar's fixed place, and speaks
// through its dialog. The resource registry owns characters; the script's character block fills them, the pose
// and speak commands drive them.

#include "resources/Resource.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Vel {

class Avatar;
class CharacterDialog;
class Pose;

class Character : public Resource
{
public:
    Character();
    ~Character() override;

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Character; }
    // The current pose's shown picture; 0 without one.
    [[nodiscard]] float GetWidth() override;
    [[nodiscard]] float GetHeight() override;
    // The avatar at its own place, full size and opacity; then the pose's picture as asked.
    void Render(float x, float y, float zoom, float opacity) override;
    void Update(float dt) override;
    // A character's pictures belong to their own resources, which unload themselves.
    void Unload() override {}

    // Pictures are looked up now, so they must be defined before. An existing pose of the name stays as it is.
    void AddPose(const std::u16string& name, const std::u16string& idle, const std::u16string& speak,
                 const std::u16string& avatar);
    // Replaces the avatar; an empty picture name leaves it without a picture until a pose gives one.
    void SetAvatar(const std::u16string& picture, float x, float y);
    void SetDialog(std::unique_ptr<CharacterDialog> dialog);
    // An unknown name changes nothing.
    void SetPose(const std::u16string& name);
    // 1 while the line's voice plays: the current pose shows its speak picture; copied into every pose made current.
    void SetSpeaking(std::int32_t speaking);

    // Lets the dialog show the text; done runs when the player has read it. Without a dialog, or with one that
    // cannot show text, done runs at once and the log names the character. Returns whether the text is shown.
    bool Speak(const std::u16string& text, Callback<void()> done);
    // Hides the dialog's boxes, if there is a dialog.
    void HideDialog();

    [[nodiscard]] Pose* GetCurrentPose() const { return m_currentPose; }
    // The name the current pose was made current by; empty without a pose.
    [[nodiscard]] const std::u16string& GetPoseName() const { return m_poseName; }
    [[nodiscard]] Pose* FindPose(const std::u16string& name) const;
    [[nodiscard]] Avatar* GetAvatar() const { return m_avatar.get(); }
    [[nodiscard]] CharacterDialog* GetDialog() const { return m_dialog.get(); }
    [[nodiscard]] std::int32_t GetSpeaking() const { return m_speaking; }

private:
    // The current pose's picture for its mode; null without a pose.
    [[nodiscard]] Resource* GetShownPicture() const;

    std::map<std::u16string, std::unique_ptr<Pose>> m_poses;
    std::unique_ptr<Avatar> m_avatar;
    std::unique_ptr<CharacterDialog> m_dialog;
    Pose* m_currentPose = nullptr;
    std::u16string m_poseName;
    std::int32_t m_speaking = 0;
    bool m_visiting = false; // inside a draw, measure or update of this character
};

} // namespace Vel
