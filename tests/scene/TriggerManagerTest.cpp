#include "scene/TriggerManager.h"

#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "data/BinarySerializer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include <sys/stat.h>

namespace Vel {
namespace {

namespace fs = std::filesystem;
using Direction = BinarySerializer::Direction;
using Contents = std::map<std::u16string, std::pair<TriggerKind, std::u16string>>; // name -> kind, value
constexpr TriggerKind kGame = TriggerKind::Game;
constexpr TriggerKind kSystem = TriggerKind::System;
constexpr TriggerKind kGallery = TriggerKind::Gallery;

Contents ContentsOf(const TriggerManager& triggers)
{
    Contents contents;
    for (const auto& [name, trigger] : triggers.Triggers())
        contents[name] = {trigger.kind, trigger.value};
    return contents;
}

// "sys0.dfn" goes to a temporary user folder.
class TriggerManagerTest : public ::testing::Test
{
protected:
    TriggerManagerTest() { UserFiles::SetUserFolderOverride(m_folder.Path().string()); }

    std::u16string File(const std::string& name) const { return TextCodec::Utf8ToWide(m_folder.File(name)); }
    // An empty manager, as at the next start of the program.
    TriggerManager& Restart()
    {
        m_triggers.reset();
        return m_triggers.emplace();
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    std::optional<TriggerManager> m_triggers{std::in_place};
};

// The values file across runs, read and written whole, is the engine run's; the temporary file is the writer's.
TEST_F(TriggerManagerTest, KindsSurviveSetAndClearAndOnlyPersistentValuesAreKept)
{
    TriggerManager& triggers = *m_triggers;
    EXPECT_EQ(triggers.Get(u"never"), u"");
    EXPECT_TRUE(triggers.Triggers().empty()) << "reading creates nothing";
    triggers.Set(u"route", u"anna");
    triggers.SetKind(u"ending", kSystem); // declared before any value
    triggers.Set(u"ending", u"good");
    triggers.Set(u"cg1", u"\u00e9t\u00e9");
    triggers.SetKind(u"cg1", kGallery); // declared after its value
    EXPECT_EQ(triggers.Get(u"Ending"), u"") << "names are case-sensitive";
    triggers.ClearGameValues();
    const Contents kept{{u"ending", {kSystem, u"good"}}, {u"cg1", {kGallery, u"\u00e9t\u00e9"}}};
    Contents all = kept;
    all[u"route"] = {kGame, u""};
    EXPECT_EQ(ContentsOf(triggers), all);
    ASSERT_TRUE(triggers.SaveValues());
    TriggerManager& next = Restart();
    EXPECT_TRUE(next.LoadValues());
    EXPECT_EQ(ContentsOf(next), kept);
}

// The round trip through a save is the save games' test; this is the old or damaged save.
TEST_F(TriggerManagerTest, AGameSaveNeverChangesPersistentOrEngineTriggersNorMakesOneFromAHalfRecord)
{
    m_triggers->SetKind(u"ending", kSystem);
    m_triggers->Set(u"ending", u"best");
    m_triggers->Set(u"_autosave", u"yes");
    m_triggers->Set(u"route", u"bea");
    {
        BinarySerializer writer(File("old.sav"), Direction::Write);
        writer.WriteInt(0x7FFFFFFF); // far beyond its records
        for (const std::u16string text : {u"ending", u"", u"_autosave", u"no", u"_new", u"x", u"a", u"1", u"cut"})
            writer.WriteString(text);
    }
    BinarySerializer damaged(File("old.sav"), Direction::Read);
    m_triggers->Load(damaged);
    EXPECT_EQ(ContentsOf(*m_triggers), (Contents{{u"route", {kGame, u""}},
                                                 {u"ending", {kSystem, u"best"}},
                                                 {u"_autosave", {kGame, u"yes"}},
                                                 {u"a", {kGame, u"1"}}}));
}

TEST_F(TriggerManagerTest, DamagedValuesFilesLoadTheRecordsBeforeTheDamageAndNeverCrash)
{
    const Contents beach{{u"cg_beach", {kGallery, u"1"}}};
    const Contents both{{u"cg_beach", {kGallery, u"1"}}, {u"seen_end", {kSystem, u"yes"}}};
    const std::map<std::string, std::pair<bool, Contents>> cases{
        {"good", {true, both}},          {"truncated", {false, both}},   {"huge_count", {false, beach}},
        {"negative_count", {false, {}}}, {"odd_string", {false, beach}}, {"huge_string", {false, beach}},
        {"bad_kind", {false, beach}},    {"empty", {false, {}}}};
    for (const auto& [name, expected] : cases) {
        const std::string file = "sys0_" + name + ".dfn";
        fs::copy_file(fs::path(VEL_TEST_DATA) / file, m_folder.Path() / "sys0.dfn",
                      fs::copy_options::overwrite_existing);
        TriggerManager& triggers = Restart();
        EXPECT_EQ(triggers.LoadValues(), expected.first) << file;
        EXPECT_EQ(ContentsOf(triggers), expected.second) << file;
    }
    // Something there that cannot be read as the file is kept rather than replaced.
    fs::remove(m_folder.Path() / "sys0.dfn");
    ASSERT_EQ(mkfifo(m_folder.File("sys0.dfn").c_str(), 0600), 0);
    TriggerManager& triggers = Restart();
    triggers.SetKind(u"ending", kSystem);
    EXPECT_FALSE(triggers.LoadValues());
    EXPECT_FALSE(triggers.SaveValues());
    EXPECT_TRUE(fs::is_fifo(m_folder.Path() / "sys0.dfn"));
    fs::remove(m_folder.Path() / "sys0.dfn");

    // Every cut of a good file gives the whole records before the cut and nothing made up; garbage, alone or after
    // good records, never crashes, and whatever it gave is written back so that the next start reads it whole.
    const std::string good = m_folder.Read(std::string(VEL_TEST_DATA) + "/sys0_good.dfn");
    for (std::size_t size = 0; size <= good.size(); ++size) {
        m_folder.Write("sys0.dfn", good.substr(0, size));
        EXPECT_EQ(Restart().LoadValues(), size == good.size()) << size;
        for (const auto& [name, record] : ContentsOf(*m_triggers))
            EXPECT_EQ(both.at(name), record) << size;
    }
    std::mt19937 random(20261206);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = round % 2 == 0 ? good : std::string();
        const std::size_t length = random() % 200;
        for (std::size_t index = 0; index < length; ++index)
            bytes += static_cast<char>(random() % 256);
        if (round % 3 == 0 && bytes.size() >= 4)
            bytes[random() % 4] = static_cast<char>(random() % 256); // a count anything from small to absurd
        m_folder.Write("sys0.dfn", bytes);
        static_cast<void>(Restart().LoadValues());
        const Contents loaded = ContentsOf(*m_triggers);
        ASSERT_TRUE(m_triggers->SaveValues()) << round;
        TriggerManager& next = Restart();
        EXPECT_TRUE(next.LoadValues()) << round;
        EXPECT_EQ(ContentsOf(next), loaded) << round;
    }
}

} // namespace
} // namespace Vel
