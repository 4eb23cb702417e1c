#include "script/ParseManager.h"

#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "TempFolder.h"
#include "core/DisplaySettings.h"
#include "core/TextCodec.h"
#include "data/CompileScripts.h"
#include "scene/Action.h"
#include "script/ScriptError.h"
#include "script/ScriptValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace Vel;

namespace {

using Notes = std::vector<std::u16string>;

// Test statements: note(x) records "x@LINE"; push(KIND, name) opens a block of that kind holding the name;
// need(KIND) records the name held by the top block, which must be of that kind; boom(x) throws.
class ParseManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_notes.clear();
        m_reports.clear();
        m_parser = std::make_unique<ParseManager>();
        m_parser->AddHandler(u"note", [this](CommandLine& line) {
            m_notes.push_back(line.GetArgument(0) + u"@" +
                              TextCodec::Utf8ToWide(std::to_string(m_parser->CurrentPosition()->line)));
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

    // A new run: a new parser, as at the next start of the engine.
    void Restart()
    {
        m_parser.reset();
        m_objects.clear();
        SetUp();
    }

    static BlockKind Kind(const CommandLine& line)
    {
        return static_cast<BlockKind>(ScriptValues::ToInt(line.GetArgument(0)));
    }

    std::u16string Include(const std::u16string& name) { return u"include(" + name + u")"; }

    // The full wide name of a file in the game folder, as a script names it.
    std::u16string Name(std::string_view file) const { return TextCodec::Utf8ToWide(m_folder.File(file)); }

    // Writes the lines in the compiled format. A bare NAME is written as "NAME.cvls" and the source name "NAME.vls"
    // that scripts use comes back; a name with an extension is written and returned as it is.
    std::u16string WriteCompiled(const std::string& name, std::initializer_list<std::u16string_view> lines) const
    {
        const bool bare = name.find('.') == std::string::npos;
        TestTools::WriteCompiled(Name(bare ? name + ".cvls" : name), lines);
        return Name(bare ? name + ".vls" : name);
    }

    std::u16string Report(std::string_view file, const char16_t* line, const std::u16string& info) const
    {
        return u"Script error\nFile: " + Name(file) + u"\nLine: " + line + u"\nInfo: " + info;
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    std::unique_ptr<ParseManager> m_parser;
    Notes m_notes;
    std::deque<std::u16string> m_objects;
    std::vector<std::u16string> m_reports;
};

// Scripts far larger than any game needs still compile and read completely, in time growing with their size: a
// million statements, one line of ten megabytes (a quoted text full of commas), and one statement left open over a
// million lines. Each would take hours if a line or a piece were searched again from the start every time.
constexpr std::int64_t kLines = 1000000;
constexpr std::int64_t kLineBytes = 10 * 1024 * 1024;

// Writes the script with write, then compiles and reads it in a folder of its own. Returns what the "mark" statements
// left: how many there were, the most arguments one had, and the last one's first argument, "last" attribute and
// length of its "text" attribute.
template <typename Write> std::string CompileAndRead(Write write)
{
    TestTools::TempFolder folder;
    {
        std::ofstream script(folder.File("script.vls"), std::ios::binary);
        write(script);
    }
    folder.Enter();
    const CompileResult compiled = CompileScripts(".");
    EXPECT_EQ(compiled.compiled, 1);
    EXPECT_TRUE(compiled.warnings.empty());
    std::int64_t count = 0;
    std::size_t mostArguments = 0;
    std::string last;
    ParseManager parser;
    parser.AddHandler(u"mark", [&](CommandLine& line) {
        ++count;
        mostArguments = std::max(mostArguments, line.Arguments().size());
        last = TextCodec::WideToUtf8(line.GetArgument(0) + u" last=" + line.GetAttribute(u"last")) + " text of " +
               std::to_string(line.GetAttribute(u"text").size());
    });
    parser.Parse(u"script.vls");
    EXPECT_FALSE(parser.HasError()) << TextCodec::WideToUtf8(parser.ErrorReport());
    return std::to_string(count) + " marks of up to " + std::to_string(mostArguments) + " arguments, the last " + last;
}

} // namespace

TEST_F(ParseManagerTest, ReadsTrimmedLinesAndDispatchesCompleteStatements)
{
    // Line 4: '#' after the first character is text. Line 11: a speech still open at the end of the file.
    m_parser->Parse(
        WriteCompiled("main", {u"  # note(comment)", u"\tnote(a)  \r", u"unknown(x)", u"note # (x)", u"",
                               u"note(multi,", u"line)", u"Anna=Hi", u"note(swallowed)", u"", u"Anna=never said"}));
    EXPECT_EQ(m_notes, (Notes{u"a@2", u"x@4", u"multi@7", u"say Hinote(swallowed)"}));
    EXPECT_FALSE(m_parser->HasError());
    EXPECT_EQ(m_parser->CurrentPosition(), nullptr);
    m_parser->Parse(WriteCompiled("open", {u"note(a,", u"b"}));
    EXPECT_EQ(m_notes.size(), 4u);
}

TEST_F(ParseManagerTest, BlocksStayOpenAcrossIncludedFilesWhichAreParsedOnce)
{
    const std::u16string included = WriteCompiled("inc", {u"need(0)", u"push(2, anim)"});
    m_parser->Parse(WriteCompiled(
        "main", {u"end", u"push(0, scene)", Include(included), u"need(2)", u"end", u"need(0)", u"end", u"end"}));
    EXPECT_EQ(m_notes, (Notes{u"in scene", u"in anim", u"in scene"}));
    EXPECT_TRUE(m_parser->Blocks().empty());

    // "x.vls" opens the compiled twin "x.cvls"; other names are opened as they are.
    Restart();
    const std::u16string once = WriteCompiled("once", {u"note(once)"});
    m_folder.Write("once.vls", "note(source)\n");
    const std::u16string text = WriteCompiled("other.txt", {u"note(txt)"});
    const std::u16string upper = WriteCompiled("upper.VLS", {u"note(upper)"});
    m_parser->Parse(WriteCompiled("main", {Include(once), Include(Name("once.cvls")), Include(Name("missing.vls")),
                                           u"include()", Include(text), Include(upper), Include(once), u"note(end)"}));
    m_parser->Parse(once);
    EXPECT_EQ(m_notes, (Notes{u"once@1", u"txt@1", u"upper@1", u"end@8"}));
    EXPECT_FALSE(m_parser->HasError());
}

TEST_F(ParseManagerTest, SettingsStatementsWriteTheProcessRecords)
{
    m_parser->Parse(WriteCompiled(
        "system", {u"graphics_init(resolution=800:600, fullscreen=1)",
                   u"graphics_init(resolution=abc:0, fullscreen=yes)", u"graphics_init(resolution=1024:-5)",
                   u"game_init(gallery=gal, title=\"My game, part 1\")", u"game_init(title=Second)"}));
    const DisplaySettings& display = TheDisplaySettings();
    EXPECT_EQ(std::vector({display.gameWidth, display.gameHeight, display.fullscreen}), std::vector({1024, 600, 1}))
        << "sizes of zero or less and unreadable text keep the previous value";
    EXPECT_EQ(TheGameNames().title + u"|" + TheGameNames().galleryName, u"Second|")
        << "a second statement clears the names it leaves out";
    EXPECT_FALSE(m_parser->HasError());
}

TEST_F(ParseManagerTest, FirstErrorIsReportedWithFileAndLineAndEndsTheRun)
{
    const std::u16string later = WriteCompiled("later", {u"note(later)"});
    m_parser->Parse(WriteCompiled("main", {u"note(a)", u"push(0, scene)", u"note(x,", u"\"unclosed)", u"note(after)"}));
    m_parser->Parse(later);
    EXPECT_TRUE(m_parser->HasError());
    EXPECT_EQ(m_parser->ErrorReport(), Report("main.cvls", u"3", u"Ending quote missed"));
    EXPECT_EQ(m_reports, (Notes{m_parser->ErrorReport()}));
    EXPECT_EQ(m_notes, (Notes{u"a@1"}));
    EXPECT_TRUE(m_parser->Blocks().empty());

    // An error in an included file names that file and stops the including one.
    Restart();
    const std::u16string included = WriteCompiled("inc", {u"note(in)", u"", u"begin", u"note(no)"});
    m_parser->Parse(WriteCompiled("main", {u"push(0, scene)", Include(included), u"note(after)"}));
    EXPECT_EQ(m_notes, (Notes{u"in@1"}));
    EXPECT_EQ(m_reports, (Notes{Report("inc.cvls", u"3", u"begin without a block name")}));
    EXPECT_TRUE(m_parser->Blocks().empty());

    // Errors of any kind stay inside Parse; statements need an open block of their kind.
    const std::pair<std::u16string_view, std::u16string_view> failing[] = {
        {u"boom(std)", u"disk on fire"},
        {u"boom(other)", u"unknown error"},
        {u"need(1)", u"need needs an open selection block"},
        {u"push(3, list)", u"need needs an open selection block (the innermost open block is a playlist block)"},
    };
    for (const auto& [first, info] : failing) {
        Restart();
        m_parser->Parse(WriteCompiled("bad", {first, u"need(1)"}));
        EXPECT_EQ(m_reports,
                  (Notes{Report("bad.cvls", first.starts_with(u"push") ? u"2" : u"1", std::u16string(info))}));
    }
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
    for (const char16_t* none : {u"window", u"unknown(x)", u""})
        EXPECT_EQ(m_parser->ParseAction(none), nullptr);

    // The statement runs, but the enclosing blocks come back untouched whatever it opens or closes.
    EXPECT_EQ(m_parser->ParseAction(u"start_scene(x)"), nullptr);
    EXPECT_EQ(TheGameNames().startSceneName, u"x");
    std::u16string scene = u"scene";
    m_parser->PushBlock(BlockKind::CommandContainer, &scene);
    EXPECT_EQ(m_parser->ParseAction(u"end"), nullptr);
    EXPECT_EQ(m_parser->ParseAction(u"push(2, anim)"), nullptr);
    ASSERT_EQ(m_parser->Blocks().size(), 1u);
    EXPECT_EQ(m_parser->Blocks()[0].object, &scene);
    EXPECT_THROW((void)m_parser->ParseAction(u"need(1)"), ScriptError);
    EXPECT_EQ(m_parser->Blocks().size(), 1u);

    // Inside a script the error of an action text is the holding statement's error.
    m_parser->AddHandler(u"button", [this](CommandLine& line) {
        m_notes.push_back(m_parser->ParseAction(line.GetAttribute(u"action")) ? u"action" : u"none");
    });
    m_parser->Parse(WriteCompiled("menu", {u"button(action=unknown)", u"button(action=need(1))"}));
    EXPECT_EQ(m_notes, (Notes{u"none"}));
    EXPECT_EQ(m_parser->ErrorReport(),
              Report("menu.cvls", u"2",
                     u"need needs an open selection block (the innermost open block is a scene, interface or menu "
                     u"block)"));
}

TEST_F(ParseManagerTest, ReadsTheSourceTextWhenTheCompiledTwinIsMissing)
{
    m_folder.Write("src.vls", "\xEF\xBB\xBFnote(eins)\r\n# c\r\nnote(zwei)\r\n");
    const std::u16string source = Name("src.vls");
    m_parser->SetReadFromSource({{Name("src.cvls"), source}});
    m_parser->Parse(source);
    EXPECT_EQ(m_notes, (Notes{u"eins@1", u"zwei@3"}));
    Restart();
    m_parser->Parse(source);
    EXPECT_TRUE(m_notes.empty());
    EXPECT_FALSE(m_parser->HasError());
}

TEST(BigScriptTest, AMillionLinesATenMegabyteLineAndAMillionLineStatementReadWhole)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CompileAndRead([](std::ofstream& script) {
                  for (std::int64_t line = 0; line < kLines; ++line)
                      script << "mark(line" << line << ", last=" << line << ")\n";
              }),
              "1000000 marks of up to 1 arguments, the last line999999 last=999999 text of 0");
    // The whole quoted text is one value, each restored comma with an added blank as in a short one.
    EXPECT_EQ(CompileAndRead([](std::ofstream& script) {
                  script << "mark(first, text=\"";
                  for (std::int64_t written = 0; written < kLineBytes; written += 6)
                      script << "word, ";
                  script << "end\", last=yes)";
              }),
              "1 marks of up to 1 arguments, the last first last=yes text of 12233392");
    // The statement after the long one is read on its own.
    EXPECT_EQ(CompileAndRead([](std::ofstream& script) {
                  script << "mark(open,\n";
                  for (std::int64_t line = 0; line < kLines; ++line)
                      script << "item" << line << ",\n";
                  script << "end)\nmark(after)\n";
              }),
              "2 marks of up to 1000002 arguments, the last after last= text of 0");
    // A generous bound: linear reading takes a few seconds even under AddressSanitizer, quadratic reading hours.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}
