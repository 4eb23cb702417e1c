#include "app/HgeManager.h"
#include "platform/ArchiveWriter.h"

#include "HeadlessHge.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

using TestTools::LoadText;

// An archive in the working folder holding one file name -> text, protected with the password.
void MakeArchive(const std::string& archive, const std::string& name, const std::string& password)
{
    std::ofstream(name) << "from " << archive;
    std::string error;
    ASSERT_TRUE(ArchiveWriter::Pack(archive, {name}, password, error)) << error;
    std::filesystem::remove(name);
}

// The archive list is read from "preferences.ini" in the working folder.
TEST(HgeManagerTest, ArchiveListStopsAtTheFirstGapAndFailedArchivesAreLogged)
{
    TestTools::TempFolder folder;
    folder.Enter();
    EXPECT_TRUE(HgeManager().MountArchives()) << "no list: nothing to mount and nothing failed";
    MakeArchive("one.pak", "a.txt", HgeManager::kArchivePassword);
    MakeArchive("three.pak", "b.txt", HgeManager::kArchivePassword);
    folder.Write("preferences.ini", "[archives]\n1=one.pak\n3=three.pak\n");
    {
        HgeManager gap;
        EXPECT_TRUE(gap.MountArchives());
        EXPECT_EQ(LoadText(gap.GetHge(), "a.txt"), "from one.pak");
        EXPECT_EQ(LoadText(gap.GetHge(), "b.txt"), "<none>");
    }
    MakeArchive("locked.pak", "c.txt", "another password");
    MakeArchive("good.pak", "d.txt", HgeManager::kArchivePassword);
    folder.Write("damaged.pak", "PK\x03\x04 this is not an archive");
    folder.Write("preferences.ini", "[archives]\n1=locked.pak\n2=absent.pak\n3=damaged.pak\n4=good.pak\n");
    std::filesystem::remove("engine.log");
    HgeManager manager;
    EXPECT_FALSE(manager.MountArchives());
    EXPECT_EQ(LoadText(manager.GetHge(), "c.txt"), "<none>");
    EXPECT_EQ(LoadText(manager.GetHge(), "d.txt"), "from good.pak");
    const std::string log = folder.Read("engine.log");
    for (const char* failed : {"locked.pak", "absent.pak", "damaged.pak"})
        EXPECT_NE(log.find(failed), std::string::npos) << log;
    EXPECT_EQ(log.find("good.pak"), std::string::npos) << log;
}

} // namespace
} // namespace Vel
