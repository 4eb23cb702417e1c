#include "script/MenuStatements.h"

#include "HeadlessHge.h"
#include "ScriptFile.h"
#include "TempFolder.h"
#include "commands/ClearCommand.h"
#include "commands/CreateNodeCommand.h"
#include "commands/GotoCommand.h"
#include "commands/SetMenuCommand.h"
#include "commands/SetSwapCommand.h"
#include "menus/Menu.h"
#include "menus/MenuManager.h"
#include "menus/MenuSwitch.h"
#include "menus/TextSlider.h"
#include "menus/VisualSlider.h"
#include "resources/ResourceManager.h"
#include "scene/RunCommandAction.h"
#include "scene/RunFunctionAction.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"
#include "sound/SoundManager.h"

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

const std::string kBadNumber = "bad lexical cast: source type value could not be interpreted as target";

std::string Describe(const Command* command)
{
    if (const auto* menu = dynamic_cast<const SetMenuCommand*>(command))
        return "menu " + TextCodec::WideToUtf8(menu->GetMenuName());
    if (const auto* swap = dynamic_cast<const SetSwapCommand*>(command))
        return "swap " + TextCodec::WideToUtf8(swap->GetFirstNode()) + ">" +
               TextCodec::WideToUtf8(swap->GetSecondNode());
    if (const auto* node = dynamic_cast<const CreateNodeCommand*>(command))
        return "node " + TextCodec::WideToUtf8(node->GetPlacement().name) +
               (node->GetPlacement().visible ? " shown" : " hidden");
    if (const auto* clear = dynamic_cast<const ClearCommand*>(command))
        return "clear " + TextCodec::WideToUtf8(clear->GetTarget());
    return "other";
}

std::vector<std::string> DescribeAll(const std::vector<Command*>& commands)
{
    std::vector<std::string> texts;
    for (const Command* command : commands)
        texts.push_back(Describe(command));
    return texts;
}

using Texts = std::vector<std::string>;

// Every script is read by a fresh parser (the first error ends a parser's run); the managers live for the test.
class MenuStatementsTest : public ::testing::Test
{
protected:
    MenuStatementsTest()
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        m_sound.emplace();
    }

    // The "Info" part of the error report; empty when the script ran through.
    std::string Run(std::initializer_list<std::u16string_view> lines)
    {
        m_parser.reset();
        m_parser = std::make_unique<ParseManager>();
        m_parser->AddInterfaceFunction(u"save", Callback<void()>([this] { ++m_saves; }));
        const std::u16string name = TextCodec::Utf8ToWide(m_folder.File(std::to_string(++m_files) + ".cvls"));
        TestTools::WriteCompiled(name, lines);
        m_parser->Parse(name);
        return TestTools::ErrorInfo(m_parser->ErrorReport());
    }
    // The commands of the story scene, described; or the error's "Info" part.
    std::string RunScene(std::initializer_list<std::u16string_view> lines)
    {
        m_parser.reset();
        const std::u16string scene = u"scene" + TextCodec::Utf8ToWide(std::to_string(m_files + 1));
        return TestTools::ParseScene(TextCodec::Utf8ToWide(m_folder.File(std::to_string(++m_files) + ".cvls")), lines,
                                     scene, Describe);
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    ScenesManager m_scenes;
    TriggerManager m_triggers;
    MenuManager m_menus;
    std::optional<SoundManager> m_sound;
    std::unique_ptr<ParseManager> m_parser;
    int m_files = 0;
    int m_saves = 0;
};

TEST_F(MenuStatementsTest, MenusAndSwitchesAreCreatedOnceAndAFailureStopsTheFile)
{
    EXPECT_EQ(Run({u"beginmenu(main)", u"end", u"beginmenu(main)", u"end", u"beginmenu(after)", u"end"}),
              "Menu already exists");
    EXPECT_NE(m_menus.FindMenu(u"main"), nullptr);
    EXPECT_EQ(m_menus.FindMenu(u"after"), nullptr) << "the file stops at the error";
    EXPECT_EQ(Run({u"beginswitch(main, default=a)", u"end"}), "Menu already exists");
    EXPECT_EQ(Run({u"beginswitch(pick)", u"end", u"beginswitch(pick)", u"end"}), "Switch already exists");
    EXPECT_EQ(Run({u"beginmenu(pick)", u"end"}), "Menu already exists");
    EXPECT_EQ(Run({u"beginmenu(Main)", u"end"}), "") << "names are case-sensitive";
}

TEST_F(MenuStatementsTest, ButtonsGetTheirPlaceAndAFunctionACommandOrNoAction)
{
    ASSERT_EQ(Run({u"beginmenu(main)", u"background(bg)", u"button(b1, align=10:20, size=30:40, action=save)",
                   u"button(b2, action=goto(end))", u"button(b3)", u"button(b4, action=)", u"end"}),
              "");
    const Scene& scene = m_menus.FindMenu(u"main")->GetScene();
    const SceneNode* first = scene.FindNode(u"button1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::vector({first->GetX(), first->GetY(), first->GetHitWidth(), first->GetHitHeight()}),
              std::vector({10.0f, 20.0f, 30.0f, 40.0f}));
    EXPECT_NE(scene.FindNode(u"background"), nullptr);

    const auto* function = dynamic_cast<const RunFunctionAction*>(scene.FindNode(u"button1swap")->GetAction().get());
    ASSERT_NE(function, nullptr);
    scene.FindNode(u"button1swap")->GetAction()->Run();
    EXPECT_EQ(m_saves, 1) << "the interface function is bound";
    const auto* jump = dynamic_cast<const RunCommandAction*>(scene.FindNode(u"button2swap")->GetAction().get());
    ASSERT_NE(jump, nullptr);
    const auto* go = dynamic_cast<const GotoCommand*>(jump->GetCommand());
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->GetSceneName(), u"end");
    EXPECT_EQ(scene.FindNode(u"button3swap")->GetAction(), nullptr);
    EXPECT_EQ(scene.FindNode(u"button4swap")->GetAction(), nullptr);
    EXPECT_TRUE(scene.GetCommands().empty()) << "a button's action is no command of the menu";

    EXPECT_EQ(Run({u"beginmenu(m2)", u"button(b, align=10)", u"end"}), kBadNumber);
    EXPECT_EQ(Run({u"beginmenu(m3)", u"button(b, size=1:x)", u"end"}), kBadNumber);
}

TEST_F(MenuStatementsTest, MenuOnAndMenuOffSplitTheMenuCommands)
{
    ASSERT_EQ(
        Run({u"beginmenu(main)", u"clear(a)", u"menu_on", u"clear(b)", u"clear(c)", u"menu_off", u"clear(d)", u"end"}),
        "");
    Menu& menu = *m_menus.FindMenu(u"main");
    EXPECT_EQ(DescribeAll(menu.GetInitCommands()), Texts{"clear a"});
    EXPECT_EQ(DescribeAll(menu.GetOnCommands()), (Texts{"clear b", "clear c"}));
    menu.Show({});
    EXPECT_EQ(DescribeAll(menu.GetOffCommands()), Texts{"clear d"});

    // Without either statement every command stays in the menu's scene until the menu sorts them.
    ASSERT_EQ(Run({u"beginmenu(plain)", u"clear(a)", u"menu(sub)", u"end"}), "");
    Menu& plain = *m_menus.FindMenu(u"plain");
    EXPECT_TRUE(plain.GetInitCommands().empty());
    EXPECT_EQ(DescribeAll(plain.GetScene().GetCommands()), (Texts{"clear a", "menu sub"}));
}

TEST_F(MenuStatementsTest, SwitchesChooseByTriggerValueAndElseTheDefault)
{
    ASSERT_EQ(Run({u"beginswitch(options, default=plain)", u"switch(fancy, value=1, trigger=gfx)",
                   u"switch(other, value=yes, trigger=alt)", u"end"}),
              "");
    const MenuSwitch* chooser = m_menus.FindSwitch(u"options");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->GetMenuName(), u"plain");
    m_triggers.Set(u"gfx", u"1");
    EXPECT_EQ(chooser->GetMenuName(), u"fancy");
    m_triggers.Set(u"alt", u"yes");
    EXPECT_EQ(chooser->GetMenuName(), u"other") << "the first trigger by name wins";

    EXPECT_EQ(Run({u"switch(a, value=1, trigger=t)"}), "switch needs an open switch block");
    EXPECT_EQ(Run({u"beginmenu(m)", u"switch(a, value=1, trigger=t)", u"end"}),
              "switch needs an open switch block (the innermost open block is a scene, interface or menu block)");
}

TEST_F(MenuStatementsTest, MenuPartsOutsideAMenuBlockAreScriptErrors)
{
    for (const std::u16string_view statement : {u"background(bg)", u"button(b1)", u"menu_on", u"menu_off",
                                                u"textslider(t, bind=music)", u"visualslider(v, bind=music)"}) {
        const std::string keyword = TextCodec::WideToUtf8(statement.substr(0, statement.find(u'(')));
        EXPECT_EQ(Run({statement}), keyword + " needs an open menu block");
        EXPECT_EQ(Run({u"beginscene(s)", statement, u"end"}), keyword + " needs an open menu block");
        EXPECT_EQ(Run({u"beginswitch(w" + TextCodec::Utf8ToWide(std::to_string(m_files)) + u")", statement}),
                  keyword + " needs an open menu block");
    }
}

class SliderStatementsTest : public MenuStatementsTest
{
protected:
    SliderStatementsTest()
    {
        std::filesystem::create_directories(m_folder.Path() / "fonts");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   m_folder.Path() / "fonts" / "sans.ttf");
        m_folder.Enter();
        EXPECT_TRUE(m_hge->System_Initiate()) << "glyph textures need the display";
    }

    [[nodiscard]] const std::vector<std::unique_ptr<Slider>>& Sliders(const std::u16string& menu) const
    {
        return m_menus.FindMenu(menu)->GetSliders();
    }
};

TEST_F(SliderStatementsTest, SlidersTakeTheirAttributesAndBindOnlyTheFourVolumes)
{
    ASSERT_EQ(Run({u"style(plain, font=sans, size=16)", u"object(box, file=box.png)", u"beginmenu(options)",
                   u"textslider(t1, bind=music, normal=plain, over=plain, start=2, end=5, align=10:20)",
                   u"textslider(t2, bind=Music, normal=plain)", u"visualslider(v1, bind=general, box=box, bg=bg)",
                   u"visualslider(v2, box=box, max=5, spacing=3, align1=7)", u"end"}),
              "");
    const auto& sliders = Sliders(u"options");
    ASSERT_EQ(sliders.size(), 4u);
    const auto* ranged = dynamic_cast<const TextSlider*>(sliders[0].get());
    const auto* unbound = dynamic_cast<const TextSlider*>(sliders[1].get());
    const auto* boxes = dynamic_cast<const VisualSlider*>(sliders[2].get());
    ASSERT_TRUE(ranged != nullptr && unbound != nullptr && boxes != nullptr);
    EXPECT_EQ(ranged->GetName(), u"t1");
    EXPECT_TRUE(ranged->IsBound());
    EXPECT_FALSE(unbound->IsBound()) << "bind is compared exactly";
    EXPECT_TRUE(boxes->IsBound());
    EXPECT_FALSE(sliders[3]->IsBound());
    EXPECT_EQ(boxes->GetBoxPicture(), m_resources.FindResource(u"box"));

    ASSERT_TRUE(ranged->IsDrawable());
    ASSERT_EQ(ranged->GetEntries().size(), 4u);
    EXPECT_EQ(ranged->GetEntries().front().value, 2);
    EXPECT_EQ(ranged->GetEntries().back().value, 5);
    EXPECT_EQ(std::vector({ranged->GetEntries()[0].x1, ranged->GetEntries()[0].y1}), std::vector({10.0f, 20.0f}));
    EXPECT_EQ(unbound->GetEntries().size(), 11u) << "the volume scale 0..10 unless the script sets a range";
    EXPECT_EQ(unbound->GetEntries()[0].x1, 0.0f);

    for (const std::u16string_view statement :
         {u"textslider(t, start=x)", u"textslider(t, end=1.5)", u"textslider(t, align=1:y)",
          u"visualslider(v, max=many)", u"visualslider(v, spacing=2.5)", u"visualslider(v, align2=top)"}) {
        EXPECT_EQ(Run({u"beginmenu(m" + TextCodec::Utf8ToWide(std::to_string(m_files)) + u")", statement}), kBadNumber)
            << TextCodec::WideToUtf8(statement);
    }
}

TEST_F(SliderStatementsTest, SlidersThatCannotWorkAreReportedAsWarnings)
{
    ASSERT_EQ(Run({u"style(plain, font=sans, size=16)", u"style(bare, size=16)", u"object(box, file=box.png)",
                   u"beginmenu(options)", u"textslider(fine, bind=voice, normal=plain)",
                   u"visualslider(good, bind=sfx, box=box)", u"textslider(loud, bind=Music, normal=plain)",
                   u"textslider(faceless, bind=music, normal=bare)", u"visualslider(empty, bind=sfx)",
                   u"visualslider(typo, bind=music, box=bxo)", u"end"}),
              "");
    const std::vector<std::string>& warnings = m_parser->Warnings();
    ASSERT_EQ(warnings.size(), 4u);
    const auto mentions = [](const std::string& warning, std::initializer_list<const char*> parts) {
        for (const char* part : parts)
            if (warning.find(part) == std::string::npos)
                return false;
        return true;
    };
    EXPECT_TRUE(mentions(warnings[0], {"line 7", "'loud'", "'options'", "'Music'"})) << warnings[0];
    EXPECT_TRUE(mentions(warnings[1], {"line 8", "'faceless'", "'bare'", "TrueType"})) << warnings[1];
    EXPECT_TRUE(mentions(warnings[2], {"line 9", "'empty'", "no box picture"})) << warnings[2];
    EXPECT_TRUE(mentions(warnings[3], {"line 10", "'typo'", "'bxo'"})) << warnings[3];

    // A fresh parser starts without the old warnings; a slider bound to nothing is named as such.
    ASSERT_EQ(Run({u"beginmenu(more)", u"visualslider(none, box=box)", u"end"}), "");
    ASSERT_EQ(m_parser->Warnings().size(), 1u);
    EXPECT_TRUE(mentions(m_parser->Warnings()[0], {"'none'", "to nothing"})) << m_parser->Warnings()[0];
}

TEST_F(MenuStatementsTest, VolumeBindingsReachTheirOwnChannel)
{
    struct Channel
    {
        std::u16string_view bind;
        float (SoundManager::*get)() const;
    };
    const Channel channels[] = {{u"music", &SoundManager::GetMusicVolume},
                                {u"voice", &SoundManager::GetVoiceVolume},
                                {u"sfx", &SoundManager::GetSfxVolume},
                                {u"general", &SoundManager::GetMasterVolume}};
    float level = 1.0f;
    for (const Channel& channel : channels) {
        const VolumeBinding binding = BindVolume(channel.bind);
        binding.setter(level);
        EXPECT_FLOAT_EQ(((*m_sound).*channel.get)(), level) << TextCodec::WideToUtf8(channel.bind);
        EXPECT_FLOAT_EQ(binding.getter(), level) << TextCodec::WideToUtf8(channel.bind);
        level += 2.0f;
    }
    EXPECT_FLOAT_EQ(m_sound->GetMusicVolume(), 1.0f) << "each setter reaches one channel only";
    for (const std::u16string_view text : {u"Music", u"", u"master", u"music "}) {
        const VolumeBinding binding = BindVolume(text);
        EXPECT_TRUE(binding.setter.IsEmpty() && binding.getter.IsEmpty()) << TextCodec::WideToUtf8(text);
    }
    m_sound.reset();
    EXPECT_TRUE(BindVolume(u"music").setter.IsEmpty()) << "no sound manager, nothing to bind";
}

TEST_F(MenuStatementsTest, SwapPlacesTheHiddenPictureAndPairsItWithTheLastObject)
{
    EXPECT_EQ(RunScene({u"object(door_lit, file=lit.png)", u"beginscene(scene1)", u"object(door, layer=1)",
                        u"swap(door_lit, layer=1, align=5:6)", u"animation(walk)", u"swap(door_lit)", u"menu(options)",
                        u"end"}),
              "node door shown; node door_lit hidden; swap door>door_lit; swap walk>door_lit; menu options");
    const auto* hidden = dynamic_cast<const CreateNodeCommand*>(m_scenes.FindScene(u"scene1")->GetCommands()[1]);
    ASSERT_NE(hidden, nullptr);
    const CreateNodeCommand::Placement& placed = hidden->GetPlacement();
    EXPECT_EQ(placed.resource, m_resources.FindResource(u"door_lit"));
    EXPECT_EQ(placed.group, u"");
    EXPECT_EQ(std::vector({placed.x, placed.y}), std::vector({5.0f, 6.0f}));

    // Inside a menu the pair goes to the menu's commands.
    ASSERT_EQ(Run({u"object(on, file=on.png)", u"beginmenu(m)", u"object(off, layer=1)", u"swap(on, layer=1)", u"end"}),
              "");
    EXPECT_EQ(DescribeAll(m_menus.FindMenu(u"m")->GetScene().GetCommands()),
              (Texts{"node off shown", "node on hidden", "swap off>on"}));

    EXPECT_EQ(RunScene({u"swap(door_lit, layer=1)"}), "Node command out of scene");
    EXPECT_EQ(RunScene({u"swap(door_lit)"}), "swap needs an open scene, interface or menu block");
    EXPECT_EQ(RunScene({u"menu(options)"}), "menu needs an open scene, interface or menu block");
    EXPECT_EQ(RunScene({u"beginscene(scene99)", u"swap(x, align=1)", u"end"}), kBadNumber);
}

} // namespace
} // namespace Vel
