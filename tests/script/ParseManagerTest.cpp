#include "script/ParseManager.h"

#include "ScriptFolder.h"
#include "app/DisplaySettings.h"
#include "app/HgeManager.h"
#include "app/TextCodec.h"
#include "scene/Action.h"
#include "script/ScriptError.h"
#include "script/ScriptValues.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Vel;

namespace {

using Notes = std::vector<std::u16string>;

std::u16string Wide(const std::string& text)
{
    return TextCodec::Utf8ToWide(text);
}

// Test statements: note(x) records "x@LINE"; push(KIND, name) opens a block of that kind holding the name;
// need(KIND) records the name held by the top block, which must be of that kind; boom(x) throws.
class ParseManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TheDisplaySettings() = DisplaySettings{};
        TheGameNames() = GameNames{};
        m_notes.clear();
        m_reports.clear();
        m_parser = std::make_unique<ParseManager>();
        m_parser->AddHandler(u"note", [this](CommandLine& line) {
            m_notes.push_back(line.GetArgument(0) + u"@" + Wide(std::to_string(m_parser->CurrentPosition()->line)));
        });
        m_parser->AddHandler(u"say", [this](CommandLine& line) { m_notes.push_back(u"say " + line.GetArgument(1)); });
        m_parser->AddHandler(u"push", [this](CommandLine& line) {
            m_objects.push_back(line.GetArgument(1));
            m_parser->PushBlock(Kind(line), &m_objects.back());
        });
        m_parser->AddHandler(u"need", [this](CommandLine& line) {
            m_notes.push_back(u"in " + m_parser->TopBlockAs<std::u16string>(Kind(line), u"need"));
        });
        m_parser->AddHandler(u"boom", [](CommandLine& line) {
            if (line.GetArgument(0) == u"std")
                throw std::runtime_error("disk on fire");
            throw 42;
        });
        m_parser->SetErrorHandler(
            ParseManager::ErrorHandler([this](const std::u16string& report) { m_reports.push_back(report); }));
    }

    void TearDown() override
    {
        m_parser.reset();
        m_objects.clear();
    }

    // A new run: a new parser, as at the next start of the engine.
    void Restart()
    {
        TearDown();
        SetUp();
    }

    static BlockKind Kind(const CommandLine& line)
    {
        return static_cast<BlockKind>(ScriptValues::ToInt(line.GetArgument(0)));
    }

    std::u16string Include(const std::u16string& name) { return u"include(" + name + u")"; }

    std::string TopBlockError(BlockKind kind, std::u16string_view statement)
    {
        try {
            (void)m_parser->TopBlock(kind, statement);
        } catch (const ScriptError& error) {
            return error.what();
        }
        return "no error";
    }

    Vel::Test::ScriptFolder m_folder;
    std::unique_ptr<ParseManager> m_parser;
    Notes m_notes;
    std::deque<std::u16string> m_objects;
    std::vector<std::u16string> m_reports;
};

} // namespace

TEST_F(ParseManagerTest, ReadsTrimmedLinesAndDispatchesCompleteStatements)
{
    // Line 4: '#' after the first character is text. Line 11: a speech still open at the end of the file.
    m_parser->Parse(m_folder.WriteCompiled("main", {u"  # note(comment)", u"\tnote(a)  \r", u"unknown(x)",
                                                    u"note # (x)", u"", u"note(multi,", u"line)", u"Anna=Hi",
                                                    u"note(swallowed)", u"", u"Anna=never said"}));
    EXPECT_EQ(m_notes, (Notes{u"a@2", u"x@4", u"multi@7", u"say Hinote(swallowed)"}));
    EXPECT_FALSE(m_parser->HasError());
    EXPECT_EQ(m_parser->CurrentPosition(), nullptr);

    m_parser->Parse(m_folder.WriteCompiled("open", {u"note(a,", u"b"}));
    EXPECT_EQ(m_notes.size(), 4u);
}

TEST_F(ParseManagerTest, BlocksStayOpenAcrossIncludedFiles)
{
    const std::u16string included = m_folder.WriteCompiled("inc", {u"need(0)", u"push(2, anim)"});
    m_parser->Parse(m_folder.WriteCompiled(
        "main", {u"end", u"push(0, scene)", Include(included), u"need(2)", u"end", u"need(0)", u"end", u"end"}));
    EXPECT_EQ(m_notes, (Notes{u"in scene", u"in anim", u"in scene"}));
    EXPECT_TRUE(m_parser->Blocks().empty());
    EXPECT_FALSE(m_parser->HasError());
}

TEST_F(ParseManagerTest, IncludeParsesEachFileOnceAndOpensTheCompiledTwin)
{
    const std::u16string once = m_folder.WriteCompiled("once", {u"note(once)"});
    m_folder.WriteSource("once.vls", "note(source)\n");
    const std::u16string text = m_folder.WriteCompiledAs("other.txt", {u"note(txt)"});
    const std::u16string upper = m_folder.WriteCompiledAs("upper.VLS", {u"note(upper)"});
    m_parser->Parse(m_folder.WriteCompiled("main", {Include(once), Include(m_folder.Name("once.cvls")),
                                                    Include(m_folder.Name("missing.vls")), u"include()", Include(text),
                                                    Include(upper), Include(once), u"note(end)"}));
    m_parser->Parse(once);
    EXPECT_EQ(m_notes, (Notes{u"once@1", u"txt@1", u"upper@1", u"end@8"}));
    EXPECT_FALSE(m_parser->HasError());
}

TEST_F(ParseManagerTest, SettingsStatementsWriteTheProcessRecords)
{
    m_parser->Parse(m_folder.WriteCompiled(
        "system", {u"graphics_init(resolution=800:600, fullscreen=1)",
                   u"graphics_init(resolution=abc:0, fullscreen=yes)", u"graphics_init(resolution=1024:-5)",
                   u"game_init(gallery=gal, saveload=sl, title=\"My game, part 1\", playlist=pl)",
                   u"game_init(title=Second)", u"menus(main=mm, rightclick=rc, options=op)", u"start_scene(intro)"}));
    const DisplaySettings& display = TheDisplaySettings();
    EXPECT_EQ(display.gameWidth, 1024);
    EXPECT_EQ(display.gameHeight, 600);
    EXPECT_EQ(display.fullscreen, 1);
    const GameNames& names = TheGameNames();
    EXPECT_EQ(names.title, u"Second");
    EXPECT_EQ(names.galleryName, u"");
    EXPECT_EQ(names.saveLoadName, u"");
    EXPECT_EQ(names.playlistName, u"");
    EXPECT_EQ(names.mainMenuName, u"mm");
    EXPECT_EQ(names.rightClickMenuName, u"rc");
    EXPECT_EQ(names.optionsMenuName, u"op");
    EXPECT_EQ(names.startSceneName, u"intro");
    EXPECT_FALSE(m_parser->HasError());
}

TEST_F(ParseManagerTest, FirstErrorIsReportedWithFileAndLineAndEndsTheRun)
{
    const std::u16string later = m_folder.WriteCompiled("later", {u"note(later)"});
    const std::u16string main =
        m_folder.WriteCompiled("main", {u"note(a)", u"push(0, scene)", u"note(x,", u"\"unclosed)", u"note(after)"});
    m_parser->Parse(main);
    m_parser->Parse(later);
    const std::u16string expected =
        u"Script error\nFile: " + m_folder.Name("main.cvls") + u"\nLine: 4\nInfo: Ending quote missed";
    EXPECT_TRUE(m_parser->HasError());
    EXPECT_EQ(m_parser->ErrorReport(), expected);
    EXPECT_EQ(m_reports, (std::vector<std::u16string>{expected}));
    EXPECT_EQ(m_notes, (Notes{u"a@1"}));
    EXPECT_TRUE(m_parser->Blocks().empty());
}

TEST_F(ParseManagerTest, ErrorInAnIncludedFileNamesThatFileAndStopsTheIncludingOne)
{
    const std::u16string included = m_folder.WriteCompiled("inc", {u"note(in)", u"", u"begin", u"note(no)"});
    m_parser->Parse(m_folder.WriteCompiled("main", {u"push(0, scene)", Include(included), u"note(after)"}));
    EXPECT_EQ(m_notes, (Notes{u"in@1"}));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0],
              u"Script error\nFile: " + m_folder.Name("inc.cvls") + u"\nLine: 3\nInfo: begin without a block name");
    EXPECT_TRUE(m_parser->Blocks().empty());
}

TEST_F(ParseManagerTest, ErrorsOfAnyKindStayInsideParse)
{
    m_parser->Parse(m_folder.WriteCompiled("b", {u"boom(std)"}));
    EXPECT_EQ(m_parser->ErrorReport(),
              u"Script error\nFile: " + m_folder.Name("b.cvls") + u"\nLine: 1\nInfo: disk on fire");

    Restart();
    m_parser->Parse(m_folder.WriteCompiled("c", {u"", u"boom(other)"}));
    EXPECT_EQ(m_parser->ErrorReport(),
              u"Script error\nFile: " + m_folder.Name("c.cvls") + u"\nLine: 2\nInfo: unknown error");
    EXPECT_EQ(m_reports.size(), 1u);
}

TEST_F(ParseManagerTest, StatementsNeedAnOpenBlockOfTheirKind)
{
    EXPECT_EQ(TopBlockError(BlockKind::Resource, u"frame"), "frame needs an open animation or character block");
    std::u16string playlist = u"music";
    m_parser->PushBlock(BlockKind::SoundList, &playlist);
    EXPECT_EQ(TopBlockError(BlockKind::Resource, u"frame"),
              "frame needs an open animation or character block (the innermost open block is a playlist block)");
    EXPECT_EQ(TopBlockError(BlockKind::CommandContainer, u"goto"),
              "goto needs an open scene, interface or menu block (the innermost open block is a playlist block)");
    EXPECT_EQ(m_parser->TopBlock(BlockKind::SoundList, u"file"), &playlist);

    m_parser->Parse(m_folder.WriteCompiled("main", {u"push(3, list)", u"need(1)"}));
    EXPECT_EQ(
        m_parser->ErrorReport(),
        u"Script error\nFile: " + m_folder.Name("main.cvls") +
            u"\nLine: 2\nInfo: need needs an open selection block (the innermost open block is a playlist block)");
}

TEST_F(ParseManagerTest, ActionTextsGiveFunctionActionsOrRunAsStatements)
{
    int saves = 0;
    m_parser->AddInterfaceFunction(u"save", Callback<void()>([&saves] { ++saves; }));
    m_parser->RegisterFunctions(); // no HgeManager: "window" stays unknown
    const std::shared_ptr<Action> save = m_parser->ParseAction(u"save");
    ASSERT_NE(save, nullptr);
    save->Run();
    save->Run();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(m_parser->ParseAction(u"window"), nullptr);
    EXPECT_EQ(m_parser->ParseAction(u"unknown(x)"), nullptr);
    EXPECT_EQ(m_parser->ParseAction(u""), nullptr);

    // The statement runs, but the enclosing blocks come back untouched whatever it opens or closes.
    EXPECT_EQ(m_parser->ParseAction(u"start_scene(x)"), nullptr);
    EXPECT_EQ(TheGameNames().startSceneName, u"x");
    std::u16string scene = u"scene";
    m_parser->PushBlock(BlockKind::CommandContainer, &scene);
    EXPECT_EQ(m_parser->ParseAction(u"end"), nullptr);
    EXPECT_EQ(m_parser->ParseAction(u"push(2, anim)"), nullptr);
    ASSERT_EQ(m_parser->Blocks().size(), 1u);
    EXPECT_EQ(m_parser->Blocks()[0].object, &scene);
    EXPECT_THROW((void)m_parser->ParseAction(u"need(0)"), ScriptError);
    EXPECT_EQ(m_parser->Blocks().size(), 1u);
}

TEST_F(ParseManagerTest, DisplayFunctionsAreBoundWhenTheHgeManagerExists)
{
    HgeManager hge(TextCodec::WideToUtf8(m_folder.Name("engine.log")));
    m_parser->RegisterFunctions();
    const std::shared_ptr<Action> window = m_parser->ParseAction(u"window");
    const std::shared_ptr<Action> fullscreen = m_parser->ParseAction(u"fullscreen");
    ASSERT_NE(window, nullptr);
    ASSERT_NE(fullscreen, nullptr);
    // Before the window opens a mode switch only changes the requested state.
    fullscreen->Run();
    window->Run();
}

TEST_F(ParseManagerTest, ErrorInAnActionTextIsTheHoldingStatementsError)
{
    m_parser->AddHandler(u"button", [this](CommandLine& line) {
        m_notes.push_back(m_parser->ParseAction(line.GetAttribute(u"action")) ? u"action" : u"none");
    });
    m_parser->Parse(m_folder.WriteCompiled("menu", {u"button(action=unknown)", u"button(action=need(0))"}));
    EXPECT_EQ(m_notes, (Notes{u"none"}));
    EXPECT_EQ(m_parser->ErrorReport(), u"Script error\nFile: " + m_folder.Name("menu.cvls") +
                                           u"\nLine: 2\nInfo: need cannot be used in an action");
}

TEST_F(ParseManagerTest, ReadsTheSourceTextWhenTheCompiledTwinIsMissing)
{
    const std::u16string source = m_folder.WriteSource("src.vls", "\xEF\xBB\xBFnote(eins)\r\n# c\r\nnote(zwei)\r\n");
    m_parser->SetReadFromSource({{m_folder.Name("src.cvls"), source}});
    m_parser->Parse(source);
    EXPECT_EQ(m_notes, (Notes{u"eins@1", u"zwei@3"}));

    Restart();
    m_parser->Parse(source);
    EXPECT_TRUE(m_notes.empty());
    EXPECT_FALSE(m_parser->HasError());
}
