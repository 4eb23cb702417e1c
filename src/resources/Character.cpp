#include "resources/Character.h"

#include "core/TextCodec.h"
#include "platform/FrameActivity.h"
#include "resources/Avatar.h"
#include "resources/CharacterDialog.h"
#include "resources/Pose.h"
#include "resources/ResourceManager.h"

#include <utility>

namespace Vel {

namespace {

void LogSkippedLine(const std::u16string& character, const char* reason)
{
    if (ResourceManager* manager = ResourceManager::GetSingletonPtr()) {
        const std::string name = TextCodec::WideToUtf8(character);
        manager->GetHge()->System_Log("Character '%s' %s; its line is skipped", name.c_str(), reason);
    }
}

// Marks a character as being drawn, measured or updated. A character may show another character (or itself) as a
// pose picture, so a script can build a cycle; the inner visit then does nothing instead of recursing forever.
class VisitGuard
{
public:
    explicit VisitGuard(bool& visiting) : m_visiting(visiting), m_entered(!visiting) { m_visiting = true; }
    ~VisitGuard()
    {
        if (m_entered)
            m_visiting = false;
    }
    VisitGuard(const VisitGuard&) = delete;
    VisitGuard& operator=(const VisitGuard&) = delete;

    [[nodiscard]] bool Entered() const { return m_entered; }

private:
    bool& m_visiting;
    bool m_entered;
};

} // namespace

Character::Character() = default;

Character::~Character() = default;

Resource* Character::GetShownPicture() const
{
    return m_currentPose != nullptr ? m_currentPose->GetShownPicture() : nullptr;
}

float Character::GetWidth()
{
    const VisitGuard guard(m_visiting);
    Resource* picture = GetShownPicture();
    return guard.Entered() && picture != nullptr ? picture->GetWidth() : 0.0f;
}

float Character::GetHeight()
{
    const VisitGuard guard(m_visiting);
    Resource* picture = GetShownPicture();
    return guard.Entered() && picture != nullptr ? picture->GetHeight() : 0.0f;
}

void Character::Render(float x, float y, float zoom, float opacity)
{
    const VisitGuard guard(m_visiting);
    if (!guard.Entered())
        return;
    // The face stays where the screen layout puts it, whatever the character's node does.
    if (m_avatar && m_avatar->GetPicture() != nullptr)
        m_avatar->GetPicture()->Render(m_avatar->GetX(), m_avatar->GetY(), 1.0f, 1.0f);
    if (Resource* picture = GetShownPicture())
        picture->Render(x, y, zoom, opacity);
}

void Character::Update(float dt)
{
    const VisitGuard guard(m_visiting);
    if (!guard.Entered())
        return;
    if (m_avatar && m_avatar->GetPicture() != nullptr)
        m_avatar->GetPicture()->Update(dt);
    if (Resource* picture = GetShownPicture())
        picture->Update(dt);
    Resource::Update(dt);
}

void Character::AddPose(const std::u16string& name, const std::u16string& idle, const std::u16string& speak,
                        const std::u16string& avatar)
{
    if (m_poses.contains(name))
        return;
    m_poses.emplace(
        name, std::make_unique<Pose>(ResourceManager::FindPicture(idle), ResourceManager::FindPicture(speak), avatar));
}

void Character::SetAvatar(const std::u16string& picture, float x, float y)
{
    m_avatar = std::make_unique<Avatar>(ResourceManager::FindPicture(picture), x, y, picture);
}

void Character::SetDialog(std::unique_ptr<CharacterDialog> dialog)
{
    m_dialog = std::move(dialog);
}

void Character::SetPose(const std::u16string& name)
{
    Pose* pose = FindPose(name);
    if (pose == nullptr)
        return;
    m_currentPose = pose;
    m_poseName = name;
    pose->SetMode(m_speaking);
    FrameActivity::Changed();
    if (!m_avatar)
        return;
    // The pose's own face first, else the face the avatar was made with; with neither the face stays as it is.
    if (!pose->GetAvatarName().empty())
        m_avatar->SetPicture(ResourceManager::FindPicture(pose->GetAvatarName()));
    else if (!m_avatar->GetDefaultName().empty())
        m_avatar->SetPicture(ResourceManager::FindPicture(m_avatar->GetDefaultName()));
}

void Character::SetSpeaking(std::int32_t speaking)
{
    // A voice that starts or ends opens or closes the speaking picture.
    if (m_speaking != speaking)
        FrameActivity::Changed();
    m_speaking = speaking;
    if (m_currentPose != nullptr)
        m_currentPose->SetMode(speaking);
}

bool Character::Speak(const std::u16string& text, Callback<void()> done)
{
    // A line that cannot be shown completes at once: waiting for a click on a box that never appears would hang
    // the story.
    if (!m_dialog) {
        LogSkippedLine(GetName(), "has no dialog");
        done();
        return false;
    }
    // The dialog calls done itself when it cannot show the text.
    const bool shown = m_dialog->Speak(text, std::move(done));
    if (!shown)
        LogSkippedLine(GetName(), "has a dialog without a text style");
    return shown;
}

void Character::HideDialog()
{
    if (m_dialog)
        m_dialog->Hide();
}

Pose* Character::FindPose(const std::u16string& name) const
{
    const auto pose = m_poses.find(name);
    return pose != m_poses.end() ? pose->second.get() : nullptr;
}

} // namespace Vel
