#include "app/HgeManager.h"
#include "platform/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Vel {
namespace {

// Runs in a folder of its own: the archive list is read from "preferences.ini" in the working folder.
class HgeManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = fs::current_path();
        m_folder = fs::temp_directory_path() / ("vel_hgemanager_" + std::to_string(getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        fs::current_path(m_folder);
    }
    void TearDown() override
    {
        fs::current_path(m_previous);
        fs::remove_all(m_folder);
    }

    void Write(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

    // An archive holding one file name -> text, protected with password.
    void MakeArchive(const std::string& archive, const std::string& name, const std::string& text,
                     const std::string& password)
    {
        Write(name, text);
        std::string error;
        ASSERT_TRUE(ArchiveWriter::Pack(archive, {name}, password, error)) << error;
        fs::remove(name);
    }

    std::string Load(HGE* hge, const std::string& name)
    {
        std::uint32_t size = 0;
        void* data = hge->Resource_Load(name.c_str(), &size);
        if (!data)
            return "<none>";
        std::string text(static_cast<const char*>(data), size);
        hge->Resource_Free(data);
        return text;
    }

    std::string Log()
    {
        std::ifstream file("engine.log");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    fs::path m_previous;
    fs::path m_folder;
};

TEST_F(HgeManagerTest, ArchiveListStopsAtTheFirstGap)
{
    MakeArchive("one.pak", "a.txt", "from one", HgeManager::kArchivePassword);
    MakeArchive("three.pak", "b.txt", "from three", HgeManager::kArchivePassword);
    Write("preferences.ini", "[archives]\n1=one.pak\n3=three.pak\n");

    HgeManager manager;
    EXPECT_TRUE(manager.MountArchives());
    EXPECT_EQ(Load(manager.GetHge(), "a.txt"), "from one");
    EXPECT_EQ(Load(manager.GetHge(), "b.txt"), "<none>");
}

TEST_F(HgeManagerTest, FailedArchivesAreLoggedAndTheRestStillMount)
{
    MakeArchive("locked.pak", "a.txt", "secret", "another password");
    MakeArchive("good.pak", "b.txt", "open", HgeManager::kArchivePassword);
    Write("damaged.pak", "PK\x03\x04 this is not an archive");
    Write("preferences.ini", "[archives]\n1=locked.pak\n2=absent.pak\n3=damaged.pak\n4=good.pak\n");

    HgeManager manager;
    EXPECT_FALSE(manager.MountArchives());
    EXPECT_EQ(Load(manager.GetHge(), "a.txt"), "<none>");
    EXPECT_EQ(Load(manager.GetHge(), "b.txt"), "open");
    const std::string log = Log();
    EXPECT_NE(log.find("locked.pak"), std::string::npos) << log;
    EXPECT_NE(log.find("absent.pak"), std::string::npos) << log;
    EXPECT_NE(log.find("damaged.pak"), std::string::npos) << log;
    EXPECT_EQ(log.find("good.pak"), std::string::npos) << log;
}

TEST_F(HgeManagerTest, NoListMountsNothing)
{
    HgeManager manager;
    EXPECT_TRUE(manager.MountArchives());
    Write("plain.txt", "on disk");
    EXPECT_EQ(Load(manager.GetHge(), "plain.txt"), "on disk");
}

} // namespace
} // namespace Vel
