#include "script/SettingsStatements.h"

#include "core/DisplaySettings.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/ScriptError.h"
#include "script/ScriptValues.h"

#include <cstdint>

namespace Vel {

namespace {

// A size of zero or less can never make a render target: it keeps the previous value, as unreadable text does.
void ReadSize(std::u16string_view value, std::int32_t& size)
{
    std::int32_t number = size;
    if (ScriptValues::TryParseInt(value, number) && number > 0)
        size = number;
}

void GraphicsInit(CommandLine& line)
{
    DisplaySettings& display = TheDisplaySettings();
    ReadSize(line.GetAttribute(u"resolution1"), display.gameWidth);
    ReadSize(line.GetAttribute(u"resolution2"), display.gameHeight);
    ScriptValues::TryParseInt(line.GetAttribute(u"fullscreen"), display.fullscreen);
}

// Every name is written, so a second statement also clears the names it leaves out.
void GameInit(CommandLine& line)
{
    const std::u16string id = line.GetAttribute(u"id");
    // The id becomes a folder name: anything else could reach outside the player's folder or fail to be made.
    if (!id.empty() && !UserFiles::IsGameId(id))
        throw ScriptError("game_init: id=" + TextCodec::WideToUtf8(id) +
                          " is no game id (1 to 255 letters, digits, '-', '_' and '.', not dots alone)");
    GameNames& names = TheGameNames();
    names.gameId = id;
    names.galleryName = line.GetAttribute(u"gallery");
    names.saveLoadName = line.GetAttribute(u"saveload");
    names.title = line.GetAttribute(u"title");
    names.playlistName = line.GetAttribute(u"playlist");
}

void Menus(CommandLine& line)
{
    GameNames& names = TheGameNames();
    names.mainMenuName = line.GetAttribute(u"main");
    names.rightClickMenuName = line.GetAttribute(u"rightclick");
    names.optionsMenuName = line.GetAttribute(u"options");
}

void StartScene(CommandLine& line)
{
    TheGameNames().startSceneName = line.GetArgument(0);
}

} // namespace

void RegisterSettingsStatements(ParseManager& parser)
{
    parser.AddHandler(u"graphics_init", &GraphicsInit);
    parser.AddHandler(u"game_init", &GameInit);
    parser.AddHandler(u"menus", &Menus);
    parser.AddHandler(u"start_scene", &StartScene);
}

} // namespace Vel
