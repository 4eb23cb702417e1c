#include "script/MenuStatements.h"

#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "app/GameSystems.h"
#include "menus/Menu.h"
#include "menus/MenuSwitch.h"
#include "menus/TextSlider.h"
#include "menus/VisualSlider.h"
#include "scene/RunCommandAction.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {
namespace {

using TestTools::kBadNumber;

class MenuStatementsTest : public ::testing::Test
{
protected:
    MenuStatementsTest()
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        m_script.setup = [this](ParseManager& parser) {
            parser.AddInterfaceFunction(u"save", Callback<void()>([this] { ++m_saves; }));
        };
    }
    std::string Run(std::initializer_list<std::u16string_view> lines) { return m_script.Run(lines); }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    std::optional<GameSystems> m_systems{std::in_place};
    int m_saves = 0;
    TestTools::ScriptRun m_script;
};

TEST_F(MenuStatementsTest, MenusAreMadeOnceAndTheirCommandsSplitAtMenuOnAndMenuOff)
{
    EXPECT_EQ(Run({u"beginmenu(m)", u"end", u"beginmenu(m)", u"end", u"beginmenu(after)", u"end"}),
              "Menu already exists");
    EXPECT_EQ(m_systems->menus.FindMenu(u"after"), nullptr) << "the file stops at the error";
    EXPECT_EQ(Run({u"beginswitch(pick)", u"end", u"beginswitch(pick)", u"end"}), "Switch already exists");

    ASSERT_EQ(Run({u"beginmenu(main)", u"button(b1, action=save)", u"button(b2, action=goto(end))",
                   u"button(b3, action=)", u"set(a, 1)", u"menu_on", u"set(b, 2)", u"menu_off", u"set(c, 3)", u"end"}),
              "");
    Menu& menu = *m_systems->menus.FindMenu(u"main");
    const Scene& scene = menu.GetScene();
    scene.FindNode(u"button1swap")->GetAction()->Run();
    EXPECT_EQ(m_saves, 1) << "the interface function is bound";
    EXPECT_NE(dynamic_cast<const RunCommandAction*>(scene.FindNode(u"button2swap")->GetAction().get()), nullptr);
    EXPECT_EQ(scene.FindNode(u"button3swap")->GetAction(), nullptr);
    menu.Show({});
    EXPECT_EQ(m_systems->triggers.Get(u"a") + m_systems->triggers.Get(u"b") + m_systems->triggers.Get(u"c"), u"12");
    menu.Hide();
    EXPECT_EQ(m_systems->triggers.Get(u"c"), u"3");
}

TEST_F(MenuStatementsTest, SwitchesChooseByTriggerAndMenuPartsNeedTheirBlock)
{
    ASSERT_EQ(Run({u"beginswitch(options, default=plain)", u"switch(fancy, value=1, trigger=gfx)",
                   u"switch(other, value=yes, trigger=alt)", u"end"}),
              "");
    const MenuSwitch* chooser = m_systems->menus.FindSwitch(u"options");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->GetMenuName(), u"plain");
    m_systems->triggers.Set(u"gfx", u"1");
    EXPECT_EQ(chooser->GetMenuName(), u"fancy");
    m_systems->triggers.Set(u"alt", u"yes");
    EXPECT_EQ(chooser->GetMenuName(), u"other") << "the first trigger by name wins";

    EXPECT_EQ(Run({u"switch(a, value=1, trigger=t)"}), "switch needs an open switch block");
    for (const std::u16string_view statement :
         {u"background(bg)", u"button(b1)", u"menu_on", u"menu_off", u"textslider(t)", u"visualslider(v)"}) {
        const std::string keyword = TextCodec::WideToUtf8(statement.substr(0, statement.find(u'(')));
        EXPECT_EQ(Run({statement}), keyword + " needs an open menu block");
        EXPECT_EQ(Run({u"beginscene(s)", statement, u"end"}), keyword + " needs an open menu block");
    }
}

TEST_F(MenuStatementsTest, SlidersBindOnlyTheFourVolumesAndWarnWhenTheyCannotWork)
{
    std::filesystem::create_directories(m_folder.Path() / "fonts");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               m_folder.Path() / "fonts" / "sans.ttf");
    m_folder.Enter();
    ASSERT_TRUE(m_hge->System_Initiate()) << "glyph textures need the display";
    ASSERT_EQ(Run({u"style(plain, font=sans, size=16)", u"style(bare, size=16)", u"object(box, file=box.png)",
                   u"beginmenu(options)", u"textslider(t1, bind=music, normal=plain, start=2, end=5, align=10:20)",
                   u"textslider(t2, bind=Music, normal=plain)", u"visualslider(v1, bind=general, box=box)",
                   u"textslider(faceless, bind=voice, normal=bare)", u"visualslider(typo, bind=sfx, box=bxo)", u"end"}),
              "");
    const auto& sliders = m_systems->menus.FindMenu(u"options")->GetSliders();
    ASSERT_EQ(sliders.size(), 5u);
    const auto* ranged = dynamic_cast<const TextSlider*>(sliders[0].get());
    ASSERT_TRUE(ranged != nullptr && dynamic_cast<VisualSlider*>(sliders[2].get()));
    EXPECT_TRUE(ranged->IsBound() && sliders[2]->IsBound());
    EXPECT_EQ(ranged->GetEntries().size(), 4u);

    const std::vector<std::string>& warnings = m_script.parser->Warnings();
    ASSERT_EQ(warnings.size(), 3u);
    const char* const expected[][2] = {{"'t2'", "'Music'"}, {"'faceless'", "TrueType"}, {"'typo'", "'bxo'"}};
    for (std::size_t i = 0; i < 3; ++i)
        for (const char* part : expected[i])
            EXPECT_NE(warnings[i].find(part), std::string::npos) << warnings[i];
    EXPECT_EQ(Run({u"beginmenu(m)", u"visualslider(v, max=many)"}), kBadNumber + "max=many is not a whole number");
}

TEST_F(MenuStatementsTest, VolumeBindingsReachTheirOwnChannel)
{
    BindVolume(u"music").setter(1.5f);
    BindVolume(u"voice").setter(2.5f);
    BindVolume(u"sfx").setter(3.5f);
    BindVolume(u"general").setter(4.5f);
    EXPECT_EQ(std::vector({m_systems->sound.GetMusicVolume(), m_systems->sound.GetVoiceVolume(), m_systems->sound.GetSfxVolume(),
                           m_systems->sound.GetMasterVolume()}),
              std::vector({1.5f, 2.5f, 3.5f, 4.5f}));
    m_systems.reset();
    EXPECT_TRUE(BindVolume(u"music").setter.IsEmpty()) << "no managers, nothing to bind";
}

TEST_F(MenuStatementsTest, SwapPlacesTheHiddenPictureAsTheHoverPictureOfTheLastObject)
{
    ASSERT_EQ(Run({u"object(door_lit, file=lit.png)", u"beginscene(s1)", u"object(door, layer=1)",
                   u"swap(door_lit, layer=1, align=5:6)", u"end"}),
              "");
    m_systems->scenes.StartScene(u"s1", SceneStart::Reset);
    Scene& scene = *m_systems->scenes.GetCurrentScene();
    scene.Update(0.0f, Scene::Mouse{});
    const SceneNode* door = scene.FindNode(u"door");
    const SceneNode* lit = scene.FindNode(u"door_lit");
    ASSERT_TRUE(door != nullptr && lit != nullptr);
    EXPECT_EQ(door->GetHoverTarget(), lit);
    EXPECT_FALSE(lit->IsVisible());
    EXPECT_EQ(lit->GetResource(), m_systems->resources.FindResource(u"door_lit"));
    EXPECT_EQ(Run({u"swap(door_lit, layer=1)"}), "Node command out of scene");
}

} // namespace
} // namespace Vel
