#include "data/CompileScripts.h"

#include "TempFolder.h"
#include "app/TextCodec.h"
#include "data/Crypter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

namespace Vel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FolderContent(const TestTools::TempFolder& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::u16string FirstLine(const TestTools::TempFolder& folder, const std::string& name)
{
    Crypter reader;
    EXPECT_TRUE(reader.OpenRead(TextCodec::Utf8ToWide(folder.File(name))));
    return reader.ReadLine();
}

TEST(CompileScriptsTest, CompilesEverySourceIntoItsTwin)
{
    TestTools::TempFolder folder;
    folder.Write("system.vls", "window 800 600\n");
    folder.Write("script.vls", "fine\nbad \xC3 line\n\xFF\xFE\n");
    folder.Write("notes.txt", "not a script\n");
    folder.Write("script.cvls", "stale twin");
    fs::create_directory(folder.Path() / "folder.vls");

    const CompileResult result = CompileScripts(folder.Path().string());
    EXPECT_EQ(result.compiled, 2);
    EXPECT_TRUE(result.readFromSource.empty());
    EXPECT_EQ(result.warnings, (std::vector<std::string>{"script.vls:2: invalid UTF-8 replaced by U+FFFD",
                                                         "script.vls:3: invalid UTF-8 replaced by U+FFFD"}));
    // No temporary file is left behind and the stale twin is replaced.
    EXPECT_EQ(FolderContent(folder), (std::vector<std::string>{"folder.vls", "notes.txt", "script.cvls", "script.vls",
                                                               "system.cvls", "system.vls"}));
    EXPECT_EQ(FirstLine(folder, "system.cvls"), u"window 800 600");
    EXPECT_EQ(FirstLine(folder, "script.cvls"), u"fine");

    TestTools::TempFolder empty;
    EXPECT_EQ(CompileScripts(empty.Path().string()).compiled, 0);
    EXPECT_EQ(CompileScripts(empty.File("missing")).compiled, 0);
}

TEST(CompileScriptsTest, TwinThatCannotBeWrittenIsReadFromSource)
{
    TestTools::TempFolder folder;
    folder.Write("a.vls", "one\n");
    folder.Write("b.vls", "two\n");
    // A folder in the way makes the rename fail even for a user who may write everywhere.
    fs::create_directory(folder.Path() / "a.cvls");
    folder.Write("a.cvls/keep", "x");

    const CompileResult result = CompileScripts(folder.Path().string());
    EXPECT_EQ(result.compiled, 1);
    ASSERT_EQ(result.readFromSource.size(), 1U);
    EXPECT_EQ(result.readFromSource.at(u"a.cvls"), u"a.vls");
    ASSERT_EQ(result.warnings.size(), 1U);
    EXPECT_NE(result.warnings[0].find("a.cvls"), std::string::npos);
    EXPECT_EQ(FolderContent(folder), (std::vector<std::string>{"a.cvls", "a.vls", "b.cvls", "b.vls"}));
}

TEST(CompileScriptsTest, ReadOnlyFolder)
{
    TestTools::TempFolder folder;
    folder.Write("system.vls", "line\n\x80\n");
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    {
        std::ofstream probe(folder.File("probe"));
        if (probe.is_open()) {
            probe.close();
            std::error_code error;
            fs::remove(folder.File("probe"), error);
            GTEST_SKIP() << "this user may write into a read-only folder";
        }
    }
    const CompileResult result = CompileScripts(folder.Path().string());
    EXPECT_EQ(result.compiled, 0);
    EXPECT_EQ(result.readFromSource.at(u"system.cvls"), u"system.vls");
    // The source is still checked, so its warnings do not depend on the folder being writable.
    EXPECT_EQ(result.warnings.front(), "system.vls:2: invalid UTF-8 replaced by U+FFFD");
    EXPECT_EQ(result.warnings.size(), 2U);
}

} // namespace
} // namespace Vel
