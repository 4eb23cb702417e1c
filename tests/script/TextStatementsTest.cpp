#include "script/TextStatements.h"
#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/GotoCommand.h"
#include "commands/SetSelectionCommand.h"
#include "commands/SetTextCommand.h"
#include "commands/SpeakCommand.h"
#include "dialogue/DialogManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "scene/RunCommandAction.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace Vel {
namespace {

using TestTools::kBadNumber;

class TextStatementsTest : public ::testing::Test
{
protected:
    // The scene's commands described, or the error's "Info" part.
    std::string Parse(std::initializer_list<std::u16string_view> lines) { return m_script.Scene(lines, Describer()); }
    std::string ParseInScene(std::u16string_view statement) { return m_script.InScene(statement, Describer()); }
    std::function<std::string(const Command*)> Describer()
    {
        return [this](const Command* command) { return Describe(command); };
    }

    std::string StyleName(const Style* style)
    {
        return style == nullptr ? "-" : style == m_resources.GetStyle(u"bold") ? "bold" : "?";
    }
    static std::string Number(float value)
    {
        std::ostringstream text;
        text << value;
        return text.str();
    }

    std::string Describe(const Command* command)
    {
        if (const auto* text = dynamic_cast<const SetTextCommand*>(command)) {
            const SetTextCommand::Text& t = text->GetText();
            return "text " + TextCodec::WideToUtf8(t.box->GetName()) + " '" + TextCodec::WideToUtf8(t.text) + "' " +
                   StyleName(t.style) + " " + Number(t.speed) + " " +
                   (t.clickme ? TextCodec::WideToUtf8(t.clickme->GetName()) : "-") + (t.click ? " click" : "") +
                   (t.skip ? " skip" : "");
        }
        if (const auto* speak = dynamic_cast<const SpeakCommand*>(command)) {
            const std::string voice =
                speak->GetVoice().empty() ? "" : " [" + TextCodec::WideToUtf8(speak->GetVoice()) + "]";
            return "say " + TextCodec::WideToUtf8(speak->GetCharacter()) + ": " +
                   TextCodec::WideToUtf8(speak->GetText()) + voice;
        }
        if (const auto* selection = dynamic_cast<const SetSelectionCommand*>(command)) {
            std::string text = "selection";
            for (const auto& choice : selection->GetSelection().GetChoices()) {
                text += " [" + TextCodec::WideToUtf8(choice->GetSourceText()) + " " + StyleName(choice->GetStyle()) +
                        " " + Number(choice->GetX()) + "," + Number(choice->GetY()) + " " + Number(choice->GetWidth()) +
                        "x" + Number(choice->GetHeight());
                const auto* run = dynamic_cast<const RunCommandAction*>(choice->GetAction().get());
                if (const auto* jump = run ? dynamic_cast<const GotoCommand*>(run->GetCommand()) : nullptr)
                    text += " goto " + TextCodec::WideToUtf8(jump->GetSceneName());
                text += "]";
            }
            return text;
        }
        return TextCodec::WideToUtf8(command->GetDescription());
    }

    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    ScenesManager m_scenes;
    TestTools::ScriptRun m_script;
};

TEST_F(TextStatementsTest, TextAndSpeechStatementsBuildTheirCommandsOrFail)
{
    ASSERT_NE(m_resources.GetSprite(u"arrow"), nullptr);
    const std::string needs = " needs an open scene, interface or menu block";
    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"text(textbox=main, text=Hello, style=bold, speed=2.5, clickme=arrow)",
         "text main 'Hello' bold 2.5 arrow click skip"},
        {u"text(textbox=main, text=Hi you, click=no, skip=no)", "text main 'Hi you' - 0 -"},
        {u"text(textbox=main, click=No, clickme=nothing)", "text main '' - 0 - click skip"}, // only "no" clears
        {u"text(text=Hello)", "text without textbox"},
        {u"text(textbox=, text=Hello)", "text without textbox"},
        {u"text(textbox=main, speed=fast)", kBadNumber},
        {u"say(anna, Good morning)", "say anna: Good morning"},
        {u"say(anna)", "say anna: "},
    };
    for (const auto& [statement, expected] : cases)
        EXPECT_EQ(ParseInScene(statement), expected) << TextCodec::WideToUtf8(statement);
    EXPECT_NE(m_dialogs.FindTextbox(u"main"), nullptr);

    EXPECT_EQ(Parse({u"text(textbox=main, text=x)"}), "text" + needs);
    EXPECT_EQ(Parse({u"say(anna, x)"}), "say" + needs);
    EXPECT_EQ(Parse({u"anna=x", u""}), "say" + needs);
    EXPECT_EQ(Parse({u"beginselection"}), "beginselection" + needs);
    EXPECT_EQ(Parse({u"begincharacter(anna)", u"text(textbox=main)", u"end"}),
              "text" + needs + " (the innermost open block is an animation or character block)");
}

TEST_F(TextStatementsTest, AVoiceBelongsToTheNextLineOnlyAcrossFiles)
{
    EXPECT_EQ(Parse({u"beginscene(s1)", u"voice(intro.ogg)", u"say(anna, One)", u"say(anna, Two)", u"voice=two.ogg",
                     u"bob=Three", u"", u"anna=Four", u"", u"end"}),
              "say anna: One [intro.ogg]; say anna: Two; say bob: Three [two.ogg]; say anna: Four");

    ParseManager parser;
    parser.Parse(m_script.Write({u"voice(late.ogg)"}));
    EXPECT_EQ(parser.PendingVoice(), u"late.ogg");
    parser.Parse(m_script.Write({u"beginscene(late)", u"say(anna, Hi)", u"end"}));
    EXPECT_EQ(parser.PendingVoice(), u"");
    ASSERT_EQ(m_scenes.FindScene(u"late")->GetCommands().size(), 1u);
    EXPECT_EQ(Describe(m_scenes.FindScene(u"late")->GetCommands()[0]), "say anna: Hi [late.ogg]");
}

TEST_F(TextStatementsTest, StylesAndTextBoxesAreFilledAtOnce)
{
    EXPECT_EQ(Parse({u"style(bold, size=20, il=120, color=ff8000, speed=3, clickme=arrow, tag=b)", u"style(plain)",
                     u"style(dark, color=zz)", u"textbox(main, align=10:20, size=600:150)", u"textbox(side)"}),
              "");
    const Style* bold = m_resources.GetStyle(u"bold");
    EXPECT_EQ(std::tuple(bold->GetSize(), bold->GetLineSpacing(), bold->GetClickme(), bold->GetAlpha()),
              std::tuple(20, 120, u"arrow", 1.0f));
    EXPECT_FLOAT_EQ(bold->GetGreen(), 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(m_resources.GetStyle(u"plain")->GetBlue(), 1.0f);
    EXPECT_FLOAT_EQ(m_resources.GetStyle(u"dark")->GetAlpha(), 0.0f) << "an unreadable colour is transparent black";

    auto* main = const_cast<Textbox*>(m_dialogs.FindTextbox(u"main"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(std::vector({main->GetY(), main->GetWidth(), main->GetWrapLimit()}),
              std::vector({20.0f, 600.0f, 585.0f}));
    EXPECT_FALSE(main->IsVisible());
    EXPECT_NE(m_dialogs.FindTextbox(u"side"), nullptr);

    for (std::u16string_view bad :
         {u"style(s, size=big)", u"style(s, il=1.5)", u"textbox(main, align=10)", u"textbox(main, size=600)"})
        EXPECT_EQ(Parse({bad}), kBadNumber) << TextCodec::WideToUtf8(bad);
}

TEST_F(TextStatementsTest, SelectionsCollectEntriesAndRefuseToBeEmpty)
{
    EXPECT_EQ(Parse({u"beginscene(s1)", u"beginselection",
                     u"entry(text=Left, style=bold, align=10:20, size=100:30, action=goto(left))", u"entry(text=Right)",
                     u"end", u"text(textbox=main, text=After)", u"end"}),
              "selection [Left bold 10,20 100x30 goto left] [Right - 0,0 0x0]; text main 'After' - 0 - click skip");
    const std::string needs = "entry needs an open selection block";
    EXPECT_EQ(ParseInScene(u"entry(text=x)"),
              needs + " (the innermost open block is a scene, interface or menu block)");
    EXPECT_EQ(Parse({u"entry(text=x)"}), needs);
    EXPECT_EQ(Parse({u"beginscene(s99)", u"beginselection", u"end", u"end"}), "Selection without entries");
    for (std::u16string_view bad : {u"entry(text=x, align=5)", u"entry(text=x, size=a:b)"})
        EXPECT_EQ(Parse({u"beginscene(s99)", u"beginselection", bad}), kBadNumber);
}

TEST(TextStatementsWithoutManagersTest, StatementsNeedingTheGraphicsFailBeforeThey)
{
    ScenesManager scenes;
    TestTools::ScriptRun script;
    const auto parse = [&script](std::initializer_list<std::u16string_view> lines) { return script.Run(lines); };
    const std::string early = " cannot be read before the game's managers exist";
    for (std::u16string_view first : {u"style(bold)", u"textbox(main)", u"begincharacter(anna)"})
        EXPECT_EQ(parse({first}), TextCodec::WideToUtf8(first.substr(0, first.find(u'('))) + early);
    EXPECT_EQ(parse({u"beginscene(a)", u"text(textbox=main)"}), "text" + early);
    EXPECT_EQ(parse({u"beginscene(b)", u"voice(v.ogg)", u"say(anna, Hi)", u"end"}), "");
}

} // namespace
} // namespace Vel
