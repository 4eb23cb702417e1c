// The faults an author meets first: a statement left open or closed once too often, a number that does not read, an
// empty attribute in a node statement, and lines the check flags because they do not do what they seem to.
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "core/HgeManager.h"
#include "dialogue/DialogManager.h"
#include "resources/ResourceManager.h"
#include "scene/ScenesManager.h"
#include "script/ScriptLinter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {
namespace {

struct Case
{
    std::initializer_list<std::u16string_view> lines;
    std::string expected;
};

class ScriptFaultTest : public ::testing::Test
{
protected:
    // "LINE: INFO" of the error report, or "" when the lines ran through.
    std::string Fault(std::initializer_list<std::u16string_view> lines)
    {
        const std::string info = m_script.Run(lines);
        if (info.empty())
            return info;
        const std::string report = TextCodec::WideToUtf8(m_script.parser->ErrorReport());
        const std::size_t line = report.find("Line: ") + 6;
        return report.substr(line, report.find('\n', line) - line) + ": " + info;
    }

    // The check's warnings for the lines, each without the file name.
    std::vector<std::string> Lint(std::initializer_list<std::u16string_view> lines)
    {
        ScriptLinter linter;
        m_script.setup = [&linter](ParseManager& parser) { parser.SetLinter(&linter); };
        EXPECT_EQ(m_script.Run(lines), "");
        std::vector<std::string> warnings = linter.Finish();
        for (std::string& warning : warnings)
            warning.erase(0, warning.find(", line ") + 2);
        return warnings;
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::ScriptRun m_script;
    HgeManager m_hge{m_script.folder.File("engine.log")};
    ResourceManager m_resources;
    DialogManager m_dialogs;
    ScenesManager m_scenes;
};

// Each error names the line where its statement began, also when it shows further down.
TEST_F(ScriptFaultTest, StatementsLeftOpenClosedTooOftenOrWithNumbersThatDoNotReadFailAtTheirFirstLine)
{
    const std::string cast = "2: bad lexical cast: ";
    const Case cases[] = {
        {{u"beginscene(a)", u"character(elin, opacity=0:100:500", u"end", u"beginscene(b)", u"end"},
         "2: Statement not closed: character has more '(' than ')'"},
        {{u"goto(x))"}, "1: Unbalanced parenthesis: goto has a ')' without its '('"},
        {{u"beginscene(a)", u"set(a,", u"1))", u"end"}, "2: Unbalanced parenthesis: set has a ')' without its '('"},
        {{u"goto x)(y"}, "1: Unbalanced parenthesis: goto has a ')' without its '('"},
        {{u"beginscene(a)", u"if t=1 then goto(x", u"end"}, "2: Statement not closed: goto has more '(' than ')'"},
        {{u"hero=Hi", u"there", u""}, "1: say needs an open scene, interface or menu block"},
        {{u"object(bg,", u"layer=0)"}, "1: Node command out of scene"},
        {{u"beginscene(s)", u"object(bg, align=470)"}, cast + "align=470 is not a pair x:y"},
        {{u"beginscene(s)", u"object(bg, opacity=0:x:500)"},
         cast + "opacity=0:x:500 is not three numbers start:end:time"},
        {{u"beginscene(s)", u"delay(soon)"}, cast + "argument 1 of delay, 'soon', is not a number of milliseconds"},
        {{u"beginscene(s)", u"textbox(main, size=600)"}, cast + "size=600 is not a pair w:h"},
        {{u"beginscene(s)", u"style(s, il=1.5)"}, cast + "il=1.5 is not a whole number"},
        // An empty attribute of a node statement counts as absent: outside a scene it places nothing.
        {{u"object(bg, file=bg.png, layer=)", u"animation(walk, align=, opacity=, zoom=, zoomc=)",
          u"character(hero, layer=, pose=)"},
         ""},
        {{u"beginscene(s)", u"object(b)", u"swap(bg, align=)", u"move(hero, start=, finish=, time=)", u"end"}, ""},
    };
    for (const Case& test : cases)
        EXPECT_EQ(Fault(test.lines), test.expected);
}

TEST_F(ScriptFaultTest, TheCheckFlagsLinesThatDoNotDoWhatTheySeemTo)
{
    ASSERT_TRUE(TextCodec::SetCodePage("CP1252"));
    const std::initializer_list<std::u16string_view> script = {
        u"begincharacter(hero)", u"dialog(textbox=main, name=Hero)", u"end", u"textbox(main)", u"beginscene(a)",
        // 6: a speech, and under it a statement, a known speaker, and lines that only look so
        u"hero=Hi", u"character(hero, pose=sad)", u"hero=Again", u"stranger=Who?", u"Then (quietly)", u"",
        // 12: a blank before '=' makes a statement, which is a typing error only for a character's name
        u"hero = Hi", u"villain = Boo",
        // 14: texts in letters that a code page may lack: Cyrillic, accented Latin, Greek
        u"text(textbox=main, text=\u041F\u0440\u0438\u0432\u0435\u0442 \u0432\u0441\u0435\u043C)",
        u"hero=\u00C9t\u00E9", u"", u"beginselection", u"entry(text=\u03A9mega)", u"end", u"end"};
    const std::string speech = "is read as more text of the speech above, which runs until an empty line; ";
    const std::vector<std::string> expected = {
        "line 7: 'character(' " + speech + "put an empty line before it to make it a statement",
        "line 8: 'hero=' " + speech + "put an empty line before it to start a speech of hero",
        "line 12: unknown statement 'hero'; for hero to speak, remove the blank before '='",
        "line 13: unknown statement 'villain'; the engine skips it",
        "line 14: text has characters that the code page CP1252 cannot show, which appear as '?': "
        "\u041F, \u0440, \u0438, \u0432, \u0435, \u0442, \u0441, \u043C",
        "line 18: text has characters that the code page CP1252 cannot show, which appear as '?': \u03A9",
    };
    EXPECT_EQ(Lint(script), expected);

    // The game's own code page decides.
    ASSERT_TRUE(TextCodec::SetCodePage("CP1251"));
    const std::vector<std::string> cyrillic = Lint(script);
    ASSERT_EQ(cyrillic.size(), 6u);
    EXPECT_EQ(cyrillic[4], "line 15: text has characters that the code page CP1251 cannot show, which appear as "
                           "'?': \u00C9, \u00E9");
}

} // namespace
} // namespace Vel
