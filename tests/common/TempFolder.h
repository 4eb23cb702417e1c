#pragma once

// Shared by every test program: a fresh folder under the system's temporary folder, removed with everything in it
// when the test ends.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace Vel::TestTools {

class TempFolder
{
public:
    TempFolder()
    {
        static std::atomic<int> s_counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("vel_test_" + std::to_string(::getpid()) + "_" + std::to_string(s_counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        if (m_previous)
            std::filesystem::current_path(*m_previous);
        // A test may have made the folder read-only; removing its content needs write access back.
        std::error_code error;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    [[nodiscard]] std::string File(std::string_view name) const { return (m_path / name).string(); }
    [[nodiscard]] std::string Read(std::string_view name) const
    {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Writes the bytes, making the folders on the way.
    void Write(std::string_view name, std::string_view bytes) const
    {
        std::filesystem::create_directories((m_path / name).parent_path());
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // Makes the folder the working folder until the object goes, for code that opens relative names.
    void Enter()
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_path);
    }

private:
    std::filesystem::path m_path;
    std::optional<std::filesystem::path> m_previous;
};

} // namespace Vel::TestTools
