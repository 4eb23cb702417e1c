#include "script/ScriptLinter.h"

#include "ScriptFile.h"
#include "TempFolder.h"
#include "core/HgeManager.h"
#include "dialogue/DialogManager.h"
#include "menus/MenuManager.h"
#include "resources/ResourceManager.h"
#include "saves/GalleryManager.h"
#include "scene/Command.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {
namespace {

// A warning expected at a line of "game.cvls": the text it starts with.
struct Expected
{
    int line = 0;
    std::string start;
};

struct Case
{
    const char* what;
    std::initializer_list<std::u16string_view> lines;
    std::vector<Expected> warnings;
};

// A game folder with a picture, a bitmap font and a tune. Each script is read by its own parser and managers, so
// nothing a case defines helps the next one.
class ScriptLinterTest : public ::testing::Test
{
protected:
    ScriptLinterTest()
    {
        m_folder.Enter();
        m_folder.Write("bg.png", "picture");
        m_folder.Write("fonts/font1.fnt", "[HGEFONT]\n");
        m_folder.Write("tune.ogg", "tune");
    }

    // The warnings of the script read with a linter attached.
    std::vector<std::string> Lint(std::initializer_list<std::u16string_view> lines)
    {
        ResourceManager resources;
        DialogManager dialogue;
        ScenesManager scenes;
        TriggerManager triggers;
        MenuManager menus;
        GalleryManager galleries;
        ScriptLinter linter;
        ParseManager parser;
        parser.SetLinter(&linter);
        TestTools::WriteCompiled(u"game.cvls", lines);
        parser.Parse(u"game.cvls");
        EXPECT_EQ(TestTools::ErrorInfo(parser.ErrorReport()), "");
        return linter.Finish();
    }

    TestTools::TempFolder m_folder;
    HgeManager m_hge{m_folder.File("engine.log")};
};

TEST_F(ScriptLinterTest, EachKindOfBrokenNameIsFoundAtItsLine)
{
    const Case cases[] = {
        {"branches and button actions",
         {u"beginscene(a)", u"if x=1 then goto(a) else goto(c)", u"end", u"beginmenu(m)", u"button(p, action=goto(z))",
          u"end"},
         {{2, "goto names 'c', which is no scene"}, {5, "goto names 'z'"}}},
        {"an interface is no goto target and a scene no interface",
         {u"begininterface(hud)", u"end", u"beginscene(a)", u"goto(hud)", u"interface(a)", u"end"},
         {{4, "goto names 'hud'"}, {5, "interface names 'a', which is no interface"}}},
        {"menu", {u"beginscene(a)", u"menu(nomenu)", u"end"}, {{2, "menu names 'nomenu', which is no menu or switch"}}},
        {"clear",
         {u"beginscene(a)", u"clear(ghost)", u"clear(layer:x)", u"clear( all )", u"clear()", u"end"},
         {{2, "clear names 'ghost'"}, {3, "clear names 'layer:x'"}, {5, "clear names ''"}}},
        {"picture files",
         {u"object(gone, file=gone.png)", u"object(bg, file=bg.png)", u"beginanim(blink)", u"frame(bg.png, 100)",
          u"frame(nothing.png, 100)", u"end"},
         {{1, "picture file 'gone.png' is missing from the game folder and the archives"},
          {5, "picture file 'nothing.png' is missing"}}},
        {"sound files",
         {u"beginscene(a)", u"music(off)", u"music(on)", u"music(gone.ogg)", u"sfx(gone.wav)", u"voice(gone2.ogg)",
          u"music(tune.ogg, fade=yes)", u"end", u"beginplaylist(p)", u"file(absent.ogg)", u"file(tune.ogg)", u"end"},
         {{4, "sound file 'gone.ogg' is missing"},
          {5, "sound file 'gone.wav' is missing"},
          {6, "sound file 'gone2.ogg' is missing"},
          {10, "sound file 'absent.ogg' is missing"}}},
        {"gallery pictures",
         {u"object(shot, file=bg.png)", u"beginslide(g)", u"pic(shot, sys_open)", u"pic(bg.png, sys_open)",
          u"pic(lost.png, sys_open)", u"none(lost2.png)", u"nosavegames(bg.png)", u"gamesaved(bg.png)",
          u"gamesaved(nothing)", u"gamesaved(shot)", u"end"},
         {{5, "gallery picture 'lost.png' is no object with a file"},
          {6, "gallery picture 'lost2.png'"},
          {9, "gamesaved names 'nothing', which is no object with a file"}}},
        {"speakers, once each",
         {u"begincharacter(hero)", u"dialog(textbox=main, name=Hero)", u"end", u"beginscene(a)", u"hero=Hi", u"",
          u"ghost=Boo", u"and on", u"", u"ghost=Again", u"", u"end"},
         {{7, "'ghost' speaks but has no dialog"}}},
        // Targets defined further down count: they are judged after everything was read.
        // clang-format off
        {"defined targets and present files",
         {u"object(bg, file=bg.png)", u"style(s, font=font1)", u"beginscene(first)", u"goto(second)",
          u"if t=1 then goto(second) else goto(first)", u"interface(hud)", u"menu(pause)", u"menu(pick)",
          u"object(bg, layer=0)", u"clear(bg)", u"clear(hero)", u"clear(hud)", u"clear(layer:2)", u"clear(all)",
          u"clear(interface)", u"clear(characters)", u"clear(animations)", u"clear(objects)", u"clear(text)",
          u"clear(playlist)", u"music(tune.ogg)", u"end", u"beginscene(second)", u"animation(hero, layer=1)",
          u"goto(first)", u"end", u"begininterface(hud)", u"end", u"beginmenu(pause)", u"end",
          u"beginswitch(pick, default=pause)", u"switch(pause, trigger=t, value=1)", u"end"},
         {}},
        // clang-format on
    };
    for (const Case& test : cases) {
        const std::vector<std::string> warnings = Lint(test.lines);
        ASSERT_EQ(warnings.size(), test.warnings.size()) << test.what << ":\n" << testing::PrintToString(warnings);
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            const std::string prefix =
                "game.cvls, line " + std::to_string(test.warnings[i].line) + ": " + test.warnings[i].start;
            EXPECT_EQ(warnings[i].substr(0, prefix.size()), prefix) << test.what;
        }
    }
}

TEST_F(ScriptLinterTest, NamesReadOutsideAFileHaveNoPosition)
{
    ResourceManager resources;
    ScenesManager scenes;
    ScriptLinter linter;
    {
        ParseManager parser;
        parser.SetLinter(&linter);
        EXPECT_NE(parser.ParseCommand(u"goto(away)"), nullptr);
    }
    EXPECT_EQ(linter.Finish(), std::vector<std::string>{"goto names 'away', which is no scene"});
}

} // namespace
} // namespace Vel
