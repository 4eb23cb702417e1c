#include "TempFolder.h"

#include "platform/Os.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace Vel {
namespace {

using TestTools::TempFolder;

TEST(OsTest, LaunchHandsTheTextToTheOpenerAsOneArgument)
{
    TempFolder folder;
    folder.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                                 "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened.txt\"\n");
    std::filesystem::permissions(folder.File("bin/xdg-open"), std::filesystem::perms::owner_all);
    // The opener is found through PATH, which is put back at the end.
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";
    setenv("PATH", (folder.File("bin") + ":" + path).c_str(), 1);
    EXPECT_TRUE(Os::Launch("https://example.org/a b;$(touch x)"));
    EXPECT_FALSE(Os::Launch("-x"));
    for (int wait = 0; wait < 200 && !std::filesystem::exists(folder.File("bin/opened.txt")); ++wait)
        usleep(10000);
    EXPECT_EQ(folder.Read("bin/opened.txt"), "1|https://example.org/a b;$(touch x)");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";

    setenv("PATH", folder.File("nothing_here").c_str(), 1);
    EXPECT_FALSE(Os::Launch("https://example.org")) << "no opener to start";
    setenv("PATH", path.c_str(), 1);
}

} // namespace
} // namespace Vel
