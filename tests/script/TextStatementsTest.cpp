#include "script/TextStatements.h"
#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/SetSelectionCommand.h"
#include "commands/SpeakCommand.h"
#include "dialogue/DialogManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace Vel {
namespace {

using TestTools::kBadNumber;

// A line with its voice, a selection with its count of entries, anything else by its description.
std::string Describe(const Command* command)
{
    if (const auto* speak = dynamic_cast<const SpeakCommand*>(command))
        return TextCodec::WideToUtf8(speak->GetDescription() +
                                     (speak->GetVoice().empty() ? u"" : u" [" + speak->GetVoice() + u"]"));
    if (const auto* selection = dynamic_cast<const SetSelectionCommand*>(command))
        return "Selection of " + std::to_string(selection->GetSelection().GetChoices().size());
    return TextCodec::WideToUtf8(command->GetDescription());
}

class TextStatementsTest : public ::testing::Test
{
protected:
    // The scene's commands described, or the error's "Info" part.
    std::string Parse(std::initializer_list<std::u16string_view> lines) { return m_script.Scene(lines, Describe); }

    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    ScenesManager m_scenes;
    TestTools::ScriptRun m_script;
};

TEST_F(TextStatementsTest, TextAndSpeechStatementsBuildTheirCommandsOrFail)
{
    const std::string needs = " needs an open scene, interface or menu block";
    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"text(textbox=main, text=Hello, style=bold, speed=2.5, clickme=arrow)", "Text"},
        {u"text(text=Hello)", "text without textbox"},
        {u"text(textbox=, text=Hello)", "text without textbox"},
        {u"text(textbox=main, speed=fast)", kBadNumber + "speed=fast is not a number"},
        {u"say(anna)", "Speak-anna"},
    };
    for (const auto& [statement, expected] : cases)
        EXPECT_EQ(m_script.InScene(statement, Describe), expected) << TextCodec::WideToUtf8(statement);
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
              "Speak-anna [intro.ogg]; Speak-anna; Speak-bob [two.ogg]; Speak-anna");

    ParseManager parser;
    parser.Parse(m_script.Write({u"voice(late.ogg)"}));
    EXPECT_EQ(parser.PendingVoice(), u"late.ogg");
    parser.Parse(m_script.Write({u"beginscene(late)", u"say(anna, Hi)", u"end"}));
    EXPECT_EQ(parser.PendingVoice(), u"");
    ASSERT_EQ(m_scenes.FindScene(u"late")->GetCommands().size(), 1u);
    EXPECT_EQ(Describe(m_scenes.FindScene(u"late")->GetCommands()[0]), "Speak-anna [late.ogg]");
}

TEST_F(TextStatementsTest, StylesTextBoxesAndSelectionsAreMadeAtOnceOrRefused)
{
    EXPECT_EQ(Parse({u"style(bold, size=20, il=120, color=ff8000)", u"textbox(main, align=10:20, size=600:150)",
                     u"beginscene(s1)", u"beginselection", u"entry(text=Left, style=bold, action=goto(left))",
                     u"entry(text=Right)", u"end", u"text(textbox=main, text=After)", u"end"}),
              "Selection of 2; Text");
    EXPECT_EQ(m_resources.GetStyle(u"bold")->GetSize(), 20);
    EXPECT_EQ(m_dialogs.FindTextbox(u"main")->GetWidth(), 600.0f);
    for (std::u16string_view bad :
         {u"style(s, size=big)", u"style(s, il=1.5)", u"textbox(main, align=10)", u"textbox(main, size=600)"})
        EXPECT_EQ(Parse({bad}).substr(0, kBadNumber.size()), kBadNumber) << TextCodec::WideToUtf8(bad);

    const std::string needs = "entry needs an open selection block";
    EXPECT_EQ(m_script.InScene(u"entry(text=x)", Describe),
              needs + " (the innermost open block is a scene, interface or menu block)");
    EXPECT_EQ(Parse({u"entry(text=x)"}), needs);
    EXPECT_EQ(Parse({u"beginscene(s99)", u"beginselection", u"end", u"end"}), "Selection without entries");
    for (std::u16string_view bad : {u"entry(text=x, align=5)", u"entry(text=x, size=a:b)"})
        EXPECT_EQ(Parse({u"beginscene(s99)", u"beginselection", bad}).substr(0, kBadNumber.size()), kBadNumber);
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
