#include "data/PakInterface.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace Vel {
namespace {

// The published value as another module of the process sees it; nullopt while the object does not exist.
std::optional<std::uintptr_t> Published()
{
    const int descriptor = shm_open(PakInterface::PublishedName().c_str(), O_RDONLY, 0);
    void* view =
        descriptor < 0 ? MAP_FAILED : mmap(nullptr, sizeof(std::uintptr_t), PROT_READ, MAP_SHARED, descriptor, 0);
    if (descriptor >= 0)
        close(descriptor);
    if (view == MAP_FAILED)
        return std::nullopt;
    const std::uintptr_t value = *static_cast<const std::uintptr_t*>(view);
    munmap(view, sizeof(value));
    return value;
}

TEST(PakInterfaceTest, PublishesTheFirstLiveInstance)
{
    const auto address = [](PakInterface* pak) {
        return std::optional(reinterpret_cast<std::uintptr_t>(static_cast<PakInterfaceBase*>(pak)));
    };
    EXPECT_EQ(PakInterface::PublishedName(), "/gPakInterfaceP_" + std::to_string(getpid()));
    auto first = std::make_unique<PakInterface>();
    EXPECT_EQ(Published(), address(first.get()));
    std::make_unique<PakInterface>().reset();
    EXPECT_EQ(Published(), address(first.get())) << "a second instance neither replaces nor clears the first";
    first.reset();
    EXPECT_EQ(Published(), std::uintptr_t{0});
    PakInterface third;
    EXPECT_EQ(Published(), address(&third));
}

// Nothing in the engine reads through these operations, which only forward to stdio and glob(); what stays tested is
// that a handle that is no open file or search never reaches memory.
TEST(PakInterfaceTest, OperationsRefuseHandlesThatAreNoOpenFiles)
{
    TestTools::TempFolder folder;
    folder.Write("data.txt", "ab");
    PakInterface pak;
    EXPECT_EQ(pak.FOpen(folder.File("absent.txt").c_str(), "rb"), nullptr);
    PakFile* file = pak.FOpen(folder.File("data.txt").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(pak.FClose(file), 0);
    char buffer[4] = {};
    char16_t wide[4] = {};
    EXPECT_EQ(pak.FClose(file), EOF);
    EXPECT_EQ(pak.FGetC(nullptr), EOF);
    EXPECT_EQ(pak.FRead(buffer, 1, 1, file), 0U);
    EXPECT_EQ(pak.FGetS(buffer, 4, file), nullptr);
    EXPECT_EQ(pak.FGetSW(wide, 4, file), nullptr);
    EXPECT_EQ(pak.FTell(file), -1L);
    EXPECT_NE(pak.FEof(nullptr), 0);

    PakFindData data;
    PakSearch* search = pak.FindFirstFile(folder.File("*.txt").c_str(), &data);
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(pak.FindClose(search));
    EXPECT_FALSE(pak.FindClose(search)) << "a closed search is no search";
    EXPECT_FALSE(pak.FindNextFile(search, &data));
}

} // namespace
} // namespace Vel
