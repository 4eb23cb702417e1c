// A player who played before each game had a folder of its own keeps what the shared folder held.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace Vel::TestTools;

TEST(SharedFolderRunTest, AGamesFirstRunCopiesTheSavesAndValuesOfTheSharedFolder)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "flow");
    for (const char* file : {"sys0.dfn", "save/00000007.sav", "save/00000007.bmp"})
        root.Write(std::string("home/Documents/Velloria/") + file, file);
    ASSERT_EQ(Status("HOME='" + root.File("home") + "' XDG_CONFIG_HOME='" + root.File("config") + "' '" + VEL_ENGINE +
                     "' '" + game.string() + "' --headless --frames 2 2>'" + root.File("err.txt") + "'"),
              0)
        << root.Read("err.txt");
    for (const char* file : {"save/00000007.sav", "save/00000007.bmp"}) {
        EXPECT_EQ(root.Read(std::string("home/Documents/Velloria/flow/") + file), file) << "copied";
        EXPECT_EQ(root.Read(std::string("home/Documents/Velloria/") + file), file) << "kept for the other games";
    }
    EXPECT_TRUE(std::filesystem::exists(root.File("home/Documents/Velloria/flow/sys0.dfn")));
}

} // namespace
