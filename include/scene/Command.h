#pragma once

// One step of a scene's story. Commands are event-driven: the owner of a list sets a command's completion callback
// and starts it once with Execute; the command reports its end through that callback, at once inside Execute or
// later from the object it waits for (an animator, a text box, a menu, a resource). The scene then starts the next
// command. A command that nobody started from a list (a condition's branch, a click action) has an empty callback
// and its report goes nowhere.
//
// A command may carry children, started together with it; a waiting parent counts them as pending and reports
// once, when the last one has reported (OnChildFinished).

#include "core/Callback.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

class AnimationObject;
class Animator;
class SceneNode;
class Scene;

class Command
{
public:
    // The command belongs to the statement being read, if any (StatementSource).
    Command();
    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Starts the command on the scene it runs in. The base starts the children in order, giving each this
    // command's OnChildFinished when waiting; it never reports itself.
    virtual void Execute(Scene& scene);
    // A short display text; "Undefined" unless a command says more.
    [[nodiscard]] virtual std::u16string GetDescription() const;

    // Set by whoever starts the command, just before Execute.
    void SetCompletion(Callback<void()> completion) { m_completion = std::move(completion); }
    // true (the default): report only when what the command started has finished; false: report at once.
    void SetWait(bool wait) { m_wait = wait; }
    [[nodiscard]] bool GetWait() const { return m_wait; }
    // The statement that made the command (StatementSource), or StatementSource::kNone.
    [[nodiscard]] std::uint32_t GetStatement() const { return m_statement; }

    void AddChild(std::unique_ptr<Command> child);
    [[nodiscard]] const std::vector<std::unique_ptr<Command>>& GetChildren() const;

    // Invokes the completion callback if set.
    void Complete();
    // A child (or a finish handler the command registered) has finished; the last awaited one completes the
    // command, once. A report that nothing awaits is ignored.
    void OnChildFinished();
    // Forgets the run in progress, here and in every child: the callback is emptied and nothing is pending, so
    // whatever the run started reports into nothing. Used when the scene that runs the command is reset.
    void Abandon();

protected:
    // A callback into this command that does nothing once the command is destroyed, for animators and resources
    // that may outlive it (a command run by a click action lives as long as the action).
    template <typename T> [[nodiscard]] Callback<void()> Guarded(void (T::*member)())
    {
        T* self = static_cast<T*>(this);
        std::shared_ptr<const bool>& token = Rare().alive;
        if (!token)
            token = std::make_shared<const bool>(true);
        return Callback<void()>([alive = std::weak_ptr<const bool>(token), self, member] {
            if (!alive.expired())
                (self->*member)();
        });
    }

    using MakeAnimator = std::function<std::unique_ptr<Animator>(AnimationObject&)>;

    // Gives the animator to the named node of the scene and reports when it ends, or at once when the command does
    // not wait. A node that does not exist is no error: the command reports at once.
    void AnimateNode(Scene& scene, const std::u16string& node, const MakeAnimator& makeAnimator);
    // The same for an object that is not a node (a text box).
    void AnimateObject(AnimationObject& target, const MakeAnimator& makeAnimator);

    std::int16_t m_pending = 0; // awaited sub-tasks not yet finished
    bool m_done = false;        // completion was reported through OnChildFinished in this run

private:
    // What few commands need: children, and the token that guarded callbacks watch. Made on first use, since a long
    // story holds a great many commands and nearly all of them have neither.
    struct Rarities
    {
        std::vector<std::unique_ptr<Command>> children;
        std::shared_ptr<const bool> alive;
    };

    Rarities& Rare();

    // Declared next to the protected fields above, so that the flags and the statement share one word.
    bool m_wait = true;
    std::uint32_t m_statement;
    Callback<void()> m_completion;
    std::unique_ptr<Rarities> m_rare;
};

} // namespace Vel
