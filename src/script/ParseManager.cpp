#include "script/ParseManager.h"

#include "commands/SetSelectionCommand.h"
#include "core/HgeManager.h"
#include "core/PlayerSettings.h"
#include "core/TextCodec.h"
#include "data/Crypter.h"
#include "data/FileReader.h"
#include "dialogue/DialogManager.h"
#include "dialogue/Selection.h"
#include "menus/MenuManager.h"
#include "saves/GalleryManager.h"
#include "saves/SaveGames.h"
#include "scene/Command.h"
#include "scene/CommandContainer.h"
#include "scene/PlayModes.h"
#include "scene/RunCommandAction.h"
#include "scene/RunFunctionAction.h"
#include "scene/ScenesManager.h"
#include "scene/StatementSource.h"
#include "script/CharacterStatements.h"
#include "script/FlowStatements.h"
#include "script/GalleryStatements.h"
#include "script/MenuStatements.h"
#include "script/NodeStatements.h"
#include "script/ResourceStatements.h"
#include "script/SceneStatements.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/SelectionStatements.h"
#include "script/SettingsStatements.h"
#include "script/SoundStatements.h"
#include "script/TextStatements.h"
#include "script/TriggerStatements.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace Vel {

namespace {

// The engine always opens the compiled twin of a script source; other names are opened as written.
std::u16string CompiledName(const std::u16string& fileName)
{
    const std::size_t dot = fileName.rfind(u'.');
    const std::size_t folderEnd = fileName.find_last_of(u"/\\");
    if (dot == std::u16string::npos || (folderEnd != std::u16string::npos && dot < folderEnd))
        return fileName;
    if (std::u16string_view(fileName).substr(dot + 1) != u"vls")
        return fileName;
    return fileName.substr(0, dot + 1) + u"cvls";
}

// Lines of one script: the compiled file, or the source text when its compiled twin could not be written.
// A file that cannot be opened reads as an empty one.
class ScriptReader
{
public:
    ScriptReader(const std::u16string& name, const std::map<std::u16string, std::u16string>& readFromSource)
    {
        const auto source = readFromSource.find(name);
        m_fromSource = source != readFromSource.end();
        m_open = m_fromSource ? m_source.Open(source->second) : m_compiled.OpenRead(name);
    }

    [[nodiscard]] bool IsOpen() const { return m_open; }
    [[nodiscard]] bool Eof() const { return !m_open || (m_fromSource ? m_source.Eof() : m_compiled.Eof()); }
    void ReadLine(std::u16string& line)
    {
        if (m_fromSource)
            line = m_source.ReadLine();
        else
            m_compiled.ReadLine(line);
    }

private:
    bool m_fromSource = false;
    bool m_open = false;
    Crypter m_compiled;
    FileReader m_source;
};

// "hero = Hi": the blank ends the first word before the '=' that would have made the line a speech.
bool IsSpacedSpeech(const CommandLine& command)
{
    const std::u16string_view text = command.Text();
    if (!text.starts_with(command.Keyword()))
        return false;
    const std::size_t next = text.find_first_not_of(u" \t", command.Keyword().size());
    return next != std::u16string_view::npos && text[next] == u'=';
}

std::string KindName(BlockKind kind)
{
    switch (kind) {
    case BlockKind::CommandContainer:
        return "scene, interface or menu";
    case BlockKind::ChoiceList:
        return "selection";
    case BlockKind::Resource:
        return "animation or character";
    case BlockKind::SoundList:
        return "playlist";
    case BlockKind::MenuElement:
        return "switch";
    case BlockKind::Gallery:
        return "gallery";
    }
    return "unknown";
}

std::string WithArticle(const std::string& noun)
{
    return (std::string("aeiou").find(noun.front()) == std::string::npos ? "a " : "an ") + noun;
}

// The block of one statement read on its own (an action text, a branch of a condition): it keeps every command
// the statement adds, and the caller takes the last one.
class ActionContainer final : public CommandContainer
{
public:
    void AddCommand(std::unique_ptr<Command> command) override
    {
        if (command)
            m_commands.push_back(std::move(command));
    }

    // nullptr when no command was added.
    [[nodiscard]] std::unique_ptr<Command> TakeLast()
    {
        if (m_commands.empty())
            return nullptr;
        std::unique_ptr<Command> last = std::move(m_commands.back());
        m_commands.pop_back();
        return last;
    }

private:
    std::vector<std::unique_ptr<Command>> m_commands;
};

} // namespace

ParseManager::ParseManager()
{
    StatementSource::Clear();
    AddHandler(u"end", [this](CommandLine&) { PopBlock(); });
    AddHandler(u"include", [this](CommandLine& line) { Parse(line.GetArgument(0)); });
    RegisterSettingsStatements(*this);
    RegisterResourceStatements(*this);
    RegisterTriggerStatements(*this);
    RegisterSceneStatements(*this);
    RegisterFlowStatements(*this);
    RegisterNodeStatements(*this);
    RegisterSoundStatements(*this);
    RegisterTextStatements(*this);
    RegisterCharacterStatements(*this);
    RegisterSelectionStatements(*this);
    RegisterMenuStatements(*this);
    RegisterGalleryStatements(*this);
}

ParseManager::~ParseManager() = default;

void ParseManager::AddHandler(std::u16string keyword, Handler handler)
{
    m_handlers[std::move(keyword)] = std::move(handler);
}

void ParseManager::Parse(const std::u16string& fileName)
{
    if (m_hasError)
        return;
    const std::u16string name = CompiledName(fileName);
    if (!m_parsedFiles.insert(name).second)
        return;
    m_fileStack.push_back({name, 0, 0});
    try {
        ReadFile(name);
    } catch (const std::exception& error) {
        ReportError(error.what());
    } catch (...) {
        ReportError("unknown error");
    }
    m_fileStack.pop_back();
}

void ParseManager::ReadFile(const std::u16string& name)
{
    ScriptReader reader(name, m_readFromSource);
    if (!reader.IsOpen()) {
        NoteMissingScript(name);
        return;
    }
    CommandLine command;
    std::u16string read;
    // An error in an included file ends this file too: m_hasError is set when the include statement returns.
    while (!m_hasError && !reader.Eof()) {
        reader.ReadLine(read);
        const std::u16string_view line = TrimBlanksView(read);
        ++m_fileStack.back().line;
        if (!line.empty() && line.front() == u'#')
            continue;
        if (!command.IsContinued())
            m_fileStack.back().statementLine = m_fileStack.back().line;
        else if (command.IsSpeechOpen() && m_linter != nullptr)
            NoteSpeechLine(line);
        if (command.AddLine(line)) {
            Dispatch(command);
            command.Reset();
        }
    }
    if (!m_hasError)
        command.EndOfInput();
}

// A speech runs until an empty line, so a statement or another speech written right under it becomes part of its
// text. The check names such lines: a statement's keyword with its '(', or "NAME=" (judged once the characters are
// known).
void ParseManager::NoteSpeechLine(std::u16string_view line)
{
    const std::size_t open = line.find(u'(');
    const std::size_t equals = line.find(u'=');
    if (open != std::u16string_view::npos && open < equals) {
        const std::u16string keyword = TrimBlanks(line.substr(0, open));
        if (m_handlers.count(keyword) != 0)
            Note(LintKind::SpeechKeyword, keyword);
    } else if (equals != std::u16string_view::npos) {
        Note(LintKind::SpeechSpeaker, TrimBlanks(line.substr(0, equals)));
    }
}

// A script that is not there reads as empty; the author learns of it from the log, and the check names the include.
void ParseManager::NoteMissingScript(const std::u16string& name)
{
    HgeManager::Log("Script " + TextCodec::WideToUtf8(name) + " cannot be found; nothing of it is read");
    if (m_linter == nullptr || m_fileStack.size() < 2)
        return;
    // The include as the author wrote it: the source name of a compiled one.
    std::u16string written = name;
    if (written.size() > 5 && written.compare(written.size() - 5, 5, u".cvls") == 0)
        written.erase(written.size() - 4, 1);
    m_linter->Note(LintKind::Script, written, &m_fileStack[m_fileStack.size() - 2]);
}

void ParseManager::Dispatch(CommandLine& command)
{
    const auto handler = m_handlers.find(command.Keyword());
    if (handler != m_handlers.end()) {
        // The commands the statement makes take its place, also when the handler throws halfway. An action's text
        // read as a statement (a button's action=) is read within the statement that carries it. Only a run that
        // keeps coverage pays for it: the source name looks at the disk.
        struct Reading
        {
            Reading(ParseManager& parser, const SourcePosition* position)
                : begun(position != nullptr && StatementSource::IsRecording())
            {
                if (begun)
                    StatementSource::Begin(parser.StatementFile(position->fileName), position->statementLine);
            }
            ~Reading()
            {
                if (begun)
                    StatementSource::End();
            }
            bool begun;
        } reading(*this, m_fileStack.empty() ? nullptr : &m_fileStack.back());
        handler->second(command);
        return;
    }
    if (!command.Keyword().empty())
        Note(IsSpacedSpeech(command) ? LintKind::SpacedSpeech : LintKind::Statement, command.Keyword());
}

void ParseManager::Note(LintKind kind, std::u16string name)
{
    if (m_linter != nullptr)
        m_linter->Note(kind, std::move(name), CurrentPosition());
}

void ParseManager::NoteText(std::u16string text, const Style* style, const std::u16string& speaker)
{
    if (m_linter == nullptr)
        return;
    if (m_linter->Texts().IsCollecting())
        m_linter->Texts().Add(speaker, text, CurrentPosition());
    m_linter->NoteText(std::move(text), style, CurrentPosition());
}

void ParseManager::ReportError(std::string_view message)
{
    if (m_hasError)
        return;
    const SourcePosition& position = m_fileStack.back();
    m_errorReport = ScenesManager::ErrorReport(SourceName(position.fileName), position.statementLine,
                                               TextCodec::Utf8ToWide(message));
    m_hasError = true;
    // The blocks may point at scenes that the error screen's start-up step deletes; nothing may reach them again.
    m_blocks.clear();
    m_errorHandler(m_errorReport);
}

void ParseManager::SetReadFromSource(std::map<std::u16string, std::u16string> compiledToSource)
{
    m_readFromSource = std::move(compiledToSource);
}

void ParseManager::SetErrorHandler(ErrorHandler handler)
{
    m_errorHandler = std::move(handler);
}

void ParseManager::RegisterFunctions()
{
    if (HgeManager* hge = HgeManager::GetSingletonPtr()) {
        AddInterfaceFunction(u"window", Callback<void()>(hge, &HgeManager::SetWindowed));
        AddInterfaceFunction(u"fullscreen", Callback<void()>(hge, &HgeManager::SetFullscreen));
    }
    if (PlayerSettings* settings = PlayerSettings::GetSingletonPtr()) {
        AddInterfaceFunction(u"skipunread", Callback<void()>(settings, &PlayerSettings::ToggleSkipUnread));
        AddInterfaceFunction(u"autosave", Callback<void()>(settings, &PlayerSettings::ToggleAutoSave));
    }
    AddInterfaceFunction(u"skip", Callback<void()>([] { PlayModes::Get().ToggleSkip(); }));
    AddInterfaceFunction(u"auto", Callback<void()>([] { PlayModes::Get().ToggleAuto(); }));
    if (ScenesManager* scenes = ScenesManager::GetSingletonPtr()) {
        AddInterfaceFunction(u"end", Callback<void()>(scenes, &ScenesManager::End));
        AddInterfaceFunction(u"main", Callback<void()>(scenes, &ScenesManager::ShowMainMenu));
        AddInterfaceFunction(u"options", Callback<void()>(scenes, &ScenesManager::ShowOptionsMenu));
        AddInterfaceFunction(u"history", Callback<void()>(scenes, &ScenesManager::ShowHistory));
        AddInterfaceFunction(u"hide", Callback<void()>(scenes, &ScenesManager::HideBoxes));
    }
    if (ScenesManager* scenes = ScenesManager::GetSingletonPtr())
        AddInterfaceFunction(u"gallery", Callback<void()>(scenes, &ScenesManager::ShowGallery));
    if (SaveGames* saves = SaveGames::GetSingletonPtr()) {
        AddInterfaceFunction(u"save", Callback<void()>(saves, &SaveGames::Save));
        AddInterfaceFunction(u"load", Callback<void()>(saves, &SaveGames::OpenSaveLoad));
        AddInterfaceFunction(u"load_load", Callback<void()>(saves, &SaveGames::LoadSelected));
        AddInterfaceFunction(u"load_delete", Callback<void()>(saves, &SaveGames::DeleteSelected));
        AddInterfaceFunction(u"quicksave", Callback<void()>(saves, &SaveGames::QuickSave));
        AddInterfaceFunction(u"quickload", Callback<void()>(saves, &SaveGames::QuickLoad));
        AddInterfaceFunction(u"continue", Callback<void()>(saves, &SaveGames::Continue));
    }
    if (GalleryManager* galleries = GalleryManager::GetSingletonPtr())
        AddInterfaceFunction(u"load_back", Callback<void()>(galleries, &GalleryManager::DeselectAll));
    if (MenuManager* menus = MenuManager::GetSingletonPtr()) {
        AddInterfaceFunction(u"back", Callback<void()>(menus, &MenuManager::Back));
        AddInterfaceFunction(u"cancel", Callback<void()>(menus, &MenuManager::Back));
        AddInterfaceFunction(u"game", Callback<void()>(menus, &MenuManager::CloseAll));
    }
    if (DialogManager* dialogue = DialogManager::GetSingletonPtr())
        AddInterfaceFunction(u"skiptext", Callback<void()>(dialogue, &DialogManager::CompleteAll));
    // Named by some buttons; it does nothing.
    AddInterfaceFunction(u"sound", Callback<void()>([] {}));
}

void ParseManager::AddInterfaceFunction(std::u16string name, Callback<void()> function)
{
    m_interfaceFunctions[std::move(name)] = std::move(function);
}

std::shared_ptr<Action> ParseManager::ParseAction(std::u16string_view actionText)
{
    const std::u16string text = TrimBlanks(actionText);
    const auto function = m_interfaceFunctions.find(text);
    if (function != m_interfaceFunctions.end())
        return std::make_shared<RunFunctionAction>(function->second, text);
    std::unique_ptr<Command> command = ParseCommand(text);
    if (!command)
        return nullptr;
    return std::make_shared<RunCommandAction>(std::move(command));
}

std::unique_ptr<Command> ParseManager::ParseCommand(std::u16string_view statementText)
{
    CommandLine command;
    if (!command.AddLine(TrimBlanks(statementText))) {
        command.EndOfInput();
        return nullptr;
    }
    // The statement runs inside a command-container block of its own and must leave the enclosing blocks as they
    // were, whatever it opens or closes; after a script error they stay cleared.
    const std::vector<Block> enclosing = m_blocks;
    const auto restore = [this, &enclosing] {
        if (!m_hasError)
            m_blocks = enclosing;
    };
    ActionContainer container;
    PushBlock(BlockKind::CommandContainer, static_cast<CommandContainer*>(&container));
    try {
        Dispatch(command);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return container.TakeLast();
}

void ParseManager::AddWarning(const std::string& text)
{
    const SourcePosition* position = CurrentPosition();
    if (position == nullptr)
        m_warnings.push_back(text);
    else
        m_warnings.push_back(TextCodec::WideToUtf8(SourceName(position->fileName)) + ":" +
                             std::to_string(position->statementLine) + ": " + text);
}

void ParseManager::PushBlock(BlockKind kind, void* object)
{
    m_blocks.push_back({kind, object});
}

void ParseManager::PopBlock()
{
    if (m_blocks.empty())
        return;
    const Block closed = m_blocks.back();
    m_blocks.pop_back();
    // A choice with nothing to choose would take every click and never let the story go on.
    if (closed.kind == BlockKind::ChoiceList &&
        static_cast<SetSelectionCommand*>(closed.object)->GetSelection().GetChoices().empty()) {
        throw ScriptError("Selection without entries");
    }
}

void* ParseManager::TopBlock(BlockKind kind, std::u16string_view statement) const
{
    const auto needs = [&](const std::string& detail) {
        return ScriptError(TextCodec::WideToUtf8(statement) + " needs an open " + KindName(kind) + " block" + detail);
    };
    if (m_blocks.empty())
        throw needs("");
    const Block& top = m_blocks.back();
    if (top.kind != kind)
        throw needs(" (the innermost open block is " + WithArticle(KindName(top.kind)) + " block)");
    return top.object;
}

std::u16string ParseManager::SourceName(const std::u16string& opened)
{
    constexpr std::u16string_view kCompiled = u".cvls";
    if (!opened.ends_with(kCompiled) || opened.size() == kCompiled.size())
        return opened;
    const std::u16string source = opened.substr(0, opened.size() - kCompiled.size()) + u".vls";
    std::error_code error;
    return std::filesystem::exists(TextCodec::WideToUtf8(source), error) ? source : opened;
}

const std::u16string& ParseManager::StatementFile(const std::u16string& opened)
{
    if (opened != m_statementFile.first)
        m_statementFile = {opened, SourceName(opened)};
    return m_statementFile.second;
}

const SourcePosition* ParseManager::CurrentPosition() const
{
    return m_fileStack.empty() ? nullptr : &m_fileStack.back();
}

} // namespace Vel
