// The game id that names a game's user folder: what game_init accepts as one, and the id a game without one takes
// from the name of its folder.
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "core/DisplaySettings.h"
#include "core/UserFiles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace Vel {
namespace {

using Ids = std::initializer_list<std::u16string>;

TEST(GameIdTest, GameInitTakesOnlyIdsThatNameAFolderAndOtherFolderNamesAreMadeSafe)
{
    TestTools::ProcessRecordGuard records;
    TestTools::ScriptRun script;
    const std::string refused = " is no game id (1 to 255 letters, digits, '-', '_' and '.', not dots alone)";
    for (const std::u16string& id : Ids{u"sv.poses-1", u"My_Game", std::u16string(255, u'a')}) {
        EXPECT_EQ(script.Run({u"game_init(title=T, id=" + id + u")"}), "");
        EXPECT_EQ(TheGameNames().gameId, id);
    }
    for (const std::u16string& id : Ids{u"..", u"../other", u"a b", u"Spiel-Ä", std::u16string(256, u'a')})
        EXPECT_EQ(script.Run({u"game_init(id=" + id + u")"}), "game_init: id=" + TextCodec::WideToUtf8(id) + refused);

    const std::pair<std::string, std::string> folders[] = {
        {"Other Game", "Other_Game"}, {"Spiel-Ä", "Spiel-_"}, {"\xF0\x9F\x98\x80x", "_x"}, {"..", "game"}, {"", "game"},
    };
    for (const auto& [folder, id] : folders)
        EXPECT_EQ(UserFiles::GameIdOfFolder(folder), id) << folder;
}

} // namespace
} // namespace Vel
