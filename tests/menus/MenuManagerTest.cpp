#include "menus/MenuManager.h"

#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"

#include "core/Callback.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "menus/Menu.h"
#include "menus/MenuSwitch.h"
#include "scene/ClickGate.h"
#include "scene/Command.h"
#include "scene/Scene.h"
#include "scene/TriggerManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace Vel {
namespace {

using Log = std::vector<std::string>;

Callback<void()> Logger(Log& log, std::string tag)
{
    return Callback<void()>([&log, tag] { log.push_back(tag); });
}

// A command that records its runs and counts its destruction, so a command owned twice shows up. A fade ("fade ...")
// waits until the test finishes it; the others report at once.
class RecordingCommand : public Command
{
public:
    RecordingCommand(Log& log, std::string tag, int& destroyed)
        : m_log(log), m_tag(std::move(tag)), m_destroyed(destroyed)
    {
    }
    ~RecordingCommand() override { ++m_destroyed; }

    void Execute(Scene&) override
    {
        m_log.push_back(m_tag);
        if (m_tag.rfind("fade", 0) != 0)
            Complete();
    }
    void Finish() { Complete(); }

private:
    Log& m_log;
    std::string m_tag;
    int& m_destroyed;
};

// Adds a new command to the menu, which owns it; returns it.
RecordingCommand* AddTo(Menu& menu, Log& log, std::string tag, int& destroyed)
{
    auto command = std::make_unique<RecordingCommand>(log, std::move(tag), destroyed);
    RecordingCommand* added = command.get();
    menu.AddCommand(std::move(command));
    return added;
}

// menu_on ("|init") and menu_off ("|on") split the block; each case is shown, hidden and shown again.
TEST(MenuTest, MenuOnAndMenuOffSplitTheBlockIntoInitOnAndOffListsEachOwnedOnce)
{
    // The script, the commands' runs, and how many commands there were.
    const std::tuple<std::vector<std::string>, Log, int> cases[] = {
        {{"i1", "i2", "|init", "on", "|on", "off"}, {"i1", "i2", "on", "off", "on"}, 4},
        {{"init", "|init", "rest"}, {"init", "rest", "rest", "rest"}, 2}, // rest is both on and off
        {{"|init", "|on", "off"}, {"off"}, 1},
        {{"in", "|on", "out"}, {"in", "out", "in"}, 2},            // the off commands are not an init list
        {{"a", "b"}, {"a", "b", "a", "b", "a", "b", "a", "b"}, 2}, // init once, then on and off alike
    };
    for (const auto& [script, expected, commands] : cases) {
        Log log;
        int destroyed = 0;
        {
            Menu menu(u"m");
            for (const std::string& step : script) {
                if (step == "|init")
                    menu.CloseInit();
                else if (step == "|on")
                    menu.CloseOn();
                else
                    AddTo(menu, log, step, destroyed);
            }
            menu.Show({});
            menu.Hide();
            menu.Show({});
            EXPECT_EQ(log, expected) << script.front();
        }
        EXPECT_EQ(destroyed, commands) << script.front();
    }

    int destroyed = 0;
    Log log;
    {
        Menu unshown(u"unshown");
        AddTo(unshown, log, "never", destroyed);
    }
    EXPECT_EQ(destroyed, 1) << "commands still in the scene go with the menu";
}

TEST(MenuTest, AnOnListThatWaitsKeepsRunningAndHidingReplacesItWithTheOffList)
{
    Log log;
    int destroyed = 0;
    Menu menu(u"fading");
    RecordingCommand* fadeIn = AddTo(menu, log, "fade in", destroyed);
    AddTo(menu, log, "after fade in", destroyed);
    menu.CloseInit();
    AddTo(menu, log, "on", destroyed);
    menu.CloseOn();
    RecordingCommand* fadeOut = AddTo(menu, log, "fade out", destroyed);
    AddTo(menu, log, "after fade out", destroyed);
    EXPECT_EQ(log, (Log{"fade in", "after fade in"})) << "init runs at menu_on and reports into nothing";
    fadeIn->Finish();

    log.clear();
    menu.Show({});
    menu.Hide();
    EXPECT_EQ(log, (Log{"on", "fade out"}));
    EXPECT_TRUE(menu.GetScene().IsRunning());
    EXPECT_EQ(menu.GetScene().GetCommands().size(), 2u) << "the off list replaced the finished on list";
    fadeOut->Finish();
    EXPECT_EQ(log, (Log{"on", "fade out", "after fade out"}));
    EXPECT_TRUE(menu.GetScene().GetCommands().empty());
}

// The trace lines written while the object lives, without their frame numbers.
struct TraceCapture
{
    TraceCapture() { EXPECT_TRUE(Trace::Open(m_folder.File("trace.txt"))); }
    ~TraceCapture() { Trace::Close(); }
    [[nodiscard]] Log Lines()
    {
        Trace::Close();
        std::istringstream in(m_folder.Read("trace.txt"));
        Log lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(line.find(' ') + 1));
        return lines;
    }
    TestTools::TempFolder m_folder;
};

class MenuManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char16_t* name : {u"a", u"b", u"c", u"d"})
            ASSERT_NE(m_menus.CreateMenu(name), nullptr);
    }

    [[nodiscard]] std::vector<std::u16string> Stack() const
    {
        std::vector<std::u16string> names;
        for (const Menu* menu : m_menus.GetStack())
            names.push_back(menu->GetName());
        return names;
    }

    TestTools::ProcessRecordGuard m_records;
    MenuManager m_menus;
    Log m_log;
    int m_destroyed = 0;
};

TEST_F(MenuManagerTest, OnlyTheTopMenuClosesOnBackAndItsHandlerRunsOnceItIsOffTheStack)
{
    TraceCapture trace;
    m_menus.ShowMenu(u"a", Logger(m_log, "a closed"));
    m_menus.ShowMenu(u"b", Logger(m_log, "b closed"));
    m_menus.ShowMenu(u"c", Callback<void()>([this] {
                         m_log.push_back("c closed under " + TextCodec::WideToUtf8(m_menus.CurrentMenuName()));
                         m_menus.ShowMenu(u"d", Logger(m_log, "d closed"));
                     }));
    EXPECT_EQ(m_menus.CurrentMenuName(), u"c");
    EXPECT_TRUE(ClickGate::Left().IsReady());

    m_menus.Back();
    EXPECT_EQ(m_log, Log{"c closed under b"});
    EXPECT_EQ(Stack(), (std::vector<std::u16string>{u"a", u"b", u"d"})) << "the menu the handler opened stays";
    EXPECT_FALSE(ClickGate::Left().IsReady()) << "the closing click must not act on the menu below";

    for (int i = 0; i < 4; ++i)
        m_menus.Back();
    EXPECT_EQ(m_log, (Log{"c closed under b", "d closed", "b closed", "a closed"}));
    EXPECT_EQ(m_menus.CurrentMenuName(), u"") << "nothing left open";
    EXPECT_EQ(trace.Lines(), (Log{"menu a", "menu b", "menu c", "menuclosed c", "menu d", "menuclosed d",
                                  "menuclosed b", "menuclosed a"}));
}

TEST_F(MenuManagerTest, CloseAllClosesEveryMenuBottomFirstAfterTheTopMenusOffCommands)
{
    for (const char* name : {"a", "b", "c"})
        m_menus.ShowMenu(std::u16string(name, name + 1), Logger(m_log, name));
    m_menus.CloseAll();
    EXPECT_EQ(m_log, (Log{"a", "b", "c"}));
    m_menus.CloseAll();
    m_menus.Back();
    EXPECT_EQ(m_log.size(), 3u) << "nothing open: nothing to close";

    // The top menu fades out first, then all close.
    Menu* c = m_menus.FindMenu(u"c");
    c->CloseInit();
    c->CloseOn();
    RecordingCommand* fade = AddTo(*c, m_log, "fade c", m_destroyed);
    m_log.clear();
    m_menus.ShowMenu(u"a", Callback<void()>([this] {
                         m_log.push_back("a");
                         m_menus.ShowMenu(u"d", {});
                     }));
    m_menus.ShowMenu(u"b", Logger(m_log, "b"));
    m_menus.ShowMenu(u"c", Logger(m_log, "c"));
    TraceCapture trace;
    m_menus.CloseAll();
    EXPECT_EQ(m_log, Log{"fade c"});
    EXPECT_EQ(m_menus.GetStack().size(), 3u) << "open while the fade runs";
    fade->Finish();
    EXPECT_EQ(m_log, (Log{"fade c", "a", "b", "c"}));
    EXPECT_EQ(Stack(), std::vector<std::u16string>{u"d"}) << "a menu opened by a handler is not closed with them";
    EXPECT_EQ(trace.Lines(), (Log{"command c 0 Undefined", "menuclosed a", "menu d", "menuclosed b", "menuclosed c"}));

    // The closing-all state ended with that: Back closes only the top menu again.
    m_menus.ShowMenu(u"a", Logger(m_log, "a again"));
    m_menus.Back();
    EXPECT_EQ(Stack(), std::vector<std::u16string>{u"d"});
}

TEST_F(MenuManagerTest, NamesAreUniqueAndASwitchShowsTheMenuOfTheFirstMatchingTriggerByNameElseItsDefault)
{
    // Menus and switches share one set of names.
    MenuSwitch* choice = m_menus.CreateSwitch(u"choice");
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(m_menus.CreateSwitch(u"a") == nullptr && m_menus.CreateMenu(u"choice") == nullptr);

    choice->SetDefault(u"d");
    choice->AddCase(u"c", u"zeta", u"1");
    choice->AddCase(u"b", u"alpha", u"wrong");
    choice->AddCase(u"a", u"alpha", u"yes");
    EXPECT_EQ(choice->GetMenuName(), u"d") << "no trigger manager: the default";
    {
        TriggerManager triggers;
        triggers.Set(u"zeta", u"1");
        EXPECT_EQ(choice->GetMenuName(), u"c");
        triggers.Set(u"alpha", u"yes");
        EXPECT_EQ(choice->GetMenuName(), u"a") << "the later case of a trigger replaced the earlier";
        triggers.Set(u"alpha", u"Yes");
        EXPECT_EQ(choice->GetMenuName(), u"c") << "values compare exactly";

        TraceCapture trace;
        m_menus.ShowMenu(u"choice", Logger(m_log, "closed"));
        EXPECT_EQ(m_menus.CurrentMenuName(), u"c");
        EXPECT_EQ(trace.Lines(), Log{"menu c"});

        choice->AddCase(u"b", u"unset", u"");
        EXPECT_EQ(choice->GetMenuName(), u"b") << "a trigger without value counts as empty";
    }
}

TEST_F(MenuManagerTest, AMissingMenuClosesAtOnceAndIsNamedInTheLogOnce)
{
    TestTools::TempFolder folder;
    TestTools::HeadlessHge hge;
    HgeManager manager(folder.File("engine.log"));
    m_menus.CreateSwitch(u"choice")->SetDefault(u"gone");

    m_menus.ShowMenu(u"nowhere", Logger(m_log, "nowhere"));
    m_menus.ShowMenu(u"nowhere", Logger(m_log, "nowhere again"));
    m_menus.ShowMenu(u"choice", Logger(m_log, "choice"));
    EXPECT_EQ(m_log, (Log{"nowhere", "nowhere again", "choice"}));
    EXPECT_TRUE(m_menus.GetStack().empty());

    const std::string text = folder.Read("engine.log");
    EXPECT_NE(text.find("nowhere"), std::string::npos) << text;
    EXPECT_EQ(text.find("nowhere"), text.rfind("nowhere")) << "once per name";
    EXPECT_NE(text.find("gone"), std::string::npos) << "the switch's chosen menu is named: " << text;
}

} // namespace
} // namespace Vel
