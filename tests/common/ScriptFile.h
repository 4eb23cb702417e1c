#pragma once

// Shared by the script tests: a compiled script written from its lines, the "Info" part of an error report, and
// the two together: a script read from its lines, with the commands of one of its scenes described.

#include "core/TextCodec.h"
#include "data/Crypter.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

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

// Reads the lines as a compiled script with a fresh parser (the first error ends a parser's run). Returns the
// error's "Info" part; when the script ran through, the commands of the scene named scene, each described and
// joined by "; " (empty when there is no such scene).
template <typename Describe>
std::string ParseScene(const std::u16string& file, std::initializer_list<std::u16string_view> lines,
                       const std::u16string& scene, Describe describe)
{
    WriteCompiled(file, lines);
    ParseManager parser;
    parser.Parse(file);
    if (std::string error = ErrorInfo(parser.ErrorReport()); !error.empty())
        return error;
    EXPECT_TRUE(parser.Blocks().empty());
    std::string text;
    const ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (const Scene* found = scenes != nullptr ? scenes->FindScene(scene) : nullptr) {
        for (const Command* command : found->GetCommands())
            text += (text.empty() ? "" : "; ") + describe(command);
    }
    return text;
}

} // namespace Vel::TestTools
