#include "script/TriggerStatements.h"

#include "TempFolder.h"
#include "app/TextCodec.h"
#include "data/Crypter.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace Vel {
namespace {

// Parses the lines as one compiled script; the "Info" part of the error report, empty when it ran through.
std::string ParseScript(std::initializer_list<std::u16string_view> lines)
{
    TestTools::TempFolder folder;
    const std::u16string name = TextCodec::Utf8ToWide(folder.File("script.cvls"));
    Crypter writer;
    EXPECT_TRUE(writer.OpenWrite(name));
    for (const std::u16string_view line : lines)
        EXPECT_TRUE(writer.WriteLine(line));
    EXPECT_TRUE(writer.CloseWrite());
    ParseManager parser;
    parser.Parse(name);
    const std::string report = TextCodec::WideToUtf8(parser.ErrorReport());
    return report.empty() ? report : report.substr(report.find("Info: ") + 6);
}

TEST(TriggerStatementsTest, DeclarationsMakeTriggersPersistentWithoutTouchingValues)
{
    std::optional<TriggerManager> triggers{std::in_place};
    triggers->Set(u"met_anna", u"yes");
    EXPECT_EQ(ParseScript({u"sys_trigger(met_anna)", u"gal_trigger(cg_beach, 1)", u"sys_trigger(ending)",
                           u"gal_trigger(ending)", u"sys_trigger(Ending)"}),
              "");
    const auto kindOf = [&triggers](const std::u16string& name) { return triggers->Find(name)->kind; };
    EXPECT_EQ(kindOf(u"met_anna"), TriggerKind::System);
    EXPECT_EQ(triggers->Get(u"met_anna"), u"yes") << "a declaration keeps a value set before it";
    EXPECT_EQ(kindOf(u"cg_beach"), TriggerKind::Gallery);
    EXPECT_EQ(triggers->Get(u"cg_beach"), u"") << "a second argument is no initial value";
    EXPECT_EQ(kindOf(u"ending"), TriggerKind::Gallery) << "the later declaration wins";
    EXPECT_EQ(kindOf(u"Ending"), TriggerKind::System);
    EXPECT_EQ(triggers->Triggers().size(), 4u);

    triggers.reset();
    EXPECT_EQ(ParseScript({u"gal_trigger(cg_beach)"}), "gal_trigger cannot declare triggers before the game starts");
}

} // namespace
} // namespace Vel
