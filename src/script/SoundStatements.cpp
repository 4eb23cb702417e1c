#include "script/SoundStatements.h"

#include "commands/MuteCommand.h"
#include "commands/SetMusicCommand.h"
#include "commands/SetPlaylistCommand.h"
#include "commands/SetSfxCommand.h"
#include "commands/SetVolumeCommand.h"
#include "core/TextCodec.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"
#include "scene/CommandContainer.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <memory>
#include <string_view>
#include <utility>

namespace Vel {

namespace {

void Add(ParseManager& parser, std::u16string_view statement, std::unique_ptr<Command> command)
{
    parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, statement).AddCommand(std::move(command));
}

bool FadeRequested(const CommandLine& line)
{
    return ScriptValues::IsFlag(line.GetAttribute(u"fade"), u"yes");
}

// Only the exact words switch the music; "music(On)" plays a file named "On".
void Music(ParseManager& parser, CommandLine& line)
{
    const std::u16string& argument = line.GetArgument(0);
    if (argument == u"on" || argument == u"off") {
        Add(parser, u"music", std::make_unique<MuteCommand>(argument == u"off"));
        return;
    }
    Add(parser, u"music", std::make_unique<SetMusicCommand>(argument, FadeRequested(line)));
    parser.Note(LintKind::SoundFile, argument);
}

// volume(level): steps of a tenth; an empty level builds nothing.
void Volume(ParseManager& parser, CommandLine& line)
{
    const std::u16string& level = line.GetArgument(0);
    if (level.empty())
        return;
    Add(parser, u"volume",
        std::make_unique<SetVolumeCommand>(ScriptValues::ToInt(level, ScriptValues::Argument(line, 0))));
}

// beginplaylist(name, random=yes): only "yes" sets the shuffle flag, and nothing clears it.
void BeginPlaylist(ParseManager& parser, CommandLine& line)
{
    Playlist* playlist = RequireManager<ResourceManager>(u"beginplaylist").GetPlaylist(line.GetArgument(0));
    if (ScriptValues::IsFlag(line.GetAttribute(u"random"), u"yes"))
        playlist->SetShuffle(true);
    parser.PushBlock(BlockKind::SoundList, playlist);
}

} // namespace

void RegisterSoundStatements(ParseManager& parser)
{
    parser.AddHandler(u"music", [&parser](CommandLine& line) { Music(parser, line); });
    parser.AddHandler(u"sfx", [&parser](CommandLine& line) {
        Add(parser, u"sfx", std::make_unique<SetSfxCommand>(line.GetArgument(0)));
        parser.Note(LintKind::SoundFile, line.GetArgument(0));
    });
    parser.AddHandler(u"playlist", [&parser](CommandLine& line) {
        Add(parser, u"playlist", std::make_unique<SetPlaylistCommand>(line.GetArgument(0), FadeRequested(line)));
    });
    parser.AddHandler(u"volume", [&parser](CommandLine& line) { Volume(parser, line); });
    parser.AddHandler(u"beginplaylist", [&parser](CommandLine& line) { BeginPlaylist(parser, line); });
    parser.AddHandler(u"file", [&parser](CommandLine& line) {
        parser.TopBlockAs<Playlist>(BlockKind::SoundList, u"file").AddTrack(line.GetArgument(0));
        parser.Note(LintKind::SoundFile, line.GetArgument(0));
    });
}

} // namespace Vel
