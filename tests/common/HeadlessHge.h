#pragma once

// For tests of the HGE interface and its users: the process-wide interface, headless, for the length of one test,
// and the text of a resource as the interface loads it.

#include "platform/Hge.h"
#include "platform/PlatformOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace Vel::TestTools {

class HeadlessHge
{
public:
    // options.headless is forced on.
    explicit HeadlessHge(PlatformOptions options = {}, int width = 64, int height = 48)
    {
        options.headless = true;
        SetPlatformOptions(options);
        m_hge = hgeCreate(HGE_VERSION);
        m_hge->System_SetState(HGE_SCREENWIDTH, width);
        m_hge->System_SetState(HGE_SCREENHEIGHT, height);
    }
    ~HeadlessHge()
    {
        m_hge->System_Shutdown();
        m_hge->Release();
        SetPlatformOptions({});
    }
    HeadlessHge(const HeadlessHge&) = delete;
    HeadlessHge& operator=(const HeadlessHge&) = delete;

    HGE* operator->() const { return m_hge; }
    [[nodiscard]] HGE* Get() const { return m_hge; }

private:
    HGE* m_hge = nullptr;
};

// The resource's text, or "<none>"; a missing one reports size 0 and loaded data is followed by a zero byte.
inline std::string LoadText(HGE* hge, const char* name)
{
    std::uint32_t size = 12345;
    void* block = hge->Resource_Load(name, &size);
    if (block == nullptr) {
        EXPECT_EQ(size, 0u);
        return "<none>";
    }
    std::string text(static_cast<const char*>(block), size);
    EXPECT_EQ(static_cast<const char*>(block)[size], '\0');
    hge->Resource_Free(block);
    return text;
}

} // namespace Vel::TestTools
