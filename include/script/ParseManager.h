#pragma once

// Reads the game's script files and turns their statements into engine objects. Start-up creates the one instance,
// parses "system.vls", registers the interface functions once the managers exist, and parses "script.vls"; the
// "include" statement parses further files. Statement handlers are registered per family (settings, scenes,
// graphics, interface) through AddHandler and reach the parser's block stack and carried values from here.
//
// The first script error ends the run's parsing: the report goes to the error handler once, the block stack is
// cleared (the scenes those blocks pointed at may be deleted for the error screen), and every later statement and
// file is ignored.

#include "core/Callback.h"
#include "core/VelSingleton.h"
#include "script/CommandLine.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vel {

class Action;
class Command;
class ScriptLinter;
class Style;
enum class LintKind;

// What a block stack entry holds; a statement that works on an open block names the kind it needs.
enum class BlockKind
{
    CommandContainer, // a scene, an interface, a menu or an action's temporary container; object: CommandContainer*
    ChoiceList,       // a selection command
    Resource,         // an animation or a character
    SoundList,        // a playlist
    MenuElement,      // a menu switch
    Gallery,          // a slide or thumbnail gallery
};

struct Block
{
    BlockKind kind = BlockKind::CommandContainer;
    void* object = nullptr; // borrowed; owned by its registry or container
};

struct SourcePosition
{
    std::u16string fileName; // the name actually opened
    std::int32_t line = 0;   // physical lines read so far
    // Where the statement being read began: a speech or a parenthesis may run over several lines, and a speech ends
    // only at the blank line after it.
    std::int32_t statementLine = 0;
};

class ParseManager : public Singleton<ParseManager>
{
public:
    using Handler = Callback<void(CommandLine&)>;
    using ErrorHandler = Callback<void(const std::u16string&)>;

    ParseManager();
    virtual ~ParseManager();

    // Keywords are exact, case-sensitive; a second registration of a keyword replaces the first.
    void AddHandler(std::u16string keyword, Handler handler);
    template <typename Function> void AddHandler(std::u16string keyword, Function function)
    {
        AddHandler(std::move(keyword), Handler(std::move(function)));
    }

    // Parses one file completely, at most once per run; "x.vls" opens the compiled "x.cvls". Errors never leave.
    void Parse(const std::u16string& fileName);
    // Compiled names whose scripts are read from their source text instead (their twin could not be written).
    void SetReadFromSource(std::map<std::u16string, std::u16string> compiledToSource);
    // Called once, with the report, at the first script error. The handler must not throw.
    void SetErrorHandler(ErrorHandler handler);
    [[nodiscard]] bool HasError() const { return m_hasError; }
    // "Script error\nFile: F\nLine: N\nInfo: MESSAGE", F the script as the author wrote it and N the line where the
    // failing statement began; empty while there was no error.
    [[nodiscard]] const std::u16string& ErrorReport() const { return m_errorReport; }

    // Binds the interface function names to the managers that exist now.
    void RegisterFunctions();
    void AddInterfaceFunction(std::u16string name, Callback<void()> function);
    // An interface function name gives an action running it; a statement that adds no command gives nullptr.
    // A failing statement throws, so the statement holding the action text reports the error.
    [[nodiscard]] std::shared_ptr<Action> ParseAction(std::u16string_view actionText);
    // One statement run into a container of its own; the last command it added, or nullptr when it added none.
    // A failing statement throws; the enclosing blocks are left as they were.
    [[nodiscard]] std::unique_ptr<Command> ParseCommand(std::u16string_view statementText);

    void PushBlock(BlockKind kind, void* object);
    // Closes the top block; does nothing when none is open. Closing a selection that has no entries is a script
    // error.
    void PopBlock();
    // The top block's object when it is of the kind; otherwise a ScriptError naming the statement and the kind.
    [[nodiscard]] void* TopBlock(BlockKind kind, std::u16string_view statement) const;
    template <typename T> [[nodiscard]] T& TopBlockAs(BlockKind kind, std::u16string_view statement) const
    {
        return *static_cast<T*>(TopBlock(kind, statement));
    }
    [[nodiscard]] const std::vector<Block>& Blocks() const { return m_blocks; }

    // The script an author edits for a file the parser opened: "story.cvls" is read, but "story.vls" beside it in the
    // working folder is what was written, with the same lines. Other names come back as they are.
    [[nodiscard]] static std::u16string SourceName(const std::u16string& opened);

    // The innermost file being parsed; nullptr outside Parse.
    [[nodiscard]] const SourcePosition* CurrentPosition() const;
    // The source name of a script being read (SourceName), looked up once for the statements of one file.
    [[nodiscard]] const std::u16string& StatementFile(const std::u16string& opened);

    [[nodiscard]] const std::u16string& CurrentResource() const { return m_currentResource; }
    void SetCurrentResource(std::u16string name) { m_currentResource = std::move(name); }
    [[nodiscard]] const std::u16string& PendingVoice() const { return m_pendingVoice; }
    void SetPendingVoice(std::u16string file) { m_pendingVoice = std::move(file); }
    // The speakers of every "say" line read so far, for the script check.
    void AddSpeaker(const std::u16string& name) { m_speakers.insert(name); }
    [[nodiscard]] const std::set<std::u16string>& Speakers() const { return m_speakers; }
    // Things the game will run with but that most likely are not what the author meant (a slider that can never
    // set anything); the script check prints them, the game ignores them. UTF-8, in reading order.
    // A warning for "velloria check", prefixed "FILE:LINE: " with the file and the line where the statement began.
    void AddWarning(const std::string& text);
    [[nodiscard]] const std::vector<std::string>& Warnings() const { return m_warnings; }
    // The script check's linter, which the statement handlers feed while one is attached; nullptr (the default) in
    // a game run. Borrowed: it must outlive the parsing.
    void SetLinter(ScriptLinter* linter) { m_linter = linter; }
    [[nodiscard]] ScriptLinter* GetLinter() const { return m_linter; }
    // Hands a name the statement being read names to the linter, with the current position; nothing without one.
    void Note(LintKind kind, std::u16string name);
    // A text players read in the style (null for none), said by the speaker of that script name (empty: no one says
    // it): noted for the linter's checks and the translation template while a linter is attached.
    void NoteText(std::u16string text, const Style* style, const std::u16string& speaker = {});

private:
    void NoteMissingScript(const std::u16string& name);
    void ReadFile(const std::u16string& name);
    void Dispatch(CommandLine& command);
    void NoteSpeechLine(std::u16string_view line);
    void ReportError(std::string_view message);

    std::map<std::u16string, Handler> m_handlers;
    std::vector<Block> m_blocks;
    std::set<std::u16string> m_parsedFiles;
    std::vector<SourcePosition> m_fileStack;
    std::pair<std::u16string, std::u16string> m_statementFile; // the file opened last and its source name
    std::map<std::u16string, Callback<void()>> m_interfaceFunctions;
    std::u16string m_currentResource; // the last "object" or "animation" name
    std::u16string m_pendingVoice;    // set by "voice", taken by the next "say"
    std::set<std::u16string> m_speakers;
    std::vector<std::string> m_warnings;
    ScriptLinter* m_linter = nullptr;
    std::map<std::u16string, std::u16string> m_readFromSource;
    ErrorHandler m_errorHandler;
    bool m_hasError = false;
    std::u16string m_errorReport;
};

} // namespace Vel
