#pragma once

// A temporary game folder for parser tests: compiled scripts are written with the engine's own Crypter, sources
// as UTF-8 text; the folder is removed with the object.

#include "app/TextCodec.h"
#include "data/Crypter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unistd.h>

namespace Vel::Test {

class ScriptFolder
{
public:
    ScriptFolder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("vel_script_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" + test->name());
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScriptFolder() { std::filesystem::remove_all(m_path); }
    ScriptFolder(const ScriptFolder&) = delete;
    ScriptFolder& operator=(const ScriptFolder&) = delete;

    // The full wide name of a file in the folder, as a script or a test names it.
    [[nodiscard]] std::u16string Name(std::string_view file) const
    {
        return TextCodec::Utf8ToWide((m_path / file).string());
    }

    // Writes the compiled twin "NAME.cvls" and returns the source name "NAME.vls" that scripts use.
    std::u16string WriteCompiled(std::string_view baseName, std::initializer_list<std::u16string_view> lines) const
    {
        WriteCompiledAs(std::string(baseName) + ".cvls", lines);
        return Name(std::string(baseName) + ".vls");
    }

    // Writes a file of the exact name in the compiled format, for names that keep their extension.
    std::u16string WriteCompiledAs(std::string_view file, std::initializer_list<std::u16string_view> lines) const
    {
        Crypter writer;
        EXPECT_TRUE(writer.OpenWrite(Name(file)));
        for (const std::u16string_view line : lines)
            EXPECT_TRUE(writer.WriteLine(line));
        EXPECT_TRUE(writer.CloseWrite());
        return Name(file);
    }

    std::u16string WriteSource(std::string_view file, std::string_view utf8) const
    {
        std::ofstream(m_path / file, std::ios::binary) << utf8;
        return Name(file);
    }

private:
    std::filesystem::path m_path;
};

} // namespace Vel::Test
