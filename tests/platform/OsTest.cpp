#include "TempFolder.h"

#include "platform/Os.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include <sys/wait.h>

namespace Vel {
namespace {

using TestTools::TempFolder;

// Sets an environment variable for the length of a test and puts the old value back.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(OsTest, LaunchHandsTheTextToTheOpenerAsOneArgument)
{
    TempFolder folder;
    folder.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                                 "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened.txt\"\n");
    std::filesystem::permissions(folder.File("bin/xdg-open"), std::filesystem::perms::owner_all);
    {
        const char* oldPath = std::getenv("PATH");
        ScopedEnv path("PATH", folder.File("bin") + ":" + (oldPath != nullptr ? oldPath : "/usr/bin:/bin"));
        EXPECT_TRUE(Os::Launch("https://example.org/a b;$(touch x)"));
        EXPECT_FALSE(Os::Launch("-x"));
    }
    for (int wait = 0; wait < 200 && !std::filesystem::exists(folder.File("bin/opened.txt")); ++wait)
        usleep(10000);
    EXPECT_EQ(folder.Read("bin/opened.txt"), "1|https://example.org/a b;$(touch x)");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";

    ScopedEnv emptyPath("PATH", folder.File("nothing_here"));
    EXPECT_FALSE(Os::Launch("https://example.org")) << "no opener to start";
}

} // namespace
} // namespace Vel
