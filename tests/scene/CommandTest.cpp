#include "SceneTestTools.h"
#include "scene/SleepAnimator.h"

#include <gtest/gtest.h>

#include <memory>

namespace Vel {
namespace {

using TestTools::LoggingCommand;
using Log = std::vector<std::string>;

// Waits for a sleep of its own on the scene's carrier node.
class SleepCommand : public Command
{
public:
    explicit SleepCommand(float seconds) : m_seconds(seconds) {}
    void Execute(Scene& scene) override
    {
        SceneNode* carrier = scene.GetDummyNode();
        auto sleep = std::make_unique<SleepAnimator>(*carrier, m_seconds, SleepAnimator::Skip::Never);
        sleep->SetFinishCallback(Guarded(&SleepCommand::Complete));
        carrier->AddAnimator(std::move(sleep));
    }

private:
    float m_seconds;
};

class CommandListTest : public ::testing::Test
{
protected:
    CommandListTest()
    {
        m_scene.SetFinishedCallback(Callback<void()>([this] { ++m_finished; }));
    }
    LoggingCommand* Add(const std::string& tag, bool immediate = true)
    {
        auto command = std::make_unique<LoggingCommand>(m_log, tag, immediate);
        LoggingCommand* added = command.get();
        m_scene.AddCommand(std::move(command));
        return added;
    }
    void Frame(float dt) { m_scene.Update(dt, TestTools::kNowhere); }

    Scene m_scene;
    Log m_log;
    int m_finished = 0;
};

TEST_F(CommandListTest, ImmediateCommandsRunWithinOneStartAndTheEndIsReported)
{
    m_scene.Start();
    EXPECT_EQ(m_finished, 1) << "an empty list ends in its Start";
    for (const char* tag : {"one", "two", "three"})
        Add(tag);
    m_scene.Reset();
    m_scene.Start();
    EXPECT_EQ(m_log, (Log{"one", "two", "three"}));
    EXPECT_EQ(m_finished, 2);

    // A menu runs a borrowed list in the scene: nothing until the caller's first report.
    LoggingCommand borrowed(m_log, "menu");
    m_scene.SetCommands({&borrowed});
    EXPECT_EQ(m_log.size(), 3u);
    m_scene.OnCommandFinished();
    EXPECT_EQ(m_log.back(), "menu");
    EXPECT_EQ(m_finished, 3);
}

TEST_F(CommandListTest, AWaitingParentReportsOnceWhenItsLastChildFinishes)
{
    LoggingCommand* parent = Add("parent", false);
    Add("next");
    for (const float seconds : {0.5f, 0.25f, 1.0f})
        parent->AddChild(std::make_unique<SleepCommand>(seconds));
    m_scene.Start();
    EXPECT_EQ(parent->GetPending(), 3);
    Frame(0.25f);
    Frame(0.25f);
    EXPECT_EQ(parent->GetPending(), 1);
    EXPECT_EQ(m_log, Log{"parent"});
    Frame(0.25f);
    Frame(0.25f);
    EXPECT_EQ(m_log, (Log{"parent", "next"}));
    parent->Complete();
    EXPECT_EQ(m_finished, 1) << "a second report of the same run is not heard";
}

TEST_F(CommandListTest, LateReportsAfterAStopOrAResetGoNowhere)
{
    LoggingCommand* waiting = Add("waiting", false);
    Add("after");
    m_scene.Start();
    m_scene.Stop();
    waiting->Complete();
    EXPECT_EQ(m_scene.GetPosition(), 0);

    LoggingCommand* parent = Add("parent", false);
    parent->AddChild(std::make_unique<SleepCommand>(1.0f));
    parent->AddChild(std::make_unique<LoggingCommand>(m_log, "child", false));
    m_scene.SetCommands({parent});
    m_scene.OnCommandFinished();
    Command* child = parent->GetChildren()[1].get();
    m_scene.Reset();
    child->Complete();
    waiting->Complete();
    Frame(2.0f);
    EXPECT_EQ(m_scene.GetPosition(), 0) << "the reset list stands at its start";
    EXPECT_EQ(m_finished, 0);

    // A command that outlives its animator's owner: its guarded report after destruction is harmless.
    Scene other;
    auto sleeper = std::make_unique<SleepCommand>(0.0f);
    sleeper->Execute(other);
    sleeper.reset();
    other.Update(0.0f, TestTools::kNowhere);
}

} // namespace
} // namespace Vel
