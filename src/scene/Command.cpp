#include "scene/Command.h"

#include "scene/Animator.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/StatementSource.h"

#include <utility>

namespace Vel {

Command::Command() : m_statement(StatementSource::Claim()) {}

Command::~Command() = default;

void Command::Execute(Scene& scene)
{
    const std::vector<std::unique_ptr<Command>>& children = GetChildren();
    if (children.empty())
        return;
    // Counted before any child starts: a child that reports inside its Execute must not complete the parent
    // while later children have not even started.
    if (m_wait)
        m_pending = static_cast<std::int16_t>(m_pending + static_cast<std::int16_t>(children.size()));
    for (const std::unique_ptr<Command>& child : children) {
        if (m_wait)
            child->SetCompletion(Callback<void()>(this, &Command::OnChildFinished));
        child->Execute(scene);
    }
}

std::u16string Command::GetDescription() const
{
    return u"Undefined";
}

void Command::AddChild(std::unique_ptr<Command> child)
{
    if (child)
        Rare().children.push_back(std::move(child));
}

const std::vector<std::unique_ptr<Command>>& Command::GetChildren() const
{
    static const std::vector<std::unique_ptr<Command>> s_none;
    return m_rare ? m_rare->children : s_none;
}

Command::Rarities& Command::Rare()
{
    if (!m_rare)
        m_rare = std::make_unique<Rarities>();
    return *m_rare;
}

void Command::Complete()
{
    // A copy: reporting can start the next command, which may reset the scene and empty this callback.
    const Callback<void()> completion = m_completion;
    completion();
}

void Command::AnimateNode(Scene& scene, const std::u16string& node, const MakeAnimator& makeAnimator)
{
    SceneNode* target = scene.FindNode(node);
    if (target == nullptr)
        Complete();
    else
        AnimateObject(*target, makeAnimator);
}

void Command::AnimateObject(AnimationObject& target, const MakeAnimator& makeAnimator)
{
    std::unique_ptr<Animator> animator = makeAnimator(target);
    // Guarded: the object and its animator may outlive a command run by a click action.
    if (GetWait())
        animator->SetFinishCallback(Guarded(&Command::Complete));
    target.AddAnimator(std::move(animator));
    if (!GetWait())
        Complete();
}

void Command::OnChildFinished()
{
    if (m_pending <= 0)
        return;
    if (--m_pending == 0 && !m_done) {
        m_done = true;
        Complete();
    }
}

void Command::Abandon()
{
    m_completion = {};
    m_pending = 0;
    m_done = false;
    for (const std::unique_ptr<Command>& child : GetChildren())
        child->Abandon();
}

} // namespace Vel
