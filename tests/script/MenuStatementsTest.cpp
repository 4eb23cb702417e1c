#include "script/MenuStatements.h"

#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "app/GameSystems.h"
#include "menus/Menu.h"
#include "menus/MenuSwitch.h"
#include "menus/TextSlider.h"
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

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    std::optional<GameSystems> m_systems{std::in_place};
    int m_saves = 0;
    TestTools::ScriptRun m_script;
};

TEST_F(MenuStatementsTest, StatementsOutOfPlaceOrWithBadValuesFail)
{
    m_script.CheckTable("menu_statements.txt");
}

TEST_F(MenuStatementsTest, MenuCommandsSplitAtMenuOnAndMenuOff)
{
    ASSERT_EQ(m_script.Run({u"beginmenu(main)", u"button(b1, action=save)", u"button(b2, action=goto(end))",
                            u"button(b3, action=)", u"set(a, 1)", u"menu_on", u"set(b, 2)", u"menu_off", u"set(c, 3)",
                            u"end"}),
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

TEST_F(MenuStatementsTest, SwitchesChooseByTrigger)
{
    ASSERT_EQ(m_script.Run({u"beginswitch(options, default=plain)", u"switch(fancy, value=1, trigger=gfx)",
                            u"switch(other, value=yes, trigger=alt)", u"end"}),
              "");
    const MenuSwitch* chooser = m_systems->menus.FindSwitch(u"options");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->GetMenuName(), u"plain");
    m_systems->triggers.Set(u"gfx", u"1");
    EXPECT_EQ(chooser->GetMenuName(), u"fancy");
    m_systems->triggers.Set(u"alt", u"yes");
    EXPECT_EQ(chooser->GetMenuName(), u"other") << "both cases were read";
}

// The rows of menu_sliders.txt give the sliders of the menu "options" and the warnings of their script.
TEST_F(MenuStatementsTest, SlidersBindOnlyTheVolumesAndSpeedsAndWarnWhenTheyCannotWork)
{
    std::filesystem::create_directories(m_folder.Path() / "fonts");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               m_folder.Path() / "fonts" / "sans.ttf");
    m_folder.Enter();
    ASSERT_TRUE(m_hge->System_Initiate()) << "glyph textures need the display";
    for (const TestTools::Row& row : TestTools::ReadTable("menu_sliders.txt")) {
        std::string outcome = m_script.Outcome(row.lines, TestTools::Description);
        for (const auto& slider : m_systems->menus.FindMenu(u"options")->GetSliders()) {
            const auto* text = dynamic_cast<const TextSlider*>(slider.get());
            outcome += (outcome.empty() ? "" : "; ") + TextCodec::WideToUtf8(slider->GetName()) +
                       (text ? " text of " + std::to_string(text->GetEntries().size()) : " visual") +
                       (slider->IsBound() ? " bound" : "");
        }
        for (const std::string& warning : m_script.parser->Warnings())
            outcome += "; warning at line " + warning.substr(warning.find(':') + 1);
        EXPECT_EQ(outcome, row.expected) << row.where;
    }
}

TEST_F(MenuStatementsTest, SliderBindingsReachTheirOwnChannel)
{
    BindSlider(u"music").setter(1.5f);
    BindSlider(u"voice").setter(2.5f);
    BindSlider(u"sfx").setter(3.5f);
    BindSlider(u"general").setter(4.5f);
    BindSlider(u"textspeed").setter(7.4f);
    BindSlider(u"autospeed").setter(12.0f);
    EXPECT_EQ(std::vector({m_systems->sound.GetMusicVolume(), m_systems->sound.GetVoiceVolume(),
                           m_systems->sound.GetSfxVolume(), m_systems->sound.GetMasterVolume()}),
              std::vector({1.5f, 2.5f, 3.5f, 4.5f}));
    EXPECT_EQ(std::vector({m_systems->settings.Get().textSpeed, m_systems->settings.Get().autoSpeed}),
              std::vector({7, 10}))
        << "rounded and clamped to the scale";
    m_systems.reset();
    EXPECT_TRUE(BindSlider(u"music").setter.IsEmpty()) << "no managers, nothing to bind";
}

TEST_F(MenuStatementsTest, SwapPlacesTheHiddenPictureAsTheHoverPictureOfTheLastObject)
{
    ASSERT_EQ(m_script.Run({u"object(door_lit, file=lit.png)", u"beginscene(s1)", u"object(door, layer=1)",
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
}

} // namespace
} // namespace Vel
