#include "data/CompileScripts.h"

#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/Crypter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace Vel {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

Names FolderContent(const TestTools::TempFolder& folder)
{
    Names names;
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
    EXPECT_EQ(result.warnings, (Names{"script.vls:2: invalid UTF-8 replaced by U+FFFD",
                                      "script.vls:3: invalid UTF-8 replaced by U+FFFD"}));
    // No temporary file is left behind and the stale twin is replaced.
    EXPECT_EQ(FolderContent(folder),
              (Names{"folder.vls", "notes.txt", "script.cvls", "script.vls", "system.cvls", "system.vls"}));
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
    folder.Write("a.cvls/keep", "x");

    const CompileResult result = CompileScripts(folder.Path().string());
    EXPECT_EQ(result.compiled, 1);
    EXPECT_EQ(result.readFromSource, (decltype(result.readFromSource){{u"a.cvls", u"a.vls"}}));
    ASSERT_EQ(result.warnings.size(), 1U);
    EXPECT_NE(result.warnings[0].find("a.cvls"), std::string::npos);
    EXPECT_EQ(FolderContent(folder), (Names{"a.cvls", "a.vls", "b.cvls", "b.vls"}));
}

TEST(CompileScriptsTest, ReadOnlyFolderCompilesNothingButStillWarns)
{
    TestTools::TempFolder readOnly;
    readOnly.Write("system.vls", "line\n\x80\n");
    fs::permissions(readOnly.Path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (std::ofstream(readOnly.File("probe")).is_open())
        GTEST_SKIP() << "this user may write into a read-only folder";
    const CompileResult result = CompileScripts(readOnly.Path().string());
    EXPECT_EQ(result.compiled, 0);
    EXPECT_EQ(result.readFromSource, (decltype(result.readFromSource){{u"system.cvls", u"system.vls"}}));
    EXPECT_EQ(result.warnings.front(), "system.vls:2: invalid UTF-8 replaced by U+FFFD");
    EXPECT_EQ(result.warnings.size(), 2U);
}

} // namespace
} // namespace Vel
