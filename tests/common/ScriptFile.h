#pragma once

// Shared by the script tests: a compiled script written from its lines, and the "Info" part of an error report.

#include "app/TextCodec.h"
#include "data/Crypter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace Vel::TestTools {

inline void WriteCompiled(const std::u16string& file, std::initializer_list<std::u16string_view> lines)
{
    Crypter writer;
    EXPECT_TRUE(writer.OpenWrite(file));
    for (const std::u16string_view line : lines)
        EXPECT_TRUE(writer.WriteLine(line));
    EXPECT_TRUE(writer.CloseWrite());
}

// Empty when the report is empty, that is when the script ran through.
inline std::string ErrorInfo(const std::u16string& report)
{
    const std::string text = TextCodec::WideToUtf8(report);
    return text.empty() ? text : text.substr(text.find("Info: ") + 6);
}

} // namespace Vel::TestTools
