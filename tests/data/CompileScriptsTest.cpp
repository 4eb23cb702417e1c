// The way of a script from its source text to the parser: the reader of source text, the compiled format's writer
// and reader, and the start-up step that compiles a game folder.
#include "data/CompileScripts.h"

#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/Crypter.h"
#include "data/FileReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Vel {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;
using Names = std::vector<std::string>;

std::u16string Wide(const std::string& utf8)
{
    return TextCodec::Utf8ToWide(utf8);
}

// Every line of a compiled file, at most 1000 should its end mark be lost.
Lines ReadAll(const std::string& compiled)
{
    Crypter reader;
    EXPECT_TRUE(reader.OpenRead(Wide(compiled)));
    Lines lines;
    while (!reader.Eof() && lines.size() < 1000)
        lines.push_back(reader.ReadLine());
    return lines;
}

Names FolderContent(const TestTools::TempFolder& folder)
{
    Names names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CompileScriptsTest, CompilesEverySourceIntoItsTwinKeepingEveryLineExactly)
{
    TestTools::TempFolder folder;
    const std::string bom = "\xEF\xBB\xBF", longLine(5000, 'L');
    folder.Write("plain.vls", "x\ny");
    folder.Write("final.vls", "x\ny\n");
    folder.Write("text.vls", bom + "first\r\nsecond\r\n\nsmile \xF0\x9F\x98\x80!\n" + longLine);
    fs::copy_file(VEL_TEST_DATA "/invalid_utf8.vls", folder.Path() / "script.vls");
    folder.Write("notes.txt", "not a script\n");
    folder.Write("script.cvls", "stale twin");
    fs::create_directory(folder.Path() / "folder.vls");

    const CompileResult result = CompileScripts(folder.Path().string());
    EXPECT_EQ(result.compiled, 4);
    EXPECT_TRUE(result.readFromSource.empty());
    EXPECT_EQ(result.warnings, (Names{"script.vls:2: invalid UTF-8 replaced by U+FFFD",
                                      "script.vls:4: invalid UTF-8 replaced by U+FFFD"}));
    // No temporary file is left behind and the stale twin is replaced.
    EXPECT_EQ(FolderContent(folder),
              (Names{"cvls.stamp", "final.cvls", "final.vls", "folder.vls", "notes.txt", "plain.cvls", "plain.vls",
                     "script.cvls", "script.vls", "text.cvls", "text.vls"}));
    // With every twin current, an author's check compiles nothing and still names the bad bytes; a start names none.
    const CompileResult checked = CompileScripts(folder.Path().string(), CompileMode::Checked);
    EXPECT_EQ(checked.compiled, 0);
    EXPECT_EQ(checked.warnings, result.warnings);
    EXPECT_TRUE(CompileScripts(folder.Path().string()).warnings.empty());
    EXPECT_EQ(ReadAll(folder.File("script.cvls")),
              (Lines{u"ok", u"bad \uFFFD here", u"\u00E9 fine", u"two \uFFFD\uFFFD bad", u""}));
    // "x" and "y", each scrambled with the key, then the end mark; a final line feed gives the same records.
    const std::string expected("\x02\x00\x00\x00\x65\x6B\x02\x00\x00\x00\x64\x6B\xF0\xFF\xFF\xFF", 16);
    EXPECT_EQ(folder.Read("plain.cvls"), expected);
    EXPECT_EQ(folder.Read("final.cvls"), expected);
    EXPECT_EQ(ReadAll(folder.File("plain.cvls")), (Lines{u"x", u"y", u""}));
    // The byte order mark goes, carriage returns stay, astral characters and long lines come back whole.
    EXPECT_EQ(ReadAll(folder.File("text.cvls")),
              (Lines{u"first\r", u"second\r", u"", u"smile \U0001F600!", Wide(longLine), u""}));

    TestTools::TempFolder empty;
    EXPECT_EQ(CompileScripts(empty.Path().string()).compiled, 0);
    EXPECT_EQ(CompileScripts(empty.File("missing")).compiled, 0);
}

// Each file's inode, time and size: a file written anew through a rename or in place differs in one of them.
std::map<std::string, std::string> Snapshot(const TestTools::TempFolder& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        struct stat info = {};
        EXPECT_EQ(::stat(entry.path().c_str(), &info), 0);
        files[entry.path().filename().string()] =
            std::to_string(info.st_ino) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
            std::to_string(info.st_mtim.tv_nsec) + " " + std::to_string(info.st_size);
    }
    return files;
}

Names Written(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after)
{
    Names written;
    for (const auto& [name, file] : after)
        if (!before.contains(name) || before.at(name) != file)
            written.push_back(name);
    return written;
}

// The twin a folder holding only this source gets.
std::string FreshTwin(const TestTools::TempFolder& folder, const std::string& source)
{
    TestTools::TempFolder alone;
    alone.Write(source, folder.Read(source));
    CompileScripts(alone.Path().string());
    return alone.Read(source.substr(0, source.size() - 4) + ".cvls");
}

TEST(CompileScriptsTest, CompilesOnlyWhatChangedSinceItsTwinWasWritten)
{
    using Folder = const TestTools::TempFolder&;
    // Saved within the clock tick of the compile, which the time does not tell.
    const auto sameTime = [](Folder folder) {
        const fs::file_time_type time = fs::last_write_time(folder.Path() / "a.vls");
        folder.Write("a.vls", "ONE\ntwo\n");
        fs::last_write_time(folder.Path() / "a.vls", time);
    };
    const Names all = {"a.cvls", "b.cvls"}, a = {"a.cvls"};
    struct Change
    {
        const char* what;
        std::function<void(Folder)> apply;
        Names written;       // by the next start
        bool edited = false; // the sources were written just before the first start, not an hour before it
        CompileMode mode = CompileMode::Changed;
    };
    const Change changes[] = {
        {"nothing", [](Folder) {}, {}},
        {"nothing, sources just edited", [](Folder) {}, {}, true},
        {"source saved unchanged", [](Folder f) { f.Write("a.vls", "one\ntwo\n"); }, {"cvls.stamp"}},
        {"source of the same size", [](Folder f) { f.Write("a.vls", "one\nTWO\n"); }, a},
        {"source of the same size and time", sameTime, a, true},
        {"source grown", [](Folder f) { f.Write("a.vls", "one\ntwo\nthree\n"); }, a},
        {"twin truncated", [](Folder f) { fs::resize_file(f.Path() / "a.cvls", 9); }, a},
        {"twin byte flipped", [](Folder f) { std::fstream(f.File("a.cvls"), std::ios::in | std::ios::out).put('x'); },
         a},
        {"other twin copied over", [](Folder f) { f.Write("a.cvls", f.Read("b.cvls")); }, a},
        {"other twin moved over", [](Folder f) { fs::rename(f.Path() / "b.cvls", f.Path() / "a.cvls"); }, all},
        {"twin removed", [](Folder f) { fs::remove(f.Path() / "a.cvls"); }, a},
        {"twins from an older build", [](Folder f) { fs::remove(f.Path() / "cvls.stamp"); }, all},
        {"stamp damaged", [](Folder f) { f.Write("cvls.stamp", "velloria cvls.stamp 1\nbegun x\n"); }, all},
        {"stamp version",
         [](Folder f) { f.Write("cvls.stamp", "velloria cvls.stamp 0" + f.Read("cvls.stamp").substr(21)); }, all},
        {"explicit compile", [](Folder) {}, all, false, CompileMode::Every},
    };
    for (const Change& change : changes) {
        TestTools::TempFolder folder;
        folder.Write("a.vls", "one\ntwo\n");
        folder.Write("b.vls", "uno\ndos\n");
        // Both at one time, so that only its inode tells one twin from the other.
        const fs::file_time_type hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
        for (const char* name : {"a.vls", "b.vls"})
            if (!change.edited)
                fs::last_write_time(folder.Path() / name, hourAgo);
        ASSERT_EQ(CompileScripts(folder.Path().string()).compiled, 2) << change.what;
        change.apply(folder);
        const auto before = Snapshot(folder);
        const CompileResult result = CompileScripts(folder.Path().string(), change.mode);
        const auto after = Snapshot(folder);
        Names written = Written(before, after);
        const auto twins =
            std::count_if(written.begin(), written.end(), [](auto& name) { return name.ends_with(".cvls"); });
        // With a twin, the stamp changes or not as the new twin gets a new inode or its old one back.
        if (twins > 0)
            std::erase(written, "cvls.stamp");
        EXPECT_EQ(written, change.written) << change.what;
        EXPECT_EQ(result.compiled, twins) << change.what;
        EXPECT_EQ(folder.Read("a.cvls"), FreshTwin(folder, "a.vls")) << change.what;
        EXPECT_EQ(folder.Read("b.cvls"), FreshTwin(folder, "b.vls")) << change.what;
        // Once compiled, the folder is left alone.
        EXPECT_EQ(CompileScripts(folder.Path().string()).compiled, 0) << change.what;
        EXPECT_EQ(Snapshot(folder), after) << change.what;
    }
}

TEST(CrypterTest, TheKeyCharacterScramblesToZeroAndBack)
{
    TestTools::TempFolder folder;
    const std::u16string withKey = {u'a', Crypter::kKey, u'b', Crypter::kKey};
    Crypter writer;
    ASSERT_TRUE(writer.OpenWrite(Wide(folder.File("key.cvls"))));
    for (const std::u16string& line : {withKey, std::u16string(), std::u16string(u"end")})
        EXPECT_TRUE(writer.WriteLine(line));
    EXPECT_TRUE(writer.CloseWrite());
    EXPECT_EQ(folder.Read("key.cvls").substr(0, 14),
              std::string("\x08\x00\x00\x00\x7C\x6B\x00\x00\x7F\x6B\x00\x00\xF0\xFF", 14));
    EXPECT_EQ(ReadAll(folder.File("key.cvls")), (Lines{withKey, u"", u"end"}));
}

// The reader takes a long file a piece at a time: records cross the pieces' borders, and one is larger than a piece.
TEST(CrypterTest, ALongFileReadsBackWhole)
{
    TestTools::TempFolder folder;
    Lines written{std::u16string(40000, u'W')};
    for (std::size_t i = 0; i < 600; ++i)
        written.push_back(i % 7 == 0 ? std::u16string()
                                     : std::u16string(i * 37 % 500, static_cast<char16_t>(u'a' + i % 26)));
    Crypter writer;
    ASSERT_TRUE(writer.OpenWrite(Wide(folder.File("long.cvls"))));
    for (const std::u16string& line : written)
        EXPECT_TRUE(writer.WriteLine(line));
    EXPECT_TRUE(writer.CloseWrite());
    EXPECT_EQ(ReadAll(folder.File("long.cvls")), written);
}

TEST(CrypterTest, DamagedRecordsEndTheFileAndMissingFilesFail)
{
    for (const char* name : {"negative_length.cvls", "odd_length.cvls", "past_end.cvls", "truncated_count.cvls"}) {
        Crypter reader;
        ASSERT_TRUE(reader.OpenRead(Wide(std::string(VEL_TEST_DATA) + "/" + name)));
        EXPECT_EQ(reader.ReadLine(), u"before") << name;
        EXPECT_FALSE(reader.Eof()) << name;
        EXPECT_EQ(reader.ReadLine() + reader.ReadLine(), u"") << name;
        EXPECT_TRUE(reader.Eof()) << name;
    }
    EXPECT_EQ(ReadAll(std::string(VEL_TEST_DATA) + "/good.cvls"), (Lines{u"first", u"", u"last"}));

    TestTools::TempFolder folder;
    Crypter crypter;
    EXPECT_FALSE(crypter.OpenRead(Wide(folder.File("absent.cvls"))));
    EXPECT_TRUE(crypter.Eof());
    EXPECT_EQ(crypter.ReadLine(), u"");
    EXPECT_FALSE(crypter.WriteLine(u"nowhere"));
    EXPECT_FALSE(crypter.CloseWrite());
    EXPECT_FALSE(crypter.OpenWrite(Wide(folder.File("no/such/folder.cvls"))));
    EXPECT_FALSE(crypter.WriteLine(u"nowhere"));
}

TEST(FileReaderTest, DropsOneByteOrderMarkAndFailsOnWhatIsNoFile)
{
    FileReader reader;
    // The file starts with two byte order marks; only the first goes.
    ASSERT_TRUE(reader.Open(Wide(VEL_TEST_DATA "/bom_crlf.vls")));
    EXPECT_EQ(reader.ReadLine(), u"\uFEFFone\r");
    TestTools::TempFolder folder;
    EXPECT_FALSE(reader.Open(Wide(folder.File("absent.vls"))));
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), u"");
    EXPECT_FALSE(reader.Open(Wide(folder.Path().string())));
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
    EXPECT_EQ(FolderContent(folder), (Names{"a.cvls", "a.vls", "b.cvls", "b.vls", "cvls.stamp"}));
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
