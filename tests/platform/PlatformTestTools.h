#pragma once

// Helpers shared by the platform tests: a temporary folder removed at the end of the test, and a headless HGE
// interface made from given platform options and released when the test ends.

#include "platform/Hge.h"
#include "platform/PlatformOptions.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace Vel::PlatformTest {

class TempFolder
{
public:
    TempFolder()
    {
        static std::atomic<int> s_counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("vel_platform_test_" + std::to_string(::getpid()) + "_" + std::to_string(s_counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    [[nodiscard]] std::string File(std::string_view name) const { return (m_path / name).string(); }

    void Write(std::string_view name, std::string_view bytes) const
    {
        std::filesystem::create_directories((m_path / name).parent_path());
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    [[nodiscard]] std::string Read(std::string_view name) const
    {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

// The process-wide interface, headless, for the length of one test. options.headless is forced on.
class HeadlessHge
{
public:
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

} // namespace Vel::PlatformTest
