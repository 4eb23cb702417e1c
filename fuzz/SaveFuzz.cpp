// The save-game reader: a ".sav" file checked whole before it may replace the running game. The story has the
// scenes "intro" (2 steps) and "hall" (3 steps, two nodes), the interface scenes "hud_a" and "hud_b" and the
// character "hero" with the poses "calm" and "angry", and the style "speech" of its history's lines. With the
// environment variable VELLORIA_FUZZ_SEED set to a file name, the first call writes a save of "hall" there instead:
// that is how the seeds of the current version were made ("hall-v3-history.sav"); "hall.sav" is a save from before
// saves had a version, "hall-v2.sav" one of version 2.
#include "FuzzTools.h"
#include "HeadlessPlatform.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "dialogue/HistoryLog.h"
#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "saves/GalleryManager.h"
#include "saves/SaveGames.h"
#include "scene/Command.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "sound/SoundManager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// A step of the story that waits for ever.
class WaitCommand : public Vel::Command
{
};

struct Game
{
    Vel::HgeManager hgeManager{(Vel::Fuzz::ScratchFolder() / "engine.log").string()};
    Vel::ResourceManager resources;
    Vel::SoundManager sound;
    Vel::ScenesManager scenes;
    Vel::TriggerManager triggers;
    Vel::HistoryLog history;
    Vel::GalleryManager galleries;
    Vel::SaveGames saves;

    Game()
    {
        MakeScene(u"intro", 2, false);
        MakeScene(u"hall", 3, false);
        MakeScene(u"hud_a", 1, true);
        MakeScene(u"hud_b", 1, true);
        Vel::Character* hero = resources.GetCharacter(u"hero");
        for (const char16_t* pose : {u"calm", u"angry"})
            hero->AddPose(pose, u"", u"", u"");
    }
    void MakeScene(const std::u16string& name, int steps, bool interface)
    {
        Vel::Scene* scene = interface ? scenes.CreateInterfaceScene(name) : scenes.CreateScene(name);
        for (int step = 0; step < steps; ++step)
            scene->AddCommand(std::make_unique<WaitCommand>());
    }
    // "hall" with two nodes in two layers, one of them in a group, a trigger, an interface, a pose and two lines of
    // history, one with a voice.
    void PlayHall()
    {
        scenes.StartScene(u"hall", Vel::SceneStart::Reset);
        Vel::Scene* hall = scenes.FindScene(u"hall");
        hall->CreateNode(u"bg_hall", 1, u"")->MoveTo(10.0F, 20.0F);
        hall->CreateNode(u"lamp", 2, u"lamps")->MoveTo(5.0F, 6.0F);
        hall->Update(0.0F, Vel::Scene::Mouse{});
        triggers.Set(u"door", u"open");
        scenes.LaunchInterface(u"hud_a");
        resources.GetCharacter(u"hero")->SetPose(u"angry");
        Vel::Style* speech = resources.GetStyle(u"speech");
        history.Add("Hero", "Look.\nThe lamp.", u"look.ogg", speech, speech);
        history.Add("", "Go in", u"", nullptr, speech);
    }
};

// Never destroyed: the process ends with the 2D library still up, and the pointer keeps the game reachable, which
// is no leak.
Game* s_game = nullptr;

void WriteSeed(const std::string& seed)
{
    s_game->PlayHall();
    const std::u16string path = Vel::SaveGames::NextSavePath();
    s_game->saves.Save();
    std::filesystem::copy_file(Vel::TextCodec::WideToUtf8(path), seed,
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    Vel::Fuzz::HeadlessHge();
    Vel::UserFiles::SetUserFolderOverride(Vel::Fuzz::ScratchFolder().string());
    Vel::UserFiles::CreateFolders();
    s_game = new Game();
    if (const char* seed = std::getenv("VELLORIA_FUZZ_SEED"))
        WriteSeed(seed);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Vel::Fuzz::WriteScratch("fuzz.sav", data, size);
    std::string error;
    if (s_game->saves.Load(Vel::TextCodec::Utf8ToWide(path), error))
        s_game->scenes.Update(1.0F / 60.0F);
    return 0;
}
