#include "HeadlessHge.h"
#include "TempFolder.h"

#include "platform/ArchiveSet.h"
#include "platform/ArchiveWriter.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::LoadText;
using TestTools::TempFolder;

// Writes a ZIP archive of the entries, every file encrypted with the method unless the password is empty.
void WriteZip(const std::string& fileName, const std::map<std::string, std::string>& entries, std::uint16_t method,
              const std::string& password)
{
    int code = 0;
    zip_t* zip = zip_open(fileName.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, content] : entries) {
        const zip_int64_t index =
            zip_file_add(zip, name.c_str(), zip_source_buffer(zip, content.data(), content.size(), 0), 0);
        ASSERT_GE(index, 0);
        if (!password.empty()) {
            ASSERT_EQ(zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index), method, password.c_str()), 0);
        }
    }
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

std::string LoadText(ArchiveSet& archives, const std::string& name)
{
    std::uint32_t size = 0;
    std::string error;
    void* block = archives.Load(name, size, error);
    if (block == nullptr)
        return "<none>";
    std::string text(static_cast<const char*>(block), size);
    std::free(block);
    return text;
}

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
        EXPECT_FALSE(ArchiveSet().Attach(folder.File(name), "", error)) << name;
        ArchiveSet right;
        ASSERT_TRUE(right.Attach(folder.File(name), "mirtavoquens", error)) << name << ": " << error;
        EXPECT_EQ(LoadText(right, "./images/b.txt"), "bee");
        EXPECT_EQ(LoadText(right, "images/B.txt"), "<none>") << "names match exactly";
    }
    // About one wrong password in a hundred passes the traditional header check; reading the entry to its end
    // must still catch it.
    int accepted = 0;
    for (int i = 0; i < 600; ++i) {
        std::string error;
        accepted += ArchiveSet().Attach(folder.File("trad.pak"), "guess" + std::to_string(i), error) ? 1 : 0;
    }
    EXPECT_EQ(accepted, 0);
}

TEST(ArchiveTest, FailedAttachmentsAreLoggedWithTheirReason)
{
    TempFolder folder;
    WriteZip(folder.File("good.pak"), {{"a.txt", kBigText}}, ZIP_EM_AES_256, "pw");
    const std::string bytes = folder.Read("good.pak");
    folder.Write("cut.pak", bytes.substr(0, bytes.size() / 2));
    std::string flipped = bytes;
    for (std::size_t i = 100; i < 140; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    folder.Write("flipped.pak", flipped);
    folder.Write("empty.pak", "");

    HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    for (const std::string& name : {folder.File("missing.pak"), folder.File("cut.pak"), folder.File("flipped.pak"),
                                    folder.File("empty.pak"), std::string(VEL_TEST_DATA) + "/notazip.pak"})
        EXPECT_FALSE(hge->Resource_AttachPack(name.c_str(), "pw")) << name;
    EXPECT_FALSE(hge->Resource_AttachPack(folder.File("good.pak").c_str(), "wrong"));

    const std::string log = folder.Read("engine.log");
    EXPECT_NE(log.find("missing.pak': the file does not exist"), std::string::npos) << log;
    for (const char* name : {"cut.pak", "flipped.pak", "empty.pak", "notazip.pak", "good.pak': wrong password"})
        EXPECT_NE(log.find(name), std::string::npos) << name << " in\n" << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6);
}

TEST(ArchiveTest, ArchivesComeBeforeTheDiskInAttachOrder)
{
    TempFolder folder;
    WriteZip(folder.File("first.pak"), {{"scripts/same.txt", "first"}}, ZIP_EM_AES_256, "pw");
    WriteZip(folder.File("second.pak"), {{"scripts/same.txt", "second"}, {"only_second.txt", "2"}}, ZIP_EM_TRAD_PKWARE,
             "pw");
    folder.Write("scripts/same.txt", "disk");
    folder.Write("empty.txt", "");
    folder.Enter();

    HeadlessHge hge;
    ASSERT_TRUE(hge->Resource_AttachPack("first.pak", "pw"));
    ASSERT_TRUE(hge->Resource_AttachPack("second.pak", "pw"));
    EXPECT_TRUE(hge->Resource_AttachPack("./first.pak", "pw")) << "attaching again is harmless";
    // clang-format off
    for (const auto& [name, text] : {std::pair{"./scripts/same.txt", "first"}, {"only_second.txt", "2"},
             {"empty.txt", ""}, {"absent.txt", "<none>"}, {"scripts", "<none>"}}) // a folder is not a file
        EXPECT_EQ(LoadText(hge.Get(), name), text) << name;
    // clang-format on
    EXPECT_EQ(hge->Resource_Load(nullptr), nullptr);
    hge->Resource_Free(nullptr);
}

// Packing the game's folders and files with the password, and playing from the archive, is the demo run's.
TEST(ArchiveTest, PackingTheWholeFolderLeavesOutTheArchiveAndAPathFromElsewhereIsNamedFromItsLastPart)
{
    TempFolder folder;
    folder.Write("images/bg/room.png", "picture");
    folder.Write("icon.png", "icon");
    folder.Enter();

    std::string error;
    ASSERT_TRUE(ArchiveWriter::Pack("data.pak", {"."}, "pw", error)) << error;
    ArchiveSet archives;
    EXPECT_FALSE(archives.Attach("data.pak", "wrong", error)) << "packed with the password";
    ASSERT_TRUE(archives.Attach("data.pak", "pw", error)) << error;
    EXPECT_EQ(LoadText(archives, "images/bg/room.png"), "picture");
    EXPECT_EQ(LoadText(archives, "data.pak"), "<none>") << "the archive does not pack itself";
    ASSERT_TRUE(ArchiveWriter::Pack("outside.pak", {(folder.Path() / "images").string()}, "", error));
    ArchiveSet plain;
    ASSERT_TRUE(plain.Attach("outside.pak", "", error)) << error;
    EXPECT_EQ(LoadText(plain, "images/bg/room.png"), "picture");

    std::filesystem::create_directories("empty_folder");
    for (const auto& [archive, path] :
         {std::pair{"x.pak", "no_such_thing"}, {"x.pak", "empty_folder"}, {"missing_folder/x.pak", "icon.png"}})
        EXPECT_FALSE(ArchiveWriter::Pack(archive, {path}, "pw", error)) << path;
    EXPECT_NE(error.find("missing_folder"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists("x.pak"));
}

} // namespace
} // namespace Vel
