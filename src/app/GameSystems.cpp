#include "app/GameSystems.h"

#include "core/TextCodec.h"
#include "data/Translations.h"
#include "scene/PlayModes.h"

namespace Vel {

GameSystems::GameSystems()
{
    scenes.SetDialogueLayer(&dialogue);
    scenes.SetMenuLayer(&menus);
    scenes.SetHistoryLayer(&historyScreen);
    settings.SetChangeHandler(Callback<void()>(this, &GameSystems::MirrorPreferences));
    MirrorPreferences();
    PlayModes::Get().Reset();
}

void GameSystems::MirrorPreferences()
{
    const PlayerPreferences& preferences = settings.Get();
    const auto yesNo = [](bool value) { return std::u16string(value ? u"yes" : u"no"); };
    triggers.Set(u"_skipunread", yesNo(preferences.skipUnread));
    triggers.Set(u"_autosave", yesNo(preferences.autoSave));
    triggers.Set(u"_fullscreen", yesNo(preferences.fullscreen.value_or(false)));
    Translations& translations = Translations::Get();
    translations.Use(settings.Language());
    triggers.Set(u"_language", TextCodec::Utf8ToWide(translations.Code()));
}

} // namespace Vel
