#pragma once

// The game's managers, owned in one place by the engine and by the tests that need a game's worth of them. The
// members are declared in creation order and so destroyed in reverse: each is destroyed before the ones it borrows
// from. The scenes manager, which borrows the dialogue and menu layers and runs commands that reach every other
// manager, is made last and goes first; the resources, which everything else borrows, are made first and go last.
// The managers are registries that need no window: they exist before "system.vls" is read, and pictures load their
// textures only when first drawn.

#include "core/PlayerSettings.h"
#include "data/ReadMarks.h"
#include "dialogue/DialogManager.h"
#include "dialogue/HistoryLog.h"
#include "dialogue/HistoryScreen.h"
#include "menus/MenuManager.h"
#include "resources/ResourceManager.h"
#include "saves/GalleryManager.h"
#include "saves/SaveGames.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "sound/SoundManager.h"

namespace Vel {

struct GameSystems
{
    // Wires the scenes manager to the dialogue, menu and history layers, and the player's preferences to their
    // triggers; skip and auto-forward start off.
    GameSystems();
    GameSystems(const GameSystems&) = delete;
    GameSystems& operator=(const GameSystems&) = delete;

    ResourceManager resources;
    SoundManager sound;
    TriggerManager triggers;
    PlayerSettings settings;
    ReadMarks readMarks;
    MenuManager menus;
    DialogManager dialogue;
    HistoryLog history;
    HistoryScreen historyScreen{history};
    GalleryManager galleries;
    SaveGames saves;
    ScenesManager scenes;

    // Sets the triggers "_skipunread", "_autosave" and "_fullscreen" ("yes"/"no") from the preferences, and the
    // language shown with its trigger "_language" (the code; empty for the game's own texts).
    void MirrorPreferences();
};

} // namespace Vel
