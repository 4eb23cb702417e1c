#pragma once

// Every process-wide record a test may change, taken when the guard is made and put back when it goes, so that no
// test leaks a setting into the next: the display settings, the game's names, both click gates (left ready for the
// test's first click), the platform options and the code page come back as they were; the player's actions start
// and end empty; the user folder override, the game id and the current scene's accessor, which only tests set, come
// back to none. A fixture declares the guard before every member that may change a record, so the guard outlives
// them.

#include "core/DisplaySettings.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "platform/PlatformOptions.h"
#include "scene/ClickGate.h"
#include "scene/CurrentScene.h"
#include "scene/PlayerActions.h"

#include <string>

namespace Vel::TestTools {

class ProcessRecordGuard
{
public:
    ProcessRecordGuard()
    {
        ClickGate::Left().Reset();
        ClickGate::Right().Reset();
        PlayerActions::Get().Reset();
    }
    ~ProcessRecordGuard()
    {
        TheDisplaySettings() = m_display;
        TheGameNames() = m_names;
        ClickGate::Left() = m_left;
        ClickGate::Right() = m_right;
        SetPlatformOptions(m_platform);
        (void)TextCodec::SetCodePage(m_codePage);
        UserFiles::SetUserFolderOverride("");
        UserFiles::SetGameId("");
        CurrentScene::SetAccessor({});
        PlayerActions::Get().Reset();
    }
    ProcessRecordGuard(const ProcessRecordGuard&) = delete;
    ProcessRecordGuard& operator=(const ProcessRecordGuard&) = delete;

private:
    DisplaySettings m_display = TheDisplaySettings();
    GameNames m_names = TheGameNames();
    ClickGate m_left = ClickGate::Left();
    ClickGate m_right = ClickGate::Right();
    PlatformOptions m_platform = GetPlatformOptions();
    std::string m_codePage = TextCodec::CodePage();
};

} // namespace Vel::TestTools
