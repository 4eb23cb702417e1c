#include "menus/MenuManager.h"

#include "HeadlessHge.h"
#include "MenuTestTools.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "menus/Menu.h"
#include "menus/MenuSwitch.h"
#include "scene/ClickGate.h"
#include "scene/TriggerManager.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::AddTo;
using TestTools::Log;
using TestTools::Logger;
using TestTools::RecordingCommand;
using Ends = RecordingCommand::Ends;

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
    RecordingCommand* fade = AddTo(*c, m_log, "fade c", m_destroyed, Ends::WhenFinished);
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

TEST_F(MenuManagerTest, OffCommandsRunAgainEachTimeAndOnlyTheTopMenuRuns)
{
    AddTo(*m_menus.FindMenu(u"a"), m_log, "body", m_destroyed);
    m_menus.ShowMenu(u"a", Logger(m_log, "closed 1"));
    m_menus.ShowMenu(u"a", Logger(m_log, "closed 2"));
    EXPECT_EQ(m_log, (Log{"body", "body", "body"})) << "init once, on for each showing";
    m_log.clear();
    m_menus.Back();
    m_menus.Back();
    EXPECT_EQ(m_log, (Log{"body", "closed 2", "body"})) << "pushed twice; the first showing's handler was replaced";
}

} // namespace
} // namespace Vel
