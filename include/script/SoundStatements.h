#pragma once

// The sound statements. "music(file, fade=yes)", "music(on)", "music(off)", "sfx(file)", "playlist(name, fade=yes)"
// and "volume(level)" each add one sound command to the command container on top of the block stack;
// "beginplaylist(name, random=yes)" opens a playlist block in the resource registry and "file(name)" adds a track
// to the open one. A statement in the wrong block is a script error naming it.

namespace Vel {

class ParseManager;

void RegisterSoundStatements(ParseManager& parser);

} // namespace Vel
