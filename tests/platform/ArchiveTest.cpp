#include "PlatformTestTools.h"

#include "platform/ArchiveSet.h"
#include "platform/ArchiveWriter.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace Vel {
namespace {

using PlatformTest::HeadlessHge;
using PlatformTest::TempFolder;

// Writes a ZIP archive of the given entries; every file is encrypted with method unless the password is empty.
void WriteZip(const std::string& fileName, const std::map<std::string, std::string>& entries, std::uint16_t method,
              const std::string& password)
{
    int code = 0;
    zip_t* zip = zip_open(fileName.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(zip, content.data(), content.size(), 0);
        zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        if (!password.empty()) {
            ASSERT_EQ(zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index), method, password.c_str()), 0);
        }
    }
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

std::string LoadText(HGE* hge, const char* name, std::uint32_t* sizeOut = nullptr)
{
    std::uint32_t size = 12345;
    void* block = hge->Resource_Load(name, &size);
    if (sizeOut != nullptr)
        *sizeOut = size;
    if (block == nullptr)
        return "<none>";
    std::string text(static_cast<const char*>(block), size);
    EXPECT_EQ(static_cast<const char*>(block)[size], '\0') << "a zero byte follows the data";
    hge->Resource_Free(block);
    return text;
}

// Runs a test body inside a folder, so that loose files are found by their relative names.
class InFolder
{
public:
    explicit InFolder(const std::filesystem::path& folder) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(m_previous); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path m_previous;
};

const std::string kBigText = [] {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + " of the first script\n";
    return text;
}();

TEST(ArchiveTest, BothEncryptionsOpenWithTheRightPasswordOnly)
{
    TempFolder folder;
    const std::map<std::string, std::string> entries = {{"a.txt", kBigText}, {"images/b.txt", "bee"}};
    WriteZip(folder.File("trad.pak"), entries, ZIP_EM_TRAD_PKWARE, "mirtavoquens");
    WriteZip(folder.File("aes.pak"), entries, ZIP_EM_AES_256, "mirtavoquens");
    for (const char* name : {"trad.pak", "aes.pak"}) {
        std::string error;
        ArchiveSet wrong;
        EXPECT_FALSE(wrong.Attach(folder.File(name), "wrong", error)) << name;
        EXPECT_NE(error.find("password"), std::string::npos) << error;
        EXPECT_FALSE(wrong.Attach(folder.File(name), "", error)) << name;
        ArchiveSet right;
        ASSERT_TRUE(right.Attach(folder.File(name), "mirtavoquens", error)) << name << ": " << error;
        std::uint32_t size = 0;
        void* block = right.Load("./images/b.txt", size, error);
        ASSERT_NE(block, nullptr) << error;
        EXPECT_EQ(std::string(static_cast<char*>(block), size), "bee");
        std::free(block);
        EXPECT_EQ(right.Load("images/B.txt", size, error), nullptr) << "names match exactly";
    }
}

TEST(ArchiveTest, EveryWrongTraditionalPasswordFails)
{
    // About one wrong password in a hundred passes the traditional header check; reading the entry to its end
    // must still catch it.
    TempFolder folder;
    WriteZip(folder.File("trad.pak"), {{"a.txt", kBigText}}, ZIP_EM_TRAD_PKWARE, "mirtavoquens");
    int accepted = 0;
    for (int i = 0; i < 600; ++i) {
        ArchiveSet archives;
        std::string error;
        if (archives.Attach(folder.File("trad.pak"), "guess" + std::to_string(i), error))
            ++accepted;
    }
    EXPECT_EQ(accepted, 0);
}

TEST(ArchiveTest, FailedAttachmentsAreLoggedWithTheirReason)
{
    TempFolder folder;
    WriteZip(folder.File("good.pak"), {{"a.txt", kBigText}}, ZIP_EM_AES_256, "pw");
    std::string bytes = folder.Read("good.pak");
    folder.Write("cut.pak", bytes.substr(0, bytes.size() / 2));
    std::string flipped = bytes;
    for (std::size_t i = 100; i < 140; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    folder.Write("flipped.pak", flipped);
    folder.Write("empty.pak", "");

    HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    EXPECT_FALSE(hge->Resource_AttachPack(folder.File("missing.pak").c_str(), "pw"));
    EXPECT_FALSE(hge->Resource_AttachPack(folder.File("cut.pak").c_str(), "pw"));
    EXPECT_FALSE(hge->Resource_AttachPack(folder.File("flipped.pak").c_str(), "pw"));
    EXPECT_FALSE(hge->Resource_AttachPack(folder.File("empty.pak").c_str(), "pw"));
    EXPECT_FALSE(hge->Resource_AttachPack((std::string(VEL_TEST_DATA) + "/notazip.pak").c_str(), "pw"));
    EXPECT_FALSE(hge->Resource_AttachPack(folder.File("good.pak").c_str(), "wrong"));
    EXPECT_TRUE(hge->Resource_AttachPack(folder.File("good.pak").c_str(), "pw"));

    std::string log = folder.Read("engine.log");
    EXPECT_NE(log.find("missing.pak': the file does not exist"), std::string::npos) << log;
    for (const char* name : {"cut.pak", "flipped.pak", "empty.pak", "notazip.pak", "good.pak': wrong password"})
        EXPECT_NE(log.find(name), std::string::npos) << name << " in\n" << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6);
}

TEST(ArchiveTest, ArchivesComeBeforeTheDiskInAttachOrder)
{
    TempFolder folder;
    WriteZip(folder.File("first.pak"), {{"scripts/same.txt", "first"}, {"only_first.txt", "1"}}, ZIP_EM_AES_256, "pw");
    WriteZip(folder.File("second.pak"), {{"scripts/same.txt", "second"}, {"only_second.txt", "2"}}, ZIP_EM_TRAD_PKWARE,
             "pw");
    folder.Write("scripts/same.txt", "disk");
    folder.Write("loose.txt", "loose");
    folder.Write("empty.txt", "");
    InFolder inside(folder.Path());

    HeadlessHge hge;
    EXPECT_EQ(LoadText(hge.Get(), "scripts/same.txt"), "disk");
    ASSERT_TRUE(hge->Resource_AttachPack("first.pak", "pw"));
    ASSERT_TRUE(hge->Resource_AttachPack("second.pak", "pw"));
    EXPECT_TRUE(hge->Resource_AttachPack("./first.pak", "pw")) << "attaching again is harmless";
    EXPECT_EQ(LoadText(hge.Get(), "scripts/same.txt"), "first");
    EXPECT_EQ(LoadText(hge.Get(), "./scripts/same.txt"), "first");
    EXPECT_EQ(LoadText(hge.Get(), "only_second.txt"), "2");
    EXPECT_EQ(LoadText(hge.Get(), "loose.txt"), "loose");
    std::uint32_t size = 99;
    EXPECT_EQ(LoadText(hge.Get(), "empty.txt", &size), "");
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(LoadText(hge.Get(), "absent.txt", &size), "<none>");
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(LoadText(hge.Get(), "scripts"), "<none>") << "a folder is not a file";
    EXPECT_EQ(hge->Resource_Load(nullptr), nullptr);
    hge->Resource_Free(nullptr);
}

TEST(ArchiveTest, PackedFoldersKeepTheirPathsAndNeedThePassword)
{
    TempFolder folder;
    folder.Write("game/scripts/system.cvls", "compiled");
    folder.Write("game/images/bg/room.png", "picture");
    folder.Write("game/icon.png", "icon");
    InFolder inside(folder.Path() / "game");

    std::string error;
    ASSERT_TRUE(ArchiveWriter::Pack("data.pak", {"scripts", "./images/", "icon.png", "."}, "pw", error)) << error;
    ArchiveSet archives;
    ASSERT_FALSE(archives.Attach("data.pak", "wrong", error));
    ASSERT_TRUE(archives.Attach("data.pak", "pw", error)) << error;
    for (const auto& [name, content] : std::map<std::string, std::string>{
             {"scripts/system.cvls", "compiled"}, {"images/bg/room.png", "picture"}, {"icon.png", "icon"}}) {
        std::uint32_t size = 0;
        void* block = archives.Load(name, size, error);
        ASSERT_NE(block, nullptr) << name << ": " << error;
        EXPECT_EQ(std::string(static_cast<char*>(block), size), content);
        std::free(block);
    }
    std::uint32_t size = 0;
    EXPECT_EQ(archives.Load("data.pak", size, error), nullptr) << "the archive does not pack itself";

    ASSERT_TRUE(ArchiveWriter::Pack("outside.pak", {(folder.Path() / "game" / "images").string()}, "", error));
    ArchiveSet plain;
    ASSERT_TRUE(plain.Attach("outside.pak", "", error)) << error;
    void* block = plain.Load("images/bg/room.png", size, error);
    EXPECT_NE(block, nullptr) << "a path from elsewhere is named from its last part";
    std::free(block);

    EXPECT_FALSE(ArchiveWriter::Pack("x.pak", {"no_such_thing"}, "pw", error));
    EXPECT_NE(error.find("no_such_thing"), std::string::npos);
    std::filesystem::create_directories("empty_folder");
    EXPECT_FALSE(ArchiveWriter::Pack("x.pak", {"empty_folder"}, "pw", error));
    EXPECT_FALSE(ArchiveWriter::Pack("missing_folder/x.pak", {"icon.png"}, "pw", error));
    EXPECT_FALSE(std::filesystem::exists("x.pak"));
}

} // namespace
} // namespace Vel
