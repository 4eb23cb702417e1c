#include "commands/SetDelayCommand.h"

#include "scene/ClickGate.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <memory>

namespace Vel {
namespace {

class SetDelayCommandTest : public ::testing::Test
{
protected:
    void SetUp() override { ClickGate::Left().Reset(); }
    void TearDown() override { ClickGate::Left().Reset(); }

    // The delay as the scene's only command: the scene's end is the delay's report.
    void Start(float delay)
    {
        m_scene.AddCommand(std::make_unique<SetDelayCommand>(delay));
        m_scene.SetFinishedCallback(Callback<void()>([this] { ++m_reports; }));
        m_scene.Start();
    }

    void Frame(float dt, bool clicked)
    {
        Scene::Mouse mouse;
        mouse.x = 10.0f;
        mouse.y = 10.0f;
        mouse.clicked = clicked;
        m_scene.Update(dt, mouse);
    }

    Scene m_scene;
    int m_reports = 0;
};

TEST_F(SetDelayCommandTest, DelayReportsInTheFrameThatReachesItsTimeAndClicksDoNotShortenIt)
{
    Start(1.5f);
    EXPECT_EQ(m_reports, 0) << "a waiting delay never reports inside Execute";
    Frame(0.5f, true);
    Frame(0.5f, true);
    EXPECT_EQ(m_reports, 0);
    Frame(0.25f, false);
    EXPECT_EQ(m_reports, 0);
    Frame(0.25f, false);
    EXPECT_EQ(m_reports, 1);
    Frame(1.0f, true);
    EXPECT_EQ(m_reports, 1) << "it reports once";
    EXPECT_TRUE(ClickGate::Left().IsReady()) << "a timed delay consumed no click";
}

TEST_F(SetDelayCommandTest, ZeroDelayWaitsForTheNextFrameAndNoWaitReportsAtOnce)
{
    Start(0.0f);
    EXPECT_EQ(m_reports, 0);
    Frame(0.01f, false);
    EXPECT_EQ(m_reports, 1);

    SetDelayCommand free(5.0f);
    free.SetWait(false);
    bool reported = false;
    free.SetCompletion(Callback<void()>([&reported] { reported = true; }));
    free.Execute(m_scene);
    EXPECT_TRUE(reported);
}

TEST_F(SetDelayCommandTest, PauseWaitsForAClickAndUsesItUp)
{
    Start(-1.0f);
    for (int i = 0; i < 10; ++i)
        Frame(1.0f, false);
    EXPECT_EQ(m_reports, 0) << "a pause never ends by time";
    Frame(0.02f, true);
    EXPECT_EQ(m_reports, 0) << "the click is seen after the updates of its frame";
    Frame(0.02f, false);
    EXPECT_EQ(m_reports, 1);
    EXPECT_FALSE(ClickGate::Left().IsReady()) << "the click that ended the pause must not act again";
}

TEST_F(SetDelayCommandTest, SleepsDieWithTheResetScene)
{
    // Run outside the list, so only the dummy node's end can silence it.
    SetDelayCommand pause(-1.0f);
    SetDelayCommand delay(0.5f);
    int reports = 0;
    for (SetDelayCommand* command : {&pause, &delay}) {
        command->SetCompletion(Callback<void()>([&reports] { ++reports; }));
        command->Execute(m_scene);
    }
    Frame(0.1f, false);
    ASSERT_NE(m_scene.FindNode(std::u16string(Scene::kDummyNodeName)), nullptr);
    m_scene.Reset();
    Frame(0.5f, true);
    Frame(0.5f, true);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(m_scene.FindNode(std::u16string(Scene::kDummyNodeName)), nullptr);
}

TEST_F(SetDelayCommandTest, Descriptions)
{
    EXPECT_EQ(SetDelayCommand(-1.0f).GetDescription(), u"Pause");
    EXPECT_EQ(SetDelayCommand(1.5f).GetDescription(), u"Delay-1.5");
    EXPECT_EQ(SetDelayCommand(0.25f).GetDescription(), u"Delay-0.25");
}

} // namespace
} // namespace Vel
