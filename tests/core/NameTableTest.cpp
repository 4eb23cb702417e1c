#include "core/NameTable.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace Vel {
namespace {

// Commands keep a pointer into the table instead of a name: equal names must share one copy, other names must
// not, and no copy may move or change while the table grows.
TEST(NameTableTest, EqualNamesShareOneCopyThatStaysPutAsTheTableGrows)
{
    const std::u16string& mira = NameTable::Intern(u"mira");
    const std::u16string& none = NameTable::Intern(u"");
    for (char16_t unit = u'a'; unit < u'a' + 2000; ++unit)
        static_cast<void>(NameTable::Intern(std::u16string(3, unit)));
    // A name, the copy it should or should not share, and whether it should.
    const std::tuple<std::u16string, const std::u16string*, bool> cases[] = {
        {u"mira", &mira, true},
        {u"", &none, true},
        {u"Mira", &mira, false},
        {u"mira ", &mira, false},
        {std::u16string(u"mi\0ra", 5), &mira, false},
        {u"mi", &mira, false},
    };
    for (const auto& [name, copy, shared] : cases) {
        const std::u16string& stored = NameTable::Intern(name);
        EXPECT_EQ(&stored == copy, shared) << std::string(name.begin(), name.end());
        EXPECT_EQ(stored, name);
    }
}

} // namespace
} // namespace Vel
